// The eight compiled interface catalogues: each one loads from its resource
// path, carries every text the windows ask for in the right context, keeps
// the rich-text link intact, fits the fixed geometry of the pages and
// punctuates as its language does.

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {

const char *const kLink =
    "<html><head/><body><p><span style=\" text-decoration: underline;\">Select path</span></p></body></html>";

struct Message
{
    QString sContext;
    QString sSource;
    bool bPlural = false;   // "%n", with a form for each plural form of the language
};

// The texts with a count, one form for each plural form of the language.
const char *const kPluralSources[] = {
    "The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped",
    "The device sent none of the %n records it announced",
    "The report holds %1 of the %n records the device announced",
};

// Every text that the windows and the device code pass through the
// translation function and that must therefore be in every catalogue.
QList<Message> Catalogue()
{
    const QList<QPair<const char *, QStringList>> groups = {
        {"MainForm",
         {"Device\n Information", "Export report", "Language", "Support", "Update",
          "The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.",
          "Close anyway", "Keep upgrading",
          // What assistive technology reads of the menu and the title band.
          "Saves the device's stored log records as a CSV report",
          "Installs new firmware on the device from a .bin file",
          "Reads the device's firmware version and serial number", "Chooses the language of the window",
          "Saves a file for support with the logs, the settings and the service history", "Minimize", "Close"}},
        {"SupportEntry",
         {"Save the support file", "Zip archives (*.zip)", "The support file %1 has been written. Send it to support.",
          "The support file could not be written: %1"}},
        {"SupportFile",
         {"its files could not be packed", "%1 cannot be created (%2)", "%1 could not be written whole (%2)"}},
        {"ExportWidget",
         {"Export report", "Export", "Cancel", "Select path", kLink, "File exporting", "File export successful",
          "File export failed", "Disconnected", "Please upgrade before proceeding", "Back to the menu",
          "Report folder", "Chooses the folder for the report", "Starts the export into the chosen folder",
          "Export status", "Export progress"}},
        {"UpgradeWidget",
         {"Import upgrade file", "Update", "Cancel", "Select path", kLink, "during upgrade", "Upgrade completed",
          "Upgrade failed", "The device runs %1", "Firmware %1 → %2", "The device answers; version unknown",
          "The device has not answered yet", "Back to the menu", "Firmware file", "Chooses the firmware file",
          "Starts the upgrade with the chosen file", "Upgrade status", "Upgrade progress"}},
        {"InfoWidget", {"Device Information", "SN:", "Firmware version:", "Disconnected",
                        "Please upgrade before proceeding", "Back to the menu", "Serial number", "Firmware version",
                        "Device status", "Reading…", "Not read"}},
        {"LanguageDialog", {"Chinese", "English", "French", "German", "Spanish", "Italian", "Russian", "Polish"}},
        {"LanguageItemWidget", {"Language"}},
        {"SerialWorker",
         {"No serial port available", "Failed to open serial port", "Please upgrade before proceeding",
          "The serial port is in use by another program",
          "Only the request came back: the line echoes, and no device answered",
          "The device was disconnected during the request", "Cannot create the report file %1: %2",
          "The device was disconnected during the export", "The export was interrupted", "%1. %2",
          "Cannot write the report file %1: %2", "Cannot rename the report file %1 to %2: %3",
          "The device keeps sending: its line did not fall quiet within %1 s",
          "Something on %1 answers that is not this device"}},
        {"QSerialUser",
         {"No serial port available", "Failed to open serial port",
          "The serial port is in use by another program", "Upgrade already running",
          "The device is busy with another job", "Cannot read the firmware file %1",
          "The firmware file %1 is empty", "The device keeps sending: its line did not fall quiet within %1 s",
          "Something on %1 answers that is not this device"}},
        {"LineBusyText",
         {"The device is still sending its records; waiting up to %1 s",
          "The device keeps sending; switch it off and on, then try again"}},
        {"FailureAdvice",
         {"No serial port could be opened. Connect the device and try again.",
          "A serial port is in use by another program. Close that program and try again.",
          "The port %1 is in use by another program. Close that program and try again.",
          "No device answered. Check that it is switched on and connected, then try again.",
          "Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect "
          "the device and try again.",
          "The connection to the device was lost (unplugged or switched off). Connect it and try again.",
          "The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device "
          "first.",
          "The device did not answer a command as expected. Check the cable and try again.",
          "The device did not get ready to receive the firmware. Switch it off and on, then try again.",
          "The firmware file cannot be read, or it is empty. Choose the firmware file for this device.",
          "The transfer could not start. Try again; if it fails again, switch the device off and on.",
          "Another job is still using the device. Wait until it has ended, then try again.",
          "%1. Choose a folder you may write to, then export again.",
          "%1. Make room on the disk or choose another folder, then export again.",
          "%1. Check the cable, then export again.", "The job was stopped before it ended. Start it again.",
          "The device refused the firmware and stays in its boot loader. Check that the file is firmware for this "
          "device, then upgrade again.",
          "The device stopped answering during the transfer and stays in its boot loader. Check the cable, then "
          "upgrade again.",
          "The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the "
          "connectors, then upgrade again.",
          "The transfer failed: the line reported an error, or the file changed while it was sent. The device stays "
          "in its boot loader: upgrade again.",
          "The device received the whole file but started its boot loader again, not the new firmware. Check that "
          "the file is firmware for this device, then upgrade again.",
          "The device received the file to its end but confirmed neither the end of the transfer nor its new "
          "firmware. Check the cable, then upgrade again.",
          "Something on the serial port answers that is not this device. Connect the device and try again.",
          "Something on %1 answers that is not this device. Connect the device and try again."}},
    };
    QList<Message> list;
    for (const auto &group : groups)
        for (const QString &sSource : group.second)
            list.append({QString::fromLatin1(group.first), sSource});
    for (const char *pSource : kPluralSources)
        list.append({QStringLiteral("SerialWorker"), QString::fromUtf8(pSource), true});
    return list;
}

struct Language
{
    const char *pBase;   // file base name
    const char *pLocale; // locale stored in the catalogue
    const char *pName;   // how the language names itself
};

const Language kLanguages[] = {
    {"Language_zh_CN", "zh_CN", "简体中文"}, {"Language_en", "en_US", "English"},
    {"Language_fr", "fr_FR", "Français"},   {"Language_de", "de_DE", "Deutsch"},
    {"Language_es", "es_ES", "español"},    {"Language_it", "it_IT", "Italiano"},
    {"Language_ru", "ru_RU", "Русский"},    {"Language_pl", "pl_PL", "Polski"},
};

const char *const kNameSources[] = {"Chinese", "English", "French", "German",
                                    "Spanish", "Italian", "Russian", "Polish"};

struct TsEntry
{
    QString sContext;
    QString sSource;
    QString sTranslation;
    bool bUnfinished = false;
    bool bPlural = false;
};

// Reads a Linguist source file; an unreadable or malformed file yields an
// empty list and a failure message.
QList<TsEntry> ReadTs(const QString &sPath, QString *pError, QString *pLanguage = nullptr)
{
    QList<TsEntry> entries;
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *pError = QStringLiteral("cannot open %1").arg(sPath);
        return entries;
    }
    QXmlStreamReader xml(&file);
    QString sContext;
    TsEntry current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("TS") && pLanguage)
                *pLanguage = xml.attributes().value(QLatin1String("language")).toString();
            else if (xml.name() == QLatin1String("name"))
                sContext = xml.readElementText();
            else if (xml.name() == QLatin1String("message"))
                current = TsEntry{sContext, QString(), QString(), false,
                                  xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes")};
            else if (xml.name() == QLatin1String("source"))
                current.sSource = xml.readElementText();
            else if (xml.name() == QLatin1String("translation")) {
                const QString sType = xml.attributes().value(QLatin1String("type")).toString();
                current.bUnfinished = !sType.isEmpty();
                // A plural entry's forms, one a line.
                current.sTranslation.clear();
                if (!current.bPlural)
                    current.sTranslation = xml.readElementText();
                while (current.bPlural && xml.readNextStartElement())
                    current.sTranslation += xml.readElementText() + QLatin1Char('\n');
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            entries.append(current);
        }
    }
    if (xml.hasError()) {
        *pError = QStringLiteral("%1: %2").arg(sPath, xml.errorString());
        entries.clear();
    }
    return entries;
}

