<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="de_DE">
<context>
    <name>AddressCodes</name>
    <message>
        <source>Fehler: Adress-Wert &lt;%1&gt; ist zu gross für das DCC-Format (max: 2044)</source>
        <translation>Error: address value &lt;%1&gt; is too large for the DCC format (max: 2044)</translation>
    </message>
    <message>
        <source>Fehler: Adress-Wert &lt;%1&gt; ist zu klein für das DCC-Format (min: 1)</source>
        <translation>Error: address value &lt;%1&gt; is too small for the DCC format (min: 1)</translation>
    </message>
    <message>
        <source>Fehler: Adress-Wert &lt;%1&gt; ist zu gross für das Motorola-Format (max: 320)</source>
        <translation>Error: address value &lt;%1&gt; is too large for the Motorola format (max: 320)</translation>
    </message>
    <message>
        <source>Fehler: Adress-Wert &lt;%1&gt; ist zu klein für das Motorola-Format (min: 1)</source>
        <translation>Error: address value &lt;%1&gt; is too small for the Motorola format (min: 1)</translation>
    </message>
</context>
<context>
    <name>AddressRows</name>
    <message>
        <source>Adressen Standard</source>
        <translation>Standard addresses</translation>
    </message>
    <message>
        <source>Adressen Positionen: von P1 aufsteigend R/G </source>
        <translation>Position addresses: up from P1, R/G </translation>
    </message>
    <message>
        <source>Adressen Positionen: von P1 aufsteigend ohne Wechsel</source>
        <translation>Position addresses: up from P1, no R/G change</translation>
    </message>
    <message>
        <source>setze alles auf 0</source>
        <translation>set all to 0</translation>
    </message>
    <message>
        <source>Positionen neu nummerieren (für DIP3 = ON)</source>
        <translation>Renumber positions (for DIP3 = ON)</translation>
    </message>
    <message>
        <source>Adressen Märklin</source>
        <translation>Märklin addresses</translation>
    </message>
    <message>
        <source>Alle 28 Adressen und alle Positionsnummern auf 0 setzen?
Die bisherigen Werte gehen verloren.</source>
        <translation>Set all 28 addresses and all position numbers to 0?
The current values will be lost.</translation>
    </message>
    <message>
        <source>Positionszeile %1</source>
        <translation>Position row %1</translation>
    </message>
    <message>
        <source>Adresse %1 liegt außerhalb von 0 bis %2 (Motorola bis %2, DCC bis %3)</source>
        <translation>address %1 is outside 0 to %2 (Motorola up to %2, DCC up to %3)</translation>
    </message>
    <message>
        <source>Adresse %1 liegt außerhalb von 0 bis %2 (DCC)</source>
        <translation>address %1 is outside 0 to %2 (DCC)</translation>
    </message>
    <message>
        <source>%1 nicht geschrieben: %2</source>
        <translation>%1 not written: %2</translation>
    </message>
</context>
<context>
    <name>BackupCommand</name>
    <message>
        <source>Kein Befehl (backup, compare, restore).</source>
        <translation>No command (backup, compare, restore).</translation>
    </message>
    <message>
        <source>GERÄT</source>
        <translation>DEVICE</translation>
    </message>
    <message>
        <source>DATEI</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>--yes gilt nur für restore.</source>
        <translation>--yes applies only to restore.</translation>
    </message>
    <message>
        <source>%1 braucht --port GERÄT.</source>
        <translation>%1 needs --port DEVICE.</translation>
    </message>
    <message>
        <source>--baud %1: die Steuerung spricht 2400, 9600 oder 19200.</source>
        <translation>--baud %1: the controller speaks 2400, 9600 or 19200.</translation>
    </message>
    <message>
        <source>%1 braucht eine DATEI.</source>
        <translation>%1 needs a FILE.</translation>
    </message>
    <message>
        <source>Unerwartetes Argument „%1“.</source>
        <translation>Unexpected argument “%1”.</translation>
    </message>
    <message>
        <source>pivota: %1
</source>
        <translation>pivota: %1
</translation>
    </message>
    <message>
        <source> (--yes)
</source>
        <translation> (--yes)
</translation>
    </message>
    <message>
        <source>Aufruf: pivota backup  --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]
               [--json] DATEI
        pivota compare --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]
               [--json] DATEI
        pivota restore --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]
               [--json] [--yes] DATEI
Die Optionen dürfen vor und nach dem Befehl stehen, in jeder Reihenfolge.

backup   liest alle Zellen beider Platinen (jede zweimal) und schreibt sie als
         Sicherung in DATEI (ladbar mit &quot;laden&quot;).
compare  liest DATEI und beide Platinen und listet jeden Unterschied.
restore  vergleicht, fragt nach und schreibt nur die abweichenden Zellen
         (nie die Firmware-Version), jede zurückgelesen.

--port GERÄT     Gerätepfad (/dev/ttyUSB0), COM1..COM9 wie in der Einstellungs-Datei
                 zugeordnet, oder &quot;simulator&quot;
--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)
--settings DATEI Einstellungs-Datei (Port-Zuordnung, Baud, Antwort-Timeout)
--lang de|en     Sprache der Meldungen
--yes            restore ohne Rückfrage
--json           das Ergebnis als ein JSON-Dokument (Zellen, Namen, Zustände,
                 Anzahlen); die Rückfrage von restore auf der
                 Standard-Fehlerausgabe

Fortschritt auf der Standard-Fehlerausgabe, Ergebnis auf der Standard-Ausgabe.
Rückgabewert: 0 alles erledigt und gleich, 1 Unterschiede oder Zellen nicht
bestätigt/geschrieben, 2 Aufruf- oder Dateifehler, 3 Verbindung fehlgeschlagen,
130 mit Strg-C abgebrochen (eine Sicherung schreibt dann keine Datei).
</source>
        <translation>Usage: pivota backup  --port DEVICE [--baud N] [--settings FILE] [--lang de|en]
              [--json] FILE
       pivota compare --port DEVICE [--baud N] [--settings FILE] [--lang de|en]
              [--json] FILE
       pivota restore --port DEVICE [--baud N] [--settings FILE] [--lang de|en]
              [--json] [--yes] FILE
The options may stand before and after the command, in any order.

backup   reads all cells of both boards (each twice) and writes them as a
         backup to FILE (loadable with &quot;Load&quot;).
compare  reads FILE and both boards and lists every difference.
restore  compares, asks, and writes only the differing cells
         (never the firmware version), each read back.

--port DEVICE    device path (/dev/ttyUSB0), COM1..COM9 as assigned in the
                 settings file, or &quot;simulator&quot;
--baud N         2400, 9600 or 19200 (default: as in the settings file)
--settings FILE  settings file (port mapping, baud, answer time-out)
--lang de|en     language of the messages
--yes            restore without asking
--json           the result as one JSON document (cells, names, states,
                 counts); restore asks on standard error

Progress on standard error, result on standard output.
Exit status: 0 all done and equal, 1 differences or cells not
confirmed/written, 2 usage or file error, 3 connection failed,
130 stopped with Ctrl-C (a backup then writes no file).
</translation>
    </message>
    <message>
        <source>--lang braucht de oder en.</source>
        <translation>--lang needs de or en.</translation>
    </message>
    <message>
        <source>Aufruf und Optionen: pivota backup --help
</source>
        <translation>Usage and options: pivota backup --help
</translation>
    </message>
    <message>
        <source>%1 [j/N] </source>
        <translation>%1 [y/N] </translation>
    </message>
    <message>
        <source>pivota: Einstellungs-Datei nicht lesbar, es gelten die Vorgabewerte: %1
</source>
        <translation>pivota: settings file not readable, defaults apply: %1
</translation>
    </message>
    <message>
        <source>pivota: %1 ist die Einstellungs-Datei; die Sicherung würde sie überschreiben. Nichts wurde gesendet.
</source>
        <translation>pivota: %1 is the settings file; the backup would overwrite it. Nothing was sent.
</translation>
    </message>
    <message>
        <source>pivota: restore fragt vor dem Schreiben nach, doch die Eingabe ist umgeleitet und kommt nicht von der Tastatur: dann nur mit --yes. Nichts wurde gesendet.
</source>
        <translation>pivota: restore asks before it writes, but the input is redirected and does not come from the keyboard: then only with --yes. Nothing was sent.
</translation>
    </message>
    <message>
        <source>--port %1: eine Netzwerk-Schnittstelle heißt tcp://RECHNER:PORT oder rfc2217://RECHNER:PORT (eine IPv6-Adresse in [ ]).</source>
        <translation>--port %1: a network port is named tcp://HOST:PORT or rfc2217://HOST:PORT (an IPv6 address in [ ]).</translation>
    </message>
</context>
<context>
    <name>BackupFile</name>
    <message>
        <source>Die Datei enthält keine Zellen der Steuerung (keine Abschnitte [%1] und [%2]).</source>
        <translation>The file holds no cells of the controller (no sections [%1] and [%2]).</translation>
    </message>
    <message>
        <source>Die Sicherung enthält keine Prüfsumme (%1): sie ist unvollständig.</source>
        <translation>The backup holds no checksum (%1): it is incomplete.</translation>
    </message>
    <message>
        <source>Die Datei %1 ist nicht vorhanden.</source>
        <translation>The file %1 does not exist.</translation>
    </message>
    <message>
        <source>Die Datei %1 kann nicht gelesen werden: %2</source>
        <translation>The file %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>Kein Wert: %1.</source>
        <translation>No value: %1.</translation>
    </message>
    <message>
        <source>Es fehlen %1 von %2 Zellen: %3.</source>
        <translation>%1 of %2 cells are missing: %3.</translation>
    </message>
    <message>
        <source>Gelesen: Grube %1 Zellen (%2 mit Wert), Bühne %3 Zellen (%4 mit Wert); die Sicherung nennt %5 und %6 bestätigte Zellen.</source>
        <translation>Read: pit %1 cells (%2 with a value), bridge %3 cells (%4 with a value); the backup names %5 and %6 confirmed cells.</translation>
    </message>
    <message>
        <source>Welche Zelle geändert wurde, lässt sich daraus nicht sagen.</source>
        <translation>Which cell was changed cannot be told from this.</translation>
    </message>
    <message>
        <source>Sicherung der Drehscheiben-Steuerung: jede Zelle der Gruben- und der Bühnen-Platine (EE_GRUBE, EE_BUHNE).</source>
        <translation>Backup of the turntable controller: every cell of the pit and of the bridge board (EE_GRUBE, EE_BUHNE).</translation>
    </message>
    <message>
        <source>Geschrieben von Pivota %1 am %2.</source>
        <translation>Written by Pivota %1 on %2.</translation>
    </message>
    <message>
        <source>„unbestätigt“: die Platine gab für die Zelle keine zwei gleichen Antworten, ihr Wert ist nicht bekannt;</source>
        <translation>“unbestätigt” (unconfirmed): the board gave no two equal answers for the cell, its value is not known;</translation>
    </message>
    <message>
        <source>Wiederherstellen schreibt eine solche Zelle nie, „laden“ setzt den Vorgabewert der Zelle.</source>
        <translation>Restore never writes such a cell, “Load” sets the cell&apos;s default.</translation>
    </message>
    <message>
        <source>Die Prüfsumme CRC32 in [Sicherung] erkennt eine Datei, die seitdem verändert wurde.</source>
        <translation>The checksum CRC32 in [Sicherung] recognises a file that was changed since.</translation>
    </message>
    <message>
        <source>Die Datei enthält keinen Wert einer Zelle, nur Text, der keiner ist (0 bis 255): %1.</source>
        <translation>The file holds no value of any cell, only text that is none (0 to 255): %1.</translation>
    </message>
    <message>
        <source>Die Prüfsumme der Sicherung stimmt nicht (in der Datei %1, aus den Zellen berechnet %2): die Datei ist beschädigt oder wurde verändert. %3</source>
        <translation>The backup&apos;s checksum does not match (in the file %1, computed from the cells %2): the file is damaged or was changed. %3</translation>
    </message>
</context>
<context>
    <name>BackupJob</name>
    <message>
        <source>Die Steuerung antwortet nicht: Verbindung und Stromversorgung prüfen.</source>
        <translation>The controller does not answer: check the connection and the power supply.</translation>
    </message>
    <message>
        <source>In den Ordner %1 kann nicht geschrieben werden.</source>
        <translation>The folder %1 cannot be written to.</translation>
    </message>
    <message>
        <source>Nichts wurde gesendet.</source>
        <translation>Nothing was sent.</translation>
    </message>
    <message>
        <source>schreibt %1</source>
        <translation>writing %1</translation>
    </message>
    <message>
        <source>liest %1</source>
        <translation>reading %1</translation>
    </message>
    <message>
        <source>Abgebrochen: keine Datei geschrieben.</source>
        <translation>Stopped: no file written.</translation>
    </message>
    <message>
        <source>Abgebrochen: das Wiederherstellen ist unvollständig, ein Teil der Zellen wurde geschrieben.</source>
        <translation>Stopped: the restore is incomplete, some of the cells were written.</translation>
    </message>
    <message>
        <source>Abgebrochen: nichts wurde geschrieben.</source>
        <translation>Stopped: nothing was written.</translation>
    </message>
    <message>
        <source>Die Verbindung ging verloren.</source>
        <translation>The connection was lost.</translation>
    </message>
    <message>
        <source>Keine Datei geschrieben.</source>
        <translation>No file written.</translation>
    </message>
    <message>
        <source>Nichts wurde geschrieben.</source>
        <translation>Nothing was written.</translation>
    </message>
    <message>
        <source>Die Sicherung konnte nicht geschrieben werden: %1</source>
        <translation>The backup could not be written: %1</translation>
    </message>
    <message>
        <source>%1 Zellen ohne sichere Antwort der Steuerung werden nicht geschrieben.</source>
        <translation>%1 cells without a sure answer from the controller are not written.</translation>
    </message>
    <message>
        <source>Nichts zu schreiben.</source>
        <translation>Nothing to write.</translation>
    </message>
    <message>
        <source>Nichts zu schreiben: die Steuerung entspricht der Datei.</source>
        <translation>Nothing to write: the controller matches the file.</translation>
    </message>
    <message>
        <source>Nicht wiederhergestellt: nichts wurde geschrieben.</source>
        <translation>Not restored: nothing was written.</translation>
    </message>
    <message>
        <source>Die Sicherung kann dort nicht stehen: %1</source>
        <translation>The backup cannot be written there: %1</translation>
    </message>
    <message>
        <source>1 Zelle ohne sichere Antwort der Steuerung wird nicht geschrieben.</source>
        <translation>1 cell without a sure answer from the controller is not written.</translation>
    </message>
    <message>
        <source>Wiederhergestellt: %1 geschrieben und geprüft.</source>
        <translation>Restored: %1 written and verified.</translation>
    </message>
    <message>
        <source>Wiederhergestellt: %1 geschrieben und geprüft, %2 nicht geschrieben.</source>
        <translation>Restored: %1 written and verified, %2 not written.</translation>
    </message>
    <message>
        <source>Die Firmware-Version der Steuerung weicht von der Datei ab (%1; sie wird nie geschrieben).</source>
        <translation>The controller&apos;s firmware version differs from the file (%1; it is never written).</translation>
    </message>
    <message>
        <source>Wiederhergestellt: %1 geschrieben und geprüft, %2 nicht geschrieben, %3 nicht bestätigt.</source>
        <translation>Restored: %1 written and verified, %2 not written, %3 not confirmed.</translation>
    </message>
