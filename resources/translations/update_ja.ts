<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Tavik Update service program</source>
        <translation>Tavik アップデートサービス</translation>
    </message>
    <message>
        <source>now Downloading</source>
        <translation>ダウンロード中</translation>
    </message>
    <message>
        <source>now Installing</source>
        <translation>インストール中</translation>
    </message>
    <message>
        <source>Arial</source>
        <translation>IPAPGothic</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Do you want to quit will not be updated?</source>
        <translation>アップデートを中止しますか？
ソフトウェアは更新されません。</translation>
    </message>
    <message>
        <source>Failed to read update files.
 If this error continues to occur, consult your dealer.</source>
        <translation>アップデートファイルの読み込みに失敗しました。
このエラーが続く場合は、販売店にご相談ください。</translation>
    </message>
    <message>
        <source>Failed to obtain update files. Check the network settings on your computer.
</source>
        <translation>アップデートファイルを取得できませんでした。
パソコンのネットワーク設定を確認してください。</translation>
    </message>
    <message>
        <source>Faield to update.</source>
        <translation>アップデートに失敗しました。</translation>
    </message>
    <message>
        <source>Failed to save the update file.</source>
        <translation>アップデートファイルの保存に失敗しました。</translation>
    </message>
    <message>
        <source>Failed to start the installer.</source>
        <translation>インストーラーを起動できませんでした。</translation>
    </message>
    <message>
        <source>The tool has the latest version.</source>
        <translation>ソフトウェアは最新バージョンです。</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>アップデートを確認中</translation>
    </message>
    <message>
        <source>A new version is available. Do you want to update now?</source>
        <translation>新しいバージョンがあります。今すぐアップデートしますか？</translation>
    </message>
    <message>
        <source>Please close %1 and try again.</source>
        <translation>%1を終了してから、もう一度お試しください。</translation>
    </message>
    <message>
        <source>Invalid command line arguments.</source>
        <translation>コマンドライン引数が正しくありません。</translation>
    </message>
    <message>
        <source>Update completed.</source>
        <translation>アップデートが完了しました。</translation>
    </message>
    <message>
        <source>The update was cancelled.</source>
        <translation>アップデートを中止しました。</translation>
    </message>
    <message>
        <source>Version %1 is available (this is %2).
Do you want to download and install it now?</source>
        <translation>バージョン %1 が公開されています（お使いのバージョンは %2 です）。
ダウンロードしてインストールしますか？</translation>
    </message>
    <message>
        <source>The installer could not open the downloaded package.
It has been saved as:
%1</source>
        <translation>ダウンロードしたパッケージをインストーラーで開けませんでした。
パッケージの保存先:
%1</translation>
    </message>
</context>
</TS>
