#include "app/form1.h"
#include "app/globals.h"
#include "platform/wait.h"
#include "scan/chart.h"
#include "scan/form2.h"
#include "scan/form4.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

namespace {

QByteArray listFile(const QString &satellite, const QStringList &lines)
{
    QByteArray bytes = "[SATTYPE]\r\n1=0130\r\n2=" + satellite.toUtf8() +
                       "\r\n[DVB]\r\n0=" + QByteArray::number(lines.size()) + "\r\n";
    for (int i = 0; i < lines.size(); ++i)
        bytes += QByteArray::number(i + 1) + "=" + lines[i].toUtf8() + "\r\n";
    return bytes;
}

FixtureOptions oneSatellite(const QStringList &lines,
                            const QString &name = QStringLiteral("Test Sat"))
{
    FixtureOptions o;
    o.lists[QStringLiteral("test.ini")] = listFile(name, lines);
    return o;
}

// Chooses the satellite named `name` as the user would.
void chooseSatellite(const QString &name)
{
    const int index = Form1->ComboBox3->findText(name);
    QVERIFY(index >= 0);
    Form1->ComboBox3->setCurrentIndex(index);
    Form1->ComboBox3Change();
}

QStringList reportLines()
{
    return Form2->lines();
}

int barsOf(scan::BarSeries *s)
{
    return s->count();
}

} // namespace

class TestScan : public QObject
{
    Q_OBJECT
private slots:
    void journalOfTwoLineScan_data();
    void journalOfTwoLineScan();
    void fecSelectionCarriedOver_data();
    void fecSelectionCarriedOver();
    void polarizationAndLof_data();
    void polarizationAndLof();
    void averagedReadingsGoIntoTheLine();
    void showOnlyCaught();
    void caughtBarsCarryFrequencyQualityAndColour();
    void cancelSeenBeforeNextTransponder_data();
    void cancelSeenBeforeNextTransponder();
    void cancelWithoutScanChangesNothing();
    void chartsButtonDuringScanShowsNewTitlesNoBars();
    void conversionErrorEndsScan_data();
    void conversionErrorEndsScan();
    void secondPressWhileRunningIsIgnored();
    void satelliteChangeCannotReadPastTheList();
    void satelliteWithoutLines();
    void secondScanHoldsOnlyItsOwnBars();
    void moreThanThousandCaught();
};

void TestScan::journalOfTwoLineScan_data()
{
    QTest::addColumn<bool>("accuracy");
    QTest::addColumn<QStringList>("journal");
    QTest::addColumn<QList<int>>("waits");
    QTest::addColumn<int>("messagePoints");
    const QString tune1 = QStringLiteral("TuneSatChannel 27500 11766 1 10600");
    // "L" gives polarization 1 but leaves the converter linear: LOF 10600, not 10750.
    const QString tune2 = QStringLiteral("TuneSatChannel 22000 12149 1 10600");
    const QString q = QStringLiteral("QuerySignal");
    QTest::newRow("one reading") << false << QStringList{"SetSatPatRate 34",  tune1, q,
                                                         "SetSatPatRate 110", tune2, q}
                                 << QList<int>{3000, 3000} << 2 + 1;
    QTest::newRow("higher accuracy")
        << true
        << QStringList{"SetSatPatRate 34", tune1, q, q, q, "SetSatPatRate 110", tune2, q, q, q}
        << QList<int>{3000, 2000, 2000, 3000, 2000, 2000} << 4 + 1;
}

