#include "platform/textfile.h"

#include "platform/cp1251.h"
#include "platform/errors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
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

void readLines(const QString &path, const std::function<bool(QByteArrayView)> &onLine)
{
    Fd file;
    file.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (file.fd < 0)
        throw IoError::fromErrno(errno);

    QByteArray line;
    char buffer[65536];
    bool pending = false; // bytes of an unfinished line
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw IoError::fromErrno(errno);
        }
        if (n == 0)
            break;
        const char *p = buffer;
        const char *end = buffer + n;
        while (p < end) {
            const char c = *p++;
            if (c == '\n') {
                if (!onLine(line))
                    return;
                line.clear();
                pending = false;
            } else if (c == 26) {
                if (pending)
                    onLine(line);
                return;
            } else {
                pending = true;
                if (c != '\r')
                    line.append(c);
            }
        }
    }
    if (pending)
        onLine(line);
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
