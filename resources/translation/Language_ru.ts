<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
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
    <message>
        <source>Back to the menu</source>
        <translation>Назад в меню</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>Папка для отчёта</translation>
    </message>
    <message>
        <source>Starts the export into the chosen folder</source>
        <translation>Запускает экспорт в выбранную папку</translation>
    </message>
    <message>
        <source>Chooses the folder for the report</source>
        <translation>Выбирает папку для отчёта</translation>
    </message>
    <message>
        <source>Export status</source>
        <translation>Состояние экспорта</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Ход экспорта</translation>
    </message>
</context>
<context>
    <name>FailureAdvice</name>
    <message>
        <source>No serial port could be opened. Connect the device and try again.</source>
        <translation>Не удалось открыть ни один COM-порт. Подключите устройство и повторите попытку.</translation>
    </message>
    <message>
        <source>A serial port is in use by another program. Close that program and try again.</source>
        <translation>COM-порт занят другой программой. Закройте эту программу и повторите попытку.</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program and try again.</source>
        <translation>Порт %1 занят другой программой. Закройте эту программу и повторите попытку.</translation>
    </message>
    <message>
        <source>No device answered. Check that it is switched on and connected, then try again.</source>
        <translation>Ни одно устройство не ответило. Убедитесь, что устройство включено и подключено, и повторите попытку.</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect the device and try again.</source>
        <translation>Получен только собственный запрос: линия возвращает эхо (петлевая заглушка или модем), ни одно устройство не ответило. Подключите устройство и повторите попытку.</translation>
    </message>
    <message>
        <source>The connection to the device was lost (unplugged or switched off). Connect it and try again.</source>
        <translation>Связь с устройством потеряна (оно отсоединено или выключено). Подключите его и повторите попытку.</translation>
    </message>
    <message>
        <source>The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device first.</source>
        <translation>Устройство работает в загрузчике: прошивка отсутствует или обновление не было завершено. Сначала обновите прошивку.</translation>
    </message>
    <message>
        <source>The device did not answer a command as expected. Check the cable and try again.</source>
        <translation>Устройство не дало ожидаемого ответа на команду. Проверьте кабель и повторите попытку.</translation>
    </message>
    <message>
        <source>The device did not get ready to receive the firmware. Switch it off and on, then try again.</source>
        <translation>Устройство не подготовилось к приёму прошивки. Выключите и снова включите его, затем повторите попытку.</translation>
    </message>
    <message>
        <source>The firmware file cannot be read, or it is empty. Choose the firmware file for this device.</source>
        <translation>Не удаётся прочитать файл прошивки, или он пуст. Выберите файл прошивки для этого устройства.</translation>
    </message>
    <message>
        <source>The transfer could not start. Try again; if it fails again, switch the device off and on.</source>
        <translation>Не удалось начать передачу. Повторите попытку; если снова не получится, выключите и снова включите устройство.</translation>
    </message>
    <message>
        <source>Another job is still using the device. Wait until it has ended, then try again.</source>
        <translation>Устройство ещё занято другой задачей. Дождитесь её завершения и повторите попытку.</translation>
    </message>
    <message>
        <source>%1. Choose a folder you may write to, then export again.</source>
        <translation>%1. Выберите папку, доступную для записи, и повторите экспорт.</translation>
    </message>
    <message>
        <source>%1. Make room on the disk or choose another folder, then export again.</source>
        <translation>%1. Освободите место на диске или выберите другую папку, затем повторите экспорт.</translation>
    </message>
    <message>
        <source>%1. Check the cable, then export again.</source>
        <translation>%1. Проверьте кабель и повторите экспорт.</translation>
    </message>
    <message>
        <source>The job was stopped before it ended. Start it again.</source>
        <translation>Задача была прервана до завершения. Запустите её снова.</translation>
    </message>
    <message>
        <source>The device refused the firmware and stays in its boot loader. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>Устройство отклонило прошивку и остаётся в загрузчике. Убедитесь, что файл является прошивкой для этого устройства, и повторите обновление.</translation>
    </message>
    <message>
        <source>The device stopped answering during the transfer and stays in its boot loader. Check the cable, then upgrade again.</source>
        <translation>Устройство перестало отвечать во время передачи и остаётся в загрузчике. Проверьте кабель и повторите обновление.</translation>
    </message>
    <message>
        <source>The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the connectors, then upgrade again.</source>
        <translation>Помехи на линии: блоки данных раз за разом приходили повреждёнными. Проверьте кабель, USB-адаптер и разъёмы, затем повторите обновление.</translation>
    </message>
    <message>
        <source>The transfer failed: the line reported an error, or the file changed while it was sent. The device stays in its boot loader: upgrade again.</source>
        <translation>Передача не удалась: линия сообщила об ошибке, или файл изменился во время отправки. Устройство остаётся в загрузчике: повторите обновление.</translation>
    </message>
    <message>
        <source>The device received the whole file but started its boot loader again, not the new firmware. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>Устройство приняло весь файл, но снова запустило загрузчик, а не новую прошивку. Убедитесь, что файл является прошивкой для этого устройства, и повторите обновление.</translation>
    </message>
    <message>
        <source>The device received the file to its end but confirmed neither the end of the transfer nor its new firmware. Check the cable, then upgrade again.</source>
        <translation>Устройство приняло файл до конца, но не подтвердило ни завершение передачи, ни запуск новой прошивки. Проверьте кабель и повторите обновление.</translation>
    </message>
    <message>
        <source>Something on the serial port answers that is not this device. Connect the device and try again.</source>
        <translation>На последовательном порту отвечает что-то, что не является этим устройством. Подключите устройство и повторите попытку.</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device. Connect the device and try again.</source>
        <translation>На порту %1 отвечает что-то, что не является этим устройством. Подключите устройство и повторите попытку.</translation>
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
        <translation>Прошивка:</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Устройство не подключено</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Сначала обновите прошивку</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Назад в меню</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Серийный номер</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Версия прошивки</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>Состояние устройства</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Чтение…</translation>
    </message>
    <message>
        <source>Not read</source>
        <translation>Не прочитано</translation>
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
    <name>LineBusyText</name>
    <message>
        <source>The device is still sending its records; waiting up to %1 s</source>
        <translation>Устройство ещё передаёт свои записи; ожидание до %1 с</translation>
    </message>
    <message>
        <source>The device keeps sending; switch it off and on, then try again</source>
        <translation>Устройство не прекращает передачу; выключите и снова включите его, затем повторите попытку</translation>
    </message>
