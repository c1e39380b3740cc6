#ifndef FONTS_H
#define FONTS_H

#include <QString>
#include <QStringList>

// Registers the three embedded interface faces (Regular, Medium, Bold) and
// makes the family the forms' style sheets name, "PingFang SC", resolve to
// them. A face that does not register is ignored: styled text then falls back
// to the platform's font matching. No application-wide font is set.
void InitFont();

namespace Fonts {
constexpr const char *kStyleSheetFamily = "PingFang SC";
constexpr const char *kRegularPath = ":/font/PingFang/PingFang Regular.ttf";
constexpr const char *kMediumPath = ":/font/PingFang/PingFang Medium.ttf";
constexpr const char *kBoldPath = ":/font/PingFang/PingFang Bold.ttf";

// Registers the three faces in the order Regular, Medium, Bold and returns the
// family each one registered under (an empty string for a face that failed).
QStringList RegisterEmbeddedFaces();
} // namespace Fonts

#endif // FONTS_H
