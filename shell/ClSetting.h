#pragma once

#include <QStringList>
#include <QVariant>

#include <memory>

class QSettings;

// The program's small preference store over QSettings, under the process-wide organisation and
// application names of ClSettingsIdentity. Every operation opens and closes the store, so nothing is cached.
class ClSetting
{
public:
    ClSetting() = default;
    virtual ~ClSetting();

    virtual void writeValue(const QString& strKey, const QVariant& clValue, int iScope);
    virtual void writeValue(const QString& strKey, const QVariant& clValue);
    virtual QVariant readValue(const QString& strKey, const QVariant& clDefault, int iScope);
    virtual QVariant readValue(const QString& strKey, const QVariant& clDefault);
    virtual QVariant readValueOrStore(const QString& strKey, const QVariant& clDefault, int iScope);
    virtual QVariant readValueOrStore(const QString& strKey, const QVariant& clDefault);
    virtual QStringList groupNames(const QString& strGroup, int iScope);
    virtual QStringList groupNames(const QString& strGroup);
    virtual QStringList keyNames(const QString& strGroup, int iScope);
    virtual QStringList keyNames(const QString& strGroup);
    virtual void setFormat(int iFormat);
    virtual void setScope(int iScope);
    virtual void removeKey(const QString& strKey, int iScope);
    virtual void removeKey(const QString& strKey);

private:
    std::unique_ptr<QSettings> open(int iScope) const;

    int iFormat = 0; // QSettings::NativeFormat
    int iDefaultScope = 0; // QSettings::UserScope
};
