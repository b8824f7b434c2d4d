#include "measurement/measure_setup_widget.h"

#include "measurement/control_state_to_widget.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

#include <algorithm>

#include "controls/browse_ctrl.h"
#include "controls/kombi_box.h"
#include "controls/wheel_focus.h"
#include "environment/lang_ui.h"
#include "measurement/measure_setup_ids.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "ui_measure_setup.h"

namespace measurement {

MeasureSetupWidget::MeasureSetupWidget(IMeasureFrame& frame, QWidget* parent)
    : CDialog(kSetupDialogId, parent),
      m_logic(std::make_unique<CDlgMeasureAdjust>(frame)),
      m_ui(std::make_unique<Ui::MeasureSetupPage>())
{
    m_ui->setupUi(this);
    controls::WheelOnlyWithFocus(*this);
    RegisterControlsFromForm();
    for (int k = 0; k < 2; ++k) {
        auto* browse = Item<CBrowseCtrl>(kAddProgBrowse[k]);
        if (!browse) continue;
        browse->SetFilter("All files (*)|*||");
        browse->SetNotifyMessageID(k == 0 ? kMsgStartProgBrowsed : kMsgStopProgBrowsed);
        auto takePath = [this, k](CBrowseCtrl* control) {
            if (k == 0) m_logic->SetStartAddProgPath(control->GetPathName());
            else m_logic->SetStopAddProgPath(control->GetPathName());
        };
        browse->SetPathCallback(takePath);
        // A typed path is the path as well: the control takes each edit before this runs.
        QObject::connect(browse->Edit(), &QLineEdit::textEdited, this, [browse, takePath] { takePath(browse); });
    }
    MapHandlers();
    // A trigger value edited to its end shows the value the trigger takes from it.
    for (int id : {IDC_START_VALUE, IDC_STOP_VALUE})
        if (auto* edit = Item<QLineEdit>(id))
            QObject::connect(edit, &QLineEdit::editingFinished, this, [this, id] {
                m_logic->OnTriggerValueEdited(id == IDC_START_VALUE);
                Sync();
            });
    m_logic->SetChangedCallback([this] { Sync(); });
    InitDialog();
    RegisterWithFrame(kFrameMeasureSetupPage, static_cast<workflow::IMeasureSetupPage*>(m_logic.get()));
}

MeasureSetupWidget::MeasureSetupWidget(std::unique_ptr<IMeasureFrame> frame, QWidget* parent)
    : MeasureSetupWidget(*frame, parent)
{
    m_ownedFrame = std::move(frame);
}

MeasureSetupWidget::~MeasureSetupWidget() { m_logic->SetChangedCallback(nullptr); }

BOOL MeasureSetupWidget::OnInitDialog()
{
    m_logic->OnInitDialog();
    m_logic->LoadLanguageTexts();
    SetupBrowseControls();
    Sync();
    return TRUE;
}

void MeasureSetupWidget::LoadLanguageTexts()
{
    m_logic->LoadLanguageTexts();
    SetupBrowseControls();
    Sync();
}

// The browse controls of the add-on programs choose files; their texts follow the language.
void MeasureSetupWidget::SetupBrowseControls()
{
    for (int id : kAddProgBrowse) {
        auto* browse = Item<CBrowseCtrl>(id);
        if (!browse) continue;
        browse->SetBrowseStyle((browse->GetBrowseStyle() & ~0x18u) | 0x66u);
        browse->SetFolderFlags(browse->GetFolderFlags() | 0x140u);
        browse->SetTooltipText(LoadLangString(5247));
        browse->SetFolderPrompt(LoadLangString(5248));
        browse->SetDialogTitle(LoadLangString(5249));
    }
}

void MeasureSetupWidget::MapHandlers()
{
    CDlgMeasureAdjust& p = *m_logic;
    for (int r = 0; r < kRowCount; ++r) {
        m_handlers[kDecimalsCombo[r]] = [&p, r] { p.OnRowCombo(RowField::Decimals, r); };
        m_handlers[kUnitCombo[r]] = [&p, r] { p.OnRowCombo(RowField::Unit, r); };
        m_handlers[kAveragingCombo[r]] = [&p, r] { p.OnRowCombo(RowField::Averaging, r); };
        m_handlers[kSignCombo[r]] = [&p, r] { p.OnRowCombo(RowField::Sign, r); };
    }
    for (int r = 0; r < kSensorRows; ++r) {
        m_handlers[kChannelButton[r]] = [&p, r] { p.OnChannelButton(r, true); };
        m_handlers[kLowPassCombo[r]] = [&p, r] { p.OnLowPassFilterChanged(r); };
        m_handlers[kScalingButton[r]] = [&p, r] { p.OnScalingButton(r); };
    }
    for (int g = 0; g < 2; ++g) {
        m_handlers[kPowerButton[g]] = [&p, g] { p.OnPowerButton(g); };
        m_handlers[kTorqueSelector[g]] = [&p, g] { p.OnPowerMode(g, false, false); };
        m_handlers[kAngleSelector[g]] = [&p, g] { p.OnPowerMode(g, true, false); };
        m_handlers[kOptionBox[g]] = [&p, g] { p.OnOptionBox(g); };
        m_handlers[kConditionCombo[g]] = [&p, g] { p.OnConditionChannelChanged(g); };
    }
    for (int k = 0; k < 4; ++k) m_handlers[kLimitEdit[k]] = [&p, k] { p.OnLimitChanged(k); };
    for (int k = 0; k < kAxisCount; ++k) m_handlers[kAxisCombo[k]] = [&p, k] { p.OnAxisChanged(k, false); };
    m_handlers[IDC_RATE_COMBO] = [&p] { p.OnMeasureRateChanged(); };
    m_handlers[IDC_REDUCTION_EDIT] = [&p] { p.OnReductionChanged(); };
    m_handlers[IDC_DURATION_EDIT] = [&p] { p.OnDurationChanged(); };
    m_handlers[IDC_COUNT_EDIT] = [&p] { p.OnPointCountChanged(); };
    m_handlers[IDC_START_SOURCE] = [&p] { p.OnSourceChanged(true); };
    m_handlers[IDC_STOP_SOURCE] = [&p] { p.OnSourceChanged(false); };
    m_handlers[IDC_START_DIRECTION] = [&p] { p.OnDirectionChanged(true); };
    m_handlers[IDC_STOP_DIRECTION] = [&p] { p.OnDirectionChanged(false); };
    m_handlers[IDC_START_VALUE] = [&p] { p.OnStartValueChanged(); };
    m_handlers[IDC_STOP_VALUE] = [&p] { p.OnStopValueChanged(); };
    m_handlers[IDC_EXPAND] = [&p] { p.ToggleDetails(); };
    m_handlers[IDC_ACCEPT] = [&p] { p.OnBnClickedAccept(); };
    m_handlers[IDC_START_TIME] = [this, &p] {
        auto* picker = Item<QDateTimeEdit>(IDC_START_TIME);
        if (!picker) return;
        const QDateTime chosen = picker->dateTime();
        p.OnStartTimeChanged(chosen.date().year() < 1900 ? -1 : chosen.toSecsSinceEpoch());
    };
}

// The user's new state of a control goes into the logic's controls before its handler runs.
void MeasureSetupWidget::TakeUserState(int id)
{
    QWidget* control = GetDlgItem(id);
    PageControls& board = m_logic->Controls();
    if (auto* combo = dynamic_cast<QComboBox*>(control)) {
        board.Select(id, combo->currentIndex());
    } else if (auto* button = dynamic_cast<QAbstractButton*>(control)) {
        board.Check(id, button->isChecked());
    } else if (auto* edit = dynamic_cast<QLineEdit*>(control)) {
        board.SetText(id, platform::FromQString(edit->text()));
    }
}

void MeasureSetupWidget::OnCommand(int id, UINT code)
{
    if (m_syncing) return;
    const auto handler = m_handlers.find(id);
    if (handler == m_handlers.end()) return;
    if (code != BN_CLICKED && code != CBN_SELCHANGE && code != EN_CHANGE && code != DTN_DATETIMECHANGE) return;
    TakeUserState(id);
    m_logic->OnUserAction(handler->second);
    Sync();
    if (const int focus = m_logic->TakeFocusRequest()) {
        if (auto* edit = Item<QLineEdit>(focus)) {
            edit->setFocus();
            ScrollEditToEnd(edit);
        }
    }
}

LRESULT MeasureSetupWidget::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The browse controls report after each browse; their path callback already took the path.
    if (message == kMsgStartProgBrowsed || message == kMsgStopProgBrowsed) return 0;
    return CDialog::OnMessage(message, wParam, lParam);
}

