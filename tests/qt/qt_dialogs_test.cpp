// The real save dialog, answered by the test as a user would: the filters it offers, the one
// selected at first, and the filter and name it hands back.
#include "SaveDialogAnswer.h"
#include "qt/QtDialogs.h"

#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
        dialog.selectFile(dir.filePath(QStringLiteral("week")));
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
        dialog.selectFile(dir.filePath(QStringLiteral("week.xlsx")));
        static_cast<QDialog&>(dialog).accept(); // as the Save button does
    });
    int filterIndex = -1;
    EXPECT_EQ(dialogs.saveFileName(kFilters, QString(), &filterIndex),
              dir.filePath(QStringLiteral("week.xlsx")));
    EXPECT_EQ(filterIndex, 0);

    whenSaveDialogShown([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(dialogs.saveFileName(kFilters, QString(), &filterIndex), QString());
}
