#include "scan/form3.h"

#include "app/form1.h"
#include "app/globals.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "scan/blindsearch.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace platform;

namespace {
const QString kStopCaption = QStringLiteral("Остановить");
const QString kWaitCaption = QStringLiteral("ожидайте");
} // namespace

TForm3::TForm3(QWidget *parent) : QWidget(parent, platform::fixedWindowFlags())
{
    setObjectName(QStringLiteral("Form3"));
    platform::centreOnFirstShow(this);
    setWindowTitle(QStringLiteral("Слепой поиск (только для DVB-S QPSK)"));
    useDialogFont(this);
    setFixedClientSize(this, 515, 494);
    createControls();
    connectHandlers();
    m_sinceFlush.start();
}

void TForm3::createControls()
{
    const QStringList steps = scan::blindStepItems();
    for (const QString &step : steps)
        m_stepValues << StrToInt(step);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Частоты"), 16, 14);
    Label4 = makeLabel(this, "Label4", QStringLiteral("от"), 70, 12);
    Edit1 = makeEdit(this, "Edit1", QStringLiteral("10800"), 88, 8, 57);
    Label5 = makeLabel(this, "Label5", QStringLiteral("до"), 150, 12);
    Edit2 = makeEdit(this, "Edit2", QStringLiteral("12700"), 168, 8, 57);
    Label6 = makeLabel(this, "Label6", QStringLiteral("шаг"), 232, 12);
    ComboBox1 = makeCombo(this, "ComboBox1", steps, 256, 8, 81, 21);
    ComboBox1->setCurrentIndex(0);
    Panel1 = makePanel(this, "Panel1", 16, 32, 481, 9);

    Label2 = makeLabel(this, "Label2", QStringLiteral("Символьная скорость"), 16, 48);
    RadioButton1 = makeRadio(this, "RadioButton1", QStringLiteral("Заданная"), 144, 51, 86);
    Edit5 = makeEdit(this, "Edit5", QString(), 232, 48, 201);
    RadioButton2 = makeRadio(this, "RadioButton2", QStringLiteral("Несколько"), 144, 76, 86);
    Edit6 = makeEdit(this, "Edit6",
                     QStringLiteral("3333,4444, 4800, 5600, 12000, 22000,27500,26500,29800,30000,"),
                     232, 72, 201);
    Edit6->setCursorPosition(0); // show the list from its start
    RadioButton3 = makeRadio(this, "RadioButton3", QStringLiteral("Предел"), 144, 100, 70);
    Label9 = makeLabel(this, "Label9", QStringLiteral("от"), 216, 100);
    Edit3 = makeEdit(this, "Edit3", QStringLiteral("1000"), 232, 96, 57);
    Label8 = makeLabel(this, "Label8", QStringLiteral("до"), 294, 100);
    Edit4 = makeEdit(this, "Edit4", QStringLiteral("45000"), 312, 96, 57);
    Label7 = makeLabel(this, "Label7", QStringLiteral("шаг"), 376, 100);
    ComboBox2 = makeCombo(this, "ComboBox2", steps, 400, 96, 81, 21);
    ComboBox2->setCurrentIndex(0);
    SymbolRateGroup = new QButtonGroup(this);
    SymbolRateGroup->setObjectName(QStringLiteral("SymbolRateGroup"));
    SymbolRateGroup->addButton(RadioButton1);
    SymbolRateGroup->addButton(RadioButton2);
    SymbolRateGroup->addButton(RadioButton3);
    RadioButton3->setChecked(true);
    Panel2 = makePanel(this, "Panel2", 16, 120, 481, 9);

    Label3 = makeLabel(this, "Label3", QStringLiteral("Поляризация"), 16, 136);
    LMDTextRadioButton1 =
        makeRadio(this, "LMDTextRadioButton1", QStringLiteral("Вертикальная"), 144, 136, 161);
    LMDTextRadioButton2 =
        makeRadio(this, "LMDTextRadioButton2", QStringLiteral("Горизонтальная"), 144, 160, 161);
    LMDTextRadioButton3 =
        makeRadio(this, "LMDTextRadioButton3", QStringLiteral("Обе поляризации"), 144, 184, 161);
    PolarizationGroup = new QButtonGroup(this);
    PolarizationGroup->setObjectName(QStringLiteral("PolarizationGroup"));
    PolarizationGroup->addButton(LMDTextRadioButton1);
    PolarizationGroup->addButton(LMDTextRadioButton2);
    PolarizationGroup->addButton(LMDTextRadioButton3);
    LMDTextRadioButton3->setChecked(true);

    Label10 = makeLabel(this, "Label10", QStringLiteral("Текущее значение"), 16, 208);
    Label11 = makeLabel(this, "Label11", QStringLiteral("none"), 136, 208);
    // Wide enough for any point, so the label never has to be laid out again.
    Label11->resize(361, Label11->height());
    Panel3 = makePanel(this, "Panel3", 16, 224, 481, 9);
    Label12 = makeLabel(this, "Label12", QStringLiteral("Найденные транспондеры:"), 184, 240);
    ListBox1 = makeList(this, "ListBox1", 16, 256, 481, 201);

    SpeedButton2 = makeButton(this, "SpeedButton2", kStopCaption, 160, 464, 105, 22);
    SpeedButton3 = makeButton(this, "SpeedButton3", QStringLiteral("Сохранить"), 272, 464, 105, 22);
    SpeedButton3->setEnabled(false);
    SpeedButton1 =
        makeButton(this, "SpeedButton1", QStringLiteral("Начать поиск"), 384, 464, 113, 22);

    QWidget *order[] = {Edit1,
                        Edit2,
                        ComboBox1,
                        RadioButton1,
                        Edit5,
                        RadioButton2,
                        Edit6,
                        RadioButton3,
                        Edit3,
                        Edit4,
                        ComboBox2,
                        LMDTextRadioButton1,
                        LMDTextRadioButton2,
                        LMDTextRadioButton3,
                        ListBox1};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void TForm3::connectHandlers()
{
    auto button = [this](QPushButton *b, void (TForm3::*handler)()) {
        connect(b, &QPushButton::clicked, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    button(SpeedButton1, &TForm3::SpeedButton1Click);
    button(SpeedButton2, &TForm3::SpeedButton2Click);
    button(SpeedButton3, &TForm3::SpeedButton3Click);
}

void TForm3::SpeedButton2Click()
{
    SpeedButton2->setText(kWaitCaption);
}

bool TForm3::stopRequested() const
{
    return SpeedButton2->text() == kWaitCaption;
}

void TForm3::endSteps()
{
    SpeedButton3->setEnabled(true);
    SpeedButton2->setText(kStopCaption);
    SpeedButton1->setEnabled(true);
}

void TForm3::SpeedButton3Click()
{
    // A save during a search writes every line found so far.
    flushDisplay();
    const auto path = dialogs().saveFile(this, SaveRequest{});
    if (!path)
        return;
    QStringList lines;
    lines.reserve(ListBox1->count());
    for (int i = 0; i < ListBox1->count(); ++i)
        lines << ListBox1->item(i)->text();
    writeLinesCp1251(*path, lines);
}

void TForm3::FormClose()
{
    if (Form1)
        Form1->show();
}

void TForm3::closeEvent(QCloseEvent *event)
{
    guarded([this] { FormClose(); });
    // Only hidden: fields, list and buttons stay for the next opening.
    event->accept();
}

void TForm3::flushDisplay()
{
    if (m_current.pending) {
        Label11->setText(scan::blindPointText(m_current.frequencyMHz, m_current.symbolRateKs,
                                              m_current.polarization));
        m_current.pending = false;
    }
    if (!m_pendingLines.isEmpty()) {
        ListBox1->addItems(m_pendingLines);
        m_pendingLines.clear();
    }
    m_sinceFlush.restart();
}
