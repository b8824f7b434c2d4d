#include "measurement/zm_state_names.h"

#include "workflow/zm_codes.h"

namespace measurement {

// The controller keeps the one table of names; the panel shows the same names.
CString GetZmCommandName(int code) { return ZmCodeName(code); }

}  // namespace measurement