</context>
<context>
    <name>BackupPanel</name>
    <message>
        <source>Sicherung der Steuerung</source>
        <translation>Controller backup</translation>
    </message>
    <message>
        <source>Steuerung sichern ...</source>
        <translation>Back up controller ...</translation>
    </message>
    <message>
        <source>liest alle Zellen beider Platinen (jede zweimal) und schreibt sie in eine Datei</source>
        <translation>reads all cells of both boards (each twice) and writes them to a file</translation>
    </message>
    <message>
        <source>Mit Steuerung vergleichen ...</source>
        <translation>Compare with controller ...</translation>
    </message>
    <message>
        <source>listet jede Zelle, in der Datei und Steuerung sich unterscheiden; schreibt nichts</source>
        <translation>lists every cell in which file and controller differ; writes nothing</translation>
    </message>
    <message>
        <source>Wiederherstellen ...</source>
        <translation>Restore ...</translation>
    </message>
    <message>
        <source>schreibt nach Rückfrage die abweichenden Zellen der Datei, nie die Firmware-Version</source>
        <translation>after asking, writes the file&apos;s differing cells, never the firmware version</translation>
    </message>
    <message>
        <source>Abbruch</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>abgebrochen</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>fertig</source>
        <translation>done</translation>
    </message>
    <message>
        <source>Sicherung_%1.%2</source>
        <translation>Backup_%1.%2</translation>
    </message>
    <message>
        <source>Sichert die Steuerung in %1 ...</source>
        <translation>Backing up the controller to %1 ...</translation>
    </message>
    <message>
        <source>Vergleicht die Steuerung mit %1 ...</source>
        <translation>Comparing the controller with %1 ...</translation>
    </message>
    <message>
        <source>Stellt die Steuerung aus %1 wieder her ...</source>
        <translation>Restoring the controller from %1 ...</translation>
    </message>
    <message>
        <source>unterbrochen</source>
        <translation>interrupted</translation>
    </message>
    <message>
        <source>fehlgeschlagen</source>
        <translation>failed</translation>
    </message>
</context>
<context>
    <name>BackupPlan</name>
    <message>
        <source>Firmware-Version, %1</source>
        <translation>Firmware version, %1</translation>
    </message>
    <message>
        <source>2. Byte</source>
        <translation>2nd byte</translation>
    </message>
    <message>
        <source>1. Byte</source>
        <translation>1st byte</translation>
    </message>
    <message>
        <source>Parameter „%1“</source>
        <translation>Parameter “%1”</translation>
    </message>
    <message>
        <source>Optionen (%1)</source>
        <translation>Options (%1)</translation>
    </message>
    <message>
        <source>Adresszeile %1</source>
        <translation>Address row %1</translation>
    </message>
    <message>
        <source>%1, DCC-Byte %2</source>
        <translation>%1, DCC byte %2</translation>
    </message>
    <message>
        <source>%1, Positionsnummer</source>
        <translation>%1, position number</translation>
    </message>
    <message>
        <source>%1, Motorola-Byte %2</source>
        <translation>%1, Motorola byte %2</translation>
    </message>
    <message>
        <source>Grube</source>
        <translation>Pit</translation>
    </message>
    <message>
        <source>Bühne</source>
        <translation>Bridge</translation>
    </message>
    <message>
        <source>unbestätigt</source>
        <translation>unconfirmed</translation>
    </message>
    <message>
        <source>keine Antwort</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>nicht gelesen</source>
        <translation>not read</translation>
    </message>
    <message>
        <source>keine Unterschiede</source>
        <translation>no differences</translation>
    </message>
    <message>
        <source>1 Unterschied</source>
        <translation>1 difference</translation>
    </message>
    <message>
        <source>%1 Unterschiede</source>
        <translation>%1 differences</translation>
    </message>
    <message>
        <source>%1: Datei %2, Steuerung %3</source>
        <translation>%1: file %2, controller %3</translation>
    </message>
    <message>
        <source>Grube: %1, Bühne: %2</source>
        <translation>Pit: %1, Bridge: %2</translation>
    </message>
    <message>
        <source>Wiederherstellen: %1 der Grube und %2 der Bühne werden geschrieben.</source>
        <translation>Restore: %1 of the pit and %2 of the bridge will be written.</translation>
    </message>
    <message>
        <source> Die Firmware-Version (%1) bleibt, wie sie ist.</source>
        <translation> The firmware version (%1) stays as it is.</translation>
    </message>
    <message>
        <source> Fortfahren?</source>
        <translation> Continue?</translation>
    </message>
    <message>
        <source>%1: nicht geschrieben, soll %2, Steuerung %3</source>
        <translation>%1: not written, wanted %2, controller %3</translation>
    </message>
    <message>
        <source>%1: nicht bestätigt (%2)</source>
        <translation>%1: not confirmed (%2)</translation>
    </message>
    <message>
        <source>Gesichert in %1: Grube %2 von %3 Zellen, Bühne %4 von %3 Zellen bestätigt</source>
        <translation>Backed up to %1: Pit %2 of %3 cells, Bridge %4 of %3 cells confirmed</translation>
    </message>
    <message>
        <source>%1: in der Datei unbestätigt, nicht geschrieben</source>
        <translation>%1: unconfirmed in the file, not written</translation>
    </message>
    <message>
        <source>%1: in der Datei unbestätigt, nicht verglichen</source>
        <translation>%1: unconfirmed in the file, not compared</translation>
    </message>
    <message>
        <source>Nichts zu schreiben, aber die Firmware-Version der Steuerung weicht von der Datei ab (%1; sie wird nie geschrieben).</source>
        <translation>Nothing to write, but the controller&apos;s firmware version differs from the file (%1; it is never written).</translation>
    </message>
    <message>
        <source> Achtung, keine Prüfsumme: die Datei wurde nicht von einer Sicherung geschrieben.</source>
        <translation> Caution, no checksum: the file was not written by a backup.</translation>
    </message>
    <message>
        <source>kein Wert</source>
        <translation>no value</translation>
    </message>
    <message>
        <source>keine Adresse (%1)</source>
        <translation>no address (%1)</translation>
    </message>
    <message>
        <source> grün</source>
        <translation> green</translation>
    </message>
    <message>
        <source> rot</source>
        <translation> red</translation>
    </message>
    <message>
        <source>keine</source>
        <translation>none</translation>
    </message>
    <message>
        <source>%1 Position: Datei %2, Steuerung %3</source>
        <translation>%1 position: file %2, controller %3</translation>
    </message>
    <message>
        <source>%1 Motorola-Adresse: Datei %2, Steuerung %3</source>
        <translation>%1 Motorola address: file %2, controller %3</translation>
    </message>
    <message>
        <source>%1 DCC-Adresse: Datei %2, Steuerung %3</source>
        <translation>%1 DCC address: file %2, controller %3</translation>
    </message>
    <message>
        <source>%1: in der Datei „%2“, kein Wert (0 bis 255), nicht geschrieben</source>
        <translation>%1: “%2” in the file, no value (0 to 255), not written</translation>
    </message>
    <message>
        <source>%1: in der Datei „%2“, kein Wert (0 bis 255), nicht verglichen</source>
        <translation>%1: “%2” in the file, no value (0 to 255), not compared</translation>
    </message>
    <message>
        <source> und %1 weitere</source>
        <translation> and %1 more</translation>
    </message>
    <message>
        <source> Ohne Wert in der Datei, nicht geschrieben: %1.</source>
        <translation> Without a value in the file, not written: %1.</translation>
    </message>
    <message>
        <source>%1: geschrieben, aber nicht bestätigt, soll %2: die Antworten der Steuerung stimmten nicht überein</source>
        <translation>%1: written but not confirmed, wanted %2: the controller&apos;s answers did not agree</translation>
    </message>
</context>
<context>
    <name>Cells</name>
    <message>
        <source>1 Zelle</source>
        <translation>1 cell</translation>
    </message>
    <message>
        <source>%1 Zellen</source>
        <translation>%1 cells</translation>
    </message>
    <message>
        <source>%1 von 1 Zelle</source>
        <translation>%1 of 1 cell</translation>
    </message>
    <message>
        <source>%1 von %2 Zellen</source>
        <translation>%1 of %2 cells</translation>
    </message>
</context>
<context>
    <name>ComPort</name>
    <message>
        <source>%1 ist nicht vorhanden.</source>
        <translation>%1 does not exist.</translation>
    </message>
    <message>
        <source>%1 wird bereits von einem anderen Programm benutzt.</source>
        <translation>%1 is already in use by another program.</translation>
    </message>
    <message>
        <source>Keine Berechtigung für %1. Benutzer in die Gruppe dialout aufnehmen und neu anmelden.</source>
        <translation>No permission for %1. Add the user to the dialout group and log in again.</translation>
    </message>
    <message>
        <source>%1: Das Gerät wurde entfernt oder die Gegenstelle hat die Leitung geschlossen.</source>
        <translation>%1: The device was removed or the other end closed the line.</translation>
    </message>
    <message>
        <source>Port ist nicht geöffnet.</source>
        <translation>Port is not open.</translation>
    </message>
    <message>
        <source>%1: kein Gerät für %2.</source>
        <translation>%1: no device for %2.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Einrichten, Bedienen und Diagnose der Drehscheiben-Steuerung über die serielle Schnittstelle.</source>
        <translation>Sets up, operates and diagnoses the turntable controller over the serial port.</translation>
    </message>
    <message>
        <source>Zeigt diese Hilfe an und beendet das Programm.</source>
        <translation>Shows this help and exits.</translation>
    </message>
    <message>
        <source>Zeigt die Version an und beendet das Programm.</source>
        <translation>Shows the version and exits.</translation>
    </message>
    <message>
        <source>Liest und schreibt die Einstellungen in DATEI statt in der Einstellungs-Datei des Programms.</source>
        <translation>Reads and writes the settings in FILE instead of the program&apos;s settings file.</translation>
    </message>
    <message>
        <source>DATEI</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>Schreibt ein Protokoll der Sitzung (Verbindung, jedes Byte auf der Leitung, Übertragungen) mit Uhrzeit an das Ende von DATEI.</source>
        <translation>Writes a log of the session (connection, every byte on the line, transfers) with the time of day to the end of FILE.</translation>
    </message>
    <message>
        <source>Sprache der Oberfläche: de (Deutsch) oder en (Englisch); ohne: die Einstellung „Sprache“, sonst die des Systems.</source>
        <translation>Language of the interface: de (German) or en (English); without it, the setting &quot;Sprache&quot;, otherwise the system&apos;s.</translation>
    </message>
    <message>
        <source>SPRACHE</source>
        <translation>LANGUAGE</translation>
    </message>
    <message>
        <source>pivota %1
</source>
        <translation>pivota %1
</translation>
    </message>
    <message>
        <source>pivota: Die Qt-Plattform „%1“ lässt sich nicht starten.</source>
        <translation>pivota: The Qt platform “%1” cannot be started.</translation>
    </message>
    <message>
        <source>pivota: Keine grafische Anzeige gefunden (DISPLAY und WAYLAND_DISPLAY sind leer). Pivota braucht eine Desktop-Sitzung.</source>
        <translation>pivota: No graphical display found (DISPLAY and WAYLAND_DISPLAY are empty). Pivota needs a desktop session.</translation>
    </message>
    <message>
        <source>pivota: Die grafische Anzeige „%1“ ist nicht erreichbar. Pivota braucht eine Desktop-Sitzung.</source>
        <translation>pivota: The graphical display “%1” cannot be reached. Pivota needs a desktop session.</translation>
    </message>
    <message>
        <source>pivota: %1
</source>
        <translation>pivota: %1
</translation>
    </message>
    <message>
        <source>Aufruf und Optionen: pivota --help
</source>
        <translation>Usage and options: pivota --help
</translation>
    </message>
    <message>
        <source>Unerwartetes Argument „%1“.</source>
        <translation>Unexpected argument “%1”.</translation>
    </message>
    <message>
        <source>--settings braucht einen Dateinamen.</source>
        <translation>--settings needs a file name.</translation>
    </message>
    <message>
        <source>--log braucht einen Dateinamen.</source>
        <translation>--log needs a file name.</translation>
    </message>
    <message>
        <source>--lang braucht de oder en.</source>
        <translation>--lang needs de or en.</translation>
    </message>
    <message>
        <source>Konfigurationsdatei, deren Daten das Fenster zum Laden anbietet.</source>
        <translation>Configuration file whose data the window offers to load.</translation>
    </message>
    <message>
        <source>[DATEI]</source>
        <translation>[FILE]</translation>
    </message>
    <message>
        <source>
Befehle ohne Fenster (Einzelheiten mit pivota BEFEHL --help):
  pivota backup  --port GERÄT [--baud N] DATEI          alle Zellen beider Platinen sichern
  pivota compare --port GERÄT [--baud N] DATEI          Datei mit der Steuerung vergleichen
  pivota restore --port GERÄT [--baud N] [--yes] DATEI  abweichende Zellen zurückschreiben
  pivota record  --port GERÄT --seconds N DATEI.csv     Messwerte der Diagnose aufzeichnen
  pivota list [--json]                                  Namen aller Einstellungen
  pivota get  --port GERÄT [--json] NAME...             Einstellungen lesen
  pivota set  --port GERÄT [--force] NAME=WERT...       Einstellungen schreiben
  pivota diff [--json] DATEI_A DATEI_B                  zwei Dateien vergleichen
  pivota drive --port GERÄT --to N [--wait]             Bühne auf Position N drehen
GERÄT: Gerätepfad, COM1..COM9 wie zugeordnet, oder simulator. Rückgabewert 0 gleich, 1 Unterschiede,
2 Aufruf- oder Dateifehler, 3 Verbindung fehlgeschlagen.
</source>
        <translation>
Commands without a window (details with pivota COMMAND --help):
  pivota backup  --port DEVICE [--baud N] FILE          back up all cells of both boards
  pivota compare --port DEVICE [--baud N] FILE          compare FILE with the controller
  pivota restore --port DEVICE [--baud N] [--yes] FILE  write the differing cells back
  pivota record  --port DEVICE --seconds N FILE.csv     record the diagnosis measurements
  pivota list [--json]                                  names of all settings
  pivota get  --port DEVICE [--json] NAME...            read settings
  pivota set  --port DEVICE [--force] NAME=VALUE...     write settings
  pivota diff [--json] FILE_A FILE_B                    compare two files
  pivota drive --port DEVICE --to N [--wait]            turn the bridge to position N
