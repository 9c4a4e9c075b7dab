// The live meter: its tick and the main window's Stop.
#include "app/form1.h"
#include "app/globals.h"
#include "monitor/activity.h"
#include "monitor/form5.h"
#include "monitor/graphiclabel.h"
#include "monitor/meterrules.h"
#include "monitor/soundclip.h"
#include "platform/wait.h"
#include "receiver/device.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

void TForm1::createMeterParts()
{
    LMDWaveComp1 = new monitor::SoundClip(this, "LMDWaveComp1",
                                          QUrl(QStringLiteral("qrc:/sounds/quality_fair.wav")));
    LMDWaveComp2 = new monitor::SoundClip(this, "LMDWaveComp2",
                                          QUrl(QStringLiteral("qrc:/sounds/quality_good.wav")));
}

void TForm1::LMDHiTimer1Timer()
{
    LMDHiTimer1->stop();
    // A Stop or log start handled while messages run ends this tick with the
    // meter off: the user's request wins over switching the timer on again.
    const monitor::EndRequests before = monitor::endRequests();
    platform::processMessages();
    if (monitor::endRequests() != before)
        return;

    receiver::Reading reading;
    receiver::QuerySignal(DeviceLibrary, reading);
    const int q = reading.quality;
    const int l = reading.level;

    Form5->LMDGraphicLabel1->setColor(monitor::levelColour(l));
    Form5->LMDGraphicLabel2->setColor(monitor::qualityColour(q));
    Form5->LMDGraphicLabel1->move(monitor::levelLeft(l), Form5->LMDGraphicLabel1->y());
    Form5->LMDGraphicLabel2->move(monitor::qualityLeft(q), Form5->LMDGraphicLabel2->y());
    Form5->LMDGraphicLabel2->setText(QString::number(q));
    Form5->LMDGraphicLabel1->setText(QString::number(l));

    platform::processMessages(); // repaint
    if (monitor::endRequests() != before)
        return;

    if (CheckBox5->isChecked())
        writePage(q, l);
    if (CheckBox3->isChecked()) {
        const monitor::ClipChoice clips = monitor::clipsFor(q);
        if (clips.fair)
            LMDWaveComp1->play();
        if (clips.good)
            LMDWaveComp2->play();
    }

    LMDHiTimer1->start();
    if (MeterState == 5) {
        LMDHiTimer1->stop();
        SpeedButton1->setEnabled(true);
        SpeedButton3->setEnabled(true);
        Form5->hide();
    }
}

void TForm1::SpeedButton2Click()
{
    LMDHiTimer1->stop();
    LMDHiTimer2->stop();
    monitor::noteStop();
    SpeedButton1->setEnabled(true);
    SpeedButton3->setEnabled(true);
    if (CheckBox5->isChecked())
        stopPageServer();
    Form5->hide();
}
