<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Tavik Update service program</source>
        <translation>Tavik 更新服务程序</translation>
    </message>
    <message>
        <source>now Downloading</source>
        <translation>正在下载</translation>
    </message>
    <message>
        <source>now Installing</source>
        <translation>正在安装</translation>
    </message>
    <message>
        <source>Arial</source>
        <translation>Noto Sans CJK SC</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Do you want to quit will not be updated?</source>
        <translation>确定要退出吗？软件将不会被更新。</translation>
    </message>
    <message>
        <source>Failed to read update files.
 If this error continues to occur, consult your dealer.</source>
        <translation>读取更新文件失败。
如果此错误持续出现，请咨询经销商。</translation>
    </message>
    <message>
        <source>Failed to obtain update files. Check the network settings on your computer.
</source>
        <translation>无法获取更新文件。
请检查计算机的网络设置。</translation>
    </message>
    <message>
        <source>Faield to update.</source>
        <translation>更新失败。</translation>
    </message>
    <message>
        <source>Failed to save the update file.</source>
        <translation>保存更新文件失败。</translation>
    </message>
    <message>
        <source>Failed to start the installer.</source>
        <translation>无法启动安装程序。</translation>
    </message>
    <message>
        <source>The tool has the latest version.</source>
        <translation>您的软件已是最新版本。</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>正在检查更新</translation>
    </message>
    <message>
        <source>A new version is available. Do you want to update now?</source>
        <translation>有新版本可用。是否立即更新？</translation>
    </message>
    <message>
        <source>Please close %1 and try again.</source>
        <translation>请关闭 %1 后重试。</translation>
    </message>
    <message>
        <source>Invalid command line arguments.</source>
        <translation>命令行参数无效。</translation>
    </message>
    <message>
        <source>Update completed.</source>
        <translation>更新完成。</translation>
    </message>
    <message>
        <source>The update was cancelled.</source>
        <translation>更新已取消。</translation>
    </message>
    <message>
        <source>Version %1 is available (this is %2).
Do you want to download and install it now?</source>
        <translation>版本 %1 已发布（当前版本为 %2）。
是否立即下载并安装？</translation>
    </message>
    <message>
        <source>The installer could not open the downloaded package.
It has been saved as:
%1</source>
        <translation>安装程序无法打开已下载的软件包。
已保存为：
%1</translation>
    </message>
</context>
</TS>
