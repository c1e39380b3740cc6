// Embedded images and interface faces, and the Windows resource files.

#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QRawFont>
#include <QRegularExpression>
#include <QTest>
#include <QTextCodec>
#include <QXmlStreamReader>
#include <QtEndian>

#include <cmath>

namespace {

QString SourcePath(const QString &sRelative)
{
    return QStringLiteral(KP_RESOURCE_DIR "/") + sRelative;
}

double Luminance(const QColor &color)
{
    const auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.red()) + 0.7152 * channel(color.green()) + 0.0722 * channel(color.blue());
}

double Contrast(const QColor &a, const QColor &b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// The colour of an image pixel laid over an opaque background.
QColor Over(QRgb pixel, const QColor &background)
{
    const double a = qAlpha(pixel) / 255.0;
    return QColor::fromRgbF(qRed(pixel) / 255.0 * a + background.redF() * (1 - a),
                            qGreen(pixel) / 255.0 * a + background.greenF() * (1 - a),
                            qBlue(pixel) / 255.0 * a + background.blueF() * (1 - a));
}

// Every character that a translation source shows.
QSet<uint> TranslationCharacters(QString *pError)
{
    QSet<uint> set;
    const char *const files[] = {"zh_CN", "en", "fr", "de", "es", "it", "ru", "pl"};
    for (const char *pLang : files) {
        QFile file(SourcePath(QStringLiteral("translation/Language_%1.ts").arg(QLatin1String(pLang))));
        if (!file.open(QIODevice::ReadOnly)) {
            *pError = file.fileName();
            return {};
        }
        QXmlStreamReader xml(&file);
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("translation")) {
                // A plural entry's forms are elements of their own.
                const QVector<uint> ucs4 = xml.readElementText(QXmlStreamReader::IncludeChildElements).toUcs4();
                for (uint c : ucs4)
                    if (c >= 0x20)
                        set.insert(c);
            }
        }
        if (xml.hasError()) {
            *pError = xml.errorString();
            return {};
        }
    }
    return set;
}

const char *const kFaces[] = {"Regular", "Medium", "Bold"};

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void imagesHaveTheirSizes_data();
    void imagesHaveTheirSizes();
    void buttonTextsStayReadable_data();
    void buttonTextsStayReadable();
    void iconsShowOnTheirBackground();
    void facesLoad_data();
    void facesLoad();
    void facesCoverTranslations_data();
    void facesCoverTranslations();
    void facesCoverTypedChinese_data();
    void facesCoverTypedChinese();
    void windowsIconIs48x48x32();
    void windowsManifestAndRcFiles_data();
    void windowsManifestAndRcFiles();
};

void TestResources::imagesHaveTheirSizes_data()
{
    QTest::addColumn<QString>("sName");
    QTest::addColumn<QSize>("size");
    QTest::newRow("logo") << "Slice 469.png" << QSize(76, 22);
    QTest::newRow("minimise") << "Slice 456.png" << QSize(18, 18);
    QTest::newRow("close") << "Slice 458.png" << QSize(18, 18);
    QTest::newRow("return") << "Slice 458-1.png" << QSize(18, 18);
    QTest::newRow("menu normal") << "Slice 772.png" << QSize(232, 150);
    QTest::newRow("menu hover") << "Slice 771.png" << QSize(232, 150);
    QTest::newRow("action normal") << "Slice 769.png" << QSize(158, 54);
    QTest::newRow("action hover") << "Slice 770.png" << QSize(158, 54);
    QTest::newRow("tick") << "Slice 773.png" << QSize(20, 20);
}

// Each image loads from its resource path with its pixel size and draws
// something (an all-transparent picture would show an empty button).
void TestResources::imagesHaveTheirSizes()
{
    QFETCH(QString, sName);
    QFETCH(QSize, size);
    const QImage image(QStringLiteral(":/MainForm/image/") + sName);
    QVERIFY2(!image.isNull(), qPrintable(sName));
    QCOMPARE(image.size(), size);
    QVERIFY(image.hasAlphaChannel());
    int nOpaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            nOpaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    QVERIFY2(nOpaque >= 10, qPrintable(QStringLiteral("%1 opaque pixels").arg(nOpaque)));

    // Its "@2x" source for scaled screens: twice the size, the same picture.
    QString sLarge = sName;
    sLarge.replace(QLatin1String(".png"), QLatin1String("@2x.png"));
    const QImage large(QStringLiteral(":/MainForm/image/") + sLarge);
    QVERIFY2(!large.isNull(), qPrintable(sLarge));
    QCOMPARE(large.size(), size * 2);
    // Compared at half size, where most of the hinting of the small
    // picture's text no longer counts (the logo still differs by 16, the
    // drawings by less than 2); a different picture (the hover face for the
    // plain one) differs by more than 100.
    const QSize half = size / 2;
    const QImage reduced = large.scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_ARGB32);
    const QImage plain = image.scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                             .convertToFormat(QImage::Format_ARGB32);
    qint64 nDifference = 0;
    for (int y = 0; y < half.height(); ++y)
        for (int x = 0; x < half.width(); ++x)
            nDifference += qAbs(qAlpha(reduced.pixel(x, y)) - qAlpha(plain.pixel(x, y)))
                           + qAbs(qGray(reduced.pixel(x, y)) - qGray(plain.pixel(x, y)));
    const double rMean = double(nDifference) / (half.width() * half.height());
    QVERIFY2(rMean < 25.0, qPrintable(QStringLiteral("mean difference %1 from the 1x picture").arg(rMean)));
}

