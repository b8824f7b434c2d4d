#include "documentation/file_naming.h"

#include <cerrno>
#include <climits>

#include <dirent.h>

#include "documentation/documentation_texts.h"
#include "platform/codepage.h"
#include "res/string_table.h"

namespace documentation {

namespace {

// Gives up after this many taken names in a row (a folder filled by another writer as fast
// as we look).
constexpr int kClaimAttempts = 1000;

}  // namespace

CString JoinPath(const CString& folder, const CString& name)
{
    if (folder.IsEmpty()) return name;
    if (folder[folder.GetLength() - 1] == '/') return folder + name;
    return folder + "/" + name;
}

CString ConstantFileName(const CString& folder, const CString& prefix, const CString& extension)
{
    return JoinPath(folder, prefix + extension);
}

CString IndexedFileName(const CString& folder, const CString& prefix, int index, const CString& extension)
{
    return JoinPath(folder, prefix + CString::Formatted("_%04d", index) + extension);
}

int HighestIndex(const CString& folder, const CString& prefix, const CString& extension)
{
    DIR* dir = ::opendir(platform::ToFileSystemPath(folder.IsEmpty() ? CString(".") : folder).c_str());
    if (!dir) return 0;
    const std::string head = platform::ToFileSystemPath(prefix) + "_";
    const std::string tail = platform::ToFileSystemPath(extension);
    int highest = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() <= head.size() + tail.size()) continue;
        if (name.substr(0, head.size()) != head || name.substr(name.size() - tail.size()) != tail) continue;
        const std::string_view digits = name.substr(head.size(), name.size() - head.size() - tail.size());
        long long index = 0;
        bool allDigits = true;
        for (char ch : digits) {
            if (ch < '0' || ch > '9') {
                allDigits = false;
                break;
            }
            index = index * 10 + (ch - '0');
            if (index > INT_MAX - kClaimAttempts) {
                allDigits = false;
                break;
            }
        }
        if (allDigits && index > highest) highest = static_cast<int>(index);
    }
    ::closedir(dir);
    return highest;
}

CString NextStorageFileName(const CDocumentationSettings& settings, int kind, int mode, const CString& extension)
{
    const CString& folder = settings.directory[kind];
    const CString& prefix = settings.prefix[kind];
    if (mode == kStorageIndexed) return IndexedFileName(folder, prefix, HighestIndex(folder, prefix, extension) + 1, extension);
    return ConstantFileName(folder, prefix, extension);
}

bool ClaimIndexedFile(const CString& folder, const CString& prefix, const CString& extension,
                      CAppendFile& file, CString& error)
{
    const int first = HighestIndex(folder, prefix, extension) + 1;
    for (int index = first; index < first + kClaimAttempts; ++index) {
        const CString name = IndexedFileName(folder, prefix, index, extension);
        if (file.Open(name, CAppendFile::Create::NewOnly, error)) return true;
        if (file.OpenErrno() != EEXIST) return false;
    }
    error = CString::Formatted(LoadLangString(kTextReasonIndexesTaken).GetString(), first, first + kClaimAttempts - 1);
    return false;
}

bool ClaimIndexedName(const CString& folder, const CString& prefix, const CString& extension,
                      CString& fileName, CString& error)
{
    CAppendFile file;
    if (!ClaimIndexedFile(folder, prefix, extension, file, error)) return false;
    fileName = file.FileName();
    return true;
}

}  // namespace documentation
