#include "app/form1.h"
#include "app/globals.h"
#include "platform/errors.h"
#include "platform/wait.h"
#include "scan/blindsearch.h"
#include "scan/form3.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

namespace {

const QString kWait = QStringLiteral("ожидайте");
const QString kStop = QStringLiteral("Остановить");

// Sets the blind search window up from "Name=value;Name;...": a field gets the
// text, a step list the shown item, a bare name checks that radio button.
void configure(const QString &settings)
{
    for (const QString &token : settings.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = token.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? token : token.left(eq);
        const QString value = eq < 0 ? QString() : token.mid(eq + 1);
        QObject *o = Form3->findChild<QObject *>(name);
        QVERIFY2(o, qPrintable(name));
        if (auto *e = qobject_cast<QLineEdit *>(o))
            e->setText(value);
        else if (auto *c = qobject_cast<QComboBox *>(o))
            c->setCurrentIndex(c->findText(value));
        else if (auto *r = qobject_cast<QRadioButton *>(o))
            r->setChecked(true);
        else
            QFAIL(qPrintable(name));
    }
}

// The journal entries starting with `prefix`, without it.
QStringList calls(const ProgramFixture &f, const QString &prefix)
{
    QStringList out;
    for (const QString &line : f.sim.journal())
        if (line.startsWith(prefix))
            out << line.mid(prefix.size());
    return out;
}

QStringList listLines(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// The journal with "MSG" wherever the program let messages run.
struct Trace
{
    explicit Trace(ProgramFixture &f) : fixture(f)
    {
        platform::setProcessMessagesHook([this] { marks << fixture.sim.journal().size(); });
    }
    QStringList merged() const
    {
        QStringList out;
        const QStringList journal = fixture.sim.journal();
        int m = 0;
        for (int i = 0; i <= journal.size(); ++i) {
            while (m < marks.size() && marks[m] == i) {
                out << QStringLiteral("MSG");
                ++m;
            }
            if (i < journal.size())
                out << journal[i].section(QLatin1Char(' '), 0, 0);
        }
        return out;
    }
    ProgramFixture &fixture;
    QList<qsizetype> marks;
};

// Clicks Stop at the n-th point where messages run (1 = the first).
void stopAtMessagePoint(int n)
{
    auto count = std::make_shared<int>(0);
    platform::setProcessMessagesHook([count, n] {
        if (++*count == n)
            Form3->SpeedButton2->click();
    });
}

void start()
{
    Form3->SpeedButton1->click();
}

} // namespace

class TestBlind : public QObject
{
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void symbolRateList_data();
    void symbolRateList();
    void pointOrder_data();
    void pointOrder();
    void onePointCallsInOrder_data();
    void onePointCallsInOrder();
    void messagePoints_data();
    void messagePoints();
    void stopDuringSearch_data();
    void stopDuringSearch();
    void stopBeforeStartMeasuresNothing();
    void fieldsReadAtUse_data();
    void fieldsReadAtUse();
    void foundLines_data();
    void foundLines();
    void conversionErrorSkipsEndSteps_data();
    void conversionErrorSkipsEndSteps();
    void twoSearchesAppendAndSave();
    void cancelledSaveWritesNothing();
    void noLibraryListsNothing();
    void openAndCloseLeavesDeviceReleased_data();
    void openAndCloseLeavesDeviceReleased();
};

void TestBlind::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // empty size: only the place is fixed
    QTest::addColumn<QString>("text");
    QTest::newRow("Edit1") << "Edit1" << QRect(88, 8, 57, 21) << "10800";
    QTest::newRow("Edit2") << "Edit2" << QRect(168, 8, 57, 21) << "12700";
    QTest::newRow("ComboBox1") << "ComboBox1" << QRect(256, 8, 81, 21) << "1";
    QTest::newRow("Edit5") << "Edit5" << QRect(232, 48, 201, 21) << "";
    QTest::newRow("Edit6") << "Edit6" << QRect(232, 72, 201, 21)
                           << "3333,4444, 4800, 5600, 12000, 22000,27500,26500,29800,30000,";
    QTest::newRow("Edit3") << "Edit3" << QRect(232, 96, 57, 21) << "1000";
    QTest::newRow("Edit4") << "Edit4" << QRect(312, 96, 57, 21) << "45000";
    QTest::newRow("ComboBox2") << "ComboBox2" << QRect(400, 96, 81, 21) << "1";
    QTest::newRow("RadioButton1") << "RadioButton1" << QRect(144, 51, 0, 0) << "Заданная";
    QTest::newRow("RadioButton2") << "RadioButton2" << QRect(144, 76, 0, 0) << "Несколько";
    QTest::newRow("RadioButton3") << "RadioButton3" << QRect(144, 100, 0, 0) << "Предел";
    QTest::newRow("LMDTextRadioButton1")
        << "LMDTextRadioButton1" << QRect(144, 136, 0, 0) << "Вертикальная";
    QTest::newRow("LMDTextRadioButton2")
        << "LMDTextRadioButton2" << QRect(144, 160, 0, 0) << "Горизонтальная";
    QTest::newRow("LMDTextRadioButton3")
        << "LMDTextRadioButton3" << QRect(144, 184, 0, 0) << "Обе поляризации";
    QTest::newRow("Label1") << "Label1" << QRect(16, 14, 0, 0) << "Частоты";
    QTest::newRow("Label2") << "Label2" << QRect(16, 48, 0, 0) << "Символьная скорость";
    QTest::newRow("Label3") << "Label3" << QRect(16, 136, 0, 0) << "Поляризация";
    QTest::newRow("Label10") << "Label10" << QRect(16, 208, 0, 0) << "Текущее значение";
    QTest::newRow("Label11") << "Label11" << QRect(136, 208, 0, 0) << "none";
    QTest::newRow("Label12") << "Label12" << QRect(184, 240, 0, 0) << "Найденные транспондеры:";
    QTest::newRow("Panel1") << "Panel1" << QRect(16, 32, 481, 9) << "";
    QTest::newRow("Panel2") << "Panel2" << QRect(16, 120, 481, 9) << "";
    QTest::newRow("Panel3") << "Panel3" << QRect(16, 224, 481, 9) << "";
    QTest::newRow("ListBox1") << "ListBox1" << QRect(16, 256, 481, 201) << "";
    QTest::newRow("SpeedButton2") << "SpeedButton2" << QRect(160, 464, 105, 22) << "Остановить";
    QTest::newRow("SpeedButton3") << "SpeedButton3" << QRect(272, 464, 105, 22) << "Сохранить";
    QTest::newRow("SpeedButton1") << "SpeedButton1" << QRect(384, 464, 113, 22) << "Начать поиск";
}

