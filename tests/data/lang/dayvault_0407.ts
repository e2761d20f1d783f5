<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Dayvault</name>
    <message>
        <source>Untitled</source>
        <comment>57423</comment>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <comment>61600</comment>
        <translation>&amp;Datei</translation>
    </message>
</context>
</TS>
