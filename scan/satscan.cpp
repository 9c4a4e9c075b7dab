// The scan of all transponders of the chosen satellite: each line of the
// transponder list is tuned and measured in turn, listed in the report window,
// and the caught ones are drawn as bars in the charts window.
#include "app/form1.h"
#include "app/globals.h"
#include "platform/convert.h"
#include "platform/wait.h"
#include "receiver/device.h"
#include "receiver/tuning.h"
#include "scan/chart.h"
#include "scan/form2.h"
#include "scan/form4.h"
#include "scan/scanrules.h"
#include "transponders/line.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

// The scan lets messages run, so its own button could start it again inside
// itself; one scan at a time.
bool g_scanRunning = false;

struct RunningScan
{
    RunningScan() { g_scanRunning = true; }
    ~RunningScan() { g_scanRunning = false; }
};

// The scan's own tuning: no DiSEqC, FEC code, tune, let messages run, wait 3 s,
// query; with higher accuracy two more readings averaged by truncation.
receiver::Reading measure(int symbolRateKs, int *frequencyMHz, int polarization, int lofMHz,
                          bool moreReadings)
{
    receiver::SetSatPatRate(DeviceLibrary, TuneFecCode);
    receiver::TuneSatChannel(DeviceLibrary, symbolRateKs, frequencyMHz, polarization, lofMHz);
    platform::processMessages();
    platform::waitMs(3000);
    const receiver::QuerySignalFn query = receiver::resolveQuerySignal(DeviceLibrary);
    receiver::Reading first;
    receiver::QuerySignalWith(query, first);
    if (!moreReadings)
        return first;
    receiver::Reading second, third;
    platform::waitMs(2000);
    receiver::QuerySignalWith(query, second);
    platform::waitMs(2000);
    platform::processMessages();
    receiver::QuerySignalWith(query, third);
    receiver::Reading mean;
    mean.quality = scan::truncatingAverage(first.quality, second.quality, third.quality);
    mean.level = scan::truncatingAverage(first.level, second.level, third.level);
    return mean;
}

} // namespace

void TForm1::SpeedButton3Click()
{
    if (g_scanRunning)
        return;
    const RunningScan running;

    scan::CaughtTable caught;
    CaughtCount = 0;
    Form4->SpeedButton1->hide();
    Form4->Series1->clear();
    Form4->BarSeries1->clear();
    Form4->BarSeries2->clear();

    const QString satellite = ComboBox3->currentText();
    const QString mapTitle = QStringLiteral("Спутниковая карта QX");
    const QString onSatellite = QStringLiteral("Спутник: ") + satellite;
    Form4->Chart1->setTitleLines(mapTitle, onSatellite);
    Form4->Chart2->setTitleLines(mapTitle, onSatellite + QStringLiteral(" вторая часть"));
    Form4->Chart3->setTitleLines(mapTitle, onSatellite + QStringLiteral(" третья часть"));

    const int lineCount = ComboBox4->count();
    Form2->Label6->setText(satellite);
    Form2->Label7->setText(QString::number(lineCount));
    Form2->Label8->setText(QStringLiteral("0"));
    Form2->Label9->setText(QStringLiteral("0"));
    for (QLabel *l : {Form2->Label6, Form2->Label7, Form2->Label8, Form2->Label9})
        l->adjustSize();

    SpeedButton1->setEnabled(false);
    Form2->SpeedButton1->setEnabled(false);
    Form2->show();
    Form2->ListBox1->clear();

    try {
        for (int i = 0; i < lineCount; ++i) {
            if (Form2->SpeedButton2->text() == scan::kStopRequested)
                break;
            // Another satellite chosen meanwhile may have fewer lines.
            if (i >= ComboBox4->count())
                break;
            int polarization = 0;
            Form2->Label8->setText(QString::number(i + 1));
            Form2->Label8->adjustSize();

            const QString line = ComboBox4->itemText(i);
            const transponders::TransponderLine fields = transponders::splitTransponderLine(line);
            int frequencyMHz = platform::StrToInt(fields.frequency);
            polarization = transponders::scanPolarizationIndex(fields.polarization);
            if (const auto entry = transponders::fecEntryFor(fields.fec, fields.system))
                ComboBox6->setCurrentIndex(*entry);
            const int symbolRateKs = platform::StrToInt(fields.symbolRate);
            TuneFecCode = receiver::fecCodeForIndex(ComboBox6->currentIndex());
            const int lofMHz =
                receiver::lofFor(frequencyMHz, ComboBox5->currentText(), Edit3->text());

            const receiver::Reading reading =
                measure(symbolRateKs, &frequencyMHz, polarization, lofMHz, CheckBox1->isChecked());

            if (!CheckBox2->isChecked() || reading.quality != 0)
                Form2->addLine(scan::resultLine(line, reading.quality, reading.level));
            if (reading.quality > 0)
                caught.add(QString::number(frequencyMHz), reading.quality);
            Form2->Label9->setText(QString::number(caught.caught()));
            Form2->Label9->adjustSize();
        }
    } catch (...) {
        // A line that does not convert ends the scan without bars; the buttons
        // come back so that nothing stays locked.
        Form2->SpeedButton2->setText(scan::kCancelCaption);
        Form2->SpeedButton1->setEnabled(true);
        SpeedButton1->setEnabled(true);
        throw;
    }

    const QList<scan::CaughtTable::Entry> &entries = caught.entries();
    const QList<scan::BarPlace> places = scan::barPlaces(int(entries.size()));
    scan::BarSeries *series[] = {Form4->Series1, Form4->BarSeries1, Form4->BarSeries2};
    for (int j = 0; j < entries.size(); ++j) {
        platform::processMessages();
        const scan::CaughtTable::Entry &e = entries[j];
        series[places[j].chart - 1]->addBar(places[j].x, e.quality, e.label,
                                            scan::barColour(e.quality));
    }

    Form2->SpeedButton2->setText(scan::kCancelCaption);
    Form2->SpeedButton1->setEnabled(true);
    Form4->SpeedButton1->show();
    SpeedButton1->setEnabled(true);
    if (CheckBox4->isChecked())
        Form4->show();
    CaughtCount = caught.caught();
}
