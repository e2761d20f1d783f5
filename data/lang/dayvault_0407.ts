<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Dayvault</name>
    <message>
        <source>Create and edit categories</source>
        <comment>32771</comment>
        <translation>Kategorien anlegen und bearbeiten</translation>
    </message>
    <message>
        <source>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</source>
        <comment>40000</comment>
        <translation>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</translation>
    </message>
    <message>
        <source>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</source>
        <comment>40001</comment>
        <translation>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</translation>
    </message>
    <message>
        <source>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</source>
        <comment>40002</comment>
        <translation>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</translation>
    </message>
    <message>
        <source>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</source>
        <comment>40003</comment>
        <translation>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</translation>
    </message>
    <message>
        <source>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</source>
        <comment>40004</comment>
        <translation>$THIS_STARTTOEND_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</translation>
    </message>
    <message>
        <source>$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$$R_NOTES$</source>
        <comment>40005</comment>
        <translation>$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$$R_NOTES$</translation>
    </message>
    <message>
        <source>All day: $DESCRIPTION$$R_NOTES$</source>
        <comment>40006</comment>
        <translation>Ganztägig: $DESCRIPTION$$R_NOTES$</translation>
    </message>
    <message>
        <source>From $THIS_START_AUTOTIME_S$$DESCRIPTION$$R_NOTES$</source>
        <comment>40007</comment>
        <translation>Ab $THIS_START_AUTOTIME_S$$DESCRIPTION$$R_NOTES$</translation>
    </message>
    <message>
        <source>All day: $DESCRIPTION$$R_NOTES$</source>
        <comment>40008</comment>
        <translation>Ganztägig: $DESCRIPTION$$R_NOTES$</translation>
    </message>
    <message>
        <source>Until $THIS_END_AUTOTIME_S$$DESCRIPTION$$R_NOTES$</source>
        <comment>40009</comment>
        <translation>Bis $THIS_END_AUTOTIME_S$$DESCRIPTION$$R_NOTES$</translation>
    </message>
    <message>
        <source>$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$</source>
        <comment>40010</comment>
        <translation>$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$</translation>
    </message>
    <message>
        <source>$DESCRIPTION$</source>
        <comment>40011</comment>
        <translation>$DESCRIPTION$</translation>
    </message>
    <message>
        <source>$THIS_START_AUTOTIME_S$$DESCRIPTION$ &gt;&gt;</source>
        <comment>40012</comment>
        <translation>$THIS_START_AUTOTIME_S$$DESCRIPTION$ &gt;&gt;</translation>
    </message>
    <message>
        <source>&gt;&gt; $DESCRIPTION$ &gt;&gt;</source>
        <comment>40013</comment>
        <translation>&gt;&gt; $DESCRIPTION$ &gt;&gt;</translation>
    </message>
    <message>
        <source>&gt;&gt; $THIS_END_AUTOTIME_S$$DESCRIPTION$</source>
        <comment>40014</comment>
        <translation>&gt;&gt; $THIS_END_AUTOTIME_S$$DESCRIPTION$</translation>
    </message>
    <message>
        <source>$THIS_STARTTOEND_AUTOTIME$</source>
        <comment>40020</comment>
        <translation>$THIS_STARTTOEND_AUTOTIME$</translation>
    </message>
    <message>
        <source>$DESCRIPTION$&#13;
$NOTES$</source>
        <comment>40021</comment>
        <translation>$DESCRIPTION$&#13;
$NOTES$</translation>
    </message>
    <message>
        <source> </source>
        <comment>40022</comment>
        <translation> </translation>
    </message>
    <message>
        <source>$DESCRIPTION$&#13;
$NOTES$</source>
        <comment>40023</comment>
        <translation>$DESCRIPTION$&#13;
$NOTES$</translation>
    </message>
    <message>
        <source>$THIS_START_AUTOTIME$</source>
        <comment>40024</comment>
        <translation>$THIS_START_AUTOTIME$</translation>
    </message>
    <message>
        <source>$DESCRIPTION$ &gt;&gt;&#13;
$NOTES$</source>
        <comment>40025</comment>
        <translation>$DESCRIPTION$ &gt;&gt;&#13;
$NOTES$</translation>
    </message>
    <message>
        <source> </source>
        <comment>40026</comment>
        <translation> </translation>
    </message>
    <message>
        <source>&gt;&gt; $DESCRIPTION$ &gt;&gt;</source>
        <comment>40027</comment>
        <translation>&gt;&gt; $DESCRIPTION$ &gt;&gt;</translation>
    </message>
    <message>
        <source>$THIS_END_AUTOTIME$</source>
        <comment>40028</comment>
        <translation>$THIS_END_AUTOTIME$</translation>
    </message>
    <message>
        <source>&gt;&gt; $DESCRIPTION$</source>
        <comment>40029</comment>
        <translation>&gt;&gt; $DESCRIPTION$</translation>
    </message>
    <message>
        <source>$STATE$ Due $DEADLINE_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</source>
        <comment>40050</comment>
        <translation>$STATE$ fällig am $DEADLINE_AUTO$: $DESCRIPTION$&#13;
