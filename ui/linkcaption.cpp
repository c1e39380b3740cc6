#include "ui/linkcaption.h"

#include <QLabel>

namespace LinkCaption {

namespace {
const QString kStyleEnd = QStringLiteral("underline;\">");
const QString kSpanEnd = QStringLiteral("</span>");
} // namespace

QString Caption(const QString &sLinkText)
{
    const int nStyleEnd = sLinkText.indexOf(kStyleEnd);
    const int nSpanEnd = sLinkText.indexOf(kSpanEnd);
    // A translation whose markup lost the span (or reordered it) has no
    // caption to shorten; cutting at a missing marker would mangle the markup.
    if (nStyleEnd < 0 || nSpanEnd < nStyleEnd + kStyleEnd.size()) {
        return QString();
    }
    const int nStart = nStyleEnd + kStyleEnd.size();
    return sLinkText.mid(nStart, nSpanEnd - nStart);
}

void Shorten(QLabel *pLabel)
{
    const QString sText = pLabel->text();
    const QString sCaption = Caption(sText);
    if (sCaption.size() <= kMaxLength) {
        pLabel->setToolTip(QString());
        return;
    }
    const QString sShort = sCaption.left(kMaxLength) + QStringLiteral("...");
    pLabel->setText(QString(sText).replace(sCaption, sShort, Qt::CaseSensitive));
    pLabel->setToolTip(sCaption);
}

} // namespace LinkCaption
