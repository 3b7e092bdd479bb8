#include "tests/resources/ClTsCatalogue.h"

#include <QFile>
#include <QXmlStreamReader>

bool ClTsCatalogue::load(const QString& strPath, QString* pstrError)
{
    clEntries.clear();
    strLanguage.clear();
    QFile clFile(strPath);
    if (!clFile.open(QIODevice::ReadOnly)) {
        *pstrError = strPath + QStringLiteral(": ") + clFile.errorString();
        return false;
    }
    QXmlStreamReader clXml(&clFile);
    QString strContext;
    stTsEntry clEntry;
    while (!clXml.atEnd()) {
        clXml.readNext();
        if (clXml.isStartElement()) {
            const QStringRef clName = clXml.name();
            if (clName == QLatin1String("TS")) {
                strLanguage = clXml.attributes().value(QStringLiteral("language")).toString();
            } else if (clName == QLatin1String("context")) {
                strContext.clear();
            } else if (clName == QLatin1String("name")) {
                strContext = clXml.readElementText();
            } else if (clName == QLatin1String("message")) {
                clEntry = stTsEntry();
                clEntry.strContext = strContext;
            } else if (clName == QLatin1String("source")) {
                clEntry.strSource = clXml.readElementText();
            } else if (clName == QLatin1String("translation")) {
                clEntry.strType = clXml.attributes().value(QStringLiteral("type")).toString();
                clEntry.strTranslation = clXml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (clXml.isEndElement() && clXml.name() == QLatin1String("message")) {
            clEntries.append(clEntry);
        }
    }
    if (clXml.hasError()) {
        *pstrError
            = QStringLiteral("%1: line %2: %3").arg(strPath).arg(clXml.lineNumber()).arg(clXml.errorString());
        return false;
    }
    return true;
}

QSet<QPair<QString, QString>> ClTsCatalogue::keys() const
{
    QSet<QPair<QString, QString>> clKeys;
    for (const stTsEntry& clEntry : clEntries)
        clKeys.insert(qMakePair(clEntry.strContext, clEntry.strSource));
    return clKeys;
}
