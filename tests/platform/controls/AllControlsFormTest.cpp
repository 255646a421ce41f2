// One form resource with every standard control beyond the first few: it is
// read, shown, painted (the screenshot platform-all-controls.png) and freed,
// and every handle it took comes back.
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/DateTimePicker.h"
#include "platform/DockTree.h"
#include "platform/ExtCtrls.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/Memo.h"
#include "platform/Menus.h"
#include "platform/Properties.h"
#include "platform/StdCtrls.h"
#include "platform/ToolBar.h"
#include "platform/TreeView.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>

namespace {

using namespace testing_support;
using namespace control_tests;

class TAllControlsForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;

  // What a resource cannot hold: the images (red, lime and blue squares),
  // the tree's nodes, the list view's items and a docked client.
  void FormCreate(TObject*) {
    AddSquares(ImageList1, {clRed, clLime, clBlue});
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
    const char* rows[][3] = {{"报告.doc", "12", "Document"}, {"photo.jpg", "340", "Picture"}, {"notes.txt", "1", "Text"}};
    for (const auto& row : rows) {
      TListItem* item = ListView1->Items()->Add();
      item->SetCaption(row[0]);
      item->SubItems()->Add(row[1]);
      item->SubItems()->Add(row[2]);
      item->SetImageIndex(item->Index());
    }
    ListView1->SetItemIndex(1);
    for (const char* name : {"Docked A", "Docked B"}) {
      auto* client = New<TPanel>(this);
      client->SetCaption(name);
      client->SetBounds(0, 0, 80, 60);
      client->ManualDock(DockPanel1, DockPanel1->DockClientCount() ? DockPanel1->DockClients(0) : nullptr, alRight);
    }
  }
  void RadioClick(TObject* Sender) { Clicked.push_back(static_cast<TControl*>(Sender)->Name()); }
  void ScrollBar1Scroll(TObject*, TScrollCode, int& ScrollPos) { Scrolled.push_back(ScrollPos); }
  void ListBoxDrawItem(TWinControl* Control, int Index, const RECT& Rect, TOwnerDrawState State) {
    auto* list = static_cast<TListBox*>(Control);
    Drawn.insert({list->Name(), Index});
    TCanvas* canvas = list->Canvas();
    // A swatch of the item's colour, then its text.
    static const TColor swatches[] = {clRed, clGreen, clBlue, clTeal};
    canvas->FillRect(Rect);
    canvas->Brush()->SetColor(swatches[Index % 4]);
    canvas->FillRect(RECT{Rect.left + 2, Rect.top + 2, Rect.left + 14, Rect.bottom - 2});
    SetBkMode(canvas->Handle(), TRANSPARENT);
    const AnsiString text = list->Items()->Get(Index) + (State.Contains(odSelected) ? " *" : "");
    canvas->TextOut(Rect.left + 18, Rect.top + 2, text);
  }
  void ListBox3MeasureItem(TWinControl*, int Index, int& Height) {
    Measured.push_back(Index);
    Height = 14 + (Index % 3) * 6;
  }
  void ListBox4Data(TWinControl*, int Index, AnsiString& Data) {
    Asked.insert(Index);
    Data = "Row " + std::to_string(Index);
  }

  TToolBar* ToolBar1 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TRadioButton* RadioButton1 = nullptr;
  TRadioButton* RadioButton2 = nullptr;
  TRadioButton* RadioButton3 = nullptr;
  TScrollBar* ScrollBar1 = nullptr;
  TScrollBar* ScrollBar2 = nullptr;
  TMemo* Memo1 = nullptr;
  TListBox* ListBox1 = nullptr;
  TListBox* ListBox2 = nullptr;
  TListBox* ListBox3 = nullptr;
  TListBox* ListBox4 = nullptr;
  TEdit* Edit1 = nullptr;
  TMaskEdit* MaskEdit1 = nullptr;
  TTabControl* TabControl1 = nullptr;
  TTreeView* TreeView1 = nullptr;
  TListView* ListView1 = nullptr;
  THeaderControl* HeaderControl1 = nullptr;
  TDateTimePicker* DateTimePicker1 = nullptr;
  TDateTimePicker* TimePicker1 = nullptr;
  TDateTimePicker* CheckedPicker1 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TSpeedButton* SpeedButton4 = nullptr;
  TBitBtn* BitBtn1 = nullptr;
  TEdit* Edit2 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TTrackBar* TrackBar1 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;
  TPanel* DockPanel1 = nullptr;
  TCustomImageList* ImageList1 = nullptr;

  std::vector<AnsiString> Clicked;
  std::vector<int> Scrolled;
  std::set<std::pair<AnsiString, int>> Drawn;
  std::vector<int> Measured;
  std::set<int> Asked;
};

