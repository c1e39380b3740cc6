#ifndef PAGEKEYS_H
#define PAGEKEYS_H

class QAbstractButton;
class QKeyEvent;

namespace PageKeys {

// Escape leaves a task page as its return cross does: only while the cross is
// offered (not while an upgrade runs). True when the key was taken.
bool EscapeReturns(const QKeyEvent *pEvent, QAbstractButton *pReturn);

} // namespace PageKeys

#endif // PAGEKEYS_H
