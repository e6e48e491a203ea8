#include "export/TableExport.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

constexpr char kCsvFirst[] = "Comma Separated Files (*.csv)|*.csv|Excel Workbook (*.xlsx)|*.xlsx";
constexpr char kWorkbookFirst[] =
    "Excel Workbook (*.xlsx)|*.xlsx|Comma Separated Files (*.csv)|*.csv";

QString filterFor(const char* localeName) {
    return exportDialogFilter(offeredExportKinds(QLocale(QString::fromLatin1(localeName))));
}

} // namespace

TEST(OfferedExportKinds, theWorkbookComesFirstWhereDecimalsAreWrittenWithAComma) {
    // German and French write 0,120; Swiss German and English write 0.120.
    for (const char* name : {"de_DE", "fr_FR", "de_AT"})
        EXPECT_EQ(filterFor(name), kWorkbookFirst) << name;
    for (const char* name : {"C", "en_US", "en_GB", "de_CH"})
        EXPECT_EQ(filterFor(name), kCsvFirst) << name;
}
