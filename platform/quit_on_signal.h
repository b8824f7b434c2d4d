#pragma once
// Ends Qt's event loop in order when the process gets SIGTERM or SIGINT, so that the normal
// shut-down (settings saved, ports closed) runs instead of the process dying mid-write.

namespace platform {

// Call once, after the QApplication exists. From then on a signal also dismisses the modal
// boxes that are open, as if closed by their window button, and no further box waits for an
// answer: a logout or a service manager must not depend on someone pressing OK.
bool QuitOnTerminationSignals();

// True once SIGTERM or SIGINT has asked the program to end: no one may be there to read a box.
// Code that runs outside Qt's event loop (start-up, a wait) asks it too, since only a running
// event loop can be told to quit.
bool TerminationRequested();

}  // namespace platform
