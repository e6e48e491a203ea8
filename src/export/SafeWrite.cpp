#include "export/SafeWrite.h"

#include <QSaveFile>

bool writeFileReplacing(const QString& name, const QByteArray& bytes, QString* error) {
    QSaveFile file(name);
    // A file the user may write in a folder they may not: the temporary file cannot be made
    // beside it, so that one case writes the file in place. QSaveFile falls back only when
    // creating the temporary file is refused; everything else stays atomic.
    file.setDirectWriteFallback(true);
    const auto fail = [&file, error]() {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    // Unbuffered: a buffered write that fails only in the final flush (disk full) goes
    // unnoticed by commit(), which would then replace the old file with a truncated one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    // A write cut short by a full disk returns the part written with no error set; only the
    // next write fails and gives the system's reason.
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return fail();
        written += n;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
