#pragma once

// Exit statuses of the command-line paths, as --help and the manual page describe them.
namespace exitstatus {

inline constexpr int kOk = 0;
// OUT not written, the window program not started, or ended by a signal.
inline constexpr int kFailed = 1;
// A command line that cannot be used, as command-line tools report it.
inline constexpr int kUsage = 2;
// --export: FILE is no kept download. --capture: no meter, several without --port, or the
// port cannot be opened.
inline constexpr int kNoDownload = 2;
inline constexpr int kCheckFailed = 3;
inline constexpr int kLineLost = 4;
inline constexpr int kTimedOut = 5;

} // namespace exitstatus
