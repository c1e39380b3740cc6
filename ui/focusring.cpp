#include "ui/focusring.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocumentFragment>

namespace {

constexpr int kGapPx = 2;     // between the control and the ring
constexpr int kWidthPx = 2;   // the ring's line
constexpr qreal kRadiusPx = 4;
constexpr int kCaptionPadPx = 6;   // beside a caption the ring hugs
const QColor kLightBackgroundRing(0x2E, 0x85, 0xFA);   // the blue of the window's texts
const QColor kDarkBackgroundRing(0xFF, 0xFF, 0xFF);

} // namespace

FocusRing::FocusRing(QWidget *pWindow, bool bFollowFocus)
    : QWidget(pWindow), m_pWindow(pWindow)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("focusRing"));
    hide();
    // The window's own focus, not the application's: drawn smaller through
    // a graphics view on a small screen, the window keeps its focus inside
    // the view, and the application's focus widget is the view.
    m_bFollowFocus = bFollowFocus;
    qApp->installEventFilter(this);
}

void FocusRing::Follow(QWidget *pTarget)
{
    if (m_pTarget) {
        m_pTarget->removeEventFilter(this);
    }
    m_pTarget = pTarget;
    if (m_pTarget) {
        // Its moves and size changes (a status text that grows) move the ring.
        m_pTarget->installEventFilter(this);
    }
    Place();
}

void FocusRing::SetKeyboardMode(bool bKeyboard)
{
    if (m_bKeyboard != bKeyboard) {
        m_bKeyboard = bKeyboard;
        Place();
    }
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (m_bFollowFocus && watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == m_pWindow) {
            Follow(static_cast<QWidget *>(watched));
        }
        break;
    case QEvent::FocusOut:
        // Gone elsewhere in the window, a FocusIn follows; the window left
        // (another window active, the focus cleared): no ring.
        if (m_bFollowFocus && watched == m_pTarget) {
            Follow(nullptr);
        }
        break;
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == m_pWindow) {
            SetKeyboardMode(event->type() == QEvent::KeyPress);
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (watched == m_pTarget) {
            Place();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::Place()
{
    if (!m_bKeyboard || !m_pTarget || !m_pTarget->isVisible()) {
        hide();
        return;
    }
    const int nOut = m_pTarget->property(kInside).toBool() ? 0 : kGapPx + kWidthPx;
    QRect target(QPoint(0, 0), m_pTarget->size());
    const QVariant hug = m_pTarget->property(kHugsCaption);
    if (hug.isValid()) {
        // A caption in a control wider than it (a title band entry, a link):
        // the ring goes round the words, not into the next control.
        QString sCaption;
        if (auto *pButton = qobject_cast<QAbstractButton *>(m_pTarget.data())) {
            sCaption = pButton->text();
        } else if (auto *pLabel = qobject_cast<QLabel *>(m_pTarget.data())) {
            sCaption = QTextDocumentFragment::fromHtml(pLabel->text()).toPlainText();
        }
        const int nWidth =
            qMin(target.width(), m_pTarget->fontMetrics().horizontalAdvance(sCaption) + 2 * kCaptionPadPx);
        const int nLeft = hug.toInt() == Qt::AlignLeft    ? -kCaptionPadPx
                          : hug.toInt() == Qt::AlignRight ? target.width() + kCaptionPadPx - nWidth
                                                          : target.center().x() - nWidth / 2;
        target = QRect(nLeft, 0, nWidth, target.height());
    }
    target.adjust(-nOut, -nOut, nOut, nOut);
    // On the nearest widget that holds the whole ring: a page card draws
    // through its shadow effect, and a repaint inside it does not repaint a
    // ring laid over it from outside.
    QWidget *pHolder = m_pTarget->parentWidget();
    while (pHolder && pHolder != m_pWindow
           && !pHolder->rect().contains(QRect(m_pTarget->mapTo(pHolder, target.topLeft()), target.size()))) {
        pHolder = pHolder->parentWidget();
    }
    if (!pHolder) {
        hide();
        return;
    }
    if (parentWidget() != pHolder) {
        setParent(pHolder);
    }
    setGeometry(QRect(m_pTarget->mapTo(pHolder, target.topLeft()), target.size()));
    raise();
    show();
    update();
}

void FocusRing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(m_pTarget && m_pTarget->property(kOnDark).toBool() ? kDarkBackgroundRing : kLightBackgroundRing);
    pen.setWidth(kWidthPx);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal rHalf = kWidthPx / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(rHalf, rHalf, -rHalf, -rHalf), kRadiusPx, kRadiusPx);
}
