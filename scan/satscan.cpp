// The scan of all transponders of the chosen satellite.
#include "app/form1.h"

void TForm1::SpeedButton3Click()
{}
