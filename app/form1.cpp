#include "app/form1.h"

#include "app/globals.h"
#include "platform/guard.h"
#include "platform/wait.h"
#include "platform/widgets.h"
#include "receiver/device.h"
#include "receiver/tuning.h"
#include "transponders/line.h"
#include "transponders/listfile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace platform;

namespace {

const QStringList kFecEntries = {
    QStringLiteral("DVB-S 1/2 "),       QStringLiteral("DVB-S 2/3"),
    QStringLiteral("DVB-S 3/4"),        QStringLiteral("DVB-S 5/6"),
    QStringLiteral("DVB-S 7/8"),        QStringLiteral("DVB-S2 QPSK 1/2"),
    QStringLiteral("DVB-S2 QPSK 3/5"),  QStringLiteral("DVB-S2 QPSK 2/3"),
    QStringLiteral("DVB-S2 QPSK 3/4"),  QStringLiteral("DVB-S2 QPSK 4/5"),
    QStringLiteral("DVB-S2 QPSK 5/6"),  QStringLiteral("DVB-S2 QPSK 8/9"),
    QStringLiteral("DVB-S2 QPSK 9/10"), QStringLiteral("DVB-S2 8PSK 3/5"),
    QStringLiteral("DVB-S2 8PSK 2/3"),  QStringLiteral("DVB-S2 8PSK 3/4"),
    QStringLiteral("DVB-S2 8PSK 5/6"),  QStringLiteral("DVB-S2 8PSK 8/9"),
    QStringLiteral("DVB-S2 8PSK 9/10"),
};

} // namespace

