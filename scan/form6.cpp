#include "scan/form6.h"

#include "platform/widgets.h"

TForm6::TForm6(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Поиск DVB-S2 fec"));
    platform::useDialogFont(this);
    platform::setFixedClientSize(this, 527, 472);
}
