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
        <source>%B %#d, %Y</source>
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
        <source>&amp;Snooze for</source>
        <comment>61516</comment>
        <translation>Erneut erinnern &amp;in</translation>
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
        <source>Months</source>
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
        <source>Occurrences within</source>
        <comment>61872</comment>
        <translation>Vorkommen innerhalb von</translation>
    </message>
    <message>
        <source>Dropped Occurrences</source>
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
        <source>Occurrences</source>
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
        <source>&amp;Description:</source>
        <comment>61972</comment>
        <translation>&amp;Beschreibung:</translation>
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
    <message>
        <source>Options</source>
        <comment>62000</comment>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>General</source>
        <comment>62001</comment>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Calendar Display</source>
        <comment>62002</comment>
        <translation>Kalenderanzeige</translation>
    </message>
    <message>
        <source>Colours and Fonts</source>
        <comment>62003</comment>
        <translation>Farben und Schriftarten</translation>
    </message>
    <message>
        <source>Reminders</source>
        <comment>62004</comment>
        <translation>Erinnerungen</translation>
    </message>
    <message>
        <source>To-dos</source>
        <comment>62005</comment>
        <translation>Aufgaben</translation>
    </message>
    <message>
        <source>Network Sharing</source>
        <comment>62006</comment>
        <translation>Teilen im Netzwerk</translation>
    </message>
    <message>
        <source>Backups</source>
        <comment>62007</comment>
        <translation>Sicherungen</translation>
    </message>
    <message>
        <source>Language</source>
        <comment>62008</comment>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>%s: please enter a whole number from %s to %s.</source>
        <comment>62009</comment>
        <translation>%s: Bitte geben Sie eine ganze Zahl von %s bis %s ein.</translation>
    </message>
    <message>
        <source>B&amp;rowse...</source>
        <comment>62010</comment>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>Start-up</source>
        <comment>62011</comment>
        <translation>Programmstart</translation>
    </message>
    <message>
        <source>&amp;Start with the system</source>
        <comment>62012</comment>
        <translation>Mit dem &amp;System starten</translation>
    </message>
    <message>
        <source>Start &amp;minimised in the notification area</source>
        <comment>62013</comment>
        <translation>&amp;Minimiert im Infobereich starten</translation>
    </message>
    <message>
        <source>Run only one &amp;instance</source>
        <comment>62014</comment>
        <translation>Nur eine &amp;Instanz ausführen</translation>
    </message>
    <message>
        <source>&amp;Keep the settings in the system&apos;s settings store (otherwise in Dayvault.ini)</source>
        <comment>62015</comment>
        <translation>Einstellungen im Einstellungsspeicher des Systems &amp;ablegen (sonst in Dayvault.ini)</translation>
    </message>
    <message>
        <source>Event file at start-up</source>
        <comment>62016</comment>
        <translation>Termindatei beim Start</translation>
    </message>
    <message>
        <source>Open the &amp;last used event file</source>
        <comment>62017</comment>
        <translation>&amp;Zuletzt verwendete Termindatei öffnen</translation>
    </message>
    <message>
        <source>Open the standard &amp;event file:</source>
        <comment>62018</comment>
        <translation>Standard-&amp;Termindatei öffnen:</translation>
    </message>
    <message>
        <source>Page at start-up</source>
        <comment>62019</comment>
        <translation>Seite beim Start</translation>
    </message>
    <message>
        <source>Show the standard &amp;page:</source>
        <comment>62020</comment>
        <translation>Sta&amp;ndardseite anzeigen:</translation>
    </message>
    <message>
        <source>Show the page shown at the last e&amp;xit</source>
        <comment>62021</comment>
        <translation>Beim letzten &amp;Beenden angezeigte Seite anzeigen</translation>
    </message>
    <message>
        <source>ToDo List|Week|Fortnight|Month|Year</source>
        <comment>62022</comment>
        <translation>Aufgabenliste|Woche|Zwei Wochen|Monat|Jahr</translation>
    </message>
    <message>
        <source>Window and notification icon</source>
        <comment>62023</comment>
        <translation>Fenster und Symbol im Infobereich</translation>
    </message>
    <message>
        <source>&amp;Closing the window hides it in the notification area</source>
        <comment>62024</comment>
        <translation>Beim Schließen das Fenster im Infobereich &amp;verbergen</translation>
    </message>
    <message>
        <source>The notification icon reacts to &amp;double clicks</source>
        <comment>62025</comment>
        <translation>Das Symbol im Infobereich reagiert auf D&amp;oppelklicks</translation>
    </message>
    <message>
        <source>The notification icon also mi&amp;nimises a shown window</source>
        <comment>62026</comment>
        <translation>Das Symbol im Infobereich minimiert auch ein angezeigtes &amp;Fenster</translation>
    </message>
    <message>
        <source>Save the window p&amp;osition on exit</source>
        <comment>62027</comment>
        <translation>Fenster&amp;position beim Beenden speichern</translation>
    </message>
    <message>
        <source>Show the c&amp;urrent date when the window is restored</source>
        <comment>62028</comment>
        <translation>Beim Wiederherstellen des Fensters das a&amp;ktuelle Datum anzeigen</translation>
    </message>
    <message>
        <source>Show the standard page when the window is res&amp;tored</source>
        <comment>62029</comment>
        <translation>Beim &amp;Wiederherstellen des Fensters die Standardseite anzeigen</translation>
    </message>
    <message>
        <source>Ask before</source>
        <comment>62030</comment>
        <translation>Nachfragen vor</translation>
    </message>
    <message>
        <source>exiting the pro&amp;gram</source>
        <comment>62031</comment>
        <translation>dem Beenden des Pro&amp;gramms</translation>
    </message>
    <message>
        <source>switching the &amp;alarm off</source>
        <comment>62032</comment>
        <translation>dem Ausschalten des A&amp;larms</translation>
    </message>
    <message>
        <source>deleting an entr&amp;y</source>
        <comment>62033</comment>
        <translation>dem Lös&amp;chen eines Eintrags</translation>
    </message>
    <message>
        <source>deleting a &amp;whole repeating event</source>
        <comment>62034</comment>
        <translation>dem Löschen einer ganzen Terminse&amp;rie</translation>
    </message>
    <message>
        <source>&amp;Homepage:</source>
        <comment>62035</comment>
        <translation>&amp;Homepage-Adresse:</translation>
    </message>
    <message>
        <source>Calendar pages</source>
        <comment>62036</comment>
        <translation>Kalenderseiten</translation>
    </message>
    <message>
        <source>&amp;Weeks start on:</source>
        <comment>62037</comment>
        <translation>Erster &amp;Wochentag:</translation>
    </message>
    <message>
        <source>Sunday|Monday</source>
        <comment>62038</comment>
        <translation>Sonntag|Montag</translation>
    </message>
    <message>
        <source>Week page &amp;layout:</source>
        <comment>62039</comment>
        <translation>&amp;Layout der Wochenseite:</translation>
    </message>
    <message>
        <source>&amp;Fortnight page layout:</source>
        <comment>62040</comment>
        <translation>Layout der &amp;Zweiwochenseite:</translation>
    </message>
    <message>
        <source>Two columns|Two rows</source>
        <comment>62041</comment>
        <translation>Zwei Spalten|Zwei Zeilen</translation>
    </message>
    <message>
        <source>Show week &amp;numbers</source>
        <comment>62042</comment>
        <translation>Kalenderwochen a&amp;nzeigen</translation>
    </message>
    <message>
        <source>&amp;Disable the days outside the month on the month page</source>
        <comment>62043</comment>
        <translation>Tage außerhalb des Monats auf der Monatsseite &amp;deaktivieren</translation>
    </message>
    <message>
        <source>Tooltips and navigation</source>
        <comment>62044</comment>
        <translation>QuickInfos und Navigation</translation>
    </message>
    <message>
        <source>Tooltips on the day &amp;headers</source>
        <comment>62045</comment>
        <translation>QuickInfos an den &amp;Tagesköpfen</translation>
    </message>
    <message>
        <source>Tooltips on the &amp;events</source>
        <comment>62046</comment>
        <translation>QuickInfos an den T&amp;erminen</translation>
    </message>
    <message>
        <source>The mouse wheel &amp;turns the pages</source>
        <comment>62047</comment>
        <translation>Das &amp;Mausrad blättert die Seiten um</translation>
    </message>
    <message>
        <source>Page &amp;Up and Page Down turn the pages</source>
        <comment>62048</comment>
        <translation>&amp;Bild auf und Bild ab blättern die Seiten um</translation>
    </message>
    <message>
        <source>Done occurrences</source>
        <comment>62049</comment>
        <translation>Erledigte Vorkommen</translation>
    </message>
    <message>
        <source>&amp;Struck out</source>
        <comment>62050</comment>
        <translation>Durch&amp;gestrichen</translation>
    </message>
    <message>
        <source>&amp;Grey text</source>
        <comment>62051</comment>
        <translation>Graue &amp;Schrift</translation>
    </message>
    <message>
        <source>In&amp;verted colours</source>
        <comment>62052</comment>
        <translation>&amp;Invertierte Farben</translation>
    </message>
    <message>
        <source>Marks</source>
        <comment>62053</comment>
        <translation>Markierungen</translation>
    </message>
    <message>
        <source>Holidays in the year &amp;page</source>
        <comment>62054</comment>
        <translation>&amp;Feiertage auf der Jahresseite</translation>
    </message>
    <message>
        <source>Saturdays in the year page</source>
        <comment>62055</comment>
        <translation>Samstage auf der Jahresseite</translation>
    </message>
    <message>
        <source>Sundays in the year page</source>
        <comment>62056</comment>
        <translation>Sonntage auf der Jahresseite</translation>
    </message>
    <message>
        <source>Mark shared entries with an &amp;icon</source>
        <comment>62057</comment>
        <translation>Geteilte Einträge mit einem Symbol &amp;kennzeichnen</translation>
    </message>
    <message>
        <source>Mark l&amp;ocal entries with an icon</source>
        <comment>62058</comment>
        <translation>L&amp;okale Einträge mit einem Symbol kennzeichnen</translation>
    </message>
    <message>
        <source>Colours</source>
        <comment>62059</comment>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Fonts</source>
        <comment>62060</comment>
        <translation>Schriftarten</translation>
    </message>
    <message>
        <source>Days:</source>
        <comment>62061</comment>
        <translation>Tage:</translation>
    </message>
    <message>
        <source>Today:</source>
        <comment>62062</comment>
        <translation>Heute:</translation>
    </message>
    <message>
        <source>Selected day:</source>
        <comment>62063</comment>
        <translation>Ausgewählter Tag:</translation>
    </message>
    <message>
        <source>Holidays:</source>
        <comment>62064</comment>
        <translation>Feiertage:</translation>
    </message>
    <message>
        <source>Saturdays:</source>
        <comment>62065</comment>
        <translation>Samstage:</translation>
    </message>
    <message>
        <source>Sundays:</source>
        <comment>62066</comment>
        <translation>Sonntage:</translation>
    </message>
    <message>
        <source>Days with events (year page):</source>
        <comment>62067</comment>
        <translation>Tage mit Terminen (Jahresseite):</translation>
    </message>
    <message>
        <source>Events:</source>
        <comment>62068</comment>
        <translation>Termine:</translation>
    </message>
    <message>
        <source>Day headers:</source>
        <comment>62069</comment>
        <translation>Tagesköpfe:</translation>
    </message>
    <message>
        <source>Holiday names:</source>
        <comment>62070</comment>
        <translation>Feiertagsnamen:</translation>
    </message>
    <message>
        <source>Weekday labels (month page):</source>
        <comment>62071</comment>
        <translation>Wochentage (Monatsseite):</translation>
    </message>
    <message>
        <source>Labels (year page):</source>
        <comment>62072</comment>
        <translation>Beschriftungen (Jahresseite):</translation>
    </message>
    <message>
        <source>To-do list:</source>
        <comment>62073</comment>
        <translation>Aufgabenliste:</translation>
    </message>
    <message>
        <source>Current time bar:</source>
        <comment>62074</comment>
        <translation>Anzeige der aktuellen Uhrzeit:</translation>
    </message>
    <message>
        <source>Reminder window:</source>
        <comment>62075</comment>
        <translation>Erinnerungsfenster:</translation>
    </message>
    <message>
        <source>%s, %s px</source>
        <comment>62076</comment>
        <translation>%s, %s px</translation>
    </message>
    <message>
        <source>, bold</source>
        <comment>62077</comment>
        <translation>, fett</translation>
    </message>
    <message>
        <source>, italic</source>
        <comment>62078</comment>
        <translation>, kursiv</translation>
    </message>
    <message>
        <source>Alarm check</source>
        <comment>62079</comment>
        <translation>Alarmprüfung</translation>
    </message>
    <message>
        <source>&amp;Check for due alarms every (seconds):</source>
        <comment>62080</comment>
        <translation>&amp;Fällige Alarme prüfen alle (Sekunden):</translation>
    </message>
    <message>
        <source>Reminder window</source>
        <comment>62081</comment>
        <translation>Erinnerungsfenster</translation>
    </message>
    <message>
        <source>The reminder window takes the &amp;keyboard focus</source>
        <comment>62082</comment>
        <translation>Das Erinnerungsfenster erhält den &amp;Tastaturfokus</translation>
    </message>
    <message>
        <source>The reminder window stays on &amp;top</source>
        <comment>62083</comment>
        <translation>Das Erinnerungsfenster bleibt im &amp;Vordergrund</translation>
    </message>
    <message>
        <source>Show reminders in the events&apos; colours and st&amp;yles</source>
        <comment>62084</comment>
        <translation>Erinnerungen in den Farben und &amp;Stilen der Termine anzeigen</translation>
    </message>
    <message>
        <source>&amp;Snooze until a fixed time of day:</source>
        <comment>62085</comment>
        <translation>&amp;Erneut erinnern bis zur festen Uhrzeit:</translation>
    </message>
    <message>
        <source>Done and undone to-dos</source>
        <comment>62086</comment>
        <translation>Erledigte und unerledigte Aufgaben</translation>
    </message>
    <message>
        <source>&amp;Delete done to-dos after (days):</source>
        <comment>62087</comment>
        <translation>Erledigte Aufgaben &amp;löschen nach (Tagen):</translation>
    </message>
    <message>
        <source>&amp;Hide done to-dos after (days):</source>
        <comment>62088</comment>
        <translation>Erledigte Aufgaben &amp;ausblenden nach (Tagen):</translation>
    </message>
    <message>
        <source>Hide &amp;undone to-dos until before their deadline (days):</source>
        <comment>62089</comment>
        <translation>&amp;Unerledigte Aufgaben bis vor ihrer Fälligkeit ausblenden (Tage):</translation>
    </message>
    <message>
        <source>Due to-dos</source>
        <comment>62090</comment>
        <translation>Fällige Aufgaben</translation>
    </message>
    <message>
        <source>Mark the to-do &amp;tab when to-dos are due</source>
        <comment>62091</comment>
        <translation>Die &amp;Registerkarte der Aufgaben markieren, wenn Aufgaben fällig sind</translation>
    </message>
    <message>
        <source>Mark the &amp;notification icon when to-dos are due</source>
        <comment>62092</comment>
        <translation>Das Symbol im &amp;Infobereich markieren, wenn Aufgaben fällig sind</translation>
    </message>
    <message>
        <source>Tooltips in the to-do &amp;list</source>
        <comment>62093</comment>
        <translation>&amp;QuickInfos in der Aufgabenliste</translation>
    </message>
    <message>
        <source>Shared events and to-dos</source>
        <comment>62094</comment>
        <translation>Geteilte Termine und Aufgaben</translation>
    </message>
    <message>
        <source>&amp;No sharing</source>
        <comment>62095</comment>
        <translation>&amp;Nicht teilen</translation>
    </message>
    <message>
        <source>Shared file on a network &amp;path</source>
        <comment>62096</comment>
        <translation>Gemeinsame Datei in einem Netzwerk&amp;pfad</translation>
    </message>
    <message>
        <source>Shared file on an &amp;FTP server</source>
        <comment>62097</comment>
        <translation>Gemeinsame Datei auf einem &amp;FTP-Server</translation>
    </message>
    <message>
        <source>Shared f&amp;ile:</source>
        <comment>62098</comment>
        <translation>&amp;Gemeinsame Datei:</translation>
    </message>
    <message>
        <source>&amp;Server:</source>
        <comment>62099</comment>
        <translation>FTP-&amp;Server:</translation>
    </message>
    <message>
        <source>P&amp;ort:</source>
        <comment>62100</comment>
        <translation>P&amp;ort:</translation>
    </message>
    <message>
        <source>&amp;Login:</source>
        <comment>62101</comment>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <source>Pass&amp;word:</source>
        <comment>62102</comment>
        <translation>&amp;Kennwort:</translation>
    </message>
    <message>
        <source>(stored; type to replace)</source>
        <comment>62103</comment>
        <translation>(gespeichert; zum Ersetzen neu eingeben)</translation>
    </message>
    <message>
        <source>R&amp;emove</source>
        <comment>62104</comment>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>File on the ser&amp;ver:</source>
        <comment>62105</comment>
        <translation>Datei auf dem Ser&amp;ver:</translation>
    </message>
    <message>
        <source>Passive mo&amp;de</source>
        <comment>62106</comment>
        <translation>Passiver &amp;Modus</translation>
    </message>
    <message>
        <source>Synchronisation</source>
        <comment>62107</comment>
        <translation>Synchronisierung</translation>
    </message>
    <message>
        <source>&amp;Automatically every (seconds):</source>
        <comment>62108</comment>
        <translation>&amp;Automatisch alle (Sekunden):</translation>
    </message>
    <message>
        <source>Only on S&amp;ynchronize Now</source>
        <comment>62109</comment>
        <translation>Nur bei „&amp;Jetzt synchronisieren“</translation>
    </message>
    <message>
        <source>Write my additions and changes of shared entries to the shared file</source>
        <comment>62110</comment>
        <translation>Meine Ergänzungen und Änderungen geteilter Einträge in die gemeinsame Datei schreiben</translation>
    </message>
    <message>
        <source>Write my deletions of shared entries to the shared file</source>
        <comment>62111</comment>
        <translation>Meine Löschungen geteilter Einträge in die gemeinsame Datei schreiben</translation>
    </message>
    <message>
        <source>Rotating backup copies</source>
        <comment>62112</comment>
        <translation>Rotierende Sicherungskopien</translation>
    </message>
    <message>
        <source>Copies of the &amp;event file kept:</source>
        <comment>62113</comment>
        <translation>Aufbewahrte Kopien der &amp;Termindatei:</translation>
    </message>
    <message>
        <source>Copies of the &amp;shared file kept:</source>
        <comment>62114</comment>
        <translation>Aufbewahrte Kopien der &amp;gemeinsamen Datei:</translation>
    </message>
    <message>
        <source>At most one copy a day is made, beside the file as .b00, .b01, ...; the oldest is replaced when all are taken. 0 makes no copies.</source>
        <comment>62115</comment>
        <translation>Es wird höchstens eine Kopie pro Tag angelegt, neben der Datei als .b00, .b01, ...; sind alle vergeben, wird die älteste ersetzt. Bei 0 werden keine Kopien angelegt.</translation>
    </message>
    <message>
        <source>&amp;Language of the program:</source>
        <comment>62116</comment>
        <translation>&amp;Sprache des Programms:</translation>
    </message>
    <message>
        <source>The new language takes effect the next time Dayvault starts.</source>
        <comment>62117</comment>
        <translation>Die neue Sprache gilt ab dem nächsten Start von Dayvault.</translation>
    </message>
    <message>
        <source>General</source>
        <comment>62200</comment>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <comment>62201</comment>
        <translation>Zwischenablage</translation>
    </message>
    <message>
        <source>Tooltips</source>
        <comment>62202</comment>
        <translation>QuickInfos</translation>
    </message>
    <message>
        <source>Calendar</source>
        <comment>62203</comment>
        <translation>Kalender</translation>
    </message>
    <message>
        <source>ToDo&apos;s</source>
        <comment>62204</comment>
        <translation>Aufgaben</translation>
    </message>
    <message>
        <source>Headers</source>
        <comment>62205</comment>
        <translation>Überschriften</translation>
    </message>
    <message>
        <source>Misc</source>
        <comment>62206</comment>
        <translation>Sonstiges</translation>
    </message>
    <message>
        <source>Default</source>
        <comment>62207</comment>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Standard Formats</source>
        <comment>62208</comment>
        <translation>Standardformate</translation>
    </message>
    <message>
        <source>List Format</source>
        <comment>62209</comment>
        <translation>Listenformat</translation>
    </message>
    <message>
        <source>Date:</source>
        <comment>62210</comment>
        <translation>Datum:</translation>
    </message>
    <message>
        <source>Time:</source>
        <comment>62211</comment>
        <translation>Uhrzeit:</translation>
    </message>
    <message>
        <source>Date and Time:</source>
        <comment>62212</comment>
        <translation>Datum und Uhrzeit:</translation>
    </message>
    <message>
        <source>Text Format of the Clipboard</source>
        <comment>62213</comment>
        <translation>Textformat der Zwischenablage</translation>
    </message>
    <message>
        <source>Text Format of the Tooltips</source>
        <comment>62214</comment>
        <translation>Textformat der QuickInfos</translation>
    </message>
    <message>
        <source>Text Format of the Calendar View</source>
        <comment>62215</comment>
        <translation>Textformat der Kalenderansicht</translation>
    </message>
    <message>
        <source>Events with Time of Day:</source>
        <comment>62216</comment>
        <translation>Termine mit Uhrzeit:</translation>
    </message>
    <message>
        <source>All-Day Events:</source>
        <comment>62217</comment>
        <translation>Ganztägige Termine:</translation>
    </message>
    <message>
        <source>Multiple Day Events (First Day):</source>
        <comment>62218</comment>
        <translation>Mehrtägige Termine (erster Tag):</translation>
    </message>
    <message>
        <source>Multiple Day Events (2nd to last but one Day):</source>
        <comment>62219</comment>
        <translation>Mehrtägige Termine (zweiter bis vorletzter Tag):</translation>
    </message>
    <message>
        <source>Multiple Day Events (Last Day):</source>
        <comment>62220</comment>
        <translation>Mehrtägige Termine (letzter Tag):</translation>
    </message>
    <message>
        <source>Clipboard Text Format</source>
        <comment>62221</comment>
        <translation>Textformat für die Zwischenablage</translation>
    </message>
    <message>
        <source>Tooltip Text Format</source>
        <comment>62222</comment>
        <translation>Textformat für QuickInfos</translation>
    </message>
    <message>
        <source>Value of the $STATE$ - Variable</source>
        <comment>62223</comment>
        <translation>Wert der Variablen $STATE$</translation>
    </message>
    <message>
        <source>Done:</source>
        <comment>62224</comment>
        <translation>Erledigt:</translation>
    </message>
    <message>
        <source>Overdue:</source>
        <comment>62225</comment>
        <translation>Überfällig:</translation>
    </message>
    <message>
        <source>Undone:</source>
        <comment>62226</comment>
        <translation>Unerledigt:</translation>
    </message>
    <message>
        <source>Due:</source>
        <comment>62227</comment>
        <translation>Fällig:</translation>
    </message>
    <message>
        <source>Date Header Text Format</source>
        <comment>62228</comment>
        <translation>Textformat der Datumsüberschriften</translation>
    </message>
    <message>
        <source>Week View:</source>
        <comment>62229</comment>
        <translation>Wochenansicht:</translation>
    </message>
    <message>
        <source>Fortnight View:</source>
        <comment>62230</comment>
        <translation>Zweiwochenansicht:</translation>
    </message>
    <message>
        <source>Month View, First Day of a Month:</source>
        <comment>62231</comment>
        <translation>Monatsansicht, erster Tag eines Monats:</translation>
    </message>
    <message>
        <source>Month View, Other Days:</source>
        <comment>62232</comment>
        <translation>Monatsansicht, übrige Tage:</translation>
    </message>
    <message>
        <source>Year View:</source>
        <comment>62233</comment>
        <translation>Jahresansicht:</translation>
    </message>
    <message>
        <source>Week Number:</source>
        <comment>62234</comment>
        <translation>Kalenderwoche:</translation>
    </message>
    <message>
        <source>Tooltip of the Notification Icon</source>
        <comment>62235</comment>
        <translation>QuickInfo des Symbols im Infobereich</translation>
    </message>
    <message>
        <source>Reminder Headline</source>
        <comment>62236</comment>
        <translation>Überschrift der Erinnerung</translation>
    </message>
    <message>
        <source>Event without Time of Day:</source>
        <comment>62237</comment>
        <translation>Termin ohne Uhrzeit:</translation>
    </message>
    <message>
        <source>Event with Time of Day:</source>
        <comment>62238</comment>
        <translation>Termin mit Uhrzeit:</translation>
    </message>
    <message>
        <source>Current Time Display</source>
        <comment>62239</comment>
        <translation>Anzeige der aktuellen Uhrzeit</translation>
    </message>
    <message>
        <source>Preview on a sample event</source>
        <comment>62240</comment>
        <translation>Vorschau an einem Beispieltermin</translation>
    </message>
    <message>
        <source>Preview on a sample to-do</source>
        <comment>62241</comment>
        <translation>Vorschau an einer Beispielaufgabe</translation>
    </message>
    <message>
        <source>Preview with the current date and time</source>
        <comment>62242</comment>
        <translation>Vorschau mit dem aktuellen Datum und der aktuellen Uhrzeit</translation>
    </message>
    <message>
        <source>“%s” is not a placeholder and is shown as typed.</source>
        <comment>62243</comment>
        <translation>„%s“ ist kein Platzhalter und wird unverändert angezeigt.</translation>
    </message>
    <message>
        <source>“%s” has no closing “$” and is shown as typed.</source>
        <comment>62244</comment>
        <translation>„%s“ hat kein schließendes „$“ und wird unverändert angezeigt.</translation>
    </message>
    <message>
        <source>“%s” is not a date code; only the character after “%” is shown.</source>
        <comment>62245</comment>
        <translation>„%s“ ist kein Datumscode; nur das Zeichen nach „%“ wird angezeigt.</translation>
    </message>
    <message>
        <source>The “%” at the end is shown as it is.</source>
        <comment>62246</comment>
        <translation>Das „%“ am Ende wird unverändert angezeigt.</translation>
    </message>
    <message>
        <source>Placeholders such as $DESCRIPTION$, $NOTES$, $CATEGORY$, $THIS_START_TIME$, $THIS_STARTTOEND_AUTO$ or $NEXT_DATE$ are replaced by the event&apos;s values. R_ or _R adds a line break, S_ or _S a space, when the value is not empty.</source>
        <comment>62247</comment>
        <translation>Platzhalter wie $DESCRIPTION$, $NOTES$, $CATEGORY$, $THIS_START_TIME$, $THIS_STARTTOEND_AUTO$ oder $NEXT_DATE$ werden durch die Werte des Termins ersetzt. R_ oder _R fügt einen Zeilenumbruch hinzu, S_ oder _S ein Leerzeichen, wenn der Wert nicht leer ist.</translation>
    </message>
    <message>
        <source>Placeholders such as $DESCRIPTION$, $NOTES$, $STATE$, $GROUP$, $PRIORITY$ or $DEADLINE_AUTO$ are replaced by the to-do&apos;s values. R_ or _R adds a line break, S_ or _S a space, when the value is not empty.</source>
        <comment>62248</comment>
        <translation>Platzhalter wie $DESCRIPTION$, $NOTES$, $STATE$, $GROUP$, $PRIORITY$ oder $DEADLINE_AUTO$ werden durch die Werte der Aufgabe ersetzt. R_ oder _R fügt einen Zeilenumbruch hinzu, S_ oder _S ein Leerzeichen, wenn der Wert nicht leer ist.</translation>
    </message>
    <message>
        <source>%d day, %m month, %Y year, %y year without century, %B or %b month name, %A or %a weekday, %H or %I hour, %M minute, %S second, %p AM/PM, %j day of the year, %W week; %#d drops the leading zero.</source>
        <comment>62249</comment>
        <translation>%d Tag, %m Monat, %Y Jahr, %y Jahr ohne Jahrhundert, %B oder %b Monatsname, %A oder %a Wochentag, %H oder %I Stunde, %M Minute, %S Sekunde, %p AM/PM, %j Tag des Jahres, %W Woche; %#d lässt die führende Null weg.</translation>
    </message>
    <message>
        <source>Dentist appointment</source>
        <comment>62250</comment>
        <translation>Zahnarzttermin</translation>
    </message>
    <message>
        <source>Bring the insurance card</source>
        <comment>62251</comment>
        <translation>Versichertenkarte mitbringen</translation>
    </message>
    <message>
        <source>Health</source>
        <comment>62252</comment>
        <translation>Gesundheit</translation>
    </message>
    <message>
        <source>Mother&apos;s birthday</source>
        <comment>62253</comment>
        <translation>Mutters Geburtstag</translation>
    </message>
    <message>
        <source>Trade fair</source>
        <comment>62254</comment>
        <translation>Messe</translation>
    </message>
    <message>
        <source>Renew the car insurance</source>
        <comment>62255</comment>
        <translation>Kfz-Versicherung verlängern</translation>
    </message>
    <message>
        <source>Compare two offers first</source>
        <comment>62256</comment>
        <translation>Vorher zwei Angebote vergleichen</translation>
    </message>
    <message>
        <source>Home</source>
        <comment>62257</comment>
        <translation>Privat</translation>
    </message>
    <message>
        <source>Holiday Setup</source>
        <comment>62300</comment>
        <translation>Feiertage einrichten</translation>
    </message>
    <message>
        <source>Modules</source>
        <comment>62301</comment>
        <translation>Module</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <comment>62302</comment>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <comment>62303</comment>
        <translation>Nach &amp;unten</translation>
    </message>
    <message>
        <source>Holidays of the Selected Module</source>
        <comment>62304</comment>
        <translation>Feiertage des ausgewählten Moduls</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <comment>62305</comment>
        <translation>&amp;Alle</translation>
    </message>
    <message>
        <source>&amp;None</source>
        <comment>62306</comment>
        <translation>&amp;Keine</translation>
    </message>
    <message>
        <source>Holiday Preview for Selected Module</source>
        <comment>62307</comment>
        <translation>Feiertagsvorschau für das ausgewählte Modul</translation>
    </message>
    <message>
        <source>&amp;Year:</source>
        <comment>62308</comment>
        <translation>&amp;Jahr:</translation>
    </message>
    <message>
        <source>Holiday</source>
        <comment>62309</comment>
        <translation>Feiertag</translation>
    </message>
    <message>
        <source>Name</source>
        <comment>62310</comment>
        <translation>Name</translation>
    </message>
    <message>
        <source>Display in the Calendar Pages</source>
        <comment>62311</comment>
        <translation>Anzeige auf den Kalenderseiten</translation>
    </message>
    <message>
        <source>Show holidays &amp;below the date</source>
        <comment>62312</comment>
        <translation>Feiertage unter dem &amp;Datum anzeigen</translation>
    </message>
    <message>
        <source>Show the &amp;language of each holiday</source>
        <comment>62313</comment>
        <translation>&amp;Sprache jedes Feiertags anzeigen</translation>
    </message>
    <message>
        <source>This holiday module cannot be read and is not listed: %s</source>
        <comment>62314</comment>
        <translation>Dieses Feiertagsmodul kann nicht gelesen werden und wird nicht aufgeführt: %s</translation>
    </message>
    <message>
        <source>(switched off)</source>
        <comment>62315</comment>
        <translation>(ausgeschaltet)</translation>
    </message>
    <message>
        <source>No holidays in %s.</source>
        <comment>62316</comment>
        <translation>Keine Feiertage im Jahr %s.</translation>
    </message>
    <message>
        <source>These holiday modules could not be loaded and are not shown:
%s</source>
        <comment>62317</comment>
        <translation>Diese Feiertagsmodule konnten nicht geladen werden und werden nicht angezeigt:
%s</translation>
    </message>
    <message>
        <source>The holiday settings could not be stored: %s</source>
        <comment>62318</comment>
        <translation>Die Feiertagseinstellungen konnten nicht gespeichert werden: %s</translation>
    </message>
    <message>
        <source>Format</source>
        <comment>62400</comment>
        <translation>Exportformat</translation>
    </message>
    <message>
        <source>&amp;Todo</source>
        <comment>62401</comment>
        <translation>&amp;Aufgaben</translation>
    </message>
    <message>
        <source>C&amp;alendar</source>
        <comment>62402</comment>
        <translation>&amp;Kalender</translation>
    </message>
    <message>
        <source>&amp;Start:</source>
        <comment>62403</comment>
        <translation>&amp;Beginn:</translation>
    </message>
    <message>
        <source>Len&amp;gth:</source>
        <comment>62404</comment>
        <translation>Lä&amp;nge:</translation>
    </message>
    <message>
        <source>1|3|7|14|28|29|30|31|56|365|366</source>
        <comment>62405</comment>
        <translation>1|3|7|14|28|29|30|31|56|365|366</translation>
    </message>
    <message>
        <source>days</source>
        <comment>62406</comment>
        <translation>Tage</translation>
    </message>
    <message>
        <source>Range:</source>
        <comment>62407</comment>
        <translation>Zeitraum:</translation>
    </message>
    <message>
        <source>&amp;Options...</source>
        <comment>62408</comment>
        <translation>&amp;Optionen...</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <comment>62409</comment>
        <translation>&amp;Exportieren</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <comment>62410</comment>
        <translation>Abbre&amp;chen</translation>
    </message>
    <message>
        <source>CSV-Export</source>
        <comment>62411</comment>
        <translation>CSV-Export</translation>
    </message>
    <message>
        <source>HTML-Export</source>
        <comment>62412</comment>
        <translation>HTML-Export</translation>
    </message>
    <message>
        <source>&amp;Week</source>
        <comment>62413</comment>
        <translation>&amp;Woche</translation>
    </message>
    <message>
        <source>&amp;Fortnight</source>
        <comment>62414</comment>
        <translation>&amp;Zwei Wochen</translation>
    </message>
    <message>
        <source>&amp;Month</source>
        <comment>62415</comment>
        <translation>&amp;Monat</translation>
    </message>
    <message>
        <source>&amp;List</source>
        <comment>62416</comment>
        <translation>&amp;Liste</translation>
    </message>
    <message>
        <source>&amp;Selected:</source>
        <comment>62417</comment>
        <translation>Ausgewähltes &amp;Datum:</translation>
    </message>
    <message>
        <source>Templ&amp;ate</source>
        <comment>62418</comment>
        <translation>&amp;Vorlage</translation>
    </message>
    <message>
        <source>...</source>
        <comment>62419</comment>
        <translation>...</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <comment>62420</comment>
        <translation>Vor&amp;schau</translation>
    </message>
    <message>
        <source>The length must be a whole number of days from 1 to 36600.
