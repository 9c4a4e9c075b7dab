#include "devices/simulated/sky.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {
namespace {

std::uint64_t mix(std::uint64_t x)
{
    // splitmix64 finaliser: neighbouring frequencies get unrelated strengths.
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// A whole number of at most nine digits, blanks around it allowed.
std::optional<int> number(std::string_view s)
{
    s = trim(s);
    if (s.empty() || s.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// `head` := the text of `rest` before the first `separator`, `rest` := the text
// after it. Without a separator `head` takes all and false is returned.
bool splitAt(std::string_view &rest, char separator, std::string_view &head)
{
    const std::size_t at = rest.find(separator);
    if (at == std::string_view::npos) {
        head = rest;
        rest = {};
        return false;
    }
    head = rest.substr(0, at);
    rest.remove_prefix(at + 1);
    return true;
}

// DVB-S2 8PSK codes of the "S2" lines, by their FEC digits.
std::uint8_t s2EightPskCode(std::string_view fec)
{
    if (fec == "35") return 109;
    if (fec == "23") return 110;
    if (fec == "34") return 111;
    if (fec == "56") return 112;
    if (fec == "89") return 113;
    if (fec == "91") return 114;
    return 0;
}

// "DVB-S" lines with a rate only DVB-S2 has are DVB-S2 QPSK carriers.
std::uint8_t s2QpskCode(std::string_view fec)
{
    if (fec == "35") return 102;
    if (fec == "45") return 105;
    if (fec == "89") return 107;
    if (fec == "91") return 108;
    return 0;
}

bool isDvbSCode(int code)
{
    return code == 0 || code == 12 || code == 23 || code == 34 || code == 56 || code == 78;
}

bool suits(const Carrier &c, int code)
{
    switch (c.kind) {
    case CarrierKind::DvbS:
        return isDvbSCode(code);
    case CarrierKind::DvbS2:
        return code == c.fecCode;
    case CarrierKind::DvbS2AnyRate:
        return code >= 101 && code <= 114;
    }
    return false;
}

// Half the occupied bandwidth (roll-off 0.35), where the level rises.
double halfBandwidthMHz(int symbolRateKs)
{
    return std::max(1.0, symbolRateKs * 0.675 / 1000.0);
}

constexpr int kMinFrequencyMHz = 1;
constexpr int kMaxFrequencyMHz = 1000000;
constexpr int kMinSymbolRateKs = 100;
constexpr int kMaxSymbolRateKs = 100000;
// Farthest a carrier reaches: its half bandwidth at the highest symbol rate.
constexpr int kReachMHz = 68;

constexpr std::uint64_t bytes(const char (&s)[9])
{
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | static_cast<unsigned char>(s[i]);
    return v;
}
constexpr std::uint64_t kUpdateTag = bytes("[UPDATE]");
constexpr std::uint64_t kDvbTag = (std::uint64_t('D') << 16) | (std::uint64_t('V') << 8) | 'B';

} // namespace

std::uint8_t strengthFor(int frequencyMHz, int polarization)
{
    const std::uint64_t h =
        mix((static_cast<std::uint64_t>(static_cast<std::uint32_t>(frequencyMHz)) << 1) |
            static_cast<std::uint64_t>(polarization & 1));
    if (h % 100 < 14)
        return static_cast<std::uint8_t>(5 + (h >> 8) % 20); // 5..24: too weak
    return static_cast<std::uint8_t>(30 + (h >> 8) % 70);   // 30..99
}

std::optional<Carrier> parseCarrier(std::string_view entry)
{
    std::string_view rest = entry;
    std::string_view frequencyText, polarizationText, symbolRateText, fec;
    splitAt(rest, ',', frequencyText);
    if (!splitAt(rest, ',', polarizationText))
        return std::nullopt;
    const bool hasMore = splitAt(rest, ',', symbolRateText);

    Carrier c;
    const auto frequency = number(frequencyText);
    if (!frequency || *frequency < kMinFrequencyMHz || *frequency > kMaxFrequencyMHz)
        return std::nullopt;
    c.frequencyMHz = *frequency;

    polarizationText = trim(polarizationText);
    if (polarizationText.size() != 1)
        return std::nullopt;
    switch (polarizationText[0]) {
    case 'V': case 'v': case 'R': case 'r': c.polarization = 0; break;
    case 'H': case 'h': case 'L': case 'l': c.polarization = 1; break;
    default: return std::nullopt;
    }

    // A ";" ends the symbol rate and the line's meaning.
    const std::size_t semicolon = symbolRateText.find(';');
    const bool commentFollows = semicolon != std::string_view::npos;
    if (commentFollows)
        symbolRateText = symbolRateText.substr(0, semicolon);
    const auto symbolRate = number(symbolRateText);
    if (!symbolRate || *symbolRate < kMinSymbolRateKs || *symbolRate > kMaxSymbolRateKs)
        return std::nullopt;
    c.symbolRateKs = *symbolRate;

    if (hasMore && !commentFollows) {
        splitAt(rest, ',', fec);
        fec = trim(fec);
        const std::string_view system = trim(rest);
        std::string_view systemWord = system.substr(0, system.find(';'));
        systemWord = trim(systemWord);
        if (system == "S2" || system == "s2") {
            c.fecCode = s2EightPskCode(fec);
            c.kind = c.fecCode ? CarrierKind::DvbS2 : CarrierKind::DvbS2AnyRate;
        } else if (system.find("S2") != std::string_view::npos ||
                   system.find("s2") != std::string_view::npos) {
            c.kind = CarrierKind::DvbS2AnyRate;
        } else if (systemWord == "DVB-S" && s2QpskCode(fec)) {
            c.kind = CarrierKind::DvbS2;
            c.fecCode = s2QpskCode(fec);
        }
    }
    c.strength = strengthFor(c.frequencyMHz, c.polarization);
    return c;
}

bool Sky::FileReader::feed(const char *data, std::size_t size)
{
    if (m_ended)
        return false;
    for (std::size_t i = 0; i < size; ++i) {
        const char ch = data[i];
        if (ch == '\n') {
            endLine();
            if (m_sky.full()) {
                m_ended = true;
                return false;
            }
            continue;
        }
        if (ch == 26) {
            finish();
            m_ended = true;
            return false;
        }
        if (ch == '\r') {
            m_pending = true; // dropped, but a line is under way
            continue;
        }
        m_pending = true;
        if (m_length < 2)
            m_first[m_length] = ch;
        ++m_length;
        m_window = (m_window << 8) | static_cast<unsigned char>(ch);
        m_hasDvb = m_hasDvb || (m_window & 0xffffff) == kDvbTag;
        m_hasUpdate = m_hasUpdate || m_window == kUpdateTag;
        if (m_hasEquals) {
            // Only the start of an entry matters; a carrier line is short.
            if (m_entry.size() < 256)
                m_entry.push_back(ch);
        } else if (ch == '=') {
            m_hasEquals = true;
        }
    }
    return true;
}

void Sky::FileReader::finish()
{
    if (!m_ended && m_pending)
        endLine();
}

void Sky::FileReader::endLine()
{
    if (m_hasDvb)
        m_inRegion = true;
    if (m_hasUpdate)
        m_inRegion = false;
    const bool zeroLine = m_length >= 2 && m_first[0] == '0' && m_first[1] == '=';
    if (m_hasEquals && m_inRegion && !zeroLine) {
        if (const auto carrier = parseCarrier(m_entry))
            m_sky.add(*carrier);
    }
    m_pending = false;
    m_length = 0;
    m_first[0] = m_first[1] = 0;
    m_hasEquals = m_hasDvb = m_hasUpdate = false;
    m_window = 0;
    m_entry.clear();
}

void Sky::clear()
{
    m_carriers.clear();
}

void Sky::add(const Carrier &carrier)
{
    if (!full())
        m_carriers.push_back(carrier);
}

void Sky::finish()
{
    std::sort(m_carriers.begin(), m_carriers.end(), [](const Carrier &a, const Carrier &b) {
        if (a.polarization != b.polarization)
            return a.polarization < b.polarization;
        return a.frequencyMHz < b.frequencyMHz;
    });
}

void Sky::load(const std::string &directory)
{
    clear();
    std::vector<std::string> names;
    if (DIR *dir = ::opendir(directory.c_str())) {
        while (const dirent *e = ::readdir(dir)) {
            std::string lower = e->d_name;
            for (char &ch : lower)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            if (lower.find(".ini") != std::string::npos)
                names.emplace_back(e->d_name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());

    std::vector<char> buffer(1 << 16);
    for (const std::string &name : names) {
        if (full())
            break;
        // Non-blocking open: a pipe or device named like a list must not hang us.
        const std::string path = directory + "/" + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            continue;
        }
        FileReader reader(*this);
        std::uint64_t total = 0;
        bool more = true;
        while (more && total < kMaxFileBytes) {
            const ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            total += static_cast<std::uint64_t>(n);
            more = reader.feed(buffer.data(), static_cast<std::size_t>(n));
        }
        reader.finish();
        ::close(fd);
    }
    finish();
}

TuneResult Sky::tune(int symbolRateKs, int frequencyMHz, int polarization, int fecCode) const
{
    TuneResult result;
    const std::uint8_t pol = static_cast<std::uint8_t>(polarization == 1 ? 1 : 0);
    // Polarization values other than 0 and 1 select nothing.
    if (polarization != 0 && polarization != 1)
        return result;
    const long long low = static_cast<long long>(frequencyMHz) - kReachMHz;
    auto it = std::lower_bound(m_carriers.begin(), m_carriers.end(), low,
                               [pol](const Carrier &c, long long f) {
                                   return c.polarization < pol ||
                                          (c.polarization == pol && c.frequencyMHz < f);
                               });
    double near = 0;
    for (; it != m_carriers.end() && it->polarization == pol &&
           it->frequencyMHz <= static_cast<long long>(frequencyMHz) + kReachMHz;
         ++it) {
        const Carrier &c = *it;
        const long long offset = std::llabs(static_cast<long long>(frequencyMHz) - c.frequencyMHz);
        const double half = halfBandwidthMHz(c.symbolRateKs);
        if (offset < half)
            near = std::max(near, (10 + c.strength * 0.4) * (1.0 - offset / half));
        // Capture range 2 MHz plus 1 MHz per 10 000 kS/s; symbol rate within 1 %.
        const bool inCapture = offset * 10000 <= 20000 + c.symbolRateKs;
        const bool rateFits =
            std::llabs(static_cast<long long>(symbolRateKs) - c.symbolRateKs) * 100 <= c.symbolRateKs;
        if (inCapture && rateFits && suits(c, fecCode) && c.strength >= kLockStrength &&
            c.strength > result.strength) {
            result.locked = true;
            result.strength = c.strength;
        }
    }
    result.nearLevel = static_cast<int>(near);
    return result;
}

} // namespace sim
