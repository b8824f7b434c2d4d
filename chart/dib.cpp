#include "chart/dib.h"

#include "platform/replace_file.h"

namespace chart {

namespace {

void Put(std::vector<BYTE>& out, std::size_t offset, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out[offset + static_cast<std::size_t>(i)] = static_cast<BYTE>(value >> (8 * i));
}

std::uint32_t Get32(const std::vector<BYTE>& in, std::size_t offset)
{
    return static_cast<std::uint32_t>(in[offset]) | (static_cast<std::uint32_t>(in[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(in[offset + 2]) << 16) | (static_cast<std::uint32_t>(in[offset + 3]) << 24);
}

}  // namespace

std::vector<BYTE> DDBToDIB(const QImage& bitmap, DWORD compression)
{
    if (compression == BI_BITFIELDS || compression != BI_RGB || bitmap.isNull()) return {};
    const QImage image = bitmap.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    constexpr int bitCount = 32;
    const std::size_t colors = std::size_t{1} << (bitCount % 32);
    const std::size_t headerSize = kBitmapInfoHeaderSize + 4 * colors;
    const std::size_t stride = static_cast<std::size_t>(((bitCount * width + 31) & ~31) / 8);
    const std::size_t sizeImage = stride * static_cast<std::size_t>(height);
    std::vector<BYTE> dib(headerSize + sizeImage, 0);
    Put(dib, 0, kBitmapInfoHeaderSize, 4);
    Put(dib, 4, static_cast<std::uint32_t>(width), 4);
    Put(dib, 8, static_cast<std::uint32_t>(height), 4);
    Put(dib, 12, 1, 2);
    Put(dib, 14, bitCount, 2);
    Put(dib, 16, compression, 4);
    Put(dib, 20, sizeImage, 4);
    // Rows bottom-up, each pixel blue, green, red and an unused byte.
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(height - 1 - y));
        BYTE* out = dib.data() + headerSize + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            out[4 * x + 0] = static_cast<BYTE>(qBlue(row[x]));
            out[4 * x + 1] = static_cast<BYTE>(qGreen(row[x]));
            out[4 * x + 2] = static_cast<BYTE>(qRed(row[x]));
            out[4 * x + 3] = 0;
        }
    }
    return dib;
}

bool WriteDIB(const CString& fileName, const std::vector<BYTE>& dib)
{
    if (dib.size() < kBitmapInfoHeaderSize) return false;
    const std::uint32_t biSize = Get32(dib, 0);
    const std::uint32_t bitCount = static_cast<std::uint32_t>(dib[14]) | (static_cast<std::uint32_t>(dib[15]) << 8);
    std::vector<BYTE> file(kBitmapFileHeaderSize, 0);
    Put(file, 0, 0x4D42, 2);
    Put(file, 2, dib.size() + kBitmapFileHeaderSize, 4);
    Put(file, 10, biSize + 4u * (1u << (bitCount % 32)) + kBitmapFileHeaderSize, 4);
    file.insert(file.end(), dib.begin(), dib.end());
    return platform::WriteFileReplacing(fileName, file.data(), file.size());
}

}  // namespace chart
