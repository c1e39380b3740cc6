#include "app/highdpi.h"

#include "app/logging.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>
#include <QtMath>

#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformscreen.h>

namespace HighDpi {

namespace {

// Above 1 the factors of Windows' own choices (125 %, 150 %, ...); below 1
// hundredths, so that a screen only a little too small for the window (728
// pixels for its 816) does not lose a quarter of it.
constexpr qreal kStepsAboveOne = 4.0;
constexpr qreal kStepsBelowOne = 100.0;

qreal FloorToStep(qreal rValue, qreal rStepsPerUnit)
{
    // The margin keeps an exact ratio (972 / 1296 = 0.75) on its step.
    return qFloor(rValue * rStepsPerUnit + 1e-9) / rStepsPerUnit;
}

// The offscreen and minimal platforms draw into memory; their 800 x 600
// screen is a placeholder the window need not fit (the tests run the real
// program there).
bool HasRealScreen()
{
    const QString sPlatform = QGuiApplication::platformName();
    return sPlatform != QLatin1String("offscreen") && sPlatform != QLatin1String("minimal");
}

} // namespace

void Enable()
{
#ifdef Q_OS_WIN
    // Windows tells every program the scale the user chose. On X, Qt 5 takes
    // the screen's physical DPI where the desktop sets no Xft.dpi, which
    // would scale the window by odd factors (104 % on a plain X server); there
    // the program scales only when asked (QT_ENABLE_HIGHDPI_SCALING=1,
    // QT_SCALE_FACTOR) or when the window would not fit the screen (below
    // 1, drawn by ScaledHost).
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
#endif
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // Qt rounds to whole factors by default: 125 % drew the window at 96 DPI
    // size and 150 % at twice it. Fractions look right here: the pages are
    // style-sheet shapes and text, and the images have 2x sources.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

qreal FittingFactor(qreal rScreenFactor, const QSize &sWindow, const QSize &sAvailable)
{
    if (sWindow.isEmpty() || sAvailable.isEmpty()) {
        return rScreenFactor;
    }
    const qreal rFit = qMin(qreal(sAvailable.width()) / sWindow.width(),
                            qreal(sAvailable.height()) / sWindow.height());
    if (rFit >= rScreenFactor) {
        return rScreenFactor;
    }
    if (rFit >= 1.0) {
        return FloorToStep(rFit, kStepsAboveOne);
    }
    // Never larger than asked (QT_SCALE_FACTOR=0.5 on a tiny screen).
    return qMin(rScreenFactor, qMax(kMinFactor, FloorToStep(rFit, kStepsBelowOne)));
}

qreal FitOnPrimaryScreen(const QSize &sWindow)
{
    const QScreen *pScreen = QGuiApplication::primaryScreen();
    if (!pScreen) {
        return 1.0;
    }
    const qreal rScreenFactor = pScreen->devicePixelRatio();
    qreal rFactor = rScreenFactor;
    if (HasRealScreen()) {
        // The work area (without the taskbar), in the screen's own pixels.
        const QSize sAvailable = pScreen->handle()->availableGeometry().size();
        rFactor = FittingFactor(rScreenFactor, sWindow, sAvailable);
        if (!qFuzzyCompare(rFactor, rScreenFactor)) {
            KP_LOG_INFO(QStringLiteral("Screen scale %1 would not fit the window into %2x%3 pixels: scale %4")
                            .arg(rScreenFactor)
                            .arg(sAvailable.width())
                            .arg(sAvailable.height())
                            .arg(rFactor));
        }
    }
    // Qt paints no widget below a ratio of 1 (see ScaledHost): there its
    // scale is 1 and the host draws the window smaller.
    const qreal rQtFactor = qMax(rFactor, qreal(1));
    if (!qFuzzyCompare(rQtFactor, rScreenFactor)) {
        SetPrimaryScreenFactor(rQtFactor);
    }
    return rFactor;
}

void SetPrimaryScreenFactor(qreal rFactor)
{
    const QScreen *pScreen = QGuiApplication::primaryScreen();
    if (!pScreen) {
        return;
    }
    // Qt's global factor (QT_SCALE_FACTOR's) multiplies the screen's own
    // (the system's DPI, QT_SCREEN_SCALE_FACTORS): without it the screen's
    // scale is its own, and the new global factor makes up the rest.
    QHighDpiScaling::setGlobalFactor(1.0);
    QHighDpiScaling::setGlobalFactor(rFactor / pScreen->devicePixelRatio());
}

QRect PlacedRect(const QRect &rAvailable, const QSize &sWindow)
{
    const QPoint corner(rAvailable.x() + qMax(0, (rAvailable.width() - sWindow.width()) / 2),
                        rAvailable.y() + qMax(0, (rAvailable.height() - sWindow.height()) / 2));
    return QRect(corner, sWindow);
}

void PlaceOnPrimaryScreen(QWidget *pWindow)
{
    const QScreen *pScreen = QGuiApplication::primaryScreen();
    if (!pScreen || !HasRealScreen()) {
        return;
    }
    // Both in the program's (scaled) pixels, once the factor is in force.
    pWindow->move(PlacedRect(pScreen->availableGeometry(), pWindow->size()).topLeft());
}

QPixmap Pixmap(const QString &sPath)
{
    const QPixmap plain(sPath);
    // QIcon finds the "@2x" file beside the plain one and scales it smoothly
    // to the screen's factor; at factor 1 it gives the plain image back.
    return QIcon(sPath).pixmap(plain.size());
}

} // namespace HighDpi
