// The simulated receiver, loaded through the program's own loader: its sky
// model, scripted readings, journal, the variants that lack one export, and
// list files it must survive.
#include "platform/convert.h"
#include "platform/library.h"
#include "receiver/device.h"
#include "receiver/tuning.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"
#include "transponders/line.h"
#include "transponders/listfile.h"

#include <QFile>
#include <QSet>
#include <QTest>

#include <sys/stat.h>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

namespace {

// Strengths are a fixed function of frequency and polarization; every carrier
// here except 12500 H is strong enough to lock, 12500 H is too weak.
const QByteArray kSky = "[SATTYPE]\r\n1=0130\r\n2=Test Sky\r\n\r\n[DVB]\r\n"
                        "0=11600,H,27500,34,DVB-S\r\n"
                        "1=11747,V,27500,34,DVB-S\r\n"
                        "2=12149,L,27500,23,S2\r\n"
                        "3=11158,H,30000,91,DVB-S\r\n"
                        "4=11500,V,30000,34,S2;8PSK\r\n"
                        "5=10994,H,22000;moved here\r\n"
                        "6=12000,R,27500,34,DVB-S\r\n"
                        "7=12303,H,27500,35,s2\r\n"
                        "8=12500,H,27500,34,DVB-S\r\n"
                        "10=11700,H,27500,34,DVB-S\r\n"
                        "[UPDATE]\r\n1=2024-03-10\r\n2=11954,H,27500\r\n";

struct Signal
{
    int quality = -1;
    int level = -1;
};

// The receiver library as the program sees it: every call looks its export up.
class Receiver
{
public:
    explicit Receiver(platform::LibraryHandle library) : m_library(library) {}

    bool hasAll() const
    {
        using namespace receiver::exports;
        for (const char *name : {InitDevCtl, ReleaseDevCtl, SetDiSEqCSwitchPort, SetSatPatRate,
                                 TuneSatChannel, QuerySignal, "Sim_Journal", "Sim_Reset",
                                 "Sim_PushReading", "Sim_CarrierCount", "Sim_SetJournaling"}) {
            if (!platform::findExport(m_library, name))
                return false;
        }
        return true;
    }
    void init() { fn<receiver::InitDevCtlFn>(receiver::exports::InitDevCtl)(); }
    void release() { fn<receiver::ReleaseDevCtlFn>(receiver::exports::ReleaseDevCtl)(); }
    void diseqc(int port)
    {
        fn<receiver::SetDiSEqCSwitchPortFn>(receiver::exports::SetDiSEqCSwitchPort)(port);
    }
    void setCode(int code)
    {
        fn<receiver::SetSatPatRateFn>(receiver::exports::SetSatPatRate)(
            static_cast<unsigned char>(code));
    }
    void tune(int symbolRateKs, int *frequencyMHz, int polarization, int lofMHz)
    {
        fn<receiver::TuneSatChannelFn>(receiver::exports::TuneSatChannel)(
            symbolRateKs, frequencyMHz, polarization, lofMHz);
    }
    Signal query()
    {
        int q = -1, l = -1, unused = -1;
        fn<receiver::QuerySignalFn>(receiver::exports::QuerySignal)(&q, &l, &unused);
        return {q, l};
    }
    Signal measure(int code, int symbolRateKs, int frequencyMHz, int polarization)
    {
        setCode(code);
        tune(symbolRateKs, &frequencyMHz, polarization, frequencyMHz > 11700 ? 10600 : 9750);
        return query();
    }
    void reset() { fn<void (*)()>("Sim_Reset")(); }
    void pushReading(int q, int l) { fn<void (*)(int, int)>("Sim_PushReading")(q, l); }
    void setJournaling(bool on) { fn<void (*)(int)>("Sim_SetJournaling")(on ? 1 : 0); }
    int carriers() { return fn<int (*)()>("Sim_CarrierCount")(); }
    QStringList journal()
    {
        return QString::fromUtf8(fn<const char *(*)()>("Sim_Journal")())
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    template <typename Fn> Fn fn(const char *name)
    {
        return reinterpret_cast<Fn>(platform::findExport(m_library, name));
    }
    platform::LibraryHandle m_library;
};

FixtureOptions skyOptions(const QByteArray &list = kSky)
{
    FixtureOptions o;
    o.createForms = false;
    o.lists[QStringLiteral("sky.ini")] = list;
    return o;
}

// The simulated receiver beside the test binary, freshly reset.
platform::LibraryHandle loadSimulated()
{
    platform::setLibrarySearchDirs({QStringLiteral(ORVANTA_BINARY_DIR)});
    platform::LibraryHandle library = platform::loadLibrary(QStringLiteral("DWUSBAPI.dll"));
    if (library)
        Receiver(library).reset();
    return library;
}

constexpr int kNoiseFloorMax = 10;

} // namespace

class TestSimulated : public QObject
{
    Q_OBJECT
private slots:
    void tuneLocksOnlyMatchingCarrier_data();
    void tuneLocksOnlyMatchingCarrier();
    void lockedReadingsJitterLittle();
    void aboutOneCarrierInSevenIsTooWeak();
    void scriptedReadingsComeFirst();
    void journalRecordsEveryCallWithArguments();
    void journalKeepsNewestLinesAndCanBeSwitchedOff();
    void releasedReceiverMeasuresNothingAndInitReadsListsAgain();
    void variantLacksExactlyItsExport_data();
    void variantLacksExactlyItsExport();
    void oddListFilesAreSurvived_data();
    void oddListFilesAreSurvived();
    void demoScanCatchesMostLines();
};

void TestSimulated::tuneLocksOnlyMatchingCarrier_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("symbolRate");
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("polarization");
    QTest::addColumn<bool>("locks");
    QTest::addColumn<bool>("raised"); // level above the noise floor when not locked

