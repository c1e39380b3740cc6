<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en">
<context>
    <name>MainForm</name>
    <message>
        <source>Device
 Information</source>
        <translation>Informazioni
dispositivo</translation>
    </message>
    <message>
        <source>Export report</source>
        <translation>Esporta
rapporto</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aggiornamento</translation>
    </message>
</context>
<context>
    <name>ExportWidget</name>
    <message>
        <source>Export report</source>
        <translation>Esporta rapporto</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Esporta</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Sfoglia</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Sfoglia&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>File exporting</source>
        <translation>Esportazione file in corso...</translation>
    </message>
    <message>
        <source>File export successful</source>
        <translation>File esportato correttamente</translation>
    </message>
    <message>
        <source>File export failed</source>
        <translation>Esportazione file non riuscita</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Dispositivo non connesso</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Aggiornare il firmware prima di procedere</translation>
    </message>
</context>
<context>
    <name>UpgradeWidget</name>
    <message>
        <source>Import upgrade file</source>
        <translation>Importa file di aggiornamento</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aggiorna</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Sfoglia</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Sfoglia&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>during upgrade</source>
        <translation>Aggiornamento in corso...</translation>
    </message>
    <message>
        <source>Upgrade completed</source>
        <translation>Aggiornamento completato</translation>
    </message>
    <message>
        <source>Upgrade failed</source>
        <translation>Aggiornamento non riuscito</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>Informazioni dispositivo</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>N. di serie:</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Versione firmware:</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Dispositivo non connesso</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Aggiornare il firmware prima di procedere</translation>
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
        <translation>Lingua</translation>
    </message>
</context>
<context>
    <name>SerialWorker</name>
    <message>
        <source>No serial port available</source>
        <translation>Nessuna porta seriale disponibile</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Impossibile aprire la porta seriale</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Aggiornare il firmware prima di procedere</translation>
    </message>
</context>
<context>
    <name>QSerialUser</name>
    <message>
        <source>No serial port available</source>
        <translation>Nessuna porta seriale disponibile</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Impossibile aprire la porta seriale</translation>
    </message>
</context>
<context>
    <name>CustomMessageBox</name>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
</context>
</TS>
