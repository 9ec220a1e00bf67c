<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AutostartEntry</name>
    <message>
        <source>the path of the installed copy holds a %, which desktops do not start from an autostart entry</source>
        <translation>der Pfad der installierten Kopie enthält ein %, und aus einem solchen Autostart-Eintrag starten Desktops nichts</translation>
    </message>
    <message>
        <source>the program&apos;s path holds a control character</source>
        <translation>der Pfad des Programms enthält ein Steuerzeichen</translation>
    </message>
    <message>
        <source>%1 cannot be made</source>
        <translation>%1 kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>CamRecord</name>
    <message>
        <source>%1 line(s) had a field longer than %2 characters, cut to that length: line %3.</source>
        <translation>%1 Zeile(n) hatten ein Feld mit mehr als %2 Zeichen, auf diese Länge gekürzt: Zeile %3.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be stored: a webcam&apos;s fields cannot contain &quot;||&quot; or a line break, nor end in &quot;|&quot;.<byte value="xd"/>
The previous value is kept.</source>
        <translation>„%1“ kann nicht gespeichert werden: Die Felder einer Webcam dürfen weder „||“ noch einen Zeilenumbruch enthalten und nicht auf „|“ enden.<byte value="xd"/>
Der bisherige Wert bleibt.</translation>
    </message>
</context>
<context>
    <name>Catalogue</name>
    <message>
        <source>Site name</source>
        <translation>Name der Webcam</translation>
    </message>
    <message>
        <source>Please enter a name for Site</source>
        <translation>Bitte einen Namen für die Webcam eingeben</translation>
    </message>
    <message>
        <source>Rename Site</source>
        <translation>Webcam umbenennen</translation>
    </message>
    <message>
        <source>Please enter new name for Site</source>
        <translation>Bitte einen neuen Namen für die Webcam eingeben</translation>
    </message>
    <message>
        <source>A name cannot contain &quot;||&quot; or a line break. Please enter another name</source>
        <translation>Ein Name darf weder „||“ noch einen Zeilenumbruch enthalten. Bitte einen anderen Namen eingeben</translation>
    </message>
    <message>
        <source>The name already exists. Would you like to use the suggested name?</source>
        <translation>Den Namen gibt es schon. Möchten Sie den vorgeschlagenen Namen verwenden?</translation>
    </message>
</context>
<context>
    <name>CatalogueFile</name>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Datei „%1“ kann nicht angelegt werden. %2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Datei „%1“ kann nicht geöffnet werden. %2</translation>
    </message>
</context>
<context>
    <name>DateTime</name>
    <message>
        <source>now</source>
        <translation>jetzt</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1 Std.</translation>
    </message>
    <message>
        <source>%1 d</source>
        <translation>%1 T.</translation>
    </message>
    <message>
        <source>Invalid argument to date encode</source>
        <translation>Ungültige Angabe für ein Datum</translation>
    </message>
    <message>
        <source>Invalid argument to time encode</source>
        <translation>Ungültige Angabe für eine Uhrzeit</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid time</source>
        <translation>„%1“ ist keine gültige Uhrzeit</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date and time</source>
        <translation>„%1“ ist kein gültiges Datum mit Uhrzeit</translation>
    </message>
</context>
<context>
    <name>DebugLog</name>
    <message>
        <source>Not a regular file</source>
        <translation>Keine gewöhnliche Datei</translation>
    </message>
</context>
<context>
    <name>Guarded</name>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
</context>
<context>
    <name>ImageFetch</name>
    <message>
        <source>The reply is larger than %1 MB, more than any picture or list</source>
        <translation>Die Antwort ist größer als %1 MB, mehr als jedes Bild und jede Liste</translation>
    </message>
    <message>
        <source>No URL</source>
        <translation>Keine URL</translation>
    </message>
    <message>
        <source>Another download is still running</source>
        <translation>Ein anderer Download läuft noch</translation>
    </message>
    <message>
        <source>No complete answer within %1 s</source>
        <translation>Keine vollständige Antwort innerhalb von %1 s</translation>
    </message>
    <message>
        <source>Download stopped</source>
        <translation>Download abgebrochen</translation>
    </message>
    <message>
        <source>Stopped: Lumetta is closing</source>
        <translation>Abgebrochen: Lumetta wird beendet</translation>
    </message>
    <message>
        <source>The webcam still shows the last picture</source>
        <translation>Die Webcam zeigt noch das letzte Bild</translation>
    </message>
    <message>
        <source>Content type &quot;%1&quot; is not an image</source>
        <translation>Der Inhaltstyp „%1“ ist kein Bild</translation>
    </message>
    <message>
        <source>No picture was received</source>
        <translation>Es kam kein Bild an</translation>
    </message>
    <message>
        <source>The picture could not be written whole</source>
        <translation>Das Bild konnte nicht vollständig geschrieben werden</translation>
    </message>
    <message>
        <source>The picture is no GIF or JPEG</source>
        <translation>Das Bild ist weder GIF noch JPEG</translation>
    </message>
    <message>
        <source>Status %1 brings no new picture</source>
        <translation>Status %1 bringt kein neues Bild</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Datei „%1“ kann nicht angelegt werden. %2</translation>
    </message>
    <message>
        <source>Cannot write file &quot;%1&quot;. %2</source>
        <translation>Datei „%1“ kann nicht geschrieben werden. %2</translation>
    </message>
</context>
<context>
    <name>ImageOverlays</name>
    <message>
        <source>Picture age</source>
        <translation>Alter des Bildes</translation>
    </message>
    <message>
        <source>Click Now</source>
        <translation>Jetzt klicken</translation>
    </message>
</context>
<context>
    <name>ImageWindowRules</name>
    <message>
        <source>Visit %1</source>
        <translation>Besuchen Sie %1</translation>
    </message>
