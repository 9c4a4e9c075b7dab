// The live meter: its tick and the main window's Stop.
#include "app/form1.h"

void TForm1::createMeterParts()
{}
void TForm1::LMDHiTimer1Timer()
{}
void TForm1::SpeedButton2Click()
{}
