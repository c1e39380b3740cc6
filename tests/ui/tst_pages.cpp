#include "app/settings.h"
#include "device/serialworker.h"
#include "support/namedchild.h"
#include "support/testenvironment.h"
#include "ui/devicerequestsfortesting.h"
#include "ui/exportwidget.h"
#include "ui/infowidget.h"
#include "ui/upgradewidget.h"

#include "apptesthelpers.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

using SW = SerialWorker;
using YS = YmodemFileTransmit::YmodemStatus;

// One result report as the worker sends it.
struct Result
{
    int nFunctionType;
    int nResultType;
    bool bRet;
    QString sMes;
};
using Results = QVector<Result>;

// The pages run under German, so every text they set is checked against its
// entry in the German file: a source text that differs from the catalogue by
// a letter stays English and fails.
QString German(const char *szContext, const char *szText)
{
    return AppTest::TranslatedBy(QStringLiteral("Language_de"), szContext, szText);
}

template<class T>
T *Child(QWidget *pPage, const char *szName)
{
    return NamedChild<T>(pPage, szName);
}

QString SubPage(QWidget *pPage, const char *szStack)
{
    return Child<QStackedWidget>(pPage, szStack)->currentWidget()->objectName();
}

void SendLanguageChange(QWidget *pPage)
{
    QEvent event(QEvent::LanguageChange);
    QApplication::sendEvent(pPage, &event);
}

// Translates a few texts of the pages as a language with long captions would.
class LongCaptions : public QTranslator
{
public:
    QMap<QPair<QByteArray, QByteArray>, QString> texts;

    bool isEmpty() const override { return false; }
    QString translate(const char *szContext, const char *szText, const char *, int) const override
    {
        return texts.value(qMakePair(QByteArray(szContext), QByteArray(szText)));
    }
};

const char *const kLink =
    "<html><head/><body><p><span style=\" text-decoration: underline;\">Select path</span></p></body></html>";

QString Link(const QString &sCaption)
{
    return QString::fromLatin1(kLink).replace(QStringLiteral("Select path"), sCaption);
}

// Answers the next file dialog that opens (the pages' dialogs are modal).
void AnswerFileDialog(const std::function<void(QFileDialog *)> &answer)
{
    auto *pPoll = new QTimer;
    QObject::connect(pPoll, &QTimer::timeout, pPoll, [pPoll, answer]() {
        for (QWidget *pWindow : QApplication::topLevelWidgets()) {
            auto *pDialog = qobject_cast<QFileDialog *>(pWindow);
            if (pDialog && pDialog->isVisible()) {
                pPoll->stop();
                pPoll->deleteLater();
                answer(pDialog);
                return;
            }
        }
    });
    pPoll->start(20);
}

// Types the path into the dialog's name field, as a user would, and accepts.
// (The field selects what it names at once; the dialog's own selection
// follows its folder listing, which loads on another thread.)
void Choose(QFileDialog *pDialog, const QString &sPath)
{
    auto *pName = pDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!pName) {
        qFatal("no name field in the file dialog");
    }
    pName->setText(sPath);
    static_cast<QDialog *>(pDialog)->accept(); // QFileDialog::accept checks the choice
}

} // namespace

Q_DECLARE_METATYPE(Result)
Q_DECLARE_METATYPE(Results)

