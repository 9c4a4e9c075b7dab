// The receiver library for real frontends, run against a fake kernel: every
// ioctl, SEC step and wait is journalled, so the byte sequences of a tune are
// checked exactly without hardware.
#include "app/form1.h"
#include "app/globals.h"
#include "devices/linuxdvb/mapping.h"
#include "devices/linuxdvb/receiver.h"
#include "platform/library.h"
#include "tests/support/fixture.h"
#include "tests/support/testmain.h"

#include <QTest>

#include <linux/dvb/frontend.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>

using linuxdvb::Receiver;

namespace {

constexpr unsigned kLocked =
    FE_HAS_SIGNAL | FE_HAS_CARRIER | FE_HAS_VITERBI | FE_HAS_SYNC | FE_HAS_LOCK;

struct FakeFrontend
{
    int openError = 0; // errno of open, 0 = opens
    bool infoFails = false;
    bool enumerateSystems = true;
    std::vector<std::uint32_t> systems = {SYS_DVBS, SYS_DVBS2};
    fe_type type = FE_QPSK;
    std::uint32_t caps = FE_CAN_QPSK | FE_CAN_FEC_AUTO | FE_CAN_2G_MODULATION;
    std::uint32_t frequencyMin = 950'000, frequencyMax = 2'150'000;
    std::uint32_t symbolRateMin = 1'000'000, symbolRateMax = 45'000'000;

    std::deque<unsigned> statusScript; // read first, one per status read
    unsigned steadyStatus = kLocked;
    std::optional<std::uint32_t> locksOnly; // when set: locked only on this system
    int pendingEvents = 1;

    bool statistics = true; // DVBv5 statistics answered at all
    std::uint8_t cnrScale = FE_SCALE_NOT_AVAILABLE;
    std::int64_t cnrValue = 0;
    std::uint8_t strengthScale = FE_SCALE_NOT_AVAILABLE;
    std::int64_t strengthValue = 0;
    std::optional<std::uint16_t> legacySnr, legacyStrength;

    std::uint32_t tunedSystem = SYS_UNDEFINED;
};

QString fecName(std::uint32_t fec)
{
    static const std::map<std::uint32_t, const char *> names = {
        {FEC_1_2, "1/2"},   {FEC_2_3, "2/3"},  {FEC_3_4, "3/4"}, {FEC_4_5, "4/5"},
        {FEC_5_6, "5/6"},   {FEC_7_8, "7/8"},  {FEC_8_9, "8/9"}, {FEC_3_5, "3/5"},
        {FEC_9_10, "9/10"}, {FEC_AUTO, "AUTO"}};
    auto it = names.find(fec);
    return it == names.end() ? QString::number(fec) : QString::fromLatin1(it->second);
}

QString systemName(std::uint32_t system)
{
    return system == SYS_DVBS    ? QStringLiteral("DVBS")
           : system == SYS_DVBS2 ? QStringLiteral("DVBS2")
                                 : QString::number(system);
}

QString modulationName(std::uint32_t modulation)
{
    return modulation == QPSK    ? QStringLiteral("QPSK")
           : modulation == PSK_8 ? QStringLiteral("8PSK")
                                 : QString::number(modulation);
}

QString propertyText(const dtv_property &p)
{
    const std::uint32_t v = p.u.data;
    switch (p.cmd) {
    case DTV_CLEAR:
        return QStringLiteral("CLEAR");
    case DTV_TUNE:
        return QStringLiteral("TUNE");
    case DTV_DELIVERY_SYSTEM:
        return "DELIVERY_SYSTEM=" + systemName(v);
    case DTV_FREQUENCY:
        return "FREQUENCY=" + QString::number(v);
    case DTV_SYMBOL_RATE:
        return "SYMBOL_RATE=" + QString::number(v);
    case DTV_INNER_FEC:
        return "INNER_FEC=" + fecName(v);
    case DTV_MODULATION:
        return "MODULATION=" + modulationName(v);
    case DTV_INVERSION:
        return v == INVERSION_AUTO ? QStringLiteral("INVERSION=AUTO")
                                   : "INVERSION=" + QString::number(v);
    case DTV_PILOT:
        return v == PILOT_AUTO ? QStringLiteral("PILOT=AUTO") : "PILOT=" + QString::number(v);
    case DTV_ROLLOFF:
        return v == ROLLOFF_35 ? QStringLiteral("ROLLOFF=35") : "ROLLOFF=" + QString::number(v);
    case DTV_ENUM_DELSYS:
        return QStringLiteral("ENUM_DELSYS");
    case DTV_STAT_CNR:
        return QStringLiteral("STAT_CNR");
    case DTV_STAT_SIGNAL_STRENGTH:
        return QStringLiteral("STAT_SIGNAL_STRENGTH");
    }
    return "CMD" + QString::number(p.cmd) + "=" + QString::number(v);
}

class FakeIo : public linuxdvb::Io
{
public:
    FakeFrontend &add(int adapter, int frontend)
    {
        const std::string dir = "/dev/dvb/adapter" + std::to_string(adapter);
        auto &root = dirs["/dev/dvb"];
        if (std::find(root.begin(), root.end(), "adapter" + std::to_string(adapter)) == root.end())
            root.push_back("adapter" + std::to_string(adapter));
        dirs[dir].push_back("frontend" + std::to_string(frontend));
        return frontends[dir + "/frontend" + std::to_string(frontend)];
    }
    FakeFrontend &only() { return frontends.begin()->second; }