void TestResources::buttonTextsStayReadable_data()
{
    QTest::addColumn<QString>("sName");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");
    const QColor page(0xF6, 0xF8, 0xFA);
    QTest::newRow("menu normal") << "Slice 772.png" << QColor(0x2E, 0x85, 0xFA) << page;
    QTest::newRow("menu hover") << "Slice 771.png" << QColor(Qt::white) << page;
    QTest::newRow("action normal") << "Slice 769.png" << QColor(0x01, 0x81, 0xFF) << QColor(Qt::white);
    QTest::newRow("action hover") << "Slice 770.png" << QColor(Qt::white) << QColor(Qt::white);
}

// The style sheets put blue text on the normal backgrounds and white text on
// the hover ones: under the caption the picture must contrast with it.
void TestResources::buttonTextsStayReadable()
{
    QFETCH(QString, sName);
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    const QImage image(QStringLiteral(":/MainForm/image/") + sName);
    QVERIFY(!image.isNull());
    // The caption is centred; sample a band across the middle.
    const int nY = image.height() / 2;
    for (int x = image.width() / 4; x < image.width() * 3 / 4; x += 4) {
        const QColor under = Over(image.pixel(x, nY), background);
        const double rContrast = Contrast(text, under);
        if (rContrast < 2.5)
            QFAIL(qPrintable(QStringLiteral("contrast %1 at x=%2 (%3 on %4)")
                                 .arg(rContrast).arg(x).arg(text.name(), under.name())));
    }
}

// Minimise and close sit on the blue title band, the return icon on a white
// page, the tick on a white list row: each must stand out from its ground.
void TestResources::iconsShowOnTheirBackground()
{
    const QColor band(0x0F, 0x80, 0xFF);
    const QList<QPair<QString, QColor>> icons = {
        {QStringLiteral("Slice 456.png"), band},
        {QStringLiteral("Slice 458.png"), band},
        {QStringLiteral("Slice 458-1.png"), QColor(Qt::white)},
        {QStringLiteral("Slice 773.png"), QColor(Qt::white)},
        {QStringLiteral("Slice 469.png"), band},
    };
    for (const auto &icon : icons) {
        const QImage image(QStringLiteral(":/MainForm/image/") + icon.first);
        QVERIFY(!image.isNull());
        double rBest = 1.0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                rBest = qMax(rBest, Contrast(Over(image.pixel(x, y), icon.second), icon.second));
        QVERIFY2(rBest >= 3.0, qPrintable(QStringLiteral("%1: best contrast %2").arg(icon.first).arg(rBest)));
    }
    // The tick is blue, like the selected language's text.
    const QImage tick(QStringLiteral(":/MainForm/image/Slice 773.png"));
    QRgb darkest = qRgba(255, 255, 255, 0);
    for (int y = 0; y < tick.height(); ++y)
        for (int x = 0; x < tick.width(); ++x)
            if (qAlpha(tick.pixel(x, y)) > qAlpha(darkest))
                darkest = tick.pixel(x, y);
    const QColor tickColour = QColor::fromRgba(darkest);
    QVERIFY2(tickColour.blue() > 200 && tickColour.red() < 100, qPrintable(tickColour.name()));
}

void TestResources::facesLoad_data()
{
    QTest::addColumn<QString>("sStyle");
    QTest::addColumn<int>("nWeight");
    QTest::newRow("Regular") << "Regular" << 400;
    QTest::newRow("Medium") << "Medium" << 500;
    QTest::newRow("Bold") << "Bold" << 700;
}