void TestScan::journalOfTwoLineScan()
{
    QFETCH(bool, accuracy);
    QFETCH(QStringList, journal);
    QFETCH(QList<int>, waits);
    QFETCH(int, messagePoints);
    ProgramFixture f(oneSatellite({"11766,H,27500,34,DVB-S", "12149,L,22000,23,S2"}));
    chooseSatellite(QStringLiteral("Test Sat"));
    Form1->ComboBox2->setCurrentIndex(3); // Port C: the scan sends no DiSEqC anyway
    Form1->CheckBox1->setChecked(accuracy);
    TuneFrequency = 1234;
    TuneSymbolRate = 5678;
    TuneLof = 42;
    f.sim.clearJournal();
    f.sim.pushReading(60, 70); // the first line is caught: one bar
    for (int i = 0; i < 5; ++i)
        f.sim.pushReading(0, 0); // the rest reads nothing, whatever the sky holds
    int points = 0;
    platform::setProcessMessagesHook([&] { ++points; });

    Form1->SpeedButton3Click();

    QCOMPARE(f.sim.journal(), journal);
    QCOMPARE(f.waits, waits);
    QCOMPARE(points, messagePoints);
    QCOMPARE(TuneFecCode, std::uint8_t(110));
    QCOMPARE(Form1->ComboBox6->currentIndex(), 14);
    // The scan tunes with values of its own.
    QCOMPARE(TuneFrequency, 1234);
    QCOMPARE(TuneSymbolRate, 5678);
    QCOMPARE(TuneLof, 42);
    QCOMPARE(CaughtCount, 1);
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.dialogs.errors.isEmpty());
}

void TestScan::fecSelectionCarriedOver_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("code"); // sent for the second line
    QTest::newRow("semicolon") << "10719,V,27500;34,DVB-S"
                               << "56";
    QTest::newRow("no FEC or system") << "10719,V,27500"
                                      << "56";
    QTest::newRow("empty FEC") << "10719,V,27500,,DVB-S"
                               << "56";
    QTest::newRow("no system") << "10719,V,27500,34"
                               << "56";
    QTest::newRow("S2 without 8PSK entry") << "10719,V,27500,78,S2"
                                           << "56";
    QTest::newRow("unknown FEC, DVB-S") << "10719,V,27500,67,DVB-S"
                                        << "34";
    QTest::newRow("own FEC") << "10719,V,27500,91,DVB-S"
                             << "108";
}

void TestScan::fecSelectionCarriedOver()
{
    QFETCH(QString, second);
    QFETCH(QString, code);
    ProgramFixture f(oneSatellite({"11766,H,27500,56,DVB-S", second}));
    chooseSatellite(QStringLiteral("Test Sat"));
    f.sim.clearJournal();
    Form1->SpeedButton3Click();
    const QStringList rates = f.sim.journal().filter(QStringLiteral("SetSatPatRate"));
    QCOMPARE(rates, (QStringList{"SetSatPatRate 56", "SetSatPatRate " + code}));
}

void TestScan::polarizationAndLof_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("lnb");
    QTest::addColumn<QString>("customLof");
    QTest::addColumn<QString>("tune");
    QTest::newRow("V") << "11766,V,27500" << 0 << ""
                       << "TuneSatChannel 27500 11766 0 10600";
    QTest::newRow("H") << "11766,H,27500" << 0 << ""
                       << "TuneSatChannel 27500 11766 1 10600";
    QTest::newRow("R") << "11766,R,27500" << 0 << ""
                       << "TuneSatChannel 27500 11766 0 10600";
    QTest::newRow("L") << "11766,L,27500" << 0 << ""
                       << "TuneSatChannel 27500 11766 1 10600";
    QTest::newRow("small h") << "11766,h,27500" << 0 << ""
                             << "TuneSatChannel 27500 11766 0 10600";
    QTest::newRow("X") << "11766,X,27500" << 0 << ""
                       << "TuneSatChannel 27500 11766 0 10600";
    QTest::newRow("circular") << "3900,H,27500" << 1 << ""
                              << "TuneSatChannel 27500 3900 1 10750";
    QTest::newRow("other typed") << "3900,V,27500" << 2 << "5150"
                                 << "TuneSatChannel 27500 3900 0 5150";
    QTest::newRow("other empty") << "11700,V,27500" << 2 << ""
                                 << "TuneSatChannel 27500 11700 0 9750";
    QTest::newRow("C band") << "9999,V,27500" << 0 << ""
                            << "TuneSatChannel 27500 9999 0 5150";
}

