// A bar manager written with its form and read back: its options, its bars
// with their links, its items (those of a category inside the manager, the
// others beside it), the values applied only once loading ends, and a link
// naming an item that is not there.
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/QuickCustomizing.h"
#include "bars/model/SubItems.h"
#include "platform/Exceptions.h"
#include "platform/FormResource.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

namespace {

TdxBarItem* Named(TComponent* form, const char* name) { return dynamic_cast<TdxBarItem*>(form->FindComponent(name)); }

// A form holding a manager with two categories, a main menu with a File
// sub-item and a toolbar, a check button of a category and a button of none.
AnsiString WrittenForm() {
  THostedManager host;
  host.Form->SetName("Host");
  TdxBarManager* m = host.Manager;
  m->SetName("Menus");
  m->SetStyle(bmsFlat);
  m->SetNotDocking({dsNone, dsLeft});
  m->SetMostRecentItemsPercents(80);
  m->Categories()->Add("File");
  m->Categories()->Add("View");
  m->SetCategoryItemsVisible(1, ivInCustomizing);
  m->SetCategoryVisible(0, false);

  auto* save = New<TdxBarButton>(host.Form);
  save->SetName("SaveButton");
  save->SetCaption("&Save");
  save->SetCategory(0);
  save->SetShortCut(0x4053);  // Ctrl+S
  save->SetMergeKind(mkNone);
  auto* grid = New<TdxBarButton>(host.Form);
  grid->SetName("GridButton");
  grid->SetCaption("Grid");
  grid->SetCategory(1);
  grid->SetButtonStyle(bsChecked);
  grid->SetGroupIndex(3);
  grid->SetDown(true);
  grid->SetVisible(ivInCustomizing);
  auto* loose = New<TdxBarButton>(host.Form);
  loose->SetName("LooseButton");
  loose->SetCaption("Loose");
  auto* file = New<TdxBarSubItem>(host.Form);
  file->SetName("FileMenu");
  file->SetCaption("&File");
  file->SetCategory(0);
  file->ItemLinks()->AddItem(save);
  file->ItemLinks()->AddItem(loose)->SetBeginGroup(true);

  TdxBar* menu = m->Bars()->AddBar();
  menu->SetCaption("Main Menu");
  menu->SetIsMainMenu(true);
  menu->SetDockingStyle(dsTop);
  menu->SetVisible(true);
  menu->ItemLinks()->AddItem(file);
  TdxBar* tools = m->Bars()->AddBar();
  tools->SetCaption("Tools");
  tools->SetDockingStyle(dsLeft);
  tools->SetDockedTop(40);
  tools->SetRow(1);
  tools->SetNotDocking({dsNone});
  tools->ItemLinks()->AddItem(grid)->SetUserCaption("Show grid");
  tools->ItemLinks()->AddItem(save)->SetVisible(false);
  return WriteComponentText(host.Form);
}

TEST(BarStreaming, AManagerReadBackHasWhatWasWritten) {
  const AnsiString text = WrittenForm();
  // Items of a category are written inside the manager, others beside it.
  const size_t managerAt = text.find("object Menus: TdxBarManager");
  const size_t looseAt = text.find("object LooseButton: TdxBarButton");
  const size_t saveAt = text.find("object SaveButton: TdxBarButton");
  ASSERT_NE(managerAt, AnsiString::npos) << text;
  ASSERT_NE(looseAt, AnsiString::npos) << text;
  ASSERT_NE(saveAt, AnsiString::npos) << text;
  EXPECT_LT(managerAt, saveAt);
  EXPECT_NE(text.find("ItemName = 'SaveButton'"), AnsiString::npos) << text;

  TForm* form = New<TForm>(nullptr);
  ReadComponentText(text, form, "Host");
  auto* m = dynamic_cast<TdxBarManager*>(form->FindComponent("Menus"));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->ReadStateCount(), 1);
  EXPECT_TRUE(m->KeepsStateForReset());
  EXPECT_EQ(m->Style(), bmsFlat);
  EXPECT_EQ(m->NotDocking(), (TdxBarDockingStyles{dsNone, dsLeft}));
  EXPECT_EQ(m->MostRecentItemsPercents(), 80);
  ASSERT_EQ(m->Categories()->Count(), 2);
  EXPECT_EQ(m->Categories()->Strings(1), "View");
  EXPECT_EQ(m->CategoryItemsVisible(0), ivAlways);
  EXPECT_EQ(m->CategoryItemsVisible(1), ivInCustomizing);
  EXPECT_FALSE(m->CategoryVisible(0));
  EXPECT_TRUE(m->CategoryVisible(1));
  EXPECT_EQ(m->ItemCount(), 4);

  auto* save = dynamic_cast<TdxBarButton*>(Named(form, "SaveButton"));
  auto* grid = dynamic_cast<TdxBarButton*>(Named(form, "GridButton"));
  auto* loose = dynamic_cast<TdxBarButton*>(Named(form, "LooseButton"));
  auto* file = dynamic_cast<TdxBarSubItem*>(Named(form, "FileMenu"));
  ASSERT_TRUE(save && grid && loose && file);
  EXPECT_EQ(save->Caption(), "&Save");
  EXPECT_EQ(save->Category(), 0);
  EXPECT_EQ(save->ShortCut(), 0x4053);
  EXPECT_EQ(save->MergeKind(), mkNone);
  EXPECT_EQ(save->BarManager(), m);
  EXPECT_EQ(loose->Category(), -1);
  EXPECT_EQ(loose->BarManager(), m);
  EXPECT_EQ(grid->ButtonStyle(), bsChecked);
  EXPECT_EQ(grid->GroupIndex(), 3);
  EXPECT_TRUE(grid->Down());
  // Visible read while loading takes effect when loading ends.
  EXPECT_EQ(grid->Visible(), ivInCustomizing);

