#include <cstdlib>

#include "port/bulk_device.h"

namespace {
const char* const kBulkClass = "{00873fdf-61a8-11d1-aa5e-00c04fb1728b}";
}

CString MakeBulkDevicePath(WORD vendor, WORD product, const CString& instance)
{
    CString path;
    path.Format("\\\\?\\usb#vid_%04x&pid_%04x#%s#%s", vendor, product, instance.GetString(), kBulkClass);
    return path;
}

CString SerialFromDevicePath(const CString& path)
{
    const int first = path.Find('#');
    if (first < 0) return CString();
    const int second = path.Find('#', first + 1);
    if (second < 0) return CString();
    const int end = path.Find("#{", second + 1);
    if (end < 0) return CString();
    return path.Mid(second + 1, end - second - 1);
}

bool ParseBulkDevicePath(const CString& path, BulkDevicePath* out)
{
    CString lower = path;
    lower.MakeLower();
    const int vid = lower.Find("vid_");
    const int pid = lower.Find("pid_");
    if (vid < 0 || pid < 0) return false;
    out->vendor = static_cast<WORD>(std::strtoul(lower.Mid(vid + 4, 4).GetString(), nullptr, 16));
    out->product = static_cast<WORD>(std::strtoul(lower.Mid(pid + 4, 4).GetString(), nullptr, 16));
    out->instance = SerialFromDevicePath(path);
    return true;
}
