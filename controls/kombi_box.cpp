#include "controls/kombi_box.h"

#include <QSignalBlocker>

#include <algorithm>

#include "platform/qt_text.h"

namespace {
// The role under which an entry keeps its datum.
constexpr int kDatumRole = Qt::UserRole;
constexpr UINT_PTR kNoDatum = static_cast<UINT_PTR>(-1);
}  // namespace

CKombiBox::CKombiBox(QWidget* parent) : QComboBox(parent) {}

void CKombiBox::ResetContent()
{
    const QSignalBlocker block(this);
    clear();
    setCurrentIndex(-1);
    m_itemCount = 0;
}

int CKombiBox::AddItem(const CString& text, UINT_PTR datum)
{
    const QSignalBlocker block(this);
    const int selected = currentIndex();
    const QString typed = isEditable() ? currentText() : QString();
    addItem(platform::ToQString(text));
    // A new entry never changes the selection (Qt would select the first one), nor what the
    // user typed into an editable box.
    setCurrentIndex(selected);
    if (isEditable()) setEditText(typed);
    const int index = count() - 1;
    ++m_itemCount;
    setItemData(index, QVariant::fromValue<qulonglong>(datum), kDatumRole);
    return itemData(index, kDatumRole).toULongLong() == datum ? 0 : -1;
}

int CKombiBox::FindItemData(UINT_PTR datum) const
{
    const int counted = std::min(m_itemCount, count());
    for (int i = 0; i < counted; ++i)
        if (GetItemData(i) == datum) return i;
    return -1;
}

UINT_PTR CKombiBox::GetItemData(int index) const
{
    if (index < 0 || index >= count()) return kNoDatum;
    const QVariant datum = itemData(index, kDatumRole);
    return datum.isValid() ? static_cast<UINT_PTR>(datum.toULongLong()) : 0;
}

int CKombiBox::SetCurSel(int index)
{
    const QSignalBlocker block(this);
    if (index < 0 || index >= count()) {
        setCurrentIndex(-1);
        return -1;
    }
    setCurrentIndex(index);
    return index;
}

CString CKombiBox::GetLBText(int index) const
{
    if (index < 0 || index >= count()) return CString();
    return platform::FromQString(itemText(index));
}