QString TsPath(const char *pBase)
{
    return QStringLiteral(KP_TRANSLATION_DIR "/%1.ts").arg(QLatin1String(pBase));
}

// The caption between the end of the span's style attribute and "</span>",
// as the pages cut it out of the link.
QString LinkCaption(const QString &sLink)
{
    const QString sMarker = QStringLiteral("underline;\">");
    const int nStart = sLink.indexOf(sMarker);
    const int nEnd = sLink.indexOf(QStringLiteral("</span>"));
    if (nStart < 0 || nEnd < nStart + sMarker.size())
        return QString();
    return sLink.mid(nStart + sMarker.size(), nEnd - nStart - sMarker.size());
}

// What a form says about one of its widgets: its rectangle, the font its
// style sheet sets and whether it wraps words.
struct FormWidget
{
    QString sClass;
    QRect geometry;
    QString sStyleSheet;
    bool bWordWrap = false;
    int nPixelSize = 0;
    int nWeight = QFont::Normal;

    // The width a caption may use: the picture buttons draw their rounded,
    // shadowed background 10 px inside the widget on each side.
    int TextRoom() const
    {
        const bool bPicture = sClass == QLatin1String("QPushButton")
                              && sStyleSheet.contains(QLatin1String("background-image"));
        return geometry.width() - (bPicture ? 20 : 0);
    }
};

