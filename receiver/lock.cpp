// The channel lock and the converter type choice.
#include "app/form1.h"

void TForm1::SpeedButton1Click()
{}
void TForm1::ComboBox5Change()
{}
