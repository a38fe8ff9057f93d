#include "SimOptions.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace velora::sim {

namespace {

constexpr std::size_t kVersionByte = 6;
// A current radio: identifications taken from a file carry cleared or unset version bits.
constexpr int kDefaultVersion = 5;
constexpr unsigned kRates[] = {1200, 2400, 4800, 9600, 19200};

std::optional<unsigned long> parseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (*end != '\0' || errno != 0 || text[0] == '-') return std::nullopt;
    return v;
}

std::optional<Identification> parseIdent(const std::string& text) {
    Identification id{};
    if (text.size() != 2 * id.size()) return std::nullopt;
    for (std::size_t i = 0; i < id.size(); ++i) {
        auto v = parseNumber("0x" + text.substr(2 * i, 2));
        if (!v || !std::isxdigit(static_cast<unsigned char>(text[2 * i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[2 * i + 1])))
            return std::nullopt;
        id[i] = static_cast<Byte>(*v);
    }
    return id;
}

// UNIT:BLOCK[:ARG...][:COUNT]; BLOCK is a main-area block of a deck or an extension chunk of a head,
// and `args` names the numbers that must follow it (each 0..kMaxFaultArg), stored in `values`.
constexpr unsigned long kMaxFaultArg = 60000;

std::optional<BlockFault> parseFault(const std::string& text, bool decksOnly, std::string& error,
                                     std::initializer_list<const char*> args = {},
                                     std::vector<int>* values = nullptr) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t colon; (colon = text.find(':', start)) != std::string::npos; start = colon + 1)
        parts.push_back(text.substr(start, colon - start));
    parts.push_back(text.substr(start));
    const std::size_t fixed = 2 + args.size();
    if (parts.size() < fixed || parts.size() > fixed + 1) {
        std::string form = "UNIT:BLOCK";
        for (const char* a : args)
            form += std::string(":") + a;
        error = "expected " + form + "[:COUNT], got " + text;
        return std::nullopt;
    }
    BlockFault fault;
    fault.unit = unitFromName(parts[0]);
    if (fault.unit < 0 || (decksOnly && kindOfUnit(fault.unit) != UnitKind::Deck)) {
        error = "unknown unit " + parts[0] + (decksOnly ? " (deck1 or deck2)" : "");
        return std::nullopt;
    }
    // A deck's DTMF code record is "cN" (0..8), any unit's identification frame "id".
    const bool deck = kindOfUnit(fault.unit) == UnitKind::Deck;
    const bool record = deck && !parts[1].empty() && parts[1][0] == 'c';
    auto block = parts[1] == "id" ? std::optional<unsigned long>(0)
                                  : parseNumber(record ? parts[1].substr(1) : parts[1]);
    unsigned long blocks = record ? 9 : deck ? layout::kMainBlocks : 256;
    if (!block || *block >= blocks) {
        error = "block out of range: " + parts[1];
        return std::nullopt;
    }
    fault.block = static_cast<int>(*block) + (parts[1] == "id" ? kIdentificationPlace
                                              : record         ? kCodeRecordPlace
                                                               : 0);
    auto name = args.begin();
    for (std::size_t i = 2; i < fixed; ++i, ++name) {
        auto v = parseNumber(parts[i]);
        if (!v || *v > kMaxFaultArg) {
            error = std::string("bad ") + *name + ": " + parts[i];
            return std::nullopt;
        }
        if (values) values->push_back(static_cast<int>(*v));
    }
    if (parts.size() == fixed + 1) {
        auto count = parseNumber(parts[fixed]);
        if (!count || *count == 0 || *count > 1000000) {
            error = "bad count: " + parts[fixed];
            return std::nullopt;
        }
        fault.count = static_cast<int>(*count);
    }
    return fault;
}

