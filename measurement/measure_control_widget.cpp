#include "measurement/measure_control_widget.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMetaObject>
#include <QProgressBar>
#include <QShowEvent>

#include "controls/led_button.h"
#include "measurement/control_state_to_widget.h"
#include "measurement/measure_control_ids.h"
#include "platform/qt_text.h"
#include "ui_measure_control.h"

namespace measurement {

namespace {

constexpr int kLedSize = 16;

// The lamps of each indicator, by state.
struct IndicatorIcons {
    int id;
    std::vector<UINT> icons;
};
const IndicatorIcons kIndicators[] = {
    {IDC_MC_RUN_LED, {176, 178}},
    {IDC_MC_TRIGGER_LED, {176, 177, 179}},
    {IDC_MC_BUSY_MARKER, {214}},
    {IDC_MC_STATE_LED, {176, 178, 177, 179, 313}},
};

}  // namespace

MeasureControlWidget::MeasureControlWidget(IControlFrame& frame, QWidget* parent)
    : CDialog(kControlDialogId, parent),
      m_logic(std::make_unique<CDlgMeasureDiagram>(frame)),
      m_ui(std::make_unique<Ui::MeasureControlPage>())
{
    m_ui->setupUi(this);
    RegisterControlsFromForm();
    SetUpIndicators();
    MapHandlers();
    m_logic->SetChangedCallback([this] { Sync(); });
    InitDialog();
    RegisterWithFrame(kFrameMeasureControlPage, static_cast<workflow::IMeasureControlPage*>(m_logic.get()));
}

MeasureControlWidget::MeasureControlWidget(std::unique_ptr<IControlFrame> frame, QWidget* parent)
    : MeasureControlWidget(*frame, parent)
{
    m_ownedFrame = std::move(frame);
}

MeasureControlWidget::~MeasureControlWidget() { m_logic->SetChangedCallback(nullptr); }

void MeasureControlWidget::SetUpIndicators()
{
    for (const IndicatorIcons& indicator : kIndicators) {
        auto* led = Item<CLedButton>(indicator.id);
        if (!led) continue;
        led->SetStateCount(static_cast<int>(indicator.icons.size()), FALSE);
        for (std::size_t s = 0; s < indicator.icons.size(); ++s)
            led->SetStateIcon(static_cast<int>(s), indicator.icons[s], kLedSize, kLedSize);
        led->SetLedState(0, FALSE);
    }
}

BOOL MeasureControlWidget::OnInitDialog()
{
    m_logic->OnInitDialog();
    m_logic->LoadLanguageTexts();
    m_logic->RefreshSensorChecks();
    Sync();
    return TRUE;
}

void MeasureControlWidget::LoadLanguageTexts()
{
    m_logic->LoadLanguageTexts();
    m_logic->RefreshSensorChecks();
    Sync();
}

void MeasureControlWidget::MapHandlers()
{
    CDlgMeasureDiagram& p = *m_logic;
    m_handlers[IDC_MC_START] = [&p] { p.OnBnClickedStart(); };
    m_handlers[IDC_MC_STOP] = [&p] { p.OnBnClickedStop(); };
    m_handlers[IDC_MC_TRIGGER] = [&p] { p.OnBnClickedTrigger(); };
    m_handlers[IDC_MC_CONTROL] = [&p] { p.OnBnClickedControl(); };
    m_handlers[IDC_MC_SINGLE_SHOT] = [&p] { p.OnBnClickedSingleShot(); };
    m_handlers[IDC_MC_PLACEMENT] = [&p] { p.OnBnClickedPlacement(); };
    m_handlers[IDC_MC_AUTO_REPEAT] = [&p] { p.OnBnClickedTriggerAutoRepeat(); };
    m_handlers[IDC_MC_BUSY_MARKER] = [&p] { p.OnBnClickedBusyMarker(); };
    for (int i = 0; i < 4; ++i) m_handlers[kSensorCheck[i]] = [&p, i] { p.OnBnClickedSensorCheck(i); };
    m_handlers[IDC_MC_DIAG_OFF] = [&p] { p.ShowDiagnosticsArea(false); };
    for (int id : {IDC_MC_LOSS_TEST, IDC_MC_ONE_GAP, IDC_MC_TWO_GAPS}) m_handlers[id] = [&p, id] { p.OnValueLossSwitch(id); };
    // The gap fields are read at the start: what the user types is only taken over.
    for (int id : kGapField) m_handlers[id] = [] {};
    m_handlers[IDC_MC_GAP_FIRST] = [] {};
    m_handlers[IDC_MC_DURATION_COMBO] = [&p] { p.OnDurationSelected(); };
    m_handlers[IDC_MC_ANGLE_ZERO] = [&p] { p.OnAngleZero(); };
    for (int k = 0; k < 2; ++k) {
        m_handlers[kAngleZeroOption[k]] = [&p, k] { p.OnAngleZeroOption(k); };
        m_handlers[kPowerShowCheck[k]] = [&p, k] { p.OnPowerShowCheck(k); };
        m_handlers[kPowerViewButton[k]] = [&p, k] { p.OnPowerViewButton(k); };
    }
}

// The user's new state of a control goes into the logic's controls before its handler runs.
void MeasureControlWidget::TakeUserState(int id)
{
    QWidget* control = GetDlgItem(id);
    PageControls& board = m_logic->Controls();
    if (auto* combo = dynamic_cast<QComboBox*>(control)) {
        board.Select(id, combo->currentIndex());
    } else if (auto* button = dynamic_cast<QAbstractButton*>(control)) {
        if (button->isCheckable()) board.Check(id, button->isChecked());
    } else if (auto* edit = dynamic_cast<QLineEdit*>(control)) {
        board.SetText(id, platform::FromQString(edit->text()));
    }
}

void MeasureControlWidget::OnCommand(int id, UINT code)
{
    if (m_syncing) return;
    const auto handler = m_handlers.find(id);
    if (handler == m_handlers.end()) return;
    if (code != BN_CLICKED && code != CBN_SELCHANGE && code != EN_CHANGE) return;
    TakeUserState(id);
    handler->second();
    Sync();
    if (const int focus = m_logic->TakeFocusRequest())
        if (QWidget* control = GetDlgItem(focus)) control->setFocus();
}

void MeasureControlWidget::Sync()
{
    m_syncing = true;
    for (const auto& [id, state] : m_logic->Controls().All()) SyncControl(id, state);
    SyncIndicators();
    m_syncing = false;
}

void MeasureControlWidget::SyncIndicators()
{
    const IndicatorStates& states = m_logic->Indicators();
    if (auto* led = Item<CLedButton>(IDC_MC_RUN_LED)) led->SetLedState(states.run, FALSE);
    if (auto* led = Item<CLedButton>(IDC_MC_TRIGGER_LED)) led->SetLedState(states.trigger, FALSE);
    if (auto* led = Item<CLedButton>(IDC_MC_BUSY_MARKER)) {
        led->SetLedState(states.busy, FALSE);
        led->setVisible(states.busyShown);
    }
    if (auto* led = Item<CLedButton>(IDC_MC_STATE_LED)) led->SetLedState(states.state, FALSE);
    if (auto* progress = Item<QProgressBar>(IDC_MC_PROGRESS))
        if (progress->value() != m_logic->ProgressPosition()) progress->setValue(m_logic->ProgressPosition());
}

void MeasureControlWidget::SyncControl(int id, const ControlState& state)
{
    if (QWidget* control = GetDlgItem(id)) ShowControlState(*control, state);
}

void MeasureControlWidget::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    if (event->spontaneous()) return;
    m_logic->OnShowWindow(true, 0);
    // Shown through the frame's view switch: a moment later the panel refreshes its sensor
    // boxes for the sensors connected now and shows itself again with that status.
    m_logic->SetTimer(kTimerShowRefresh, 120);
    Sync();
}

void MeasureControlWidget::hideEvent(QHideEvent* event)
{
    CDialog::hideEvent(event);
    if (event->spontaneous()) return;
    m_logic->OnShowWindow(false, 0);
}

void MeasureControlWidget::paintEvent(QPaintEvent* event)
{
    CDialog::paintEvent(event);
    // A pending re-layout changes widgets, which must not happen inside the paint itself.
    QMetaObject::invokeMethod(this, [this] { m_logic->OnPaint(isVisible()); }, Qt::QueuedConnection);
}

bool MeasureControlWidget::PreTranslateKey(int virtualKey, bool keyDown)
{
    return m_logic->OfferKeyToFrame(virtualKey, keyDown) || CDialog::PreTranslateKey(virtualKey, keyDown);
}

}  // namespace measurement
