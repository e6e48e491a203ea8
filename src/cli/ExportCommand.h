#pragma once

#include <QDateTime>
#include <QString>

// px417 --export OUT FILE: writes the kept download FILE as OUT, byte for byte what the
// window's "Export Data (all)" writes for it, with exportedAt on the "Exported" line. Nothing
// is written to OUT when FILE is no download. Reports failures on standard error and returns
// the exit status.
int runExport(const QString& out, const QString& file, const QDateTime& exportedAt);
