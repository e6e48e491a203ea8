#include "Rerun.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

int rerunThisCase(const QStringList& command, const QProcessEnvironment& environment, QString* out,
                  const QString& program) {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    const QString filter =
        QStringLiteral("--gtest_filter=%1.%2")
            .arg(QLatin1String(info->test_suite_name()), QLatin1String(info->name()));
    const QStringList whole =
        command +
        QStringList{program.isEmpty() ? QCoreApplication::applicationFilePath() : program, filter};
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(whole.first(), whole.mid(1));
    const bool ran = child.waitForFinished(60000) && child.exitStatus() == QProcess::NormalExit;
    *out = QString::fromLocal8Bit(child.readAll());
    return ran ? child.exitCode() : -1;
}

int rerunInMountNamespace(const QString& setup, const QString& argument,
                          const QProcessEnvironment& environment, QString* out) {
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    if (unshare.isEmpty()) {
        *out = QStringLiteral("no unshare");
        return 77;
    }
    const QString setupThenRun = setup + QStringLiteral(" || exit 77; shift; exec \"$@\"");
    QString why;
    for (const QStringList& options :
         {QStringList{"--user", "--map-root-user", "--mount"}, QStringList{"--mount"}}) {
        const int status = rerunThisCase(QStringList{unshare} + options +
                                             QStringList{"sh", "-c", setupThenRun, argument, "x"},
                                         environment, out);
        if (status != 77 && !out->contains(QStringLiteral("unshare failed")))
            return status;
        why += *out;
    }
    *out = why;
    return 77;
}

void expectRerunPassed(int status, const QString& out) {
    EXPECT_EQ(status, 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("SKIPPED"))) << out.toStdString();
}
