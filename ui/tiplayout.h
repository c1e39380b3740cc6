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

void SetText(QLabel *pTip, const QString &sText, QWidget *pBelow = nullptr);

} // namespace TipLayout

#endif // TIPLAYOUT_H
