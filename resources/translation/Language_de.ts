<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>MainForm</name>
    <message>
        <source>Device
 Information</source>
        <translation>Geräte-
informationen</translation>
    </message>
    <message>
        <source>Export report</source>
        <translation>Bericht
exportieren</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Firmware
aktualisieren</translation>
    </message>
    <message>
        <source>The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.</source>
        <translation>Die Aktualisierung läuft. Wenn Sie jetzt schließen, bleibt das Gerät bis zur nächsten Aktualisierung in seinem Bootloader.</translation>
    </message>
    <message>
        <source>Close anyway</source>
        <translation>Trotzdem schließen</translation>
    </message>
    <message>
        <source>Keep upgrading</source>
        <translation>Weiter aktualisieren</translation>
    </message>
</context>
<context>
    <name>ExportWidget</name>
    <message>
        <source>Export report</source>
        <translation>Bericht exportieren</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Pfad wählen</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Pfad wählen&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>File exporting</source>
        <translation>Datei wird exportiert...</translation>
    </message>
    <message>
        <source>File export successful</source>
        <translation>Datei erfolgreich exportiert</translation>
    </message>
    <message>
        <source>File export failed</source>
        <translation>Dateiexport fehlgeschlagen</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Gerät nicht verbunden</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Bitte zuerst die Firmware aktualisieren</translation>
    </message>
</context>
<context>
    <name>UpgradeWidget</name>
    <message>
        <source>Import upgrade file</source>
        <translation>Firmware-Datei importieren</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Pfad wählen</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Pfad wählen&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>during upgrade</source>
        <translation>Aktualisierung läuft...</translation>
    </message>
    <message>
        <source>Upgrade completed</source>
        <translation>Aktualisierung abgeschlossen</translation>
    </message>
    <message>
        <source>Upgrade failed</source>
        <translation>Aktualisierung fehlgeschlagen</translation>
    </message>
    <message>
        <source>The device runs %1</source>
        <translation>Firmware des Geräts: %1</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>Das Gerät antwortet; Version unbekannt</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>Das Gerät hat noch nicht geantwortet</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>Geräteinformationen</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>Seriennr.:</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Firmwareversion:</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Gerät nicht verbunden</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Bitte zuerst die Firmware aktualisieren</translation>
    </message>
</context>
<context>
    <name>LanguageDialog</name>
    <message>
        <source>Chinese</source>
        <translation>简体中文</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>español</translation>
    </message>
    <message>
        <source>Italian</source>
        <translation>Italiano</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Polish</source>
        <translation>Polski</translation>
    </message>
</context>
<context>
    <name>LanguageItemWidget</name>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
</context>
<context>
    <name>SerialWorker</name>
    <message>
        <source>No serial port available</source>
        <translation>Kein COM-Port verfügbar</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>COM-Port konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Bitte zuerst die Firmware aktualisieren</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>Der COM-Port wird von einem anderen Programm verwendet</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes, and no device answered</source>
        <translation>Nur die eigene Anfrage kam zurück: Die Leitung gibt das Gesendete als Echo zurück, kein Gerät hat geantwortet</translation>
    </message>
    <message>
        <source>The device was disconnected during the request</source>
        <translation>Das Gerät wurde während der Anfrage getrennt</translation>
    </message>
    <message>
        <source>Cannot create the report file %1: %2</source>
        <translation>Die Berichtsdatei %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The device was disconnected during the export</source>
        <translation>Das Gerät wurde während des Exports getrennt</translation>
    </message>
    <message>
        <source>The export was interrupted</source>
        <translation>Der Export wurde abgebrochen</translation>
    </message>
    <message>
        <source>The device did not stop sending: more than %1 bytes arrived for %2 announced records; the export was stopped</source>
        <translation>Das Gerät hörte nicht auf zu senden: mehr als %1 Bytes für %2 angekündigte Datensätze; der Export wurde angehalten</translation>
    </message>
    <message>
        <source>The device sent none of the %1 records it announced</source>
        <translation>Das Gerät hat keinen der %1 angekündigten Datensätze gesendet</translation>
    </message>
    <message>
        <source>The report holds %1 of the %2 records the device announced</source>
        <translation>Der Bericht enthält %1 der %2 vom Gerät angekündigten Datensätze</translation>
    </message>
    <message>
        <source>%1; what arrived is kept in %2</source>
        <translation>%1; das Empfangene ist in %2 gesichert</translation>
    </message>
    <message>
        <source>Cannot write the report file %1: %2</source>
        <translation>Die Berichtsdatei %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot rename the report file %1 to %2: %3</source>
        <translation>Die Berichtsdatei %1 kann nicht in %2 umbenannt werden: %3</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>Das Gerät hört nicht auf zu senden: Die Leitung wurde innerhalb von %1 s nicht still</translation>
    </message>
</context>
<context>
    <name>QSerialUser</name>
    <message>
        <source>No serial port available</source>
        <translation>Kein COM-Port verfügbar</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>COM-Port konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>Der COM-Port wird von einem anderen Programm verwendet</translation>
    </message>
    <message>
        <source>Upgrade already running</source>
        <translation>Eine Aktualisierung läuft bereits</translation>
    </message>
    <message>
        <source>The device is busy with another job</source>
        <translation>Das Gerät ist mit einer anderen Aufgabe beschäftigt</translation>
    </message>
    <message>
        <source>Cannot read the firmware file %1</source>
        <translation>Die Firmware-Datei %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The firmware file %1 is empty</source>
        <translation>Die Firmware-Datei %1 ist leer</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>Das Gerät hört nicht auf zu senden: Die Leitung wurde innerhalb von %1 s nicht still</translation>
    </message>
</context>
<context>
    <name>CustomMessageBox</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>LineBusyText</name>
    <message>
        <source>The device is still sending its records; waiting up to %1 s</source>
        <translation>Das Gerät sendet noch seine Datensätze; es wird bis zu %1 s gewartet</translation>
    </message>
    <message>
        <source>The device keeps sending; switch it off and on, then try again</source>
        <translation>Das Gerät hört nicht auf zu senden; schalten Sie es aus und wieder ein und versuchen Sie es erneut</translation>
    </message>
</context>
</TS>
