#include "store/DiskFiles.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

RenameResult failure(int code, QString* error) {
    *error = qt_error_string(code);
    return code == EEXIST ? RenameResult::NameTaken : RenameResult::Failed;
}

} // namespace

bool syncToDisk(QFileDevice& file, QString* error) {
    if (::fsync(file.handle()) == 0)
        return true;
    *error = qt_error_string(errno);
    return false;
}

RenameResult renameWithoutReplacing(const QString& from, const QString& to, QString* error) {
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0)
        return RenameResult::Done;
    // A file system without this kind of rename: a hard link refuses a taken name as well.
    if (errno != EINVAL && errno != ENOSYS)
        return failure(errno, error);
#endif
    if (::link(source.constData(), target.constData()) != 0)
        return failure(errno, error);
    // The file is in place under its name; a scratch name left behind holds the same bytes.
    ::unlink(source.constData());
    return RenameResult::Done;
}
