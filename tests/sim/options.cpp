#include "tests/sim/options.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <locale>
#include <map>
#include <sstream>

#include "tests/sim/device.h"

namespace sim {
namespace {

using Setter = std::function<bool(SensorConfig&, const std::string&, std::string&)>;

bool ParseInt(const std::string& text, long long min, long long max, long long& out, std::string& error)
{
    if (text.empty()) {
        error = "a number is missing";
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value < min || value > max) {
        error = "'" + text + "' is not a number from " + std::to_string(min) + " to " + std::to_string(max);
        return false;
    }
    out = value;
    return true;
}

bool ParseDouble(const std::string& text, double& out, std::string& error)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    in >> out;
    if (text.empty() || in.fail() || !in.eof()) {
        error = "'" + text + "' is not a number";
        return false;
    }
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

// A request letter: one character, '*' for any, or a number such as 0x06.
bool ParseLetter(const std::string& text, std::uint8_t& out, std::string& error)
{
    if (text == "*") {
        out = 0;
        return true;
    }
    if (text.size() == 1) {
        out = static_cast<std::uint8_t>(text[0]);
        return true;
    }
    long long v = 0;
    if (!ParseInt(text, 0, 255, v, error)) {
        error = "'" + text + "' is not a letter (one character, * or a byte value)";
        return false;
    }
    out = static_cast<std::uint8_t>(v);
    return true;
}

// A refusal code: one non-digit character stands for itself ('+', '='), else a byte value.
bool ParseCode(const std::string& text, std::uint8_t& out, std::string& error)
{
    if (text.size() == 1 && (text[0] < '0' || text[0] > '9')) {
        out = static_cast<std::uint8_t>(text[0]);
        return true;
    }
    long long v = 0;
    if (!ParseInt(text, 0, 255, v, error)) return false;
    out = static_cast<std::uint8_t>(v);
    return true;
}

bool ParseHexBytes(const std::string& text, Bytes& out, std::string& error)
{
    out.clear();
    if (text.size() % 2 != 0) {
        error = "'" + text + "' is not a run of two-digit hex bytes";
        return false;
    }
    for (std::size_t i = 0; i < text.size(); i += 2) {
        long long v = 0;
        if (!ParseInt("0x" + text.substr(i, 2), 0, 255, v, error)) {
            error = "'" + text + "' is not a run of two-digit hex bytes";
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(v));
    }
    return true;
}

bool ParseTimes(const std::vector<std::string>& parts, std::size_t at, int& times, std::string& error)
{
    if (parts.size() <= at) return true;
    long long v = 0;
    if (!ParseInt(parts[at], -1, 1'000'000, v, error)) return false;
    times = static_cast<int>(v);
    return true;
}

// "A" or "r12": a request letter, or the ordinal of a stream record.
bool ParseTrigger(const std::string& text, Trigger& trigger, std::string& error)
{
    if (text.size() > 1 && text[0] == 'r') {
        long long v = 0;
        if (!ParseInt(text.substr(1), 0, 1LL << 40, v, error)) return false;
        trigger.afterRecords = v;
        return true;
    }
    return ParseLetter(text, trigger.letter, error);
}

bool ParseOrdinals(const std::string& text, std::set<long long>& out, std::string& error)
{
    for (const std::string& part : Split(text, ',')) {
        long long v = 0;
        if (!ParseInt(part, 0, 1LL << 40, v, error)) return false;
        out.insert(v);
    }
    return true;
}

template <typename T>
Setter Number(T SensorIdentity::*field, long long min, long long max)
{
    return [=](SensorConfig& c, const std::string& v, std::string& e) {
        long long n = 0;
        if (!ParseInt(v, min, max, n, e)) return false;
        c.identity.*field = static_cast<T>(n);
        return true;
    };
}

Setter Flag(bool SensorIdentity::*field)
{
    return [=](SensorConfig& c, const std::string& v, std::string& e) {
        long long n = 0;
        if (!ParseInt(v.empty() ? "1" : v, 0, 1, n, e)) return false;
        c.identity.*field = n != 0;
        return true;
    };
}

Setter Text(std::string SensorIdentity::*field, std::size_t maxLength)
{
    return [=](SensorConfig& c, const std::string& v, std::string& e) {
        if (v.size() > maxLength) {
            e = "'" + v + "' is longer than " + std::to_string(maxLength) + " characters";
            return false;
        }
        c.identity.*field = v;
        return true;
    };
}

Setter Range(std::uint16_t SensorIdentity::*field)
{
    return [=](SensorConfig& c, const std::string& v, std::string& e) {
        double value = 0;
        if (!ParseDouble(v, value, e)) return false;
        const auto code = DecimalCode(value);
        if (!code) {
            e = "'" + v + "' cannot be written as three digits times a power of ten (up to 999000)";
            return false;
        }
        c.identity.*field = *code;
        return true;
    };
}

Setter Scale(float SensorIdentity::*field)
{
    return [=](SensorConfig& c, const std::string& v, std::string& e) {
        double value = 0;
        if (!ParseDouble(v, value, e)) return false;
        c.identity.*field = static_cast<float>(value);
        return true;
    };
}

Setter Calibration(CalibrationBlock SensorIdentity::*field)
{
    return [=](SensorConfig& c, const std::string& v, std::string& e) {
        CalibrationBlock& cal = c.identity.*field;
        for (const std::string& item : Split(v, ',')) {
            const auto eq = item.find('=');
            const std::string key = item.substr(0, eq);
            long long n = 0;
            const long long min = key.rfind("offset", 0) == 0 ? -32767 : 0;
            const long long max = key == "date" ? 0xFFFFFFFFLL : key == "valid" ? 1 : key.rfind("offset", 0) == 0 ? 32767 : 65535;
            if (eq == std::string::npos || !ParseInt(item.substr(eq + 1), min, max, n, e)) {
                if (eq == std::string::npos) e = "'" + item + "' is not key=number";
                return false;
            }
            if (key == "gainA") cal.gainA = static_cast<std::uint16_t>(n);
            else if (key == "gainB") cal.gainB = static_cast<std::uint16_t>(n);
            else if (key == "offsetA") cal.offsetA = static_cast<std::int16_t>(n);
            else if (key == "offsetB") cal.offsetB = static_cast<std::int16_t>(n);
            else if (key == "controlA") cal.controlA = static_cast<std::uint16_t>(n);
            else if (key == "controlB") cal.controlB = static_cast<std::uint16_t>(n);
            else if (key == "fullA") cal.fullScaleA = static_cast<std::uint16_t>(n);
            else if (key == "fullB") cal.fullScaleB = static_cast<std::uint16_t>(n);
            else if (key == "inaccA") cal.inaccuracyA = static_cast<std::uint16_t>(n);
            else if (key == "inaccB") cal.inaccuracyB = static_cast<std::uint16_t>(n);
            else if (key == "date") cal.date = static_cast<std::uint32_t>(n);
            else if (key == "valid") cal.valid = n != 0;
            else {
                e = "unknown calibration key '" + key + "'";
                return false;
            }
        }
        return true;
    };
}

Setter Signal(SignalSpec SensorConfig::*field)
{
    return [=](SensorConfig& c, const std::string& v, std::string& e) { return ParseSignalSpec(v, c.*field, e); };
}

const std::map<std::string, Setter>& Setters()
{
    static const std::map<std::string, Setter> setters = {
        {"address", Number(&SensorIdentity::address, 1, 249)},
        {"ok-byte", Number(&SensorIdentity::okByte, 0, 255)},
        {"calibration-state", Number(&SensorIdentity::calibrationState, 0, 3)},
        {"support-info", Number(&SensorIdentity::supportInfo, 0, 3)},
        {"no-digital-input", Flag(&SensorIdentity::noDigitalInput)},
        {"hmb-usb", Flag(&SensorIdentity::hmbUsb)},
        {"oem", Flag(&SensorIdentity::oemVersion)},
        {"stator-id", Number(&SensorIdentity::statorId, 0, 255)},
        {"stator-rev", Number(&SensorIdentity::statorRevision, 0, 255)},
        {"rotor-id", Number(&SensorIdentity::rotorId, 0, 127)},
        {"rotor-rev", Number(&SensorIdentity::rotorRevision, 0, 127)},
        {"watchdog", Number(&SensorIdentity::watchdog, 0, 255)},
        {"serial", Number(&SensorIdentity::statorSerial, 0, 0xFFFFFFFFLL)},
        {"rotor-serial", Number(&SensorIdentity::rotorSerial, 0, 0xFFFFFFFFLL)},
        {"module-index", Number(&SensorIdentity::moduleIndex, 0, 255)},
        {"module-count", Number(&SensorIdentity::moduleCount, 0, 255)},
        {"type-class", [](SensorConfig& c, const std::string& v, std::string& e) {
             return ParseLetter(v, c.identity.rotorTypeClass, e);
         }},
        {"encoder-mode", Number(&SensorIdentity::encoderMode, 0, 255)},
        {"count-code", Number(&SensorIdentity::encoderCountCode, 0, 255)},
        {"hardware-option", Number(&SensorIdentity::hardwareOption, 0, 255)},
        {"baud-code", Number(&SensorIdentity::baudCode, 0, 255)},
        {"stored-rate", Number(&SensorIdentity::rateIndex, 0, 19)},
        {"factory-contents", [](SensorConfig& c, const std::string& v, std::string& e) {
             static const std::map<std::string, FactoryContents> kinds = {
                 {"present", FactoryContents::Present}, {"zeros", FactoryContents::Zeros}, {"erased", FactoryContents::Erased}};
             const auto kind = kinds.find(v);
             if (kind == kinds.end()) {
                 e = "'" + v + "' is not present, zeros or erased";
                 return false;
             }
             c.identity.factoryContents = kind->second;
             return true;
         }},
        {"filter-a", Number(&SensorIdentity::filterA, 0, 65535)},
        {"filter-b", Number(&SensorIdentity::filterB, 0, 65535)},
        {"range-a", Range(&SensorIdentity::rangeACode)},
        {"range-b", Range(&SensorIdentity::rangeBCode)},
        {"scale-a", Scale(&SensorIdentity::scaleA)},
        {"scale-b", Scale(&SensorIdentity::scaleB)},
        {"unit-a", Text(&SensorIdentity::unitA, 5)},
        {"unit-b", Text(&SensorIdentity::unitB, 5)},
        {"channel-serial-a", Text(&SensorIdentity::channelSerialA, 6)},
        {"channel-serial-b", Text(&SensorIdentity::channelSerialB, 6)},
        {"factory-cal", Calibration(&SensorIdentity::factoryCalibration)},
        {"user-cal", Calibration(&SensorIdentity::userCalibration)},
        {"missing-block", [](SensorConfig& c, const std::string& v, std::string& e) {
             long long n = 0;
             if (!ParseInt(v, 0, 255, n, e)) return false;
             const int slot = BlockSlot(static_cast<std::uint8_t>(n));
             if (slot < 0) {
                 e = "'" + v + "' is not a block number (0 to 3, 0x80 to 0x83)";
                 return false;
             }
             c.identity.blockPresent[slot] = false;
             return true;
         }},
        {"block", [](SensorConfig& c, const std::string& v, std::string& e) {
             const auto parts = Split(v, ':');
             long long n = 0;
             Bytes content;
             if (parts.size() != 2 || !ParseInt(parts[0], 0, 255, n, e) || !ParseHexBytes(parts[1], content, e)) {
                 if (e.empty()) e = "expected BLOCK:HEXBYTES";
                 return false;
             }
             if (BlockSlot(static_cast<std::uint8_t>(n)) < 0 || content.size() > 27) {
                 e = "'" + v + "' needs a block number and at most 27 content bytes";
                 return false;
             }
             c.identity.rawBlockContent[static_cast<std::uint8_t>(n)] = content;
             return true;
         }},
        {"strict-address", [](SensorConfig& c, const std::string&, std::string&) {
             c.strictAddress = true;
             return true;
         }},
        {"restart-ms", [](SensorConfig& c, const std::string& v, std::string& e) {
             long long n = 0;
             if (!ParseInt(v, 0, 600'000, n, e)) return false;
             c.restartMs = static_cast<int>(n);
             return true;
         }},
        {"control-step-a", [](SensorConfig& c, const std::string& v, std::string& e) {
             long long n = 0;
             if (!ParseInt(v, -32768, 32767, n, e)) return false;
             c.controlStepA = static_cast<std::int16_t>(n);
             return true;
         }},
        {"control-step-b", [](SensorConfig& c, const std::string& v, std::string& e) {
             long long n = 0;
             if (!ParseInt(v, -32768, 32767, n, e)) return false;
             c.controlStepB = static_cast<std::int16_t>(n);
             return true;
         }},
        {"load-a", [](SensorConfig& c, const std::string& v, std::string& e) {
             long long n = 0;
             if (!ParseInt(v, -32768, 32767, n, e)) return false;
             c.loadA = static_cast<std::int16_t>(n);
             return true;
         }},
        {"load-b", [](SensorConfig& c, const std::string& v, std::string& e) {
             long long n = 0;
             if (!ParseInt(v, -32768, 32767, n, e)) return false;
             c.loadB = static_cast<std::int16_t>(n);
             return true;
         }},
        {"signal-a", Signal(&SensorConfig::signalA)},
        {"signal-b", Signal(&SensorConfig::signalB)},
        {"lose-records", [](SensorConfig& c, const std::string& v, std::string& e) {
             return ParseOrdinals(v, c.faults.records.lost, e);
         }},
        {"repeat-records", [](SensorConfig& c, const std::string& v, std::string& e) {
             return ParseOrdinals(v, c.faults.records.repeated, e);
         }},
        {"corrupt-record", [](SensorConfig& c, const std::string& v, std::string& e) {
             const auto parts = Split(v, ':');
             RecordCorruption rule;
             long long n = 0;
             if (parts.empty() || parts.size() > 3 || !ParseInt(parts[0], 0, 1LL << 40, n, e)) {
                 if (e.empty()) e = "expected ORDINAL[:BYTE[:MASK]]";
                 return false;
             }
             rule.ordinal = n;
             if (parts.size() > 1) {
                 if (!ParseInt(parts[1], 0, 4, n, e)) return false;
                 rule.byteIndex = static_cast<int>(n);
             }
             if (parts.size() > 2) {
                 if (!ParseInt(parts[2], 1, 255, n, e)) return false;
                 rule.xorMask = static_cast<std::uint8_t>(n);
             }
             c.faults.records.corrupted.push_back(rule);
             return true;
         }},
        {"bad-check", [](SensorConfig& c, const std::string& v, std::string& e) {
             const auto parts = Split(v, ':');
             BadCheckRule rule;
             if (parts.empty() || parts.size() > 3 || !ParseLetter(parts[0], rule.letter, e)) {
                 if (e.empty()) e = "expected LETTER[:S|W|SW][:TIMES]";
                 return false;
             }
             if (parts.size() > 1) {
                 if (parts[1] != "S" && parts[1] != "W" && parts[1] != "SW") {
                     e = "'" + parts[1] + "' is not S, W or SW";
                     return false;
                 }
                 rule.wrongS = parts[1].find('S') != std::string::npos;
                 rule.wrongW = parts[1].find('W') != std::string::npos;
             }
             if (!ParseTimes(parts, 2, rule.times, e)) return false;
             c.faults.badCheck.push_back(rule);
             return true;
         }},
        {"refuse", [](SensorConfig& c, const std::string& v, std::string& e) {
             const auto parts = Split(v, ':');
             RefusalRule rule;
             if (parts.size() < 2 || parts.size() > 3 || parts[0].empty()) {
                 e = "expected LETTER[BLOCK]:CODE[:TIMES]";
                 return false;
             }
             if (!ParseLetter(parts[0].substr(0, 1), rule.letter, e)) return false;
             if (parts[0].size() > 1) {
                 long long n = 0;
                 if (!ParseInt("0x" + parts[0].substr(1), 0, 255, n, e)) return false;
                 rule.block = static_cast<int>(n);
             }
             if (!ParseCode(parts[1], rule.code, e) || !ParseTimes(parts, 2, rule.times, e)) return false;
             c.faults.refusals.push_back(rule);
             return true;
         }},
        {"garbage", [](SensorConfig& c, const std::string& v, std::string& e) {
             const auto parts = Split(v, ':');
             GarbageRule rule;
             if (parts.size() < 2 || parts.size() > 3 || !ParseLetter(parts[0], rule.letter, e) ||
                 !ParseHexBytes(parts[1], rule.bytes, e) || !ParseTimes(parts, 2, rule.times, e)) {
                 if (e.empty()) e = "expected LETTER:HEXBYTES[:TIMES]";
                 return false;
             }
             c.faults.garbage.push_back(rule);
             return true;
         }},
        {"rechunk", [](SensorConfig& c, const std::string& v, std::string& e) {
             const auto parts = Split(v, ':');
             RechunkRule rule;
             if (parts.size() < 2 || parts.size() > 3 || !ParseTrigger(parts[0], rule.at, e)) {
                 if (e.empty()) e = "expected LETTER|rN:CUT,CUT...[:TIMES]";
                 return false;
             }
             for (const std::string& cut : Split(parts[1], ',')) {
                 long long n = 0;
                 if (!ParseInt(cut, 1, 1 << 24, n, e)) return false;
                 rule.cuts.push_back(static_cast<std::size_t>(n));
             }
             if (!ParseTimes(parts, 2, rule.times, e)) return false;
             c.faults.rechunk.push_back(rule);
             return true;
         }},
        {"latency", [](SensorConfig& c, const std::string& v, std::string& e) {
             long long n = 0;
             if (!ParseInt(v, 0, 600'000, n, e)) return false;
             c.faults.latencyMs = static_cast<int>(n);
             return true;
         }},
        {"pieces", [](SensorConfig& c, const std::string& v, std::string& e) {
             const auto parts = Split(v, ':');
             long long size = 0, pause = c.faults.pieces.pauseMs;
             if (parts.empty() || parts.size() > 2 || !ParseInt(parts[0], 1, 1 << 20, size, e) ||
                 (parts.size() == 2 && !ParseInt(parts[1], 0, 60'000, pause, e))) {
                 if (e.empty()) e = "expected SIZE[:MS]";
                 return false;
             }
             c.faults.pieces = {static_cast<std::size_t>(size), static_cast<int>(pause)};
             return true;
         }},
        {"stall", [](SensorConfig& c, const std::string& v, std::string& e) {
             const auto parts = Split(v, ':');
             StallRule rule;
             long long n = 0;
             if (parts.size() < 2 || parts.size() > 3 || !ParseTrigger(parts[0], rule.at, e) ||
                 !ParseInt(parts[1], -1, 600'000, n, e) || !ParseTimes(parts, 2, rule.times, e)) {
                 if (e.empty()) e = "expected LETTER|rN:MS[:TIMES]";
                 return false;
             }
             rule.durationMs = static_cast<int>(n);
             c.faults.stalls.push_back(rule);
             return true;
         }},
        {"hangup", [](SensorConfig& c, const std::string& v, std::string& e) {
             Trigger trigger;
             if (!ParseTrigger(v, trigger, e)) return false;
             c.faults.hangup = trigger;
             return true;
         }},
        {"stream-unasked", [](SensorConfig& c, const std::string& v, std::string& e) {
             UnaskedStream& s = c.faults.unaskedStream;
             s.enabled = true;
             if (v.empty()) return true;
             const auto parts = Split(v, ':');
             if (parts[0] != "A" && parts[0] != "B" && parts[0] != "C") {
                 e = "'" + parts[0] + "' is not a channel selector A, B or C";
                 return false;
             }
             s.selector = static_cast<std::uint8_t>(parts[0][0]);
             long long n = 0;
             if (parts.size() > 1) {
                 if (!ParseInt(parts[1], 1, 255, n, e)) return false;
                 s.rateByte = static_cast<std::uint8_t>(n);
             }
             if (parts.size() > 2) {
                 if (parts[2] != "nostop") {
                     e = "'" + parts[2] + "' is not nostop";
                     return false;
                 }
                 s.ignoresStop = true;
             }
             return true;
         }},
    };
    return setters;
}

// Options that may stand without a value.
bool ValueOptional(const std::string& name)
{
    return name == "strict-address" || name == "stream-unasked" || name == "no-digital-input" ||
           name == "hmb-usb" || name == "oem";
}

}  // namespace

bool ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options, std::string& error)
{
    struct Item {
        std::string name;
        std::string value;
    };
    std::vector<Item> items;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) != 0 || arg.size() == 2) {
            error = "unexpected argument '" + arg + "'";
            return false;
        }
        const auto eq = arg.find('=');
        Item item{arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2), ""};
        if (eq != std::string::npos) {
            item.value = arg.substr(eq + 1);
        } else if (item.name != "help" && !ValueOptional(item.name) && i + 1 < args.size()) {
            item.value = args[++i];
        }
        items.push_back(item);
    }

    long long count = 1;
    for (const Item& item : items) {
        if (item.name == "help") options.help = true;
        if (item.name == "dump-blocks") {
            if (item.value.empty()) {
                error = "--dump-blocks needs a file path";
                return false;
            }
            options.dumpBlocksPath = item.value;
        }
        if (item.name == "sensors" && !ParseInt(item.value, 1, 4, count, error)) {
            error = "--sensors: " + error;
            return false;
        }
    }
    options.sensors = count > 1 ? MultiportConfigs(static_cast<int>(count)) : std::vector<SensorConfig>(1);

    long long only = 0;  // 0: every sensor
    for (const Item& item : items) {
        if (item.name == "help" || item.name == "sensors" || item.name == "dump-blocks") continue;
        if (item.name == "sensor") {
            if (!ParseInt(item.value, 1, count, only, error)) {
                error = "--sensor: " + error;
                return false;
            }
            continue;
        }
        const auto setter = Setters().find(item.name);
        if (setter == Setters().end()) {
            error = "unknown option --" + item.name + " (see --help)";
            return false;
        }
        if (item.value.empty() && !ValueOptional(item.name)) {
            error = "--" + item.name + " needs a value";
            return false;
        }
        for (long long i = 0; i < count; ++i) {
            if (only != 0 && i != only - 1) continue;
            if (!setter->second(options.sensors[i], item.value, error)) {
                error = "--" + item.name + ": " + error;
                return false;
            }
        }
    }
    return true;
}

std::string ProgramUsage()
{
    return R"(km3-sensor-sim: a simulated torque/force sensor on a pseudo-terminal.

It prints the device path of each sensor's pseudo-terminal on the first line of standard
output (separated by blanks, the master first) and serves until it gets SIGTERM or SIGINT.
Options take their value as --name=value or --name value. Numbers may be written in hex (0x..).

Device:
  --sensors N               1 to 4 sensors of one multiport device (module positions 1..N)
  --sensor K                the options that follow apply to sensor K only (1..N)
  --dump-blocks PATH        on SIGUSR1 and at exit, write every sensor's calibration state
                            and blocks to PATH (replaced whole, never half-written)
  --help                    this text

Identity (status answer and configuration blocks):
  --address N               bus address, 1 to 249 (1)
  --strict-address          ignore requests for another address
  --ok-byte N  --calibration-state 0..3  --support-info 0..3
  --no-digital-input[=0|1]  --hmb-usb[=0|1]  --oem[=0|1]
  --stator-id N  --stator-rev N  --rotor-id N  --rotor-rev N  --watchdog N
  --serial N  --rotor-serial N  --module-index N  --module-count N
  --type-class C            rotor type class, a character or byte ('Y' with stator type 9)
  --encoder-mode N  --count-code N  --hardware-option N  --baud-code N
  --stored-rate N           the measure-rate index the sensor keeps from its last set-up
                            (6: 200/s; 13: 10/s)
  --factory-contents KIND   what the blocks hold where no part of the protocol fixes a
                            value (limits, triggers, display and power bytes, channel codes,
                            user scaling, unread bytes): present (the values of the options),
                            zeros (all 0x00) or erased (all 0xFF)
  --filter-a N  --filter-b N
  --range-a V  --range-b V  full-scale values (500, 0.5, 1000 ...)
  --scale-a F  --scale-b F  --unit-a TEXT  --unit-b TEXT
  --channel-serial-a TEXT  --channel-serial-b TEXT
  --factory-cal LIST  --user-cal LIST
                            key=value list: gainA gainB offsetA offsetB controlA controlB
                            fullA fullB inaccA inaccB date valid (valid=0: switched off)
  --missing-block B         a block the sensor does not have (reads are refused)
  --block B:HEX             content bytes 7..33 of block B verbatim
  --restart-ms N            silence after a restart before the hello (200)
  --control-step-a N  --control-step-b N   signal added while the control is on (4000)
  --load-a N  --load-b N    signal added while the test load is on; SIGUSR2 puts the load
                            on and takes it off again (0)

Signal (per channel):
  --signal-a SPEC  --signal-b SPEC
                            constant|ramp|sine|steps[:key=value,...] with keys base, amp,
                            slope (counts/s), period (ms), steps, noise, seed

Faults (LETTER: the request letter the answer belongs to, * any; records count as Z):
  --lose-records LIST       record ordinals never sent (0,5,7)
  --repeat-records LIST     record ordinals sent twice
  --corrupt-record N[:BYTE[:MASK]]   flip bits of a record byte (0 = sequence byte)
  --bad-check LETTER[:S|W|SW][:TIMES]
  --refuse LETTER[BLOCK]:CODE[:TIMES]   negative acknowledgement instead of the answer
                            (D80:3 refuses reads of block 0x80; Z:+ ends a stream start)
  --garbage LETTER:HEX[:TIMES]   bytes sent ahead of the answer
  --rechunk LETTER|rN:CUT,...[:TIMES]   deliver the bytes from that answer (or stream
                            record N) on in pieces ending at these offsets, counted from its
                            first byte (splits and merges writes)
  --latency MS              every delivery this much late
  --pieces SIZE[:MS]        hand every write on in pieces of SIZE bytes, MS apart (10; a
                            pseudo-terminal keeps pieces 10 ms or more apart), as an adapter does
  --stall LETTER|rN:MS[:TIMES]   deliver nothing for MS (-1 for ever) from that answer,
                            or from stream record N on
  --hangup LETTER|rN        disappear at that request or stream record
  --stream-unasked[=SEL[:RATE[:nostop]]]  stream from the start without being asked (C:25);
                            nostop: the stop signal does not end it
TIMES: how often a rule fires (default 1, -1 always; refusals default to always).
)";
}

}  // namespace sim