    QTest::newRow("DVB-S exact") << 34 << 27500 << 11747 << 0 << true << true;
    QTest::newRow("DVB-S code 0") << 0 << 27500 << 11747 << 0 << true << true;
    QTest::newRow("DVB-S other rate") << 78 << 27500 << 11747 << 0 << true << true;
    QTest::newRow("DVB-S given S2 code") << 110 << 27500 << 11747 << 0 << false << true;
    QTest::newRow("wrong polarization") << 34 << 27500 << 11747 << 1 << false << false;
    QTest::newRow("4 MHz above") << 34 << 27500 << 11751 << 0 << true << true;
    QTest::newRow("4 MHz below") << 34 << 27500 << 11743 << 0 << true << true;
    QTest::newRow("5 MHz above") << 34 << 27500 << 11752 << 0 << false << true;
    QTest::newRow("far away") << 34 << 27500 << 11800 << 0 << false << false;
    QTest::newRow("rate 1 % high") << 34 << 27775 << 11747 << 0 << true << true;
    QTest::newRow("rate 1 % low") << 34 << 27225 << 11747 << 0 << true << true;
    QTest::newRow("rate 2 % high") << 34 << 28050 << 11747 << 0 << false << true;
    QTest::newRow("S2 8PSK 2/3 own code") << 110 << 27500 << 12149 << 1 << true << true;
    QTest::newRow("S2 8PSK 2/3 given 3/4") << 111 << 27500 << 12149 << 1 << false << true;
    QTest::newRow("S2 given DVB-S code") << 23 << 27500 << 12149 << 1 << false << true;
    QTest::newRow("S2 given code 0") << 0 << 27500 << 12149 << 1 << false << true;
    QTest::newRow("small s2 8PSK 3/5") << 109 << 27500 << 12303 << 1 << true << true;
    QTest::newRow("small s2 given QPSK 3/5") << 102 << 27500 << 12303 << 1 << false << true;
    QTest::newRow("DVB-S 9/10 is S2 QPSK") << 108 << 30000 << 11158 << 1 << true << true;
    QTest::newRow("DVB-S 9/10 given 3/4") << 34 << 30000 << 11158 << 1 << false << true;
    QTest::newRow("S2 unknown rate, first code") << 101 << 30000 << 11500 << 0 << true << true;
    QTest::newRow("S2 unknown rate, last code") << 114 << 30000 << 11500 << 0 << true << true;
    QTest::newRow("S2 unknown rate, DVB-S code") << 34 << 30000 << 11500 << 0 << false << true;
    QTest::newRow("comment after rate") << 34 << 22000 << 10994 << 1 << true << true;
    QTest::newRow("circular right") << 34 << 27500 << 12000 << 0 << true << true;
    QTest::newRow("entry 10") << 34 << 27500 << 11700 << 1 << true << true;
    QTest::newRow("weak carrier") << 34 << 27500 << 12500 << 1 << false << true;
    QTest::newRow("0= line is no carrier") << 34 << 27500 << 11600 << 1 << false << false;
    QTest::newRow("after [UPDATE] no carrier") << 34 << 27500 << 11954 << 1 << false << false;
    QTest::newRow("polarization 2") << 34 << 27500 << 11747 << 2 << false << false;
}