// Finds the widget by object name in a Qt Designer form. The font comes from
// the first "font-size: Npx" and "font-weight: N" of its style sheet (the
// normal state, which the sheets list first); a numeric weight converts as
// the style sheet engine converts it (N / 8, at most 99).
FormWidget ReadFormWidget(const QString &sPath, const QString &sName, QString *pError)
{
    FormWidget widget;
    QFile file(sPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *pError = QStringLiteral("cannot open %1").arg(sPath);
        return widget;
    }
    QXmlStreamReader xml(&file);
    int nDepth = 0;        // element depth
    int nWidgetDepth = -1; // depth of the widget's own element while inside it
    QString sProperty;     // name of the widget's own property being read
    bool bFound = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++nDepth;
            const auto name = xml.name();
            if (nWidgetDepth < 0 && name == QLatin1String("widget")
                && xml.attributes().value(QLatin1String("name")) == sName) {
                nWidgetDepth = nDepth;
                bFound = true;
                widget.sClass = xml.attributes().value(QLatin1String("class")).toString();
            } else if (nWidgetDepth > 0 && nDepth == nWidgetDepth + 1 && name == QLatin1String("property")) {
                sProperty = xml.attributes().value(QLatin1String("name")).toString();
            } else if (nWidgetDepth > 0 && nDepth > nWidgetDepth + 1 && !sProperty.isEmpty()) {
                if (sProperty == QLatin1String("geometry")) {
                    const bool bNumber = name == QLatin1String("x") || name == QLatin1String("y")
                                         || name == QLatin1String("width") || name == QLatin1String("height");
                    if (bNumber) {
                        const int nValue = xml.readElementText().toInt();
                        --nDepth; // readElementText consumed the end element
                        if (name == QLatin1String("x"))
                            widget.geometry.moveLeft(nValue);
                        else if (name == QLatin1String("y"))
                            widget.geometry.moveTop(nValue);
                        else if (name == QLatin1String("width"))
                            widget.geometry.setWidth(nValue);
                        else
                            widget.geometry.setHeight(nValue);
                    }
                } else if (sProperty == QLatin1String("styleSheet") && name == QLatin1String("string")) {
                    widget.sStyleSheet = xml.readElementText();
                    --nDepth;
                } else if (sProperty == QLatin1String("wordWrap") && name == QLatin1String("bool")) {
                    widget.bWordWrap = xml.readElementText() == QLatin1String("true");
                    --nDepth;
                }
            }
        } else if (xml.isEndElement()) {
            if (nDepth == nWidgetDepth + 1)
                sProperty.clear();
            if (nDepth == nWidgetDepth)
                break;
            --nDepth;
        }
    }
    if (xml.hasError()) {
        *pError = QStringLiteral("%1: %2").arg(sPath, xml.errorString());
    } else if (!bFound) {
        *pError = QStringLiteral("%1 has no widget %2").arg(sPath, sName);
    } else if (widget.geometry.width() <= 0) {
        *pError = QStringLiteral("%1: %2 has no geometry").arg(sPath, sName);
    }
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("font-size:\\s*(\\d+)px"))
                                             .match(widget.sStyleSheet);
    if (size.hasMatch())
        widget.nPixelSize = size.captured(1).toInt();
    const QRegularExpressionMatch weight = QRegularExpression(QStringLiteral("font-weight:\\s*(\\d+)"))
                                               .match(widget.sStyleSheet);
    if (weight.hasMatch())
        widget.nWeight = qMin(weight.captured(1).toInt() / 8, 99);
    return widget;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sourcesMatchCatalogue_data();
    void sourcesMatchCatalogue();
    void compiledCatalogue_data();
    void compiledCatalogue();
    void englishIsIdentity();
    void languageNamesAreNative();
    void linkKeepsItsMarkup_data();
    void linkKeepsItsMarkup();
    void textsFitTheirWidgets_data();
    void textsFitTheirWidgets();
    void pluralFormsFollowTheCount_data();
    void pluralFormsFollowTheCount();
    void punctuationFollowsTheLanguage_data();
    void punctuationFollowsTheLanguage();
    void lupdateKeepsEveryEntry_data();
    void lupdateKeepsEveryEntry();

