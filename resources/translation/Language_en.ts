<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en">
<context>
    <name>MainForm</name>
    <message>
        <source>Device
 Information</source>
        <translation>Device
 Information</translation>
    </message>
    <message>
        <source>Export report</source>
        <translation>Export report</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.</source>
        <translation>The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.</translation>
    </message>
    <message>
        <source>Close anyway</source>
        <translation>Close anyway</translation>
    </message>
    <message>
        <source>Keep upgrading</source>
        <translation>Keep upgrading</translation>
    </message>
</context>
<context>
    <name>ExportWidget</name>
    <message>
        <source>Export report</source>
        <translation>Export report</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Select path</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>File exporting</source>
        <translation>File exporting</translation>
    </message>
    <message>
        <source>File export successful</source>
        <translation>File export successful</translation>
    </message>
    <message>
        <source>File export failed</source>
        <translation>File export failed</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Please upgrade before proceeding</translation>
    </message>
</context>
<context>
    <name>UpgradeWidget</name>
    <message>
        <source>Import upgrade file</source>
        <translation>Import upgrade file</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Select path</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>during upgrade</source>
        <translation>during upgrade</translation>
    </message>
    <message>
        <source>Upgrade completed</source>
        <translation>Upgrade completed</translation>
    </message>
    <message>
        <source>Upgrade failed</source>
        <translation>Upgrade failed</translation>
    </message>
    <message>
        <source>The device runs %1</source>
        <translation>The device runs %1</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>The device answers; version unknown</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>The device has not answered yet</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>Device Information</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>SN:</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Firmware version:</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Please upgrade before proceeding</translation>
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
        <translation>Language</translation>
    </message>
</context>
<context>
    <name>SerialWorker</name>
    <message>
        <source>No serial port available</source>
        <translation>No serial port available</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Failed to open serial port</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Please upgrade before proceeding</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>The serial port is in use by another program</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes, and no device answered</source>
        <translation>Only the request came back: the line echoes, and no device answered</translation>
    </message>
    <message>
        <source>The device was disconnected during the request</source>
        <translation>The device was disconnected during the request</translation>
    </message>
    <message>
        <source>Cannot create the report file %1: %2</source>
        <translation>Cannot create the report file %1: %2</translation>
    </message>
    <message>
        <source>The device was disconnected during the export</source>
        <translation>The device was disconnected during the export</translation>
    </message>
    <message>
        <source>The export was interrupted</source>
        <translation>The export was interrupted</translation>
    </message>
    <message>
        <source>The device did not stop sending: more than %1 bytes arrived for %2 announced records; the export was stopped</source>
        <translation>The device did not stop sending: more than %1 bytes arrived for %2 announced records; the export was stopped</translation>
    </message>
    <message>
        <source>The device sent none of the %1 records it announced</source>
        <translation>The device sent none of the %1 records it announced</translation>
    </message>
    <message>
        <source>The report holds %1 of the %2 records the device announced</source>
        <translation>The report holds %1 of the %2 records the device announced</translation>
    </message>
    <message>
        <source>%1; what arrived is kept in %2</source>
        <translation>%1; what arrived is kept in %2</translation>
    </message>
    <message>
        <source>Cannot write the report file %1: %2</source>
        <translation>Cannot write the report file %1: %2</translation>
    </message>
    <message>
        <source>Cannot rename the report file %1 to %2: %3</source>
        <translation>Cannot rename the report file %1 to %2: %3</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>The device keeps sending: its line did not fall quiet within %1 s</translation>
    </message>
</context>
<context>
    <name>QSerialUser</name>
    <message>
        <source>No serial port available</source>
        <translation>No serial port available</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Failed to open serial port</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>The serial port is in use by another program</translation>
    </message>
    <message>
        <source>Upgrade already running</source>
        <translation>Upgrade already running</translation>
    </message>
    <message>
        <source>The device is busy with another job</source>
        <translation>The device is busy with another job</translation>
    </message>
    <message>
        <source>Cannot read the firmware file %1</source>
        <translation>Cannot read the firmware file %1</translation>
    </message>
    <message>
        <source>The firmware file %1 is empty</source>
        <translation>The firmware file %1 is empty</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>The device keeps sending: its line did not fall quiet within %1 s</translation>
    </message>
</context>
<context>
    <name>CustomMessageBox</name>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>LineBusyText</name>
    <message>
        <source>The device is still sending its records; waiting up to %1 s</source>
        <translation>The device is still sending its records; waiting up to %1 s</translation>
    </message>
    <message>
        <source>The device keeps sending; switch it off and on, then try again</source>
        <translation>The device keeps sending; switch it off and on, then try again</translation>
    </message>
</context>
</TS>