void TestSimulated::tuneLocksOnlyMatchingCarrier()
{
    QFETCH(int, code);
    QFETCH(int, symbolRate);
    QFETCH(int, frequency);
    QFETCH(int, polarization);
    QFETCH(bool, locks);
    QFETCH(bool, raised);

    ProgramFixture f(skyOptions());
    Receiver rx(loadSimulated());
    QVERIFY(rx.hasAll());
    rx.init();
    QCOMPARE(rx.carriers(), 9);

    int sent = frequency;
    rx.setCode(code);
    rx.tune(symbolRate, &sent, polarization, 10600);
    QCOMPARE(sent, frequency); // the tuned frequency is not written back
    const Signal s = rx.query();
    if (locks) {
        QVERIFY2(s.quality > 0, qPrintable(QString::number(s.quality)));
        QVERIFY2(s.level > s.quality,
                 qPrintable(QStringLiteral("%1 %2").arg(s.quality).arg(s.level)));
    } else {
        QCOMPARE(s.quality, 0);
        QVERIFY(s.level > 0);
        QCOMPARE(s.level > kNoiseFloorMax, raised);
    }
}

void TestSimulated::lockedReadingsJitterLittle()
{
    ProgramFixture f(skyOptions());
    Receiver rx(loadSimulated());
    QVERIFY(rx.hasAll());
    rx.init();
    rx.setCode(34);
    int frequency = 11747;
    rx.tune(27500, &frequency, 0, 10600);
    int minQ = 1000, maxQ = -1, minL = 1000, maxL = -1;
    for (int i = 0; i < 200; ++i) {
        const Signal s = rx.query();
        minQ = std::min(minQ, s.quality);
        maxQ = std::max(maxQ, s.quality);
        minL = std::min(minL, s.level);
        maxL = std::max(maxL, s.level);
    }
    QVERIFY(minQ > 0);
    QVERIFY(maxQ - minQ <= 4);
    QVERIFY(maxL - minL <= 4);
    QVERIFY(maxQ > minQ); // the figures move a little, as a real meter's do

    // A weaker carrier reads lower.
    rx.setCode(110);
    frequency = 12149; // strength 38 against 95 above
    rx.tune(27500, &frequency, 1, 10600);
    const Signal weaker = rx.query();
    QVERIFY(weaker.quality > 0);
    QVERIFY(weaker.quality < minQ);
    QVERIFY(weaker.level < minL);
}

