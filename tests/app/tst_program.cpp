#include "apptesthelpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

using AppTest::ReadAll;
using AppTest::TranslatedBy;

// The real program, run from a copy in a fresh folder (its config/ and logs/
// go there) on the offscreen platform. It traces its first painted window on
// stderr; a termination signal is its clean way out on this system.
class ProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void startsInItsLanguageAndQuitsCleanly_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("systemLanguage");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("file");
        // The stored choice wins over the system's language.
        QTest::newRow("stored German") << QByteArray("[software]\nlanguage=3\n") << "fr" << 3 << "Language_de";
        QTest::newRow("first start, Russian system") << QByteArray() << "ru_RU" << 6 << "Language_ru";
    }
    void startsInItsLanguageAndQuitsCleanly()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, systemLanguage);
        QFETCH(int, id);
        QFETCH(QString, file);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sProgram = AppTest::CopyInto(QStringLiteral(KP_PROGRAM_PATH), dir.path());
        QVERIFY(!sProgram.isEmpty());
        const QString sConfig = dir.path() + QStringLiteral("/config/config.ini");
        if (!config.isEmpty()) {
            QVERIFY(AppTest::WriteAll(sConfig, config));
        }

        QProcess process;
        process.setProcessEnvironment(
            AppTest::Environment(systemLanguage, QStringLiteral("C.UTF-8"), QStringLiteral("C.UTF-8")));
        QElapsedTimer timer;
        timer.start();
        process.setReadChannel(QProcess::StandardError);
        process.start(sProgram, QStringList());
        QVERIFY2(process.waitForStarted(30000), qPrintable(process.errorString()));

        const QRegularExpression shown(QStringLiteral("Main window shown after (\\d+) ms: (.*) / (.*)"));
        QRegularExpressionMatch match;
        QByteArray err;
        qint64 nShownMs = -1;
        while (nShownMs < 0 && process.state() == QProcess::Running) {
            process.waitForReadyRead(1000);
            err += process.readAllStandardError();
            match = shown.match(QString::fromUtf8(err));
            if (match.hasMatch()) {
                nShownMs = timer.elapsed();
            }
            QVERIFY2(timer.elapsed() < 60000, err.constData());
        }
        QVERIFY2(match.hasMatch(), err.constData());
        qInfo().noquote() << QStringLiteral("%1: window shown %2 ms after the process started (%3 ms in main)")
                                 .arg(QLatin1String(QTest::currentDataTag()))
                                 .arg(nShownMs)
                                 .arg(match.captured(1));
        QCOMPARE(match.captured(2), QStringLiteral("Kestrelpack"));
        QCOMPARE(match.captured(3), TranslatedBy(file, "MainForm", "Language"));

        QVERIFY(::kill(pid_t(process.processId()), SIGTERM) == 0);
        QVERIFY(process.waitForFinished(30000));
        err += process.readAllStandardError();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);

        QVERIFY2(ReadAll(sConfig).contains("language=" + QByteArray::number(id)), ReadAll(sConfig).constData());
        const QStringList logs =
            QDir(dir.path() + QStringLiteral("/logs")).entryList({QStringLiteral("K9Z40_*.log")}, QDir::Files);
        QCOMPARE(logs.size(), 1);
        const QByteArray log = ReadAll(dir.path() + QStringLiteral("/logs/") + logs.first());
        QVERIFY2(log.endsWith("Application finished\r\n"), log.constData());
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program.moc"
