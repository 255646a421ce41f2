// One form resource with every standard control beyond the first few: it is
// read, shown, painted (the screenshot platform-all-controls.png) and freed,
// and every handle it took comes back.
#include "platform/Memo.h"
#include "platform/Properties.h"
#include "platform/StdCtrls.h"
#include "tests/platform/controls/ControlTestUtil.h"

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
    Method<&TAllControlsForm::RadioClick>("RadioClick"),
    Method<&TAllControlsForm::ScrollBar1Scroll>("ScrollBar1Scroll"),
    Method<&TAllControlsForm::ListBoxDrawItem>("ListBoxDrawItem"),
    Method<&TAllControlsForm::ListBox3MeasureItem>("ListBox3MeasureItem"),
    Method<&TAllControlsForm::ListBox4Data>("ListBox4Data"),
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
});

LONG_PTR StyleOf(TWinControl* control) { return GetWindowLongPtrA(control->Handle(), GWL_STYLE); }

TEST(AllControlsForm, EveryControlIsReadFromTheResourcePaintedAndFreedWithEveryHandleBack) {
  // The first form registers the window classes and makes what lives for
  // the process; it is not counted.
  Free(New<TAllControlsForm>(nullptr));
  RunMessagesUntilIdle();
  const THandleCounts before = HandleCounts();
  {
    auto* form = New<TAllControlsForm>(nullptr);
    form->Show();
    RunMessagesUntilIdle();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RunMessagesUntilIdle();

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
    EXPECT_EQ(StyleOf(form->Edit1) & (ES_OEMCONVERT | ES_NOHIDESEL), ES_OEMCONVERT | ES_NOHIDESEL);
    EXPECT_EQ(form->Edit1->ImeMode(), imClose);
    EXPECT_EQ(form->MaskEdit1->EditText(), "mask edit");

    // Selected to show it in the picture.
    form->ListBox1->SetSelected(1, true);
    form->ListBox1->SetSelected(3, true);
    form->ListBox2->SetItemIndex(2);
    form->ListBox4->SetItemIndex(1);
    form->Memo1->SetFocus();
    RunMessagesUntilIdle();
    SaveScreenshot(form->Handle(), "platform-all-controls");
    Free(form);
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

}  // namespace
