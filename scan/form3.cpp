#include "scan/form3.h"

#include "platform/widgets.h"

TForm3::TForm3(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Слепой поиск (только для DVB-S QPSK)"));
    platform::useDialogFont(this);
    platform::setFixedClientSize(this, 515, 494);
}