// --stall UNIT:BLOCK:AFTER:MS, --late UNIT:BLOCK:MS, --garble UNIT:BLOCK:BYTE, --noise UNIT:BLOCK:N,
// each with an optional :COUNT.
std::optional<LineFault> parseLineFault(const std::string& option, const std::string& text,
                                        std::string& error) {
    LineFault f;
    std::vector<int> v;
    std::optional<BlockFault> where;
    if (option == "--stall") {
        f.kind = LineFault::Kind::Stall;
        where = parseFault(text, false, error, {"AFTER", "MS"}, &v);
        if (where) f.at = v[0], f.ms = v[1];
    } else if (option == "--late") {
        f.kind = LineFault::Kind::Late;
        where = parseFault(text, false, error, {"MS"}, &v);
        if (where) f.ms = v[0];
    } else if (option == "--garble") {
        f.kind = LineFault::Kind::Garble;
        where = parseFault(text, false, error, {"BYTE"}, &v);
        if (where) f.at = v[0];
    } else if (option == "--drop" || option == "--nak-answer") {
        f.kind = option == "--drop" ? LineFault::Kind::Drop : LineFault::Kind::NakAnswer;
        where = parseFault(text, false, error);
    } else if (option == "--truncate" || option == "--hang-up") {
        f.kind = option == "--truncate" ? LineFault::Kind::Truncate : LineFault::Kind::HangUp;
        where = parseFault(text, false, error, {"N"}, &v);
        if (where) f.at = v[0];
    } else {
        f.kind = LineFault::Kind::Noise;
        where = parseFault(text, false, error, {"N"}, &v);
        if (where && (v[0] == 0 || v[0] > 255)) {
            error = "noise needs 1 to 255 bytes: " + text;
            return std::nullopt;
        }
        if (where) f.at = v[0];
    }
    if (!where) return std::nullopt;
    f.where = *where;
    return f;
}

// CODE:NTH[:COUNT] of --drop-frame and --nak-frame.
std::optional<TestFrameFault> parseTestFault(const std::string& text, bool nak, std::string& error) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t colon; (colon = text.find(':', start)) != std::string::npos; start = colon + 1)
        parts.push_back(text.substr(start, colon - start));
    parts.push_back(text.substr(start));
    if (parts.size() < 2 || parts.size() > 3) {
        error = "expected CODE:NTH[:COUNT], got " + text;
        return std::nullopt;
    }
    auto code = parseNumber(parts[0]);
    auto nth = parseNumber(parts[1]);
    auto count = parts.size() == 3 ? parseNumber(parts[2]) : std::optional<unsigned long>(1);
    if (!code || *code > 0xFF || !nth || *nth > kMaxFaultArg || !count || *count == 0 ||
        *count > kMaxFaultArg) {
        error = "bad test frame fault: " + text;
        return std::nullopt;
    }
    return TestFrameFault{static_cast<Byte>(*code), static_cast<int>(*nth), static_cast<int>(*count), nak};
}

// I:VALUE of the per-radio options; VALUE is left in `value`.
std::optional<int> parseRadioIndex(const std::string& text, std::string& value, std::string& error) {
    auto colon = text.find(':');
    auto n = parseNumber(text.substr(0, colon));
    if (colon == std::string::npos || !n || *n == 0 || *n > 10000) {
        error = "expected RADIO:VALUE with RADIO from 1, got " + text;
        return std::nullopt;
    }
    value = text.substr(colon + 1);
    return static_cast<int>(*n);
}

std::optional<std::chrono::milliseconds> parseMs(const std::string& text) {
    auto n = parseNumber(text);
    if (!n || *n > 3'600'000) return std::nullopt;
    return std::chrono::milliseconds(*n);
}

} // namespace

