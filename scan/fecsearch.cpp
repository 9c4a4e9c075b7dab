// The DVB-S2 FEC search.
#include "app/form1.h"

void TForm1::SpeedButton7Click()
{}
