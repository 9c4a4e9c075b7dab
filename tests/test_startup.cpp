#include "app/form1.h"
#include "app/globals.h"
#include "monitor/form5.h"
#include "monitor/form7.h"
#include "scan/form2.h"
#include "scan/form3.h"
#include "scan/form4.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using testing_support::FixtureOptions;
using testing_support::ProgramFixture;

namespace {
QByteArray list(const QByteArray &name, const QByteArray &lines)
{
    return "[SATTYPE]\r\n1=0130\r\n2=" + name + "\r\n[DVB]\r\n0=9\r\n" + lines;
}
const QString kNotFound = QStringLiteral("Функция не найдена");
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void listsPairedWithFiles();
    void initialisesReceiverAndFillsList();
    void missingLibraryComplainsOnlyAtClose();
    void matchingDirectoryStopsStartup();
    void controlTable_data();
    void controlTable();
    void startState();
    void choosingSatellite();
    void removedFileKeepsList();
    void choosingTransponder_data();
    void choosingTransponder();
    void closeStopsAndReleases();
    void windowsCentredAndPictured();
};

void TestStartup::listsPairedWithFiles()
{
    FixtureOptions o;
    o.lists["a.ini"] = list("Alpha", "1=10719,V,27500\r\n");
    o.lists["b.ini.old"] = list("Beta", "1=11000,H,22000\r\n2=11100,H,22000\r\n");
    o.lists["c.txt"] = list("Gamma", "");
    o.lists["nameless.INI"] = "[DVB]\r\n1=12000,V,27500\r\n";
    o.lists["d.initial"] = list("Delta", "");
    ProgramFixture f(o);
    QCOMPARE(SatelliteFileCount, 4);
    QCOMPARE(Form1->ComboBox3->count(), 4);
    QCOMPARE(WorkDir, QDir::currentPath());
    QVERIFY(WorkDir != QStringLiteral(ORVANTA_BINARY_DIR));
    const QMap<QString, QString> names = {
        {"a.ini", "Alpha"}, {"b.ini.old", "Beta"}, {"nameless.INI", ""}, {"d.initial", "Delta"}};
    for (int i = 0; i < SatelliteFileCount; ++i) {
        QVERIFY(names.contains(SatelliteFiles[i]));
        QCOMPARE(Form1->ComboBox3->itemText(i), names[SatelliteFiles[i]]);
    }
    // Choosing each item opens its own file.
    for (int i = 0; i < SatelliteFileCount; ++i) {
        Form1->ComboBox3->setCurrentIndex(i);
        Form1->ComboBox3Change();
        const int expected =
            SatelliteFiles[i] == "b.ini.old" ? 2 : (SatelliteFiles[i] == "d.initial" ? 0 : 1);
        QCOMPARE(Form1->ComboBox4->count(), expected);
    }
}

