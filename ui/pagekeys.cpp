#include "ui/pagekeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QStackedWidget>

namespace PageKeys {

namespace {

class HeldEnter : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto *pKey = static_cast<QKeyEvent *>(event);
        return pKey->isAutoRepeat() && (pKey->key() == Qt::Key_Return || pKey->key() == Qt::Key_Enter);
    }
};

} // namespace

bool EscapeReturns(const QKeyEvent *pEvent, QAbstractButton *pReturn)
{
    if (pEvent->key() != Qt::Key_Escape || pEvent->modifiers() != Qt::NoModifier) {
        return false;
    }
    if (pReturn->isVisible() && pReturn->isEnabled() && !pEvent->isAutoRepeat()) {
        pReturn->click();
    }
    // Taken either way: on a page, Escape means nothing else.
    return true;
}

bool ShowSubPage(QStackedWidget *pStack, QWidget *pPage)
{
    QWidget *pFocus = pStack->window()->focusWidget();
    const bool bFocusHere = pFocus && pStack->isAncestorOf(pFocus);
    if (bFocusHere && !pPage->isAncestorOf(pFocus)) {
        pFocus->clearFocus();
    }
    pStack->setCurrentWidget(pPage);
    if (bFocusHere && !pPage->isAncestorOf(pStack->window()->focusWidget())) {
        FocusFirstControl(pPage);
    }
    return bFocusHere;
}

QWidget *EdgeControl(QWidget *pPage, bool bFirst)
{
    QWidget *pEdge = nullptr;
    for (QWidget *pNext = pPage->nextInFocusChain(); pNext != pPage; pNext = pNext->nextInFocusChain()) {
        if (pPage->isAncestorOf(pNext) && pNext->isVisible() && pNext->isEnabled()
            && (pNext->focusPolicy() & Qt::TabFocus)) {
            pEdge = pNext;
            if (bFirst) {
                break;
            }
        }
    }
    return pEdge;
}

bool FocusFirstControl(QWidget *pPage)
{
    QWidget *pFirst = EdgeControl(pPage, true);
    if (pFirst) {
        pFirst->setFocus(Qt::TabFocusReason);
    }
    return pFirst;
}

void ActivateWindowOf(QWidget *pWidget)
{
    QWidget *pWindow = pWidget->window();
    while (QGraphicsProxyWidget *pProxy = pWindow->graphicsProxyWidget()) {
        const QList<QGraphicsView *> views = pProxy->scene() ? pProxy->scene()->views() : QList<QGraphicsView *>();
        if (views.isEmpty()) {
            break;
        }
        pWindow = views.first()->window();
    }
    pWindow->activateWindow();
}

void PressOnceWhenHeld(QWidget *pWidget)
{
    static HeldEnter filter;
    pWidget->installEventFilter(&filter);
}

} // namespace PageKeys
