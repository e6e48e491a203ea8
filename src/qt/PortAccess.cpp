#include "qt/PortAccess.h"

#include <QFile>

#if defined(Q_OS_LINUX)
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace portaccess {

QString groupFix(const QString& node) {
#if defined(Q_OS_LINUX)
    const QByteArray path = QFile::encodeName(node);
    if (::access(path.constData(), R_OK) == 0 || errno != EACCES)
        return {};
    struct stat info {};
    if (::stat(path.constData(), &info) != 0 || (info.st_mode & S_IRGRP) == 0)
        return {};
    const group* owner = ::getgrgid(info.st_gid);
    if (!owner || !owner->gr_name)
        return {};
    const QString name = QString::fromLocal8Bit(owner->gr_name);
    return QStringLiteral("The port belongs to group %1: sudo usermod -aG %1 $USER, then log in "
                          "again.")
        .arg(name);
#else
    Q_UNUSED(node);
    return {};
#endif
}

} // namespace portaccess
