#pragma once

#include <QString>

// The status panel's texts that download reception, port connection and the idle refresh share.
// The state line reading kDownloading is the program's busy flag, so it is compared exactly.
namespace statustext {

// The program's title: the caption of message boxes without one of their own.
inline constexpr char kProgramTitle[] = "PX417";

inline constexpr char kDownloading[] = "Downloading...";
inline constexpr char kReady[] = "Ready.";
inline constexpr char kDataCheckError[] = "Data check error.";
inline constexpr char kPleaseTryAgain[] = "Please try again.";
inline constexpr char kConnectionLost[] = "Connection lost.";
inline constexpr char kPleaseReconnect[] = "Please reconnect.";

// The idle detail line: "COM:" and the port number, e.g. "COM:181".
inline QString comText(int port) {
    return QStringLiteral("COM:") + QString::number(port);
}

} // namespace statustext
