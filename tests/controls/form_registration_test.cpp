// A Designer form registers its controls by their ctrlId property, our own controls included,
// and their notifications then reach the page under those ids.
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <vector>

#include "controls/controls.h"
#include "platform/dialog.h"

namespace {

class FormPage : public CDialog {
public:
    explicit FormPage(QWidget* parent = nullptr) : CDialog(135, parent) {}
    std::vector<std::pair<int, UINT>> notes;

protected:
    void OnCommand(int id, UINT code) override { notes.emplace_back(id, code); }
};

QWidget* WithId(QWidget* widget, int id)
{
    widget->setProperty("ctrlId", id);
    return widget;
}

TEST(FormRegistration, RegistersTaggedWidgetsAtAnyDepthButNotThoseOfAChildDialog)
{
    FormPage page;
    auto* layout = new QVBoxLayout(&page);
    auto* group = new QGroupBox(&page);
    layout->addWidget(WithId(group, 1088));
    auto* groupLayout = new QVBoxLayout(group);
    auto* check = new CCheckBox(group);
    check->setText("Trigger auto repeat");
    groupLayout->addWidget(WithId(check, 1341));
    auto* led = new CLedButton(group);
    groupLayout->addWidget(WithId(led, 1159));
    layout->addWidget(WithId(new QLabel("static", &page), -1));   // a static without an id
    layout->addWidget(new QLabel("untagged", &page));
    auto* child = new FormPage(&page);
    layout->addWidget(WithId(child, 5000));
    auto* childEdit = WithId(new CMyEdit(child), 1298);

    EXPECT_EQ(page.RegisterControlsFromForm(), 4);
    EXPECT_EQ(page.GetDlgItem(1088), group);
    EXPECT_EQ(page.GetDlgItem(1341), check);
    EXPECT_EQ(page.GetDlgItem(5000), child);
    EXPECT_EQ(page.GetDlgItem(1298), nullptr);
    EXPECT_EQ(page.GetDlgItem(-1), nullptr);
    EXPECT_EQ(child->RegisterControlsFromForm(), 1);
    EXPECT_EQ(child->GetDlgItem(1298), childEdit);

    page.show();
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    QTest::mouseClick(led, Qt::LeftButton);
    check->SetChecked(false);
    page.CheckDlgButton(1341, BST_CHECKED);
    led->SetLedState(0);
    ASSERT_EQ(page.notes.size(), 2u);
    EXPECT_EQ(page.notes[0], std::make_pair(1341, BN_CLICKED));
    EXPECT_EQ(page.notes[1], std::make_pair(1159, BN_CLICKED));
}

}  // namespace
