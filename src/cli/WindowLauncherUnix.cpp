#include "cli/WindowLauncher.h"

#include "cli/ExitStatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace windowlauncher {

namespace {

// The window program's file name.
constexpr char kWindowProgram[] = "px417-window";

// This program's folder, without an application object (which would cost start-up time).
QString ownFolder(const char* argv0) {
    const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    return QFileInfo(self.isEmpty() ? QFile::decodeName(argv0) : self).absolutePath();
}

} // namespace

int execWindow(char** argv) {
    const QDir folder(ownFolder(argv[0]));
    QString program;
    for (const QString& candidate :
         {folder.filePath(QLatin1String(kWindowProgram)),
          folder.filePath(QStringLiteral("../lib/px417/") + QLatin1String(kWindowProgram))}) {
        if (QFileInfo(candidate).isExecutable()) {
            program = QDir::cleanPath(candidate);
            break;
        }
    }
    if (program.isEmpty()) {
        std::fprintf(stderr, "px417: the window program %s is missing beside %s\n", kWindowProgram,
                     qPrintable(folder.path()));
        return exitstatus::kFailed;
    }
    const QByteArray path = QFile::encodeName(program);
    execv(path.constData(), argv);
    std::fprintf(stderr, "px417: cannot start %s: %s\n", path.constData(), std::strerror(errno));
    return exitstatus::kFailed;
}

} // namespace windowlauncher
