#pragma once
// The widgets of the sensor administration pages: thin shells over the pages' logic. Each
// form is a Designer layout (res/forms/sensor_admin) whose controls carry their ids; it shows
// what its page holds whenever the page reports a change, and hands the user's clicks to the
// page. None of them decides anything.

#include <functional>
#include <memory>

#include "app/environment/frame_registration.h"
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

class SensorConnectionForm : public CDialog, public ILanguageTexts, private FormLifetime {
public:
    SensorConnectionForm(CDlgSensorConnection& page, QWidget* parent = nullptr);
    ~SensorConnectionForm() override;
    void LoadLanguageTexts() override;
    void Refresh();
    CXListCtrl& List() const;

protected:
    void OnCommand(int id, UINT code) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CDlgSensorConnection& m_page;
    std::unique_ptr<Ui::SensorConnectionForm> m_ui;
};

class StartUpForm : public CDialog, public ILanguageTexts, private FormLifetime {
public:
    StartUpForm(CDlgStartUp& page, QWidget* parent = nullptr);
    ~StartUpForm() override;
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnCommand(int id, UINT code) override;

private:
    CDlgStartUp& m_page;
    std::unique_ptr<Ui::StartUpForm> m_ui;
};

class SensorInformationForm : public CDialog, public ILanguageTexts, private FormLifetime {
public:
    SensorInformationForm(CDlgSensorInformationHmb& page, QWidget* parent = nullptr);
    ~SensorInformationForm() override;
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnCommand(int id, UINT code) override;
    // A refill asked for while the page was hidden (the sensor's version check) is done now.
    void showEvent(class QShowEvent* event) override;

private:
    CDlgSensorInformationHmb& m_page;
    std::unique_ptr<Ui::SensorInformationForm> m_ui;
};

class CalibZeroPromptForm;
class CalibEndPromptForm;

class SensorCalibrationForm : public CDialog, public ILanguageTexts, private FormLifetime {
public:
    SensorCalibrationForm(CDlgSensorCalibration& page, QWidget* parent = nullptr);
    ~SensorCalibrationForm() override;
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
    CDlgSensorCalibration& m_page;
    std::unique_ptr<Ui::SensorCalibrationForm> m_ui;
    CalibZeroPromptForm* m_zero;
    CalibEndPromptForm* m_end;
};

class CalibZeroPromptForm : public CDialog, public ILanguageTexts, private FormLifetime {
public:
    CalibZeroPromptForm(CDlgSensorCalibration& page, QWidget* parent = nullptr);
    ~CalibZeroPromptForm() override;
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnOK() override;
    void OnCancel() override;

private:
    CDlgSensorCalibration& m_page;
    std::unique_ptr<Ui::CalibZeroPromptForm> m_ui;
};

class CalibEndPromptForm : public CDialog, public ILanguageTexts, private FormLifetime {
public:
    CalibEndPromptForm(CDlgSensorCalibration& page, QWidget* parent = nullptr);
    ~CalibEndPromptForm() override;
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnOK() override;
    void OnCancel() override;

private:
    CDlgSensorCalibration& m_page;
    std::unique_ptr<Ui::CalibEndPromptForm> m_ui;
};

class DiagnosticForm : public CDialog, public ILanguageTexts, private FormLifetime {
public:
    DiagnosticForm(CDlgDiagnostic& page, QWidget* parent = nullptr);
    ~DiagnosticForm() override;
    void LoadLanguageTexts() override;
    void Refresh();

protected:
    void OnCommand(int id, UINT code) override;
    void showEvent(class QShowEvent* event) override;
    void hideEvent(class QHideEvent* event) override;

private:
    CDlgDiagnostic& m_page;
    std::unique_ptr<Ui::DiagnosticForm> m_ui;
};

}  // namespace sensor_admin
