<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
<context>
    <name>ExportWidget</name>
    <message>
        <source>Export report</source>
        <translation>Exporter le rapport</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exporter</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Parcourir&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>File exporting</source>
        <translation>Exportation du fichier en cours...</translation>
    </message>
    <message>
        <source>File export successful</source>
        <translation>Fichier exporté avec succès</translation>
    </message>
    <message>
        <source>File export failed</source>
        <translation>Échec de l&apos;exportation du fichier</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Appareil non connecté</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Veuillez d&apos;abord mettre à jour le firmware</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Retour au menu</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>Dossier du rapport</translation>
    </message>
    <message>
        <source>Starts the export into the chosen folder</source>
        <translation>Lance l&apos;exportation dans le dossier choisi</translation>
    </message>
    <message>
        <source>Chooses the folder for the report</source>
        <translation>Choisit le dossier du rapport</translation>
    </message>
    <message>
        <source>Export status</source>
        <translation>État de l&apos;exportation</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Progression de l&apos;exportation</translation>
    </message>
</context>
<context>
    <name>FailureAdvice</name>
    <message>
        <source>No serial port could be opened. Connect the device and try again.</source>
        <translation>Aucun port série n&apos;a pu être ouvert. Connectez l&apos;appareil et réessayez.</translation>
    </message>
    <message>
        <source>A serial port is in use by another program. Close that program and try again.</source>
        <translation>Un port série est utilisé par un autre programme. Fermez ce programme et réessayez.</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program and try again.</source>
        <translation>Le port %1 est utilisé par un autre programme. Fermez ce programme et réessayez.</translation>
    </message>
    <message>
        <source>No device answered. Check that it is switched on and connected, then try again.</source>
        <translation>Aucun appareil n&apos;a répondu. Vérifiez qu&apos;il est allumé et connecté, puis réessayez.</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect the device and try again.</source>
        <translation>Seule la requête est revenue&#xa0;: la ligne renvoie l&apos;écho (fiche de bouclage ou modem) et aucun appareil n&apos;a répondu. Connectez l&apos;appareil et réessayez.</translation>
    </message>
    <message>
        <source>The connection to the device was lost (unplugged or switched off). Connect it and try again.</source>
        <translation>La connexion avec l&apos;appareil a été perdue (débranché ou éteint). Reconnectez-le et réessayez.</translation>
    </message>
    <message>
        <source>The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device first.</source>
        <translation>L&apos;appareil est dans son chargeur d&apos;amorçage&#xa0;: son firmware est absent ou une mise à jour n&apos;a pas abouti. Mettez d&apos;abord l&apos;appareil à jour.</translation>
    </message>
    <message>
        <source>The device did not answer a command as expected. Check the cable and try again.</source>
        <translation>L&apos;appareil n&apos;a pas répondu à une commande comme prévu. Vérifiez le câble et réessayez.</translation>
    </message>
    <message>
        <source>The device did not get ready to receive the firmware. Switch it off and on, then try again.</source>
        <translation>L&apos;appareil ne s&apos;est pas mis en état de recevoir le firmware. Éteignez-le et rallumez-le, puis réessayez.</translation>
    </message>
    <message>
        <source>The firmware file cannot be read, or it is empty. Choose the firmware file for this device.</source>
        <translation>Le fichier de firmware est illisible ou vide. Choisissez le fichier de firmware destiné à cet appareil.</translation>
    </message>
    <message>
        <source>The transfer could not start. Try again; if it fails again, switch the device off and on.</source>
        <translation>Le transfert n&apos;a pas pu démarrer. Réessayez&#xa0;; en cas de nouvel échec, éteignez l&apos;appareil et rallumez-le.</translation>
    </message>
    <message>
        <source>Another job is still using the device. Wait until it has ended, then try again.</source>
        <translation>Une autre tâche utilise encore l&apos;appareil. Attendez qu&apos;elle soit terminée, puis réessayez.</translation>
    </message>
    <message>
        <source>%1. Choose a folder you may write to, then export again.</source>
        <translation>%1. Choisissez un dossier accessible en écriture, puis exportez à nouveau.</translation>
    </message>
    <message>
        <source>%1. Make room on the disk or choose another folder, then export again.</source>
        <translation>%1. Libérez de l&apos;espace disque ou choisissez un autre dossier, puis exportez à nouveau.</translation>
    </message>
    <message>
        <source>%1. Check the cable, then export again.</source>
        <translation>%1. Vérifiez le câble, puis exportez à nouveau.</translation>
    </message>
    <message>
        <source>The job was stopped before it ended. Start it again.</source>
        <translation>La tâche a été arrêtée avant la fin. Relancez-la.</translation>
    </message>
    <message>
        <source>The device refused the firmware and stays in its boot loader. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>L&apos;appareil a refusé le firmware et reste dans son chargeur d&apos;amorçage. Vérifiez que le fichier est bien un firmware pour cet appareil, puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The device stopped answering during the transfer and stays in its boot loader. Check the cable, then upgrade again.</source>
        <translation>L&apos;appareil a cessé de répondre pendant le transfert et reste dans son chargeur d&apos;amorçage. Vérifiez le câble, puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the connectors, then upgrade again.</source>
        <translation>La ligne est parasitée&#xa0;: des blocs sont arrivés endommagés à maintes reprises. Vérifiez le câble, l&apos;adaptateur USB et les connecteurs, puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The transfer failed: the line reported an error, or the file changed while it was sent. The device stays in its boot loader: upgrade again.</source>
        <translation>Le transfert a échoué&#xa0;: la ligne a signalé une erreur, ou le fichier a changé pendant l&apos;envoi. L&apos;appareil reste dans son chargeur d&apos;amorçage&#xa0;: relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The device received the whole file but started its boot loader again, not the new firmware. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>L&apos;appareil a reçu tout le fichier mais a redémarré dans son chargeur d&apos;amorçage au lieu du nouveau firmware. Vérifiez que le fichier est bien un firmware pour cet appareil, puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>The device received the file to its end but confirmed neither the end of the transfer nor its new firmware. Check the cable, then upgrade again.</source>
        <translation>L&apos;appareil a reçu le fichier jusqu&apos;au bout mais n&apos;a confirmé ni la fin du transfert ni son nouveau firmware. Vérifiez le câble, puis relancez la mise à jour.</translation>
    </message>
    <message>
        <source>Something on the serial port answers that is not this device. Connect the device and try again.</source>
        <translation>Quelque chose répond sur le port série, mais ce n&apos;est pas cet appareil. Connectez l&apos;appareil et réessayez.</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device. Connect the device and try again.</source>
        <translation>Quelque chose répond sur %1, mais ce n&apos;est pas cet appareil. Connectez l&apos;appareil et réessayez.</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>Informations sur l&apos;appareil</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>N° de série&#xa0;:</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Version firmware&#xa0;:</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Appareil non connecté</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Veuillez d&apos;abord mettre à jour le firmware</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Retour au menu</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Numéro de série</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Version firmware</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>État de l&apos;appareil</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Lecture…</translation>
    </message>
    <message>
        <source>Not read</source>
        <translation>Non lu</translation>
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
        <translation>Langue</translation>
    </message>
