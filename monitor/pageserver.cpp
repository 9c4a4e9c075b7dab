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
// the request line or a header line is not HTTP, the headers or the whole
// request grow past their limits, or no answer went out before the deadline. Dropping here
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
    // Ends the connection, with a short error answer when `status` is given
    // (a client that speaks HTTP learns why).
    void drop(const char *why, const char *status = nullptr)
    {
        qCDebug(lcPage) << "dropping connection:" << why;
        // The parser must not see these bytes: its own error path leaves the
        // connection half alive.
        QObject::disconnect(m_socket, &QIODevice::readyRead, nullptr, nullptr);
        if (status && m_socket->state() == QAbstractSocket::ConnectedState) {
            // Close after the answer went out; what the client still sends is
            // read and thrown away, so that the close does not reset the
            // connection under the answer. The deadline still ends it.
            connect(m_socket, &QIODevice::readyRead, m_socket, [s = m_socket] { s->readAll(); });
            connect(m_socket, &QAbstractSocket::disconnected, m_socket, &QObject::deleteLater);
            m_socket->write(QByteArray("HTTP/1.1 ") + status +
                            "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            m_socket->disconnectFromHost();
            return;
        }
        m_socket->abort();
        m_socket->deleteLater();
    }

    void inspect()
    {
        const qint64 n = m_socket->bytesAvailable();
        if (n <= 0)
            return;
        // This runs before the parser, which then takes every byte there is:
        // what is buffered now arrived since the last look.
        const QByteArray chunk = m_socket->peek(n);
        m_total += chunk.size();
        if (m_total > m_limits.maxRequestBytes)
            return drop("request too large", "413 Payload Too Large");
        if (m_headersDone)
            return;
        for (char c : chunk) {
            if (c != '\n') {
                m_line += c;
                if (++m_headerBytes > m_limits.maxHeaderBytes)
                    return drop("headers too large", "431 Request Header Fields Too Large");
                continue;
            }
            if (m_line.endsWith('\r'))
                m_line.chop(1);
            if (!m_lineChecked) {
                m_lineChecked = true;
                if (!looksLikeRequestLine(m_line))
                    return drop("not an HTTP request");
            } else if (m_line.isEmpty()) {
                m_headersDone = true; // a body may follow; its size is bounded above
                return;
            } else if (!looksLikeHeaderLine(m_line)) {
                return drop("malformed header", "400 Bad Request");
            }
            m_line.clear();
        }
    }

    // METHOD SP target SP HTTP/d.d
    static bool looksLikeRequestLine(const QByteArray &line)
    {
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

    // name ":" value, the name a token, the value without control bytes; the
    // parser's own error path would leave such a connection half alive.
    static bool looksLikeHeaderLine(const QByteArray &line)
    {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        for (qsizetype i = 0; i < colon; ++i) {
            const uchar c = uchar(line[i]);
            if (!std::isalnum(c) && !std::strchr("!#$%&'*+-.^_`|~", c))
                return false;
        }
        for (qsizetype i = colon + 1; i < line.size(); ++i) {
            const uchar c = uchar(line[i]);
            if ((c < 0x20 && c != '\t') || c == 0x7f)
                return false;
        }
        const QByteArray name = line.left(colon).toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            if (value.isEmpty() || value.size() > 9)
                return false;
            for (char c : value)
                if (!std::isdigit(uchar(c)))
                    return false;
        }
        // Bodies come with a length only: no chunked uploads to a page.
        if (name == "transfer-encoding")
            return false;
        return true;
    }

    QTcpSocket *m_socket;
    PageServer::Limits m_limits;
    qint64 m_total = 0;
    qint64 m_headerBytes = 0;
    bool m_lineChecked = false;
    bool m_headersDone = false;
    QByteArray m_line;
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
    // The HTTP side and its thread come with the first start: most runs never
    // serve the page, and making them costs start-up time.
    if (!m_http) {
        m_http = new PageHttpServer;
        m_http->moveToThread(&m_thread);
        m_thread.start();
    }
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
