#pragma once
// The plain text rules of the browse control: how a long path is shown, and how its filter
// reads as a Qt file-dialog filter.

#include <QString>

#include "platform/cstring.h"

namespace controls {

// path when it has at most maxLength characters; else its beginning, "{...}" and its end,
// maxLength characters in all, so that the drive or root and the file name stay readable.
CString ShortenPathForDisplay(const CString& path, int maxLength);

// "Text (*.a,*.b)|*.a;*.b|Other|*.c||" as Qt writes it:
// "Text (*.a,*.b) (*.a *.b);;Other (*.c)". An empty or malformed filter gives "".
QString QtFileFilter(const CString& filter);

}  // namespace controls