</context>
<context>
    <name>KorvaneAboutBox</name>
    <message>
        <source>You are about to check for the latest version.<byte value="xd"/>
 You must be connected to the internet for this.<byte value="xd"/>
<byte value="xd"/>
Do you wish to continue?</source>
        <translation>Sie sind dabei, nach der neuesten Version zu suchen.<byte value="xd"/>
 Dazu müssen Sie mit dem Internet verbunden sein.<byte value="xd"/>
<byte value="xd"/>
Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Check for latest version?</source>
        <translation>Nach neuester Version suchen?</translation>
    </message>
    <message>
        <source>A newer version has been found (v%1)<byte value="xd"/>
<byte value="xd"/>
Would you like to read about it?</source>
        <translation>Eine neuere Version wurde gefunden (v%1)<byte value="xd"/>
<byte value="xd"/>
Möchten Sie mehr darüber lesen?</translation>
    </message>
    <message>
        <source>New Version Found</source>
        <translation>Neue Version gefunden</translation>
    </message>
    <message>
        <source>Error: Information not found</source>
        <translation>Fehler: Information nicht gefunden</translation>
    </message>
</context>
<context>
    <name>ListTools</name>
    <message>
        <source>Last updated: %1</source>
        <translation>Zuletzt aktualisiert: %1</translation>
    </message>
    <message>
        <source>Could not download file</source>
        <translation>Die Datei konnte nicht heruntergeladen werden</translation>
    </message>
    <message>
        <source>No webcams listed</source>
        <translation>Keine Webcams in der Liste</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Datei „%1“ kann nicht angelegt werden. %2</translation>
    </message>
    <message>
        <source>Nothing to do</source>
        <translation>Nichts zu tun</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;.</source>
        <translation>Datei „%1“ kann nicht angelegt werden.</translation>
    </message>
</context>
<context>
    <name>Registry</name>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Daten für „%1“ konnten nicht gespeichert werden</translation>
    </message>
    <message>
        <source>Failed to get data for &apos;%1&apos;</source>
        <translation>Daten für „%1“ konnten nicht gelesen werden</translation>
    </message>
    <message>
        <source>Invalid data type for &apos;%1&apos;</source>
        <translation>Ungültiger Datentyp für „%1“</translation>
    </message>
</context>
<context>
    <name>ScreenSaverInstall</name>
    <message>
        <source>Screen Saver</source>
        <translation>Bildschirmschoner</translation>
    </message>
    <message>
        <source>Screen saver installed successfully.<byte value="xd"/>
To select it: <byte value="xd"/>
<byte value="xd"/>
1. with XScreenSaver: open xscreensaver-settings and change any setting (for example &quot;Blank After&quot;), which writes ~/.xscreensaver, then click Install again; or add this line to the &quot;programs:&quot; list in ~/.xscreensaver and select Lumetta in xscreensaver-settings:<byte value="xd"/>
     %2 \n\<byte value="xd"/>
2. otherwise let an idle watcher start it, for example<byte value="xd"/>
     X11: xss-lock -- %1 /s<byte value="xd"/>
     Wayland: swayidle timeout 600 &quot;%1 /s&quot;</source>
        <translation>Bildschirmschoner erfolgreich installiert.<byte value="xd"/>
So wählen Sie ihn aus: <byte value="xd"/>
<byte value="xd"/>
1. mit XScreenSaver: xscreensaver-settings öffnen und eine beliebige Einstellung ändern (zum Beispiel „Blank After“), damit ~/.xscreensaver geschrieben wird, dann erneut auf Installieren klicken; oder diese Zeile in die Liste „programs:“ in ~/.xscreensaver eintragen und Lumetta in xscreensaver-settings auswählen:<byte value="xd"/>
     %2 \n\<byte value="xd"/>
2. sonst ihn von einem Leerlaufwächter starten lassen, zum Beispiel<byte value="xd"/>
     X11: xss-lock -- %1 /s<byte value="xd"/>
     Wayland: swayidle timeout 600 &quot;%1 /s&quot;</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
~/.xscreensaver was left as it was: %1.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
~/.xscreensaver blieb unverändert: %1.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Lumetta&apos;s own idle watcher could not be set up: %1.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Lumettas eigener Leerlaufwächter konnte nicht eingerichtet werden: %1.</translation>
    </message>
    <message>
        <source>%1 minute(s)</source>
        <translation>%1 Minute(n)</translation>
    </message>
    <message>
        <source>%1 second(s)</source>
        <translation>%1 Sekunde(n)</translation>
    </message>
    <message>
        <source>Screen saver installed successfully.<byte value="xd"/>
<byte value="xd"/>
XScreenSaver is not used here, so Lumetta watches for idleness itself: the slide show starts after %1 without input, and not while a video plays, a full-screen window has the focus or the screen is locked. The watcher runs now and at every login (%2).</source>
        <translation>Bildschirmschoner erfolgreich installiert.<byte value="xd"/>
