#include "monitor/pageserver.h"

#include "monitor/page.h"
#include "platform/errors.h"

#include <QAbstractHttpServer>
#include <QFile>
#include <QHttpServerRequest>
#include <QLoggingCategory>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cctype>
#include <cerrno>
#include <cstring>

Q_LOGGING_CATEGORY(lcPage, "orvanta.page")

namespace monitor {

namespace {
std::optional<quint16> g_testPort;

QString systemText(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Watches one connection before the HTTP parser sees its bytes: drops it when
// the request line is not HTTP, the headers or the whole request grow past
// their limits, or no answer went out before the deadline. Dropping here
// keeps a bad client from holding memory or a connection slot for long.
class ConnectionGuard : public QObject
{
public:
    ConnectionGuard(QTcpSocket *socket, const PageServer::Limits &limits)
        : QObject(socket), m_socket(socket), m_limits(limits)
    {
        connect(socket, &QIODevice::readyRead, this, &ConnectionGuard::inspect);
        auto *deadline = new QTimer(this);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, this, [this] { drop("deadline"); });
        deadline->start(m_limits.deadlineMs);
    }

private:
    void drop(const char *why)
    {
        qCDebug(lcPage) << "dropping connection:" << why;
        // The parser must not see these bytes: its own error path leaves the
        // connection half alive.
        QObject::disconnect(m_socket, &QIODevice::readyRead, nullptr, nullptr);
        m_socket->abort();
        m_socket->deleteLater();
    }

    void inspect()
    {
        const qint64 n = m_socket->bytesAvailable();
        if (n <= 0)
            return;
        const QByteArray chunk = m_socket->peek(n);
        m_total += chunk.size();
        if (m_total > m_limits.maxRequestBytes)
            return drop("request too large");
        if (!m_lineChecked) {
            m_line += chunk.left(8192);
            const qsizetype end = m_line.indexOf('\n');
            if (end < 0) {
                if (m_line.size() >= 8192)
                    drop("request line too long");
                return inspectHeaders(chunk);
            }
            m_lineChecked = true;
            if (!looksLikeRequestLine(m_line.left(end)))
                return drop("not an HTTP request");
            m_line.clear();
        }
        inspectHeaders(chunk);
    }

    void inspectHeaders(const QByteArray &chunk)
    {
        if (m_headersDone)
            return;
        // The blank line may straddle two chunks: search with the last bytes
        // of the previous one in front.
        const QByteArray seen = m_tail + chunk;
        qsizetype end = seen.indexOf("\r\n\r\n");
        if (end < 0)
            end = seen.indexOf("\n\n");
        const qsizetype inChunk = (end < 0 ? seen.size() : end) - m_tail.size();
        if (m_headerBytes + inChunk > m_limits.maxHeaderBytes)
            return drop("headers too large");
        if (end >= 0) {
            m_headersDone = true;
            return;
        }
        m_headerBytes += chunk.size();
        m_tail = seen.right(3);
    }

    // METHOD SP target SP HTTP/d.d, with an optional CR.
    static bool looksLikeRequestLine(QByteArray line)
    {
        if (line.endsWith('\r'))
            line.chop(1);
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3 || parts[0].isEmpty() || parts[1].isEmpty())
            return false;
        for (char c : parts[0])
            if (c < 'A' || c > 'Z')
                return false;
        const QByteArray &v = parts[2];
        return v.size() == 8 && v.startsWith("HTTP/") && std::isdigit(uchar(v[5])) && v[6] == '.' &&
               std::isdigit(uchar(v[7]));
    }

