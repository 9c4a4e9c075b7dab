// The program on real list files written by other programs (read from the
// shared folder beside the repository; skipped when it is not there).
#include "app/form1.h"
#include "app/globals.h"
#include "scan/form2.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

namespace {
QString realListsDir()
{
    return QDir::cleanPath(QStringLiteral(ORVANTA_SOURCE_DIR "/../shared/real-lists"));
}

QMap<QString, QByteArray> realLists()
{
    QMap<QString, QByteArray> lists;
    const QDir dir(realListsDir());
    for (const QString &name : dir.entryList({"*.ini"}, QDir::Files)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly))
            lists[name] = f.readAll();
    }
    return lists;
}

int itemOf(const QString &file)
{
    return int(SatelliteFiles.indexOf(file));
}
} // namespace

class TestRealLists : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void namesInPlace();
    void everyEntryFillsTheFields();
    void knownLines_data();
    void knownLines();
    void scanEach();

private:
    QMap<QString, QByteArray> m_lists;
};

void TestRealLists::init()
{
    m_lists = realLists();
    if (m_lists.isEmpty())
        QSKIP(qPrintable(
            QStringLiteral("no real list files in %1 (the shared folder is not beside this clone)")
                .arg(realListsDir())));
}

void TestRealLists::namesInPlace()
{
    FixtureOptions o;
    o.lists = m_lists;
    ProgramFixture f(o);
    QCOMPARE(SatelliteFileCount, m_lists.size());
    QCOMPARE(Form1->ComboBox3->count(), m_lists.size());
    QVERIFY(f.dialogs.errors.isEmpty());
    const QMap<QString, QString> known = {
        {"channelscan_0192.ini", "Astra 1KR,1L,1M,1N"},
        {"tsreader_Satellites_0130.ini", "Hotbird"},
        {"tsreader_SDX_0192.ini", "Astra 1A-H, 2C"},
        // Latin-1 bytes are shown as the code page 1251 reads them.
        {"actuator_0313.ini", QStringLiteral("Tьrksat 1B")},
        // Not a satellite list: its "2=" line comes before "[DVB]".
        {"actuator_TerFiles_0000.ini", "All Channels"},
    };
    for (auto it = known.begin(); it != known.end(); ++it) {
        const int item = itemOf(it.key());
        QVERIFY2(item >= 0, qPrintable(it.key()));
        QCOMPARE(Form1->ComboBox3->itemText(item), it.value());
    }
}

void TestRealLists::everyEntryFillsTheFields()
{
    FixtureOptions o;
    o.lists = m_lists;
    ProgramFixture f(o);
    int entries = 0;
    for (int item = 0; item < Form1->ComboBox3->count(); ++item) {
        Form1->ComboBox3->setCurrentIndex(item);
        Form1->ComboBox3Change();
        QVERIFY(Form1->ComboBox4->count() > 0);
        for (int i = 0; i < Form1->ComboBox4->count(); ++i, ++entries) {
            const QString line = Form1->ComboBox4->itemText(i);
            Form1->ComboBox4->setCurrentIndex(i);
            Form1->ComboBox4Change();
            const QString edit1 = Form1->Edit1->text();
            QVERIFY2(line.startsWith(edit1 + ',') || (edit1.isEmpty() && !line.contains(',')),
                     qPrintable(line));
            QVERIFY2(line.contains(Form1->Edit2->text()), qPrintable(line));
            QVERIFY(Form1->ComboBox6->currentIndex() >= 0 && Form1->ComboBox6->currentIndex() < 19);
        }
    }
    QVERIFY(entries > 1000);
    QVERIFY(f.dialogs.errors.isEmpty() && f.dialogs.messages.isEmpty());
}

