#ifndef LINKCAPTION_H
#define LINKCAPTION_H

#include <QString>

class QLabel;

// The "Select path" links of the export and upgrade pages are rich text
// whose caption sits in an underlined span. Some languages need more room
// than the 101-pixel label gives; after a language change the caption is
// cut to its first 12 characters and "...", with the whole caption as the
// label's tooltip.
namespace LinkCaption {

constexpr int kMaxLength = 12;

// The caption of a link text: what lies between the end of the span's style
// attribute ("underline;\">") and the first "</span>"; empty when the text
// has no such span.
QString Caption(const QString &sLinkText);

// Shortens the label's caption when it is longer than kMaxLength and shows
// the whole caption as tooltip; a caption that fits leaves the text as it is
// and clears a tooltip left by an earlier language.
void Shorten(QLabel *pLabel);

} // namespace LinkCaption

#endif // LINKCAPTION_H
