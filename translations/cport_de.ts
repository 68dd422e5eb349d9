<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>cport</name>
    <message>
        <source>Unable to open com port</source>
        <translation>COM-Port kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>WriteFile function failed</source>
        <translation>Funktion WriteFile fehlgeschlagen</translation>
    </message>
    <message>
        <source>ReadFile function failed</source>
        <translation>Funktion ReadFile fehlgeschlagen</translation>
    </message>
    <message>
        <source>Invalid Async parameter</source>
        <translation>Ungültiger Async-Parameter</translation>
    </message>
    <message>
        <source>PurgeComm function failed</source>
        <translation>Funktion PurgeComm fehlgeschlagen</translation>
    </message>
    <message>
        <source>Unable to get async status</source>
        <translation>Async-Status kann nicht ermittelt werden</translation>
    </message>
    <message>
        <source>SetCommState function failed</source>
        <translation>Funktion SetCommState fehlgeschlagen</translation>
    </message>
    <message>
        <source>SetCommTimeouts failed</source>
        <translation>SetCommTimeouts fehlgeschlagen</translation>
    </message>
    <message>
        <source>SetupComm function failed</source>
        <translation>Funktion SetupComm fehlgeschlagen</translation>
    </message>
    <message>
        <source>ClearCommError function failed</source>
        <translation>Funktion ClearCommError fehlgeschlagen</translation>
    </message>
    <message>
        <source>GetCommModemStatus function failed</source>
        <translation>Funktion GetCommModemStatus fehlgeschlagen</translation>
    </message>
    <message>
        <source>EscapeCommFunction function failed</source>
        <translation>Funktion EscapeCommFunction fehlgeschlagen</translation>
    </message>
    <message>
        <source>TransmitCommChar function failed</source>
        <translation>Funktion TransmitCommChar fehlgeschlagen</translation>
    </message>
    <message>
        <source>Cannot set property while connected</source>
        <translation>Eigenschaft kann bei offener Verbindung nicht geändert werden</translation>
    </message>
    <message>
        <source>EnumPorts function failed</source>
        <translation>Funktion EnumPorts fehlgeschlagen</translation>
    </message>
    <message>
        <source>Failed to store settings</source>
        <translation>Einstellungen konnten nicht gespeichert werden</translation>
    </message>
    <message>
        <source>Failed to load settings</source>
        <translation>Einstellungen konnten nicht geladen werden</translation>
    </message>
    <message>
        <source>Link (un)registration failed</source>
        <translation>An- oder Abmelden der Verknüpfung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Cannot change led state if ComPort is selected</source>
        <translation>LED-Zustand kann nicht geändert werden, solange ein ComPort gewählt ist</translation>
    </message>
    <message>
        <source>Cannot wait for event if event thread is created</source>
        <translation>Warten auf Ereignis nicht möglich, solange der Ereignis-Thread besteht</translation>
    </message>
    <message>
        <source>WaitForEvent method failed</source>
        <translation>Methode WaitForEvent fehlgeschlagen</translation>
    </message>
    <message>
        <source>A component is linked to OnRxBuf event</source>
        <translation>Eine Komponente ist mit dem Ereignis OnRxBuf verknüpft</translation>
    </message>
    <message>
        <source>Registry error</source>
        <translation>Fehler in der Registrierung</translation>
    </message>
    <message>
        <source> (win error code: %d)</source>
        <translation> (Systemfehlercode: %d)</translation>
    </message>
    <message>
        <source>Setup</source>
        <translation>Einrichtung</translation>
    </message>
    <message>
        <source> Settings </source>
        <translation> Einstellungen </translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>Baudrate</translation>
    </message>
    <message>
        <source>Data bits</source>
        <translation>Datenbits</translation>
    </message>
    <message>
        <source>Stop bits</source>
        <translation>Stoppbits</translation>
    </message>
    <message>
        <source>Parity</source>
        <translation>Parität</translation>
    </message>
    <message>
        <source>Flow control</source>
        <translation>Handshake</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Your user may not open this device, and joining its group would not help; ask your administrator for access.</source>
        <translation>Ihr Benutzer darf dieses Gerät nicht öffnen, und ein Beitritt zu seiner Gruppe hilft nicht; bitten Sie Ihren Administrator um Zugriff.</translation>
    </message>
    <message>
        <source>The device belongs to the group "%1" and your user is in it, but the device does not let the group read and write it.</source>
        <translation>Das Gerät gehört der Gruppe „%1“, in der Ihr Benutzer ist, aber die Gruppe darf es nicht lesen und schreiben.</translation>
    </message>
    <message>
        <source>The device belongs to the group "%1", which your user is not in. Join it with
    sudo usermod -aG %1 $USER
