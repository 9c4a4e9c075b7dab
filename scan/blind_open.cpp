// Opening the blind search window from the main window.
#include "app/form1.h"

void TForm1::SpeedButton4Click()
{}
