#include "app/form1.h"
#include "app/globals.h"
#include "monitor/form5.h"
#include "monitor/form7.h"
#include "monitor/loglines.h"
#include "platform/wait.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include "monitor/pageserver.h"
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

namespace {
QStringList items()
{
    QStringList l;
    for (int i = 0; i < Form7->ListBox1->count(); ++i)
        l << Form7->ListBox1->item(i)->text();
    return l;
}

// A Russian desktop and a fixed clock for the duration of a test.
struct RussianClock
{
    RussianClock()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        monitor::setLogClockForTesting(
            [] { return QDateTime(QDate(2025, 12, 9), QTime(15, 50, 7)); });
    }
    ~RussianClock()
    {
        QLocale::setDefault(QLocale::system());
        monitor::setLogClockForTesting({});
    }
};

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing");
}
} // namespace

class TestLog : public QObject
{
    Q_OBJECT
private slots:
    void timestamp_data();
    void timestamp();
    void startAndTicks();
    void twoStartsAppend();
    void emptyFieldDoesNothing();
    void missingQueryStillLogsZeros();
    void stopEndsLogAndWinsDuringTick();
    void logStartFreezesMeter();
    void saveWritesCp1251Lines();
    void saveEmptyListOrCancelWritesNothing();
    void saveFailureKeepsOldFile();
    void windowLayout();
};

void TestLog::timestamp_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::newRow("ru") << QLocale(QLocale::Russian, QLocale::Russia) << "09.12.2025 15:50:07";
    QTest::newRow("de") << QLocale(QLocale::German, QLocale::Germany) << "09.12.25 15:50:07";
    // No time zone after the time, unlike the locale's own long time format.
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                           << QStringLiteral("12/9/25 3:50:07 PM");
}

void TestLog::timestamp()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(monitor::logTimestamp(QDateTime(QDate(2025, 12, 9), QTime(15, 50, 7)), locale), text);
}

void TestLog::startAndTicks()
{
    RussianClock clock;
    ProgramFixture f;
    Form1->Edit1->setText(QStringLiteral("11766"));
    Form1->Edit2->setText(QStringLiteral("27500"));
    Form1->ComboBox1->setCurrentIndex(1);
    Form1->ComboBox2->setCurrentIndex(2);
    Form1->ComboBox5->setCurrentIndex(2);
    Form1->ComboBox5Change();
    Form1->Edit3->setText(QStringLiteral("10000"));
    Form1->CheckBox5->setChecked(true); // not read by the log
    f.sim.clearJournal();
    Form1->SpeedButton6->click();
    QCOMPARE(f.sim.journal(), QStringList({"SetDiSEqCSwitchPort 2", "SetDiSEqCSwitchPort 2",
                                           "SetDiSEqCSwitchPort 2", "SetSatPatRate 34",
                                           "TuneSatChannel 27500 11766 1 10000", "QuerySignal"}));
    QVERIFY(Form7->isVisible());
    QVERIFY(!Form5->isVisible());
    QCOMPARE(MeterState, 1);
    QVERIFY(!Form1->SpeedButton1->isEnabled());
    QVERIFY(!Form1->SpeedButton3->isEnabled());
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QVERIFY(Form1->LMDHiTimer2->isActive());
    QCOMPARE(Form1->LMDHiTimer2->interval(), 10000);
    QVERIFY(!Form1->IdHTTPServer1->isActive());
    QCOMPARE(items(),
             QStringList({"Частота 11766", "Скорость 27500", "Поляризация Горизонтальная"}));

    f.sim.pushReading(45, 67);
    Form1->LMDHiTimer2Timer();
    QVERIFY(Form1->LMDHiTimer2->isActive());
    QCOMPARE(items().last(),
             QStringLiteral("09.12.2025 15:50:07 Уровень сигнала 67 Качество сигнала 45"));
    f.sim.pushReading(-2, 5);
    Form7->hide(); // a hidden window still gets its lines
    Form1->LMDHiTimer2Timer();
    QCOMPARE(items().last(),
             QStringLiteral("09.12.2025 15:50:07 Уровень сигнала 5 Качество сигнала -2"));
    QCOMPARE(items().size(), 5);
}

