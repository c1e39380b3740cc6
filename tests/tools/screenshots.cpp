// kp_screenshots OUTDIR
//
// Renders the real main window, the language pop-up and every state of the
// three task pages in each of the eight interface languages into
// OUTDIR/<language>/NN-<state>.png. The states are reached through the pages'
// own buttons and slots, as the device's reports would reach them; the device
// requests go to no-op handlers, so no port is opened or scanned.
//
// Before rendering it checks that the style sheets' "PingFang SC" resolves to
// the embedded faces (Regular, Medium and Bold for weights 400, 500 and 800).
// After each state it measures every visible caption against its widget and
// prints the ones that do not fit.
//
// Exit codes: 0 done, 1 setup failure (no faces, unwritable folder),
// 2 done but some text does not fit its widget.

#include "app/fonts.h"
#include "app/language.h"
#include "app/languagedialog.h"
#include "app/settingsfortesting.h"
#include "device/serialworker.h"
#include "support/testenvironment.h"
#include "transfer/qserialuser.h"
#include "transfer/ymodemfiletransmit.h"
#include "ui/devicerequestsfortesting.h"
#include "ui/exportwidget.h"
#include "ui/infowidget.h"
#include "ui/mainform.h"
#include "ui/upgradewidget.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRawFont>
#include <QScreen>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <functional>

namespace {

using SW = SerialWorker;

QTextStream &Out()
{
    static QTextStream stream(stdout);
    return stream;
}

template<class T>
T *Child(QWidget *pRoot, const char *szName)
{
    T *pChild = pRoot->findChild<T *>(QLatin1String(szName));
    if (!pChild) {
        qFatal("kp_screenshots: no %s", szName);
    }
    return pChild;
}

// The face that a widget's resolved font is drawn with must be the embedded
// file: compared by the font's header table, which holds the file's checksum
// and dates.
bool UsesEmbeddedFace(QWidget *pWidget, const char *szFacePath)
{
    pWidget->ensurePolished();
    QFile file(QString::fromLatin1(szFacePath));
    if (!file.open(QIODevice::ReadOnly)) {
        Out() << "cannot read " << szFacePath << "\n";
        return false;
    }
    const QRawFont embedded(file.readAll(), 14);
    const QRawFont used = QRawFont::fromFont(pWidget->font());
    const bool bSame = embedded.isValid() && used.isValid() && used.fontTable("head") == embedded.fontTable("head");
    Out() << pWidget->objectName() << ": family \"" << pWidget->font().family() << "\" resolves to \""
          << QFontInfo(pWidget->font()).family() << "\" " << used.styleName() << (bSame ? " (embedded " : " (NOT ")
          << szFacePath << ")\n";
    return bSame;
}

// Room a button leaves its caption: the picture buttons draw their own
// rounded background with a shadow inside the widget's rectangle.
int ButtonTextRoom(const QPushButton *pButton)
{
    const bool bPicture = pButton->styleSheet().contains(QLatin1String("background-image"));
    return pButton->width() - (bPicture ? 20 : 0);
}

// Visible captions whose text is wider than their widget (or, for wrapping
// labels, taller); one line each.
QStringList Overflows(QWidget *pRoot)
{
    QStringList found;
    const auto widgets = pRoot->findChildren<QWidget *>();
    for (QWidget *pWidget : widgets) {
        if (!pWidget->isVisible()) {
            continue;
        }
        if (auto *pLabel = qobject_cast<QLabel *>(pWidget)) {
            if (pLabel->text().isEmpty()) {
                continue;
            }
            if (pLabel->wordWrap()) {
                const int nHeight = pLabel->heightForWidth(pLabel->width());
                if (nHeight > pLabel->height()) {
                    found << QStringLiteral("%1 \"%2\" needs %3 px of height, has %4")
                                 .arg(pLabel->objectName(), pLabel->text())
                                 .arg(nHeight)
                                 .arg(pLabel->height());
                }
            } else if (pLabel->sizeHint().width() > pLabel->width()) {
                found << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                             .arg(pLabel->objectName(), pLabel->text())
                             .arg(pLabel->sizeHint().width())
                             .arg(pLabel->width());
            }
        } else if (auto *pButton = qobject_cast<QPushButton *>(pWidget)) {
            int nWidest = 0;
            for (const QString &sLine : pButton->text().split(QLatin1Char('\n'))) {
                nWidest = qMax(nWidest, pButton->fontMetrics().horizontalAdvance(sLine.trimmed()));
            }
            if (nWidest > ButtonTextRoom(pButton)) {
                found << QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                             .arg(pButton->objectName(), pButton->text())
                             .arg(nWidest)
                             .arg(ButtonTextRoom(pButton));
            }
        }
    }
    return found;
}

struct State
{
    const char *szName;
    std::function<QWidget *()> show; // brings the state up, returns what to grab
};

} // namespace

