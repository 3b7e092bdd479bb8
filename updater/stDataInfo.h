#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

// One downloaded and verified update file.
struct stDataInfo
{
    QString strFileName; // as written in the update description
    QByteArray clData;
};

Q_DECLARE_METATYPE(stDataInfo)
Q_DECLARE_METATYPE(QList<stDataInfo>)
