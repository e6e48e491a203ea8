#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the warnings (what the program writes to standard error) while it lives.
class Warnings {
public:
    Warnings() {
        s_lines.clear();
        s_previous = qInstallMessageHandler(&Warnings::collect);
    }
    ~Warnings() { qInstallMessageHandler(s_previous); }
    Warnings(const Warnings&) = delete;
    Warnings& operator=(const Warnings&) = delete;

    const QStringList& lines() const { return s_lines; }

private:
    static void collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg)
            s_lines << text;
    }
    static inline QStringList s_lines;
    static inline QtMessageHandler s_previous = nullptr;
};
