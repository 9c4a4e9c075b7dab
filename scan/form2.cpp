#include "scan/form2.h"

#include "app/globals.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/textfile.h"
#include "platform/widgets.h"
#include "scan/form4.h"
#include "scan/scanrules.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace platform;

TForm2::TForm2(QWidget *parent) : QWidget(parent, platform::fixedWindowFlags())
{
    setObjectName(QStringLiteral("Form2"));
    platform::centreOnFirstShow(this);
    setWindowTitle(QStringLiteral("Сканирование транспондеров"));
    useDialogFont(this);
    setFixedClientSize(this, 538, 515);

    ListBox1 = makeList(this, "ListBox1", 8, 8, 521, 385);
    Panel2 = makePanel(this, "Panel2", 8, 400, 521, 9);
    Label2 = makeLabel(this, "Label2", QStringLiteral("Спутник"), 8, 416);
    Label6 = makeLabel(this, "Label6", QStringLiteral("none"), 64, 416);
    Label3 = makeLabel(this, "Label3", QStringLiteral("Транспондеров"), 8, 432);
    Label7 = makeLabel(this, "Label7", QStringLiteral("0"), 96, 432);
    Label4 = makeLabel(this, "Label4", QStringLiteral("Отсканировано"), 136, 432);
    Label8 = makeLabel(this, "Label8", QStringLiteral("0"), 224, 432);
    Label5 = makeLabel(this, "Label5", QStringLiteral("Поймано"), 256, 432);
    Label9 = makeLabel(this, "Label9", QStringLiteral("0"), 312, 432);
    Panel1 = makePanel(this, "Panel1", 8, 448, 521, 9);
    Label1 = makeLabel(this, "Label1", QStringLiteral("Комментарий"), 8, 464);
    Edit1 = makeEdit(this, "Edit1", QString(), 88, 464, 441, 21);
    SpeedButton3 = makeButton(this, "SpeedButton3", QStringLiteral("График"), 8, 488, 105, 22,
                              QStringLiteral(":/icons/chart.png"));
    SpeedButton2 = makeButton(this, "SpeedButton2", scan::kCancelCaption, 312, 488, 105, 22,
                              QStringLiteral(":/icons/cancel.png"));
    SpeedButton1 = makeButton(this, "SpeedButton1", QStringLiteral("Сохранить"), 424, 488, 105, 22,
                              QStringLiteral(":/icons/save.png"));

    // Counters change while a scan runs: the labels grow with their text.
    for (QLabel *l : {Label6, Label7, Label8, Label9})
        l->setMinimumWidth(l->width());

    connect(SpeedButton1, &QPushButton::clicked, this,
            [this] { guarded([this] { SpeedButton1Click(); }); });
    connect(SpeedButton2, &QPushButton::clicked, this,
            [this] { guarded([this] { SpeedButton2Click(); }); });
    connect(SpeedButton3, &QPushButton::clicked, this,
            [this] { guarded([this] { SpeedButton3Click(); }); });
}

QStringList TForm2::lines() const
{
    QStringList out;
    out.reserve(ListBox1->count());
    for (int i = 0; i < ListBox1->count(); ++i)
        out << ListBox1->item(i)->text();
    return out;
}

void TForm2::addLine(const QString &line)
{
    ListBox1->addItem(line);
    ListBox1->doItemsLayout();
}

void TForm2::SpeedButton1Click()
{
    // The block goes into the list first and stays there, saved or not.
    ListBox1->addItems(scan::reportInformationBlock(Label6->text(), Label7->text(), Label9->text(),
                                                    Edit1->text()));
    const auto path = dialogs().saveFile(this, {QStringLiteral("txt"), QString()});
    if (!path)
        return;
    writeLinesCp1251(*path, lines());
}

void TForm2::SpeedButton2Click()
{
    if (!SpeedButton1->isEnabled())
        SpeedButton2->setText(scan::kStopRequested);
}

void TForm2::SpeedButton3Click()
{
    if (!Form4)
        return;
    if (Form4->isVisible())
        Form4->raise(); // already open, maybe behind another window
    else
        Form4->show();
}