DEVICE: device path, COM1..COM9 as assigned, or simulator. Exit status 0 equal, 1 differences,
2 usage or file error, 3 connection failed.
</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>PVT (*.pvt);;TXT (*.txt);;Alle Dateien (*)</source>
        <translation>PVT (*.pvt);;TXT (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Com-Port Einstellungen</source>
        <translation>COM port settings</translation>
    </message>
    <message>
        <source>Gleis-Definition</source>
        <translation>Track definition</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Adressen</source>
        <translation>Addresses</translation>
    </message>
    <message>
        <source>COM-Port</source>
        <translation>COM port</translation>
    </message>
    <message>
        <source>Lage der Zufahrs-Gleise</source>
        <translation>Location of the approach tracks</translation>
    </message>
    <message>
        <source>Zeiten, Regel-Parameter, Geschwindigkeiten usw.</source>
        <translation>Times, control parameters, speeds etc.</translation>
    </message>
    <message>
        <source>Digital-Adressen</source>
        <translation>Digital addresses</translation>
    </message>
    <message>
        <source>COM-Port Werte laden? Aktuelle Werte werden überschrieben!</source>
        <translation>Load COM port values? Current values will be overwritten!</translation>
    </message>
    <message>
        <source>Gleis-Definitionen laden? Aktuelle Werte werden überschrieben!</source>
        <translation>Load track definitions? Current values will be overwritten!</translation>
    </message>
    <message>
        <source>Parameter laden? Aktuelle Werte werden überschrieben!</source>
        <translation>Load parameters? Current values will be overwritten!</translation>
    </message>
    <message>
        <source>Adressen laden? Aktuelle Werte werden überschrieben!</source>
        <translation>Load addresses? Current values will be overwritten!</translation>
    </message>
    <message>
        <source>Die Datei %1 gibt es nicht. Es wurde nichts geladen.</source>
        <translation>The file %1 does not exist. Nothing was loaded.</translation>
    </message>
    <message>
        <source>%1 ist ein Ordner, keine Datei. Es wurde nichts geladen.</source>
        <translation>%1 is a folder, not a file. Nothing was loaded.</translation>
    </message>
    <message>
        <source>Die Datei enthält Werte mehrfach mit verschiedenem Inhalt (%1): welcher gilt, ist nicht zu sagen.</source>
        <translation>The file holds values more than once with different contents (%1): which one counts cannot be told.</translation>
    </message>
</context>
<context>
    <name>ConnectionTexts</name>
    <message>
        <source>wartet auf %1 ...</source>
        <translation>waiting for %1 ...</translation>
    </message>
    <message>
        <source>Fehler COM-Port Öffnen - OpenComm</source>
        <translation>Error opening COM port - OpenComm</translation>
    </message>
    <message>
        <source>Das Öffnen des COM-Ports wurde abgebrochen.
Problem mit RS232 Schnittstelle, COM-Port nicht vorhanden!

Bitte unter EINSTELLUNGEN einem freien COM-Port wählen

</source>
        <translation>Opening the COM port was aborted.
Problem with the RS232 interface, COM port not present!

Please choose a free COM port under SETTINGS

</translation>
    </message>
    <message>
        <source>Fehler Datenempfang - ReceiveData</source>
        <translation>Error receiving data - ReceiveData</translation>
    </message>
    <message>
        <source>Fehler Daten Senden - SendData</source>
        <translation>Error sending data - SendData</translation>
    </message>
    <message>
        <source>Der Datenempfang wurde abgebrochen, ein Empfang von Daten war nicht möglich.
Problem mit RS232 Schnittstelle!</source>
        <translation>Data reception was aborted, no data could be received.
Problem with the RS232 interface!</translation>
    </message>
    <message>
        <source>Das Senden der Daten wurde abgebrochen, ein Senden von Daten war nicht möglich.
Problem mit RS232 Schnittstelle!</source>
        <translation>Sending was aborted, no data could be sent.
Problem with the RS232 interface!</translation>
    </message>
    <message>
        <source>kein COM%1-Port</source>
        <translation>no COM%1 port</translation>
    </message>
    <message>
        <source>kein COM-Port</source>
        <translation>no COM port</translation>
    </message>
    <message>
        <source>%1 geöffnet</source>
        <translation>%1 opened</translation>
    </message>
    <message>
        <source>Kommunikation mit Gruben-Platine gestoppt</source>
        <translation>Communication with the pit board stopped</translation>
    </message>
    <message>
        <source>Die Einstellungen wurden geändert und noch nicht gespeichert.</source>
        <translation>The settings have been changed and not saved yet.</translation>
    </message>
    <message>
        <source>Geänderte Adressen oder Parameter wurden noch nicht zur Platine übertragen.</source>
        <translation>Changed addresses or parameters have not been written to the board yet.</translation>
    </message>
    <message>
        <source>Einstellungen in der Einstellungsdatei speichern und das Programm beenden?</source>
        <translation>Save the settings to the settings file and quit?</translation>
    </message>
    <message>
        <source>„Ja“ speichert nur die Einstellungsdatei; zur Platine wird nichts übertragen.</source>
        <translation>“Yes” saves only the settings file; nothing is sent to the board.</translation>
    </message>
    <message>
        <source>Die Einstellungsdatei %1 kann nicht geschrieben werden.

Das Programm ohne Speichern beenden?</source>
        <translation>The settings file %1 cannot be written.

Quit without saving?</translation>
    </message>
    <message>
        <source>verbindet mit %1 ...</source>
        <translation>connecting to %1 ...</translation>
    </message>
    <message>
        <source>verbunden mit %1</source>
        <translation>connected to %1</translation>
    </message>
    <message>
        <source>wartet auf %1, nächster Versuch in %2 s</source>
        <translation>waiting for %1, next attempt in %2 s</translation>
    </message>
</context>
<context>
    <name>Controls</name>
    <message>
        <source>Ungültige Eingabe.<byte value="xd"/>Zugelassen sind nur Zahlen</source>
        <translation>Invalid input.<byte value="xd"/>Only numbers are allowed</translation>
    </message>
</context>
<context>
    <name>DiagnosisLogic</name>
    <message>
        <source>(Strom berechnet für R-Sense = %1 Ohm)</source>
        <translation>(Current calculated for R-Sense = %1 ohm)</translation>
    </message>
    <message>
        <source>Ungültiger Wert für R-Sense: %1<byte value="xd"/>Zugelassen ist ein Widerstand über 0, von %2 bis %3 Ohm (z. B. 15 oder 22,5).</source>
        <translation>Invalid value for R-Sense: %1<byte value="xd"/>Allowed is a resistance above 0, from %2 to %3 ohm (e.g. 15 or 22.5).</translation>
    </message>
</context>
<context>
    <name>DiagnosisLooks</name>
    <message>
        <source>xx Pos</source>
        <translation>xx Pos</translation>
    </message>
    <message>
        <source>48 Pos</source>
        <translation>48 Pos</translation>
    </message>
    <message>
        <source>Norm</source>
        <translation>Norm</translation>
    </message>
</context>
<context>
    <name>DiagnosisRecording</name>
    <message>
        <source>Zeit (ms)</source>
        <translation>Time (ms)</translation>
    </message>
    <message>
        <source>Sense-Strom (roh)</source>
        <translation>Sense current (raw)</translation>
    </message>
    <message>
        <source>Sense-Strom (mA, R-Sense = %1 Ohm)</source>
        <translation>Sense current (mA, R-Sense = %1 ohm)</translation>
    </message>
    <message>
        <source>Sensor-Spannung (roh)</source>
        <translation>Sensor voltage (raw)</translation>
    </message>
    <message>
        <source>Sensor-Spannung (V)</source>
        <translation>Sensor voltage (V)</translation>
    </message>
    <message>
        <source>Direct Drive Geschwindigkeit</source>
        <translation>Direct drive speed</translation>
    </message>
    <message>
        <source>Direct Drive Richtung</source>
        <translation>Direct drive direction</translation>
    </message>
    <message>
        <source>Fehler Grube</source>
        <translation>Errors pit</translation>
    </message>
    <message>
        <source>Fehler Bühne</source>
        <translation>Errors bridge</translation>
    </message>
    <message>
        <source>links</source>
        <translation>left</translation>
    </message>
    <message>
        <source>rechts</source>
        <translation>right</translation>
    </message>
</context>
<context>
    <name>EepromLogic</name>
    <message>
        <source>%1 = %2 geschrieben und geprüft</source>
        <translation>%1 = %2 written and verified</translation>
    </message>
    <message>
        <source>%1: gelesen %2, geschrieben %3</source>
        <translation>%1: read %2, written %3</translation>
    </message>
    <message>
        <source>%1: keine zwei gleichen Antworten</source>
        <translation>%1: no two matching answers</translation>
    </message>
    <message>
        <source>%1: geschrieben, keine Antwort beim Prüfen</source>
        <translation>%1: written, no answer when verifying</translation>
    </message>
    <message>
        <source>%1: keine Antwort</source>
        <translation>%1: no answer</translation>
    </message>
    <message>
        <source>Alle 256 Zellen der %1 im PC auf 00 setzen?
Die bisherigen Werte gehen verloren und lassen sich nicht zurückholen; an die Platine wird nichts gesendet.</source>
        <translation>Set all 256 cells of the %1 in the PC to 00?
The current values will be lost and cannot be brought back; nothing is sent to the board.</translation>
    </message>
    <message>
        <source>Gruben-Platine</source>
        <translation>pit board</translation>
    </message>
    <message>
        <source>Bühnen-Platine</source>
        <translation>bridge board</translation>
    </message>
</context>
<context>
    <name>FileNames</name>
    <message>
        <source>%1: Ein Dateiname nur aus Punkten und Leerzeichen ist unter Windows nicht möglich.</source>
        <translation>%1: Windows takes no file name of dots and blanks alone.</translation>
    </message>
    <message>
        <source>%1: „%2“ ist unter Windows der Name eines Geräts und kann keine Datei benennen.</source>
        <translation>%1: “%2” is the name of a device on Windows and cannot name a file.</translation>
    </message>
    <message>
        <source>%1: Windows erlaubt das Zeichen „%2“ in Dateinamen nicht.</source>
        <translation>%1: Windows does not allow the character “%2” in file names.</translation>
    </message>
</context>
<context>
    <name>FileSafety</name>
    <message>
        <source>%1: Die Datei ist zu groß (%2 MB; höchstens %3 MB): sie ist keine Datei dieses Programms.</source>
        <translation>%1: The file is too large (%2 MB; at most %3 MB): it is no file of this program.</translation>
    </message>
    <message>
        <source>ist ein Ordner und keine Datei</source>
        <translation>is a folder, not a file</translation>
    </message>
    <message>
        <source>ist eine Pipe (FIFO) und keine gewöhnliche Datei</source>
        <translation>is a pipe (FIFO), not a regular file</translation>
    </message>
    <message>
        <source>ist ein Gerät und keine gewöhnliche Datei</source>
        <translation>is a device, not a regular file</translation>
    </message>
    <message>
        <source>ist ein Socket und keine gewöhnliche Datei</source>
        <translation>is a socket, not a regular file</translation>
    </message>
    <message>
        <source>ist keine gewöhnliche Datei</source>
        <translation>is not a regular file</translation>
    </message>
    <message>
        <source>%1: Die Datei ist schreibgeschützt.</source>
        <translation>%1: The file is read-only.</translation>
    </message>
</context>
<context>
    <name>HelpMenu</name>
    <message>
        <source>Handbuch</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Über Pivota</source>
        <translation>About Pivota</translation>
    </message>
    <message>
        <source>Hilfe</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Handbuch (F1) und Angaben zum Programm</source>
        <translation>Manual (F1) and about the program</translation>
    </message>
    <message>
        <source>Pivota %1</source>
        <translation>Pivota %1</translation>
    </message>
    <message>
        <source>Einrichten, Bedienen und Diagnose einer Drehscheiben-Steuerung</source>
        <translation>Set up, operate and diagnose a turntable controller</translation>
    </message>
    <message>
        <source>Erstellt am %1 mit Qt %2, läuft mit Qt %3</source>
        <translation>Built on %1 with Qt %2, running with Qt %3</translation>
    </message>
    <message>
        <source>Copyright 2026 Pivota maintainers</source>
        <translation>Copyright 2026 Pivota maintainers</translation>
    </message>
    <message>
        <source>Für Pivota wurde bisher keine Lizenz erteilt: alle Rechte vorbehalten.</source>
        <translation>No licence has been granted for Pivota so far: all rights reserved.</translation>
    </message>
    <message>
        <source>Enthält SimpleIni von Brodie Thiesfield (Expat-Lizenz).</source>
        <translation>Contains SimpleIni by Brodie Thiesfield (Expat licence).</translation>
    </message>
    <message>
        <source>Einstellungsdatei: %1</source>
        <translation>Settings file: %1</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Pivota – Handbuch</source>
        <translation>Pivota – Manual</translation>
    </message>
    <message>
        <source>Inhalt</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>Zurück</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Vor</source>
        <translation>Forward</translation>
    </message>
</context>
<context>
    <name>IniFile</name>
    <message>
        <source>%1: Der Inhalt ist keine lesbare Einstellungsdatei (beschädigt oder in einer unbekannten Kodierung).</source>
        <translation>%1: The content is not a readable settings file (damaged or in an unknown encoding).</translation>
    </message>
    <message>
        <source>%1: Auf dem Datenträger ist nicht genug Platz frei.</source>
        <translation>%1: Not enough free space on the disk.</translation>
    </message>
    <message>
        <source>%1: Die Datei konnte nicht geschrieben werden.</source>
        <translation>%1: The file could not be written.</translation>
    </message>
</context>
<context>
    <name>Link</name>
    <message>
        <source>verworfen (nicht angefragt): %1</source>
        <translation>discarded (not requested): %1</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>pivota: %1: %2
</source>
        <translation>pivota: %1: %2
</translation>
    </message>
    <message>
        <source>
Einstellungs-Datei: %1
</source>
        <translation>
Settings file: %1
</translation>
    </message>
</context>
<context>
    <name>Manual</name>
    <message>
        <source>de</source>
        <extracomment>The folder of the user manual in this language: &quot;en&quot; for the English one.</extracomment>
        <translation>en</translation>
    </message>
</context>
<context>
    <name>NetworkPortDevice</name>
    <message>
        <source>%1: Die Gegenstelle hat die Verbindung geschlossen: „%2“</source>
        <translation>%1: the far end closed the connection: “%2”</translation>
    </message>
    <message>
        <source>%1: Der Rechner %2 ist nicht bekannt (der Name lässt sich nicht auflösen).</source>
        <translation>%1: the host %2 is unknown (the name cannot be resolved).</translation>
    </message>
    <message>
        <source>%1: %2 weist die Verbindung ab: an Port %3 wartet kein Dienst.</source>
        <translation>%1: %2 refuses the connection: no service is listening on port %3.</translation>
    </message>
    <message>
        <source>%1: Die Gegenstelle hat die Verbindung gleich wieder geschlossen.</source>
        <translation>%1: the far end closed the connection at once.</translation>
    </message>
    <message>
        <source>%1: %2 antwortet nicht innerhalb von %3 s.</source>
        <translation>%1: %2 does not answer within %3 s.</translation>
    </message>
    <message>
        <source>%1: Die Gegenstelle hat die Verbindung angenommen, stellt die Leitung aber nicht innerhalb von %2 s ein.</source>
        <translation>%1: the far end accepted the connection but does not set up the line within %2 s.</translation>
    </message>
</context>
<context>
    <name>NetworkPortDialog</name>
    <message>
        <source>Name oder IP-Adresse</source>
        <translation>Name or IP address</translation>
    </message>
    <message>
        <source>TCP (Bytes unverändert)</source>
        <translation>TCP (bytes as they are)</translation>
    </message>
    <message>
        <source>RFC 2217 (Telnet, stellt auch die Baudrate ein)</source>
        <translation>RFC 2217 (Telnet, also sets the baud rate)</translation>
    </message>
    <message>
        <source>Die serielle Leitung des Steuergeräts über ein Gerät im Netzwerk, das sie als TCP-Port anbietet. Die Verbindung ist weder geschützt noch verschlüsselt: nur im eigenen Netz verwenden.</source>
        <translation>The controller&apos;s serial line through a device on the network that offers it as a TCP port. The connection has neither login nor encryption: use it on your own network only.</translation>
    </message>
    <message>
        <source>Rechner:</source>
        <translation>Host:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Protokoll:</source>
        <translation>Protocol:</translation>
    </message>
</context>
<context>
    <name>PacedTransfer</name>
    <message>
        <source>Grube</source>
        <translation>Pit</translation>
    </message>
    <message>
        <source>Bühne</source>
        <translation>Bridge</translation>
    </message>
    <message>
        <source>keine Antwort</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>keine zwei gleichen Antworten</source>
        <translation>no two matching answers</translation>
    </message>
    <message>
        <source>geschrieben %1, gelesen %2</source>
        <translation>written %1, read %2</translation>
    </message>
    <message>
        <source>gelesen</source>
        <translation>read</translation>
    </message>
    <message>
        <source>geschrieben</source>
        <translation>written</translation>
    </message>
    <message>
        <source>Unterbrochen, die Verbindung ging verloren: %1 in %2 s</source>
        <translation>Interrupted, the connection was lost: %1 in %2 s</translation>
    </message>
    <message>
        <source>Abgebrochen: %1 in %2 s, das Bisherige bleibt</source>
        <translation>Stopped: %1 in %2 s, results so far kept</translation>
    </message>
    <message>
        <source>, noch %1 s</source>
        <translation>, %1 s left</translation>
    </message>
    <message>
        <source>Abgebrochen: %1</source>
        <translation>Stopped: %1</translation>
    </message>
    <message>
        <source>Unterbrochen: %1</source>
        <translation>Interrupted: %1</translation>
    </message>
    <message>
        <source>wartet auf Antworten</source>
        <translation>waiting for answers</translation>
    </message>
    <message>
        <source>schreibt %1 erneut</source>
        <translation>writing %1 again</translation>
    </message>
    <message>
        <source>schreibt %1</source>
        <translation>writing %1</translation>
    </message>
    <message>
        <source>liest %1 zurück</source>
        <translation>reading %1 back</translation>
    </message>
    <message>
        <source>fragt %1 erneut</source>
        <translation>asking %1 again</translation>
    </message>
    <message>
        <source>liest %1</source>
        <translation>reading %1</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>Unterbrochen, die Steuerung antwortet nicht: %1 in %2 s</source>
        <translation>Interrupted, the controller does not answer: %1 in %2 s</translation>
    </message>
    <message>
        <source>%1 in %2 s gelesen, %3 wiederholt, %4 ohne Antwort</source>
        <translation>%1 read in %2 s, %3 repeated, %4 unanswered</translation>
    </message>
    <message>
        <source>%1 in %2 s geschrieben und geprüft, %3 wiederholt, %4 falsch</source>
        <translation>%1 written and verified in %2 s, %3 repeated, %4 wrong</translation>
    </message>
    <message>
        <source>Abgebrochen: %1 in %2 s geschrieben, das Bisherige bleibt</source>
        <translation>Stopped: %1 written in %2 s, the rest unchanged</translation>
    </message>
    <message>
        <source>%1 in %2 s geschrieben, nicht zurückgelesen</source>
        <translation>%1 written in %2 s, not read back</translation>
    </message>
</context>
<context>
    <name>Parameter</name>
    <message>
        <source>Geschwindigkeit für lange Drehwege</source>
        <translation>Speed for long turns</translation>
    </message>
    <message>
        <source>Geschwindigkeit in der Endphase der Drehung</source>
        <translation>Speed in the final phase of a turn</translation>
    </message>
    <message>
        <source>definiert die Sound-Länge (nur, wenn HORN gewählt)</source>
        <translation>sets the sound length (only when HORN is chosen)</translation>
    </message>
    <message>
        <source>Filter für Positionierung</source>
        <translation>Filter for positioning</translation>
    </message>
    <message>
        <source>Lastregelung: Strom bei minimaler Geschwindigkeit</source>
        <translation>Load control: current at minimum speed</translation>
    </message>
    <message>
        <source>Anzahl der Positionen, wenn DIP1 auf EIN steht</source>
        <translation>Number of positions when DIP1 is ON</translation>
    </message>
    <message>
        <source>PIC Software-Stand</source>
        <translation>PIC software version</translation>
    </message>
    <message>
        <source>der Zustand frei / besetzt wird vertauscht</source>
        <translation>the states free / occupied are swapped</translation>
    </message>
    <message>
        <source>Geschwindigkeit Links schnell</source>
        <translation>Speed left fast</translation>
    </message>
    <message>
        <source>max.=127</source>
        <translation>max.=127</translation>
    </message>
    <message>
        <source>Geschwindigkeit Rechts schnell</source>
        <translation>Speed right fast</translation>
    </message>
    <message>
        <source>Geschwindigkeit Links langsam</source>
        <translation>Speed left slow</translation>
    </message>
    <message>
        <source>Geschwindigkeit Rechts langsam</source>
        <translation>Speed right slow</translation>
    </message>
    <message>
        <source>Zeit: Dunkelphase Signal</source>
        <translation>Time: signal dark phase</translation>
    </message>
    <message>
        <source>Länge der Dunkelphase zwischen Weiss und Rot</source>
        <translation>Length of the dark phase between white and red</translation>
    </message>
    <message>
        <source>Zeit: Länge Horn bei Start</source>
        <translation>Time: horn length at start</translation>
    </message>
    <message>
        <source>Zeit: Länge Horn bei Stop</source>
        <translation>Time: horn length at stop</translation>
    </message>
    <message>
        <source>Zeit: Wartezeit Signal/Drehung</source>
        <translation>Time: wait signal/turn</translation>
    </message>
    <message>
        <source>Zeit zwischen Sound und Drehung Start</source>
        <translation>Time between sound and start of turn</translation>
    </message>
    <message>
        <source>Zeit: Wartezeit Drehung/Signal</source>
        <translation>Time: wait turn/signal</translation>
    </message>
    <message>
        <source>Zeit zwischen Drehung Ende und Sound</source>
        <translation>Time between end of turn and sound</translation>
    </message>
    <message>
        <source>Zeit: Erkennung Blockierung Start</source>
        <translation>Time: jam detection at start</translation>
    </message>
    <message>
        <source>Time-Out beim Anfahren, wenn keine Drehung mehr erkannt wird</source>
        <translation>Time-out when starting, if no turning is detected</translation>
    </message>
    <message>
        <source>Zeit: Erkennung Blockierung Fahrt</source>
        <translation>Time: jam detection while turning</translation>
    </message>
    <message>
        <source>Time-Out beim Drehen, wenn keine Drehung mehr erkannt wird</source>
        <translation>Time-out while turning, if turning is no longer detected</translation>
    </message>
    <message>
        <source>Zeit: Signal Überblenden</source>
        <translation>Time: signal fade</translation>
    </message>
    <message>
        <source>Licht-Signal: Zeit für Ein- und Ausblenden der Lichter</source>
        <translation>Light signal: time to fade the lights in and out</translation>
    </message>
    <message>
        <source>Sensor-Spannung: wenn dieser Schwellwert überschritten wird, hat Sensor die Helle Zone verlassen</source>
        <translation>Sensor voltage: above this threshold the sensor has left the bright zone</translation>
    </message>
    <message>
        <source>Sensor-Spannung: Position zählen, wenn dieser Schwellwert unterschritten wird (Helle Zone erkannt)</source>
        <translation>Sensor voltage: count a position when below this threshold (bright zone detected)</translation>
    </message>
    <message>
        <source>Strom Links</source>
        <translation>Current left</translation>
    </message>
    <message>
        <source>Strom Rechts</source>
        <translation>Current right</translation>
    </message>
    <message>
        <source>Strom Schwellwert</source>
        <translation>Current threshold</translation>
    </message>
    <message>
        <source>Lastregelung: Strom-Schwellwert</source>
        <translation>Load control: current threshold</translation>
    </message>
    <message>
        <source>Anfahr-Verzögerung</source>
        <translation>Start delay</translation>
    </message>
    <message>
        <source>je kleiner, desto schnelleres Anfahren der Bühne</source>
        <translation>the smaller, the faster the bridge starts</translation>
    </message>
    <message>
        <source>SUSI Lautstärke</source>
        <translation>SUSI volume</translation>
    </message>
    <message>
        <source>Lautstärke Sound, 255 = Laut / 1 = leise</source>
        <translation>Sound volume, 255 = loud / 1 = quiet</translation>
    </message>
    <message>
        <source>Alternative Positionsanzahl Bühne</source>
        <translation>Bridge: alternative position count</translation>
    </message>
    <message>
        <source>Alternative Positionsanzahl Grube</source>
        <translation>Pit: alternative position count</translation>
    </message>
    <message>
        <source>SW-Version GRUBE</source>
        <translation>SW version PIT</translation>
    </message>
    <message>
        <source>SW-Version BÜHNE</source>
        <translation>SW version BRIDGE</translation>
    </message>
    <message>
        <source>Lastregelung verwenden</source>
        <translation>Use load control</translation>
    </message>
    <message>
        <source>Sound verwenden</source>
        <translation>Use sound</translation>
    </message>
    <message>
        <source>Hall-Sensor setzt Position auf 0</source>
        <translation>Hall sensor sets position to 0</translation>
    </message>
    <message>
        <source>Drehrichtung umdrehen</source>
        <translation>Reverse direction</translation>
    </message>
    <message>
        <source>Blinklicht 1er-Blinken (sonst: 2er)</source>
        <translation>Beacon single flash (else: double)</translation>
    </message>
    <message>
        <source>Sound bei Stop Horn (sonst: Hupe)</source>
        <translation>Sound at stop: horn (else: hooter)</translation>
    </message>
    <message>
        <source>Sound bei Start Horn (sonst: Hupe)</source>
        <translation>Sound at start: horn (else: hooter)</translation>
    </message>
    <message>
        <source>Auswahl, ob Lastregelung verwendet wird</source>
        <translation>Chooses whether load control is used</translation>
    </message>
    <message>
        <source>Auswahl, ob Sound verwendet wird / SUSI Ansteuerung</source>
        <translation>Chooses whether sound is used / SUSI control</translation>
    </message>
    <message>
        <source>der Hall-Sensor wird verwendet</source>
        <translation>the Hall sensor is used</translation>
    </message>
    <message>
        <source>die Drehrichtung kann hiermit angepasst werden</source>
        <translation>adjusts the direction of turning</translation>
    </message>
    <message>
        <source>Blinkleuchte 2er-Blinken (Strobo) oder 1er-Blinken (Rundum)</source>
        <translation>Beacon double flash (strobe) or single flash (rotating)</translation>
    </message>
    <message>
        <source>Auswahl, ob Horn oder Hupe bei Drehung Stop</source>
        <translation>Chooses horn or hooter when a turn stops</translation>
    </message>
    <message>
        <source>Auswahl, ob Horn oder Hupe bei Drehung Start</source>
        <translation>Chooses horn or hooter when a turn starts</translation>
    </message>
    <message>
        <source>RM3 invertieren</source>
        <translation>Invert RM3</translation>
    </message>
    <message>
        <source>RM2 invertieren</source>
        <translation>Invert RM2</translation>
    </message>
    <message>
        <source>RM1 invertieren</source>
        <translation>Invert RM1</translation>
    </message>
    <message>
        <source>Kehrschleifenrelais verwenden</source>
        <translation>Use reversing-loop relay</translation>
    </message>
    <message>
        <source>TURN, wenn START=ZIEL</source>
        <translation>TURN if START=TARGET</translation>
    </message>
    <message>
        <source>Ansteuerung der Kehrschleifen-Relais wird unterbunden</source>
        <translation>Driving the reversing-loop relays is suppressed</translation>
    </message>
    <message>
        <source>ist STARTPOSITION = ZIELPOSITION, wird ein TURN gemacht</source>
        <translation>if STARTPOSITION = TARGETPOSITION, a TURN is made</translation>
    </message>
</context>
<context>
    <name>ParameterModel</name>
    <message>
        <source>%1: leeres Feld, wird nicht geschrieben</source>
        <translation>%1: empty field, not written</translation>
    </message>
    <message>
        <source>%1: %2 auf das Maximum %3 gesetzt</source>
        <translation>%1: %2 set to the maximum %3</translation>
    </message>
    <message>
        <source>%1: Feld leer gelassen, es bleibt %2</source>
        <translation>%1: field left empty, %2 stays</translation>
    </message>
    <message>
        <source>%1: %2 auf das Minimum %3 gesetzt</source>
        <translation>%1: %2 set to the minimum %3</translation>
    </message>
</context>
<context>
    <name>PortEnumerator</name>
    <message>
        <source>, Latenz %1 ms</source>
        <translation>, latency %1 ms</translation>
    </message>
    <message>
        <source>Kein Pfad angegeben.</source>
        <translation>No path given.</translation>
    </message>
    <message>
        <source>Das Gerät %1 gibt es nicht.</source>
        <translation>The device %1 does not exist.</translation>
    </message>
    <message>
        <source>%1 ist ein Ordner, kein Gerät.</source>
        <translation>%1 is a folder, not a device.</translation>
    </message>
    <message>
        <source>„%1“ ist kein Port-Name. Windows nennt die seriellen Ports COM1, COM2, COM3 ... (auch \\.\COM12).</source>
        <translation>“%1” is no port name. Windows names the serial ports COM1, COM2, COM3 ... (also \\.\COM12).</translation>
    </message>
</context>
<context>
    <name>PortHolders</name>
    <message>
        <source> Welches Programm es ist, ließ sich nicht feststellen.</source>
        <translation> The program could not be identified.</translation>
    </message>
    <message>
        <source> Welches Programm es ist, sagt Windows nicht.</source>
        <translation> Windows does not say which program it is.</translation>
    </message>
    <message>
        <source>Prozess %1</source>
        <translation>process %1</translation>
    </message>
</context>
<context>
    <name>QtDialogs</name>
    <message>
        <source>%1 ist bereits vorhanden.
Möchten Sie sie ersetzen?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
</context>
<context>
    <name>Receiver</name>
    <message>
        <source>Info %1: %2 %3 %4</source>
        <translation>Info %1: %2 %3 %4</translation>
    </message>
</context>
<context>
    <name>RecordCommand</name>
    <message>
        <source>pivota: %1
</source>
        <translation>pivota: %1
</translation>
    </message>
    <message>
        <source>Aufruf: pivota record --port GERÄT --seconds N [--baud N] [--settings DATEI]
              [--lang de|en] DATEI.csv
Die Optionen dürfen vor und nach dem Befehl stehen, in jeder Reihenfolge.

record   zeichnet N Sekunden lang die Messwerte der Diagnose auf (Sense-Strom und
         Sensor-Spannung roh und umgerechnet, Direct Drive, Fehler-Flags; alle
         200 ms) und schreibt sie als CSV-Datei wie &quot;Aufzeichnung speichern ...&quot;.

--port GERÄT     Gerätepfad (/dev/ttyUSB0), COM1..COM9 wie in der Einstellungs-Datei
                 zugeordnet, oder &quot;simulator&quot;
--seconds N      Dauer in Sekunden, 1 bis %1
--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)
--settings DATEI Einstellungs-Datei (Port-Zuordnung, Baud, R-Sense)
--lang de|en     Sprache der Meldungen und der CSV-Datei (Dezimalkomma oder -punkt)