    QTcpSocket *m_socket;
    PageServer::Limits m_limits;
    qint64 m_total = 0;
    qint64 m_headerBytes = 0;
    bool m_lineChecked = false;
    bool m_headersDone = false;
    QByteArray m_line;
    QByteArray m_tail;
};

// Accepts connections up to the limit; further clients wait in the system's
// queue until a slot is free.
class GuardedTcpServer : public QTcpServer
{
public:
    GuardedTcpServer(QObject *parent, const PageServer::Limits &limits)
        : QTcpServer(parent), m_limits(limits)
    {
        setMaxPendingConnections(limits.maxConnections);
    }
    ~GuardedTcpServer() override
    {
        // Close the connections while the counting above is still whole.
        qDeleteAll(findChildren<QTcpSocket *>(Qt::FindDirectChildrenOnly));
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        new ConnectionGuard(socket, m_limits);
        ++m_live;
        connect(socket, &QObject::destroyed, this, [this] {
            --m_live;
            if (m_paused && m_live < m_limits.maxConnections) {
                m_paused = false;
                resumeAccepting();
            }
        });
        if (m_live >= m_limits.maxConnections) {
            m_paused = true;
            pauseAccepting();
        }
        addPendingConnection(socket);
    }

private:
    PageServer::Limits m_limits;
    int m_live = 0;
    bool m_paused = false;
};

} // namespace

// The HTTP side, living on the server's thread.
class PageHttpServer : public QAbstractHttpServer
{
public:
    using QAbstractHttpServer::QAbstractHttpServer;

    // Returns the bound port, or 0 with `error` set.
    quint16 listenOn(quint16 port, const PageServer::Limits &limits, QString *error)
    {
        auto *tcp = new GuardedTcpServer(this, limits);
        if (!tcp->listen(QHostAddress::Any, port)) {
            switch (tcp->serverError()) {
            case QAbstractSocket::AddressInUseError:
                *error = systemText(EADDRINUSE);
                break;
            case QAbstractSocket::SocketAccessError:
                *error = systemText(EACCES);
                break;
            default:
                *error = tcp->errorString();
            }
            delete tcp;
            return 0;
        }
        bind(tcp);
        return tcp->serverPort();
    }

    void closeAll()
    {
        // Deleting a listener closes it and every connection it accepted.
        qDeleteAll(servers());
    }

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override
    {
        using Method = QHttpServerRequest::Method;
        const Method method = request.method();
        QByteArray answer;
        if (method == Method::Get || method == Method::Head || method == Method::Post) {
            // Only the page file, whatever the request asked for.
            QFile file(kPageFileName);
            QByteArray body;
            bool ok = file.open(QIODevice::ReadOnly);
            if (ok) {
                body = file.readAll();
                ok = file.error() == QFileDevice::NoError;
            }
            if (ok) {
                answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                         QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
                if (method != Method::Head)
                    answer += body;
            } else {
                answer = "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n"
                         "Connection: close\r\n\r\n";
            }
        } else {
            answer = "HTTP/1.1 405 Method Not Allowed\r\nAllow: GET, HEAD, POST\r\n"
                     "Content-Length: 0\r\nConnection: close\r\n\r\n";
        }
        socket->write(answer);
        // One request per connection.
        socket->disconnectFromHost();
        return true;
    }

    void missingHandler(const QHttpServerRequest &, QTcpSocket *socket) override
    {
        socket->abort();
    }
};

quint16 pagePort()
{
    return g_testPort.value_or(kPagePort);
}

void setPagePortForTesting(std::optional<quint16> port)
{
    g_testPort = port;
}

PageServer::PageServer(QObject *parent) : QObject(parent)
{
    m_thread.setObjectName(QStringLiteral("PageServer"));
    m_http = new PageHttpServer;
    m_http->moveToThread(&m_thread);
    m_thread.start();
}

PageServer::~PageServer()
{
    stop();
    m_thread.quit();
    m_thread.wait();
    delete m_http;
}

void PageServer::setLimits(const Limits &limits)
{
    m_limits = limits;
}

void PageServer::start(quint16 port)
{
    if (m_port != 0)
        return;
    QString error;
    quint16 bound = 0;
    QMetaObject::invokeMethod(
        m_http, [&] { bound = m_http->listenOn(port, m_limits, &error); },
        Qt::BlockingQueuedConnection);
    if (bound == 0)
        throw platform::Error(error);
    m_port = bound;
}

void PageServer::stop()
{
    if (m_port == 0)
        return;
    QMetaObject::invokeMethod(
        m_http, [this] { m_http->closeAll(); }, Qt::BlockingQueuedConnection);
    m_port = 0;
}

bool PageServer::isActive() const
{
    return m_port != 0;
}

quint16 PageServer::port() const
{
    return m_port;
}

} // namespace monitor
