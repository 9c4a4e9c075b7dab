#include "monitor/form7.h"

#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/textfile.h"
#include "platform/widgets.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

TForm7::TForm7(QWidget *parent) : QWidget(parent, platform::fixedWindowFlags())
{
    setObjectName(QStringLiteral("Form7"));
    platform::centreOnFirstShow(this);
    setWindowTitle(QStringLiteral("Логирование сигнала"));
    platform::useDialogFont(this);
    platform::setFixedClientSize(this, 582, 644);

    Label1 =
        platform::makeLabel(this, "Label1", QStringLiteral("Изменение сигнала во времени:"), 8, 8);
    ListBox1 = platform::makeList(this, "ListBox1", 8, 24, 569, 585);
    SpeedButton1 =
        platform::makeButton(this, "SpeedButton1", QStringLiteral("Сохранить"), 8, 616, 97, 22);
    SpeedButton1->setFlat(true);
    SpeedButton2 = platform::makeButton(this, "SpeedButton2", QStringLiteral("Скопировать в буфер"),
                                        112, 616, 121, 22);
    SpeedButton2->setFlat(true);
    SpeedButton2->setEnabled(false);

    connect(SpeedButton1, &QPushButton::clicked, this,
            [this] { platform::guarded([this] { SpeedButton1Click(); }); });
}

void TForm7::SpeedButton1Click()
{
    // No filter, no default extension; an existing file is replaced.
    const auto path = platform::dialogs().saveFile(this, {});
    if (!path || ListBox1->count() == 0)
        return;
    QStringList lines;
    lines.reserve(ListBox1->count());
    for (int i = 0; i < ListBox1->count(); ++i)
        lines << ListBox1->item(i)->text();
    platform::writeLinesCp1251(*path, lines);
}