$NOTES_R$</translation>
    </message>
    <message>
        <source>$STATE$ Due $DEADLINE_AUTO$: $DESCRIPTION$$R_NOTES$</source>
        <comment>40051</comment>
        <translation>$STATE$ fällig am $DEADLINE_AUTO$: $DESCRIPTION$$R_NOTES$</translation>
    </message>
    <message>
        <source>Done:</source>
        <comment>40052</comment>
        <translation>Erledigt:</translation>
    </message>
    <message>
        <source>!!!Overdue!!!</source>
        <comment>40053</comment>
        <translation>!!!Überfällig!!!</translation>
    </message>
    <message>
        <source>To Do:</source>
        <comment>40054</comment>
        <translation>Zu erledigen:</translation>
    </message>
    <message>
        <source>Urgent!</source>
        <comment>40055</comment>
        <translation>Dringend!</translation>
    </message>
    <message>
        <source>%B %d, %Y</source>
        <comment>40070</comment>
        <translation>%#d. %B %Y</translation>
    </message>
    <message>
        <source>%I:%M %p</source>
        <comment>40071</comment>
        <translation>%H:%M</translation>
    </message>
    <message>
        <source>%B %d, %Y, %I:%M %p</source>
        <comment>40072</comment>
        <translation>%#d. %B %Y, %H:%M</translation>
    </message>
    <message>
        <source>%m/%d/%Y</source>
        <comment>40073</comment>
        <translation>%d.%m.%Y</translation>
    </message>
    <message>
        <source>%I:%M %p</source>
        <comment>40074</comment>
        <translation>%H:%M</translation>
    </message>
    <message>
        <source>%m/%d/%Y, %I:%M %p</source>
        <comment>40075</comment>
        <translation>%d.%m.%Y, %H:%M</translation>
    </message>
    <message>
        <source>%a, %b %d</source>
        <comment>40100</comment>
        <translation>%a, %#d. %b</translation>
    </message>
    <message>
        <source>%a, %b %d</source>
        <comment>40101</comment>
        <translation>%a, %#d. %b</translation>
    </message>
    <message>
        <source>%b %d</source>
        <comment>40102</comment>
        <translation>%#d. %b</translation>
    </message>
    <message>
        <source>%d</source>
        <comment>40103</comment>
        <translation>%d</translation>
    </message>
    <message>
        <source>%A, %B %d, %Y</source>
        <comment>40104</comment>
        <translation>%A, %#d. %B %Y</translation>
    </message>
    <message>
        <source>(Week %W)</source>
        <comment>40105</comment>
        <translation>(KW %W)</translation>
    </message>
    <message>
        <source>%a, %b %d</source>
        <comment>40106</comment>
        <translation>%a, %#d. %b</translation>
    </message>
    <message>
        <source>%a, %b %d</source>
        <comment>40107</comment>
        <translation>%a, %#d. %b</translation>
    </message>
    <message>
        <source>%b %d</source>
        <comment>40108</comment>
        <translation>%#d. %b</translation>
    </message>
    <message>
        <source>%d</source>
        <comment>40109</comment>
        <translation>%d</translation>
    </message>
    <message>
        <source>%a, %b %d</source>
        <comment>40110</comment>
        <translation>%a, %#d. %b</translation>
    </message>
    <message>
        <source>(Week %W)</source>
        <comment>40111</comment>
        <translation>(KW %W)</translation>
    </message>
    <message>
        <source>%d. %B %Y</source>
        <comment>40120</comment>
        <translation>%#d. %B %Y</translation>
    </message>
    <message>
        <source>Event on %a, %B %d, %Y</source>
        <comment>40121</comment>
        <translation>Termin am %a, %#d. %B %Y</translation>
    </message>
    <message>
        <source>Event on %a, %B %d, %Y, %I:%M %p</source>
        <comment>40122</comment>
        <translation>Termin am %a, %#d. %B %Y, %H:%M</translation>
    </message>
    <message>
        <source>%A, %B %d, %Y, %#I:%M %p</source>
        <comment>40123</comment>
        <translation>%A, %#d. %B %Y, %#H:%M</translation>
    </message>
    <message>
        <source>1001011</source>
        <comment>40299</comment>
        <translation>1001011</translation>
    </message>
    <message>
        <source>Date,Weeknumber,Holiday,Time,Category,Description,Notes</source>
        <comment>40300</comment>
        <translation>Datum,Kalenderwoche,Feiertag,Uhrzeit,Kategorie,Beschreibung,Notizen</translation>
    </message>
    <message>
        <source>0,1,2,3,4,5,6</source>
        <comment>40301</comment>
        <translation>0,1,2,3,4,5,6</translation>
    </message>
    <message>
        <source>%m/%d/%Y</source>
        <comment>40302</comment>
        <translation>%d.%m.%Y</translation>
    </message>
    <message>
        <source>%W</source>
        <comment>40303</comment>
        <translation>%W</translation>
    </message>
    <message>
        <source>$THIS_STARTTOEND_AUTOTIME$</source>
        <comment>40304</comment>
        <translation>$THIS_STARTTOEND_AUTOTIME$</translation>
    </message>
    <message>
        <source> </source>
        <comment>40305</comment>
        <translation> </translation>
    </message>
    <message>
        <source>$THIS_START_AUTOTIME$</source>
        <comment>40306</comment>
        <translation>$THIS_START_AUTOTIME$</translation>
    </message>
    <message>
        <source> </source>
        <comment>40307</comment>
        <translation> </translation>
    </message>
    <message>
        <source>$THIS_END_AUTOTIME$</source>
        <comment>40308</comment>
        <translation>$THIS_END_AUTOTIME$</translation>
    </message>
    <message>
        <source>&quot;$CATEGORY$&quot;</source>
        <comment>40309</comment>
        <translation>&quot;$CATEGORY$&quot;</translation>
    </message>
    <message>
        <source>&quot;$DESCRIPTION$&quot;</source>
        <comment>40310</comment>
        <translation>&quot;$DESCRIPTION$&quot;</translation>
    </message>
    <message>
        <source>&quot;$NOTES$&quot;</source>
        <comment>40311</comment>
        <translation>&quot;$NOTES$&quot;</translation>
    </message>
    <message>
        <source>11110110</source>
        <comment>40320</comment>
        <translation>11110110</translation>
    </message>
    <message>
        <source>Date,Time,State,Priority,Group,Description,Notes,Document</source>
        <comment>40321</comment>
        <translation>Datum,Uhrzeit,Status,Priorität,Gruppe,Beschreibung,Notizen,Dokument</translation>
    </message>
    <message>
        <source>0,1,2,3,4,5,6,7</source>
        <comment>40322</comment>
        <translation>0,1,2,3,4,5,6,7</translation>
    </message>
    <message>
        <source>11110110</source>
        <comment>40330</comment>
        <translation>11110110</translation>
    </message>
    <message>
        <source>Date,Time,State,Priority,Group,Description,Notes,Document</source>
        <comment>40331</comment>
        <translation>Datum,Uhrzeit,Status,Priorität,Gruppe,Beschreibung,Notizen,Dokument</translation>
    </message>
    <message>
        <source>0,1,2,3,4,5,6,7</source>
        <comment>40332</comment>
        <translation>0,1,2,3,4,5,6,7</translation>
    </message>
    <message>
        <source>%m/%d/%Y</source>
        <comment>40350</comment>
        <translation>%d.%m.%Y</translation>
    </message>
    <message>
        <source>%I:%M %p</source>
        <comment>40351</comment>
        <translation>%H:%M</translation>
    </message>
    <message>
        <source>&quot;$STATE$&quot;</source>
        <comment>40352</comment>
        <translation>&quot;$STATE$&quot;</translation>
    </message>
    <message>
        <source>$PRIORITY$</source>
        <comment>40353</comment>
        <translation>$PRIORITY$</translation>
    </message>
    <message>
        <source>&quot;$GROUP$&quot;</source>
        <comment>40354</comment>
        <translation>&quot;$GROUP$&quot;</translation>
    </message>
    <message>
        <source>&quot;$DESCRIPTION$&quot;</source>
        <comment>40355</comment>
        <translation>&quot;$DESCRIPTION$&quot;</translation>
    </message>
    <message>
        <source>&quot;$NOTES$&quot;</source>
        <comment>40356</comment>
        <translation>&quot;$NOTES$&quot;</translation>
    </message>
    <message>
        <source>&quot;$DOCUMENT$&quot;</source>
        <comment>40357</comment>
        <translation>&quot;$DOCUMENT$&quot;</translation>
    </message>
    <message>
        <source>Dayvault</source>
        <comment>57344</comment>
        <translation>Dayvault</translation>
    </message>
    <message>
        <source>File</source>
        <comment>57350</comment>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Language</source>
        <comment>57351</comment>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Event</source>
        <comment>57400</comment>
        <translation>Termin</translation>
    </message>
    <message>
        <source>Internal Formats</source>
        <comment>57404</comment>
        <translation>Interne Formate</translation>
    </message>
    <message>
        <source>Formats for HTML-Export</source>
        <comment>57405</comment>
        <translation>Formate für den HTML-Export</translation>
    </message>
    <message>
        <source>Formats for CSV-Export</source>
        <comment>57407</comment>
        <translation>Formate für den CSV-Export</translation>
    </message>
    <message>
        <source>All Files (*.*)|*.*||</source>
        <comment>57413</comment>
        <translation>Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>HTML-Files (*.html, *.htm)|*.html;*.htm|All Files (*.*)|*.*||</source>
        <comment>57415</comment>
        <translation>HTML-Dateien (*.html, *.htm)|*.html;*.htm|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>CSV-Files (*.csv)|*.csv|All Files (*.*)|*.*||</source>
        <comment>57416</comment>
        <translation>CSV-Dateien (*.csv)|*.csv|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Untitled</source>
        <comment>57423</comment>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>Navigation</source>
        <comment>57424</comment>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Current time</source>
        <comment>57425</comment>
        <translation>Aktuelle Uhrzeit</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <comment>57426</comment>
        <translation>Symbolleiste</translation>
    </message>
    <message>
        <source>Minutes</source>
        <comment>57440</comment>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>Hours</source>
        <comment>57441</comment>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>Days</source>
        <comment>57442</comment>
        <translation>Tage</translation>
    </message>
    <message>
        <source>Weeks</source>
        <comment>57443</comment>
        <translation>Wochen</translation>
    </message>
    <message>
        <source>Extend</source>
        <comment>57463</comment>
        <translation>Erweitern</translation>
    </message>
    <message>
        <source>Reduce</source>
        <comment>57464</comment>
        <translation>Reduzieren</translation>
    </message>
    <message>
        <source>%d of %d events selected</source>
        <comment>57465</comment>
        <translation>%d von %d Terminen ausgewählt</translation>
    </message>
    <message>
        <source>Multiple events selected</source>
        <comment>57466</comment>
        <translation>Mehrere Termine ausgewählt</translation>
    </message>
    <message>
        <source>No events selected</source>
        <comment>57467</comment>
        <translation>Keine Termine ausgewählt</translation>
    </message>
    <message>
        <source>Date</source>
        <comment>57468</comment>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time left</source>
        <comment>57469</comment>
        <translation>Verbleibende Zeit</translation>
    </message>
    <message>
        <source>Description</source>
        <comment>57470</comment>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Group</source>
        <comment>57476</comment>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>State</source>
        <comment>57477</comment>
        <translation>Status</translation>
    </message>
    <message>
        <source>Priority</source>
        <comment>57478</comment>
        <translation>Priorität</translation>
    </message>
    <message>
        <source>Deadline</source>
        <comment>57479</comment>
        <translation>Fälligkeit</translation>
    </message>
    <message>
        <source>Associated Document</source>
        <comment>57480</comment>
        <translation>Verknüpftes Dokument</translation>
    </message>
    <message>
        <source>Network</source>
        <comment>57481</comment>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>Do you want to open the document
