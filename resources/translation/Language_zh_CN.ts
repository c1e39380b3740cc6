<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>ExportWidget</name>
    <message>
        <source>Export report</source>
        <translation>导出报告</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>选择路径</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;选择路径&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>File exporting</source>
        <translation>文件导出中……</translation>
    </message>
    <message>
        <source>File export successful</source>
        <translation>文件导出成功</translation>
    </message>
    <message>
        <source>File export failed</source>
        <translation>文件导出失败</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>请先升级固件</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>返回菜单</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>报告文件夹</translation>
    </message>
    <message>
        <source>Starts the export into the chosen folder</source>
        <translation>开始导出到所选文件夹</translation>
    </message>
    <message>
        <source>Chooses the folder for the report</source>
        <translation>选择保存报告的文件夹</translation>
    </message>
    <message>
        <source>Export status</source>
        <translation>导出状态</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>导出进度</translation>
    </message>
</context>
<context>
    <name>FailureAdvice</name>
    <message>
        <source>No serial port could be opened. Connect the device and try again.</source>
        <translation>无法打开任何串口。请连接设备后重试。</translation>
    </message>
    <message>
        <source>A serial port is in use by another program. Close that program and try again.</source>
        <translation>有串口正被其他程序占用。请关闭该程序后重试。</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program and try again.</source>
        <translation>端口 %1 正被其他程序占用。请关闭该程序后重试。</translation>
    </message>
    <message>
        <source>No device answered. Check that it is switched on and connected, then try again.</source>
        <translation>没有设备应答。请检查设备是否已开机并连接，然后重试。</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect the device and try again.</source>
        <translation>只收到了本程序自己发出的请求：线路将数据原样返回（环回插头或调制解调器），没有任何设备应答。请连接设备后重试。</translation>
    </message>
    <message>
        <source>The connection to the device was lost (unplugged or switched off). Connect it and try again.</source>
        <translation>与设备的连接已断开（设备被拔出或已关机）。请重新连接设备后重试。</translation>
    </message>
    <message>
        <source>The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device first.</source>
        <translation>设备正在运行引导程序：固件缺失，或上次升级未完成。请先升级固件。</translation>
    </message>
    <message>
        <source>The device did not answer a command as expected. Check the cable and try again.</source>
        <translation>设备未按预期应答命令。请检查线缆后重试。</translation>
    </message>
    <message>
        <source>The device did not get ready to receive the firmware. Switch it off and on, then try again.</source>
        <translation>设备未准备好接收固件。请将其关闭后重新打开，然后重试。</translation>
    </message>
    <message>
        <source>The firmware file cannot be read, or it is empty. Choose the firmware file for this device.</source>
        <translation>无法读取固件文件，或文件为空。请选择适用于本设备的固件文件。</translation>
    </message>
    <message>
        <source>The transfer could not start. Try again; if it fails again, switch the device off and on.</source>
        <translation>传输未能开始。请重试；如仍失败，请将设备关闭后重新打开。</translation>
    </message>
    <message>
        <source>Another job is still using the device. Wait until it has ended, then try again.</source>
        <translation>设备仍被其他任务占用。请等待该任务结束后重试。</translation>
    </message>
    <message>
        <source>%1. Choose a folder you may write to, then export again.</source>
        <translation>%1。请选择有写入权限的文件夹，然后重新导出。</translation>
    </message>
    <message>
        <source>%1. Make room on the disk or choose another folder, then export again.</source>
        <translation>%1。请清理磁盘空间或选择其他文件夹，然后重新导出。</translation>
    </message>
    <message>
        <source>%1. Check the cable, then export again.</source>
        <translation>%1。请检查线缆，然后重新导出。</translation>
    </message>
    <message>
        <source>The job was stopped before it ended. Start it again.</source>
        <translation>任务在完成前被中止。请重新开始。</translation>
    </message>
    <message>
        <source>The device refused the firmware and stays in its boot loader. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>设备拒绝了该固件，仍停留在引导程序中。请确认该文件是本设备的固件，然后重新升级。</translation>
    </message>
    <message>
        <source>The device stopped answering during the transfer and stays in its boot loader. Check the cable, then upgrade again.</source>
        <translation>传输过程中设备停止应答，仍停留在引导程序中。请检查线缆，然后重新升级。</translation>
    </message>
    <message>
        <source>The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the connectors, then upgrade again.</source>
        <translation>线路干扰严重：数据块反复出现损坏。请检查线缆、USB 适配器和接头，然后重新升级。</translation>
    </message>
    <message>
        <source>The transfer failed: the line reported an error, or the file changed while it was sent. The device stays in its boot loader: upgrade again.</source>
        <translation>传输失败：线路报告了错误，或文件在发送过程中被修改。设备仍停留在引导程序中：请重新升级。</translation>
    </message>
    <message>
        <source>The device received the whole file but started its boot loader again, not the new firmware. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>设备已接收整个文件，但随后再次进入引导程序，而不是运行新固件。请确认该文件是本设备的固件，然后重新升级。</translation>
    </message>
    <message>
        <source>The device received the file to its end but confirmed neither the end of the transfer nor its new firmware. Check the cable, then upgrade again.</source>
        <translation>设备已接收完整个文件，但既未确认传输结束，也未确认新固件运行。请检查线缆，然后重新升级。</translation>
    </message>
    <message>
        <source>Something on the serial port answers that is not this device. Connect the device and try again.</source>
        <translation>串口上有应答，但不是本设备。请连接设备后重试。</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device. Connect the device and try again.</source>
        <translation>%1 上有应答，但不是本设备。请连接设备后重试。</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>请先升级固件</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>返回菜单</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>固件版本</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>设备状态</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>正在读取…</translation>
    </message>
    <message>
        <source>Not read</source>
        <translation>未读取</translation>
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
        <translation>语言</translation>
    </message>
