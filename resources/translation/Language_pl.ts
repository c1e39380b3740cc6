<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL" sourcelanguage="en">
<context>
    <name>ExportWidget</name>
    <message>
        <source>Export report</source>
        <translation>Eksport raportu</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Eksportuj</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Przeglądaj</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Przeglądaj&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>File exporting</source>
        <translation>Trwa eksport pliku...</translation>
    </message>
    <message>
        <source>File export successful</source>
        <translation>Plik wyeksportowany pomyślnie</translation>
    </message>
    <message>
        <source>File export failed</source>
        <translation>Eksport pliku nie powiódł się</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Urządzenie nie jest podłączone</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Najpierw zaktualizuj firmware</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Powrót do menu</translation>
    </message>
    <message>
        <source>Report folder</source>
        <translation>Folder raportu</translation>
    </message>
    <message>
        <source>Starts the export into the chosen folder</source>
        <translation>Rozpoczyna eksport do wybranego folderu</translation>
    </message>
    <message>
        <source>Chooses the folder for the report</source>
        <translation>Wybiera folder na raport</translation>
    </message>
    <message>
        <source>Export status</source>
        <translation>Stan eksportu</translation>
    </message>
    <message>
        <source>Export progress</source>
        <translation>Postęp eksportu</translation>
    </message>
</context>
<context>
    <name>FailureAdvice</name>
    <message>
        <source>No serial port could be opened. Connect the device and try again.</source>
        <translation>Nie udało się otworzyć żadnego portu szeregowego. Podłącz urządzenie i spróbuj ponownie.</translation>
    </message>
    <message>
        <source>A serial port is in use by another program. Close that program and try again.</source>
        <translation>Port szeregowy jest używany przez inny program. Zamknij ten program i spróbuj ponownie.</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program. Close that program and try again.</source>
        <translation>Port %1 jest używany przez inny program. Zamknij ten program i spróbuj ponownie.</translation>
    </message>
    <message>
        <source>No device answered. Check that it is switched on and connected, then try again.</source>
        <translation>Żadne urządzenie nie odpowiedziało. Sprawdź, czy jest włączone i podłączone, a następnie spróbuj ponownie.</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes (a loopback plug or a modem) and no device answered. Connect the device and try again.</source>
        <translation>Wróciło tylko własne zapytanie: linia odsyła echo (wtyk pętli zwrotnej lub modem) i żadne urządzenie nie odpowiedziało. Podłącz urządzenie i spróbuj ponownie.</translation>
    </message>
    <message>
        <source>The connection to the device was lost (unplugged or switched off). Connect it and try again.</source>
        <translation>Utracono połączenie z urządzeniem (odłączone lub wyłączone). Podłącz je i spróbuj ponownie.</translation>
    </message>
    <message>
        <source>The device runs its boot loader: its firmware is missing, or an upgrade did not end. Upgrade the device first.</source>
        <translation>Urządzenie działa w programie rozruchowym: brak firmware albo aktualizacja nie została dokończona. Najpierw zaktualizuj urządzenie.</translation>
    </message>
    <message>
        <source>The device did not answer a command as expected. Check the cable and try again.</source>
        <translation>Urządzenie nie odpowiedziało na polecenie zgodnie z oczekiwaniami. Sprawdź kabel i spróbuj ponownie.</translation>
    </message>
    <message>
        <source>The device did not get ready to receive the firmware. Switch it off and on, then try again.</source>
        <translation>Urządzenie nie przygotowało się do odbioru firmware. Wyłącz je i włącz ponownie, a następnie spróbuj jeszcze raz.</translation>
    </message>
    <message>
        <source>The firmware file cannot be read, or it is empty. Choose the firmware file for this device.</source>
        <translation>Nie można odczytać pliku firmware albo jest on pusty. Wybierz plik firmware przeznaczony dla tego urządzenia.</translation>
    </message>
    <message>
        <source>The transfer could not start. Try again; if it fails again, switch the device off and on.</source>
        <translation>Nie udało się rozpocząć przesyłania. Spróbuj ponownie; jeśli znów się nie uda, wyłącz i włącz urządzenie.</translation>
    </message>
    <message>
        <source>Another job is still using the device. Wait until it has ended, then try again.</source>
        <translation>Inne zadanie wciąż korzysta z urządzenia. Poczekaj, aż się zakończy, a następnie spróbuj ponownie.</translation>
    </message>
    <message>
        <source>%1. Choose a folder you may write to, then export again.</source>
        <translation>%1. Wybierz folder, w którym można zapisywać, a następnie wyeksportuj ponownie.</translation>
    </message>
    <message>
        <source>%1. Make room on the disk or choose another folder, then export again.</source>
        <translation>%1. Zwolnij miejsce na dysku lub wybierz inny folder, a następnie wyeksportuj ponownie.</translation>
    </message>
    <message>
        <source>%1. Check the cable, then export again.</source>
        <translation>%1. Sprawdź kabel, a następnie wyeksportuj ponownie.</translation>
    </message>
    <message>
        <source>The job was stopped before it ended. Start it again.</source>
        <translation>Zadanie zostało zatrzymane przed zakończeniem. Uruchom je ponownie.</translation>
    </message>
    <message>
        <source>The device refused the firmware and stays in its boot loader. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>Urządzenie odrzuciło firmware i pozostaje w programie rozruchowym. Sprawdź, czy plik zawiera firmware dla tego urządzenia, a następnie ponów aktualizację.</translation>
    </message>
    <message>
        <source>The device stopped answering during the transfer and stays in its boot loader. Check the cable, then upgrade again.</source>
        <translation>Urządzenie przestało odpowiadać podczas przesyłania i pozostaje w programie rozruchowym. Sprawdź kabel, a następnie ponów aktualizację.</translation>
    </message>
    <message>
        <source>The line is noisy: blocks arrived damaged again and again. Check the cable, the USB adapter and the connectors, then upgrade again.</source>
        <translation>Linia jest zakłócona: bloki raz po raz docierały uszkodzone. Sprawdź kabel, adapter USB i złącza, a następnie ponów aktualizację.</translation>
    </message>
    <message>
        <source>The transfer failed: the line reported an error, or the file changed while it was sent. The device stays in its boot loader: upgrade again.</source>
        <translation>Przesyłanie nie powiodło się: linia zgłosiła błąd lub plik zmienił się podczas wysyłania. Urządzenie pozostaje w programie rozruchowym: ponów aktualizację.</translation>
    </message>
    <message>
        <source>The device received the whole file but started its boot loader again, not the new firmware. Check that the file is firmware for this device, then upgrade again.</source>
        <translation>Urządzenie odebrało cały plik, ale ponownie uruchomiło program rozruchowy zamiast nowego firmware. Sprawdź, czy plik zawiera firmware dla tego urządzenia, a następnie ponów aktualizację.</translation>
    </message>
    <message>
        <source>The device received the file to its end but confirmed neither the end of the transfer nor its new firmware. Check the cable, then upgrade again.</source>
        <translation>Urządzenie odebrało plik do końca, ale nie potwierdziło ani zakończenia transferu, ani nowego firmware. Sprawdź kabel, a następnie ponów aktualizację.</translation>
    </message>
    <message>
        <source>Something on the serial port answers that is not this device. Connect the device and try again.</source>
        <translation>Na porcie szeregowym odpowiada coś, co nie jest tym urządzeniem. Podłącz urządzenie i spróbuj ponownie.</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device. Connect the device and try again.</source>
        <translation>Na porcie %1 odpowiada coś, co nie jest tym urządzeniem. Podłącz urządzenie i spróbuj ponownie.</translation>
    </message>