const TClassInfo TAllControlsForm::ClassInfo{"TAllControlsForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                               return new TAllControlsForm(static_cast<TComponent*>(owner));
                                             }};

const TPublishedRegistration allControlsFormRegistration(&TAllControlsForm::ClassInfo, {
    Method<&TAllControlsForm::FormCreate>("FormCreate"),
    Method<&TAllControlsForm::RadioClick>("RadioClick"),
    Method<&TAllControlsForm::ScrollBar1Scroll>("ScrollBar1Scroll"),
    Method<&TAllControlsForm::ListBoxDrawItem>("ListBoxDrawItem"),
    Method<&TAllControlsForm::ListBox3MeasureItem>("ListBox3MeasureItem"),
    Method<&TAllControlsForm::ListBox4Data>("ListBox4Data"),
    Field<&TAllControlsForm::ToolBar1>("ToolBar1"),
    Field<&TAllControlsForm::ComboBox1>("ComboBox1"),
    Field<&TAllControlsForm::GroupBox1>("GroupBox1"),
    Field<&TAllControlsForm::RadioButton1>("RadioButton1"),
    Field<&TAllControlsForm::RadioButton2>("RadioButton2"),
    Field<&TAllControlsForm::RadioButton3>("RadioButton3"),
    Field<&TAllControlsForm::ScrollBar1>("ScrollBar1"),
    Field<&TAllControlsForm::ScrollBar2>("ScrollBar2"),
    Field<&TAllControlsForm::Memo1>("Memo1"),
    Field<&TAllControlsForm::ListBox1>("ListBox1"),
    Field<&TAllControlsForm::ListBox2>("ListBox2"),
    Field<&TAllControlsForm::ListBox3>("ListBox3"),
    Field<&TAllControlsForm::ListBox4>("ListBox4"),
    Field<&TAllControlsForm::Edit1>("Edit1"),
    Field<&TAllControlsForm::MaskEdit1>("MaskEdit1"),
    Field<&TAllControlsForm::TabControl1>("TabControl1"),
    Field<&TAllControlsForm::TreeView1>("TreeView1"),
    Field<&TAllControlsForm::ListView1>("ListView1"),
    Field<&TAllControlsForm::HeaderControl1>("HeaderControl1"),
    Field<&TAllControlsForm::DateTimePicker1>("DateTimePicker1"),
    Field<&TAllControlsForm::TimePicker1>("TimePicker1"),
    Field<&TAllControlsForm::CheckedPicker1>("CheckedPicker1"),
    Field<&TAllControlsForm::SpeedButton1>("SpeedButton1"),
    Field<&TAllControlsForm::SpeedButton4>("SpeedButton4"),
    Field<&TAllControlsForm::BitBtn1>("BitBtn1"),
    Field<&TAllControlsForm::Edit2>("Edit2"),
    Field<&TAllControlsForm::UpDown1>("UpDown1"),
    Field<&TAllControlsForm::TrackBar1>("TrackBar1"),
    Field<&TAllControlsForm::ProgressBar1>("ProgressBar1"),
    Field<&TAllControlsForm::DockPanel1>("DockPanel1"),
    Field<&TAllControlsForm::ImageList1>("ImageList1"),
});

LONG_PTR StyleOf(TWinControl* control) { return GetWindowLongPtrA(control->Handle(), GWL_STYLE); }

