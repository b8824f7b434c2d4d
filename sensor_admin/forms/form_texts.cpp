#include "sensor_admin/forms/form_texts.h"

#include <QFontMetrics>
#include <QHeaderView>

#include <algorithm>
#include <QProgressBar>

#include "controls/xlist_ctrl.h"
#include "platform/dialog.h"
#include "platform/qt_text.h"
#include "res/string_table.h"
#include "sensor_admin/admin_texts.h"

namespace sensor_admin {

QString Text(UINT id) { return platform::ToQString(LoadLangString(id)); }

void SetText(CDialog& form, int controlId, UINT textId) { form.SetDlgItemText(controlId, LoadLangString(textId)); }

void SetProgress(CDialog& form, int controlId, int percent, bool visible)
{
    if (auto* bar = form.Item<QProgressBar>(controlId)) {
        bar->setValue(percent < 0 ? 0 : (percent > 100 ? 100 : percent));
        bar->setVisible(visible);
    }
}

void SetHeadings(CXListCtrl& list, const UINT* ids, int count)
{
    for (int i = 0; i < count; ++i) {
        if (list.GetColumnCount() <= i)
            list.InsertColumn(i, LoadLangString(ids[i]));
        else if (QTableWidgetItem* head = list.horizontalHeaderItem(i))
            head->setText(Text(ids[i]));
    }
    list.horizontalHeader()->setStretchLastSection(true);
    FitColumns(list);
}

void FitColumns(CXListCtrl& list)
{
    const QFontMetrics metrics(list.font());
    constexpr int kPadding = 24;  // cell margins, and room for a check box or sort mark
    for (int col = 0; col < list.GetColumnCount(); ++col) {
        int width = 0;
        if (const QTableWidgetItem* head = list.horizontalHeaderItem(col)) width = metrics.horizontalAdvance(head->text());
        for (int row = 0; row < list.GetItemCount(); ++row)
            width = std::max(width, metrics.horizontalAdvance(platform::ToQString(list.GetItemText(row, col))));
        list.SetColumnWidth(col, width + kPadding);
    }
}

void ShowSensorChoice(CDialog& form, int comboId, int sensors, int current, bool enabled)
{
    if (form.ComboGetCount(comboId) != sensors) {
        form.ComboResetContent(comboId);
        for (int s = 1; s <= sensors; ++s)
            form.ComboAddString(comboId, LoadLangString(kTextSensorWord) + CString::Formatted(" %d", s));
    }
    form.ComboSetCurSel(comboId, current);
    form.ShowDlgItem(comboId, sensors >= 2);
    form.EnableDlgItem(comboId, enabled);
}

}  // namespace sensor_admin