TForm1::TForm1(QWidget *parent) : QWidget(parent, platform::fixedWindowFlags())
{
    setObjectName(QStringLiteral("Form1"));
    platform::centreOnFirstShow(this);
    setWindowTitle(QStringLiteral("Orvanta. Версия 2.01"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/orvanta.png")));
    useDialogFont(this);
    setFixedClientSize(this, 529, 294);
    createControls();

    LMDHiTimer1 = new QTimer(this);
    LMDHiTimer1->setObjectName(QStringLiteral("LMDHiTimer1"));
    LMDHiTimer1->setInterval(800);
    LMDHiTimer1->setTimerType(Qt::PreciseTimer);
    LMDHiTimer2 = new QTimer(this);
    LMDHiTimer2->setObjectName(QStringLiteral("LMDHiTimer2"));
    LMDHiTimer2->setInterval(10000);
    LMDHiTimer2->setTimerType(Qt::PreciseTimer);
    createMeterParts();
    createNetworkParts();
    connectHandlers();

    Form1 = this;
    guarded([this] { FormCreate(); });
}

TForm1::~TForm1()
{
    destroyNetworkParts();
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::createControls()
{
    Panel2 = makePanel(this, "Panel2", 8, 4, 513, 9);
    Label7 = makeLabel(this, "Label7", QStringLiteral("Спутник"), 8, 16);
    ComboBox3 = makeCombo(this, "ComboBox3", {}, 8, 32, 233, 19);
    Label8 = makeLabel(this, "Label8", QStringLiteral("Транспондер выбранного спутника"), 8, 64);
    ComboBox4 = makeCombo(this, "ComboBox4", {}, 8, 80, 233, 19);
    ComboBox4->setEnabled(false);
    CheckBox1 = makeCheck(this, "CheckBox1", QStringLiteral("Повышенная точность измерения"), 8,
                          112, 209, 17);
    CheckBox1->setEnabled(false);
    CheckBox2 = makeCheck(this, "CheckBox2", QStringLiteral("Показывать только пойманные"), 8, 136,
                          185, 17);
    CheckBox4 = makeCheck(this, "CheckBox4", QStringLiteral("Построить графики качества сигналов"),
                          8, 160, 233, 17);
    SpeedButton3 =
        makeButton(this, "SpeedButton3", QStringLiteral("Сканирование всех транспондеров"), 8, 184,
                   241, 25, QStringLiteral(":/icons/scan.png"));
    SpeedButton3->setEnabled(false);
    Panel3 = makePanel(this, "Panel3", 8, 216, 241, 9);
    SpeedButton4 = makeButton(this, "SpeedButton4", QStringLiteral("Слепой поиск"), 8, 232, 129, 22,
                              QStringLiteral(":/icons/blind.png"));
    SpeedButton5 =
        makeButton(this, "SpeedButton5", QStringLiteral("Поиск перебором"), 136, 232, 113, 22);
    SpeedButton5->setEnabled(false);
    SpeedButton7 =
        makeButton(this, "SpeedButton7", QStringLiteral("Подбор FEC DVB-S2"), 8, 264, 129, 22);
    SpeedButton6 =
        makeButton(this, "SpeedButton6", QStringLiteral("Лог сигнала"), 136, 264, 113, 22);
    Panel1 = makePanel(this, "Panel1", 254, 8, 9, 281);

    Label3 = makeLabel(this, "Label3", QStringLiteral("Частота"), 272, 24);
    Edit1 = makeEdit(this, "Edit1", QString(), 400, 16, 121);
    Label4 = makeLabel(this, "Label4", QStringLiteral("Символьная скорость"), 272, 48);
    Edit2 = makeEdit(this, "Edit2", QString(), 400, 40, 121);
    Label5 = makeLabel(this, "Label5", QStringLiteral("Поляризация"), 272, 72);
    ComboBox1 = makeCombo(this, "ComboBox1",
                          {QStringLiteral("Вертикальная"), QStringLiteral("Горизонтальная")}, 400,
                          64, 121, 22);
    Label6 = makeLabel(this, "Label6", QStringLiteral("Diseq"), 272, 96);
    ComboBox2 =
        makeCombo(this, "ComboBox2",
                  {QStringLiteral("Нет"), QStringLiteral("Port A"), QStringLiteral("Port B"),
                   QStringLiteral("Port C"), QStringLiteral("Port D")},
                  400, 88, 121, 22);
    Label9 = makeLabel(this, "Label9", QStringLiteral("FEC"), 272, 120);
    ComboBox6 = makeCombo(this, "ComboBox6", kFecEntries, 400, 112, 121, 19);
    ComboBox6->setCurrentIndex(2);
    Label1 = makeLabel(this, "Label1", QStringLiteral("Конвертор"), 272, 144);
    ComboBox5 = makeCombo(this, "ComboBox5",
                          {receiver::kLnbLinear, receiver::kLnbCircular, receiver::kLnbOther}, 400,
                          136, 121, 21);
    Label2 = makeLabel(this, "Label2", QStringLiteral("Частота"), 272, 168);
    Label2->hide();
    Edit3 = makeEdit(this, "Edit3", QString(), 400, 160, 121);
    Edit3->hide();
    CheckBox3 =
        makeCheck(this, "CheckBox3", QStringLiteral("Звуковое сопровождение"), 272, 192, 161, 17);
    CheckBox5 =
        makeCheck(this, "CheckBox5", QStringLiteral("Передавать в сеть"), 272, 216, 161, 17);
    SpeedButton1 = makeButton(this, "SpeedButton1", QStringLiteral("Залочить канал"), 272, 264, 129,
                              25, QStringLiteral(":/icons/lock.png"));
    SpeedButton2 = makeButton(this, "SpeedButton2", QStringLiteral("Остановить"), 400, 264, 121, 25,
                              QStringLiteral(":/icons/stop.png"));

    // Keyboard focus order; the buttons take no focus.
    QWidget *order[] = {Edit1,     Edit2,     ComboBox1, ComboBox2, ComboBox3,
                        ComboBox4, CheckBox1, CheckBox2, CheckBox3, ComboBox5,
                        Edit3,     CheckBox4, ComboBox6, CheckBox5};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    Edit1->setFocus();
}

void TForm1::connectHandlers()
{
    // Lists react to the user's choice only, never to a choice made by the program.
    connect(ComboBox3, &QComboBox::activated, this,
            [this] { guarded([this] { ComboBox3Change(); }); });
    connect(ComboBox4, &QComboBox::activated, this,
            [this] { guarded([this] { ComboBox4Change(); }); });
    connect(ComboBox5, &QComboBox::activated, this,
            [this] { guarded([this] { ComboBox5Change(); }); });
    auto button = [this](QPushButton *b, void (TForm1::*handler)()) {
        connect(b, &QPushButton::clicked, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    button(SpeedButton1, &TForm1::SpeedButton1Click);
    button(SpeedButton2, &TForm1::SpeedButton2Click);
    button(SpeedButton3, &TForm1::SpeedButton3Click);
    button(SpeedButton4, &TForm1::SpeedButton4Click);
    button(SpeedButton6, &TForm1::SpeedButton6Click);
    button(SpeedButton7, &TForm1::SpeedButton7Click);
    connect(LMDHiTimer1, &QTimer::timeout, this,
            [this] { guardedTick([this] { LMDHiTimer1Timer(); }); });
    connect(LMDHiTimer2, &QTimer::timeout, this,
            [this] { guardedTick([this] { LMDHiTimer2Timer(); }); });
}

void TForm1::FormCreate()
{
    WorkDir = QDir::currentPath();
    TransponderDir = WorkDir + QStringLiteral("/Transponders/");

    // Every entry whose name contains ".ini", files and directories alike, in
    // the order the directory lists them.
    const QDir dir(TransponderDir);
    const QStringList names = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString &name : names) {
        if (transponders::isListFileName(name)) {
            ++SatelliteFileCount;
            SatelliteFiles << name;
        }
    }

    ComboBox3->clear();
    for (int n = 0; n < SatelliteFileCount; ++n)
        ComboBox3->addItem(transponders::ReadSatelliteName(TransponderDir + SatelliteFiles[n]));
    ComboBox3->setCurrentIndex(-1);

    ComboBox5->setCurrentIndex(0);
    ComboBox2->setCurrentIndex(0);
    ComboBox1->setCurrentIndex(0);

    DeviceLibrary = loadLibrary(QStringLiteral("DWUSBAPI.dll"));
    if (!DeviceLibrary)
        return;
    receiver::InitDevCtl(DeviceLibrary);
}

void TForm1::FormClose()
{
    LMDHiTimer1->stop();
    LMDHiTimer2->stop();
    SpeedButton1->setEnabled(true);
    SpeedButton3->setEnabled(true);
    if (CheckBox5->isChecked())
        stopPageServer();
    receiver::ReleaseDevCtl(DeviceLibrary);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    guarded([this] { FormClose(); });
    event->accept();
    // Closing the main window ends the program, whatever other window is shown
    // and even while a long activity runs: it stops at its next message point.
    platform::requestEnd();
    QCoreApplication::quit();
}

void TForm1::ComboBox3Change()
{
    WorkDir = QDir::currentPath();
    TransponderDir = WorkDir + QStringLiteral("/Transponders/");
    const int n = ComboBox3->currentIndex();
    if (n < 0 || n >= SatelliteFiles.size())
        return;
    // Read first: a file that cannot be read leaves the list as it was.
    const QStringList entries =
        transponders::readTransponderEntries(TransponderDir + SatelliteFiles[n]);
    ComboBox4->clear();
    ComboBox4->addItems(entries);
    ComboBox4->setCurrentIndex(-1);
    if (!ComboBox3->currentText().isEmpty()) {
        ComboBox4->setEnabled(true);
        SpeedButton3->setEnabled(true);
        CheckBox1->setEnabled(true);
    }
}

void TForm1::ComboBox4Change()
{
    const auto line = transponders::splitTransponderLine(ComboBox4->currentText());
    Edit1->setText(line.frequency);
    if (const auto choice = transponders::polarizationFor(line.polarization)) {
        ComboBox1->setCurrentIndex(choice->polarizationIndex);
        ComboBox5->setCurrentIndex(choice->lnbIndex);
    }
    if (const auto entry = transponders::fecEntryFor(line.fec, line.system))
        ComboBox6->setCurrentIndex(*entry);
    Edit2->setText(line.symbolRate);
}

receiver::TuningFields TForm1::tuningFields() const
{
    receiver::TuningFields f;
    f.lnbType = ComboBox5->currentText();
    f.customLof = Edit3->text();
    f.diseqcPort = ComboBox2->currentIndex();
    f.fecIndex = ComboBox6->currentIndex();
    return f;
}
