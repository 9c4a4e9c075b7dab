#pragma once
// One satellite frontend driven through the kernel's DVB frontend API (DVBv5
// properties, raw ioctls). Calls come from one thread, one at a time.
#include "devices/linuxdvb/io.h"
#include "devices/linuxdvb/mapping.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace linuxdvb {

// Used when a driver reports no limits: the usual satellite IF band, in kHz.
constexpr std::uint32_t kDefaultIfMinKHz = 950'000;
constexpr std::uint32_t kDefaultIfMaxKHz = 2'150'000;
// DiSEqC timing: settle time around a command, gap before a repeated frame.
constexpr int kDiseqcSettleMs = 15;
constexpr int kDiseqcRepeatGapMs = 100;
constexpr int kDiseqcRepeats = 1;

class Receiver
{
public:
    explicit Receiver(Io &io);
    ~Receiver();
    Receiver(const Receiver &) = delete;
    Receiver &operator=(const Receiver &) = delete;

    // choice "adapter,frontend" (e.g. "1,0") uses that frontend or none;
    // null or empty takes the first satellite frontend in numeric order.
    bool init(const char *choice);
    void release();
    bool setDiseqcPort(int port);
    bool setFecCode(unsigned code);
    bool tune(int symbolRateKs, int frequencyMHz, int polarization, int lofMHz);
    void query(int &quality, int &level);

    bool isOpen() const { return m_fd >= 0; }
    const std::string &devicePath() const { return m_path; }

private:
    struct Candidate
    {
        int adapter;
        int frontend;
    };
    struct SwitchState
    {
        int port;
        bool horizontal;
        bool highBand;
        bool operator==(const SwitchState &) const = default;
    };
    using PropertyList = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

    std::vector<Candidate> discover();
    bool openFrontend(const Candidate &candidate);
    std::vector<std::uint32_t> enumerateSystems(int fd);
    bool supports(std::uint32_t deliverySystem) const;
    bool setProperties(const PropertyList &properties);
    std::vector<TuneSetting> attemptsForCode() const;
    bool tuneOnce(const TuneSetting &setting, std::uint32_t ifKHz, std::uint32_t symbolRate,
                  bool horizontal, bool highBand);
    void applySec(bool horizontal, bool highBand);
    bool sendSwitchCommand(bool horizontal, bool highBand);
    void drainEvents();
    bool waitForLock(int boundMs);
    unsigned readStatus();
    void readStatistics(Statistic &cnr, Statistic &strength);
    std::optional<int> readLegacy(unsigned long request);
    void setTone(bool on);
    void setVoltage(unsigned voltage);
    void closeFrontend();

    Io &m_io;
    int m_fd = -1;
    std::string m_path;
    std::vector<std::uint32_t> m_systems;
    std::uint32_t m_ifMinKHz = kDefaultIfMinKHz;
    std::uint32_t m_ifMaxKHz = kDefaultIfMaxKHz;
    std::uint32_t m_symbolRateMin = 0;
    std::uint32_t m_symbolRateMax = 0;
    int m_port = 0;
    unsigned m_fecCode = 0;
    // A query reads 0/0 unless the last tune reached the frontend, so an
    // out-of-range step never shows the previous transponder's signal.
    bool m_tuned = false;
    std::optional<SwitchState> m_switchSent;
    std::optional<std::uint32_t> m_lastLockedSystem;
};

} // namespace linuxdvb
