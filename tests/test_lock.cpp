#include "app/form1.h"
#include "app/globals.h"
#include "monitor/form5.h"
#include "platform/wait.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

namespace {
const QString kNotFound = QStringLiteral("Функция не найдена");

void fill(const QString &frequency, const QString &symbolRate)
{
    Form1->Edit1->setText(frequency);
    Form1->Edit2->setText(symbolRate);
}

// The user picks an LNB type: the list changes and its handler runs.
void pickLnb(int index)
{
    Form1->ComboBox5->setCurrentIndex(index);
    Form1->ComboBox5Change();
}

void lock()
{
    Form1->SpeedButton1->click();
}

bool idle()
{
    return Form1->SpeedButton1->isEnabled() && !Form5->isVisible() &&
           !Form1->LMDHiTimer1->isActive();
}
} // namespace

class TestLock : public QObject
{
    Q_OBJECT
private slots:
    void lofOutcome_data();
    void lofOutcome();
    void fecCodeSent_data();
    void fecCodeSent();
    void callJournal_data();
    void callJournal();
    void circularFromLineIgnoresShownEdit3();
    void emptyFieldDoesNothing_data();
    void emptyFieldDoesNothing();
    void conversionFailureStopsAtItsStep_data();
    void conversionFailureStopsAtItsStep();
    void missingExportsStillStartMeter();
    void converterChoiceShowsOwnFrequency_data();
    void converterChoiceShowsOwnFrequency();
    void stopDuringTuningWins_data();
    void stopDuringTuningWins();
};

void TestLock::lofOutcome_data()
{
    QTest::addColumn<int>("lnbIndex"); // -1: nothing chosen
    QTest::addColumn<QString>("edit3");
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("lof");
    QTest::newRow("linear 9999") << 0 << "" << 9999 << 5150;
    QTest::newRow("linear 10000") << 0 << "" << 10000 << 9750;
    QTest::newRow("linear 11700") << 0 << "" << 11700 << 9750;
    QTest::newRow("linear 11701") << 0 << "" << 11701 << 10600;
    QTest::newRow("none chosen 3900") << -1 << "" << 3900 << 5150;
    QTest::newRow("none chosen 12000") << -1 << "" << 12000 << 10600;
    QTest::newRow("circular 3900") << 1 << "" << 3900 << 10750;
    QTest::newRow("circular 12000") << 1 << "" << 12000 << 10750;
    QTest::newRow("other with own 5150, 3900") << 2 << "5150" << 3900 << 5150;
    QTest::newRow("other with own 9000, 12000") << 2 << "9000" << 12000 << 9000;
    QTest::newRow("other empty 12000") << 2 << "" << 12000 << 10600;
    QTest::newRow("other empty 9999") << 2 << "" << 9999 << 5150;
    QTest::newRow("other empty 10000") << 2 << "" << 10000 << 9750;
}

void TestLock::lofOutcome()
{
    QFETCH(int, lnbIndex);
    QFETCH(QString, edit3);
    QFETCH(int, frequency);
    QFETCH(int, lof);
    ProgramFixture f;
    pickLnb(lnbIndex);
    Form1->Edit3->setText(edit3);
    fill(QString::number(frequency), QStringLiteral("27500"));
    f.sim.clearJournal();
    lock();
    QVERIFY(f.dialogs.errors.isEmpty());
    // The frequency itself is never changed by the rule.
    QVERIFY(f.sim.journal().contains(
        QStringLiteral("TuneSatChannel 27500 %1 0 %2").arg(frequency).arg(lof)));
    QCOMPARE(TuneLof, lof);
    QCOMPARE(TuneFrequency, frequency);
}

void TestLock::fecCodeSent_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("code");
    QTest::newRow("entry 0") << 0 << 12;
    QTest::newRow("entry 2 (start)") << 2 << 34;
    QTest::newRow("entry 5") << 5 << 101;
    QTest::newRow("entry 18") << 18 << 114;
    QTest::newRow("none") << -1 << 0;
}

