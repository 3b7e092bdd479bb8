<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en">
<context>
    <name>ClDetailSettingWidget</name>
    <message>
        <source>Photometry</source>
        <translation>Metering</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Center-weighted</translation>
    </message>
    <message>
        <source>Multi</source>
        <translation>Overall mean</translation>
    </message>
    <message>
        <source>Distortion</source>
        <translation>Distortion correction</translation>
    </message>
    <message>
        <source>Stabilization</source>
        <translation>Hand-shake correction</translation>
    </message>
    <message>
        <source>Image rotation</source>
        <translation>Image rotation</translation>
    </message>
    <message>
        <source>Shooting mode</source>
        <translation>Photo shooting mode</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>Burst</source>
        <translation>Burst</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>Burst interval</source>
        <translation>Burst shooting speed</translation>
    </message>
    <message>
        <source>Interval time</source>
        <translation>Interval shooting time</translation>
    </message>
    <message>
        <source>Recording Settings</source>
        <translation>Audio recording</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Balance</translation>
    </message>
    <message>
        <source>Recording level</source>
        <translation>Audio recording level</translation>
    </message>
    <message>
        <source>Recording balance</source>
        <translation>Audio recording balance</translation>
    </message>
    <message>
        <source>Auto power off</source>
        <translation>Auto power off</translation>
    </message>
    <message>
        <source>WiFi auto off</source>
        <translation>Wi-Fi auto power off</translation>
    </message>
    <message>
        <source>AP setting</source>
        <translation>Camera AP mode settings</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Change settings</translation>
    </message>
    <message>
        <source>Network setting initialize</source>
        <translation>Initialize network settings</translation>
    </message>
    <message>
        <source>Initialize</source>
        <translation>Initialize</translation>
    </message>
    <message>
        <source>Recording file setting</source>
        <translation>Movie file setting</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Camera operation sound</translation>
    </message>
    <message>
        <source>Sync time</source>
        <translation>Sync camera clock</translation>
    </message>
    <message>
        <source>SD format</source>
        <translation>Camera SD card format</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Camera initialize</source>
        <translation>Initialize camera</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Stream type</source>
        <translation>Live stream type</translation>
    </message>
    <message>
        <source>The camera did not confirm the SD format in time. Check the card on the camera before recording.</source>
        <translation>The camera did not confirm the SD format in time. Check the card on the camera before recording.</translation>
    </message>
    <message>
        <source>All settings of the camera will return to their factory values.</source>
        <translation>All settings of the camera will return to their factory values.</translation>
    </message>
    <message>
        <source>The camera&apos;s Wi-Fi name and key will return to their factory values. The connection to the camera may be lost.</source>
        <translation>The camera&apos;s Wi-Fi name and key will return to their factory values. The connection to the camera may be lost.</translation>
    </message>
    <message>
        <source>All photos and videos on the SD card will be erased.</source>
        <translation>All photos and videos on the SD card will be erased.</translation>
    </message>
</context>
<context>
    <name>ClInformationDialog</name>
    <message>
        <source>Tool version : %1</source>
        <translation>Software Version: %1</translation>
    </message>
    <message>
        <source>FW version : %1</source>
        <translation>Firmware Version : %1</translation>
    </message>
    <message>
        <source>License information</source>
        <translation>Open source license information</translation>
    </message>
</context>
<context>
    <name>ClLiveWidget</name>
    <message>
        <source>HighSpeed recording, 
You can not view LiveView.</source>
        <translation>Recording in high speed mode. 
Live view is not available.</translation>
    </message>
    <message>
        <source>Live picture</source>
        <translation>Live picture</translation>
    </message>
    <message>
        <source>Recording at high speed, no live picture</source>
        <translation>Recording at high speed, no live picture</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Mains adapter</source>
        <translation>Mains adapter</translation>
    </message>
    <message>
        <source>Battery %1 %</source>
        <translation>Battery %1 %</translation>
    </message>
    <message>
        <source>The live picture is not arriving</source>
        <translation>The live picture is not arriving</translation>
    </message>
    <message>
        <source>The live picture is not arriving.
Check the camera&apos;s Wi-Fi connection.</source>
        <translation>The live picture is not arriving.
Check the camera&apos;s Wi-Fi connection.</translation>
    </message>
    <message>
        <source>Battery low: %1 %</source>
        <translation>Battery low: %1 %</translation>
    </message>
    <message>
        <source>Recording started at high speed, no live picture</source>
        <translation>Recording started at high speed, no live picture</translation>
    </message>
    <message>
        <source>Recording started</source>
        <translation>Recording started</translation>
    </message>
    <message>
        <source>Recording stopped</source>
        <translation>Recording stopped</translation>
    </message>
</context>
<context>
    <name>ClMainContentWidget</name>
    <message>
        <source>There is no live picture to save.</source>
        <translation>There is no live picture to save.</translation>
    </message>
    <message>
        <source>Save live picture</source>
        <translation>Save live picture</translation>
    </message>
    <message>
        <source>JPEG images (*.jpg *.jpeg)</source>
        <translation>JPEG images (*.jpg *.jpeg)</translation>
    </message>
    <message>
        <source>The live picture could not be saved as %1:
%2</source>
        <translation>The live picture could not be saved as %1:
%2</translation>
    </message>
</context>
<context>
    <name>ClSettingWidget</name>
    <message>
        <source>Simple settings</source>
        <translation>Basic settings</translation>
    </message>
    <message>
        <source>Detail settings</source>
        <translation>Advanced settings</translation>
    </message>
    <message>
        <source>After confirming the network 
