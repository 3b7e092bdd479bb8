#include "updater/ClCreateXml.h"

#include <QSaveFile>

ClCreateXml::ClCreateXml() = default;

ClCreateXml::~ClCreateXml() = default;

bool ClCreateXml::save(const QString& strPath)
{
    const QByteArray clData = toByteArray();
    if (clData.isEmpty())
        return false;
    // The user's own settings, the network file with a proxy password among them: readable by the
    // owner alone from before the first byte, and replacing the old file only when complete.
    QSaveFile clFile(strPath);
    if (!clFile.open(QIODevice::WriteOnly)
        || !clFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    if (clFile.write(clData) != clData.size()) {
        clFile.cancelWriting();
        return false;
    }
    return clFile.commit();
}

QByteArray ClCreateXml::toByteArray()
{
    return clDocument.toByteArray(1);
}

QDomElement ClCreateXml::createElement(const QString& strName, QDomNode clParent)
{
    QDomElement clElement = clDocument.createElement(strName);
    if (clParent.isNull())
        clDocument.appendChild(clElement);
    else
        clParent.appendChild(clElement);
    return clElement;
}

bool ClCreateXml::setText(QDomNode clNode, const QString& strText)
{
    if (clNode.isNull())
        return false;
    for (QDomNode clChild = clNode.firstChild(); !clChild.isNull(); clChild = clChild.nextSibling()) {
        if (clChild.isText() && clChild.nodeValue() == strText)
            return false;
    }
    return !clNode.appendChild(clDocument.createTextNode(strText)).isNull();
}

bool ClCreateXml::setAttribute(QDomNode clNode, const QString& strName, const QString& strValue)
{
    if (clNode.isNull() || !clNode.isElement() || strName.isEmpty() || strValue.isEmpty())
        return false;
    // setAttribute replaces the value of an attribute that is already there.
    clNode.toElement().setAttribute(strName, strValue);
    return true;
}
