// The real save dialog, answered by the test as a user would: the filters it offers, the one
// selected at first, and the filter and name it hands back.
#include "qt/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr char kFilters[] = "Comma Separated Files (*.csv)|*.csv|Excel Workbook (*.xlsx)|*.xlsx";

// Runs answer on the save dialog once it is shown.
void whenShown(std::function<void(QFileDialog&)> answer) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(*dialog);
        }
    });
    timer->start(10);
}

} // namespace

TEST(QtSaveDialog, offersTheFiltersInOrderAndANameWithoutExtensionGetsTheSelectedFiltersOne) {
    QTemporaryDir dir;
    QtDialogs dialogs;
    QStringList offered;
    QString selectedAtFirst;
    whenShown([&](QFileDialog& dialog) {
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
    whenShown([&](QFileDialog& dialog) {
        dialog.selectFile(dir.filePath(QStringLiteral("week.xlsx")));
        static_cast<QDialog&>(dialog).accept(); // as the Save button does
    });
    int filterIndex = -1;
    EXPECT_EQ(dialogs.saveFileName(kFilters, QString(), &filterIndex),
              dir.filePath(QStringLiteral("week.xlsx")));
    EXPECT_EQ(filterIndex, 0);

    whenShown([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(dialogs.saveFileName(kFilters, QString(), &filterIndex), QString());
}
