#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// Base of the DOM readers: loads a file or text and hands every node, depth first, to
// handleNode(), which decides whether the node's children are visited as well.
class ClParseXml
{
public:
    // Neither file nests more than a handful of levels; a deeper text is refused like malformed XML.
    static constexpr int MAX_ELEMENT_DEPTH = 256;

    ClParseXml();
    virtual ~ClParseXml();
    ClParseXml(const ClParseXml&) = delete;
    ClParseXml& operator=(const ClParseXml&) = delete;

    // False for an empty path, an unreadable or empty file; otherwise parseData() of its content.
    bool parseFile(const QString& strPath);
    // False when the text is not well-formed XML, nests too deep or holds no nodes.
    bool parseData(const QByteArray& clData);

    // Message of the last ClXmlException caught while reading.
    QString errorMessage() const { return strErrorMessage; }

    // Forgets earlier results; the base keeps nothing.
    virtual void clear();

protected:
    // True when the node's children are to be visited too.
    virtual bool handleNode(const QDomNode& clNode) = 0;
    void walkNode(const QDomNode& clNode);

    QDomDocument clDocument;
    QString strErrorMessage;
};
