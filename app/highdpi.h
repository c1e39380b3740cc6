#ifndef HIGHDPI_H
#define HIGHDPI_H

#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// The window on screens of more than 96 DPI.
//
// The window is laid out in fixed pixels. Left to itself, Qt declares the
// program DPI-aware on Windows, so Windows does not scale it either: at 150 %
// it came out at two-thirds the size of every other program. On Windows the
// program therefore lets Qt scale it by the screen's own factor, unrounded
// (125 %, 150 % and 175 % as they are), and draws its images from
// twice-sized sources there. At 96 DPI nothing changes.
//
// A screen smaller than the window (a 1366 x 768 laptop, whose taskbar
// leaves 728 pixels; 1024 x 768) gets the window scaled below 1, on every
// system, down to kMinFactor; Qt cannot draw widgets below 1, so ScaledHost
// does.
namespace HighDpi {

// The smallest scale: the 1296-pixel window on a 1024-pixel screen. The
// pages' smallest text, 12 px, is drawn at 9.5 px there, most of it (14 px)
// at 11 px; smaller would not be legible.
constexpr qreal kMinFactor = 0.79;

// Before the application object exists.
void Enable();

// The scale at which a window of sWindow (in unscaled pixels) fits into
// sAvailable (the screen's free area in native pixels) when the screen asks
// for rScreenFactor: the screen's factor when it fits, else the largest
// quarter step that does down to 1, below 1 the largest hundredth that does,
// never below kMinFactor.
qreal FittingFactor(qreal rScreenFactor, const QSize &sWindow, const QSize &sAvailable);

// After the window is built and before it is first shown: on a screen too
// small for the window at its factor (a 1080p laptop at 150 %, a 1366 x 768
// one at 100 %), scales the program down so that the window fits, and
// returns the window's scale. At 1 and above that is Qt's own scale; below
// 1 Qt's is 1 and the window is to be shown in a ScaledHost of that scale.
// The offscreen and minimal platforms keep their factor: their 800 x 600
// screen is no screen anyone sees.
qreal FitOnPrimaryScreen(const QSize &sWindow);

// Makes the primary screen's scale rFactor, whatever QT_SCALE_FACTOR asked
// (Qt's global factor multiplies the screen's own one; this replaces the
// product).
void SetPrimaryScreenFactor(qreal rFactor);

// Where a window of sWindow goes in the free area rAvailable (both in the
// same pixels): centred, or against the area's left or top edge where it is
// wider or taller than the area, so that its title band stays on the screen.
QRect PlacedRect(const QRect &rAvailable, const QSize &sWindow);

// Before the window is first shown, after FitOnPrimaryScreen: puts it
// wholly inside the primary screen's free area (Windows' own placement of a
// new window may leave its bottom under the taskbar). The offscreen and
// minimal platforms leave it where it is.
void PlaceOnPrimaryScreen(QWidget *pWindow);

// A window image from the resources, from its "@2x" source where the screen
// scales, smoothly brought to the screen's factor.
QPixmap Pixmap(const QString &sPath);

} // namespace HighDpi

#endif // HIGHDPI_H
