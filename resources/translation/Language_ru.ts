<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>MainForm</name>
    <message>
        <source>Device
 Information</source>
        <translation>Информация
об устройстве</translation>
    </message>
    <message>
        <source>Export report</source>
        <translation>Экспорт
отчёта</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Обновление</translation>
    </message>
</context>
<context>
    <name>ExportWidget</name>
    <message>
        <source>Export report</source>
        <translation>Экспорт отчёта</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Экспорт</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Обзор...</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Обзор...&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>File exporting</source>
        <translation>Идёт экспорт файла...</translation>
    </message>
    <message>
        <source>File export successful</source>
        <translation>Файл успешно экспортирован</translation>
    </message>
    <message>
        <source>File export failed</source>
        <translation>Ошибка экспорта файла</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Устройство не подключено</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Сначала обновите прошивку</translation>
    </message>
</context>
<context>
    <name>UpgradeWidget</name>
    <message>
        <source>Import upgrade file</source>
        <translation>Импорт файла прошивки</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Обновить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Обзор...</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Обзор...&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>during upgrade</source>
        <translation>Идёт обновление...</translation>
    </message>
    <message>
        <source>Upgrade completed</source>
        <translation>Обновление завершено</translation>
    </message>
    <message>
        <source>Upgrade failed</source>
        <translation>Ошибка обновления</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>Информация об устройстве</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>Серийный №:</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Версия ПО:</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Устройство не подключено</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Сначала обновите прошивку</translation>
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
        <translation>Язык</translation>
    </message>
</context>
<context>
    <name>SerialWorker</name>
    <message>
        <source>No serial port available</source>
        <translation>Нет доступных COM-портов</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Не удалось открыть COM-порт</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Сначала обновите прошивку</translation>
    </message>
</context>
<context>
    <name>QSerialUser</name>
    <message>
        <source>No serial port available</source>
        <translation>Нет доступных COM-портов</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Не удалось открыть COM-порт</translation>
    </message>
</context>
<context>
    <name>CustomMessageBox</name>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
</context>
</TS>
