// The start-up rows of the fault-injection matrix: the real program, copied
// into a fresh folder and started there on the offscreen platform, with a
// settings file that is garbage, a program folder it cannot write, or no
// folder it can write at all. Each row checks what the technician sees (the
// window comes up, in the system's language) and what is on disk (where the
// settings and the log went, or that nothing was written), and that the
// program still ends cleanly on SIGTERM.
//
// A folder that its user cannot write needs a user that permission bits
// hold: run as root, the program runs as "nobody" (setpriv). A home folder
// below a plain file cannot be created by anyone.

#include "apptesthelpers.h"
#include "support/randombytes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

using AppTest::ReadAll;
using AppTest::TranslatedBy;

namespace {

constexpr uid_t kNobody = 65534;

enum class Home
{
    Writable,        // a home folder the program's user can write
    BelowAFile,      // a home path below a plain file: it cannot be created
};

enum class DataDir
{
    ProgramFolder,   // config/ and logs/ beside the executable
    UserFolder,      // ~/.local/share/kestrelpack/
    Nowhere,         // nothing written anywhere
};

struct Row
{
    const char *szName;
    QByteArray config;            // config/config.ini before the start; empty: none
    bool bReadOnlyProgramFolder;
    Home eHome;
    DataDir eDataDir;
    QList<QByteArray> why;        // on stderr: why the program keeps no files, and its language
};

QByteArray Garbage()
{
    QByteArray bytes = RandomBytes(3000, 7);
    // Some line structure, an unterminated section and a broken key among it.
    bytes.insert(500, "\n[soft\nlanguage\n=\n\xff\xfe=\n");
    bytes.insert(1800, "\n[software\x01]\nexportdir=\x80\x81\n");
    return bytes;
}

const Row kRows[] = {
    {"settings file is garbage", Garbage(), false, Home::Writable, DataDir::ProgramFolder, {}},
    {"program folder read-only", QByteArray(), true, Home::Writable, DataDir::UserFolder, {}},
    {"no folder writable", QByteArray(), true, Home::BelowAFile, DataDir::Nowhere,
     {"Settings: cannot write", "InitLog: cannot create", "the system's language is shown"}},
};

} // namespace

class StartupFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void startup_data()
    {
        QTest::addColumn<int>("nRow");
        for (int i = 0; i < int(sizeof(kRows) / sizeof(kRows[0])); ++i) {
            QTest::newRow(kRows[i].szName) << i;
        }
    }

    void startup()
    {
        QFETCH(int, nRow);
        const Row &row = kRows[nRow];
        const bool bAsRoot = ::geteuid() == 0;

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // Reachable for the program's user.
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup
                                                      | QFile::ExeGroup));
        const QString sAppDir = dir.filePath(QStringLiteral("app"));
        QVERIFY(QDir().mkpath(sAppDir));
        const QString sProgram = AppTest::CopyInto(QStringLiteral(KP_PROGRAM_PATH), sAppDir);
        QVERIFY(!sProgram.isEmpty());
        const QString sAppConfig = sAppDir + QStringLiteral("/config/config.ini");
        if (!row.config.isEmpty()) {
            QVERIFY(AppTest::WriteAll(sAppConfig, row.config));
            if (bAsRoot) {
                QVERIFY(::chown(QFile::encodeName(sAppConfig).constData(), kNobody, kNobody) == 0);
                QVERIFY(::chown(QFile::encodeName(QFileInfo(sAppConfig).path()).constData(), kNobody, kNobody) == 0);
            }
        }
        if (row.bReadOnlyProgramFolder) {
            QVERIFY(QFile::setPermissions(sAppDir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                       | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        } else if (bAsRoot) {
            QVERIFY(::chown(QFile::encodeName(sAppDir).constData(), kNobody, kNobody) == 0);
        }

        QString sHome = dir.filePath(QStringLiteral("home"));
        if (row.eHome == Home::Writable) {
            QVERIFY(QDir().mkpath(sHome));
            if (bAsRoot) {
                QVERIFY(::chown(QFile::encodeName(sHome).constData(), kNobody, kNobody) == 0);
            }
        } else {
            const QString sPlain = dir.filePath(QStringLiteral("plain"));
            QVERIFY(AppTest::WriteAll(sPlain, "not a folder"));
            sHome = sPlain + QStringLiteral("/home");
        }
        const QString sUserDir = sHome + QStringLiteral("/.local/share/kestrelpack");

        QProcessEnvironment env =
            AppTest::Environment(QStringLiteral("de"), QStringLiteral("C.UTF-8"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("HOME"), sHome);
        for (const char *szKey : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            env.remove(QLatin1String(szKey));
        }
        QProcess process;
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        if (bAsRoot) {
            // setpriv replaces itself with the program: the process id stays.
            process.start(QStringLiteral("setpriv"),
                          {QStringLiteral("--reuid=%1").arg(kNobody), QStringLiteral("--regid=%1").arg(kNobody),
                           QStringLiteral("--clear-groups"), sProgram});
        } else {
            process.start(sProgram, QStringList());
        }
        QVERIFY2(process.waitForStarted(30000), qPrintable(process.errorString()));

        // What the technician sees: the window, in the system's language.
        const QRegularExpression shown(QStringLiteral("Main window shown after (\\d+) ms: (.*) / (.*)"));
        QRegularExpressionMatch match;
        QByteArray err;
        QElapsedTimer timer;
        timer.start();
        while (!match.hasMatch() && process.state() == QProcess::Running && timer.elapsed() < 60000) {
            process.waitForReadyRead(1000);
            err += process.readAllStandardError();
            match = shown.match(QString::fromUtf8(err));
        }
        QVERIFY2(match.hasMatch(), err.constData());
        QCOMPARE(match.captured(2), QStringLiteral("Kestrelpack"));
        QCOMPARE(match.captured(3), TranslatedBy(QStringLiteral("Language_de"), "MainForm", "Language"));
        QVERIFY(match.captured(3) != TranslatedBy(QStringLiteral("Language_zh_CN"), "MainForm", "Language"));

        QVERIFY(::kill(pid_t(process.processId()), SIGTERM) == 0);
        QVERIFY(process.waitForFinished(30000));
        err += process.readAllStandardError();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        for (const QByteArray &why : row.why) {
            QVERIFY2(err.contains(why), err.constData());
        }

        // What is on disk.
        const QString sDataDir = row.eDataDir == DataDir::UserFolder ? sUserDir : sAppDir;
        const QString sLogDir = sDataDir + QStringLiteral("/logs");
        const QStringList logs = QDir(sLogDir).entryList({QStringLiteral("K9Z40_*.log")}, QDir::Files);
        const QByteArray config = ReadAll(sDataDir + QStringLiteral("/config/config.ini"));
        switch (row.eDataDir) {
        case DataDir::ProgramFolder:
        case DataDir::UserFolder:
            QCOMPARE(logs.size(), 1);
            QVERIFY2(ReadAll(sLogDir + QLatin1Char('/') + logs.first()).endsWith("Application finished\r\n"),
                     ReadAll(sLogDir + QLatin1Char('/') + logs.first()).constData());
            QVERIFY2(config.contains("language=3"), config.constData());
            break;
        case DataDir::Nowhere:
            QVERIFY(logs.isEmpty());
            QVERIFY(!QFileInfo::exists(sUserDir));
            break;
        }
        if (row.bReadOnlyProgramFolder) {
            QCOMPARE(QDir(sAppDir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList{QFileInfo(sProgram).fileName()});
        }
        QFile::setPermissions(sAppDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(StartupFaultsTest)
#include "tst_startupfaults.moc"