connection of Vexa KD-4 and PC, 
please click the button [Connect].</source>
        <translation>Make sure that the PC is connected 
to the Wi-Fi network of Vexa KD-4, 
then click [Connect].</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Please click [Update] to perform 
the update of Vexa APP for PC.</source>
        <translation>Click [Update] to update 
Vexa APP for PC.</translation>
    </message>
    <message>
        <source>The camera did not answer in time. Move the PC closer to the camera, then click [Connect] again.</source>
        <translation>The camera did not answer in time. Move the PC closer to the camera, then click [Connect] again.</translation>
    </message>
    <message>
        <source>No camera was found. Join the Wi-Fi network of Vexa KD-4 with this PC, then click [Connect].</source>
        <translation>No camera was found. Join the Wi-Fi network of Vexa KD-4 with this PC, then click [Connect].</translation>
    </message>
    <message>
        <source>The camera refused the connection (error %1). Restart the camera&apos;s Wi-Fi, then click [Connect] again.</source>
        <translation>The camera refused the connection (error %1). Restart the camera&apos;s Wi-Fi, then click [Connect] again.</translation>
    </message>
    <message>
        <source>The connection to the camera was lost. Check the Wi-Fi connection of Vexa KD-4 and this PC, then click [Connect].</source>
        <translation>The connection to the camera was lost. Check the Wi-Fi connection of Vexa KD-4 and this PC, then click [Connect].</translation>
    </message>
</context>
<context>
    <name>ClSimpleSettingWidget</name>
    <message>
        <source>Grid</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>Single display</source>
        <translation>Single display</translation>
    </message>
    <message>
        <source>Quad display</source>
        <translation>Quad display</translation>
    </message>
    <message>
        <source>3 x 3 display</source>
        <translation>3 x 3 display</translation>
    </message>
    <message>
        <source>Diagonal display</source>
        <translation>Diagonal display</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>Angle</translation>
    </message>
    <message>
        <source>185</source>
        <translation>185°</translation>
    </message>
    <message>
        <source>165</source>
        <translation>165°</translation>
    </message>
    <message>
        <source>135</source>
        <translation>135°</translation>
    </message>
    <message>
        <source>WB</source>
        <translation>White balance</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <source>Night</source>
        <translation>Night</translation>
    </message>
    <message>
        <source>Sunny</source>
        <translation>Sunny</translation>
    </message>
    <message>
        <source>Cloudy</source>
        <translation>Cloudy</translation>
    </message>
    <message>
        <source>Incandescent light</source>
        <translation>Incandescent light</translation>
    </message>
    <message>
        <source>Fluorescent light</source>
        <translation>Fluorescent light</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Self-timer</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5seconds</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10seconds</translation>
    </message>
    <message>
        <source>30</source>
        <translation>30seconds</translation>
    </message>
    <message>
        <source>WDR</source>
        <translation>Wide dynamic range</translation>
    </message>
    <message>
        <source>Exposure</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>1080p 60fps</source>
        <translation>1080p / 60fps</translation>
    </message>
    <message>
        <source>1080p 30fps</source>
        <translation>1080p / 30fps</translation>
    </message>
    <message>
        <source>720p 120fps</source>
        <translation>720p / 120fps
High Speed</translation>
    </message>
    <message>
        <source>720p 60fps</source>
        <translation>720p / 60fps</translation>
    </message>
    <message>
        <source>720p 30fps</source>
        <translation>720p / 30fps</translation>
    </message>
    <message>
        <source>WVGA 240fps</source>
        <translation>WVGA / 240fps
High Speed</translation>
    </message>
</context>
<context>
    <name>ClUpdate</name>
    <message>
        <source>The tool has the latest version.</source>
        <translation>Your software is the latest version.</translation>
    </message>
</context>
<context>
    <name>ClUpdateWidget</name>
    <message>
        <source>You must be connected to the Internet in order to make the upgrade of the tool.</source>
        <translation>An Internet connection is required to update the software.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>CLOSE</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>Failed to set %1</source>
        <translation>Failed to set %1.</translation>
    </message>
    <message>
        <source>Failed to %1</source>
        <translation>Failed to %1.</translation>
    </message>
    <message>
        <source>fps</source>
        <translation>fps</translation>
    </message>
    <message>
        <source>frames</source>
        <translation>photos</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>seconds</translation>
    </message>
    <message>
        <source>minute</source>
        <translation>minute</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>L</source>
        <translation>L</translation>
    </message>
    <message>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <source>SSID</source>
        <translation>SSID</translation>
    </message>
    <message>
        <source>key</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>Tool version upgrade</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Return to top</source>
        <translation>Return to top</translation>
    </message>
    <message>
        <source>KD4Tool</source>
        <translation>Vexa APP for PC</translation>
    </message>
    <message>
        <source>Segoe UI</source>
        <translation>Segoe UI</translation>
    </message>
    <message>
        <source>%1 is already running</source>
        <translation>%1 is already running.</translation>
    </message>
    <message>
        <source>Unable to start because another user is running %1</source>
        <translation>%1 is unable to start because it is already opened by another user.</translation>
    </message>
    <message>
        <source>Unable to initialize %1</source>
        <translation>%1 is unable to be opened.</translation>
    </message>
    <message>
        <source>Failed to load library.</source>
        <translation>Failed to load library.</translation>
    </message>
    <message>
        <source>hls</source>
        <translation>HLS</translation>
    </message>
    <message>
        <source>rtsp</source>
        <translation>RTSP</translation>
    </message>
    <message>
        <source>mjpeg</source>
        <translation>MJPEG</translation>
    </message>
</context>
</TS>
