// The main window's side of the network page.
#include "app/form1.h"
#include "monitor/page.h"
#include "monitor/pageserver.h"
#include "platform/textfile.h"

void TForm1::createNetworkParts()
{
    IdHTTPServer1 = new monitor::PageServer(this);
    IdHTTPServer1->setObjectName(QStringLiteral("IdHTTPServer1"));
}

void TForm1::destroyNetworkParts()
{
    delete IdHTTPServer1;
    IdHTTPServer1 = nullptr;
}

void TForm1::startPageServer()
{
    IdHTTPServer1->start(monitor::pagePort());
}

void TForm1::stopPageServer()
{
    IdHTTPServer1->stop();
}

void TForm1::writePage(int quality, int level)
{
    // A new file renamed over the old one: a request reads either page whole,
    // and an open reader never blocks the write.
    platform::writeFileAtomically(monitor::kPageFileName, monitor::pageBytes(quality, level));
}
