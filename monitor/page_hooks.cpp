// The main window's side of the network page.
#include "app/form1.h"

void TForm1::createNetworkParts()
{}
void TForm1::destroyNetworkParts()
{}
void TForm1::startPageServer()
{}
void TForm1::stopPageServer()
{}
void TForm1::writePage(int, int)
{}
