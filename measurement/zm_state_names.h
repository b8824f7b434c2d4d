#pragma once
// The names of the workflow states (ZM codes) as the control panel and the diagnostic texts show
// them: "ZM_..." for a named code, else "default-Zweig here unkown ZM_.... == <code>".

#include "platform/cstring.h"

namespace measurement {

// Reads nothing but its argument, so it may be called at any time.
CString GetZmCommandName(int code);

}  // namespace measurement