<byte value="xd"/>
XScreenSaver wird hier nicht verwendet, deshalb achtet Lumetta selbst auf Untätigkeit: Die Diashow startet nach %1 ohne Eingabe, aber nicht, während ein Video läuft, ein Vollbildfenster den Fokus hat oder der Bildschirm gesperrt ist. Der Wächter läuft ab jetzt und bei jeder Anmeldung (%2).</translation>
    </message>
    <message>
        <source>Could not install screen saver.</source>
        <translation>Der Bildschirmschoner konnte nicht installiert werden.</translation>
    </message>
    <message>
        <source>Screen saver installed successfully.</source>
        <translation>Bildschirmschoner erfolgreich installiert.</translation>
    </message>
    <message>
        <source>Screen saver removed successfully.</source>
        <translation>Bildschirmschoner erfolgreich entfernt.</translation>
    </message>
    <message>
        <source>Could not remove Screen saver.</source>
        <translation>Der Bildschirmschoner konnte nicht entfernt werden.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Lumetta&apos;s idle watcher was stopped and no longer starts at login.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Lumettas Leerlaufwächter wurde beendet und startet nicht mehr bei der Anmeldung.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Lumetta&apos;s idle watcher no longer starts at login.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Lumettas Leerlaufwächter startet nicht mehr bei der Anmeldung.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Lumetta was taken off XScreenSaver&apos;s list; XScreenSaver now blanks the screen instead.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Lumetta wurde aus der Liste von XScreenSaver entfernt; XScreenSaver schaltet den Bildschirm stattdessen schwarz.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Lumetta was taken off XScreenSaver&apos;s list.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Lumetta wurde aus der Liste von XScreenSaver entfernt.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
~/.xscreensaver was left as it was: %1. Take Lumetta off its &quot;programs:&quot; list in xscreensaver-settings.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
~/.xscreensaver blieb unverändert: %1. Entfernen Sie Lumetta in xscreensaver-settings aus der Liste „programs:“.</translation>
    </message>
    <message>
        <source>You are about to delete the registry entries.<byte value="xd"/>
You webcam data WILL NOT be affected.<byte value="xd"/>
<byte value="xd"/>
Are you sure you want to continue?</source>
        <translation>Sie sind dabei, die Einträge in der Registrierung zu löschen.<byte value="xd"/>
Ihre Webcam-Daten bleiben davon UNBERÜHRT.<byte value="xd"/>
<byte value="xd"/>
Möchten Sie wirklich fortfahren?</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Registry Key Software\Korvane Software\Lumetta has been deleted</source>
        <translation>Registrierungsschlüssel Software\Korvane Software\Lumetta wurde gelöscht</translation>
    </message>
    <message>
        <source>Registry Key Software\Korvane Software\Lumetta could not be deleted</source>
        <translation>Registrierungsschlüssel Software\Korvane Software\Lumetta konnte nicht gelöscht werden</translation>
    </message>
</context>
<context>
    <name>SettingsTable</name>
    <message>
        <source>&apos;%1&apos; is not a valid date</source>
        <translation>„%1“ ist kein gültiges Datum</translation>
    </message>
</context>
<context>
    <name>SlideShow</name>
    <message>
        <source>No webcam could be reached</source>
        <translation>Keine Webcam war erreichbar</translation>
    </message>
</context>
<context>
    <name>Submission</name>
    <message>
        <source>The webcam &quot;%1&quot; has the time &quot;%2&quot;, which cannot be read.<byte value="xd"/>
Nothing was exported.</source>
        <translation>Die Webcam „%1“ hat die Zeitangabe „%2“, die sich nicht lesen lässt.<byte value="xd"/>
Es wurde nichts exportiert.</translation>
    </message>
    <message>
        <source>%1 main webcams exported<byte value="xd"/>
</source>
        <translation>%1 allgemeine Webcams exportiert<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>%1 adult webcams exported<byte value="xd"/>
</source>
        <translation>%1 Webcams für Erwachsene exportiert<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Webcam export is currently disabled.<byte value="xd"/>
Please try later.</source>
        <translation>Der Webcam-Export ist zurzeit abgeschaltet.<byte value="xd"/>
Bitte versuchen Sie es später.</translation>
    </message>
    <message>
        <source>Please test to make sure the webcam is active and then try again.</source>
        <translation>Bitte prüfen Sie mit einem Test, ob die Webcam aktiv ist, und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>The selected webcam cannot be exported because it has been inactive for more than 60 days.</source>
        <translation>Die gewählte Webcam kann nicht exportiert werden, weil sie seit mehr als 60 Tagen inaktiv ist.</translation>
    </message>
    <message>
        <source>Please select a webcam and its category first.</source>
        <translation>Bitte wählen Sie zuerst eine Webcam und ihre Kategorie.</translation>
    </message>
    <message>
        <source>Export Selected Cam?</source>
        <translation>Gewählte Webcam exportieren?</translation>
    </message>
    <message>
        <source>You are about to send info about the selected webcam.<byte value="xd"/>
You must be connected to the internet to do this.<byte value="xd"/>
<byte value="xd"/>
Click OK to continue or CANCEL to abort.</source>
        <translation>Sie sind dabei, Angaben zur gewählten Webcam zu senden.<byte value="xd"/>
Dazu müssen Sie mit dem Internet verbunden sein.<byte value="xd"/>
<byte value="xd"/>
Klicken Sie auf OK, um fortzufahren, oder auf ABBRECHEN, um abzubrechen.</translation>
    </message>
    <message>
        <source>The selected webcam already exists in our list.</source>
        <translation>Die gewählte Webcam steht bereits in unserer Liste.</translation>
    </message>
    <message>
        <source>Could not add cam to list. Please try later</source>
        <translation>Die Webcam konnte nicht in die Liste aufgenommen werden. Bitte versuchen Sie es später</translation>
    </message>
    <message>
        <source>Thank you!<byte value="xd"/>
The webcam info has been sent successfully.<byte value="xd"/>
It will be included in our list at the next update.</source>
        <translation>Vielen Dank!<byte value="xd"/>
Die Angaben zur Webcam wurden erfolgreich gesendet.<byte value="xd"/>
Sie werden bei der nächsten Aktualisierung in unsere Liste aufgenommen.</translation>
    </message>
    <message>
        <source>Export Failed.</source>
        <translation>Export fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Delete master webcam list</source>
        <translation>Hauptliste der Webcams löschen</translation>
    </message>
    <message>
        <source>You are about to DELETE the master webcam list.<byte value="xd"/>