</context>
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
    <message>
        <source>The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.</source>
        <translation>Идёт обновление. Если закрыть программу сейчас, устройство останется в загрузчике до следующего обновления.</translation>
    </message>
    <message>
        <source>Close anyway</source>
        <translation>Всё равно закрыть</translation>
    </message>
    <message>
        <source>Keep upgrading</source>
        <translation>Продолжить обновление</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Поддержка</translation>
    </message>
    <message>
        <source>Saves the device&apos;s stored log records as a CSV report</source>
        <translation>Сохраняет записи журнала устройства в отчёт CSV</translation>
    </message>
    <message>
        <source>Installs new firmware on the device from a .bin file</source>
        <translation>Устанавливает новую прошивку на устройство из файла .bin</translation>
    </message>
    <message>
        <source>Reads the device&apos;s firmware version and serial number</source>
        <translation>Считывает версию прошивки и серийный номер устройства</translation>
    </message>
    <message>
        <source>Chooses the language of the window</source>
        <translation>Выбирает язык окна</translation>
    </message>
    <message>
        <source>Saves a file for support with the logs, the settings and the service history</source>
        <translation>Сохраняет файл для поддержки с журналами, настройками и историей обслуживания</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Свернуть</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
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
    <message>
        <source>The serial port is in use by another program</source>
        <translation>COM-порт занят другой программой</translation>
    </message>
    <message>
        <source>Upgrade already running</source>
        <translation>Обновление уже выполняется</translation>
    </message>
    <message>
        <source>The device is busy with another job</source>
        <translation>Устройство занято другой задачей</translation>
    </message>
    <message>
        <source>Cannot read the firmware file %1</source>
        <translation>Не удаётся прочитать файл прошивки %1</translation>
    </message>
    <message>
        <source>The firmware file %1 is empty</source>
        <translation>Файл прошивки %1 пуст</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>Устройство не прекращает передачу: линия не затихла в течение %1 с</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>На порту %1 отвечает что-то, что не является этим устройством</translation>
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
    <message>
        <source>The serial port is in use by another program</source>
        <translation>COM-порт занят другой программой</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes, and no device answered</source>
        <translation>Получен только собственный запрос: линия возвращает отправленные данные (эхо), ни одно устройство не ответило</translation>
    </message>
    <message>
        <source>The device was disconnected during the request</source>
        <translation>Устройство было отключено во время запроса</translation>
    </message>
    <message>
        <source>Cannot create the report file %1: %2</source>
        <translation>Не удаётся создать файл отчёта %1: %2</translation>
    </message>
    <message>
        <source>The device was disconnected during the export</source>
        <translation>Устройство было отключено во время экспорта</translation>
    </message>
    <message>
        <source>The export was interrupted</source>
        <translation>Экспорт был прерван</translation>
    </message>
    <message>
        <source>Cannot write the report file %1: %2</source>
        <translation>Не удаётся записать файл отчёта %1: %2</translation>
    </message>
    <message>
        <source>Cannot rename the report file %1 to %2: %3</source>
        <translation>Не удаётся переименовать файл отчёта %1 в %2: %3</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>Устройство не прекращает передачу: линия не затихла в течение %1 с</translation>
    </message>
    <message numerus="yes">
        <source>The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped</source>
        <translation>
            <numerusform>Устройство не прекратило передачу: получено более %1 байт на %n заявленную запись; экспорт остановлен</numerusform>
            <numerusform>Устройство не прекратило передачу: получено более %1 байт на %n заявленные записи; экспорт остановлен</numerusform>
            <numerusform>Устройство не прекратило передачу: получено более %1 байт на %n заявленных записей; экспорт остановлен</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device sent none of the %n records it announced</source>
        <translation>
            <numerusform>Устройство заявило %n запись, но не отправило ни одной</numerusform>
            <numerusform>Устройство заявило %n записи, но не отправило ни одной</numerusform>
            <numerusform>Устройство заявило %n записей, но не отправило ни одной</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The report holds %1 of the %n records the device announced</source>
        <translation>
            <numerusform>Устройство заявило %n запись, из них в отчёте %1</numerusform>
            <numerusform>Устройство заявило %n записи, из них в отчёте %1</numerusform>
            <numerusform>Устройство заявило %n записей, из них в отчёте %1</numerusform>
        </translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>На порту %1 отвечает что-то, что не является этим устройством</translation>
    </message>
