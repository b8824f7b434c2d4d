#include "views/view_texts.h"

#include "res/string_table.h"

namespace views {

CString ViewText(UINT germanId) { return LoadLangString(germanId); }

int ViewLanguage() { return GetLanguage(); }

}  // namespace views