void TestSimulated::aboutOneCarrierInSevenIsTooWeak()
{
    QByteArray list = "[DVB]\n";
    for (int i = 0; i < 1000; ++i)
        list += QByteArray::number(i + 1) + '=' + QByteArray::number(10000 + 10 * i) + ",V,27500\n";
    ProgramFixture f(skyOptions(list));
    Receiver rx(loadSimulated());
    QVERIFY(rx.hasAll());
    rx.init();
    QCOMPARE(rx.carriers(), 1000);
    int locked = 0;
    for (int i = 0; i < 1000; ++i)
        locked += rx.measure(34, 27500, 10000 + 10 * i, 0).quality > 0;
    QVERIFY2(locked >= 800 && locked <= 900, qPrintable(QString::number(locked)));
}

void TestSimulated::scriptedReadingsComeFirst()
{
    ProgramFixture f(skyOptions());
    Receiver rx(loadSimulated());
    QVERIFY(rx.hasAll());
    rx.init();
    rx.pushReading(7, 55);
    rx.pushReading(0, 3);
    QCOMPARE(rx.measure(34, 27500, 11747, 0).quality, 7); // a lock, but the script wins
    const Signal second = rx.query();
    QCOMPARE(second.quality, 0);
    QCOMPARE(second.level, 3);
    QVERIFY(rx.query().quality > 0);
    // Scripted readings are served before an init too.
    rx.release();
    rx.pushReading(12, 34);
    const Signal scripted = rx.query();
    QCOMPARE(scripted.quality, 12);
    QCOMPARE(scripted.level, 34);
}

void TestSimulated::journalRecordsEveryCallWithArguments()
{
    ProgramFixture f(skyOptions());
    Receiver rx(loadSimulated());
    QVERIFY(rx.hasAll());
    rx.init();
    rx.diseqc(3);
    rx.setCode(110);
    int frequency = 12149;
    rx.tune(27500, &frequency, 1, 10600);
    rx.query();
    rx.release();
    const QStringList expected{
        QStringLiteral("InitDevCtl"),        QStringLiteral("SetDiSEqCSwitchPort 3"),
        QStringLiteral("SetSatPatRate 110"), QStringLiteral("TuneSatChannel 27500 12149 1 10600"),
        QStringLiteral("QuerySignal"),       QStringLiteral("ReleaseDevCtl"),
    };
    QCOMPARE(rx.journal(), expected);
    // The fixture's view of the same library sees the same lines.
    f.sim.setLibrary(platform::loadLibrary(QStringLiteral("DWUSBAPI.dll")));
    QCOMPARE(f.sim.journal(), expected);
    f.sim.clearJournal();
    QVERIFY(rx.journal().isEmpty());
}

void TestSimulated::journalKeepsNewestLinesAndCanBeSwitchedOff()
{
    ProgramFixture f(skyOptions());
    Receiver rx(loadSimulated());
    QVERIFY(rx.hasAll());
    rx.init();
    for (int i = 1; i <= 100005; ++i)
        rx.diseqc(i);
    const QStringList lines = rx.journal();
    QCOMPARE(lines.size(), 100000);
    QCOMPARE(lines.first(), QStringLiteral("SetDiSEqCSwitchPort 6"));
    QCOMPARE(lines.last(), QStringLiteral("SetDiSEqCSwitchPort 100005"));

    rx.reset();
    rx.setJournaling(false);
    rx.diseqc(1);
    rx.query();
    QVERIFY(rx.journal().isEmpty());
    rx.setJournaling(true);
    rx.diseqc(2);
    QCOMPARE(rx.journal(), QStringList{QStringLiteral("SetDiSEqCSwitchPort 2")});
    // A reset turns journaling back on.
    rx.setJournaling(false);
    rx.reset();
    rx.diseqc(4);
    QCOMPARE(rx.journal(), QStringList{QStringLiteral("SetDiSEqCSwitchPort 4")});
}

