// Handles the class library holds: a form with every standard control,
// shown, painted and freed many times, gives back every window, GDI object,
// device context and menu it made.
#include "platform/Bitmap.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/DateTimePicker.h"
#include "platform/ExtCtrls.h"
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "platform/Menus.h"
#include "platform/Memo.h"
#include "platform/StdCtrls.h"
#include "platform/ToolBar.h"
#include "platform/TreeView.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;
using namespace control_tests;

// One of each standard control, with the pictures, menus and lists that make
// them hold handles of their own.
TForm* BuildEveryControlForm() {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(80, 80, 520, 460);
  form->SetCaption("Every control");
  auto* menu = New<TMainMenu>(form);
  auto* file = New<TMenuItem>(form);
  file->SetCaption("&File");
  auto* open = New<TMenuItem>(form);
  open->SetCaption("&Open");
  file->Add(open);
  menu->Items()->Add(file);
  form->SetMenu(menu);
  auto* popup = New<TPopupMenu>(form);
  auto* copy = New<TMenuItem>(form);
  copy->SetCaption("Copy");
  popup->Items()->Add(copy);
  popup->Handle();

  auto* panel = Place<TPanel>(form, 8, 8, 200, 120);
  panel->SetCaption("panel");
  panel->SetPopupMenu(popup);
  Place<TLabel>(panel, 8, 8, 80, 16)->SetCaption("label");
  Place<TEdit>(panel, 8, 30, 150, 22)->SetText("edit");
  Place<TButton>(panel, 8, 60, 80, 26)->SetCaption("button");
  Place<TCheckBox>(form, 8, 140, 120, 20)->SetCaption("check");
  Place<TStaticText>(form, 8, 166, 120, 20)->SetCaption("static");
  auto* list = Place<TListBox>(form, 220, 8, 120, 80);
  list->Items()->SetText("one\r\ntwo\r\n");
  auto* combo = Place<TComboBox>(form, 220, 96, 120, 22);
  combo->Items()->SetText("a\r\nb\r\n");
  combo->SetItemIndex(0);
  auto* image = Place<TImage>(form, 8, 192, 48, 48);
  auto picture = std::make_unique<TBitmap>();
  picture->SetSize(48, 48);
  picture->Canvas()->Brush()->SetColor(clTeal);
  picture->Canvas()->FillRect(RECT{0, 0, 48, 48});
  image->Picture()->SetGraphic(picture.get());
  auto* images = New<TCustomImageList>(form);
  images->Add(picture.get(), nullptr);
  auto* pages = Place<TPageControl>(form, 350, 8, 160, 160);
  for (const char* caption : {"One", "Two"}) {
    auto* sheet = New<TTabSheet>(form);
    sheet->SetCaption(caption);
    sheet->SetPageControl(pages);
  }
  Place<TEdit>(pages->Pages(0), 8, 8, 100, 22);
  auto* status = Place<TStatusBar>(form, 0, 0, 100, 20);
  status->Panels()->Add()->SetText("ready");
  // The tool bar with images, a drop-down button and a control in a gap;
  // glyph and speed buttons (their glyph cells are an image list of their
  // own); the up-down with its edit; the track and progress bars.
  auto* bar = Place<TToolBar>(form, 0, 0, 300, 30);
  bar->SetImages(images);
  for (TToolButtonStyle style : {tbsButton, tbsSeparator, tbsCheck, tbsDropDown}) {
    auto* button = New<TToolButton>(form);
    button->SetParent(bar);
    button->SetStyle(style);
    button->SetImageIndex(0);
    button->SetDropdownMenu(style == tbsDropDown ? popup : nullptr);
  }
  Place<TEdit>(bar, 0, 0, 60, 22);
  auto glyph = std::make_unique<TBitmap>();
  glyph->SetSize(32, 16);
  auto* bitBtn = Place<TBitBtn>(form, 130, 250, 80, 28);
  bitBtn->SetGlyph(glyph.get());
  bitBtn->SetCaption("glyph");
  auto* speed = Place<TSpeedButton>(form, 220, 250, 60, 24);
  speed->SetGlyph(glyph.get());
  speed->SetGroupIndex(1);
  speed->SetDown(true);
  auto* number = Place<TEdit>(form, 290, 250, 50, 22);
  Place<TUpDown>(form, 340, 250, 16, 22)->SetAssociate(number);
  Place<TTrackBar>(form, 8, 290, 150, 30)->SetPosition(3);
  Place<TProgressBar>(form, 170, 290, 150, 16)->SetPosition(40);
  auto* tabs = Place<TTabControl>(form, 220, 130, 120, 60);
  tabs->Tabs()->SetText("a\r\nb\r\n");
  tabs->SetImages(images);
  auto* tree = Place<TTreeView>(tabs, 4, 24, 100, 30);
  tree->SetImages(images);
  tree->Items()->AddChild(tree->Items()->Add(nullptr, "root"), "leaf")->MakeVisible();
  auto* listView = Place<TListView>(form, 350, 176, 160, 80);
  listView->SetViewStyle(vsReport);
  listView->SetSmallImages(images);
  listView->Columns()->Add()->SetCaption("name");
  listView->Items()->Add()->SetCaption("item");
  auto* header = Place<THeaderControl>(form, 8, 250, 200, 20);
  header->SetAlign(alNone);
  header->SetBounds(8, 250, 200, 20);
  header->Sections()->Add()->SetText("section");
  Place<TDateTimePicker>(form, 220, 200, 120, 22)->SetShowCheckbox(true);
  auto* timer = New<TTimer>(form);
  timer->SetInterval(60000);
  timer->SetEnabled(true);

  auto* group = Place<TGroupBox>(form, 8, 330, 150, 80);
  group->SetCaption("group");
  Place<TRadioButton>(group, 8, 18, 120, 20)->SetChecked(true);
  Place<TRadioButton>(group, 8, 40, 120, 20);
  Place<TScrollBar>(form, 170, 330, 120, 17)->SetParams(30, 0, 100);
  Place<TMemo>(form, 170, 350, 120, 60)->Lines()->SetText("memo\r\nlines\r\n");
  auto* multi = Place<TListBox>(form, 300, 330, 80, 80);
  multi->SetMultiSelect(true);
  multi->Items()->SetText("a\r\nb\r\n");
  multi->SetSelected(1, true);
  auto* drawn = Place<TListBox>(form, 390, 330, 60, 80);
  drawn->SetStyle(lbOwnerDrawVariable);
  drawn->OnMeasureItem = TMeasureItemEvent::Lambda([](TWinControl*, int, int& height) { height = 18; });
  drawn->Items()->SetText("x\r\ny\r\n");
  auto* rows = Place<TListBox>(form, 460, 330, 50, 80);
  rows->SetStyle(lbVirtual);
  rows->OnData = TLBGetDataEvent::Lambda([](TWinControl*, int index, AnsiString& data) { data = std::to_string(index); });
  rows->SetCount(1000);
  auto* edit = Place<TMaskEdit>(form, 220, 130, 120, 22);
  edit->SetHideSelection(false);
  edit->SetImeMode(imDisable);
  return form;
}

