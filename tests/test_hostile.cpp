// Start-up and list choice on hostile list folders: each ends in a message or
// the stated state, never a crash or a hang.
#include "app/form1.h"
#include "app/globals.h"
#include "scan/form3.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

class TestHostile : public QObject
{
    Q_OBJECT
private slots:
    void hugeOneLineFile();
    void nulBytes();
    void manyListFiles();
    void brokenSymlink();
    void unreadableFile();
    void pipeAndDevice();
    void longFieldTexts();
    void numbersBeyond32Bits_data();
    void numbersBeyond32Bits();
};

void TestHostile::hugeOneLineFile()
{
    FixtureOptions o;
    // 50 MB in one line: a name line with an enormous name, then the region.
    QByteArray big = "2=";
    big.append(QByteArray(50 * 1024 * 1024, 'x'));
    big.append("\n[DVB]\n1=11766,H,27500," + QByteArray(1000000, '9') + "\n");
    o.lists["big.ini"] = big;
    ProgramFixture f(o);
    QCOMPARE(Form1->ComboBox3->count(), 1);
    QCOMPARE(Form1->ComboBox3->itemText(0).size(), 50 * 1024 * 1024);
    Form1->ComboBox3->setCurrentIndex(0);
    Form1->ComboBox3Change();
    QCOMPARE(Form1->ComboBox4->count(), 1);
    Form1->ComboBox4->setCurrentIndex(0);
    Form1->ComboBox4Change();
    QCOMPARE(Form1->Edit1->text(), QStringLiteral("11766"));
    QCOMPARE(Form1->Edit2->text(), QStringLiteral("27500"));
}

void TestHostile::nulBytes()
{
    FixtureOptions o;
    o.lists["nul.ini"] = QByteArray(1 << 20, '\0');
    o.lists["mixed.ini"] = QByteArray("2=A\0B\n[DVB]\n1=1\0,V,2\n", 21);
    ProgramFixture f(o);
    QCOMPARE(Form1->ComboBox3->count(), 2);
    for (int i = 0; i < 2; ++i) {
        Form1->ComboBox3->setCurrentIndex(i);
        Form1->ComboBox3Change();
        for (int e = 0; e < Form1->ComboBox4->count(); ++e) {
            Form1->ComboBox4->setCurrentIndex(e);
            Form1->ComboBox4Change();
        }
    }
    const int mixed = int(SatelliteFiles.indexOf("mixed.ini"));
    QCOMPARE(Form1->ComboBox3->itemText(mixed), QString::fromLatin1("A\0B", 3));
    QVERIFY(f.dialogs.errors.isEmpty());
}

void TestHostile::manyListFiles()
{
    FixtureOptions o;
    o.createForms = false;
    ProgramFixture f(o);
    for (int i = 0; i < 5000; ++i)
        f.writeList(QStringLiteral("s%1.ini").arg(i),
                    "2=Sat " + QByteArray::number(i) + "\r\n[DVB]\r\n1=11766,H,27500\r\n");
    f.start();
    QCOMPARE(SatelliteFileCount, 5000);
    QCOMPARE(Form1->ComboBox3->count(), 5000);
    // Pairing holds at the far end too.
    const int last = int(SatelliteFiles.indexOf("s4999.ini"));
    QCOMPARE(Form1->ComboBox3->itemText(last), QStringLiteral("Sat 4999"));
    Form1->ComboBox3->setCurrentIndex(last);
    Form1->ComboBox3Change();
    QCOMPARE(Form1->ComboBox4->count(), 1);
}

void TestHostile::brokenSymlink()
{
    FixtureOptions o;
    o.createForms = false;
    ProgramFixture f(o);
    QVERIFY(QFile::link(f.path("Transponders/nowhere"), f.path("Transponders/dead.ini")));
    f.start();
    // The entry matches, its read fails: the error box, start-up stops there.
    QCOMPARE(f.dialogs.errors, QStringList{"No such file or directory"});
    QVERIFY(DeviceLibrary == nullptr);
    QCOMPARE(Form1->ComboBox5->currentIndex(), -1);
}

void TestHostile::unreadableFile()
{
    if (::geteuid() == 0)
        QSKIP("root reads files without read permission");
    FixtureOptions o;
    o.createForms = false;
    ProgramFixture f(o);
    f.writeList("locked.ini", "2=Locked\n");
    QFile::setPermissions(f.path("Transponders/locked.ini"), QFile::WriteOwner);
    f.start();
    QCOMPARE(f.dialogs.errors, QStringList{"Permission denied"});
}

