#include "res/string_table_parse.h"

#include <charconv>

#include "platform/codepage.h"

namespace km3_res {
namespace {

CString Unescape(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\\' && i + 1 < utf8.size()) {
            const char next = utf8[i + 1];
            if (next == 't') { out.push_back('\t'); ++i; continue; }
            if (next == 'n') { out.push_back('\n'); ++i; continue; }
            if (next == '\\') { out.push_back('\\'); ++i; continue; }
        }
        out.push_back(c);
    }
    return CString(platform::Utf8ToCp1252(out));
}

std::vector<std::string_view> SplitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

}  // namespace

void ParseStringFile(std::string_view fileName, std::string_view utf8, ParsedTable& table)
{
    auto problem = [&](int lineNumber, const char* what, std::string_view detail) {
        CString text;
        text.Format("%.*s:%d: %s", static_cast<int>(fileName.size()), fileName.data(), lineNumber, what);
        if (!detail.empty()) text.AppendFormat(" (%.*s)", static_cast<int>(detail.size()), detail.data());
        table.problems.push_back(text);
    };
    if (utf8.size() >= 3 && utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < utf8.size()) {
        std::size_t end = utf8.find('\n', start);
        if (end == std::string_view::npos) end = utf8.size();
        std::string_view line = utf8.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string_view> fields = SplitTabs(line);
        if (fields.size() != 5) {
            problem(lineNumber, "a row needs an id and four texts separated by tabs", line.substr(0, 40));
            continue;
        }
        UINT id = 0;
        const auto [rest, error] = std::from_chars(fields[0].data(), fields[0].data() + fields[0].size(), id);
        if (error != std::errc() || rest != fields[0].data() + fields[0].size()) {
            problem(lineNumber, "the id is not a whole number", fields[0]);
            continue;
        }
        if (table.rows.count(id) != 0) {
            problem(lineNumber, "the id is already in the table", fields[0]);
            continue;
        }
        std::array<CString, 4> texts;
        for (int language = 0; language < 4; ++language)
            texts[static_cast<std::size_t>(language)] = Unescape(fields[static_cast<std::size_t>(language) + 1]);
        table.rows.emplace(id, std::move(texts));
    }
}

}  // namespace km3_res
