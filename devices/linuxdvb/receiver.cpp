#include "devices/linuxdvb/receiver.h"

#include <linux/dvb/frontend.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>

namespace linuxdvb {
namespace {
const std::string kDvbRoot = "/dev/dvb";

std::string frontendPath(int adapter, int frontend)
{
    return kDvbRoot + "/adapter" + std::to_string(adapter) + "/frontend" + std::to_string(frontend);
}

// "adapter12" -> 12; anything else -> nothing.
std::optional<int> numberAfter(const std::string &name, const std::string &prefix)
{
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    int value = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || value > 100'000)
            return std::nullopt;
        value = value * 10 + (name[i] - '0');
    }
    return value;
}

std::vector<int> numberedEntries(Io &io, const std::string &dir, const std::string &prefix)
{
    std::vector<int> numbers;
    for (const std::string &name : io.listDirectory(dir)) {
        if (auto n = numberAfter(name, prefix))
            numbers.push_back(*n);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// "1,0" or " 1 , 0 " -> {1, 0}.
std::optional<std::pair<int, int>> parseChoice(const char *text)
{
    auto number = [](const char *&p) -> std::optional<int> {
        while (*p == ' ')
            ++p;
        if (*p < '0' || *p > '9')
            return std::nullopt;
        char *end = nullptr;
        errno = 0;
        const long v = std::strtol(p, &end, 10);
        if (errno != 0 || v > 100'000)
            return std::nullopt;
        p = end;
        while (*p == ' ')
            ++p;
        return static_cast<int>(v);
    };
    const char *p = text;
    const auto adapter = number(p);
    if (!adapter || *p != ',')
        return std::nullopt;
    ++p;
    const auto frontend = number(p);
    if (!frontend || *p != '\0')
        return std::nullopt;
    return std::make_pair(*adapter, *frontend);
}

std::string describeOpenError(int error)
{
    std::string text = std::strerror(error);
    if (error == EBUSY)
        text += " (another program is using the receiver)";
    else if (error == EACCES || error == EPERM)
        text += " (the user needs access to the device node, usually the video group)";
    return text;
}

void *valueArgument(unsigned value)
{
    return reinterpret_cast<void *>(static_cast<std::uintptr_t>(value));
}

const char *systemName(std::uint32_t system)
{
    return system == SYS_DVBS2 ? "DVB-S2" : system == SYS_DVBS ? "DVB-S" : "other";
}
} // namespace

Receiver::Receiver(Io &io) : m_io(io)
{}

Receiver::~Receiver()
{
    if (m_fd >= 0)
        m_io.closeDevice(m_fd);
}

bool Receiver::init(const char *choice)
{
    release();
    std::vector<Candidate> candidates;
    if (choice && *choice) {
        const auto chosen = parseChoice(choice);
        if (!chosen) {
            m_io.log(LogLevel::Info, std::string("ORVANTA_DVB_FRONTEND=\"") + choice +
                                         "\" is not \"adapter,frontend\"; no receiver in use");
            return false;
        }
        candidates.push_back({chosen->first, chosen->second});
    } else {
        candidates = discover();
    }
    for (const Candidate &candidate : candidates) {
        if (openFrontend(candidate))
            return true;
    }
    m_io.log(LogLevel::Info, "no DVB-S/S2 frontend available; the receiver reads 0/0");
    return false;
}

std::vector<Receiver::Candidate> Receiver::discover()
{
    std::vector<Candidate> candidates;
    for (int adapter : numberedEntries(m_io, kDvbRoot, "adapter")) {
        const std::string dir = kDvbRoot + "/adapter" + std::to_string(adapter);
        for (int frontend : numberedEntries(m_io, dir, "frontend"))
            candidates.push_back({adapter, frontend});
    }
    return candidates;
}

bool Receiver::openFrontend(const Candidate &candidate)
{
    const std::string path = frontendPath(candidate.adapter, candidate.frontend);
    const int fd = m_io.openDevice(path, O_RDWR | O_NONBLOCK);
    if (fd < 0) {
        m_io.log(LogLevel::Info, path + ": " + describeOpenError(-fd));
        return false;
    }
    dvb_frontend_info info{};
    if (const int rc = m_io.ioctl(fd, FE_GET_INFO, &info); rc < 0) {
        m_io.log(LogLevel::Info, path + ": FE_GET_INFO failed: " + std::strerror(-rc));
        m_io.closeDevice(fd);
        return false;
    }
    const std::string name(info.name, strnlen(info.name, sizeof info.name));
    std::vector<std::uint32_t> systems = enumerateSystems(fd);
    if (systems.empty() && info.type == FE_QPSK) {
        // Drivers older than the delivery-system list describe themselves only
        // through the type and the second-generation capability.
        systems.push_back(SYS_DVBS);
        if (info.caps & FE_CAN_2G_MODULATION)
            systems.push_back(SYS_DVBS2);
    }
    const bool satellite = std::any_of(systems.begin(), systems.end(), [](std::uint32_t s) {
        return s == SYS_DVBS || s == SYS_DVBS2;
    });
    if (!satellite) {
        m_io.log(LogLevel::Info, path + " (" + name + ") is not a satellite frontend");
        m_io.closeDevice(fd);
        return false;
    }

    m_fd = fd;
    m_path = path;
    m_systems = std::move(systems);
    // Satellite limits come in kHz, but a frontend that also does cable or
    // terrestrial may report its current system's Hz; no satellite IF comes
    // near 100 GHz, so values that large are Hz.
    std::uint32_t minimum = info.frequency_min, maximum = info.frequency_max;
    if (maximum > 100'000'000) {
        minimum /= 1000;
        maximum /= 1000;
    }
    if (maximum > 0 && maximum >= minimum) {
        m_ifMinKHz = minimum;
        m_ifMaxKHz = maximum;
    } else {
        m_ifMinKHz = kDefaultIfMinKHz;
        m_ifMaxKHz = kDefaultIfMaxKHz;
    }
    m_symbolRateMin = info.symbol_rate_min;
    m_symbolRateMax = info.symbol_rate_max;
    m_port = 0;
    m_fecCode = 0;
    m_tuned = false;
    m_switchSent.reset();
    setTone(false);
    std::string list;
    for (std::uint32_t s : m_systems) {
        if (s == SYS_DVBS || s == SYS_DVBS2)
            list += std::string(list.empty() ? "" : ", ") + systemName(s);
    }
    m_io.log(LogLevel::Info, "using " + path + " (" + name + "; " + list + "; IF " +
                                 std::to_string(m_ifMinKHz) + ".." + std::to_string(m_ifMaxKHz) +
                                 " kHz)");
    return true;
}

std::vector<std::uint32_t> Receiver::enumerateSystems(int fd)
{
    dtv_property property{};
    property.cmd = DTV_ENUM_DELSYS;
    dtv_properties properties{1, &property};
    std::vector<std::uint32_t> systems;
    if (m_io.ioctl(fd, FE_GET_PROPERTY, &properties) < 0)
        return systems;
    const std::uint32_t count = std::min<std::uint32_t>(property.u.buffer.len, 32);
    for (std::uint32_t i = 0; i < count; ++i)
        systems.push_back(property.u.buffer.data[i]);
    return systems;
}

bool Receiver::supports(std::uint32_t deliverySystem) const
{
    return std::find(m_systems.begin(), m_systems.end(), deliverySystem) != m_systems.end();
}

void Receiver::release()
{
    if (m_fd < 0)
        return;
    setTone(false);
    setVoltage(SEC_VOLTAGE_OFF);
    closeFrontend();
}

void Receiver::closeFrontend()
{
    m_io.closeDevice(m_fd);
    m_fd = -1;
    m_path.clear();
    m_systems.clear();
    m_tuned = false;
    m_switchSent.reset();
}

bool Receiver::setDiseqcPort(int port)
{
    const bool valid = port >= 1 && port <= 4;
    m_port = valid ? port : 0;
    return valid && isOpen();
}

bool Receiver::setFecCode(unsigned code)
{
    if (!isKnownCode(code)) {
        m_io.log(LogLevel::Debug, "unknown FEC code " + std::to_string(code) + ", using FEC auto");
        m_fecCode = 0;
        return false;
    }
    m_fecCode = code;
    return isOpen();
}

std::vector<TuneSetting> Receiver::attemptsForCode() const
{
    std::vector<TuneSetting> attempts;
    if (auto setting = settingForCode(m_fecCode)) {
        if (supports(setting->deliverySystem))
            attempts.push_back(*setting);
        return attempts;
    }
    std::vector<std::uint32_t> order;
    if (m_lastLockedSystem)
        order.push_back(*m_lastLockedSystem);
    for (std::uint32_t s : {std::uint32_t(SYS_DVBS), std::uint32_t(SYS_DVBS2)}) {
        if (std::find(order.begin(), order.end(), s) == order.end())
            order.push_back(s);
    }
    for (std::uint32_t s : order) {
        if (supports(s))
            attempts.push_back(autoSettingFor(s));
    }
    return attempts;
}

bool Receiver::tune(int symbolRateKs, int frequencyMHz, int polarization, int lofMHz)
{
    m_tuned = false;
    if (!isOpen())
        return false;
    const std::int64_t ifKHz =
        std::abs(static_cast<std::int64_t>(frequencyMHz) - static_cast<std::int64_t>(lofMHz)) *
        1000;
    if (ifKHz < m_ifMinKHz || ifKHz > m_ifMaxKHz) {
        m_io.log(LogLevel::Debug, "IF " + std::to_string(ifKHz) + " kHz (" +
                                      std::to_string(frequencyMHz) + " MHz, LOF " +
                                      std::to_string(lofMHz) + ") outside the frontend's range");
        return false;
    }
    const std::int64_t symbolRate = static_cast<std::int64_t>(symbolRateKs) * 1000;
    const bool rateKnown = m_symbolRateMax > 0;
    if (symbolRate <= 0 ||
        (rateKnown && (symbolRate < m_symbolRateMin || symbolRate > m_symbolRateMax))) {
        m_io.log(LogLevel::Debug, "symbol rate " + std::to_string(symbolRateKs) +
                                      " kS/s outside the frontend's range");
        return false;
    }
    const std::vector<TuneSetting> attempts = attemptsForCode();
    if (attempts.empty()) {
        m_io.log(LogLevel::Debug, "FEC code " + std::to_string(m_fecCode) +
                                      " needs a delivery system this frontend lacks");
        return false;
    }
    const bool horizontal = polarization == 1;
    // The 22 kHz tone selects a universal LNB's high band, the one with LOF 10600.
    const bool highBand = lofMHz == 10600;
    bool issued = false;
    for (const TuneSetting &setting : attempts) {
        if (!tuneOnce(setting, static_cast<std::uint32_t>(ifKHz),
                      static_cast<std::uint32_t>(symbolRate), horizontal, highBand))
            continue;
        issued = true;
        const bool locked = waitForLock(lockWaitMs(symbolRateKs));
        m_io.log(LogLevel::Debug, std::string(systemName(setting.deliverySystem)) + " IF " +
                                      std::to_string(ifKHz) + " kHz SR " +
                                      std::to_string(symbolRateKs) +
                                      " kS/s: " + (locked ? "locked" : "no lock"));
        if (locked) {
            m_lastLockedSystem = setting.deliverySystem;
            break;
        }
    }
    m_tuned = issued;
    return issued;
}

bool Receiver::tuneOnce(const TuneSetting &setting, std::uint32_t ifKHz, std::uint32_t symbolRate,
                        bool horizontal, bool highBand)
{
    if (!setProperties({{DTV_CLEAR, 0}, {DTV_DELIVERY_SYSTEM, setting.deliverySystem}}))
        return false;
    applySec(horizontal, highBand);
    drainEvents();
    PropertyList properties = {
        {DTV_DELIVERY_SYSTEM, setting.deliverySystem},
        {DTV_FREQUENCY, ifKHz},
        {DTV_SYMBOL_RATE, symbolRate},
        {DTV_INNER_FEC, setting.innerFec},
        {DTV_MODULATION, setting.modulation},
        {DTV_INVERSION, INVERSION_AUTO},
    };
    if (setting.deliverySystem == SYS_DVBS2) {
        // Roll-off 0.35 rather than auto: some demodulators refuse auto.
        properties.push_back({DTV_PILOT, PILOT_AUTO});
        properties.push_back({DTV_ROLLOFF, ROLLOFF_35});
    }
    properties.push_back({DTV_TUNE, 0});
    return setProperties(properties);
}

bool Receiver::setProperties(const PropertyList &list)
{
    std::vector<dtv_property> properties(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        properties[i].cmd = list[i].first;
        properties[i].u.data = list[i].second;
    }
    dtv_properties set{static_cast<std::uint32_t>(properties.size()), properties.data()};
    const int rc = m_io.ioctl(m_fd, FE_SET_PROPERTY, &set);
    if (rc < 0)
        m_io.log(LogLevel::Debug, std::string("FE_SET_PROPERTY failed: ") + std::strerror(-rc));
    return rc >= 0;
}

void Receiver::applySec(bool horizontal, bool highBand)
{
    const unsigned voltage = horizontal ? SEC_VOLTAGE_18 : SEC_VOLTAGE_13;
    const SwitchState wanted{m_port, horizontal, highBand};
    if (m_port != 0 && m_switchSent != wanted) {
        // The switch reads the command only without the tone, on the new
        // voltage, after both have settled.
        setTone(false);
        setVoltage(voltage);
        m_io.sleepMs(kDiseqcSettleMs);
        if (sendSwitchCommand(horizontal, highBand))
            m_switchSent = wanted;
        else
            m_switchSent.reset();
        m_io.sleepMs(kDiseqcSettleMs);
    } else {
        setVoltage(voltage);
    }
    setTone(highBand);
}

bool Receiver::sendSwitchCommand(bool horizontal, bool highBand)
{
    dvb_diseqc_master_cmd command{
        {0xE0, 0x10, 0x38, committedSwitchData(m_port, horizontal, highBand)}, 4};
    if (const int rc = m_io.ioctl(m_fd, FE_DISEQC_SEND_MASTER_CMD, &command); rc < 0) {
        m_io.log(LogLevel::Debug, std::string("DiSEqC command failed: ") + std::strerror(-rc));
        return false;
    }
    // Repeats (E1) reach switches behind another, or one that was still
    // waking up from the voltage change.
    command.msg[0] = 0xE1;
    for (int i = 0; i < kDiseqcRepeats; ++i) {
        m_io.sleepMs(kDiseqcRepeatGapMs);
        m_io.ioctl(m_fd, FE_DISEQC_SEND_MASTER_CMD, &command);
    }
    return true;
}

void Receiver::drainEvents()
{
    // Old events would otherwise sit in the frontend's queue; bounded in case
    // a driver keeps reporting.
    for (int i = 0; i < 64; ++i) {
        dvb_frontend_event event{};
        const int rc = m_io.ioctl(m_fd, FE_GET_EVENT, &event);
        if (rc < 0 && rc != -EOVERFLOW)
            break;
    }
}

bool Receiver::waitForLock(int boundMs)
{
    const std::int64_t start = m_io.monotonicMs();
    for (;;) {
        if (readStatus() & FE_HAS_LOCK)
            return true;
        const std::int64_t elapsed = m_io.monotonicMs() - start;
        if (elapsed >= boundMs)
            return false;
        m_io.sleepMs(static_cast<int>(std::min<std::int64_t>(kPollIntervalMs, boundMs - elapsed)));
    }
}

unsigned Receiver::readStatus()
{
    fe_status_t status = FE_NONE;
    if (m_io.ioctl(m_fd, FE_READ_STATUS, &status) < 0)
        return 0;
    return static_cast<unsigned>(status);
}

void Receiver::readStatistics(Statistic &cnr, Statistic &strength)
{
    cnr = strength = Statistic{};
    dtv_property properties[2] = {};
    properties[0].cmd = DTV_STAT_CNR;
    properties[1].cmd = DTV_STAT_SIGNAL_STRENGTH;
    dtv_properties get{2, properties};
    if (m_io.ioctl(m_fd, FE_GET_PROPERTY, &get) < 0)
        return;
    auto convert = [](const dtv_property &p) {
        Statistic s;
        if (p.u.st.len == 0)
            return s;
        switch (p.u.st.stat[0].scale) {
        case FE_SCALE_DECIBEL:
            s.scale = Statistic::Scale::Decibel;
            s.value = p.u.st.stat[0].svalue;
            break;
        case FE_SCALE_RELATIVE:
            s.scale = Statistic::Scale::Relative;
            s.value =
                static_cast<std::int64_t>(std::min<std::uint64_t>(p.u.st.stat[0].uvalue, 0xFFFF));
            break;
        default:
            break;
        }
        return s;
    };
    cnr = convert(properties[0]);
    strength = convert(properties[1]);
}

std::optional<int> Receiver::readLegacy(unsigned long request)
{
    std::uint16_t value = 0;
    if (m_io.ioctl(m_fd, request, &value) < 0)
        return std::nullopt;
    return relativePercent(value);
}

void Receiver::query(int &quality, int &level)
{
    quality = 0;
    level = 0;
    if (!isOpen() || !m_tuned)
        return;
    const unsigned status = readStatus();
    Statistic cnr, strength;
    readStatistics(cnr, strength);
    if (status & (FE_HAS_CARRIER | FE_HAS_LOCK)) {
        std::optional<int> percent = cnrPercent(cnr);
        if (!percent)
            percent = readLegacy(FE_READ_SNR);
        quality = percent.value_or(0);
        if (status & FE_HAS_LOCK)
            quality = std::max(quality, 1);
    }
    std::optional<int> percent = strengthPercent(strength);
    if (!percent)
        percent = readLegacy(FE_READ_SIGNAL_STRENGTH);
    level = percent.value_or(0);
}

void Receiver::setTone(bool on)
{
    m_io.ioctl(m_fd, FE_SET_TONE, valueArgument(on ? SEC_TONE_ON : SEC_TONE_OFF));
}

void Receiver::setVoltage(unsigned voltage)
{
    m_io.ioctl(m_fd, FE_SET_VOLTAGE, valueArgument(voltage));
}

} // namespace linuxdvb
