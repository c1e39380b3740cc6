// The window on scaled screens: the factor that still fits the screen, where
// the window goes on it, and the images taken from their twice-sized sources.

#include "app/highdpi.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

class TestHighDpi : public QObject
{
    Q_OBJECT

private slots:
    void factorFitsTheWindowOnTheScreen_data()
    {
        QTest::addColumn<qreal>("rScreen");
        QTest::addColumn<QSize>("sAvailable");
        QTest::addColumn<qreal>("rExpected");
        // The window is 1296 x 816 unscaled; the free areas are native pixels.
        QTest::newRow("96 DPI") << qreal(1.0) << QSize(1920, 1040) << qreal(1.0);
        QTest::newRow("125 %, 1080p") << qreal(1.25) << QSize(1920, 1040) << qreal(1.25);
        QTest::newRow("150 %, 1440p") << qreal(1.5) << QSize(2560, 1380) << qreal(1.5);
        QTest::newRow("175 %, 4K") << qreal(1.75) << QSize(3840, 2100) << qreal(1.75);
        QTest::newRow("200 %, 4K") << qreal(2.0) << QSize(3840, 2100) << qreal(2.0);
        // Too tall at the screen's factor: the largest quarter step that fits.
        QTest::newRow("150 %, 1080p") << qreal(1.5) << QSize(1920, 1032) << qreal(1.25);
        QTest::newRow("200 %, 1440p") << qreal(2.0) << QSize(2560, 1380) << qreal(1.5);
        QTest::newRow("100 %, exactly the window's size") << qreal(1.0) << QSize(1296, 816) << qreal(1.0);
        // Too small at 100 %: the largest hundredth that fits, whatever the
        // screen asked for.
        QTest::newRow("125 %, 1366x768") << qreal(1.25) << QSize(1366, 728) << qreal(0.89);
        QTest::newRow("100 %, 1366x768") << qreal(1.0) << QSize(1366, 728) << qreal(0.89);
        QTest::newRow("100 %, 1280x720") << qreal(1.0) << QSize(1280, 720) << qreal(0.88);
        QTest::newRow("100 %, 1024x768") << qreal(1.0) << QSize(1024, 768) << qreal(0.79);
        // Never below the floor, even where that does not fit either.
        QTest::newRow("100 %, 800x600") << qreal(1.0) << QSize(800, 600) << HighDpi::kMinFactor;
        // A scale asked below 1 (QT_SCALE_FACTOR) is kept where it fits, and
        // never made larger.
        QTest::newRow("80 % asked, 1080p") << qreal(0.8) << QSize(1920, 1040) << qreal(0.8);
        QTest::newRow("50 % asked, 600x400") << qreal(0.5) << QSize(600, 400) << qreal(0.5);
        QTest::newRow("no screen size") << qreal(1.5) << QSize() << qreal(1.5);
    }
    void factorFitsTheWindowOnTheScreen()
    {
        QFETCH(qreal, rScreen);
        QFETCH(QSize, sAvailable);
        QFETCH(qreal, rExpected);
        QCOMPARE(HighDpi::FittingFactor(rScreen, QSize(1296, 816), sAvailable), rExpected);
    }

    void windowIsPlacedInsideTheWorkArea_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("centred") << QRect(0, 0, 1920, 1040) << QSize(1296, 816) << QRect(312, 112, 1296, 816);
        QTest::newRow("below a taskbar at the top")
            << QRect(0, 40, 1366, 728) << QSize(1153, 726) << QRect(106, 41, 1153, 726);
        QTest::newRow("on a screen left of the primary")
            << QRect(-1366, 0, 1366, 728) << QSize(1024, 645) << QRect(-1195, 41, 1024, 645);
        // Larger than the area: its title band (the top) and its left end
        // stay on the screen.
        QTest::newRow("too tall") << QRect(0, 0, 1366, 728) << QSize(1296, 816) << QRect(35, 0, 1296, 816);
        QTest::newRow("too wide") << QRect(0, 0, 1024, 728) << QSize(1296, 645) << QRect(0, 41, 1296, 645);
    }
    void windowIsPlacedInsideTheWorkArea()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, window);
        QFETCH(QRect, expected);
        QCOMPARE(HighDpi::PlacedRect(available, window), expected);
    }

    // Qt's global factor multiplies the screen's own: the scale set is the
    // screen's whole scale, not one more factor on QT_SCALE_FACTOR's.
    void screenFactorReplacesTheOneAskedFor()
    {
        HighDpi::SetPrimaryScreenFactor(1.5);
        QCOMPARE(qApp->primaryScreen()->devicePixelRatio(), 1.5);
        HighDpi::SetPrimaryScreenFactor(2.0);
        QCOMPARE(qApp->primaryScreen()->devicePixelRatio(), 2.0);
    }

    // The offscreen platform's 800 x 600 screen is no screen to fit: the
    // tests that run the real program there keep its geometry.
    void offscreenPlatformKeepsItsScale()
    {
        QCOMPARE(HighDpi::FitOnPrimaryScreen(QSize(1296, 816)), 2.0);
        QCOMPARE(qApp->primaryScreen()->devicePixelRatio(), 2.0);
    }

    // At twice the scale the logo comes from its 152 x 44 source, drawn at
    // its 76 x 22 place.
    void imagesComeFromTheirLargeSourceWhenScaled()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        const QPixmap logo = HighDpi::Pixmap(QStringLiteral(":/MainForm/image/Slice 469.png"));
        QCOMPARE(logo.size(), QSize(152, 44));
        QCOMPARE(logo.devicePixelRatio(), 2.0);
        QCOMPARE(logo.toImage().convertToFormat(QImage::Format_ARGB32),
                 QImage(QStringLiteral(":/MainForm/image/Slice 469@2x.png")).convertToFormat(QImage::Format_ARGB32));
    }
};

int main(int argc, char *argv[])
{
    // A screen at 200 %, as a 4K laptop's.
    qputenv("QT_SCALE_FACTOR", "2");
    HighDpi::Enable();
    QApplication app(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
