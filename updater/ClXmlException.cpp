#include "updater/ClXmlException.h"

ClXmlException::ClXmlException(const QString& strText)
    : strMessage(strText)
{
}

ClXmlException::~ClXmlException() = default;

void ClXmlException::handle() { }

QString ClXmlException::message() const
{
    return strMessage;
}
