#pragma once
// Device-independent bitmaps of the chart's pictures and the .bmp files made from them: a
// 40-byte header, one colour-table entry and 32-bit rows from the bottom up, so that the pixel
// data of a file starts at offset 58.

#include <QImage>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace chart {

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr std::size_t kBitmapInfoHeaderSize = 40;
constexpr std::size_t kBitmapFileHeaderSize = 14;

// A packed DIB (header, colour table, bits) of the picture; empty when none can be made
// (a null picture, or a compression other than BI_RGB).
std::vector<BYTE> DDBToDIB(const QImage& bitmap, DWORD compression);
// Writes the file header and the DIB; the old file stays when writing fails.
bool WriteDIB(const CString& fileName, const std::vector<BYTE>& dib);

}  // namespace chart
