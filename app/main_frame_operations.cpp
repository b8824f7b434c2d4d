// The operations the pages and views call on the frame.
#include "app/main_frame.h"

#include <QDockWidget>
#include <QLabel>
#include <QTimer>

#include "app/km3_view.h"
#include "platform/qt_text.h"
#include "res/string_table.h"

void CMainFrame::SetSensorTriggerFlags(int sensor)
{
    // Which table entries go into the sensor's software configuration is the set-up's rule.
    if (m_hooks.setSensorTriggerFlags) m_hooks.setSensorTriggerFlags(sensor);
}

void CMainFrame::StoreTriggerModes(WORD startMode, WORD stopMode)
{
    m_fields.triggerModeStart = startMode;
    m_fields.triggerModeStop = stopMode;
    if (m_hooks.storeTriggerModes) m_hooks.storeTriggerModes();
    UpdateTriggerFlags();
}

void CMainFrame::UpdateTriggerFlags()
{
    // Modes 1 to 4 arm the start, modes 5 and above the stop.
    auto armsStart = [](WORD mode) { return mode >= 1 && mode <= 4; };
    auto armsStop = [](WORD mode) { return mode >= 5; };
    m_fields.startArmed = armsStart(m_fields.triggerModeStart) || armsStart(m_fields.triggerModeStop) ? 1 : 0;
    m_fields.stopArmed = armsStop(m_fields.triggerModeStart) || armsStop(m_fields.triggerModeStop) ? 1 : 0;
}

void CMainFrame::SetChannelFlag(int index, BYTE value)
{
    if (index < 0 || index >= static_cast<int>(m_fields.channelFlag.size())) return;
    m_fields.channelFlag[static_cast<std::size_t>(index)] = value;
}

void CMainFrame::SetChannelSelection(const BYTE selection[6])
{
    m_fields.firstSelectedChannel = -1;
    for (std::size_t i = 0; i < m_fields.channelSelection.size(); ++i) {
        m_fields.channelSelection[i] = selection[i];
        if (selection[i] != 0 && m_fields.firstSelectedChannel < 0) m_fields.firstSelectedChannel = static_cast<int>(i);
    }
    // The sources that are no channel (off, system time) are judged on the values of the first
    // channel measured.
    if (m_fields.firstSelectedChannel >= 0) m_fields.triggers.referenceChannel = m_fields.firstSelectedChannel;
}

void CMainFrame::SetDisplayMode(int mode)
{
    m_fields.displayMode = mode;
    LayoutViews(mode);
}

void CMainFrame::SetMeasureMode(WORD mode)
{
    m_fields.measureMode = mode;
}

void CMainFrame::ShowBar(FrameBar bar, bool show, bool delay)
{
    if (bar < 0 || bar >= kBarCount) return;
    QDockWidget* dock = m_bars[static_cast<std::size_t>(bar)];
    if (delay)
        QTimer::singleShot(0, dock, [dock, show] { dock->setVisible(show); });
    else
        dock->setVisible(show);
}

void CMainFrame::SetStatusText(UINT textId)
{
    SetStatusMessage(LoadLangString(textId));
    // Kept so that a language switch shows the same message in the new language.
    m_statusTextId = textId;
}

void CMainFrame::SetStatusMessage(const CString& text)
{
    m_statusMessage = text;
    m_statusTextId = 0;
    m_statusPanes[0]->setText(platform::ToQString(text));
}

int CMainFrame::GetActiveViewKind() const
{
    return m_view->ActiveKind();
}

void CMainFrame::OnChannelView(int index)
{
    if (m_hooks.onChannelView) m_hooks.onChannelView(index);
}

bool CMainFrame::HandleKeyMessage(int virtualKey, bool keyDown)
{
    return m_hooks.handleKeyMessage ? m_hooks.handleKeyMessage(virtualKey, keyDown) : false;
}

void CMainFrame::ScanViewListItems(int which)
{
    if (m_hooks.scanViewListItems) m_hooks.scanViewListItems(which);
}

void CMainFrame::LayoutViews(int layout)
{
    if (m_hooks.layoutViews) m_hooks.layoutViews(layout);
}

void CMainFrame::ResetMovingAverages()
{
    if (m_hooks.resetMovingAverages) m_hooks.resetMovingAverages();
}