</context>
<context>
    <name>LineBusyText</name>
    <message>
        <source>The device is still sending its records; waiting up to %1 s</source>
        <translation>L&apos;appareil envoie encore ses enregistrements&#xa0;; attente jusqu&apos;à %1&#xa0;s</translation>
    </message>
    <message>
        <source>The device keeps sending; switch it off and on, then try again</source>
        <translation>L&apos;appareil n&apos;arrête pas d&apos;envoyer&#xa0;; éteignez-le et rallumez-le, puis réessayez</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Device
 Information</source>
        <translation>Informations
sur l&apos;appareil</translation>
    </message>
    <message>
        <source>Export report</source>
        <translation>Exporter
le rapport</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Mise à jour</translation>
    </message>
    <message>
        <source>The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.</source>
        <translation>La mise à jour est en cours. Si vous fermez maintenant, l&apos;appareil restera dans son chargeur d&apos;amorçage jusqu&apos;à la prochaine mise à jour.</translation>
    </message>
    <message>
        <source>Close anyway</source>
        <translation>Fermer quand même</translation>
    </message>
    <message>
        <source>Keep upgrading</source>
        <translation>Poursuivre la mise à jour</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Assistance</translation>
    </message>
    <message>
        <source>Saves the device&apos;s stored log records as a CSV report</source>
        <translation>Enregistre les enregistrements du journal de l&apos;appareil dans un rapport CSV</translation>
    </message>
    <message>
        <source>Installs new firmware on the device from a .bin file</source>
        <translation>Installe un nouveau firmware sur l&apos;appareil à partir d&apos;un fichier .bin</translation>
    </message>
    <message>
        <source>Reads the device&apos;s firmware version and serial number</source>
        <translation>Lit la version du firmware et le numéro de série de l&apos;appareil</translation>
    </message>
    <message>
        <source>Chooses the language of the window</source>
        <translation>Choisit la langue de la fenêtre</translation>
    </message>
    <message>
        <source>Saves a file for support with the logs, the settings and the service history</source>
        <translation>Enregistre un fichier d&apos;assistance avec les journaux, les paramètres et l&apos;historique des interventions</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>QSerialUser</name>
    <message>
        <source>No serial port available</source>
        <translation>Aucun port série disponible</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Impossible d&apos;ouvrir le port série</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>Le port série est utilisé par un autre programme</translation>
    </message>
    <message>
        <source>Upgrade already running</source>
        <translation>Une mise à jour est déjà en cours</translation>
    </message>
    <message>
        <source>The device is busy with another job</source>
        <translation>L&apos;appareil est occupé par une autre tâche</translation>
    </message>
    <message>
        <source>Cannot read the firmware file %1</source>
        <translation>Impossible de lire le fichier de firmware %1</translation>
    </message>
    <message>
        <source>The firmware file %1 is empty</source>
        <translation>Le fichier de firmware %1 est vide</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>L&apos;appareil n&apos;arrête pas d&apos;envoyer&#xa0;: la ligne n&apos;est pas redevenue silencieuse en %1&#xa0;s</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Quelque chose répond sur %1, mais ce n&apos;est pas cet appareil</translation>
    </message>