<byte value="xd"/>
Click OK to continue or CANCEL to abort.</source>
        <translation>Sie sind dabei, die Hauptliste der Webcams zu LÖSCHEN.<byte value="xd"/>
<byte value="xd"/>
Klicken Sie auf OK, um fortzufahren, oder auf ABBRECHEN, um abzubrechen.</translation>
    </message>
</context>
<context>
    <name>Subs</name>
    <message>
        <source>Not a regular file</source>
        <translation>Keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>Larger than %1 bytes</source>
        <translation>Größer als %1 Byte</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Datei „%1“ kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>Cannot read file &quot;%1&quot;</source>
        <translation>Datei „%1“ kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date and time</source>
        <translation>„%1“ ist kein gültiges Datum mit Uhrzeit</translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>&amp;Start Slide Show</source>
        <translation>Dia&amp;show starten</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>&amp;Webcams</source>
        <translation>&amp;Webcams</translation>
    </message>
    <message>
        <source>Add new webcam</source>
        <translation>Neue Webcam hinzufügen</translation>
    </message>
    <message>
        <source>Delete webcam</source>
        <translation>Webcam löschen</translation>
    </message>
    <message>
        <source>Rename webcam</source>
        <translation>Webcam umbenennen</translation>
    </message>
    <message>
        <source>Move selected cam up one place</source>
        <translation>Gewählte Webcam eine Stelle nach oben</translation>
    </message>
    <message>
        <source>Move selected cam down one place</source>
        <translation>Gewählte Webcam eine Stelle nach unten</translation>
    </message>
    <message>
        <source>Webcams</source>
        <translation>Webcams</translation>
    </message>
    <message>
        <source>Click right mouse button for more options</source>
        <translation>Rechte Maustaste für weitere Möglichkeiten</translation>
    </message>
    <message>
        <source>Webcam image URL</source>
        <translation>URL des Webcam-Bildes</translation>
    </message>
    <message>
        <source>Start time</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>EndTime</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Refresh interval</source>
        <translation>Aktualisierungsintervall</translation>
    </message>
    <message>
        <source>Local filename</source>
        <translation>Lokaler Dateiname</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>This should have the .gif or .jpg extension</source>
        <translation>Die Endung sollte .gif oder .jpg sein</translation>
    </message>
    <message>
        <source>Last image downloaded at:</source>
        <translation>Letztes Bild geladen am:</translation>
    </message>
    <message>
        <source>Webcam last active on:</source>
        <translation>Webcam zuletzt aktiv am:</translation>
    </message>
    <message>
        <source>Last image downloaded at</source>
        <translation>Letztes Bild geladen am</translation>
    </message>
    <message>
        <source>Webcam last active on</source>
        <translation>Webcam zuletzt aktiv am</translation>
    </message>
    <message>
        <source>This showa the image time stamp for your local time zone</source>
        <translation>Zeigt den Zeitstempel des Bildes in Ihrer Ortszeit</translation>
    </message>
    <message>
        <source>Webcam homepage</source>
        <translation>Homepage der Webcam</translation>
    </message>
    <message>
        <source>Open homepage in browser</source>
        <translation>Homepage im Browser öffnen</translation>
    </message>
    <message>
        <source>If outside time range, show saved image</source>
        <translation>Außerhalb des Zeitraums das gespeicherte Bild zeigen</translation>
    </message>
    <message>
        <source>Auto-adjust</source>
        <translation>Automatisch anpassen</translation>
    </message>
    <message>
        <source>When selected the program will automatically adjust the refresh rate.</source>
        <translation>Wenn gewählt, passt das Programm das Aktualisierungsintervall selbst an.</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Connect to this cam</source>
        <translation>Mit dieser Webcam verbinden</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>Add selected cam to users&apos; list</source>
        <translation>Gewählte Webcam der Benutzerliste hinzufügen</translation>
    </message>
    <message>
        <source>Webcam &amp;options</source>
        <translation>Webcam-&amp;Optionen</translation>
    </message>
    <message>
        <source>Webcam image directory</source>
        <translation>Ordner der Webcam-Bilder</translation>
    </message>
    <message>
        <source>Select folder</source>
        <translation>Ordner wählen</translation>
    </message>
    <message>
        <source> Refresh rate auto-adjust options </source>
        <translation> Automatische Anpassung des Intervalls </translation>
    </message>
    <message>
        <source>Min. refresh rate</source>
        <translation>Kleinstes Intervall</translation>
    </message>
    <message>
        <source>Max. refresh rate</source>
        <translation>Größtes Intervall</translation>
    </message>
    <message>
        <source>If cam inactive for (days) </source>
        <translation>Wenn Webcam inaktiv seit (Tagen) </translation>
    </message>
    <message>
        <source>If cam inactive for (days)</source>
        <translation>Wenn Webcam inaktiv seit (Tagen)</translation>
    </message>
    <message>
        <source>set refresh rate to</source>
        <translation>Intervall setzen auf</translation>
    </message>
    <message>
        <source>Disable cam if inactive for (days) </source>
        <translation>Webcam abschalten, wenn inaktiv seit (Tagen) </translation>
    </message>
    <message>
        <source>Disable cam if inactive for (days)</source>
        <translation>Webcam abschalten, wenn inaktiv seit (Tagen)</translation>
    </message>
    <message>
        <source>Check disabled cams, and re-enable if now active, once every (days)</source>
        <translation>Abgeschaltete Webcams prüfen und wieder einschalten, wenn aktiv, alle (Tage)</translation>
    </message>
    <message>
        <source> HTTP </source>
        <translation> HTTP </translation>
    </message>
    <message>
        <source>Use proxy</source>
        <translation>Proxy verwenden</translation>
    </message>
    <message>
        <source>Proxy server</source>
        <translation>Proxy-Server</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Http timeout (secs)</source>
        <translation>HTTP-Zeitlimit (Sek.)</translation>
    </message>
    <message>
        <source>If you are getting broken images try increasing this value</source>
        <translation>Bei unvollständigen Bildern diesen Wert erhöhen</translation>
    </message>
    <message>
        <source>Extra CA file</source>
        <translation>Zusätzliche CA-Datei</translation>
    </message>
    <message>
        <source>Extra CA certificates file (PEM)</source>
        <translation>Datei mit zusätzlichen CA-Zertifikaten (PEM)</translation>
    </message>
    <message>
        <source>Certificates (PEM) trusted besides the system&apos;s, for https webcams on a private certificate authority</source>
        <translation>Zertifikate (PEM), denen neben denen des Systems vertraut wird, für https-Webcams mit eigener Zertifizierungsstelle</translation>
    </message>
    <message>
        <source>Select CA certificates file</source>
        <translation>Datei mit CA-Zertifikaten wählen</translation>
    </message>
    <message>
        <source>S&amp;lide show / Screensaver</source>
        <translation>Diashow / Bi&amp;ldschirmschoner</translation>
    </message>
    <message>
        <source>Display time (secs)</source>
        <translation>Anzeigedauer (Sek.)</translation>
    </message>
    <message>
        <source>for fast cams (secs)</source>
        <translation>für schnelle Webcams (Sek.)</translation>
    </message>
    <message>
        <source>Random order</source>
        <translation>Zufällige Reihenfolge</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Do not show local images</source>
        <translation>Keine lokalen Bilder zeigen</translation>
    </message>
    <message>
        <source>Show image only if different from last</source>
        <translation>Bild nur zeigen, wenn es sich vom letzten unterscheidet</translation>
    </message>
    <message>
        <source> Image size </source>
        <translation> Bildgröße </translation>
    </message>
    <message>
        <source>As percentage of screen size</source>
        <translation>In Prozent der Bildschirmgröße</translation>
    </message>
    <message>
        <source>As percentage of actual size</source>
        <translation>In Prozent der tatsächlichen Größe</translation>
    </message>
    <message>
        <source>Do not shrink images (to fit selected size)</source>
        <translation>Bilder nicht verkleinern (auf die gewählte Größe)</translation>
    </message>
    <message>
        <source>Shrink large images to fit screen</source>
        <translation>Große Bilder auf Bildschirmgröße verkleinern</translation>
    </message>
    <message>
        <source>Adjust aspect ratio for PAL/NTSC images</source>
        <translation>Seitenverhältnis für PAL/NTSC-Bilder anpassen</translation>
    </message>
    <message>
        <source>Background color</source>
        <translation>Hintergrundfarbe</translation>
    </message>
    <message>
        <source>Click to change</source>
        <translation>Zum Ändern klicken</translation>
    </message>
    <message>
        <source>Random background</source>
        <translation>Zufälliger Hintergrund</translation>
    </message>
    <message>
        <source>MouseMove toggles between slideshow/current cam</source>
        <translation>Mausbewegung wechselt zwischen Diashow und aktueller Webcam</translation>
    </message>
    <message>
        <source>Disable MouseMove detection for screensaver</source>
        <translation>Mausbewegung im Bildschirmschoner nicht beachten</translation>
    </message>
    <message>
        <source>Show the picture&apos;s age beside the countdown</source>
        <translation>Alter des Bildes neben dem Countdown zeigen</translation>
    </message>
    <message>
        <source>Show a different webcam on each monitor</source>
        <translation>Auf jedem Monitor eine andere Webcam zeigen</translation>
    </message>
    <message>
        <source>Unticked, every monitor shows the same webcam</source>
        <translation>Nicht gewählt, zeigt jeder Monitor dieselbe Webcam</translation>
    </message>
    <message>
        <source>Show caption (Site name) </source>
        <translation>Beschriftung zeigen (Name der Webcam) </translation>
    </message>
    <message>
        <source>Transparent background</source>
        <translation>Durchsichtiger Hintergrund</translation>
    </message>
    <message>
        <source>Click to change color</source>
        <translation>Zum Ändern der Farbe klicken</translation>
    </message>
    <message>
        <source>Caption background color</source>
        <translation>Hintergrundfarbe der Beschriftung</translation>
    </message>
    <message>
        <source>Caption</source>
        <translation>Beschriftung</translation>
    </message>
    <message>
        <source>Caption color</source>
        <translation>Farbe der Beschriftung</translation>
    </message>
    <message>
        <source>Font size</source>
        <translation>Schriftgröße</translation>
    </message>
    <message>
        <source>small</source>
        <translation>klein</translation>
    </message>
    <message>
        <source>large</source>
        <translation>groß</translation>
    </message>
    <message>
        <source>Show when webcam last active</source>
        <translation>Zeigen, wann die Webcam zuletzt aktiv war</translation>
    </message>
    <message>
        <source>Show webcam current refresh rate</source>
        <translation>Aktuelles Intervall der Webcam zeigen</translation>
    </message>
    <message>
        <source>Caption position at top</source>
        <translation>Beschriftung oben</translation>
    </message>
    <message>
        <source> Select cams to show </source>
        <translation> Gezeigte Webcams </translation>
    </message>
    <message>
        <source>Show current selected cam only</source>
        <translation>Nur die gewählte Webcam zeigen</translation>
    </message>
    <message>
        <source>Categories to show</source>
        <translation>Gezeigte Kategorien</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>W&amp;erkzeuge</translation>
    </message>
    <message>
        <source> Screen saver </source>
        <translation> Bildschirmschoner </translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Installieren</translation>
    </message>
    <message>
        <source>Un-install</source>
        <translation>Deinstallieren</translation>
    </message>
    <message>
        <source> Backup </source>
        <translation> Sicherung </translation>
    </message>
    <message>
        <source>Backup webcam data</source>
        <translation>Webcam-Daten sichern</translation>
    </message>
    <message>
        <source>Restore webcam data</source>
        <translation>Webcam-Daten wiederherstellen</translation>
    </message>
    <message>
        <source> Latest webcam list </source>
        <translation> Neueste Webcam-Liste </translation>
    </message>
    <message>
        <source>Import webcams</source>
        <translation>Webcams importieren</translation>
    </message>
    <message>
        <source>Import adult webcams</source>
        <translation>Webcams für Erwachsene importieren</translation>
    </message>
    <message>
        <source> Registry </source>
        <translation> Einstellungen </translation>
    </message>
    <message>
        <source>You may want to do this if you have a problem and want to restart from scratch.</source>
        <translation>Das hilft, wenn Sie bei einem Problem ganz von vorn beginnen möchten.</translation>
    </message>
    <message>
        <source>Delete registry entries</source>
        <translation>Einstellungen löschen</translation>
    </message>
    <message>
        <source>Su&amp;pport</source>
        <translation>Su&amp;pport</translation>
    </message>
    <message>
        <source>We have tried to make this application as intuitive as possible, so that you should not require a great deal of help. However, if you have any questions or comments, please click on one of the links below. You must be connected to the internet.</source>
        <translation>Wir haben versucht, dieses Programm so verständlich wie möglich zu machen, damit Sie kaum Hilfe brauchen. Wenn Sie dennoch Fragen oder Anmerkungen haben, klicken Sie bitte auf einen der Links unten. Dazu brauchen Sie eine Verbindung zum Internet.</translation>
    </message>
    <message>
        <source>Lumetta homepage</source>
        <translation>Homepage von Lumetta</translation>
    </message>
    <message>
        <source>Online FAQ (Frequently Asked Questions)</source>
        <translation>Online-FAQ (häufig gestellte Fragen)</translation>
    </message>
    <message>
        <source>Report a bug</source>
        <translation>Einen Fehler melden</translation>
    </message>
    <message>
        <source>Help text</source>
        <translation>Hilfetext</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>I would like to see adult offers</source>
        <translation>Ich möchte Angebote für Erwachsene sehen</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Nach Aktualisierungen suchen</translation>
    </message>
    <message>
        <source>Korvane Software on the web</source>
        <translation>Korvane Software im Web</translation>
    </message>
    <message>
        <source>E-mail the developer</source>
        <translation>E-Mail an den Entwickler</translation>
    </message>
    <message>
        <source>Try our other products:</source>
        <translation>Unsere anderen Produkte:</translation>
    </message>
    <message>
        <source>Ad&amp;min</source>
        <translation>Ad&amp;min</translation>
    </message>
    <message>
        <source>Admin 1</source>
        <translation>Verwaltung 1</translation>
    </message>
    <message>
        <source>Offline screen saver</source>
        <translation>Bildschirmschoner ohne Internet</translation>
    </message>
    <message>
        <source>Show Last Ad</source>
        <translation>Letzte Anzeige zeigen</translation>
    </message>
    <message>
        <source>Show ads only</source>
        <translation>Nur Anzeigen zeigen</translation>
    </message>
    <message>
        <source>Hide version alert</source>
        <translation>Hinweis auf neue Version ausblenden</translation>
    </message>
    <message>
        <source>Follow changed links</source>
        <translation>Geänderten Links folgen</translation>
    </message>
    <message>
        <source>Log Error Codes</source>
        <translation>Fehlercodes protokollieren</translation>
    </message>
    <message>
        <source> Scripts </source>
        <translation> Skripte </translation>
    </message>
    <message>
        <source>Admin URL</source>
        <translation>Verwaltungs-URL</translation>
    </message>
    <message>
        <source>CamSubmit URL</source>
        <translation>URL für Einsendungen</translation>
    </message>
    <message>
        <source> Webcam list maintenance </source>
        <translation> Pflege der Webcam-Listen </translation>
    </message>
    <message>
        <source>Main list</source>
        <translation>Hauptliste</translation>
    </message>
    <message>
        <source>Adult list</source>
        <translation>Liste für Erwachsene</translation>
    </message>
    <message>
        <source>Submission List</source>
        <translation>Einsendungsliste</translation>
    </message>
    <message>
        <source>Import from master list</source>
        <translation>Aus der Hauptliste importieren</translation>
    </message>
    <message>
        <source>Delete master list</source>
        <translation>Hauptliste löschen</translation>
    </message>
    <message>
        <source>Export enabled cams</source>
        <translation>Eingeschaltete Webcams exportieren</translation>
    </message>
    <message>
        <source>Show countdown</source>
        <translation>Countdown zeigen</translation>
    </message>
    <message>
        <source>Debug Mode</source>
        <translation>Fehlersuche</translation>
    </message>
    <message>
        <source>Delete webcams NOT active since</source>
        <translation>Webcams löschen, die NICHT aktiv waren seit</translation>
    </message>
    <message>
        <source>Admin 2</source>
        <translation>Verwaltung 2</translation>
    </message>
    <message>
        <source>Last response header</source>
        <translation>Letzter Antwortkopf</translation>
    </message>
    <message>
        <source>New version alert</source>
        <translation>Neue Version verfügbar</translation>
    </message>
    <message>
        <source>List files (*.lst)|*.LST|Text files (*.txt)|*.TXT|All files (*.*)|*.*</source>
        <translation>Listendateien (*.lst)|*.LST|Textdateien (*.txt)|*.TXT|Alle Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>Screen savers (*.scr)|*.SCR|All files (*.*)|*.*</source>
        <translation>Bildschirmschoner (*.scr)|*.SCR|Alle Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>No ad found</source>
        <translation>Keine Anzeige gefunden</translation>
    </message>
    <message>
        <source>Are you sure you want to delete inactive Sites?</source>
        <translation>Inaktive Webcams wirklich löschen?</translation>
    </message>
    <message>
        <source>Delete inactive Sites</source>
        <translation>Inaktive Webcams löschen</translation>
    </message>
    <message>
        <source>Deleted Sites:  </source>
        <translation>Gelöschte Webcams:  </translation>
    </message>
    <message>
        <source>Enable all</source>
        <translation>Alle einschalten</translation>
    </message>
    <message>
        <source>Disable all</source>
        <translation>Alle abschalten</translation>
    </message>
    <message>
        <source>Sort by site name</source>
        <translation>Nach Namen sortieren</translation>
    </message>
    <message>
        <source>Sort by category</source>
        <translation>Nach Kategorie sortieren</translation>
    </message>
    <message>
        <source>New Site</source>
        <translation>Neue Webcam</translation>
    </message>
    <message>
        <source>Rename Site</source>
        <translation>Webcam umbenennen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete the selected Site?</source>
        <translation>Die gewählte Webcam wirklich löschen?</translation>
    </message>
    <message>
        <source>Delete Site</source>
        <translation>Webcam löschen</translation>
    </message>
    <message>
        <source>Index: %1<byte value="xd"/>
