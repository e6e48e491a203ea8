// The export command with the real save dialog: the user's locale decides which kind is offered
// first, and a name typed without an extension gets the chosen kind's.
#include "Fakes.h"
#include "SaveDialogAnswer.h"
#include "app/Form1.h"
#include "qt/QtDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Form1ExportDialog, theLocaleDecidesTheKindOfferedFirstAndATypedNameGetsItsExtension) {
    struct Case {
        const char* locale;
        const char* firstFilter;
        const char* written;
        QByteArray begins;
    };
    // A workbook is a zip archive ("PK"); the CSV begins with its "Exported" line.
    for (const Case& c : {Case{"de_DE", "Excel Workbook (*.xlsx)", "all1.xlsx", "PK"},
                          Case{"C", "Comma Separated Files (*.csv)", "all1.csv", "Exported "}}) {
        SCOPED_TRACE(c.locale);
        FakeSerialPort port;
        FakeDeviceList devices;
        QtDialogs dialogs;
        FixedClock clock;
        FakeProgram program;
        Form1 form(port, devices, dialogs, clock, program, 15.0,
                   QLocale(QString::fromLatin1(c.locale)));
        dialogs.setParent(&form);
        form.Form_Load();

        QTemporaryDir dir;
        QString selectedAtFirst;
        whenSaveDialogShown([&](QFileDialog& dialog) {
            selectedAtFirst = dialog.selectedNameFilter();
            dialog.selectFile(dir.filePath(QStringLiteral("all1")));
            static_cast<QDialog&>(dialog).accept(); // as the Save button does
        });
        form.C_Export_Click(0);

        EXPECT_EQ(selectedAtFirst, QString::fromLatin1(c.firstFilter));
        QFile file(dir.filePath(QString::fromLatin1(c.written)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().startsWith(c.begins));
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("all1"))));
    }
}
