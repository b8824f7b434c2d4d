// Feeds arbitrary bytes to the delimited table reader, and writes what it read back with the
// writer and reads it again: a table of any content must be read or refused without reading
// out of bounds, and every table the writer writes must read back field by field, its numbers
// as the numbers written.
//
// Input: byte 0 the field separator, byte 1 the decimal separator, then the table. When the
// two are a pair the documentation accepts, the records read are written back (each field as
// text, and each field that reads as a number once more as a number with the decimals it was
// written with) and read again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "documentation/delimited_table.h"
#include "documentation/separators.h"

namespace {

using documentation::CDelimitedTableReader;
using documentation::CDelimitedTableWriter;
using documentation::Separators;

// The decimals of a number text: the digits after the decimal separator.
int DecimalsOf(const std::string& text, char decimal)
{
    const std::size_t at = text.find(decimal);
    return at == std::string::npos ? 0 : static_cast<int>(text.size() - at - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const Separators separators{static_cast<char>(data[0]), static_cast<char>(data[1])};
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    CDelimitedTableReader reader(separators);
    if (!reader.Parse(bytes)) return 0;
    if (documentation::CheckSeparators(separators) != documentation::SeparatorProblem::None) return 0;

    // Write back: the text of each field, then the numbers among them once more.
    CDelimitedTableWriter writer(separators);
    std::vector<double> numbers;
    for (const auto& record : reader.Records()) {
        // A line with one empty field and a line without fields are both written as an empty
        // line; the writer never writes the first.
        if (record.size() == 1 && record[0].empty()) continue;
        for (const std::string& field : record) writer.AppendText(field);
        for (const std::string& field : record) {
            double value = 0.0;
            const int decimals = DecimalsOf(field, separators.decimal);
            if (reader.ToNumber(field, value) && decimals <= 15) {
                writer.AppendNumber(value, decimals);
                numbers.push_back(value);
            }
        }
        writer.EndLine();
    }
    CDelimitedTableReader again(separators);
    if (!again.Parse(writer.Buffer())) std::abort();
    std::size_t number = 0;
    std::size_t line = 0;
    for (const auto& record : reader.Records()) {
        if (record.size() == 1 && record[0].empty()) continue;
        const auto& read = again.Records().at(line++);
        if (read.size() < record.size()) std::abort();
        for (std::size_t i = 0; i < record.size(); ++i)
            if (read[i] != record[i]) std::abort();
        for (std::size_t i = record.size(); i < read.size(); ++i) {
            double value = 0.0;
            const double written = numbers.at(number++);
            if (!again.ToNumber(read[i], value)) std::abort();
            // The text had exactly these decimals: written back, the same value within them.
            if (std::fabs(value - written) > std::fabs(written) * 1e-12 + 1e-15 &&
                std::fabs(value - written) > 0.5 * std::pow(10.0, -DecimalsOf(read[i], separators.decimal)))
                std::abort();
        }
    }
    if (line != again.Records().size() || number != numbers.size()) std::abort();
    return 0;
}
