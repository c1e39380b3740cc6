#include "apptesthelpers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using AppTest::TranslatedBy;

// The language at start-up as the program finds it: settings file beside the
// executable, system languages from the environment. Each case runs a copy of
// a helper that performs the program's start-up steps in a fresh folder.
class StartupTest : public QObject
{
    Q_OBJECT

private:
    QMap<QString, QString> RunProbe(const QString &sProbe, const QStringList &args,
                                    const QProcessEnvironment &env)
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(sProbe, args);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            qWarning() << "probe failed:" << process.errorString() << process.readAllStandardError();
            return {};
        }
        return AppTest::ParseKeyValues(process.readAllStandardOutput());
    }

private slots:
    void firstStartFindsTheSystemLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("lcAll");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("file");
        QTest::newRow("zh_CN") << "zh_CN" << "zh_CN.UTF-8" << 0 << "Language_zh_CN";
        QTest::newRow("en_US") << "en_US" << "en_US.UTF-8" << 1 << "Language_en";
        QTest::newRow("de_DE loads German") << "de_DE" << "de_DE.UTF-8" << 3 << "Language_de";
        QTest::newRow("pt_BR falls back to English") << "pt_BR" << "pt_BR.UTF-8" << 1 << "Language_en";
        QTest::newRow("first with a translation wins") << "pt_BR:ru:fr" << "pt_BR.UTF-8" << 6 << "Language_ru";
        QTest::newRow("no LANGUAGE, LC_ALL it_IT") << "" << "it_IT.UTF-8" << 5 << "Language_it";
        QTest::newRow("C locale") << "" << "C" << 1 << "Language_en";
    }
    void firstStartFindsTheSystemLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, lcAll);
        QFETCH(int, id);
        QFETCH(QString, file);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sProbe = AppTest::CopyInto(QStringLiteral(KP_LANGUAGEPROBE_PATH), dir.path());
        QVERIFY(!sProbe.isEmpty());
        const auto values = RunProbe(sProbe, {QStringLiteral("start")},
                                     AppTest::Environment(language, lcAll, lcAll));
        QCOMPARE(values.value(QStringLiteral("settings")), dir.path() + QStringLiteral("/config/config.ini"));
        QCOMPARE(values.value(QStringLiteral("seeded")), QStringLiteral("-1"));
        QCOMPARE(values.value(QStringLiteral("id")), QString::number(id));
        QCOMPARE(values.value(QStringLiteral("stored")), QString::number(id));
        QCOMPARE(values.value(QStringLiteral("file")), QStringLiteral(":/translation/%1.qm").arg(file));
        QCOMPARE(values.value(QStringLiteral("text")), TranslatedBy(file, "MainForm", "Language"));

        // The next start loads the language found, whatever the system says now.
        const auto again = RunProbe(sProbe, {QStringLiteral("start")},
                                    AppTest::Environment(QStringLiteral("pl"), QStringLiteral("C"), QString()));
        QCOMPARE(again.value(QStringLiteral("seeded")), QString::number(id));
        QCOMPARE(again.value(QStringLiteral("id")), QString::number(id));
        QCOMPARE(again.value(QStringLiteral("file")), QStringLiteral(":/translation/%1.qm").arg(file));
    }

    void keysSurviveARestart()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sProbe = AppTest::CopyInto(QStringLiteral(KP_LANGUAGEPROBE_PATH), dir.path());
        QVERIFY(!sProbe.isEmpty());
        const QProcessEnvironment env = AppTest::Environment(QStringLiteral("de"), QStringLiteral("C"), QString());

        const QString sFirmware = QStringLiteral("/home/technik/Prüfung/固件 v2/K9Z40.bin");
        const QString sReports = QStringLiteral("/home/техник/отчёты; a=b");
        QVERIFY(!RunProbe(sProbe, {QStringLiteral("start")}, env).isEmpty());
        QVERIFY(!RunProbe(sProbe,
                          {QStringLiteral("setkeys"), QString::fromLatin1(sFirmware.toUtf8().toHex()),
                           QString::fromLatin1(sReports.toUtf8().toHex())},
                          env)
                     .isEmpty());

        const auto values = RunProbe(sProbe, {QStringLiteral("keys")}, env);
        QCOMPARE(values.value(QStringLiteral("language")), QStringLiteral("3"));
        QCOMPARE(values.value(QStringLiteral("upgradedir")), sFirmware);
        QCOMPARE(values.value(QStringLiteral("exportdir")), sReports);

        QFile config(dir.path() + QStringLiteral("/config/config.ini"));
        QVERIFY(config.open(QIODevice::ReadOnly));
        const QByteArray content = config.readAll();
        QVERIFY2(content.startsWith("[software]"), content.constData());
        QVERIFY2(content.contains(sFirmware.toUtf8()), content.constData());
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
