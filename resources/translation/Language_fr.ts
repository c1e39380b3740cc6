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
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>Informations sur l&apos;appareil</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>N° de série :</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Version firmware :</translation>
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
</context>
<context>
    <name>CustomMessageBox</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
</TS>
