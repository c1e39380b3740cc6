#include "app/apppaths.h"
#include "app/settings.h"

#include "apptesthelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

using AppTest::ReadAll;
using AppTest::WriteAll;

// The settings file, one fresh access per key. Pointed at a temporary folder;
// the real location beside the executable, non-ASCII paths and a restart are
// covered by tst_startup.
class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_pSettings.reset(new AppTest::TemporarySettings);
        QVERIFY(m_pSettings->IsValid());
        m_sFile = m_pSettings->FilePath();
    }
    void cleanup() { m_pSettings.reset(); }

    void seedingAFreshFolderCreatesFileWithMinusOne()
    {
        QVERIFY(!QFileInfo::exists(m_pSettings->DirPath() + QStringLiteral("/config")));
        Settings::SeedSettingsFile();
        QVERIFY(QFileInfo(m_sFile).isFile());
        const QByteArray content = ReadAll(m_sFile);
        QVERIFY2(content.contains("[software]"), content.constData());
        QVERIFY2(content.contains("language=-1"), content.constData());
        QCOMPARE(Settings::LanguageValue(), -1);
    }

    void seedingAddsMissingKeyAndKeepsTheRest()
    {
        QVERIFY(WriteAll(m_sFile, "[software]\nexportdir=/srv/reports\n"));
        Settings::SeedSettingsFile();
        QCOMPARE(Settings::LanguageValue(), -1);
        QCOMPARE(Settings::ExportDir(), QStringLiteral("/srv/reports"));
    }

    void seedingLeavesAnyExistingLanguageValue_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("id") << QByteArray("3");
        QTest::newRow("out of range") << QByteArray("12");
        QTest::newRow("not a number") << QByteArray("deutsch");
        QTest::newRow("empty") << QByteArray("");
    }
    void seedingLeavesAnyExistingLanguageValue()
    {
        QFETCH(QByteArray, stored);
        QVERIFY(WriteAll(m_sFile, "[software]\nlanguage=" + stored + "\n"));
        Settings::SeedSettingsFile();
        QCOMPARE(Settings::Value(QLatin1String(Settings::kLanguageKey)).toByteArray(), stored);
    }

    void languageReadsAsZeroWhenAbsentOrNotANumber()
    {
        QCOMPARE(Settings::LanguageValue(), 0); // no file at all
        QVERIFY(WriteAll(m_sFile, "[software]\nlanguage=abc\n"));
        QCOMPARE(Settings::LanguageValue(), 0);
        QVERIFY(WriteAll(m_sFile, "[software]\nlanguage=12\n"));
        QCOMPARE(Settings::LanguageValue(), 12);
    }

    void everyAccessSeesTheFileAsItIsNow()
    {
        QCOMPARE(Settings::UpgradeDir(), QString());
        QCOMPARE(Settings::ExportDir(), QString());
        Settings::SetExportDir(QStringLiteral("/first"));
        QCOMPARE(Settings::ExportDir(), QStringLiteral("/first"));
        // Another writer changes the file between two accesses: nothing is cached.
        QVERIFY(WriteAll(m_sFile, "[software]\nexportdir=/second\nlanguage=4\n"));
        QCOMPARE(Settings::ExportDir(), QStringLiteral("/second"));
        QCOMPARE(Settings::LanguageValue(), 4);
        // One key written keeps the others.
        Settings::SetUpgradeDir(QStringLiteral("/fw.bin"));
        QCOMPARE(Settings::ExportDir(), QStringLiteral("/second"));
        QCOMPARE(Settings::LanguageValue(), 4);
    }

    // Where config/ and logs/ go. A folder below a plain file stands in for
    // one that cannot be written (the suite may run as root, who ignores
    // permission bits).
    void dataFolderIsTheFirstThatTakesAFile_data()
    {
        QTest::addColumn<bool>("bAppWritable");
        QTest::addColumn<bool>("bUserWritable");
        QTest::addColumn<QString>("sExpected");
        QTest::newRow("program folder writable") << true << true << QStringLiteral("app");
        QTest::newRow("program folder not writable") << false << true << QStringLiteral("user");
        QTest::newRow("neither writable") << false << false << QStringLiteral("app");
    }
    void dataFolderIsTheFirstThatTakesAFile()
    {
        QFETCH(bool, bAppWritable);
        QFETCH(bool, bUserWritable);
        QFETCH(QString, sExpected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(WriteAll(dir.filePath(QStringLiteral("plain")), "not a folder"));
        const QString sBlocked = dir.filePath(QStringLiteral("plain"));
        const QString sApp = bAppWritable ? dir.path() : sBlocked + QStringLiteral("/app");
        const QString sUser = (bUserWritable ? dir.path() : sBlocked) + QStringLiteral("/user/Kestrelpack");

        const QString sChosen = AppPaths::ChooseDataDir(sApp, sUser);
        QCOMPARE(sChosen, sExpected == QLatin1String("app") ? sApp : sUser);
        if (sChosen == sUser) {
            QVERIFY(QFileInfo(sUser).isDir()); // made on the way
        }
        // The write probe leaves nothing behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 bUserWritable && !bAppWritable ? (QStringList{QStringLiteral("plain"), QStringLiteral("user")})
                                                : QStringList{QStringLiteral("plain")});
    }

private:
    QScopedPointer<AppTest::TemporarySettings> m_pSettings;
    QString m_sFile;
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_settings.moc"