void TestSimulated::releasedReceiverMeasuresNothingAndInitReadsListsAgain()
{
    ProgramFixture f(skyOptions());
    Receiver rx(loadSimulated());
    QVERIFY(rx.hasAll());
    rx.init();
    QVERIFY(rx.measure(34, 27500, 11747, 0).quality > 0);
    rx.release();
    const Signal released = rx.measure(34, 27500, 11747, 0);
    QCOMPARE(released.quality, 0);
    QCOMPARE(released.level, 0);

    // A list added while released is seen at the next init.
    QCOMPARE(rx.measure(34, 27500, 10800, 0).quality, 0);
    f.writeList(QStringLiteral("more.INI"), "[DVB]\r\n1=10800,V,27500,34,DVB-S\r\n");
    rx.init();
    QCOMPARE(rx.carriers(), 10);
    QVERIFY(rx.measure(34, 27500, 10800, 0).quality > 0);
    // A reset forgets the sky until the next init.
    rx.reset();
    QCOMPARE(rx.carriers(), 0);
}

void TestSimulated::variantLacksExactlyItsExport_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"InitDevCtl", "ReleaseDevCtl", "SetDiSEqCSwitchPort", "SetSatPatRate",
                             "TuneSatChannel", "QuerySignal"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestSimulated::variantLacksExactlyItsExport()
{
    QFETCH(QString, name);
    ProgramFixture f(skyOptions());
    platform::setLibrarySearchDirs(
        {testing_support::variantLibraryDir(QStringLiteral("without-") + name)});
    const platform::LibraryHandle variant = platform::loadLibrary(QStringLiteral("DWUSBAPI.dll"));
    QVERIFY(variant);
    QVERIFY(variant != loadSimulated());

    using namespace receiver::exports;
    for (const char *exportName : {InitDevCtl, ReleaseDevCtl, SetDiSEqCSwitchPort, SetSatPatRate,
                                   TuneSatChannel, QuerySignal}) {
        const bool lacking = platform::cSymbolFor(exportName) == "DW_" + name.toLatin1();
        QVERIFY2((platform::findExport(variant, exportName) == nullptr) == lacking, exportName);
    }
    QVERIFY(platform::findExport(variant, "Sim_Journal"));
}

void TestSimulated::oddListFilesAreSurvived_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("carriers");  // in the whole sky
    QTest::addColumn<bool>("goodRead"); // the carrier of sky.ini, read after the odd file

    QByteArray binary(1 << 20, '\0');
    quint32 x = 12345;
    for (char &c : binary) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    QTest::newRow("binary") << binary << 1 << true;
    static const char nul[] = "[DVB]\n1=11\0"
                              "766,H,27500\n2=12100,V,27500\0\n\0\n3=\0\n";
    QTest::newRow("NUL bytes") << QByteArray(nul, sizeof nul - 1) << 1 << true;
    QTest::newRow("empty") << QByteArray() << 1 << true;
    QTest::newRow("CR only, one line") << QByteArray("[DVB]\r1=12100,V,27500") << 2 << true;
    QTest::newRow("Ctrl-Z ends file")
        << QByteArray("[DVB]\n1=12100,V,27500\x1a\n2=12200,V,27500\n3=12250,V,27500\n") << 2
        << true;
    QTest::newRow("bad numbers")
        << QByteArray("[DVB]\n1=99999999999999,V,27500\n2=-12100,V,27500\n3=12100,V,0\n"
                      "4=12100,X,27500\n5=,,\n6=\n7=12100,V,99999999999\n8=12100\n9=,V,27500\n")
        << 1 << true;
    QByteArray huge(8 << 20, 'D');
    huge += "\n[DVB]\n1=12100,V,27500\n";
    QTest::newRow("8 MB line") << huge << 2 << true;
    const QByteArray hugeEntry =
        "[DVB]\n1=12100,V,27500,34,DVB-S" + QByteArray(4 << 20, ' ') + "\n2=12200,V,27500\n";
    QTest::newRow("4 MB entry") << hugeEntry << 3 << true;
    QByteArray many = "[DVB]\n";
    for (int i = 0; i < 150000; ++i)
        many += "1=" + QByteArray::number(20000 + i) + ",V,27500\n";
    QTest::newRow("more than the cap") << many << 100000 << false;
}

