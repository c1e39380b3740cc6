#include "app/language.h"
#include "app/settings.h"

#include "apptesthelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QtTest>

// Built without the embedded translations: every load fails, whatever the
// locale, so the fallbacks' last resort is what runs here.
class LanguageWithoutTranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_pSettings.reset(new AppTest::TemporarySettings);
        QVERIFY(m_pSettings->IsValid());
        QVERIFY(!QFile::exists(QStringLiteral(":/translation/Language_en.qm")));
    }
    void cleanup() { m_pSettings.reset(); }

    void startUpInstallsAndWritesNothing_data()
    {
        QTest::addColumn<int>("stored");
        QTest::newRow("never chosen") << -1;
        QTest::newRow("German") << 3;
    }
    void startUpInstallsAndWritesNothing()
    {
        QFETCH(int, stored);
        Settings::SetLanguageValue(stored);
        g_nLanguageId = 4;
        InitLanguage();
        QCOMPARE(g_nLanguageId, 4);
        QCOMPARE(Settings::LanguageValue(), stored);
        QVERIFY(g_translator.isEmpty());
        QCOMPARE(QCoreApplication::translate("MainForm", "Language"), QStringLiteral("Language"));
    }

    void failedSwitchKeepsIdAndStoredValue()
    {
        Settings::SetLanguageValue(2);
        g_nLanguageId = 2;
        SwitchLanguage(&g_translator, 7);
        QCOMPARE(g_nLanguageId, 2);
        QCOMPARE(Settings::LanguageValue(), 2);
    }

private:
    QScopedPointer<AppTest::TemporarySettings> m_pSettings;
};

QTEST_GUILESS_MAIN(LanguageWithoutTranslationsTest)
#include "tst_languagenoresources.moc"
