// The update description "update_tool.xml" as the update server sends it, through the reader the
// update check uses: file entries, the application entry and the process, removal and settings
// sections, including the preference look-ups that "reg" attributes ask for.
#include "fuzz/FuzzSupport.h"

#include "shell/ClSettingsIdentity.h"
#include "updater/ClParseXmlUpdate.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* pArgc, char*** pArgv)
{
    kd4fuzz::startApplication(pArgc, pArgv);
    ClSettingsIdentity::setOrganizationName(QStringLiteral("Tavik"));
    ClSettingsIdentity::setApplicationName(QStringLiteral("VexaAPPforPC"));
    return 0;
}

namespace {

void checkEntries(const ClParseXmlUpdate& clParser)
{
    for (int i = 0; i < clParser.itemCount(); ++i) {
        const stFileEntry clEntry = clParser.item(i);
        kd4fuzz::require(
            !clEntry.strVersion.isEmpty() && !clEntry.strHash.isEmpty() && !clEntry.strFile.isEmpty(),
            "a file entry has a version, a digest and a name");
    }
    const stFileEntry clApp = clParser.appEntry();
    if (!clApp.strFile.isEmpty())
        kd4fuzz::require(clParser.itemCount() > 0 && clApp.strDir.isEmpty(), "the package is a file entry");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t size)
{
    const QByteArray clData(reinterpret_cast<const char*>(pData), static_cast<int>(size));
    const QString strOwnApp = ClSettingsIdentity::applicationName();

    ClParseXmlUpdate clParser;
    bool bRead = false;
    kd4fuzz::onSmallStack([&] { bRead = clParser.parseData(clData); });
    kd4fuzz::require(ClSettingsIdentity::applicationName() == strOwnApp,
        "the description does not move the program's own preferences");
    if (!bRead) {
        kd4fuzz::require(clParser.itemCount() == 0, "an unreadable description has no entries");
        return 0;
    }
    checkEntries(clParser);
    return 0;
}