std::optional<SimOptions> parseOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string* {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--pace") {
            o.pace = true;
        } else if (a == "--once") {
            o.once = true;
        } else if (a == "--verbose" || a == "-v") {
            o.verbose = true;
        } else if (a == "--silent") {
            o.config.silent = true;
        } else if (a == "--echo") {
            o.config.echo = true;
        } else if (a == "--nak") {
            o.config.nakAll = true;
        } else if (a == "--deck1" || a == "--deck2" || a == "--head1" || a == "--head2") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            o.files[static_cast<std::size_t>(unitFromName(a.substr(2)))] = *v;
        } else if (a == "--ident") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            o.ident = parseIdent(*v);
            if (!o.ident) {
                error = "--ident needs 20 hexadecimal digits";
                return std::nullopt;
            }
        } else if (a == "--version") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            auto n = parseNumber(*v);
            if (!n || *n > 15) {
                error = "--version needs a number from 0 to 15";
                return std::nullopt;
            }
            o.version = static_cast<int>(*n);
        } else if (a == "--baud") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            auto n = parseNumber(*v);
            bool known = false;
            for (unsigned r : kRates)
                known = known || (n && *n == r);
            if (!known) {
                error = "--baud must be 1200, 2400, 4800, 9600 or 19200";
                return std::nullopt;
            }
            o.config.baud = static_cast<unsigned>(*n);
        } else if (a == "--link" || a == "--dump" || a == "--stats") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            (a == "--link" ? o.link : a == "--dump" ? o.dumpPrefix : o.statsFile) = *v;
        } else if (a == "--cut-after") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            o.cutAfter = parseNumber(*v);
            if (!o.cutAfter) {
                error = "--cut-after needs a byte count";
                return std::nullopt;
            }
        } else if (a == "--stall" || a == "--late" || a == "--garble" || a == "--noise" || a == "--drop" ||
                   a == "--nak-answer" || a == "--truncate" || a == "--hang-up") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            auto fault = parseLineFault(a, *v, error);
            if (!fault) return std::nullopt;
            o.config.lineFaults.push_back(*fault);
        } else if (a == "--drop-frame" || a == "--nak-frame") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            auto fault = parseTestFault(*v, a == "--nak-frame", error);
            if (!fault) return std::nullopt;
            o.config.testFaults.push_back(*fault);
        } else if (a == "--bad-checksum" || a == "--nak-block" || a == "--corrupt-write") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            bool checksum = a == "--bad-checksum";
            auto fault = parseFault(*v, checksum, error);
            if (!fault) return std::nullopt;
            (checksum                ? o.config.badChecksums
             : a == "--nak-block" ? o.config.nakWrites
                                  : o.config.corruptWrites)
                .push_back(*fault);
        } else if (a == "--fleet") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            auto n = parseNumber(*v);
            if (n && (*n == 0 || *n > 10000)) {
                error = "--fleet needs 1 to 10000 radios";
                return std::nullopt;
            }
            if (!n) {
                // A list of data files, one radio each.
                std::size_t start = 0;
                for (std::size_t comma; (comma = v->find(',', start)) != std::string::npos; start = comma + 1)
                    o.fleetFiles.push_back(v->substr(start, comma - start));
                o.fleetFiles.push_back(v->substr(start));
                for (const auto& f : o.fleetFiles)
                    if (f.empty()) {
                        error = "--fleet: empty file name in " + *v;
                        return std::nullopt;
                    }
            }
            o.fleet = n ? static_cast<int>(*n) : static_cast<int>(o.fleetFiles.size());
        } else if (a == "--linger" || a == "--gap") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            auto ms = parseMs(*v);
            if (!ms) {
                error = a + " needs milliseconds";
                return std::nullopt;
            }
            (a == "--linger" ? o.linger : o.gap) = *ms;
        } else if (a == "--radio-ident" || a == "--radio-version" || a == "--radio-stop") {
            const std::string* v = value();
            if (!v) return std::nullopt;
            std::string rest;
            auto radio = parseRadioIndex(*v, rest, error);
            if (!radio) return std::nullopt;
            if (a == "--radio-ident") {
                auto id = parseIdent(rest);
                if (!id) {
                    error = "--radio-ident needs RADIO:HEX20, got " + *v;
                    return std::nullopt;
                }
                o.fleetIdent[*radio] = *id;
            } else {
                auto n = parseNumber(rest);
                if (!n || (a == "--radio-version" ? *n > 15 : *n > kMaxFaultArg)) {
                    error = "bad " + a + ": " + *v;
                    return std::nullopt;
                }
                (a == "--radio-version" ? o.fleetVersion : o.fleetStop)[*radio] = static_cast<int>(*n);
            }
        } else {
            error = "unknown option " + a + " (try --help)";
            return std::nullopt;
        }
    }
    const bool perRadio = !o.fleetIdent.empty() || !o.fleetVersion.empty() || !o.fleetStop.empty();
    if (perRadio && o.fleet == 0) {
        error = "--radio-ident, --radio-version and --radio-stop need --fleet";
        return std::nullopt;
    }
    for (const auto* m : {&o.fleetVersion, &o.fleetStop})
        if (!m->empty() && m->rbegin()->first > o.fleet) {
            error = "radio " + std::to_string(m->rbegin()->first) + " is beyond the fleet";
            return std::nullopt;
        }
    if (!o.fleetIdent.empty() && o.fleetIdent.rbegin()->first > o.fleet) {
        error = "radio " + std::to_string(o.fleetIdent.rbegin()->first) + " is beyond the fleet";
        return std::nullopt;
    }
    return o;
}