int main(int argc, char *argv[])
{
    // No port of this machine is ever listed, whatever happens below.
    TestEnvironment::GuardSerialPorts();
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        Out() << "usage: kp_screenshots OUTDIR\n";
        return 1;
    }
    const QString sOutDir = app.arguments().at(1);

    QTemporaryDir settingsDir;
    SettingsForTesting::SetFile(settingsDir.filePath(QStringLiteral("config.ini")));
    InitFont();

    // The pages' requests stop here: every state comes from the slots below.
    // An upgrade's preparation succeeds, unless a state makes it fail as the
    // coordinator would: its reports first, then false.
    std::function<bool()> prepareUpgrade = [] { return true; };
    DeviceRequestsForTesting::Handlers handlers;
    handlers.startUpgrade = [&prepareUpgrade](const QString &) { return prepareUpgrade(); };
    handlers.startGetVersionAndSN = [] {};
    handlers.startExportLogInfo = [](const QString &) {};
    DeviceRequestsForTesting::Set(handlers);

    qRegisterMetaType<YmodemFileTransmit::YmodemStatus>("YmodemFileTransmit::YmodemStatus");
    auto *pWindow = new MainForm;
    // The window goes before the application object, the shared device
    // coordinator (and its worker thread) with it, on every way out.
    struct Cleanup
    {
        MainForm *pWindow;
        ~Cleanup()
        {
            delete pWindow;
            QSerialUser::ReleaseInstance();
            DeviceRequestsForTesting::Reset();
        }
    } cleanup{pWindow};
    pWindow->SetTranslator(&g_translator);
    pWindow->move(0, 0);
    pWindow->show();
    // Keep the pointer off the window: a hovered button changes its look.
    if (QScreen *pScreen = QGuiApplication::primaryScreen()) {
        QCursor::setPos(pScreen->geometry().bottomRight());
    }
    QApplication::processEvents();

    auto *pUpgrade = Child<UpgradeWidget>(pWindow, "widgetUpgrade");
    auto *pExport = Child<ExportWidget>(pWindow, "widgetExport");
    auto *pInfo = Child<InfoWidget>(pWindow, "widgetInfo");

    const bool bFaces = UsesEmbeddedFace(Child<QLabel>(pWindow, "labelInfoTip"), Fonts::kRegularPath) &&
                        UsesEmbeddedFace(Child<QLabel>(pWindow, "labelInfoTitle"), Fonts::kMediumPath) &&
                        UsesEmbeddedFace(Child<QPushButton>(pWindow, "btnUpgradeFirmware"), Fonts::kBoldPath);
    if (!bFaces) {
        Out() << "the interface is not drawn with the embedded faces\n";
        return 1;
    }

    const auto click = [pWindow](const char *szButton) { Child<QPushButton>(pWindow, szButton)->click(); };
    const auto menu = [pWindow]() {
        Child<QStackedWidget>(pWindow, "stackedWidget")->setCurrentIndex(0);
        return pWindow;
    };
    const QString sFirmware = QStringLiteral(
        "/home/technician/Documents/Firmware/K9Z40/releases/2024-11/K9Z40_application_V1.10_build0815.bin");
    const QString sReportDir = QStringLiteral("/home/technician/Documents/Service reports/K9Z40/2024-11");
    const auto report = [pExport](int nResultType, bool bRet, const QString &sMes) {
        pExport->slot_SendResult(SW::FT_ExportLog, nResultType, bRet, sMes);
    };
    // Back on the path sub-page and "Export" pressed again, as a user would.
    const auto exportAgain = [pExport, click]() {
        pExport->ShowPathPage();
        click("btnExportFile");
    };
    // A failure's kind comes first, as the coordinator sends it; the longest
    // reasons a page meets are shown.
    const auto kind = [](QWidget *pPage, int nFunctionType, FailureKind eKind, const QString &sPort = QString()) {
        QMetaObject::invokeMethod(pPage, "slot_FailureKind", Q_ARG(int, nFunctionType), Q_ARG(int, 0),
                                  Q_ARG(int, int(eKind)), Q_ARG(QString, sPort));
    };
    const auto info = [pInfo](int nResultType, bool bRet, const QString &sMes) {
        pInfo->slot_SendResult(SW::FT_DeviceInfo, nResultType, bRet, sMes);
    };
    // The pop-up deletes itself when it loses activation.
    QPointer<LanguageDialog> pDialog;

    const QList<State> states = {
        {"menu", menu},
        {"language-dialog",
         [&pDialog, pWindow]() {
             pDialog = new LanguageDialog(pWindow);
             pDialog->InitLanguageList(g_nLanguageId);
             pDialog->move(pWindow->mapToGlobal(QPoint(0, 0)) + QPoint(148, 52));
             pDialog->show();
             return pDialog.data();
         }},
        {"upgrade-path",
         [=]() {
             // The last language's last upgrade state is still "running":
             // it ends, so that "Update" can be pressed again.
             pUpgrade->slot_TransmitStatus(YmodemFileTransmit::StatusCancelled);
             click("btnUpgrade");
             Child<QLineEdit>(pWindow, "lineEditUpgradePath")->setText(sFirmware);
             return pWindow;
         }},
        {"upgrade-progress",
         [=]() {
             click("btnUpgradeFirmware");
             pUpgrade->slot_TransmitStatus(YmodemFileTransmit::StatusSending);
             pUpgrade->slot_TransmitProgress(45);
             return pWindow;
         }},
        {"upgrade-failed",
         [=]() {
             kind(pUpgrade, SW::FT_Upgrade, FailureKind::TransferFailed);
             pUpgrade->slot_TransmitStatus(YmodemFileTransmit::StatusFailed);
             return pWindow;
         }},
        {"upgrade-completed",
         [=]() {
             pUpgrade->ShowPathPage();
             click("btnUpgradeFirmware");
             pUpgrade->slot_TransmitProgress(100);
             pUpgrade->slot_TransmitStatus(YmodemFileTransmit::StatusDone);
             return pWindow;
         }},
        {"upgrade-device-answered",
         [=]() {
             pUpgrade->slot_UpgradeVerified(true, QStringLiteral("V1.11"), 0, QStringLiteral("V1.10"));
             return pWindow;
         }},
        {"upgrade-port-message",
         [=]() {
             pUpgrade->slot_SendResult(SW::FT_Upgrade, SW::RT_OpenPort, false,
                                       QCoreApplication::translate("SerialWorker", "Failed to open serial port"));
             return pWindow;
         }},
        {"upgrade-port-in-use",
         [=, &prepareUpgrade]() {
             pUpgrade->ShowPathPage();
             prepareUpgrade = [=] {
                 kind(pUpgrade, SW::FT_Upgrade, FailureKind::PortInUse, QStringLiteral("COM3"));
                 return false;
             };
             click("btnUpgradeFirmware");
             prepareUpgrade = [] { return true; };
             return pWindow;
         }},
        {"upgrade-line-busy",
         [=]() {
             pUpgrade->ShowPathPage();
             click("btnUpgradeFirmware");
             pUpgrade->slot_SendResult(SW::FT_Upgrade, SW::RT_LineBusy, true, QStringLiteral("120"));
             return pWindow;
         }},
        {"upgrade-keeps-sending",
         [=]() {
             pUpgrade->slot_SendResult(SW::FT_Upgrade, SW::RT_LineBusy, false, QString());
             return pWindow;
         }},
        {"export-path",
         [=]() {
             click("btnUpgradeReturnMenu");
             click("btnExport");
             Child<QLineEdit>(pWindow, "lineEditExportPath")->setText(sReportDir);
             return pWindow;
         }},
        {"export-progress",
         [=]() {
             click("btnExportFile");
             report(SW::RT_ExportLog, true, QStringLiteral("Start"));
             report(SW::RT_ExportLog, true, QStringLiteral("37"));
             return pWindow;
         }},
        {"export-success",
         [=]() {
             report(SW::RT_ReportFile, true, QDir(sReportDir).filePath(QStringLiteral("Report_2026-12-08-04-55-00.csv")));
             report(SW::RT_ExportLog, true, QStringLiteral("End"));
             return pWindow;
         }},
        {"export-failed",
         [=]() {
             exportAgain();
             report(SW::RT_ExportLog, true, QStringLiteral("Start"));
             report(SW::RT_ExportLog, true, QStringLiteral("62"));
             report(SW::RT_ReportFile, true,
                    QDir(sReportDir).filePath(QStringLiteral("Partial_Report_2026-12-08-04-55-00.csv")));
             kind(pExport, SW::FT_ExportLog, FailureKind::ReportIncomplete);
             report(SW::RT_ExportLog, false,
                    QCoreApplication::translate("SerialWorker",
                                                "The report holds %1 of the %n records the device announced",
                                                nullptr, 1251)
                        .arg(777));
             return pWindow;
         }},
        {"export-disconnected",
         [=]() {
             exportAgain();
             kind(pExport, SW::FT_ExportLog, FailureKind::EchoOnly);
             report(SW::RT_OpenPort, false, QString());
             return pWindow;
         }},
        {"export-upgrade-first",
         [=]() {
             exportAgain();
             kind(pExport, SW::FT_ExportLog, FailureKind::BootLoader);
             report(SW::RT_EnterCtrlMode, false, QString());
             return pWindow;
         }},
        {"export-line-busy",
         [=]() {
             exportAgain();
             report(SW::RT_ExportLog, true, QStringLiteral("Start"));
             report(SW::RT_LineBusy, true, QStringLiteral("120"));
             return pWindow;
         }},
        {"export-keeps-sending",
         [=]() {
             report(SW::RT_LineBusy, false, QString());
             return pWindow;
         }},
        {"info-reading",
         [=]() {
             click("btnExportReturnMenu");
             click("btnInfo");
             for (int i = 0; i < 3; ++i) {
                 pInfo->slot_TimeOut(); // ".", "..", "..."
             }
             return pWindow;
         }},
        {"info-values",
         [=]() {
             info(SW::RT_Version, true, QStringLiteral("V1.10"));
             info(SW::RT_SN, true, QStringLiteral("0812345689ABCDEF"));
             return pWindow;
         }},
        {"info-value-not-read",
         [=]() {
             kind(pInfo, SW::FT_DeviceInfo, FailureKind::CommandFailed);
             info(SW::RT_SN, false, QString());
             return pWindow;
         }},
        {"info-disconnected",
         [=]() {
             kind(pInfo, SW::FT_DeviceInfo, FailureKind::PortInUse, QStringLiteral("COM3"));
             info(SW::RT_OpenPort, false, QString());
             return pWindow;
         }},
        {"info-upgrade-first",
         [=]() {
             click("btnInfoReturnMenu");
             click("btnInfo");
             kind(pInfo, SW::FT_DeviceInfo, FailureKind::BootLoader);
             info(SW::RT_EnterCtrlMode, false, QString());
             return pWindow;
         }},
        {"info-line-busy",
         [=]() {
             click("btnInfoReturnMenu");
             click("btnInfo");
             info(SW::RT_LineBusy, true, QStringLiteral("120"));
             return pWindow;
         }},
        {"info-keeps-sending",
         [=]() {
             info(SW::RT_LineBusy, false, QString());
             return pWindow;
         }},
    };

    int nOverflows = 0;
    int nFiles = 0;
    for (int nId = Language::kFirstId; nId <= Language::kLastId; ++nId) {
        // As the program switches: the translator reloaded and installed
        // again, so every window retranslates (and shortens its captions).
        if (!g_translator.load(Language::ResourcePath(nId))) {
            Out() << "cannot load " << Language::ResourcePath(nId) << "\n";
            return 1;
        }
        g_nLanguageId = nId;
        QCoreApplication::installTranslator(&g_translator);
        QApplication::processEvents();

        const QString sLanguage = Language::BaseName(nId).mid(int(qstrlen("Language_")));
        QDir dir(sOutDir);
        if (!dir.mkpath(sLanguage)) {
            Out() << "cannot create " << dir.filePath(sLanguage) << "\n";
            return 1;
        }
        for (int i = 0; i < states.size(); ++i) {
            const QPointer<QWidget> pShown = states.at(i).show();
            QApplication::processEvents();
            if (!pShown) {
                Out() << "nothing to show for " << states.at(i).szName << "\n";
                return 1;
            }
            const QString sFile = dir.filePath(QStringLiteral("%1/%2-%3.png")
                                                   .arg(sLanguage)
                                                   .arg(i + 1, 2, 10, QLatin1Char('0'))
                                                   .arg(QLatin1String(states.at(i).szName)));
            if (!pShown->grab().save(sFile)) {
                Out() << "cannot write " << sFile << "\n";
                return 1;
            }
            ++nFiles;
            for (const QString &sOverflow : Overflows(pShown)) {
                Out() << "does not fit: " << sLanguage << " " << states.at(i).szName << ": " << sOverflow << "\n";
                ++nOverflows;
            }
            if (pDialog) {
                pDialog->close();
                QApplication::processEvents();
            }
        }
        click("btnInfoReturnMenu");
    }
    Out() << nFiles << " pictures in " << QDir(sOutDir).absolutePath() << ", " << nOverflows
          << " text(s) wider than their widget\n";
    Out().flush();
    return nOverflows == 0 ? 0 : 2;
}