%s
now?</source>
        <comment>57487</comment>
        <translation>Möchten Sie das Dokument
%s
jetzt öffnen?</translation>
    </message>
    <message>
        <source>Do you want to execute the command
%s
now?</source>
        <comment>57488</comment>
        <translation>Möchten Sie den Befehl
%s
jetzt ausführen?</translation>
    </message>
    <message>
        <source>Unable to open the document
%s</source>
        <comment>57489</comment>
        <translation>Das Dokument kann nicht geöffnet werden:
%s</translation>
    </message>
    <message>
        <source>Unable to execute the command
%s</source>
        <comment>57490</comment>
        <translation>Der Befehl kann nicht ausgeführt werden:
%s</translation>
    </message>
    <message>
        <source>This will move the next reminder for this event beyond the limit
you set in the event options. The event will be dropped then.
Are you sure you want to do this?</source>
        <comment>57491</comment>
        <translation>Damit wird die nächste Erinnerung an diesen Termin über die Grenze hinaus verschoben,
die Sie in den Termineinstellungen festgelegt haben. Der Termin entfällt dann.
Möchten Sie das wirklich tun?</translation>
    </message>
    <message>
        <source>If you exit the application you will not
be reminded of upcoming events!

Quit anyway?</source>
        <comment>57500</comment>
        <translation>Wenn Sie das Programm beenden, werden Sie nicht mehr
an bevorstehende Termine erinnert!

Trotzdem beenden?</translation>
    </message>
    <message>
        <source>You are about to switch off the alarm feature!
You will not be reminded of upcoming events then.

Do you really want to switch off the alarm?</source>
        <comment>57501</comment>
        <translation>Sie sind dabei, die Alarmfunktion auszuschalten!
Sie werden dann nicht mehr an bevorstehende Termine erinnert.

Möchten Sie den Alarm wirklich ausschalten?</translation>
    </message>
    <message>
        <source>Do you want to delete this entry?</source>
        <comment>57503</comment>
        <translation>Möchten Sie diesen Eintrag löschen?</translation>
    </message>
    <message>
        <source>Please enter a description or a start time for this event!</source>
        <comment>57504</comment>
        <translation>Bitte geben Sie für diesen Termin eine Beschreibung oder eine Anfangszeit ein!</translation>
    </message>
    <message>
        <source>Please enter a new / select an existing group for this todo!</source>
        <comment>57505</comment>
        <translation>Bitte geben Sie für diese Aufgabe eine neue Gruppe ein oder wählen Sie eine vorhandene aus!</translation>
    </message>
    <message>
        <source>Can&apos;t write to export-file
%s</source>
        <comment>57511</comment>
        <translation>In die Exportdatei kann nicht geschrieben werden:
%s</translation>
    </message>
    <message>
        <source>You have adjusted the system clock by a large amount of time!
This might cause trouble with the reminder function.
Would you like to temporarily disable the calendar?</source>
        <comment>57514</comment>
        <translation>Sie haben die Systemuhr um einen großen Betrag verstellt!
Das kann die Erinnerungsfunktion stören.
Möchten Sie den Kalender vorübergehend deaktivieren?</translation>
    </message>
    <message>
        <source>You are about to reset all events to their default state.
You should do this only if you have problems after changing the system clock.
Do you really want to reset all event states?</source>
        <comment>57515</comment>
        <translation>Sie sind dabei, alle Termine auf ihren Ausgangszustand zurückzusetzen.
Das sollten Sie nur tun, wenn nach einer Änderung der Systemuhr Probleme auftreten.
Möchten Sie wirklich alle Terminzustände zurücksetzen?</translation>
    </message>
    <message>
        <source>Do you want to save current event file?</source>
        <comment>61000</comment>
        <translation>Möchten Sie die aktuelle Termindatei speichern?</translation>
    </message>
    <message>
        <source>Unable to read from import-file
%s</source>
        <comment>61001</comment>
        <translation>Aus der Importdatei kann nicht gelesen werden:
%s</translation>
    </message>
    <message>
        <source>Unable to save the event file.
