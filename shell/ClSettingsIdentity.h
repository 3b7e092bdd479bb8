#pragma once

#include <QString>

// The process-wide names the preference store files its values under: organisation and
// application. Start-up sets them; the update description reader may change the application half.
// Kept apart from QCoreApplication::applicationName(), which is the translated name users read.
// Used from the GUI thread only, so it is not locked.
class ClSettingsIdentity
{
public:
    static QString organizationName();
    static QString applicationName();
    static void setOrganizationName(const QString& strName);
    static void setApplicationName(const QString& strName);
};
