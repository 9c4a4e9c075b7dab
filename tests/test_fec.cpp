#include "app/form1.h"
#include "app/globals.h"
#include "platform/wait.h"
#include "scan/form6.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

namespace {

const QStringList kNames = {
    "DVB-S QPSK 1/2",  "DVB-S QPSK 2/3",  "DVB-S QPSK 3/4",   "DVB-S QPSK 5/6",  "DVB-S QPSK 7/8",
    "DVB-S2 QPSK 1/2", "DVB-S2 QPSK 3/5", "DVB-S2 QPSK 2/3",  "DVB-S2 QPSK 3/4", "DVB-S2 QPSK 4/5",
    "DVB-S2 QPSK 5/6", "DVB-S2 QPSK 8/9", "DVB-S2 QPSK 9/10", "DVB-S2 8PSK 3/5", "DVB-S2 8PSK 2/3",
    "DVB-S2 8PSK 3/4", "DVB-S2 8PSK 5/6", "DVB-S2 8PSK 8/9",  "DVB-S2 8PSK 9/10"};
const QList<int> kCodes = {12,  23,  34,  56,  78,  101, 102, 103, 104, 105,
                           106, 107, 108, 109, 110, 111, 112, 113, 114};
const QString kMark = QStringLiteral(" !!!! Внимание! Есть сигнал!!!");

QString resultLine(int index, int level, int quality)
{
    // "Cигнал" begins with a Latin C.
    return QStringLiteral("FEC: %1 | \x43игнал: %2 | Качество: %3")
        .arg(kNames[index])
        .arg(level)
        .arg(quality);
}

QStringList listLines()
{
    QStringList out;
    for (int i = 0; i < Form6->ListBox1->count(); ++i)
        out << Form6->ListBox1->item(i)->text();
    return out;
}

void setFields(const QString &frequency, const QString &symbolRate, int polarization)
{
    Form1->Edit1->setText(frequency);
    Form1->Edit2->setText(symbolRate);
    Form1->ComboBox1->setCurrentIndex(polarization);
}

} // namespace

class TestFec : public QObject
{
    Q_OBJECT
private slots:
    void window();
    void fullRun();
    void stepsOfEachTry();
    void mark_data();
    void mark();
    void secondSearchClearsList();
    void emptyFieldDoesNothing_data();
    void emptyFieldDoesNothing();
    void conversionError_data();
    void conversionError();
    void missingLibrary();
};

void TestFec::window()
{
    ProgramFixture f;
    Form6->show();
    QCOMPARE(Form6->frameGeometry(), QRect(495, 307, 527, 472));
    QCOMPARE(Form6->windowTitle(), QStringLiteral("Поиск DVB-S2 fec"));
    QVERIFY(Form6->windowFlags().testFlag(Qt::Tool));
    QCOMPARE(Form6->ListBox1->geometry(), QRect(8, 8, 497, 425));
}

void TestFec::fullRun()
{
    ProgramFixture f;
    setFields("11766", "27500", 1);
    QList<QPair<int, int>> readings; // quality, level
    for (int i = 0; i < 19; ++i)
        readings << qMakePair(i == 7 ? 63 : 0, 30 + i);
    for (const auto &r : readings)
        f.sim.pushReading(r.first, r.second);
    f.sim.clearJournal();
    Form1->SpeedButton7->click();

    QStringList expected = {"поиск fec для DVB-S2", "Заданная частота:11766",
                            "Заданная скорость: 27500", "Заданная поляризация: Горизонтальная"};
    QStringList journal;
    for (int i = 0; i < 19; ++i) {
        expected << resultLine(i, readings[i].second, readings[i].first) +
                        (i == 7 ? kMark : QString());
        journal << QStringLiteral("SetSatPatRate %1").arg(kCodes[i])
                << "TuneSatChannel 27500 11766 1 10600"
                << "QuerySignal";
    }
    QCOMPARE(listLines(), expected);
    QCOMPARE(f.sim.journal(), journal);
    QCOMPARE(f.waits, QList<int>(19, 10000));
    QVERIFY(Form6->isVisible());
    // The state the search leaves.
    QCOMPARE(int(TuneFecCode), 114);
    QCOMPARE(TuneFrequency, 11766);
    QCOMPARE(TuneSymbolRate, 27500);
    QCOMPARE(TunePolarization, 1);
    QCOMPARE(TuneLof, 10600);
    QCOMPARE(MeterState, 1);
    QVERIFY(!Form1->SpeedButton1->isEnabled());
    QVERIFY(!Form1->SpeedButton3->isEnabled());
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestFec::stepsOfEachTry()
{
    ProgramFixture f;
    setFields("3900", "4000", 0);
    Form1->ComboBox2->setCurrentIndex(3); // Port C
    Form1->ComboBox5->setCurrentIndex(1); // circular
    f.sim.clearJournal();
    // The journal with the message and wait points put in where they happened.
    QStringList trace;
    qsizetype journalSeen = 0;
    auto mark = [&](const QString &what) {
        const QStringList journal = f.sim.journal();
        trace << journal.mid(journalSeen);
        journalSeen = journal.size();
        if (!what.isEmpty())
            trace << what;
    };
    platform::setProcessMessagesHook([&] { mark(QStringLiteral("MSG")); });
    platform::setWaitFunction(
        [&](int ms) { mark(ms == 10000 ? QStringLiteral("WAIT") : QStringLiteral("other wait")); });
    Form1->SpeedButton7->click();
    mark(QString());
    QStringList expected = {"SetDiSEqCSwitchPort 3", "SetDiSEqCSwitchPort 3",
                            "SetDiSEqCSwitchPort 3"};
    for (int code : kCodes)
        expected << QStringLiteral("SetSatPatRate %1").arg(code)
                 << "TuneSatChannel 4000 3900 0 10750"
                 << "MSG"
                 << "WAIT"
                 << "QuerySignal";
    QCOMPARE(trace, expected);
}

void TestFec::mark_data()
{
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("marked");
    QTest::newRow("quality 0, high level") << 0 << 99 << false;
    QTest::newRow("quality 1, no level") << 1 << 0 << true;
    QTest::newRow("negative quality") << -4 << 60 << false;
    QTest::newRow("negative level") << 20 << -7 << true;
}

void TestFec::mark()
{
    QFETCH(int, quality);
    QFETCH(int, level);
    QFETCH(bool, marked);
    ProgramFixture f;
    setFields("12000", "27500", 0);
    f.sim.pushReading(quality, level);
    Form1->SpeedButton7->click();
    QCOMPARE(Form6->ListBox1->item(4)->text(),
             resultLine(0, level, quality) + (marked ? kMark : QString()));
}

void TestFec::secondSearchClearsList()
{
    ProgramFixture f;
    setFields("12000", "27500", 0);
    Form1->SpeedButton7->click();
    setFields("12100", "30000", 0);
    Form1->SpeedButton7->click();
    QCOMPARE(Form6->ListBox1->count(), 23);
    QCOMPARE(Form6->ListBox1->item(1)->text(), QStringLiteral("Заданная частота:12100"));
}

void TestFec::emptyFieldDoesNothing_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("symbolRate");
    QTest::newRow("frequency") << ""
                               << "27500";
    QTest::newRow("symbol rate") << "12000"
                                 << "";
}

