#include "app/form1.h"
#include "app/globals.h"
#include "monitor/form5.h"
#include "monitor/page.h"
#include "monitor/pageserver.h"
#include "platform/wait.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <thread>

using testing_support::ProgramFixture;

namespace {

QByteArray fullPage(const QByteArray &content)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<!DOCTYPE wml PUBLIC \"-//WAPFORUM//DTD WML 1.2//EN\" "
           "\"http://www.wapforum.org/DTD/wml1.2.dtd\">"
           "<wml>" +
           content + "</wml>";
}

// One blocking exchange: connect, send, read until the server closes. Works
// from any thread and without an event loop.
QByteArray exchange(quint16 port, const QByteArray &request,
                    const QString &host = QStringLiteral("127.0.0.1"))
{
    QTcpSocket s;
    s.connectToHost(host, port);
    if (!s.waitForConnected(3000))
        return "no connection";
    s.write(request);
    s.waitForBytesWritten(3000);
    QByteArray answer;
    while (s.state() == QAbstractSocket::ConnectedState && s.waitForReadyRead(3000))
        answer += s.readAll();
    answer += s.readAll();
    return answer;
}

QByteArray body(const QByteArray &answer)
{
    const qsizetype at = answer.indexOf("\r\n\r\n");
    return at < 0 ? QByteArray() : answer.mid(at + 4);
}

QByteArray readPage()
{
    QFile f(monitor::kPageFileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
}

void startMeter()
{
    Form1->Edit1->setText(QStringLiteral("11766"));
    Form1->Edit2->setText(QStringLiteral("27500"));
    Form1->SpeedButton1->click();
}

// Runs the program on a free port for the test's lifetime.
struct TestPort
{
    TestPort() { monitor::setPagePortForTesting(quint16(0)); }
    ~TestPort() { monitor::setPagePortForTesting(std::nullopt); }
};

} // namespace

class TestPage : public QObject
{
    Q_OBJECT
private slots:
    void pageBytes_data();
    void pageBytes();
    void pageParts();
    void checkBoxMoments();
    void answersEveryPath_data();
    void answersEveryPath();
    void answersOnIPv6();
    void missingFileAnswers500();
    void answersWhileGuiThreadBlocked();
    void neverServesPartialPage();
    void portTakenStopsLock();
    void badClientsDoNotStopServing();
    void connectionLimitAndDeadline();
};

void TestPage::pageBytes_data()
{
    QTest::addColumn<int>("q");
    QTest::addColumn<int>("l");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("45/67") << 45 << 67 << QByteArray("Q:45|L:67");
    QTest::newRow("0/0") << 0 << 0 << QByteArray("Q:0|L:0");
    QTest::newRow("negative") << -3 << -120 << QByteArray("Q:-3|L:-120");
    QTest::newRow("100/7") << 100 << 7 << QByteArray("Q:100|L:7");
}

void TestPage::pageBytes()
{
    QFETCH(int, q);
    QFETCH(int, l);
    QFETCH(QByteArray, content);
    QCOMPARE(monitor::pageBytes(q, l), fullPage(content));
}

void TestPage::pageParts()
{
    const QByteArray page = monitor::pageBytes(45, 67);
    QCOMPARE(page.size(), 151);
    QCOMPARE(page.indexOf("Q:45") + 2, 138);
    const qsizetype doctype = page.indexOf("<!DOCTYPE");
    QCOMPARE(doctype, 38);
    QCOMPARE(page.indexOf('>', doctype) - doctype + 1, 93);
    QVERIFY(!page.contains('\n') && !page.contains('\r'));
    for (char c : page)
        QVERIFY(uchar(c) < 128);
}

