#include "monitor/form7.h"

#include "platform/widgets.h"

TForm7::TForm7(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("Логирование сигнала"));
    platform::useDialogFont(this);
    platform::setFixedClientSize(this, 582, 644);
}
