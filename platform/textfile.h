#pragma once
// Text files as the list files and the saved reports have them.
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

// Reads the file line by line: LF ends a line, a CR anywhere is dropped, a byte
// 26 ends the file, a last line without LF still counts; lines have no length
// limit. `onLine` gets each line's raw bytes and returns false to stop early.
// Raises IoError with the system's text when the file cannot be opened or read
// (a directory, a missing or unreadable file).
void readLines(const QString &path, const std::function<bool(QByteArrayView line)> &onLine);

// The same line rules over bytes in memory, fed chunk by chunk: LF ends a
// line, CR is dropped, byte 26 ends the text.
class LineSplitter
{
public:
    explicit LineSplitter(const std::function<bool(QByteArrayView line)> &onLine) : m_onLine(onLine)
    {}
    // Returns false once the text has ended (byte 26, or the callback said stop).
    bool feed(QByteArrayView chunk);
    // Hands over a last line without LF.
    void finish();

private:
    const std::function<bool(QByteArrayView)> &m_onLine;
    QByteArray m_line;
    bool m_pending = false;
    bool m_done = false;
};

// Splits `text` into lines as readLines does.
void splitLines(QByteArrayView text, const std::function<bool(QByteArrayView line)> &onLine);

// Writes `lines` in Windows-1251, each followed by CR LF, no byte-order mark.
// The bytes go to a temporary file in the same folder that is then renamed
// over `path`, so a failed save leaves an existing file whole. Raises IoError
// naming the file and the system's reason.
void writeLinesCp1251(const QString &path, const QStringList &lines);

// Replaces `path` with `bytes` the same way (temporary file, then rename).
void writeFileAtomically(const QString &path, QByteArrayView bytes);

} // namespace platform
