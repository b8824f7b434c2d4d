#pragma once
// CMainFrame: the main window. It owns the one workflow controller and the configuration write
// sequencer, the page area (CKm3View), the menu, the navigation tree, the docking bars and the
// status bar; it keeps the run-time state that pages and views share (the frame fields), the
// registry of pages and views, the settings, and the one dispatch of its timers and messages.
//
// The frame is split by job into main_frame_*.cpp files:
//   main_frame.cpp             construction, menu, tree, bars, status bar, language switch
//   main_frame_timers.cpp      OnTimer and the message entry (ports, registrations, close)
//   main_frame_workflow.cpp    what the workflow controller asks of the frame
//   main_frame_operations.cpp  the operations the pages call (triggers, channels, modes, bars)
//   main_frame_settings.cpp    settings, window placement and bar state
//   main_frame_close.cpp       the orderly shut-down
// A subsystem that wires itself in adds main_frame_<folder>.cpp, fills its hooks (FrameHooks)
// there and adds its lines in its own section below.

#include <QMainWindow>
#include <QRect>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "environment/frame_registration.h"
#include "platform/cstring.h"
#include "measurement/trigger_evaluation.h"
#include "platform/wnd.h"
#include "workflow/com_port.h"
#include "workflow/config_write_sequencer.h"
#include "workflow/workflow_peers.h"

class CKm3View;
class QDockWidget;
class QLabel;
class QMenu;
class QAction;
class QTreeWidget;
class QTreeWidgetItem;

namespace sensor_admin {
struct SensorAdminPages;
}

namespace platform {
class QtTranslations;
}

namespace app {
class AboutWindow;
class DocumentationWiring;
class ViewsWiring;
class DiagramRoomKeeper;
}

namespace views {
struct DisplayTable;
}

// The docking bars of the main window.
enum FrameBar : int { kBarNavigation = 0, kBarChannelViews = 1, kBarStatusLight = 2, kBarCount = 3 };

// The frame's own timer ids (the workflow's step timers are < 100).
constexpr UINT_PTR kTimerActivationCheck = 25;
constexpr UINT_PTR kTimerClock = 100;           // the status bar's time, date and weekday
constexpr UINT_PTR kTimerCloseWriteLimit = 101;  // a configuration write before closing gives up
constexpr UINT_PTR kTimerWriteWhenIdle = 102;     // a pending configuration write waits for the controller
// Posted to itself at the end of the frame's creation: the pages have registered by then.
constexpr UINT kMsgStartupDone = kMsgRegisterWithFrame + 1;

// Work that belongs to a higher subsystem: the frame keeps the entry point and calls the hook
// when the subsystem has filled it (in its main_frame_<folder>.cpp); an empty hook does nothing.
struct FrameHooks {
    // ---- views ----
    std::function<void(int mode)> configureMovingAverages;
    std::function<void()> resetMovingAverages;
    std::function<void(int sensor, int mode, const CSensorRecord* record)> updateDisplayValues;
    std::function<void(int sensor)> storeSensorDisplayValue;
    std::function<void(int reason)> refreshChannelViews;
    std::function<void(int index)> onChannelView;
    // The registered views show again what they hold.
    std::function<void(int which)> scanViewListItems;
    std::function<workflow::DisplayChannelEntry*(int channel)> displayEntry;
    std::function<workflow::DisplaySlotRecord*(int slot)> displaySlot;
    // ---- measurement ----
    std::function<void(int sensor)> setSensorTriggerFlags;
    // The set-up page's trigger modes into the frame's trigger fields.
    std::function<void()> storeTriggerModes;
    std::function<void()> stopMeasurement;
    // A sensor's configuration has been read: the set-up page refreshes from the sensors.
    std::function<void()> sensorConfigurationRead;
    // The set-up page's refresh for sensors read a moment ago, done now if it is still due.
    std::function<void()> refreshSetupIfDue;
    // At shut-down: the set-up page's add-on paths and the sensor used last into the profile.
    std::function<void()> writeProfileValues;
    // The set-up page's software-configuration writes that wait for a measurement's end; and
    // writing them at once, then `done`.
    std::function<bool()> hasPostponedWrites;
    std::function<void(std::function<void()> done)> writePostponedNow;
    // ---- documentation ----
    std::function<void(const CSensorRecord& sensor, const CString& title, const CString& body)> writeLogFile;
    std::function<void()> stopPacingThread;
    // ---- sensor administration ----
    std::function<void()> startUpSearch;
    std::function<void()> activationCheck;  // timer 25, armed by StartActivationCheck
};

