#pragma once
// The program's one string table: every user-visible text of every folder, in German, English,
// French and Spanish. A text's id is its German id plus the language offset (0 German,
// 1000 English, 2000 French, 3000 Spanish). The rows live in res/strings/<folder>.tsv and are
// compiled into the program; texts are handed out in Windows-1252 like every text of the system.

#include <vector>

#include "platform/cstring.h"
#include "platform/win_types.h"

// The text of germanId plus the current language offset; "@" when the table has no such text.
// A text that itself holds "@" gets a blank appended, so that it never equals the marker.
CString LoadLangString(UINT germanId);
// The current language offset: 0, 1000, 2000 or 3000.
int GetLanguage();
// Switches the language of every later LoadLangString; other values than the four offsets
// are ignored. Windows reload their texts when the main frame tells them to.
void SetLanguage(int offset);
// The code of the current language ("de", "en", "fr" or "es"), as Qt and locales name it.
const char* CurrentLanguageCode();

namespace km3_res {

constexpr int kLanguageCount = 4;
constexpr int kLanguageStep = 1000;

// The text of one id (German id plus offset) exactly as stored, nullptr when absent. The
// table lives as long as the program, so the pointer stays valid.
const CString* Find(UINT id);
// The German ids of every row, in ascending order.
std::vector<UINT> GermanIds();
// What was wrong with the table files ("app.tsv:12: ..."): duplicate ids, rows without
// four texts, ids that collide across language offsets. Empty for a sound table.
std::vector<CString> TableProblems();

}  // namespace km3_res
