#include "app/form1.h"
#include "app/globals.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvanta"));
    // No display name: Qt would append it to every window caption.
    createForms();
    Form1->show();
    const int rc = QApplication::exec();
    destroyForms();
    return rc;
}