    int openDevice(const std::string &path, int flags) override
    {
        openFlags = flags;
        auto it = frontends.find(path);
        const int error = it == frontends.end() ? ENOENT : it->second.openError;
        journal << QString::fromStdString("open " + path) + (error ? " failed" : "");
        if (error)
            return -error;
        current = &it->second;
        return 7;
    }
    void closeDevice(int fd) override
    {
        journal << QStringLiteral("close");
        QCOMPARE(fd, 7);
        current = nullptr;
    }
    int ioctl(int fd, unsigned long request, void *argument) override
    {
        if (fd != 7 || !current) {
            journal << QStringLiteral("ioctl on a closed frontend");
            return -EBADF;
        }
        FakeFrontend &fe = *current;
        const auto value = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(argument));
        switch (request) {
        case FE_GET_INFO: {
            journal << QStringLiteral("info");
            if (fe.infoFails)
                return -ENOTTY;
            auto *info = static_cast<dvb_frontend_info *>(argument);
            *info = {};
            std::strcpy(info->name, "Fake DVB-S/S2");
            info->type = fe.type;
            info->frequency_min = fe.frequencyMin;
            info->frequency_max = fe.frequencyMax;
            info->symbol_rate_min = fe.symbolRateMin;
            info->symbol_rate_max = fe.symbolRateMax;
            info->caps = static_cast<fe_caps>(fe.caps);
            return 0;
        }
        case FE_GET_PROPERTY:
            return getProperties(fe, *static_cast<dtv_properties *>(argument));
        case FE_SET_PROPERTY:
            return setProperties(fe, *static_cast<dtv_properties *>(argument));
        case FE_SET_TONE:
            journal << (value == SEC_TONE_ON ? QStringLiteral("tone on")
                                             : QStringLiteral("tone off"));
            return 0;
        case FE_SET_VOLTAGE:
            journal << (value == SEC_VOLTAGE_13   ? QStringLiteral("voltage 13")
                        : value == SEC_VOLTAGE_18 ? QStringLiteral("voltage 18")
                                                  : QStringLiteral("voltage off"));
            return 0;
        case FE_DISEQC_SEND_MASTER_CMD: {
            const auto *cmd = static_cast<dvb_diseqc_master_cmd *>(argument);
            QStringList bytes;
            for (int i = 0; i < cmd->msg_len; ++i)
                bytes << QStringLiteral("%1").arg(cmd->msg[i], 2, 16, QLatin1Char('0')).toUpper();
            journal << "diseqc " + bytes.join(' ');
            return 0;
        }
        case FE_GET_EVENT:
            if (fe.pendingEvents > 0) {
                --fe.pendingEvents;
                journal << QStringLiteral("event");
                return 0;
            }
            journal << QStringLiteral("no event");
            return -EWOULDBLOCK;
        case FE_READ_STATUS: {
            journal << QStringLiteral("status");
            unsigned status = fe.steadyStatus;
            if (!fe.statusScript.empty()) {
                status = fe.statusScript.front();
                fe.statusScript.pop_front();
            } else if (fe.locksOnly) {
                status = *fe.locksOnly == fe.tunedSystem ? kLocked : 0;
            }
            *static_cast<fe_status_t *>(argument) = static_cast<fe_status_t>(status);
            return 0;
        }
        case FE_READ_SNR:
        case FE_READ_SIGNAL_STRENGTH: {
            const bool snr = request == FE_READ_SNR;
            journal << (snr ? QStringLiteral("read snr") : QStringLiteral("read strength"));
            const auto &legacy = snr ? fe.legacySnr : fe.legacyStrength;
            if (!legacy)
                return -EOPNOTSUPP;
            *static_cast<std::uint16_t *>(argument) = *legacy;
            return 0;
        }
        }
        journal << "ioctl " + QString::number(request, 16);
        return -ENOTTY;
    }
    void sleepMs(int ms) override
    {
        journal << "sleep " + QString::number(ms);
        now += ms;
    }
    std::int64_t monotonicMs() override { return now; }
    std::vector<std::string> listDirectory(const std::string &path) override
    {
        auto it = dirs.find(path);
        return it == dirs.end() ? std::vector<std::string>{} : it->second;
    }
    void log(linuxdvb::LogLevel, const std::string &text) override
    {
        logs << QString::fromStdString(text);
    }

    // The journal with each lock wait (status reads and the sleeps between
    // them) folded into one line.
    QStringList folded() const
    {
        QStringList out;
        for (qsizetype i = 0; i < journal.size(); ++i) {
            if (journal[i] != QLatin1String("status")) {
                out << journal[i];
                continue;
            }
            int reads = 0, waited = 0;
            for (; i < journal.size(); ++i) {
                if (journal[i] == QLatin1String("status"))
                    ++reads;
                else if (journal[i].startsWith(QLatin1String("sleep ")))
                    waited += journal[i].mid(6).toInt();
                else
                    break;
            }
            --i;
            out << QStringLiteral("poll reads=%1 waited=%2").arg(reads).arg(waited);
        }
        return out;
    }