Rückgabewert: 0 aufgezeichnet, 2 Aufruf- oder Dateifehler, 3 Verbindung
fehlgeschlagen oder keine Messwerte, 130 mit Strg-C abgebrochen (das bis dahin
Aufgezeichnete wird geschrieben).
</source>
        <translation>Usage: pivota record --port DEVICE --seconds N [--baud N] [--settings FILE]
              [--lang de|en] FILE.csv
The options may stand before and after the command, in any order.

record   records the diagnosis measurements for N seconds (sense current and
         sensor voltage raw and converted, direct drive, error flags; every
         200 ms) and writes them as a CSV file as &quot;Save recording ...&quot; does.

--port DEVICE    device path (/dev/ttyUSB0), COM1..COM9 as the settings file maps
                 them, or &quot;simulator&quot;
--seconds N      duration in seconds, 1 to %1
--baud N         2400, 9600 or 19200 (default: as in the settings file)
--settings FILE  settings file (port map, baud, R-Sense)
--lang de|en     language of the messages and of the CSV file (decimal comma or point)

Exit status: 0 recorded, 2 command line or file error, 3 connection failed or
no measurements, 130 stopped with Ctrl-C (what was recorded so far is written).
</translation>
    </message>
    <message>
        <source>Aufruf und Optionen: pivota record --help
</source>
        <translation>Usage and options: pivota record --help
</translation>
    </message>
    <message>
        <source>Kein Befehl record.</source>
        <translation>No record command.</translation>
    </message>
    <message>
        <source>GERÄT</source>
        <translation>DEVICE</translation>
    </message>
    <message>
        <source>DATEI</source>
        <translation>FILE</translation>
    </message>
    <message>
        <source>record braucht --port GERÄT.</source>
        <translation>record needs --port DEVICE.</translation>
    </message>
    <message>
        <source>record braucht --seconds N mit N von 1 bis %1.</source>
        <translation>record needs --seconds N with N from 1 to %1.</translation>
    </message>
    <message>
        <source>%1 ist die Einstellungs-Datei; die Aufzeichnung würde sie überschreiben. Nichts wurde gesendet.</source>
        <translation>%1 is the settings file; the recording would overwrite it. Nothing was sent.</translation>
    </message>
    <message>
        <source>Aufzeichnung über %1 s läuft, Strg-C beendet sie vorher.
</source>
        <translation>Recording for %1 s, Ctrl-C ends it earlier.
