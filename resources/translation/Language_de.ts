<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
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
    <message>
        <source>Back to the menu</source>
        <translation>Zurück zum Menü</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>Berichtsordner</translation>
    </message>
    <message>
        <source>Starts the export into the chosen folder</source>
        <translation>Startet den Export in den gewählten Ordner</translation>
    </message>
    <message>
        <source>Chooses the folder for the report</source>
        <translation>Wählt den Ordner für den Bericht</translation>
    </message>
    <message>
        <source>Export status</source>
        <translation>Status des Exports</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Fortschritt des Exports</translation>
    </message>
</context>
<context>
    <name>FailureAdvice</name>
    <message>
        <source>No serial port could be opened. Connect the device and try again.</source>
        <translation>Kein COM-Port ließ sich öffnen. Schließen Sie das Gerät an und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>A serial port is in use by another program. Close that program and try again.</source>
        <translation>Ein anderes Programm belegt einen COM-Port. Beenden Sie es und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program and try again.</source>
        <translation>Ein anderes Programm belegt den Port %1. Beenden Sie es und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>No device answered. Check that it is switched on and connected, then try again.</source>
        <translation>Kein Gerät hat geantwortet. Prüfen Sie, ob es eingeschaltet und angeschlossen ist, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect the device and try again.</source>
        <translation>Nur die eigene Anfrage kam zurück: Die Leitung gibt ein Echo (Loopback-Stecker oder Modem), kein Gerät hat geantwortet. Schließen Sie das Gerät an und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The connection to the device was lost (unplugged or switched off). Connect it and try again.</source>
        <translation>Die Verbindung zum Gerät wurde unterbrochen (abgezogen oder ausgeschaltet). Schließen Sie es an und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device first.</source>
        <translation>Das Gerät läuft im Bootloader: Die Firmware fehlt oder eine Aktualisierung wurde nicht abgeschlossen. Aktualisieren Sie zuerst die Firmware.</translation>
    </message>
    <message>
        <source>The device did not answer a command as expected. Check the cable and try again.</source>
        <translation>Das Gerät antwortete nicht wie erwartet auf einen Befehl. Prüfen Sie das Kabel und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The device did not get ready to receive the firmware. Switch it off and on, then try again.</source>
        <translation>Das Gerät war nicht zum Empfang der Firmware bereit. Schalten Sie es aus und wieder ein und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The firmware file cannot be read, or it is empty. Choose the firmware file for this device.</source>
        <translation>Die Firmware-Datei kann nicht gelesen werden oder ist leer. Wählen Sie die Firmware-Datei für dieses Gerät.</translation>
    </message>
    <message>
        <source>The transfer could not start. Try again; if it fails again, switch the device off and on.</source>
        <translation>Die Übertragung startete nicht. Versuchen Sie es erneut; scheitert sie wieder, schalten Sie das Gerät aus und wieder ein.</translation>
    </message>
    <message>
        <source>Another job is still using the device. Wait until it has ended, then try again.</source>
        <translation>Eine andere Aufgabe belegt das Gerät noch. Warten Sie, bis sie endet, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>%1. Choose a folder you may write to, then export again.</source>
        <translation>%1. Wählen Sie einen Ordner mit Schreibrechten und exportieren Sie erneut.</translation>
    </message>
    <message>
        <source>%1. Make room on the disk or choose another folder, then export again.</source>
        <translation>%1. Geben Sie Speicherplatz frei oder wählen Sie einen anderen Ordner und exportieren Sie erneut.</translation>
    </message>
    <message>
        <source>%1. Check the cable, then export again.</source>
        <translation>%1. Prüfen Sie das Kabel und exportieren Sie erneut.</translation>
    </message>
    <message>
        <source>The job was stopped before it ended. Start it again.</source>
        <translation>Die Aufgabe wurde vorzeitig abgebrochen. Starten Sie sie erneut.</translation>
    </message>
    <message>
        <source>The device refused the firmware and stays in its boot loader. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>Das Gerät hat die Firmware abgelehnt und bleibt im Bootloader. Prüfen Sie, ob die Datei Firmware für dieses Gerät ist, und aktualisieren Sie erneut.</translation>
    </message>
    <message>
        <source>The device stopped answering during the transfer and stays in its boot loader. Check the cable, then upgrade again.</source>
        <translation>Das Gerät antwortete während der Übertragung nicht mehr und bleibt im Bootloader. Prüfen Sie das Kabel und aktualisieren Sie erneut.</translation>
    </message>
    <message>
        <source>The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the connectors, then upgrade again.</source>
        <translation>Die Leitung ist gestört: Datenblöcke kamen immer wieder beschädigt an. Prüfen Sie Kabel, USB-Adapter und Steckverbinder und aktualisieren Sie erneut.</translation>
    </message>
    <message>
        <source>The transfer failed: the line reported an error, or the file changed while it was sent. The device stays in its boot loader: upgrade again.</source>
        <translation>Die Übertragung ist fehlgeschlagen: Die Leitung meldete einen Fehler oder die Datei änderte sich beim Senden. Das Gerät bleibt im Bootloader: Aktualisieren Sie erneut.</translation>
    </message>
    <message>
        <source>The device received the whole file but started its boot loader again, not the new firmware. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>Das Gerät hat die ganze Datei empfangen, aber wieder seinen Bootloader gestartet statt der neuen Firmware. Prüfen Sie, ob die Datei Firmware für dieses Gerät ist, und aktualisieren Sie erneut.</translation>
    </message>
    <message>
        <source>The device received the file to its end but confirmed neither the end of the transfer nor its new firmware. Check the cable, then upgrade again.</source>
        <translation>Das Gerät hat die Datei bis zum Ende empfangen, aber weder das Ende der Übertragung noch seine neue Firmware bestätigt. Prüfen Sie das Kabel und aktualisieren Sie erneut.</translation>
    </message>
    <message>
        <source>Something on the serial port answers that is not this device. Connect the device and try again.</source>
        <translation>Am seriellen Port antwortet etwas, das nicht dieses Gerät ist. Schließen Sie das Gerät an und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device. Connect the device and try again.</source>
        <translation>An %1 antwortet etwas, das nicht dieses Gerät ist. Schließen Sie das Gerät an und versuchen Sie es erneut.</translation>
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
    <message>
        <source>Back to the menu</source>
        <translation>Zurück zum Menü</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Firmwareversion</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>Gerätestatus</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Wird gelesen…</translation>
    </message>
    <message>
        <source>Not read</source>
        <translation>Nicht gelesen</translation>
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
    <message>
        <source>Support</source>
        <translation>Support</translation>
    </message>
    <message>
        <source>Saves the device&apos;s stored log records as a CSV report</source>
        <translation>Speichert die Protokolldatensätze des Geräts als CSV-Bericht</translation>
    </message>
    <message>
        <source>Installs new firmware on the device from a .bin file</source>
        <translation>Installiert neue Firmware aus einer .bin-Datei auf dem Gerät</translation>
    </message>
    <message>
        <source>Reads the device&apos;s firmware version and serial number</source>
        <translation>Liest Firmwareversion und Seriennummer des Geräts</translation>
    </message>
    <message>
        <source>Chooses the language of the window</source>
        <translation>Wählt die Sprache des Fensters</translation>
    </message>
    <message>
        <source>Saves a file for support with the logs, the settings and the service history</source>
        <translation>Speichert eine Supportdatei mit den Protokollen, den Einstellungen und dem Serviceverlauf</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
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
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>An %1 antwortet etwas, das nicht dieses Gerät ist</translation>
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
    <message numerus="yes">
        <source>The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped</source>
        <translation>
            <numerusform>Das Gerät hörte nicht auf zu senden: Für %n angekündigten Datensatz kamen mehr als %1 Bytes an; der Export wurde abgebrochen</numerusform>
            <numerusform>Das Gerät hörte nicht auf zu senden: Für %n angekündigte Datensätze kamen mehr als %1 Bytes an; der Export wurde abgebrochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device sent none of the %n records it announced</source>
        <translation>
            <numerusform>Das Gerät hat den %n angekündigten Datensatz nicht gesendet</numerusform>
            <numerusform>Das Gerät hat keinen der %n angekündigten Datensätze gesendet</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The report holds %1 of the %n records the device announced</source>
        <translation>
            <numerusform>Der Bericht enthält %1 des %n vom Gerät angekündigten Datensatzes</numerusform>
            <numerusform>Der Bericht enthält %1 der %n vom Gerät angekündigten Datensätze</numerusform>
        </translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>An %1 antwortet etwas, das nicht dieses Gerät ist</translation>
    </message>
