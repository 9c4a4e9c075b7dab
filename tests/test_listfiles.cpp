#include "platform/errors.h"
#include "platform/textfile.h"
#include "tests/support/testmain.h"
#include "transponders/line.h"
#include "transponders/listfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace transponders;

class TestListFiles : public QObject
{
    Q_OBJECT
private slots:
    void lineReader_data();
    void lineReader();
    void satelliteName_data();
    void satelliteName();
    void entries_data();
    void entries();
    void unreadableEntries();
    void lineSplitting_data();
    void lineSplitting();
    void fecChoice_data();
    void fecChoice();
    void polarization();
    void listFileNames();

private:
    QString write(const QByteArray &bytes);
    QTemporaryDir m_dir;
    int m_files = 0;
};

QString TestListFiles::write(const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("f%1.ini").arg(++m_files));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write fixture");
    return path;
}

void TestListFiles::lineReader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("no final line end") << QByteArray("a\nb") << QStringList{"a", "b"};
    QTest::newRow("CR only is dropped") << QByteArray("a\rb\rc") << QStringList{"abc"};
    QTest::newRow("CR inside") << QByteArray("a\rx\r\n") << QStringList{"ax"};
    QTest::newRow("Ctrl-Z ends the file") << QByteArray("a\nb\x1a\nc\n") << QStringList{"a", "b"};
    QTest::newRow("Ctrl-Z at line start") << QByteArray("a\n\x1a"
                                                        "b\n")
                                          << QStringList{"a"};
    QTest::newRow("empty lines") << QByteArray("\n\nx\n") << QStringList{"", "", "x"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("NUL bytes kept")
        << QByteArray("a\0b\n", 4) << QStringList{QString::fromLatin1("a\0b", 3)};
}

void TestListFiles::lineReader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QStringList got;
    platform::readLines(write(bytes), [&](QByteArrayView l) {
        got << QString::fromLatin1(l.data(), l.size());
        return true;
    });
    QCOMPARE(got, lines);

    // Chunk boundaries anywhere give the same lines.
    QStringList bytewise;
    std::function<bool(QByteArrayView)> collect = [&](QByteArrayView l) {
        bytewise << QString::fromLatin1(l.data(), l.size());
        return true;
    };
    platform::LineSplitter splitter(collect);
    bool open = true;
    for (qsizetype i = 0; i < bytes.size() && open; ++i)
        open = splitter.feed(QByteArrayView(bytes.constData() + i, 1));
    if (open)
        splitter.finish();
    QCOMPARE(bytewise, lines);
}

void TestListFiles::satelliteName_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::newRow("usual") << QByteArray(
                                  "[SATTYPE]\r\n1=0192\r\n2=Astra "
                                  "Demo\r\n[DVB]\r\n0=1\r\n1=10714,H,22000\r\n2=Not a name\r\n")
                           << QStringLiteral("Astra Demo");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("no DVB line") << QByteArray("2=First\n12=Abc\n") << QStringLiteral("Abc");
    QTest::newRow("12= counts as a name line")
        << QByteArray("12=Abc\n[DVB]\n") << QStringLiteral("Abc");
    QTest::newRow("DVB line never names")
        << QByteArray("2=Name\n2=DVB thing\n2=After\n") << QStringLiteral("Name");
    QTest::newRow("text after first 2=") << QByteArray("x2=a2=b\n") << QStringLiteral("a2=b");
    QTest::newRow("no name line") << QByteArray("[DVB]\n1=10714,H,22000\n") << QString();
    QTest::newRow("cp1251 name") << QByteArray("2=\xcc\xe8\xf0\n") << QStringLiteral("Мир");
    QTest::newRow("binary junk") << QByteArray("\xff\xfe\0\x01\x02=2=\x80\n", 10)
                                 << QStringLiteral("Ђ");
}

void TestListFiles::satelliteName()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QCOMPARE(ReadSatelliteName(write(bytes)), name);
}