</translation>
    </message>
    <message>
        <source>Die Steuerung hat keine Messwerte gemeldet. Keine Datei geschrieben.</source>
        <translation>The controller reported no measurements. No file written.</translation>
    </message>
    <message>
        <source>%1 Messungen (%2 mit Messwerten) in %3 geschrieben.
</source>
        <translation>%1 measurements (%2 with values) written to %3.
</translation>
    </message>
</context>
<context>
    <name>Rfc2217Codec</name>
    <message>
        <source>Die Gegenstelle stellt die Leitung nicht ein (kein RFC 2217).</source>
        <translation>The far end does not set up the line (no RFC 2217).</translation>
    </message>
    <message>
        <source>Die Gegenstelle stellt %1 Baud nicht ein, sie antwortet mit %2 Baud.</source>
        <translation>The far end does not set %1 baud; it answers with %2 baud.</translation>
    </message>
</context>
<context>
    <name>ScriptCommand</name>
    <message>
        <source>Aufruf: pivota list [--json]

Listet die Namen aller Einstellungen beider Platinen, die get und set
kennen, mit Bedeutung, Einheit und Bereich, dann die Namen mit Nummer
(grube:N, buehne:N, P:N, ...).

--json  ein JSON-Dokument auf der Standard-Ausgabe
</source>
        <translation>Usage: pivota list [--json]

Lists the names of all settings of both boards that get and set know,
with meaning, unit and range, then the names with a number
(grube:N, buehne:N, P:N, ...).

--json  one JSON document on standard output
</translation>
    </message>
    <message>
        <source>Aufruf: pivota get --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]
                  [--json] NAME...

Liest die genannten Einstellungen von der Steuerung (jede Zelle zweimal,
nur gleiche Antworten gelten) und zeigt sie, wie die Karteikarte sie zeigt.
NAME wie pivota list sie zeigt, z. B. geschwindigkeit-links-schnell,
grube:52, buehne:0x07, P:3, gleis:3, name:3.

--port GERÄT     Gerätepfad, COM1..COM9 wie zugeordnet, oder &quot;simulator&quot;
--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)
--settings DATEI Einstellungs-Datei (Port-Zuordnung, Positionen und Namen)
--json           ein JSON-Dokument auf der Standard-Ausgabe

Rückgabewert: 0 alles gelesen und bestätigt, 1 Werte nicht bestätigt,
2 Aufruffehler oder unbekannter Name, 3 Verbindung fehlgeschlagen,
130 mit Strg-C abgebrochen.
</source>
        <translation>Usage: pivota get --port DEVICE [--baud N] [--settings FILE] [--lang de|en]
                  [--json] NAME...

Reads the named settings from the controller (every cell twice, only
agreeing answers count) and shows them as the tab shows them.
NAME as pivota list shows it, e.g. geschwindigkeit-links-schnell,
grube:52, buehne:0x07, P:3, gleis:3, name:3.

--port DEVICE    device path, COM1..COM9 as assigned, or &quot;simulator&quot;
--baud N         2400, 9600 or 19200 (default: as in the settings file)
--settings FILE  settings file (port map, positions and names)
--json           one JSON document on standard output

Exit status: 0 all read and confirmed, 1 values not confirmed,
2 usage error or unknown name, 3 connection failed,
130 stopped with Ctrl-C.
</translation>
    </message>
    <message>
        <source>Aufruf: pivota set --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]
                  [--json] [--force] NAME=WERT...
        pivota set --port GERÄT ... --from DATEI [TEIL...]

Schreibt die Werte auf die Steuerung, jede Zelle zurückgelesen. Geschrieben
wird nur, was abweicht (mit --force alles). Ein Wert außerhalb des Bereichs
der Zeile wird abgelehnt, bevor etwas gesendet wird.
WERT: die Zahl der Karteikarte (20) oder ein Wert mit der Einheit der Zeile
(1.27s); ja/nein für eine Option; dcc:230/gruen oder mm:12/rot für eine
Adresszeile; gleis:N und name:N stehen in der Einstellungs-Datei.
Mit --from: die TEILE der Konfigurations-Datei (positionen, parameter,
adressen; ohne TEIL alle drei), wie &quot;laden&quot; sie nimmt: abweichende Zellen
geschrieben, die Positionen in die Einstellungs-Datei.

--port GERÄT     Gerätepfad, COM1..COM9 wie zugeordnet, oder &quot;simulator&quot;
--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)
--settings DATEI Einstellungs-Datei (Port-Zuordnung, Positionen und Namen)
--force          auch schreiben, was schon gleich ist
--json           ein JSON-Dokument auf der Standard-Ausgabe

Rückgabewert: 0 alles geschrieben und bestätigt, 1 Zellen nicht bestätigt
oder nicht geschrieben, 2 Aufruffehler oder ungültiger Wert (nichts
gesendet), 3 Verbindung fehlgeschlagen, 130 mit Strg-C abgebrochen.
</source>
        <translation>Usage: pivota set --port DEVICE [--baud N] [--settings FILE] [--lang de|en]
                  [--json] [--force] NAME=VALUE...
       pivota set --port DEVICE ... --from FILE [PART...]

Writes the values to the controller, every cell read back. Only what differs
is written (everything with --force). A value outside the row&apos;s range is
refused before anything is sent.
VALUE: the number the tab shows (20) or a value in the row&apos;s unit
(1.27s); yes/no for an option; dcc:230/green or mm:12/red for an
address row; gleis:N and name:N live in the settings file.
With --from: the PARTS of the configuration file (positionen, parameter,
adressen; all three without a PART), as &quot;Load&quot; takes them: differing cells
written, the positions into the settings file.

--port DEVICE    device path, COM1..COM9 as assigned, or &quot;simulator&quot;
--baud N         2400, 9600 or 19200 (default: as in the settings file)
--settings FILE  settings file (port map, positions and names)
--force          also write what is equal already
--json           one JSON document on standard output

Exit status: 0 all written and confirmed, 1 cells not confirmed
or not written, 2 usage error or invalid value (nothing
sent), 3 connection failed, 130 stopped with Ctrl-C.
</translation>
    </message>
    <message>
        <source>Aufruf: pivota diff [--json] DATEI_A DATEI_B

Vergleicht zwei Konfigurations-Dateien ohne Steuerung, Einstellung für
Einstellung, mit den Namen von get und set.

--json  ein JSON-Dokument auf der Standard-Ausgabe

Rückgabewert: 0 gleich, 1 verschieden, 2 Aufruffehler oder Datei nicht
lesbar.
</source>
        <translation>Usage: pivota diff [--json] FILE_A FILE_B

Compares two configuration files without a controller, setting by
setting, with the names of get and set.

--json  one JSON document on standard output

Exit status: 0 equal, 1 different, 2 usage error or file not
readable.
</translation>
    </message>
    <message>
        <source>pivota: %1
</source>
        <translation>pivota: %1
</translation>
    </message>
    <message>
        <source>Aufruf und Optionen: pivota %1 --help
</source>
        <translation>Usage and options: pivota %1 --help
</translation>
    </message>
    <message>
        <source>--%1 gilt nicht für %2.</source>
        <translation>--%1 does not apply to %2.</translation>
    </message>
    <message>
        <source>--settings braucht einen Dateinamen.</source>
        <translation>--settings needs a file name.</translation>
    </message>
    <message>
        <source>--from braucht einen Dateinamen.</source>
        <translation>--from needs a file name.</translation>
    </message>
    <message>
        <source>„%1“ ist kein Teil einer Datei (positionen, parameter, adressen).</source>
        <translation>&quot;%1&quot; is no part of a file (positionen, parameter, adressen).</translation>
    </message>
    <message>
        <source>Unerwartetes Argument „%1“.</source>
        <translation>Unexpected argument &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>get braucht mindestens einen NAME.</source>
        <translation>get needs at least one NAME.</translation>
    </message>
    <message>
        <source>set braucht mindestens ein NAME=WERT.</source>
        <translation>set needs at least one NAME=VALUE.</translation>
    </message>
    <message>
        <source>diff braucht zwei Dateien.</source>
        <translation>diff needs two files.</translation>
    </message>
    <message>
        <source>%1 bis %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>, Einheit %1</source>
        <translation>, unit %1</translation>
    </message>
    <message>
        <source>ja/nein</source>
        <translation>yes/no</translation>
    </message>
    <message>
        <source>dcc:N/gruen, mm:N/rot</source>
        <translation>dcc:N/green, mm:N/red</translation>
    </message>
    <message>
        <source>nur lesbar</source>
        <translation>read only</translation>
    </message>
    <message>
        <source>A: %1
B: %2
</source>
        <translation>A: %1
B: %2
</translation>
    </message>
    <message>
        <source>%1 (%2): A %3, B %4
</source>
        <translation>%1 (%2): A %3, B %4
</translation>
    </message>
    <message>
        <source>Keine Unterschiede.
</source>
        <translation>No differences.
</translation>
    </message>
    <message>
        <source>1 Unterschied.
</source>
        <translation>1 difference.
</translation>
    </message>
    <message>
        <source>%1 Unterschiede.
</source>
        <translation>%1 differences.
</translation>
    </message>
    <message>
        <source>%1: %2
</source>
        <translation>%1: %2
</translation>
    </message>
    <message>
        <source>%1 = %2, unverändert
</source>
        <translation>%1 = %2, unchanged
</translation>
    </message>
    <message>
        <source>%1 = %2 (war %3), geschrieben und zurückgelesen
</source>
        <translation>%1 = %2 (was %3), written and read back
</translation>
    </message>
    <message>
        <source>%1: %2 geschrieben, aber nicht bestätigt
</source>
        <translation>%1: %2 written, but not confirmed
</translation>
    </message>
    <message>
        <source>%1: nicht geschrieben
</source>
        <translation>%1: not written
</translation>
    </message>
    <message>
        <source>„%1“: NAME=WERT erwartet.</source>
        <translation>&quot;%1&quot;: NAME=VALUE expected.</translation>
    </message>
    <message>
        <source>%1 braucht --port GERÄT.</source>
        <translation>%1 needs --port DEVICE.</translation>
    </message>
    <message>
        <source>Nichts wurde gesendet.
</source>
        <translation>Nothing was sent.
</translation>
    </message>
    <message>
        <source>%1 enthält nicht: %2. Nichts wurde gesendet.</source>
        <translation>%1 does not hold: %2. Nothing was sent.</translation>
    </message>
    <message>
        <source>%1 hält für %2 Zellen keinen Wert. Nichts wurde gesendet.</source>
        <translation>%1 holds no value for %2 cells. Nothing was sent.</translation>
    </message>
    <message>
        <source>1 Zelle geschrieben, davon %1 nicht bestätigt.
</source>
        <translation>1 cell written, %1 of them not confirmed.
</translation>
    </message>
    <message>
        <source>%1 Zellen geschrieben, davon %2 nicht bestätigt.
</source>
        <translation>%1 cells written, %2 of them not confirmed.
</translation>
    </message>
    <message>
        <source>Gleis-Definition in die Einstellungs-Datei geschrieben.
</source>
        <translation>Track definition written to the settings file.
</translation>
    </message>
    <message>
        <source>Gleis-Definition unverändert.
</source>
        <translation>Track definition unchanged.
</translation>
    </message>
    <message>
        <source>Kein Befehl (list, get, set, diff, drive).</source>
        <translation>No command (list, get, set, diff, drive).</translation>
    </message>
    <message>
        <source>--to %1: Position 1 bis %2 erwartet.</source>
        <translation>--to %1: position 1 to %2 expected.</translation>
    </message>
    <message>
        <source>--light braucht on oder off.</source>
        <translation>--light needs on or off.</translation>
    </message>
    <message>
        <source>--timeout %1: 1 bis 3600 Sekunden erwartet.</source>
        <translation>--timeout %1: 1 to 3600 seconds expected.</translation>
    </message>
    <message>
        <source>drive braucht --to N, --stop oder --light on|off.</source>
        <translation>drive needs --to N, --stop or --light on|off.</translation>
    </message>
    <message>
        <source>--to und --stop schließen einander aus.</source>
        <translation>--to and --stop exclude each other.</translation>
    </message>
    <message>
        <source>--left und --right schließen einander aus.</source>
        <translation>--left and --right exclude each other.</translation>
    </message>
    <message>
        <source>--left und --right gelten mit --to.</source>
        <translation>--left and --right apply with --to.</translation>
    </message>
    <message>
        <source>--timeout gilt mit --wait.</source>
        <translation>--timeout applies with --wait.</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>Gesendet.</source>
        <translation>Sent.</translation>
    </message>
    <message>
        <source>Die Bühne steht auf Position %1.</source>
        <translation>The bridge stands at position %1.</translation>
    </message>
    <message>
        <source>Licht AN.</source>
        <translation>Light ON.</translation>
    </message>
    <message>
        <source>Licht AUS.</source>
        <translation>Light OFF.</translation>
    </message>
    <message>
        <source>Die Bühne klemmt (gemeldet auf Position %1).</source>
        <translation>The bridge is jammed (reported at position %1).</translation>
    </message>
    <message>
        <source>Die Bühne dreht gerade. Nichts wurde gesendet.</source>
        <translation>The bridge is turning. Nothing was sent.</translation>
    </message>
    <message>
        <source>Die Steuerung meldet keinen Zustand der Bühne.</source>
        <translation>The controller reports no state of the bridge.</translation>
    </message>
    <message>
        <source>Nicht in %1 s angekommen (gemeldet auf Position %2).</source>
        <translation>Not arrived within %1 s (reported at position %2).</translation>
    </message>
    <message>
        <source>pivota: --to %1: die Bühne hat %2 Positionen.
Nichts wurde gesendet.
</source>
        <translation>pivota: --to %1: the bridge has %2 positions.
Nothing was sent.
</translation>
    </message>
    <message>
        <source>Abgebrochen, die Bühne hält.</source>
        <translation>Interrupted, the bridge stops.</translation>
    </message>
    <message>
        <source>Aufruf: pivota drive --port GERÄT [--baud N] [--settings DATEI] [--lang de|en]
                    [--json] --to N [--left|--right] [--wait [--timeout S]]
        pivota drive --port GERÄT ... --stop [--wait]
        pivota drive --port GERÄT ... --light on|off [--wait]

Dreht die Bühne wie die Karteikarte Betrieb: zur Position N (links, rechts
oder ohne Angabe den kürzeren Weg), hält sie an der nächsten Position an
oder schaltet das Licht. Gesendet wird nur, während die Steuerung eine
stehende Bühne meldet.

--port GERÄT     Gerätepfad, COM1..COM9 wie zugeordnet, oder &quot;simulator&quot;
--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)
--settings DATEI Einstellungs-Datei (Port-Zuordnung, Zählrichtung)
--wait           warten, bis die Steuerung die Bühne auf N stehend meldet
--timeout S      so viele Sekunden höchstens warten (Vorgabe: %1)
--json           ein JSON-Dokument auf der Standard-Ausgabe

Rückgabewert: 0 gesendet (mit --wait: angekommen), 1 Bühne blockiert, nicht
angekommen oder dreht schon, 2 Aufruffehler (nichts gesendet),
3 Verbindung fehlgeschlagen, 130 mit Strg-C abgebrochen (die Bühne hält).
</source>
        <translation>Usage: pivota drive --port DEVICE [--baud N] [--settings FILE] [--lang de|en]
                    [--json] --to N [--left|--right] [--wait [--timeout S]]
       pivota drive --port DEVICE ... --stop [--wait]
       pivota drive --port DEVICE ... --light on|off [--wait]

Turns the bridge as the Operation tab does: to position N (left, right or,
without either, the shorter way), stops it at the next position or switches
the light. Commands are sent only while the controller reports the bridge
standing.

--port DEVICE    device path, COM1..COM9 as assigned, or &quot;simulator&quot;
--baud N         2400, 9600 or 19200 (default: as in the settings file)
--settings FILE  settings file (port map, counting direction)
--wait           wait until the controller reports the bridge standing at N
--timeout S      wait at most this many seconds (default: %1)
--json           one JSON document on standard output

