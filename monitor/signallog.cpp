// The signal log's start and tick.
#include "app/form1.h"

void TForm1::SpeedButton6Click()
{}
void TForm1::LMDHiTimer2Timer()
{}
