#pragma once

#include <QStringList>

#include <optional>

class QCoreApplication;

// The reader's command line. It has no settings; --help and --version are its only options.
namespace commandline {

// Handles --help and --version from the raw arguments, before any QApplication exists, so
// that both work without a display. Returns the exit status when the program is to end now,
// or nothing when the window is to start (also when the arguments do not parse: they may hold
// the toolkit's own options, which only QApplication knows).
std::optional<int> handleBeforeApplication(const QStringList& arguments);

// Checks what is left once QApplication has taken the toolkit's options: an unknown option or
// a second argument ends the program with status 1 and a message on standard error. Returns
// the one argument, a kept download to open, or an empty text.
QString rejectUnknown(const QCoreApplication& app);

// argv as text, the way QCoreApplication would decode it.
QStringList argumentList(int argc, char** argv);

} // namespace commandline
