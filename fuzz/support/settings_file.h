#pragma once
// The settings file of a fuzz run: one scratch folder for the whole run is the program's
// configuration and data home (a fresh folder per input would make libFuzzer run a leak check
// after every input), and each input replaces the file, with a time stamp from a counter (the
// settings take a file of the same size and time as unchanged) so that it is read anew.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz_support {

// Makes the folder below $TMPDIR and returns the settings file's path in it.
inline std::string MakeSettingsFile(const char* name)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/km3-fuzz-" + name + "-XXXXXX";
    const char* root = ::mkdtemp(pattern.data());
    if (!root) std::abort();
    const std::string folder = std::string(root) + "/Tessaline Inc.";
    ::mkdir(folder.c_str(), 0700);
    ::setenv("XDG_CONFIG_HOME", root, 1);
    ::setenv("XDG_DATA_HOME", root, 1);
    return folder + "/TSL-USB-KM3.ini";
}

inline void ReplaceSettingsFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    static long run = 0;
    const long stamp = 1'000'000'000 + ++run;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    const bool ok = std::fwrite(data, 1, size, file) == size;
    const timespec times[2] = {{stamp, 0}, {stamp, 0}};
    if (std::fclose(file) != 0 || !ok || ::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) std::abort();
}

// Values in Qt's variant notation ("@Variant(" and a serialised value) are left out: Qt
// deserialises them before any of our code runs, allocates whatever length they claim (up to
// gigabytes) and builds any type they name. The program never writes such values; they would
// only make a target report Qt's behaviour instead of testing ours.
inline bool HoldsQtVariant(const std::uint8_t* data, std::size_t size)
{
    static const std::string variant = "@Variant(";
    return std::search(data, data + size, variant.begin(), variant.end()) != data + size;
}

}  // namespace fuzz_support
