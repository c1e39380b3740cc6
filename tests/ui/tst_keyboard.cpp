// The main window by keyboard alone: key presses go to the widget that has
// the focus, as the platform delivers them; the device requests the pages make
// go to a recorder, so no port is opened.

#include "app/language.h"
#include "app/languagedialog.h"
#include "app/scaledhost.h"
#include "device/devicecodes.h"
#include "support/namedchild.h"
#include "support/testenvironment.h"
#include "transfer/qserialuser.h"
#include "ui/devicerequestsfortesting.h"
#include "ui/exportwidget.h"
#include "ui/infowidget.h"
#include "ui/mainform.h"
#include "ui/upgradewidget.h"

#include <QApplication>
#include <QPointer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Answers the next file dialog with sPath by keys: the name typed into its
// name field, then Enter.
void TypeIntoNextFileDialog(const QString &sPath)
{
    auto *pTimer = new QTimer;
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, sPath]() {
        auto *pDialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!pDialog) {
            return;
        }
        pTimer->deleteLater();
        QWidget *pName = pDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(pName, sPath);
        QTest::keyClick(pName, Qt::Key_Return);
    });
    pTimer->start(50);
}

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainForm> m_pWindow;
    QStringList m_upgrades;
    QStringList m_exports;
    int m_nInfoRequests = 0;

    template <typename T = QWidget>
    T *Child(const char *szName) const
    {
        return NamedChild<T>(m_pWindow.get(), szName);
    }
    static QString Focus()
    {
        QWidget *pFocus = QApplication::focusWidget();
        return pFocus ? pFocus->objectName() : QStringLiteral("(none)");
    }
    // A key as the platform sends it: to whatever has the focus.
    static void Key(Qt::Key eKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        // After a dialog the window is active again once the platform says so.
        QTRY_VERIFY2(QApplication::focusWidget(), "no focus");
        QWidget *pFocus = QApplication::focusWidget();
        QTest::keyClick(pFocus, eKey, modifiers);
    }
    // The controls that took the focus while the key acted: a screen reader
    // names each of them.
    static QStringList FocusPathOf(Qt::Key eKey)
    {
        QStringList path;
        const QMetaObject::Connection watch =
            QObject::connect(qApp, &QApplication::focusChanged, [&path](QWidget *, QWidget *pNow) {
                if (pNow) {
                    path << pNow->objectName();
                }
            });
        Key(eKey);
        QObject::disconnect(watch);
        return path;
    }
    QString Page() const { return Child<QStackedWidget>("stackedWidget")->currentWidget()->objectName(); }
    void TabTo(const char *szName)
    {
        for (int i = 0; i < 20 && Focus() != QLatin1String(szName); ++i) {
            Key(Qt::Key_Tab);
        }
        QCOMPARE(Focus(), QString::fromLatin1(szName));
    }

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        TestEnvironment::SetSerialPorts({});
        DeviceRequestsForTesting::Set({[this](const QString &sPath) {
                                           m_upgrades << sPath;
                                           return true;
                                       },
                                       [this]() { ++m_nInfoRequests; },
                                       [this](const QString &sDir) { m_exports << sDir; }});
        m_pWindow = std::make_unique<MainForm>();
        m_pWindow->show();
        QApplication::setActiveWindow(m_pWindow.get());
        QVERIFY(QTest::qWaitForWindowActive(m_pWindow.get()));
    }
    void cleanupTestCase()
    {
        m_pWindow.reset();
        DeviceRequestsForTesting::Reset();
        QSerialUser::ReleaseInstance();
    }
    void init()
    {
        if (Page() != QLatin1String("pageMenu")) {
            QMetaObject::invokeMethod(m_pWindow.get(), "slot_ReturnMenu");
        }
        Child("btnExport")->setFocus(Qt::OtherFocusReason);
        m_upgrades.clear();
        m_exports.clear();
    }

    // Tab reads each screen in order, title band first, and comes round;
    // Shift+Tab goes back the same way.
    void tabReadsEachScreenInOrder_data()
    {
        QTest::addColumn<QString>("sEntry");   // menu button pressed with Enter; "": the menu
        QTest::addColumn<QStringList>("order");
        const QStringList band{"btnLanguage", "btnSupport", "btnMinimize", "btnClose"};
        QTest::newRow("menu") << QString() << band + QStringList{"btnExport", "btnUpgrade", "btnInfo"};
        QTest::newRow("export") << "btnExport"
                                << QStringList{"btnExportReturnMenu", "labelExportPath", "lineEditExportPath",
                                               "btnExportCancel", "btnExportFile"} + band;
        QTest::newRow("upgrade") << "btnUpgrade"
                                 << QStringList{"btnUpgradeReturnMenu", "labelUpgradePath", "lineEditUpgradePath",
                                                "btnUpgradeCancel", "btnUpgradeFirmware"} + band;
        QTest::newRow("information") << "btnInfo" << QStringList{"labelSN", "labelFirmwareVer"} + band
                                                         + QStringList{"btnInfoReturnMenu"};
    }
    void tabReadsEachScreenInOrder()
    {
        QFETCH(QString, sEntry);
        QFETCH(QStringList, order);
        if (!sEntry.isEmpty()) {
            TabTo(qPrintable(sEntry));
            Key(Qt::Key_Return);
        } else {
            TabTo(qPrintable(order.first()));
        }
        // Entered by key, a page starts at its first control.
        QCOMPARE(Focus(), order.first());
        QStringList forward{Focus()};
        for (int i = 1; i <= order.size(); ++i) {
            Key(Qt::Key_Tab);
            forward << Focus();
        }
        QCOMPARE(forward, order + QStringList{order.first()});
        QStringList backward{Focus()};
        for (int i = 1; i <= order.size(); ++i) {
            Key(Qt::Key_Tab, Qt::ShiftModifier);
            backward.prepend(Focus());
        }
        QCOMPARE(backward, order + QStringList{order.first()});
    }

    // The three jobs with keys alone: Enter on the menu, Space on the path
    // link and typing in its dialog, Enter on the job's button; the status
    // takes the focus while the job runs; Escape does nothing while the
    // upgrade offers no way back, and leaves each page once it does.
    void threeJobsByKeysAlone()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString sImage = dir.filePath(QStringLiteral("fw.bin"));
        QFile image(sImage);
        QVERIFY(image.open(QIODevice::WriteOnly) && image.write("firmware") == 8);
        image.close();

        // Information: its values take the focus; Escape back to the menu,
        // on the button that opened the page.
        TabTo("btnInfo");
        const int nInfoBefore = m_nInfoRequests;
        // Straight to where the keys go next, through no other control.
        QCOMPARE(FocusPathOf(Qt::Key_Return), QStringList{"labelSN"});
        QCOMPARE(Page(), QStringLiteral("pageInfo"));
        QCOMPARE(m_nInfoRequests, nInfoBefore + 1);
        Child<InfoWidget>("widgetInfo")->slot_SendResult(DeviceCodes::FT_DeviceInfo, DeviceCodes::RT_SN, true,
                                                         QStringLiteral("08123456"));
        QCOMPARE(FocusPathOf(Qt::Key_Escape), QStringList{"btnInfo"});
        QCOMPARE(Page(), QStringLiteral("pageMenu"));

        // Export: the folder through the dialog, Enter on "Export".
        TabTo("btnExport");
        QCOMPARE(FocusPathOf(Qt::Key_Return), QStringList{"btnExportReturnMenu"});
        QCOMPARE(Page(), QStringLiteral("pageExport"));
        TabTo("labelExportPath");
        TypeIntoNextFileDialog(dir.path());
        Key(Qt::Key_Space);
        QCOMPARE(Child<QLineEdit>("lineEditExportPath")->text(), dir.path());
        TabTo("btnExportFile");
        Key(Qt::Key_Return);
        QCOMPARE(m_exports, QStringList{dir.path()});
        auto *pExport = Child<ExportWidget>("widgetExport");
        pExport->slot_SendResult(DeviceCodes::FT_ExportLog, DeviceCodes::RT_ExportLog, true, QStringLiteral("Start"));
        QCOMPARE(Focus(), QStringLiteral("labelExportTip"));
        pExport->slot_SendResult(DeviceCodes::FT_ExportLog, DeviceCodes::RT_ExportLog, true, QStringLiteral("End"));
        Key(Qt::Key_Escape);
        QCOMPARE(Page(), QStringLiteral("pageMenu"));
        QCOMPARE(Focus(), QStringLiteral("btnExport"));

        // Upgrade: the file through the dialog, Enter on "Update".
        TabTo("btnUpgrade");
        Key(Qt::Key_Return);
        QCOMPARE(Page(), QStringLiteral("pageUpgrade"));
        TabTo("labelUpgradePath");
        TypeIntoNextFileDialog(sImage);
        Key(Qt::Key_Return);
        QCOMPARE(Child<QLineEdit>("lineEditUpgradePath")->text(), sImage);
        TabTo("btnUpgradeFirmware");
        QCOMPARE(FocusPathOf(Qt::Key_Return), QStringList{"labelUpgradeTip"});
        QCOMPARE(m_upgrades, QStringList{sImage});
        Key(Qt::Key_Escape);
        QCOMPARE(Page(), QStringLiteral("pageUpgrade"));
        auto *pUpgrade = Child<UpgradeWidget>("widgetUpgrade");
        pUpgrade->slot_TransmitStatus(YmodemFileTransmit::StatusDone);
        pUpgrade->slot_UpgradeVerified(true, QStringLiteral("V1.11"));
        QCOMPARE(Focus(), QStringLiteral("labelUpgradeTip"));
        Key(Qt::Key_Escape);
        QCOMPARE(Page(), QStringLiteral("pageMenu"));
        QCOMPARE(Focus(), QStringLiteral("btnUpgrade"));
    }

    // A held Enter presses once: the repeats neither press the page's cross
    // nor the menu button again.
    void heldEnterPressesOnce()
    {
        TabTo("btnUpgrade");
        Key(Qt::Key_Return);
        QCOMPARE(Page(), QStringLiteral("pageUpgrade"));
        for (int i = 0; i < 3; ++i) {
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(QApplication::focusWidget(), &repeat);
        }
        QCOMPARE(Page(), QStringLiteral("pageUpgrade"));
    }

    // A page's own stack hands its focus on straight too: the information
    // page's values, then its message when the port cannot be opened.
    void infoMessageTakesTheFocusStraight()
    {
        TabTo("btnInfo");
        Key(Qt::Key_Return);
        QCOMPARE(Focus(), QStringLiteral("labelSN"));
        QStringList path;
        const QMetaObject::Connection watch =
            connect(qApp, &QApplication::focusChanged, [&path](QWidget *, QWidget *pNow) {
                if (pNow) {
                    path << pNow->objectName();
                }
            });
        Child<InfoWidget>("widgetInfo")->slot_SendResult(DeviceCodes::FT_DeviceInfo, DeviceCodes::RT_OpenPort,
                                                         false, QString());
        disconnect(watch);
        QCOMPARE(path, QStringList{"labelInfoTip"});
    }

    // In the host that draws the window smaller on a small screen, the keys
    // and the ring work as in the window itself.
    void ringShowsInTheScaledWindow()
    {
        m_pWindow->hide();
        const auto showAgain = qScopeGuard([this] {
            m_pWindow->show();
            QApplication::setActiveWindow(m_pWindow.get());
        });
        MainForm window;
        ScaledHost host(&window, 0.79);
        host.show();
        window.show();
        QApplication::setActiveWindow(&host);
        QVERIFY(QTest::qWaitForWindowActive(&host));
        QWidget *pRing = window.findChild<QWidget *>(QStringLiteral("focusRing"));
        QVERIFY(pRing);
        // The keys go to the host, as the platform sends them; the focus
        // stays inside the window, which the application does not see.
        const auto ringsFocus = [&window, pRing]() {
            QWidget *pFocus = window.focusWidget();
            return pFocus && pRing->isVisible()
                   && QRect(pRing->mapTo(&window, QPoint(0, 0)), pRing->size())
                          .contains(QRect(pFocus->mapTo(&window, QPoint(0, 0)), pFocus->size()));
        };
        QTest::keyClick(&host, Qt::Key_Tab);
        QCOMPARE(window.focusWidget()->objectName(), QStringLiteral("btnUpgrade"));
        QVERIFY(ringsFocus());
        QTest::keyClick(&host, Qt::Key_Return);
        QCOMPARE(window.focusWidget()->objectName(), QStringLiteral("btnUpgradeReturnMenu"));
        QVERIFY(ringsFocus());
        QTest::keyClick(&host, Qt::Key_Escape);
        QCOMPARE(window.focusWidget()->objectName(), QStringLiteral("btnUpgrade"));
    }

    // The ring shows where the keys work once they are used, white on the
    // blue band and blue on the light pages, and goes at a mouse press.
    void ringFollowsTheKeyboardFocus_data()
    {
        QTest::addColumn<QString>("sTarget");
        QTest::addColumn<QColor>("ring");
        QTest::newRow("menu button") << "btnUpgrade" << QColor(0x2E, 0x85, 0xFA);
        QTest::newRow("title band") << "btnClose" << QColor(Qt::white);
    }
    void ringFollowsTheKeyboardFocus()
    {
        QFETCH(QString, sTarget);
        QFETCH(QColor, ring);
        QWidget *pRing = Child("focusRing");
        TabTo(qPrintable(sTarget));
        QWidget *pTarget = Child(qPrintable(sTarget));
        QTRY_VERIFY(pRing->isVisible());
        const QRect target(pTarget->mapTo(m_pWindow.get(), QPoint(0, 0)), pTarget->size());
        const QRect around(pRing->mapTo(m_pWindow.get(), QPoint(0, 0)), pRing->size());
        QVERIFY(around.contains(target));
        // The middle of the ring's top line, drawn over the window.
        const QImage window = m_pWindow->grab().toImage();
        const QPoint top(around.center().x(), around.top() + 1);
        QCOMPARE(window.pixelColor(top * window.devicePixelRatio()).name(), ring.name());

        QTest::mouseClick(Child("widgetSelect"), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(!pRing->isVisible());
        Key(Qt::Key_Tab);
        QVERIFY(pRing->isVisible());
    }

    // The language pop-up by keys: it opens on the ticked row, the arrows
    // move, Enter chooses and keeps it open, Escape closes it and gives the
    // window back its focus.
    void languagePopUpByKeys()
    {
        TabTo("btnLanguage");
        Key(Qt::Key_Return);
        QTRY_VERIFY(qobject_cast<LanguageDialog *>(QApplication::activeWindow()));
        auto *pDialog = qobject_cast<LanguageDialog *>(QApplication::activeWindow());
        QSignalSpy chosen(pDialog, &LanguageDialog::signal_SetLanguage);
        auto *pList = pDialog->findChild<QListWidget *>();
        QCOMPARE(Focus(), pList->objectName());
        QCOMPARE(pList->currentRow(), g_nLanguageId);
        const int nStart = g_nLanguageId;
        Key(Qt::Key_Down);
        Key(Qt::Key_Return);
        Key(Qt::Key_Up);
        Key(Qt::Key_Space);
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen.at(0).at(0).toInt(), nStart + 1);
        QCOMPARE(chosen.at(1).at(0).toInt(), nStart);
        QVERIFY(pDialog->isVisible());
        QPointer<LanguageDialog> pGone(pDialog);
        Key(Qt::Key_Escape);
        QTRY_VERIFY(!pGone);
        QTRY_COMPARE(QApplication::activeWindow(), m_pWindow.get());
        QCOMPARE(Focus(), QStringLiteral("btnLanguage"));
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
