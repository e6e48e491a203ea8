#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The window program's command line: the options of the px417 command, read before any
// QApplication exists so that nothing here needs a display.
namespace commandline {

// Handles --help and --version, lets the toolkit's own options through, and refuses anything
// else with a message on standard error. Returns the exit status when the program is to end
// now (2 for a refused argument), or nothing when the window is to start; then *keptFile is
// the kept download to open, or empty.
std::optional<int> handleBeforeApplication(const QStringList& arguments, QString* keptFile);

} // namespace commandline
