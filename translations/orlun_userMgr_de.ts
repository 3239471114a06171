<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Video Preview</source>
        <translation>Videovorschau</translation>
    </message>
    <message>
        <source>Video Playback</source>
        <translation>Videowiedergabe</translation>
    </message>
    <message>
        <source>Capture</source>
        <translation>Schnappschuss</translation>
    </message>
    <message>
        <source>Local Record</source>
        <translation>Lokale Aufnahme</translation>
    </message>
    <message>
        <source>Download Recording</source>
        <translation>Aufnahmen herunterladen</translation>
    </message>
    <message>
        <source>Turning Plan</source>
        <translation>Rundgangsplan</translation>
    </message>
    <message>
        <source>Local View</source>
        <translation>Lokale Ansicht</translation>
    </message>
    <message>
        <source>Talk/Speak</source>
        <translation>Gegensprechen/Durchsage</translation>
    </message>
    <message>
        <source>Audio Monitor</source>
        <translation>Audio mithören</translation>
    </message>
    <message>
        <source>PTZ Control</source>
        <translation>PTZ-Steuerung</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>TV</source>
        <translation>TV-Wand</translation>
    </message>
    <message>
        <source>Person Management</source>
        <translation>Personenverwaltung</translation>
    </message>
    <message>
        <source>Attendance Management</source>
        <translation>Zeiterfassung</translation>
    </message>
    <message>
        <source>Alarm Center</source>
        <translation>Alarmzentrale</translation>
    </message>
    <message>
        <source>Alarm Configure</source>
        <translation>Alarmkonfiguration</translation>
    </message>
    <message>
        <source>E-Map</source>
        <translation>E-Karte</translation>
    </message>
    <message>
        <source>Parking</source>
        <translation>Parken</translation>
    </message>
    <message>
        <source>Access Control</source>
        <translation>Zutrittskontrolle</translation>
    </message>
    <message>
        <source>Data Chart</source>
        <translation>Datendiagramm</translation>
    </message>
    <message>
        <source>Temperature Measure</source>
        <translation>Temperaturmessung</translation>
    </message>
    <message>
        <source>License Plate Recognition</source>
        <translation>Kennzeichenerkennung</translation>
    </message>
    <message>
        <source>Face Recognition</source>
        <translation>Gesichtserkennung</translation>
    </message>
    <message>
        <source>Whether to reuse the data of the current account?</source>
        <translation>Die Daten des aktuellen Kontos übernehmen?</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>User password strength is too weak</source>
        <translation>Das Benutzerpasswort ist zu schwach</translation>
    </message>
    <message>
        <source>User name can not be empty</source>
        <translation>Der Benutzername darf nicht leer sein</translation>
    </message>
    <message>
        <source>User name has been exist</source>
        <translation>Der Benutzername existiert bereits</translation>
    </message>
    <message>
        <source>Failed to save channel power</source>
        <translation>Kanalberechtigungen konnten nicht gespeichert werden</translation>
    </message>
    <message>
        <source>Failed to add user</source>
        <translation>Benutzer konnte nicht hinzugefügt werden</translation>
    </message>
    <message>
        <source>Failed to edit user</source>
        <translation>Benutzer konnte nicht bearbeitet werden</translation>
    </message>
    <message>
        <source>Do you want to cancel user creation?</source>
        <translation>Anlegen des Benutzers abbrechen?</translation>
    </message>
    <message>
        <source>Do you want to cancel user editing?</source>
        <translation>Bearbeiten des Benutzers abbrechen?</translation>
    </message>
    <message>
        <source>Please select user to delete</source>
        <translation>Bitte den zu löschenden Benutzer auswählen</translation>
    </message>
    <message>
        <source>Do you want to delete user:%1?</source>
        <translation>Benutzer %1 löschen?</translation>
    </message>
    <message>
        <source>Failed to delete user</source>
        <translation>Benutzer konnte nicht gelöscht werden</translation>
    </message>
    <message>
        <source>Remove gesture password</source>
        <translation>Gestenpasswort entfernen</translation>
    </message>
    <message>
        <source>Add gesture pasword</source>
        <translation>Gestenpasswort hinzufügen</translation>
    </message>
    <message>
        <source>Add the user&apos;s gesture password success</source>
        <translation>Das Gestenpasswort des Benutzers wurde hinzugefügt</translation>
    </message>
    <message>
        <source>Do you want to remove the user&apos;s gesture password?</source>
        <translation>Das Gestenpasswort des Benutzers entfernen?</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::ChannelPowerTable</name>
    <message>
        <source>ChannelPowerTable</source>
        <translation>Tabelle der gewählten Kanäle</translation>
    </message>
    <message>
        <source>Selected Channels</source>
        <translation>Gewählte Kanäle</translation>
    </message>
    <message>
        <source>Remove Channels</source>
        <translation>Kanäle entfernen</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Channel Name</source>
        <translation>Kanalname</translation>
    </message>
    <message>
        <source>Dev Sn / Brand</source>
        <translation>Geräte-SN / Marke</translation>
    </message>
    <message>
        <source>Ip</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Channel Index</source>
        <translation>Kanalnummer</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>Search selected channels</source>
        <translation>Gewählte Kanäle durchsuchen</translation>
    </message>
    <message>
        <source>Channel groups granted, with the number of channels in each</source>
        <translation>Gewährte Kanalgruppen mit der Zahl ihrer Kanäle</translation>
    </message>
    <message>
        <source>Channels: %1</source>
        <translation>Kanäle: %1</translation>
    </message>
    <message>
        <source>Groups: %1</source>
        <translation>Gruppen: %1</translation>
    </message>
    <message>
        <source>Please select channels to delete</source>
        <translation>Bitte die zu entfernenden Kanäle auswählen</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::ChannelPowerTree</name>
    <message>
        <source>ChannelPowerTree</source>
        <translation>Kanalberechtigungsbaum</translation>
    </message>
    <message>
        <source>Channel Power</source>
        <translation>Kanalberechtigungen</translation>
    </message>
    <message>
        <source>Search channels</source>
        <translation>Kanäle durchsuchen</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::FunctionPowerList</name>
    <message>
        <source>FunctionPowerList</source>
        <translation>Funktionsberechtigungsliste</translation>
    </message>
    <message>
        <source>Function Power</source>
        <translation>Funktionsberechtigungen</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::InputRefusalTip</name>
    <message numerus="yes">
        <source>At most %n characters</source>
        <translation>
            <numerusform>Höchstens %n Zeichen</numerusform>
            <numerusform>Höchstens %n Zeichen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::UserItem</name>
    <message>
        <source>UserItem</source>
        <translation>Benutzereintrag</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>Textfeld</translation>
    </message>
    <message>
        <source>edit</source>
        <translation>bearbeiten</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>löschen</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::UserMgrForm</name>
    <message>
        <source>UserMgrForm</source>
        <translation>Benutzerverwaltungsformular</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>User Password</source>
        <translation>Benutzerpasswort</translation>
    </message>
    <message>
        <source>User Describe</source>
        <translation>Benutzerbeschreibung</translation>
    </message>
    <message>
        <source>User Power</source>
        <translation>Benutzerberechtigungen</translation>
    </message>
    <message>
        <source>(User name consists of numbers, uppercase letters and lowercase letters)</source>
        <translation>(Der Benutzername besteht aus Ziffern, Groß- und Kleinbuchstaben)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Only letters and digits</source>
        <translation>Nur Buchstaben und Ziffern</translation>
    </message>
    <message>
        <source>No spaces in a password</source>
        <translation>Keine Leerzeichen im Passwort</translation>
    </message>
    <message>
        <source>The new account has not been added. Add it before closing?</source>
        <translation>Das neue Konto wurde noch nicht hinzugefügt. Vor dem Schließen hinzufügen?</translation>
    </message>
    <message>
        <source>The account&apos;s changes have not been saved. Save them before closing?</source>
        <translation>Die Änderungen am Konto wurden nicht gespeichert. Vor dem Schließen speichern?</translation>
    </message>
    <message>
        <source>Add user</source>
        <translation>Benutzer hinzufügen</translation>
    </message>
    <message>
        <source>Delete user</source>
        <translation>Benutzer löschen</translation>
    </message>
    <message>
        <source>Search users</source>
        <translation>Benutzer suchen</translation>
    </message>
    <message>
        <source>Users</source>
        <translation>Benutzer</translation>
    </message>
</context>
</TS>
