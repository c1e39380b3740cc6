// Draws the window images and the Windows application icon of Kestrelpack.
//
//   kestrelpack-imagegen <image folder> <icon file> <bold font file>
//
// Everything is flat vector drawing in the title band's blues, so the
// pictures can be changed here and regenerated instead of edited by hand.

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtEndian>

namespace {

const QColor kBandLeft(0x2D, 0x97, 0xFF);
const QColor kBandRight(0x00, 0x80, 0xFF);
const QColor kTextBlue(0x2E, 0x85, 0xFA);
const QColor kPaleBlue(0xEE, 0xF6, 0xFF);
const QColor kPaleBorder(0xC4, 0xDF, 0xFF);
const QColor kReturnGrey(0x6E, 0x7A, 0x8C);

// Every window image is drawn twice: at its size, and at twice its size as
// the "@2x" source that Qt takes on screens scaled above 100 %. Drawings use
// the 1x coordinates; the painter scales.
int g_nScale = 1;

QImage NewImage(int nWidth, int nHeight)
{
    QImage image(nWidth * g_nScale, nHeight * g_nScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QLinearGradient BandGradient(const QRectF &rect)
{
    QLinearGradient gradient(rect.topLeft(), rect.topRight());
    gradient.setColorAt(0.0, kBandLeft);
    gradient.setColorAt(1.0, kBandRight);
    return gradient;
}

void BeginPainter(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (g_nScale != 1)
        painter.scale(g_nScale, g_nScale);
}

// Word mark "Kestrelpack" in white for the blue title band: "Kestrel" bold,
// "pack" lighter, as large as fits.
QImage Logo(const QString &sFamily)
{
    QImage image = NewImage(76, 22);
    QPainter painter(&image);
    BeginPainter(painter);

    const QString sHead = QStringLiteral("Kestrel");
    const QString sTail = QStringLiteral("pack");
    QFont font(sFamily);
    font.setWeight(QFont::Bold);
    qreal rPixel = 18.0;
    for (; rPixel > 8.0; rPixel -= 0.25) {
        font.setPixelSize(qRound(rPixel));
        const QFontMetricsF metrics(font);
        if (metrics.horizontalAdvance(sHead + sTail) <= 74.0)
            break;
    }
    const QFontMetricsF metrics(font);
    const qreal rWidth = metrics.horizontalAdvance(sHead + sTail);
    const qreal rX = (76.0 - rWidth) / 2.0;
    const qreal rBaseline = (22.0 + metrics.capHeight()) / 2.0;
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(rX, rBaseline), sHead);
    painter.setPen(QColor(255, 255, 255, 205));
    painter.drawText(QPointF(rX + metrics.horizontalAdvance(sHead), rBaseline), sTail);
    return image;
}

QPen LinePen(const QColor &color, qreal rWidth)
{
    QPen pen(color, rWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QImage Minimise()
{
    QImage image = NewImage(18, 18);
    QPainter painter(&image);
    BeginPainter(painter);
    painter.setPen(LinePen(Qt::white, 2.0));
    painter.drawLine(QPointF(3.5, 9.5), QPointF(14.5, 9.5));
    return image;
}

QImage Cross(const QColor &color)
{
    QImage image = NewImage(18, 18);
    QPainter painter(&image);
    BeginPainter(painter);
    painter.setPen(LinePen(color, 2.0));
    painter.drawLine(QPointF(4.0, 4.0), QPointF(14.0, 14.0));
    painter.drawLine(QPointF(14.0, 4.0), QPointF(4.0, 14.0));
    return image;
}

// A rounded button face: pale with a thin border normally, the band's blue
// gradient under the mouse.
void ButtonFace(QPainter &painter, const QRectF &rect, qreal rRadius, const QColor &border, bool bHover)
{
    if (bHover) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(BandGradient(rect));
    } else {
        painter.setPen(QPen(border, 1.0));
        painter.setBrush(kPaleBlue);
    }
    painter.drawRoundedRect(rect, rRadius, rRadius);
}

// Menu buttons fill their 232 x 150 cell.
QImage MenuButton(bool bHover)
{
    QImage image = NewImage(232, 150);
    QPainter painter(&image);
    BeginPainter(painter);
    ButtonFace(painter, QRectF(0.5, 0.5, 231.0, 149.0), 10.0, kPaleBorder, bHover);
    // A short accent bar under the caption ties the card to the title band.
    painter.setPen(Qt::NoPen);
    painter.setBrush(bHover ? QColor(255, 255, 255, 200) : QColor(kTextBlue));
    painter.drawRoundedRect(QRectF(96.0, 122.0, 40.0, 4.0), 2.0, 2.0);
    return image;
}

// Page action buttons sit side by side in 158 x 54 cells; the drawn button
// keeps a margin so two neighbours do not touch.
QImage ActionButton(bool bHover)
{
    QImage image = NewImage(158, 54);
    QPainter painter(&image);
    BeginPainter(painter);
    ButtonFace(painter, QRectF(8.5, 7.5, 141.0, 39.0), 6.0, kBandLeft, bHover);
    return image;
}

QImage Tick()
{
    QImage image = NewImage(20, 20);
    QPainter painter(&image);
    BeginPainter(painter);
    painter.setPen(LinePen(kTextBlue, 2.2));
    QPainterPath path;
    path.moveTo(4.0, 10.5);
    path.lineTo(8.5, 15.0);
    path.lineTo(16.5, 5.5);
    painter.drawPath(path);
    return image;
}

// Application icon: a blue tile with a white "K" and an upward arrow for
// the firmware upload.
QImage AppIcon(const QString &sFamily)
{
    QImage image = NewImage(48, 48);
    QPainter painter(&image);
    BeginPainter(painter);
    const QRectF tile(2.0, 2.0, 44.0, 44.0);
    QLinearGradient gradient(tile.topLeft(), tile.bottomRight());
    gradient.setColorAt(0.0, kBandLeft);
    gradient.setColorAt(1.0, kBandRight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(tile, 10.0, 10.0);

    QFont font(sFamily);
    font.setWeight(QFont::Bold);
    font.setPixelSize(27);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QFontMetricsF metrics(font);
    const qreal rBaseline = (48.0 + metrics.capHeight()) / 2.0;
    painter.drawText(QPointF(7.0, rBaseline), QStringLiteral("K"));

    painter.setPen(LinePen(Qt::white, 3.0));
    painter.drawLine(QPointF(36.0, 35.0), QPointF(36.0, 15.0));
    painter.drawLine(QPointF(36.0, 14.0), QPointF(31.5, 18.5));
    painter.drawLine(QPointF(36.0, 14.0), QPointF(40.5, 18.5));
    return image;
}

// A Windows icon file with one 32-bit image: a BITMAPINFOHEADER of double
// height, the BGRA rows bottom-up, then the 1-bit transparency mask.
QByteArray IconFile(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int nSize = image.width();
    const int nMaskStride = ((nSize + 31) / 32) * 4;
    const quint32 nPixelBytes = quint32(nSize * nSize * 4);
    const quint32 nMaskBytes = quint32(nMaskStride * nSize);
    const quint32 nImageBytes = 40 + nPixelBytes + nMaskBytes;

    QByteArray ba;
    const auto put16 = [&ba](quint16 n) {
        char b[2];
        qToLittleEndian(n, b);
        ba.append(b, 2);
    };
    const auto put32 = [&ba](quint32 n) {
        char b[4];
        qToLittleEndian(n, b);
        ba.append(b, 4);
    };
    put16(0);
    put16(1); // icon
    put16(1); // one image
    ba.append(char(nSize));
    ba.append(char(nSize));
    ba.append(char(0)); // no palette
    ba.append(char(0));
    put16(1);  // planes
    put16(32); // bits per pixel
    put32(nImageBytes);
    put32(6 + 16);

    put32(40);
    put32(quint32(nSize));
    put32(quint32(nSize * 2));
    put16(1);
    put16(32);
    put32(0); // no compression
    put32(nPixelBytes + nMaskBytes);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    for (int y = nSize - 1; y >= 0; --y) {
        const QRgb *pLine = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < nSize; ++x) {
            ba.append(char(qBlue(pLine[x])));
            ba.append(char(qGreen(pLine[x])));
            ba.append(char(qRed(pLine[x])));
            ba.append(char(qAlpha(pLine[x])));
        }
    }
    for (int y = nSize - 1; y >= 0; --y) {
        QByteArray row(nMaskStride, '\0');
        const QRgb *pLine = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < nSize; ++x) {
            if (qAlpha(pLine[x]) == 0)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        ba.append(row);
    }
    return ba;
}

bool Save(const QImage &image, const QString &sPath, QTextStream &err)
{
    if (!image.save(sPath, "PNG")) {
        err << "cannot write " << sPath << "\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        err << "usage: kestrelpack-imagegen <image folder> <icon file> <bold font file>\n";
        return 2;
    }
    const QString sImageDir = args.at(1);
    const QString sIconPath = args.at(2);
    const int nFontId = QFontDatabase::addApplicationFont(args.at(3));
    if (nFontId < 0) {
        err << "cannot load font " << args.at(3) << "\n";
        return 1;
    }
    const QString sFamily = QFontDatabase::applicationFontFamilies(nFontId).value(0);
    if (!QDir().mkpath(sImageDir)) {
        err << "cannot create " << sImageDir << "\n";
        return 1;
    }

    const QDir dir(sImageDir);
    for (const int nScale : {1, 2}) {
        g_nScale = nScale;
        const QString sSuffix = nScale == 1 ? QString() : QStringLiteral("@%1x").arg(nScale);
        const QList<QPair<QString, QImage>> images = {
            {QStringLiteral("Slice 469"), Logo(sFamily)},
            {QStringLiteral("Slice 456"), Minimise()},
            {QStringLiteral("Slice 458"), Cross(Qt::white)},
            {QStringLiteral("Slice 458-1"), Cross(kReturnGrey)},
            {QStringLiteral("Slice 772"), MenuButton(false)},
            {QStringLiteral("Slice 771"), MenuButton(true)},
            {QStringLiteral("Slice 769"), ActionButton(false)},
            {QStringLiteral("Slice 770"), ActionButton(true)},
            {QStringLiteral("Slice 773"), Tick()},
        };
        for (const auto &entry : images) {
            if (!Save(entry.second, dir.filePath(entry.first + sSuffix + QStringLiteral(".png")), err))
                return 1;
        }
    }
    g_nScale = 1;

    QFile icon(sIconPath);
    const QByteArray baIcon = IconFile(AppIcon(sFamily));
    if (!icon.open(QIODevice::WriteOnly) || icon.write(baIcon) != baIcon.size()) {
        err << "cannot write " << sIconPath << "\n";
        return 1;
    }
    return 0;
}
