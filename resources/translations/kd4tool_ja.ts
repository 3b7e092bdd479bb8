<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en">
<context>
    <name>ClDetailSettingWidget</name>
    <message>
        <source>Photometry</source>
        <translation>測光方式</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>中央重点</translation>
    </message>
    <message>
        <source>Multi</source>
        <translation>全体平均</translation>
    </message>
    <message>
        <source>Distortion</source>
        <translation>歪み補正</translation>
    </message>
    <message>
        <source>Stabilization</source>
        <translation>手ぶれ補正</translation>
    </message>
    <message>
        <source>Image rotation</source>
        <translation>上下反転</translation>
    </message>
    <message>
        <source>Shooting mode</source>
        <translation>撮影モード</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>単写</translation>
    </message>
    <message>
        <source>Burst</source>
        <translation>連写</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>インターバル</translation>
    </message>
    <message>
        <source>Burst interval</source>
        <translation>連写速度</translation>
    </message>
    <message>
        <source>Interval time</source>
        <translation>インターバル時間</translation>
    </message>
    <message>
        <source>Recording Settings</source>
        <translation>録音設定</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>レベル</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>バランス</translation>
    </message>
    <message>
        <source>Recording level</source>
        <translation>録音レベル</translation>
    </message>
    <message>
        <source>Recording balance</source>
        <translation>録音バランス</translation>
    </message>
    <message>
        <source>Auto power off</source>
        <translation>オートパワーオフ</translation>
    </message>
    <message>
        <source>WiFi auto off</source>
        <translation>Wi-Fiオートパワーオフ</translation>
    </message>
    <message>
        <source>AP setting</source>
        <translation>カメラのAPモード</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>設定する</translation>
    </message>
    <message>
        <source>Network setting initialize</source>
        <translation>ネットワーク設定の初期化</translation>
    </message>
    <message>
        <source>Initialize</source>
        <translation>初期化</translation>
    </message>
    <message>
        <source>Recording file setting</source>
        <translation>動画ファイルの長さ</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>カメラの操作音</translation>
    </message>
    <message>
        <source>Sync time</source>
        <translation>カメラの時刻合わせ</translation>
    </message>
    <message>
        <source>SD format</source>
        <translation>SDカードのフォーマット</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>フォーマット</translation>
    </message>
    <message>
        <source>Camera initialize</source>
        <translation>カメラの初期化</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>Stream type</source>
        <translation>ストリーム形式</translation>
    </message>
    <message>
        <source>The camera did not confirm the SD format in time. Check the card on the camera before recording.</source>
        <translation>カメラからSDフォーマットの完了が時間内に届きませんでした。録画の前にカメラでカードを確認してください。</translation>
    </message>
    <message>
        <source>All settings of the camera will return to their factory values.</source>
        <translation>カメラのすべての設定が工場出荷時の値に戻ります。</translation>
    </message>
    <message>
        <source>The camera&apos;s Wi-Fi name and key will return to their factory values. The connection to the camera may be lost.</source>
        <translation>カメラのWi-Fi名とキーが工場出荷時の値に戻ります。カメラとの接続が切れることがあります。</translation>
    </message>
    <message>
        <source>All photos and videos on the SD card will be erased.</source>
        <translation>SDカードのすべての写真と動画が消去されます。</translation>
    </message>
</context>
<context>
    <name>ClInformationDialog</name>
    <message>
        <source>Tool version : %1</source>
        <translation>ソフトウェアバージョン : %1</translation>
    </message>
    <message>
        <source>FW version : %1</source>
        <translation>ファームウェアバージョン : %1</translation>
    </message>
    <message>
        <source>License information</source>
        <translation>オープンソースライセンス情報</translation>
    </message>
</context>
<context>
    <name>ClLiveWidget</name>
    <message>
        <source>HighSpeed recording, 
You can not view LiveView.</source>
        <translation>ハイスピード録画中のため、 
ライブビューを表示できません。</translation>
    </message>
    <message>
        <source>Live picture</source>
        <translation>ライブ映像</translation>
    </message>
    <message>
        <source>Recording at high speed, no live picture</source>
        <translation>ハイスピード録画中（ライブ映像なし）</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>録画中</translation>
    </message>
    <message>
        <source>Mains adapter</source>
        <translation>AC アダプター</translation>
    </message>
    <message>
        <source>Battery %1 %</source>
        <translation>バッテリー残量 %1 %</translation>
    </message>
    <message>
        <source>The live picture is not arriving</source>
        <translation>ライブ映像が届いていません</translation>
    </message>
    <message>
        <source>The live picture is not arriving.
Check the camera&apos;s Wi-Fi connection.</source>
        <translation>ライブ映像が届いていません。
カメラのWi-Fi接続を確認してください。</translation>
    </message>
    <message>
        <source>Battery low: %1 %</source>
        <translation>バッテリー残量低下: %1 %</translation>
    </message>
    <message>
        <source>Recording started at high speed, no live picture</source>
        <translation>ハイスピード録画を開始しました。ライブビューは表示されません</translation>
    </message>
    <message>
        <source>Recording started</source>
        <translation>録画を開始しました</translation>
    </message>
    <message>
        <source>Recording stopped</source>
        <translation>録画を停止しました</translation>
    </message>
</context>
<context>
    <name>ClMainContentWidget</name>
    <message>
        <source>There is no live picture to save.</source>
        <translation>保存できるライブ映像がありません。</translation>
    </message>
    <message>
        <source>Save live picture</source>
        <translation>ライブ映像を保存</translation>
    </message>
    <message>
        <source>JPEG images (*.jpg *.jpeg)</source>
        <translation>JPEG 画像 (*.jpg *.jpeg)</translation>
    </message>
    <message>
        <source>The live picture could not be saved as %1:
%2</source>
        <translation>ライブ映像を %1 に保存できませんでした。
%2</translation>
    </message>
</context>
<context>
    <name>ClSettingWidget</name>
    <message>
        <source>Simple settings</source>
        <translation>基本設定</translation>
    </message>
    <message>
        <source>Detail settings</source>
        <translation>詳細設定</translation>
    </message>
    <message>
        <source>After confirming the network 
connection of Vexa KD-4 and PC, 
please click the button [Connect].</source>
        <translation>Vexa KD-4とPCのネットワーク接続を
確認してから、
[接続]ボタンをクリックしてください。</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Please click [Update] to perform 
the update of Vexa APP for PC.</source>
        <translation>Vexa APP for PCをアップデートするには、
[アップデート]をクリックしてください。</translation>
    </message>
    <message>
        <source>The camera did not answer in time. Move the PC closer to the camera, then click [Connect] again.</source>
        <translation>カメラが時間内に応答しませんでした。PCをカメラに近づけてから、もう一度[接続]をクリックしてください。</translation>
    </message>
    <message>
        <source>No camera was found. Join the Wi-Fi network of Vexa KD-4 with this PC, then click [Connect].</source>
        <translation>カメラが見つかりません。このPCをVexa KD-4のWi-Fiネットワークに接続してから、[接続]をクリックしてください。</translation>
    </message>
    <message>
        <source>The camera refused the connection (error %1). Restart the camera&apos;s Wi-Fi, then click [Connect] again.</source>
        <translation>カメラが接続を拒否しました（エラー %1）。カメラのWi-Fiを再起動してから、もう一度[接続]をクリックしてください。</translation>
    </message>
    <message>
        <source>The connection to the camera was lost. Check the Wi-Fi connection of Vexa KD-4 and this PC, then click [Connect].</source>
        <translation>カメラとの接続が切れました。Vexa KD-4とこのPCのWi-Fi接続を確認してから、[接続]をクリックしてください。</translation>
    </message>
</context>
<context>
    <name>ClSimpleSettingWidget</name>
    <message>
        <source>Grid</source>
        <translation>グリッド</translation>
    </message>
    <message>
        <source>Single display</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>Quad display</source>
        <translation>4分割</translation>
    </message>
    <message>
        <source>3 x 3 display</source>
        <translation>9分割</translation>
    </message>
    <message>
        <source>Diagonal display</source>
        <translation>対角線</translation>
    </message>
    <message>
        <source>Angle</source>
        <translation>画角</translation>
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
        <translation>ホワイトバランス</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>オート</translation>
    </message>
    <message>
        <source>Night</source>
        <translation>夜景</translation>
    </message>
    <message>
        <source>Sunny</source>
        <translation>晴天</translation>
    </message>
    <message>
        <source>Cloudy</source>
        <translation>曇天</translation>
    </message>
    <message>
        <source>Incandescent light</source>
        <translation>白熱灯</translation>
    </message>
    <message>
        <source>Fluorescent light</source>
        <translation>蛍光灯</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>セルフタイマー</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5秒</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10秒</translation>
    </message>
    <message>
        <source>30</source>
        <translation>30秒</translation>
    </message>
    <message>
        <source>WDR</source>
        <translation>ワイドダイナミックレンジ</translation>
    </message>
    <message>
        <source>Exposure</source>
        <translation>露出補正</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>動画解像度</translation>
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
ハイスピード</translation>
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
ハイスピード</translation>
    </message>
</context>
<context>
    <name>ClUpdate</name>
    <message>
        <source>The tool has the latest version.</source>
        <translation>ソフトウェアは最新バージョンです。</translation>
    </message>
</context>
<context>
    <name>ClUpdateWidget</name>
    <message>
        <source>You must be connected to the Internet in order to make the upgrade of the tool.</source>
        <translation>アップデートするには、インターネットに接続する必要があります。</translation>
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
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>CLOSE</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>オン</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>オフ</translation>
    </message>
    <message>
        <source>Failed to set %1</source>
        <translation>%1の設定に失敗しました。</translation>
    </message>
    <message>
        <source>Failed to %1</source>
        <translation>%1に失敗しました。</translation>
    </message>
    <message>
        <source>fps</source>
        <translation>fps</translation>
    </message>
    <message>
        <source>frames</source>
        <translation>枚</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>minute</source>
        <translation>分</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>分</translation>
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
        <translation>パスワード</translation>
    </message>
    <message>
        <source>Tool version upgrade</source>
        <translation>アップデート</translation>
    </message>
    <message>
        <source>Return to top</source>
        <translation>トップへ戻る</translation>
    </message>
    <message>
        <source>KD4Tool</source>
        <translation>Vexa APP for PC</translation>
    </message>
    <message>
        <source>Segoe UI</source>
        <translation>IPAPGothic</translation>
    </message>
    <message>
        <source>%1 is already running</source>
        <translation>%1はすでに起動しています。</translation>
    </message>
    <message>
        <source>Unable to start because another user is running %1</source>
        <translation>他のユーザーが%1を使用中のため、起動できません。</translation>
    </message>
    <message>
        <source>Unable to initialize %1</source>
        <translation>%1を起動できませんでした。</translation>
    </message>
    <message>
        <source>Failed to load library.</source>
        <translation>ライブラリの読み込みに失敗しました。</translation>
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
