<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>orlun_login::GestureDialog</name>
    <message>
        <source>Gesture password</source>
        <translation>Gestenpasswort</translation>
    </message>
    <message>
        <source>Set the gesture password of %1</source>
        <translation>Gestenpasswort für %1 festlegen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message numerus="yes">
        <source>Connect at least %n dots</source>
        <translation>
            <numerusform>Mindestens %n Punkt verbinden</numerusform>
            <numerusform>Mindestens %n Punkte verbinden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Connect at least %n dots, please draw again</source>
        <translation>
            <numerusform>Mindestens %n Punkt verbinden, bitte erneut zeichnen</numerusform>
            <numerusform>Mindestens %n Punkte verbinden, bitte erneut zeichnen</numerusform>
        </translation>
    </message>
    <message>
        <source>Draw the pattern again to confirm</source>
        <translation>Muster zur Bestätigung erneut zeichnen</translation>
    </message>
    <message>
        <source>The two patterns do not match, please draw again</source>
        <translation>Die beiden Muster stimmen nicht überein, bitte erneut zeichnen</translation>
    </message>
</context>
</TS>
