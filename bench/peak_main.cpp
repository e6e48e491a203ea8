// px417-bench-peak PROGRAM [ARGS...]: runs PROGRAM and prints its peak resident memory as
// "peak-kib <n>" on standard error once it has ended. A child's ru_maxrss counts the memory of
// the process it was started from (the exec keeps the old image's high-water mark), so the
// harness, which is large, starts programs through this small one to measure them alone.
// SIGTERM and SIGINT are passed on to PROGRAM.
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t child = 0;

void passOn(int signal) {
    if (child > 0)
        kill(child, signal);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: px417-bench-peak PROGRAM [ARGS...]\n");
        return 2;
    }
    std::signal(SIGTERM, passOn);
    std::signal(SIGINT, passOn);
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[1], argv + 1);
        _exit(127);
    }
    child = pid;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0) {
    }
    std::fprintf(stderr, "peak-kib %ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}
