#include "sensor_admin/port_list_model.h"

namespace sensor_admin {

PortListRow& CPortListModel::Row(int index)
{
    if (index < 0) index = 0;
    if (index >= GetItemCount()) m_rows.resize(static_cast<std::size_t>(index) + 1);
    return m_rows[static_cast<std::size_t>(index)];
}

const PortListRow* CPortListModel::Find(int index) const
{
    if (index < 0 || index >= GetItemCount()) return nullptr;
    return &m_rows[static_cast<std::size_t>(index)];
}

CString CPortListModel::GetItemText(int row, int column) const
{
    const PortListRow* r = Find(row);
    if (!r || column < 0 || column >= kPortColumnCount) return CString();
    return r->cell[static_cast<std::size_t>(column)];
}

void CPortListModel::SetItemText(int row, int column, const CString& text)
{
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= kPortColumnCount) return;
    m_rows[static_cast<std::size_t>(row)].cell[static_cast<std::size_t>(column)] = text;
}

bool CPortListModel::IsMarked(int row) const
{
    const PortListRow* r = Find(row);
    return r && r->background != kColourWhite;
}

void CPortListModel::ToggleMark(int row) { SetMark(row, !IsMarked(row)); }

void CPortListModel::SetMark(int row, bool marked)
{
    if (row < 0 || row >= GetItemCount()) return;
    m_rows[static_cast<std::size_t>(row)].background = marked ? kColourSelected : kColourWhite;
}

int CPortListModel::FirstMarked() const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (IsMarked(i)) return i;
    return -1;
}

}  // namespace sensor_admin