void TestPage::checkBoxMoments()
{
    ProgramFixture f;
    TestPort port;
    startMeter();
    // Ticked only after the lock: pages from the next tick on, but no server.
    Form1->CheckBox5->setChecked(true);
    f.sim.pushReading(45, 67);
    Form1->LMDHiTimer1Timer();
    QCOMPARE(readPage(), fullPage("Q:45|L:67"));
    QVERIFY(!Form1->IdHTTPServer1->isActive());
    Form1->SpeedButton2->click();

    // Ticked at the lock: the server runs; unticked during the run: the page
    // stops changing and the server stays, also after Stop.
    startMeter();
    QVERIFY(Form1->IdHTTPServer1->isActive());
    f.sim.pushReading(50, 60);
    Form1->LMDHiTimer1Timer();
    QCOMPARE(body(exchange(Form1->IdHTTPServer1->port(), "GET / HTTP/1.1\r\nHost: x\r\n\r\n")),
             fullPage("Q:50|L:60"));
    Form1->CheckBox5->setChecked(false);
    f.sim.pushReading(51, 61);
    Form1->LMDHiTimer1Timer();
    QCOMPARE(readPage(), fullPage("Q:50|L:60"));
    Form1->SpeedButton2->click();
    QVERIFY(Form1->IdHTTPServer1->isActive());

    // Level window closed: the meter ends, the server keeps serving until a
    // Stop finds the box ticked.
    Form1->CheckBox5->setChecked(true);
    startMeter();
    f.sim.pushReading(52, 62);
    Form1->LMDHiTimer1Timer();
    Form5->close();
    f.sim.pushReading(53, 63);
    Form1->LMDHiTimer1Timer();
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QCOMPARE(readPage(), fullPage("Q:53|L:63"));
    const quint16 p = Form1->IdHTTPServer1->port();
    QCOMPARE(body(exchange(p, "GET / HTTP/1.1\r\n\r\n")), fullPage("Q:53|L:63"));
    Form1->SpeedButton2->click();
    QVERIFY(!Form1->IdHTTPServer1->isActive());
    QCOMPARE(exchange(p, "GET / HTTP/1.1\r\n\r\n"), QByteArray("no connection"));
    // No meter, no page: the file keeps the last values.
    QCOMPARE(readPage(), fullPage("Q:53|L:63"));
}

void TestPage::answersEveryPath_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<bool>("withBody");
    QTest::newRow("root") << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\r\n") << QByteArray("200")
                          << true;
    QTest::newRow("level.html") << QByteArray("GET /level.html HTTP/1.1\r\n\r\n")
                                << QByteArray("200") << true;
    QTest::newRow("query") << QByteArray("GET /x?y=1 HTTP/1.0\r\n\r\n") << QByteArray("200")
                           << true;
    QTest::newRow("climbing path")
        << QByteArray("GET /../../etc/passwd HTTP/1.1\r\n\r\n") << QByteArray("200") << true;
    QTest::newRow("HEAD") << QByteArray("HEAD / HTTP/1.1\r\n\r\n") << QByteArray("200") << false;
    QTest::newRow("POST with body")
        << QByteArray("POST /form HTTP/1.1\r\nContent-Length: 5\r\n\r\nabcde") << QByteArray("200")
        << true;
    QTest::newRow("keep-alive asked")
        << QByteArray("GET / HTTP/1.1\r\nConnection: keep-alive\r\n\r\n") << QByteArray("200")
        << true;
    QTest::newRow("DELETE") << QByteArray("DELETE / HTTP/1.1\r\n\r\n") << QByteArray("405")
                            << false;
}

void TestPage::answersEveryPath()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, status);
    QFETCH(bool, withBody);
    ProgramFixture f;
    Form1->writePage(45, 67);
    monitor::PageServer server;
    server.start(0);
    // exchange() returns only once the server closed the connection.
    const QByteArray answer = exchange(server.port(), request);
    QVERIFY2(answer.startsWith("HTTP/1.1 " + status), answer.constData());
    if (status == "200") {
        QVERIFY(answer.contains("\r\nContent-Type: text/html\r\n"));
        QVERIFY(answer.contains("\r\nContent-Length: 151\r\n"));
    }
    QCOMPARE(body(answer), withBody ? fullPage("Q:45|L:67") : QByteArray());
}