Site: %2<byte value="xd"/>
Last Active Date: %3<byte value="xd"/>
<byte value="xd"/>
Delete this site?</source>
        <translation>Index: %1<byte value="xd"/>
Webcam: %2<byte value="xd"/>
Zuletzt aktiv am: %3<byte value="xd"/>
<byte value="xd"/>
Diese Webcam löschen?</translation>
    </message>
    <message>
        <source>Only problems</source>
        <translation>Nur Probleme</translation>
    </message>
    <message>
        <source>Retry now</source>
        <translation>Jetzt erneut versuchen</translation>
    </message>
    <message>
        <source>Retry the selected webcams now</source>
        <translation>Die gewählten Webcams jetzt erneut versuchen</translation>
    </message>
    <message>
        <source>Re-enable</source>
        <translation>Wieder einschalten</translation>
    </message>
    <message>
        <source>Re-enable the selected webcams</source>
        <translation>Die gewählten Webcams wieder einschalten</translation>
    </message>
    <message>
        <source>Webcam</source>
        <translation>Webcam</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Picture age</source>
        <translation>Alter des Bildes</translation>
    </message>
    <message>
        <source>Learned interval</source>
        <translation>Gelerntes Intervall</translation>
    </message>
    <message>
        <source>Last reason</source>
        <translation>Letzter Grund</translation>
    </message>
    <message>
        <source>Webcam health</source>
        <translation>Zustand der Webcams</translation>
    </message>
    <message>
        <source>Version </source>
        <translation>Version </translation>
    </message>
    <message>
        <source>Backup done.</source>
        <translation>Sicherung erstellt.</translation>
    </message>
    <message>
        <source>Backup failed.</source>
        <translation>Sicherung fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Restore failed.</source>
        <translation>Wiederherstellung fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Webcam data restored.</source>
        <translation>Webcam-Daten wiederhergestellt.</translation>
    </message>
    <message>
        <source>Select Folder</source>
        <translation>Ordner wählen</translation>
    </message>
    <message>
        <source>PEM certificates (*.pem;*.crt)|*.pem;*.crt|All files (*.*)|*.*</source>
        <translation>PEM-Zertifikate (*.pem;*.crt)|*.pem;*.crt|Alle Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be a local filename: it must be a plain file name inside the webcam image directory, without &quot;/&quot;, &quot;\&quot;, &quot;..&quot; or &quot;||&quot;.<byte value="xd"/>
