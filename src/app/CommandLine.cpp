#include "app/CommandLine.h"

#include "cli/Arguments.h"
#include "cli/CommandOutput.h"
#include "cli/ExitStatus.h"

namespace commandline {

std::optional<int> handleBeforeApplication(const QStringList& arguments, QString* keptFile) {
    const Arguments parsed = parseArguments(arguments);
    if (const std::optional<int> status = answerWithoutProgram(parsed))
        return status;
    if (parsed.mode != Mode::Window) {
        // px417 runs --export and --capture itself and starts this program for the rest.
        printError(QStringLiteral("--export and --capture are options of px417"));
        return exitstatus::kUsage;
    }
    *keptFile = parsed.file;
    return std::nullopt;
}

} // namespace commandline