std::optional<std::vector<FleetRadio>> buildFleet(const SimOptions& options, std::string& error) {
    std::vector<FleetRadio> radios;
    for (int n = 1; n <= options.fleet; ++n) {
        SimOptions one = options;
        if (!options.fleetFiles.empty()) one.files[0] = options.fleetFiles[static_cast<std::size_t>(n - 1)];
        if (auto id = options.fleetIdent.find(n); id != options.fleetIdent.end()) one.ident = id->second;
        if (auto v = options.fleetVersion.find(n); v != options.fleetVersion.end()) one.version = v->second;
        auto memory = buildMemory(one, error);
        if (!memory) return std::nullopt;
        FleetRadio radio{*memory, std::nullopt, false};
        if (auto s = options.fleetStop.find(n); s != options.fleetStop.end()) radio.stopAfter = s->second;
        radio.refused = options.fleetIdent.count(n) || options.fleetVersion.count(n);
        radios.push_back(std::move(radio));
    }
    return radios;
}

Identification defaultIdentification() {
    return {'Q', '0', '1', '2', '0', 0x04, 0xF0, 0x00, 0x06, 0xF0};
}

std::optional<RadioMemory> buildMemory(const SimOptions& options, std::string& error) {
    RadioMemory memory;
    std::array<bool, kUnitCount> loaded{};
    for (int u = 0; u < kUnitCount; ++u) {
        const std::string& file = options.files[static_cast<std::size_t>(u)];
        if (file.empty()) continue;
        auto image = loadDataFile(file, error);
        if (!image) return std::nullopt;
        memory.unit(u) = *image;
        loaded[static_cast<std::size_t>(u)] = true;
    }
    constexpr int kPartner[kUnitCount] = {-1, 0, 0, 2}; // deck2 <- deck1, head1 <- deck1, head2 <- head1
    for (int u : {2, 1, 3})
        if (!loaded[static_cast<std::size_t>(u)]) memory.unit(u) = memory.unit(kPartner[u]);

    if (options.ident) {
        memory.ident = *options.ident;
    } else {
        if (loaded[0])
            std::copy_n(memory.unit(0).main.begin() + layout::kModelId, layout::kModelIdSize,
                        memory.ident.begin());
        else
            memory.ident = defaultIdentification();
        memory.ident[kVersionByte] =
            static_cast<Byte>((memory.ident[kVersionByte] & 0x0F) | (kDefaultVersion << 4));
    }
    if (options.version)
        memory.ident[kVersionByte] =
            static_cast<Byte>((memory.ident[kVersionByte] & 0x0F) | (*options.version << 4));
    return memory;
}

bool dumpMemory(const RadioMemory& memory, const std::string& prefix, std::string& error) {
    bool ok = true;
    for (int u = 0; u < kUnitCount; ++u) {
        if (!memory.hasUnit(u)) continue;
        std::string path = prefix + "." + unitName(u) + ".dat";
        ok = writeDataFile(path, memory.unit(u), memory.ident, error) && ok;
    }
    return ok;
}