void TestListFiles::entries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("usual")
        << QByteArray("2=Sat\r\n[DVB]\r\n0=2\r\n1=10714,H,22000,23,S2\r\n2=10729,V,22000\r\n")
        << QStringList{"10714,H,22000,23,S2", "10729,V,22000"};
    QTest::newRow("no DVB line") << QByteArray("2=Sat\n1=10714,H,22000\n") << QStringList{};
    QTest::newRow("UPDATE closes, DVB reopens and is taken")
        << QByteArray("[DVB]\n1=a\n[UPDATE]\n2=b\nx=DVB-S\n3=c\n")
        << QStringList{"a", "DVB-S", "c"};
    QTest::newRow("0= skipped, 10= taken") << QByteArray("[DVB]\n0=5\n10=x\n") << QStringList{"x"};
    QTest::newRow("text after first =") << QByteArray("[DVB]\n1=a=b\n") << QStringList{"a=b"};
    QTest::newRow("lines without = ignored")
        << QByteArray("[DVB]\n;comment\n\n1=a\n") << QStringList{"a"};
    QTest::newRow("DVB line with UPDATE stays closed")
        << QByteArray("DVB [UPDATE]=x\n1=a\n") << QStringList{};
    QTest::newRow("empty entry") << QByteArray("[DVB]\n1=\n") << QStringList{""};
}

void TestListFiles::entries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(readTransponderEntries(write(bytes)), entries);
}

void TestListFiles::unreadableEntries()
{
    QVERIFY_THROWS_EXCEPTION(platform::IoError,
                             readTransponderEntries(m_dir.filePath("missing.ini")));
    try {
        ReadSatelliteName(m_dir.path());
        QFAIL("a directory read as a list file");
    } catch (const platform::IoError &e) {
        QCOMPARE(e.message(), QStringLiteral("Is a directory"));
    }
}

void TestListFiles::lineSplitting_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("polarization");
    QTest::addColumn<QString>("symbolRate");
    QTest::addColumn<QString>("fec");
    QTest::addColumn<QString>("system");
    QTest::newRow("full DVB-S") << "11766,H,27500,34,DVB-S"
                                << "11766"
                                << "H"
                                << "27500"
                                << "34"
                                << "DVB-S";
    QTest::newRow("S2") << "12149,L,27500,23,S2"
                        << "12149"
                        << "L"
                        << "27500"
                        << "23"
                        << "S2";
    QTest::newRow("no system") << "10719,V,27500,34"
                               << "10719"
                               << "V"
                               << "27500"
                               << ""
                               << "34";
    QTest::newRow("no FEC") << "10719,V,27500"
                            << "10719"
                            << "V"
                            << "27500"
                            << ""
                            << "";
    QTest::newRow("comment after rate") << "10719,V,27500;abc"
                                        << "10719"
                                        << "V"
                                        << "27500"
                                        << ""
                                        << "";
    QTest::newRow("comment after system") << "10719,V,27500,34,DVB-S;abc"
                                          << "10719"
                                          << "V"
                                          << "27500,34,DVB-S"
                                          << ""
                                          << "";
    QTest::newRow("S2 with modulation comment") << "10714,H,22000,23,S2;8PSK"
                                                << "10714"
                                                << "H"
                                                << "22000,23,S2"
                                                << ""
                                                << "";
    QTest::newRow("no comma") << "abc"
                              << ""
                              << ""
                              << "c"
                              << ""
                              << "";
    QTest::newRow("two-letter polarization") << "11766,HH,27500"
                                             << "11766"
                                             << "HH"
                                             << ""
                                             << ""
                                             << "27500";
    QTest::newRow("small letter") << "10719,v,27500"
                                  << "10719"
                                  << "v"
                                  << "27500"
                                  << ""
                                  << "";
    QTest::newRow("empty FEC field") << "10719,V,27500,,DVB-S"
                                     << "10719"
                                     << "V"
                                     << "27500"
                                     << ""
                                     << "DVB-S";
    QTest::newRow("trailing comma") << "10719,V,27500,34,"
                                    << "10719"
                                    << "V"
                                    << "27500"
                                    << "34"
                                    << "";
    QTest::newRow("space padded") << "10956,H, 4340,34"
                                  << "10956"
                                  << "H"
                                  << " 4340"
                                  << ""
                                  << "34";
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << ""
                           << ""
                           << "";
    QTest::newRow("frequency only") << "11766,"
                                    << "11766"
                                    << ""
                                    << ""
                                    << ""
                                    << "";
}