&quot;%s&quot; is not.</source>
        <comment>62421</comment>
        <translation>Die Länge muss eine ganze Zahl von Tagen zwischen 1 und 36600 sein.
„%s“ ist das nicht.</translation>
    </message>
    <message>
        <source>The preview could not be opened in the browser:
%s</source>
        <comment>62422</comment>
        <translation>Die Vorschau konnte nicht im Browser geöffnet werden:
%s</translation>
    </message>
    <message>
        <source>There is no free name for a preview file in the temporary folder
%s</source>
        <comment>62423</comment>
        <translation>Im temporären Ordner gibt es keinen freien Namen für eine Vorschaudatei:
%s</translation>
    </message>
    <message>
        <source>Calendar Fields</source>
        <comment>62424</comment>
        <translation>Kalenderfelder</translation>
    </message>
    <message>
        <source>Calendar Field Names</source>
        <comment>62425</comment>
        <translation>Kalender-Feldnamen</translation>
    </message>
    <message>
        <source>Calendar Formats</source>
        <comment>62426</comment>
        <translation>Kalenderformate</translation>
    </message>
    <message>
        <source>Todo Fields</source>
        <comment>62427</comment>
        <translation>Aufgabenfelder</translation>
    </message>
    <message>
        <source>Todo Field Names</source>
        <comment>62428</comment>
        <translation>Aufgaben-Feldnamen</translation>
    </message>
    <message>
        <source>Todo Formats</source>
        <comment>62429</comment>
        <translation>Aufgabenformate</translation>
    </message>
    <message>
        <source>Date|Weeknumber|Holiday|Time|Category|Description|Notes</source>
        <comment>62430</comment>
        <translation>Datum|Kalenderwoche|Feiertag|Uhrzeit|Kategorie|Beschreibung|Notizen</translation>
    </message>
    <message>
        <source>Date|Time|State|Priority|Group|Description|Notes|Document</source>
        <comment>62431</comment>
        <translation>Datum|Uhrzeit|Status|Priorität|Gruppe|Beschreibung|Notizen|Dokument</translation>
    </message>
    <message>
        <source>Columns (the checked ones are written, top to bottom)</source>
        <comment>62432</comment>
        <translation>Spalten (die angehakten werden von oben nach unten geschrieben)</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <comment>62433</comment>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>Move Do&amp;wn</source>
        <comment>62434</comment>
        <translation>Nach &amp;unten</translation>
    </message>
    <message>
        <source>Delimiter</source>
        <comment>62435</comment>
        <translation>Trennzeichen</translation>
    </message>
    <message>
        <source>&amp;Comma (,)</source>
        <comment>62436</comment>
        <translation>&amp;Komma (,)</translation>
    </message>
    <message>
        <source>&amp;Semicolon (;)</source>
        <comment>62437</comment>
        <translation>Se&amp;mikolon (;)</translation>
    </message>
    <message>
        <source>&amp;Tab</source>
        <comment>62438</comment>
        <translation>&amp;Tabulator</translation>
    </message>
    <message>
        <source>&amp;Remove the delimiter from the column texts</source>
        <comment>62439</comment>
        <translation>Trennzeichen aus den Spaltentexten &amp;entfernen</translation>
    </message>
    <message>
        <source>Field &amp;names in the first row</source>
        <comment>62440</comment>
        <translation>Feld&amp;namen in der ersten Zeile</translation>
    </message>
    <message>
        <source>A column name must not contain a comma:
%s</source>
        <comment>62441</comment>
        <translation>Ein Spaltenname darf kein Komma enthalten:
%s</translation>
    </message>
    <message>
        <source>Normal Day</source>
        <comment>62442</comment>
        <translation>Normaler Tag</translation>
    </message>
    <message>
        <source>Single Day Events without Time</source>
        <comment>62443</comment>
        <translation>Eintägige Termine ohne Uhrzeit</translation>
    </message>
    <message>
        <source>Multiple Day Events (First Day)</source>
        <comment>62444</comment>
        <translation>Mehrtägige Termine (erster Tag)</translation>
    </message>
    <message>
        <source>Multiple Day Events (2nd to last but one Day)</source>
        <comment>62445</comment>
        <translation>Mehrtägige Termine (zweiter bis vorletzter Tag)</translation>
    </message>
    <message>
        <source>Multiple Day Events (Last Day)</source>
        <comment>62446</comment>
        <translation>Mehrtägige Termine (letzter Tag)</translation>
    </message>
    <message>
        <source>Time Column</source>
        <comment>62447</comment>
        <translation>Spalte Uhrzeit</translation>
    </message>
    <message>
        <source>Description Column</source>
        <comment>62448</comment>
        <translation>Spalte Beschreibung</translation>
    </message>
    <message>
        <source>Other Columns</source>
        <comment>62449</comment>
        <translation>Übrige Spalten</translation>
    </message>
    <message>
        <source>Appearance</source>
        <comment>62450</comment>
        <translation>Darstellung</translation>
    </message>
    <message>
        <source>Header Formats</source>
        <comment>62451</comment>
        <translation>Überschriftenformate</translation>
    </message>
    <message>
        <source>Templates</source>
        <comment>62452</comment>
        <translation>Vorlagen</translation>
    </message>
    <message>
        <source>Todo&apos;s</source>
        <comment>62453</comment>
        <translation>Aufgaben</translation>
    </message>
    <message>
        <source>Colours</source>
        <comment>62454</comment>
        <translation>Farben</translation>
    </message>
    <message>
        <source>&amp;Normal days:</source>
        <comment>62455</comment>
        <translation>&amp;Normale Tage:</translation>
    </message>
    <message>
        <source>&amp;Holidays:</source>
        <comment>62456</comment>
        <translation>&amp;Feiertage:</translation>
    </message>
    <message>
        <source>S&amp;aturdays:</source>
        <comment>62457</comment>
        <translation>S&amp;amstage:</translation>
    </message>
    <message>
        <source>S&amp;undays:</source>
        <comment>62458</comment>
        <translation>S&amp;onntage:</translation>
    </message>
    <message>
        <source>&amp;Table header:</source>
        <comment>62459</comment>
        <translation>&amp;Tabellenkopf:</translation>
    </message>
    <message>
        <source>&amp;Strike through done events</source>
        <comment>62460</comment>
        <translation>Erledigte Termine &amp;durchstreichen</translation>
    </message>
    <message>
        <source>Events with display colours</source>
        <comment>62461</comment>
        <translation>Termine mit Anzeigefarben</translation>
    </message>
    <message>
        <source>In their &amp;colours</source>
        <comment>62462</comment>
        <translation>In ihren Fa&amp;rben</translation>
    </message>
    <message>
        <source>&amp;Bold</source>
        <comment>62463</comment>
        <translation>F&amp;ett</translation>
    </message>
    <message>
        <source>&amp;Plain</source>
        <comment>62464</comment>
        <translation>Ohne &amp;Hervorhebung</translation>
    </message>
    <message>
        <source>List: a row for days &amp;without events</source>
        <comment>62465</comment>
        <translation>Liste: eine &amp;Zeile für Tage ohne Termine</translation>
    </message>
    <message>
        <source>&amp;Week:</source>
        <comment>62466</comment>
        <translation>&amp;Woche:</translation>
    </message>
    <message>
        <source>&amp;Fortnight:</source>
        <comment>62467</comment>
        <translation>&amp;Zwei Wochen:</translation>
    </message>
    <message>
        <source>F&amp;irst day of a month:</source>
        <comment>62468</comment>
        <translation>&amp;Erster Tag eines Monats:</translation>
    </message>
    <message>
        <source>&amp;Month:</source>
        <comment>62469</comment>
        <translation>&amp;Monat:</translation>
    </message>
    <message>
        <source>&amp;List:</source>
        <comment>62470</comment>
        <translation>&amp;Liste:</translation>
    </message>
    <message>
        <source>Week &amp;number:</source>
        <comment>62471</comment>
        <translation>&amp;Kalenderwoche:</translation>
    </message>
    <message>
        <source>T&amp;odo:</source>
        <comment>62472</comment>
        <translation>&amp;Aufgaben:</translation>
    </message>
    <message>
        <source>Column &amp;name:</source>
        <comment>62473</comment>
        <translation>Spalten&amp;name:</translation>
    </message>
    <message>
        <source>Field</source>
        <comment>62474</comment>
        <translation>Feld</translation>
    </message>
    <message>
        <source>Column name</source>
        <comment>62475</comment>
        <translation>Spaltenname</translation>
    </message>
    <message>
        <source>Choose the colour</source>
        <comment>62476</comment>
        <translation>Farbe auswählen</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <comment>62477</comment>
        <translation>&amp;Standard</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <comment>63300</comment>
        <translation>die Datei ist schreibgeschützt</translation>
    </message>
    <message>
        <source>the file was opened read-only</source>
        <comment>63301</comment>
        <translation>die Datei wurde schreibgeschützt geöffnet</translation>
    </message>
    <message>
        <source>the file changed on disk since it was read</source>
        <comment>63302</comment>
        <translation>die Datei wurde auf dem Datenträger geändert, seit sie gelesen wurde</translation>
    </message>
    <message>
        <source>The event file %s is read-only, so your changes were not saved in it.
