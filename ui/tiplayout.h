#ifndef TIPLAYOUT_H
#define TIPLAYOUT_H

#include <QString>

class QLabel;
class QWidget;

// The status text of a page's tip sub-page. A status alone sits where the
// form puts it; a status with a reason and a next step below it can take
// several wrapped lines, so the label then grows to hold them all and, with
// the widget under it (the progress bar), is centred in the sub-page.
namespace TipLayout {

// nRoomHeight: the sub-page's height (the stack's: a sub-page not shown yet
// has no size of its own).
void SetText(QLabel *pTip, const QString &sText, int nRoomHeight, QWidget *pBelow = nullptr);

} // namespace TipLayout

#endif // TIPLAYOUT_H
