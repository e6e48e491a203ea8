#pragma once

// The window is a program of its own, so that the command-line paths never load the widget
// and GUI libraries. px417 without a command becomes it.
namespace windowlauncher {

// The window program's file name.
inline constexpr char kWindowProgram[] = "px417-window";

// Replaces this process by the window program with the same arguments: beside this program
// (the build tree, and lib/px417 where both are installed), else in ../lib/px417. Returns only
// when that fails, after a message, with the exit status.
int execWindow(char** argv);

} // namespace windowlauncher
