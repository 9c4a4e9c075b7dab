#include "scan/form4.h"

#include "platform/widgets.h"

TForm4::TForm4(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Графическое представление сигнала"));
    platform::useDialogFont(this);
    platform::setFixedClientSize(this, 860, 633);
}
