// The export command with the real save dialog: the user's locale decides which kind is offered
// first, and a name typed without an extension gets the chosen kind's.
#include "Fakes.h"
#include "SaveDialogAnswer.h"
#include "app/Form1.h"
#include "qt/QtDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>

TEST(Form1ExportDialog, theLocaleDecidesTheKindOfferedFirstAndATypedNameGetsItsExtension) {
    for (const auto& [locale, firstFilter, written] :
         {std::array<const char*, 3>{"de_DE", "Excel Workbook (*.xlsx)", "all1.xlsx"},
          std::array<const char*, 3>{"C", "Comma Separated Files (*.csv)", "all1.csv"}}) {
        SCOPED_TRACE(locale);
        FakeSerialPort port;
        FakeDeviceList devices;
        QtDialogs dialogs;
        FixedClock clock;
        FakeProgram program;
        Form1 form(port, devices, dialogs, clock, program, 15.0, QLocale(QLatin1String(locale)));
        dialogs.setParent(&form);
        form.Form_Load();
        QTemporaryDir dir;
        QString selectedAtFirst;
        whenSaveDialogShown([&](QFileDialog& dialog) {
            selectedAtFirst = dialog.selectedNameFilter();
            typeFileName(dialog, dir.filePath(QStringLiteral("all1")));
            static_cast<QDialog&>(dialog).accept(); // as the Save button does
        });
        form.C_Export_Click(0);
        EXPECT_EQ(selectedAtFirst, QLatin1String(firstFilter));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QLatin1String(written)});
    }
}