void TestBlind::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    ProgramFixture f;
    auto *w = Form3->findChild<QWidget *>(name);
    QVERIFY(w);
    if (geometry.isEmpty())
        QCOMPARE(w->pos(), geometry.topLeft());
    else
        QCOMPARE(w->geometry(), geometry);
    QString shown;
    if (auto *e = qobject_cast<QLineEdit *>(w))
        shown = e->text();
    else if (auto *c = qobject_cast<QComboBox *>(w))
        shown = c->currentText();
    else if (auto *b = qobject_cast<QAbstractButton *>(w))
        shown = b->text();
    else if (auto *l = qobject_cast<QLabel *>(w))
        shown = l->text();
    QCOMPARE(shown, text);
    // The text must fit where the window puts it.
    if (auto *b = qobject_cast<QRadioButton *>(w))
        QVERIFY(b->sizeHint().width() <= b->width());

    if (name.startsWith(QLatin1String("ComboBox"))) {
        auto *c = static_cast<QComboBox *>(w);
        QStringList items;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        QCOMPARE(items, QStringLiteral("1,2,3,4,5,6,7,8,9,10,15,20,25,30,35,40,45,50,55,60,70,80,"
                                       "90,100,110,120,130,140,150,160,170,180,190,200,300,400,500,"
                                       "600,700,800,900,1000")
                            .split(QLatin1Char(',')));
    }
}

