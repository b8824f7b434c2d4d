#pragma once
// The port library's own texts (the baud-rate texts and the failure texts of the serial port),
// kept here as data: they are the same in every language. Ids as in the string table.

#include "platform/win_types.h"

// The text of an id, or nullptr when the library has none.
const char* PortText(UINT id);