void TestScan::polarizationAndLof()
{
    QFETCH(QString, line);
    QFETCH(int, lnb);
    QFETCH(QString, customLof);
    QFETCH(QString, tune);
    ProgramFixture f(oneSatellite({line}));
    chooseSatellite(QStringLiteral("Test Sat"));
    Form1->ComboBox5->setCurrentIndex(lnb);
    Form1->Edit3->setText(customLof);
    f.sim.clearJournal();
    Form1->SpeedButton3Click();
    QCOMPARE(f.sim.journal().filter(QStringLiteral("TuneSatChannel")), QStringList{tune});
}

void TestScan::averagedReadingsGoIntoTheLine()
{
    ProgramFixture f(oneSatellite({"11766,H,27500", "12000,V,27500"}));
    chooseSatellite(QStringLiteral("Test Sat"));
    Form1->CheckBox1->setChecked(true);
    for (auto [q, l] : {std::pair{70, 10}, {71, 20}, {71, 31}, {0, 5}, {0, 5}, {2, 5}})
        f.sim.pushReading(q, l);
    Form1->SpeedButton3Click();
    QCOMPARE(
        reportLines(),
        (QStringList{"Транспондер: 11766,H,27500   |Качество сигнала-70   |Уровень сигнала-20",
                     "Транспондер: 12000,V,27500   |Качество сигнала-0   |Уровень сигнала-5"}));
    QCOMPARE(Form2->Label9->text(), QStringLiteral("1"));
    QCOMPARE(barsOf(Form4->Series1), 1);
}

void TestScan::showOnlyCaught()
{
    ProgramFixture f(oneSatellite({"11766,H,27500", "12000,V,27500"}));
    chooseSatellite(QStringLiteral("Test Sat"));
    Form1->CheckBox2->setChecked(true);
    f.sim.pushReading(0, 30);
    f.sim.pushReading(50, 60);
    Form1->SpeedButton3Click();
    QCOMPARE(
        reportLines(),
        QStringList{"Транспондер: 12000,V,27500   |Качество сигнала-50   |Уровень сигнала-60"});
    QCOMPARE(Form2->Label7->text(), QStringLiteral("2"));
    QCOMPARE(Form2->Label8->text(), QStringLiteral("2"));
    QCOMPARE(Form2->Label9->text(), QStringLiteral("1"));
}

void TestScan::caughtBarsCarryFrequencyQualityAndColour()
{
    ProgramFixture f(
        oneSatellite({"10700,H,27500", "10800,V,27500", "10900,V,27500", "11000,V,27500"}));
    chooseSatellite(QStringLiteral("Test Sat"));
    Form1->CheckBox4->setChecked(true);
    for (int q : {40, 0, 41, 56})
        f.sim.pushReading(q, 1);
    Form1->SpeedButton3Click();
    const QList<scan::Bar> bars = Form4->Series1->bars();
    QCOMPARE(bars.size(), 3);
    const QColor red(255, 0, 0), blue(0, 0, 255), green(0, 128, 0);
    const QList<std::tuple<int, int, QString, QColor>> expected{
        {1, 40, "10700", red}, {2, 41, "10900", blue}, {3, 56, "11000", green}};
    for (int i = 0; i < bars.size(); ++i) {
        QCOMPARE(bars[i].x, std::get<0>(expected[i]));
        QCOMPARE(bars[i].value, std::get<1>(expected[i]));
        QCOMPARE(bars[i].label, std::get<2>(expected[i]));
        QCOMPARE(bars[i].colour, std::get<3>(expected[i]));
    }
    QCOMPARE(barsOf(Form4->BarSeries1) + barsOf(Form4->BarSeries2), 0);
    QVERIFY(Form4->isVisible());
    QVERIFY(!Form4->SpeedButton1->isHidden());
    QVERIFY(Form1->SpeedButton1->isEnabled());
    QVERIFY(Form2->SpeedButton1->isEnabled());
    QCOMPARE(CaughtCount, 3);
}

