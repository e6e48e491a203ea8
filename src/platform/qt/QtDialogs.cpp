#include "QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

void QtDialogs::message(const QString& text, const QString& caption, Icon icon) {
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, caption,
                    QString(text).replace(QChar(13), QChar(10)), QMessageBox::Ok, m_parent);
    // Plain text: a cell's content must show as it stands, not as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString QtDialogs::saveFileName(const QString& filter, const QString& initialName) {
    // "Description|pattern" becomes Qt's "Description (pattern)" filter; the description
    // already names the pattern, so it is shown as it stands.
    const QString description = filter.section(QLatin1Char('|'), 0, 0);
    const QString pattern = filter.section(QLatin1Char('|'), 1, 1);
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(description.contains(pattern) ? description
                                                       : description + " (" + pattern + ")");
    // The chosen name is used exactly as given: no extension is added behind the user's back.
    dialog.setDefaultSuffix(QString());
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