void TestRealLists::knownLines_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("edit1");
    QTest::addColumn<QString>("edit2");
    QTest::addColumn<int>("polarization");
    QTest::addColumn<int>("lnb");
    QTest::addColumn<int>("fec"); // starts at 5
    QTest::newRow("S2 with modulation comment") << "channelscan_0192.ini"
                                                << "10714,H,22000,23,S2;8PSK"
                                                << "10714"
                                                << "22000,23,S2" << 1 << 0 << 5;
    QTest::newRow("DVB-S without system") << "channelscan_0192.ini"
                                          << "10744,H,22000,56"
                                          << "10744"
                                          << "22000" << 1 << 0 << 5;
    QTest::newRow("space padded") << "actuator_0313.ini"
                                  << "11054,V, 7000,34"
                                  << "11054"
                                  << " 7000" << 0 << 0 << 5;
    QTest::newRow("trailing comma") << "tsreader_Satellites_0130.ini"
                                    << "10719,V,27500,34,"
                                    << "10719"
                                    << "27500" << 0 << 0 << 5;
    QTest::newRow("free text system") << "tsreader_Satellites_2650.ini"
                                      << "3720,H,25000,34,VOA"
                                      << "3720"
                                      << "25000" << 1 << 0 << 5;
    QTest::newRow("kHz units") << "tsreader_SDX_0192.ini"
                               << "10772000,H,22000000"
                               << "10772000"
                               << "22000000" << 1 << 0 << 5;
    QTest::newRow("polarization W") << "channelscan_0950.ini"
                                    << "11604,W,3200,34"
                                    << "11604"
                                    << "3200" << 0 << 0 << 5;
}

void TestRealLists::knownLines()
{
    QFETCH(QString, file);
    QFETCH(QString, entry);
    FixtureOptions o;
    o.lists = m_lists;
    ProgramFixture f(o);
    Form1->ComboBox3->setCurrentIndex(itemOf(file));
    Form1->ComboBox3Change();
    const int i = Form1->ComboBox4->findText(entry);
    QVERIFY2(i >= 0, qPrintable(entry));
    Form1->ComboBox6->setCurrentIndex(5);
    Form1->ComboBox4->setCurrentIndex(i);
    Form1->ComboBox4Change();
    QTEST(Form1->Edit1->text(), "edit1");
    QTEST(Form1->Edit2->text(), "edit2");
    QTEST(Form1->ComboBox1->currentIndex(), "polarization");
    QTEST(Form1->ComboBox5->currentIndex(), "lnb");
    QTEST(Form1->ComboBox6->currentIndex(), "fec");
}

// A scan of each satellite with the simulated receiver runs to its end, or
// stops at a line whose numbers do not convert (such as "22000,23,S2" before a
// ";" comment) with the conversion message; either way nothing stays locked.
void TestRealLists::scanEach()
{
    FixtureOptions o;
    o.lists = m_lists;
    ProgramFixture f(o);
    int completed = 0;
    int caught = 0;
    for (int item = 0; item < Form1->ComboBox3->count(); ++item) {
        Form1->ComboBox3->setCurrentIndex(item);
        Form1->ComboBox3Change();
        f.dialogs.errors.clear();
        Form1->SpeedButton3->click();
        const QString file = SatelliteFiles[item];
        if (f.dialogs.errors.isEmpty()) {
            ++completed;
            caught += CaughtCount;
            QCOMPARE(Form2->Label8->text(), QString::number(Form1->ComboBox4->count()));
        } else {
            QCOMPARE(f.dialogs.errors.size(), 1);
            QVERIFY2(f.dialogs.errors[0].endsWith("' is not a valid integer value"),
                     qPrintable(file));
        }
        QVERIFY2(Form1->SpeedButton1->isEnabled() && Form2->SpeedButton1->isEnabled(),
                 qPrintable(file));
        QCOMPARE(Form2->SpeedButton2->text(), QStringLiteral("Отмена"));
    }
    // Lists whose lines all convert run to their end; most real lists stop at
    // an "S2;8PSK" line or at a trailing "LOF=" line of another section.
    QVERIFY(completed >= 3);
    // The simulated receiver treats the lists' own lines as carriers.
    QVERIFY(caught > 30);
}

ORVANTA_TEST(TestRealLists)
#include "test_reallists.moc"