void TestFec::emptyFieldDoesNothing()
{
    QFETCH(QString, frequency);
    QFETCH(QString, symbolRate);
    ProgramFixture f;
    setFields(frequency, symbolRate, 0);
    f.sim.clearJournal();
    Form1->SpeedButton7->click();
    QVERIFY(!Form6->isVisible());
    QVERIFY(f.sim.journal().isEmpty());
    QVERIFY(f.waits.isEmpty());
    QCOMPARE(MeterState, 0);
    QVERIFY(Form1->SpeedButton1->isEnabled());
}

void TestFec::conversionError_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("symbolRate");
    QTest::addColumn<QString>("customLof");
    QTest::addColumn<QString>("error");
    QTest::newRow("frequency") << "12 000"
                               << "27500"
                               << ""
                               << "'12 000' is not a valid integer value";
    QTest::newRow("both: symbol rate first") << "x"
                                             << "y"
                                             << ""
                                             << "'y' is not a valid integer value";
    QTest::newRow("custom LOF") << "12000"
                                << "27500"
                                << "9750a"
                                << "'9750a' is not a valid integer value";
}

void TestFec::conversionError()
{
    QFETCH(QString, frequency);
    QFETCH(QString, symbolRate);
    QFETCH(QString, customLof);
    QFETCH(QString, error);
    ProgramFixture f;
    setFields(frequency, symbolRate, 0);
    if (!customLof.isEmpty()) {
        Form1->ComboBox5->setCurrentIndex(2);
        Form1->Edit3->setText(customLof);
    }
    f.sim.clearJournal();
    Form1->SpeedButton7->click();
    QCOMPARE(f.dialogs.errors, QStringList{error});
    QVERIFY(Form6->isVisible());
    QCOMPARE(listLines(), (QStringList{"поиск fec для DVB-S2", "Заданная частота:" + frequency,
                                       "Заданная скорость: " + symbolRate,
                                       "Заданная поляризация: Вертикальная"}));
    QCOMPARE(MeterState, 1);
    QVERIFY(!Form1->SpeedButton1->isEnabled());
    QVERIFY(!Form1->SpeedButton3->isEnabled());
    QVERIFY(f.sim.journal().isEmpty());
    QVERIFY(f.waits.isEmpty());
}

void TestFec::missingLibrary()
{
    FixtureOptions o;
    o.libraryDir = testing_support::missingLibraryDir();
    ProgramFixture f(o);
    setFields("12000", "27500", 0);
    Form1->ComboBox2->setCurrentIndex(1); // the DiSEqC port is skipped in silence
    Form1->SpeedButton7->click();
    QCOMPARE(f.dialogs.messages, QStringList(19 * 3, QStringLiteral("Функция не найдена")));
    QCOMPARE(Form6->ListBox1->count(), 23);
    for (int i = 0; i < 19; ++i)
        QCOMPARE(Form6->ListBox1->item(4 + i)->text(), resultLine(i, 0, 0));
    QCOMPARE(f.waits.size(), 19);
}

ORVANTA_TEST(TestFec)
#include "test_fec.moc"