private:
    QString m_sFamily;
};

void TestTranslations::initTestCase()
{
    // The width checks measure with the faces the program embeds.
    const int nId = QFontDatabase::addApplicationFont(QStringLiteral(":/font/PingFang/PingFang Regular.ttf"));
    QVERIFY2(nId >= 0, "regular interface face did not load");
    QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(":/font/PingFang/PingFang Medium.ttf")) >= 0);
    QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(":/font/PingFang/PingFang Bold.ttf")) >= 0);
    m_sFamily = QFontDatabase::applicationFontFamilies(nId).value(0);
    QVERIFY(!m_sFamily.isEmpty());
}

void TestTranslations::sourcesMatchCatalogue_data()
{
    QTest::addColumn<QString>("sBase");
    for (const Language &lang : kLanguages)
        QTest::newRow(lang.pBase) << QString::fromLatin1(lang.pBase);
}

// Each source file holds exactly the catalogue, nothing unfinished, nothing
// empty, nothing twice.
void TestTranslations::sourcesMatchCatalogue()
{
    QFETCH(QString, sBase);
    QString sError;
    QString sLanguage;
    const QList<TsEntry> entries = ReadTs(TsPath(sBase.toLatin1().constData()), &sError, &sLanguage);
    QVERIFY2(sError.isEmpty(), qPrintable(sError));

    QSet<QString> expected;
    for (const Message &m : Catalogue())
        expected.insert(m.sContext + QLatin1Char('|') + m.sSource);

    QSet<QString> found;
    for (const TsEntry &e : entries) {
        const QString sKey = e.sContext + QLatin1Char('|') + e.sSource;
        QVERIFY2(!found.contains(sKey), qPrintable(QStringLiteral("duplicate entry %1").arg(sKey)));
        found.insert(sKey);
        QVERIFY2(!e.bUnfinished, qPrintable(QStringLiteral("unfinished: %1").arg(sKey)));
        QVERIFY2(!e.sTranslation.trimmed().isEmpty(), qPrintable(QStringLiteral("empty: %1").arg(sKey)));
    }
    QCOMPARE(found, expected);
    QCOMPARE(entries.size(), expected.size());
}

void TestTranslations::compiledCatalogue_data()
{
    QTest::addColumn<QString>("sBase");
    QTest::addColumn<QString>("sLocale");
    for (const Language &lang : kLanguages)
        QTest::newRow(lang.pBase) << QString::fromLatin1(lang.pBase) << QString::fromLatin1(lang.pLocale);
}

// The embedded .qm loads by its resource path without suffix, names its
// locale and yields, for every catalogue text, exactly what its source file
// says; a foreign language really translates (only the name "English" may
// read the same).
void TestTranslations::compiledCatalogue()
{
    QFETCH(QString, sBase);
    QFETCH(QString, sLocale);

    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/translation/") + sBase));
    QVERIFY(QFile::exists(QStringLiteral(":/translation/%1.qm").arg(sBase)));
    QCOMPARE(translator.language(), sLocale);

    QString sError;
    const QList<TsEntry> entries = ReadTs(TsPath(sBase.toLatin1().constData()), &sError);
    QVERIFY2(sError.isEmpty(), qPrintable(sError));
    QHash<QString, QString> expected;
    for (const TsEntry &e : entries)
        expected.insert(e.sContext + QLatin1Char('|') + e.sSource, e.sTranslation);

    const bool bEnglish = sBase == QLatin1String("Language_en");
    for (const Message &m : Catalogue()) {
        if (m.bPlural)
            continue;   // pluralFormsFollowTheCount
        const QByteArray baContext = m.sContext.toUtf8();
        const QByteArray baSource = m.sSource.toUtf8();
        const QString sText = translator.translate(baContext.constData(), baSource.constData());
        const QString sKey = m.sContext + QLatin1Char('|') + m.sSource;
        QVERIFY2(!sText.isEmpty(), qPrintable(QStringLiteral("no translation for %1").arg(sKey)));
        QCOMPARE(sText, expected.value(sKey));
        // The name "English" and the joiner of two reasons may read the same;
        // German says "Support" as English does.
        const bool bSameAnywhere = (m.sContext == QLatin1String("LanguageDialog") && m.sSource == QLatin1String("English"))
                                   || m.sSource == QLatin1String("%1. %2")
                                   || (sBase == QLatin1String("Language_de") && m.sSource == QLatin1String("Support"));
        if (!bEnglish && !bSameAnywhere)
            QVERIFY2(sText != m.sSource, qPrintable(QStringLiteral("left in English: %1").arg(sKey)));
    }
    // A text that no window uses is not invented.
    QVERIFY(translator.translate("MainForm", "Kestrelpack").isEmpty());
}