void TestBlind::symbolRateList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("rates");
    QTest::addColumn<QString>("badEntry"); // null: the list ends without an error
    QTest::newRow("no final comma") << "3333,4444" << QList<int>{3333} << QString();
    QTest::newRow("leading blanks") << " 4800,  5600," << QList<int>{4800, 5600} << QString();
    QTest::newRow("default list") << "3333,4444, 4800, 5600, 12000, 22000,27500,26500,29800,30000,"
                                  << QList<int>{3333,  4444,  4800,  5600,  12000,
                                                22000, 27500, 26500, 29800, 30000}
                                  << QString();
    QTest::newRow("empty") << "" << QList<int>{} << QString();
    QTest::newRow("two commas") << "3333,,4444," << QList<int>{3333} << "";
    QTest::newRow("only a comma") << "," << QList<int>{} << "";
    QTest::newRow("trailing blank") << "27500 ," << QList<int>{} << "27500 ";
    QTest::newRow("letters") << "12000,abc,4800," << QList<int>{12000} << "abc";
}

void TestBlind::symbolRateList()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, rates);
    QFETCH(QString, badEntry);
    QString rest = text;
    QList<int> got;
    try {
        while (const auto rate = scan::takeListSymbolRate(rest))
            got << *rate;
        QVERIFY(badEntry.isNull());
    } catch (const platform::ConvertError &e) {
        QVERIFY(!badEntry.isNull());
        QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(badEntry));
    }
    QCOMPARE(got, rates);
}

void TestBlind::pointOrder_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("tunes"); // symbol rate, frequency, polarization, LOF
    QTest::newRow("range, V pass then H pass")
        << "Edit1=10800;Edit2=10801;Edit3=1000;Edit4=1001"
        << QStringList{"1000 10800 0 9750", "1001 10800 0 9750", "1000 10801 0 9750",
                       "1001 10801 0 9750", "1000 10800 1 9750", "1001 10800 1 9750",
                       "1000 10801 1 9750", "1001 10801 1 9750"};
    QTest::newRow("range, steps from the lists, H only")
        << "Edit1=10800;Edit2=10830;ComboBox1=15;Edit3=27000;Edit4=27500;ComboBox2=300;"
           "LMDTextRadioButton2"
        << QStringList{"27000 10800 1 9750", "27300 10800 1 9750", "27000 10815 1 9750",
                       "27300 10815 1 9750", "27000 10830 1 9750", "27300 10830 1 9750"};
    QTest::newRow("given, LOF edge")
        << "RadioButton1;Edit5=27500;Edit1=11700;Edit2=11701;LMDTextRadioButton1"
        << QStringList{"27500 11700 0 9750", "27500 11701 0 10600"};
    QTest::newRow("given, below 10000 MHz")
        << "RadioButton1;Edit5=3000;Edit1=3900;Edit2=3900;LMDTextRadioButton1"
        << QStringList{"3000 3900 0 9750"};
    QTest::newRow("several without final comma")
        << "RadioButton2;Edit6=3333,4444;Edit1=12000;Edit2=12000;LMDTextRadioButton2"
        << QStringList{"3333 12000 1 10600"};
    QTest::newRow("several, default list")
        << "RadioButton2;Edit1=12000;Edit2=12000;LMDTextRadioButton1"
        << QStringList{"3333 12000 0 10600",  "4444 12000 0 10600",  "4800 12000 0 10600",
                       "5600 12000 0 10600",  "12000 12000 0 10600", "22000 12000 0 10600",
                       "27500 12000 0 10600", "26500 12000 0 10600", "29800 12000 0 10600",
                       "30000 12000 0 10600"};
    QTest::newRow("last frequency below the first") << "Edit1=10801;Edit2=10800" << QStringList{};
    QTest::newRow("last symbol rate below the first")
        << "Edit1=10800;Edit2=10802;Edit3=2000;Edit4=1999" << QStringList{};
    QTest::newRow("range up to the largest number ends")
        << "Edit1=10800;Edit2=10800;Edit3=2147483646;Edit4=2147483647;LMDTextRadioButton1"
        << QStringList{"2147483646 10800 0 9750", "2147483647 10800 0 9750"};
}