Exit status: 0 sent (with --wait: arrived), 1 bridge jammed, not arrived or
already turning, 2 usage error (nothing sent), 3 connection failed,
130 interrupted with Ctrl-C (the bridge stops).
</translation>
    </message>
</context>
<context>
    <name>Scripting</name>
    <message>
        <source>unbestätigt</source>
        <translation>unconfirmed</translation>
    </message>
    <message>
        <source>kein Wert</source>
        <translation>no value</translation>
    </message>
    <message>
        <source>keine Antwort</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>fehlt</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>nicht gelesen</source>
        <translation>not read</translation>
    </message>
    <message>
        <source>%1: %2 liegt außerhalb von %3 bis %4.</source>
        <translation>%1: %2 lies outside %3 to %4.</translation>
    </message>
    <message>
        <source>keine Adresszeile fährt Position %1 an</source>
        <translation>no address row drives to position %1</translation>
    </message>
    <message>
        <source>Zelle N der Gruben-Platine</source>
        <translation>cell N of the pit board</translation>
    </message>
    <message>
        <source>Zelle N der Bühnen-Platine</source>
        <translation>cell N of the bridge board</translation>
    </message>
    <message>
        <source>Adresse der Adresszeile, die Position N anfährt</source>
        <translation>address of the address row that drives to position N</translation>
    </message>
    <message>
        <source>Adresse der Positionszeile N</source>
        <translation>address of position row N</translation>
    </message>
    <message>
        <source>Position N in Benutzung (Einstellungs-Datei)</source>
        <translation>position N in use (settings file)</translation>
    </message>
    <message>
        <source>Name der Position N (Einstellungs-Datei)</source>
        <translation>name of position N (settings file)</translation>
    </message>
    <message>
        <source>Unbekannter Name „%1“ (pivota list zeigt alle Namen).</source>
        <translation>Unknown name &quot;%1&quot; (pivota list shows all names).</translation>
    </message>
    <message>
        <source>%1: die Nummer muss zwischen %2 und %3 liegen.</source>
        <translation>%1: the number must lie between %2 and %3.</translation>
    </message>
    <message>
        <source>Adresse für Position %1</source>
        <translation>Address for position %1</translation>
    </message>
    <message>
        <source>Adresse „%1“</source>
        <translation>Address &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Position %1 in Benutzung</source>
        <translation>Position %1 in use</translation>
    </message>
    <message>
        <source>Name der Position %1</source>
        <translation>Name of position %1</translation>
    </message>
    <message>
        <source>ja</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>nein</source>
        <translation>no</translation>
    </message>
    <message>
        <source>gruen</source>
        <translation>green</translation>
    </message>
    <message>
        <source>rot</source>
        <translation>red</translation>
    </message>
    <message>
        <source>%1: „%2“ ist keine ganze Zahl.</source>
        <translation>%1: &quot;%2&quot; is no whole number.</translation>
    </message>
    <message>
        <source>%1: „%2“ ist keine ganze Zahl und kein Wert in %3 („1.27%3“).</source>
        <translation>%1: &quot;%2&quot; is neither a whole number nor a value in %3 (&quot;1.27%3&quot;).</translation>
    </message>
    <message>
        <source>%1: ganze Zahlen ohne Einheit, nicht „%2“.</source>
        <translation>%1: whole numbers without a unit, not &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>%1: die Einheit ist %2, nicht „%3“.</source>
        <translation>%1: the unit is %2, not &quot;%3&quot;.</translation>
    </message>
    <message>
        <source>%1: „%2“ ohne Einheit: eine ganze Zahl, oder ein Wert mit %3 („%2%3“).</source>
        <translation>%1: &quot;%2&quot; without a unit: a whole number, or a value with %3 (&quot;%2%3&quot;).</translation>
    </message>
    <message>
        <source> (%1 %2 bis %3 %2).</source>
        <translation> (%1 %2 to %3 %2).</translation>
    </message>
    <message>
        <source>%1: eine Adresse wie dcc:230/gruen oder mm:12/rot, nicht „%2“.</source>
        <translation>%1: an address such as dcc:230/green or mm:12/red, not &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>%1: zur Adresse gehört die Farbe: %2/%3 oder %2/%4.</source>
        <translation>%1: the address needs its colour: %2/%3 or %2/%4.</translation>
    </message>
    <message>
        <source>%1: nur lesbar, die Firmware-Version schreibt die Platine selbst.</source>
        <translation>%1: read only, the board writes its firmware version itself.</translation>
    </message>
    <message>
        <source>%1: eine Zelle der Firmware-Version, sie wird nie geschrieben.</source>
        <translation>%1: a cell of the firmware version, it is never written.</translation>
    </message>
    <message>
        <source>%1: %2 oder %3, nicht „%4“.</source>
        <translation>%1: %2 or %3, not &quot;%4&quot;.</translation>
    </message>
    <message>
        <source>%1: „%2“ ist keine Zahl von 0 bis 255.</source>
        <translation>%1: &quot;%2&quot; is no number from 0 to 255.</translation>
    </message>
    <message>
        <source>keine gültige DCC-Adresse (%1)</source>
        <translation>no valid DCC address (%1)</translation>
    </message>
    <message>
        <source>%1: die Zelle %2 %3 ist nicht bestätigt, das Bit wird nicht geschrieben.</source>
        <translation>%1: cell %2 %3 is not confirmed, the bit is not written.</translation>
    </message>
    <message>
        <source>%1: die Positionsnummern der Adresszeilen sind nicht bestätigt.</source>
        <translation>%1: the position numbers of the address rows are not confirmed.</translation>
    </message>
</context>
<context>
    <name>SendLogView</name>
    <message>
        <source>Sendeprotokoll</source>
        <translation>Send log</translation>
    </message>
    <message>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Alles auswählen</source>
        <translation>Select All</translation>
    </message>
</context>
<context>
    <name>SerialPortDevice</name>
    <message>
        <source>Port ist nicht geöffnet.</source>
        <translation>Port is not open.</translation>
    </message>
    <message>
        <source>%1 ist eine Datei und keine serielle Schnittstelle.</source>
        <translation>%1 is a file, not a serial port.</translation>
    </message>
    <message>
        <source>%1 ist ein Ordner und keine serielle Schnittstelle.</source>
        <translation>%1 is a folder, not a serial port.</translation>
    </message>
    <message>
        <source>%1 ist keine serielle Schnittstelle.</source>
        <translation>%1 is not a serial port.</translation>
    </message>
</context>
<context>
    <name>SettingJob</name>
    <message>
        <source>Abgebrochen: nichts wurde geschrieben.</source>
        <translation>Stopped: nothing was written.</translation>
    </message>
    <message>
        <source>schreibt %1</source>
        <translation>writing %1</translation>
    </message>
    <message>
        <source>liest %1</source>
        <translation>reading %1</translation>
    </message>
    <message>
        <source>Abgebrochen: ein Teil der Zellen wurde geschrieben.</source>
        <translation>Stopped: some of the cells were written.</translation>
    </message>
    <message>
        <source>Die Steuerung antwortet nicht: Verbindung und Stromversorgung prüfen.</source>
        <translation>The controller does not answer: check the connection and the power supply.</translation>
    </message>
    <message>
        <source>Die Verbindung ging verloren.</source>
        <translation>The connection was lost.</translation>
    </message>
    <message>
        <source>Nichts wurde geschrieben.</source>
        <translation>Nothing was written.</translation>
    </message>
    <message>
        <source>1 Zelle ohne sichere Antwort der Steuerung wird nicht geschrieben.</source>
        <translation>1 cell without a sure answer from the controller is not written.</translation>
    </message>
    <message>
        <source>%1 Zellen ohne sichere Antwort der Steuerung werden nicht geschrieben.</source>
        <translation>%1 cells without a sure answer from the controller are not written.</translation>
    </message>
    <message>
        <source>Die Einstellungs-Datei %1 wurde nicht geschrieben: %2</source>
        <translation>The settings file %1 was not written: %2</translation>
    </message>
    <message>
        <source>Die Einstellungs-Datei %1 hält die Gleis-Definition nicht wie geschrieben.</source>
        <translation>The settings file %1 does not hold the track definition as written.</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>Die Einstellungsdatei kann nicht gelesen werden; es gelten die Vorgabewerte. Beim Beenden wird sie nicht überschrieben.
%1</source>
        <translation>The settings file cannot be read; defaults apply. Quitting will not overwrite it.
%1</translation>
    </message>
    <message>
        <source>Die Einstellungen konnten nicht gespeichert werden.
%1</source>
        <translation>The settings could not be saved.
%1</translation>
    </message>
    <message>
        <source>%1 ist ein Ordner, keine Datei.</source>
        <translation>%1 is a folder, not a file.</translation>
    </message>
</context>
<context>
    <name>SheetCommand</name>
    <message>
        <source>pivota: %1
</source>
        <translation>pivota: %1
</translation>
    </message>
    <message>
        <source>Aufruf: pivota sheet [--title NAME] [--lang de|en] DATEI AUSGABE.pdf
        pivota sheet --port GERÄT [--baud N] [--settings DATEI] [--title NAME]
              [--lang de|en] AUSGABE.pdf
Die Optionen dürfen vor und nach dem Befehl stehen, in jeder Reihenfolge.

sheet    schreibt das Stationsblatt als PDF-Datei (A4): Positionen und ihre Namen,
         das Bild der Drehscheibe, die Zubehör-Adressen, alle Parameter beider
         Platinen mit Vorgabe, und woher die Daten stammen. Aus einer
         Konfigurations-Datei, Einstellungs-Datei oder Sicherung, oder mit --port
         von der Steuerung gelesen wie bei einer Sicherung.

--port GERÄT     Gerätepfad (/dev/ttyUSB0), COM1..COM9 wie in der Einstellungs-Datei
                 zugeordnet, oder &quot;simulator&quot;
--baud N         2400, 9600 oder 19200 (Vorgabe: wie in der Einstellungs-Datei)
--settings DATEI Einstellungs-Datei (Port-Zuordnung, Positionen und ihre Namen)
--title NAME     Titel des Blatts (Vorgabe: der Name der Datei)
--lang de|en     Sprache des Blatts und der Meldungen

Rückgabewert: 0 geschrieben, 2 Aufruf- oder Dateifehler, 3 Verbindung
fehlgeschlagen, 130 mit Strg-C abgebrochen.
</source>
        <translation>Usage: pivota sheet [--title NAME] [--lang de|en] FILE OUT.pdf
       pivota sheet --port DEVICE [--baud N] [--settings FILE] [--title NAME]
             [--lang de|en] OUT.pdf
The options may stand before and after the command, in any order.

sheet    writes the station sheet as a PDF file (A4): positions and their names,
         the turntable picture, the accessory addresses, every parameter of both
         boards with its default, and where the data came from. From a
         configuration file, settings file or backup, or with --port read from
         the controller as a backup reads it.

--port DEVICE    device path (/dev/ttyUSB0), COM1..COM9 as mapped in the settings
                 file, or &quot;simulator&quot;
--baud N         2400, 9600 or 19200 (default: as in the settings file)
--settings FILE  settings file (port map, positions and their names)
--title NAME     title of the sheet (default: the file&apos;s name)
--lang de|en     language of the sheet and the messages

Exit status: 0 written, 2 usage or file error, 3 connection failed,
130 interrupted with Ctrl-C.
</translation>
    </message>
    <message>
        <source>Aufruf und Optionen: pivota sheet --help
</source>
        <translation>Usage and options: pivota sheet --help
</translation>
    </message>
    <message>
        <source>Kein Befehl sheet.</source>
        <translation>No sheet command.</translation>
    </message>
    <message>
        <source>Unerwartetes Argument „%1“.</source>
        <translation>Unexpected argument “%1”.</translation>
    </message>
    <message>
        <source>sheet braucht eine DATEI und die AUSGABE.pdf.</source>
        <translation>sheet needs a FILE and the OUT.pdf.</translation>
    </message>
    <message>
        <source>sheet braucht die AUSGABE.pdf.</source>
        <translation>sheet needs the OUT.pdf.</translation>
    </message>
    <message>
        <source>%1 würde die gelesene Datei überschreiben.</source>
        <translation>%1 would overwrite the file read.</translation>
    </message>
    <message>
        <source>Stationsblatt in %1 geschrieben.
</source>
        <translation>Station sheet written to %1.
</translation>
    </message>
</context>
<context>
    <name>SheetPrinter</name>
    <message>
        <source>Seite %1 von %2</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>Stationsblatt: %1</source>
        <translation>Station sheet: %1</translation>
    </message>
    <message>
        <source>Erstellt am %1 mit Pivota %2</source>
        <translation>Made on %1 with Pivota %2</translation>
    </message>
    <message>
        <source>Firmware Grube: %1, Bühne: %2</source>
        <translation>Firmware pit: %1, bridge: %2</translation>
    </message>
    <message>
        <source>Herkunft der Daten: %1</source>
        <translation>Data from: %1</translation>
    </message>
    <message>
        <source>Positionen: %1, davon in Benutzung: %2</source>
        <translation>Positions: %1, in use: %2</translation>
    </message>
    <message>
        <source>Positionen in Benutzung</source>
        <translation>Positions in use</translation>
    </message>
    <message>
        <source>Nr.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Zubehör-Adressen</source>
        <translation>Accessory addresses</translation>
    </message>
    <message>
        <source>Zeile</source>
        <translation>Row</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Adresse</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Ausgang</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>fährt Position</source>
        <translation>drives to position</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Platine</source>
        <translation>Board</translation>
    </message>
    <message>
        <source>Wert</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Einheit</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>Vorgabe</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>* weicht von der Vorgabe ab</source>
        <translation>* differs from the default</translation>
    </message>
    <message>
        <source>Zellen ohne bestätigten Wert</source>
        <translation>Cells without a confirmed value</translation>
    </message>
    <message>
        <source>%1 kann nicht geschrieben werden.</source>
        <translation>%1 cannot be written.</translation>
    </message>
</context>
<context>
    <name>StationSheet</name>
    <message>
        <source>DCC + Motorola</source>
        <translation>DCC + Motorola</translation>
    </message>
    <message>
        <source>DCC</source>
        <translation>DCC</translation>
    </message>
    <message>
        <source>keine</source>
        <translation>none</translation>
    </message>
    <message>
        <source>grün</source>
        <translation>green</translation>
    </message>
    <message>
        <source>rot</source>
        <translation>red</translation>
    </message>
    <message>
        <source>von der Steuerung gelesen</source>
        <translation>read from the controller</translation>
    </message>
    <message>
        <source>Sicherung %1 vom %2, Prüfsumme stimmt</source>
        <translation>backup %1 of %2, checksum correct</translation>
    </message>
    <message>
        <source>Datei %1 (ohne Prüfsumme)</source>
        <translation>file %1 (no checksum)</translation>
    </message>
    <message>
        <source>Stand im Programm (von der Steuerung gelesen, geladen oder eingegeben)</source>
        <translation>as the program holds it (read from the controller, loaded or typed)</translation>
    </message>
</context>
<context>
    <name>TFrameBedienung</name>
    <message>
        <source>Position Bühne</source>
        <translation>Bridge position</translation>
    </message>
    <message>
        <source>Ist-Position</source>
        <translation>Current pos.</translation>
    </message>
    <message>
        <source>Ziel-Position</source>
        <translation>Target position</translation>
    </message>
    <message>
        <source>Ziel-Position der Grube (z.B. Ausgelöst durch digitale Befehle)</source>
        <translation>Target position of the pit board (e.g. set by digital commands)</translation>
    </message>
    <message>
        <source>zeige Ziel-Position erzeugt durch Digital-Befehl</source>
        <translation>Show target set by digital command</translation>
    </message>
    <message>
        <source>In der Grafik wird als Zielposition der Interne Wert 
der Gruben-Platine dargestellt
(z.B. hervorgerufen durch Digitle Befehle)</source>
        <translation>The picture shows as target the internal value 