const char* helpText() {
    return R"(Usage: velora-radio-sim [OPTIONS]

Plays a radio's side of the serial programming protocol on a pseudo-terminal. The first line on
standard output is "DEVICE <slave path>"; point the client at that device.

Memory and identity:
  --deck1 FILE        data file for deck 1 (main and DTMF code areas; also the default for the others)
  --deck2 FILE        data file for deck 2 (default: deck 1's); present only on a dual-band radio
  --head1 FILE        data file whose extension area head 1 serves (default: deck 1's file)
  --head2 FILE        data file for head 2 (default: head 1's); present only on a dual-head radio
  --ident HEX20       identification, 20 hex digits (default: deck 1's main area at 0x3EE0, or the
                      default model Q0120 band 4); bit 14 of the configuration word (bytes 6, 7)
                      adds deck 2, bit 12 adds head 2
  --version N         version nibble 0..15 in the top of identification byte 6 (default 5, or as
                      given by --ident)
  --baud N            the radio's rate: 1200, 2400, 4800, 9600 (default) or 19200; "PROGRAM" and
                      "TUNING " are understood only while the line is set to it

Line:
  --link PATH         also make PATH a symbolic link to the device (removed on exit)
  --pace              send and take in every byte at the wire time of the line's settings

Faults:
  --bad-checksum UNIT:BLOCK[:COUNT]
                      answer the read of main-area BLOCK (0..127) of deck1 or deck2 with a wrong
                      checksum COUNT times (default once), then correctly
  --nak-block UNIT:BLOCK[:COUNT]
                      refuse the write of that block (deck: main-area block 0..127; head: 32-byte
                      extension chunk 0..255) with NAK COUNT times (default once)
  --corrupt-write UNIT:BLOCK[:COUNT]
                      acknowledge the write of that block or chunk but keep it with its first
                      byte inverted, COUNT times (default once)
  --stall UNIT:BLOCK:AFTER:MS[:COUNT]
                      the answer to a frame (read or write) for that block or chunk stops for MS
                      milliseconds after AFTER bytes, then goes on; COUNT times (default once)
  --late UNIT:BLOCK:MS[:COUNT]
                      that answer starts only after MS milliseconds
  --garble UNIT:BLOCK:BYTE[:COUNT]
                      byte BYTE (0 is the first) of that answer arrives inverted
  --noise UNIT:BLOCK:N[:COUNT]
                      N bytes of line noise (1..255) arrive before that answer
  --drop UNIT:BLOCK[:COUNT]
                      leave that frame unanswered
  --truncate UNIT:BLOCK:N[:COUNT]
                      send only the first N bytes of that answer
  --nak-answer UNIT:BLOCK[:COUNT]
                      answer that frame (read or write) with NAK
  --hang-up UNIT:BLOCK:N
                      send N bytes of that answer, then hang the line up, dump and exit
                      In all faults above, BLOCK may also be cN for a deck's DTMF code record N
                      (0..8) or "id" for the identification frame of the unit.
  --drop-frame CODE:NTH[:COUNT]
                      in test mode, leave the test or tuning frame with command byte CODE (0x12,
                      or decimal) unanswered and not carried out: the NTH such frame of the run
                      (0 is the first) and COUNT-1 more after it (default 1 in all)
  --nak-frame CODE:NTH[:COUNT]
                      the same frames are refused with NAK instead
  --nak               answer NAK wherever an ACK is due once a mode has been entered
  --silent            never answer
  --echo              no radio: send back every byte received, as a loop-back plug does
  --cut-after N       hang the line up instead of sending byte N+1 (counted over the whole run),
                      then dump and exit

A bench of radios on the one line:
  --fleet N|FILE,FILE...
                      N radios (or one per data file, that file being its deck 1) one after
                      another: after a write session ends, the radio goes on answering for the
                      linger, then is unplugged; the line stays silent for the gap and until the
                      client has sent something in vain, then the next radio is plugged in with its
                      own memory. Standard output reports "RADIO N plugged|answered|writing|written|
                      unplugged SECONDS" (seconds since the start). The other options apply to
                      every radio.
  --linger MS         the written radio answers this long before it is unplugged (default 200)
  --gap MS            the line stays silent this long between radios (default 1000)
  --radio-ident N:HEX20, --radio-version N:V
                      radio N (from 1) has this identification or version; it is unplugged after
                      two sessions without writes (a look for a radio, then a refused write), as a
                      dealer does with a radio the client refuses
  --radio-stop N:W    radio N answers W write frames, then is unplugged mid-write

Ending:
  --dump PREFIX       on exit write PREFIX.deck1.dat, PREFIX.head1.dat (and deck2, head2 when
                      present) as 24800-byte data files (with --fleet, PREFIX.N.deck1.dat ... for
                      every radio N from 1)
  --stats FILE        on exit write "bytes rx N tx M" to FILE: the bytes taken in from the client
                      and sent to it over the whole run
  --once              end after the client leaves programming or test mode with 'E' and closes the line
                      (with --fleet, once the last radio has been unplugged)
  -v, --verbose       log every frame on standard error
  -h, --help          show this text
  --version           alone: the program's version

SIGINT and SIGTERM end the simulator (after the dump).
)";
}

} // namespace velora::sim