// English maps every text to itself, except the language list, which shows
// every language under its own name.
void TestTranslations::englishIsIdentity()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/translation/Language_en")));
    for (const Message &m : Catalogue()) {
        if (m.sContext == QLatin1String("LanguageDialog") || m.bPlural)
            continue;
        const QByteArray baContext = m.sContext.toUtf8();
        const QByteArray baSource = m.sSource.toUtf8();
        QCOMPARE(translator.translate(baContext.constData(), baSource.constData()), m.sSource);
    }
}

// The language list shows each language under its own name whatever the
// current language is.
void TestTranslations::languageNamesAreNative()
{
    for (const Language &file : kLanguages) {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/translation/") + QLatin1String(file.pBase)));
        for (int i = 0; i < 8; ++i) {
            const QString sName = translator.translate("LanguageDialog", kNameSources[i]);
            if (sName != QString::fromUtf8(kLanguages[i].pName))
                QFAIL(qPrintable(QStringLiteral("%1: %2 reads \"%3\"").arg(QLatin1String(file.pBase),
                                                                          QLatin1String(kNameSources[i]), sName)));
        }
    }
}

void TestTranslations::linkKeepsItsMarkup_data()
{
    QTest::addColumn<QString>("sBase");
    QTest::addColumn<QString>("sContext");
    for (const Language &lang : kLanguages) {
        for (const char *pContext : {"ExportWidget", "UpgradeWidget"})
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(lang.pBase), QLatin1String(pContext))))
                << QString::fromLatin1(lang.pBase) << QString::fromLatin1(pContext);
    }
}

// The pages cut the caption out of the translated link and shorten captions
// longer than 12 characters; the link must keep its markup, show the same
// words as the file dialog's caption and never need shortening.
void TestTranslations::linkKeepsItsMarkup()
{
    QFETCH(QString, sBase);
    QFETCH(QString, sContext);
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/translation/") + sBase));
    const QByteArray baContext = sContext.toLatin1();
    const QString sLink = translator.translate(baContext.constData(), kLink);
    const QString sCaption = translator.translate(baContext.constData(), "Select path");

    QString sExpected = QString::fromLatin1(kLink);
    sExpected.replace(QStringLiteral("Select path"), sCaption);
    QCOMPARE(sLink, sExpected);
    QCOMPARE(LinkCaption(sLink), sCaption);
    QVERIFY2(sCaption.size() <= 12, qPrintable(sCaption));
}

void TestTranslations::textsFitTheirWidgets_data()
{
    QTest::addColumn<QString>("sForm");
    QTest::addColumn<QString>("sWidget");
    QTest::addColumn<QString>("sContext");
    QTest::addColumn<QString>("sSource");
    QTest::addColumn<int>("nLines");

    // The form and widget that show the text, and how many lines a widget
    // that does not wrap may take (a wrapping label takes what its height
    // holds). Size, font and wrapping are read from the form.
    const auto row = [](const char *pForm, const char *pWidget, const char *pContext, const char *pSource,
                        int nLines) {
        const QString sName = QStringLiteral("%1 %2").arg(QLatin1String(pWidget), QString::fromUtf8(pSource));
        QTest::newRow(qPrintable(QString(sName).replace(QLatin1Char('\n'), QLatin1Char(' '))))
            << QString::fromLatin1(pForm) << QString::fromLatin1(pWidget) << QString::fromLatin1(pContext)
            << QString::fromUtf8(pSource) << nLines;
    };
    // Menu buttons: a text may carry one break.
    row("ui/mainform.ui", "btnInfo", "MainForm", "Device\n Information", 2);
    row("ui/mainform.ui", "btnExport", "MainForm", "Export report", 2);
    row("ui/mainform.ui", "btnUpgrade", "MainForm", "Update", 2);
    row("ui/mainform.ui", "btnLanguage", "MainForm", "Language", 1);
    row("ui/mainform.ui", "btnSupport", "MainForm", "Support", 1);
    // Page titles.
    row("ui/exportwidget.ui", "labelExportTitle", "ExportWidget", "Export report", 1);
    row("ui/upgradewidget.ui", "labelUpgradeTitle", "UpgradeWidget", "Import upgrade file", 1);
    row("ui/infowidget.ui", "labelInfoTitle", "InfoWidget", "Device Information", 1);
    // Action buttons.
    row("ui/exportwidget.ui", "btnExportFile", "ExportWidget", "Export", 1);
    row("ui/exportwidget.ui", "btnExportCancel", "ExportWidget", "Cancel", 1);
    row("ui/upgradewidget.ui", "btnUpgradeFirmware", "UpgradeWidget", "Update", 1);
    row("ui/upgradewidget.ui", "btnUpgradeCancel", "UpgradeWidget", "Cancel", 1);
    // "Select path" links (their markup is checked above).
    row("ui/exportwidget.ui", "labelExportPath", "ExportWidget", "Select path", 1);
    row("ui/upgradewidget.ui", "labelUpgradePath", "UpgradeWidget", "Select path", 1);
    // Upgrade tip, which also shows the device messages.
    for (const char *pTip : {"during upgrade", "Upgrade completed", "Upgrade failed", "The device runs %1",
                             "Firmware %1 → %2", "The device answers; version unknown",
                             "The device has not answered yet"})
        row("ui/upgradewidget.ui", "labelUpgradeTip", "UpgradeWidget", pTip, 1);
    for (const char *pMes : {"No serial port available", "Failed to open serial port",
                             "Please upgrade before proceeding"})
        row("ui/upgradewidget.ui", "labelUpgradeTip", "SerialWorker", pMes, 1);
    // Export tip.
    for (const char *pTip : {"File exporting", "File export successful", "File export failed", "Disconnected",
                             "Please upgrade before proceeding"})
        row("ui/exportwidget.ui", "labelExportTip", "ExportWidget", pTip, 1);
    // Information captions and tip.
    row("ui/infowidget.ui", "labelSNTip", "InfoWidget", "SN:", 1);
    row("ui/infowidget.ui", "labelFirmwareVertip", "InfoWidget", "Firmware version:", 1);
    row("ui/infowidget.ui", "labelInfoTip", "InfoWidget", "Disconnected", 1);
    row("ui/infowidget.ui", "labelInfoTip", "InfoWidget", "Please upgrade before proceeding", 1);
    // Language rows.
    for (const char *pName : kNameSources)
        row("app/languageitemwidget.ui", "labelLanguaue", "LanguageDialog", pName, 1);
}

