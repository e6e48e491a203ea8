#pragma once

#include <QString>

class QMimeData;

// The box text for a file that cannot be opened as a kept download.
QString openFailureText(const QString& path, const QString& error);

// The one local file of a drop; empty when the drop holds no local file or several.
QString droppedFile(const QMimeData* data);
