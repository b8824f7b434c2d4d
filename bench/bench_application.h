#pragma once
// The application of a benchmark of the whole program: without a display it runs offscreen on
// a screen of a common desktop's size (the offscreen platform's own is 800 x 600, where the
// diagram pane leaves four Y axes no plot); it is named and keeps numbers as the program does,
// and the benchmark's output goes out line by line.

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>

#include "app/startup.h"

namespace bench {

class BenchApplication {
public:
    BenchApplication(int& argc, char** argv)
    {
        UseDesktopSizedOffscreenScreen();
        m_application = std::make_unique<QApplication>(argc, argv);
        app::NameApplicationAndKeepCNumbers();
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
    }

private:
    void UseDesktopSizedOffscreenScreen()
    {
        const char* platform = std::getenv("QT_QPA_PLATFORM");
        const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
        if (platform ? std::string(platform) != "offscreen" : display) return;
        const QString path = m_screenFolder.path() + "/screen.json";
        std::ofstream(path.toStdString()) << R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1920, )"
                                             R"("height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path.toStdString()).c_str(), 1);
    }

    QTemporaryDir m_screenFolder;
    std::unique_ptr<QApplication> m_application;
};

// A benchmark's option `--name=N`: a whole number of at least `least`.
struct NumberOption {
    const char* name;
    int& value;
    int least;
};

// Reads the command line's options into their values; false on any other argument or a number
// below its least (the caller then prints its usage).
inline bool ParseNumberOptions(int argc, char** argv, std::initializer_list<NumberOption> options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto eq = arg.find('=');
        if (eq == std::string::npos) return false;
        const int value = std::atoi(arg.c_str() + eq + 1);
        bool taken = false;
        for (const NumberOption& option : options) {
            if (arg.compare(0, eq, option.name) != 0 || value < option.least) continue;
            option.value = value;
            taken = true;
        }
        if (!taken) return false;
    }
    return true;
}

}  // namespace bench