</context>
<context>
    <name>SupportEntry</name>
    <message>
        <source>Save the support file</source>
        <translation>Сохранить файл для поддержки</translation>
    </message>
    <message>
        <source>Zip archives (*.zip)</source>
        <translation>Архивы zip (*.zip)</translation>
    </message>
    <message>
        <source>The support file %1 has been written. Send it to support.</source>
        <translation>Файл для поддержки %1 записан. Отправьте его в службу поддержки.</translation>
    </message>
    <message>
        <source>The support file could not be written: %1</source>
        <translation>Не удалось записать файл для поддержки: %1</translation>
    </message>
</context>
<context>
    <name>SupportFile</name>
    <message>
        <source>its files could not be packed</source>
        <translation>не удалось упаковать его файлы</translation>
    </message>
    <message>
        <source>%1 cannot be created (%2)</source>
        <translation>не удаётся создать %1 (%2)</translation>
    </message>
    <message>
        <source>%1 could not be written whole (%2)</source>
        <translation>не удалось записать %1 целиком (%2)</translation>
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
    <message>
        <source>The device runs %1</source>
        <translation>Прошивка устройства: %1</translation>
    </message>
    <message>
        <source>Firmware %1 → %2</source>
        <translation>Прошивка устройства: %1 → %2</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>Устройство отвечает; версия неизвестна</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>Устройство ещё не ответило</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Назад в меню</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>Файл прошивки</translation>
    </message>
    <message>
        <source>Starts the upgrade with the chosen file</source>
        <translation>Запускает обновление с выбранным файлом</translation>
    </message>
    <message>
        <source>Chooses the firmware file</source>
        <translation>Выбирает файл прошивки</translation>
    </message>
    <message>
        <source>Upgrade status</source>
        <translation>Состояние обновления</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>Ход обновления</translation>
    </message>
</context>
</TS>
