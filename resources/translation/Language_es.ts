<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en">
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
    <message>
        <source>Back to the menu</source>
        <translation>Volver al menú</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>Carpeta del informe</translation>
    </message>
    <message>
        <source>Starts the export into the chosen folder</source>
        <translation>Inicia la exportación en la carpeta elegida</translation>
    </message>
    <message>
        <source>Chooses the folder for the report</source>
        <translation>Elige la carpeta del informe</translation>
    </message>
    <message>
        <source>Export status</source>
        <translation>Estado de la exportación</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Progreso de la exportación</translation>
    </message>
</context>
<context>
    <name>FailureAdvice</name>
    <message>
        <source>No serial port could be opened. Connect the device and try again.</source>
        <translation>No se pudo abrir ningún puerto serie. Conecte el dispositivo e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>A serial port is in use by another program. Close that program and try again.</source>
        <translation>Un puerto serie está en uso por otro programa. Cierre ese programa e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program and try again.</source>
        <translation>El puerto %1 está en uso por otro programa. Cierre ese programa e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>No device answered. Check that it is switched on and connected, then try again.</source>
        <translation>Ningún dispositivo respondió. Compruebe que está encendido y conectado e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect the device and try again.</source>
        <translation>Solo volvió la propia petición: la línea devuelve el eco (un conector de bucle o un módem) y ningún dispositivo respondió. Conecte el dispositivo e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>The connection to the device was lost (unplugged or switched off). Connect it and try again.</source>
        <translation>Se perdió la conexión con el dispositivo (desconectado o apagado). Vuelva a conectarlo e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device first.</source>
        <translation>El dispositivo está en su cargador de arranque: falta su firmware o una actualización no terminó. Actualice primero el dispositivo.</translation>
    </message>
    <message>
        <source>The device did not answer a command as expected. Check the cable and try again.</source>
        <translation>El dispositivo no respondió a un comando como se esperaba. Compruebe el cable e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>The device did not get ready to receive the firmware. Switch it off and on, then try again.</source>
        <translation>El dispositivo no se preparó para recibir el firmware. Apáguelo, vuelva a encenderlo e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>The firmware file cannot be read, or it is empty. Choose the firmware file for this device.</source>
        <translation>El archivo de firmware no se puede leer o está vacío. Elija el archivo de firmware de este dispositivo.</translation>
    </message>
    <message>
        <source>The transfer could not start. Try again; if it fails again, switch the device off and on.</source>
        <translation>No se pudo iniciar la transferencia. Inténtelo de nuevo; si vuelve a fallar, apague el dispositivo y vuelva a encenderlo.</translation>
    </message>
    <message>
        <source>Another job is still using the device. Wait until it has ended, then try again.</source>
        <translation>Otra tarea sigue usando el dispositivo. Espere a que termine e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>%1. Choose a folder you may write to, then export again.</source>
        <translation>%1. Elija una carpeta en la que pueda escribir y vuelva a exportar.</translation>
    </message>
    <message>
        <source>%1. Make room on the disk or choose another folder, then export again.</source>
        <translation>%1. Libere espacio en el disco o elija otra carpeta y vuelva a exportar.</translation>
    </message>
    <message>
        <source>%1. Check the cable, then export again.</source>
        <translation>%1. Compruebe el cable y vuelva a exportar.</translation>
    </message>
    <message>
        <source>The job was stopped before it ended. Start it again.</source>
        <translation>La tarea se detuvo antes de terminar. Vuelva a iniciarla.</translation>
    </message>
    <message>
        <source>The device refused the firmware and stays in its boot loader. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>El dispositivo rechazó el firmware y permanece en su cargador de arranque. Compruebe que el archivo es un firmware para este dispositivo y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The device stopped answering during the transfer and stays in its boot loader. Check the cable, then upgrade again.</source>
        <translation>El dispositivo dejó de responder durante la transferencia y permanece en su cargador de arranque. Compruebe el cable y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the connectors, then upgrade again.</source>
        <translation>La línea tiene ruido: llegaron bloques dañados una y otra vez. Compruebe el cable, el adaptador USB y los conectores, y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The transfer failed: the line reported an error, or the file changed while it was sent. The device stays in its boot loader: upgrade again.</source>
        <translation>La transferencia falló: la línea notificó un error o el archivo cambió mientras se enviaba. El dispositivo permanece en su cargador de arranque: vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The device received the whole file but started its boot loader again, not the new firmware. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>El dispositivo recibió el archivo completo, pero volvió a arrancar su cargador de arranque en lugar del nuevo firmware. Compruebe que el archivo es un firmware para este dispositivo y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>The device received the file to its end but confirmed neither the end of the transfer nor its new firmware. Check the cable, then upgrade again.</source>
        <translation>El dispositivo recibió el archivo hasta el final, pero no confirmó ni el fin de la transferencia ni su nuevo firmware. Compruebe el cable y vuelva a actualizar.</translation>
    </message>
    <message>
        <source>Something on the serial port answers that is not this device. Connect the device and try again.</source>
        <translation>Algo responde en el puerto serie, pero no es este dispositivo. Conecte el dispositivo e inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device. Connect the device and try again.</source>
        <translation>Algo responde en %1, pero no es este dispositivo. Conecte el dispositivo e inténtelo de nuevo.</translation>
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
    <message>
        <source>Back to the menu</source>
        <translation>Volver al menú</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Número de serie</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Versión firmware</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>Estado del dispositivo</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Leyendo…</translation>
    </message>
    <message>
        <source>Not read</source>
        <translation>No leído</translation>
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
    <name>LineBusyText</name>
    <message>
        <source>The device is still sending its records; waiting up to %1 s</source>
        <translation>El dispositivo aún está enviando sus registros; esperando hasta %1 s</translation>
    </message>
    <message>
        <source>The device keeps sending; switch it off and on, then try again</source>
        <translation>El dispositivo no deja de enviar; apáguelo, vuelva a encenderlo e inténtelo de nuevo</translation>
    </message>
