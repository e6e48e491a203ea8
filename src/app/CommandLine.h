#pragma once

#include <QStringList>

#include <optional>

// The reader's command line. It has no settings; --help and --version are its only options.
namespace commandline {

// Reads the raw arguments before any QApplication exists, so that nothing here needs a display.
// Handles --help and --version, lets the toolkit's own options through, and refuses anything
// else with a message on standard error. Returns the exit status when the program is to end
// now (2 for a refused argument), or nothing when the window is to start.
std::optional<int> handleBeforeApplication(const QStringList& arguments);

// argv as text, the way QCoreApplication would decode it.
QStringList argumentList(int argc, char** argv);

} // namespace commandline