// Measured with the embedded faces at the size and weight the form's style
// sheet gives the widget: a text wider than its widget would be clipped. The
// text must also leave about 5 % of the width free, since other platforms'
// hinting and rendering draw some glyphs a pixel wider than here.
void TestTranslations::textsFitTheirWidgets()
{
    QFETCH(QString, sForm);
    QFETCH(QString, sWidget);
    QFETCH(QString, sContext);
    QFETCH(QString, sSource);
    QFETCH(int, nLines);

    QString sError;
    const FormWidget widget = ReadFormWidget(QStringLiteral(KP_PROJECT_DIR "/") + sForm, sWidget, &sError);
    QVERIFY2(sError.isEmpty(), qPrintable(sError));
    QVERIFY2(widget.nPixelSize > 0, qPrintable(QStringLiteral("%1 has no font size").arg(sWidget)));

    QFont font(m_sFamily);
    font.setPixelSize(widget.nPixelSize);
    font.setWeight(widget.nWeight);
    const QFontMetrics metrics(font);
    const int nRoom = widget.TextRoom() * 95 / 100;
    const int nLinesHeld = widget.bWordWrap ? qMax(1, widget.geometry.height() / metrics.lineSpacing()) : nLines;
    const QByteArray baContext = sContext.toLatin1();
    const QByteArray baSource = sSource.toUtf8();

    for (const Language &lang : kLanguages) {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/translation/") + QLatin1String(lang.pBase)));
        const QString sText = translator.translate(baContext.constData(), baSource.constData());
        QVERIFY(!sText.isEmpty());
        int nUsedLines = 0;
        int nWidest = 0;
        if (widget.bWordWrap) {
            const QRect bounds = metrics.boundingRect(QRect(0, 0, nRoom, 10000), Qt::TextWordWrap, sText);
            nUsedLines = qRound(double(bounds.height()) / metrics.lineSpacing());
            nWidest = bounds.width();
        } else {
            const QStringList lines = sText.split(QLatin1Char('\n'));
            nUsedLines = lines.size();
            for (const QString &sLine : lines)
                nWidest = qMax(nWidest, metrics.horizontalAdvance(sLine.trimmed()));
        }
        if (nUsedLines > nLinesHeld || nWidest > nRoom)
            QFAIL(qPrintable(QStringLiteral("%1: \"%2\" takes %3 line(s) of up to %4 px; room for %5 of %6 px "
                                            "(%7 px wide less 5 %)")
                                 .arg(QLatin1String(lang.pBase), sText)
                                 .arg(nUsedLines).arg(nWidest).arg(nLinesHeld).arg(nRoom)
                                 .arg(widget.TextRoom())));
    }
}