Do you want to save them under another name?</source>
        <comment>63303</comment>
        <translation>Die Termindatei %s ist schreibgeschützt, daher wurden Ihre Änderungen nicht darin gespeichert.
Möchten Sie sie unter einem anderen Namen speichern?</translation>
    </message>
    <message>
        <source>The event file %s was opened read-only, so your changes were not saved in it.
Do you want to save them under another name?</source>
        <comment>63304</comment>
        <translation>Die Termindatei %s wurde schreibgeschützt geöffnet, daher wurden Ihre Änderungen nicht darin gespeichert.
Möchten Sie sie unter einem anderen Namen speichern?</translation>
    </message>
    <message>
        <source>The event file %s was deleted or moved since it was read.
Do you want to save it again with the entries shown here?</source>
        <comment>63305</comment>
        <translation>Die Termindatei %s wurde gelöscht oder verschoben, seit sie gelesen wurde.
Möchten Sie sie mit den hier angezeigten Einträgen erneut speichern?</translation>
    </message>
    <message>
        <source>The event file %s was changed by another program and can no longer be read:
%s
Do you want to replace it with the entries shown here?</source>
        <comment>63306</comment>
        <translation>Die Termindatei %s wurde von einem anderen Programm geändert und kann nicht mehr gelesen werden:
