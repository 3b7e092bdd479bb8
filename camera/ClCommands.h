#pragma once

#include <QUuid>

// Identities of the commands the camera layer executes (carried under "CMD").
inline const QUuid CMD_START_SESSION { QStringLiteral("{B75E0947-E1BF-485e-81E7-3234F96937C2}") };
inline const QUuid CMD_STOP_SESSION { QStringLiteral("{B9FD3BC7-53E7-43ad-B9BD-4E0AC0507B97}") };
inline const QUuid CMD_GET_ALL_SETTINGS { QStringLiteral("{150F2C92-40C8-4cc2-A79E-B6EDF4B93AA6}") };
inline const QUuid CMD_SET_SETTING { QStringLiteral("{468012C9-E701-408e-ADD3-2F1663F37AF3}") };
inline const QUuid CMD_START_LIVE { QStringLiteral("{FC6F56F8-DA32-4d7b-BAD6-7EAC7928AF87}") };
inline const QUuid CMD_STOP_LIVE { QStringLiteral("{BADBBD4E-B86C-43e3-8B4E-7000E0911858}") };
inline const QUuid CMD_FORMAT { QStringLiteral("{262B85F3-D08C-467c-B4A3-80B8E8908CE5}") };
inline const QUuid CMD_MSG_513 { QStringLiteral("{104F9E3B-7F26-4d06-90E3-39BE4064A09B}") };
inline const QUuid CMD_MSG_514 { QStringLiteral("{44ACCEDC-EDC7-4bc1-80BB-3993E68E5091}") };
inline const QUuid CMD_MSG_769 { QStringLiteral("{3BC8B48A-E5D8-4e81-BBA0-4B3E4A55783D}") };
