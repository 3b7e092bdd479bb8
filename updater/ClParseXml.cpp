#include "ClParseXml.h"

#include "ClXmlException.h"

#include <QFile>
#include <QXmlStreamReader>

#include <memory>

namespace {

// The DOM reader descends one call per element level, and so does walkNode(): a text nested some
// thousands of levels deep (a few kilobytes) would exhaust the stack and end the program. The
// stream reader that counts the levels first keeps its own stack on the heap.
bool nestsTooDeep(const QByteArray& clData)
{
    QXmlStreamReader clReader(clData);
    int iDepth = 0;
    while (!clReader.atEnd()) {
        const QXmlStreamReader::TokenType eToken = clReader.readNext();
        if (eToken == QXmlStreamReader::StartElement && ++iDepth > ClParseXml::MAX_ELEMENT_DEPTH)
            return true;
        if (eToken == QXmlStreamReader::EndElement)
            --iDepth;
    }
    return false;
}

} // namespace

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
    if (nestsTooDeep(clData) || !clDocument.setContent(clData) || !clDocument.hasChildNodes()) {
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
