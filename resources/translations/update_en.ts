<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Tavik Update service program</source>
        <translation>Tavik Update service program</translation>
    </message>
    <message>
        <source>now Downloading</source>
        <translation>now Downloading</translation>
    </message>
    <message>
        <source>now Installing</source>
        <translation>now Installing</translation>
    </message>
    <message>
        <source>Arial</source>
        <translation>Arial</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Do you want to quit will not be updated?</source>
        <translation>Do you want to quit? The software will not be updated.</translation>
    </message>
    <message>
        <source>Failed to read update files.
 If this error continues to occur, consult your dealer.</source>
        <translation>Failed to read update files.
If this error continues to occur, consult your dealer.</translation>
    </message>
    <message>
        <source>Failed to obtain update files. Check the network settings on your computer.
</source>
        <translation>Failed to obtain update files.
Check the network settings on your computer.</translation>
    </message>
    <message>
        <source>Faield to update.</source>
        <translation>Failed to update.</translation>
    </message>
    <message>
        <source>Failed to save the update file.</source>
        <translation>Failed to save the update file.</translation>
    </message>
    <message>
        <source>Failed to start the installer.</source>
        <translation>Failed to start the installer.</translation>
    </message>
    <message>
        <source>The tool has the latest version.</source>
        <translation>Your software is the latest version.</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>Checking for updates</translation>
    </message>
    <message>
        <source>A new version is available. Do you want to update now?</source>
        <translation>A new version is available. Do you want to update now?</translation>
    </message>
    <message>
        <source>Please close %1 and try again.</source>
        <translation>Please close %1 and try again.</translation>
    </message>
    <message>
        <source>Invalid command line arguments.</source>
        <translation>Invalid command line arguments.</translation>
    </message>
    <message>
        <source>Update completed.</source>
        <translation>Update completed.</translation>
    </message>
    <message>
        <source>The update was cancelled.</source>
        <translation>The update was cancelled.</translation>
    </message>
    <message>
        <source>Version %1 is available (this is %2).
Do you want to download and install it now?</source>
        <translation>Version %1 is available (this is %2).
Do you want to download and install it now?</translation>
    </message>
    <message>
        <source>The installer could not open the downloaded package.
It has been saved as:
%1</source>
        <translation>The installer could not open the downloaded package.
It has been saved as:
%1</translation>
    </message>
</context>
</TS>
