#include "monitor/form5.h"

#include "platform/widgets.h"

TForm5::TForm5(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Уровни сигнала"));
    platform::useDialogFont(this);
    platform::setFixedClientSize(this, 1014, 483);
}
