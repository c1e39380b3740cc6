<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en">
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
    <message>
        <source>Back to the menu</source>
        <translation>Back to the menu</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>Report folder</translation>
    </message>
    <message>
        <source>Starts the export into the chosen folder</source>
        <translation>Starts the export into the chosen folder</translation>
    </message>
    <message>
        <source>Chooses the folder for the report</source>
        <translation>Chooses the folder for the report</translation>
    </message>
    <message>
        <source>Export status</source>
        <translation>Export status</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Export progress</translation>
    </message>
</context>
<context>
    <name>FailureAdvice</name>
    <message>
        <source>No serial port could be opened. Connect the device and try again.</source>
        <translation>No serial port could be opened. Connect the device and try again.</translation>
    </message>
    <message>
        <source>A serial port is in use by another program. Close that program and try again.</source>
        <translation>A serial port is in use by another program. Close that program and try again.</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program and try again.</source>
        <translation>The port %1 is in use by another program. Close that program and try again.</translation>
    </message>
    <message>
        <source>No device answered. Check that it is switched on and connected, then try again.</source>
        <translation>No device answered. Check that it is switched on and connected, then try again.</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect the device and try again.</source>
        <translation>Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect the device and try again.</translation>
    </message>
    <message>
        <source>The connection to the device was lost (unplugged or switched off). Connect it and try again.</source>
        <translation>The connection to the device was lost (unplugged or switched off). Connect it and try again.</translation>
    </message>
    <message>
        <source>The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device first.</source>
        <translation>The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device first.</translation>
    </message>
    <message>
        <source>The device did not answer a command as expected. Check the cable and try again.</source>
        <translation>The device did not answer a command as expected. Check the cable and try again.</translation>
    </message>
    <message>
        <source>The device did not get ready to receive the firmware. Switch it off and on, then try again.</source>
        <translation>The device did not get ready to receive the firmware. Switch it off and on, then try again.</translation>
    </message>
    <message>
        <source>The firmware file cannot be read, or it is empty. Choose the firmware file for this device.</source>
        <translation>The firmware file cannot be read, or it is empty. Choose the firmware file for this device.</translation>
    </message>
    <message>
        <source>The transfer could not start. Try again; if it fails again, switch the device off and on.</source>
        <translation>The transfer could not start. Try again; if it fails again, switch the device off and on.</translation>
    </message>
    <message>
        <source>Another job is still using the device. Wait until it has ended, then try again.</source>
        <translation>Another job is still using the device. Wait until it has ended, then try again.</translation>
    </message>
    <message>
        <source>%1. Choose a folder you may write to, then export again.</source>
        <translation>%1. Choose a folder you may write to, then export again.</translation>
    </message>
    <message>
        <source>%1. Make room on the disk or choose another folder, then export again.</source>
        <translation>%1. Make room on the disk or choose another folder, then export again.</translation>
    </message>
    <message>
        <source>%1. Check the cable, then export again.</source>
        <translation>%1. Check the cable, then export again.</translation>
    </message>
    <message>
        <source>The job was stopped before it ended. Start it again.</source>
        <translation>The job was stopped before it ended. Start it again.</translation>
    </message>
    <message>
        <source>The device refused the firmware and stays in its boot loader. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>The device refused the firmware and stays in its boot loader. Check that the file is firmware for this device, then upgrade again.</translation>
    </message>
    <message>
        <source>The device stopped answering during the transfer and stays in its boot loader. Check the cable, then upgrade again.</source>
        <translation>The device stopped answering during the transfer and stays in its boot loader. Check the cable, then upgrade again.</translation>
    </message>
    <message>
        <source>The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the connectors, then upgrade again.</source>
        <translation>The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the connectors, then upgrade again.</translation>
    </message>
    <message>
        <source>The transfer failed: the line reported an error, or the file changed while it was sent. The device stays in its boot loader: upgrade again.</source>
        <translation>The transfer failed: the line reported an error, or the file changed while it was sent. The device stays in its boot loader: upgrade again.</translation>
    </message>
    <message>
        <source>The device received the whole file but started its boot loader again, not the new firmware. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>The device received the whole file but started its boot loader again, not the new firmware. Check that the file is firmware for this device, then upgrade again.</translation>
    </message>
    <message>
        <source>The device received the file to its end but confirmed neither the end of the transfer nor its new firmware. Check the cable, then upgrade again.</source>
        <translation>The device received the file to its end but confirmed neither the end of the transfer nor its new firmware. Check the cable, then upgrade again.</translation>
    </message>
    <message>
        <source>Something on the serial port answers that is not this device. Connect the device and try again.</source>
        <translation>Something on the serial port answers that is not this device. Connect the device and try again.</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device. Connect the device and try again.</source>
        <translation>Something on %1 answers that is not this device. Connect the device and try again.</translation>
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
    <message>
        <source>Back to the menu</source>
        <translation>Back to the menu</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>Device status</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Reading…</translation>
    </message>
    <message>
        <source>Not read</source>
        <translation>Not read</translation>
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
    <message>
        <source>Support</source>
        <translation>Support</translation>
    </message>
    <message>
        <source>Saves the device&apos;s stored log records as a CSV report</source>
        <translation>Saves the device&apos;s stored log records as a CSV report</translation>
    </message>
    <message>
        <source>Installs new firmware on the device from a .bin file</source>
        <translation>Installs new firmware on the device from a .bin file</translation>
    </message>
    <message>
        <source>Reads the device&apos;s firmware version and serial number</source>
        <translation>Reads the device&apos;s firmware version and serial number</translation>
    </message>
    <message>
        <source>Chooses the language of the window</source>
        <translation>Chooses the language of the window</translation>
    </message>
    <message>
        <source>Saves a file for support with the logs, the settings and the service history</source>
        <translation>Saves a file for support with the logs, the settings and the service history</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
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
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Something on %1 answers that is not this device</translation>
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
    <message numerus="yes">
        <source>The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped</source>
        <translation>
            <numerusform>The device did not stop sending: more than %1 bytes arrived for %n announced record; the export was stopped</numerusform>
            <numerusform>The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device sent none of the %n records it announced</source>
        <translation>
            <numerusform>The device did not send the %n record it announced</numerusform>
            <numerusform>The device sent none of the %n records it announced</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The report holds %1 of the %n records the device announced</source>
        <translation>
            <numerusform>The report holds %1 of the %n record the device announced</numerusform>
            <numerusform>The report holds %1 of the %n records the device announced</numerusform>
        </translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Something on %1 answers that is not this device</translation>
    </message>