The previous name is kept.</source>
        <translation>„%1“ kann kein lokaler Dateiname sein: Er muss ein einfacher Dateiname im Ordner der Webcam-Bilder sein, ohne „/“, „\“, „..“ oder „||“.<byte value="xd"/>
Der bisherige Name bleibt.</translation>
    </message>
    <message>
        <source>Webcams - Current: %1  Enabled: %2  Total: %3</source>
        <translation>Webcams - Aktuell: %1  Eingeschaltet: %2  Gesamt: %3</translation>
    </message>
    <message>
        <source>This webcam already exists (%1 - %2)</source>
        <translation>Diese Webcam gibt es schon (%1 - %2)</translation>
    </message>
    <message>
        <source>Could not launch URL</source>
        <translation>Die URL konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Start the screen saver after</source>
        <translation>Bildschirmschoner starten nach</translation>
    </message>
    <message>
        <source>Start the screen saver after minutes</source>
        <translation>Bildschirmschoner starten nach Minuten</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source> min</source>
        <translation> Min.</translation>
    </message>
</context>
<context>
    <name>VersionCheck</name>
    <message>
        <source>The latest version is %1.</source>
        <translation>Die neueste Version ist %1.</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source><byte value="xd"/>
You already have the latest version.</source>
        <translation><byte value="xd"/>