// Each face registers with the font database under one family, with its own
// style and weight, so the style sheets' weights 400, 500 and 800 can pick
// them apart.
void TestResources::facesLoad()
{
    QFETCH(QString, sStyle);
    QFETCH(int, nWeight);
    const QString sPath = QStringLiteral(":/font/PingFang/PingFang %1.ttf").arg(sStyle);

    QElapsedTimer timer;
    timer.start();
    const int nId = QFontDatabase::addApplicationFont(sPath);
    const qint64 nMs = timer.elapsed();
    QVERIFY2(nId >= 0, qPrintable(sPath));
    qInfo("%s: %lld bytes, addApplicationFont %lld ms", qPrintable(sPath), QFile(sPath).size(), nMs);
    QCOMPARE(QFontDatabase::applicationFontFamilies(nId), QStringList{QStringLiteral("Noto Sans CJK SC")});

    QFile file(sPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QRawFont raw(file.readAll(), 14);
    QVERIFY(raw.isValid());
    QCOMPARE(raw.familyName(), QStringLiteral("Noto Sans CJK SC"));
    QCOMPARE(raw.styleName(), sStyle);
    // The weight class that the font matcher reads (400, 500, 700).
    const QByteArray baOs2 = raw.fontTable("OS/2");
    QVERIFY(baOs2.size() >= 6);
    QCOMPARE(int(qFromBigEndian<quint16>(baOs2.constData() + 4)), nWeight);
}

void TestResources::facesCoverTranslations_data()
{
    QTest::addColumn<QString>("sStyle");
    for (const char *pFace : kFaces)
        QTest::newRow(pFace) << QString::fromLatin1(pFace);
}

// No text of any language may fall back to another font.
void TestResources::facesCoverTranslations()
{
    QFETCH(QString, sStyle);
    QString sError;
    const QSet<uint> characters = TranslationCharacters(&sError);
    QVERIFY2(sError.isEmpty(), qPrintable(sError));
    QVERIFY(characters.size() > 100);
    QFile file(QStringLiteral(":/font/PingFang/PingFang %1.ttf").arg(sStyle));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QRawFont raw(file.readAll(), 14);
    QVERIFY(raw.isValid());
    QStringList missing;
    for (uint c : characters)
        if (!raw.supportsCharacter(c))
            missing << QStringLiteral("U+%1").arg(c, 4, 16, QLatin1Char('0'));
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
}

void TestResources::facesCoverTypedChinese_data()
{
    facesCoverTranslations_data();
}

// A folder typed or picked with a Chinese name renders in the interface
// face: every character of GB 2312, the everyday simplified set, is there,
// and so are the Polish and Russian letters of file names.
void TestResources::facesCoverTypedChinese()
{
    QFETCH(QString, sStyle);
    QTextCodec *pCodec = QTextCodec::codecForName("GB2312");
    QVERIFY(pCodec);
    QFile file(QStringLiteral(":/font/PingFang/PingFang %1.ttf").arg(sStyle));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QRawFont raw(file.readAll(), 14);
    QVERIFY(raw.isValid());

    int nHanzi = 0;
    QStringList missing;
    for (int nLead = 0xB0; nLead <= 0xF7; ++nLead) {
        for (int nTrail = 0xA1; nTrail <= 0xFE; ++nTrail) {
            // Qt's GB2312 codec decodes as GBK, which fills five cells that
            // GB 2312 leaves empty at the end of row 0xD7.
            if (nLead == 0xD7 && nTrail > 0xF9)
                continue;
            const char bytes[2] = {char(nLead), char(nTrail)};
            QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
            const QString s = pCodec->toUnicode(bytes, 2, &state);
            if (state.invalidChars > 0 || s.size() != 1 || s.at(0).isNull())
                continue;
            ++nHanzi;
            if (!raw.supportsCharacter(s.at(0)))
                missing << s;
        }
    }
    QCOMPARE(nHanzi, 6763);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("%1 missing, e.g. %2")
                                               .arg(missing.size()).arg(missing.mid(0, 20).join(QString()))));
    for (uint c = 0x0100; c <= 0x017F; ++c)
        QVERIFY2(raw.supportsCharacter(c), qPrintable(QString::number(c, 16)));
    for (uint c = 0x0410; c <= 0x044F; ++c)
        QVERIFY2(raw.supportsCharacter(c), qPrintable(QString::number(c, 16)));
    for (QChar c : QStringLiteral("：（）《》，。、"))
        QVERIFY(raw.supportsCharacter(c));
}

