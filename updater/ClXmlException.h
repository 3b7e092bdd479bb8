#pragma once

#include <QString>

// Thrown by pointer out of a node handler of an XML reader; the reader catches it, keeps its
// message and goes on with the next top-level node.
class ClXmlException
{
public:
    explicit ClXmlException(const QString& strMessage);
    virtual ~ClXmlException();

    // Lets a subclass react (clean up, note details) before the reader takes the message.
    virtual void handle();
    virtual QString message() const;

private:
    QString strMessage;
};