void TestLog::twoStartsAppend()
{
    RussianClock clock;
    ProgramFixture f;
    Form1->Edit1->setText(QStringLiteral("10719"));
    Form1->Edit2->setText(QStringLiteral("27500"));
    Form1->SpeedButton6->click();
    f.sim.pushReading(1, 2);
    Form1->LMDHiTimer2Timer();
    Form1->SpeedButton2->click();
    Form1->Edit1->setText(QStringLiteral("12000"));
    Form1->SpeedButton6->click();
    f.sim.pushReading(3, 4);
    Form1->LMDHiTimer2Timer();
    const QString t = QStringLiteral("09.12.2025 15:50:07 ");
    QCOMPARE(items(), QStringList({"Частота 10719", "Скорость 27500", "Поляризация Вертикальная",
                                   t + "Уровень сигнала 2 Качество сигнала 1", "Частота 12000",
                                   "Скорость 27500", "Поляризация Вертикальная",
                                   t + "Уровень сигнала 4 Качество сигнала 3"}));
}

void TestLog::emptyFieldDoesNothing()
{
    ProgramFixture f;
    Form1->Edit1->setText(QStringLiteral("11766"));
    f.sim.clearJournal();
    Form1->SpeedButton6->click();
    QVERIFY(!Form7->isVisible());
    QVERIFY(!Form1->LMDHiTimer2->isActive());
    QVERIFY(items().isEmpty());
    QVERIFY(f.sim.journal().isEmpty());
    QCOMPARE(MeterState, 0);
}

void TestLog::missingQueryStillLogsZeros()
{
    RussianClock clock;
    FixtureOptions o;
    o.libraryDir = testing_support::missingLibraryDir();
    ProgramFixture f(o);
    Form1->Edit1->setText(QStringLiteral("11766"));
    Form1->Edit2->setText(QStringLiteral("27500"));
    Form1->SpeedButton6->click();
    f.dialogs.messages.clear();
    Form1->LMDHiTimer2Timer();
    QCOMPARE(f.dialogs.messages, QStringList{QStringLiteral("Функция не найдена")});
    QCOMPARE(items().last(),
             QStringLiteral("09.12.2025 15:50:07 Уровень сигнала 0 Качество сигнала 0"));
}

void TestLog::stopEndsLogAndWinsDuringTick()
{
    ProgramFixture f;
    Form1->Edit1->setText(QStringLiteral("11766"));
    Form1->Edit2->setText(QStringLiteral("27500"));
    Form1->SpeedButton6->click();
    const int before = Form7->ListBox1->count();
    platform::setProcessMessagesHook([] { Form1->SpeedButton2->click(); });
    Form1->LMDHiTimer2Timer();
    QVERIFY(!Form1->LMDHiTimer2->isActive());
    QCOMPARE(Form7->ListBox1->count(), before);
    QVERIFY(Form7->isVisible()); // the log window stays
    // Stop during the start's tuning: no log timer afterwards.
    Form1->SpeedButton6->click();
    QVERIFY(!Form1->LMDHiTimer2->isActive());
    QVERIFY(Form1->SpeedButton1->isEnabled());
}

void TestLog::logStartFreezesMeter()
{
    ProgramFixture f;
    Form1->Edit1->setText(QStringLiteral("11766"));
    Form1->Edit2->setText(QStringLiteral("27500"));
    Form1->SpeedButton1->click();
    QVERIFY(Form1->LMDHiTimer1->isActive());
    // The log starts from inside a meter tick: the meter stays frozen.
    int n = 0;
    platform::setProcessMessagesHook([&] {
        if (++n == 1)
            Form1->SpeedButton6->click();
    });
    Form1->LMDHiTimer1Timer();
    platform::setProcessMessagesHook({});
    QVERIFY(!Form1->LMDHiTimer1->isActive());
    QVERIFY(Form1->LMDHiTimer2->isActive());
    QVERIFY(Form5->isVisible());
    QVERIFY(!Form1->SpeedButton1->isEnabled());
}

