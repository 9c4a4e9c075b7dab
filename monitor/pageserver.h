#pragma once
// The page server: hands level.html to every GET, HEAD and POST request,
// whatever the path. It runs on a thread of its own, so it keeps answering
// while the user-interface thread waits on the receiver.
#include <QObject>
#include <QThread>
#include <optional>

namespace monitor {

class PageHttpServer;

// The port every lock gives the server.
inline constexpr quint16 kPagePort = 80;
// The port a lock uses: kPagePort unless a test chose another (0: any free one).
quint16 pagePort();
void setPagePortForTesting(std::optional<quint16> port);

class PageServer : public QObject
{
    Q_OBJECT
public:
    // What one client may hold; beyond these its connection is dropped.
    struct Limits
    {
        int maxConnections = 256;            // more wait in the system's queue
        qint64 maxHeaderBytes = 64 * 1024;   // request line and headers
        qint64 maxRequestBytes = 256 * 1024; // with the body
        int deadlineMs = 10000;              // from accept to the answer
    };

    explicit PageServer(QObject *parent = nullptr);
    ~PageServer() override;

    // Listens on all local addresses (IPv4 and IPv6) at `port`; nothing when
    // already listening. Raises platform::Error with the system's text.
    void start(quint16 port);
    // Stops listening and closes every connection.
    void stop();
    bool isActive() const;
    quint16 port() const; // the bound port while active

    void setLimits(const Limits &limits); // before start

private:
    QThread m_thread;
    PageHttpServer *m_http = nullptr; // lives on m_thread
    quint16 m_port = 0;
    Limits m_limits;
};

} // namespace monitor
