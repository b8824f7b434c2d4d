#pragma once
// The documentation settings: where and under which names measured values, pass/fail results
// and diagrams are stored, the separators of the delimited files and the report header texts,
// kept in the profile's section "Documentation". Beside them live the two times of the
// current measurement that the control panel and the workflow controller write.

#include <array>
#include <cstdint>

#include "documentation/delimited_table.h"
#include "platform/cstring.h"

namespace documentation {

// What is stored automatically at a measurement.
enum StorageKind : int {
    kMeasValues = 0,
    kIoNioResults = 1,
    kDiagrams = 2,
    kStorageKindCount = 3,
};

// Automatic storage modes.
constexpr int kStorageOff = 0;       // off (diagrams: only when the user asks)
constexpr int kStorageIndexed = 1;   // a new file with the next free index each time
constexpr int kStorageConstant = 2;  // always the same file name

constexpr int kHeaderTextCount = 3;

struct CDocumentationSettings {
    std::array<CString, kStorageKindCount> directory;
    std::array<CString, kStorageKindCount> prefix{"Messwerte", "IO_NIO", "Diagramm"};
    std::array<int, kStorageKindCount> storageMode{kStorageOff, kStorageOff, kStorageOff};
    // The master switch of automatic storage; the modes count only while it is on.
    int autoStorage = 0;
    Separators separators{';', ','};
    std::array<CString, kHeaderTextCount> headerText;

    // Reads the section "Documentation"; missing or invalid entries keep their defaults
    // (folders default to the user's home folder).
    void Load();
    void Save() const;
};

// The mode that counts for a kind: the stored mode while automatic storage is on, else off.
int EffectiveStorageMode(const CDocumentationSettings& settings, int kind);

// The measurement's two times, seconds since 1970.
struct MeasurementTimes {
    std::int64_t firstRecord = 0;  // 0 until the first record of the measurement arrived
    std::int64_t end = 0;          // set when a running stream broke
};

}  // namespace documentation