// The three task pages, driven through their slots and buttons; their device
// requests go to a recorder, so no device, worker or port is involved.
class PagesTest : public QObject
{
    Q_OBJECT

private:
    AppTest::TemporarySettings m_settings;
    QTranslator m_german;
    QStringList m_requests;
    std::function<bool(const QString &)> m_startUpgrade;

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        QVERIFY(m_settings.IsValid());
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(m_german.load(QStringLiteral(":/translation/Language_de")));
        QVERIFY(QCoreApplication::installTranslator(&m_german));
    }

    void init()
    {
        m_requests.clear();
        m_startUpgrade = [](const QString &) { return true; };
        DeviceRequestsForTesting::Set({
            [this](const QString &sFilePath) {
                m_requests << QStringLiteral("upgrade ") + sFilePath;
                return m_startUpgrade(sFilePath);
            },
            [this]() { m_requests << QStringLiteral("info"); },
            [this](const QString &sDirPath) { m_requests << QStringLiteral("export ") + sDirPath; },
        });
    }

    void cleanup() { DeviceRequestsForTesting::Reset(); }

    void returnButtonsAskForTheMenu_data()
    {
        QTest::addColumn<QString>("sPage");
        QTest::addColumn<QString>("sButton");
        QTest::newRow("export return") << "export" << "btnExportReturnMenu";
        QTest::newRow("export cancel") << "export" << "btnExportCancel";
        QTest::newRow("upgrade return") << "upgrade" << "btnUpgradeReturnMenu";
        QTest::newRow("upgrade cancel") << "upgrade" << "btnUpgradeCancel";
        QTest::newRow("info return") << "info" << "btnInfoReturnMenu";
    }
    void returnButtonsAskForTheMenu()
    {
        QFETCH(QString, sPage);
        QFETCH(QString, sButton);
        QScopedPointer<QWidget> pPage(sPage == "export"    ? static_cast<QWidget *>(new ExportWidget)
                                      : sPage == "upgrade" ? static_cast<QWidget *>(new UpgradeWidget)
                                                           : static_cast<QWidget *>(new InfoWidget));
        QSignalSpy returns(pPage.data(), SIGNAL(signal_ReturnMenu()));
        Child<QPushButton>(pPage.data(), qPrintable(sButton))->click();
        QCOMPARE(returns.count(), 1);
        QVERIFY(m_requests.isEmpty());
    }

    // --- Upgrade page ---

    void upgradeStartsOnlyWithAPath()
    {
        UpgradeWidget page;
        page.ShowPathPage();
        auto *pUpdate = Child<QPushButton>(&page, "btnUpgradeFirmware");
        auto *pReturn = Child<QPushButton>(&page, "btnUpgradeReturnMenu");
        auto *pTip = Child<QLabel>(&page, "labelUpgradeTip");
        auto *pBar = Child<QProgressBar>(&page, "progressBarUpgrade");
        QVERIFY(Child<QLineEdit>(&page, "lineEditUpgradePath")->isReadOnly());

        pUpdate->click();
        QVERIFY(m_requests.isEmpty());
        QVERIFY(pUpdate->isEnabled());
        QCOMPARE(SubPage(&page, "stackedWidgetUpgrade"), QStringLiteral("pageUpgradeInfo"));

        // While the device is being prepared: tip, a busy bar, no way back
        // and no second start.
        Child<QLineEdit>(&page, "lineEditUpgradePath")->setText(QStringLiteral("/fw/k9.bin"));
        m_startUpgrade = [&](const QString &) {
            [&]() {
                QCOMPARE(SubPage(&page, "stackedWidgetUpgrade"), QStringLiteral("pageUpgradeTip"));
                QCOMPARE(pTip->text(), German("UpgradeWidget", "during upgrade"));
                QCOMPARE(pBar->maximum(), 0);
                QVERIFY(pReturn->isHidden());
                QVERIFY(!pUpdate->isEnabled());
                pUpdate->click();
            }();
            return false;
        };
        pUpdate->click();
        QCOMPARE(m_requests, QStringList {QStringLiteral("upgrade /fw/k9.bin")});
        QCOMPARE(pTip->text(), German("UpgradeWidget", "Upgrade failed"));
        QCOMPARE(pBar->maximum(), 100);
        QVERIFY(pUpdate->isEnabled());
        QVERIFY(!pReturn->isHidden());
    }

    void upgradeTransmitStatus_data()
    {
        QTest::addColumn<int>("nStatus");
        QTest::addColumn<QString>("sTip"); // English source
        QTest::addColumn<bool>("bEnded");
        QTest::addColumn<bool>("bUpdate");   // "Update" offered again (after a completed transfer only with the device's word)
        QTest::newRow("opening") << 0 << "during upgrade" << false << false;
        QTest::newRow("sending") << 1 << "during upgrade" << false << false;
        // Not completed before the device's word: it may be the boot loader's.
        QTest::newRow("done") << 2 << "during upgrade" << true << false;
        QTest::newRow("cancelled") << 3 << "Upgrade failed" << true << true;
        QTest::newRow("time-out") << 4 << "Upgrade failed" << true << true;
        QTest::newRow("failed") << 5 << "Upgrade failed" << true << true;
        QTest::newRow("unknown") << 9 << "Upgrade failed" << true << true;
    }
    void upgradeTransmitStatus()
    {
        QFETCH(int, nStatus);
        QFETCH(QString, sTip);
        QFETCH(bool, bEnded);
        QFETCH(bool, bUpdate);
        UpgradeWidget page;
        Child<QLineEdit>(&page, "lineEditUpgradePath")->setText(QStringLiteral("/fw/k9.bin"));
        Child<QPushButton>(&page, "btnUpgradeFirmware")->click();
        page.slot_TransmitProgress(57);
        page.slot_TransmitStatus(static_cast<YS>(nStatus));

        const QString sExpected = German("UpgradeWidget", qPrintable(sTip));
        auto *pTip = Child<QLabel>(&page, "labelUpgradeTip");
        QCOMPARE(pTip->text(), sExpected);
        QCOMPARE(Child<QPushButton>(&page, "btnUpgradeFirmware")->isEnabled(), bUpdate);
        QCOMPARE(Child<QPushButton>(&page, "btnUpgradeReturnMenu")->isHidden(), !bEnded);
        QCOMPARE(Child<QProgressBar>(&page, "progressBarUpgrade")->value(), 57); // never forced to 100
        QCOMPARE(SubPage(&page, "stackedWidgetUpgrade"), QStringLiteral("pageUpgradeTip"));
        SendLanguageChange(&page);
        QCOMPARE(pTip->text(), sExpected);
    }

    // Under a completed transfer, the device's word on a line of its own; it
    // stays through a language change, and "Update" is offered again.
    void upgradeShowsTheDevicesWord_data()
    {
        QTest::addColumn<bool>("bAnswered");
        QTest::addColumn<QString>("sVersion");
        QTest::addColumn<QString>("sWord");   // English source
        QTest::addColumn<QString>("sBefore");  // what the device ran before
        QTest::newRow("runs") << true << "V1.11" << "The device runs %1" << "";
        QTest::newRow("runs, from the version it ran") << true << "V1.11" << "Firmware %1 → %2" << "V1.09";
        QTest::newRow("no version") << true << "" << "The device answers; version unknown" << "V1.09";
        QTest::newRow("silent") << false << "" << "The device has not answered yet" << "";
    }
    void upgradeShowsTheDevicesWord()
    {
        QFETCH(bool, bAnswered);
        QFETCH(QString, sVersion);
        QFETCH(QString, sWord);
        QFETCH(QString, sBefore);
        UpgradeWidget page;
        Child<QLineEdit>(&page, "lineEditUpgradePath")->setText(QStringLiteral("/fw/k9.bin"));
        auto *pUpdate = Child<QPushButton>(&page, "btnUpgradeFirmware");
        auto *pTip = Child<QLabel>(&page, "labelUpgradeTip");
        pUpdate->click();
        page.slot_TransmitProgress(100);
        page.slot_TransmitStatus(YS::StatusDone);
        QCOMPARE(pTip->text(), German("UpgradeWidget", "during upgrade"));
        page.slot_UpgradeVerified(bAnswered, sVersion, 0, sBefore);

        const QString sWordText = German("UpgradeWidget", sWord.toUtf8().constData());
        const QString sExpected = German("UpgradeWidget", "Upgrade completed") + QLatin1Char('\n')
                                  + (sBefore.isEmpty() || !sWordText.contains(QLatin1String("%2"))
                                         ? sWordText.arg(sVersion)
                                         : sWordText.arg(sBefore, sVersion));
        QCOMPARE(pTip->text(), sExpected);
        QVERIFY(pUpdate->isEnabled());
        SendLanguageChange(&page);
        QCOMPARE(pTip->text(), sExpected);

        // A new upgrade starts without the last one's word.
        pUpdate->click();
        page.slot_TransmitStatus(YS::StatusDone);
        page.slot_UpgradeVerified(true, QString());
        QCOMPARE(pTip->text(), German("UpgradeWidget", "Upgrade completed") + QLatin1Char('\n')
                                   + German("UpgradeWidget", "The device answers; version unknown"));
    }

    void upgradeSendResult_data()
    {
        QTest::addColumn<int>("nFunctionType");
        QTest::addColumn<int>("nResultType");
        QTest::addColumn<bool>("bRet");
        QTest::addColumn<bool>("bActs");
        QTest::newRow("port failed") << int(SW::FT_Upgrade) << int(SW::RT_OpenPort) << false << true;
        QTest::newRow("boot mode failed") << int(SW::FT_Upgrade) << int(SW::RT_EnterBootMode) << false << true;
        QTest::newRow("transmit failed") << int(SW::FT_Upgrade) << int(SW::RT_StartTransmit) << false << true;
        QTest::newRow("port opened") << int(SW::FT_Upgrade) << int(SW::RT_OpenPort) << true << false;
        QTest::newRow("control mode failed") << int(SW::FT_Upgrade) << int(SW::RT_EnterCtrlMode) << false << false;
        QTest::newRow("export port failed") << int(SW::FT_ExportLog) << int(SW::RT_OpenPort) << false << false;
    }
    void upgradeSendResult()
    {
        QFETCH(int, nFunctionType);
        QFETCH(int, nResultType);
        QFETCH(bool, bRet);
        QFETCH(bool, bActs);
        UpgradeWidget page;
        Child<QLineEdit>(&page, "lineEditUpgradePath")->setText(QStringLiteral("/fw/k9.bin"));
        Child<QPushButton>(&page, "btnUpgradeFirmware")->click();
        page.slot_SendResult(nFunctionType, nResultType, bRet, QStringLiteral("Failed to open serial port"));

        auto *pTip = Child<QLabel>(&page, "labelUpgradeTip");
        QCOMPARE(pTip->text(),
                 bActs ? QStringLiteral("Failed to open serial port") : German("UpgradeWidget", "during upgrade"));
        QCOMPARE(Child<QPushButton>(&page, "btnUpgradeFirmware")->isEnabled(), bActs);
        // Such a failure ends the upgrade: the page must not be left without
        // a way back, nor claim "during upgrade" after a language change.
        QCOMPARE(Child<QPushButton>(&page, "btnUpgradeReturnMenu")->isHidden(), !bActs);
        SendLanguageChange(&page);
        QCOMPARE(pTip->text(), German("UpgradeWidget", bActs ? "Upgrade failed" : "during upgrade"));
    }

    // --- Export page ---

    void exportResults_data()
    {
        QTest::addColumn<Results>("results");
        QTest::addColumn<QString>("sSubPage");
        QTest::addColumn<QString>("sTip"); // English source
        QTest::addColumn<int>("nBar");
        QTest::addColumn<bool>("bEnded");
        const QString sFail = QStringLiteral("Failed to open serial port");
        const Result start {SW::FT_ExportLog, SW::RT_ExportLog, true, QStringLiteral("Start")};
        const Result progress {SW::FT_ExportLog, SW::RT_ExportLog, true, QStringLiteral("37")};
        const QString sTip = QStringLiteral("pageExportTip");
        const QString sPath = QStringLiteral("pageExportInfo");

        QTest::newRow("requested") << Results {} << sPath << "File exporting" << 1 << false;
        QTest::newRow("start") << Results {start} << sTip << "File exporting" << 1 << false;
        QTest::newRow("progress") << Results {start, progress} << sTip << "File exporting" << 37 << false;
        QTest::newRow("progress not a number")
            << Results {start, progress, {SW::FT_ExportLog, SW::RT_ExportLog, true, QStringLiteral("3x")}} << sTip
            << "File exporting" << 0 << false;
        QTest::newRow("end") << Results {start, progress, {SW::FT_ExportLog, SW::RT_ExportLog, true, "End"}} << sTip
                             << "File export successful" << 100 << true;
        // The file actually written is named under the success.
        QTest::newRow("end, report named")
            << Results {start, progress,
                        {SW::FT_ExportLog, SW::RT_ReportFile, true,
                         QStringLiteral("/media/usb/reports/Report_2026-12-08-04-55-00_2.csv")},
                        {SW::FT_ExportLog, SW::RT_ExportLog, true, "End"}}
            << sTip << "File export successful\nReport_2026-12-08-04-55-00_2.csv" << 100 << true;
        QTest::newRow("port failed") << Results {start, {SW::FT_ExportLog, SW::RT_OpenPort, false, sFail}} << sTip
                                     << "Disconnected" << 1 << true;
        QTest::newRow("boot loader") << Results {start, {SW::FT_ExportLog, SW::RT_EnterCtrlMode, false, sFail}}
                                     << sTip << "Please upgrade before proceeding" << 1 << true;
        QTest::newRow("export failed") << Results {start, progress, {SW::FT_ExportLog, SW::RT_ExportLog, false, sFail}}
                                       << sTip << "File export failed" << 37 << true;
        QTest::newRow("export failed, partial file named")
            << Results {start, progress,
                        {SW::FT_ExportLog, SW::RT_ReportFile, true,
                         QStringLiteral("/media/usb/reports/Partial_Report_2026-12-08-04-55-00.csv")},
                        {SW::FT_ExportLog, SW::RT_ExportLog, false, sFail}}
            << sTip << "File export failed\nPartial_Report_2026-12-08-04-55-00.csv" << 37 << true;
        QTest::newRow("port opened") << Results {{SW::FT_ExportLog, SW::RT_OpenPort, true, QString()},
                                                 {SW::FT_ExportLog, SW::RT_EnterCtrlMode, true, QString()}}
                                     << sPath << "File exporting" << 1 << false;
        QTest::newRow("other requests") << Results {{SW::FT_DeviceInfo, SW::RT_OpenPort, false, sFail},
                                                    {SW::FT_Upgrade, SW::RT_ExportLog, true, "End"}}
                                        << sPath << "File exporting" << 1 << false;
    }
    void exportResults()
    {
        QFETCH(Results, results);
        QFETCH(QString, sSubPage);
        QFETCH(QString, sTip);
        QFETCH(int, nBar);
        QFETCH(bool, bEnded);
        ExportWidget page;
        page.ShowPathPage();
        auto *pExport = Child<QPushButton>(&page, "btnExportFile");
        auto *pTip = Child<QLabel>(&page, "labelExportTip");

        pExport->click(); // empty folder: nothing
        QVERIFY(m_requests.isEmpty());
        QVERIFY(pExport->isEnabled());

        Child<QLineEdit>(&page, "lineEditExportPath")->setText(QStringLiteral("/media/usb/reports"));
        pExport->click();
        pExport->click(); // disabled now: no second request
        QCOMPARE(m_requests, QStringList {QStringLiteral("export /media/usb/reports")});
        for (const Result &result : results) {
            page.slot_SendResult(result.nFunctionType, result.nResultType, result.bRet, result.sMes);
        }

        // A second line, the report's name, is no text to translate.
        const QString sExpected = German("ExportWidget", qPrintable(sTip.section(QLatin1Char('\n'), 0, 0)))
                                  + sTip.section(QLatin1Char('\n'), 1, -1, QString::SectionIncludeLeadingSep);
        QCOMPARE(SubPage(&page, "stackedWidgetExport"), sSubPage);
        QCOMPARE(pTip->text(), sExpected);
        QCOMPARE(Child<QProgressBar>(&page, "progressBarExport")->value(), nBar);
        QCOMPARE(pExport->isEnabled(), bEnded);
        QCOMPARE(Child<QPushButton>(&page, "btnExportReturnMenu")->isHidden(), !bEnded);
        SendLanguageChange(&page);
        QCOMPARE(pTip->text(), sExpected);
    }

    // A device still sending what an earlier export asked for: the wait is
    // told at once, not behind the folder page's disabled "Export".
    void exportTellsABusyLineAtOnce()
    {
        ExportWidget page;
        page.ShowPathPage();
        Child<QLineEdit>(&page, "lineEditExportPath")->setText(QStringLiteral("/media/usb/reports"));
        Child<QPushButton>(&page, "btnExportFile")->click();
        page.slot_SendResult(SW::FT_ExportLog, SW::RT_LineBusy, true, QStringLiteral("120"));
        QCOMPARE(SubPage(&page, "stackedWidgetExport"), QStringLiteral("pageExportTip"));
        QCOMPARE(Child<QLabel>(&page, "labelExportTip")->text(),
                 German("LineBusyText", "The device is still sending its records; waiting up to %1 s").arg(120));
    }

    // --- Information page ---

    void infoDotsCycleUntilAResult()
    {
        InfoWidget page;
        auto *pSN = Child<QLabel>(&page, "labelSN");
        auto *pVersion = Child<QLabel>(&page, "labelFirmwareVer");
        page.ClearInfo();
        page.StartReadInfo();
        QCOMPARE(m_requests, QStringList {QStringLiteral("info")});
        QVERIFY(page.IsWaiting());
        for (const char *szDots : {".", "..", "...", "."}) {
            QTRY_COMPARE_WITH_TIMEOUT(pSN->text(), QString::fromLatin1(szDots), 2000);
            QCOMPARE(pVersion->text(), pSN->text());
        }

        // Entering again: empty fields, phase from the start, a new request.
        page.slot_TimeOut(); // ".."
        page.ClearInfo();
        QCOMPARE(pSN->text(), QString());
        QCOMPARE(pVersion->text(), QString());
        page.StartReadInfo();
        QCOMPARE(m_requests.size(), 2);
        page.slot_TimeOut();
        QCOMPARE(pSN->text(), QStringLiteral("."));
    }

    void infoResults_data()
    {
        QTest::addColumn<Result>("result");
        QTest::addColumn<QString>("sSubPage");
        QTest::addColumn<QString>("sSN");
        QTest::addColumn<QString>("sVersion");
        QTest::addColumn<QString>("sTip"); // English source
        const QString sShow = QStringLiteral("pageInfoShow");
        const QString sTip = QStringLiteral("pageInfoTip");
        const QString sFail = QStringLiteral("No serial port available");
        QTest::newRow("control request") << Result {SW::FT_CtrlMode, SW::RT_EnterCtrlMode, true, QString()} << sShow
                                         << ".." << ".." << "Disconnected";
        QTest::newRow("export request") << Result {SW::FT_ExportLog, SW::RT_OpenPort, false, sFail} << sShow << ".."
                                        << ".." << "Disconnected";
        QTest::newRow("upgrade request") << Result {SW::FT_Upgrade, SW::RT_OpenPort, false, sFail} << sShow << ".."
                                         << ".." << "Disconnected";
        QTest::newRow("version") << Result {SW::FT_DeviceInfo, SW::RT_Version, true, "V1.2"} << sShow << ".." << "V1.2"
                                 << "Disconnected";
        QTest::newRow("serial number") << Result {SW::FT_DeviceInfo, SW::RT_SN, true, "12345678"} << sShow
                                       << "12345678" << ".." << "Disconnected";
        QTest::newRow("version failed") << Result {SW::FT_DeviceInfo, SW::RT_Version, false, "V1.2"} << sShow << ".."
                                        << ".." << "Disconnected";
        QTest::newRow("port failed") << Result {SW::FT_DeviceInfo, SW::RT_OpenPort, false, sFail} << sTip << ".."
                                     << ".." << "Disconnected";
        QTest::newRow("boot loader") << Result {SW::FT_DeviceInfo, SW::RT_EnterCtrlMode, false, sFail} << sTip << ".."
                                     << ".." << "Please upgrade before proceeding";
        QTest::newRow("port opened") << Result {SW::FT_DeviceInfo, SW::RT_OpenPort, true, QString()} << sShow << ".."
                                     << ".." << "Disconnected";
    }
    void infoResults()
    {
        QFETCH(Result, result);
        QFETCH(QString, sSubPage);
        QFETCH(QString, sSN);
        QFETCH(QString, sVersion);
        QFETCH(QString, sTip);
        InfoWidget page;
        page.ClearInfo();
        page.StartReadInfo();
        page.slot_TimeOut();
        page.slot_TimeOut();
        page.slot_SendResult(result.nFunctionType, result.nResultType, result.bRet, result.sMes);
        QVERIFY(!page.IsWaiting()); // any result stops the dots

        auto *pSN = Child<QLabel>(&page, "labelSN");
        auto *pVersion = Child<QLabel>(&page, "labelFirmwareVer");
        auto *pTip = Child<QLabel>(&page, "labelInfoTip");
        const auto verify = [&]() {
            QCOMPARE(SubPage(&page, "stackedWidgetInfo"), sSubPage);
            QCOMPARE(pSN->text(), sSN);
            QCOMPARE(pVersion->text(), sVersion);
            QCOMPARE(pTip->text(), German("InfoWidget", qPrintable(sTip)));
        };
        verify();
        // A language change keeps what the device said and the message shown.
        SendLanguageChange(&page);
        verify();
    }

    // --- Why a job failed, and what next ---

    // Each failure kind a page meets puts the reason and the next step, in
    // the interface language, on a line under the page's own status, chosen
    // by the kind whatever the reason's words (a report's reason alone is
    // quoted: only it knows the numbers). The text fits the page: the label
    // holds every wrapped line, inside its sub-page, above the bar.
    void failuresSayWhyAndWhatNext_data()
    {
        QTest::addColumn<QString>("sPage");     // info, export, upgrade (preparation), transfer
        QTest::addColumn<int>("nResultType");   // the failing step (info, export) or the transfer status
        QTest::addColumn<int>("nKind");
        QTest::addColumn<QString>("sPort");
        QTest::addColumn<QString>("sReason");   // as the job reports it
        QTest::addColumn<QString>("sStatus");   // English source of the page's status; "": the value note
        QTest::addColumn<QString>("sAdvice");   // English source of the line under it
        const QString sPortFail = QStringLiteral("Failed to open serial port");
        const QString sGermanIncomplete =
            QStringLiteral("Der Bericht enthält 12 der 40 vom Gerät angekündigten Datensätze");
        using K = FailureKind;
        const auto row = [](const char *pName, const char *pPage, int nResultType, K eKind, const QString &sPort,
                            const QString &sReason, const char *pStatus, const char *pAdvice) {
            QTest::newRow(pName) << QString::fromLatin1(pPage) << nResultType << int(eKind) << sPort << sReason
                                 << QString::fromLatin1(pStatus) << QString::fromLatin1(pAdvice);
        };
        row("info: no port", "info", SW::RT_OpenPort, K::NoPort, QString(), sPortFail, "Disconnected",
            "No serial port could be opened. Connect the device and try again.");
        row("info: port in use", "info", SW::RT_OpenPort, K::PortInUse, QStringLiteral("COM3"), sPortFail,
            "Disconnected", "The port %1 is in use by another program. Close that program and try again.");
        row("info: only an echo", "info", SW::RT_OpenPort, K::EchoOnly, QString(), sPortFail, "Disconnected",
            "Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. "
            "Connect the device and try again.");
        row("info: something else answers", "info", SW::RT_OpenPort, K::NotThisDevice, QStringLiteral("COM3"),
            sPortFail, "Disconnected",
            "Something on %1 answers that is not this device. Connect the device and try again.");
        row("info: boot loader", "info", SW::RT_EnterCtrlMode, K::BootLoader, QString(), sPortFail,
            "Please upgrade before proceeding",
            "The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the "
            "device first.");
        row("info: a value not read", "info", SW::RT_Version, K::CommandFailed, QString(), QString(), "",
            "The device did not answer a command as expected. Check the cable and try again.");
        row("export: no answer", "export", SW::RT_OpenPort, K::NoAnswer, QString(), sPortFail, "Disconnected",
            "No device answered. Check that it is switched on and connected, then try again.");
        row("export: device lost", "export", SW::RT_ExportLog, K::DeviceLost, QString(), QStringLiteral("x"),
            "File export failed",
            "The connection to the device was lost (unplugged or switched off). Connect it and try again.");
        row("export: folder takes no file", "export", SW::RT_ExportLog, K::ReportNotCreated, QString(),
            QStringLiteral("Die Berichtsdatei Report_1.csv kann nicht angelegt werden: Permission denied"),
            "File export failed", "%1. Choose a folder you may write to, then export again.");
        row("export: disk full", "export", SW::RT_ExportLog, K::ReportNotWritten, QString(),
            QStringLiteral("Die Berichtsdatei Report_1.csv kann nicht geschrieben werden: No space left on device"),
            "File export failed", "%1. Make room on the disk or choose another folder, then export again.");
        row("export: records missing", "export", SW::RT_ExportLog, K::ReportIncomplete, QString(),
            sGermanIncomplete, "File export failed", "%1. Check the cable, then export again.");
        row("upgrade: busy", "upgrade", 0, K::Busy, QString(), QString(), "Upgrade failed",
            "Another job is still using the device. Wait until it has ended, then try again.");
        row("upgrade: port in use, not named", "upgrade", 0, K::PortInUse, QString(), QString(), "Upgrade failed",
            "A serial port is in use by another program. Close that program and try again.");
        row("upgrade: firmware file", "upgrade", 0, K::FirmwareFile, QString(), QString(), "Upgrade failed",
            "The firmware file cannot be read, or it is empty. Choose the firmware file for this device.");
        row("upgrade: boot loader not reached", "upgrade", 0, K::BootLoaderNotReached, QString(), QString(),
            "Upgrade failed",
            "The device did not get ready to receive the firmware. Switch it off and on, then try again.");
        row("upgrade: transfer not started", "upgrade", 0, K::TransferNotStarted, QString(), QString(),
            "Upgrade failed",
            "The transfer could not start. Try again; if it fails again, switch the device off and on.");
        row("transfer: refused", "transfer", YS::StatusCancelled, K::ReceiverCancelled, QString(), QString(),
            "Upgrade failed",
            "The device refused the firmware and stays in its boot loader. Check that the file is firmware for "
            "this device, then upgrade again.");
        row("transfer: timed out", "transfer", YS::StatusTimeOut, K::TransferTimedOut, QString(), QString(),
            "Upgrade failed",
            "The device stopped answering during the transfer and stays in its boot loader. Check the cable, then "
            "upgrade again.");
        row("transfer: noisy line", "transfer", YS::StatusFailed, K::NoisyLine, QString(), QString(),
            "Upgrade failed",
            "The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the "
            "connectors, then upgrade again.");
        row("transfer: failed", "transfer", YS::StatusFailed, K::TransferFailed, QString(), QString(),
            "Upgrade failed",
            "The transfer failed: the line reported an error, or the file changed while it was sent. The device "
            "stays in its boot loader: upgrade again.");
        row("transfer: the boot loader again after it", "verified", YS::StatusDone, K::FirmwareNotStarted,
            QStringLiteral("COM3"), QString(), "Upgrade failed",
            "The device received the whole file but started its boot loader again, not the new firmware. Check "
            "that the file is firmware for this device, then upgrade again.");
        row("transfer: neither its end nor the firmware confirmed", "verified", YS::StatusDone, K::NotConfirmed,
            QStringLiteral("COM3"), QString(), "Upgrade failed",
            "The device received the file to its end but confirmed neither the end of the transfer nor its new "
            "firmware. Check the cable, then upgrade again.");
        row("transfer: device lost", "transfer", YS::StatusFailed, K::DeviceLost, QStringLiteral("COM3"), QString(),
            "Upgrade failed",
            "The connection to the device was lost (unplugged or switched off). Connect it and try again.");
    }
    void failuresSayWhyAndWhatNext()
    {
        QFETCH(QString, sPage);
        QFETCH(int, nResultType);
        QFETCH(int, nKind);
        QFETCH(QString, sPort);
        QFETCH(QString, sReason);
        QFETCH(QString, sStatus);
        QFETCH(QString, sAdvice);
        QString sArg = sReason;
        if (nKind == int(FailureKind::PortInUse) || nKind == int(FailureKind::NotThisDevice)) {
            sArg = sPort;
        }
        const QString sAdviceGerman = sAdvice.contains(QLatin1String("%1"))
                                          ? German("FailureAdvice", qPrintable(sAdvice)).arg(sArg)
                                          : German("FailureAdvice", qPrintable(sAdvice));
        QVERIFY(sAdviceGerman != sAdvice);

        std::unique_ptr<QWidget> pPage;
        QLabel *pTip = nullptr;
        QWidget *pBar = nullptr;
        const char *pContext = "InfoWidget";
        if (sPage == QLatin1String("info")) {
            auto *pInfo = new InfoWidget;
            pPage.reset(pInfo);
            pPage->show();
            pInfo->ClearInfo();
            pInfo->StartReadInfo();
            pInfo->slot_FailureKind(SW::FT_DeviceInfo, nResultType, nKind, sPort);
            pInfo->slot_SendResult(SW::FT_DeviceInfo, nResultType, false, sReason);
            pTip = Child<QLabel>(pInfo, sStatus.isEmpty() ? "labelInfoReason" : "labelInfoTip");
        } else if (sPage == QLatin1String("export")) {
            auto *pExport = new ExportWidget;
            pPage.reset(pExport);
            pPage->show();
            pContext = "ExportWidget";
            Child<QLineEdit>(pExport, "lineEditExportPath")->setText(QStringLiteral("/media/usb/reports"));
            Child<QPushButton>(pExport, "btnExportFile")->click();
            pExport->slot_SendResult(SW::FT_ExportLog, SW::RT_ExportLog, true, QStringLiteral("Start"));
            pExport->slot_FailureKind(SW::FT_ExportLog, nResultType, nKind, sPort);
            pExport->slot_SendResult(SW::FT_ExportLog, nResultType, false, sReason);
            pTip = Child<QLabel>(pExport, "labelExportTip");
            pBar = Child<QProgressBar>(pExport, "progressBarExport");
        } else {
            auto *pUpgrade = new UpgradeWidget;
            pPage.reset(pUpgrade);
            pPage->show();
            pContext = "UpgradeWidget";
            const bool bPreparation = sPage == QLatin1String("upgrade");
            // The coordinator reports the kind before its preparation returns.
            m_startUpgrade = [&](const QString &) {
                if (bPreparation) {
                    pUpgrade->slot_FailureKind(SW::FT_Upgrade, SW::RT_OpenPort, nKind, sPort);
                }
                return !bPreparation;
            };
            Child<QLineEdit>(pUpgrade, "lineEditUpgradePath")->setText(QStringLiteral("/fw/k9.bin"));
            Child<QPushButton>(pUpgrade, "btnUpgradeFirmware")->click();
            if (sPage == QLatin1String("verified")) {
                // The transfer completed; the device's word makes it a failure.
                pUpgrade->slot_TransmitProgress(100);
                pUpgrade->slot_TransmitStatus(YS::StatusDone);
                pUpgrade->slot_FailureKind(SW::FT_Upgrade, SW::RT_StartTransmit, nKind, sPort);
                pUpgrade->slot_UpgradeVerified(false, QString(), nKind);
            } else if (!bPreparation) {
                pUpgrade->slot_TransmitProgress(41);
                pUpgrade->slot_FailureKind(SW::FT_Upgrade, SW::RT_StartTransmit, nKind, sPort);
                pUpgrade->slot_TransmitStatus(static_cast<YS>(nResultType));
            }
            pTip = Child<QLabel>(pUpgrade, "labelUpgradeTip");
            pBar = Child<QProgressBar>(pUpgrade, "progressBarUpgrade");
        }
        const QString sExpected = sStatus.isEmpty() ? sAdviceGerman
                                                     : German(pContext, qPrintable(sStatus)) + QLatin1Char('\n')
                                                           + sAdviceGerman;
        const auto verify = [&]() {
            QCOMPARE(pTip->text(), sExpected);
            QVERIFY(pTip->wordWrap());
            QVERIFY2(pTip->heightForWidth(pTip->width()) <= pTip->height(), "the label cuts its last lines");
            QVERIFY(pTip->parentWidget()->rect().contains(pTip->geometry()));
            if (pBar) {
                QVERIFY(pBar->geometry().top() >= pTip->geometry().bottom());
                QVERIFY(pBar->parentWidget()->rect().contains(pBar->geometry()));
            }
        };
        verify();
        SendLanguageChange(pPage.get());
        verify();
    }

    // --- Captions that do not fit, on a language change ---

    void longCaptionsShortened_data()
    {
        QTest::addColumn<QString>("sLinkCaption");
        QTest::addColumn<QString>("sLinkShown");
        QTest::addColumn<QString>("sVersionCaption");
        QTest::addColumn<QString>("sVersionShown");
        QTest::newRow("fit") << "Abcdefghijkl" << "Abcdefghijkl" << "Abcdefghijklmnopq:"
                             << "Abcdefghijklmnopq:";
        QTest::newRow("one too many") << "Abcdefghijklm" << "Abcdefghijkl..." << "Abcdefghijklmnopqr:"
                                      << "Abcdefghijklmno...:";
        QTest::newRow("cyrillic") << QStringLiteral("Выбрать каталог") << QStringLiteral("Выбрать ката...")
                                  << QStringLiteral("Версия микропрограммы:") << QStringLiteral("Версия микропро...:");
    }
    void longCaptionsShortened()
    {
        QFETCH(QString, sLinkCaption);
        QFETCH(QString, sLinkShown);
        QFETCH(QString, sVersionCaption);
        QFETCH(QString, sVersionShown);
        const bool bShortened = sLinkShown != sLinkCaption;
        ExportWidget exportPage;
        UpgradeWidget upgradePage;
        InfoWidget infoPage;
        const QList<QLabel *> links = {Child<QLabel>(&exportPage, "labelExportPath"),
                                       Child<QLabel>(&upgradePage, "labelUpgradePath")};
        auto *pVersion = Child<QLabel>(&infoPage, "labelFirmwareVertip");
        auto *pSNCaption = Child<QLabel>(&infoPage, "labelSNTip");

        // Captions are not shortened at construction.
        LongCaptions translator;
        for (const char *szContext : {"ExportWidget", "UpgradeWidget"}) {
            translator.texts.insert({szContext, kLink}, Link(sLinkCaption));
        }
        translator.texts.insert({"InfoWidget", "Firmware version:"}, sVersionCaption);
        translator.texts.insert({"InfoWidget", "SN:"}, QStringLiteral("Serial number:"));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        {
            ExportWidget freshPage;
            QCOMPARE(Child<QLabel>(&freshPage, "labelExportPath")->text(), Link(sLinkCaption));
        }
        for (QWidget *pPage : {static_cast<QWidget *>(&exportPage), static_cast<QWidget *>(&upgradePage),
                               static_cast<QWidget *>(&infoPage)}) {
            SendLanguageChange(pPage);
        }
        for (QLabel *pLink : links) {
            QCOMPARE(pLink->text(), Link(sLinkShown));
            QCOMPARE(pLink->toolTip(), bShortened ? sLinkCaption : QString());
        }
        QCOMPARE(pVersion->text(), sVersionShown);
        QCOMPARE(pVersion->toolTip(), bShortened ? sVersionCaption : QString());
        QCOMPARE(pSNCaption->toolTip(), bShortened ? QStringLiteral("Serial number:") : QString());

        // Back to German: full captions, and no tooltip left in the other language.
        QVERIFY(QCoreApplication::removeTranslator(&translator));
        for (QWidget *pPage : {static_cast<QWidget *>(&exportPage), static_cast<QWidget *>(&upgradePage),
                               static_cast<QWidget *>(&infoPage)}) {
            SendLanguageChange(pPage);
        }
        for (QLabel *pLink : links) {
            QCOMPARE(pLink->text(), German("ExportWidget", kLink));
            QCOMPARE(pLink->toolTip(), QString());
        }
        QCOMPARE(pVersion->text(), German("InfoWidget", "Firmware version:"));
        QCOMPARE(pVersion->toolTip(), QString());
        QCOMPARE(pSNCaption->toolTip(), QString());
    }

    void linkWithoutItsSpanIsLeftAlone()
    {
        ExportWidget page;
        LongCaptions translator;
        const QString sPlain = QStringLiteral("Choose the folder for the reports");
        translator.texts.insert({"ExportWidget", kLink}, sPlain);
        QVERIFY(QCoreApplication::installTranslator(&translator));
        SendLanguageChange(&page);
        QCOMPARE(Child<QLabel>(&page, "labelExportPath")->text(), sPlain);
        QVERIFY(QCoreApplication::removeTranslator(&translator));
    }

    // --- The path dialogs and their settings ---

    void pathDialogsRememberTheChoice()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sOld = dir.filePath(QStringLiteral("old/k9_1.0.bin"));
        const QString sNew = dir.filePath(QStringLiteral("new/k9_1.1.bin"));
        QVERIFY(AppTest::WriteAll(sOld, "old") && AppTest::WriteAll(sNew, "new"));
        Settings::SetUpgradeDir(sOld);
        Settings::SetExportDir(dir.filePath(QStringLiteral("old")));

        UpgradeWidget upgradePage;
        ExportWidget exportPage;
        upgradePage.show();
        exportPage.show();
        QVERIFY(QTest::qWaitForWindowExposed(&exportPage));
        auto *pFile = Child<QLineEdit>(&upgradePage, "lineEditUpgradePath");
        auto *pFolder = Child<QLineEdit>(&exportPage, "lineEditExportPath");
        QString sSeen;

        // Cancelled: field and setting stay.
        AnswerFileDialog([&](QFileDialog *pDialog) {
            sSeen = pDialog->windowTitle() + QLatin1Char('|') + pDialog->nameFilters().join(QLatin1Char(';')) +
                    QLatin1Char('|') + pDialog->selectedFiles().value(0);
            pDialog->reject();
        });
        QTest::mousePress(Child<QLabel>(&upgradePage, "labelUpgradePath"), Qt::RightButton);
        QCOMPARE(sSeen, German("UpgradeWidget", "Select path") + QStringLiteral("|(*.bin)|") + sOld);
        QCOMPARE(pFile->text(), QString());
        QCOMPARE(Settings::UpgradeDir(), sOld);

        // Chosen: the file's full path in the field and in the setting.
        AnswerFileDialog([&](QFileDialog *pDialog) {
            Choose(pDialog, sNew);
        });
        QTest::mousePress(Child<QLabel>(&upgradePage, "labelUpgradePath"), Qt::LeftButton);
        QCOMPARE(pFile->text(), sNew);
        QCOMPARE(Settings::UpgradeDir(), sNew);

        AnswerFileDialog([&](QFileDialog *pDialog) {
            sSeen = pDialog->windowTitle() + QLatin1Char('|') + pDialog->directory().absolutePath() +
                    (pDialog->testOption(QFileDialog::ShowDirsOnly) ? "|dirs" : "|files");
            Choose(pDialog, dir.filePath(QStringLiteral("new")));
        });
        QTest::mousePress(Child<QLabel>(&exportPage, "labelExportPath"), Qt::LeftButton);
        QCOMPARE(sSeen, German("ExportWidget", "Select path") + QLatin1Char('|') + dir.filePath("old") + "|dirs");
        QCOMPARE(pFolder->text(), dir.filePath(QStringLiteral("new")));
        QCOMPARE(Settings::ExportDir(), dir.filePath(QStringLiteral("new")));

        AnswerFileDialog([](QFileDialog *pDialog) { pDialog->reject(); });
        QTest::mousePress(Child<QLabel>(&exportPage, "labelExportPath"), Qt::LeftButton);
        QCOMPARE(pFolder->text(), dir.filePath(QStringLiteral("new")));
        QCOMPARE(Settings::ExportDir(), dir.filePath(QStringLiteral("new")));
        QVERIFY(m_requests.isEmpty());
    }
};

QTEST_MAIN(PagesTest)
#include "tst_pages.moc"
