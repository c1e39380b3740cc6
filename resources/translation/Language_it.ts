<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="en">
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
    <message>
        <source>Back to the menu</source>
        <translation>Torna al menu</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>Cartella del rapporto</translation>
    </message>
    <message>
        <source>Starts the export into the chosen folder</source>
        <translation>Avvia l&apos;esportazione nella cartella scelta</translation>
    </message>
    <message>
        <source>Chooses the folder for the report</source>
        <translation>Sceglie la cartella per il rapporto</translation>
    </message>
    <message>
        <source>Export status</source>
        <translation>Stato dell&apos;esportazione</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Avanzamento dell&apos;esportazione</translation>
    </message>
</context>
<context>
    <name>FailureAdvice</name>
    <message>
        <source>No serial port could be opened. Connect the device and try again.</source>
        <translation>Non è stato possibile aprire alcuna porta seriale. Collegare il dispositivo e riprovare.</translation>
    </message>
    <message>
        <source>A serial port is in use by another program. Close that program and try again.</source>
        <translation>Una porta seriale è in uso da un altro programma. Chiudere quel programma e riprovare.</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program and try again.</source>
        <translation>La porta %1 è in uso da un altro programma. Chiudere quel programma e riprovare.</translation>
    </message>
    <message>
        <source>No device answered. Check that it is switched on and connected, then try again.</source>
        <translation>Nessun dispositivo ha risposto. Verificare che sia acceso e collegato, poi riprovare.</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect the device and try again.</source>
        <translation>È tornata solo la richiesta: la linea fa eco (un connettore di loopback o un modem) e nessun dispositivo ha risposto. Collegare il dispositivo e riprovare.</translation>
    </message>
    <message>
        <source>The connection to the device was lost (unplugged or switched off). Connect it and try again.</source>
        <translation>La connessione con il dispositivo si è interrotta (scollegato o spento). Ricollegarlo e riprovare.</translation>
    </message>
    <message>
        <source>The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device first.</source>
        <translation>Il dispositivo è nel bootloader: il firmware manca o un aggiornamento non si è concluso. Aggiornare prima il dispositivo.</translation>
    </message>
    <message>
        <source>The device did not answer a command as expected. Check the cable and try again.</source>
        <translation>Il dispositivo non ha risposto a un comando come previsto. Controllare il cavo e riprovare.</translation>
    </message>
    <message>
        <source>The device did not get ready to receive the firmware. Switch it off and on, then try again.</source>
        <translation>Il dispositivo non si è preparato a ricevere il firmware. Spegnerlo e riaccenderlo, poi riprovare.</translation>
    </message>
    <message>
        <source>The firmware file cannot be read, or it is empty. Choose the firmware file for this device.</source>
        <translation>Il file del firmware non è leggibile o è vuoto. Scegliere il file del firmware per questo dispositivo.</translation>
    </message>
    <message>
        <source>The transfer could not start. Try again; if it fails again, switch the device off and on.</source>
        <translation>Non è stato possibile avviare il trasferimento. Riprovare; se non riesce di nuovo, spegnere e riaccendere il dispositivo.</translation>
    </message>
    <message>
        <source>Another job is still using the device. Wait until it has ended, then try again.</source>
        <translation>Un&apos;altra operazione sta ancora usando il dispositivo. Attendere che termini, poi riprovare.</translation>
    </message>
    <message>
        <source>%1. Choose a folder you may write to, then export again.</source>
        <translation>%1. Scegliere una cartella in cui è consentito scrivere, poi esportare di nuovo.</translation>
    </message>
    <message>
        <source>%1. Make room on the disk or choose another folder, then export again.</source>
        <translation>%1. Liberare spazio sul disco o scegliere un&apos;altra cartella, poi esportare di nuovo.</translation>
    </message>
    <message>
        <source>%1. Check the cable, then export again.</source>
        <translation>%1. Controllare il cavo, poi esportare di nuovo.</translation>
    </message>
    <message>
        <source>The job was stopped before it ended. Start it again.</source>
        <translation>L&apos;operazione è stata interrotta prima della fine. Avviarla di nuovo.</translation>
    </message>
    <message>
        <source>The device refused the firmware and stays in its boot loader. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>Il dispositivo ha rifiutato il firmware e resta nel bootloader. Verificare che il file sia il firmware di questo dispositivo, poi ripetere l&apos;aggiornamento.</translation>
    </message>
    <message>
        <source>The device stopped answering during the transfer and stays in its boot loader. Check the cable, then upgrade again.</source>
        <translation>Il dispositivo ha smesso di rispondere durante il trasferimento e resta nel bootloader. Controllare il cavo, poi ripetere l&apos;aggiornamento.</translation>
    </message>
    <message>
        <source>The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the connectors, then upgrade again.</source>
        <translation>La linea è disturbata: i blocchi sono arrivati danneggiati più e più volte. Controllare il cavo, l&apos;adattatore USB e i connettori, poi ripetere l&apos;aggiornamento.</translation>
    </message>
    <message>
        <source>The transfer failed: the line reported an error, or the file changed while it was sent. The device stays in its boot loader: upgrade again.</source>
        <translation>Il trasferimento non è riuscito: la linea ha segnalato un errore o il file è cambiato durante l&apos;invio. Il dispositivo resta nel bootloader: ripetere l&apos;aggiornamento.</translation>
    </message>
    <message>
        <source>The device received the whole file but started its boot loader again, not the new firmware. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>Il dispositivo ha ricevuto l&apos;intero file, ma ha riavviato il bootloader invece del nuovo firmware. Verificare che il file sia il firmware di questo dispositivo, poi ripetere l&apos;aggiornamento.</translation>
    </message>
    <message>
        <source>The device received the file to its end but confirmed neither the end of the transfer nor its new firmware. Check the cable, then upgrade again.</source>
        <translation>Il dispositivo ha ricevuto il file fino alla fine, ma non ha confermato né la fine del trasferimento né il nuovo firmware. Verificare il cavo, poi ripetere l&apos;aggiornamento.</translation>
    </message>
    <message>
        <source>Something on the serial port answers that is not this device. Connect the device and try again.</source>
        <translation>Sulla porta seriale risponde qualcosa che non è questo dispositivo. Collegare il dispositivo e riprovare.</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device. Connect the device and try again.</source>
        <translation>Su %1 risponde qualcosa che non è questo dispositivo. Collegare il dispositivo e riprovare.</translation>
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
    <message>
        <source>Back to the menu</source>
        <translation>Torna al menu</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Numero di serie</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Versione firmware</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>Stato del dispositivo</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Lettura in corso…</translation>
    </message>
    <message>
        <source>Not read</source>
        <translation>Non letto</translation>
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
    <message>
        <source>Support</source>
        <translation>Assistenza</translation>
    </message>
    <message>
        <source>Saves the device&apos;s stored log records as a CSV report</source>
        <translation>Salva i record di log del dispositivo in un rapporto CSV</translation>
    </message>
    <message>
        <source>Installs new firmware on the device from a .bin file</source>
        <translation>Installa un nuovo firmware sul dispositivo da un file .bin</translation>
    </message>
    <message>
        <source>Reads the device&apos;s firmware version and serial number</source>
        <translation>Legge la versione firmware e il numero di serie del dispositivo</translation>
    </message>
    <message>
        <source>Chooses the language of the window</source>
        <translation>Sceglie la lingua della finestra</translation>
    </message>
    <message>
        <source>Saves a file for support with the logs, the settings and the service history</source>
        <translation>Salva un file di assistenza con i log, le impostazioni e lo storico degli interventi</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Riduci a icona</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Chiudi</translation>
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
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Su %1 risponde qualcosa che non è questo dispositivo</translation>
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
    <message numerus="yes">
        <source>The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped</source>
        <translation>
            <numerusform>Il dispositivo non ha smesso di inviare: più di %1 byte ricevuti per %n record annunciato; l&apos;esportazione è stata fermata</numerusform>
            <numerusform>Il dispositivo non ha smesso di inviare: più di %1 byte ricevuti per %n record annunciati; l&apos;esportazione è stata fermata</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device sent none of the %n records it announced</source>
        <translation>
            <numerusform>Il dispositivo ha annunciato %n record, ma non l&apos;ha inviato</numerusform>
            <numerusform>Il dispositivo non ha inviato nessuno dei %n record annunciati</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The report holds %1 of the %n records the device announced</source>
        <translation>
            <numerusform>Il rapporto contiene %1 di %n record annunciato dal dispositivo</numerusform>
            <numerusform>Il rapporto contiene %1 dei %n record annunciati dal dispositivo</numerusform>
        </translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Su %1 risponde qualcosa che non è questo dispositivo</translation>
    </message>
