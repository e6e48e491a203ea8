#include "qt/QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include <algorithm>

void QtDialogs::message(const QString& text, const QString& caption, Icon icon) {
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, caption,
                    QString(text).replace(QChar(13), QChar(10)), QMessageBox::Ok, m_parent);
    // Plain text: a cell's content must show as it stands, not as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString QtDialogs::saveFileName(const QString& filter, const QString& initialName,
                                int* filterIndex) {
    // Each "Description|pattern" pair becomes Qt's "Description (pattern)" filter; a
    // description that already names its pattern is shown as it stands.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList nameFilters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        const QString& pattern = parts.at(i + 1);
        nameFilters << (description.contains(pattern) ? description
                                                      : description + " (" + pattern + ")");
    }
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters);
    if (!nameFilters.isEmpty())
        dialog.selectNameFilter(nameFilters.constFirst());
    // The chosen name is used exactly as given: no extension is added behind the user's back.
    dialog.setDefaultSuffix(QString());
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (filterIndex)
        *filterIndex =
            std::max(0, static_cast<int>(nameFilters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().constFirst();
}