void TestStartup::initialisesReceiverAndFillsList()
{
    FixtureOptions o;
    o.lists["a.ini"] = list("Hot Bird", "1=10719,V,27500,34\r\n");
    ProgramFixture f(o);
    QCOMPARE(Form1->ComboBox3->count(), 1);
    QCOMPARE(Form1->ComboBox3->itemText(0), QStringLiteral("Hot Bird"));
    QCOMPARE(Form1->ComboBox3->currentIndex(), -1);
    QVERIFY(DeviceLibrary != nullptr);
    QCOMPARE(f.sim.journal(), QStringList{"InitDevCtl"});
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestStartup::missingLibraryComplainsOnlyAtClose()
{
    FixtureOptions o;
    o.libraryDir = testing_support::missingLibraryDir();
    ProgramFixture f(o);
    QVERIFY(DeviceLibrary == nullptr);
    QVERIFY(f.dialogs.messages.isEmpty());
    QCOMPARE(Form1->ComboBox5->currentIndex(), 0);
    Form1->close();
    QCOMPARE(f.dialogs.messages, QStringList{kNotFound});
}

void TestStartup::matchingDirectoryStopsStartup()
{
    FixtureOptions o;
    o.createForms = false;
    ProgramFixture f(o);
    QDir().mkpath(f.path("Transponders/folder.ini"));
    f.start();
    QCOMPARE(f.dialogs.errors, QStringList{"Is a directory"});
    // Steps after the failed read did not happen.
    QCOMPARE(Form1->ComboBox5->currentIndex(), -1);
    QCOMPARE(Form1->ComboBox2->currentIndex(), -1);
    QCOMPARE(Form1->ComboBox1->currentIndex(), -1);
    QVERIFY(DeviceLibrary == nullptr);
    QVERIFY(Form1->ComboBox3->count() == 0);
    Form1->close();
    QCOMPARE(f.dialogs.messages, QStringList{kNotFound});
}

void TestStartup::controlTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place"); // width/height 0: auto-sized label
    QTest::addColumn<QString>("text");
    auto row = [](const char *n, QRect r, const QString &t = QString()) {
        QTest::newRow(n) << QString(n) << r << t;
    };
    row("Panel2", {8, 4, 513, 9});
    row("Label7", {8, 16, 0, 0}, "Спутник");
    row("ComboBox3", {8, 32, 233, 19});
    row("Label8", {8, 64, 0, 0}, "Транспондер выбранного спутника");
    row("ComboBox4", {8, 80, 233, 19});
    row("CheckBox1", {8, 112, 209, 17}, "Повышенная точность измерения");
    row("CheckBox2", {8, 136, 185, 17}, "Показывать только пойманные");
    row("CheckBox4", {8, 160, 233, 17}, "Построить графики качества сигналов");
    row("SpeedButton3", {8, 184, 241, 25}, "Сканирование всех транспондеров");
    row("Panel3", {8, 216, 241, 9});
    row("SpeedButton4", {8, 232, 129, 22}, "Слепой поиск");
    row("SpeedButton5", {136, 232, 113, 22}, "Поиск перебором");
    row("SpeedButton7", {8, 264, 129, 22}, "Подбор FEC DVB-S2");
    row("SpeedButton6", {136, 264, 113, 22}, "Лог сигнала");
    row("Panel1", {254, 8, 9, 281});
    row("Label3", {272, 24, 0, 0}, "Частота");
    row("Edit1", {400, 16, 121, 21}, "");
    row("Label4", {272, 48, 0, 0}, "Символьная скорость");
    row("Edit2", {400, 40, 121, 21}, "");
    row("Label5", {272, 72, 0, 0}, "Поляризация");
    row("ComboBox1", {400, 64, 121, 22});
    row("Label6", {272, 96, 0, 0}, "Diseq");
    row("ComboBox2", {400, 88, 121, 22});
    row("Label9", {272, 120, 0, 0}, "FEC");
    row("ComboBox6", {400, 112, 121, 19});
    row("Label1", {272, 144, 0, 0}, "Конвертор");
    row("ComboBox5", {400, 136, 121, 21});
    row("Label2", {272, 168, 0, 0}, "Частота");
    row("Edit3", {400, 160, 121, 21}, "");
    row("CheckBox3", {272, 192, 161, 17}, "Звуковое сопровождение");
    row("CheckBox5", {272, 216, 161, 17}, "Передавать в сеть");
    row("SpeedButton1", {272, 264, 129, 25}, "Залочить канал");
    row("SpeedButton2", {400, 264, 121, 25}, "Остановить");
}

void TestStartup::controlTable()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, text);
    ProgramFixture f;
    auto *w = Form1->findChild<QWidget *>(name);
    QVERIFY(w);
    QCOMPARE(w->pos(), place.topLeft());
    if (place.width() > 0)
        QCOMPARE(w->size(), place.size());
    if (auto *l = qobject_cast<QLabel *>(w))
        QCOMPARE(l->text(), text);
    if (auto *b = qobject_cast<QAbstractButton *>(w)) {
        QCOMPARE(b->text(), text);
        // A caption that does not fit its control would be cut.
        const int room =
            b->width() - (qobject_cast<QCheckBox *>(w) ? 20 : (b->icon().isNull() ? 6 : 26));
        QVERIFY2(b->fontMetrics().horizontalAdvance(text) <= room, qPrintable(name));
    }
    if (auto *e = qobject_cast<QLineEdit *>(w))
        QCOMPARE(e->text(), text);
    if (auto *b = qobject_cast<QPushButton *>(w))
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
}

