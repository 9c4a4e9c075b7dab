// Opening the blind search window from the main window.
#include "app/form1.h"
#include "app/globals.h"
#include "receiver/device.h"
#include "scan/form3.h"

void TForm1::SpeedButton4Click()
{
    // The blind search initialises the device itself at each start.
    receiver::ReleaseDevCtl(DeviceLibrary);
    hide();
    Form3->show();
}