</context>
<context>
    <name>SerialWorker</name>
    <message>
        <source>No serial port available</source>
        <translation>Aucun port série disponible</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Impossible d&apos;ouvrir le port série</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Veuillez d&apos;abord mettre à jour le firmware</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>Le port série est utilisé par un autre programme</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes, and no device answered</source>
        <translation>Seule la requête est revenue&#xa0;: la ligne renvoie l&apos;écho, aucun appareil n&apos;a répondu</translation>
    </message>
    <message>
        <source>The device was disconnected during the request</source>
        <translation>L&apos;appareil a été déconnecté pendant la requête</translation>
    </message>
    <message>
        <source>Cannot create the report file %1: %2</source>
        <translation>Impossible de créer le fichier de rapport %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>The device was disconnected during the export</source>
        <translation>L&apos;appareil a été déconnecté pendant l&apos;exportation</translation>
    </message>
    <message>
        <source>The export was interrupted</source>
        <translation>L&apos;exportation a été interrompue</translation>
    </message>
    <message>
        <source>Cannot write the report file %1: %2</source>
        <translation>Impossible d&apos;écrire le fichier de rapport %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Cannot rename the report file %1 to %2: %3</source>
        <translation>Impossible de renommer le fichier de rapport %1 en %2&#xa0;: %3</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>L&apos;appareil n&apos;arrête pas d&apos;envoyer&#xa0;: la ligne n&apos;est pas redevenue silencieuse en %1&#xa0;s</translation>
    </message>
    <message numerus="yes">
        <source>The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped</source>
        <translation>
            <numerusform>L&apos;appareil n&apos;a pas cessé d&apos;envoyer&#xa0;: plus de %1&#xa0;octets reçus pour %n enregistrement annoncé&#xa0;; l&apos;exportation a été arrêtée</numerusform>
            <numerusform>L&apos;appareil n&apos;a pas cessé d&apos;envoyer&#xa0;: plus de %1&#xa0;octets reçus pour %n enregistrements annoncés&#xa0;; l&apos;exportation a été arrêtée</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device sent none of the %n records it announced</source>
        <translation>
            <numerusform>L&apos;appareil a annoncé %n enregistrement mais ne l&apos;a pas envoyé</numerusform>
            <numerusform>L&apos;appareil n&apos;a envoyé aucun des %n enregistrements annoncés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The report holds %1 of the %n records the device announced</source>
        <translation>
            <numerusform>Le rapport contient %1 enregistrement sur %n annoncé par l&apos;appareil</numerusform>
            <numerusform>Le rapport contient %1 des %n enregistrements annoncés par l&apos;appareil</numerusform>
        </translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Quelque chose répond sur %1, mais ce n&apos;est pas cet appareil</translation>
    </message>
