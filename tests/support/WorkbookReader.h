#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

// A workbook as openpyxl reads it (tests/support/read_workbook.py), for checking what the
// export wrote with a reader that shares no code with the writer.
struct ReadWorkbook {
    struct Cell {
        QString type; // "s" text, "n" number
        QString format;
        QJsonValue value;
        bool bold = false;
    };
    QString error; // empty when the workbook was read
    QStringList sheets;
    QString freeze;
    QMap<QString, double> widths; // by column letter
    int rows = 0;
    QMap<QString, Cell> cells; // by coordinate; an empty cell is absent

    QString text(const QString& at) const { return cells.value(at).value.toString(); }
};

inline ReadWorkbook readWorkbook(const QString& path) {
    ReadWorkbook book;
    QProcess python;
    python.start(QStringLiteral(PX417_PYTHON3), {QStringLiteral(PX417_READ_WORKBOOK), path});
    if (!python.waitForFinished(60000) || python.exitStatus() != QProcess::NormalExit ||
        python.exitCode() != 0) {
        book.error = QStringLiteral("python3 failed: ") + python.errorString() + u' ' +
                     QString::fromLocal8Bit(python.readAllStandardError());
        return book;
    }
    const QJsonObject root = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    for (const QJsonValue& name : root.value(QStringLiteral("sheets")).toArray())
        book.sheets << name.toString();
    book.freeze = root.value(QStringLiteral("freeze")).toString();
    const QJsonObject widths = root.value(QStringLiteral("widths")).toObject();
    for (auto it = widths.begin(); it != widths.end(); ++it)
        book.widths.insert(it.key(), it.value().toDouble());
    book.rows = root.value(QStringLiteral("rows")).toInt();
    const QJsonObject cells = root.value(QStringLiteral("cells")).toObject();
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        const QJsonObject cell = it.value().toObject();
        book.cells.insert(it.key(), {cell.value(QStringLiteral("type")).toString(),
                                     cell.value(QStringLiteral("format")).toString(),
                                     cell.value(QStringLiteral("value")),
                                     cell.value(QStringLiteral("bold")).toBool()});
    }
    return book;
}