    std::map<std::string, std::vector<std::string>> dirs;
    std::map<std::string, FakeFrontend> frontends;
    FakeFrontend *current = nullptr;
    QStringList journal;
    QStringList logs;
    std::int64_t now = 1000;
    int openFlags = 0;

private:
    int getProperties(FakeFrontend &fe, dtv_properties &set)
    {
        QStringList names;
        for (std::uint32_t i = 0; i < set.num; ++i)
            names << propertyText(set.props[i]);
        journal << "get " + names.join(' ');
        for (std::uint32_t i = 0; i < set.num; ++i) {
            dtv_property &p = set.props[i];
            if (p.cmd == DTV_ENUM_DELSYS) {
                if (!fe.enumerateSystems)
                    return -EINVAL;
                p.u.buffer.len = static_cast<std::uint32_t>(fe.systems.size());
                for (std::size_t k = 0; k < fe.systems.size(); ++k)
                    p.u.buffer.data[k] = static_cast<std::uint8_t>(fe.systems[k]);
            } else if (p.cmd == DTV_STAT_CNR || p.cmd == DTV_STAT_SIGNAL_STRENGTH) {
                if (!fe.statistics)
                    return -EINVAL;
                const bool cnr = p.cmd == DTV_STAT_CNR;
                p.u.st.len = 1;
                p.u.st.stat[0].scale = cnr ? fe.cnrScale : fe.strengthScale;
                const std::int64_t v = cnr ? fe.cnrValue : fe.strengthValue;
                if (p.u.st.stat[0].scale == FE_SCALE_DECIBEL)
                    p.u.st.stat[0].svalue = v;
                else
                    p.u.st.stat[0].uvalue = static_cast<std::uint64_t>(v);
            } else {
                return -EINVAL;
            }
        }
        return 0;
    }
    int setProperties(FakeFrontend &fe, const dtv_properties &set)
    {
        QStringList names;
        std::uint32_t system = fe.tunedSystem;
        bool tune = false;
        for (std::uint32_t i = 0; i < set.num; ++i) {
            names << propertyText(set.props[i]);
            if (set.props[i].cmd == DTV_DELIVERY_SYSTEM)
                system = set.props[i].u.data;
            tune = tune || set.props[i].cmd == DTV_TUNE;
        }
        journal << "set " + names.join(' ');
        if (std::find(fe.systems.begin(), fe.systems.end(), system) == fe.systems.end() &&
            system != SYS_UNDEFINED)
            return -EINVAL;
        if (tune)
            fe.tunedSystem = system;
        return 0;
    }
};

// One DVB-S/S2 frontend at adapter0/frontend0, opened, journal cleared.
struct Opened
{
    Opened(const std::function<void(FakeFrontend &)> &setup = {})
    {
        FakeFrontend &fe = io.add(0, 0);
        if (setup)
            setup(fe);
        ok = receiver.init(nullptr);
        io.journal.clear();
    }
    FakeIo io;
    Receiver receiver{io};
    bool ok = false;
};

} // namespace

class TestLinuxDvb : public QObject
{
    Q_OBJECT
private slots:
    void codes_data();
    void codes();
    void switchByte_data();
    void switchByte();
    void tuneSequence_data();
    void tuneSequence();
    void switchResentOnlyOnChange();
    void fecAutoTriesLastLockedFirst();
    void outOfRange_data();
    void outOfRange();
    void lockWait_data();
    void lockWait();
    void query_data();
    void query();
    void discovery();
    void frontendChoice_data();
    void frontendChoice();
    void noFrontend_data();
    void noFrontend();
    void busyFrontend_data();
    void busyFrontend();
    void oldDriver_data();
    void oldDriver();
    void limitsInHertz();
    void release();
    void builtLibraryThroughProgramLoader();
};

void TestLinuxDvb::codes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("setting");
    const char *rows[][2] = {
        {"12", "DVBS QPSK 1/2"},
        {"23", "DVBS QPSK 2/3"},
        {"34", "DVBS QPSK 3/4"},
        {"56", "DVBS QPSK 5/6"},
        {"78", "DVBS QPSK 7/8"},
        {"101", "DVBS2 QPSK 1/2"},
        {"102", "DVBS2 QPSK 3/5"},
        {"103", "DVBS2 QPSK 2/3"},
        {"104", "DVBS2 QPSK 3/4"},
        {"105", "DVBS2 QPSK 4/5"},
        {"106", "DVBS2 QPSK 5/6"},
        {"107", "DVBS2 QPSK 8/9"},
        {"108", "DVBS2 QPSK 9/10"},
        {"109", "DVBS2 8PSK 3/5"},
        {"110", "DVBS2 8PSK 2/3"},
        {"111", "DVBS2 8PSK 3/4"},
        {"112", "DVBS2 8PSK 5/6"},
        {"113", "DVBS2 8PSK 8/9"},
        {"114", "DVBS2 8PSK 9/10"},
        {"0", "none"},
        {"45", "none"},
        {"100", "none"},
        {"115", "none"},
        {"255", "none"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QByteArray(row[0]).toInt() << QString::fromLatin1(row[1]);
}

void TestLinuxDvb::codes()
{
    QFETCH(int, code);
    QFETCH(QString, setting);
    const auto s = linuxdvb::settingForCode(static_cast<unsigned>(code));
    const QString text = s ? systemName(s->deliverySystem) + ' ' + modulationName(s->modulation) +
                                 ' ' + fecName(s->innerFec)
                           : QStringLiteral("none");
    QCOMPARE(text, setting);
    QCOMPARE(linuxdvb::isKnownCode(static_cast<unsigned>(code)), code == 0 || s.has_value());
}

void TestLinuxDvb::switchByte_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("highBand");
    QTest::addColumn<int>("data");
    QTest::newRow("A V low") << 1 << false << false << 0xF0;
    QTest::newRow("A V high") << 1 << false << true << 0xF1;
    QTest::newRow("A H low") << 1 << true << false << 0xF2;
    QTest::newRow("B V low") << 2 << false << false << 0xF4;
    QTest::newRow("C H high") << 3 << true << true << 0xFB;
    QTest::newRow("D H high") << 4 << true << true << 0xFF;
}

void TestLinuxDvb::switchByte()
{
    QFETCH(int, port);
    QFETCH(bool, horizontal);
    QFETCH(bool, highBand);
    QFETCH(int, data);
    QCOMPARE(int(linuxdvb::committedSwitchData(port, horizontal, highBand)), data);
}

