#include "app/language.h"
#include "app/settings.h"

#include "apptesthelpers.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QtTest>

namespace {

using AppTest::TranslatedBy;

QString Shown(const char *szContext, const char *szText)
{
    return QCoreApplication::translate(szContext, szText);
}

class LanguageChangeCounter : public QWidget
{
public:
    int m_nChanges = 0;
    QString m_sTextSeen;

protected:
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::LanguageChange) {
            ++m_nChanges;
            m_sTextSeen = Shown("MainForm", "Language");
        }
        QWidget::changeEvent(event);
    }
};

} // namespace

// The stored language at start-up and the switch the main window applies.
// Start-ups that search the system's languages depend on the locale and run
// in child processes (tst_startup).
class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_pSettings.reset(new AppTest::TemporarySettings);
        QVERIFY(m_pSettings->IsValid());
        g_nLanguageId = 0;
    }
    void cleanup()
    {
        QCoreApplication::removeTranslator(&g_translator);
        m_pSettings.reset();
    }

    void idFromTranslationFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("id");
        QTest::newRow("zh_CN") << "Language_zh_CN" << 0;
        QTest::newRow("en") << "Language_en" << 1;
        QTest::newRow("fr") << "Language_fr" << 2;
        QTest::newRow("de") << "Language_de" << 3;
        QTest::newRow("es") << "Language_es" << 4;
        QTest::newRow("it") << "Language_it" << 5;
        QTest::newRow("ru") << "Language_ru" << 6;
        QTest::newRow("pl") << "Language_pl" << 7;
        // Whole names only: anything else counts as English.
        QTest::newRow("territory") << "Language_de_DE" << 1;
        QTest::newRow("case") << "language_de" << 1;
        QTest::newRow("prefix") << "Language_d" << 1;
        QTest::newRow("with suffix") << "Language_ru.qm" << 1;
        QTest::newRow("empty") << "" << 1;
    }
    void idFromTranslationFileName()
    {
        QFETCH(QString, name);
        QFETCH(int, id);
        g_nLanguageId = 5;
        SetLanguageIdByFile(name);
        QCOMPARE(g_nLanguageId, id);
    }

    void storedLanguageIsShownAndKept_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("file");
        QTest::newRow("German") << QByteArray("3") << 3 << "Language_de";
        QTest::newRow("Polish") << QByteArray("7") << 7 << "Language_pl";
        QTest::newRow("12 shows English") << QByteArray("12") << 1 << "Language_en";
        QTest::newRow("-5 shows English") << QByteArray("-5") << 1 << "Language_en";
        QTest::newRow("text reads as Chinese") << QByteArray("Deutsch") << 0 << "Language_zh_CN";
    }
    void storedLanguageIsShownAndKept()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, id);
        QFETCH(QString, file);
        QVERIFY(AppTest::WriteAll(m_pSettings->FilePath(), "[software]\nlanguage=" + stored + "\n"));

        InitLanguage();
        QCOMPARE(g_nLanguageId, id);
        QCOMPARE(g_translator.filePath(), QStringLiteral(":/translation/%1.qm").arg(file));
        // Installed: the application's texts now come from that file.
        QCOMPARE(Shown("MainForm", "Language"), TranslatedBy(file, "MainForm", "Language"));
        QCOMPARE(Settings::Value(QLatin1String(Settings::kLanguageKey)).toByteArray(), stored);
    }

    void choosingPolishReloadsAnnouncesAndStores()
    {
        SwitchLanguage(&g_translator, 3);
        QCOMPARE(Shown("MainForm", "Language"), TranslatedBy("Language_de", "MainForm", "Language"));

        LanguageChangeCounter widget;
        widget.show();
        QCoreApplication::processEvents();
        widget.m_nChanges = 0;

        SwitchLanguage(&g_translator, 7);
        QCOMPARE(g_nLanguageId, 7);
        QCOMPARE(Settings::LanguageValue(), 7);
        QCOMPARE(g_translator.filePath(), QStringLiteral(":/translation/Language_pl.qm"));
        const QString sPolish = TranslatedBy("Language_pl", "MainForm", "Language");
        QVERIFY(sPolish != TranslatedBy("Language_de", "MainForm", "Language"));
        QCOMPARE(Shown("MainForm", "Language"), sPolish);
        // The widget hears of it and reads the new texts when it does.
        QTRY_VERIFY(widget.m_nChanges >= 1);
        QCOMPARE(widget.m_sTextSeen, sPolish);

        // Choosing the language shown again reloads it and stores it again.
        Settings::SetLanguageValue(2);
        SwitchLanguage(&g_translator, 7);
        QCOMPARE(Settings::LanguageValue(), 7);
        QCOMPARE(Shown("MainForm", "Language"), sPolish);
    }

    void switchWithoutALanguageChangesNothing_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("8") << 8;
        QTest::newRow("-1") << -1;
    }
    void switchWithoutALanguageChangesNothing()
    {
        SwitchLanguage(&g_translator, 3);
        const QString sGerman = Shown("MainForm", "Language");
        QFETCH(int, id);
        SwitchLanguage(&g_translator, id);
        QCOMPARE(g_nLanguageId, 3);
        QCOMPARE(Settings::LanguageValue(), 3);
        QCOMPARE(Shown("MainForm", "Language"), sGerman);

        SwitchLanguage(nullptr, 5); // a window that never got the translator
        QCOMPARE(g_nLanguageId, 3);
        QCOMPARE(Settings::LanguageValue(), 3);
    }

private:
    QScopedPointer<AppTest::TemporarySettings> m_pSettings;
};

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