void TestScan::cancelSeenBeforeNextTransponder_data()
{
    QTest::addColumn<int>("clickAtPoint"); // message point at which the user clicks
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("measured");
    QTest::newRow("during the first") << 1 << 1 << 1;
    QTest::newRow("during the second") << 2 << 1 << 2;
    QTest::newRow("twice") << 1 << 2 << 1;
}

void TestScan::cancelSeenBeforeNextTransponder()
{
    QFETCH(int, clickAtPoint);
    QFETCH(int, clicks);
    QFETCH(int, measured);
    ProgramFixture f(
        oneSatellite({"10700,H,27500", "10800,V,27500", "10900,V,27500", "11000,V,27500"}));
    chooseSatellite(QStringLiteral("Test Sat"));
    for (int i = 0; i < 4; ++i)
        f.sim.pushReading(50 + i, 1);
    f.sim.clearJournal();
    int point = 0;
    QString captionSeen;
    platform::setProcessMessagesHook([&] {
        if (++point == clickAtPoint) {
            for (int c = 0; c < clicks; ++c)
                Form2->SpeedButton2->click();
            captionSeen = Form2->SpeedButton2->text();
        }
    });
    Form1->SpeedButton3Click();
    QCOMPARE(captionSeen, QStringLiteral("ожидайте"));
    QCOMPARE(f.sim.journal().filter(QStringLiteral("TuneSatChannel")).size(), measured);
    QCOMPARE(reportLines().size(), measured);
    QCOMPARE(Form2->Label8->text(), QString::number(measured));
    QCOMPARE(barsOf(Form4->Series1), measured); // bars for everything caught so far
    QCOMPARE(CaughtCount, measured);
    QCOMPARE(Form2->SpeedButton2->text(), QStringLiteral("Отмена"));
}

void TestScan::cancelWithoutScanChangesNothing()
{
    ProgramFixture f(oneSatellite({"10700,H,27500", "10800,V,27500"}));
    chooseSatellite(QStringLiteral("Test Sat"));
    Form2->SpeedButton2->click();
    QCOMPARE(Form2->SpeedButton2->text(), QStringLiteral("Отмена"));
    f.sim.clearJournal();
    Form1->SpeedButton3Click();
    QCOMPARE(f.sim.journal().filter(QStringLiteral("TuneSatChannel")).size(), 2);
}

void TestScan::chartsButtonDuringScanShowsNewTitlesNoBars()
{
    ProgramFixture f(oneSatellite({"10700,H,27500"}, QStringLiteral("Astra <1>")));
    chooseSatellite(QStringLiteral("Astra <1>"));
    f.sim.pushReading(50, 1);
    bool checked = false;
    platform::setProcessMessagesHook([&] {
        if (checked)
            return;
        checked = true;
        Form2->SpeedButton3->click();
        QVERIFY(Form4->isVisible());
        QCOMPARE(barsOf(Form4->Series1), 0);
        QVERIFY(Form4->SpeedButton1->isHidden());
        QVERIFY(!Form1->SpeedButton1->isEnabled());
        QVERIFY(!Form2->SpeedButton1->isEnabled());
    });
    Form1->SpeedButton3Click();
    QVERIFY(checked);
    const QString first = QStringLiteral("Спутниковая карта QX");
    QCOMPARE(Form4->Chart1->titleLines(), (QStringList{first, "Спутник: Astra <1>"}));
    QCOMPARE(Form4->Chart2->titleLines(), (QStringList{first, "Спутник: Astra <1> вторая часть"}));
    QCOMPARE(Form4->Chart3->titleLines(), (QStringList{first, "Спутник: Astra <1> третья часть"}));
    QCOMPARE(Form4->Chart1->chart()->title(),
             QStringLiteral("Спутниковая карта QX<br>Спутник: Astra &lt;1&gt;"));
    QCOMPARE(barsOf(Form4->Series1), 1);
}

