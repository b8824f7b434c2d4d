#pragma once
// Start-up and the run of the program, in this order: a restarted instance waits for its
// predecessor; the settings file is checked (damaged, other version); the main frame is
// created (settings, application-data folder, status bar, bars, clock, menu in the language)
// and shown; the message loop runs; SIGTERM closes the frame the same way as its close box.

#include <functional>

class CMainFrame;

namespace app {

// How long "--Restart" waits for the previous instance, in milliseconds.
constexpr int kRestartWaitMs = 20000;

// Names the application (its settings and data folders follow the name) and keeps numbers in
// the C locale; called right after the QApplication is made, by the program and by the tests
// and benchmarks that run the whole application.
void NameApplicationAndKeepCNumbers();

struct SettingsStart;

// Tells the user once, in a message box and the status bar, that the settings file was damaged
// or of another version: which copy of it was put aside and what was kept. Nothing for a file
// that was taken over.
void TellOfSettingsSetAside(const SettingsStart& settings, CMainFrame& frame);

// afterShow runs once the main window has been shown (the start-up probe measures with it).
int RunApplication(int argc, char** argv, const std::function<void(CMainFrame&)>& afterShow = {});

}  // namespace app