void TestLinuxDvb::tuneSequence_data()
{
    QTest::addColumn<int>("symbolRate");
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("polarization");
    QTest::addColumn<int>("lof");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("journal");

    QTest::newRow("DVB-S 3/4 vertical low band")
        << 27500 << 11766 << 0 << 9750 << 0 << 34
        << QStringList{
               "set CLEAR DELIVERY_SYSTEM=DVBS",
               "voltage 13",
               "tone off",
               "event",
               "no event",
               "set DELIVERY_SYSTEM=DVBS FREQUENCY=2016000 SYMBOL_RATE=27500000 INNER_FEC=3/4 "
               "MODULATION=QPSK INVERSION=AUTO TUNE",
               "poll reads=1 waited=0"};
    QTest::newRow("DVB-S2 8PSK 2/3 horizontal high band Port C")
        << 22000 << 12188 << 1 << 10600 << 3 << 110
        << QStringList{
               "set CLEAR DELIVERY_SYSTEM=DVBS2",
               "tone off",
               "voltage 18",
               "sleep 15",
               "diseqc E0 10 38 FB",
               "sleep 100",
               "diseqc E1 10 38 FB",
               "sleep 15",
               "tone on",
               "event",
               "no event",
               "set DELIVERY_SYSTEM=DVBS2 FREQUENCY=1588000 SYMBOL_RATE=22000000 INNER_FEC=2/3 "
               "MODULATION=8PSK INVERSION=AUTO PILOT=AUTO ROLLOFF=35 TUNE",
               "poll reads=1 waited=0"};
    QTest::newRow("C band below the LOF")
        << 27500 << 3900 << 1 << 5150 << 0 << 34
        << QStringList{
               "set CLEAR DELIVERY_SYSTEM=DVBS",
               "voltage 18",
               "tone off",
               "event",
               "no event",
               "set DELIVERY_SYSTEM=DVBS FREQUENCY=1250000 SYMBOL_RATE=27500000 INNER_FEC=3/4 "
               "MODULATION=QPSK INVERSION=AUTO TUNE",
               "poll reads=1 waited=0"};
    QTest::newRow("DVB-S2 QPSK 9/10 circular LNB Port A")
        << 30000 << 12380 << 0 << 10750 << 1 << 108
        << QStringList{
               "set CLEAR DELIVERY_SYSTEM=DVBS2",
               "tone off",
               "voltage 13",
               "sleep 15",
               "diseqc E0 10 38 F0",
               "sleep 100",
               "diseqc E1 10 38 F0",
               "sleep 15",
               "tone off",
               "event",
               "no event",
               "set DELIVERY_SYSTEM=DVBS2 FREQUENCY=1630000 SYMBOL_RATE=30000000 INNER_FEC=9/10 "
               "MODULATION=QPSK INVERSION=AUTO PILOT=AUTO ROLLOFF=35 TUNE",
               "poll reads=1 waited=0"};
    QTest::newRow("FEC auto, nothing locked before")
        << 27500 << 10971 << 1 << 9750 << 0 << 0
        << QStringList{
               "set CLEAR DELIVERY_SYSTEM=DVBS",
               "voltage 18",
               "tone off",
               "event",
               "no event",
               "set DELIVERY_SYSTEM=DVBS FREQUENCY=1221000 SYMBOL_RATE=27500000 INNER_FEC=AUTO "
               "MODULATION=QPSK INVERSION=AUTO TUNE",
               "poll reads=1 waited=0"};
}

void TestLinuxDvb::tuneSequence()
{
    QFETCH(int, symbolRate);
    QFETCH(int, frequency);
    QFETCH(int, polarization);
    QFETCH(int, lof);
    QFETCH(int, port);
    QFETCH(int, code);
    QFETCH(QStringList, journal);
    Opened o;
    QVERIFY(o.ok);
    // As the program does: the port three times, then the code, then the tune.
    for (int i = 0; i < 3 && port; ++i)
        o.receiver.setDiseqcPort(port);
    QVERIFY(o.receiver.setFecCode(static_cast<unsigned>(code)));
    QVERIFY(o.io.journal.isEmpty()); // both only remembered
    QVERIFY(o.receiver.tune(symbolRate, frequency, polarization, lof));
    QCOMPARE(o.io.folded(), journal);
}

void TestLinuxDvb::switchResentOnlyOnChange()
{
    Opened o;
    auto commandsOf = [&o](int port, int polarization, int lof) {
        o.io.journal.clear();
        for (int i = 0; i < 3; ++i)
            o.receiver.setDiseqcPort(port);
        o.receiver.tune(27500, lof == 10600 ? 12000 : 11000, polarization, lof);
        return o.io.journal.filter(QStringLiteral("diseqc"));
    };
    QCOMPARE(commandsOf(2, 0, 9750), (QStringList{"diseqc E0 10 38 F4", "diseqc E1 10 38 F4"}));
    QCOMPARE(commandsOf(2, 0, 9750), QStringList{});
    QCOMPARE(commandsOf(2, 1, 9750), (QStringList{"diseqc E0 10 38 F6", "diseqc E1 10 38 F6"}));
    QCOMPARE(commandsOf(2, 1, 10600), (QStringList{"diseqc E0 10 38 F7", "diseqc E1 10 38 F7"}));
    QCOMPARE(commandsOf(4, 1, 10600), (QStringList{"diseqc E0 10 38 FF", "diseqc E1 10 38 FF"}));
    QCOMPARE(commandsOf(4, 1, 10600), QStringList{});
    // No port: no command, and the switch keeps its last one.
    QCOMPARE(commandsOf(0, 0, 9750), QStringList{});
    QCOMPARE(commandsOf(4, 1, 10600), QStringList{});
    // A new start-up forgets what the switch was told.
    o.receiver.release();
    o.receiver.init(nullptr);
    QCOMPARE(commandsOf(4, 1, 10600), (QStringList{"diseqc E0 10 38 FF", "diseqc E1 10 38 FF"}));
}