void TestScan::conversionErrorEndsScan_data()
{
    QTest::addColumn<QString>("badLine");
    QTest::addColumn<int>("lnb");
    QTest::addColumn<QString>("error");
    QTest::newRow("frequency") << "abc,V,27500" << 0 << "'abc' is not a valid integer value";
    QTest::newRow("symbol rate") << "10800,V,27 500" << 0
                                 << "'27 500' is not a valid integer value";
    QTest::newRow("no comma") << "10800" << 0 << "'' is not a valid integer value";
    QTest::newRow("typed LOF") << "10800,V,27500" << 2 << "'x' is not a valid integer value";
}

void TestScan::conversionErrorEndsScan()
{
    QFETCH(QString, badLine);
    QFETCH(int, lnb);
    QFETCH(QString, error);
    // A bad typed LOF already stops the first line.
    ProgramFixture f(oneSatellite({"10700,H,27500", badLine, "10900,V,27500"}));
    chooseSatellite(QStringLiteral("Test Sat"));
    Form1->CheckBox4->setChecked(true);
    if (lnb == 2) {
        Form1->ComboBox5->setCurrentIndex(2);
        Form1->Edit3->setText(QStringLiteral("x"));
    }
    f.sim.pushReading(50, 1);
    f.sim.clearJournal();
    Form1->SpeedButton3->click(); // through the handler guard, which shows the error

    QCOMPARE(f.dialogs.errors, QStringList{error});
    const int measured = lnb == 2 ? 0 : 1;
    QCOMPARE(f.sim.journal().filter(QStringLiteral("TuneSatChannel")).size(), measured);
    QCOMPARE(reportLines().size(), measured);
    QCOMPARE(Form2->Label8->text(), QString::number(lnb == 2 ? 1 : 2));
    // Nothing stays locked; the charts of this run get no bars and no save.
    QVERIFY(Form1->SpeedButton1->isEnabled());
    QVERIFY(Form2->SpeedButton1->isEnabled());
    QCOMPARE(Form2->SpeedButton2->text(), QStringLiteral("Отмена"));
    QVERIFY(Form4->SpeedButton1->isHidden());
    QVERIFY(!Form4->isVisible());
    QCOMPARE(barsOf(Form4->Series1), 0);
    QCOMPARE(CaughtCount, 0);
    // The next scan starts normally.
    Form1->ComboBox5->setCurrentIndex(0);
    f.sim.clearJournal();
    Form1->SpeedButton3->click();
    QVERIFY(!f.sim.journal().filter(QStringLiteral("TuneSatChannel")).isEmpty());
}

void TestScan::secondPressWhileRunningIsIgnored()
{
    ProgramFixture f(oneSatellite({"10700,H,27500", "10800,V,27500"}));
    chooseSatellite(QStringLiteral("Test Sat"));
    f.sim.clearJournal();
    bool pressed = false;
    platform::setProcessMessagesHook([&] {
        if (!pressed) {
            pressed = true;
            QVERIFY(Form1->SpeedButton3->isEnabled());
            Form1->SpeedButton3->click();
        }
    });
    Form1->SpeedButton3Click();
    QVERIFY(pressed);
    QCOMPARE(f.sim.journal().filter(QStringLiteral("TuneSatChannel")).size(), 2);
    QCOMPARE(reportLines().size(), 2);
    // Once it ended the button works again.
    platform::setProcessMessagesHook({});
    f.sim.clearJournal();
    Form1->SpeedButton3->click();
    QCOMPARE(f.sim.journal().filter(QStringLiteral("TuneSatChannel")).size(), 2);
}

