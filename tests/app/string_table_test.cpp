// The one string table: its files parse cleanly, it answers like the original's string
// resources, and every id the sources ask for has a text in all four languages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <map>

#include "res/string_table.h"
#include "res/string_table_parse.h"

namespace {

struct LanguageGuard {
    ~LanguageGuard() { SetLanguage(0); }
};

TEST(StringTable, FilesAreSoundAndEveryRowHasFourTexts)
{
    for (const CString& problem : km3_res::TableProblems()) ADD_FAILURE() << problem.GetString();
    const std::vector<UINT> ids = km3_res::GermanIds();
    ASSERT_FALSE(ids.empty());
    for (UINT id : ids)
        for (int language = 0; language < 4; ++language)
            EXPECT_NE(km3_res::Find(id + static_cast<UINT>(language * 1000)), nullptr) << id << " language " << language;
}

TEST(StringTable, LanguageOffsetMissingIdsAndTheAtSign)
{
    LanguageGuard guard;
    EXPECT_EQ(LoadLangString(5125), CString("aktiv"));
    SetLanguage(1000);
    EXPECT_EQ(GetLanguage(), 1000);
    EXPECT_EQ(LoadLangString(5125), CString("active"));
    SetLanguage(3000);
    EXPECT_EQ(LoadLangString(5704), CString("jueves"));
    SetLanguage(1234);  // not a language: ignored
    EXPECT_EQ(GetLanguage(), 3000);
    EXPECT_EQ(LoadLangString(4), CString("@"));
    // Windows-1252 in the program, UTF-8 in the file.
    SetLanguage(0);
    EXPECT_EQ(LoadLangString(5126), CString("verf\xFCgbar"));
}

TEST(StringTableParse, EscapesCommentsAndBrokenRowsAreReportedWithTheirPlace)
{
    km3_res::ParsedTable table;
    km3_res::ParseStringFile("x.tsv",
                             "# comment\n"
                             "10\tA\\tB\tline1\\nline2\t@ mail\t\xC3\xA9\r\n"
                             "\n"
                             "11\tonly two\n"
                             "10\tdup\tdup\tdup\tdup\n"
                             "1x\ta\tb\tc\td\n",
                             table);
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[10][0], CString("A\tB"));
    EXPECT_EQ(table.rows[10][1], CString("line1\nline2"));
    EXPECT_EQ(table.rows[10][3], CString("\xE9"));
    ASSERT_EQ(table.problems.size(), 3u);
    EXPECT_NE(table.problems[0].Find("x.tsv:4:"), -1);
    EXPECT_NE(table.problems[1].Find("x.tsv:5:"), -1);
    EXPECT_NE(table.problems[2].Find("x.tsv:6:"), -1);
}

// Every id that the sources hand to the table's readers must be in the table: numbers written
// straight into the call, and the named text constants the folders declare (kText... = id).
TEST(StringTable, EveryIdTheSourcesUseExists)
{
    const char* root = KM3_SOURCE_DIR;
    const std::regex direct(R"((?:LoadLangString|SetLangWindowText\([^,()]*,|LangMessageBox|SetStatusText)\s*\(?\s*(\d{4})\b)");
    const std::regex named(R"(constexpr\s+UINT\s+kText\w*\s*=\s*(\d{4})\s*;(?!\s*//\s*\+))");
    const std::regex base(R"(kText\w*Base\b)");
    const std::regex enumerated(R"(^\s*\w+\s*=\s*(\d{4}),)");  // the chart's text enumeration
    std::map<UINT, std::string> used;  // id -> first file that uses it
    for (auto it = std::filesystem::recursive_directory_iterator(root); it != std::filesystem::recursive_directory_iterator(); ++it) {
        const std::filesystem::path& path = it->path();
        const std::string name = path.filename().string();
        // Build folders, the repository and the tests (which use ids on purpose) are skipped.
        if (it->is_directory() && (name.rfind("build", 0) == 0 || name == ".git" || name == "tests")) {
            it.disable_recursion_pending();
            continue;
        }
        if (path.extension() != ".cpp" && path.extension() != ".h") continue;
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line)) {
            if (std::regex_search(line, base)) continue;  // a base to which a count is added
            for (const std::regex* pattern : {&direct, &named, &enumerated}) {
                if (pattern == &enumerated && path.filename() != "chart_texts.h") continue;
                for (std::sregex_iterator it(line.begin(), line.end(), *pattern), end; it != end; ++it)
                    used.emplace(static_cast<UINT>(std::stoul((*it)[1])), path.filename().string());
            }
        }
    }
    // The walk sees the workflow's named texts and the shell's direct uses.
    ASSERT_EQ(used.count(5125), 1u);
    ASSERT_EQ(used.count(5676), 1u);
    for (const auto& [id, file] : used) {
        std::string missing;
        for (int language = 0; language < 4; ++language)
            if (km3_res::Find(id + static_cast<UINT>(language * 1000)) == nullptr) missing += " " + std::to_string(language * 1000);
        EXPECT_TRUE(missing.empty()) << "id " << id << " used in " << file << " has no text for offsets" << missing;
    }
}

}  // namespace
