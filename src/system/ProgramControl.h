#pragma once

// Ends the program; behind an interface so tests can see the end without dying.
class ProgramControl {
public:
    virtual ~ProgramControl() = default;
    // Ends the program at once with the given exit status; no further handler runs.
    virtual void endNow(int status) = 0;
};