</context>
<context>
    <name>SupportEntry</name>
    <message>
        <source>Save the support file</source>
        <translation>Supportdatei speichern</translation>
    </message>
    <message>
        <source>Zip archives (*.zip)</source>
        <translation>Zip-Archive (*.zip)</translation>
    </message>
    <message>
        <source>The support file %1 has been written. Send it to support.</source>
        <translation>Die Supportdatei %1 wurde geschrieben. Senden Sie sie an den Support.</translation>
    </message>
    <message>
        <source>The support file could not be written: %1</source>
        <translation>Die Supportdatei konnte nicht geschrieben werden: %1</translation>
    </message>
</context>
<context>
    <name>SupportFile</name>
    <message>
        <source>its files could not be packed</source>
        <translation>seine Dateien konnten nicht gepackt werden</translation>
    </message>
    <message>
        <source>%1 cannot be created (%2)</source>
        <translation>%1 kann nicht angelegt werden (%2)</translation>
    </message>
    <message>
        <source>%1 could not be written whole (%2)</source>
        <translation>%1 konnte nicht vollständig geschrieben werden (%2)</translation>
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
        <source>Firmware %1 → %2</source>
        <translation>Firmware des Geräts: %1 → %2</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>Das Gerät antwortet; Version unbekannt</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>Das Gerät hat noch nicht geantwortet</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Zurück zum Menü</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>Firmwaredatei</translation>
    </message>
    <message>
        <source>Starts the upgrade with the chosen file</source>
        <translation>Startet die Aktualisierung mit der gewählten Datei</translation>
    </message>
    <message>
        <source>Chooses the firmware file</source>
        <translation>Wählt die Firmwaredatei</translation>
    </message>
    <message>
        <source>Upgrade status</source>
        <translation>Status der Aktualisierung</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>Fortschritt der Aktualisierung</translation>
    </message>
</context>
</TS>
