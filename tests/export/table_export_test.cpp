#include "export/TableExport.h"

#include <QLocale>

#include <gtest/gtest.h>

TEST(OfferedExportKinds, theWorkbookComesFirstWhereDecimalsAreWrittenWithAComma) {
    // German and French write 0,120; Swiss German and English write 0.120.
    const QList<ExportKind> workbookFirst{ExportKind::Workbook, ExportKind::Csv};
    for (const char* name : {"de_DE", "fr_FR", "de_AT"})
        EXPECT_EQ(offeredExportKinds(QLocale(QLatin1String(name))), workbookFirst) << name;
    const QList<ExportKind> csvFirst{ExportKind::Csv, ExportKind::Workbook};
    for (const char* name : {"C", "en_US", "de_CH"})
        EXPECT_EQ(offeredExportKinds(QLocale(QLatin1String(name))), csvFirst) << name;
}
