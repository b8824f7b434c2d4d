#include "tests/sim/block_dump.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tests/sim/device.h"

namespace sim {

std::string BlockDumpText(const SimDevice& device)
{
    std::string text = "# km3-sensor-sim blocks: frame bytes 6..37 (code byte, content, check words)\n";
    char hex[3];
    for (int i = 0; i < device.PortCount(); ++i) {
        const SensorEngine& sensor = device.Port(i).sensor();
        const std::string prefix = "sensor " + std::to_string(i + 1) + " ";
        text += prefix + "calibration-state " + std::to_string(sensor.CalibrationState()) + "\n";
        text += prefix + "value-requests " + std::to_string(sensor.RequestCount('A')) + "\n";
        for (std::size_t slot = 0; slot < kBlockNumbers.size(); ++slot) {
            if (!sensor.Blocks().IsPresent(static_cast<int>(slot))) continue;
            std::snprintf(hex, sizeof hex, "%02x", kBlockNumbers[slot]);
            text += prefix + "block " + hex + " ";
            for (std::uint8_t byte : sensor.Blocks().Get(static_cast<int>(slot))) {
                std::snprintf(hex, sizeof hex, "%02x", byte);
                text += hex;
            }
            text += "\n";
        }
    }
    return text;
}

bool WriteBlockDump(const std::string& path, const std::string& text, std::string& error)
{
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = temporary + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        error = temporary + ": cannot write the block dump";
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace sim
