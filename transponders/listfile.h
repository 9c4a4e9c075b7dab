#pragma once
// Satellite list files: the satellite name and the transponder entries.
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace transponders {

// Among the lines before the first one containing "DVB", the last containing
// "2=" gives the name: its text after the first "2=". Empty when there is none.
// Reading stops at the first "DVB" line, since nothing after it can change the
// name. Raises platform::IoError when the file cannot be read.
QString ReadSatelliteName(const QString &path);

// The transponder entries: inside the region a "DVB" line opens and an
// "[UPDATE]" line closes, every line with "=" not beginning with "0=" gives
// its text after the first "=". Raises platform::IoError.
QStringList readTransponderEntries(const QString &path);

// The same rules over a list file's bytes in memory.
QString satelliteNameFromText(QByteArrayView text);
QStringList entriesFromText(QByteArrayView text);

// True when a directory entry name is a list file name: it contains ".ini",
// compared without regard to case.
bool isListFileName(const QString &name);

} // namespace transponders