// The fields of the frame that the measurement pages, the views and the trigger evaluation read
// and write.
struct FrameMeasureFields {
    int measureRateIndex = 6;        // 0 to 19
    int averagingCount = 1;          // 1 to 9999
    int measuredChannelCount = 0;
    int measuringSeconds = 0;
    double startTriggerThreshold = 0.0;
    double stopTriggerThreshold = 0.0;
    int startTriggerSensor = 0;      // 1 to 6, 0 none
    int stopTriggerSensor = 0;
    int stopMode = 7;                // 7 duration, 8 count
    int valuesPerSet = 0;            // storage limit
    BYTE suppressReload = 0;         // pages skip their reload when shown while set
    struct PowerSettings {
        int unit = 0;
        std::array<int, 3> options{};
    };
    std::array<PowerSettings, 2> power{};
    // Per channel A, B, C, D, P1, P2: 1 measured and shown, 2 not, 3 absent. Until the user
    // chooses, a sensor's channels A and B count as chosen: the set-up page shows them ticked
    // and a configuration write does not mark channel A absent in the sensor.
    std::array<int, 6> channelState{1, 0, 3, 3, 3, 3};
    int evaluationKind = 0;
    BYTE commonFilter = 0;
    std::array<BYTE, 6> channelFlag{};
    std::array<BYTE, 6> channelSelection{};
    int firstSelectedChannel = -1;
    int displayMode = 0;             // 1 and 3 split the view
    WORD measureMode = 0;            // 0 none, 1 channel A, 2 channel B, 3 and 4 both
    BYTE layoutPending = 0;
    BYTE shuttingDown = 0;
    BYTE triggerCycle = 0, waitingForStart = 0, startPending = 0, protocolError = 0, multiportGap = 0;
    int stopReason = 0;
    BYTE closePending = 0, closeAfterWrite = 0;
    BYTE measurementEnded = 0;       // measuring time reached or stop trigger fired
    BYTE endRequest = 0;
    BYTE dataReceived = 0, rawRequest = 0;
    BYTE triggerPressed = 0, triggerEvaluation = 0, streamTimeout = 0, triggerStarted = 0;
    BYTE drained = 0;
    BYTE reconnectRequested = 0;
    BYTE bytesReceived = 0;
    double angleReference = 0.0;
    std::array<double, 2> angleOffset{};
    std::array<BYTE, 2> angleZeroOption{};
    // The add-on programs' parts, kept through a settings reset ("DespiteReset").
    CString startAddProgramPart, stopAddProgramPart;
    struct ChannelSetup {
        std::vector<double> userFactors;
        int selectedFactor = 0;
        std::vector<CString> unitNames;
        double countsToUnit = 1.0;
        int nominalCounts = 0;
    };
    std::array<ChannelSetup, 6> channelSetup{};
    // The trigger fields: the control panel arms and evaluates them, the set-up page's channel
    // selection names their reference channel.
    measurement::TriggerState triggers;
};

