// The window shown below 1 through its host: clicks and keys reach it at the
// host's scale, the host plays its frame (drag, minimise, close), and its
// dialogs are centred on the host.

#include "app/scaledhost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

namespace {

constexpr qreal kScale = 0.79;

// A frameless window of the main window's size with one button, which may
// refuse to close (as the main window does during an upgrade).
class Window : public QWidget
{
public:
    Window()
    {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        resize(1296, 816);
        pButton = new QPushButton(QStringLiteral("Close"), this);
        pButton->setGeometry(1000, 700, 100, 40);
    }
    QPushButton *pButton;
    bool bRefuseClose = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->setAccepted(!bRefuseClose);
    }
};

// The window in its host, both shown, the host's corner at (100, 50).
struct Hosted
{
    Hosted()
        : host(&window, kScale)
    {
        host.move(100, 50);
        host.show();
        window.show();
    }
    Window window;
    ScaledHost host;
};

// Where a point of the window, in its own pixels, is in the host's view.
QPoint Scaled(const QPoint &point)
{
    return QPoint(qRound(point.x() * kScale), qRound(point.y() * kScale));
}

// The mouse at a point of the screen, as the host's view receives it.
void SendMouse(QWidget *pViewport, QEvent::Type eType, const QPoint &global, Qt::MouseButtons buttons)
{
    QMouseEvent event(eType, pViewport->mapFromGlobal(global), global, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(pViewport, &event);
}

} // namespace

class TestScaledHost : public QObject
{
    Q_OBJECT

private slots:
    void clicksReachTheWindowAtTheScale()
    {
        Hosted hosted;
        QCOMPARE(hosted.host.size(), QSize(1024, 645));
        QVERIFY(QTest::qWaitForWindowExposed(&hosted.host));

        QSignalSpy clicked(hosted.window.pButton, &QPushButton::clicked);
        QTest::mouseClick(hosted.host.viewport(), Qt::LeftButton, Qt::NoModifier, Scaled(QPoint(1050, 720)));
        QCOMPARE(clicked.count(), 1);
    }

    // Active, the host gives the window's first focusable child the keys, as
    // the window shown unscaled does.
    void keysReachTheWindowsFirstFocusableChild()
    {
        Hosted hosted;
        Window &window = hosted.window;
        ScaledHost &host = hosted.host;
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));

        QTRY_VERIFY(window.pButton->hasFocus());
        QSignalSpy clicked(window.pButton, &QPushButton::clicked);
        QTest::keyClick(&host, Qt::Key_Space);
        QCOMPARE(clicked.count(), 1);
    }

    // Tab comes round past the window's last control, and Shift+Tab before
    // its first, as in the window shown unscaled.
    void tabComesRoundInTheHost()
    {
        Hosted hosted;
        Window &window = hosted.window;
        ScaledHost &host = hosted.host;
        auto *pFirst = new QPushButton(QStringLiteral("First"), &window);
        pFirst->setGeometry(100, 100, 100, 40);
        QWidget::setTabOrder(pFirst, window.pButton);
        pFirst->show();
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        pFirst->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(&host, Qt::Key_Tab);
        QVERIFY(window.pButton->hasFocus());
        QTest::keyClick(&host, Qt::Key_Tab);
        QVERIFY(pFirst->hasFocus());
        QTest::keyClick(&host, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(window.pButton->hasFocus());
    }

    // A press that no child takes drags the host by the mouse's way; the
    // window inside stays at the host's corner.
    void pressOnTheBackgroundDragsTheHost()
    {
        Hosted hosted;
        Window &window = hosted.window;
        ScaledHost &host = hosted.host;
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        const QPoint band = host.viewport()->mapToGlobal(Scaled(QPoint(600, 40)));
        SendMouse(host.viewport(), QEvent::MouseButtonPress, band, Qt::LeftButton);
        SendMouse(host.viewport(), QEvent::MouseMove, band + QPoint(10, 20), Qt::LeftButton);
        SendMouse(host.viewport(), QEvent::MouseMove, band + QPoint(30, 40), Qt::LeftButton);
        SendMouse(host.viewport(), QEvent::MouseButtonRelease, band + QPoint(30, 40), Qt::NoButton);
        QCOMPARE(host.pos(), QPoint(130, 90));
        QCOMPARE(window.pos(), QPoint(0, 0));
    }

    // The window's minimise button minimises the host, not the window inside
    // it. The window decides on closing: closing the host asks it, and its
    // own close (its close button, its deferred close after an export) takes
    // the host along.
    void minimiseAndCloseGoThroughTheWindow()
    {
        Hosted hosted;
        Window &window = hosted.window;
        ScaledHost &host = hosted.host;
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        window.showMinimized();
        QVERIFY(host.isMinimized());
        QVERIFY(!window.isMinimized());

        window.bRefuseClose = true;
        QVERIFY(!host.close());
        QVERIFY(host.isVisible());
        QVERIFY(window.isVisible());

        window.bRefuseClose = false;
        QVERIFY(window.close());
        QVERIFY(!host.isVisible());
    }

    // Qt centres a dialog on the window as if that were unscaled; the host
    // centres it on itself. One the program placed itself stays.
    void dialogsAreCentredOnTheHost()
    {
        Hosted hosted;
        Window &window = hosted.window;
        ScaledHost &host = hosted.host;
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        QDialog box(&window);
        box.resize(300, 200);
        box.show();
        // To the pixel: an odd room around the box has no middle.
        QVERIFY2((box.frameGeometry().center() - host.frameGeometry().center()).manhattanLength() <= 1,
                 qPrintable(QStringLiteral("box at %1,%2").arg(box.x()).arg(box.y())));
        // It belongs to the host, the window the system shows.
        QCOMPARE(box.windowHandle()->transientParent(), host.windowHandle());

        QDialog placed(&window);
        placed.resize(100, 100);
        placed.move(host.mapToGlobal(QPoint(117, 41)));
        placed.show();
        QCOMPARE(placed.pos(), host.mapToGlobal(QPoint(117, 41)));
    }
};

QTEST_MAIN(TestScaledHost)
#include "tst_scaledhost.moc"