</context>
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
    <message>
        <source>The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.</source>
        <translation>La actualización está en curso. Si cierra ahora, el dispositivo se quedará en su cargador de arranque hasta la próxima actualización.</translation>
    </message>
    <message>
        <source>Close anyway</source>
        <translation>Cerrar de todos modos</translation>
    </message>
    <message>
        <source>Keep upgrading</source>
        <translation>Seguir actualizando</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Soporte</translation>
    </message>
    <message>
        <source>Saves the device&apos;s stored log records as a CSV report</source>
        <translation>Guarda los registros almacenados en el dispositivo como informe CSV</translation>
    </message>
    <message>
        <source>Installs new firmware on the device from a .bin file</source>
        <translation>Instala un nuevo firmware en el dispositivo desde un archivo .bin</translation>
    </message>
    <message>
        <source>Reads the device&apos;s firmware version and serial number</source>
        <translation>Lee la versión de firmware y el número de serie del dispositivo</translation>
    </message>
    <message>
        <source>Chooses the language of the window</source>
        <translation>Elige el idioma de la ventana</translation>
    </message>
    <message>
        <source>Saves a file for support with the logs, the settings and the service history</source>
        <translation>Guarda un archivo de soporte con los archivos de registro, la configuración y el historial de servicio</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimizar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
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
    <message>
        <source>The serial port is in use by another program</source>
        <translation>El puerto serie está en uso por otro programa</translation>
    </message>
    <message>
        <source>Upgrade already running</source>
        <translation>Ya hay una actualización en curso</translation>
    </message>
    <message>
        <source>The device is busy with another job</source>
        <translation>El dispositivo está ocupado con otra tarea</translation>
    </message>
    <message>
        <source>Cannot read the firmware file %1</source>
        <translation>No se puede leer el archivo de firmware %1</translation>
    </message>
    <message>
        <source>The firmware file %1 is empty</source>
        <translation>El archivo de firmware %1 está vacío</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>El dispositivo no deja de enviar: la línea no quedó en silencio en %1 s</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Algo responde en %1, pero no es este dispositivo</translation>
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
    <message>
        <source>The serial port is in use by another program</source>
        <translation>El puerto serie está en uso por otro programa</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes, and no device answered</source>
        <translation>Solo volvió la propia petición: la línea devuelve el eco y ningún dispositivo respondió</translation>
    </message>
    <message>
        <source>The device was disconnected during the request</source>
        <translation>El dispositivo se desconectó durante la petición</translation>
    </message>
    <message>
        <source>Cannot create the report file %1: %2</source>
        <translation>No se puede crear el archivo de informe %1: %2</translation>
    </message>
    <message>
        <source>The device was disconnected during the export</source>
        <translation>El dispositivo se desconectó durante la exportación</translation>
    </message>
    <message>
        <source>The export was interrupted</source>
        <translation>La exportación se interrumpió</translation>
    </message>
    <message>
        <source>Cannot write the report file %1: %2</source>
        <translation>No se puede escribir el archivo de informe %1: %2</translation>
    </message>
    <message>
        <source>Cannot rename the report file %1 to %2: %3</source>
        <translation>No se puede cambiar el nombre del archivo de informe %1 a %2: %3</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>El dispositivo no deja de enviar: la línea no quedó en silencio en %1 s</translation>
    </message>
    <message numerus="yes">
        <source>The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped</source>
        <translation>
            <numerusform>El dispositivo no dejó de enviar: llegaron más de %1 bytes para %n registro anunciado; se detuvo la exportación</numerusform>
            <numerusform>El dispositivo no dejó de enviar: llegaron más de %1 bytes para %n registros anunciados; se detuvo la exportación</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device sent none of the %n records it announced</source>
        <translation>
            <numerusform>El dispositivo anunció %n registro, pero no lo envió</numerusform>
            <numerusform>El dispositivo no envió ninguno de los %n registros anunciados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The report holds %1 of the %n records the device announced</source>
        <translation>
            <numerusform>El informe contiene %1 de %n registro anunciado por el dispositivo</numerusform>
            <numerusform>El informe contiene %1 de los %n registros anunciados por el dispositivo</numerusform>
        </translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Algo responde en %1, pero no es este dispositivo</translation>
    </message>