// The Windows icon file: one 32-bit 48 x 48 image whose header, pixel data
// and mask agree, readable by Qt's icon reader as well.
void TestResources::windowsIconIs48x48x32()
{
    QFile file(SourcePath(QStringLiteral("windows/kestrelpack.ico")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ba = file.readAll();
    QVERIFY(ba.size() > 22 + 40);
    const auto u16 = [&ba](int n) { return qFromLittleEndian<quint16>(ba.constData() + n); };
    const auto u32 = [&ba](int n) { return qFromLittleEndian<quint32>(ba.constData() + n); };
    QCOMPARE(u16(0), quint16(0));
    QCOMPARE(u16(2), quint16(1));
    QCOMPARE(u16(4), quint16(1));
    QCOMPARE(quint8(ba.at(6)), quint8(48));
    QCOMPARE(quint8(ba.at(7)), quint8(48));
    QCOMPARE(u16(12), quint16(32));
    const quint32 nBytes = u32(14);
    const quint32 nOffset = u32(18);
    QCOMPARE(qint64(nOffset) + nBytes, qint64(ba.size()));
    QCOMPARE(u32(nOffset), quint32(40));
    QCOMPARE(u32(nOffset + 4), quint32(48));
    QCOMPARE(u32(nOffset + 8), quint32(96));
    QCOMPARE(u16(nOffset + 14), quint16(32));
    QCOMPARE(nBytes, quint32(40 + 48 * 48 * 4 + 8 * 48));

    const QImage image(file.fileName());
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(48, 48));
    QVERIFY(image.hasAlphaChannel());
    // Transparent corners, opaque middle.
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(24, 24)), 255);
}

// The manifest is only read by Windows, where a malformed one keeps the
// program from starting; the resource script must name files that exist and
// carry the versions. Both are read as the build fills them in.
void TestResources::windowsManifestAndRcFiles_data()
{
    QTest::addColumn<QString>("sExe");
    QTest::addColumn<QString>("sLevel");
    QTest::addColumn<QString>("sDescription");
    QTest::newRow("program") << "kestrelpack" << "requireAdministrator" << "Kestrelpack";
    QTest::newRow("command line") << "kestrelpack-cli" << "asInvoker" << "Kestrelpack command line";
}

void TestResources::windowsManifestAndRcFiles()
{
    QFETCH(QString, sExe);
    QFETCH(QString, sLevel);
    QFETCH(QString, sDescription);
    QFile manifest(QStringLiteral(KP_RESOURCE_BINARY_DIR "/") + sExe + QStringLiteral(".manifest"));
    QVERIFY(manifest.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&manifest);
    QString sManifestLevel;
    QString sUiAccess;
    QString sCommonControls;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QLatin1String("requestedExecutionLevel")
            && xml.namespaceUri() == QLatin1String("urn:schemas-microsoft-com:asm.v3")) {
            sManifestLevel = attributes.value(QLatin1String("level")).toString();
            sUiAccess = attributes.value(QLatin1String("uiAccess")).toString();
        } else if (xml.name() == QLatin1String("assemblyIdentity")
                   && attributes.value(QLatin1String("name")) == QLatin1String("Microsoft.Windows.Common-Controls")) {
            sCommonControls = attributes.value(QLatin1String("version")).toString();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(sManifestLevel, sLevel);
    QCOMPARE(sUiAccess, QStringLiteral("false"));
    QCOMPARE(sCommonControls, QStringLiteral("6.0.0.0"));

    QFile rc(QStringLiteral(KP_RESOURCE_BINARY_DIR "/") + sExe + QStringLiteral(".rc"));
    QVERIFY(rc.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString sRc = QString::fromUtf8(rc.readAll());
    const QRegularExpression quotedFile(QStringLiteral("(ICON|RT_MANIFEST) \"([^\"]+)\""));
    int nFiles = 0;
    for (auto match = quotedFile.globalMatch(sRc); match.hasNext(); ++nFiles) {
        const QString sFile = match.next().captured(2);
        QVERIFY2(QFile::exists(sFile), qPrintable(sFile));
    }
    QCOMPARE(nFiles, 2);
    for (const char *szLine : {" FILEVERSION 1,0,0,4\n", " PRODUCTVERSION 1,1,2,0\n", "\"FileVersion\", \"1.0.0.4\"",
                               "\"ProductVersion\", \"1.01.002\""}) {
        QVERIFY2(sRc.contains(QLatin1String(szLine)), szLine);
    }
    QVERIFY(sRc.contains(QStringLiteral("\"OriginalFilename\", \"%1.exe\"").arg(sExe)));
    QVERIFY(sRc.contains(QStringLiteral("\"FileDescription\", \"%1\"").arg(sDescription)));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