</context>
<context>
    <name>InfoWidget</name>
    <message>
        <source>Device Information</source>
        <translation>Informacje o urządzeniu</translation>
    </message>
    <message>
        <source>SN:</source>
        <translation>Nr seryjny:</translation>
    </message>
    <message>
        <source>Firmware version:</source>
        <translation>Wersja firmware:</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Urządzenie nie jest podłączone</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Najpierw zaktualizuj firmware</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Powrót do menu</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Numer seryjny</translation>
    </message>
    <message>
        <source>Firmware version</source>
        <translation>Wersja firmware</translation>
    </message>
    <message>
        <source>Device status</source>
        <translation>Stan urządzenia</translation>
    </message>
    <message>
        <source>Reading…</source>
        <translation>Odczyt…</translation>
    </message>
    <message>
        <source>Not read</source>
        <translation>Nie odczytano</translation>
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
        <translation>Język</translation>
    </message>
</context>
<context>
    <name>LineBusyText</name>
    <message>
        <source>The device is still sending its records; waiting up to %1 s</source>
        <translation>Urządzenie wciąż wysyła swoje rekordy; oczekiwanie do %1 s</translation>
    </message>
    <message>
        <source>The device keeps sending; switch it off and on, then try again</source>
        <translation>Urządzenie nie przestaje wysyłać; wyłącz je i włącz ponownie, a następnie spróbuj jeszcze raz</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Device
 Information</source>
        <translation>Informacje
