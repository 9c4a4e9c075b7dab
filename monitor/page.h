#pragma once
// The network page: Q and L as a one-line WML 1.2 page in level.html.
#include <QByteArray>
#include <QString>

namespace monitor {

// Relative name, resolved against the current directory at each use.
inline const QString kPageFileName = QStringLiteral("level.html");

// The page for one reading: XML declaration, WML 1.2 document type, and the
// two values directly inside the root element; no line end.
QByteArray pageBytes(int quality, int level);

} // namespace monitor