of the pit board
(e.g. caused by digital commands)</translation>
    </message>
    <message>
        <source>zum Ziel
drehen
Links</source>
        <translation>Turn to
target
left</translation>
    </message>
    <message>
        <source>Stopp
Drehung</source>
        <translation>Stop
turning</translation>
    </message>
    <message>
        <source>Bühne stoppt an nächsten Raster</source>
        <translation>Bridge stops at the next position</translation>
    </message>
    <message>
        <source>zum Ziel
drehen
Rechts</source>
        <translation>Turn to
target
right</translation>
    </message>
    <message>
        <source>Endlos
Links</source>
        <translation>Endless
left</translation>
    </message>
    <message>
        <source>Endlos
Rechts</source>
        <translation>Endless
right</translation>
    </message>
    <message>
        <source>Ziel-Position
 - 1 </source>
        <translation>Target
 - 1 </translation>
    </message>
    <message>
        <source>Turn
 180° </source>
        <translation>Turn
 180° </translation>
    </message>
    <message>
        <source>Ziel-Position
 + 1 </source>
        <translation>Target
 + 1 </translation>
    </message>
    <message>
        <source> Bühne</source>
        <translation> Bridge</translation>
    </message>
    <message>
        <source>Bühne dreht</source>
        <translation>Bridge turning</translation>
    </message>
    <message>
        <source>Befehl an Bühne zum Drehen</source>
        <translation>Turn command to the bridge</translation>
    </message>
    <message>
        <source>Drehrichtung der Bühne</source>
        <translation>Direction of the bridge</translation>
    </message>
    <message>
        <source>Hausbeleuchtung: Status der Bühne</source>
        <translation>Cabin light: bridge status</translation>
    </message>
    <message>
        <source>Rückmelder</source>
        <translation>Detectors</translation>
    </message>
    <message>
        <source>Status Rückmelder 1</source>
        <translation>Detector 1 status</translation>
    </message>
    <message>
        <source>Status Rückmelder 2</source>
        <translation>Detector 2 status</translation>
    </message>
    <message>
        <source>Status Rückmelder 3</source>
        <translation>Detector 3 status</translation>
    </message>
    <message>
        <source>Status Hall-Sensor</source>
        <translation>Hall sensor status</translation>
    </message>
    <message>
        <source>Licht</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>manuelles Schalten Licht</source>
        <translation>switch the light by hand</translation>
    </message>
    <message>
        <source>Blinklicht</source>
        <translation>Beacon</translation>
    </message>
    <message>
        <source>manuelles Betätigen Blinklicht</source>
        <translation>switch the beacon by hand</translation>
    </message>
    <message>
        <source>Hupe</source>
        <translation>Hooter</translation>
    </message>
    <message>
        <source>manuelles Betätigen Hupe</source>
        <translation>sound the hooter by hand</translation>
    </message>
    <message>
        <source>Horn</source>
        <translation>Horn</translation>
    </message>
    <message>
        <source>manuelles Betätigen Horn</source>
        <translation>sound the horn by hand</translation>
    </message>
    <message>
        <source>Diese Position anfahren </source>
        <translation>Go to this position </translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Licht AN</source>
        <translation>Light ON</translation>
    </message>
    <message>
        <source>Licht AUS</source>
        <translation>Light OFF</translation>
    </message>
    <message>
        <source>belegt</source>
        <translation>occupied</translation>
    </message>
    <message>
        <source>frei</source>
        <translation>free</translation>
    </message>
    <message>
        <source>Hall aktiv</source>
        <translation>Hall active</translation>
    </message>
    <message>
        <source>Hall</source>
        <translation>Hall</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Rechts</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>dreht</source>
        <translation>turning</translation>
    </message>
    <message>
        <source>steht</source>
        <translation>standing</translation>
    </message>
</context>
<context>
    <name>TFrameDefinition</name>
    <message>
        <source>Werte einlesen</source>
        <translation>Read values</translation>
    </message>
    <message>
        <source>Werte schreiben</source>
        <translation>Write values</translation>
    </message>
    <message>
        <source>Abbruch</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Gleis aktivieren</source>
        <translation>Enable track</translation>
    </message>
    <message>
        <source>Gleis deaktivieren</source>
        <translation>Disable track</translation>
    </message>
    <message>
        <source>Status: Daten verifiziert (aus EEprom ausgelesen)</source>
        <translation>Status: data verified (read from EEPROM)</translation>
    </message>
    <message>
        <source>Status: Anfrage zum Auslesen der Daten gesendet</source>
        <translation>Status: read request sent</translation>
    </message>
    <message>
        <source>Status: Daten geändert und noch nicht in Gruben-Platine geschrieben</source>
        <translation>Status: data changed, not yet written to the pit board</translation>
    </message>
    <message>
        <source>Status: Daten an Gruben-Platine gesendet</source>
        <translation>Status: data sent to the pit board</translation>
    </message>
    <message>
        <source>Status: geschrieben, aber nicht so zurückgelesen; wird beim nächsten Schreiben wiederholt</source>
        <translation>Status: written, but read back differently; repeated on the next write</translation>
    </message>
    <message>
        <source>Status der Daten: nicht verifizier (von Festplatte geladen)</source>
        <translation>Data status: not verified (loaded from disk)</translation>
    </message>
    <message>
        <source>Anpassen der Drehscheiben-Darstellung</source>
        <translation>Adjust turntable display</translation>
    </message>
    <message>
        <source>Korrektur der Null-Position</source>
        <translation>Zero position offset</translation>
    </message>
    <message>
        <source>ermöglicht, dass die Bildschirm-Anzeige der tatsächlichen Gleis-Nummerrierung entspricht </source>
        <translation>lets the picture on screen match the real track numbering </translation>
    </message>
    <message>
        <source>Umschaltlinie zeigen</source>
        <translation>Show polarity line</translation>
    </message>
    <message>
        <source>Anzeige der Umschaltlinie (Gleipolung durch Kehrschleifen-Relais)</source>
        <translation>Shows the polarity line (track polarity switched by the reversing-loop relay)</translation>
    </message>
    <message>
        <source>Zählweise umdrehen</source>
        <translation>Reverse counting</translation>
    </message>
    <message>
        <source>Zehlweise in der Bildschirm-Anzeige umdrehen</source>
        <translation>Reverse the counting on screen</translation>
    </message>
    <message>
        <source>alle</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Alle Abgänge aktivieren</source>
        <translation>Enable all tracks</translation>
    </message>
    <message>
        <source>keine</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Alle Abgänge deaktivieren</source>
        <translation>Disable all tracks</translation>
    </message>
    <message>
        <source>Adressen</source>
        <translation>Addresses</translation>
    </message>
    <message>
        <source>Schreibt die Adressen in die Gruben-Platine</source>
        <translation>Writes the addresses to the pit board</translation>
    </message>
    <message>
        <source>Liest die Adressen von der Gruben-Platine</source>
        <translation>Reads the addresses from the pit board</translation>
    </message>
    <message>
        <source>automatische Adress-Vergabe</source>
        <translation>Automatic address assignment</translation>
    </message>
    <message>
        <source>Los !</source>
        <translation>Go!</translation>
    </message>
    <message>
        <source>Rüchgängig</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Motorola verwenden</source>
        <translation>Use Motorola</translation>
    </message>
    <message>
        <source>wenn keine MM Adressen benötigt werden, kann man das Schreiben der Adressen hier beschleunigen</source>
        <translation>when no MM addresses are needed, writing the addresses can be sped up here</translation>
    </message>
    <message>
        <source>Licht</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Adresse für Schalten der Licht-Funktion AN (AUS entsprechend 2. Taste dieser Adresse)</source>
        <translation>Address for switching the light function ON (OFF: 2nd button of this address)</translation>
    </message>
    <message>
        <source>Adresse für Drehen um 1 Position LINKS (Rechts entsprechend 2. Taste dieser Adresse)</source>
        <translation>Address for turning 1 position LEFT (right: 2nd button of this address)</translation>
    </message>
    <message>
        <source>Adresse für Lok wenden LINKS (Rechts entsprechend 2. Taste dieser Adresse)</source>
        <translation>Address for turning the loco round LEFT (right: 2nd button of this address)</translation>
    </message>
    <message>
        <source>Adresse für Drehrichtung LINKS (Rechts entsprechend 2. Taste dieser Adresse)</source>
        <translation>Address for direction LEFT (right: 2nd button of this address)</translation>
    </message>
    <message>
        <source>Adresse für Anfahren dieser Position</source>
        <translation>Address for going to this position</translation>
    </message>
    <message>
        <source>Status der angezeigten Daten</source>
        <translation>Status of the data shown</translation>
    </message>
    <message>
        <source>umschalten zwischen roter/grüner Adresse</source>
        <translation>switch between red/green address</translation>
    </message>
    <message>
        <source>Rechtsklick: Namen der Position ändern</source>
        <translation>Right-click: rename the position</translation>
    </message>
    <message>
        <source>Position %1</source>
        <translation>Position %1</translation>
    </message>
    <message>
        <source>Positionsname</source>
        <translation>Position name</translation>
    </message>
    <message>
        <source>Name der Position %1 (leer: nur die Nummer):</source>
        <translation>Name of position %1 (empty: number only):</translation>
    </message>
