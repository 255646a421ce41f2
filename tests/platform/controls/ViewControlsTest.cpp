// One form resource with every standard control: read from its resource,
// shown, painted (a screenshot for the eye) and freed, giving back every
// handle it made.
#include "platform/ComCtrls.h"
#include "platform/DateTimePicker.h"
#include "platform/HandleCounts.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/Properties.h"
#include "platform/TreeView.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

using namespace testing_support;
using namespace control_tests;

class TViewControlsForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;

  // What a resource cannot hold: nodes and items, and the images they show.
  void Fill() {
    auto* images = New<TCustomImageList>(this);
    for (TColor colour : {clRed, clGreen, clBlue}) {
      TBitmap bitmap;
      bitmap.SetSize(16, 16);
      bitmap.Canvas()->Brush()->SetColor(colour);
      bitmap.Canvas()->FillRect(RECT{0, 0, 16, 16});
      images->Add(&bitmap, nullptr);
    }
    TreeView1->SetImages(images);
    TTreeNode* root = TreeView1->Items()->Add(nullptr, "知识库");
    root->SetImageIndex(0);
    root->SetSelectedIndex(0);
    for (const char* text : {"Articles", "Notes"}) {
      TTreeNode* child = TreeView1->Items()->AddChild(root, text);
      child->SetImageIndex(1);
      child->SetSelectedIndex(2);
    }
    root->Expand(false);
    TreeView1->SetSelected(root->Item(0));
    ListView1->SetSmallImages(images);
    const char* rows[][3] = {{"报告.doc", "12", "Document"}, {"photo.jpg", "340", "Picture"}, {"notes.txt", "1", "Text"}};
    for (const auto& row : rows) {
      TListItem* item = ListView1->Items()->Add();
      item->SetCaption(row[0]);
      item->SubItems()->Add(row[1]);
      item->SubItems()->Add(row[2]);
      item->SetImageIndex(item->Index());
    }
    ListView1->SetItemIndex(1);
  }

  TTabControl* TabControl1 = nullptr;
  TTreeView* TreeView1 = nullptr;
  TListView* ListView1 = nullptr;
  THeaderControl* HeaderControl1 = nullptr;
  TDateTimePicker* DateTimePicker1 = nullptr;
  TDateTimePicker* TimePicker1 = nullptr;
  TDateTimePicker* CheckedPicker1 = nullptr;
};

const TClassInfo TViewControlsForm::ClassInfo{"TViewControlsForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                               return new TViewControlsForm(static_cast<TComponent*>(owner));
                                             }};

const TPublishedRegistration viewControlsFormRegistration(&TViewControlsForm::ClassInfo, {
    Field<&TViewControlsForm::TabControl1>("TabControl1"),
    Field<&TViewControlsForm::TreeView1>("TreeView1"),
    Field<&TViewControlsForm::ListView1>("ListView1"),
    Field<&TViewControlsForm::HeaderControl1>("HeaderControl1"),
    Field<&TViewControlsForm::DateTimePicker1>("DateTimePicker1"),
    Field<&TViewControlsForm::TimePicker1>("TimePicker1"),
    Field<&TViewControlsForm::CheckedPicker1>("CheckedPicker1"),
});

TEST(ViewControlsForm, ReadFromItsResourcePaintedAndFreed) {
  // The first form registers window classes and makes what lives for the
  // process; it is not counted.
  Free(New<TViewControlsForm>(nullptr));
  const THandleCounts before = HandleCounts();
  for (int round = 0; round < 3; ++round) {
    auto* form = New<TViewControlsForm>(nullptr);
    ASSERT_NE(nullptr, form->ListView1);
    form->Fill();
    form->Show();
    SetForegroundWindow(form->Handle());
    RunMessagesUntilIdle();
    // What the resource said is what the windows hold.
    EXPECT_EQ(1, form->TabControl1->TabIndex());
    EXPECT_EQ(3, SendMessageA(form->TabControl1->Handle(), TCM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(form->TabControl1, form->TreeView1->Parent());
    EXPECT_EQ(3, SendMessageA(form->TreeView1->Handle(), TVM_GETCOUNT, 0, 0));
    EXPECT_EQ(3, SendMessageA(form->ListView1->HeaderHandle(), HDM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(3, SendMessageA(form->HeaderControl1->Handle(), HDM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(taCenter, form->HeaderControl1->Sections()->Items(1)->Alignment());
    EXPECT_TRUE(GetWindowLongPtrA(form->TimePicker1->Handle(), GWL_STYLE) & DTS_TIMEFORMAT);
    EXPECT_DOUBLE_EQ(45000.75, form->TimePicker1->DateTime());
    SYSTEMTIME range[2]{};
    EXPECT_EQ(GDTR_MIN | GDTR_MAX,
              SendMessageA(form->CheckedPicker1->Handle(), DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (round == 0) SaveScreenshot(form->Handle(), "platform-view-controls");
    Free(form);
    RunMessagesUntilIdle();
    ASSERT_EQ(HandleCounts(), before) << "round " << round;
  }
}

}  // namespace