void TestTranslations::pluralFormsFollowTheCount_data()
{
    QTest::addColumn<QString>("sBase");
    QTest::addColumn<QList<int>>("distinct");   // counts that take forms of their own, in order
    QTest::newRow("en") << QStringLiteral("Language_en") << QList<int>{1, 2};
    QTest::newRow("fr") << QStringLiteral("Language_fr") << QList<int>{1, 2};
    QTest::newRow("de") << QStringLiteral("Language_de") << QList<int>{1, 2};
    QTest::newRow("es") << QStringLiteral("Language_es") << QList<int>{1, 2};
    QTest::newRow("it") << QStringLiteral("Language_it") << QList<int>{1, 2};
    // After "of" the noun takes the same case for 2 and for 5.
    QTest::newRow("ru") << QStringLiteral("Language_ru") << QList<int>{1, 2};
    QTest::newRow("pl") << QStringLiteral("Language_pl") << QList<int>{1, 2};
    QTest::newRow("zh_CN") << QStringLiteral("Language_zh_CN") << QList<int>{1};
}

// A record count reads right for every number: the count stands in the
// text, and one record reads otherwise than two (except in Chinese); in
// Russian 21 takes the form of 1 and 11 that of 5, in Russian and Polish 22
// takes the form of 2.
void TestTranslations::pluralFormsFollowTheCount()
{
    QFETCH(QString, sBase);
    QFETCH(QList<int>, distinct);
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/translation/") + sBase));
    // The form for n, its count left as "%n".
    const auto form = [&](const char *pSource, int n) {
        return translator.translate("SerialWorker", pSource, nullptr, n);
    };
    for (const char *pSource : kPluralSources) {
        QSet<QString> forms;
        for (int n : distinct) {
            const QString sText = form(pSource, n);
            QVERIFY2(sText.contains(QLatin1String("%n")), qPrintable(sText));
            if (sBase != QLatin1String("Language_en"))
                QVERIFY2(sText != QString::fromUtf8(pSource), qPrintable(QStringLiteral("left in English: %1").arg(sText)));
            forms.insert(sText);
        }
        QVERIFY2(forms.size() == distinct.size(), pSource);
        if (sBase == QLatin1String("Language_ru")) {
            QCOMPARE(form(pSource, 21), form(pSource, 1));
            QCOMPARE(form(pSource, 11), form(pSource, 5));
        }
        if (sBase == QLatin1String("Language_ru") || sBase == QLatin1String("Language_pl"))
            QCOMPARE(form(pSource, 22), form(pSource, 2));
    }
}

void TestTranslations::punctuationFollowsTheLanguage_data()
{
    QTest::addColumn<QString>("sBase");
    QTest::addColumn<QString>("sFault");        // a match is a fault
    QTest::addColumn<bool>("bJoinedOnly");      // only in texts that join what the code fills in

    // French sets a no-break space before a high sign. A sign that touches
    // the next character belongs to a token (12:30, %1:%2, ://), not to the
    // sentence; one that begins a line has nothing before it.
    QTest::newRow("fr_FR: no-break space before : ; ? !")
        << QStringLiteral("Language_fr") << QStringLiteral("(?<=[^\\x{00A0}\\x{202F}])[:;?!](?=\\s|$)") << false;
    // ...and between a number, or the placeholder that stands for one (a
    // digit ends both), and its unit, so that a wrapping label never puts
    // the unit alone on a line.
    QTest::newRow("fr_FR: no-break space between a number and its unit")
        << QStringLiteral("Language_fr")
        << QStringLiteral("(?:\\d|%n)[ \\t]+(?:s|ms|min|h|o|Ko|Mo|Go|octets?|%|B|bauds?)"
                          "(?=$|[\\s.,;:!?)\\x{00A0}\\x{202F}])")
        << false;
    // Chinese punctuates with full-width signs; a half-width one between
    // digits is part of a time or a number.
    QTest::newRow("zh_CN: full-width , : ;")
        << QStringLiteral("Language_zh_CN") << QStringLiteral("(?<!\\d)[,:;]|[,:;](?![\\d%])") << false;
    // Reasons begin with a capital: joined after a semicolon, the second
    // would read as a sentence inside a sentence. German capitalises its
    // nouns after a semicolon too ("Version unbekannt"), so there only the
    // joined reasons are checked.
    for (const Language &lang : kLanguages) {
        const bool bGerman = QLatin1String(lang.pBase) == QLatin1String("Language_de");
        QTest::newRow(qPrintable(QStringLiteral("%1: no capital after ;").arg(QLatin1String(lang.pLocale))))
            << QString::fromLatin1(lang.pBase) << QStringLiteral(";[\\s\\x{00A0}\\x{202F}]*\\p{Lu}") << bGerman;
    }
}