void TestLock::fecCodeSent()
{
    QFETCH(int, entry);
    QFETCH(int, code);
    ProgramFixture f;
    Form1->ComboBox6->setCurrentIndex(entry);
    fill(QStringLiteral("11766"), QStringLiteral("27500"));
    f.sim.clearJournal();
    lock();
    QCOMPARE(f.sim.journal().value(0), QStringLiteral("SetSatPatRate %1").arg(code));
    QCOMPARE(int(TuneFecCode), code);
}

void TestLock::callJournal_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("polarization");
    QTest::addColumn<QStringList>("calls");
    const QStringList tail = {"SetSatPatRate 34", "TuneSatChannel 27500 11766 1 10600",
                              "QuerySignal"};
    QTest::newRow("Нет") << 0 << 1 << tail;
    QTest::newRow("Port C") << 3 << 1
                            << QStringList{"SetDiSEqCSwitchPort 3", "SetDiSEqCSwitchPort 3",
                                           "SetDiSEqCSwitchPort 3"} +
                                   tail;
    QTest::newRow("Port A") << 1 << 1
                            << QStringList{"SetDiSEqCSwitchPort 1", "SetDiSEqCSwitchPort 1",
                                           "SetDiSEqCSwitchPort 1"} +
                                   tail;
}

void TestLock::callJournal()
{
    QFETCH(int, port);
    QFETCH(int, polarization);
    QFETCH(QStringList, calls);
    ProgramFixture f;
    Form1->ComboBox2->setCurrentIndex(port);
    Form1->ComboBox1->setCurrentIndex(polarization);
    fill(QStringLiteral("11766"), QStringLiteral("27500"));
    f.sim.clearJournal();
    lock();
    QCOMPARE(f.sim.journal(), calls);
    QVERIFY(f.dialogs.messages.isEmpty());
    // Locked: the meter runs, the window is shown, lock and scan are disabled.
    QVERIFY(Form5->isVisible());
    QCOMPARE(MeterState, 1);
    QVERIFY(!Form1->SpeedButton1->isEnabled());
    QVERIFY(!Form1->SpeedButton3->isEnabled());
    QVERIFY(Form1->LMDHiTimer1->isActive());
    QCOMPARE(Form1->LMDHiTimer1->interval(), 800);
}

void TestLock::circularFromLineIgnoresShownEdit3()
{
    ProgramFixture f;
    pickLnb(2);
    Form1->Edit3->setText(QStringLiteral("5150"));
    // A transponder line sets the list from the program: no handler runs.
    Form1->ComboBox5->setCurrentIndex(1);
    QVERIFY(Form1->Edit3->isVisibleTo(Form1));
    fill(QStringLiteral("3900"), QStringLiteral("27500"));
    f.sim.clearJournal();
    lock();
    QVERIFY(f.sim.journal().contains(QStringLiteral("TuneSatChannel 27500 3900 0 10750")));
}

void TestLock::emptyFieldDoesNothing_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("symbolRate");
    QTest::newRow("frequency empty") << ""
                                     << "27500";
    QTest::newRow("symbol rate empty") << "11766"
                                       << "";
    QTest::newRow("both empty") << ""
                                << "";
}

void TestLock::emptyFieldDoesNothing()
{
    QFETCH(QString, frequency);
    QFETCH(QString, symbolRate);
    ProgramFixture f;
    Form1->SpeedButton3->setEnabled(true);
    Form1->CheckBox5->setChecked(true);
    fill(frequency, symbolRate);
    f.sim.clearJournal();
    lock();
    QVERIFY(idle());
    QVERIFY(Form1->SpeedButton3->isEnabled());
    QCOMPARE(MeterState, 0);
    QVERIFY(f.sim.journal().isEmpty());
    QVERIFY(f.dialogs.messages.isEmpty());
    QVERIFY(f.dialogs.errors.isEmpty());
}

void TestLock::conversionFailureStopsAtItsStep_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("symbolRate");
    QTest::addColumn<QString>("edit3");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("symbolRateAfter");
    QTest::newRow("symbol rate") << "11766"
                                 << "27,5"
                                 << ""
                                 << "'27,5' is not a valid integer value" << 0;
    QTest::newRow("frequency") << "11 766"
                               << "27500"
                               << ""
                               << "'11 766' is not a valid integer value" << 27500;
    QTest::newRow("both: symbol rate first") << "x"
                                             << "y"
                                             << ""
                                             << "'y' is not a valid integer value" << 0;
    QTest::newRow("own LOF") << "11766"
                             << "27500"
                             << "9750MHz"
                             << "'9750MHz' is not a valid integer value" << 27500;
}

