#include "qt/ExitProgram.h"

#include <cstdio>
#include <cstdlib>

void ExitProgram::endNow(int status) {
    std::fflush(nullptr);
    std::exit(status);
}
