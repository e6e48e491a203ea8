// px417 on Linux: looks at the arguments and replaces itself (execv: same process id, same
// arguments) by the command-line program for the command-line options, by the window program
// for everything else. It links no Qt, so the way to the window loads each Qt library once.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace {

constexpr char kCommandLineProgram[] = "px417-cli";
constexpr char kWindowProgram[] = "px417-window";
// Where both programs lie when installed, from this program's folder; in the build tree they
// lie beside it.
constexpr char kInstalledFolder[] = "/../lib/px417/";
// Status when neither program can be started: as the command line's "not started".
constexpr int kFailed = 1;

// The options the command-line program answers or runs, without their dashes. The shared
// parser takes "-name", "--name" and "--name=value" alike. A name that only looks like one of
// these (the value of a toolkit option) is sent to the command-line program too, which hands
// the window to the window program itself: sending too much there costs one more start, never
// a wrong answer.
constexpr const char* kCommandLineOptions[] = {"export", "capture", "port",    "timeout",
                                               "help",   "h",       "version", "v"};

bool isCommandLineOption(const char* argument) {
    if (argument[0] != '-')
        return false;
    const char* name = argument + (argument[1] == '-' ? 2 : 1);
    const size_t length = std::strcspn(name, "=");
    for (const char* option : kCommandLineOptions)
        if (std::strlen(option) == length && std::strncmp(name, option, length) == 0)
            return true;
    return false;
}

bool wantsCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (isCommandLineOption(argv[i]))
            return true;
    return false;
}

// This program's folder, from the kernel's link rather than argv[0], which a desktop or a
// PATH search may leave without a folder.
bool ownFolder(char (&folder)[PATH_MAX]) {
    const ssize_t length = readlink("/proc/self/exe", folder, sizeof folder - 1);
    if (length <= 0)
        return false;
    folder[length] = '\0';
    char* slash = std::strrchr(folder, '/');
    if (!slash)
        return false;
    *slash = '\0';
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const char* program = wantsCommandLine(argc, argv) ? kCommandLineProgram : kWindowProgram;
    char folder[PATH_MAX];
    if (!ownFolder(folder)) {
        std::fprintf(stderr, "px417: cannot find its own folder: %s\n", std::strerror(errno));
        return kFailed;
    }
    const char* const places[] = {"/", kInstalledFolder};
    for (const char* place : places) {
        char path[PATH_MAX];
        if (std::snprintf(path, sizeof path, "%s%s%s", folder, place, program) >= PATH_MAX)
            continue;
        if (access(path, X_OK) != 0)
            continue;
        execv(path, argv);
        std::fprintf(stderr, "px417: cannot start %s: %s\n", path, std::strerror(errno));
        return kFailed;
    }
    std::fprintf(stderr, "px417: the program %s is missing beside %s\n", program, folder);
    return kFailed;
}