void TestHostile::pipeAndDevice()
{
    FixtureOptions o;
    o.createForms = false;
    ProgramFixture f(o);
    QVERIFY(::mkfifo(QFile::encodeName(f.path("Transponders/pipe.ini")).constData(), 0600) == 0);
    f.start();
    QCOMPARE(f.dialogs.errors, QStringList{"Not a regular file"});
    QVERIFY(DeviceLibrary == nullptr);

    // A list chosen later that became an endless device.
    FixtureOptions o2;
    o2.lists["a.ini"] = "2=A\n[DVB]\n1=11766,H,27500\n";
    ProgramFixture g(o2);
    QFile::remove(g.path("Transponders/a.ini"));
    QVERIFY(QFile::link("/dev/zero", g.path("Transponders/a.ini")));
    Form1->ComboBox3->setCurrentIndex(0);
    emit Form1->ComboBox3->activated(0);
    QCOMPARE(g.dialogs.errors, QStringList{"Not a regular file"});
}

void TestHostile::longFieldTexts()
{
    FixtureOptions o;
    const QByteArray longText(10000, '7');
    o.lists["long.ini"] = "2=" + longText + "\n[DVB]\n1=" + longText + "," + longText + "," +
                          longText + "," + longText + "," + longText + "\n";
    ProgramFixture f(o);
    Form1->ComboBox3->setCurrentIndex(0);
    Form1->ComboBox3Change();
    Form1->ComboBox4->setCurrentIndex(0);
    Form1->ComboBox4Change();
    QCOMPARE(Form1->Edit1->text().size(), 10000);
    QCOMPARE(Form1->Edit2->text().size(), 9998);
}

// Every field the program converts, given a number beyond 32 bits or a text of
// 10 000 digits: the activity ends with the conversion message.
void TestHostile::numbersBeyond32Bits_data()
{
    QTest::addColumn<QString>("activity");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    const QString big = QStringLiteral("4294967296");
    const QString longDigits(10000, QLatin1Char('9'));
    const char *fields[][2] = {
        {"lock", "Edit1"},  {"lock", "Edit2"},     {"lock", "Edit3"},      {"log", "Edit1"},
        {"log", "Edit2"},   {"log", "Edit3"},      {"fec", "Edit1"},       {"fec", "Edit2"},
        {"fec", "Edit3"},   {"scan", "frequency"}, {"scan", "symbolRate"}, {"scan", "Edit3"},
        {"blind", "Edit1"}, {"blind", "Edit2"},    {"blind", "Edit3"},     {"blind", "Edit4"},
        {"blind", "Edit5"}, {"blind", "Edit6"},
    };
    for (const auto &f : fields) {
        QTest::addRow("%s %s beyond 32 bits", f[0], f[1]) << f[0] << f[1] << big;
        QTest::addRow("%s %s 10000 digits", f[0], f[1]) << f[0] << f[1] << longDigits;
    }
}

void TestHostile::numbersBeyond32Bits()
{
    QFETCH(QString, activity);
    QFETCH(QString, field);
    QFETCH(QString, text);
    FixtureOptions o;
    QString line = QStringLiteral("11766,H,27500,34,DVB-S");
    if (field == "frequency")
        line = text + QStringLiteral(",H,27500");
    if (field == "symbolRate")
        line = QStringLiteral("11766,H,") + text;
    o.lists["a.ini"] = "2=A\n[DVB]\n1=" + line.toLatin1() + "\n";
    ProgramFixture f(o);
    Form1->Edit1->setText("11766");
    Form1->Edit2->setText("27500");
    if (field == "Edit3") {
        Form1->ComboBox5->setCurrentIndex(2);
        Form1->Edit3->setText(text);
    } else if (activity != "blind" && field.startsWith("Edit")) {
        Form1->findChild<QLineEdit *>(field)->setText(text);
    }

    if (activity == "lock") {
        Form1->SpeedButton1->click();
    } else if (activity == "log") {
        Form1->SpeedButton6->click();
    } else if (activity == "fec") {
        Form1->SpeedButton7->click();
    } else if (activity == "scan") {
        Form1->ComboBox3->setCurrentIndex(0);
        Form1->ComboBox3Change();
        Form1->SpeedButton3->click();
    } else {
        Form1->SpeedButton4->click();
        Form3->Edit1->setText("11000");
        Form3->Edit2->setText("11001");
        Form3->Edit3->setText("27500");
        Form3->Edit4->setText("27501");
        if (field == "Edit5")
            Form3->RadioButton1->setChecked(true);
        if (field == "Edit6") {
            Form3->RadioButton2->setChecked(true);
            text += QLatin1Char(',');
        }
        Form3->findChild<QLineEdit *>(field)->setText(text);
        Form3->SpeedButton1->click();
        if (field == "Edit6")
            text.chop(1);
    }
    QCOMPARE(f.dialogs.errors,
             QStringList{QStringLiteral("'%1' is not a valid integer value").arg(text)});
}

ORVANTA_TEST(TestHostile)
#include "test_hostile.moc"
