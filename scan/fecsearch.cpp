// The DVB-S2 FEC search: one transponder tuned with each FEC/modulation
// setting in turn, the figures of each listed in TForm6.
#include "app/form1.h"
#include "app/globals.h"
#include "platform/wait.h"
#include "receiver/device.h"
#include "receiver/tuning.h"
#include "scan/form6.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <array>
#include <cstdint>

namespace {

struct FecTry
{
    std::uint8_t code;
    const char *name;
};

// The search's own names: its DVB-S entries are worded unlike the main
// window's FEC list, the codes are the same.
constexpr std::array<FecTry, 19> kTries = {{
    {12, "DVB-S QPSK 1/2"},    {23, "DVB-S QPSK 2/3"},   {34, "DVB-S QPSK 3/4"},
    {56, "DVB-S QPSK 5/6"},    {78, "DVB-S QPSK 7/8"},   {101, "DVB-S2 QPSK 1/2"},
    {102, "DVB-S2 QPSK 3/5"},  {103, "DVB-S2 QPSK 2/3"}, {104, "DVB-S2 QPSK 3/4"},
    {105, "DVB-S2 QPSK 4/5"},  {106, "DVB-S2 QPSK 5/6"}, {107, "DVB-S2 QPSK 8/9"},
    {108, "DVB-S2 QPSK 9/10"}, {109, "DVB-S2 8PSK 3/5"}, {110, "DVB-S2 8PSK 2/3"},
    {111, "DVB-S2 8PSK 3/4"},  {112, "DVB-S2 8PSK 5/6"}, {113, "DVB-S2 8PSK 8/9"},
    {114, "DVB-S2 8PSK 9/10"},
}};

// The receiver needs this long to settle on a setting before it is read.
constexpr int kSettleMs = 10000;

QString resultLine(const char *name, const receiver::Reading &reading)
{
    // "Cигнал" starts with a Latin C.
    QString line = QStringLiteral("FEC: ") + QLatin1String(name) + QStringLiteral(" | C") +
                   QStringLiteral("игнал: ") + QString::number(reading.level) +
                   QStringLiteral(" | Качество: ") + QString::number(reading.quality);
    if (reading.quality > 0)
        line += QStringLiteral(" !!!! Внимание! Есть сигнал!!!");
    return line;
}

} // namespace

void TForm1::SpeedButton7Click()
{
    if (!hasFrequencyAndSymbolRate())
        return;

    Form6->show();
    QListWidget *list = Form6->ListBox1;
    list->clear();
    list->addItem(QStringLiteral("поиск fec для DVB-S2"));
    list->addItem(QStringLiteral("Заданная частота:") + Edit1->text());
    list->addItem(QStringLiteral("Заданная скорость: ") + Edit2->text());
    list->addItem(QStringLiteral("Заданная поляризация: ") + ComboBox1->currentText());

    beginTuningActivity();
    receiver::Reading reading;
    receiver::tuneLofAndDiseqc(DeviceLibrary, tuningFields());

    for (const FecTry &t : kTries) {
        TuneFecCode = t.code;
        receiver::SetSatPatRate(DeviceLibrary, TuneFecCode);
        receiver::TuneSatChannel(DeviceLibrary, TuneSymbolRate, &TuneFrequency, TunePolarization,
                                 TuneLof);
        platform::processMessages();
        const receiver::QuerySignalFn query = receiver::resolveQuerySignal(DeviceLibrary);
        platform::waitMs(kSettleMs);
        receiver::QuerySignalWith(query, reading);
        list->addItem(resultLine(t.name, reading));
    }
}
