#include "monitor/page.h"

namespace monitor {

QByteArray pageBytes(int quality, int level)
{
    // Everything before Q is fixed: 138 ASCII characters.
    static const QByteArray head =
        QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                          "<!DOCTYPE wml PUBLIC \"-//WAPFORUM//DTD WML 1.2//EN\" "
                          "\"http://www.wapforum.org/DTD/wml1.2.dtd\">"
                          "<wml>Q:");
    QByteArray page = head;
    page += QByteArray::number(quality);
    page += "|L:";
    page += QByteArray::number(level);
    page += "</wml>";
    return page;
}

} // namespace monitor
