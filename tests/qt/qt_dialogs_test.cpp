// The real save dialog, answered by the test as a user would: the filters it offers, the one
// selected at first, and the filter and name it hands back.
#include "QtPrinters.h"
#include "SaveDialogAnswer.h"
#include "WaitUntil.h"
#include "qt/QtDialogs.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QStyle>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#ifdef Q_OS_UNIX
#include <climits>
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace {

constexpr char kFilters[] = "Comma Separated Files (*.csv)|*.csv|Excel Workbook (*.xlsx)|*.xlsx";

} // namespace

TEST(QtSaveDialog, offersTheFiltersInOrderAndANameWithoutExtensionGetsTheSelectedFiltersOne) {
    QTemporaryDir dir;
    QtDialogs dialogs;
    QStringList offered;
    QString selectedAtFirst;
    whenSaveDialogShown([&](QFileDialog& dialog) {
        offered = dialog.nameFilters();
        selectedAtFirst = dialog.selectedNameFilter();
        dialog.selectNameFilter(QStringLiteral("Excel Workbook (*.xlsx)"));
        typeFileName(dialog, dir.filePath(QStringLiteral("week")));
        static_cast<QDialog&>(dialog).accept(); // as the Save button does
    });
    int filterIndex = -1;
    const QString name = dialogs.saveFileName(kFilters, QString(), &filterIndex);
    EXPECT_EQ(offered, QStringList({"Comma Separated Files (*.csv)", "Excel Workbook (*.xlsx)"}));
    EXPECT_EQ(selectedAtFirst, "Comma Separated Files (*.csv)");
    EXPECT_EQ(filterIndex, 1);
    EXPECT_EQ(name, dir.filePath(QStringLiteral("week.xlsx"))); // the chosen filter's
}

TEST(QtSaveDialog, aTypedExtensionStaysWhateverTheFilterAndCancelGivesNoName) {
    QTemporaryDir dir;
    QtDialogs dialogs;
    whenSaveDialogShown([&](QFileDialog& dialog) {
        typeFileName(dialog, dir.filePath(QStringLiteral("week.xlsx")));
        static_cast<QDialog&>(dialog).accept(); // as the Save button does
    });
    int filterIndex = -1;
    EXPECT_EQ(dialogs.saveFileName(kFilters, QString(), &filterIndex),
              dir.filePath(QStringLiteral("week.xlsx")));
    EXPECT_EQ(filterIndex, 0);

    whenSaveDialogShown([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(dialogs.saveFileName(kFilters, QString(), &filterIndex), QString());
}

// In /proc a file like kmsg never ends: a dialog that read files to tell their type would hang
// the window there. A file watched for opens shows it on any file system.
TEST(QtSaveDialog, showingAFolderOpensNoneOfItsFilesYetListsTheirTypes) {
#ifndef Q_OS_UNIX
    GTEST_SKIP() << "the file's opens are watched with inotify, which Windows does not have";
#else
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("kmsg"))); // no extension: only its bytes would tell
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("<6>meter plugged in\n") > 0);
    file.close();
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(file.fileName()).constData(), IN_OPEN), 0);
    QString type;
    whenSaveDialogShown([&](QFileDialog& dialog) {
        const auto* model = dialog.findChild<QFileSystemModel*>();
        waitUntil([&] { return !(type = model->type(model->index(file.fileName()))).isEmpty(); },
                  5000);
        dialog.reject();
    });
    QtDialogs().saveFileName(QStringLiteral("All Files (*)|*"), dir.filePath("week"), nullptr);
    char event[sizeof(inotify_event) + NAME_MAX + 1];
    EXPECT_LT(::read(watch, event, sizeof event), 0) << "the dialog opened the file";
    ::close(watch);
    EXPECT_FALSE(type.isEmpty()) << "the dialog never listed the file";
#endif
}

// Desktops that centre the title keep as much room on its left as the title bar's buttons (up
// to three, each about as wide as the bar is high) take on its right.
TEST(QtMessageBox, aShortTextStillGivesTheTitleRoomBesideTheTitleBarsButtons) {
    int width = 0;
    int needed = 0;
    whenShownAs<QMessageBox>([&](QMessageBox& box) {
        QFont bold = box.font();
        bold.setBold(true);
        needed = QFontMetrics(bold).horizontalAdvance(QStringLiteral("PX417")) +
                 6 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
        width = box.width();
        box.accept();
    });
    QtDialogs().message(QStringLiteral("No data selected"), QStringLiteral("PX417"),
                        Dialogs::Icon::None);
    EXPECT_GE(width, needed);
}