</context>
<context>
    <name>LineBusyText</name>
    <message>
        <source>The device is still sending its records; waiting up to %1 s</source>
        <translation>设备仍在发送记录；最多等待 %1 秒</translation>
    </message>
    <message>
        <source>The device keeps sending; switch it off and on, then try again</source>
        <translation>设备持续发送数据；请将其关闭后重新打开，然后重试</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Device
 Information</source>
        <translation>设备信息</translation>
    </message>
    <message>
        <source>Export report</source>
        <translation>导出报告</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>固件升级</translation>
    </message>
    <message>
        <source>The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.</source>
        <translation>正在升级。现在关闭，设备将停留在引导程序中，直到下次升级。</translation>
    </message>
    <message>
        <source>Close anyway</source>
        <translation>仍然关闭</translation>
    </message>
    <message>
        <source>Keep upgrading</source>
        <translation>继续升级</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>技术支持</translation>
    </message>
    <message>
        <source>Saves the device&apos;s stored log records as a CSV report</source>
        <translation>将设备中保存的日志记录导出为 CSV 报告</translation>
    </message>
    <message>
        <source>Installs new firmware on the device from a .bin file</source>
        <translation>使用 .bin 文件为设备安装新固件</translation>
    </message>
    <message>
        <source>Reads the device&apos;s firmware version and serial number</source>
        <translation>读取设备的固件版本和序列号</translation>
    </message>
    <message>
        <source>Chooses the language of the window</source>
        <translation>选择窗口的显示语言</translation>
    </message>
    <message>
        <source>Saves a file for support with the logs, the settings and the service history</source>
        <translation>保存包含日志、设置和服务记录的技术支持文件</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>QSerialUser</name>
    <message>
        <source>No serial port available</source>
        <translation>没有可用的串口</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>打开串口失败</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>串口正被其他程序占用</translation>
    </message>
    <message>
        <source>Upgrade already running</source>
        <translation>升级已在进行中</translation>
    </message>
    <message>
        <source>The device is busy with another job</source>
        <translation>设备正忙于其他任务</translation>
    </message>
    <message>
        <source>Cannot read the firmware file %1</source>
        <translation>无法读取固件文件 %1</translation>
    </message>
    <message>
        <source>The firmware file %1 is empty</source>
        <translation>固件文件 %1 为空</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>设备持续发送数据：线路在 %1 秒内未恢复空闲</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>%1 上有应答，但不是本设备</translation>
    </message>
