#pragma once
// CDlgDocumentation: the documentation page. The user sets where and under which names
// measured values, pass/fail results and diagrams are stored automatically (folder, file-name
// prefix, mode: off, indexed name, constant name), the master switch of automatic storage, the
// field and decimal separators of the files and the report header texts. Every change is kept
// in the profile at once. Separators that would make a file unreadable, and prefixes that are
// no file name, are refused with a message and the control shows the last good value again.
//
// The page also holds the measurement's times that the controller and the control panel
// write: the time of the first record and the measurement end time.

#include <cstdint>
#include <memory>

#include "environment/frame_registration.h"
#include "documentation/documentation_settings.h"
#include "documentation/separators.h"
#include "platform/dialog.h"
#include "workflow/workflow_peers.h"

namespace Ui {
class DocumentationPage;
}

namespace documentation {

// Control ids of the page (the form's ctrlId properties).
constexpr int IDC_DOC_AUTO_STORAGE = 1600;
// Per storage kind k (0 measured values, 1 pass/fail, 2 diagrams), base 1600 + 10 k:
constexpr int kDocGroupOffset = 1, kDocFolderLabelOffset = 2, kDocFolderOffset = 3, kDocPrefixLabelOffset = 4,
              kDocPrefixOffset = 5, kDocModeOffset = 6, kDocModeLabelOffset = 7;
constexpr int DocKindBase(int kind) { return 1600 + 10 * kind; }
constexpr int IDC_DOC_SEPARATOR_GROUP = 1631;
constexpr int IDC_DOC_FIELD_SEPARATOR_LABEL = 1632;
constexpr int IDC_DOC_FIELD_SEPARATOR = 1633;
constexpr int IDC_DOC_DECIMAL_SEPARATOR_LABEL = 1634;
constexpr int IDC_DOC_DECIMAL_SEPARATOR = 1635;
constexpr int IDC_DOC_HEADER_GROUP = 1641;
// Header text i (0 to 2): label 1642 + 2 i, edit 1643 + 2 i.
constexpr int DocHeaderLabelId(int i) { return 1642 + 2 * i; }
constexpr int DocHeaderEditId(int i) { return 1643 + 2 * i; }

// The page's dialog number (its kind among the main pages).
constexpr UINT kDocumentationTemplateId = 136;

// The separator that a combo's text stands for: an entry's name or a single character;
// false when it is neither.
bool SeparatorFromText(const CString& text, const CString& tabName, const CString& spaceName, char& separator);

class CDlgDocumentation : public CDialog, public workflow::IDocumentationPage, public ILanguageTexts {
public:
    // Builds the form, loads the settings and registers with the main frame (when there is one).
    explicit CDlgDocumentation(QWidget* parent = nullptr);
    ~CDlgDocumentation() override;

    CDocumentationSettings& Settings() { return m_settings; }
    const CDocumentationSettings& Settings() const { return m_settings; }
    MeasurementTimes& Times() { return m_times; }

    // The automatic storage mode of a kind as it counts now (0 while the box is off or parked).
    int GetAutoStorageMode(int kind) const { return EffectiveStorageMode(m_settings, kind); }
    // The pass/fail output switch of the set-up page (1 on, 2 off): on stores the results under
    // the mode the user chose (the one in use before it was switched off; an indexed name when
    // there was none); off stops storing them. The master switch stays the user's.
    void SetIoNioOutputSwitch(int value);

    void SetFirstRecordTime(std::int64_t seconds) { m_times.firstRecord = seconds; }
    void SetMeasurementEndTime(std::int64_t seconds) override { m_times.end = seconds; }

    // Parks the automatic-storage box (active 0) or restores it (active 1).
    void SetMeasurementRunning(int active);

    void LoadLanguageTexts() override;
    // Writes the settings into the profile (also done after every change).
    void SaveSettings() const { m_settings.Save(); }

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int id, UINT code) override;

private:
    void FillModeCombo(int kind);
    void FillSeparatorCombos();
    void ShowSettings();
    void ApplyAutoStorageBox();
    void OnSeparatorChanged(int id);
    void OnPrefixChanged(int kind);
    void OnModeChanged(int kind);
    void OnFolderChanged(int kind);
    void OnHeaderChanged(int index);
    void Refuse(const CString& message);

    std::unique_ptr<Ui::DocumentationPage> m_ui;
    CDocumentationSettings m_settings;
    MeasurementTimes m_times;
    // The automatic-storage box is parked (disabled and unticked, the stored switch untouched)
    // while no sensor is there; restored, it shows the stored switch and the user may change it.
    bool m_bBoxEnabled = true;
    // The pass/fail mode that the set-up page's switch turned off, for when it turns it on.
    int m_ioNioModeSwitchedOff = kStorageOff;
    int m_nLanguage = -1;
    bool m_showing = false;
    bool m_formReady = false;
};

}  // namespace documentation