void TestLinuxDvb::fecAutoTriesLastLockedFirst()
{
    Opened o([](FakeFrontend &fe) {
        fe.locksOnly = SYS_DVBS2;
        fe.pendingEvents = 0;
    });
    o.receiver.setFecCode(0);
    QVERIFY(o.receiver.tune(27500, 11766, 0, 9750));
    // 27.5 MS/s waits 518 ms for lock on DVB-S before DVB-S2 gets its turn.
    QCOMPARE(
        o.io.folded(),
        (QStringList{"set CLEAR DELIVERY_SYSTEM=DVBS", "voltage 13", "tone off", "no event",
                     "set DELIVERY_SYSTEM=DVBS FREQUENCY=2016000 SYMBOL_RATE=27500000 "
                     "INNER_FEC=AUTO MODULATION=QPSK INVERSION=AUTO TUNE",
                     "poll reads=12 waited=518", "set CLEAR DELIVERY_SYSTEM=DVBS2", "voltage 13",
                     "tone off", "no event",
                     "set DELIVERY_SYSTEM=DVBS2 FREQUENCY=2016000 SYMBOL_RATE=27500000 "
                     "INNER_FEC=AUTO MODULATION=QPSK INVERSION=AUTO PILOT=AUTO ROLLOFF=35 TUNE",
                     "poll reads=1 waited=0"}));
    o.io.journal.clear();
    QVERIFY(o.receiver.tune(27500, 11804, 0, 9750));
    const QStringList tunes = o.io.journal.filter(QStringLiteral("TUNE"));
    QCOMPARE(tunes.size(), 1);
    QVERIFY(tunes[0].startsWith(QLatin1String("set DELIVERY_SYSTEM=DVBS2 FREQUENCY=2054000")));

    // An explicit DVB-S code on the same receiver stays DVB-S.
    o.io.journal.clear();
    o.receiver.setFecCode(78);
    o.receiver.tune(27500, 11804, 0, 9750);
    QCOMPARE(o.io.journal.filter(QStringLiteral("TUNE")).size(), 1);
    QVERIFY(
        o.io.journal.filter(QStringLiteral("TUNE"))[0].contains(QLatin1String("DVBS FREQUENCY")));
}

void TestLinuxDvb::outOfRange_data()
{
    QTest::addColumn<int>("symbolRate");
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("lof");
    QTest::newRow("IF above the band") << 27500 << 12000 << 9750;       // 2250 MHz
    QTest::newRow("IF below the band") << 27500 << 10700 << 10600;      // 100 MHz
    QTest::newRow("C band far below the LOF") << 27500 << 3000 << 5150; // 2150 MHz
    QTest::newRow("huge frequency") << 27500 << 2147483647 << 9750;
    QTest::newRow("negative frequency") << 27500 << -2147483647 - 1 << 9750;
    QTest::newRow("symbol rate 0") << 0 << 11766 << 9750;
    QTest::newRow("symbol rate above the frontend's") << 50000 << 11766 << 9750;
    QTest::newRow("symbol rate below the frontend's") << 999 << 11766 << 9750;
}

void TestLinuxDvb::outOfRange()
{
    QFETCH(int, symbolRate);
    QFETCH(int, frequency);
    QFETCH(int, lof);
    Opened o([](FakeFrontend &fe) {
        fe.frequencyMax = 2'149'000;
        fe.cnrScale = FE_SCALE_DECIBEL;
        fe.cnrValue = 12000;
        fe.strengthScale = FE_SCALE_DECIBEL;
        fe.strengthValue = -40000;
    });
    // A good tune first: the frontend stays locked on it.
    QVERIFY(o.receiver.tune(27500, 11766, 0, 9750));
    int q = -1, l = -1;
    o.receiver.query(q, l);
    QCOMPARE(q, 60);
    o.io.journal.clear();

    QVERIFY(!o.receiver.tune(symbolRate, frequency, 0, lof));
    QCOMPARE(o.io.journal, QStringList{}); // nothing sent at all
    o.receiver.query(q, l);
    QCOMPARE(q, 0); // not the previous transponder's figures
    QCOMPARE(l, 0);
}

void TestLinuxDvb::lockWait_data()
{
    QTest::addColumn<int>("symbolRate");
    QTest::addColumn<QList<int>>("statuses"); // empty: never locks
    QTest::addColumn<QString>("poll");
    QTest::newRow("locks after 3 polls")
        << 27500 << QList<int>{0, FE_HAS_SIGNAL | FE_HAS_CARRIER, int(kLocked)}
        << "poll reads=3 waited=100";
    QTest::newRow("never locks, 27.5 MS/s") << 27500 << QList<int>{} << "poll reads=12 waited=518";
    QTest::newRow("never locks, 20 MS/s") << 20000 << QList<int>{} << "poll reads=13 waited=600";
    QTest::newRow("never locks, 2 MS/s") << 2000 << QList<int>{} << "poll reads=67 waited=3300";
    QTest::newRow("never locks, 1 MS/s capped")
        << 1000 << QList<int>{} << "poll reads=101 waited=5000";
}

void TestLinuxDvb::lockWait()
{
    QFETCH(int, symbolRate);
    QFETCH(QList<int>, statuses);
    QFETCH(QString, poll);
    Opened o([&statuses](FakeFrontend &fe) {
        fe.steadyStatus = FE_HAS_SIGNAL;
        fe.symbolRateMin = 0;
        for (int s : statuses)
            fe.statusScript.push_back(unsigned(s));
    });
    const std::int64_t before = o.io.now;
    o.receiver.setFecCode(34);
    o.receiver.tune(symbolRate, 11766, 0, 9750);
    const QStringList polls = o.io.folded().filter(QStringLiteral("poll"));
    QCOMPARE(polls, QStringList{poll});
    // Every poll sleep is 50 ms but the last, which stops exactly at the bound.
    const QStringList sleeps = o.io.journal.filter(QStringLiteral("sleep"));
    for (qsizetype i = 0; i + 1 < sleeps.size(); ++i)
        QCOMPARE(sleeps[i], QStringLiteral("sleep 50"));
    QCOMPARE(o.io.now - before, std::int64_t(poll.section('=', 2).toInt()));
}

