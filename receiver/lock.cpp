// The channel lock and the converter type choice.
#include "app/form1.h"
#include "app/globals.h"
#include "monitor/activity.h"
#include "monitor/form5.h"
#include "receiver/tuning.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

bool TForm1::hasFrequencyAndSymbolRate() const
{
    return !Edit1->text().isEmpty() && !Edit2->text().isEmpty();
}

void TForm1::beginTuningActivity()
{
    MeterState = 1;
    SpeedButton1->setEnabled(false);
    SpeedButton3->setEnabled(false);
    receiver::readTuningParameters(Edit1->text(), Edit2->text(), ComboBox1->currentIndex());
}

void TForm1::SpeedButton1Click()
{
    if (!hasFrequencyAndSymbolRate())
        return;
    Form5->show();
    beginTuningActivity();
    receiver::Reading reading;
    const receiver::TuningFields fields = tuningFields();
    LMDHiTimer1->stop();
    if (CheckBox5->isChecked())
        startPageServer();

    const monitor::EndRequests before = monitor::endRequests();
    receiver::TuningSequence(DeviceLibrary, fields, reading);

    // Messages ran inside the tuning. A Stop or log start handled there wins:
    // the meter is not switched on behind the user's back.
    if (monitor::endRequests() != before)
        return;
    // The level window closed meanwhile: end as the meter ends on a close.
    if (MeterState == 5) {
        SpeedButton1->setEnabled(true);
        SpeedButton3->setEnabled(true);
        Form5->hide();
        return;
    }
    LMDHiTimer1->start();
}

void TForm1::ComboBox5Change()
{
    const bool other = ComboBox5->currentIndex() == 2;
    Label2->setVisible(other);
    Edit3->setVisible(other);
}