</context>
<context>
    <name>SupportEntry</name>
    <message>
        <source>Save the support file</source>
        <translation>Save the support file</translation>
    </message>
    <message>
        <source>Zip archives (*.zip)</source>
        <translation>Zip archives (*.zip)</translation>
    </message>
    <message>
        <source>The support file %1 has been written. Send it to support.</source>
        <translation>The support file %1 has been written. Send it to support.</translation>
    </message>
    <message>
        <source>The support file could not be written: %1</source>
        <translation>The support file could not be written: %1</translation>
    </message>
</context>
<context>
    <name>SupportFile</name>
    <message>
        <source>its files could not be packed</source>
        <translation>its files could not be packed</translation>
    </message>
    <message>
        <source>%1 cannot be created (%2)</source>
        <translation>%1 cannot be created (%2)</translation>
    </message>
    <message>
        <source>%1 could not be written whole (%2)</source>
        <translation>%1 could not be written whole (%2)</translation>
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
        <source>Firmware %1 → %2</source>
        <translation>Firmware %1 → %2</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>The device answers; version unknown</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>The device has not answered yet</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Back to the menu</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>Firmware file</translation>
    </message>
    <message>
        <source>Starts the upgrade with the chosen file</source>
        <translation>Starts the upgrade with the chosen file</translation>
    </message>
    <message>
        <source>Chooses the firmware file</source>
        <translation>Chooses the firmware file</translation>
    </message>
    <message>
        <source>Upgrade status</source>
        <translation>Upgrade status</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>Upgrade progress</translation>
    </message>
</context>
</TS>
