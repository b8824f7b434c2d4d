#pragma once
// Storing the diagram as a bitmap under the documentation's naming scheme: with the indexed
// mode each diagram gets the next free "<prefix>_<index>.bmp", with the constant mode it
// replaces "<prefix>.bmp". A bitmap that cannot be written gets a message naming the file.

#include "documentation/documentation_peers.h"
#include "documentation/documentation_settings.h"

namespace documentation {

// The file the next diagram goes to under the mode; false (with the reason) when no name can
// be had or the mode is off.
bool DiagramBitmapName(const CDocumentationSettings& settings, int mode, CString& fileName, CString& error);

// Stores the diagram when the diagram storage mode asks for it. Returns the message for the
// user on failure, else an empty text; fileName tells where it went.
CString StoreDiagramBitmap(const CDocumentationSettings& settings, IDiagramBitmapSource& diagram, CString& fileName);

}  // namespace documentation
