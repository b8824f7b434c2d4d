#pragma once
// Without a display the benchmarks of the whole application run offscreen on a screen of a
// common desktop's size (the offscreen platform's own is 800 x 600, where the diagram pane
// leaves four Y axes no plot).

#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <string>

namespace bench {

inline void UseDesktopSizedOffscreenScreen(QTemporaryDir& folder)
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (platform ? std::string(platform) != "offscreen" : display) return;
    const QString path = folder.path() + "/screen.json";
    std::ofstream(path.toStdString()) << R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, )"
                                         R"("height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path.toStdString()).c_str(), 1);
}

}  // namespace bench
