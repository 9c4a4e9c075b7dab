#include "scan/scanrules.h"
#include "tests/support/testmain.h"

#include <QTest>
#include <climits>

using namespace scan;

class TestScanRules : public QObject
{
    Q_OBJECT
private slots:
    void splitsCaughtOverCharts_data();
    void splitsCaughtOverCharts();
    void coloursByQualityBand_data();
    void coloursByQualityBand();
    void averagesByTruncation_data();
    void averagesByTruncation();
    void resultLineIsExact();
    void caughtTableStopsAtItsEnd();
    void namesChartImages_data();
    void namesChartImages();
};

void TestScanRules::splitsCaughtOverCharts_data()
{
    QTest::addColumn<int>("caught");
    QTest::addColumn<QList<int>>("perChart"); // bars on Chart1, Chart2, Chart3
    QTest::addColumn<QList<int>>("firstX");   // first x on each chart in use
    QTest::addColumn<QList<int>>("lastX");
    QTest::newRow("none") << 0 << QList<int>{0, 0, 0} << QList<int>{} << QList<int>{};
    QTest::newRow("59") << 59 << QList<int>{59, 0, 0} << QList<int>{1} << QList<int>{59};
    QTest::newRow("60") << 60 << QList<int>{30, 30, 0} << QList<int>{1, 1} << QList<int>{30, 30};
    QTest::newRow("61") << 61 << QList<int>{30, 31, 0} << QList<int>{1, 1} << QList<int>{30, 31};
    QTest::newRow("119") << 119 << QList<int>{59, 60, 0} << QList<int>{1, 1} << QList<int>{59, 60};
    QTest::newRow("120") << 120 << QList<int>{40, 41, 39} << QList<int>{1, 1, 2}
                         << QList<int>{40, 41, 40};
    QTest::newRow("121") << 121 << QList<int>{40, 41, 40} << QList<int>{1, 1, 2}
                         << QList<int>{40, 41, 41};
    // What the scan charts of 1001 catches: the 1000 the table keeps.
    QTest::newRow("1000 kept of 1001")
        << 1000 << QList<int>{333, 334, 333} << QList<int>{1, 1, 2} << QList<int>{333, 334, 334};
}

void TestScanRules::splitsCaughtOverCharts()
{
    QFETCH(int, caught);
    QFETCH(QList<int>, perChart);
    QFETCH(QList<int>, firstX);
    QFETCH(QList<int>, lastX);
    const QList<BarPlace> places = barPlaces(caught);
    QCOMPARE(places.size(), caught);
    QList<int> count{0, 0, 0}, first, last;
    int previousChart = 0;
    for (const BarPlace &p : places) {
        QVERIFY(p.chart >= previousChart); // charts fill one after the other
        ++count[p.chart - 1];
        if (p.chart != previousChart) {
            first << p.x;
            last << p.x;
        } else {
            QCOMPARE(p.x, last.last() + 1); // positions follow without gaps
            last.last() = p.x;
        }
        previousChart = p.chart;
    }
    QCOMPARE(count, perChart);
    QCOMPARE(first, firstX);
    QCOMPARE(last, lastX);
}

void TestScanRules::coloursByQualityBand_data()
{
    QTest::addColumn<int>("quality");
    QTest::addColumn<QColor>("colour");
    const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 128, 0);
    QTest::newRow("1") << 1 << red;
    QTest::newRow("40") << 40 << red;
    QTest::newRow("41") << 41 << blue;
    QTest::newRow("55") << 55 << blue;
    QTest::newRow("56") << 56 << green;
    QTest::newRow("100") << 100 << green;
}

void TestScanRules::coloursByQualityBand()
{
    QFETCH(int, quality);
    QFETCH(QColor, colour);
    QCOMPARE(barColour(quality), colour);
}

void TestScanRules::averagesByTruncation_data()
{
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("c");
    QTest::addColumn<int>("mean");
    QTest::newRow("0 0 2") << 0 << 0 << 2 << 0;
    QTest::newRow("70 71 71") << 70 << 71 << 71 << 70;
    QTest::newRow("70 71 72") << 70 << 71 << 72 << 71;
    QTest::newRow("-1 -1 0 toward zero") << -1 << -1 << 0 << 0;
    QTest::newRow("-4 -4 -3 toward zero") << -4 << -4 << -3 << -3;
    QTest::newRow("wide sum") << INT_MAX << INT_MAX << INT_MAX << INT_MAX;
}

void TestScanRules::averagesByTruncation()
{
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(int, c);
    QFETCH(int, mean);
    QCOMPARE(truncatingAverage(a, b, c), mean);
}

void TestScanRules::resultLineIsExact()
{
    QCOMPARE(resultLine(QStringLiteral("11766,H,27500,34,DVB-S"), 70, -3),
             QStringLiteral("Транспондер: 11766,H,27500,34,DVB-S   |Качество сигнала-70   "
                            "|Уровень сигнала--3"));
}

void TestScanRules::caughtTableStopsAtItsEnd()
{
    CaughtTable t;
    for (int i = 1; i <= CaughtTable::kCapacity; ++i)
        QVERIFY(t.add(QString::number(i), i % 100 + 1));
    QVERIFY(!t.add(QStringLiteral("overflow"), 50));
    QCOMPARE(t.caught(), CaughtTable::kCapacity + 1);
    QCOMPARE(t.entries().size(), CaughtTable::kCapacity);
    QCOMPARE(t.entries().last().label, QStringLiteral("1000"));
    t.clear();
    QCOMPARE(t.caught(), 0);
    QVERIFY(t.entries().isEmpty());
}

void TestScanRules::namesChartImages_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("caught");
    QTest::addColumn<QStringList>("names");
    const QString d = QStringLiteral("/r/");
    QTest::newRow("60") << d + "sat.bmp" << 60 << QStringList{d + "sat.bmp"};
    QTest::newRow("61") << d + "sat.bmp" << 61 << QStringList{d + "sat.bmp", d + "sat-2.bmp"};
    QTest::newRow("120") << d + "sat.bmp" << 120 << QStringList{d + "sat.bmp", d + "sat-2.bmp"};
    QTest::newRow("121") << d + "sat.bmp" << 121
                         << QStringList{d + "sat.bmp", d + "sat-2.bmp", d + "sat-3.bmp"};
    QTest::newRow("capitals") << d + "sat.BMP" << 121
                              << QStringList{d + "sat.BMP", d + "sat-2.bmp", d + "sat-3.bmp"};
    QTest::newRow("other extension")
        << d + "sat.png" << 61 << QStringList{d + "sat.png", d + "sat-2.bmp"};
    QTest::newRow("first .bmp") << d + "a.bmp.bmp" << 121
                                << QStringList{d + "a.bmp.bmp", d + "a-2.bmp", d + "a-3.bmp"};
    QTest::newRow(".bmp in folder") << QStringLiteral("/r.bmp/sat.bmp") << 61
                                    << QStringList{"/r.bmp/sat.bmp", "/r.bmp/sat-2.bmp"};
}

void TestScanRules::namesChartImages()
{
    QFETCH(QString, chosen);
    QFETCH(int, caught);
    QFETCH(QStringList, names);
    QCOMPARE(chartFileNames(chosen, caught), names);
}

ORVANTA_TEST(TestScanRules)
#include "test_scanrules.moc"