void TestPage::answersOnIPv6()
{
    ProgramFixture f;
    Form1->writePage(1, 2);
    monitor::PageServer server;
    server.start(0);
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHostIPv6))
        QSKIP("no IPv6 loopback here");
    QCOMPARE(body(exchange(server.port(), "GET / HTTP/1.1\r\n\r\n", QStringLiteral("::1"))),
             fullPage("Q:1|L:2"));
    QCOMPARE(body(exchange(server.port(), "GET / HTTP/1.1\r\n\r\n")), fullPage("Q:1|L:2"));
}

void TestPage::missingFileAnswers500()
{
    ProgramFixture f;
    monitor::PageServer server;
    server.start(0);
    QVERIFY(exchange(server.port(), "GET / HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 500"));
    // The server goes on: once the file exists it is served.
    Form1->writePage(7, 8);
    QCOMPARE(body(exchange(server.port(), "GET / HTTP/1.1\r\n\r\n")), fullPage("Q:7|L:8"));
}

void TestPage::answersWhileGuiThreadBlocked()
{
    ProgramFixture f;
    TestPort port;
    Form1->CheckBox5->setChecked(true);
    startMeter();
    f.sim.pushReading(45, 67);
    Form1->LMDHiTimer1Timer();
    // A receiver wait blocks this thread; the answer must come anyway.
    std::atomic<bool> answered{false};
    QByteArray answer;
    const quint16 p = Form1->IdHTTPServer1->port();
    platform::setWaitFunction([&](int) {
        std::thread client([&] {
            answer = exchange(p, "GET / HTTP/1.1\r\n\r\n");
            answered = true;
        });
        client.join(); // the GUI thread does nothing until the client is done
    });
    platform::waitMs(3000);
    QVERIFY(answered);
    QCOMPARE(body(answer), fullPage("Q:45|L:67"));
}

void TestPage::neverServesPartialPage()
{
    ProgramFixture f;
    Form1->writePage(0, 0);
    monitor::PageServer server;
    server.start(0);
    const quint16 p = server.port();
    static const QRegularExpression valid(QStringLiteral("^Q:\\d+\\|L:\\d+$"));
    std::atomic<bool> done{false};
    std::atomic<int> answers{0}, bad{0};
    auto client = [&] {
        while (!done) {
            const QByteArray b = body(exchange(p, "GET / HTTP/1.1\r\n\r\n"));
            const QByteArray head = fullPage("");
            const bool ok =
                b.size() > head.size() && b.startsWith(head.left(138 - 2)) &&
                b.endsWith("</wml>") &&
                valid.match(QString::fromLatin1(b.mid(136, b.size() - 136 - 6))).hasMatch();
            ++answers;
            bad += !ok;
        }
    };
    std::thread a(client), b(client);
    for (int i = 0; i < 3000; ++i)
        Form1->writePage(i % 1000, (i * 7) % 1000);
    // Let the clients see the last page a few times more.
    while (answers < 50)
        QThread::yieldCurrentThread();
    done = true;
    a.join();
    b.join();
    QCOMPARE(bad.load(), 0);
    QVERIFY(answers >= 50);
}

void TestPage::portTakenStopsLock()
{
    ProgramFixture f;
    QTcpServer holder;
    QVERIFY(holder.listen(QHostAddress::Any, 0));
    monitor::setPagePortForTesting(holder.serverPort());
    Form1->CheckBox5->setChecked(true);
    Form1->SpeedButton3->setEnabled(true);
    f.sim.clearJournal();
    startMeter();
    monitor::setPagePortForTesting(std::nullopt);
    QCOMPARE(f.dialogs.errors, QStringList{QStringLiteral("Address already in use")});
    QVERIFY(Form5->isVisible());
    QVERIFY(!Form1->SpeedButton1->isEnabled());
    QVERIFY(!Form1->SpeedButton3->isEnabled());
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QVERIFY(f.sim.journal().isEmpty()); // not tuned
    QVERIFY(!Form1->IdHTTPServer1->isActive());
    Form1->SpeedButton2->click();
    QVERIFY(Form1->SpeedButton1->isEnabled());
    QVERIFY(!Form5->isVisible());
}

