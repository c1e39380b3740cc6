<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
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
</context>
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
        <translation>Firmware de l&apos;appareil : %1</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>L&apos;appareil répond ; version inconnue</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>L&apos;appareil n&apos;a pas encore répondu</translation>
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
        <translation>N° de série :</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Version firmware :</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Appareil non connecté</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Veuillez d&apos;abord mettre à jour le firmware</translation>
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
        <translation>Seule la requête est revenue : la ligne renvoie l&apos;écho, aucun appareil n&apos;a répondu</translation>
    </message>
    <message>
        <source>The device was disconnected during the request</source>
        <translation>L&apos;appareil a été déconnecté pendant la requête</translation>
    </message>
    <message>
        <source>Cannot create the report file %1: %2</source>
        <translation>Impossible de créer le fichier de rapport %1 : %2</translation>
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
        <source>The device did not stop sending: more than %1 bytes arrived for %2 announced records; the export was stopped</source>
        <translation>L&apos;appareil n&apos;a pas cessé d&apos;émettre : plus de %1 octets reçus pour %2 enregistrements annoncés ; l&apos;exportation a été arrêtée</translation>
    </message>
    <message>
        <source>The device sent none of the %1 records it announced</source>
        <translation>L&apos;appareil n&apos;a envoyé aucun des %1 enregistrements annoncés</translation>
    </message>
    <message>
        <source>The report holds %1 of the %2 records the device announced</source>
        <translation>Le rapport contient %1 des %2 enregistrements annoncés par l&apos;appareil</translation>
    </message>
    <message>
        <source>%1; what arrived is kept in %2</source>
        <translation>%1 ; ce qui a été reçu est conservé dans %2</translation>
    </message>
    <message>
        <source>Cannot write the report file %1: %2</source>
        <translation>Impossible d&apos;écrire le fichier de rapport %1 : %2</translation>
    </message>
    <message>
        <source>Cannot rename the report file %1 to %2: %3</source>
        <translation>Impossible de renommer le fichier de rapport %1 en %2 : %3</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>L'appareil n'arrête pas d'envoyer : la ligne n'est pas redevenue silencieuse en %1 s</translation>
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
        <translation>L'appareil n'arrête pas d'envoyer : la ligne n'est pas redevenue silencieuse en %1 s</translation>
    </message>
</context>
<context>
    <name>CustomMessageBox</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>LineBusyText</name>
    <message>
        <source>The device is still sending its records; waiting up to %1 s</source>
        <translation>L'appareil envoie encore ses enregistrements ; attente jusqu'à %1 s</translation>
    </message>
    <message>
        <source>The device keeps sending; switch it off and on, then try again</source>
        <translation>L'appareil n'arrête pas d'envoyer ; éteignez-le et rallumez-le, puis réessayez</translation>
    </message>
</context>
</TS>