o urządzeniu</translation>
    </message>
    <message>
        <source>Export report</source>
        <translation>Eksport
raportu</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Język</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualizacja</translation>
    </message>
    <message>
        <source>The upgrade is running. Closing now leaves the device in its boot loader until the next upgrade.</source>
        <translation>Trwa aktualizacja. Zamknięcie teraz pozostawi urządzenie w programie rozruchowym do następnej aktualizacji.</translation>
    </message>
    <message>
        <source>Close anyway</source>
        <translation>Zamknij mimo to</translation>
    </message>
    <message>
        <source>Keep upgrading</source>
        <translation>Kontynuuj aktualizację</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Pomoc techniczna</translation>
    </message>
    <message>
        <source>Saves the device&apos;s stored log records as a CSV report</source>
        <translation>Zapisuje rekordy dziennika urządzenia jako raport CSV</translation>
    </message>
    <message>
        <source>Installs new firmware on the device from a .bin file</source>
        <translation>Instaluje nowy firmware w urządzeniu z pliku .bin</translation>
    </message>
    <message>
        <source>Reads the device&apos;s firmware version and serial number</source>
        <translation>Odczytuje wersję firmware i numer seryjny urządzenia</translation>
    </message>
    <message>
        <source>Chooses the language of the window</source>
        <translation>Wybiera język okna</translation>
    </message>
    <message>
        <source>Saves a file for support with the logs, the settings and the service history</source>
        <translation>Zapisuje plik dla pomocy technicznej z dziennikami, ustawieniami i historią serwisową</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimalizuj</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
</context>
<context>
    <name>QSerialUser</name>
    <message>
        <source>No serial port available</source>
        <translation>Brak dostępnego portu szeregowego</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Nie można otworzyć portu szeregowego</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>Port szeregowy jest używany przez inny program</translation>
    </message>
    <message>
        <source>Upgrade already running</source>
        <translation>Aktualizacja już trwa</translation>
    </message>
    <message>
        <source>The device is busy with another job</source>
        <translation>Urządzenie jest zajęte innym zadaniem</translation>
    </message>
    <message>
        <source>Cannot read the firmware file %1</source>
        <translation>Nie można odczytać pliku firmware %1</translation>
    </message>
    <message>
        <source>The firmware file %1 is empty</source>
        <translation>Plik firmware %1 jest pusty</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>Urządzenie nie przestaje wysyłać: linia nie ucichła w ciągu %1 s</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Na porcie %1 odpowiada coś, co nie jest tym urządzeniem</translation>
    </message>
</context>
<context>
    <name>SerialWorker</name>
    <message>
        <source>No serial port available</source>
        <translation>Brak dostępnego portu szeregowego</translation>
    </message>
    <message>
        <source>Failed to open serial port</source>
        <translation>Nie można otworzyć portu szeregowego</translation>
    </message>
    <message>
        <source>Please upgrade before proceeding</source>
        <translation>Najpierw zaktualizuj firmware</translation>
    </message>
    <message>
        <source>The serial port is in use by another program</source>
        <translation>Port szeregowy jest używany przez inny program</translation>
    </message>
    <message>
        <source>Only the request came back: the line echoes, and no device answered</source>
        <translation>Wróciło tylko własne zapytanie: linia odsyła echo i żadne urządzenie nie odpowiedziało</translation>
    </message>
    <message>
        <source>The device was disconnected during the request</source>
        <translation>Urządzenie zostało odłączone podczas zapytania</translation>
    </message>
    <message>
        <source>Cannot create the report file %1: %2</source>
        <translation>Nie można utworzyć pliku raportu %1: %2</translation>
    </message>
    <message>
        <source>The device was disconnected during the export</source>
        <translation>Urządzenie zostało odłączone podczas eksportu</translation>
    </message>
    <message>
        <source>The export was interrupted</source>
        <translation>Eksport został przerwany</translation>
    </message>
    <message>
        <source>Cannot write the report file %1: %2</source>
        <translation>Nie można zapisać pliku raportu %1: %2</translation>
    </message>
    <message>
        <source>Cannot rename the report file %1 to %2: %3</source>
        <translation>Nie można zmienić nazwy pliku raportu %1 na %2: %3</translation>
    </message>
    <message>
        <source>The device keeps sending: its line did not fall quiet within %1 s</source>
        <translation>Urządzenie nie przestaje wysyłać: linia nie ucichła w ciągu %1 s</translation>
    </message>
    <message numerus="yes">
        <source>The device did not stop sending: more than %1 bytes arrived for %n announced records; the export was stopped</source>
        <translation>
            <numerusform>Urządzenie nie przestało wysyłać: liczba bajtów odebranych dla %n zapowiedzianego rekordu przekroczyła %1; eksport został zatrzymany</numerusform>
            <numerusform>Urządzenie nie przestało wysyłać: liczba bajtów odebranych dla %n zapowiedzianych rekordów przekroczyła %1; eksport został zatrzymany</numerusform>
            <numerusform>Urządzenie nie przestało wysyłać: liczba bajtów odebranych dla %n zapowiedzianych rekordów przekroczyła %1; eksport został zatrzymany</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device sent none of the %n records it announced</source>
        <translation>
            <numerusform>Urządzenie zapowiedziało %n rekord, ale go nie wysłało</numerusform>
            <numerusform>Urządzenie nie wysłało żadnego z %n zapowiedzianych rekordów</numerusform>
            <numerusform>Urządzenie nie wysłało żadnego z %n zapowiedzianych rekordów</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The report holds %1 of the %n records the device announced</source>
        <translation>
            <numerusform>Raport zawiera %1 z %n rekordu zapowiedzianego przez urządzenie</numerusform>
            <numerusform>Raport zawiera %1 z %n rekordów zapowiedzianych przez urządzenie</numerusform>
            <numerusform>Raport zawiera %1 z %n rekordów zapowiedzianych przez urządzenie</numerusform>
        </translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message>
        <source>Something on %1 answers that is not this device</source>
        <translation>Na porcie %1 odpowiada coś, co nie jest tym urządzeniem</translation>
    </message>
