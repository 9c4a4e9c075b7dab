#pragma once
// The sky the simulated receiver looks at: every transponder line of the
// satellite lists is taken as a real carrier with a fixed strength. Plain C++
// on purpose: the library links nothing but the C++ runtime.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class CarrierKind : std::uint8_t {
    DvbS,         // locks with code 0 or any DVB-S code 12..78
    DvbS2,        // locks only with its own DVB-S2 code
    DvbS2AnyRate, // DVB-S2 whose rate the line does not tell: any code 101..114
};

struct Carrier
{
    int frequencyMHz = 0;
    int symbolRateKs = 0;
    std::uint8_t polarization = 0; // 0 V/R, 1 H/L
    CarrierKind kind = CarrierKind::DvbS;
    std::uint8_t fecCode = 0;  // the DVB-S2 code for CarrierKind::DvbS2
    std::uint8_t strength = 0; // 0..99; below kLockStrength never locks
};

// Carriers weaker than this are seen as a raised level but never lock.
inline constexpr int kLockStrength = 25;
// More carriers than this are not kept; the rest of the lists is not read.
inline constexpr std::size_t kMaxCarriers = 100000;
// Bytes read from one file at most: a runaway file cannot stall start-up.
inline constexpr std::uint64_t kMaxFileBytes = 256ull << 20;

// The fixed strength of the carrier at this frequency and polarization: about
// one in seven is too weak to lock.
std::uint8_t strengthFor(int frequencyMHz, int polarization);

// One transponder entry (the text after "=") as a carrier: frequency,
// polarization letter, symbol rate and optionally FEC digits and system.
// Nothing when the frequency, letter or symbol rate is unusable.
std::optional<Carrier> parseCarrier(std::string_view entry);

// What a tune found.
struct TuneResult
{
    bool locked = false;
    int strength = 0;  // of the locked carrier
    int nearLevel = 0; // extra level from carriers around the tuned frequency
};

class Sky
{
public:
    // Replaces the sky with the carriers of every list file in `directory`
    // (names containing ".ini", without regard to case). Unreadable entries
    // are skipped.
    void load(const std::string &directory);
    // Adds the carriers of one list file's bytes, fed in pieces.
    class FileReader;

    void clear();
    void add(const Carrier &carrier);
    // Sorts what add() collected and drops carriers listed twice; tune()
    // needs it.
    void finish();
    std::size_t size() const { return m_keys.size(); }
    bool full() const { return m_keys.size() >= kMaxCarriers; }

    TuneResult tune(int symbolRateKs, int frequencyMHz, int polarization, int fecCode) const;

private:
    // Each carrier packed into one number whose order is polarization, then
    // frequency: small, and quick to sort.
    std::vector<std::uint64_t> m_keys;
    int m_reachMHz = 0; // farthest any carrier is seen from its centre
};

// The list-file line rules: LF ends a line, CR is dropped, byte 26 ends the
// file; "DVB" opens and "[UPDATE]" closes the entry region; inside it every
// line with "=" not beginning with "0=" is an entry. Lines of any length are
// handled without keeping them whole.
class Sky::FileReader
{
public:
    explicit FileReader(Sky &sky) : m_sky(sky) {}
    // False once the file has ended (byte 26) or the sky is full.
    bool feed(const char *data, std::size_t size);
    void finish(); // a last line without LF still counts

private:
    void endLine();
    void takeLine(std::string_view line);
    void entryLine(bool hasDvb, bool hasUpdate, bool zeroLine, bool hasEquals,
                   std::string_view entry);

    Sky &m_sky;
    bool m_ended = false;
    bool m_inRegion = false;
    // The line so far: its first two bytes, whether it holds "=", "DVB",
    // "[UPDATE]", and the start of the text after its first "=".
    bool m_pending = false; // bytes of an unfinished line
    std::size_t m_length = 0;
    char m_first[2] = {0, 0};
    bool m_hasEquals = false;
    bool m_hasDvb = false;
    bool m_hasUpdate = false;
    std::uint64_t m_window = 0; // last eight bytes, for the substring checks
    std::string m_entry;
};

} // namespace sim
