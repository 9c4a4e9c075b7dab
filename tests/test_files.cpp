#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/library.h"
#include "platform/textfile.h"
#include "receiver/device.h"
#include "tests/support/testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

class TestFiles : public QObject
{
    Q_OBJECT
private slots:
    void writerBytes();
    void writerReplacesWithoutAsking();
    void failedSaveKeepsOldFile();
    void cp1251RoundTrip();
    void exportNames_data();
    void exportNames();
    void loaderUsesRealLibrary();
    void loaderSearchOrder();
};

static QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void TestFiles::writerBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("report.txt");
    platform::writeLinesCp1251(
        path, {QStringLiteral("Спутник - X"), QString(), QStringLiteral("Cигнал: 5")});
    QCOMPARE(readAll(path),
             QByteArray("\xd1\xef\xf3\xf2\xed\xe8\xea - X\r\n\r\nC\xe8\xe3\xed\xe0\xeb: 5\r\n"));
    // Nothing but the file itself is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"report.txt"});
}

void TestFiles::writerReplacesWithoutAsking()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    platform::writeLinesCp1251(path, {"long old content line", "second"});
    platform::writeLinesCp1251(path, {"new"});
    QCOMPARE(readAll(path), QByteArray("new\r\n"));
}

void TestFiles::failedSaveKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    platform::writeLinesCp1251(path, {"old"});

    // A write that runs out of room half-way (a file size limit stands in for
    // a full disk, and works for root too).
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    QString message;
    try {
        platform::writeLinesCp1251(path,
                                   QStringList(500, QStringLiteral("a line of the new report")));
    } catch (const platform::IoError &e) {
        message = e.message();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY2(message.contains(path) && message.contains("File too large"), qPrintable(message));
    QCOMPARE(readAll(path), QByteArray("old\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.txt"});

    // A folder that does not exist.
    try {
        platform::writeLinesCp1251(dir.filePath("no/such/x.txt"), {"x"});
        QFAIL("save into a missing folder succeeded");
    } catch (const platform::IoError &e) {
        QVERIFY2(e.message().contains("No such file or directory"), qPrintable(e.message()));
    }
}

void TestFiles::cp1251RoundTrip()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    QCOMPARE(platform::toCp1251(platform::fromCp1251(all)), all);
    QCOMPARE(platform::toCp1251(u"Ёё№€ü"), QByteArray("\xa8\xb8\xb9\x88?"));
}

void TestFiles::exportNames_data()
{
    QTest::addColumn<QString>("exportName");
    QTest::addColumn<QString>("symbol");
    QTest::newRow("query") << receiver::exports::QuerySignal << "DW_QuerySignal";
    QTest::newRow("tune") << receiver::exports::TuneSatChannel << "DW_TuneSatChannel";
    QTest::newRow("init") << receiver::exports::InitDevCtl << "DW_InitDevCtl";
    QTest::newRow("release") << receiver::exports::ReleaseDevCtl << "DW_ReleaseDevCtl";
    QTest::newRow("diseqc") << receiver::exports::SetDiSEqCSwitchPort << "DW_SetDiSEqCSwitchPort";
    QTest::newRow("fec") << receiver::exports::SetSatPatRate << "DW_SetSatPatRate";
    QTest::newRow("plain name") << "DW_Plain"
                                << "DW_Plain";
    QTest::newRow("no @@") << "?Odd"
                           << "Odd";
}

void TestFiles::exportNames()
{
    QFETCH(QString, exportName);
    QFETCH(QString, symbol);
    QCOMPARE(QString::fromLatin1(platform::cSymbolFor(exportName.toLatin1().constData())), symbol);
}

void TestFiles::loaderUsesRealLibrary()
{
    platform::setLibrarySearchDirs({QStringLiteral(ORVANTA_BINARY_DIR)});
    platform::LibraryHandle h = platform::loadLibrary("DWUSBAPI.dll");
    platform::setLibrarySearchDirs({});
    QVERIFY(h);
    for (const char *e : {receiver::exports::InitDevCtl, receiver::exports::ReleaseDevCtl,
                          receiver::exports::SetDiSEqCSwitchPort, receiver::exports::SetSatPatRate,
                          receiver::exports::TuneSatChannel, receiver::exports::QuerySignal})
        QVERIFY2(platform::findExport(h, e), e);
    QVERIFY(!platform::findExport(h, "?DW_NoSuchThing@@YGHXZ"));
    QVERIFY(!platform::findExport(nullptr, receiver::exports::QuerySignal));
}

void TestFiles::loaderSearchOrder()
{
    // The first listed directory that has the library wins; none gives null.
    QTemporaryDir empty;
    platform::setLibrarySearchDirs({empty.path(), QStringLiteral(ORVANTA_BINARY_DIR)});
    QVERIFY(platform::loadLibrary("DWUSBAPI.dll"));
    platform::setLibrarySearchDirs({empty.path()});
    QVERIFY(!platform::loadLibrary("DWUSBAPI.dll"));
    platform::setLibrarySearchDirs({});
}

ORVANTA_TEST(TestFiles)
#include "test_files.moc"
