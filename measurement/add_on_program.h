#pragma once
// The add-on programs of a measurement, run at its start and after its stop. A path is either
// "n.a." (or empty: none), an executable file, run directly with no shell and no arguments, or
// any other file, opened with the desktop's default application. A program that cannot be
// started gets a notice that names it; the measurement goes on.

#include "platform/cstring.h"

namespace measurement {

enum class AddOnKind { None, Executable, Document };

AddOnKind ClassifyAddOnProgram(const CString& path);

// Starts programs and opens documents; tests put a recorder in its place.
class IAddOnLauncher {
public:
    virtual ~IAddOnLauncher() = default;
    virtual bool StartProgram(const CString& path) = 0;
    virtual bool OpenDocument(const CString& path) = 0;
};

// The launcher of the desktop: a detached process, or the default application.
IAddOnLauncher& DesktopLauncher();

// True when the program was started or the file opened; nothing is run for "n.a.".
bool RunAddOnProgram(const CString& path, IAddOnLauncher& launcher = DesktopLauncher());

// False for a path whose program or file is not there; true for one that is, and for "n.a."
// and an empty path, which run nothing.
bool AddOnProgramFound(const CString& path);

// Tells that the program of the path cannot be started, in a notice that stops nothing.
void TellAddOnProgramFault(const CString& path);

}  // namespace measurement
