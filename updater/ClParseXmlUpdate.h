#pragma once

#include "updater/ClParseXml.h"
#include "updater/stFileEntry.h"
#include "updater/stSettingEntry.h"

#include <QList>
#include <QStringList>

// Reader of the update description "update_tool.xml": the files that make up the current tool,
// with their versions and digests, plus the process, removal and settings sections.
class ClParseXmlUpdate : public ClParseXml
{
public:
    ClParseXmlUpdate();

    void clear() override;

    int itemCount() const { return clFileEntries.size(); }
    stFileEntry item(int iIndex) const { return clFileEntries.value(iIndex); }
    stFileEntry appEntry() const { return clAppEntry; }
    QStringList processNames() const { return clProcessNames; }
    QList<stFileEntry> removeEntries() const { return clRemoveEntries; }
    QList<stSettingEntry> settingEntries() const { return clSettingEntries; }

protected:
    bool handleNode(const QDomNode& clNode) override;

private:
    void readOwn(const QDomElement& clElement);
    void readPackage(const QDomElement& clElement);
    void readProcess(const QDomElement& clElement);
    void readRemove(const QDomElement& clElement);
    void readSettings(const QDomElement& clElement);

    QList<stFileEntry> clFileEntries;
    stFileEntry clAppEntry;
    QStringList clProcessNames;
    QList<stFileEntry> clRemoveEntries;
    QList<stSettingEntry> clSettingEntries;
};