Sie haben bereits die neueste Version.</translation>
    </message>
</context>
<context>
    <name>WebcamHealth</name>
    <message>
        <source>New picture</source>
        <translation>Neues Bild</translation>
    </message>
    <message>
        <source>Unchanged</source>
        <translation>Unverändert</translation>
    </message>
    <message>
        <source>Failing</source>
        <translation>Fehlerhaft</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>Langsam</translation>
    </message>
    <message>
        <source>Disabled by rule</source>
        <translation>Durch Regel abgeschaltet</translation>
    </message>
    <message>
        <source>Disabled by you</source>
        <translation>Von Ihnen abgeschaltet</translation>
    </message>
    <message>
        <source>Never fetched</source>
        <translation>Nie geladen</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>Health record %1 was damaged (%2): kept as %1.bad, a new one started</source>
        <translation>Zustandsbuch %1 war beschädigt (%2): als %1.bad aufbewahrt, ein neues begonnen</translation>
    </message>
    <message>
        <source>Health record %1 cannot be opened (%2): kept in memory</source>
        <translation>Zustandsbuch %1 lässt sich nicht öffnen (%2): nur im Speicher geführt</translation>
    </message>
    <message>
        <source>Health history %1 not carried over: %2</source>
        <translation>Zustandsverlauf %1 nicht übernommen: %2</translation>
    </message>
    <message>
        <source>Health history %1 is garbled (%2): nothing carried over</source>
        <translation>Zustandsverlauf %1 ist verstümmelt (%2): nichts übernommen</translation>
    </message>
    <message>
        <source>%1 cannot be renamed: %2</source>
        <translation>%1 kann nicht umbenannt werden: %2</translation>
    </message>
    <message>
        <source>The health record is kept in memory only</source>
        <translation>Das Zustandsbuch wird nur im Speicher geführt</translation>
    </message>
    <message>
        <source>Health record %1 not written: %2</source>
        <translation>Zustandsbuch %1 nicht geschrieben: %2</translation>
    </message>
