#pragma once
// Value sets that their file refused for good (the program ends, or a finished measurement's
// file kept refusing): they go into a recovery file in the local application-data folder, a
// table with the value file's header whose time column goes on where the value file stopped,
// so that the two together hold the whole measurement. The user is told where, at once or,
// when no one watched the program end, at the next start: such notices are kept in the
// settings until they have been shown.

#include <cstdint>
#include <vector>

#include "platform/cstring.h"

namespace documentation {

struct RecoveredSets {
    std::uint64_t count = 0;    // sets that did not reach the value file
    CString valueFile;          // the file that refused them
    CString reason;             // why it refused
    CString recoveryFile;       // where they went; the folder when that failed as well
    CString recoveryReason;     // empty: they are in the recovery file
    bool Saved() const { return recoveryReason.IsEmpty(); }
};

// The message for the user, in the current language.
CString RecoveredSetsText(const RecoveredSets& sets);

// Keeps a notice for the next start; false when the settings file could not be written.
bool KeepRecoveryNotice(const RecoveredSets& sets);
// The notices kept so far, oldest first; they are removed from the settings.
std::vector<RecoveredSets> TakeRecoveryNotices();

}  // namespace documentation