void TestPage::badClientsDoNotStopServing()
{
    ProgramFixture f;
    Form1->writePage(45, 67);
    monitor::PageServer server;
    server.start(0);
    const quint16 p = server.port();
    const QByteArray good = "GET / HTTP/1.1\r\n\r\n";

    // Garbage is dropped without an answer.
    QCOMPARE(exchange(p, QByteArray("\x00\x01\x02 garbage\r\n\r\n", 16)), QByteArray());
    QCOMPARE(body(exchange(p, good)), fullPage("Q:45|L:67"));
    // Malformed header lines, bad lengths and chunked bodies get a plain 400
    // before the parser sees them.
    for (const QByteArray &bad :
         {QByteArray("GET / HTTP/1.1\r\nno colon here\r\n\r\n"),
          QByteArray("GET / HTTP/1.1\r\nBad Name: x\r\n\r\n"),
          QByteArray("GET / HTTP/1.1\r\nX: a\x01b\r\n\r\n"),
          QByteArray("POST / HTTP/1.1\r\nContent-Length: -5\r\n\r\n"),
          QByteArray("POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n")}) {
        QElapsedTimer closing;
        closing.start();
        QCOMPARE(exchange(p, bad), QByteArray("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n"
                                              "Connection: close\r\n\r\n"));
        // Closed at once, not left open until the deadline.
        QVERIFY2(closing.elapsed() < 2000, bad.constData());
        QCOMPARE(body(exchange(p, good)), fullPage("Q:45|L:67"));
    }
    // Headers beyond 64 KiB.
    const QByteArray huge = "GET / HTTP/1.1\r\nX-Big: " + QByteArray(100 * 1024, 'a') + "\r\n\r\n";
    QVERIFY(!exchange(p, huge).startsWith("HTTP/1.1 200"));
    QCOMPARE(body(exchange(p, good)), fullPage("Q:45|L:67"));

    // A slow sender and two hundred idle connections do not hold up others.
    QTcpSocket slow;
    slow.connectToHost(QStringLiteral("127.0.0.1"), p);
    QVERIFY(slow.waitForConnected(3000));
    slow.write("GET / HT");
    slow.waitForBytesWritten(3000);
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 200; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QStringLiteral("127.0.0.1"), p);
    }
    for (auto &s : idle)
        QVERIFY(s->waitForConnected(3000));
    QCOMPARE(body(exchange(p, good)), fullPage("Q:45|L:67"));
    // The slow sender still gets its page when it finishes.
    slow.write("TP/1.1\r\n\r\n");
    QByteArray answer;
    while (slow.state() == QAbstractSocket::ConnectedState && slow.waitForReadyRead(3000))
        answer += slow.readAll();
    QCOMPARE(body(answer), fullPage("Q:45|L:67"));
}

void TestPage::connectionLimitAndDeadline()
{
    ProgramFixture f;
    Form1->writePage(45, 67);
    monitor::PageServer server;
    monitor::PageServer::Limits limits;
    limits.maxConnections = 4;
    limits.deadlineMs = 300;
    server.setLimits(limits);
    server.start(0);
    const quint16 p = server.port();
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 6; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QStringLiteral("127.0.0.1"), p);
        QVERIFY(idle.back()->waitForConnected(3000));
    }
    // Every slot is held by an idle client; the request is answered once the
    // deadline has freed them.
    QCOMPARE(body(exchange(p, "GET / HTTP/1.1\r\n\r\n")), fullPage("Q:45|L:67"));
    QVERIFY(idle.front()->state() != QAbstractSocket::ConnectedState ||
            !idle.front()->waitForReadyRead(1000));
    QCOMPARE(idle.front()->state(), QAbstractSocket::UnconnectedState);
}

ORVANTA_TEST(TestPage)
#include "test_page.moc"