%s
Möchten Sie sie durch die hier angezeigten Einträge ersetzen?</translation>
    </message>
    <message>
        <source>The event file %s was changed by another program. Its changes (%s entries) were taken in before saving.</source>
        <comment>63307</comment>
        <translation>Die Termindatei %s wurde von einem anderen Programm geändert. Dessen Änderungen (%s Einträge) wurden vor dem Speichern übernommen.</translation>
    </message>
    <message>
        <source>The event file %s is opened by %s on %s since %s.
Do you want to open it anyway? No opens it read-only.</source>
        <comment>63308</comment>
        <translation>Die Termindatei %s ist von %s auf %s seit %s geöffnet.
Möchten Sie sie trotzdem öffnen? Nein öffnet sie schreibgeschützt.</translation>
    </message>
    <message>
        <source>Now</source>
        <comment>63200</comment>
        <translation>Jetzt</translation>
    </message>
    <message>
        <source>%s ago</source>
        <comment>63201</comment>
        <translation>vor %s</translation>
    </message>
    <message>
        <source>Document: %s</source>
        <comment>63202</comment>
        <translation>Dokument: %s</translation>
    </message>
    <message>
        <source>Program: %s</source>
        <comment>63203</comment>
        <translation>Programm: %s</translation>
    </message>
    <message>
        <source>Argument %s: %s</source>
        <comment>63204</comment>
        <translation>Argument %s: %s</translation>
    </message>
    <message>
        <source>This shared event came from another user. It opens the document shown below.
