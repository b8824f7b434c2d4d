#pragma once
// CCheckBox: a check box with the small helpers pages use.
//
//     box->SetChecked(true);       // ticks it only when it differs; returns the new state
//     if (box->IsChecked()) ...
//     box->Enable(false); box->Show(true);
// Notifies: BN_CLICKED to the owning dialog when the user clicks it; SetChecked and the
// dialog's CheckDlgButton notify nothing.

#include <QCheckBox>

class CCheckBox : public QCheckBox {
public:
    explicit CCheckBox(QWidget* parent = nullptr);

    // Sets the check only when it differs from the current one; returns the new state.
    bool SetChecked(bool checked);
    bool IsChecked() const { return isChecked(); }
    // Enables or disables the box; returns the argument.
    bool Enable(bool enable);
    // Shows or hides the box; returns the argument.
    bool Show(bool show);
};