// Every line of every translation, as the window shows it: markup, web
// addresses and file patterns are no prose and are left out; a text of
// placeholders alone (the joiner of two reasons) is checked with a reason of
// the same catalogue in each place.
void TestTranslations::punctuationFollowsTheLanguage()
{
    QFETCH(QString, sBase);
    QFETCH(QString, sFault);
    QFETCH(bool, bJoinedOnly);
    const QRegularExpression fault(sFault, QRegularExpression::UseUnicodePropertiesOption);
    QVERIFY2(fault.isValid(), qPrintable(fault.errorString()));

    QString sError;
    const QList<TsEntry> entries = ReadTs(TsPath(sBase.toLatin1().constData()), &sError);
    QVERIFY2(sError.isEmpty(), qPrintable(sError));
    QString sReason;
    for (const TsEntry &e : entries) {
        if (e.sContext == QLatin1String("SerialWorker") && e.sSource == QLatin1String("The export was interrupted"))
            sReason = e.sTranslation;
    }
    QVERIFY2(!sReason.isEmpty(), "no reason to fill a joiner with");

    const QRegularExpression notProse(QStringLiteral("<[^>]*>|[A-Za-z][A-Za-z0-9+.-]*://\\S*|\\*\\.[\\w*]+"));
    const QRegularExpression placeholder(QStringLiteral("%L?\\d+"));
    const QRegularExpression word(QStringLiteral("[\\p{L}\\p{N}]"));
    QStringList faults;
    for (const TsEntry &e : entries) {
        for (QString sLine : e.sTranslation.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            sLine.remove(notProse);
            const bool bJoiner = !QString(sLine).remove(placeholder).contains(word);
            if (bJoiner)
                sLine.replace(placeholder, sReason);
            if (bJoinedOnly && !bJoiner)
                continue;
            const QRegularExpressionMatch match = fault.match(sLine);
            if (match.hasMatch())
                faults << QStringLiteral("%1|%2: \"%3\" at \"%4\"")
                              .arg(e.sContext, e.sSource, sLine,
                                   sLine.mid(qMax(0, match.capturedStart() - 8), match.capturedLength() + 16));
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void TestTranslations::lupdateKeepsEveryEntry_data()
{
    QTest::addColumn<QString>("sBase");
    for (const Language &lang : kLanguages)
        QTest::newRow(lang.pBase) << QString::fromLatin1(lang.pBase);
}

// A translator's routine run of lupdate over the sources (then Linguist,
// then lrelease) must find every entry of the catalogue and nothing new: a
// text translated where lupdate cannot see it would be dropped as vanished,
// a new text would come in untranslated.
void TestTranslations::lupdateKeepsEveryEntry()
{
    QFETCH(QString, sBase);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString sCopy = dir.filePath(sBase + QStringLiteral(".ts"));
    QVERIFY(QFile::copy(TsPath(sBase.toLatin1().constData()), sCopy));
    QFile::setPermissions(sCopy, QFile::ReadOwner | QFile::WriteOwner);

    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(KP_PROJECT_DIR));
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(KP_LUPDATE),
                  {QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-no-obsolete"),
                   QStringLiteral("app"), QStringLiteral("device"), QStringLiteral("transfer"), QStringLiteral("ui"),
                   QStringLiteral("cli"), QStringLiteral("-ts"), sCopy});
    QVERIFY2(lupdate.waitForFinished(60000), "lupdate did not finish");
    const QString sOutput = QString::fromLocal8Bit(lupdate.readAll());
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0, qPrintable(sOutput));

    QString sError;
    const QList<TsEntry> before = ReadTs(TsPath(sBase.toLatin1().constData()), &sError);
    QVERIFY2(sError.isEmpty(), qPrintable(sError));
    const QList<TsEntry> after = ReadTs(sCopy, &sError);
    QVERIFY2(sError.isEmpty(), qPrintable(sError));
    QHash<QString, QString> kept;
    for (const TsEntry &e : before)
        kept.insert(e.sContext + QLatin1Char('|') + e.sSource, e.sTranslation);
    QStringList changes;
    for (const TsEntry &e : after) {
        const QString sKey = e.sContext + QLatin1Char('|') + e.sSource;
        if (!kept.contains(sKey))
            changes << QStringLiteral("new: ") + sKey;
        else if (kept.take(sKey) != e.sTranslation || e.bUnfinished)
            changes << QStringLiteral("changed: ") + sKey;
    }
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        changes << QStringLiteral("vanished: ") + it.key();
    QVERIFY2(changes.isEmpty(), qPrintable(changes.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