</context>
<context>
    <name>WebcamList</name>
    <message>
        <source>Selected sites: %1<byte value="xd"/>
Duplicate sites ignored: %2<byte value="xd"/>
New sites added: %3</source>
        <translation>Gewählte Webcams: %1<byte value="xd"/>
Doppelte Webcams übergangen: %2<byte value="xd"/>
Neue Webcams hinzugefügt: %3</translation>
    </message>
    <message>
        <source>%1 selected line(s) were not imported because a refresh or time in them cannot be read as a time of day (lines %2).</source>
        <translation>%1 gewählte Zeile(n) wurden nicht importiert, weil ein Aktualisierungsintervall oder eine Zeit darin sich nicht als Uhrzeit lesen lässt (Zeilen %2).</translation>
    </message>
</context>
<context>
    <name>XScreenSaverPrefs</name>
    <message>
        <source>its &quot;%1:&quot; value runs over several lines</source>
        <translation>ihr Wert „%1:“ erstreckt sich über mehrere Zeilen</translation>
    </message>
    <message>
        <source>the path of the installed copy holds a quote, a backslash or a control character</source>
        <translation>der Pfad der installierten Kopie enthält ein Anführungszeichen, einen Backslash oder ein Steuerzeichen</translation>
    </message>
    <message>
        <source>it is not a text file</source>
        <translation>sie ist keine Textdatei</translation>
    </message>
    <message>
        <source>it has no &quot;programs:&quot; list</source>
        <translation>sie hat keine Liste „programs:“</translation>
    </message>
    <message>
        <source>its &quot;programs:&quot; list is on one line</source>
        <translation>ihre Liste „programs:“ steht auf einer Zeile</translation>
    </message>
    <message>
        <source>Lumetta&apos;s entry in its &quot;programs:&quot; list shares a line with another entry</source>
        <translation>Lumettas Eintrag in ihrer Liste „programs:“ teilt sich eine Zeile mit einem anderen Eintrag</translation>
    </message>
    <message>
        <source>the entry before the end of its &quot;programs:&quot; list is not closed with \n</source>
        <translation>der Eintrag vor dem Ende ihrer Liste „programs:“ ist nicht mit \n abgeschlossen</translation>
    </message>
    <message>
        <source>its last line ends with a backslash</source>
        <translation>ihre letzte Zeile endet mit einem Backslash</translation>
    </message>
</context>
<context>
    <name>lumetta::TfrmImage</name>
    <message>
        <source>Screensaver Image</source>
        <translation>Bildschirmschoner-Bild</translation>
    </message>
</context>
<context>
    <name>lumetta::TfrmImport</name>
    <message>
        <source>Webcam List</source>
        <translation>Webcam-Liste</translation>
    </message>
    <message>
        <source>Import selected</source>
        <translation>Gewählte importieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Last updated</source>
        <translation>Zuletzt aktualisiert</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Deselect all</source>
        <translation>Auswahl aufheben</translation>
    </message>
    <message>
        <source>Selected  %1/%2</source>
        <translation>Ausgewählt  %1/%2</translation>
    </message>
</context>
<context>
    <name>lumetta::TfrmMain</name>
    <message>
        <source>If you would like this webcam to be included in our webcam list, click on the button below, but first please MAKE SURE THE WEBCAM IS ACTIVE AND WORKING.</source>
        <translation>Wenn diese Webcam in unsere Webcam-Liste aufgenommen werden soll, klicken Sie auf die Schaltfläche unten, aber prüfen Sie zuerst, OB DIE WEBCAM AKTIV IST UND FUNKTIONIERT.</translation>
    </message>
    <message>
        <source>DO NOT install if screen saver password security is an issue.</source>
        <translation>NICHT installieren, wenn der Kennwortschutz des Bildschirmschoners wichtig ist.</translation>
    </message>
    <message>
        <source>Cannot run screensaver yet.<byte value="xd"/>
Please run the main application first.</source>
        <translation>Der Bildschirmschoner kann noch nicht laufen.<byte value="xd"/>
Bitte starten Sie zuerst das Hauptprogramm.</translation>
    </message>
    <message>
        <source>&amp;Health</source>
        <translation>&amp;Zustand</translation>
    </message>
    <message>
        <source> Screen saver options</source>
        <translation> Optionen des Bildschirmschoners</translation>
    </message>
</context>
</TS>
