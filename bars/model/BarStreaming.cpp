// What a form stores of a bar manager, its bars, items and links: the
// published properties of each class and the item name a link stores in
// place of its item.
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/ItemLinks.h"
#include "bars/model/QuickCustomizing.h"
#include "bars/model/SubItems.h"
#include "platform/Filer.h"
#include "platform/Properties.h"

namespace {

const TEnumInfo ManagerStyleNames{
    "TdxBarManagerStyle", {"bmsStandard", "bmsEnhanced", "bmsFlat", "bmsXP", "bmsOffice11", "bmsUseLookAndFeel"}};
const TEnumInfo DockingStyleNames{"TdxBarDockingStyle", {"dsNone", "dsLeft", "dsTop", "dsRight", "dsBottom"}};
const TEnumInfo ItemAlignNames{"TdxBarItemAlign", {"iaLeft", "iaCenter", "iaRight", "iaClient"}};
const TEnumInfo MergeKindNames{"TdxBarItemMergeKind", {"mkAdd", "mkMergeByCaption", "mkNone"}};
const TEnumInfo ItemVisibleNames{"TdxBarItemVisible", {"ivNever", "ivInCustomizing", "ivAlways"}};
const TEnumInfo PaintStyleNames{"TdxBarPaintStyle", {"psStandard", "psCaption", "psCaptionInMenu", "psCaptionGlyph"}};
const TEnumInfo ButtonStyleNames{"TdxBarButtonStyle", {"bsDefault", "bsChecked", "bsDropDown", "bsCheckedDropDown"}};
const TEnumInfo ItemPositionNames{"TdxBarItemPosition", {"ipBeginsNewRow", "ipBeginsNewColumn", "ipContinuesRow"}};
const TEnumInfo ButtonGroupNames{"TdxBarButtonGroupPosition", {"bgpNone", "bgpStart", "bgpMember"}};

constexpr auto SetItemVisible = static_cast<void (TdxBarItem::*)(TdxBarItemVisible)>(&TdxBarItem::SetVisible);

void RegisterStoredProperties() {
  RegisterPublished(&TdxBarManager::ClassInfo, {
      Property<&TdxBarManager::AllowReset, &TdxBarManager::SetAllowReset>("AllowReset").Default(true),
      Property<&TdxBarManager::AutoHideEmptyBars, &TdxBarManager::SetAutoHideEmptyBars>("AutoHideEmptyBars")
          .Default(false),
      Property<&TdxBarManager::ButtonArrowWidth, &TdxBarManager::SetButtonArrowWidth>("ButtonArrowWidth").Default(11),
      Property<&TdxBarManager::Categories>("Categories"),
      Property<&TdxBarManager::LargeButtonArrowWidth, &TdxBarManager::SetLargeButtonArrowWidth>(
          "LargeButtonArrowWidth").Default(13),
      Property<&TdxBarManager::MenusShowRecentItemsFirst, &TdxBarManager::SetMenusShowRecentItemsFirst>(
          "MenusShowRecentItemsFirst").Default(true),
      Property<&TdxBarManager::MostRecentItemsPercents, &TdxBarManager::SetMostRecentItemsPercents>(
          "MostRecentItemsPercents").Default(95),
      Property<&TdxBarManager::NotDocking, &TdxBarManager::SetNotDocking>("NotDocking", DockingStyleNames)
          .Default(TdxBarDockingStyles()),
      Property<&TdxBarManager::Style, &TdxBarManager::SetStyle>("Style", ManagerStyleNames).Default(bmsEnhanced),
      Property<&TdxBarManager::WaitForDockingTime, &TdxBarManager::SetWaitForDockingTime>("WaitForDockingTime")
          .Default(21),
  });

  RegisterPublished(&TdxBar::ClassInfo, {
      Property<&TdxBar::AllowClose, &TdxBar::SetAllowClose>("AllowClose").Default(true),
      Property<&TdxBar::AllowReset, &TdxBar::SetAllowReset>("AllowReset").Default(true),
      Property<&TdxBar::Caption, &TdxBar::SetCaption>("Caption"),
      Property<&TdxBar::DockedLeft, &TdxBar::SetDockedLeft>("DockedLeft").Default(0),
      Property<&TdxBar::DockedTop, &TdxBar::SetDockedTop>("DockedTop").Default(0),
      Property<&TdxBar::DockingStyle, &TdxBar::SetDockingStyle>("DockingStyle", DockingStyleNames).Default(dsNone),
      Property<&TdxBar::FloatLeft, &TdxBar::SetFloatLeft>("FloatLeft").Default(0),
      Property<&TdxBar::FloatTop, &TdxBar::SetFloatTop>("FloatTop").Default(0),
      Property<&TdxBar::IsMainMenu, &TdxBar::SetIsMainMenu>("IsMainMenu").Default(false),
      Property<&TdxBar::ItemLinks>("ItemLinks"),
      Property<&TdxBar::MultiLine, &TdxBar::SetMultiLine>("MultiLine").Default(false),
      Property<&TdxBar::NotDocking, &TdxBar::SetNotDocking>("NotDocking", DockingStyleNames)
          .Default(TdxBarDockingStyles()),
      Property<&TdxBar::Row, &TdxBar::SetRow>("Row").Default(0),
      Property<&TdxBar::Visible, &TdxBar::SetVisible>("Visible"),
      Property<&TdxBar::WholeRow, &TdxBar::SetWholeRow>("WholeRow"),
  });

  RegisterPublished(&TdxBarItem::ClassInfo, {
      Property<&TdxBarItem::Align, &TdxBarItem::SetAlign>("Align", ItemAlignNames).Default(iaLeft),
      Property<&TdxBarItem::Caption, &TdxBarItem::SetCaption>("Caption"),
      Property<&TdxBarItem::Category, &TdxBarItem::SetCategory>("Category"),
      Property<&TdxBarItem::Description, &TdxBarItem::SetDescription>("Description"),
      Property<&TdxBarItem::HelpContext, &TdxBarItem::SetHelpContext>("HelpContext").Default(0),
      Property<&TdxBarItem::Hint, &TdxBarItem::SetHint>("Hint"),
      Property<&TdxBarItem::ImageIndex, &TdxBarItem::SetImageIndex>("ImageIndex").Default(-1),
      Property<&TdxBarItem::KeyTip, &TdxBarItem::SetKeyTip>("KeyTip"),
      Property<&TdxBarItem::MergeKind, &TdxBarItem::SetMergeKind>("MergeKind", MergeKindNames).Default(mkAdd),
      Property<&TdxBarItem::MergeOrder, &TdxBarItem::SetMergeOrder>("MergeOrder").Default(0),
      Property<&TdxBarItem::ShortCut, &TdxBarItem::SetShortCut>("ShortCut").Default(0),
      Property<&TdxBarItem::Visible, SetItemVisible>("Visible", ItemVisibleNames),
      Event<&TdxBarItem::OnClick>("OnClick"),
  });

  RegisterPublished(&TdxBarButton::ClassInfo, {
      // The style first: a group index sticks only to check buttons, and Down
      // follows the group.
      Property<&TdxBarButton::ButtonStyle, &TdxBarButton::SetButtonStyle>("ButtonStyle", ButtonStyleNames)
          .Default(bsDefault),
      Property<&TdxBarButton::GroupIndex, &TdxBarButton::SetGroupIndex>("GroupIndex").Default(0),
      Property<&TdxBarButton::AllowAllUp, &TdxBarButton::SetAllowAllUp>("AllowAllUp").Default(false),
      Property<&TdxBarButton::Down, &TdxBarButton::SetDown>("Down").Default(false),
      Property<&TdxBarButton::CloseSubMenuOnClick, &TdxBarButton::SetCloseSubMenuOnClick>("CloseSubMenuOnClick")
          .Default(true),
      Property<&TdxBarButton::Lowered, &TdxBarButton::SetLowered>("Lowered").Default(false),
      Property<&TdxBarButton::PaintStyle, &TdxBarButton::SetPaintStyle>("PaintStyle", PaintStyleNames)
          .Default(psStandard),
  });

  RegisterPublished(&TCustomdxBarSubItem::ClassInfo, {
      Property<&TCustomdxBarSubItem::ItemLinks>("ItemLinks"),
  });

  RegisterPublished(&TdxBarItemLink::ClassInfo, {
      Property<&TdxBarItemLink::StoredBeginGroup, &TdxBarItemLink::SetBeginGroup>("BeginGroup").Default(false),
      Property<&TdxBarItemLink::ButtonGroup, &TdxBarItemLink::SetButtonGroup>("ButtonGroup", ButtonGroupNames)
          .Default(bgpNone),
      Property<&TdxBarItemLink::MostRecentlyUsed, &TdxBarItemLink::SetMostRecentlyUsed>("MostRecentlyUsed")
          .Default(true),
      Property<&TdxBarItemLink::Position, &TdxBarItemLink::SetPosition>("Position", ItemPositionNames)
          .Default(ipBeginsNewRow),
      Property<&TdxBarItemLink::UserCaption, &TdxBarItemLink::SetUserCaption>("UserCaption"),
      Property<&TdxBarItemLink::Visible, &TdxBarItemLink::SetVisible>("Visible").Default(true),
  });

}

// A link stores the name of its item; reading keeps the name until the
// manager's loading end finds the item (items may come later in the form).
void DefineLinkProperties(TPersistent* instance, TFiler* filer) {
  auto* link = static_cast<TdxBarItemLink*>(instance);
  bool hasData = link->Item() != nullptr;
  if (auto* ancestor = dynamic_cast<TdxBarItemLink*>(filer->Ancestor())) {
    TdxBarItem* mine = link->Item();
    TdxBarItem* theirs = ancestor->Item();
    hasData = (mine == nullptr) != (theirs == nullptr) || (mine && theirs && mine->Name() != theirs->Name());
  }
  filer->DefineProperty(
      "ItemName", TReaderProc::Lambda([link](TReader* reader) { link->SetLoadedItemName(reader->ReadString()); }),
      TWriterProc::Lambda([link](TWriter* writer) {
        writer->WriteString(link->Item() ? link->Item()->Name() : AnsiString());
      }),
      hasData);
}

// Beside their names, categories store how their items show ("ItemsVisibles",
// the ordinal of each category's value) and whether the customizing window
// lists them ("Visibles"), one value per category; reading stops at the end
// of the list or after as many values as there are categories. The values
// read wait for the manager's loading end.
void DefineCategoryProperties(TPersistent* instance, TFiler* filer) {
  auto* categories = static_cast<TdxBarManagerCategories*>(instance);
  auto readList = [categories](TReader* reader, auto&& take) {
    categories->BeginUpdate();
    try {
      reader->ReadListBegin();
      for (int i = 0; !reader->EndOfList(); ++i) {
        if (i >= categories->Count()) {
          reader->SkipValue();
          continue;
        }
        take(reader, categories->EnsureData(i));
      }
      reader->ReadListEnd();
    } catch (...) {
      categories->EndUpdate();
      throw;
    }
    categories->EndUpdate();
  };
  filer->DefineProperty(
      "ItemsVisibles",
      TReaderProc::Lambda([readList](TReader* reader) {
        readList(reader, [reader](TReader*, TdxBarCategoryData* data) {
          const int32_t value = reader->ReadInteger();
          if (value < static_cast<int>(ivNever) || value > static_cast<int>(ivAlways))
            reader->Error("Invalid category items visibility " + std::to_string(value));
          data->LoadedItemsVisible = static_cast<TdxBarItemVisible>(value);
        });
      }),
      TWriterProc::Lambda([categories](TWriter* writer) {
        writer->WriteListBegin();
        for (int i = 0; i < categories->Count(); ++i) {
          TdxBarCategoryData* data = categories->Data(i);
          writer->WriteInteger(static_cast<int>(data ? data->ItemsVisible : ivAlways));
        }
        writer->WriteListEnd();
      }),
      true);
  filer->DefineProperty(
      "Visibles",
      TReaderProc::Lambda([readList](TReader* reader) {
        readList(reader, [reader](TReader*, TdxBarCategoryData* data) { data->Visible = reader->ReadBoolean(); });
      }),
      TWriterProc::Lambda([categories](TWriter* writer) {
        writer->WriteListBegin();
        for (int i = 0; i < categories->Count(); ++i) {
          TdxBarCategoryData* data = categories->Data(i);
          writer->WriteBoolean(data ? data->Visible : true);
        }
        writer->WriteListEnd();
      }),
      true);
}

}  // namespace

void dxBarRegisterStoredProperties() {
  static const bool registered = [] {
    RegisterStoredProperties();
    RegisterDefineProperties(&TdxBarItemLink::ClassInfo, &DefineLinkProperties);
    RegisterDefineProperties(&TdxBarManagerCategories::ClassInfo, &DefineCategoryProperties);
    return true;
  }();
  (void)registered;
}