%s</source>
        <comment>61002</comment>
        <translation>Die Termindatei kann nicht gespeichert werden.
%s</translation>
    </message>
    <message>
        <source>Search returned %d results</source>
        <comment>61010</comment>
        <translation>Die Suche ergab %d Treffer</translation>
    </message>
    <message>
        <source>More than %d results, search terminated</source>
        <comment>61011</comment>
        <translation>Mehr als %d Treffer, Suche abgebrochen</translation>
    </message>
    <message>
        <source>Not synchronised yet</source>
        <comment>61020</comment>
        <translation>Noch nicht synchronisiert</translation>
    </message>
    <message>
        <source>Synchronised</source>
        <comment>61021</comment>
        <translation>Synchronisiert</translation>
    </message>
    <message>
        <source>Synchronised, changes uploaded</source>
        <comment>61022</comment>
        <translation>Synchronisiert, Änderungen hochgeladen</translation>
    </message>
    <message>
        <source>The shared file is in use by another user</source>
        <comment>61023</comment>
        <translation>Die gemeinsame Datei wird gerade von einem anderen Benutzer verwendet</translation>
    </message>
    <message>
        <source>Transfer of the shared file failed</source>
        <comment>61024</comment>
        <translation>Die Übertragung der gemeinsamen Datei ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>Merging the shared file failed</source>
        <comment>61025</comment>
        <translation>Das Zusammenführen der gemeinsamen Datei ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>The shared file changed meanwhile; changes kept for the next cycle</source>
        <comment>61026</comment>
        <translation>Die gemeinsame Datei hat sich inzwischen geändert; die Änderungen bleiben für den nächsten Durchgang erhalten</translation>
    </message>
    <message>
        <source>Unable to create the lock file
%s</source>
        <comment>61027</comment>
        <translation>Die Sperrdatei kann nicht angelegt werden:
%s</translation>
    </message>
    <message>
        <source>Unable to connect to the FTP server
%s</source>
        <comment>61028</comment>
        <translation>Keine Verbindung zum FTP-Server möglich:
%s</translation>
    </message>
    <message>
        <source>%s: the shared file is empty; it may be being uploaded</source>
        <comment>61029</comment>
        <translation>%s: Die gemeinsame Datei ist leer; möglicherweise wird sie gerade hochgeladen</translation>
    </message>
    <message>
        <source>The shared file is missing; nothing was changed. Restore its newest backup or share again</source>
        <comment>61030</comment>
        <translation>Die gemeinsame Datei fehlt; es wurde nichts geändert. Stellen Sie ihre neueste Sicherung wieder her oder teilen Sie erneut</translation>
    </message>
    <message>
        <source>%s: the shared file is missing. Restore its newest backup (the .bNN file with the latest date) under its name, or share again to create it from your shared entries.</source>
        <comment>61031</comment>
        <translation>%s: Die gemeinsame Datei fehlt. Stellen Sie ihre neueste Sicherung (die .bNN-Datei mit dem jüngsten Datum) unter ihrem Namen wieder her, oder teilen Sie erneut, um sie aus Ihren geteilten Einträgen neu anzulegen.</translation>
    </message>
    <message>
        <source>%s shared entries were removed by another user. Remove them here too?</source>
        <comment>61032</comment>
        <translation>%s geteilte Einträge wurden von einem anderen Benutzer entfernt. Sollen sie auch hier entfernt werden?</translation>
    </message>
    <message>
        <source>%s shared entries were removed by another user; they are kept here until you agree</source>
        <comment>61033</comment>
        <translation>%s geteilte Einträge wurden von einem anderen Benutzer entfernt; sie bleiben hier erhalten, bis Sie zustimmen</translation>
    </message>
    <message>
        <source>%s: the shared file is damaged or not an event file; nothing was changed. Restore its newest backup (the .bNN file with the latest date) under its name.</source>
        <comment>61034</comment>
        <translation>%s: Die gemeinsame Datei ist beschädigt oder keine Termindatei; es wurde nichts geändert. Stellen Sie ihre neueste Sicherung (die .bNN-Datei mit dem jüngsten Datum) unter ihrem Namen wieder her.</translation>
    </message>
    <message>
        <source>Reminder</source>
        <comment>61500</comment>
        <translation>Erinnerung</translation>
    </message>
    <message>
        <source>&amp;Done</source>
        <comment>61501</comment>
        <translation>&amp;Erledigt</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <comment>61502</comment>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>E&amp;xecute</source>
        <comment>61503</comment>
        <translation>&amp;Ausführen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <comment>61504</comment>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <comment>61505</comment>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Snooze</source>
        <comment>61506</comment>
        <translation>Erneut erinnern</translation>
    </message>
    <message>
        <source>&amp;Minutes</source>
        <comment>61507</comment>
        <translation>&amp;Minuten</translation>
    </message>
    <message>
        <source>&amp;Hours</source>
        <comment>61508</comment>
        <translation>&amp;Stunden</translation>
    </message>
    <message>
        <source>D&amp;ays</source>
        <comment>61509</comment>
        <translation>&amp;Tage</translation>
    </message>
    <message>
        <source>&amp;Weeks</source>
        <comment>61510</comment>
        <translation>&amp;Wochen</translation>
    </message>
    <message>
        <source>From &amp;now</source>
        <comment>61511</comment>
        <translation>Ab &amp;jetzt</translation>
    </message>
    <message>
        <source>&amp;Before Event</source>
        <comment>61512</comment>
        <translation>&amp;Vor dem Termin</translation>
    </message>
    <message>
        <source>Time left:</source>
        <comment>61513</comment>
        <translation>Verbleibende Zeit:</translation>
    </message>
    <message>
        <source>The event has begun</source>
        <comment>61514</comment>
        <translation>Der Termin hat begonnen</translation>
    </message>
    <message>
        <source>The event begins now</source>
        <comment>61515</comment>
        <translation>Der Termin beginnt jetzt</translation>
    </message>
    <message>
        <source>Snooze for</source>
        <comment>61516</comment>
        <translation>Erneut erinnern in</translation>
    </message>
    <message>
        <source>Reminders waiting: %s</source>
        <comment>61517</comment>
        <translation>Wartende Erinnerungen: %s</translation>
    </message>
    <message>
        <source>This shared event came from another user. It opens the document
%s
Do you want to allow this? You will be asked again if the document changes.</source>
        <comment>61520</comment>
        <translation>Dieser geteilte Termin stammt von einem anderen Benutzer. Er öffnet das Dokument
%s
Möchten Sie das zulassen? Sie werden erneut gefragt, wenn sich das Dokument ändert.</translation>
    </message>
    <message>
        <source>This shared event came from another user. It runs the command
%s
Do you want to allow this? You will be asked again if the command changes.</source>
        <comment>61521</comment>
        <translation>Dieser geteilte Termin stammt von einem anderen Benutzer. Er führt den Befehl
