#include "updater/ClParseXml.h"

#include "updater/ClXmlException.h"

#include <QFile>
#include <QXmlStreamReader>

#include <memory>

namespace {

// The DOM reader descends one call per element level, and so does walkNode(): a text nested some
// thousands of levels deep (a few kilobytes) would exhaust the stack and end the program. The
// stream reader that counts the levels first keeps its own stack on the heap. A text it finds
// malformed is refused as well: it may have stopped before a deep part that the DOM reader, which
// lets a little more pass (undeclared namespace prefixes, for one), would still descend into.
bool refusedBeforeReading(const QByteArray& clData)
{
    QXmlStreamReader clReader(clData);
    clReader.setNamespaceProcessing(false); // the DOM reader does not check prefixes either
    int iDepth = 0;
    while (!clReader.atEnd()) {
        const QXmlStreamReader::TokenType eToken = clReader.readNext();
        if (eToken == QXmlStreamReader::StartElement && ++iDepth > ClParseXml::MAX_ELEMENT_DEPTH)
            return true;
        if (eToken == QXmlStreamReader::EndElement)
            --iDepth;
    }
    return clReader.hasError();
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
    if (refusedBeforeReading(clData) || !clDocument.setContent(clData) || !clDocument.hasChildNodes()) {
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
