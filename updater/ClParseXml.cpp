#include "ClParseXml.h"

#include "ClXmlException.h"

#include <QFile>

#include <memory>

ClParseXml::ClParseXml() = default;

ClParseXml::~ClParseXml() = default;

bool ClParseXml::parseFile(const QString& strPath)
{
    if (strPath.isEmpty())
        return false;
    QFile clFile(strPath);
    if (!clFile.open(QIODevice::ReadOnly))
        return false;
    const QByteArray clData = clFile.readAll();
    if (clData.isEmpty())
        return false;
    return parseData(clData);
}

bool ClParseXml::parseData(const QByteArray& clData)
{
    clear();
    if (!clDocument.setContent(clData) || !clDocument.hasChildNodes()) {
        clDocument.clear();
        return false;
    }

    for (QDomNode clChild = clDocument.firstChild(); !clChild.isNull(); clChild = clChild.nextSibling()) {
        try {
            walkNode(clChild);
        } catch (ClXmlException* pclException) {
            // A faulty node costs only the rest of its own subtree.
            const std::unique_ptr<ClXmlException> pclOwned(pclException);
            pclOwned->handle();
            strErrorMessage = pclOwned->message();
        }
    }
    clDocument.clear();
    return true;
}

void ClParseXml::clear() { }

void ClParseXml::walkNode(const QDomNode& clNode)
{
    if (!handleNode(clNode))
        return;
    for (QDomNode clChild = clNode.firstChild(); !clChild.isNull(); clChild = clChild.nextSibling())
        walkNode(clChild);
}
