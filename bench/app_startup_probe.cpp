// Start-up probe: how long from the command to a shown main window. The probe starts itself
// again as the program (--child), which reports on its standard output as soon as the window
// has been shown and painted once, and then closes it. Run by hand:
//     bench_app_startup [runs]        (QT_QPA_PLATFORM=offscreen without a display)
#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "app/main_frame.h"
#include "app/startup.h"

namespace {

int RunChild(int argc, char** argv)
{
    return app::RunApplication(argc, argv, [](CMainFrame& frame) {
        // The first turn of the event loop after show() has laid out and painted the window.
        QTimer::singleShot(0, &frame, [&frame] {
            frame.repaint();
            std::printf("shown\n");
            std::fflush(stdout);
            frame.close();
        });
    });
}

double MeasureOnce(const char* self)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1.0;
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        execl(self, self, "--child", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    char buffer[64];
    const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
    const auto shown = std::chrono::steady_clock::now();
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (got <= 0) return -1.0;
    return std::chrono::duration<double, std::milli>(shown - started).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--child") return RunChild(1, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = MeasureOnce("/proc/self/exe");
        if (ms < 0) {
            std::fprintf(stderr, "run %d: the program did not show its window\n", i);
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("command to shown main window: min %.1f ms, median %.1f ms, max %.1f ms (%d runs; target < 1000 ms)\n",
                times.front(), times[times.size() / 2], times.back(), runs);
    return times[times.size() / 2] < 1000.0 ? 0 : 2;
}
