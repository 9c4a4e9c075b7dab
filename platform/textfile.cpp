#include "platform/textfile.h"

#include "platform/cp1251.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

bool LineSplitter::feed(QByteArrayView chunk)
{
    if (m_done)
        return false;
    const char *p = chunk.data();
    const char *end = p + chunk.size();
    while (p < end) {
        // Copy runs of ordinary bytes at once; long lines stay cheap.
        const char *stop = p;
        while (stop < end && *stop != '\n' && *stop != '\r' && *stop != 26)
            ++stop;
        if (stop > p) {
            m_line.append(p, stop - p);
            m_pending = true;
            p = stop;
            continue;
        }
        const char c = *p++;
        if (c == '\r') {
            m_pending = true;
        } else if (c == '\n') {
            m_pending = false;
            const bool more = m_onLine(m_line);
            m_line.clear();
            if (!more) {
                m_done = true;
                return false;
            }
        } else { // byte 26
            finish();
            m_done = true;
            return false;
        }
    }
    return true;
}

void LineSplitter::finish()
{
    if (m_pending && !m_done)
        m_onLine(m_line);
    m_pending = false;
    m_done = true;
}

void splitLines(QByteArrayView text, const std::function<bool(QByteArrayView)> &onLine)
{
    LineSplitter splitter(onLine);
    if (splitter.feed(text))
        splitter.finish();
}

void readLines(const QString &path, const std::function<bool(QByteArrayView)> &onLine)
{
    Fd file;
    // Non-blocking, so that a pipe named like a list file cannot hang the open.
    file.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file.fd < 0)
        throw IoError::fromErrno(errno);
    struct stat st
    {};
    if (::fstat(file.fd, &st) != 0)
        throw IoError::fromErrno(errno);
    // Pipes and devices are no text files (a device may never end); a directory
    // fails at its first read with the system's own text.
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        throw IoError(QStringLiteral("Not a regular file"));

    LineSplitter splitter(onLine);
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw IoError::fromErrno(errno);
        }
        if (n == 0)
            break;
        if (!splitter.feed(QByteArrayView(buffer, n)))
            return;
    }
    splitter.finish();
}

void writeFileAtomically(const QString &path, QByteArrayView bytes)
{
    const QString temp = path + QStringLiteral(".tmp%1").arg(::getpid());
    const QByteArray tempName = QFile::encodeName(temp);
    Fd file;
    file.fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file.fd < 0)
        throw IoError::cannotCreate(path, errno);
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(file.fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::unlink(tempName.constData());
            throw IoError::cannotCreate(path, err);
        }
        p += n;
        left -= n;
    }
    const int closed = ::close(file.fd);
    file.fd = -1;
    if (closed != 0) {
        const int err = errno;
        ::unlink(tempName.constData());
        throw IoError::cannotCreate(path, err);
    }
    if (::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0) {
        const int err = errno;
        ::unlink(tempName.constData());
        throw IoError::cannotCreate(path, err);
    }
}

void writeLinesCp1251(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString &l : lines)
        size += l.size() + 2;
    bytes.reserve(size);
    for (const QString &l : lines) {
        bytes += toCp1251(l);
        bytes += "\r\n";
    }
    writeFileAtomically(path, bytes);
}

} // namespace platform
