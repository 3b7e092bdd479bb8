#pragma once

#include <QList>
#include <QPair>
#include <QSet>
#include <QString>

// One message of a Qt Linguist .ts catalogue.
struct stTsEntry
{
    QString strContext;
    QString strSource;
    QString strTranslation;
    QString strType; // the translation's "type" attribute: empty when finished
};

// Reads a .ts catalogue (the source of a compiled .qm, or what lupdate writes for the code).
class ClTsCatalogue
{
public:
    bool load(const QString& strPath, QString* pstrError);

    QString language() const { return strLanguage; }
    const QList<stTsEntry>& entries() const { return clEntries; }
    // Distinct (context, source) pairs.
    QSet<QPair<QString, QString>> keys() const;

private:
    QString strLanguage;
    QList<stTsEntry> clEntries;
};