</context>
<context>
    <name>SerialWorker</name>
    <message>
        <source>No serial port available</source>
        <translation>没有可用的串口</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>打开串口失败</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>请先升级固件</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>串口正被其他程序占用</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes, and no device answered</source>
        <translation>只收到了本程序自己发出的请求：线路将发出的数据原样返回，没有任何设备应答</translation>
    </message>
    <message>
        <source>The device was disconnected during the request</source>
        <translation>请求过程中设备已断开连接</translation>
    </message>
    <message>
        <source>Cannot create the report file %1: %2</source>
        <translation>无法创建报告文件 %1：%2</translation>
    </message>
    <message>
        <source>The device was disconnected during the export</source>
        <translation>导出过程中设备已断开连接</translation>
    </message>
    <message>
        <source>The export was interrupted</source>
        <translation>导出已中断</translation>
    </message>
    <message>
        <source>Cannot write the report file %1: %2</source>
        <translation>无法写入报告文件 %1：%2</translation>
    </message>
    <message>
        <source>Cannot rename the report file %1 to %2: %3</source>
        <translation>无法将报告文件 %1 重命名为 %2：%3</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>设备持续发送数据：线路在 %1 秒内未恢复空闲</translation>
    </message>
    <message numerus="yes">
        <source>The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped</source>
        <translation>
            <numerusform>设备未停止发送：已收到超过 %1 字节，而设备声明的记录为 %n 条；导出已停止</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device sent none of the %n records it announced</source>
        <translation>
            <numerusform>设备声明了 %n 条记录，但一条也未发送</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The report holds %1 of the %n records the device announced</source>
        <translation>
            <numerusform>报告包含设备声明的 %n 条记录中的 %1 条</numerusform>
        </translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1。%2</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>%1 上有应答，但不是本设备</translation>
    </message>
</context>
<context>
    <name>SupportEntry</name>
    <message>
        <source>Save the support file</source>
        <translation>保存技术支持文件</translation>
    </message>
    <message>
        <source>Zip archives (*.zip)</source>
        <translation>Zip 压缩包 (*.zip)</translation>
    </message>
    <message>
        <source>The support file %1 has been written. Send it to support.</source>
        <translation>技术支持文件 %1 已写入。请将其发送给技术支持。</translation>
    </message>
    <message>
        <source>The support file could not be written: %1</source>
        <translation>无法写入技术支持文件：%1</translation>
    </message>
</context>
<context>
    <name>SupportFile</name>
    <message>
        <source>its files could not be packed</source>
        <translation>无法打包其中的文件</translation>
    </message>
    <message>
        <source>%1 cannot be created (%2)</source>
        <translation>无法创建 %1（%2）</translation>
    </message>
    <message>
        <source>%1 could not be written whole (%2)</source>
        <translation>%1 未能完整写入（%2）</translation>
    </message>
</context>
<context>
    <name>UpgradeWidget</name>
    <message>
        <source>Import upgrade file</source>
        <translation>导入升级文件</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>升级</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>选择路径</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;选择路径&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>during upgrade</source>
        <translation>升级中……</translation>
    </message>
    <message>
        <source>Upgrade completed</source>
        <translation>升级完成</translation>
    </message>
    <message>
        <source>Upgrade failed</source>
        <translation>升级失败</translation>
    </message>
    <message>
        <source>The device runs %1</source>
        <translation>设备固件版本：%1</translation>
    </message>
    <message>
        <source>Firmware %1 → %2</source>
        <translation>设备固件版本：%1 → %2</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>设备已应答；版本未知</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>设备尚未应答</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>返回菜单</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>固件文件</translation>
    </message>
    <message>
        <source>Starts the upgrade with the chosen file</source>
        <translation>使用所选文件开始升级</translation>
    </message>
    <message>
        <source>Chooses the firmware file</source>
        <translation>选择固件文件</translation>
    </message>
    <message>
        <source>Upgrade status</source>
        <translation>升级状态</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>升级进度</translation>
    </message>
</context>
</TS>
