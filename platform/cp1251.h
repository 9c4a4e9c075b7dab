#pragma once
// Windows-1251, the single-byte code page of the program's texts and files.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

QString fromCp1251(QByteArrayView bytes);
// Characters outside the code page become '?'.
QByteArray toCp1251(QStringView text);

} // namespace platform
