#pragma once
// The widgets of the sensor administration pages: thin shells over the pages' logic. Each
// form is a Designer layout (res/forms/sensor_admin) whose controls carry their ids; it shows
// what its page holds whenever the page reports a change, and hands the user's clicks to the
// page. None of them decides anything.

#include <functional>
#include <memory>

#include "environment/frame_registration.h"
#include "platform/dialog.h"

class CXListCtrl;

namespace Ui {
class SensorConnectionForm;
class StartUpForm;
class SensorInformationForm;
class SensorCalibrationForm;
class CalibZeroPromptForm;
class CalibEndPromptForm;
class DiagnosticForm;
}  // namespace Ui

namespace sensor_admin {

// The pages and their forms may end in either order: a page calls its form only while the form
// lives, and a form never reaches back into a page when it ends.
class FormLifetime {
public:
    template <class F>
    std::function<void()> Guard(F call) const
    {
        return [alive = std::weak_ptr<int>(m_alive), call] {
            if (alive.lock()) call();
        };
    }

private:
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

// What every form is: a dialog laid out by its Designer class UiForm, its controls registered by
// id, showing one page. The Designer class is complete only where a form is built, so the form
// holds it with a deleter made there.
template <class Page, class UiForm>
class PageForm : public CDialog, public ILanguageTexts, protected FormLifetime {
protected:
    PageForm(UINT dialogId, Page& page, QWidget* parent)
        : CDialog(dialogId, parent), m_page(page), m_ui(new UiForm, [](UiForm* ui) { delete ui; })
    {
        m_ui->setupUi(this);
        RegisterControlsFromForm();
    }

    Page& m_page;

private:
    std::unique_ptr<UiForm, void (*)(UiForm*)> m_ui;
};

class CDlgSensorConnection;
class CDlgStartUp;
class CDlgSensorInformationHmb;
class CDlgSensorCalibration;
class CDlgDiagnostic;

// Dialog numbers of the pages.
constexpr UINT kDialogConnection = 131;
constexpr UINT kDialogInformation = 132;
constexpr UINT kDialogCalibration = 137;
constexpr UINT kDialogDiagnostic = 139;
constexpr UINT kDialogStartUp = 140;
constexpr UINT kDialogZeroPrompt = 141;
constexpr UINT kDialogEndPrompt = 142;

class SensorConnectionForm : public PageForm<CDlgSensorConnection, Ui::SensorConnectionForm> {
public:
    SensorConnectionForm(CDlgSensorConnection& page, QWidget* parent = nullptr);
    void LoadLanguageTexts() override;
    void Refresh();
    CXListCtrl& List() const;

protected:
    void OnCommand(int id, UINT code) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void showEvent(QShowEvent* event) override;
};

class StartUpForm : public PageForm<CDlgStartUp, Ui::StartUpForm> {
public:
    StartUpForm(CDlgStartUp& page, QWidget* parent = nullptr);
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnCommand(int id, UINT code) override;
};

class SensorInformationForm : public PageForm<CDlgSensorInformationHmb, Ui::SensorInformationForm> {
public:
    SensorInformationForm(CDlgSensorInformationHmb& page, QWidget* parent = nullptr);
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnCommand(int id, UINT code) override;
    // A refill asked for while the page was hidden (the sensor's version check) is done now.
    void showEvent(class QShowEvent* event) override;
};

class CalibZeroPromptForm;
class CalibEndPromptForm;

class SensorCalibrationForm : public PageForm<CDlgSensorCalibration, Ui::SensorCalibrationForm> {
public:
    SensorCalibrationForm(CDlgSensorCalibration& page, QWidget* parent = nullptr);
    void LoadLanguageTexts() override;
    void Refresh();
    CalibZeroPromptForm& ZeroPrompt() const { return *m_zero; }
    CalibEndPromptForm& EndPrompt() const { return *m_end; }

protected:
    void OnCommand(int id, UINT code) override;
    void showEvent(class QShowEvent* event) override;
    void hideEvent(class QHideEvent* event) override;

private:
    void TakeFields();
    // A reference field's text as typed: refused, the field goes back to what it held.
    void CheckReferenceField(int id);
    CString m_acceptedReference[2];
    CalibZeroPromptForm* m_zero;
    CalibEndPromptForm* m_end;
};

class CalibZeroPromptForm : public PageForm<CDlgSensorCalibration, Ui::CalibZeroPromptForm> {
public:
    CalibZeroPromptForm(CDlgSensorCalibration& page, QWidget* parent = nullptr);
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnOK() override;
    void OnCancel() override;
};

class CalibEndPromptForm : public PageForm<CDlgSensorCalibration, Ui::CalibEndPromptForm> {
public:
    CalibEndPromptForm(CDlgSensorCalibration& page, QWidget* parent = nullptr);
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnOK() override;
    void OnCancel() override;
};

class DiagnosticForm : public PageForm<CDlgDiagnostic, Ui::DiagnosticForm> {
public:
    DiagnosticForm(CDlgDiagnostic& page, QWidget* parent = nullptr);
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnCommand(int id, UINT code) override;
    void showEvent(class QShowEvent* event) override;
    void hideEvent(class QHideEvent* event) override;
};

}  // namespace sensor_admin
