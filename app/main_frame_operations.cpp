// The operations the pages and views call on the frame.
#include "app/main_frame.h"

#include <QDockWidget>
#include <QLabel>
#include <QTimer>

#include "app/km3_view.h"
#include "app/main_frame_views.h"
#include "platform/dialog.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "workflow/workflow_texts.h"

void CMainFrame::SetSensorTriggerFlags(int sensor)
{
    // Which table entries go into the sensor's software configuration is the set-up's rule.
    if (m_hooks.setSensorTriggerFlags) m_hooks.setSensorTriggerFlags(sensor);
}

void CMainFrame::StoreTriggerModes()
{
    // The set-up page puts its trigger modes into the frame's trigger fields.
    if (m_hooks.storeTriggerModes) m_hooks.storeTriggerModes();
    UpdateTriggerFlags();
}

void CMainFrame::UpdateTriggerFlags()
{
    measurement::DeriveTriggerArming(m_fields.triggers);
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
    // While sensors restart (a device's until they are connected again) the status bar says
    // so; a page's text meanwhile (disconnected, ready) is the one shown after it.
    if (m_statusTextId == workflow::kTextSensorRestarting && textId != workflow::kTextSensorRestarting) {
        m_statusBeforeRestart = LoadLangString(textId);
        m_statusIdBeforeRestart = textId;
        return;
    }
    SetStatusMessage(LoadLangString(textId));
    // Kept so that a language switch shows the same message in the new language.
    m_statusTextId = textId;
}

void CMainFrame::ShowSensorRestarting(bool restarting)
{
    if (restarting) {
        if (m_statusTextId == workflow::kTextSensorRestarting) return;
        m_statusBeforeRestart = m_statusMessage;
        m_statusIdBeforeRestart = m_statusTextId;
        SetStatusText(workflow::kTextSensorRestarting);
        return;
    }
    // A text composed meanwhile has taken the restart's place already.
    if (m_statusTextId != workflow::kTextSensorRestarting) return;
    SetStatusMessage(m_statusIdBeforeRestart != 0 ? LoadLangString(m_statusIdBeforeRestart) : m_statusBeforeRestart);
    m_statusTextId = m_statusIdBeforeRestart;
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

bool CMainFrame::HandleKeyMessage(int virtualKey, bool /*keyDown*/)
{
    // A page of the view is no dialog to be closed: Enter and Escape, which would end it, stay
    // with the frame (pressed and released alike).
    return virtualKey == platform::VK_RETURN || virtualKey == platform::VK_ESCAPE;
}

void CMainFrame::ScanViewListItems(int which)
{
    // The registered views show again what they hold; the end-of-measurement request that a
    // page set before asking for the scan ends the measurement as a stop does.
    if (which < 1) return;
    if (m_hooks.scanViewListItems) m_hooks.scanViewListItems(which);
    if (!m_fields.endRequest) return;
    m_fields.endRequest = 0;
    if (m_hooks.stopMeasurement) m_hooks.stopMeasurement();
}

void CMainFrame::LayoutViews(int layout)
{
    // Until the start-up of a sensor has settled (its status answer set the controller's flag;
    // the sensor check, the grouping of a multiport device or the filter restart clears it)
    // the views stay as they are.
    if (m_com.m_bStartupStatus) return;
    // Display modes 1 and 3 split the view: the page shares the window with the diagram.
    if ((layout == 1 || layout == 3) && m_views && m_views->DiagramBar()) m_views->DiagramBar()->setVisible(true);
    MarkPageInTree(m_view->currentIndex());
    // The control panel lays its controls out anew when it is next painted.
    m_fields.layoutPending = 1;
    m_view->update();
}

void CMainFrame::ResetMovingAverages()
{
    if (m_hooks.resetMovingAverages) m_hooks.resetMovingAverages();
}
