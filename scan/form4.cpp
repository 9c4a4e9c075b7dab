#include "scan/form4.h"

#include "app/globals.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/widgets.h"
#include "scan/chart.h"
#include "scan/scanrules.h"

#include <QPushButton>

using namespace platform;

TForm4::TForm4(QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form4"));
    platform::centreOnFirstShow(this);
    setWindowTitle(QStringLiteral("Графическое представление сигнала"));
    useDialogFont(this);
    setFixedClientSize(this, 860, 633);

    Chart1 = new scan::BarChart(this, "Chart1", "Series1");
    Chart1->setGeometry(0, 0, 857, 201);
    Chart2 = new scan::BarChart(this, "Chart2", "BarSeries1");
    Chart2->setGeometry(0, 200, 857, 201);
    Chart3 = new scan::BarChart(this, "Chart3", "BarSeries2");
    Chart3->setGeometry(0, 400, 857, 201);
    Series1 = Chart1->series();
    BarSeries1 = Chart2->series();
    BarSeries2 = Chart3->series();

    SpeedButton1 = makeButton(this, "SpeedButton1", QStringLiteral("Сохранить графики"), 720, 608,
                              137, 22, QStringLiteral(":/icons/save.png"));
    SpeedButton1->hide();
    connect(SpeedButton1, &QPushButton::clicked, this,
            [this] { guarded([this] { SpeedButton1Click(); }); });
}

void TForm4::SpeedButton1Click()
{
    const auto chosen = dialogs().saveFile(this, {QStringLiteral("bmp"), QStringLiteral("*.bmp")});
    if (!chosen)
        return;
    const QStringList names = scan::chartFileNames(*chosen, CaughtCount);
    scan::BarChart *charts[] = {Chart1, Chart2, Chart3};
    // In chart order; files written before a failure stay.
    for (int i = 0; i < names.size(); ++i)
        charts[i]->saveBmp(names[i]);
}