</context>
<context>
    <name>SupportEntry</name>
    <message>
        <source>Save the support file</source>
        <translation>Zapisz plik dla pomocy technicznej</translation>
    </message>
    <message>
        <source>Zip archives (*.zip)</source>
        <translation>Archiwa zip (*.zip)</translation>
    </message>
    <message>
        <source>The support file %1 has been written. Send it to support.</source>
        <translation>Plik dla pomocy technicznej %1 został zapisany. Wyślij go do pomocy technicznej.</translation>
    </message>
    <message>
        <source>The support file could not be written: %1</source>
        <translation>Nie udało się zapisać pliku dla pomocy technicznej: %1</translation>
    </message>
</context>
<context>
    <name>SupportFile</name>
    <message>
        <source>its files could not be packed</source>
        <translation>nie udało się spakować jego plików</translation>
    </message>
    <message>
        <source>%1 cannot be created (%2)</source>
        <translation>nie można utworzyć %1 (%2)</translation>
    </message>
    <message>
        <source>%1 could not be written whole (%2)</source>
        <translation>nie udało się zapisać całego pliku %1 (%2)</translation>
    </message>
</context>
<context>
    <name>UpgradeWidget</name>
    <message>
        <source>Import upgrade file</source>
        <translation>Importuj plik aktualizacji</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualizuj</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Select path</source>
        <translation>Przeglądaj</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Select path&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; text-decoration: underline;&quot;&gt;Przeglądaj&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>during upgrade</source>
        <translation>Trwa aktualizacja...</translation>
    </message>
    <message>
        <source>Upgrade completed</source>
        <translation>Aktualizacja zakończona</translation>
    </message>
    <message>
        <source>Upgrade failed</source>
        <translation>Aktualizacja nie powiodła się</translation>
    </message>
    <message>
        <source>The device runs %1</source>
        <translation>Firmware urządzenia: %1</translation>
    </message>
    <message>
        <source>Firmware %1 → %2</source>
        <translation>Firmware urządzenia: %1 → %2</translation>
    </message>
    <message>
        <source>The device answers; version unknown</source>
        <translation>Urządzenie odpowiada; wersja nieznana</translation>
    </message>
    <message>
        <source>The device has not answered yet</source>
        <translation>Urządzenie jeszcze nie odpowiedziało</translation>
    </message>
    <message>
        <source>Back to the menu</source>
        <translation>Powrót do menu</translation>
    </message>
    <message>
        <source>Firmware file</source>
        <translation>Plik firmware</translation>
    </message>
    <message>
        <source>Starts the upgrade with the chosen file</source>
        <translation>Rozpoczyna aktualizację z wybranego pliku</translation>
    </message>
    <message>
        <source>Chooses the firmware file</source>
        <translation>Wybiera plik firmware</translation>
    </message>
    <message>
        <source>Upgrade status</source>
        <translation>Stan aktualizacji</translation>
    </message>
    <message>
        <source>Upgrade progress</source>
        <translation>Postęp aktualizacji</translation>
    </message>
</context>
</TS>
