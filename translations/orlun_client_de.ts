<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>RemoteChangeBar</name>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Accounts were changed at another workstation: %1. Reload to see them.</source>
        <translation>Konten wurden an einem anderen Arbeitsplatz geändert: %1. Neu laden, um sie zu sehen.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Cannot write %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Screenshot written to %1</source>
        <translation>Bildschirmfoto nach %1 geschrieben</translation>
    </message>
    <message>
        <source>Demo client that hosts the user management module.</source>
        <translation>Demo-Client, der das Benutzerverwaltungsmodul enthält.</translation>
    </message>
    <message>
        <source>Render the form offscreen into a PNG and exit.</source>
        <translation>Das Formular außerhalb des Bildschirms als PNG ausgeben und beenden.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Seed a new store with a large site of this many 16-channel NVRs.</source>
        <translation>Einen neuen Datenspeicher mit einem großen Standort aus so vielen 16-Kanal-NVRs füllen.</translation>
    </message>
    <message>
        <source>devices</source>
        <translation>Geräte</translation>
    </message>
    <message>
        <source>Accounts of the large site (with --demo-site; default 1000).</source>
        <translation>Konten des großen Standorts (mit --demo-site; Standard 1000).</translation>
    </message>
    <message>
        <source>count</source>
        <translation>Anzahl</translation>
    </message>
    <message>
        <source>The store %1 is read-only: accounts can be viewed but changes will not be saved.</source>
        <translation>Der Datenspeicher %1 ist schreibgeschützt: Konten können angesehen, Änderungen aber nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Seeded a demo site into %1</source>
        <translation>Demo-Standort in %1 angelegt</translation>
    </message>
    <message>
        <source>The demo site is incomplete; refused writes: %1</source>
        <translation>Der Demo-Standort ist unvollständig; abgelehnte Schreibvorgänge: %1</translation>
    </message>
    <message>
        <source>These accounts break the account rules and cannot be saved from the form until corrected: %1</source>
        <translation>Diese Konten verletzen die Kontoregeln und können im Formular erst nach einer Korrektur gespeichert werden: %1</translation>
    </message>
    <message>
        <source>User Management</source>
        <translation>Benutzerverwaltung</translation>
    </message>
    <message>
        <source>Language of the texts, such as zh_CN or de; the system&apos;s by default.</source>
        <translation>Sprache der Texte, etwa zh_CN oder de; standardmäßig die des Systems.</translation>
    </message>
    <message>
        <source>language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Store to open: a file, or a database shared by several workstations as postgresql://user@host:port/dbname (the password goes in ~/.pgpass); created and seeded when new.</source>
        <translation>Zu öffnender Datenspeicher: eine Datei oder eine von mehreren Arbeitsplätzen geteilte Datenbank als postgresql://benutzer@host:port/dbname (das Passwort steht in ~/.pgpass); wird neu angelegt und mit Beispieldaten gefüllt.</translation>
    </message>
    <message>
        <source>path or URL</source>
        <translation>Pfad oder URL</translation>
    </message>
</context>
</TS>
