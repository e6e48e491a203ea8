#include "qt/QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include <algorithm>

namespace {

// "*.csv" gives "csv"; a pattern that names no single extension gives none.
QString extensionOf(const QString& pattern) {
    const QString extension = pattern.startsWith(QStringLiteral("*.")) ? pattern.mid(2) : QString();
    for (const QChar c : extension)
        if (!c.isLetterOrNumber())
            return QString();
    return extension;
}

// A typed name without an extension gets the extension of the filter chosen when Save is
// pressed, however that filter was chosen; a name with an extension stays as typed.
class SaveDialog : public QFileDialog {
public:
    SaveDialog(QWidget* parent, QStringList extensions)
        : QFileDialog(parent), m_extensions(std::move(extensions)) {}

    void accept() override {
        setDefaultSuffix(m_extensions.value(nameFilters().indexOf(selectedNameFilter())));
        QFileDialog::accept();
    }

private:
    QStringList m_extensions;
};

} // namespace

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
    QStringList extensions;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        const QString& pattern = parts.at(i + 1);
        nameFilters << (description.contains(pattern) ? description
                                                      : description + " (" + pattern + ")");
        extensions << extensionOf(pattern);
    }
    SaveDialog dialog(m_parent, extensions);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters);
    if (!nameFilters.isEmpty())
        dialog.selectNameFilter(nameFilters.constFirst());
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (filterIndex)
        *filterIndex =
            std::max(0, static_cast<int>(nameFilters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().constFirst();
}
