#include "shell/ClSetting.h"

#include "shell/ClSettingsIdentity.h"

#include <QSettings>

namespace {

QSettings::Scope toScope(int iScope)
{
    return iScope == QSettings::SystemScope ? QSettings::SystemScope : QSettings::UserScope;
}

} // namespace

ClSetting::~ClSetting() = default;

std::unique_ptr<QSettings> ClSetting::open(int iScope) const
{
    return std::make_unique<QSettings>(static_cast<QSettings::Format>(iFormat), toScope(iScope),
        ClSettingsIdentity::organizationName(), ClSettingsIdentity::applicationName());
}

void ClSetting::writeValue(const QString& strKey, const QVariant& clValue, int iScope)
{
    open(iScope)->setValue(strKey, clValue);
}

void ClSetting::writeValue(const QString& strKey, const QVariant& clValue)
{
    writeValue(strKey, clValue, iDefaultScope);
}

QVariant ClSetting::readValue(const QString& strKey, const QVariant& clDefault, int iScope)
{
    return open(iScope)->value(strKey, clDefault);
}

QVariant ClSetting::readValue(const QString& strKey, const QVariant& clDefault)
{
    return readValue(strKey, clDefault, iDefaultScope);
}

QVariant ClSetting::readValueOrStore(const QString& strKey, const QVariant& clDefault, int iScope)
{
    const QVariant clValue = readValue(strKey, clDefault, iScope);
    if (clValue == clDefault)
        writeValue(strKey, clDefault, iScope);
    return clValue;
}

QVariant ClSetting::readValueOrStore(const QString& strKey, const QVariant& clDefault)
{
    return readValueOrStore(strKey, clDefault, iDefaultScope);
}

QStringList ClSetting::groupNames(const QString& strGroup, int iScope)
{
    const std::unique_ptr<QSettings> pclSettings = open(iScope);
    pclSettings->beginGroup(strGroup);
    return pclSettings->childGroups();
}

QStringList ClSetting::groupNames(const QString& strGroup)
{
    return groupNames(strGroup, iDefaultScope);
}

QStringList ClSetting::keyNames(const QString& strGroup, int iScope)
{
    const std::unique_ptr<QSettings> pclSettings = open(iScope);
    pclSettings->beginGroup(strGroup);
    return pclSettings->childKeys();
}

QStringList ClSetting::keyNames(const QString& strGroup)
{
    return keyNames(strGroup, iDefaultScope);
}

void ClSetting::setFormat(int iNewFormat)
{
    iFormat = iNewFormat;
}

void ClSetting::setScope(int iNewScope)
{
    iDefaultScope = iNewScope;
}

void ClSetting::removeKey(const QString& strKey, int iScope)
{
    open(iScope)->remove(strKey);
}

void ClSetting::removeKey(const QString& strKey)
{
    removeKey(strKey, iDefaultScope);
}
