#include "updater/ClParseXmlUpdate.h"

#include "shell/ClSetting.h"
#include "shell/ClSettingsIdentity.h"

#include <QDomElement>

namespace {

// The file name is the element's first child, and only when that child is text.
QString fileNameOf(const QDomElement& clElement)
{
    const QDomNode clFirst = clElement.firstChild();
    if (clFirst.isText())
        return clFirst.toText().data();
    return QString();
}

QString attributeOf(const QDomElement& clElement, const char* pszName)
{
    return clElement.attribute(QLatin1String(pszName));
}

// A section may name a preference ("reg") holding a folder to put before its "dir". The
// preference is read under the application named by "app" when given; the process-wide settings
// identity is put back afterwards, because the description comes from the network and must not
// move where this program keeps its own preferences.
QString registeredDir(const QDomElement& clElement, const QString& strDir)
{
    const QString strReg = attributeOf(clElement, "reg");
    if (strReg.isEmpty())
        return strDir;

    const QString strOwnApp = ClSettingsIdentity::applicationName();
    const QString strApp = attributeOf(clElement, "app");
    const bool bSwitchApp = !strApp.isEmpty() && strApp != strOwnApp;
    if (bSwitchApp)
        ClSettingsIdentity::setApplicationName(strApp);

    ClSetting clSetting;
    clSetting.setScope(attributeOf(clElement, "scope").toInt());
    QString strPrefix = clSetting.readValue(strReg, QVariant()).toString();

    if (bSwitchApp)
        ClSettingsIdentity::setApplicationName(strOwnApp);

    if (strPrefix.isEmpty())
        return strDir;
    if (!strPrefix.endsWith(QLatin1Char('/')) && !strPrefix.endsWith(QLatin1Char('\\')))
        strPrefix += QLatin1Char('/');
    strPrefix.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return strPrefix + strDir;
}

} // namespace

ClParseXmlUpdate::ClParseXmlUpdate() = default;

void ClParseXmlUpdate::clear()
{
    clFileEntries.clear();
    clAppEntry = stFileEntry();
    clProcessNames.clear();
    clRemoveEntries.clear();
    clSettingEntries.clear();
    clDocument.clear();
}

bool ClParseXmlUpdate::handleNode(const QDomNode& clNode)
{
    // The root (whatever its name) and anything that is not an element only lead further down.
    if (clNode.parentNode().isDocument() || !clNode.isElement())
        return true;

    const QDomElement clElement = clNode.toElement();
    const QString strTag = clElement.tagName();
    if (strTag == QLatin1String("own"))
        readOwn(clElement);
    else if (strTag == QLatin1String("process"))
        readProcess(clElement);
    else if (strTag == QLatin1String("remove"))
        readRemove(clElement);
    else if (strTag == QLatin1String("settings"))
        readSettings(clElement);
    else
        readPackage(clElement);
    return false;
}

void ClParseXmlUpdate::readOwn(const QDomElement& clElement)
{
    for (QDomElement clChild = clElement.firstChildElement(); !clChild.isNull();
         clChild = clChild.nextSiblingElement()) {
        stFileEntry clEntry;
        clEntry.strVersion = attributeOf(clChild, "version");
        clEntry.strHash = attributeOf(clChild, "hash");
        clEntry.strFile = fileNameOf(clChild);
        if (clChild.tagName() == QLatin1String("app")) {
            // A package entry without version or digest makes the rest of this section suspect.
            if (clEntry.strVersion.isEmpty() || clEntry.strHash.isEmpty())
                return;
            if (clEntry.strFile.isEmpty())
                continue;
            clAppEntry = clEntry;
            clFileEntries.append(clEntry);
            continue;
        }
        clEntry.strDir = attributeOf(clChild, "dir");
        if (clEntry.strDir.isEmpty())
            clEntry.strDir = QStringLiteral(".");
        if (clEntry.strVersion.isEmpty() || clEntry.strHash.isEmpty() || clEntry.strFile.isEmpty())
            continue;
        clFileEntries.append(clEntry);
    }
}

void ClParseXmlUpdate::readPackage(const QDomElement& clElement)
{
    const QString strDir = registeredDir(clElement, attributeOf(clElement, "dir"));
    for (QDomElement clChild = clElement.firstChildElement(); !clChild.isNull();
         clChild = clChild.nextSiblingElement()) {
        stFileEntry clEntry;
        clEntry.strDir = strDir;
        clEntry.strVersion = attributeOf(clChild, "version");
        clEntry.strHash = attributeOf(clChild, "hash");
        clEntry.strFile = fileNameOf(clChild);
        if (clEntry.strVersion.isEmpty() || clEntry.strHash.isEmpty() || clEntry.strFile.isEmpty())
            continue;
        clFileEntries.append(clEntry);
    }
}

void ClParseXmlUpdate::readProcess(const QDomElement& clElement)
{
    const QStringList clNames = clElement.text().split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& strName : clNames) {
        const QString strTrimmed = strName.trimmed();
        if (!strTrimmed.isEmpty())
            clProcessNames.append(strTrimmed);
    }
}

void ClParseXmlUpdate::readRemove(const QDomElement& clElement)
{
    for (QDomElement clChild = clElement.firstChildElement(); !clChild.isNull();
         clChild = clChild.nextSiblingElement()) {
        stFileEntry clEntry;
        clEntry.strDir = registeredDir(clChild, attributeOf(clChild, "dir"));
        clEntry.strFile = attributeOf(clChild, "file");
        clRemoveEntries.append(clEntry);
    }
}

void ClParseXmlUpdate::readSettings(const QDomElement& clElement)
{
    for (QDomElement clChild = clElement.firstChildElement(); !clChild.isNull();
         clChild = clChild.nextSiblingElement()) {
        stSettingEntry clEntry;
        clEntry.strKey = clChild.tagName();
        clEntry.strApp = attributeOf(clChild, "app");
        clEntry.strScope = attributeOf(clChild, "scope");
        clEntry.strIsAdd = attributeOf(clChild, "isadd");
        clEntry.strFormat = attributeOf(clChild, "format");
        clEntry.strValue = clChild.text();
        clSettingEntries.append(clEntry);
    }
}
