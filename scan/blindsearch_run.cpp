// The blind search loop of TForm3: polarizations, frequencies and, inside,
// the symbol rates of the chosen mode.
#include "app/globals.h"
#include "platform/convert.h"
#include "platform/wait.h"
#include "receiver/device.h"
#include "receiver/tuning.h"
#include "scan/blindsearch.h"
#include "scan/form3.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

using platform::StrToInt;

namespace {
// Display refresh: at most about 30 times a second while a search runs.
constexpr qint64 kFlushIntervalMs = 33;

// `value` += `step`; false when the sum does not fit, which ends a range that
// would otherwise wrap round and never pass its last value.
bool advance(int &value, int step)
{
    return !__builtin_add_overflow(value, step, &value);
}
} // namespace

void TForm3::letMessagesRun()
{
    // The clock is only asked when messages ran, at most once a millisecond.
    if (platform::processMessagesThrottled() && m_sinceFlush.elapsed() >= kFlushIntervalMs)
        flushDisplay();
}

int TForm3::shownStep(const QComboBox *box) const
{
    // The lists never change, so the number shown is the number of its entry.
    const int index = box->currentIndex();
    if (index >= 0 && index < m_stepValues.size())
        return m_stepValues[index];
    return StrToInt(box->currentText());
}

void TForm3::notePoint(int frequencyMHz, int symbolRateKs, int polarization, int reading)
{
    if (reading > 0)
        m_pendingLines << scan::blindFoundLine(frequencyMHz, symbolRateKs, polarization, reading);
    m_current = {frequencyMHz, symbolRateKs, polarization, true};
}

void TForm3::SpeedButton1Click()
{
    SpeedButton1->setEnabled(false);
    // Whatever ends the search, a conversion error included, leaves the last
    // point and every line found on screen.
    const auto showAll = qScopeGuard([this] { flushDisplay(); });

    int frequencyMHz = StrToInt(Edit1->text());

    BlindSearchLibrary = platform::loadLibrary(QStringLiteral("DWUSBAPI.dll"));
    if (BlindSearchLibrary)
        receiver::InitDevCtl(BlindSearchLibrary);

    int firstPolarization = 0, lastPolarization = -1;
    if (LMDTextRadioButton1->isChecked())
        firstPolarization = lastPolarization = 0;
    else if (LMDTextRadioButton2->isChecked())
        firstPolarization = lastPolarization = 1;
    else if (LMDTextRadioButton3->isChecked())
        firstPolarization = 0, lastPolarization = 1;

    for (int p = firstPolarization; p <= lastPolarization; ++p) {
        if (stopRequested())
            break;
        if (!searchFrequencies(p, frequencyMHz))
            break;
        frequencyMHz = StrToInt(Edit1->text());
        if (stopRequested())
            break;
    }
    endSteps();
}

// One polarization pass from `frequencyMHz` up to the last frequency. False
// when a stop request ended it.
bool TForm3::searchFrequencies(int p, int &frequencyMHz)
{
    while (StrToInt(Edit2->text()) >= frequencyMHz) {
        if (stopRequested())
            return false;
        const int lofMHz = receiver::blindSearchLof(frequencyMHz);

        if (RadioButton1->isChecked()) {
            const int symbolRateKs = StrToInt(Edit5->text());
            const int reading = MeasurePoint(symbolRateKs, frequencyMHz, p, lofMHz);
            // A stop handled during the point drops its reading.
            if (stopRequested())
                return false;
            letMessagesRun();
            notePoint(frequencyMHz, symbolRateKs, p, reading);
        }

        if (RadioButton2->isChecked()) {
            QString rest = Edit6->text();
            while (rest.contains(QLatin1Char(','))) {
                if (stopRequested())
                    return false;
                const int symbolRateKs = *scan::takeListSymbolRate(rest);
                const int reading = MeasurePoint(symbolRateKs, frequencyMHz, p, lofMHz);
                letMessagesRun();
                notePoint(frequencyMHz, symbolRateKs, p, reading);
            }
        }

        if (RadioButton3->isChecked()) {
            int symbolRateKs = StrToInt(Edit3->text());
            while (StrToInt(Edit4->text()) >= symbolRateKs) {
                letMessagesRun();
                if (stopRequested())
                    return false;
                const int reading = MeasurePoint(symbolRateKs, frequencyMHz, p, lofMHz);
                notePoint(frequencyMHz, symbolRateKs, p, reading);
                if (!advance(symbolRateKs, shownStep(ComboBox2)))
                    break;
            }
        }

        letMessagesRun();
        const bool more = advance(frequencyMHz, shownStep(ComboBox1));
        if (stopRequested())
            return false;
        if (!more)
            break;
    }
    return true;
}