// Shows the form, paints it through the system and into a bitmap, and answers
// the counts while it lives.
THandleCounts ShowAndPaint(TForm* form) {
  form->Show();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  TBitmap shot;
  shot.SetSize(form->ClientWidth(), form->ClientHeight());
  form->PaintTo(shot.Canvas()->Handle(), 0, 0);
  return HandleCounts();
}

TEST(HandleCounts, AFormWithEveryControlGivesEveryHandleBack) {
  // The first form registers window classes and makes what lives for the
  // process (the screen's and the application's objects); it is not counted.
  Free(BuildEveryControlForm());
  const THandleCounts before = HandleCounts();
  for (int round = 0; round < 200; ++round) {
    TForm* form = BuildEveryControlForm();
    const THandleCounts alive = ShowAndPaint(form);
    Free(form);
    RunMessagesUntilIdle();
    const THandleCounts after = HandleCounts();
    if (round == 0) {
      // The form, its 33 windowed controls (the list view's header and the
      // picker's check box are the system's own) and the timer's window; the
      // main and popup menus; at least the picture, the image list and a brush.
      EXPECT_EQ(alive.Windows - before.Windows, 35) << HandleCountsText(alive);
      EXPECT_EQ(alive.Menus - before.Menus, 2) << HandleCountsText(alive);
      EXPECT_GE(alive.GdiObjects - before.GdiObjects, 3) << HandleCountsText(alive);
    }
    ASSERT_EQ(after, before) << "round " << round << ", while alive: " << HandleCountsText(alive);
  }
}

// An object of the class library, freed through Free when dropped.
template <class T>
std::shared_ptr<void> Held(T* object) {
  return std::shared_ptr<void>(object, [](T* o) { Free(o); });
}

// Each owner counts what it holds while it holds it.
TEST(HandleCounts, EachOwnerCountsWhileItHolds) {
  // A canvas selects the default font, pen and brush, whose handles are
  // shared: held here, so that each row counts only its own.
  TFont font;
  TPen pen;
  TBrush brush;
  font.Handle();
  pen.Handle();
  brush.Handle();
  const struct {
    const char* name;
    std::function<std::shared_ptr<void>()> make;
    THandleCounts held;  // more than before while the object lives
  } cases[] = {
      {"bitmap with its canvas",
       [] {
         auto* b = New<TBitmap>();
         b->SetSize(8, 8);
         b->Canvas()->Handle();
         return Held(b);
       },
       {1, 1, 0, 0}},
      {"font handle", [] {
         auto* f = New<TFont>();
         f->SetName("Mevra counting font");
         f->Handle();
         return Held(f);
       },
       {1, 0, 0, 0}},
      {"memory DC", [] { return std::make_shared<TMemoryDC>(); }, {0, 1, 0, 0}},
      {"screen DC", [] { return std::make_shared<TScreenDC>(); }, {0, 1, 0, 0}},
      {"utility window",
       [] {
         HWND wnd = AllocateHWnd(TWndMethod::Lambda([](TMessage&) {}));
         return std::shared_ptr<void>(wnd, [](HWND w) { DeallocateHWnd(w); });
       },
       {0, 0, 1, 0}},
      {"popup menu",
       [] {
         auto* m = New<TPopupMenu>(nullptr);
         m->Handle();
         return Held(m);
       },
       {0, 0, 0, 1}},
      {"image list",
       [] {
         auto* l = New<TCustomImageList>(nullptr);
         l->Handle();
         return Held(l);
       },
       {1, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const THandleCounts before = HandleCounts();
    {
      std::shared_ptr<void> object = c.make();
      const THandleCounts now = HandleCounts();
      EXPECT_EQ((THandleCounts{now.GdiObjects - before.GdiObjects, now.DeviceContexts - before.DeviceContexts,
                               now.Windows - before.Windows, now.Menus - before.Menus}),
                c.held);
    }
    EXPECT_EQ(HandleCounts(), before);
  }
}

}  // namespace