</context>
<context>
    <name>SupportEntry</name>
    <message>
        <source>Save the support file</source>
        <translation>Guardar el archivo de soporte</translation>
    </message>
    <message>
        <source>Zip archives (*.zip)</source>
        <translation>Archivos zip (*.zip)</translation>
    </message>
    <message>
        <source>The support file %1 has been written. Send it to support.</source>
        <translation>Se ha guardado el archivo de soporte %1. Envíelo al servicio de soporte.</translation>
    </message>
    <message>
        <source>The support file could not be written: %1</source>
        <translation>No se pudo guardar el archivo de soporte: %1</translation>
    </message>
</context>
<context>
    <name>SupportFile</name>
    <message>
        <source>its files could not be packed</source>
        <translation>no se pudieron empaquetar sus archivos</translation>
    </message>
    <message>
        <source>%1 cannot be created (%2)</source>
        <translation>no se puede crear %1 (%2)</translation>
    </message>
    <message>
        <source>%1 could not be written whole (%2)</source>
        <translation>%1 no se pudo escribir completo (%2)</translation>
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
        <translation>El dispositivo responde; versión desconocida</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>El dispositivo aún no ha respondido</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Volver al menú</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>Archivo de firmware</translation>
    </message>
    <message>
        <source>Starts the upgrade with the chosen file</source>
        <translation>Inicia la actualización con el archivo elegido</translation>
    </message>
    <message>
        <source>Chooses the firmware file</source>
        <translation>Elige el archivo de firmware</translation>
    </message>
    <message>
        <source>Upgrade status</source>
        <translation>Estado de la actualización</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>Progreso de la actualización</translation>
    </message>
</context>
</TS>
