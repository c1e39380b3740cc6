#include "app/scaledhost.h"

#include "app/highdpi.h"
#include "ui/pagekeys.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QIcon>
#include <QMouseEvent>
#include <QWindow>
#include <QtMath>

namespace {

// The window in the view. Tab past its last control (Shift+Tab before its
// first) comes round again, as in the window shown unscaled: the proxy alone
// would hand the focus to the scene, which has nothing else.
class RoundTabProxy : public QGraphicsProxyWidget
{
protected:
    bool focusNextPrevChild(bool bNext) override
    {
        if (QGraphicsProxyWidget::focusNextPrevChild(bNext)) {
            return true;
        }
        // Forwards the first control again; backwards the last.
        QWidget *pRound = widget() ? PageKeys::EdgeControl(widget(), bNext) : nullptr;
        if (!pRound) {
            return false;
        }
        pRound->setFocus(bNext ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
};

} // namespace

ScaledHost::ScaledHost(QWidget *pWindow, qreal rFactor)
    : m_pWindow(pWindow)
    , m_pScene(new QGraphicsScene(this))
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    SetTitle(pWindow->windowTitle());
    setWindowIcon(pWindow->windowIcon());
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The window's margin, where it draws its own shadow, stays see-through.
    setStyleSheet(QStringLiteral("background: transparent;"));
    viewport()->setAutoFillBackground(false);
    // Text and images drawn smaller smoothly, not by dropping pixels.
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);

    // Child windows (the language pop-up, message boxes, file dialogs) stay
    // windows of their own at full size, not sub-windows inside the view.
    pWindow->setWindowFlags(pWindow->windowFlags() | Qt::BypassGraphicsProxyWidget);
    m_pProxy = new RoundTabProxy;
    m_pProxy->setWidget(pWindow);
    m_pScene->addItem(m_pProxy);
    // Drawn unscaled into a picture of the window's own size, which the view
    // then draws smaller: a widget's graphics effect (the cards' shadows)
    // drawn straight through the view's scale comes out unscaled and cut.
    m_pProxy->setCacheMode(QGraphicsItem::ItemCoordinateCache);
    setScene(m_pScene);
    setSceneRect(QRectF(QPointF(0, 0), QSizeF(pWindow->size())));
    setTransform(QTransform::fromScale(rFactor, rFactor));
    setFixedSize(qCeil(pWindow->width() * rFactor), qCeil(pWindow->height() * rFactor));
    pWindow->installEventFilter(this);
    // For the dialogs the window opens.
    qApp->installEventFilter(this);
}

ScaledHost::~ScaledHost()
{
    qApp->removeEventFilter(this);
    m_pWindow->removeEventFilter(this);
    // The proxy would delete the window with itself; the window is not ours.
    m_pProxy->setWidget(nullptr);
}

bool ScaledHost::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pWindow) {
        switch (event->type()) {
        case QEvent::WindowStateChange:
            // The window's minimise button: the host goes to the taskbar, the
            // window stays as it is inside it.
            if (m_pWindow->isMinimized()) {
                m_pWindow->setWindowState(m_pWindow->windowState() & ~Qt::WindowMinimized);
                showMinimized();
            }
            break;
        case QEvent::Hide:
            // The window has closed (its close was accepted).
            if (!m_pWindow->isVisible()) {
                close();
            }
            break;
        case QEvent::WindowTitleChange:
            SetTitle(m_pWindow->windowTitle());
            break;
        default:
            break;
        }
    } else if (event->type() == QEvent::Show) {
        // Before it is shown on the screen: a window the window opens (a
        // message box, a dialog, the language pop-up) belongs to the host, the
        // window the system knows; belonging to the window inside, which the
        // system never shows, it need not stay above the host, and closed,
        // it would hand the keyboard to no window of the program's.
        auto *pChild = qobject_cast<QWidget *>(watched);
        if (pChild && pChild->isWindow() && pChild != this && pChild->windowHandle() && windowHandle()
            && pChild->parentWidget() && pChild->parentWidget()->window() == m_pWindow) {
            pChild->windowHandle()->setTransientParent(windowHandle());
        }
    } else if (event->type() == QEvent::ShowToParent) {
        // After the dialog's own show event, where Qt centres it on the window
        // as if that were shown unscaled (about its corner, at full size).
        // Placed by the program itself (the language pop-up), it stays.
        auto *pDialog = qobject_cast<QDialog *>(watched);
        if (pDialog && pDialog->isWindow() && !pDialog->testAttribute(Qt::WA_Moved) && pDialog->parentWidget() &&
            pDialog->parentWidget()->window() == m_pWindow) {
            pDialog->move(HighDpi::PlacedRect(frameGeometry(), pDialog->frameGeometry().size()).topLeft());
            // Placed for Qt, not by the program: shown again, it is centred again.
            pDialog->setAttribute(Qt::WA_Moved, false);
        }
    }
    return QGraphicsView::eventFilter(watched, event);
}

// The host and the view it draws the window in are the window to a screen
// reader too: both bear its title, so that neither reads as a control
// without a name beside the window's own.
void ScaledHost::SetTitle(const QString &sTitle)
{
    setWindowTitle(sTitle);
    viewport()->setAccessibleName(sTitle);
}

void ScaledHost::closeEvent(QCloseEvent *event)
{
    // The window decides (during an upgrade it asks first; during an export
    // it closes once the export has ended, and the host then follows).
    if (m_pWindow->isVisible() && !m_pWindow->close()) {
        event->ignore();
        return;
    }
    QGraphicsView::closeEvent(event);
}

void ScaledHost::focusInEvent(QFocusEvent *event)
{
    QGraphicsView::focusInEvent(event);
    // Keys go to the window's focus widget; at first there is none, and the
    // window shown unscaled gives the first one in its tab order the focus.
    if (!m_pWindow->focusWidget()) {
        m_pProxy->setFocus(Qt::TabFocusReason);
    }
}

// A press that nothing in the window takes (its title band, its background)
// drags the host, as it drags the window shown unscaled.
void ScaledHost::mousePressEvent(QMouseEvent *event)
{
    QGraphicsView::mousePressEvent(event);
    if (!event->isAccepted() && event->button() == Qt::LeftButton) {
        m_bDragging = true;
        m_ptGrab = event->globalPos() - pos();
        event->accept();
    }
}

void ScaledHost::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bDragging) {
        move(event->globalPos() - m_ptGrab);
        event->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void ScaledHost::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_bDragging && event->button() == Qt::LeftButton) {
        m_bDragging = false;
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
}
