<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en">
<context>
    <name>MainForm</name>
    <message>
        <source>Device
 Information</source>
        <translation>Información
del dispositivo</translation>
    </message>
    <message>
        <source>Export report</source>
        <translation>Exportar
informe</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Actualizar</translation>
    </message>
</context>
<context>
    <name>ExportWidget</name>
    <message>
        <source>Export report</source>
        <translation>Exportar informe</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Elegir ruta</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Elegir ruta&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>File exporting</source>
        <translation>Exportando archivo...</translation>
    </message>
    <message>
        <source>File export successful</source>
        <translation>Archivo exportado correctamente</translation>
    </message>
    <message>
        <source>File export failed</source>
        <translation>Error al exportar el archivo</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Dispositivo desconectado</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Actualice el firmware antes de continuar</translation>
    </message>
</context>
<context>
    <name>UpgradeWidget</name>
    <message>
        <source>Import upgrade file</source>
        <translation>Importar archivo de actualización</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Actualizar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Elegir ruta</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Elegir ruta&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>during upgrade</source>
        <translation>Actualización en curso...</translation>
    </message>
    <message>
        <source>Upgrade completed</source>
        <translation>Actualización completada</translation>
    </message>
    <message>
        <source>Upgrade failed</source>
        <translation>Error de actualización</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>Información del dispositivo</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>N.º de serie:</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Versión firmware:</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Dispositivo desconectado</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Actualice el firmware antes de continuar</translation>
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
        <translation>Idioma</translation>
    </message>
</context>
<context>
    <name>SerialWorker</name>
    <message>
        <source>No serial port available</source>
        <translation>No hay ningún puerto serie disponible</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>No se pudo abrir el puerto serie</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Actualice el firmware antes de continuar</translation>
    </message>
</context>
<context>
    <name>QSerialUser</name>
    <message>
        <source>No serial port available</source>
        <translation>No hay ningún puerto serie disponible</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>No se pudo abrir el puerto serie</translation>
    </message>
</context>
<context>
    <name>CustomMessageBox</name>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
</TS>
