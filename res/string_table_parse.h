#pragma once
// Parsing of the string-table files (UTF-8, one row per German id:
// id<TAB>German<TAB>English<TAB>French<TAB>Spanish, '#' starts a comment line, "\t", "\n"
// and "\\" are escapes).

#include <array>
#include <map>
#include <string_view>
#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

namespace km3_res {

struct ParsedTable {
    // German id -> the four texts in Windows-1252.
    std::map<UINT, std::array<CString, 4>> rows;
    std::vector<CString> problems;
};

// Adds the rows of one file to table; fileName only names the place of a problem.
void ParseStringFile(std::string_view fileName, std::string_view utf8, ParsedTable& table);

}  // namespace km3_res