%s
aus. Möchten Sie das zulassen? Sie werden erneut gefragt, wenn sich der Befehl ändert.</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <comment>61600</comment>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <comment>61601</comment>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <comment>61602</comment>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>E&amp;xtras</source>
        <comment>61603</comment>
        <translation>E&amp;xtras</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <comment>61604</comment>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <comment>61605</comment>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>E&amp;vent File</source>
        <comment>61606</comment>
        <translation>&amp;Termindatei</translation>
    </message>
    <message>
        <source>Ex&amp;port</source>
        <comment>61607</comment>
        <translation>E&amp;xport</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <comment>61610</comment>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <comment>61611</comment>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <comment>61612</comment>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <comment>61613</comment>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <comment>61614</comment>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Recent &amp;Files</source>
        <comment>61615</comment>
        <translation>&amp;Zuletzt verwendet</translation>
    </message>
    <message>
        <source>&amp;Backup...</source>
        <comment>61616</comment>
        <translation>&amp;Sicherung erstellen...</translation>
    </message>
    <message>
        <source>&amp;Restore...</source>
        <comment>61617</comment>
        <translation>Sicherung &amp;wiederherstellen...</translation>
    </message>
    <message>
        <source>&amp;Merge...</source>
        <comment>61618</comment>
        <translation>&amp;Zusammenführen...</translation>
    </message>
    <message>
        <source>S&amp;ynchronize Now</source>
        <comment>61619</comment>
        <translation>&amp;Jetzt synchronisieren</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <comment>61620</comment>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <comment>61621</comment>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <comment>61622</comment>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <comment>61623</comment>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <comment>61624</comment>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <comment>61625</comment>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <comment>61626</comment>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;New Event...</source>
        <comment>61627</comment>
        <translation>Neuer &amp;Termin...</translation>
    </message>
    <message>
        <source>New &amp;ToDo...</source>
        <comment>61628</comment>
        <translation>Neue Auf&amp;gabe...</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <comment>61629</comment>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <comment>61630</comment>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete &amp;Sequence</source>
        <comment>61631</comment>
        <translation>&amp;Serie löschen</translation>
    </message>
    <message>
        <source>&amp;Mark Done</source>
        <comment>61632</comment>
        <translation>Als erle&amp;digt markieren</translation>
    </message>
    <message>
        <source>M&amp;ark Undone</source>
        <comment>61633</comment>
        <translation>Als &amp;unerledigt markieren</translation>
    </message>
    <message>
        <source>E&amp;xecute Now</source>
        <comment>61634</comment>
        <translation>Jetzt aus&amp;führen</translation>
    </message>
    <message>
        <source>ToDo &amp;List</source>
        <comment>61635</comment>
        <translation>&amp;Aufgabenliste</translation>
    </message>
    <message>
        <source>&amp;Week View</source>
        <comment>61636</comment>
        <translation>&amp;Wochenansicht</translation>
    </message>
    <message>
        <source>&amp;Fortnight View</source>
        <comment>61637</comment>
        <translation>&amp;Zweiwochenansicht</translation>
    </message>
    <message>
        <source>&amp;Month View</source>
        <comment>61638</comment>
        <translation>&amp;Monatsansicht</translation>
    </message>
    <message>
        <source>&amp;Year View</source>
        <comment>61639</comment>
        <translation>&amp;Jahresansicht</translation>
    </message>
    <message>
        <source>&amp;Previous Page</source>
        <comment>61640</comment>
        <translation>V&amp;orherige Seite</translation>
    </message>
    <message>
        <source>&amp;Current Date</source>
        <comment>61641</comment>
        <translation>&amp;Heute</translation>
    </message>
    <message>
        <source>&amp;Next Page</source>
        <comment>61642</comment>
        <translation>&amp;Nächste Seite</translation>
    </message>
    <message>
        <source>F&amp;ilter</source>
        <comment>61643</comment>
        <translation>&amp;Filter</translation>
    </message>
    <message>
        <source>Show &amp;Hidden Events</source>
        <comment>61644</comment>
        <translation>Ausgeblendete &amp;Termine anzeigen</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <comment>61645</comment>
        <translation>&amp;Symbolleiste</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <comment>61646</comment>
        <translation>Status&amp;leiste</translation>
    </message>
    <message>
        <source>&amp;Categories...</source>
        <comment>61647</comment>
        <translation>&amp;Kategorien...</translation>
    </message>
    <message>
        <source>Event &amp;Database...</source>
        <comment>61648</comment>
        <translation>&amp;Termindatenbank...</translation>
    </message>
    <message>
        <source>&amp;Alarm</source>
        <comment>61649</comment>
        <translation>&amp;Alarm</translation>
    </message>
    <message>
        <source>&amp;Show Silent Alarms</source>
        <comment>61650</comment>
        <translation>&amp;Stille Alarme anzeigen</translation>
    </message>
    <message>
        <source>&amp;Reset Event States</source>
        <comment>61651</comment>
        <translation>Terminzustände &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Holidays...</source>
        <comment>61652</comment>
        <translation>&amp;Feiertage...</translation>
    </message>
    <message>
        <source>&amp;Internal Formats...</source>
        <comment>61653</comment>
        <translation>&amp;Interne Formate...</translation>
    </message>
    <message>
        <source>&amp;CSV Export...</source>
        <comment>61654</comment>
        <translation>&amp;CSV-Export...</translation>
    </message>
    <message>
        <source>&amp;HTML Export...</source>
        <comment>61655</comment>
        <translation>&amp;HTML-Export...</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <comment>61656</comment>
        <translation>&amp;Optionen...</translation>
    </message>
    <message>
        <source>&amp;Save Window Position Now</source>
        <comment>61657</comment>
        <translation>Fensterposition &amp;jetzt speichern</translation>
    </message>
    <message>
        <source>Save Window Position on E&amp;xit</source>
        <comment>61658</comment>
        <translation>Fensterposition beim &amp;Beenden speichern</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <comment>61659</comment>
        <translation>&amp;Handbuch</translation>
    </message>
    <message>
        <source>&amp;Go to Homepage</source>
        <comment>61660</comment>
        <translation>Zur Home&amp;page</translation>
    </message>
    <message>
        <source>&amp;About Dayvault...</source>
        <comment>61661</comment>
        <translation>&amp;Über Dayvault...</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <comment>61662</comment>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Alarm Feature</source>
        <comment>61663</comment>
        <translation>&amp;Alarmfunktion</translation>
    </message>
    <message>
        <source>ToDo List</source>
        <comment>61664</comment>
        <translation>Aufgabenliste</translation>
    </message>
    <message>
        <source>Week</source>
        <comment>61665</comment>
        <translation>Woche</translation>
    </message>
    <message>
        <source>Fortnight</source>
        <comment>61666</comment>
        <translation>Zwei Wochen</translation>
    </message>
    <message>
        <source>Month</source>
        <comment>61667</comment>
        <translation>Monat</translation>
    </message>
    <message>
        <source>Year</source>
        <comment>61668</comment>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Unable to open the event file.
%s</source>
        <comment>61670</comment>
        <translation>Die Termindatei kann nicht geöffnet werden.
