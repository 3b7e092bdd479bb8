#pragma once

#include <QString>

// The framing grids the live view draws over the picture, chosen on the simple settings page. A
// choice of this program only: it never reaches the camera.
namespace GridKind {
inline const QString NONE = QStringLiteral("grid_none");
inline const QString DIV4 = QStringLiteral("grid_div4");
inline const QString DIV9 = QStringLiteral("grid_div9");
inline const QString DIAGONAL = QStringLiteral("grid_diagonal");
} // namespace GridKind
