// Feeds arbitrary settings files to the profile: the INI file under $XDG_CONFIG_HOME is the
// user's to edit, copy between machines or damage, and the program reads it at every start.
// Whatever it holds, reading the sections the program uses (their entries as numbers and as
// texts, the port names and extra serial devices) must neither crash nor read out of bounds.
// (Writing is left out: the file is saved with a sync to disk, which would make the target too
// slow to find anything in CI's time.)
//
// Values in Qt's variant notation ("@Variant(" followed by a serialised value) are left out:
// Qt deserialises them before any of our code runs, allocates whatever length they claim (up to
// gigabytes) and builds any type they name, pixmaps included. The program never writes such
// values. Until the profile stops reading them they would only make this target report Qt's
// behaviour instead of testing ours.
//
// Each input replaces the file, with a time stamp from a counter (the settings take a file of
// the same size and time as unchanged), and FlushProfile, which has nothing to write, reads it
// anew. One folder for the whole run keeps the allocations of one input balanced: a fresh
// settings object per input would make libFuzzer run a leak check after every input.
#include <cstddef>
#include <cstdint>

#include "fuzz/support/settings_file.h"
#include "platform/profile.h"
#include "port/profile_port_settings.h"

namespace {

const char* const kSections[] = {"Settings", "Version", "DespiteReset", "Language", "COM Einstellungen",
                                 "COMAliases", "COMAliasOwners", "SERIALCOMM", "Documentation",
                                 "AllViewState\\Configs\\WindowPos"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string file = fuzz_support::MakeSettingsFile("profile");
    if (fuzz_support::HoldsQtVariant(data, size)) return -1;
    fuzz_support::ReplaceSettingsFile(file, data, size);
    platform::FlushProfile();

    for (const char* section : kSections) {
        for (const CString& entry : platform::GetProfileEntries(section)) {
            platform::GetProfileInt(section, entry, -1);
            platform::GetProfileString(section, entry);
        }
        platform::ProfileSectionExists(section);
    }
    ProfilePortSettingsStore store;
    for (const auto& [description, path] : store.ExtraSerialDevices()) store.AliasOf(path);
    store.IdentityOfAlias("COM1");
    return 0;
}
