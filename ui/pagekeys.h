#ifndef PAGEKEYS_H
#define PAGEKEYS_H

class QAbstractButton;
class QKeyEvent;
class QStackedWidget;
class QWidget;

// The keyboard on the pages.
namespace PageKeys {

// Escape leaves a task page as its return cross does: only while the cross is
// offered (not while an upgrade runs). True when the key was taken.
bool EscapeReturns(const QKeyEvent *pEvent, QAbstractButton *pReturn);

// Shows pPage of pStack. A hidden sub-page would hand its focus to the next
// control in the window, through the title band (a screen reader names each
// on the way): with the focus on the stack, it goes straight to the new
// sub-page's first control. True when the focus was on the stack.
bool ShowSubPage(QStackedWidget *pStack, QWidget *pPage);

// pPage's first (bFirst) or last control in reading order (Tab order) that
// is shown, enabled and taken by Tab; null when it has none.
QWidget *EdgeControl(QWidget *pPage, bool bFirst);

// The focus on pPage's first control; false when it has none.
bool FocusFirstControl(QWidget *pPage);

// Asks for pWidget's window to become the active one, the keys to go on
// there after a dialog, whoever else would (a window manager, or nobody): on
// a small screen, the window that the host draws smaller is no window of the
// system's, and the host is asked.
void ActivateWindowOf(QWidget *pWidget);

// Enter held down presses an Enter-pressed button once, not at each repeat
// (a held Enter on a menu button opened the page, pressed its cross, opened
// it again...).
void PressOnceWhenHeld(QWidget *pWidget);

} // namespace PageKeys

#endif // PAGEKEYS_H
