#include "app/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <spdlog/spdlog.h>

namespace {

QByteArray ReadAll(const QString &sPath)
{
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

// Writes out buffered lines and closes the file, as Finish does.
void FlushAndDrop()
{
    spdlog::drop_all();
}

} // namespace

class LoggingTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_tempDir.isValid());
        m_sFolder = m_tempDir.path() + QStringLiteral("/logs");
    }
    void cleanup()
    {
        FlushAndDrop();
        QDir(m_sFolder).removeRecursively();
    }

    void fileNameCarriesTheStartDate()
    {
        const QDateTime t(QDate(2024, 5, 1), QTime(23, 59, 59));
        QCOMPARE(Logging::LogFileName(QStringLiteral("/x/logs"), t), QStringLiteral("/x/logs/K9Z40_20240501.log"));
    }

    void createsFolderAndWritesLineFormat()
    {
        QVERIFY(!QDir(m_sFolder).exists());
        QVERIFY(Logging::InitLogIn(m_sFolder, QDateTime(QDate(2024, 5, 1), QTime(9, 0))));
        QVERIFY(QDir(m_sFolder).exists());
        const int nLine = __LINE__ + 1;
        KP_LOG_INFO(QStringLiteral("reply {0} {} } {"));
        KP_LOG_INFO("ExitCtrlMode:{}", QStringLiteral("C1AA{}"));
        KP_LOG_INFO("GetLogInfo Count : {}", 42LL);
        FlushAndDrop();

        const QByteArray content = ReadAll(m_sFolder + QStringLiteral("/K9Z40_20240501.log"));
        const QList<QByteArray> lines = content.split('\n');
        QCOMPARE(lines.size(), 4); // three lines and the empty rest after the last LF
        QVERIFY(lines.last().isEmpty());
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(lines[i].endsWith('\r'), lines[i].constData());
        }
        const QRegularExpression re(QStringLiteral(
            R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\] \[info\] \[thread \d+\] \[tst_logging\.cpp:(\d+) )"
            R"(LoggingTest::createsFolderAndWritesLineFormat\] (.*)\r$)"));
        const QRegularExpressionMatch m0 = re.match(QString::fromLocal8Bit(lines[0]));
        QVERIFY2(m0.hasMatch(), lines[0].constData());
        QCOMPARE(m0.captured(1).toInt(), nLine);
        QCOMPARE(m0.captured(2), QStringLiteral("reply {0} {} } {"));
        QCOMPARE(re.match(QString::fromLocal8Bit(lines[1])).captured(2), QStringLiteral("ExitCtrlMode:C1AA{}"));
        QCOMPARE(re.match(QString::fromLocal8Bit(lines[2])).captured(2), QStringLiteral("GetLogInfo Count : 42"));
    }

    void sameDayAppendsNextDayStartsNewFile()
    {
        const QDateTime day1(QDate(2024, 5, 1), QTime(8, 0));
        QVERIFY(Logging::InitLogIn(m_sFolder, day1));
        KP_LOG_INFO("first run");
        FlushAndDrop();
        QVERIFY(Logging::InitLogIn(m_sFolder, day1.addSecs(3600)));
        KP_LOG_INFO("second run");
        FlushAndDrop();
        QVERIFY(Logging::InitLogIn(m_sFolder, day1.addDays(1)));
        KP_LOG_INFO("next day");
        FlushAndDrop();

        const QByteArray first = ReadAll(m_sFolder + QStringLiteral("/K9Z40_20240501.log"));
        QVERIFY(first.contains("first run"));
        QVERIFY(first.contains("second run"));
        QVERIFY(!first.contains("next day"));
        QVERIFY(ReadAll(m_sFolder + QStringLiteral("/K9Z40_20240502.log")).contains("next day"));
        QCOMPARE(QDir(m_sFolder).entryList(QDir::Files).size(), 2);
    }

    void rotatesToExactlyFourFiles()
    {
        QVERIFY(Logging::InitLogIn(m_sFolder, QDateTime(QDate(2024, 5, 1), QTime(8, 0))));
        const QString sLine(1000, QLatin1Char('x'));
        // About 25 MB: enough for five rotations of 5 MiB files.
        for (int i = 0; i < 25000; ++i) {
            KP_LOG_INFO(sLine);
        }
        KP_LOG_INFO("last line");
        FlushAndDrop();

        QStringList files = QDir(m_sFolder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files, (QStringList{QStringLiteral("K9Z40_20240501.1.log"), QStringLiteral("K9Z40_20240501.2.log"),
                                     QStringLiteral("K9Z40_20240501.3.log"), QStringLiteral("K9Z40_20240501.log")}));
        for (const QString &sName : files) {
            const qint64 nSize = QFileInfo(m_sFolder + QLatin1Char('/') + sName).size();
            QVERIFY2(nSize <= qint64(Logging::kMaxFileSize), qPrintable(sName));
            QVERIFY2(nSize > qint64(Logging::kMaxFileSize) - 1100 || sName == QLatin1String("K9Z40_20240501.log"),
                     qPrintable(sName));
        }
        QVERIFY(ReadAll(m_sFolder + QStringLiteral("/K9Z40_20240501.log")).contains("last line"));
    }

    // A Western Windows' 8-bit code page cannot spell a Cyrillic or Chinese
    // folder name; the log must keep it whatever the code page.
    void pathsInOtherScriptsStayUtf8UnderAWesternCodePage()
    {
        QTextCodec *pOldCodec = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("windows-1252"));
        const QString sPath = QStringLiteral("C:/Users/Техник/Отчёты 报告");
        QVERIFY(Logging::InitLogIn(m_sFolder, QDateTime(QDate(2024, 5, 1), QTime(8, 0))));
        KP_LOG_INFO(QStringLiteral("Job start: export to ") + sPath);
        KP_LOG_INFO("Job end:{}", sPath);
        FlushAndDrop();
        QTextCodec::setCodecForLocale(pOldCodec);

        const QByteArray content = ReadAll(m_sFolder + QStringLiteral("/K9Z40_20240501.log"));
        QVERIFY(content.contains(QByteArray("Job start: export to ") + sPath.toUtf8()));
        QVERIFY(content.contains(QByteArray("Job end:") + sPath.toUtf8()));
        QVERIFY(!content.contains('?'));
    }

    void uncreatableFileRunsWithoutLog()
    {
        // Root ignores permission bits, so a folder below a plain file stands
        // in for a folder that cannot be written.
        const QString sBlocker = m_tempDir.path() + QStringLiteral("/blocker");
        QFile blocker(sBlocker);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString sFolder = sBlocker + QStringLiteral("/logs");
        QVERIFY(!Logging::InitLogIn(sFolder, QDateTime::currentDateTime()));
        KP_LOG_INFO("goes nowhere {}"); // must neither throw nor crash
        QVERIFY(!QFileInfo::exists(sFolder));
    }

    // The event loop's end is not the log's: what the worker's wind-up and a
    // later loop write still reaches the file, and Finish writes the last
    // line and closes it.
    void finishWritesLastLineThenNothing()
    {
        QVERIFY(Logging::InitLogIn(m_sFolder, QDateTime(QDate(2024, 5, 1), QTime(8, 0))));
        KP_LOG_INFO("before quit");
        QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection));
        KP_LOG_INFO("after the event loop");
        Logging::Finish();
        QVERIFY(spdlog::default_logger_raw() == nullptr);
        KP_LOG_INFO("after finish"); // no logger any more: writes nothing
        const QByteArray content = ReadAll(m_sFolder + QStringLiteral("/K9Z40_20240501.log"));
        QVERIFY2(content.contains("after the event loop\r\n"), content.constData());
        QVERIFY2(content.endsWith("Application finished\r\n"), content.constData());
        QVERIFY(!content.contains("after finish"));
    }

    void qualifiedFunctionNames_data()
    {
        QTest::addColumn<QString>("pretty");
        QTest::addColumn<QString>("name");
        QTest::newRow("member") << "void SerialWorker::slot_StartExportLogInfo(QString)"
                                << "SerialWorker::slot_StartExportLogInfo";
        QTest::newRow("template return") << "QList<QPair<int, int> > Foo::bar(int) const" << "Foo::bar";
        QTest::newRow("free") << "void InitLog()" << "InitLog";
        QTest::newRow("lambda") << "InitLog()::<lambda()>" << "InitLog";
        QTest::newRow("pointer return") << "char* (anonymous namespace)::Name(int)"
                                        << "(anonymous namespace)::Name";
        QTest::newRow("operator call") << "void Foo::operator()(int)" << "Foo::operator()";
    }
    void qualifiedFunctionNames()
    {
        QFETCH(QString, pretty);
        QFETCH(QString, name);
        QCOMPARE(QString::fromStdString(Logging::QualifiedFunctionName(pretty.toLatin1().constData())), name);
    }

private:
    QTemporaryDir m_tempDir;
    QString m_sFolder;
};

QTEST_GUILESS_MAIN(LoggingTest)
#include "tst_logging.moc"