class CMainFrame : public QMainWindow, public CWnd, public workflow::IWorkflowFrame {
public:
    // The port factory reaches the sensors: the port library in the program, simulated sensors
    // in tests. null: the port library.
    explicit CMainFrame(workflow::ISensorPortFactory* ports = nullptr, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // ==== Shell ===============================================================================
    CComPort& Com() { return m_com; }
    FrameHooks& Hooks() { return m_hooks; }
    FrameMeasureFields& Fields() { return m_fields; }
    QTreeWidget& NavigationTree() { return *m_tree; }
    QDockWidget& Bar(FrameBar bar) { return *m_bars[static_cast<std::size_t>(bar)]; }
    QLabel& StatusPane(int pane) { return *m_statusPanes[static_cast<std::size_t>(pane)]; }

    // The current language offset; SwitchLanguage relabels everything that shows text.
    static int GetLanguage();
    void SwitchLanguage(int offset);
    void ShowPage(int pageIndex);
    void ShowAbout();

    // ==== Registered pages and views =========================================================
    void* Registered(FrameObjectKind kind) const { return m_registered[static_cast<std::size_t>(kind)]; }
    template <class T>
    T* RegisteredAs(FrameObjectKind kind) const { return static_cast<T*>(Registered(kind)); }
    // What the registration message does; pages post it, the start-up search calls it directly.
    void RegisterObject(FrameObjectKind kind, void* address);
    BYTE m_bStartupPending = 1;  // cleared when the views have registered

    // ==== Operations of the pages =============================================================
    void SetSensorTriggerFlags(int sensor) override;
    void StoreTriggerModes();
    void UpdateTriggerFlags();
    void SetChannelFlag(int index, BYTE value = 1);
    void SetChannelSelection(const BYTE selection[6]);
    void SetDisplayMode(int mode);
    void SetMeasureMode(WORD mode);
    void ShowBar(FrameBar bar, bool show, bool delay = false);
    void SetStatusText(UINT textId);
    void SetStatusMessage(const CString& text);
    int GetActiveViewKind() const;
    void OnChannelView(int index);
    bool HandleKeyMessage(int virtualKey, bool keyDown);
    void ScanViewListItems(int which);
    void LayoutViews(int layout);
    void ResetMovingAverages();
    // The settings are reset at the next shut-down.
    void RequestSettingsReset() { m_bResetRequested = true; }
    // The set-up page has settings that are written into the sensors before closing; a write
    // that the sensors confirm clears the mark.
    void SetConfigWritePending(bool pending)
    {
        // The set-up is made for every sensor connected while the user changes it.
        if (pending) m_nPendingSetupPorts = std::max(m_bConfigWritePending ? m_nPendingSetupPorts : 0, m_com.m_nCountActivePorts);
        // A change made while the write runs (before a search, say) is not in what it wrote.
        if (pending && m_bConfigWriting) m_bSetupChangedWhileWriting = true;
        m_bConfigWritePending = pending;
    }
    bool IsConfigWritePending() const { return m_bConfigWritePending; }
    // For a sensor found again after it was lost with the write pending: the write starts as
    // soon as the controller rests (no connection step, answer or measurement under way).
    void WritePendingConfigToReturnedSensor();

    // ==== What the workflow controller asks of the frame (IWorkflowFrame) =====================
    CWnd& StepWindow() override { return *this; }
    void BeginWaitCursorOnce() override;
    void EndWaitCursorOnce() override;
    void LoadWindowPlacement() override;
    void SetWaitForReconnect(bool wait) override;
    bool IsWaitingForReconnect() const override { return m_bWaitForReconnect; }
    void UpdateDisplayValues(int sensor, int mode, const CSensorRecord* record) override;
    void StoreSensorDisplayValue(int sensor) override;
    void ConfigureMovingAverages(int mode) override;
    workflow::DisplayChannelEntry* DisplayEntry(int channel) override;
    workflow::DisplaySlotRecord* DisplaySlot(int slot) override;
    int LogSwitch() const override { return m_nWriteLogFile; }
    void WriteLogFile(const CSensorRecord& sensor, const CString& title, const CString& body) override;
    void StartActivationCheck() override;
    int MeasureRateIndex() const override { return m_fields.measureRateIndex; }
    int RateReduction() const override { return m_fields.averagingCount > 1 ? m_fields.averagingCount : 1; }
    void ClearTriggerPressed() override { m_fields.triggerPressed = 0; }
    void ClearTriggerEvaluation() override { m_fields.triggerEvaluation = 0; }
    void ClearStreamTimeoutMark() override { m_fields.streamTimeout = 0; }
    void HideSensorPages() override;
    void MinimiseMainWindow() override;
    void ExitApplication(int exitCode) override;
    void SetSensorConnectedFlag() override
    {
        m_bSensorConnected = 1;
        m_nConnectedSerial = m_com.m_Sensor[0].m_sStatorHeader.nSerialNo;
        SensorConfigurationRead();
    }
    void SensorConfigurationRead() override
    {
        if (m_hooks.sensorConfigurationRead) m_hooks.sensorConfigurationRead();
    }
    bool IsSensorConnected() const override { return m_bSensorConnected != 0; }
    // A sensor lost with the write pending gets the write when it is found again; one the user
    // disconnected gets it at the close or the next search, as before.
    void ClearSensorConnectedFlag(bool lost) override
    {
        m_bSensorConnected = 0;
        if (lost && m_bConfigWritePending) m_nLostBeforeWrite = m_nConnectedSerial;
    }
    void RefreshChannelViews(int reason) override;
    bool IsMeasurementEnded() const override { return m_fields.measurementEnded != 0; }
    bool IsDrained() const override { return m_fields.drained != 0; }
    void SetDrained(bool on) override { m_fields.drained = on ? 1 : 0; }
    bool IsTriggerStarted() const override { return m_fields.triggerStarted != 0; }
    void SetAngleOffsetsZero() override { m_fields.angleOffset = {0.0, 0.0}; }
    // A connect request starts the measurement display afresh: no end marker or end request of
    // an earlier measurement survives it.
    void ClearMeasurementDisplayFlags() override
    {
        m_fields.measurementEnded = 0;
        m_fields.endRequest = 0;
    }
    void ResetCalibRings() override;
    void AddCalibValue(int ring, double value) override;
    bool GetCalibAverage(int ring, double& mean) const override;
    bool IsChannelViewVisible(int channel) const override;
    bool IsChannelInDiagram(int channel) const override;
    bool StoreSettingsBeforePortsClose(std::function<void()> then) override;
    void StopRunningMeasurement() override;
    void MeasurementEndsWithPorts() override;
    bool IsShuttingDown() const override { return m_fields.shuttingDown != 0; }
    void ShowSensorRestarting(bool restarting) override;
    BYTE m_bSensorConnected = 0;
    BYTE m_bWaitCursorShown = 0;
    int m_nWriteLogFile = 1;  // the profile's "WriteLogFile": 1 = per-sensor log off
    // Per channel: shown in its view / drawn in the diagram (the rotor operation block's bits).
    std::array<bool, 6> m_channelViewVisible{};
    std::array<bool, 6> m_channelInDiagram{};

    // ==== Settings and shut-down ==============================================================
    // Reads the frame's settings (language, log switch, placement, bars); at start-up.
    void LoadSettings();
    // Writes them; false (and the user is told) when the file could not be written.
    bool SaveSettings();
    // The closing has passed every step and the window is gone.
    bool IsClosed() const { return m_bClosed; }
    int ExitCode() const { return m_exitCode; }
    // Ends the program from outside (SIGTERM): the same road as the window's close box.
    void RequestClose();

    // ==== views (added by the views helper) ====
    // The display tables, the new-values entry and the views in their bars (main_frame_views.cpp).
    void InstallViews();
    app::ViewsWiring* Views();
    views::DisplayTable* DisplayTable(int channel);
    std::shared_ptr<app::ViewsWiring> m_views;

    // ==== measurement (added by the measurement helper) ====
    // The set-up of a channel as its display table and sensor record give it now, into
    // Fields().channelSetup (main_frame_measurement_control.cpp).
    void StoreChannelSetup(int channel);

    // ==== documentation (added by the documentation helper) ====
    // Per-sensor logs and the documenting of measurements (main_frame_documentation.cpp).
    void InstallDocumentation();
    app::DocumentationWiring& Documentation();
    void OpenMeasValueFiles(int reserved);
    void CollectSample(const double* values, int count);
    void FinishMeasurement();
    void FreeConvertList();
    std::shared_ptr<app::DocumentationWiring> m_documentation;

    // ==== sensor administration (added by the sensor administration helper) ====
    // The connection, start-up, information, calibration and diagnostic pages, made with the
    // frame and registered as the controller's peers (main_frame_sensor_admin.cpp).
    void InstallSensorAdmin();
    sensor_admin::SensorAdminPages* SensorAdmin();
    // The calibration page works on one sensor of the connection alone until it gives it back.
    bool AreSensorsTakenApart();
    std::shared_ptr<sensor_admin::SensorAdminPages> m_sensorAdmin;

protected:
    void OnTimer(UINT_PTR id) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenu();
    void BuildNavigationTree();
    void BuildBars();
    void BuildStatusBar();
    void LoadLanguageTexts();
    void RunCommand(int menu, int entry);
    void RefreshClock();
    // The navigation tree marks the page shown.
    void MarkPageInTree(int pageIndex);
    void UpdatePeers();
    // The close steps; true when the window may go now.
    bool PrepareClose();
    void FinishClose();
    // The set-up changes are due to be written into the connected sensors: by the write
    // sequence, and the page's writes that a measurement held back.
    bool IsConfigWriteDue() const;
    bool ArePostponedWritesDue() const;
    bool CanWriteConfig() const;
    // The held-back writes first, then the write sequence when it is due.
    void StartConfigWrite();
    void StartWriteSequence();
    // The configuration write has ended (timer 49, or its limit): the close, or what waited for
    // the write, goes on.
    void EndConfigWrite(bool timedOut);
    void SaveBarState();
    // False when no state was stored, or one of an older arrangement.
    bool RestoreBarState();
    // The first arrangement for the window's size: the diagram gets what the pages leave.
    void ArrangeBarsForWindow();

    std::unique_ptr<workflow::ISensorPortFactory> m_ownPorts;
    std::unique_ptr<platform::QtTranslations> m_qtTexts;  // Qt's own texts in the language
    CComPort m_com;
    std::unique_ptr<CConfigWriteSequencer> m_sequencer;
    workflow::WorkflowPeers m_peers;
    FrameHooks m_hooks;
    FrameMeasureFields m_fields;
    std::array<void*, kFrameObjectKindCount> m_registered{};

    CKm3View* m_view = nullptr;
    QTreeWidget* m_tree = nullptr;
    std::array<QDockWidget*, kBarCount> m_bars{};
    std::array<QLabel*, 4> m_statusPanes{};  // message, time, date, weekday
    std::vector<QMenu*> m_menus;
    std::vector<std::vector<QAction*>> m_menuActions;
    std::vector<std::pair<QTreeWidgetItem*, std::pair<int, int>>> m_treeItems;
    app::AboutWindow* m_about = nullptr;

    std::array<workflow::DisplayChannelEntry, 6> m_displayEntries{};
    std::array<workflow::DisplaySlotRecord, 4> m_displaySlots{};
    std::array<std::vector<double>, 4> m_calibRings{};

    bool m_bArrangeBarsOnShow = false;  // no stored arrangement: the first show makes one
    int m_storedPageWidth = 0;          // the page column's width kept with the bar state
    int m_storedChannelViewsHeight = 0; // and the channel views' bar's height
    app::DiagramRoomKeeper* m_roomKeeper = nullptr;
    // The normal place of a window that opened filling the screen, while it still fills it: Qt
    // takes the room the window was given for its normal place.
    QRect m_normalPlaceWhileFilled;
    bool m_bWaitForReconnect = false;
    bool m_bResetRequested = false;
    bool m_bConfigWritePending = false;
    int m_nPendingSetupPorts = 0;  // the sensors the pending set-up was made for
    bool m_bConfigWriting = false;
    bool m_bSetupChangedWhileWriting = false;
    DWORD m_nConnectedSerial = 0;  // the sensor (a multiport device's sensors share it) connected last
    DWORD m_nLostBeforeWrite = 0;  // the sensor lost while the write was pending, until it has it
    bool m_bClosing = false;     // a close has started and waits for the configuration write
    bool m_bWritingPostponed = false;  // the held-back writes go out before the write sequence
    std::function<void()> m_afterConfigWrite;  // what waits for the write before the ports close
    bool m_bClosed = false;
    bool m_bSettingsSaved = false;
    int m_exitCode = 0;
    CString m_statusMessage;
    UINT m_statusTextId = 0;  // the string id behind m_statusMessage, 0 for a composed text
    // What the status bar showed before a sensor's restart took it.
    CString m_statusBeforeRestart;
    UINT m_statusIdBeforeRestart = 0;
};
