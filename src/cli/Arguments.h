#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The reader's command line as the program sees it before anything else runs.
namespace commandline {

enum class Mode { Window, Help, Version, Export, Capture, Invalid };

struct Arguments {
    Mode mode = Mode::Window;
    QString out;
    // --export: the kept download to write; the window: the one to open, or empty.
    QString file;
    // --capture: "COMn", a device node, or empty for the only meter.
    QString port;
    // --capture: seconds to wait at most; 0 waits without end.
    int timeoutSeconds = 0;
    // Mode::Invalid: what is wrong.
    QString error;
};

// Reads the raw arguments (the program's name first). The toolkit's own options are let
// through for the window; any other unknown option, or a second FILE, makes Mode::Invalid.
Arguments parseArguments(const QStringList& arguments);

// The text --help prints: options, the commands and their exit statuses.
QString helpText();

// Answers --help and --version, or says what is wrong with the command line, and returns the
// exit status; nothing for the modes that run a program (the window, --export, --capture).
std::optional<int> answerWithoutProgram(const Arguments& arguments);

// argv as text, the way QCoreApplication would decode it.
QStringList argumentList(int argc, char** argv);

} // namespace commandline