</context>
<context>
    <name>SupportEntry</name>
    <message>
        <source>Save the support file</source>
        <translation>Salva il file di assistenza</translation>
    </message>
    <message>
        <source>Zip archives (*.zip)</source>
        <translation>Archivi zip (*.zip)</translation>
    </message>
    <message>
        <source>The support file %1 has been written. Send it to support.</source>
        <translation>Il file di assistenza %1 è stato salvato. Inviarlo all&apos;assistenza.</translation>
    </message>
    <message>
        <source>The support file could not be written: %1</source>
        <translation>Impossibile salvare il file di assistenza: %1</translation>
    </message>
</context>
<context>
    <name>SupportFile</name>
    <message>
        <source>its files could not be packed</source>
        <translation>non è stato possibile comprimere i suoi file</translation>
    </message>
    <message>
        <source>%1 cannot be created (%2)</source>
        <translation>impossibile creare %1 (%2)</translation>
    </message>
    <message>
        <source>%1 could not be written whole (%2)</source>
        <translation>non è stato possibile scrivere %1 per intero (%2)</translation>
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
        <source>Firmware %1 → %2</source>
        <translation>Firmware del dispositivo: %1 → %2</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>Il dispositivo risponde; versione sconosciuta</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>Il dispositivo non ha ancora risposto</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Torna al menu</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>File firmware</translation>
    </message>
    <message>
        <source>Starts the upgrade with the chosen file</source>
        <translation>Avvia l&apos;aggiornamento con il file scelto</translation>
    </message>
    <message>
        <source>Chooses the firmware file</source>
        <translation>Sceglie il file firmware</translation>
    </message>
    <message>
        <source>Upgrade status</source>
        <translation>Stato dell&apos;aggiornamento</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>Avanzamento dell&apos;aggiornamento</translation>
    </message>
</context>
</TS>
