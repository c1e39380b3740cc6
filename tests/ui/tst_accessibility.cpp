// What assistive technology reads of the window, through Qt's accessibility
// interfaces as the platform bridges read them: every control named in the
// window's language, and each job's changes sent as they happen.

#include "app/apptesthelpers.h"
#include "app/languagedialog.h"
#include "device/devicecodes.h"
#include "support/namedchild.h"
#include "support/testenvironment.h"
#include "transfer/qserialuser.h"
#include "ui/devicerequestsfortesting.h"
#include "ui/exportwidget.h"
#include "ui/infowidget.h"
#include "ui/mainform.h"
#include "ui/upgradewidget.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTranslator>
#include <QtTest>

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

#include <memory>

namespace {

struct Heard
{
    QAccessible::Event eType;
    QString sObject;
    QString sName;   // the object's name when the event came
    QVariant value;  // of a value change
};
QVector<Heard> g_heard;

void Listen(QAccessibleEvent *pEvent)
{
    QAccessibleInterface *pInterface = pEvent->accessibleInterface();
    Heard heard{pEvent->type(), pEvent->object() ? pEvent->object()->objectName() : QString(),
                pInterface ? pInterface->text(QAccessible::Name) : QString(), QVariant()};
    if (pEvent->type() == QAccessible::ValueChanged) {
        heard.value = static_cast<QAccessibleValueChangeEvent *>(pEvent)->value();
    }
    g_heard << heard;
}

// Every control a person can reach, shown on the screen: what the bridge
// would offer for Tab and for a screen reader's review.
void Controls(QAccessibleInterface *pInterface, QList<QAccessibleInterface *> *pControls)
{
    for (int i = 0; i < pInterface->childCount(); ++i) {
        QAccessibleInterface *pChild = pInterface->child(i);
        if (!pChild || pChild->state().invisible) {
            continue;
        }
        const QAccessible::Role role = pChild->role();
        if (pChild->state().focusable || role == QAccessible::Button || role == QAccessible::ProgressBar
            || role == QAccessible::EditableText) {
            pControls->append(pChild);
        }
        Controls(pChild, pControls);
    }
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainForm> m_pWindow;
    QTranslator m_translator;

    template <typename T = QWidget>
    T *Child(const char *szName) const
    {
        return NamedChild<T>(m_pWindow.get(), szName);
    }
    QString Name(const char *szName) const
    {
        return QAccessible::queryAccessibleInterface(Child(szName))->text(QAccessible::Name);
    }
    void Show(const char *szMenuButton)
    {
        QMetaObject::invokeMethod(m_pWindow.get(), "slot_ReturnMenu");
        if (szMenuButton) {
            Child<QPushButton>(szMenuButton)->click();
        }
    }
    bool HeardName(const char *szObject, const QString &sName) const
    {
        for (const Heard &heard : g_heard) {
            if (heard.eType == QAccessible::NameChanged && heard.sObject == QLatin1String(szObject)
                && heard.sName == sName) {
                return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        TestEnvironment::SetSerialPorts({});
        DeviceRequestsForTesting::Set({[](const QString &) { return true; }, []() {}, [](const QString &) {}});
        m_pWindow = std::make_unique<MainForm>();
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
        // As when a screen reader connects: only then are events sent.
        QAccessible::installUpdateHandler(Listen);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    }
    void cleanupTestCase()
    {
        QAccessible::installUpdateHandler(nullptr);
        QCoreApplication::removeTranslator(&m_translator);
        m_pWindow.reset();
        DeviceRequestsForTesting::Reset();
        QSerialUser::ReleaseInstance();
    }

    // On the menu and each page, every control has a name of one line in
    // each of the window's languages; the ones with no words of their own
    // carry the catalogue's names.
    void everyControlIsNamed_data()
    {
        QTest::addColumn<QString>("sLanguage");
        QTest::addColumn<QString>("sMenuButton");   // "": the menu
        QTest::addColumn<QStringList>("named");     // object, context, source text of its name
        for (const char *szLanguage : {"Language_zh_CN", "Language_en", "Language_fr", "Language_de", "Language_es",
                                       "Language_it", "Language_ru", "Language_pl"}) {
            const QString sLanguage = QLatin1String(szLanguage);
            QTest::addRow("%s menu", szLanguage)
                << sLanguage << QString()
                << QStringList{"btnInfo", "MainForm", "Device\n Information", "btnMinimize", "MainForm", "Minimize",
                               "btnClose", "MainForm", "Close"};
            QTest::addRow("%s export", szLanguage)
                << sLanguage << "btnExport"
                << QStringList{"btnExportReturnMenu", "ExportWidget", "Back to the menu", "lineEditExportPath",
                               "ExportWidget", "Report folder", "labelExportPath", "ExportWidget", "Select path"};
            QTest::addRow("%s upgrade", szLanguage)
                << sLanguage << "btnUpgrade"
                << QStringList{"btnUpgradeReturnMenu", "UpgradeWidget", "Back to the menu", "lineEditUpgradePath",
                               "UpgradeWidget", "Firmware file", "labelUpgradePath", "UpgradeWidget", "Select path"};
            QTest::addRow("%s information", szLanguage)
                << sLanguage << "btnInfo"
                << QStringList{"btnInfoReturnMenu", "InfoWidget", "Back to the menu", "labelSN", "InfoWidget",
                               "Reading…"};
        }
    }
    void everyControlIsNamed()
    {
        QFETCH(QString, sLanguage);
        QFETCH(QString, sMenuButton);
        QFETCH(QStringList, named);
        QVERIFY(m_translator.load(QStringLiteral(":/translation/") + sLanguage));
        QCoreApplication::installTranslator(&m_translator);
        // The windows retranslate when the language change posted to them comes.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        Show(sMenuButton.isEmpty() ? nullptr : qPrintable(sMenuButton));

        QList<QAccessibleInterface *> controls;
        Controls(QAccessible::queryAccessibleInterface(m_pWindow.get()), &controls);
        QVERIFY(controls.size() >= 7);
        for (QAccessibleInterface *pControl : qAsConst(controls)) {
            const QString sName = pControl->text(QAccessible::Name);
            const QString sWho = pControl->object()->objectName();
            QVERIFY2(!sName.trimmed().isEmpty(), qPrintable(sWho + QStringLiteral(" has no name")));
            QVERIFY2(!sName.contains(QLatin1Char('\n')), qPrintable(sWho + QStringLiteral(": ") + sName));
        }
        for (int i = 0; i + 2 < named.size(); i += 3) {
            // One line, as the menu buttons' names read their wrapped captions.
            const QString sExpected = AppTest::TranslatedBy(sLanguage, qPrintable(named[i + 1]),
                                                            named[i + 2].toUtf8().constData())
                                          .simplified();
            QVERIFY2(!sExpected.isEmpty(), qPrintable(named[i + 2]));
            QCOMPARE(Name(qPrintable(named[i])), sExpected);
        }
        // A link that acts as a button says so, and its press is offered.
        if (sMenuButton != QLatin1String("btnInfo") && !sMenuButton.isEmpty()) {
            QAccessibleInterface *pLink = QAccessible::queryAccessibleInterface(
                Child(sMenuButton == QLatin1String("btnExport") ? "labelExportPath" : "labelUpgradePath"));
            QCOMPARE(pLink->role(), QAccessible::Button);
            QVERIFY(pLink->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
            QVERIFY(!pLink->text(QAccessible::Description).isEmpty());
        }
    }

    // The pages' changes reach assistive technology as they come: the
    // status and its reason as the status's name, the progress as a value,
    // the information's values as their fields' names once read, and not
    // every dot of the waiting.
    void jobChangesAreSent()
    {
        QCoreApplication::removeTranslator(&m_translator);
        Show("btnUpgrade");
        auto *pUpgrade = Child<UpgradeWidget>("widgetUpgrade");
        Child<QLineEdit>("lineEditUpgradePath")->setText(QStringLiteral("/fw/k9.bin"));
        g_heard.clear();
        Child<QPushButton>("btnUpgradeFirmware")->click();
        pUpgrade->slot_TransmitProgress(40);
        pUpgrade->slot_TransmitStatus(YmodemFileTransmit::StatusDone);
        pUpgrade->slot_UpgradeVerified(true, QStringLiteral("V1.11"), 0, QStringLiteral("V1.10"));
        bool bProgress = false;
        for (const Heard &heard : qAsConst(g_heard)) {
            bProgress |= heard.eType == QAccessible::ValueChanged && heard.sObject == "progressBarUpgrade"
                         && heard.value.toInt() == 40;
        }
        if (!bProgress) {
            for (const Heard &heard : qAsConst(g_heard)) {
                qDebug() << heard.eType << heard.sObject << heard.sName << heard.value;
            }
        }
        QVERIFY(bProgress);
        QVERIFY(HeardName("labelUpgradeTip", QStringLiteral("during upgrade")));
        QVERIFY(HeardName("labelUpgradeTip", QStringLiteral("Upgrade completed\nFirmware V1.10 → V1.11")));

        Show("btnExport");
        auto *pExport = Child<ExportWidget>("widgetExport");
        pExport->slot_FailureKind(DeviceCodes::FT_ExportLog, DeviceCodes::RT_OpenPort, 0, QString());
        pExport->slot_SendResult(DeviceCodes::FT_ExportLog, DeviceCodes::RT_OpenPort, false,
                                 QStringLiteral("No serial port available"));
        bool bExportStatus = false;
        for (const Heard &heard : qAsConst(g_heard)) {
            bExportStatus |= heard.eType == QAccessible::NameChanged && heard.sObject == "labelExportTip"
                             && heard.sName.startsWith(QStringLiteral("Disconnected"));
        }
        QVERIFY(bExportStatus);

        g_heard.clear();
        Show("btnInfo");
        auto *pInfo = Child<InfoWidget>("widgetInfo");
        for (int i = 0; i < 3; ++i) {
            pInfo->slot_TimeOut();
        }
        pInfo->slot_SendResult(DeviceCodes::FT_DeviceInfo, DeviceCodes::RT_SN, true, QStringLiteral("08123456"));
        QStringList serialNames;
        for (const Heard &heard : qAsConst(g_heard)) {
            if (heard.eType == QAccessible::NameChanged && heard.sObject == "labelSN") {
                serialNames << heard.sName;
            }
        }
        // "Reading…" once, then the value: no dot, no empty name between.
        QCOMPARE(serialNames, (QStringList{"Reading…", "08123456"}));
        // The version is still on its way, and then is not.
        QCOMPARE(Name("labelFirmwareVer"), QStringLiteral("Reading…"));
        pInfo->slot_SendResult(DeviceCodes::FT_DeviceInfo, DeviceCodes::RT_Version, false, QString());
        QCOMPARE(Name("labelFirmwareVer"), QStringLiteral("Not read"));
        QCOMPARE(Name("labelSN"), QStringLiteral("08123456"));
    }

    // The language pop-up's rows are named by their languages.
    void languageRowsAreNamed()
    {
        // Every catalogue names each language in that language.
        QVERIFY(m_translator.load(QStringLiteral(":/translation/Language_en")));
        QCoreApplication::installTranslator(&m_translator);
        LanguageDialog dialog(m_pWindow.get());
        dialog.InitLanguageList(1);
        QAccessibleInterface *pList = QAccessible::queryAccessibleInterface(dialog.findChild<QListWidget *>());
        QStringList names;
        for (int i = 0; i < pList->childCount(); ++i) {
            names << pList->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(names, (QStringList{"简体中文", "English", "Français", "Deutsch", "español", "Italiano", "Русский",
                                     "Polski"}));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
