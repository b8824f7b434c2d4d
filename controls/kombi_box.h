#pragma once
// CKombiBox: a drop-down list whose entries carry an item datum (a number, such as the value
// an entry stands for).
//
// A page refills it and selects by datum, never by position:
//     box->ResetContent();
//     box->AddItem("  5 min", 300);
//     box->AddItem(" 10 min", 600);
//     box->SetCurSel(box->FindItemData(storedValue));
// Notifies: CBN_SELCHANGE to the owning dialog only when the user picks an entry; the
// program's refills and selections notify nothing. Without a selection GetCurSel is -1.

#include <QComboBox>

#include "platform/cstring.h"
#include "platform/win_types.h"

class CKombiBox : public QComboBox {
public:
    explicit CKombiBox(QWidget* parent = nullptr);

    // Empties the list and the count of entries added by AddItem.
    void ResetContent();
    // Appends text with its datum and counts the entry. Returns the result of setting the
    // datum: 0, or -1 (CB_ERR) when it could not be set. The selection does not change.
    int AddItem(const CString& text, UINT_PTR datum);
    // Index of the first counted entry whose datum equals datum; -1 when there is none.
    int FindItemData(UINT_PTR datum) const;

    // The number of entries AddItem counted since the last ResetContent.
    int GetItemCount() const { return m_itemCount; }
    int GetCount() const { return count(); }
    // Datum of an entry; (UINT_PTR)-1 (CB_ERR) for an index outside the list.
    UINT_PTR GetItemData(int index) const;
    // -1 when nothing is selected.
    int GetCurSel() const { return currentIndex(); }
    // Selects index without notifying; an index outside the list clears the selection and
    // returns -1, else returns index.
    int SetCurSel(int index);
    // Text of an entry; empty for an index outside the list.
    CString GetLBText(int index) const;

private:
    int m_itemCount = 0;
};
