#include "documentation/delimited_table.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>

#include "platform/codepage.h"

namespace documentation {

namespace {

constexpr std::string_view kNotAvailable = "n.a.";

bool NeedsQuotes(std::string_view text, char separator)
{
    for (char ch : text)
        if (ch == separator || ch == '"' || ch == '\r' || ch == '\n') return true;
    return false;
}

}  // namespace

void CDelimitedTableWriter::BeginField()
{
    if (m_fieldsInLine++ > 0) m_buffer.push_back(m_sep.field);
}

void CDelimitedTableWriter::AppendText(std::string_view text)
{
    BeginField();
    if (!NeedsQuotes(text, m_sep.field)) {
        m_buffer.append(text);
        return;
    }
    m_buffer.push_back('"');
    for (char ch : text) {
        if (ch == '"') m_buffer.push_back('"');
        m_buffer.push_back(ch);
    }
    m_buffer.push_back('"');
}

void CDelimitedTableWriter::AppendNumber(double value, int decimals)
{
    BeginField();
    if (!std::isfinite(value)) {
        m_buffer.append(kNotAvailable);
        return;
    }
    if (decimals < 0) decimals = 0;
    if (decimals > 15) decimals = 15;
    static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (decimals <= 9 && std::fabs(value) * kPow10[decimals] < 9e15) {
        // The usual case, measured values of a few digits: one rounding to an integer of
        // scaled units, then its digits with the separator put in.
        long long scaled = std::llround(value * kPow10[decimals]);
        if (scaled < 0) {
            m_buffer.push_back('-');
            scaled = -scaled;
        }
        char digits[24];
        char* end = std::to_chars(digits, digits + sizeof digits, scaled).ptr;
        int length = static_cast<int>(end - digits);
        if (length <= decimals) {  // below one: leading zeros
            m_buffer.push_back('0');
            m_buffer.push_back(m_sep.decimal);
            m_buffer.append(static_cast<std::size_t>(decimals - length), '0');
            m_buffer.append(digits, end);
            return;
        }
        m_buffer.append(digits, static_cast<std::size_t>(length - decimals));
        if (decimals > 0) {
            m_buffer.push_back(m_sep.decimal);
            m_buffer.append(end - decimals, end);
        }
        return;
    }
    char digits[400];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        m_buffer.append(kNotAvailable);
        return;
    }
    m_buffer.append(digits, result.ptr);
    if (decimals > 0 && m_sep.decimal != '.') {
        // The point is the only one in the number, decimals + 1 characters from its end.
        m_buffer[m_buffer.size() - static_cast<std::size_t>(decimals) - 1] = m_sep.decimal;
    }
}

void CDelimitedTableWriter::EndLine()
{
    m_buffer.append("\r\n");
    m_fieldsInLine = 0;
}

bool CDelimitedTableReader::Parse(std::string_view bytes)
{
    m_records.clear();
    m_error.Empty();
    std::vector<std::string> record;
    std::string field;
    bool inField = false;       // the current field has content or was quoted
    bool afterSeparator = false;  // a separator promised one more field in this record
    auto endRecord = [&] {
        if (inField || afterSeparator) record.push_back(std::move(field));
        m_records.push_back(std::move(record));
        record.clear();
        field.clear();
        inField = afterSeparator = false;
    };
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    while (i < n) {
        const char ch = bytes[i];
        if (ch == '"' && !inField) {
            // A quoted field: up to the lone closing quote.
            std::size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                if (bytes[j] == '"') {
                    if (j + 1 < n && bytes[j + 1] == '"') {
                        field.push_back('"');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                field.push_back(bytes[j++]);
            }
            if (!closed) {
                m_error.Format("A quoted field that begins at byte %zu never ends.", i);
                return false;
            }
            inField = true;
            i = j;
            continue;
        }
        if (ch == m_sep.field) {
            record.push_back(std::move(field));
            field.clear();
            inField = false;
            afterSeparator = true;
            ++i;
            continue;
        }
        if (ch == '\r' || ch == '\n') {
            endRecord();
            i += (ch == '\r' && i + 1 < n && bytes[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        field.push_back(ch);
        inField = true;
        ++i;
    }
    if (inField || afterSeparator || !record.empty()) endRecord();
    return true;
}

bool CDelimitedTableReader::ReadFile(const CString& fileName)
{
    std::ifstream in(platform::ToFileSystemPath(fileName), std::ios::binary);
    if (!in) {
        m_records.clear();
        m_error = "The file " + fileName + " cannot be opened for reading.";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return Parse(bytes.str());
}

bool CDelimitedTableReader::ToNumber(std::string_view field, double& value) const
{
    if (field.empty() || field == kNotAvailable) return false;
    std::string text(field);
    if (m_sep.decimal != '.') {
        for (char& ch : text) {
            if (ch == '.') return false;  // a point is no decimal separator here
            if (ch == m_sep.decimal) ch = '.';
        }
    }
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const bool plus = *first == '+';
    if (plus) ++first;
    // Digits after at most one sign: the parser would also take "inf" and "nan", which no
    // table of the system holds as a number (it writes "n.a." for them).
    const char* digits = !plus && *first == '-' ? first + 1 : first;
    if (digits == last || !(std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.')) return false;
    const auto result = std::from_chars(first, last, value, std::chars_format::fixed);
    return result.ec == std::errc() && result.ptr == last;
}

}  // namespace documentation
