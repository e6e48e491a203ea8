#pragma once

#include "system/ProgramControl.h"

// Ends the process at once, skipping the window's close handling.
class ExitProgram : public ProgramControl {
public:
    void endNow(int status) override;
};