void TestBlind::pointOrder()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, tunes);
    ProgramFixture f;
    configure(setup);
    f.sim.clearJournal();
    start();
    QCOMPARE(calls(f, QStringLiteral("TuneSatChannel ")), tunes);
    QCOMPARE(f.sim.journal().value(0), QStringLiteral("InitDevCtl"));
    QCOMPARE(calls(f, QStringLiteral("QuerySignal")).size(), tunes.size());
    // End steps ran.
    QVERIFY(Form3->SpeedButton1->isEnabled());
    QVERIFY(Form3->SpeedButton3->isEnabled());
    QCOMPARE(Form3->SpeedButton2->text(), kStop);
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.dialogs.errors.isEmpty());
}

void TestBlind::onePointCallsInOrder_data()
{
    QTest::addColumn<int>("fecCode");
    QTest::newRow("before any tuning") << 0;
    QTest::newRow("after a FEC search") << 114;
}

void TestBlind::onePointCallsInOrder()
{
    QFETCH(int, fecCode);
    ProgramFixture f;
    TuneFecCode = std::uint8_t(fecCode);
    TuneFrequency = 4321;
    configure("RadioButton1;Edit5=27500;Edit1=11766;Edit2=11766;LMDTextRadioButton2");
    f.sim.clearJournal();
    start();
    QCOMPARE(f.sim.journal(),
             (QStringList{"InitDevCtl", QStringLiteral("SetSatPatRate %1").arg(fecCode),
                          "TuneSatChannel 27500 11766 1 10600", "QuerySignal"}));
    // The main window's tuning parameters are neither written nor used.
    QCOMPARE(int(TuneFecCode), fecCode);
    QCOMPARE(TuneFrequency, 4321);
}

void TestBlind::messagePoints_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("trace");
    const QString one = QStringLiteral("Edit1=12000;Edit2=12000;LMDTextRadioButton1;");
    QTest::newRow("given") << one + "RadioButton1;Edit5=27500"
                           << QStringList{"InitDevCtl", "SetSatPatRate", "TuneSatChannel",
                                          "MSG",        "QuerySignal",   "MSG",
                                          "MSG"};
    QTest::newRow("several") << one + "RadioButton2;Edit6=1,2," << QStringList{"InitDevCtl",
                                                                               "SetSatPatRate",
                                                                               "TuneSatChannel",
                                                                               "MSG",
                                                                               "QuerySignal",
                                                                               "MSG",
                                                                               "SetSatPatRate",
                                                                               "TuneSatChannel",
                                                                               "MSG",
                                                                               "QuerySignal",
                                                                               "MSG",
                                                                               "MSG"};
    QTest::newRow("range") << one + "Edit3=1;Edit4=2"
                           << QStringList{
                                  "InitDevCtl",  "MSG", "SetSatPatRate", "TuneSatChannel", "MSG",
                                  "QuerySignal", "MSG", "SetSatPatRate", "TuneSatChannel", "MSG",
                                  "QuerySignal", "MSG"};
}

void TestBlind::messagePoints()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, trace);
    ProgramFixture f;
    configure(setup);
    f.sim.clearJournal();
    Trace t(f);
    start();
    QCOMPARE(t.merged(), trace);
}

void TestBlind::stopDuringSearch_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("stopAt"); // message point at which Stop is clicked
    QTest::addColumn<int>("queries");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("current");
    const QString given =
        QStringLiteral("RadioButton1;Edit5=27500;Edit1=12000;Edit2=12001;LMDTextRadioButton1");
    const QString line = QStringLiteral("12000--27500--V качество сигнала : 5");
    QTest::newRow("given, inside the point: reading dropped")
        << given << 1 << 1 << QStringList{} << "none";
    QTest::newRow("given, after the point")
        << given << 2 << 1 << QStringList{line} << "12000--27500--V";
    QTest::newRow("given, at the frequency step")
        << given << 3 << 1 << QStringList{line} << "12000--27500--V";
    QTest::newRow("range, before the first point")
        << "Edit1=12000;Edit2=12000;Edit3=27500;Edit4=27501;LMDTextRadioButton1" << 1 << 0
        << QStringList{} << "none";
    QTest::newRow("range, inside the point: reading kept")
        << "Edit1=12000;Edit2=12000;Edit3=27500;Edit4=27501;LMDTextRadioButton1" << 2 << 1
        << QStringList{line} << "12000--27500--V";
    QTest::newRow("several, inside the point: reading kept")
        << "RadioButton2;Edit6=27500,30000,;Edit1=12000;Edit2=12000;LMDTextRadioButton1" << 1 << 1
        << QStringList{line} << "12000--27500--V";
}

