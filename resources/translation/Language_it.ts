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
    <message>
        <source>The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.</source>
        <translation>L&apos;aggiornamento è in corso. Se si chiude ora, il dispositivo resterà nel bootloader fino al prossimo aggiornamento.</translation>
    </message>
    <message>
        <source>Close anyway</source>
        <translation>Chiudi comunque</translation>
    </message>
    <message>
        <source>Keep upgrading</source>
        <translation>Continua l&apos;aggiornamento</translation>
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
    <message>
        <source>The device runs %1</source>
        <translation>Firmware del dispositivo: %1</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>Il dispositivo risponde; versione sconosciuta</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>Il dispositivo non ha ancora risposto</translation>
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
    <message>
        <source>The serial port is in use by another program</source>
        <translation>La porta seriale è in uso da un altro programma</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes, and no device answered</source>
        <translation>È tornata solo la richiesta: la linea fa eco e nessun dispositivo ha risposto</translation>
    </message>
    <message>
        <source>The device was disconnected during the request</source>
        <translation>Il dispositivo è stato scollegato durante la richiesta</translation>
    </message>
    <message>
        <source>Cannot create the report file %1: %2</source>
        <translation>Impossibile creare il file di rapporto %1: %2</translation>
    </message>
    <message>
        <source>The device was disconnected during the export</source>
        <translation>Il dispositivo è stato scollegato durante l&apos;esportazione</translation>
    </message>
    <message>
        <source>The export was interrupted</source>
        <translation>L&apos;esportazione è stata interrotta</translation>
    </message>
    <message>
        <source>The device did not stop sending: more than %1 bytes arrived for %2 announced records; the export was stopped</source>
        <translation>Il dispositivo non ha smesso di inviare: più di %1 byte ricevuti per %2 record annunciati; l&apos;esportazione è stata fermata</translation>
    </message>
    <message>
        <source>The device sent none of the %1 records it announced</source>
        <translation>Il dispositivo non ha inviato nessuno dei %1 record annunciati</translation>
    </message>
    <message>
        <source>The report holds %1 of the %2 records the device announced</source>
        <translation>Il rapporto contiene %1 dei %2 record annunciati dal dispositivo</translation>
    </message>
    <message>
        <source>%1; what arrived is kept in %2</source>
        <translation>%1; quanto ricevuto è conservato in %2</translation>
    </message>
    <message>
        <source>Cannot write the report file %1: %2</source>
        <translation>Impossibile scrivere il file di rapporto %1: %2</translation>
    </message>
    <message>
        <source>Cannot rename the report file %1 to %2: %3</source>
        <translation>Impossibile rinominare il file di rapporto %1 in %2: %3</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>Il dispositivo continua a inviare: la linea non è tornata silenziosa entro %1 s</translation>
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
    <message>
        <source>The serial port is in use by another program</source>
        <translation>La porta seriale è in uso da un altro programma</translation>
    </message>
    <message>
        <source>Upgrade already running</source>
        <translation>Un aggiornamento è già in corso</translation>
    </message>
    <message>
        <source>The device is busy with another job</source>
        <translation>Il dispositivo è occupato con un&apos;altra operazione</translation>
    </message>
    <message>
        <source>Cannot read the firmware file %1</source>
        <translation>Impossibile leggere il file del firmware %1</translation>
    </message>
    <message>
        <source>The firmware file %1 is empty</source>
        <translation>Il file del firmware %1 è vuoto</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>Il dispositivo continua a inviare: la linea non è tornata silenziosa entro %1 s</translation>
    </message>
</context>
<context>
    <name>CustomMessageBox</name>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
</context>
<context>
    <name>LineBusyText</name>
    <message>
        <source>The device is still sending its records; waiting up to %1 s</source>
        <translation>Il dispositivo sta ancora inviando i suoi record; attesa fino a %1 s</translation>
    </message>
    <message>
        <source>The device keeps sending; switch it off and on, then try again</source>
        <translation>Il dispositivo continua a inviare; spegnerlo e riaccenderlo, poi riprovare</translation>
    </message>
</context>
</TS>
