#include "ui/pagekeys.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace PageKeys {

bool EscapeReturns(const QKeyEvent *pEvent, QAbstractButton *pReturn)
{
    if (pEvent->key() != Qt::Key_Escape || pEvent->modifiers() != Qt::NoModifier) {
        return false;
    }
    if (pReturn->isVisible() && pReturn->isEnabled()) {
        pReturn->click();
    }
    // Taken either way: on a page, Escape means nothing else.
    return true;
}

} // namespace PageKeys