%s</translation>
    </message>
    <message>
        <source>Dayvault %s
Calendar, to-do list and reminder</source>
        <comment>61671</comment>
        <translation>Dayvault %s
Kalender, Aufgabenliste und Erinnerung</translation>
    </message>
    <message>
        <source>Event Files (*.dat)|*.dat|All Files (*.*)|*.*||</source>
        <comment>61672</comment>
        <translation>Termindateien (*.dat)|*.dat|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Text Files (*.txt)|*.txt|All Files (*.*)|*.*||</source>
        <comment>61673</comment>
        <translation>Textdateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Previous page</source>
        <comment>61674</comment>
        <translation>Vorherige Seite</translation>
    </message>
    <message>
        <source>Next page</source>
        <comment>61675</comment>
        <translation>Nächste Seite</translation>
    </message>
    <message>
        <source>Unable to write the start-with-the-system entry
%s</source>
        <comment>61676</comment>
        <translation>Der Eintrag für den Start mit dem System kann nicht geschrieben werden:
%s</translation>
    </message>
    <message>
        <source>Unable to store the settings.
%s</source>
        <comment>61677</comment>
        <translation>Die Einstellungen können nicht gespeichert werden.
%s</translation>
    </message>
    <message>
        <source>Unable to restore the backup.
%s</source>
        <comment>61678</comment>
        <translation>Die Sicherung kann nicht wiederhergestellt werden.
%s</translation>
    </message>
    <message>
        <source>Unable to merge the event file.
%s</source>
        <comment>61679</comment>
        <translation>Die Termindatei kann nicht zusammengeführt werden.
%s</translation>
    </message>
    <message>
        <source>%s entries were added.</source>
        <comment>61680</comment>
        <translation>%s Einträge wurden hinzugefügt.</translation>
    </message>
    <message>
        <source>Last synchronisation: %s</source>
        <comment>61681</comment>
        <translation>Letzte Synchronisation: %s</translation>
    </message>
    <message>
        <source>Month</source>
        <comment>61682</comment>
        <translation>Monat</translation>
    </message>
    <message>
        <source>Year</source>
        <comment>61683</comment>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Unable to write the backup.
%s</source>
        <comment>61684</comment>
        <translation>Die Sicherung kann nicht geschrieben werden.
%s</translation>
    </message>
    <message>
        <source>This will delete the entire event!

Do you really want to delete all occurences of this event?</source>
        <comment>61685</comment>
        <translation>Damit wird der gesamte Termin gelöscht!

Möchten Sie wirklich alle Vorkommen dieses Termins löschen?</translation>
    </message>
    <message>
        <source>Next Reminder</source>
        <comment>61700</comment>
        <translation>Nächste Erinnerung</translation>
    </message>
    <message>
        <source>Year overview</source>
        <comment>61701</comment>
        <translation>Jahresübersicht</translation>
    </message>
    <message>
        <source>Category Filter</source>
        <comment>61800</comment>
        <translation>Kategoriefilter</translation>
    </message>
    <message>
        <source>Group Filter</source>
        <comment>61801</comment>
        <translation>Gruppenfilter</translation>
    </message>
    <message>
        <source>All</source>
        <comment>61802</comment>
        <translation>Alle</translation>
    </message>
    <message>
        <source>None</source>
        <comment>61803</comment>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Content Filter</source>
        <comment>61804</comment>
        <translation>Inhaltsfilter</translation>
    </message>
    <message>
        <source>Description</source>
        <comment>61805</comment>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Notes</source>
        <comment>61806</comment>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>AND</source>
        <comment>61807</comment>
        <translation>UND</translation>
    </message>
    <message>
        <source>OR</source>
        <comment>61808</comment>
        <translation>ODER</translation>
    </message>
    <message>
        <source>Exact</source>
        <comment>61809</comment>
        <translation>Exakt</translation>
    </message>
    <message>
        <source>State Filter</source>
        <comment>61810</comment>
        <translation>Statusfilter</translation>
    </message>
    <message>
        <source>Done</source>
        <comment>61811</comment>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>Undone</source>
        <comment>61812</comment>
        <translation>Unerledigt</translation>
    </message>
    <message>
        <source>Snoozed</source>
        <comment>61813</comment>
        <translation>Zurückgestellt</translation>
    </message>
    <message>
        <source>Search</source>
        <comment>61814</comment>
        <translation>Suche</translation>
    </message>
    <message>
        <source>to</source>
        <comment>61815</comment>
        <translation>bis</translation>
    </message>
    <message>
        <source>days</source>
        <comment>61816</comment>
        <translation>Tage</translation>
    </message>
    <message>
        <source>weeks</source>
        <comment>61817</comment>
        <translation>Wochen</translation>
    </message>
    <message>
        <source>from</source>
        <comment>61818</comment>
        <translation>ab</translation>
    </message>
    <message>
        <source>around</source>
        <comment>61819</comment>
        <translation>um</translation>
    </message>
    <message>
        <source>to</source>
        <comment>61820</comment>
        <translation>bis</translation>
    </message>
    <message>
        <source>today</source>
        <comment>61821</comment>
        <translation>heute</translation>
    </message>
    <message>
        <source>Use filters</source>
        <comment>61822</comment>
        <translation>Filter verwenden</translation>
    </message>
    <message>
        <source>&amp;Use Filters</source>
        <comment>61823</comment>
        <translation>Filter &amp;verwenden</translation>
    </message>
    <message>
        <source>Between two dates</source>
        <comment>61824</comment>
        <translation>Zwischen zwei Daten</translation>
    </message>
    <message>
        <source>Relative to today</source>
        <comment>61825</comment>
        <translation>Relativ zu heute</translation>
    </message>
    <message>
        <source>Categories to show</source>
        <comment>61826</comment>
        <translation>Anzuzeigende Kategorien</translation>
    </message>
    <message>
        <source>Search results</source>
        <comment>61827</comment>
        <translation>Suchergebnisse</translation>
    </message>
    <message>
        <source>Event Database</source>
        <comment>61840</comment>
        <translation>Termindatenbank</translation>
    </message>
    <message>
        <source>Category</source>
        <comment>61841</comment>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Next Occurence</source>
        <comment>61842</comment>
        <translation>Nächstes Vorkommen</translation>
    </message>
    <message>
        <source>Repeat</source>
        <comment>61843</comment>
        <translation>Wiederholung</translation>
    </message>
    <message>
        <source>Alarm</source>
        <comment>61844</comment>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>Hidden</source>
        <comment>61845</comment>
        <translation>Ausgeblendet</translation>
    </message>
    <message>
        <source>Yes</source>
        <comment>61846</comment>
        <translation>Ja</translation>
    </message>
    <message>
        <source>Minute</source>
        <comment>61847</comment>
        <translation>Minute</translation>
    </message>
    <message>
        <source>Hour</source>
        <comment>61848</comment>
        <translation>Stunde</translation>
    </message>
    <message>
        <source>Day</source>
        <comment>61849</comment>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Week</source>
        <comment>61850</comment>
        <translation>Woche</translation>
    </message>
    <message>
        <source>Month</source>
        <comment>61851</comment>
        <translation>Monat</translation>
    </message>
    <message>
        <source>Year</source>
        <comment>61852</comment>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Minutes</source>
        <comment>61853</comment>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>Hours</source>
        <comment>61854</comment>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>Days</source>
        <comment>61855</comment>
        <translation>Tage</translation>
    </message>
    <message>
        <source>Weeks</source>
        <comment>61856</comment>
        <translation>Wochen</translation>
    </message>
    <message>
        <source>Month</source>
        <comment>61857</comment>
        <translation>Monate</translation>
    </message>
    <message>
        <source>Years</source>
        <comment>61858</comment>
        <translation>Jahre</translation>
    </message>
    <message>
        <source>Every %s %s. of the Month</source>
        <comment>61859</comment>
        <translation>Jeden %s %s im Monat</translation>
    </message>
    <message>
        <source>1st</source>
        <comment>61860</comment>
        <translation>1.</translation>
    </message>
    <message>
        <source>2nd</source>
        <comment>61861</comment>
        <translation>2.</translation>
    </message>
    <message>
        <source>3rd</source>
        <comment>61862</comment>
        <translation>3.</translation>
    </message>
    <message>
        <source>4th</source>
        <comment>61863</comment>
        <translation>4.</translation>
    </message>
    <message>
        <source>5th</source>
        <comment>61864</comment>
        <translation>5.</translation>
    </message>
    <message>
        <source>last</source>
        <comment>61865</comment>
        <translation>letzten</translation>
    </message>
    <message>
        <source>1 week</source>
        <comment>61866</comment>
        <translation>1 Woche</translation>
    </message>
    <message>
        <source>2 weeks</source>
        <comment>61867</comment>
        <translation>2 Wochen</translation>
    </message>
    <message>
        <source>1 month</source>
        <comment>61868</comment>
        <translation>1 Monat</translation>
    </message>
    <message>
        <source>3 month</source>
        <comment>61869</comment>
        <translation>3 Monate</translation>
    </message>
    <message>
        <source>6 month</source>
        <comment>61870</comment>
        <translation>6 Monate</translation>
    </message>
    <message>
        <source>1 year</source>
        <comment>61871</comment>
        <translation>1 Jahr</translation>
    </message>
    <message>
        <source>Occurences within</source>
        <comment>61872</comment>
        <translation>Vorkommen innerhalb von</translation>
    </message>
    <message>
        <source>Dropped Occurences</source>
        <comment>61873</comment>
        <translation>Ausgelassene Vorkommen</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <comment>61874</comment>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <comment>61875</comment>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <comment>61876</comment>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <comment>61877</comment>
        <translation>Ent&amp;fernen</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <comment>61878</comment>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Events</source>
        <comment>61879</comment>
        <translation>Termine</translation>
    </message>
    <message>
        <source>Edit Category</source>
        <comment>61900</comment>
        <translation>Kategorie bearbeiten</translation>
    </message>
    <message>
        <source>Enter New Event</source>
        <comment>61901</comment>
        <translation>Neuen Termin eingeben</translation>
    </message>
    <message>
        <source>Edit Event</source>
        <comment>61902</comment>
        <translation>Termin bearbeiten</translation>
    </message>
    <message>
        <source>Description</source>
        <comment>61903</comment>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Repetition</source>
        <comment>61904</comment>
        <translation>Wiederholung</translation>
    </message>
    <message>
        <source>Action</source>
        <comment>61905</comment>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>New Category</source>
        <comment>61906</comment>
        <translation>Neue Kategorie</translation>
    </message>
    <message>
        <source>Enter a name for the new category:</source>
        <comment>61907</comment>
        <translation>Geben Sie einen Namen für die neue Kategorie ein:</translation>
    </message>
    <message>
        <source>New Entry</source>
        <comment>61908</comment>
        <translation>Neuer Eintrag</translation>
    </message>
    <message>
        <source>Rename Category</source>
        <comment>61909</comment>
        <translation>Kategorie umbenennen</translation>
    </message>
    <message>
        <source>Enter a new name for the category</source>
        <comment>61910</comment>
        <translation>Geben Sie einen neuen Namen für die Kategorie ein</translation>
    </message>
    <message>
        <source>There is already a category with the name &apos;%s&apos;.