void TestLock::conversionFailureStopsAtItsStep()
{
    QFETCH(QString, frequency);
    QFETCH(QString, symbolRate);
    QFETCH(QString, edit3);
    QFETCH(QString, error);
    QFETCH(int, symbolRateAfter);
    ProgramFixture f;
    if (!edit3.isEmpty()) {
        pickLnb(2);
        Form1->Edit3->setText(edit3);
    }
    Form1->SpeedButton3->setEnabled(true);
    fill(frequency, symbolRate);
    f.sim.clearJournal();
    lock();
    QCOMPARE(f.dialogs.errors, QStringList{error});
    QCOMPARE(TuneSymbolRate, symbolRateAfter);
    // Steps already done stay done; the receiver is not touched, no meter.
    QVERIFY(Form5->isVisible());
    QCOMPARE(MeterState, 1);
    QVERIFY(!Form1->SpeedButton1->isEnabled());
    QVERIFY(!Form1->SpeedButton3->isEnabled());
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QVERIFY(f.sim.journal().isEmpty());
    // Stop returns to idle.
    Form1->SpeedButton2->click();
    QVERIFY(idle());
}

void TestLock::missingExportsStillStartMeter()
{
    FixtureOptions o;
    o.libraryDir = testing_support::missingLibraryDir();
    ProgramFixture f(o);
    Form1->ComboBox2->setCurrentIndex(2); // DiSEqC is skipped silently
    fill(QStringLiteral("11766"), QStringLiteral("27500"));
    lock();
    // Rate, tune and query each report; the lock still reaches its last step.
    QCOMPARE(f.dialogs.messages, QStringList({kNotFound, kNotFound, kNotFound}));
    QVERIFY(Form1->LMDHiTimer1->isActive());
    QCOMPARE(TuneLof, 10600);
}

void TestLock::converterChoiceShowsOwnFrequency_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("shown");
    QTest::newRow("Линейный") << 0 << false;
    QTest::newRow("Круговой") << 1 << false;
    QTest::newRow("Другой") << 2 << true;
}

void TestLock::converterChoiceShowsOwnFrequency()
{
    QFETCH(int, index);
    QFETCH(bool, shown);
    ProgramFixture f;
    Form1->Edit3->setText(QStringLiteral("5150"));
    pickLnb(2);
    pickLnb(index);
    QCOMPARE(Form1->Label2->isVisibleTo(Form1), shown);
    QCOMPARE(Form1->Edit3->isVisibleTo(Form1), shown);
    // The field keeps its text while hidden.
    QCOMPARE(Form1->Edit3->text(), QStringLiteral("5150"));
}

void TestLock::stopDuringTuningWins_data()
{
    QTest::addColumn<bool>("closeWindow"); // else press Stop
    QTest::newRow("Stop") << false;
    QTest::newRow("level window closed") << true;
}

void TestLock::stopDuringTuningWins()
{
    QFETCH(bool, closeWindow);
    ProgramFixture f;
    fill(QStringLiteral("11766"), QStringLiteral("27500"));
    f.sim.clearJournal();
    // The lock lets messages run once, between tuning and reading.
    int points = 0;
    platform::setProcessMessagesHook([&] {
        ++points;
        QVERIFY(f.sim.journal().contains(QStringLiteral("TuneSatChannel 27500 11766 0 10600")));
        QVERIFY(!f.sim.journal().contains(QStringLiteral("QuerySignal")));
        if (closeWindow)
            Form5->close();
        else
            Form1->SpeedButton2->click();
    });
    lock();
    QCOMPARE(points, 1);
    QCOMPARE(f.sim.journal().last(), QStringLiteral("QuerySignal"));
    QVERIFY(idle());
    QVERIFY(Form1->SpeedButton3->isEnabled());
    QCOMPARE(MeterState, closeWindow ? 5 : 1);
}

ORVANTA_TEST(TestLock)
#include "test_lock.moc"
