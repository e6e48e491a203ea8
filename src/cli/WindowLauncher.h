#pragma once

// The window is a program of its own, so that the command-line paths never load the widget
// and GUI libraries. px417 without a command becomes it.
namespace windowlauncher {

// Runs the window program with this program's arguments and gives its exit status. On Unix
// this process is replaced by px417-window (same process id, so signals reach the window),
// found beside this program (the build tree, and lib/px417 where both are installed) or in
// ../lib/px417; it returns only when that fails. On Windows px417.com starts px417.exe from its
// own folder, waits for it and returns its status, as a console user expects. A failure gives a
// message and exitstatus::kFailed.
int execWindow(char** argv);

} // namespace windowlauncher
