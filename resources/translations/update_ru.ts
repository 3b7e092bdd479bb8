<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>QObject</name>
    <message>
        <source>Tavik Update service program</source>
        <translation>Служба обновления Tavik</translation>
    </message>
    <message>
        <source>now Downloading</source>
        <translation>Идёт загрузка</translation>
    </message>
    <message>
        <source>now Installing</source>
        <translation>Идёт установка</translation>
    </message>
    <message>
        <source>Arial</source>
        <translation>Arial</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Do you want to quit will not be updated?</source>
        <translation>Прервать? Программа не будет обновлена.</translation>
    </message>
    <message>
        <source>Failed to read update files.
 If this error continues to occur, consult your dealer.</source>
        <translation>Не удалось прочитать файлы обновления.
Если ошибка повторяется, обратитесь к продавцу.</translation>
    </message>
    <message>
        <source>Failed to obtain update files. Check the network settings on your computer.
</source>
        <translation>Не удалось получить файлы обновления.
Проверьте сетевые настройки компьютера.</translation>
    </message>
    <message>
        <source>Faield to update.</source>
        <translation>Не удалось выполнить обновление.</translation>
    </message>
    <message>
        <source>Failed to save the update file.</source>
        <translation>Не удалось сохранить файл обновления.</translation>
    </message>
    <message>
        <source>Failed to start the installer.</source>
        <translation>Не удалось запустить установщик.</translation>
    </message>
    <message>
        <source>The tool has the latest version.</source>
        <translation>У вас установлена последняя версия программы.</translation>
    </message>
    <message>
        <source>Checking for updates</source>
        <translation>Проверка обновлений</translation>
    </message>
    <message>
        <source>A new version is available. Do you want to update now?</source>
        <translation>Доступна новая версия. Обновить сейчас?</translation>
    </message>
    <message>
        <source>Please close %1 and try again.</source>
        <translation>Закройте %1 и повторите попытку.</translation>
    </message>
    <message>
        <source>Invalid command line arguments.</source>
        <translation>Неверные аргументы командной строки.</translation>
    </message>
    <message>
        <source>Update completed.</source>
        <translation>Обновление завершено.</translation>
    </message>
    <message>
        <source>The update was cancelled.</source>
        <translation>Обновление отменено.</translation>
    </message>
    <message>
        <source>Version %1 is available (this is %2).
Do you want to download and install it now?</source>
        <translation>Доступна версия %1 (установлена версия %2).
Загрузить и установить её сейчас?</translation>
    </message>
    <message>
        <source>The installer could not open the downloaded package.
It has been saved as:
%1</source>
        <translation>Программе установки не удалось открыть загруженный пакет.
Он сохранён как:
%1</translation>
    </message>
</context>
</TS>
