// The signal log's start and tick.
#include "app/form1.h"
#include "app/globals.h"
#include "monitor/activity.h"
#include "monitor/form7.h"
#include "monitor/loglines.h"
#include "platform/wait.h"
#include "receiver/tuning.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

void TForm1::SpeedButton6Click()
{
    if (!hasFrequencyAndSymbolRate())
        return;
    // As the lock, but with the log window, no page server, and the log timer.
    Form7->show();
    beginTuningActivity();
    receiver::Reading reading;
    const receiver::TuningFields fields = tuningFields();
    LMDHiTimer1->stop(); // a running meter freezes
    monitor::noteLogStart();

    const monitor::EndRequests before = monitor::endRequests();
    receiver::TuningSequence(DeviceLibrary, fields, reading);

    Form7->ListBox1->addItem(QStringLiteral("Частота ") + Edit1->text());
    Form7->ListBox1->addItem(QStringLiteral("Скорость ") + Edit2->text());
    Form7->ListBox1->addItem(QStringLiteral("Поляризация ") + ComboBox1->currentText());
    // A Stop handled during the tuning wins over starting the log timer.
    if (monitor::endRequests().stops != before.stops)
        return;
    LMDHiTimer2->start();
}

void TForm1::LMDHiTimer2Timer()
{
    LMDHiTimer2->stop();
    const monitor::EndRequests before = monitor::endRequests();
    platform::processMessages();
    // Stopped meanwhile: no line and the log stays off.
    if (monitor::endRequests().stops != before.stops)
        return;
    receiver::Reading reading;
    receiver::QuerySignal(DeviceLibrary, reading);
    Form7->ListBox1->addItem(
        monitor::logLine(monitor::logClock(), QLocale(), reading.level, reading.quality));
    LMDHiTimer2->start();
}