  ASSERT_EQ(file->ItemLinks()->Count(), 2);
  EXPECT_EQ(file->ItemLinks()->LinkAt(0)->Item(), save);
  EXPECT_EQ(file->ItemLinks()->LinkAt(1)->Item(), loose);
  EXPECT_TRUE(file->ItemLinks()->LinkAt(1)->StoredBeginGroup());

  ASSERT_EQ(m->Bars()->ItemCount(), 2);
  TdxBar* menu = m->Bars()->BarAt(0);
  TdxBar* tools = m->Bars()->BarAt(1);
  EXPECT_EQ(menu->Name(), "MenusBar1");
  EXPECT_EQ(menu->Caption(), "Main Menu");
  EXPECT_TRUE(menu->IsMainMenu());
  EXPECT_EQ(m->MainMenuBar(), menu);
  EXPECT_EQ(menu->DockingStyle(), dsTop);
  EXPECT_TRUE(menu->Visible());
  EXPECT_TRUE(menu->Predefined());
  EXPECT_TRUE(menu->CanReset());
  ASSERT_EQ(menu->ItemLinks()->Count(), 1);
  EXPECT_EQ(menu->ItemLinks()->LinkAt(0)->Item(), file);
  EXPECT_EQ(tools->Caption(), "Tools");
  EXPECT_EQ(tools->DockingStyle(), dsLeft);
  EXPECT_EQ(tools->DockedTop(), 40);
  EXPECT_EQ(tools->Row(), 1);
  EXPECT_EQ(tools->NotDocking(), TdxBarDockingStyles{dsNone});
  EXPECT_FALSE(tools->Visible());
  ASSERT_EQ(tools->ItemLinks()->Count(), 2);
  EXPECT_EQ(tools->ItemLinks()->LinkAt(0)->Item(), grid);
  EXPECT_EQ(tools->ItemLinks()->LinkAt(0)->UserCaption(), "Show grid");
  EXPECT_FALSE(tools->ItemLinks()->LinkAt(1)->Visible());
  EXPECT_EQ(m->LockUpdateCount(), 0);
  // Written again, the form reads the same.
  EXPECT_EQ(WriteComponentText(form), text);
  Free(form);
}

TEST(BarStreaming, ALinkNamingAMissingItemIsDropped) {
  const AnsiString text =
      "object Host: TForm\n"
      "  object Menus: TdxBarManager\n"
      "    object MenusBar1: TdxBar\n"
      "      Caption = 'Tools'\n"
      "      ItemLinks = <\n"
      "        item\n"
      "          ItemName = 'NoSuchButton'\n"
      "        end\n"
      "        item\n"
      "          ItemName = 'Real'\n"
      "        end>\n"
      "    end\n"
      "  end\n"
      "  object Real: TdxBarButton\n"
      "    Caption = 'Real'\n"
      "    Category = -1\n"
      "  end\n"
      "end\n";
  TForm* form = New<TForm>(nullptr);
  ReadComponentText(text, form, "Host");
  auto* m = dynamic_cast<TdxBarManager*>(form->FindComponent("Menus"));
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->Bars()->ItemCount(), 1);
  TdxBarItemLinks* links = m->Bars()->BarAt(0)->ItemLinks();
  // Only the link that found its item is usable.
  int withItem = 0;
  for (int i = 0; i < links->Count(); ++i)
    if (links->LinkAt(i)->Item()) ++withItem;
  EXPECT_EQ(withItem, 1);
  EXPECT_EQ(links->UsableLinkCount(), 1);
  EXPECT_EQ(links->GetUsableLink(0)->Item(), Named(form, "Real"));
  Free(form);
}

TEST(BarStreaming, CategoryValuesBeyondTheCategoriesAreSkippedAndBadOnesRefused) {
  struct Case {
    const char* Name;
    const char* ItemsVisibles;
    const char* Error;  // null: read
  } cases[] = {
      {"one value per category", "(\n      0\n      1)", nullptr},
      {"more values than categories", "(\n      0\n      1\n      2\n      2)", nullptr},
      {"fewer values", "(\n      0)", nullptr},
      {"a value that is no visibility", "(\n      0\n      7)", "Invalid category items visibility 7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const AnsiString text = AnsiString("object Host: TForm\n  object Menus: TdxBarManager\n"
                                       "    Categories.Strings = (\n      'File'\n      'View')\n"
                                       "    Categories.ItemsVisibles = ") +
                            c.ItemsVisibles + "\n  end\nend\n";
    TForm* form = New<TForm>(nullptr);
    try {
      ReadComponentText(text, form, "Host");
      EXPECT_EQ(c.Error, nullptr);
      auto* m = dynamic_cast<TdxBarManager*>(form->FindComponent("Menus"));
      ASSERT_NE(m, nullptr);
      EXPECT_EQ(m->Categories()->Count(), 2);
      EXPECT_EQ(m->CategoryItemsVisible(0), ivNever);
    } catch (const Exception& e) {
      ASSERT_NE(c.Error, nullptr) << e.Message();
      EXPECT_NE(e.Message().find(c.Error), AnsiString::npos) << e.Message();
      EXPECT_NE(e.Message().find("Menus"), AnsiString::npos) << e.Message();
    }
    Free(form);
  }
}

}  // namespace
