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
    if (fec == "35")
        return 109;
    if (fec == "23")
        return 110;
    if (fec == "34")
        return 111;
    if (fec == "56")
        return 112;
    if (fec == "89")
        return 113;
    if (fec == "91")
        return 114;
    return 0;
}

// "DVB-S" lines with a rate only DVB-S2 has are DVB-S2 QPSK carriers.
std::uint8_t s2QpskCode(std::string_view fec)
{
    if (fec == "35")
        return 102;
    if (fec == "45")
        return 105;
    if (fec == "89")
        return 107;
    if (fec == "91")
        return 108;
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
constexpr int kMaxFrequencyMHz = 1000000; // fits the 20 bits of a key
constexpr int kMinSymbolRateKs = 100;
constexpr int kMaxSymbolRateKs = 100000; // fits 17 bits

constexpr std::uint64_t bytes(const char (&s)[9])
{
    std::uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | static_cast<unsigned char>(s[i]);
    return v;
}
constexpr std::uint64_t kUpdateTag = bytes("[UPDATE]");
constexpr std::uint64_t kDvbTag = (std::uint64_t('D') << 16) | (std::uint64_t('V') << 8) | 'B';

// Key layout, high bits first: polarization (1), frequency (20), symbol rate
// (17), kind (2), DVB-S2 code (8), strength (7).
constexpr int kKeyBits = 55;
constexpr std::uint64_t kOrderMask = ~((std::uint64_t(1) << 34) - 1); // polarization and frequency

std::uint64_t pack(const Carrier &c)
{
    return (std::uint64_t(c.polarization & 1) << 54) | (std::uint64_t(c.frequencyMHz) << 34) |
           (std::uint64_t(c.symbolRateKs) << 17) | (std::uint64_t(c.kind) << 15) |
           (std::uint64_t(c.fecCode) << 7) | std::uint64_t(c.strength & 0x7f);
}

Carrier unpack(std::uint64_t k)
{
    Carrier c;
    c.polarization = static_cast<std::uint8_t>((k >> 54) & 1);
    c.frequencyMHz = static_cast<int>((k >> 34) & 0xfffff);
    c.symbolRateKs = static_cast<int>((k >> 17) & 0x1ffff);
    c.kind = static_cast<CarrierKind>((k >> 15) & 3);
    c.fecCode = static_cast<std::uint8_t>((k >> 7) & 0xff);
    c.strength = static_cast<std::uint8_t>(k & 0x7f);
    return c;
}

// Only the start of an entry matters; a carrier line is short.
constexpr std::size_t kEntryBytes = 256;

} // namespace

std::uint8_t strengthFor(int frequencyMHz, int polarization)
{
    const std::uint64_t h =
        mix((static_cast<std::uint64_t>(static_cast<std::uint32_t>(frequencyMHz)) << 1) |
            static_cast<std::uint64_t>(polarization & 1));
    if (h % 100 < 14)
        return static_cast<std::uint8_t>(5 + (h >> 8) % 20); // 5..24: too weak
    return static_cast<std::uint8_t>(30 + (h >> 8) % 70);    // 30..99
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
    case 'V':
    case 'v':
    case 'R':
    case 'r':
        c.polarization = 0;
        break;
    case 'H':
    case 'h':
    case 'L':
    case 'l':
        c.polarization = 1;
        break;
    default:
        return std::nullopt;
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
    const char *p = data;
    const char *const end = data + size;
    while (p < end) {
        if (m_ended)
            return false;
        if (!m_pending) {
            // Whole line in the buffer without stray CR or byte 26: the usual
            // case, taken without looking at each byte twice.
            const auto *lf = static_cast<const char *>(std::memchr(p, '\n', end - p));
            if (lf) {
                std::string_view line(p, lf - p);
                if (!line.empty() && line.back() == '\r')
                    line.remove_suffix(1);
                if (line.find('\r') == std::string_view::npos &&
                    line.find('\x1a') == std::string_view::npos) {
                    takeLine(line);
                    p = lf + 1;
                    if (m_sky.full())
                        m_ended = true;
                    continue;
                }
            }
        }
        // Byte by byte up to the end of this line.
        for (; p < end; ++p) {
            const char ch = *p;
            if (ch == '\n') {
                ++p;
                endLine();
                if (m_sky.full())
                    m_ended = true;
                break;
            }
            if (ch == 26) {
                finish();
                m_ended = true;
                return false;
            }
            m_pending = true; // a CR is dropped, but a line is under way
            if (ch == '\r')
                continue;
            if (m_length < 2)
                m_first[m_length] = ch;
            ++m_length;
            m_window = (m_window << 8) | static_cast<unsigned char>(ch);
            m_hasDvb = m_hasDvb || (m_window & 0xffffff) == kDvbTag;
            m_hasUpdate = m_hasUpdate || m_window == kUpdateTag;
            if (m_hasEquals) {
                if (m_entry.size() < kEntryBytes)
                    m_entry.push_back(ch);
            } else if (ch == '=') {
                m_hasEquals = true;
            }
        }
    }
    return !m_ended;
}