then log out and back in.</source>
        <translation>Das Gerät gehört der Gruppe „%1“, in der Ihr Benutzer nicht ist. Treten Sie ihr bei mit
    sudo usermod -aG %1 $USER
und melden Sie sich danach ab und wieder an.</translation>
    </message>
    <message>
        <source>Another program has the port open. Close it and try again.</source>
        <translation>Ein anderes Programm hat die Schnittstelle geöffnet. Schließen Sie es und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Another program has the port open: %1. Close it and try again.</source>
        <translation>Ein anderes Programm hat die Schnittstelle geöffnet: %1. Schließen Sie es und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The port name does not lead to a serial device.</source>
        <translation>Der Name der Schnittstelle führt nicht zu einem seriellen Gerät.</translation>
    </message>
    <message>
        <source>The device is not plugged in, or the port name is wrong.</source>
        <translation>Das Gerät ist nicht angeschlossen, oder der Name der Schnittstelle ist falsch.</translation>
    </message>
    <message>
        <source>No serial ports were found.</source>
        <translation>Es wurden keine seriellen Schnittstellen gefunden.</translation>
    </message>
    <message>
        <source>Serial ports found: %1. Choose one under Einstellung &gt; RS-232.</source>
        <translation>Gefundene Schnittstellen: %1. Wählen Sie eine unter Einstellung &gt; RS-232.</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1 (Prozess %2)</translation>
    </message>
    <message>
        <source>%1, serial number %2, %3</source>
        <translation>%1, Seriennummer %2, %3</translation>
    </message>
    <message>
        <source>Serial port %1</source>
        <translation>Serielle Schnittstelle %1</translation>
    </message>
    <message>
        <source>Link to %1</source>
        <translation>Verweis auf %1</translation>
    </message>
    <message>
        <source>A CH340 adapter is plugged in but has no serial port: the braille display service brltty takes these adapters for a braille display and claims them.</source>
        <translation>Ein CH340-Adapter ist eingesteckt, hat aber keine serielle Schnittstelle: Der Braillezeilen-Dienst brltty hält diese Adapter für eine Braillezeile und belegt sie.</translation>
    </message>
    <message>
        <source>The braille display service brltty is running; it takes CH340 adapters for a braille display and claims them, and their port vanishes.</source>
        <translation>Der Braillezeilen-Dienst brltty läuft; er hält CH340-Adapter für eine Braillezeile und belegt sie, und ihre Schnittstelle verschwindet.</translation>
    </message>
    <message>
        <source>brltty is running now.</source>
        <translation>brltty läuft gerade.</translation>
    </message>
    <message>
        <source>If you use no braille display, remove it with
    sudo apt remove brltty
or keep it from claiming adapters with
    sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules
then unplug the adapter and plug it in again.</source>
        <translation>Wenn Sie keine Braillezeile benutzen, entfernen Sie ihn mit
    sudo apt remove brltty
oder hindern Sie ihn daran, Adapter zu belegen, mit
    sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules
und ziehen Sie den Adapter danach ab und stecken ihn wieder ein.</translation>
    </message>
</context>
</TS>
