#ifndef PRESSABLELABEL_H
#define PRESSABLELABEL_H

class QKeyEvent;
class QLabel;

// A label that acts as a button (the pages' "Select path" links): assistive
// technology is told it is a button, named by its accessible name (the full
// caption, where the shown one is shortened), and its press action does what
// Space does on it.
namespace PressableLabel {

void Mark(QLabel *pLabel);

// Enter, Return or Space with no modifier, not repeated by a held key: what
// presses a button.
bool IsPressKey(const QKeyEvent *pEvent);

} // namespace PressableLabel

#endif // PRESSABLELABEL_H
