#include "scan/form2.h"

#include "platform/widgets.h"

TForm2::TForm2(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Сканирование транспондеров"));
    platform::useDialogFont(this);
    platform::setFixedClientSize(this, 538, 515);
}
