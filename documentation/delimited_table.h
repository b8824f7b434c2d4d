#pragma once
// The delimited text tables that measured values, pass/fail results and exported curves are
// stored in: one record per line, fields split by a chosen separator, numbers written with a
// chosen decimal separator. Text fields that hold the separator, a quote or a line break are
// quoted ("..." with doubled quotes inside), so every table reads back field by field.
//
// Text is Windows-1252 bytes like every other text of the system; lines end in "\r\n" so that
// the spreadsheet programs of the test bench read the files as they always did.

#include <string>
#include <string_view>
#include <vector>

#include "platform/cstring.h"

namespace documentation {

struct Separators {
    char field = '\t';
    char decimal = ',';
};

// Builds lines into a byte buffer; the caller hands the buffer to a file in whole lines.
class CDelimitedTableWriter {
public:
    explicit CDelimitedTableWriter(Separators separators) : m_sep(separators) {}

    void AppendText(std::string_view text);
    // A number in fixed notation with the given decimals (0 to 15); "n.a." for values that are
    // not finite, as everywhere else in the system.
    void AppendNumber(double value, int decimals);
    void EndLine();

    const std::string& Buffer() const { return m_buffer; }
    std::string& Buffer() { return m_buffer; }
    std::size_t Size() const { return m_buffer.size(); }
    void Clear() { m_buffer.clear(); m_fieldsInLine = 0; }

private:
    void BeginField();

    Separators m_sep;
    std::string m_buffer;
    int m_fieldsInLine = 0;
};

// Reads a table back. Empty lines are kept as records without fields.
class CDelimitedTableReader {
public:
    explicit CDelimitedTableReader(Separators separators) : m_sep(separators) {}

    // Splits the bytes into records; false (with the reason in Error()) when a quoted field
    // never ends.
    bool Parse(std::string_view bytes);
    // Reads and parses a whole file; false with the reason when it cannot be read.
    bool ReadFile(const CString& fileName);

    const std::vector<std::vector<std::string>>& Records() const { return m_records; }
    const CString& Error() const { return m_error; }

    // A field as a number written with the decimal separator; false when it is none (also for
    // "n.a.").
    bool ToNumber(std::string_view field, double& value) const;

private:
    Separators m_sep;
    std::vector<std::vector<std::string>> m_records;
    CString m_error;
};

}  // namespace documentation
