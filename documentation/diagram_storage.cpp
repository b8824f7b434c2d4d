#include "documentation/diagram_storage.h"

#include "documentation/documentation_texts.h"
#include "documentation/file_naming.h"

#include <cerrno>
#include <unistd.h>

#include "platform/codepage.h"
#include "res/string_table.h"

namespace documentation {

bool DiagramBitmapName(const CDocumentationSettings& settings, int mode, CString& fileName, CString& error)
{
    const CString& folder = settings.directory[kDiagrams];
    const CString& prefix = settings.prefix[kDiagrams];
    if (mode == kStorageIndexed) return ClaimIndexedName(folder, prefix, kBitmapExtension, fileName, error);
    if (mode == kStorageConstant) {
        fileName = ConstantFileName(folder, prefix, kBitmapExtension);
        return true;
    }
    error = LoadLangString(kTextReasonNoDiagramStorage);
    return false;
}

CString StoreDiagramBitmap(const CDocumentationSettings& settings, IDiagramBitmapSource& diagram, CString& fileName)
{
    fileName.Empty();
    const int mode = EffectiveStorageMode(settings, kDiagrams);
    if (mode == kStorageOff) return CString();
    CString error;
    if (!DiagramBitmapName(settings, mode, fileName, error)) {
        return FileFaultText(kTextDiagramNotStored, NextStorageFileName(settings, kDiagrams, mode, kBitmapExtension), error);
    }
    // A picture that could not be written tells why through errno, as file functions do.
    errno = 0;
    if (diagram.SaveBitmap(fileName)) return CString();
    const int reason = errno;
    // The claimed empty file must not stay behind as a broken bitmap.
    if (mode == kStorageIndexed) ::unlink(platform::ToFileSystemPath(fileName).c_str());
    return FileFaultText(kTextDiagramNotStored, fileName, reason != 0 ? ErrnoText(reason) : CString());
}

}  // namespace documentation
