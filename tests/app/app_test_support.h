#pragma once
// A fresh settings file, data folder and runtime folder for one test, in a temporary folder;
// and the pages of a window found among its widgets.

#include <QTemporaryDir>
#include <QWidget>

#include <cstdlib>
#include <string>

#include "platform/codepage.h"
#include "platform/profile.h"

namespace app_test {

struct TempProfile {
    QTemporaryDir dir;
    TempProfile()
    {
        const std::string root = dir.path().toStdString();
        setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
    }
    std::string IniPath() const { return platform::ToFileSystemPath(platform::ProfileFilePath()); }
};

// The pages have no meta-object of their own, so findChild cannot tell them from other widgets.
template <class T>
T* FindPage(QWidget& root)
{
    for (QWidget* widget : root.findChildren<QWidget*>())
        if (auto* page = dynamic_cast<T*>(widget)) return page;
    return nullptr;
}

}  // namespace app_test