void Sky::FileReader::finish()
{
    if (!m_ended && m_pending)
        endLine();
}

void Sky::FileReader::takeLine(std::string_view line)
{
    const std::size_t eq = line.find('=');
    const std::string_view entry =
        eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1, kEntryBytes);
    entryLine(
        line.find("DVB") != std::string_view::npos, line.find("[UPDATE]") != std::string_view::npos,
        line.size() >= 2 && line[0] == '0' && line[1] == '=', eq != std::string_view::npos, entry);
}

void Sky::FileReader::endLine()
{
    entryLine(m_hasDvb, m_hasUpdate, m_length >= 2 && m_first[0] == '0' && m_first[1] == '=',
              m_hasEquals, m_entry);
    m_pending = false;
    m_length = 0;
    m_first[0] = m_first[1] = 0;
    m_hasEquals = m_hasDvb = m_hasUpdate = false;
    m_window = 0;
    m_entry.clear();
}

void Sky::FileReader::entryLine(bool hasDvb, bool hasUpdate, bool zeroLine, bool hasEquals,
                                std::string_view entry)
{
    if (hasDvb)
        m_inRegion = true;
    if (hasUpdate)
        m_inRegion = false;
    if (hasEquals && m_inRegion && !zeroLine) {
        if (const auto carrier = parseCarrier(entry))
            m_sky.add(*carrier);
    }
}

void Sky::clear()
{
    m_keys.clear();
    m_reachMHz = 0;
}

void Sky::add(const Carrier &carrier)
{
    if (!full())
        m_keys.push_back(pack(carrier));
}

void Sky::finish()
{
    // Least significant digit first radix sort: a few passes over the keys,
    // where a comparison sort of 100 000 carriers would take far longer.
    std::vector<std::uint64_t> other(m_keys.size());
    constexpr int kDigitBits = 11;
    for (int shift = 0; shift < kKeyBits; shift += kDigitBits) {
        std::size_t count[(1u << kDigitBits) + 1] = {};
        for (const std::uint64_t k : m_keys)
            ++count[((k >> shift) & ((1u << kDigitBits) - 1)) + 1];
        for (std::size_t i = 1; i <= (1u << kDigitBits); ++i)
            count[i] += count[i - 1];
        for (const std::uint64_t k : m_keys)
            other[count[(k >> shift) & ((1u << kDigitBits) - 1)]++] = k;
        m_keys.swap(other);
    }
    m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
    m_keys.shrink_to_fit();

    int widest = 0;
    for (const std::uint64_t k : m_keys)
        widest = std::max(widest, unpack(k).symbolRateKs);
    // Both the level's rise and the capture range grow with the symbol rate.
    m_reachMHz = static_cast<int>(std::max(halfBandwidthMHz(widest), 2.0 + widest / 10000.0)) + 1;
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
    // Polarization values other than 0 and 1 select nothing.
    if (polarization != 0 && polarization != 1)
        return result;
    Carrier lowest;
    lowest.polarization = static_cast<std::uint8_t>(polarization);
    lowest.frequencyMHz = static_cast<int>(std::clamp<long long>(
        static_cast<long long>(frequencyMHz) - m_reachMHz, 0, kMaxFrequencyMHz));
    const long long highest = static_cast<long long>(frequencyMHz) + m_reachMHz;
    double near = 0;
    for (auto it = std::lower_bound(m_keys.begin(), m_keys.end(), pack(lowest) & kOrderMask);
         it != m_keys.end(); ++it) {
        const Carrier c = unpack(*it);
        if (c.polarization != polarization || c.frequencyMHz > highest)
            break;
        const long long offset = std::llabs(static_cast<long long>(frequencyMHz) - c.frequencyMHz);
        const double half = halfBandwidthMHz(c.symbolRateKs);
        if (offset < half)
            near = std::max(near, (10 + c.strength * 0.4) * (1.0 - offset / half));
        // Capture range 2 MHz plus 1 MHz per 10 000 kS/s; symbol rate within 1 %.
        const bool inCapture = offset * 10000 <= 20000 + c.symbolRateKs;
        const bool rateFits =
            std::llabs(static_cast<long long>(symbolRateKs) - c.symbolRateKs) * 100 <=
            c.symbolRateKs;
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