void TestBlind::stopDuringSearch()
{
    QFETCH(QString, setup);
    QFETCH(int, stopAt);
    QFETCH(int, queries);
    QFETCH(QStringList, lines);
    QFETCH(QString, current);
    ProgramFixture f;
    configure(setup);
    for (int i = 0; i < 4; ++i)
        f.sim.pushReading(5, 50);
    f.sim.clearJournal();
    stopAtMessagePoint(stopAt);
    start();
    QCOMPARE(calls(f, QStringLiteral("QuerySignal")).size(), queries);
    QCOMPARE(listLines(Form3->ListBox1), lines);
    QCOMPARE(Form3->Label11->text(), current);
    QCOMPARE(Form3->SpeedButton2->text(), kStop);
    QVERIFY(Form3->SpeedButton1->isEnabled());
    QVERIFY(Form3->SpeedButton3->isEnabled());
}

void TestBlind::stopBeforeStartMeasuresNothing()
{
    ProgramFixture f;
    configure("Edit1=12000;Edit2=12000;Edit3=1;Edit4=1");
    Form3->SpeedButton2->click();
    QCOMPARE(Form3->SpeedButton2->text(), kWait);
    f.sim.clearJournal();
    start();
    QCOMPARE(f.sim.journal(), QStringList{"InitDevCtl"});
    QCOMPARE(Form3->SpeedButton2->text(), kStop);
    QVERIFY(Form3->SpeedButton1->isEnabled());
    QVERIFY(Form3->SpeedButton3->isEnabled());
    // The search after that measures again.
    f.sim.clearJournal();
    start();
    QCOMPARE(calls(f, QStringLiteral("TuneSatChannel ")).size(), 2);
}

void TestBlind::fieldsReadAtUse_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("at"); // message point at which the field changes
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("tunes");
    const QString range =
        QStringLiteral("Edit1=12000;Edit2=12000;Edit3=1000;Edit4=1000;LMDTextRadioButton1");
    QTest::newRow("last symbol rate raised")
        << range << 1 << "Edit4=1002"
        << QStringList{"1000 12000 0 10600", "1001 12000 0 10600", "1002 12000 0 10600"};
    QTest::newRow("symbol rate step")
        << range + ";Edit4=1010" << 2 << "ComboBox2=5"
        << QStringList{"1000 12000 0 10600", "1005 12000 0 10600", "1010 12000 0 10600"};
    QTest::newRow("last frequency lowered")
        << "Edit1=12000;Edit2=12005;Edit3=1;Edit4=1;LMDTextRadioButton1" << 2 << "Edit2=12001"
        << QStringList{"1 12000 0 10600", "1 12001 0 10600"};
    QTest::newRow("frequency step")
        << "Edit1=12000;Edit2=12010;Edit3=1;Edit4=1;LMDTextRadioButton1" << 2 << "ComboBox1=10"
        << QStringList{"1 12000 0 10600", "1 12010 0 10600"};
    QTest::newRow("first frequency, next pass")
        << "Edit1=12000;Edit2=12001;Edit3=1;Edit4=1" << 1 << "Edit1=12001"
        << QStringList{"1 12000 0 10600", "1 12001 0 10600", "1 12001 1 10600"};
    QTest::newRow("first symbol rate, next frequency")
        << "Edit1=12000;Edit2=12001;Edit3=1;Edit4=9;LMDTextRadioButton1;ComboBox2=5" << 2
        << "Edit3=3"
        << QStringList{"1 12000 0 10600", "6 12000 0 10600", "3 12001 0 10600", "8 12001 0 10600"};
    QTest::newRow("list, next frequency")
        << "RadioButton2;Edit6=1,2,;Edit1=12000;Edit2=12001;LMDTextRadioButton1" << 1 << "Edit6=7,"
        << QStringList{"1 12000 0 10600", "2 12000 0 10600", "7 12001 0 10600"};
    QTest::newRow("given rate, next frequency")
        << "RadioButton1;Edit5=100;Edit1=12000;Edit2=12001;LMDTextRadioButton1" << 1 << "Edit5=200"
        << QStringList{"100 12000 0 10600", "200 12001 0 10600"};
    // The modes are asked one after the other, so the range runs at once.
    QTest::newRow("mode, same frequency step")
        << "RadioButton1;Edit5=100;Edit1=12000;Edit2=12001;Edit3=5;Edit4=5;LMDTextRadioButton1" << 2
        << "RadioButton3" << QStringList{"100 12000 0 10600", "5 12000 0 10600", "5 12001 0 10600"};
    QTest::newRow("polarization, read once")
        << "Edit1=12000;Edit2=12000;Edit3=1;Edit4=1;LMDTextRadioButton1" << 1
        << "LMDTextRadioButton3" << QStringList{"1 12000 0 10600"};
}

