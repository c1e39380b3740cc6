// The real main window against the simulated device: a click on a menu
// button or a page button goes all the way through the coordinator, the
// worker and the serial line, and the page shows what a technician sees.

#include "app/logging.h"
#include "device/waitsfortesting.h"
#include "simulator/simulateddevice.h"
#include "support/answerquestion.h"
#include "support/testenvironment.h"
#include "transfer/qserialuser.h"
#include "ui/mainform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Bound on a window closed during a job: the job's end (an export stopped
// through its normal end) comes within a few seconds.
constexpr int kCloseBoundMs = 30000;

std::unique_ptr<SimulatedDevice> StartDevice(SimulatorOptions options)
{
    auto pDevice = std::make_unique<SimulatedDevice>(options);
    QString sError;
    if (!pDevice->Start(&sError)) {
        qWarning() << "simulated device:" << sError;
        return nullptr;
    }
    TestEnvironment::SetSerialPorts({pDevice->PortPath()});
    return pDevice;
}

// Answers the next file dialog with sPath, as a technician types a name;
// the name it suggested goes to *pSuggested.
void AnswerNextFileDialog(const QString &sPath, QString *pSuggested)
{
    auto *pTimer = new QTimer;
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, sPath, pSuggested]() {
        const QList<QWidget *> windows = QApplication::topLevelWidgets();
        for (QWidget *pWidget : windows) {
            auto *pDialog = qobject_cast<QFileDialog *>(pWidget);
            if (!pDialog || !pDialog->isVisible()) {
                continue;
            }
            *pSuggested = QFileInfo(pDialog->selectedFiles().value(0)).fileName();
            auto *pName = pDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (pName) {
                pName->setText(sPath);
            }
            // As its Save button does (QFileDialog keeps accept() to itself).
            static_cast<QDialog *>(pDialog)->accept();
            pTimer->deleteLater();
            return;
        }
    });
    pTimer->start(50);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainForm> m_pWindow;

    template <typename T>
    T *Child(const char *szName) const
    {
        T *pChild = m_pWindow->findChild<T *>(QLatin1String(szName));
        if (!pChild) {
            qWarning() << "no child" << szName;
        }
        return pChild;
    }
    void Click(const char *szButton)
    {
        QPushButton *pButton = Child<QPushButton>(szButton);
        QVERIFY(pButton);
        QVERIFY(pButton->isVisible() && pButton->isEnabled());
        QTest::mouseClick(pButton, Qt::LeftButton);
    }
    QString Text(const char *szLabel) const { return Child<QLabel>(szLabel)->text(); }

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        TestEnvironment::SetSerialPorts({});
        m_pWindow = std::make_unique<MainForm>();
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
    }
    void cleanupTestCase()
    {
        m_pWindow.reset();
        QSerialUser::ReleaseInstance();
        WaitsForTesting::Reset();
    }
    void cleanup()
    {
        // Back to the menu through the page's own return button.
        auto *pStack = Child<QStackedWidget>("stackedWidget");
        for (const char *szReturn : {"btnInfoReturnMenu", "btnExportReturnMenu", "btnUpgradeReturnMenu"}) {
            QPushButton *pButton = Child<QPushButton>(szReturn);
            if (pButton && pButton->isVisible()) {
                QTest::mouseClick(pButton, Qt::LeftButton);
            }
        }
        QTRY_COMPARE(pStack->currentWidget()->objectName(), QStringLiteral("pageMenu"));
    }

    // A drag on the title band follows the mouse on the screen, also when a
    // mouse move was measured before the system carried out the window's
    // last move (its position in the window is then stale).
    void dragFollowsTheMouseWhenTheWindowLags()
    {
        const QPoint start = m_pWindow->pos();
        const auto restore = qScopeGuard([this, start] { m_pWindow->move(start); });
        const QPoint press(600, 40);   // on the title band
        const auto send = [this](QEvent::Type eType, const QPoint &local, const QPoint &global,
                                 Qt::MouseButtons buttons) {
            QMouseEvent event(eType, local, local, global, eType == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                              buttons, Qt::NoModifier);
            QApplication::sendEvent(m_pWindow.get(), &event);
        };
        send(QEvent::MouseButtonPress, press, start + press, Qt::LeftButton);
        send(QEvent::MouseMove, press + QPoint(40, 20), start + press + QPoint(40, 20), Qt::LeftButton);
        QCOMPARE(m_pWindow->pos(), start + QPoint(40, 20));
        // Measured against the window's place before that move.
        send(QEvent::MouseMove, press + QPoint(120, 60), start + press + QPoint(120, 60), Qt::LeftButton);
        QCOMPARE(m_pWindow->pos(), start + QPoint(120, 60));
        send(QEvent::MouseButtonRelease, press + QPoint(120, 60), start + press + QPoint(120, 60), Qt::NoButton);
    }

    // The Windows styles put a dotted frame over a focused button; the
    // styled buttons draw none, whichever has the focus.
    void styledButtonsDrawNoFocusFrame()
    {
        const QString sOldStyle = QApplication::style()->objectName();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
        const auto restoreStyle = qScopeGuard([&] { QApplication::setStyle(QStyleFactory::create(sOldStyle)); });
        QApplication::setActiveWindow(m_pWindow.get());
        QVERIFY(QTest::qWaitForWindowActive(m_pWindow.get()));
        for (const char *szButton : {"btnExport", "btnUpgrade", "btnInfo", "btnLanguage", "btnSupport", "btnClose"}) {
            QPushButton *pButton = Child<QPushButton>(szButton);
            QVERIFY(pButton);
            pButton->clearFocus();
            QTRY_VERIFY(!pButton->hasFocus());
            const QImage plain = pButton->grab().toImage();
            pButton->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(pButton->hasFocus());
            QVERIFY2(pButton->grab().toImage() == plain, szButton);
            pButton->clearFocus();
        }
    }

    // The title band's "Support" entry: the save dialog with a dated name,
    // the file written and its name told, or, where the folder takes no
    // file, the reason and no file.
    void supportEntryWritesTheFileOrSaysWhy_data()
    {
        QTest::addColumn<QString>("sFolder");   // "": a fresh folder of the test's
        QTest::addColumn<QString>("sTold");     // the start of the box's text
        QTest::newRow("written") << QString()
                                 << QStringLiteral("The support file kp-support.zip has been written. Send it to "
                                                   "support.");
        QTest::newRow("folder that takes no file")
            << QStringLiteral("/sys/kernel")
            << QStringLiteral("The support file could not be written: kp-support.zip cannot be created (");
    }
    void supportEntryWritesTheFileOrSaysWhy()
    {
        QFETCH(QString, sFolder);
        QFETCH(QString, sTold);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sPath = QDir(sFolder.isEmpty() ? dir.path() : sFolder).filePath(QStringLiteral("kp-support.zip"));
        QString sSuggested;
        AnswerNextFileDialog(sPath, &sSuggested);
        QString sShown;
        AnswerNextQuestion(QStringLiteral("OK"), &sShown);
        Click("btnSupport");
        QVERIFY2(QRegularExpression(QStringLiteral("^kestrelpack-support-\\d{8}-\\d{6}\\.zip$")).match(sSuggested).hasMatch(),
                 qPrintable(sSuggested));
        QVERIFY2(sShown.startsWith(sTold), qPrintable(sShown));
        QCOMPARE(QFileInfo::exists(sPath), sFolder.isEmpty());
        if (sFolder.isEmpty()) {
            QFile zip(sPath);
            QVERIFY(zip.open(QIODevice::ReadOnly));
            QCOMPARE(zip.read(4), QByteArray("PK\x03\x04"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kp-support.zip")});
        }
        QVERIFY(m_pWindow->isEnabled());
        // The window was disabled while writing: the keys work on at the entry.
        QCOMPARE(m_pWindow->focusWidget(), Child<QPushButton>("btnSupport"));
    }

    // With the real waits: what the information page shows for a device in
    // each state.
    void informationPage_data()
    {
        QTest::addColumn<int>("nState");   // -1: no device
        QTest::addColumn<QString>("sTip");  // empty: the values page
        QTest::newRow("application firmware") << int(SimulatorOptions::State::Application) << QString();
        QTest::newRow("boot loader") << int(SimulatorOptions::State::BootMenu)
                                     << QStringLiteral("Please upgrade before proceeding\nThe device runs its boot "
                                                       "loader: its firmware is missing, or an upgrade did not end. "
                                                       "Upgrade the device first.");
        // Under each failure, why and what next, by the failure's kind.
        QTest::newRow("no device") << -1
                                   << QStringLiteral("Disconnected\nNo serial port could be opened. Connect the device "
                                                     "and try again.");
    }
    void informationPage()
    {
        QFETCH(int, nState);
        QFETCH(QString, sTip);
        std::unique_ptr<SimulatedDevice> pDevice;
        if (nState >= 0) {
            SimulatorOptions options;
            options.initialState = SimulatorOptions::State(nState);
            pDevice = StartDevice(options);
            QVERIFY(pDevice);
        } else {
            TestEnvironment::SetSerialPorts({});
        }
        Click("btnInfo");
        auto *pInfoStack = Child<QStackedWidget>("stackedWidgetInfo");
        if (sTip.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(Text("labelFirmwareVer"), QStringLiteral("V1.10"), 15000);
            QTRY_COMPARE_WITH_TIMEOUT(Text("labelSN"), QStringLiteral("08123456"), 15000);
            QCOMPARE(pInfoStack->currentWidget()->objectName(), QStringLiteral("pageInfoShow"));
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(pInfoStack->currentWidget()->objectName(), QStringLiteral("pageInfoTip"), 15000);
            QCOMPARE(Text("labelInfoTip"), sTip);
        }
        // The request has ended before the page goes back to the menu.
        QTRY_VERIFY_WITH_TIMEOUT(Child<QPushButton>("btnInfoReturnMenu")->isVisible(), 15000);
    }

    void exportPage()
    {
        SimulatorOptions options;
        options.nRecordCount = 300;
        auto pDevice = StartDevice(options);
        QVERIFY(pDevice);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Click("btnExport");
        // The folder as the dialog leaves it in the field.
        Child<QLineEdit>("lineEditExportPath")->setText(dir.path());
        Click("btnExportFile");
        QTRY_VERIFY_WITH_TIMEOUT(Text("labelExportTip").startsWith(QStringLiteral("File export successful\n")), 30000);
        QCOMPARE(Child<QProgressBar>("progressBarExport")->value(), 100);
        const QStringList reports = QDir(dir.path()).entryList({QStringLiteral("Report_*.csv")}, QDir::Files);
        QCOMPARE(reports.size(), 1);
        QCOMPARE(Text("labelExportTip"), QStringLiteral("File export successful\n") + reports.first());
        QFile report(dir.filePath(reports.first()));
        QVERIFY(report.open(QIODevice::ReadOnly));
        QCOMPARE(report.readAll().count('\n'), 300);
    }

    void upgradePage_data()
    {
        QTest::addColumn<bool>("bDevice");
        QTest::addColumn<QString>("sOutcome");
        // Under the outcome, the version the device ran before and the one
        // the rebooted device reports.
        QTest::newRow("application firmware")
            << true << QStringLiteral("Upgrade completed\nFirmware V1.9 \u2192 V1.10");
        QTest::newRow("no device") << false
                                   << QStringLiteral("Upgrade failed\nNo serial port could be opened. Connect the "
                                                     "device and try again.");
    }
    void upgradePage()
    {
        QFETCH(bool, bDevice);
        QFETCH(QString, sOutcome);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::unique_ptr<SimulatedDevice> pDevice;
        if (bDevice) {
            SimulatorOptions options;
            options.nCIntervalMs = 200;
            options.nVersionMinor = 9;
            options.nVersionAfterMajor = 1;
            options.nVersionAfterMinor = 10;
            options.sImageDir = dir.filePath(QStringLiteral("received"));
            pDevice = StartDevice(options);
            QVERIFY(pDevice);
        } else {
            TestEnvironment::SetSerialPorts({});
        }
        QByteArray image(20 * 1024 + 11, Qt::Uninitialized);
        for (int i = 0; i < image.size(); ++i) {
            image[i] = char((i * 131) ^ (i >> 5));
        }
        const QString sImage = dir.filePath(QStringLiteral("fw.bin"));
        QFile file(sImage);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
        file.close();

        Click("btnUpgrade");
        Child<QLineEdit>("lineEditUpgradePath")->setText(sImage);
        Click("btnUpgradeFirmware");
        QTRY_COMPARE_WITH_TIMEOUT(Text("labelUpgradeTip"), sOutcome, 60000);
        if (bDevice) {
            QCOMPARE(Child<QProgressBar>("progressBarUpgrade")->value(), 100);
            QTRY_COMPARE(pDevice->Images().size(), 1);
            QVERIFY(pDevice->Images().first().content == image);
        }
    }

    // Closing the window during a transfer asks first; kept, the upgrade goes
    // on; closed anyway, the device is told (the receiver sees the sender's
    // cancel) before the window goes.
    void closingDuringUpgradeAsksFirst()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SimulatorOptions options;
        options.nCIntervalMs = 200;
        options.nBytesPerSecond = 11520;
        options.sImageDir = dir.filePath(QStringLiteral("received"));
        auto pDevice = StartDevice(options);
        QVERIFY(pDevice);
        QSignalSpy aborted(pDevice.get(), &SimulatedDevice::TransferAborted);
        const QString sImage = dir.filePath(QStringLiteral("fw.bin"));
        QFile file(sImage);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(100 * 1024, 'k')) == 100 * 1024);
        file.close();
        QApplication::setQuitOnLastWindowClosed(false);
        const auto reopen = qScopeGuard([this] {
            QApplication::setQuitOnLastWindowClosed(true);
            m_pWindow->show();
        });

        QSignalSpy progress(QSerialUser::instance().data(), &QSerialUser::signal_TransmitProgress);
        Click("btnUpgrade");
        Child<QLineEdit>("lineEditUpgradePath")->setText(sImage);
        Click("btnUpgradeFirmware");
        // Data blocks are on their way.
        QTRY_VERIFY_WITH_TIMEOUT(!progress.isEmpty(), 30000);
        auto *pProgress = Child<QProgressBar>("progressBarUpgrade");

        // By the keyboard's close first, as a technician without a mouse.
        QString sQuestion;
        AnswerNextQuestion(QStringLiteral("Keep upgrading"), &sQuestion);
        QApplication::setActiveWindow(m_pWindow.get());
        QVERIFY(QTest::qWaitForWindowActive(m_pWindow.get()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4, Qt::AltModifier);
        QVERIFY2(sQuestion.contains(QStringLiteral("boot loader")), qPrintable(sQuestion));
        QVERIFY(m_pWindow->isVisible());
        QVERIFY(aborted.isEmpty());

        sQuestion.clear();
        AnswerNextQuestion(QStringLiteral("Close anyway"), &sQuestion);
        m_pWindow->close();
        QVERIFY(!sQuestion.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!m_pWindow->isVisible(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(aborted.size(), 1, 10000);
        QCOMPARE(aborted.first().first().toString(), QStringLiteral("cancelled by the sender"));
        QVERIFY(pProgress->value() < 100);
        QVERIFY(pDevice->Images().isEmpty());
    }

    // Closed in the middle of an export, without a question: the export stops
    // through its normal end and the window goes after it, so the log holds
    // the export's end (the partial report named) before the program's last
    // line. The close, the event loop's end and what follows it run as in
    // the program's main.
    void closingDuringExportLogsTheJobsEnd()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sLogDir = dir.filePath(QStringLiteral("logs"));
        QVERIFY(Logging::InitLogIn(sLogDir, QDateTime(QDate(2024, 5, 1), QTime(8, 0))));
        SimulatorOptions options;
        options.nRecordCount = 3000;   // about 13 s on the paced line
        options.nBytesPerSecond = 11520;
        auto pDevice = StartDevice(options);
        QVERIFY(pDevice);
        const auto reopen = qScopeGuard([this] { m_pWindow->show(); });

        Click("btnExport");
        Child<QLineEdit>("lineEditExportPath")->setText(dir.path());
        Click("btnExportFile");
        // Records are arriving: the bar has moved on from the 1 % the click sets.
        QTRY_VERIFY_WITH_TIMEOUT(Child<QProgressBar>("progressBarExport")->value() > 1, 30000);

        QTimer::singleShot(0, m_pWindow.get(), [this] { m_pWindow->close(); });
        // A window that never goes must not hold the suite: the loop ends
        // then all the same, and the check below fails.
        QTimer bound;
        bound.setSingleShot(true);
        connect(&bound, &QTimer::timeout, qApp, &QCoreApplication::quit);
        bound.start(kCloseBoundMs);
        QApplication::exec();
        QVERIFY(!m_pWindow->isVisible());
        QSerialUser::ReleaseInstance();
        Logging::Finish();

        QFile log(sLogDir + QStringLiteral("/K9Z40_20240501.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString sLog = QString::fromUtf8(log.readAll());
        const QRegularExpressionMatch end =
            QRegularExpression(QStringLiteral("Job end: export [^\r\n]*Partial_Report_[^\r\n]*"
                                              "\\(interrupted by window closed\\)[^\r\n]*\r\n"))
                .match(sLog);
        QVERIFY2(end.hasMatch(), qPrintable(sLog));
        QVERIFY2(sLog.endsWith(QStringLiteral("Application finished\r\n")), qPrintable(sLog));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("Report_*")}, QDir::Files), QStringList());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