void TestScan::satelliteChangeCannotReadPastTheList()
{
    FixtureOptions o;
    o.lists[QStringLiteral("long.ini")] =
        listFile(QStringLiteral("Long"), {"10700,H,27500", "10800,V,27500", "10900,V,27500"});
    o.lists[QStringLiteral("short.ini")] =
        listFile(QStringLiteral("Short"), {"12000,V,27500", "12100,V,27500"});
    ProgramFixture f(o);
    chooseSatellite(QStringLiteral("Long"));
    f.sim.pushReading(50, 1);
    f.sim.pushReading(0, 0);
    f.sim.clearJournal();
    bool changed = false;
    platform::setProcessMessagesHook([&] {
        if (!changed) {
            changed = true;
            chooseSatellite(QStringLiteral("Short"));
        }
    });
    Form1->SpeedButton3Click();
    // The second line is read from the list as it is now; there is no third.
    QCOMPARE(
        f.sim.journal().filter(QStringLiteral("TuneSatChannel")),
        (QStringList{"TuneSatChannel 27500 10700 1 9750", "TuneSatChannel 27500 12100 0 10600"}));
    QCOMPARE(reportLines().size(), 2);
    QCOMPARE(Form2->Label7->text(), QStringLiteral("3"));
    QVERIFY(Form1->SpeedButton1->isEnabled());
    QVERIFY(Form2->SpeedButton1->isEnabled());
    QCOMPARE(CaughtCount, 1);
}

void TestScan::satelliteWithoutLines()
{
    ProgramFixture f(oneSatellite({}, QStringLiteral("Empty")));
    chooseSatellite(QStringLiteral("Empty"));
    Form1->CheckBox4->setChecked(true);
    f.sim.clearJournal();
    Form1->SpeedButton3Click();
    QVERIFY(f.sim.journal().isEmpty());
    QVERIFY(reportLines().isEmpty());
    QCOMPARE(Form2->Label6->text(), QStringLiteral("Empty"));
    for (QLabel *l : {Form2->Label7, Form2->Label8, Form2->Label9})
        QCOMPARE(l->text(), QStringLiteral("0"));
    QVERIFY(Form2->isVisible());
    QVERIFY(Form4->isVisible());
    QVERIFY(!Form4->SpeedButton1->isHidden());
    QCOMPARE(CaughtCount, 0);
}

void TestScan::secondScanHoldsOnlyItsOwnBars()
{
    FixtureOptions o;
    o.lists[QStringLiteral("a.ini")] =
        listFile(QStringLiteral("First"), {"10700,H,27500", "10800,V,27500"});
    o.lists[QStringLiteral("b.ini")] = listFile(QStringLiteral("Second"), {"12000,V,27500"});
    ProgramFixture f(o);
    chooseSatellite(QStringLiteral("First"));
    f.sim.pushReading(50, 1);
    f.sim.pushReading(60, 1);
    Form1->SpeedButton3Click();
    QCOMPARE(barsOf(Form4->Series1), 2);
    chooseSatellite(QStringLiteral("Second"));
    f.sim.pushReading(70, 1);
    Form1->SpeedButton3Click();
    QCOMPARE(barsOf(Form4->Series1), 1);
    QCOMPARE(Form4->Series1->bars().first().label, QStringLiteral("12000"));
    QCOMPARE(Form4->Chart1->titleLines().last(), QStringLiteral("Спутник: Second"));
    QCOMPARE(reportLines().size(), 1);
    QCOMPARE(CaughtCount, 1);
}

void TestScan::moreThanThousandCaught()
{
    QStringList lines;
    for (int i = 0; i < 1001; ++i)
        lines << QStringLiteral("%1,V,27500").arg(10700 + i);
    ProgramFixture f(oneSatellite(lines));
    chooseSatellite(QStringLiteral("Test Sat"));
    for (int i = 0; i < 1001; ++i)
        f.sim.pushReading(50, 1);
    Form1->SpeedButton3Click();
    QCOMPARE(Form2->Label9->text(), QStringLiteral("1001"));
    QCOMPARE(reportLines().size(), 1001);
    QCOMPARE(CaughtCount, 1001);
    // The table keeps 1000: the last catch is listed and counted, not charted.
    QCOMPARE(barsOf(Form4->Series1), 333);
    QCOMPARE(barsOf(Form4->BarSeries1), 334);
    QCOMPARE(barsOf(Form4->BarSeries2), 333);
    QCOMPARE(Form4->BarSeries2->bars().first().x, 2);
    QCOMPARE(Form4->BarSeries2->bars().last().x, 334);
    QCOMPARE(Form4->BarSeries2->bars().last().label, QStringLiteral("11699"));
}

ORVANTA_TEST(TestScan)
#include "test_scan.moc"
