#include "ctl/ClCtlOutput.h"

#include "camera/ZkVocabulary.h"

#include <QJsonDocument>
#include <QSaveFile>

#include <cstdio>

namespace {

using ZkVocabulary::Kind;
using ZkVocabulary::stSetting;

} // namespace

void ClCtlOutput::printError(const QString& strMessage)
{
    std::fputs((QStringLiteral("kd4ctl: ") + strMessage + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}

void ClCtlOutput::printText(const QString& strText)
{
    std::fputs(strText.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void ClCtlOutput::printLine(const QString& strLine)
{
    printText(strLine + QLatin1Char('\n'));
}

void ClCtlOutput::printJson(const QJsonObject& clObject)
{
    printLine(QString::fromUtf8(QJsonDocument(clObject).toJson(QJsonDocument::Compact)));
}

void ClCtlOutput::listKeys()
{
    const QString strTab = QStringLiteral("\t");
    for (const stSetting& clSetting : ZkVocabulary::settings()) {
        QStringList clFields = { clSetting.strKey };
        switch (clSetting.eKind) {
        case Kind::Choice:
            clFields.append(QStringLiteral("choice"));
            for (const ZkVocabulary::stValue& clValue : clSetting.clValues)
                clFields.append(clValue.strWire);
            break;
        case Kind::Number:
            clFields << QStringLiteral("number") << QString::number(clSetting.iMinimum)
                     << QString::number(clSetting.iMaximum);
            break;
        case Kind::Duration:
            clFields << QStringLiteral("duration") << QString::number(clSetting.iMinimum)
                     << QString::number(clSetting.iMaximum);
            break;
        case Kind::Clock:
            clFields.append(QStringLiteral("clock"));
            break;
        case Kind::Action:
            continue; // the window's business
        }
        printLine(clFields.join(strTab));
    }
    for (const QString& strKey : ZkVocabulary::reportedOnlyKeys())
        printLine(strKey + strTab + QStringLiteral("read-only"));
}

bool ClCtlOutput::writeFile(const QString& strPath, const QByteArray& clData, QString& strError)
{
    QSaveFile clFile(strPath);
    if (clFile.open(QIODevice::WriteOnly) && clFile.write(clData) == clData.size() && clFile.commit())
        return true;
    strError = QStringLiteral("cannot write %1: %2").arg(strPath, clFile.errorString());
    return false;
}

QString ClCtlOutput::keysText(const QStringList& clKeys)
{
    return clKeys.join(QStringLiteral(", "));
}