</context>
<context>
    <name>TFrameDiagnose</name>
    <message>
        <source>Fehler Kommunikation Grube - Bühne</source>
        <translation>Pit - bridge communication error</translation>
    </message>
    <message>
        <source>Problem RS232-Empfang auf der Gruben-Platine - ungültige Daten</source>
        <translation>RS232 receive problem on the pit board - invalid data</translation>
    </message>
    <message>
        <source>keine RS232-Verbindung</source>
        <translation>no RS232 connection</translation>
    </message>
    <message>
        <source>Motor: Offen</source>
        <translation>Motor: open</translation>
    </message>
    <message>
        <source>kein Motor-Strom, d.h. Anschluss-Fehler, Problem z.B. mit T1, R9, R17, K1 (Bühne)</source>
        <translation>no motor current, i.e. wiring fault, problem e.g. with T1, R9, R17, K1 (bridge)</translation>
    </message>
    <message>
        <source>Motor: Kurz</source>
        <translation>Motor: short</translation>
    </message>
    <message>
        <source>Motor-Strom zu groß (z.B. Kurzschluss)</source>
        <translation>Motor current too high (e.g. short circuit)</translation>
    </message>
    <message>
        <source>Klemm Start</source>
        <translation>Jam at start</translation>
    </message>
    <message>
        <source>Einklemmung beim Start der Drehbewegung</source>
        <translation>Jammed when starting to turn</translation>
    </message>
    <message>
        <source>Klemm Fahrt</source>
        <translation>Jam turning</translation>
    </message>
    <message>
        <source>Einklemmung / Blockierung bei der Drehbewegung</source>
        <translation>Jammed / blocked while turning</translation>
    </message>
    <message>
        <source>Geschwindigkeit L: %1</source>
        <translation>Speed L: %1</translation>
    </message>
    <message>
        <source>Geschwindigkeit R: %1</source>
        <translation>Speed R: %1</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>DIP Schalter</source>
        <translation>DIP switches</translation>
    </message>
    <message>
        <source>DIP 1</source>
        <translation>DIP 1</translation>
    </message>
    <message>
        <source>DIP 2</source>
        <translation>DIP 2</translation>
    </message>
    <message>
        <source>DIP 3</source>
        <translation>DIP 3</translation>
    </message>
    <message>
        <source>Sense Strom</source>
        <translation>Sense current</translation>
    </message>
    <message>
        <source>R-Sense: Wert ändern</source>
        <translation>R-Sense: change value</translation>
    </message>
    <message>
        <source>Sensor Spannung</source>
        <translation>Sensor voltage</translation>
    </message>
    <message>
        <source>Volt-Raster anzeigen</source>
        <translation>Show volt grid</translation>
    </message>
    <message>
        <source>Schwellwerte: Blau = V_Mess // Rot = V_COUNT</source>
        <translation>Thresholds: blue = V_Mess // red = V_COUNT</translation>
    </message>
    <message>
        <source>Startet Diagramm-Aufzeichnung</source>
        <translation>Starts recording the graphs</translation>
    </message>
    <message>
        <source>R-Sense definieren</source>
        <translation>Set R-Sense</translation>
    </message>
    <message>
        <source>Bitte den Widerstandswert (Ohm) für R-Sense eingeben:</source>
        <translation>Please enter the resistance (ohm) of R-Sense:</translation>
    </message>
    <message>
        <source>Start Record</source>
        <translation>Start recording</translation>
    </message>
    <message>
        <source>Stop Record</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>Start Direct Drive</source>
        <translation>Start direct drive</translation>
    </message>
    <message>
        <source>Stop Direct Drive</source>
        <translation>Stop direct drive</translation>
    </message>
    <message>
        <source>Direct Drive</source>
        <translation>Direct drive</translation>
    </message>
    <message>
        <source>PWM (1..127)</source>
        <translation>PWM (1..127)</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Rechts</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Regelung aktiv</source>
        <translation>Control active</translation>
    </message>
    <message>
        <source>startet drehung mit der gewählten Geschwindigkeit</source>
        <translation>starts turning at the chosen speed</translation>
    </message>
    <message>
        <source>Parameter Lastregelung </source>
        <translation>Load control parameters </translation>
    </message>
    <message>
        <source>Ermitteln der Lastregel-Parameter bei langsamer Fahrt mittels Direct Drive</source>
        <translation>Finds the load-control parameters at slow speed by direct drive</translation>
    </message>
    <message>
        <source>(ermittelt bei Langsamfahrt)</source>
        <translation>(found at slow speed)</translation>
    </message>
    <message>
        <source>Geschw.</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Strom</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>Para ins EE schreiben</source>
        <translation>Write to EEPROM</translation>
    </message>
    <message>
        <source>Die Parameter werden übernommen (Schreiben ins EEprom der Bühne)</source>
        <translation>Takes over the parameters (writes them to the bridge board&apos;s EEPROM)</translation>
    </message>
    <message>
        <source>nur Anzeige: vom Direct Drive ermittelt</source>
        <translation>display only: determined by the direct drive</translation>
    </message>
    <message>
        <source>Speichert alle Messwerte seit &quot;Start Record&quot; als CSV-Datei und beide Diagramme als PNG-Bild daneben</source>
        <translation>Saves every measurement since &quot;Start Record&quot; as a CSV file and both graphs as a PNG picture beside it</translation>
    </message>
    <message>
        <source>CSV (*.csv);;Alle Dateien (*)</source>
        <translation>CSV (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Aufzeichnung speichern</source>
        <translation>Save recording</translation>
    </message>
    <message>
        <source>Aufzeichnung speichern ...</source>
        <translation>Save recording ...</translation>
    </message>
</context>
<context>
    <name>TFrameEEprom</name>
    <message>
        <source>EEprom Hauptplatine (Grube)</source>
        <translation>EEPROM main board (pit)</translation>
    </message>
    <message>
        <source>EEprom Motorplatine (Bühne)</source>
        <translation>EEPROM motor board (bridge)</translation>
    </message>
    <message>
        <source>EEprom Manipulation</source>
        <translation>EEPROM editing</translation>
    </message>
    <message>
        <source>Adresse (hex)</source>
        <translation>Address (hex)</translation>
    </message>
    <message>
        <source>Wert (Hex)</source>
        <translation>Value (hex)</translation>
    </message>
    <message>
        <source>write single Data</source>
        <translation>Write cell</translation>
    </message>
    <message>
        <source>get single Data</source>
        <translation>Read cell</translation>
    </message>
    <message>
        <source>gesamtes EEprom einlesen</source>
        <translation>Read whole EEPROM</translation>
    </message>
    <message>
        <source>Ein Klick auf „gesamtes EEprom einlesen“ stoppt das Einlesen</source>
        <translation>A click on “Read whole EEPROM” stops the read</translation>
    </message>
    <message>
        <source>setzte 00</source>
        <translation>Set 00</translation>
    </message>
    <message>
        <source>setze 00</source>
        <translation>Set 00</translation>
    </message>
    <message>
        <source>schreibt %1 …</source>
        <translation>writing %1 …</translation>
    </message>
    <message>
        <source>liest %1 …</source>
        <translation>reading %1 …</translation>
    </message>
</context>
<context>
    <name>TFrameParameter</name>
    <message>
        <source>Rücksetzen auf Vorgabe-Werte
Dadurch gehen alle Einstellungen verloren!
DIRECT DRIVE muss dann zur Ermittlung der
Regelungsparameter wieder ausgeführt werden!</source>
        <translation>Reset to default values
All settings will be lost!
DIRECT DRIVE must then be run again to
determine the control parameters!</translation>
    </message>
    <message>
        <source>Bühne Geschwindigkeiten</source>
        <translation>Bridge speeds</translation>
    </message>
    <message>
        <source>Bühne Zeiten</source>
        <translation>Bridge times</translation>
    </message>
    <message>
        <source>Bühne Parameter</source>
        <translation>Bridge parameters</translation>
    </message>
    <message>
        <source>Anzahl Positionen</source>
        <translation>Number of positions</translation>
    </message>
    <message>
        <source>SW-Versionen (PIC)</source>
        <translation>SW versions (PIC)</translation>
    </message>
    <message>
        <source>Konfiguration</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Bedeutung der Farben:</source>
        <translation>Colour key:</translation>
    </message>
    <message>
        <source>Weiss: Daten nicht verifiziert (von Festplatte geladen)</source>
        <translation>White: data not verified (loaded from disk)</translation>
    </message>
    <message>
        <source>Blau: Anfrage für das Auslesen dieser Daten wurde an den PIC gesendet</source>
        <translation>Blue: read request for this data sent to the PIC</translation>
    </message>
    <message>
        <source>Grün: Daten aus PIC ausgelesen, sind also verifiziert</source>
        <translation>Green: data read from the PIC, so verified</translation>
    </message>
    <message>
        <source>Gelb: Daten geändert und noch nicht zum PIC übertragen</source>
        <translation>Yellow: data changed, not yet sent to the PIC</translation>
    </message>
    <message>
        <source>Rot: geschrieben, aber nicht so zurückgelesen; wird beim nächsten Schreiben wiederholt</source>
        <translation>Red: written, but read back differently; repeated on the next write</translation>
    </message>
    <message>
        <source>Werte einlesen</source>
        <translation>Read values</translation>
    </message>
    <message>
        <source>Werte schreiben</source>
        <translation>Write values</translation>
    </message>
    <message>
        <source>Schreibt die Parameter</source>
        <translation>Writes the parameters</translation>
    </message>
    <message>
        <source>markiere alle Gelb</source>
        <translation>Mark all yellow</translation>
    </message>
    <message>
        <source>dadurch werden ALLE Parameter beim &quot;Werte schreiben&quot; übertragen</source>
        <translation>this makes &quot;Write values&quot; send ALL parameters</translation>
    </message>
    <message>
        <source>Vorgabe-Werte </source>
        <translation>Defaults </translation>
    </message>
    <message>
        <source>Rücksetzen auf Vorgabe-Werte</source>
        <translation>Reset to default values</translation>
    </message>
    <message>
        <source>Violett: Daten an den PIC gesendet, noch nicht zurückgelesen</source>
        <translation>Violet: data sent to the PIC, not yet read back</translation>
    </message>
</context>
<context>
    <name>TFrameSettings</name>
    <message>
        <source>Einstellungsdatei:</source>
        <translation>Settings file:</translation>
    </message>
    <message>
        <source>COM-Port</source>
        <translation>COM port</translation>
    </message>
    <message>
        <source>Com%1</source>
        <translation>Com%1</translation>
    </message>
    <message>
        <source>COM-Port suchen</source>
        <translation>Find COM ports</translation>
    </message>
    <message>
        <source>Suche nach COM-Ports</source>
        <translation>Searches for COM ports</translation>
    </message>
    <message>
        <source>Port-Zuordnung</source>
        <translation>Port mapping</translation>
    </message>
    <message>
        <source>Geräte dieses Rechners</source>
        <translation>Devices of this computer</translation>
    </message>
    <message>
        <source>zuordnen</source>
        <translation>Assign</translation>
    </message>
    <message>
        <source>ordnet das gewählte Gerät dem markierten COM-Port zu</source>
        <translation>assigns the chosen device to the checked COM port</translation>
    </message>
    <message>
        <source>Baud Rate</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>Baud-Rate 2400</source>
        <translation>Baud rate 2400</translation>
    </message>
    <message>
        <source>Baud-Rate 9600</source>
        <translation>Baud rate 9600</translation>
    </message>
    <message>
        <source>Baud-Rate 19200</source>
        <translation>Baud rate 19200</translation>
    </message>
    <message>
        <source>Darstellung</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Änderung erst nach RESET aktiv</source>
        <translation>Change takes effect only after RESET</translation>
    </message>
    <message>
        <source>Betrieb</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>Einstellen + Justage</source>
        <translation>Setup + adjustment</translation>
    </message>
    <message>
        <source>Senden</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Zeichen, die beim Druck auf SENDEN über die RS232 geschickt werden</source>
        <translation>Characters sent over RS232 when SEND is pressed</translation>
    </message>
    <message>
        <source>Einstellungen speichern</source>
        <translation>Save settings</translation>
    </message>
    <message>
        <source>hier können alle Einstellungen</source>
        <translation>All settings (parameters,</translation>
    </message>
    <message>
        <source>(Parameter, Adressen, Positionen</source>
        <translation>addresses, positions etc.)</translation>
    </message>
    <message>
        <source>usw.) gespeichert werden.</source>
        <translation>can be saved here.</translation>
    </message>
    <message>
        <source>speichern</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Einstellungen laden</source>
        <translation>Load settings</translation>
    </message>
    <message>
        <source>gespeicherte Parameter-Dateien</source>
        <translation>Saved parameter files</translation>
    </message>
    <message>
        <source>können hier eingelesen werden.</source>
        <translation>can be loaded here.</translation>
    </message>
    <message>
        <source>Dabei werden nur die gewählten</source>
        <translation>Only the chosen data</translation>
    </message>
    <message>
        <source>Daten übernommen.</source>
        <translation>is taken over.</translation>
    </message>
    <message>
        <source>folgende Daten übernehmen:</source>
        <translation>Load the following data:</translation>
    </message>
    <message>
        <source>laden</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Übertragung</source>
        <translation>Transfer</translation>
    </message>
    <message>
        <source>feste Taktung (wie bisher)</source>
        <translation>Fixed pacing (as before)</translation>
    </message>
    <message>
        <source>eine Anfrage je Takt der Seite (300 ms lesen, 500 ms schreiben), ohne Wiederholung und ohne Prüfen, für eine Platine, die das braucht</source>
        <translation>one request per tick of the tab (300 ms read, 500 ms write), without repeats or verifying, for a board that needs it</translation>
    </message>
    <message>
        <source>Schreiben prüfen</source>
        <translation>Verify writes</translation>
    </message>
    <message>
        <source>jede geschriebene Zelle wird zurückgelesen und mit dem Geschriebenen verglichen</source>
        <translation>every written cell is read back and compared with what was written</translation>
    </message>
    <message>
        <source>Sendeprotokoll Empfang 
von Grube</source>
        <translation>Receive log 
from pit board</translation>
    </message>
    <message>
        <source>COM%1 OK</source>
        <translation>COM%1 OK</translation>
    </message>
    <message>
        <source>kein COM%1-Port</source>
        <translation>no COM%1 port</translation>
    </message>
    <message>
        <source>kein COM-Port gefunden</source>
        <translation>no COM port found</translation>
    </message>
    <message>
        <source>gefunden: %1</source>
        <translation>found: %1</translation>
    </message>
    <message>
        <source>eingebauter Simulator</source>
        <translation>built-in simulator</translation>
    </message>
    <message>
        <source>Vorgabe (kein Eintrag)</source>
        <translation>Default (no entry)</translation>
    </message>
    <message>
        <source>Com%1: %2</source>
        <translation>Com%1: %2</translation>
    </message>
    <message>
        <source>Com%1: %2 (Vorgabe)</source>
        <translation>Com%1: %2 (default)</translation>
    </message>
    <message>
        <source>zuerst einen COM-Port wählen</source>
        <translation>choose a COM port first</translation>
    </message>
    <message>
        <source>Die Port-Zuordnung konnte nicht gespeichert werden.
%1</source>
        <translation>The port mapping could not be saved.
%1</translation>
    </message>
    <message>
        <source>COM%1 = %2</source>
        <translation>COM%1 = %2</translation>
    </message>
    <message>
        <source>gesendet:&apos;%1&apos; (%2)</source>
        <translation>sent:&apos;%1&apos; (%2)</translation>
    </message>
    <message>
        <source>baud rate: %1</source>
        <translation>baud rate: %1</translation>
    </message>
    <message>
        <source>parity: %1</source>
        <translation>parity: %1</translation>
    </message>
    <message>
        <source>CTS output flow control: %1</source>
        <translation>CTS output flow control: %1</translation>
    </message>
    <message>
        <source>DSR output flow control: %1</source>
        <translation>DSR output flow control: %1</translation>
    </message>
    <message>
        <source>DTR flow control type: %1</source>
        <translation>DTR flow control type: %1</translation>
    </message>
    <message>
        <source>DSR sensitivity: %1</source>
        <translation>DSR sensitivity: %1</translation>
    </message>
    <message>
        <source>RTS flow control: %1</source>
        <translation>RTS flow control: %1</translation>
    </message>
    <message>
        <source>max Tx bufsize, in bytes: %1</source>
        <translation>max Tx bufsize, in bytes: %1</translation>
    </message>
    <message>
        <source>max Rx bufsize, in bytes: %1</source>
        <translation>max Rx bufsize, in bytes: %1</translation>
    </message>
    <message>
        <source>Tx buffer size, in bytes: %1</source>
        <translation>Tx buffer size, in bytes: %1</translation>
    </message>
    <message>
        <source>Rx buffer size, in bytes: %1</source>
        <translation>Rx buffer size, in bytes: %1</translation>
    </message>
    <message>
        <source>cbInQue: %1</source>
        <translation>cbInQue: %1</translation>
    </message>
    <message>
        <source>Keine Daten zum Laden ausgewählt!</source>
        <translation>No data chosen to load!</translation>
    </message>
    <message>
        <source>Die Datei kann nicht geladen werden.
%1</source>
        <translation>The file cannot be loaded.
%1</translation>
    </message>
    <message>
        <source>%1 ist keine Konfigurationsdatei mit den gewählten Daten (%2). Es wurde nichts geladen.</source>
        <translation>%1 is not a configuration file with the chosen data (%2). Nothing was loaded.</translation>
    </message>
    <message>
        <source>Die Datei enthält keine Daten für: %1.
Diese werden nicht geladen.</source>
        <translation>The file holds no data for: %1.
These are not loaded.</translation>
    </message>
    <message>
        <source>Speichern abgebrochen</source>
        <translation>Saving cancelled</translation>
    </message>
    <message>
        <source>Einstellungen nicht gespeichert</source>
        <translation>Settings not saved</translation>
    </message>
    <message>
        <source>Einstellungen gespeichert in %1</source>
        <translation>Settings saved to %1</translation>
    </message>
    <message>
        <source>Laden abgebrochen</source>
        <translation>Loading cancelled</translation>
    </message>
    <message>
        <source>nichts geladen</source>
        <translation>nothing loaded</translation>
    </message>
    <message>
        <source>aus %1 nichts übernommen</source>
        <translation>nothing taken over from %1</translation>
    </message>
    <message>
        <source>aus %1 übernommen: %2</source>
        <translation>taken over from %1: %2</translation>
    </message>
    <message>
        <source>automatisch wieder verbinden</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>öffnet den Port wieder, sobald der abgezogene USB-Adapter wieder eingesteckt ist</source>
        <translation>reopens the port as soon as the unplugged USB adapter is plugged in again</translation>
    </message>
    <message>
        <source>Pfad eingeben ...</source>
        <translation>Enter path ...</translation>
    </message>
    <message>
        <source>Gerät für COM%1 (Pfad):</source>
        <translation>Device for COM%1 (path):</translation>
    </message>
    <message>
        <source>; ohne Wert, nicht geladen: %1</source>
        <translation>; without a value, not loaded: %1</translation>
    </message>
    <message>
        <source>sucht COM-Ports ...</source>
        <translation>searching for COM ports ...</translation>
    </message>
    <message>
        <source>COM%1 antwortet nicht beim Öffnen</source>
        <translation>COM%1 does not answer when opened</translation>
    </message>
    <message>
        <source>Darstellung „%1“ gilt ab dem nächsten Start.</source>
        <translation>View “%1” takes effect at the next start.</translation>
    </message>
    <message>
        <source>Port für COM%1 (zum Beispiel COM12):</source>
        <translation>Port for COM%1 (for example COM12):</translation>
    </message>
    <message>
        <source>Stationsblatt</source>
        <translation>Station sheet</translation>
    </message>
    <message>
        <source>Titel des Stationsblatts:</source>
        <translation>Title of the station sheet:</translation>
    </message>
    <message>
        <source>Stationsblatt: %1</source>
        <translation>Station sheet: %1</translation>
    </message>
    <message>
        <source>Stationsblatt %1 geschrieben</source>
        <translation>Station sheet %1 written</translation>
    </message>
    <message>
        <source>drucken ...</source>
        <translation>Print ...</translation>
    </message>
    <message>
        <source>Stationsblatt drucken: Positionen, Adressen und alle Parameter</source>
        <translation>Print the station sheet: positions, addresses and every parameter</translation>
    </message>
    <message>
        <source>als PDF ...</source>
        <translation>As PDF ...</translation>
    </message>
    <message>
        <source>Stationsblatt als PDF-Datei speichern</source>
        <translation>Save the station sheet as a PDF file</translation>
    </message>
    <message>
        <source>%1: eine Netzwerk-Schnittstelle heißt tcp://RECHNER:PORT oder rfc2217://RECHNER:PORT (eine IPv6-Adresse in [ ]).</source>
        <translation>%1: a network port is named tcp://HOST:PORT or rfc2217://HOST:PORT (an IPv6 address in [ ]).</translation>
    </message>
    <message>
        <source>Stationsblatt:</source>
        <translation>Station sheet:</translation>
    </message>
    <message>
        <source>Netzwerk ...</source>
        <translation>Network ...</translation>
    </message>
    <message>
        <source>Netzwerk-Schnittstelle für COM%1</source>
        <translation>Network port for COM%1</translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>keine Antwort von der Gruben-Platine</source>
        <translation>no answer from the pit board</translation>
    </message>
    <message>
        <source>Betrieb</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>Gleis-Definition / Adressen</source>
        <translation>Track definition / addresses</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>Diagnose</source>
        <translation>Diagnosis</translation>
    </message>
    <message>
        <source>EEprom</source>
        <translation>EEPROM</translation>
    </message>
    <message>
        <source>Einstellungen</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Eingangs-Puffer Belegung</source>
        <translation>Input buffer usage</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Startet RS232 Kommunikation</source>
        <translation>Starts RS232 communication</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Beendet RS232 Komminikation</source>
        <translation>Stops RS232 communication</translation>
    </message>
    <message>
        <source>Ende</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Ende des Programms</source>
        <translation>Quits the program</translation>
    </message>
    <message>
        <source>Verbindung wiederhergestellt</source>
        <translation>Connection restored</translation>
    </message>
    <message>
        <source> Pivota V%1 vom 08. Aug. 2013</source>
        <translation> Pivota V%1 of 8 Aug 2013</translation>
    </message>
</context>
<context>
    <name>TransferTally</name>
    <message>
        <source>%1 beantwortet</source>
        <translation>%1 answered</translation>
    </message>
</context>
</TS>