void TestLog::saveWritesCp1251Lines()
{
    ProgramFixture f;
    Form7->ListBox1->addItems({QStringLiteral("Частота 11766"), QStringLiteral("a b")});
    const QString path = f.path(QStringLiteral("log.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents that are longer than the new ones");
    old.close();
    f.dialogs.answers << path;
    Form7->SpeedButton1->click();
    QVERIFY(f.dialogs.errors.isEmpty());
    QCOMPARE(fileBytes(path), QByteArray("\xD7\xE0\xF1\xF2\xEE\xF2\xE0 11766\r\na b\r\n"));
    QCOMPARE(f.dialogs.requests.size(), 1);
    QVERIFY(f.dialogs.requests[0].filter.isEmpty());
    QVERIFY(f.dialogs.requests[0].defaultSuffix.isEmpty());
}

void TestLog::saveEmptyListOrCancelWritesNothing()
{
    ProgramFixture f;
    const QString path = f.path(QStringLiteral("log.txt"));
    f.dialogs.answers << path;
    Form7->SpeedButton1->click();
    QVERIFY(!QFile::exists(path));
    Form7->ListBox1->addItem(QStringLiteral("x"));
    f.dialogs.answers << std::nullopt;
    Form7->SpeedButton1->click();
    QVERIFY(!QFile::exists(path));
    QVERIFY(f.dialogs.errors.isEmpty());
}

void TestLog::saveFailureKeepsOldFile()
{
    ProgramFixture f;
    Form7->ListBox1->addItem(QStringLiteral("x"));
    // A name inside a folder that does not exist.
    f.dialogs.answers << f.path(QStringLiteral("no/such/dir/log.txt"));
    Form7->SpeedButton1->click();
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY(f.dialogs.errors[0].contains(QStringLiteral("No such file or directory")));
    // The new text cannot be written beside an existing file (its temporary
    // name is taken by a folder): the old file stays whole.
    const QString path = f.path(QStringLiteral("log.txt"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QVERIFY(QDir().mkpath(path + QStringLiteral(".tmp%1").arg(QCoreApplication::applicationPid())));
    f.dialogs.answers << path;
    Form7->SpeedButton1->click();
    QCOMPARE(f.dialogs.errors.size(), 2);
    QVERIFY(f.dialogs.errors[1].contains(QStringLiteral("Is a directory")));
    QCOMPARE(fileBytes(path), QByteArray("old"));
}

void TestLog::windowLayout()
{
    ProgramFixture f;
    QCOMPARE(Form7->windowTitle(), QStringLiteral("Логирование сигнала"));
    QCOMPARE(Form7->size(), QSize(582, 644));
    QVERIFY(!(Form7->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!(Form7->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(Form7->ListBox1->geometry(), QRect(8, 24, 569, 585));
    QCOMPARE(Form7->SpeedButton1->geometry(), QRect(8, 616, 97, 22));
    QCOMPARE(Form7->SpeedButton1->text(), QStringLiteral("Сохранить"));
    QCOMPARE(Form7->SpeedButton2->geometry(), QRect(112, 616, 121, 22));
    QCOMPARE(Form7->SpeedButton2->text(), QStringLiteral("Скопировать в буфер"));
    QVERIFY(!Form7->SpeedButton2->isEnabled());
    QCOMPARE(Form7->Label1->pos(), QPoint(8, 8));
    QCOMPARE(Form7->Label1->text(), QStringLiteral("Изменение сигнала во времени:"));
}

ORVANTA_TEST(TestLog)
#include "test_log.moc"