void TestLinuxDvb::query_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("statistics");
    QTest::addColumn<int>("cnrScale");
    QTest::addColumn<qint64>("cnr");
    QTest::addColumn<int>("strengthScale");
    QTest::addColumn<qint64>("strength");
    QTest::addColumn<int>("legacySnr");      // -1: not supported
    QTest::addColumn<int>("legacyStrength"); // -1: not supported
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("level");
    const int L = int(kLocked), C = FE_HAS_SIGNAL | FE_HAS_CARRIER, S = FE_HAS_SIGNAL;
    const int dB = FE_SCALE_DECIBEL, rel = FE_SCALE_RELATIVE, na = FE_SCALE_NOT_AVAILABLE;
    QTest::newRow("dB locked") << L << true << dB << 12500LL << dB << -38400LL << -1 << -1 << 62
                               << 61;
    QTest::newRow("dB 20 dB reads 100")
        << L << true << dB << 20000LL << dB << -25000LL << -1 << -1 << 100 << 75;
    QTest::newRow("dB above 20 dB capped")
        << L << true << dB << 31000LL << dB << 3000LL << -1 << -1 << 100 << 100;
    QTest::newRow("dB weak but locked reads 1")
        << L << true << dB << 150LL << dB << -104000LL << -1 << -1 << 1 << 0;
    QTest::newRow("dB negative CNR locked")
        << L << true << dB << -2000LL << dB << -99999LL << -1 << -1 << 1 << 0;
    QTest::newRow("dB carrier without lock")
        << C << true << dB << 4000LL << dB << -55000LL << -1 << -1 << 20 << 45;
    QTest::newRow("dB no carrier: level only")
        << S << true << dB << 8000LL << dB << -62500LL << -1 << -1 << 0 << 37;
    QTest::newRow("dB nothing at all")
        << 0 << true << dB << 9000LL << dB << -71000LL << -1 << -1 << 0 << 29;
    QTest::newRow("relative locked")
        << L << true << rel << 32768LL << rel << 65535LL << -1 << -1 << 50 << 100;
    QTest::newRow("relative without lock")
        << S << true << rel << 40000LL << rel << 13107LL << -1 << -1 << 0 << 20;
    QTest::newRow("relative zero but locked")
        << L << true << rel << 0LL << rel << 0LL << -1 << -1 << 1 << 0;
    QTest::newRow("legacy: no DVBv5 statistics")
        << L << false << na << 0LL << na << 0LL << 0xC000 << 0x8000 << 75 << 50;
    QTest::newRow("legacy: statistics not available")
        << C << true << na << 0LL << na << 0LL << 6554 << 3277 << 10 << 5;
    QTest::newRow("legacy without carrier")
        << S << false << na << 0LL << na << 0LL << 0xFFFF << 0x4000 << 0 << 25;
    QTest::newRow("mixed: dB strength, legacy SNR")
        << L << true << na << 0LL << dB << -50000LL << 0x2000 << -1 << 12 << 50;
    QTest::newRow("no statistics, locked")
        << L << false << na << 0LL << na << 0LL << -1 << -1 << 1 << 0;
    QTest::newRow("no statistics, carrier")
        << C << false << na << 0LL << na << 0LL << -1 << -1 << 0 << 0;
}

void TestLinuxDvb::query()
{
    QFETCH(int, status);
    QFETCH(bool, statistics);
    QFETCH(int, cnrScale);
    QFETCH(qint64, cnr);
    QFETCH(int, strengthScale);
    QFETCH(qint64, strength);
    QFETCH(int, legacySnr);
    QFETCH(int, legacyStrength);
    QFETCH(int, quality);
    QFETCH(int, level);
    Opened o([&](FakeFrontend &fe) {
        fe.steadyStatus = unsigned(status);
        fe.statistics = statistics;
        fe.cnrScale = std::uint8_t(cnrScale);
        fe.cnrValue = cnr;
        fe.strengthScale = std::uint8_t(strengthScale);
        fe.strengthValue = strength;
        if (legacySnr >= 0)
            fe.legacySnr = std::uint16_t(legacySnr);
        if (legacyStrength >= 0)
            fe.legacyStrength = std::uint16_t(legacyStrength);
    });
    o.receiver.tune(27500, 11766, 0, 9750);
    int q = -1, l = -1;
    o.receiver.query(q, l);
    QCOMPARE(q, quality);
    QCOMPARE(l, level);
}

void TestLinuxDvb::discovery()
{
    FakeIo io;
    io.add(1, 1);
    io.add(1, 0).systems = {SYS_DVBT, SYS_DVBT2, SYS_DVBC_ANNEX_A};
    io.add(10, 0);
    io.add(2, 0);
    io.dirs["/dev/dvb"].push_back("adapterX");
    io.dirs["/dev/dvb/adapter1"].push_back("demux0");
    io.dirs["/dev/dvb/adapter1"].push_back("dvr0");
    Receiver receiver(io);
    QVERIFY(receiver.init(nullptr));
    QCOMPARE(receiver.devicePath(), std::string("/dev/dvb/adapter1/frontend1"));
    QCOMPARE(io.openFlags, O_RDWR | O_NONBLOCK);
    QCOMPARE(io.journal, (QStringList{"open /dev/dvb/adapter1/frontend0", "info", "get ENUM_DELSYS",
                                      "close", "open /dev/dvb/adapter1/frontend1", "info",
                                      "get ENUM_DELSYS", "tone off"}));
    QVERIFY(io.logs.last().startsWith(QLatin1String("using /dev/dvb/adapter1/frontend1")));

    // adapter2 comes before adapter10.
    io.frontends["/dev/dvb/adapter1/frontend1"].openError = EBUSY;
    io.journal.clear();
    receiver.release();
    QVERIFY(receiver.init(nullptr));
    QCOMPARE(receiver.devicePath(), std::string("/dev/dvb/adapter2/frontend0"));
}