void TestStartup::startState()
{
    ProgramFixture f;
    QCOMPARE(Form1->windowTitle(), QStringLiteral("Orvanta. Версия 2.01"));
    QCOMPARE(Form1->size(), QSize(529, 294));
    QCOMPARE(Form1->minimumSize(), Form1->maximumSize());
    QVERIFY(!(Form1->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(Form1->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!Form1->ComboBox4->isEnabled());
    QVERIFY(!Form1->SpeedButton3->isEnabled());
    QVERIFY(!Form1->CheckBox1->isEnabled());
    QVERIFY(!Form1->SpeedButton5->isEnabled());
    QVERIFY(Form1->SpeedButton1->isEnabled());
    QVERIFY(Form1->Label2->isHidden());
    QVERIFY(Form1->Edit3->isHidden());
    QCOMPARE(Form1->ComboBox1->currentText(), QStringLiteral("Вертикальная"));
    QCOMPARE(Form1->ComboBox2->currentText(), QStringLiteral("Нет"));
    QCOMPARE(Form1->ComboBox5->currentText(), QStringLiteral("Линейный"));
    QCOMPARE(Form1->ComboBox6->count(), 19);
    QCOMPARE(Form1->ComboBox6->currentText(), QStringLiteral("DVB-S 3/4"));
    QCOMPARE(Form1->ComboBox6->itemText(0), QStringLiteral("DVB-S 1/2 "));
    QCOMPARE(Form1->ComboBox6->itemText(18), QStringLiteral("DVB-S2 8PSK 9/10"));
    QCOMPARE(Form1->LMDHiTimer1->interval(), 800);
    QCOMPARE(Form1->LMDHiTimer2->interval(), 10000);
    QVERIFY(!Form1->LMDHiTimer1->isActive() && !Form1->LMDHiTimer2->isActive());
    for (auto *c :
         {Form1->CheckBox1, Form1->CheckBox2, Form1->CheckBox3, Form1->CheckBox4, Form1->CheckBox5})
        QVERIFY(!c->isChecked());
    // Focus order from Edit1 through the fields; buttons are skipped.
    QWidget *expected[] = {Form1->Edit1,     Form1->Edit2,     Form1->ComboBox1, Form1->ComboBox2,
                           Form1->ComboBox3, Form1->ComboBox4, Form1->CheckBox1, Form1->CheckBox2,
                           Form1->CheckBox3, Form1->ComboBox5, Form1->Edit3,     Form1->CheckBox4,
                           Form1->ComboBox6, Form1->CheckBox5};
    auto nextFocusable = [](QWidget *w) {
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    };
    for (size_t i = 0; i + 1 < std::size(expected); ++i)
        QCOMPARE(nextFocusable(expected[i]), expected[i + 1]);
}

void TestStartup::choosingSatellite()
{
    FixtureOptions o;
    o.lists["a.ini"] = list("Alpha", "1=10719,V,27500\r\n0=x\r\n");
    o.lists["b.ini"] = "[DVB]\r\n1=12000,V,27500\r\n";
    ProgramFixture f(o);
    const int nameless = SatelliteFiles.indexOf("b.ini");
    const int named = 1 - nameless;
    // The nameless satellite lists its lines but enables nothing.
    Form1->ComboBox3->setCurrentIndex(nameless);
    Form1->ComboBox3Change();
    QCOMPARE(Form1->ComboBox4->count(), 1);
    QVERIFY(!Form1->ComboBox4->isEnabled() && !Form1->SpeedButton3->isEnabled() &&
            !Form1->CheckBox1->isEnabled());
    Form1->ComboBox3->setCurrentIndex(named);
    Form1->ComboBox3Change();
    QCOMPARE(Form1->ComboBox4->count(), 1);
    QCOMPARE(Form1->ComboBox4->itemText(0), QStringLiteral("10719,V,27500"));
    QCOMPARE(Form1->ComboBox4->currentIndex(), -1);
    QVERIFY(Form1->ComboBox4->isEnabled() && Form1->SpeedButton3->isEnabled() &&
            Form1->CheckBox1->isEnabled());
    // Choosing the nameless one again disables nothing.
    Form1->ComboBox3->setCurrentIndex(nameless);
    Form1->ComboBox3Change();
    QVERIFY(Form1->ComboBox4->isEnabled());
}

void TestStartup::removedFileKeepsList()
{
    FixtureOptions o;
    o.lists["a.ini"] = list("Alpha", "1=10719,V,27500\r\n");
    ProgramFixture f(o);
    Form1->ComboBox3->setCurrentIndex(0);
    Form1->ComboBox3Change();
    QFile::remove(f.path("Transponders/a.ini"));
    // Through the real connection, so the error reaches the error box.
    emit Form1->ComboBox3->activated(0);
    QCOMPARE(f.dialogs.errors, QStringList{"No such file or directory"});
    QCOMPARE(Form1->ComboBox4->count(), 1);
}

void TestStartup::choosingTransponder_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("edit1");
    QTest::addColumn<QString>("edit2");
    QTest::addColumn<int>("polarization"); // start: 0 (Вертикальная)
    QTest::addColumn<int>("lnb");          // start: 0 (Линейный)
    QTest::addColumn<int>("fec");          // start: 5, to see "unchanged"
    QTest::newRow("DVB-S 3/4") << "11766,H,27500,34,DVB-S"
                               << "11766"
                               << "27500" << 1 << 0 << 2;
    QTest::newRow("S2 circular") << "12149,L,27500,23,S2"
                                 << "12149"
                                 << "27500" << 1 << 1 << 14;
    QTest::newRow("no system") << "10719,V,27500,34"
                               << "10719"
                               << "27500" << 0 << 0 << 5;
    QTest::newRow("DVB-S 9/10") << "11000,V,30000,91,DVB-S"
                                << "11000"
                                << "30000" << 0 << 0 << 12;
    QTest::newRow("S2 7/8 unchanged") << "11000,V,30000,78,S2"
                                      << "11000"
                                      << "30000" << 0 << 0 << 5;
    QTest::newRow("unknown FEC DVB-S") << "11000,V,30000,67,DVB-S"
                                       << "11000"
                                       << "30000" << 0 << 0 << 2;
    QTest::newRow("small letter") << "10719,h,27500"
                                  << "10719"
                                  << "27500" << 0 << 0 << 5;
    QTest::newRow("comment") << "10719,R,27500;abc"
                             << "10719"
                             << "27500" << 0 << 1 << 5;
    QTest::newRow("comment after system") << "10719,V,27500,34,DVB-S;abc"
                                          << "10719"
                                          << "27500,34,DVB-S" << 0 << 0 << 5;
    QTest::newRow("no comma") << "abc"
                              << ""
                              << "c" << 0 << 0 << 5;
    QTest::newRow("two letters") << "11766,HH,27500"
                                 << "11766"
                                 << "" << 0 << 0 << 5;
}

void TestStartup::choosingTransponder()
{
    QFETCH(QString, line);
    ProgramFixture f;
    Form1->ComboBox6->setCurrentIndex(5);
    Form1->Edit1->setText("old");
    Form1->ComboBox4->addItem(line);
    Form1->ComboBox4->setCurrentIndex(0);
    Form1->ComboBox4Change();
    QTEST(Form1->Edit1->text(), "edit1");
    QTEST(Form1->Edit2->text(), "edit2");
    QTEST(Form1->ComboBox1->currentIndex(), "polarization");
    QTEST(Form1->ComboBox5->currentIndex(), "lnb");
    QTEST(Form1->ComboBox6->currentIndex(), "fec");
    // Program-made choices leave the converter field's visibility alone.
    QVERIFY(Form1->Edit3->isHidden());
}

void TestStartup::closeStopsAndReleases()
{
    ProgramFixture f;
    Form1->LMDHiTimer1->start();
    Form1->LMDHiTimer2->start();
    Form1->SpeedButton1->setEnabled(false);
    Form1->SpeedButton3->setEnabled(false);
    f.sim.clearJournal();
    Form1->close();
    QVERIFY(!Form1->LMDHiTimer1->isActive() && !Form1->LMDHiTimer2->isActive());
    QVERIFY(Form1->SpeedButton1->isEnabled() && Form1->SpeedButton3->isEnabled());
    QCOMPARE(f.sim.journal(), QStringList{"ReleaseDevCtl"});
    QVERIFY(f.dialogs.messages.isEmpty());
}

void TestStartup::windowsCentredAndPictured()
{
    ProgramFixture f;
    const QList<QWidget *> windows = {Form1, Form2, Form3, Form4, Form5, Form7};
    for (QWidget *w : windows) {
        w->show();
        const QPoint centre = w->screen()->availableGeometry().center();
        const QPoint at = w->frameGeometry().center();
        QVERIFY2((at - centre).manhattanLength() <= 2, qPrintable(w->objectName()));
        // A second show keeps a place the user gave it.
        w->hide();
        w->move(w->pos() + QPoint(10, 10));
        const QPoint moved = w->pos();
        w->show();
        QCOMPARE(w->pos(), moved);
        w->hide();
        // Every button picture exists in the resources.
        for (auto *b : w->findChildren<QAbstractButton *>())
            QVERIFY2(b->icon().isNull() || !b->icon().availableSizes().isEmpty(),
                     qPrintable(w->objectName() + "." + b->objectName()));
    }
}

ORVANTA_TEST(TestStartup)
#include "test_startup.moc"
