#include "shell/ClSettingsIdentity.h"

namespace {

struct stIdentity
{
    QString strOrganization;
    QString strApplication;
};

// Created empty on first use.
stIdentity& identity()
{
    static stIdentity clIdentity;
    return clIdentity;
}

} // namespace

QString ClSettingsIdentity::organizationName()
{
    return identity().strOrganization;
}

QString ClSettingsIdentity::applicationName()
{
    return identity().strApplication;
}

void ClSettingsIdentity::setOrganizationName(const QString& strName)
{
    identity().strOrganization = strName;
}

void ClSettingsIdentity::setApplicationName(const QString& strName)
{
    identity().strApplication = strName;
}