void TestLinuxDvb::frontendChoice_data()
{
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("opened"); // empty: no receiver
    QTest::addColumn<QStringList>("opens");
    QTest::newRow("second adapter")
        << "1,0"
        << "/dev/dvb/adapter1/frontend0" << QStringList{"open /dev/dvb/adapter1/frontend0"};
    QTest::newRow("blanks allowed")
        << " 0 , 1 "
        << "/dev/dvb/adapter0/frontend1" << QStringList{"open /dev/dvb/adapter0/frontend1"};
    QTest::newRow("missing: no fallback")
        << "3,0"
        << "" << QStringList{"open /dev/dvb/adapter3/frontend0 failed"};
    QTest::newRow("not a satellite frontend")
        << "0,2"
        << "" << QStringList{"open /dev/dvb/adapter0/frontend2"};
    QTest::newRow("malformed") << "1"
                               << "" << QStringList{};
    QTest::newRow("letters") << "a,b"
                             << "" << QStringList{};
    QTest::newRow("trailing text") << "1,0x"
                                   << "" << QStringList{};
    QTest::newRow("negative") << "-1,0"
                              << "" << QStringList{};
}

void TestLinuxDvb::frontendChoice()
{
    QFETCH(QString, choice);
    QFETCH(QString, opened);
    QFETCH(QStringList, opens);
    FakeIo io;
    io.add(0, 0);
    io.add(0, 1);
    io.add(0, 2).systems = {SYS_DVBT};
    io.add(1, 0);
    Receiver receiver(io);
    QCOMPARE(receiver.init(choice.toLatin1().constData()), !opened.isEmpty());
    QCOMPARE(QString::fromStdString(receiver.devicePath()), opened);
    QCOMPARE(io.journal.filter(QStringLiteral("open")), opens);
}

void TestLinuxDvb::noFrontend_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("no adapters") << "none";
    QTest::newRow("terrestrial only") << "terrestrial";
    QTest::newRow("old cable driver") << "cable";
    QTest::newRow("listed but gone") << "gone";
    QTest::newRow("info fails") << "noinfo";
}

void TestLinuxDvb::noFrontend()
{
    QFETCH(QString, kind);
    FakeIo io;
    if (kind == QLatin1String("terrestrial")) {
        io.add(0, 0).systems = {SYS_DVBT, SYS_DVBT2};
    } else if (kind == QLatin1String("cable")) {
        FakeFrontend &fe = io.add(0, 0);
        fe.enumerateSystems = false;
        fe.type = FE_QAM;
    } else if (kind == QLatin1String("noinfo")) {
        io.add(0, 0).infoFails = true;
    } else if (kind == QLatin1String("gone")) {
        io.add(0, 0);
        io.dirs["/dev/dvb/adapter0"] = {"frontend0"};
        io.frontends.clear(); // listed, but opening reports ENOENT
    }
    Receiver receiver(io);
    QVERIFY(!receiver.init(nullptr));
    QVERIFY(!receiver.isOpen());
    QVERIFY(io.logs.last().contains(QLatin1String("no DVB-S/S2 frontend")));
    const QStringList afterInit = io.journal;
    QCOMPARE(afterInit.filter(QStringLiteral("open")).size(),
             afterInit.filter(QStringLiteral("close")).size() +
                 afterInit.filter(QStringLiteral("failed")).size());
    for (int i = 0; i < 3; ++i)
        receiver.setDiseqcPort(2);
    QVERIFY(!receiver.setFecCode(34));
    QVERIFY(!receiver.tune(27500, 11766, 0, 9750));
    int q = -1, l = -1;
    receiver.query(q, l);
    QCOMPARE(q, 0);
    QCOMPARE(l, 0);
    receiver.release();
    QCOMPARE(io.journal, afterInit); // nothing touched any device
}

void TestLinuxDvb::busyFrontend_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("hint");
    QTest::newRow("busy") << EBUSY << "another program";
    QTest::newRow("no permission") << EACCES << "video group";
}

void TestLinuxDvb::busyFrontend()
{
    QFETCH(int, error);
    QFETCH(QString, hint);
    FakeIo io;
    io.add(0, 0).openError = error;
    Receiver receiver(io);
    QVERIFY(!receiver.init(nullptr));
    QVERIFY(io.logs.join('\n').contains(hint));
    QCOMPARE(io.journal, QStringList{"open /dev/dvb/adapter0/frontend0 failed"});
    QVERIFY(!receiver.tune(27500, 11766, 0, 9750));
    int q = -1, l = -1;
    receiver.query(q, l);
    QCOMPARE(q, 0);
    QCOMPARE(l, 0);
    // A second receiver that is free is taken instead.
    io.add(1, 0);
    QVERIFY(receiver.init(nullptr));
    QCOMPARE(receiver.devicePath(), std::string("/dev/dvb/adapter1/frontend0"));
}

void TestLinuxDvb::oldDriver_data()
{
    QTest::addColumn<bool>("secondGeneration");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("tuned"); // delivery system of the tune, empty: none
    QTest::newRow("DVB-S2 capable, S2 code") << true << 110 << "DVBS2";
    QTest::newRow("DVB-S2 capable, S code") << true << 34 << "DVBS";
    QTest::newRow("DVB-S only, S code") << false << 34 << "DVBS";
    QTest::newRow("DVB-S only, S2 code") << false << 110 << "";
    QTest::newRow("DVB-S only, FEC auto") << false << 0 << "DVBS";
}

