#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QString>

// Base of the XML writers: builds a DOM tree and saves it without an XML declaration, indented
// by one space per level, in UTF-8.
class ClCreateXml
{
public:
    ClCreateXml();
    virtual ~ClCreateXml();
    ClCreateXml(const ClCreateXml&) = delete;
    ClCreateXml& operator=(const ClCreateXml&) = delete;

    // False when there is nothing to write or the file cannot be written. The file is readable
    // and writable by its owner only.
    virtual bool save(const QString& strPath);
    virtual QByteArray toByteArray();
    // Appends a new element to the parent, or to the document itself for a null parent.
    virtual QDomElement createElement(const QString& strName, QDomNode clParent);
    // False for a null node or when the node already has a text child with this value.
    virtual bool setText(QDomNode clNode, const QString& strText);
    // False unless the node is an element and name and value are both given.
    virtual bool setAttribute(QDomNode clNode, const QString& strName, const QString& strValue);

protected:
    QDomDocument clDocument;
};
