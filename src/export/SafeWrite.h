#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to the file name, replacing an existing file only once everything is written:
// on failure the old file is left as it was and *error (when given) holds the system's reason.
// The exception is a writable file in a folder that refuses new files: it is written in place,
// and a failure part-way leaves it cut short.
bool writeFileReplacing(const QString& name, const QByteArray& bytes, QString* error);