void TestBlind::fieldsReadAtUse()
{
    QFETCH(QString, setup);
    QFETCH(int, at);
    QFETCH(QString, change);
    QFETCH(QStringList, tunes);
    ProgramFixture f;
    configure(setup);
    f.sim.clearJournal();
    int count = 0;
    platform::setProcessMessagesHook([&] {
        if (++count == at)
            configure(change);
    });
    start();
    QCOMPARE(calls(f, QStringLiteral("TuneSatChannel ")), tunes);
}

void TestBlind::foundLines_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QList<int>>("readings");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("current");
    QTest::newRow("range, only above 0")
        << "Edit1=11766;Edit2=11766;Edit3=27499;Edit4=27501;LMDTextRadioButton2"
        << QList<int>{0, 5, -2} << QStringList{"11766--27500--H качество сигнала : 5"}
        << "11766--27501--H";
    QTest::newRow("several, first point H")
        << "RadioButton2;Edit6=27500,;Edit1=11766;Edit2=11766;LMDTextRadioButton2" << QList<int>{1}
        << QStringList{"11766--27500--H качество сигнала : 1"} << "11766--27500--H";
    QTest::newRow("both polarizations carry their own letter")
        << "RadioButton1;Edit5=22000;Edit1=10719;Edit2=10719" << QList<int>{70, 71}
        << QStringList{"10719--22000--V качество сигнала : 70",
                       "10719--22000--H качество сигнала : 71"}
        << "10719--22000--H";
    QTest::newRow("nothing found still shows the point")
        << "RadioButton1;Edit5=22000;Edit1=10719;Edit2=10720;LMDTextRadioButton1"
        << QList<int>{0, 0} << QStringList{} << "10720--22000--V";
}

void TestBlind::foundLines()
{
    QFETCH(QString, setup);
    QFETCH(QList<int>, readings);
    QFETCH(QStringList, lines);
    QFETCH(QString, current);
    ProgramFixture f;
    configure(setup);
    for (int q : readings)
        f.sim.pushReading(q, 40);
    start();
    QCOMPARE(listLines(Form3->ListBox1), lines);
    QCOMPARE(Form3->Label11->text(), current);
}

void TestBlind::conversionErrorSkipsEndSteps_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("journal");
    QTest::addColumn<int>("lines");
    const QString one = QStringLiteral("Edit1=12000;Edit2=12000;LMDTextRadioButton1;");
    QTest::newRow("first frequency, before the device")
        << one + "Edit1=12 000"
        << "'12 000' is not a valid integer value" << QStringList{} << 0;
    QTest::newRow("last frequency")
        << one + "Edit2=x"
        << "'x' is not a valid integer value" << QStringList{"InitDevCtl"} << 0;
    QTest::newRow("given rate empty")
        << one + "RadioButton1"
        << "'' is not a valid integer value" << QStringList{"InitDevCtl"} << 0;
    QTest::newRow("two commas in a row")
        << one + "RadioButton2;Edit6=3333,,4444,"
        << "'' is not a valid integer value"
        << QStringList{"InitDevCtl", "SetSatPatRate 0", "TuneSatChannel 3333 12000 0 10600",
                       "QuerySignal"}
        << 1;
    QTest::newRow("last symbol rate")
        << one + "Edit3=1;Edit4=1k"
        << "'1k' is not a valid integer value" << QStringList{"InitDevCtl"} << 0;
}

