#include "ui/tiplayout.h"

#include <QLabel>
#include <QRect>
#include <QVariant>

namespace TipLayout {

namespace {

constexpr char kFormGeometry[] = "kpFormGeometry";
constexpr int kGapBelow = 9;   // between the text and the bar, as the form has it

QRect FormGeometry(QWidget *pWidget)
{
    if (!pWidget->property(kFormGeometry).isValid()) {
        pWidget->setProperty(kFormGeometry, pWidget->geometry());
    }
    return pWidget->property(kFormGeometry).toRect();
}

} // namespace

void SetText(QLabel *pTip, const QString &sText, int nRoomHeight, QWidget *pBelow)
{
    const QRect tipForm = FormGeometry(pTip);
    const QRect belowForm = pBelow ? FormGeometry(pBelow) : QRect();
    pTip->setWordWrap(true);
    pTip->setText(sText);
    // The style sheet's font applies once polished: measure with it.
    pTip->ensurePolished();
    const int nNeeded = pTip->heightForWidth(tipForm.width());
    if (nNeeded <= tipForm.height()) {
        pTip->setGeometry(tipForm);
        if (pBelow) {
            pBelow->setGeometry(belowForm);
        }
        return;
    }
    const int nBlock = nNeeded + (pBelow ? kGapBelow + belowForm.height() : 0);
    const int nTop = qMax(0, (nRoomHeight - nBlock) / 2);
    pTip->setGeometry(tipForm.x(), nTop, tipForm.width(), qMin(nNeeded, nRoomHeight - nTop));
    if (pBelow) {
        pBelow->setGeometry(belowForm.x(), nTop + nNeeded + kGapBelow, belowForm.width(), belowForm.height());
    }
}

} // namespace TipLayout