Do you want to allow this? You will be asked again if the document changes.</source>
        <comment>63205</comment>
        <translation>Dieser geteilte Termin stammt von einem anderen Benutzer. Er öffnet das unten gezeigte Dokument.
Möchten Sie das zulassen? Sie werden erneut gefragt, wenn sich das Dokument ändert.</translation>
    </message>
    <message>
        <source>This shared event came from another user. It runs the program shown below, with each of its arguments on a line of its own.
Do you want to allow this? You will be asked again if any of it changes.</source>
        <comment>63206</comment>
        <translation>Dieser geteilte Termin stammt von einem anderen Benutzer. Er startet das unten gezeigte Programm, jedes seiner Argumente in einer eigenen Zeile.
Möchten Sie das zulassen? Sie werden erneut gefragt, wenn sich daran etwas ändert.</translation>
    </message>
    <message>
        <source>Do you want to open the document shown below now?</source>
        <comment>63207</comment>
        <translation>Möchten Sie das unten gezeigte Dokument jetzt öffnen?</translation>
    </message>
    <message>
        <source>Do you want to run the program shown below now, with each of its arguments on a line of its own?</source>
        <comment>63208</comment>
        <translation>Möchten Sie das unten gezeigte Programm jetzt starten? Jedes seiner Argumente steht in einer eigenen Zeile.</translation>
    </message>
    <message>
        <source>An event that repeats every few weeks always falls on the weekday it starts on,
so it cannot keep several weekday conditions.

Please choose a repeat rate of one week, or tick only the start&apos;s weekday!</source>
        <comment>63100</comment>
        <translation>Ein Termin, der sich alle paar Wochen wiederholt, fällt immer auf den Wochentag seines Beginns
und kann daher nicht mehrere Wochentage als Bedingung haben.

Bitte wählen Sie eine Wiederholung jede Woche, oder haken Sie nur den Wochentag des Beginns an!</translation>
    </message>
    <message>
        <source>Every %s</source>
        <comment>63101</comment>
        <translation>Jeden %s</translation>
    </message>
    <message>
        <source> and </source>
        <comment>63102</comment>
        <translation> und </translation>
    </message>
    <message>
        <source>New ToDo</source>
        <comment>63103</comment>
        <translation>Neue Aufgabe</translation>
    </message>
    <message>
        <source>General</source>
        <comment>63104</comment>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>The event file &apos;%s&apos; held entries with the identity (GUID) of another entry.
Entries given an identity of their own: %s</source>
        <comment>63105</comment>
        <translation>Die Termindatei &apos;%s&apos; enthielt Einträge mit der Kennung (GUID) eines anderen Eintrags.
Einträge mit einer eigenen neuen Kennung: %s</translation>
    </message>
    <message>
        <source>%s does not exist.
Create it?</source>
        <comment>63000</comment>
        <translation>%s existiert nicht.
Soll die Datei angelegt werden?</translation>
    </message>
    <message>
        <source>The translation file %s is damaged and was not used:
%s

The program runs in English.</source>
        <comment>63001</comment>
        <translation>Die Übersetzungsdatei %s ist beschädigt und wurde nicht verwendet:
%s

Das Programm läuft auf Englisch.</translation>
    </message>
    <message>
        <source>These holiday modules could not be loaded and are left out:
%s</source>
        <comment>63002</comment>
        <translation>Diese Feiertagsmodule konnten nicht geladen werden und bleiben unberücksichtigt:
%s</translation>
    </message>
    <message>
        <source>The manual was not found. It belongs at:
%s</source>
        <comment>63003</comment>
        <translation>Das Handbuch wurde nicht gefunden. Es gehört hierher:
%s</translation>
    </message>
    <message>
        <source>Dayvault Manual</source>
        <comment>63004</comment>
        <translation>Dayvault-Handbuch</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <comment>63005</comment>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <comment>63006</comment>
        <translation>&amp;Vor</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <comment>63007</comment>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;24-hour clock</source>
        <comment>63400</comment>
        <translation>&amp;24-Stunden-Uhr</translation>
    </message>
    <message>
        <source>en</source>
        <comment>63401</comment>
        <translation>de</translation>
    </message>
    <message>
        <source>%B %Y</source>
        <comment>63402</comment>
        <translation>%B %Y</translation>
    </message>
    <message>
        <source>To-do list</source>
        <comment>63403</comment>
        <translation>Aufgabenliste</translation>
    </message>
    <message>
        <source>%s – %s</source>
        <comment>63404</comment>
        <translation>%s – %s</translation>
    </message>
    <message>
        <source>Filter on</source>
        <comment>63405</comment>
        <translation>Filter aktiv</translation>
    </message>
    <message>
        <source>The sidebar&apos;s filter hides some entries. Ctrl+F shows the sidebar; View &gt; Use Filters switches the filter off.</source>
        <comment>63406</comment>
        <translation>Der Filter der Seitenleiste blendet Einträge aus. Strg+F zeigt die Seitenleiste; Ansicht &gt; Filter verwenden schaltet den Filter aus.</translation>
    </message>
    <message>
        <source>… and %s more</source>
        <comment>63407</comment>
        <translation>… und %s weitere</translation>
    </message>
    <message>
        <source>Search returned 1 result</source>
        <comment>63408</comment>
        <translation>Die Suche ergab 1 Treffer</translation>
    </message>
    <message>
        <source>monthly on day %s: months without that day get their last day here instead of none</source>
        <comment>63600</comment>
        <translation>monatlich am %s.: Monate ohne diesen Tag erhalten hier ihren letzten Tag statt keinem</translation>
    </message>
    <message>
        <source>yearly from 29 February: other years get 28 February here instead of none</source>
        <comment>63601</comment>
        <translation>jährlich ab 29. Februar: andere Jahre erhalten hier den 28. Februar statt keinem</translation>
    </message>
    <message>
        <source>TZID=%s: its clock changes on other days than the local one; the occurrences follow the local clock</source>
        <comment>63602</comment>
        <translation>TZID=%s: die Uhr wird an anderen Tagen umgestellt als die hiesige; die Termine folgen der hiesigen Uhr</translation>
    </message>
    <message>
        <source>%s alarms: only the first was kept</source>
        <comment>63603</comment>
        <translation>%s Erinnerungen: nur die erste wurde übernommen</translation>
    </message>
    <message>
        <source>an alarm after the start: imported as an alarm at the start</source>
        <comment>63604</comment>
        <translation>eine Erinnerung nach dem Beginn: als Erinnerung zum Beginn übernommen</translation>
    </message>
    <message>
        <source>RECURRENCE-ID %s: the changed occurrence became an entry of its own; its link to the series is lost</source>
        <comment>63605</comment>
        <translation>RECURRENCE-ID %s: der geänderte Termin wurde ein eigener Eintrag; seine Verbindung zur Serie ging verloren</translation>
    </message>
    <message>
        <source>RDATE %s: the extra occurrence became an entry of its own; its link to the series is lost</source>
        <comment>63606</comment>
        <translation>RDATE %s: der zusätzliche Termin wurde ein eigener Eintrag; seine Verbindung zur Serie ging verloren</translation>
    </message>
    <message>
        <source>%s: imported as %s</source>
        <comment>63607</comment>
        <translation>%s: übernommen als %s</translation>
    </message>
    <message>
        <source>%s: ignored</source>
        <comment>63608</comment>
        <translation>%s: nicht übernommen</translation>
    </message>
    <message>
        <source>an alarm %s seconds before: rounded to whole minutes</source>
        <comment>63609</comment>
        <translation>eine Erinnerung %s Sekunden vorher: auf ganze Minuten gerundet</translation>
    </message>
    <message>
        <source>TZID=%s: unknown time zone; its times were taken as local times</source>
        <comment>63610</comment>
        <translation>TZID=%s: unbekannte Zeitzone; ihre Zeiten wurden als Ortszeit genommen</translation>
    </message>
    <message>
        <source>%s: written as %s</source>
        <comment>63611</comment>
        <translation>%s: geschrieben als %s</translation>
    </message>
    <message>
        <source>no DTSTART</source>
        <comment>63612</comment>
        <translation>kein DTSTART</translation>
    </message>
    <message>
        <source>not an iCalendar file (no BEGIN:VCALENDAR)</source>
        <comment>63613</comment>
        <translation>keine iCalendar-Datei (kein BEGIN:VCALENDAR)</translation>
    </message>
    <message>
        <source>cut short (no END:VCALENDAR)</source>
        <comment>63614</comment>
        <translation>unvollständig (kein END:VCALENDAR)</translation>
    </message>
    <message>
        <source>monthly on day %s</source>
        <comment>63615</comment>
        <translation>monatlich am %s.</translation>
    </message>
    <message>
        <source>yearly on the first occurrence's date</source>
        <comment>63616</comment>
        <translation>jährlich am Datum des ersten Termins</translation>
    </message>
    <message>
        <source>every week on those weekdays</source>
        <comment>63617</comment>
        <translation>jede Woche an diesen Wochentagen</translation>
    </message>
    <message>
        <source>every month</source>
        <comment>63618</comment>
        <translation>jeden Monat</translation>
    </message>
    <message>
        <source>a single occurrence</source>
        <comment>63619</comment>
        <translation>ein einzelner Termin</translation>
    </message>
    <message>
        <source>daily</source>
        <comment>63620</comment>
        <translation>täglich</translation>
    </message>
    <message>
        <source>no alarm</source>
        <comment>63621</comment>
        <translation>keine Erinnerung</translation>
    </message>
    <message>
        <source>the same weekday of every month</source>
        <comment>63622</comment>
        <translation>derselbe Wochentag jedes Monats</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <comment>63630</comment>
        <translation>&amp;Importieren</translation>
    </message>
    <message>
        <source>&amp;iCalendar...</source>
        <comment>63631</comment>
        <translation>&amp;iCalendar-Datei...</translation>
    </message>
    <message>
        <source>i&amp;Calendar...</source>
        <comment>63632</comment>
        <translation>i&amp;Calendar-Datei...</translation>
    </message>
    <message>
        <source>iCalendar Files (*.ics)|*.ics|All Files (*.*)|*.*||</source>
        <comment>63633</comment>
        <translation>iCalendar-Dateien (*.ics)|*.ics|Alle Dateien (*.*)|*.*||</translation>
    </message>
    <message>
        <source>iCalendar Import</source>
        <comment>63634</comment>
        <translation>iCalendar-Import</translation>
    </message>
    <message>
        <source>%s: %s added, %s updated, %s unchanged, %s approximated, %s skipped.</source>
        <comment>63635</comment>
        <translation>%s: %s hinzugefügt, %s aktualisiert, %s unverändert, %s angenähert, %s übersprungen.</translation>
    </message>
    <message>
        <source>Added</source>
        <comment>63636</comment>
        <translation>Hinzugefügt</translation>
    </message>
    <message>
        <source>Updated</source>
        <comment>63637</comment>
        <translation>Aktualisiert</translation>
    </message>
    <message>
        <source>Approximated</source>
        <comment>63638</comment>
        <translation>Angenähert</translation>
    </message>
    <message>
        <source>Skipped</source>
        <comment>63639</comment>
        <translation>Übersprungen</translation>
    </message>
    <message>
        <source>Result</source>
        <comment>63640</comment>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Entry</source>
        <comment>63641</comment>
        <translation>Eintrag</translation>
    </message>
    <message>
        <source>Reason</source>
        <comment>63642</comment>
        <translation>Grund</translation>
    </message>
    <message>
        <source>The iCalendar file could not be imported:
%s</source>
        <comment>63643</comment>
        <translation>Die iCalendar-Datei konnte nicht importiert werden:
%s</translation>
    </message>
    <message>
        <source>The iCalendar file could not be written:
%s</source>
        <comment>63644</comment>
        <translation>Die iCalendar-Datei konnte nicht geschrieben werden:
%s</translation>
    </message>
    <message>
        <source>Export only the selected entry &quot;%s&quot;?

No exports every event and to-do of the event file.</source>
        <comment>63645</comment>
        <translation>Nur den ausgewählten Eintrag „%s“ exportieren?

Nein exportiert alle Termine und Aufgaben der Ereignisdatei.</translation>
    </message>
    <message>
        <source>%s entries were exported to %s.</source>
        <comment>63646</comment>
        <translation>%s Einträge wurden nach %s exportiert.</translation>
    </message>
    <message>
        <source>Import the iCalendar file %s into the event file %s?</source>
        <comment>63647</comment>
        <translation>Die iCalendar-Datei %s in die Ereignisdatei %s importieren?</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <comment>63648</comment>
        <translation>Zwischenablage</translation>
    </message>
    <message>
        <source>%s entries were exported to %s; %s of them only approximately (their full record travels along for Dayvault).</source>
        <comment>63649</comment>
        <translation>%s Einträge wurden nach %s exportiert, %s davon nur angenähert (ihr vollständiger Datensatz reist für Dayvault mit).</translation>
    </message>
</context>
</TS>