void TestBlind::conversionErrorSkipsEndSteps()
{
    QFETCH(QString, setup);
    QFETCH(QString, error);
    QFETCH(QStringList, journal);
    QFETCH(int, lines);
    ProgramFixture f;
    configure(setup);
    f.sim.pushReading(9, 9);
    f.sim.clearJournal();
    start();
    QCOMPARE(f.dialogs.errors, QStringList{error});
    QCOMPARE(f.sim.journal(), journal);
    QCOMPARE(Form3->ListBox1->count(), lines);
    QVERIFY(!Form3->SpeedButton1->isEnabled());
    QVERIFY(!Form3->SpeedButton3->isEnabled());
    QCOMPARE(Form3->SpeedButton2->text(), kStop);
}

void TestBlind::twoSearchesAppendAndSave()
{
    ProgramFixture f;
    configure("RadioButton1;Edit5=27500;Edit1=11766;Edit2=11766;LMDTextRadioButton2");
    f.sim.pushReading(12, 1);
    start();
    configure("Edit5=30000;LMDTextRadioButton1");
    f.sim.pushReading(3, 1);
    start();
    QCOMPARE(listLines(Form3->ListBox1), (QStringList{"11766--27500--H качество сигнала : 12",
                                                      "11766--30000--V качество сигнала : 3"}));

    const QString target = f.path(QStringLiteral("found"));
    f.dialogs.answers << target;
    Form3->SpeedButton3->click();
    QCOMPARE(f.dialogs.requests.size(), 1);
    QVERIFY(f.dialogs.requests[0].defaultSuffix.isEmpty());
    QVERIFY(f.dialogs.requests[0].filter.isEmpty());
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray quality = "\xEA\xE0\xF7\xE5\xF1\xF2\xE2\xEE \xF1\xE8\xE3\xED\xE0\xEB\xE0";
    QCOMPARE(file.readAll(),
             "11766--27500--H " + quality + " : 12\r\n11766--30000--V " + quality + " : 3\r\n");
    QVERIFY(f.dialogs.errors.isEmpty());
}

void TestBlind::cancelledSaveWritesNothing()
{
    ProgramFixture f;
    configure("RadioButton1;Edit5=27500;Edit1=11766;Edit2=11766;LMDTextRadioButton2");
    f.sim.pushReading(12, 1);
    start();
    Form3->SpeedButton3->click();
    QCOMPARE(f.dialogs.requests.size(), 1);
    QCOMPARE(QDir(f.path(QString())).entryList(QDir::Files), QStringList{});
}

void TestBlind::noLibraryListsNothing()
{
    FixtureOptions o;
    o.libraryDir = testing_support::missingLibraryDir();
    ProgramFixture f(o);
    configure("RadioButton1;Edit5=27500;Edit1=11766;Edit2=11766;LMDTextRadioButton2");
    start();
    QCOMPARE(f.dialogs.messages, QStringList(3, QStringLiteral("Функция не найдена")));
    QCOMPARE(Form3->ListBox1->count(), 0);
    QCOMPARE(Form3->Label11->text(), QStringLiteral("11766--27500--H"));
    QVERIFY(Form3->SpeedButton1->isEnabled());
}

void TestBlind::openAndCloseLeavesDeviceReleased_data()
{
    QTest::addColumn<bool>("library");
    QTest::addColumn<QStringList>("journal");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("library loaded")
        << true << QStringList{"InitDevCtl", "ReleaseDevCtl"} << QStringList{};
    QTest::newRow("no library") << false << QStringList{} << QStringList{"Функция не найдена"};
}

void TestBlind::openAndCloseLeavesDeviceReleased()
{
    QFETCH(bool, library);
    QFETCH(QStringList, journal);
    QFETCH(QStringList, messages);
    FixtureOptions o;
    if (!library)
        o.libraryDir = testing_support::missingLibraryDir();
    ProgramFixture f(o);
    Form1->show();
    Form1->SpeedButton4->click();
    QVERIFY(!Form1->isVisible());
    QVERIFY(Form3->isVisible());
    Form3->close();
    QVERIFY(!Form3->isVisible());
    QVERIFY(Form1->isVisible());
    QCOMPARE(f.sim.journal(), journal);
    QCOMPARE(f.dialogs.messages, messages);
}

ORVANTA_TEST(TestBlind)
#include "test_blind.moc"