void TestListFiles::lineSplitting()
{
    QFETCH(QString, line);
    const TransponderLine t = splitTransponderLine(line);
    QTEST(t.frequency, "frequency");
    QTEST(t.polarization, "polarization");
    QTEST(t.symbolRate, "symbolRate");
    QTEST(t.fec, "fec");
    if (!t.fec.isEmpty())
        QTEST(t.system, "system");
}

void TestListFiles::fecChoice_data()
{
    QTest::addColumn<QString>("fec");
    QTest::addColumn<QString>("system");
    QTest::addColumn<int>("entry"); // -1: unchanged
    const char *fecs[] = {"12", "23", "34", "56", "78", "35", "45", "89", "91", "67"};
    const int dvbs[] = {0, 1, 2, 3, 4, 6, 9, 11, 12, 2};
    const int s2[] = {-1, 14, 15, 16, -1, 13, -1, 17, 18, -1};
    for (int i = 0; i < 10; ++i) {
        QTest::addRow("%s DVB-S", fecs[i]) << fecs[i] << "DVB-S" << dvbs[i];
        QTest::addRow("%s S2", fecs[i]) << fecs[i] << "S2" << s2[i];
        QTest::addRow("%s s2", fecs[i]) << fecs[i] << "s2" << s2[i];
    }
    QTest::newRow("DVB-S2 text") << "34"
                                 << "DVB-S2" << -1;
    QTest::newRow("small dvb-s") << "34"
                                 << "dvb-s" << -1;
    QTest::newRow("empty fec") << ""
                               << "DVB-S" << -1;
    QTest::newRow("free text system") << "34"
                                      << "VOA" << -1;
}

void TestListFiles::fecChoice()
{
    QFETCH(QString, fec);
    QFETCH(QString, system);
    QFETCH(int, entry);
    QCOMPARE(fecEntryFor(fec, system).value_or(-1), entry);
}

void TestListFiles::polarization()
{
    struct Row
    {
        const char *letter;
        int pol, lnb, scan;
    } rows[] = {{"V", 0, 0, 0}, {"H", 1, 0, 1}, {"R", 0, 1, 0}, {"L", 1, 1, 1}};
    for (const Row &r : rows) {
        const auto c = polarizationFor(QLatin1String(r.letter));
        QVERIFY(c.has_value());
        QCOMPARE(c->polarizationIndex, r.pol);
        QCOMPARE(c->lnbIndex, r.lnb);
        QCOMPARE(scanPolarizationIndex(QLatin1String(r.letter)), r.scan);
    }
    for (const char *other : {"v", "W", "", "HH"}) {
        QVERIFY(!polarizationFor(QLatin1String(other)));
        QCOMPARE(scanPolarizationIndex(QLatin1String(other)), 0);
    }
}

void TestListFiles::listFileNames()
{
    for (const char *yes :
         {"Sat.ini", "Sat.ini.bak", "Sat.initial", "SAT.INI", "x.Ini.old", ".ini"})
        QVERIFY2(isListFileName(QLatin1String(yes)), yes);
    for (const char *no : {"Sat.txt", "Satini", "ini", "Sat.in"})
        QVERIFY2(!isListFileName(QLatin1String(no)), no);
}

ORVANTA_TEST(TestListFiles)
#include "test_listfiles.moc"