</context>
<context>
    <name>SupportEntry</name>
    <message>
        <source>Save the support file</source>
        <translation>Enregistrer le fichier d&apos;assistance</translation>
    </message>
    <message>
        <source>Zip archives (*.zip)</source>
        <translation>Archives zip (*.zip)</translation>
    </message>
    <message>
        <source>The support file %1 has been written. Send it to support.</source>
        <translation>Le fichier d&apos;assistance %1 a été enregistré. Envoyez-le à l&apos;assistance.</translation>
    </message>
    <message>
        <source>The support file could not be written: %1</source>
        <translation>Le fichier d&apos;assistance n&apos;a pas pu être enregistré&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>SupportFile</name>
    <message>
        <source>its files could not be packed</source>
        <translation>ses fichiers n&apos;ont pas pu être compressés</translation>
    </message>
    <message>
        <source>%1 cannot be created (%2)</source>
        <translation>impossible de créer %1 (%2)</translation>
    </message>
    <message>
        <source>%1 could not be written whole (%2)</source>
        <translation>%1 n&apos;a pas pu être écrit en entier (%2)</translation>
    </message>
</context>
<context>
    <name>UpgradeWidget</name>
    <message>
        <source>Import upgrade file</source>
        <translation>Importer le fichier de mise à jour</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Mettre à jour</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Parcourir&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>during upgrade</source>
        <translation>Mise à jour en cours...</translation>
    </message>
    <message>
        <source>Upgrade completed</source>
        <translation>Mise à jour terminée</translation>
    </message>
    <message>
        <source>Upgrade failed</source>
        <translation>Échec de la mise à jour</translation>
    </message>
    <message>
        <source>The device runs %1</source>
        <translation>Firmware de l&apos;appareil&#xa0;: %1</translation>
    </message>
    <message>
        <source>Firmware %1 → %2</source>
        <translation>Firmware de l&apos;appareil&#xa0;: %1 → %2</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>L&apos;appareil répond&#xa0;; version inconnue</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>L&apos;appareil n&apos;a pas encore répondu</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Retour au menu</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>Fichier firmware</translation>
    </message>
    <message>
        <source>Starts the upgrade with the chosen file</source>
        <translation>Lance la mise à jour avec le fichier choisi</translation>
    </message>
    <message>
        <source>Chooses the firmware file</source>
        <translation>Choisit le fichier firmware</translation>
    </message>
    <message>
        <source>Upgrade status</source>
        <translation>État de la mise à jour</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>Progression de la mise à jour</translation>
    </message>
</context>
</TS>