void MeasureSetupWidget::Sync()
{
    m_syncing = true;
    for (const auto& [id, state] : m_logic->Controls().All()) SyncControl(id, state);
    if (auto* picker = Item<QDateTimeEdit>(IDC_START_TIME)) {
        const QDateTime shown = QDateTime::fromSecsSinceEpoch(m_logic->Setup().startTime);
        if (picker->dateTime() != shown) picker->setDateTime(shown);
    }
    setEnabled(m_logic->IsPageEnabled());
    m_syncing = false;
}

void MeasureSetupWidget::SyncControl(int id, const ControlState& state)
{
    QWidget* control = GetDlgItem(id);
    if (!control) return;
    const QString text = platform::ToQString(state.text);
    if (auto* combo = dynamic_cast<CKombiBox*>(control)) {
        ShowComboState(*combo, state);
    } else if (auto* button = dynamic_cast<QAbstractButton*>(control)) {
        // A button keeps its form's caption while the page gives it no text; the scaling
        // buttons' texts are the page's alone, empty ones too.
        const bool scaling = std::find(std::begin(kScalingButton), std::end(kScalingButton), id) != std::end(kScalingButton);
        if (!state.text.IsEmpty() || scaling) button->setText(text);
        if (button->isCheckable() && button->isChecked() != state.checked) button->setChecked(state.checked);
    } else if (auto* edit = dynamic_cast<QLineEdit*>(control)) {
        if (edit->text() != text) edit->setText(text);
    } else if (auto* label = dynamic_cast<QLabel*>(control)) {
        if (label->text() != text) label->setText(text);
    } else if (auto* group = dynamic_cast<QGroupBox*>(control)) {
        if (group->title() != text) group->setTitle(text);
    } else if (auto* browse = dynamic_cast<CBrowseCtrl*>(control)) {
        if (browse->GetPathName() != state.text) browse->SetPathName(state.text);
    } else if (auto* picker = dynamic_cast<QDateTimeEdit*>(control)) {
        if (!text.isEmpty() && picker->displayFormat() != text) picker->setDisplayFormat(text);
    }
    control->setEnabled(state.enabled);
    // A hidden control stays hidden; the page itself decides when it is on the screen.
    control->setVisible(state.shown);
}

void MeasureSetupWidget::showEvent(QShowEvent* event)
{
    CDialog::showEvent(event);
    if (event->spontaneous()) return;
    m_logic->OnShowWindow(true);
    Sync();
}

void MeasureSetupWidget::hideEvent(QHideEvent* event)
{
    CDialog::hideEvent(event);
    if (event->spontaneous()) return;
    m_logic->OnShowWindow(false);
}

}  // namespace measurement
