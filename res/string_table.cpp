#include "res/string_table.h"

#include <atomic>
#include <unordered_map>

#include "res/string_table_data.h"
#include "res/string_table_parse.h"

namespace km3_res {
namespace {

struct Table {
    ParsedTable parsed;
    // Flat ids (German id + language offset) -> text, the way the texts are asked for.
    std::unordered_map<UINT, CString> byId;
};

Table BuildTable()
{
    Table table;
    for (const km3_res_data::StringFile* file = km3_res_data::kFiles; file->name != nullptr; ++file)
        ParseStringFile(file->name,
                        std::string_view(reinterpret_cast<const char*>(file->bytes), file->size), table.parsed);
    for (const auto& [germanId, texts] : table.parsed.rows) {
        for (int language = 0; language < kLanguageCount; ++language) {
            const UINT id = germanId + static_cast<UINT>(language * kLanguageStep);
            if (!table.byId.emplace(id, texts[static_cast<std::size_t>(language)]).second) {
                CString text;
                text.Format("id %u: its text in language %d collides with another row's id", germanId, language);
                table.parsed.problems.push_back(text);
            }
        }
    }
    return table;
}

const Table& TheTable()
{
    static const Table table = BuildTable();  // parsed once, thread-safe
    return table;
}

std::atomic<int> g_languageOffset{0};

}  // namespace

const CString* Find(UINT id)
{
    const Table& table = TheTable();
    const auto it = table.byId.find(id);
    return it == table.byId.end() ? nullptr : &it->second;
}

std::vector<UINT> GermanIds()
{
    std::vector<UINT> ids;
    for (const auto& row : TheTable().parsed.rows) ids.push_back(row.first);
    return ids;
}

std::vector<CString> TableProblems()
{
    return TheTable().parsed.problems;
}

}  // namespace km3_res

CString LoadLangString(UINT germanId)
{
    const CString* stored = km3_res::Find(germanId + static_cast<UINT>(GetLanguage()));
    if (stored == nullptr) return "@";
    CString text = *stored;
    if (text.Find('@') >= 0) text += ' ';
    return text;
}

int GetLanguage()
{
    return km3_res::g_languageOffset.load();
}

const char* CurrentLanguageCode()
{
    static constexpr const char* kCodes[km3_res::kLanguageCount] = {"de", "en", "fr", "es"};
    const int index = GetLanguage() / km3_res::kLanguageStep;
    return index >= 0 && index < km3_res::kLanguageCount ? kCodes[index] : kCodes[0];
}

void SetLanguage(int offset)
{
    if (offset == 0 || offset == 1000 || offset == 2000 || offset == 3000) km3_res::g_languageOffset.store(offset);
}
