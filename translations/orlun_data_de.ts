<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>orlun_data::DataStore</name>
    <message>
        <source>The store %1 cannot be read.</source>
        <translation>Der Datenspeicher %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The folder %1 of the store %2 does not exist.</source>
        <translation>Der Ordner %1 des Datenspeichers %2 existiert nicht.</translation>
    </message>
    <message>
        <source>The store %1 is not a file.</source>
        <translation>Der Datenspeicher %1 ist keine Datei.</translation>
    </message>
    <message>
        <source>The store %1 does not exist and its folder is read-only.</source>
        <translation>Der Datenspeicher %1 existiert nicht und sein Ordner ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>The store %1 cannot be created: %2</source>
        <translation>Der Datenspeicher %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The store %1 was written by a newer client (schema %2, this client knows up to %3).</source>
        <translation>Der Datenspeicher %1 wurde von einem neueren Client geschrieben (Schema %2, dieser Client kennt bis %3).</translation>
    </message>
    <message>
        <source>The store %1 is damaged (%2).</source>
        <translation>Der Datenspeicher %1 ist beschädigt (%2).</translation>
    </message>
    <message>
        <source>The store %1 is locked by another program (waited %2 ms).</source>
        <translation>Der Datenspeicher %1 ist von einem anderen Programm gesperrt (%2 ms gewartet).</translation>
    </message>
    <message>
        <source>The store %1 is read-only.</source>
        <translation>Der Datenspeicher %1 ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>The store %1 is damaged or not a store (%2).</source>
        <translation>Der Datenspeicher %1 ist beschädigt oder kein Datenspeicher (%2).</translation>
    </message>
    <message>
        <source>The disk that holds the store %1 is full.</source>
        <translation>Der Datenträger mit dem Datenspeicher %1 ist voll.</translation>
    </message>
    <message>
        <source>The store %1 cannot be opened (%2).</source>
        <translation>Der Datenspeicher %1 kann nicht geöffnet werden (%2).</translation>
    </message>
    <message>
        <source>The store %1 failed: %2</source>
        <translation>Fehler im Datenspeicher %1: %2</translation>
    </message>
    <message>
        <source>No store is open.</source>
        <translation>Kein Datenspeicher geöffnet.</translation>
    </message>
    <message>
        <source>The store %1 is not a postgresql://user@host:port/dbname URL.</source>
        <translation>Der Datenspeicher %1 ist keine URL der Form postgresql://benutzer@host:port/dbname.</translation>
    </message>
    <message>
        <source>The store %1 names a password; keep it in ~/.pgpass (or the file PGPASSFILE names) instead.</source>
        <translation>Der Datenspeicher %1 enthält ein Passwort; legen Sie es stattdessen in ~/.pgpass (oder der in PGPASSFILE genannten Datei) ab.</translation>
    </message>
    <message>
        <source>The store %1 needs Qt&apos;s PostgreSQL driver (QPSQL), which is not installed.</source>
        <translation>Der Datenspeicher %1 braucht den PostgreSQL-Treiber von Qt (QPSQL), der nicht installiert ist.</translation>
    </message>
    <message>
        <source>The store %1 already holds such a record (%2).</source>
        <translation>Der Datenspeicher %1 enthält bereits einen solchen Eintrag (%2).</translation>
    </message>
    <message>
        <source>The connection to the store %1 was lost; nothing was saved. The next save connects again.</source>
        <translation>Die Verbindung zum Datenspeicher %1 ist abgebrochen; nichts wurde gespeichert. Das nächste Speichern verbindet erneut.</translation>
    </message>
    <message>
        <source>The store %1 cannot be reached; nothing was saved.</source>
        <translation>Der Datenspeicher %1 ist nicht erreichbar; nichts wurde gespeichert.</translation>
    </message>
</context>
<context>
    <name>orlun_data::UserData</name>
    <message numerus="yes">
        <source>the name must be 1 to %n ASCII letters and digits</source>
        <translation>
            <numerusform>der Name muss aus 1 bis %n ASCII-Buchstaben und Ziffern bestehen</numerusform>
            <numerusform>der Name muss aus 1 bis %n ASCII-Buchstaben und Ziffern bestehen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>the password must be 1 to %n characters without blanks</source>
        <translation>
            <numerusform>das Passwort muss aus %n Zeichen ohne Leerzeichen bestehen</numerusform>
            <numerusform>das Passwort muss aus 1 bis %n Zeichen ohne Leerzeichen bestehen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>the description must be at most %n characters without surrounding blanks</source>
        <translation>
            <numerusform>die Beschreibung darf höchstens %n Zeichen ohne umgebende Leerzeichen haben</numerusform>
            <numerusform>die Beschreibung darf höchstens %n Zeichen ohne umgebende Leerzeichen haben</numerusform>
        </translation>
    </message>
    <message>
        <source>The grants of %1 were refused (test).</source>
        <translation>Die Berechtigungen von %1 wurden abgelehnt (Test).</translation>
    </message>
    <message>
        <source>Grants need an account name.</source>
        <translation>Berechtigungen brauchen einen Kontonamen.</translation>
    </message>
    <message>
        <source>The account %1 was refused (test).</source>
        <translation>Das Konto %1 wurde abgelehnt (Test).</translation>
    </message>
    <message>
        <source>The account %1 cannot be stored: %2.</source>
        <translation>Das Konto %1 kann nicht gespeichert werden: %2.</translation>
    </message>
    <message>
        <source>The name %1 is taken.</source>
        <translation>Der Name %1 ist vergeben.</translation>
    </message>
    <message>
        <source>the account shown is &quot;%1&quot;, whose name the form cannot hold</source>
        <translation>das angezeigte Konto ist „%1“, dessen Namen das Formular nicht aufnehmen kann</translation>
    </message>
    <message>
        <source>the stored password does not fit the form and would be cut</source>
        <translation>das gespeicherte Passwort passt nicht ins Formular und würde gekürzt</translation>
    </message>
    <message>
        <source>the stored description does not fit the form and would be cut</source>
        <translation>die gespeicherte Beschreibung passt nicht ins Formular und würde gekürzt</translation>
    </message>
    <message>
        <source>The account %1 was not changed: %2.</source>
        <translation>Das Konto %1 wurde nicht geändert: %2.</translation>
    </message>
    <message>
        <source>There is no account %1.</source>
        <translation>Es gibt kein Konto %1.</translation>
    </message>
    <message>
        <source>Deleting %1 was refused (test).</source>
        <translation>Das Löschen von %1 wurde abgelehnt (Test).</translation>
    </message>
    <message>
        <source>The name %1 was taken at another workstation.</source>
        <translation>Der Name %1 wurde an einem anderen Arbeitsplatz vergeben.</translation>
    </message>
    <message>
        <source>The account %1 was changed or deleted at another workstation after it was shown here; nothing was saved. Reload it and make the change again.</source>
        <translation>Das Konto %1 wurde an einem anderen Arbeitsplatz geändert oder gelöscht, nachdem es hier angezeigt wurde; nichts wurde gespeichert. Laden Sie es neu und nehmen Sie die Änderung erneut vor.</translation>
    </message>
</context>
</TS>