Please choose a different name.</source>
        <comment>61911</comment>
        <translation>Es gibt bereits eine Kategorie mit dem Namen &apos;%s&apos;.
Bitte wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>You may not delete the default category!</source>
        <comment>61912</comment>
        <translation>Die Standardkategorie kann nicht gelöscht werden!</translation>
    </message>
    <message>
        <source>Due to the repeat rate and the additional conditions
you&apos;ve selected, the event will never occur.

Please check the additional conditions and/or the repeat rate!</source>
        <comment>61913</comment>
        <translation>Wegen der Wiederholungsrate und der gewählten zusätzlichen Bedingungen
findet der Termin nie statt.

Bitte prüfen Sie die zusätzlichen Bedingungen und/oder die Wiederholungsrate!</translation>
    </message>
    <message>
        <source>The repetition end date lies before the first
possible occurence of this event!

Please check the end date!</source>
        <comment>61914</comment>
        <translation>Das Ende der Wiederholung liegt vor dem ersten
möglichen Vorkommen dieses Termins!

Bitte prüfen Sie das Enddatum!</translation>
    </message>
    <message>
        <source>&amp;Category:</source>
        <comment>61915</comment>
        <translation>&amp;Kategorie:</translation>
    </message>
    <message>
        <source>&amp;Description:</source>
        <comment>61916</comment>
        <translation>&amp;Beschreibung:</translation>
    </message>
    <message>
        <source>&amp;Notes:</source>
        <comment>61917</comment>
        <translation>&amp;Notizen:</translation>
    </message>
    <message>
        <source>Share th&amp;is event</source>
        <comment>61918</comment>
        <translation>Diesen Termin &amp;teilen</translation>
    </message>
    <message>
        <source>Norma&amp;l</source>
        <comment>61919</comment>
        <translation>Norma&amp;l</translation>
    </message>
    <message>
        <source>&amp;Hidden</source>
        <comment>61920</comment>
        <translation>A&amp;usgeblendet</translation>
    </message>
    <message>
        <source>Colored &amp;field</source>
        <comment>61921</comment>
        <translation>&amp;Farbiges Feld</translation>
    </message>
    <message>
        <source>Colored &amp;text</source>
        <comment>61922</comment>
        <translation>Farbiger Te&amp;xt</translation>
    </message>
    <message>
        <source>&amp;Starts on:</source>
        <comment>61923</comment>
        <translation>Be&amp;ginnt am:</translation>
    </message>
    <message>
        <source>&amp;at</source>
        <comment>61924</comment>
        <translation>u&amp;m</translation>
    </message>
    <message>
        <source>&amp;Ends on:</source>
        <comment>61925</comment>
        <translation>&amp;Endet am:</translation>
    </message>
    <message>
        <source>&amp;Reminder:</source>
        <comment>61926</comment>
        <translation>E&amp;rinnerung:</translation>
    </message>
    <message>
        <source>Silent</source>
        <comment>61927</comment>
        <translation>Lautlos</translation>
    </message>
    <message>
        <source>S&amp;ound:</source>
        <comment>61928</comment>
        <translation>T&amp;on:</translation>
    </message>
    <message>
        <source>...</source>
        <comment>61929</comment>
        <translation>...</translation>
    </message>
    <message>
        <source>Endless loop</source>
        <comment>61930</comment>
        <translation>Endlosschleife</translation>
    </message>
    <message>
        <source>Repeat</source>
        <comment>61931</comment>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>times</source>
        <comment>61932</comment>
        <translation>mal</translation>
    </message>
    <message>
        <source>minutes|hours|days|weeks</source>
        <comment>61933</comment>
        <translation>Minuten|Stunden|Tage|Wochen</translation>
    </message>
    <message>
        <source>New category</source>
        <comment>61934</comment>
        <translation>Neue Kategorie</translation>
    </message>
    <message>
        <source>Delete category</source>
        <comment>61935</comment>
        <translation>Kategorie löschen</translation>
    </message>
    <message>
        <source>Rename category</source>
        <comment>61936</comment>
        <translation>Kategorie umbenennen</translation>
    </message>
    <message>
        <source>Play the sound</source>
        <comment>61937</comment>
        <translation>Klang abspielen</translation>
    </message>
    <message>
        <source>Field colour</source>
        <comment>61938</comment>
        <translation>Feldfarbe</translation>
    </message>
    <message>
        <source>Text colour</source>
        <comment>61939</comment>
        <translation>Textfarbe</translation>
    </message>
    <message>
        <source>Sound Files (*.wav)|*.wav|All Files (*.*)|*.*||</source>
        <comment>61940</comment>
        <translation>Klangdateien (*.wav)|*.wav|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Do &amp;not repeat</source>
        <comment>61941</comment>
        <translation>&amp;Nicht wiederholen</translation>
    </message>
    <message>
        <source>&amp;Interval</source>
        <comment>61942</comment>
        <translation>&amp;Intervall</translation>
    </message>
    <message>
        <source>&amp;Repeat every</source>
        <comment>61943</comment>
        <translation>&amp;Wiederholen jeden</translation>
    </message>
    <message>
        <source>hours|days|weeks|month|years</source>
        <comment>61944</comment>
        <translation>Stunden|Tage|Wochen|Monate|Jahre</translation>
    </message>
    <message>
        <source>first|second|third|fourth|fifth|last</source>
        <comment>61945</comment>
        <translation>ersten|zweiten|dritten|vierten|fünften|letzten</translation>
    </message>
    <message>
        <source>Ne&amp;ver end</source>
        <comment>61946</comment>
        <translation>&amp;Kein Ende</translation>
    </message>
    <message>
        <source>&amp;After</source>
        <comment>61947</comment>
        <translation>N&amp;ach</translation>
    </message>
    <message>
        <source>Occurences</source>
        <comment>61948</comment>
        <translation>Wiederholungen</translation>
    </message>
    <message>
        <source>After following &amp;date</source>
        <comment>61949</comment>
        <translation>Nach folgen&amp;dem Datum</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <comment>61950</comment>
        <translation>Alle &amp;setzen</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <comment>61951</comment>
        <translation>Alle &amp;löschen</translation>
    </message>
    <message>
        <source>Additional conditions</source>
        <comment>61952</comment>
        <translation>Zusätzliche Bedingungen</translation>
    </message>
    <message>
        <source>End of repetition</source>
        <comment>61953</comment>
        <translation>Ende der Wiederholung</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <comment>61954</comment>
        <translation>&amp;Keine</translation>
    </message>
    <message>
        <source>&amp;Document</source>
        <comment>61955</comment>
        <translation>&amp;Dokument</translation>
    </message>
    <message>
        <source>&amp;Command</source>
        <comment>61956</comment>
        <translation>&amp;Befehl</translation>
    </message>
    <message>
        <source>&amp;Acknowledge</source>
        <comment>61957</comment>
        <translation>Nach&amp;fragen</translation>
    </message>
    <message>
        <source>Ac&amp;knowledge</source>
        <comment>61958</comment>
        <translation>Nachfr&amp;agen</translation>
    </message>
    <message>
        <source>Parameter</source>
        <comment>61959</comment>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Executable Files (*.exe, *.com, *.bat)|*.exe;*.com;*.bat|All Files (*.*)|*.*||</source>
        <comment>61960</comment>
        <translation>Ausführbare Dateien (*.exe, *.com, *.bat)|*.exe;*.com;*.bat|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Overdue reminders</source>
        <comment>61961</comment>
        <translation>Überfällige Erinnerungen</translation>
    </message>
    <message>
        <source>Normal e&amp;xecution</source>
        <comment>61962</comment>
        <translation>Normale A&amp;usführung</translation>
    </message>
    <message>
        <source>Execute &amp;within</source>
        <comment>61963</comment>
        <translation>Ausführen &amp;innerhalb</translation>
    </message>
    <message>
        <source>Before nex&amp;t event</source>
        <comment>61964</comment>
        <translation>Vor dem &amp;nächsten Termin</translation>
    </message>
    <message>
        <source>D&amp;o not execute</source>
        <comment>61965</comment>
        <translation>Ni&amp;cht ausführen</translation>
    </message>
    <message>
        <source>Snooze</source>
        <comment>61966</comment>
        <translation>Erneut erinnern</translation>
    </message>
    <message>
        <source>From reminder</source>
        <comment>61967</comment>
        <translation>Ab Erinnerung</translation>
    </message>
    <message>
        <source>Before event</source>
        <comment>61968</comment>
        <translation>Vor dem Termin</translation>
    </message>
    <message>
        <source>Display</source>
        <comment>61969</comment>
        <translation>Anzeige</translation>
    </message>
    <message>
        <source>Edit ToDo</source>
        <comment>61970</comment>
        <translation>Aufgabe bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Group:</source>
        <comment>61971</comment>
        <translation>&amp;Gruppe:</translation>
    </message>
    <message>
        <source>&amp;Description</source>
        <comment>61972</comment>
        <translation>&amp;Beschreibung</translation>
    </message>
    <message>
        <source>Share th&amp;is Todo</source>
        <comment>61973</comment>
        <translation>Diese Aufgabe &amp;teilen</translation>
    </message>
    <message>
        <source>Dead&amp;line</source>
        <comment>61974</comment>
        <translation>&amp;Fällig am</translation>
    </message>
    <message>
        <source>&amp;Forewarn</source>
        <comment>61975</comment>
        <translation>&amp;Vorwarnung</translation>
    </message>
    <message>
        <source>Priority</source>
        <comment>61976</comment>
        <translation>Priorität</translation>
    </message>
    <message>
        <source>A&amp;ssociate</source>
        <comment>61977</comment>
        <translation>Ver&amp;knüpfen</translation>
    </message>
</context>
</TS>
