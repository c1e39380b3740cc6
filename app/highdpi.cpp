#include "app/highdpi.h"

#include "app/logging.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QWidget>
#include <QtMath>

#include <QtGui/private/qhighdpiscaling_p.h>

namespace HighDpi {

namespace {

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
    // QT_SCALE_FACTOR).
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
    if (rScreenFactor <= 1.0 || sWindow.isEmpty() || sAvailable.isEmpty()) {
        return qMax(rScreenFactor, qreal(1));
    }
    const qreal rFit = qMin(qreal(sAvailable.width()) / sWindow.width(),
                            qreal(sAvailable.height()) / sWindow.height());
    if (rFit >= rScreenFactor) {
        return rScreenFactor;
    }
    return qMax(qreal(1), qFloor(rFit * 4.0) / 4.0);
}

qreal FitOnPrimaryScreen(const QSize &sWindow)
{
    const QScreen *pScreen = QGuiApplication::primaryScreen();
    if (!pScreen) {
        return 1.0;
    }
    const qreal rScreenFactor = pScreen->devicePixelRatio();
    const QSize sAvailable = pScreen->availableGeometry().size() * rScreenFactor;
    const qreal rFactor = FittingFactor(rScreenFactor, sWindow, sAvailable);
    if (!qFuzzyCompare(rFactor, rScreenFactor)) {
        SetPrimaryScreenFactor(rFactor);
        KP_LOG_INFO(QStringLiteral("Screen scale %1 would not fit the window into %2x%3 pixels: scale %4")
                        .arg(rScreenFactor)
                        .arg(sAvailable.width())
                        .arg(sAvailable.height())
                        .arg(rFactor));
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
