#include "qt/QtDialogs.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QGridLayout>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QStyle>

#include <algorithm>

namespace {

// Icons and type names from a file's name and kind alone. The toolkit's own provider reads a
// file's first bytes to tell its type, on the window's thread too; in a folder such as /proc a
// file like kmsg never ends, so the window would hang on it for good, and take bytes meant for
// another reader.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override {
        if (info.isDir())
            return icon(Folder);
        const QMimeType type = typeByName(info);
        return QIcon::fromTheme(type.iconName(),
                                QIcon::fromTheme(type.genericIconName(), icon(File)));
    }

    QString type(const QFileInfo& info) const override {
        if (!info.isFile())
            return QFileIconProvider::type(info); // a folder, drive or link: no file is read
        const QMimeType type = typeByName(info);
        return type.comment().isEmpty() ? type.name() : type.comment();
    }

private:
    QMimeType typeByName(const QFileInfo& info) const {
        return m_types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }

    QMimeDatabase m_types;
};

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
    // Sized for a short text alone, the box is narrower than its title beside the title bar's
    // buttons, and the desktop cuts the title short ("PX…7"). Title bars often use a bold face
    // and centre the title, so it needs room for up to three buttons, each about a bar's height
    // wide, on both sides, and a margin.
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int bar = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(caption) + 7 * bar;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0), grid->rowCount(), 0, 1, grid->columnCount());
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
    NameOnlyIconProvider icons; // outlives the dialog, which uses it to its end
    SaveDialog dialog(m_parent, extensions);
    dialog.setIconProvider(&icons);
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
