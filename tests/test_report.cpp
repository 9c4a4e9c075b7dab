#include "app/form1.h"
#include "app/globals.h"
#include "platform/cp1251.h"
#include "scan/form2.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QComboBox>
#include <QFile>
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
    QByteArray bytes = "[SATTYPE]\r\n2=" + satellite.toUtf8() + "\r\n[DVB]\r\n0=1\r\n";
    for (int i = 0; i < lines.size(); ++i)
        bytes += QByteArray::number(i + 1) + "=" + lines[i].toUtf8() + "\r\n";
    return bytes;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The lines as a report file holds them: Windows-1251, CR LF after each.
QByteArray cp1251Lines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &l : lines)
        bytes += platform::toCp1251(l) + "\r\n";
    return bytes;
}

void scanSatellite(ProgramFixture &f, const QString &name)
{
    Form1->ComboBox3->setCurrentIndex(Form1->ComboBox3->findText(name));
    Form1->ComboBox3Change();
    Q_UNUSED(f);
    Form1->SpeedButton3Click();
}

const QString kRule(25, QLatin1Char('-'));

} // namespace

class TestReport : public QObject
{
    Q_OBJECT
private slots:
    void savesLinesAndBlocks_data();
    void savesLinesAndBlocks();
    void encodesWindows1251WithCrLf();
    void cancelledDialogKeepsTheBlock();
    void failedSaveShowsErrorAndKeepsList();
};

void TestReport::savesLinesAndBlocks_data()
{
    QTest::addColumn<QString>("satellite");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("saves");
    QTest::addColumn<QStringList>("expected"); // the file of the last save
    const QStringList results{
        "Транспондер: 11766,H,27500,34,DVB-S   |Качество сигнала-70   |Уровень сигнала-80",
        "Транспондер: 12000,V,27500   |Качество сигнала-0   |Уровень сигнала-3"};
    const QStringList block{kRule,         "Информация", "Спутник - Hot Bird", "Транспондеров : 2",
                            "Найдено : 1", kRule};
    QTest::newRow("no comment") << "Hot Bird"
                                << "" << 1 << results + block;
    const QStringList commented = block + QStringList{"Комментарии", "ясно, 19 дБ"};
    QTest::newRow("comment, two saves") << "Hot Bird"
                                        << "ясно, 19 дБ" << 2 << results + commented + commented;
    QTest::newRow("no lines")
        << "Empty"
        << "" << 1
        << QStringList{kRule,         "Информация", "Спутник - Empty", "Транспондеров : 0",
                       "Найдено : 0", kRule};
}

void TestReport::savesLinesAndBlocks()
{
    QFETCH(QString, satellite);
    QFETCH(QString, comment);
    QFETCH(int, saves);
    QFETCH(QStringList, expected);
    FixtureOptions o;
    o.lists[QStringLiteral("hb.ini")] =
        listFile(QStringLiteral("Hot Bird"), {"11766,H,27500,34,DVB-S", "12000,V,27500"});
    o.lists[QStringLiteral("empty.ini")] = listFile(QStringLiteral("Empty"), {});
    ProgramFixture f(o);
    f.sim.pushReading(70, 80);
    f.sim.pushReading(0, 3);
    scanSatellite(f, satellite);
    Form2->Edit1->setText(comment);
    for (int n = 1; n <= saves; ++n) {
        f.dialogs.answers << f.path(QStringLiteral("report%1").arg(n));
        Form2->SpeedButton1->click();
    }
    // The dialog's default extension makes "reportN" "reportN.txt".
    QCOMPARE(f.dialogs.requests.size(), saves);
    QCOMPARE(f.dialogs.requests.first().defaultSuffix, QStringLiteral("txt"));
    QCOMPARE(readAll(f.path(QStringLiteral("report%1.txt").arg(saves))), cp1251Lines(expected));
    QCOMPARE(Form2->lines(), expected); // the blocks stay in the list
    QVERIFY(f.dialogs.errors.isEmpty());
}

// Spelled out once in bytes, independent of the program's own encoder.
void TestReport::encodesWindows1251WithCrLf()
{
    FixtureOptions o;
    o.lists[QStringLiteral("e.ini")] = listFile(QStringLiteral("E"), {});
    ProgramFixture f(o);
    scanSatellite(f, QStringLiteral("E"));
    f.dialogs.answers << f.path(QStringLiteral("r.txt"));
    Form2->SpeedButton1->click();
    const QByteArray bytes = readAll(f.path(QStringLiteral("r.txt")));
    QVERIFY(bytes.startsWith("-------------------------\r\n"
                             "\xC8\xED\xF4\xEE\xF0\xEC\xE0\xF6\xE8\xFF\r\n" // Информация
                             "\xD1\xEF\xF3\xF2\xED\xE8\xEA - E\r\n"));      // Спутник - E
    QVERIFY(bytes.endsWith("-------------------------\r\n"));
    QCOMPARE(bytes.count('\n'), 6);
    QCOMPARE(bytes.count("\r\n"), 6);
}

void TestReport::cancelledDialogKeepsTheBlock()
{
    FixtureOptions o;
    o.lists[QStringLiteral("e.ini")] = listFile(QStringLiteral("E"), {});
    ProgramFixture f(o);
    scanSatellite(f, QStringLiteral("E"));
    Form2->SpeedButton1->click(); // no answer queued: cancelled
    QCOMPARE(Form2->lines().size(), 6);
    f.dialogs.answers << f.path(QStringLiteral("r.txt"));
    Form2->SpeedButton1->click();
    QCOMPARE(readAll(f.path(QStringLiteral("r.txt"))).count("\r\n"), 12);
    QCOMPARE(QDir(f.path(QString())).entryList(QDir::Files), QStringList{"r.txt"});
}

void TestReport::failedSaveShowsErrorAndKeepsList()
{
    FixtureOptions o;
    o.lists[QStringLiteral("e.ini")] = listFile(QStringLiteral("E"), {});
    ProgramFixture f(o);
    scanSatellite(f, QStringLiteral("E"));
    const QString target = f.path(QStringLiteral("no/such/dir/r.txt"));
    f.dialogs.answers << target;
    Form2->SpeedButton1->click();
    QCOMPARE(f.dialogs.errors.size(), 1);
    QVERIFY(f.dialogs.errors.first().contains(target));
    QCOMPARE(Form2->lines().size(), 6);
}

ORVANTA_TEST(TestReport)
#include "test_report.moc"