// What the resource said is what the windows hold.
void ExpectTheResourcesState(TAllControlsForm* form) {
  // Radio buttons, group box, scroll bars, memo.
  ASSERT_NE(form->GroupBox1, nullptr);
  EXPECT_EQ(form->RadioButton1->Parent(), form->GroupBox1);
  EXPECT_EQ(SendMessageA(form->RadioButton1->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageA(form->RadioButton2->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_TRUE(form->Clicked.empty()) << "a form being read clicks nothing";
  EXPECT_EQ(GetScrollPos(form->ScrollBar1->Handle(), SB_CTL), 40);
  EXPECT_EQ(form->ScrollBar2->Kind(), sbVertical);
  EXPECT_EQ(StyleOf(form->ScrollBar2) & SBS_VERT, SBS_VERT);
  EXPECT_EQ(form->Memo1->Lines()->Get(1), "第二行");
  EXPECT_EQ(StyleOf(form->Memo1) & (ES_MULTILINE | WS_VSCROLL), ES_MULTILINE | WS_VSCROLL);

  // List boxes: multiple selection, owner-drawn fixed and variable, virtual.
  EXPECT_EQ(SendMessageA(form->ListBox1->Handle(), LB_GETCOUNT, 0, 0), 7);
  EXPECT_EQ(StyleOf(form->ListBox1) & LBS_EXTENDEDSEL, LBS_EXTENDEDSEL);
  EXPECT_EQ(SendMessageA(form->ListBox2->Handle(), LB_GETITEMHEIGHT, 0, 0), 20);
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(form->Drawn.count({"ListBox2", i})) << "fixed item " << i;
    EXPECT_TRUE(form->Drawn.count({"ListBox3", i})) << "variable item " << i;
    EXPECT_EQ(SendMessageA(form->ListBox3->Handle(), LB_GETITEMHEIGHT, i, 0), 14 + (i % 3) * 6) << i;
  }
  EXPECT_EQ(SendMessageA(form->ListBox4->Handle(), LB_GETCOUNT, 0, 0), 500);
  ASSERT_FALSE(form->Asked.empty());
  EXPECT_LT(*form->Asked.rbegin(), 20) << "only the rows shown are asked for";

  // Edits.
  EXPECT_EQ(StyleOf(form->Edit1) & (ES_OEMCONVERT | ES_NOHIDESEL), ES_OEMCONVERT | ES_NOHIDESEL);
  EXPECT_EQ(form->Edit1->ImeMode(), imClose);
  EXPECT_EQ(form->MaskEdit1->EditText(), "mask edit");

  // Tab, tree, list, header and date-time controls.
  EXPECT_EQ(form->TabControl1->TabIndex(), 1);
  EXPECT_EQ(SendMessageA(form->TabControl1->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(form->TreeView1->Parent(), form->TabControl1);
  EXPECT_EQ(SendMessageA(form->TreeView1->Handle(), TVM_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(form->ListView1->Handle(), LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(form->ListView1->HeaderHandle(), HDM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(form->HeaderControl1->Handle(), HDM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(form->HeaderControl1->Sections()->Items(1)->Alignment(), taCenter);
  EXPECT_TRUE(StyleOf(form->TimePicker1) & DTS_TIMEFORMAT);
  EXPECT_DOUBLE_EQ(form->TimePicker1->DateTime(), 45000.75);
  SYSTEMTIME range[2]{};
  EXPECT_EQ(SendMessageA(form->CheckedPicker1->Handle(), DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)),
            GDTR_MIN | GDTR_MAX);

  // The tool bar family: one system button per tool button and a gap for
  // the combo box; the up-down with its edit; glyph cells.
  EXPECT_EQ(SendMessageA(form->ToolBar1->Handle(), TB_BUTTONCOUNT, 0, 0), 7);
  EXPECT_EQ(form->ToolBar1->ButtonCount(), 6);
  EXPECT_EQ(form->ComboBox1->Parent(), form->ToolBar1);
  EXPECT_EQ(form->UpDown1->Associate(), form->Edit2);
  EXPECT_EQ(form->SpeedButton4->NumGlyphs(), 2);
  EXPECT_TRUE(form->SpeedButton1->Down());
  EXPECT_EQ(SendMessageA(form->TrackBar1->Handle(), TBM_GETPOS, 0, 0), 4);
  EXPECT_EQ(SendMessageA(form->ProgressBar1->Handle(), PBM_GETPOS, 0, 0), 30);

  // The docking panel with its two clients side by side.
  ASSERT_NE(form->DockPanel1->DockManager(), nullptr);
  EXPECT_EQ(form->DockPanel1->DockClientCount(), 2);
}

TEST(AllControlsForm, EveryControlIsReadFromTheResourcePaintedAndFreedWithEveryHandleBack) {
  SendMouseMove(1200, 1000);  // away from the flat buttons
  // The first form registers the window classes and makes what lives for
  // the process; it is not counted.
  Free(New<TAllControlsForm>(nullptr));
  RunMessagesUntilIdle();
  const THandleCounts before = HandleCounts();
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    auto* form = New<TAllControlsForm>(nullptr);
    form->Show();
    SetForegroundWindow(form->Handle());
    RunMessagesUntilIdle();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RunMessagesUntilIdle();
    ExpectTheResourcesState(form);

    // The first tool button shows its image, red.
    const Image bar = ReadClientPixels(form->ToolBar1->Handle());
    TControl* first = form->ToolBar1->Buttons(0);
    EXPECT_EQ(bar.At(first->Left() + first->Width() / 2, first->Top() + first->Height() / 2), Rgb(RGB(255, 0, 0)));

    // Selected to show it in the picture.
    form->ListBox1->SetSelected(1, true);
    form->ListBox1->SetSelected(3, true);
    form->ListBox2->SetItemIndex(2);
    form->ListBox4->SetItemIndex(1);
    form->Memo1->SetFocus();
    RunMessagesUntilIdle();
    if (round == 0) SaveScreenshot(form->Handle(), "platform-all-controls");
    const THandleCounts alive = HandleCounts();
    Free(form);
    RunMessagesUntilIdle();
    ASSERT_EQ(HandleCounts(), before) << "while alive: " << HandleCountsText(alive);
  }
}

}  // namespace
