<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL" sourcelanguage="en">
<context>
    <name>MainForm</name>
    <message>
        <source>Device
 Information</source>
        <translation>Informacje
o urządzeniu</translation>
    </message>
    <message>
        <source>Export report</source>
        <translation>Eksport
raportu</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Język</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualizacja</translation>
    </message>
</context>
<context>
    <name>ExportWidget</name>
    <message>
        <source>Export report</source>
        <translation>Eksport raportu</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Eksportuj</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Przeglądaj</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Przeglądaj&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>File exporting</source>
        <translation>Trwa eksport pliku...</translation>
    </message>
    <message>
        <source>File export successful</source>
        <translation>Plik wyeksportowany pomyślnie</translation>
    </message>
    <message>
        <source>File export failed</source>
        <translation>Eksport pliku nie powiódł się</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Urządzenie nie jest podłączone</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Najpierw zaktualizuj firmware</translation>
    </message>
</context>
<context>
    <name>UpgradeWidget</name>
    <message>
        <source>Import upgrade file</source>
        <translation>Importuj plik aktualizacji</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualizuj</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Przeglądaj</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Przeglądaj&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>during upgrade</source>
        <translation>Trwa aktualizacja...</translation>
    </message>
    <message>
        <source>Upgrade completed</source>
        <translation>Aktualizacja zakończona</translation>
    </message>
    <message>
        <source>Upgrade failed</source>
        <translation>Aktualizacja nie powiodła się</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>Informacje o urządzeniu</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>Nr seryjny:</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Wersja firmware:</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Urządzenie nie jest podłączone</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Najpierw zaktualizuj firmware</translation>
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
        <translation>Język</translation>
    </message>
</context>
<context>
    <name>SerialWorker</name>
    <message>
        <source>No serial port available</source>
        <translation>Brak dostępnego portu szeregowego</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Nie można otworzyć portu szeregowego</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Najpierw zaktualizuj firmware</translation>
    </message>
</context>
<context>
    <name>QSerialUser</name>
    <message>
        <source>No serial port available</source>
        <translation>Brak dostępnego portu szeregowego</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Nie można otworzyć portu szeregowego</translation>
    </message>
</context>
<context>
    <name>CustomMessageBox</name>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
</context>
</TS>
