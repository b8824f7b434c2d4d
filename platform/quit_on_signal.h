#pragma once
// Ends Qt's event loop in order when the process gets SIGTERM or SIGINT, so that the normal
// shut-down (settings saved, ports closed) runs instead of the process dying mid-write.

namespace platform {

// Call once, after the QCoreApplication exists.
bool QuitOnTerminationSignals();

// True once such a signal has asked the program to end: no one may be there to read a box.
bool TerminationRequested();

}  // namespace platform