void TestSimulated::oddListFilesAreSurvived()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, carriers);
    QFETCH(bool, goodRead);
    FixtureOptions o = skyOptions("[DVB]\r\n1=11747,V,27500,34,DVB-S\r\n");
    o.lists[QStringLiteral("aa-odd.ini")] = bytes; // read first: lists are read in name order
    o.lists[QStringLiteral("notes.txt")] = "[DVB]\n1=12300,V,27500\n"; // not a list name
    ProgramFixture f(o);
    // Entries that only look like lists: a directory and a pipe nobody writes to.
    QVERIFY(QDir(f.path(QStringLiteral("Transponders"))).mkdir(QStringLiteral("dir.ini")));
    QCOMPARE(
        ::mkfifo(QFile::encodeName(f.path(QStringLiteral("Transponders/pipe.ini"))).constData(),
                 0600),
        0);

    Receiver rx(loadSimulated());
    QVERIFY(rx.hasAll());
    rx.init();
    QCOMPARE(rx.carriers(), carriers);
    QCOMPARE(rx.measure(34, 27500, 11747, 0).quality > 0, goodRead);
    QCOMPARE(rx.measure(34, 27500, 12300, 0).quality, 0);
}

// The demo folder with the simulated receiver, walked line by line with the
// program's own reading rules as a satellite scan does.
void TestSimulated::demoScanCatchesMostLines()
{
    const QString demo = QStringLiteral(ORVANTA_SOURCE_DIR "/demo");
    FixtureOptions o;
    o.createForms = false;
    ProgramFixture f(o);
    QVERIFY(QDir::setCurrent(demo));
    Receiver rx(loadSimulated());
    QVERIFY(rx.hasAll());
    rx.init();

    const QStringList files = QDir(demo + QStringLiteral("/Transponders"))
                                  .entryList({QStringLiteral("*.ini")}, QDir::Files);
    QVERIFY(files.size() >= 3);
    QSet<QString> names;
    int lines = 0, caught = 0;
    for (const QString &file : files) {
        const QString path = demo + QStringLiteral("/Transponders/") + file;
        QFile raw(path);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n")); // CR LF files

        names << transponders::ReadSatelliteName(path);
        int fecIndex = 2; // the program's choice at start
        int fileLines = 0, fileCaught = 0;
        for (const QString &entry : transponders::readTransponderEntries(path)) {
            const auto line = transponders::splitTransponderLine(entry);
            int frequency = 0, symbolRate = 0;
            QVERIFY2(platform::tryStrToInt(line.frequency, frequency), qPrintable(entry));
            QVERIFY2(platform::tryStrToInt(line.symbolRate, symbolRate), qPrintable(entry));
            if (const auto chosen = transponders::fecEntryFor(line.fec, line.system))
                fecIndex = *chosen;
            const Signal s = rx.measure(receiver::fecCodeForIndex(fecIndex), symbolRate, frequency,
                                        transponders::scanPolarizationIndex(line.polarization));
            ++fileLines;
            fileCaught += s.quality > 0;
        }
        QVERIFY2(fileLines >= 20 && fileLines <= 40, qPrintable(file));
        QVERIFY2(fileCaught * 10 >= fileLines * 7 && fileCaught < fileLines, qPrintable(file));
        lines += fileLines;
        caught += fileCaught;
    }
    QCOMPARE(names.size(), files.size());
    QVERIFY(!names.contains(QString()));
    const int missed = lines - caught;
    QVERIFY2(missed * 100 >= lines * 5 && missed * 100 <= lines * 25,
             qPrintable(QStringLiteral("%1 of %2 missed").arg(missed).arg(lines)));
}

ORVANTA_TEST(TestSimulated)
#include "test_simulated.moc"
