// The list view and the header control on real windows: items, sub-items
// and columns read back through the list's own messages after each change,
// selection reported once from code and from the window, column and section
// clicks, section widths and their limits.
#include "platform/ImageList.h"
#include "platform/ListView.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace testing_support;
using namespace control_tests;

// The window's rows: cells separated by "|", rows by ";", "*" after a
// selected row.
std::string WindowRows(HWND wnd, int columns) {
  std::string text;
  const int count = static_cast<int>(SendMessageA(wnd, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    if (row) text += ";";
    for (int column = 0; column < columns; ++column) {
      char buffer[64] = {};
      LVITEMA item{};
      item.iSubItem = column;
      item.pszText = buffer;
      item.cchTextMax = sizeof buffer;
      SendMessageA(wnd, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
      if (column) text += "|";
      text += buffer;
    }
    if (SendMessageA(wnd, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) text += "*";
  }
  return text;
}

std::string WindowColumns(HWND wnd) {
  std::string text;
  for (int i = 0;; ++i) {
    char buffer[64] = {};
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = buffer;
    column.cchTextMax = sizeof buffer;
    if (!SendMessageA(wnd, LVM_GETCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column))) break;
    if (i) text += ",";
    text += std::string(buffer) + ":" + std::to_string(column.cx);
  }
  return text;
}

struct ListForm {
  ShownForm Form{40, 40, 420, 300, "List"};
  TListView* List = Place<TListView>(Form.Form, 8, 8, 380, 240);
  ListForm() {
    List->SetViewStyle(vsReport);
    for (const char* caption : {"Name", "Size", "Kind"}) {
      TListColumn* column = List->Columns()->Add();
      column->SetCaption(caption);
      column->SetWidth(90);
    }
    AddRow("b", "2", "y");
    AddRow("a", "1", "x");
    Form.Show();
  }
  TListItem* AddRow(const char* caption, const char* size, const char* kind) {
    TListItem* item = List->Items()->Add();
    item->SetCaption(caption);
    item->SubItems()->Add(size);
    item->SubItems()->Add(kind);
    return item;
  }
  std::string Rows() const { return WindowRows(List->Handle(), 3); }
};

TEST(ListView, TheWindowHoldsTheItemsAndSubItems) {
  const struct {
    const char* name;
    std::function<void(ListForm&)> change;
    const char* expected;
  } cases[] = {
      {"added", [](ListForm&) {}, "b|2|y;a|1|x"},
      {"inserted", [](ListForm& f) { f.List->Items()->Insert(1)->SetCaption("c"); }, "b|2|y;c||;a|1|x"},
      {"deleted", [](ListForm& f) { f.List->Items()->Delete(0); }, "a|1|x"},
      {"cleared", [](ListForm& f) { f.List->Items()->Clear(); }, ""},
      {"caption changed", [](ListForm& f) { f.List->Items()->Item(1)->SetCaption("A"); }, "b|2|y;A|1|x"},
      {"sub-item changed", [](ListForm& f) { f.List->Items()->Item(0)->SubItems()->Put(1, "z"); }, "b|2|z;a|1|x"},
      {"sub-item removed", [](ListForm& f) { f.List->Items()->Item(0)->SubItems()->Delete(0); }, "b|y|;a|1|x"},
      {"sub-items cleared", [](ListForm& f) { f.List->Items()->Item(0)->SubItems()->Clear(); }, "b||;a|1|x"},
      {"selected", [](ListForm& f) { f.List->SetItemIndex(1); }, "b|2|y;a|1|x*"},
      {"sorted by caption", [](ListForm& f) { f.List->SetSortType(stText); f.AddRow("0", "0", "w"); },
       "0|0|w;a|1|x;b|2|y"},
      {"sorted by the handler",
       [](ListForm& f) {
         f.List->OnCompare = TLVCompareEvent::Lambda([](TObject*, TListItem* x, TListItem* y, int, int& c) {
           c = AnsiCompareText(x->SubItems()->Get(1), y->SubItems()->Get(1));
         });
         f.List->AlphaSort();
       },
       "a|1|x;b|2|y"},
      {"window made again",
       [](ListForm& f) {
         f.List->SetItemIndex(0);
         f.List->SetMultiSelect(true);
       },
       "b|2|y*;a|1|x"},
      {"assigned",
       [](ListForm& f) {
         auto* other = New<TListView>(nullptr);
         TListItem* item = other->Items()->Add();
         item->SetCaption("q");
         item->SubItems()->Add("9");
         f.List->Items()->Assign(other->Items());
         Free(other);
       },
       "q|9|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ListForm f;
    c.change(f);
    EXPECT_EQ(c.expected, f.Rows());
    EXPECT_EQ(f.List->Items()->Count(), static_cast<int>(SendMessageA(f.List->Handle(), LVM_GETITEMCOUNT, 0, 0)));
  }
}

TEST(ListView, ColumnsFollowTheirCollectionAndKeepDraggedWidths) {
  ListForm f;
  EXPECT_EQ("Name:90,Size:90,Kind:90", WindowColumns(f.List->Handle()));
  f.List->Columns()->Items(1)->SetCaption("Bytes");
  f.List->Columns()->Delete(2);
  EXPECT_EQ("Name:90,Bytes:90", WindowColumns(f.List->Handle()));
  EXPECT_EQ("b|2;a|1", WindowRows(f.List->Handle(), 2));
  // A width the user gave survives a new window.
  SendMessageA(f.List->Handle(), LVM_SETCOLUMNWIDTH, 0, 120);
  EXPECT_EQ(120, f.List->Columns()->Items(0)->Width());
  f.List->SetShowColumnHeaders(false);
  EXPECT_EQ("Name:120,Bytes:90", WindowColumns(f.List->Handle()));
}

TEST(ListView, SelectionIsReportedOnceFromCodeAndFromTheWindow) {
  ListForm f;
  std::vector<std::string> log;
  f.List->OnSelectItem = TLVSelectItemEvent::Lambda([&](TObject*, TListItem* item, bool selected) {
    log.push_back((item ? item->Caption() : AnsiString("?")) + (selected ? "+" : "-"));
  });
  f.List->SetSelected(f.List->Items()->Item(0));
  f.List->SetSelected(f.List->Items()->Item(1));
  EXPECT_EQ((std::vector<std::string>{"b+", "b-", "a+"}), log);
  EXPECT_EQ(1, f.List->SelCount());
  EXPECT_EQ(f.List->Items()->Item(1), f.List->Selected());

  // A click on the first row.
  log.clear();
  const RECT row = f.List->Items()->Item(0)->DisplayRect();
  EXPECT_EQ(f.List->Items()->Item(0), f.List->GetItemAt(row.left + 4, (row.top + row.bottom) / 2));
  PostClick(f.List->Handle(), row.left + 4, (row.top + row.bottom) / 2);
  RunMessagesUntilIdle();
  EXPECT_EQ((std::vector<std::string>{"a-", "b+"}), log);
  EXPECT_EQ(0, f.List->ItemIndex());

  // Deleting the selected item reports it leaving.
  log.clear();
  f.List->Items()->Delete(0);
  EXPECT_EQ((std::vector<std::string>{"b-"}), log);
  EXPECT_EQ(nullptr, f.List->Selected());
}

TEST(ListView, ColumnClicksNameTheirColumn) {
  ListForm f;
  std::vector<int> clicked;
  f.List->OnColumnClick = TLVColumnClickEvent::Lambda([&](TObject*, TListColumn* column) { clicked.push_back(column->Index()); });
  HWND header = f.List->HeaderHandle();
  ASSERT_NE(nullptr, header);
  RECT second{};
  SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
  PostClick(header, (second.left + second.right) / 2, (second.top + second.bottom) / 2);
  RunMessagesUntilIdle();
  EXPECT_EQ(std::vector<int>{1}, clicked);
}

TEST(ListView, ItemsCarryImagesAndChecks) {
  ListForm f;
  auto* images = New<TCustomImageList>(f.Form.Form);
  f.List->SetSmallImages(images);
  EXPECT_EQ(reinterpret_cast<LPARAM>(images->Handle()), SendMessageA(f.List->Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  f.List->Items()->Item(1)->SetImageIndex(2);
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = 1;
  SendMessageA(f.List->Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(2, item.iImage);
  f.List->Items()->Item(1)->SetChecked(true);  // kept until there are boxes
  f.List->SetCheckboxes(true);
  EXPECT_TRUE(f.List->Items()->Item(1)->Checked());
  EXPECT_FALSE(f.List->Items()->Item(0)->Checked());
  EXPECT_EQ(INDEXTOSTATEIMAGEMASK(2),
            SendMessageA(f.List->Handle(), LVM_GETITEMSTATE, 1, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK);
  // The list's own list goes with the list view's; a freed list is let go.
  Free(images);
  EXPECT_EQ(nullptr, f.List->SmallImages());
}

// -- Header control ----------------------------------------------------------------------

std::string WindowSections(HWND wnd) {
  std::string text;
  const int count = static_cast<int>(SendMessageA(wnd, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char buffer[64] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_IMAGE;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(wnd, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    if (i) text += ",";
    text += std::string(buffer) + ":" + std::to_string(item.cxy);
    if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) text += ">";
    if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) text += "=";
    if (item.fmt & HDF_IMAGE) text += "#" + std::to_string(item.iImage);
    if (item.fmt & HDF_OWNERDRAW) text += "~";
  }
  return text;
}

struct HeaderForm {
  ShownForm Form{40, 40, 420, 200, "Header"};
  THeaderControl* Header = Place<THeaderControl>(Form.Form, 0, 0, 400, 20);
  HeaderForm() {
    for (const char* text : {"One", "Two", "Three"}) {
      THeaderSection* section = Header->Sections()->Add();
      section->SetText(text);
      section->SetWidth(80);
    }
    Form.Show();
  }
};

TEST(HeaderControl, SectionsAreTheWindowsItems) {
  HeaderForm f;
  EXPECT_EQ("One:80,Two:80,Three:80", WindowSections(f.Header->Handle()));
  f.Header->Sections()->Items(1)->SetAlignment(taRightJustify);
  f.Header->Sections()->Items(2)->SetAlignment(taCenter);
  f.Header->Sections()->Items(0)->SetImageIndex(1);
  f.Header->Sections()->Items(0)->SetWidth(60);
  f.Header->Sections()->Items(2)->SetStyle(hsOwnerDraw);
  EXPECT_EQ("One:60#1,Two:80>,Three:80=~", WindowSections(f.Header->Handle()));
  EXPECT_EQ(140, f.Header->Sections()->Items(2)->Left());
  f.Header->Sections()->Delete(0);
  EXPECT_EQ("Two:80>,Three:80=~", WindowSections(f.Header->Handle()));
  f.Header->SetHotTrack(true);  // a new window
  EXPECT_EQ("Two:80>,Three:80=~", WindowSections(f.Header->Handle()));
}

TEST(HeaderControl, ClicksAndWidthsFromTheWindow) {
  HeaderForm f;
  std::vector<std::string> log;
  f.Header->OnSectionClick = TSectionNotifyEvent::Lambda([&](THeaderControl*, THeaderSection* s) {
    log.push_back("click " + s->Text());
  });
  f.Header->OnSectionResize = TSectionNotifyEvent::Lambda([&](THeaderControl*, THeaderSection* s) {
    log.push_back("resize " + s->Text() + " " + std::to_string(s->Width()));
  });
  f.Header->Sections()->Items(0)->SetAllowClick(false);
  for (int i = 0; i < 2; ++i) {
    RECT rect{};
    SendMessageA(f.Header->Handle(), HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect));
    PostClick(f.Header->Handle(), (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    RunMessagesUntilIdle();
  }
  EXPECT_EQ(std::vector<std::string>{"click Two"}, log);

  // Another program (or the user's drag) sets a width: the section follows,
  // within its limits.
  log.clear();
  f.Header->Sections()->Items(1)->SetMaxWidth(100);
  const struct {
    int asked;
    int kept;
  } widths[] = {{90, 90}, {150, 100}};
  for (const auto& w : widths) {
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = w.asked;
    SendMessageA(f.Header->Handle(), HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(w.kept, f.Header->Sections()->Items(1)->Width());
    EXPECT_EQ("One:80,Two:" + std::to_string(w.kept) + ",Three:80", WindowSections(f.Header->Handle()));
  }
  EXPECT_EQ((std::vector<std::string>{"resize Two 90", "resize Two 100"}), log);
}

}  // namespace