void TestLinuxDvb::oldDriver()
{
    QFETCH(bool, secondGeneration);
    QFETCH(int, code);
    QFETCH(QString, tuned);
    Opened o([secondGeneration](FakeFrontend &fe) {
        fe.enumerateSystems = false;
        fe.caps = FE_CAN_QPSK | (secondGeneration ? FE_CAN_2G_MODULATION : 0);
        fe.systems = secondGeneration ? std::vector<std::uint32_t>{SYS_DVBS, SYS_DVBS2}
                                      : std::vector<std::uint32_t>{SYS_DVBS};
        fe.steadyStatus = 0;
        fe.cnrScale = FE_SCALE_DECIBEL;
        fe.cnrValue = 10000;
    });
    QVERIFY(o.ok);
    o.receiver.setFecCode(unsigned(code));
    QCOMPARE(o.receiver.tune(27500, 11766, 0, 9750), !tuned.isEmpty());
    const QStringList tunes = o.io.journal.filter(QStringLiteral("TUNE"));
    if (tuned.isEmpty()) {
        QCOMPARE(o.io.journal, QStringList{});
    } else {
        QCOMPARE(tunes.size(), 1);
        QVERIFY2(tunes[0].startsWith("set DELIVERY_SYSTEM=" + tuned + " "), qPrintable(tunes[0]));
    }
}

void TestLinuxDvb::limitsInHertz()
{
    // A frontend that also does cable may report its limits in Hz.
    Opened o([](FakeFrontend &fe) {
        fe.frequencyMin = 950'000'000;
        fe.frequencyMax = 2'150'000'000;
    });
    QVERIFY(o.receiver.tune(27500, 11766, 0, 9750));
    QVERIFY(!o.receiver.tune(27500, 12000, 0, 9750));
    // No limits reported at all: the usual 950..2150 MHz.
    Opened none([](FakeFrontend &fe) { fe.frequencyMin = fe.frequencyMax = 0; });
    QVERIFY(none.receiver.tune(27500, 10700, 0, 9750));
    QVERIFY(!none.receiver.tune(27500, 10690, 0, 9750));
    QVERIFY(none.receiver.tune(27500, 11900, 0, 9750));
    QVERIFY(!none.receiver.tune(27500, 11901, 0, 9750));
}

void TestLinuxDvb::release()
{
    Opened o;
    o.receiver.setDiseqcPort(1);
    o.receiver.tune(27500, 12188, 1, 10600);
    o.io.journal.clear();
    o.receiver.release();
    QCOMPARE(o.io.journal, (QStringList{"tone off", "voltage off", "close"}));
    QVERIFY(!o.receiver.isOpen());
    o.receiver.release();
    int q = -1, l = -1;
    o.receiver.query(q, l);
    QCOMPARE(q, 0);
    QCOMPARE(l, 0);
    QCOMPARE(o.io.journal.size(), 3);

    // A second start-up while open frees the frontend first.
    QVERIFY(o.receiver.init(nullptr));
    o.io.journal.clear();
    QVERIFY(o.receiver.init(nullptr));
    QCOMPARE(o.io.journal.mid(0, 4),
             (QStringList{"tone off", "voltage off", "close", "open /dev/dvb/adapter0/frontend0"}));
}

void TestLinuxDvb::builtLibraryThroughProgramLoader()
{
    // The real library with a frontend that cannot exist, so that no
    // receiver of the machine running the tests is touched.
    const QByteArray previous = qgetenv("ORVANTA_DVB_FRONTEND");
    qputenv("ORVANTA_DVB_FRONTEND", "250,250");
    const QString dir = QStringLiteral(ORVANTA_BINARY_DIR "/linuxdvb");
    platform::setLibrarySearchDirs({dir});
    platform::LibraryHandle library = platform::loadLibrary(QStringLiteral("DWUSBAPI.dll"));
    platform::setLibrarySearchDirs({});
    QVERIFY2(library, qPrintable(dir));

    using Init = int (*)();
    using Release = void (*)();
    using Port = int (*)(int);
    using Rate = int (*)(unsigned char);
    using Tune = int (*)(int, int *, int, int);
    using Query = int (*)(int *, int *, int *);
    auto init = reinterpret_cast<Init>(platform::findExport(library, "?DW_InitDevCtl@@YGHXZ"));
    auto release =
        reinterpret_cast<Release>(platform::findExport(library, "?DW_ReleaseDevCtl@@YGXXZ"));
    auto port =
        reinterpret_cast<Port>(platform::findExport(library, "?DW_SetDiSEqCSwitchPort@@YGHH@Z"));
    auto rate = reinterpret_cast<Rate>(platform::findExport(library, "?DW_SetSatPatRate@@YGHE@Z"));
    auto tune =
        reinterpret_cast<Tune>(platform::findExport(library, "?DW_TuneSatChannel@@YGHJPAJHH@Z"));
    auto query =
        reinterpret_cast<Query>(platform::findExport(library, "?DW_QuerySignal@@YGHPAH00@Z"));
    QVERIFY(init && release && port && rate && tune && query);
    // The logic stays inside: nothing of the receiver's own is exported.
    QVERIFY(!platform::findExport(library, "_ZN8linuxdvb8Receiver4initEPKc"));

    QCOMPARE(init(), 0);
    port(3);
    rate(110);
    int frequency = 11766;
    QCOMPARE(tune(27500, &frequency, 0, 9750), 0);
    int q = -1, l = -1, third = -1;
    query(&q, &l, &third);
    QCOMPARE(q, 0);
    QCOMPARE(l, 0);
    release();

    // And the program starts and closes with it without a message.
    {
        testing_support::FixtureOptions options;
        options.libraryDir = dir;
        testing_support::ProgramFixture f(options);
        QVERIFY(DeviceLibrary != nullptr);
        Form1->close();
        QCOMPARE(f.dialogs.messages, QStringList{});
    }
    if (previous.isNull())
        qunsetenv("ORVANTA_DVB_FRONTEND");
    else
        qputenv("ORVANTA_DVB_FRONTEND", previous);
}

ORVANTA_TEST(TestLinuxDvb)
#include "test_linuxdvb.moc"
