#include "panels/Toolbar.h"

#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "panels/FrameController.h"
#include "panels/Popups.h"
#include "platform/ControlsProperties.h"
#include "platform/Filer.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Properties.h"
#include "platform/ResourceString.h"

#include <vssym32.h>

#include <algorithm>

const TClassInfo TRzToolbarControl::ClassInfo{"TRzToolbarControl", &TObject::ClassInfo, nullptr};
const TClassInfo TRzToolbarControlList::ClassInfo{"TRzToolbarControlList", &TObject::ClassInfo, nullptr};
const TClassInfo TRzCustomizeCaptions::ClassInfo{"TRzCustomizeCaptions", &TPersistent::ClassInfo, nullptr};
const TClassInfo TRzToolbar::ClassInfo{"TRzToolbar", &TRzCustomPanel::ClassInfo, [](TObject* owner) -> TObject* {
                                         return new TRzToolbar(static_cast<TComponent*>(owner));
                                       }};
const TClassInfo TRzSpacer::ClassInfo{"TRzSpacer", &TGraphicControl::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TRzSpacer(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo TRzToolbarPopupButton::ClassInfo{"TRzToolbarPopupButton", &TCustomControl::ClassInfo, nullptr};
const TClassInfo TRzPopupToolButton::ClassInfo{"TRzPopupToolButton", &TRzToolButton::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TRzPopupToolButton(static_cast<TComponent*>(owner));
                                               }};

namespace {

inline constexpr TResourceString sRzCustomizeTitle{0xE800, "Customize Toolbar"};
inline constexpr TResourceString sRzCustomizeHint{0xE801, "Uncheck to hide control"};
inline constexpr TResourceString sRzCustomizeClose{0xE802, "Close"};
inline constexpr TResourceString sRzCustomizeMoveUp{0xE803, "Move Up"};
inline constexpr TResourceString sRzCustomizeMoveDown{0xE804, "Move Down"};
inline constexpr TResourceString sRzCustomizeTextOptions{0xE805, "Text Options"};
inline constexpr TResourceString sRzCustomizeNoTextLabels{0xE806, "No text labels"};
inline constexpr TResourceString sRzCustomizeShowTextLabels{0xE807, "Show text labels"};
inline constexpr TResourceString sRzCustomizeSelectiveTextOnRight{0xE808, "Selective text on right"};

bool BeingDestroyed(TControl* control) { return control->ComponentState().Contains(csDestroying); }

}  // namespace

// -- TRzToolbarControlList ----------------------------------------------------------

TRzToolbarControlList::~TRzToolbarControlList() { Clear(); }

void TRzToolbarControlList::Clear() {
  for (auto& item : FItems)
    if (item->Control && FToolbar) item->Control->RemoveFreeNotification(FToolbar);
  FItems.clear();
}

std::unique_ptr<TRzToolbarControl> TRzToolbarControlList::CreateItem() { return std::make_unique<TRzToolbarControl>(); }

int TRzToolbarControlList::IndexOf(TControl* control) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i]->Control == control) return static_cast<int>(i);
  return -1;
}

int TRzToolbarControlList::AddControl(TControl* control) {
  const int index = IndexOf(control);
  if (index >= 0) return index;
  auto item = CreateItem();
  item->Control = control;
  item->ControlName = control->Name();
  FItems.push_back(std::move(item));
  if (FToolbar) control->FreeNotification(FToolbar);
  return Count() - 1;
}

int TRzToolbarControlList::AddControlName(const AnsiString& name) {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (SameText(FItems[i]->ControlName, name)) return static_cast<int>(i);
  auto item = CreateItem();
  item->ControlName = name;
  FItems.push_back(std::move(item));
  return Count() - 1;
}

int TRzToolbarControlList::RemoveControl(TControl* control) {
  const int index = IndexOf(control);
  if (index < 0) return -1;
  if (FToolbar && !control->ComponentState().Contains(csDestroying)) control->RemoveFreeNotification(FToolbar);
  FItems.erase(FItems.begin() + index);
  return index;
}

int TRzToolbarControlList::ForgetComponent(TComponent* component) {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (static_cast<TComponent*>(FItems[i]->Control) != component || !component) continue;
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
    return static_cast<int>(i);
  }
  return -1;
}

int TRzToolbarControlList::RemoveControlName(const AnsiString& name) {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (!SameText(FItems[i]->ControlName, name)) continue;
    if (FItems[i]->Control && FToolbar) FItems[i]->Control->RemoveFreeNotification(FToolbar);
    FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(i));
    return static_cast<int>(i);
  }
  return -1;
}

void TRzToolbarControlList::ReadItem(TReader* reader) { FLastNameIndex = AddControlName(reader->ReadIdent()); }

void TRzToolbarControlList::WriteItem(int index, TWriter* writer) {
  TRzToolbarControl* item = Items(index);
  writer->WriteIdent(item->Control ? item->Control->Name() : item->ControlName);
}

void TRzToolbarControlList::ReadNames(TReader* reader) {
  FLoadNames = std::make_unique<TRzToolbarControlList>(nullptr);
  reader->ReadListBegin();
  while (!reader->EndOfList()) FLoadNames->ReadItem(reader);
  reader->ReadListEnd();
}

void TRzToolbarControlList::WriteNames(TWriter* writer) {
  writer->WriteListBegin();
  for (int i = 0; i < Count(); ++i) WriteItem(i, writer);
  writer->WriteListEnd();
}

// The stored order becomes the list's order; a stored name of a control on
// another parent drops out, and then every child is listed in child order.
void TRzToolbarControlList::ResolveNames(TComponent* owner) {
  auto addChildren = [this] {
    for (int i = 0; i < FToolbar->ControlCount(); ++i)
      if (FToolbar->Controls(i) != FToolbar->FPopupButton) AddControl(FToolbar->Controls(i));
  };
  if (!FLoadNames) {
    addChildren();
    return;
  }
  bool foreign = false;
  std::vector<AnsiString> names;
  for (int i = 0; i < FLoadNames->Count(); ++i) names.push_back(FLoadNames->Items(i)->ControlName);
  for (const AnsiString& name : names) {
    auto* control = ObjectAs<TControl>(owner ? owner->FindComponent(name) : nullptr);
    if (!control) continue;
    if (control->Parent() == FToolbar) {
      AddControl(control);
    } else {
      FLoadNames->RemoveControlName(name);
      foreign = true;
    }
  }
  FLoadNames.reset();
  if (foreign) addChildren();
}

// -- TRzCustomizeCaptions ------------------------------------------------------------------

TRzCustomizeCaptions::TRzCustomizeCaptions() {
  const TResourceString* texts[ciCount] = {&sRzCustomizeTitle,         &sRzCustomizeHint,
                                           &sRzCustomizeClose,         &sRzCustomizeMoveUp,
                                           &sRzCustomizeMoveDown,      &sRzCustomizeTextOptions,
                                           &sRzCustomizeNoTextLabels,  &sRzCustomizeShowTextLabels,
                                           &sRzCustomizeSelectiveTextOnRight};
  for (int i = 0; i < ciCount; ++i) FCaptions[i] = LoadResString(*texts[i]);
}

void TRzCustomizeCaptions::SetCaption(TIndex index, const AnsiString& value) {
  FCaptions[index] = value;
  FStored = true;
}

void TRzCustomizeCaptions::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TRzCustomizeCaptions>(source)) {
    for (int i = 0; i < ciCount; ++i) FCaptions[i] = other->FCaptions[i];
    FStored = other->FStored;
    return;
  }
  TPersistent::Assign(source);
}

// -- TRzToolbar --------------------------------------------------------------------------------

TRzToolbar::TRzToolbar(TComponent* AOwner) : TRzCustomPanel(AOwner) {
  FBorderInner = fsNone;
  FBorderOuter = fsGroove;
  FBorderSides = TSides{sdTop};
  SetBorderWidth(0);
  TControl::SetAlign(alTop);
  FWidth = 32;
  FHeight = 32;
  FShowDockClientCaptions = false;
  SetFullRepaint(false);
  FImageChangeLink.OnChange = TNotifyEvent::Bind<&TRzToolbar::ImageListChange>(this);
  FBackground.OnChange = TNotifyEvent::Bind<&TRzToolbar::BackgroundChange>(this);
}

TRzToolbar::~TRzToolbar() {
  if (FImages) FImages->UnRegisterChanges(&FImageChangeLink);
  FToolbarControls.Clear();
}


void TRzToolbar::SetAlign(TAlign value) {
  if (FAutoStyle) ApplyAutoStyle(value);
  TControl::SetAlign(value);
  if (FAutoResize) {
    if (value == alLeft || value == alRight) {
      SetWidth(32);
    } else {
      SetHeight(32);
    }
  }
}

void TRzToolbar::ApplyAutoStyle(TAlign alignment) {
  FBorderInner = fsNone;
  FBorderOuter = FShowDivider ? fsGroove : fsNone;
  switch (alignment) {
    case alLeft: FBorderSides = TSides{sdLeft}; break;
    case alRight: FBorderSides = TSides{sdRight}; break;
    case alBottom: FBorderSides = TSides{sdBottom}; break;
    default: FBorderSides = TSides{sdTop}; break;
  }
  Invalidate();
}

// A border set by hand ends the automatic style.
void TRzToolbar::SetBorderInner(TFrameStyleEx value) {
  if (value != FBorderInner) FAutoStyle = false;
  TRzCustomPanel::SetBorderInner(value);
}

void TRzToolbar::SetBorderOuter(TFrameStyleEx value) {
  if (value != FBorderOuter) FAutoStyle = false;
  TRzCustomPanel::SetBorderOuter(value);
}

void TRzToolbar::SetBorderSides(TSides value) {
  if (value != FBorderSides) FAutoStyle = false;
  TRzCustomPanel::SetBorderSides(value);
}

void TRzToolbar::SetVisualStyle(TRzVisualStyle value) {
  TRzCustomPanel::SetVisualStyle(value);
  NotifyControls(CM_TOOLBARVISUALSTYLE);
}

void TRzToolbar::SetGradientColorStyle(TRzGradientColorStyle value) {
  TRzCustomPanel::SetGradientColorStyle(value);
  NotifyControls(CM_TOOLBARVISUALSTYLE);
}

void TRzToolbar::CheckAutoResize(bool& value) {
  if (!Parent()) return;
  const AnsiString name = Parent()->ClassName();
  if (SameText(name, "TPageScroller") || SameText(name, "TToolbar")) value = false;
}

void TRzToolbar::SetAutoResize(bool value) {
  CheckAutoResize(value);
  if (value == FAutoResize) return;
  FAutoResize = value;
  ArrangeControls();
}

void TRzToolbar::SetParent(TWinControl* value) {
  TRzCustomPanel::SetParent(value);
  CheckAutoResize(FAutoResize);
}

void TRzToolbar::SetImages(TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) {
    FImages->UnRegisterChanges(&FImageChangeLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = value;
  if (value) {
    value->RegisterChanges(&FImageChangeLink);
    value->FreeNotification(this);
  }
  Invalidate();
}

void TRzToolbar::ImageListChange(TObject*) {
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
  Update();
}

void TRzToolbar::BackgroundChange(TObject*) { Invalidate(); }

void TRzToolbar::SetRegIniFile(TRzRegIniFile* value) {
  if (FRegIniFile == value) return;
  if (FRegIniFile) FRegIniFile->RemoveFreeNotification(this);
  FRegIniFile = value;
  if (value) value->FreeNotification(this);
}

#define MEVRA_TOOLBAR_LAYOUT_SETTER(Name, Type, Field) \
  void TRzToolbar::Set##Name(Type value) {             \
    if (Field == value) return;                        \
    Field = value;                                     \
    ArrangeControls();                                 \
  }

MEVRA_TOOLBAR_LAYOUT_SETTER(Margin, int, FMargin)
MEVRA_TOOLBAR_LAYOUT_SETTER(TopMargin, int, FTopMargin)
MEVRA_TOOLBAR_LAYOUT_SETTER(RowHeight, int, FRowHeight)
MEVRA_TOOLBAR_LAYOUT_SETTER(WrapControls, bool, FWrapControls)

#undef MEVRA_TOOLBAR_LAYOUT_SETTER

void TRzToolbar::SetOrientation(TOrientation value) {
  if (FOrientation == value) return;
  FOrientation = value;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* spacer = ObjectAs<TRzSpacer>(Controls(i))) spacer->SetOrientation(value);
  ArrangeControls();
}

// The button settings go to every child; set by hand they make the text
// options custom.
void TRzToolbar::SetShowButtonCaptions(bool value) {
  if (FShowButtonCaptions == value) return;
  FShowButtonCaptions = value;
  NotifyControls(CM_TOOLBARSHOWCAPTION);
  if (!FUpdatingTextOptions) FTextOptions = ttoCustom;
}

void TRzToolbar::SetButtonLayout(TButtonLayout value) {
  if (FButtonLayout == value) return;
  FButtonLayout = value;
  NotifyControls(CM_TOOLBARBUTTONLAYOUT);
  if (!FUpdatingTextOptions) FTextOptions = ttoCustom;
}

void TRzToolbar::SetButtonWidth(int value) {
  if (FButtonWidth == value) return;
  FButtonWidth = value;
  NotifyControls(CM_TOOLBARBUTTONSIZE);
  if (!FUpdatingTextOptions) FTextOptions = ttoCustom;
}

void TRzToolbar::SetButtonHeight(int value) {
  if (FButtonHeight == value) return;
  FButtonHeight = value;
  NotifyControls(CM_TOOLBARBUTTONSIZE);
  if (!FUpdatingTextOptions) FTextOptions = ttoCustom;
}

void TRzToolbar::SetShowDivider(bool value) {
  if (FShowDivider == value) return;
  FShowDivider = value;
  FBorderOuter = value ? fsGroove : fsNone;
  Invalidate();
}

void TRzToolbar::ApplyButtonMetrics(int width, int height, bool showCaptions) {
  SetShowButtonCaptions(showCaptions);
  SetButtonWidth(width);
  SetButtonHeight(height);
  SetRowHeight(FOrientation == orVertical ? width : height);
}

void TRzToolbar::SetTextOptions(TRzToolbarTextOptions value) {
  if (FTextOptions == value) return;
  FTextOptions = value;
  if (value == ttoCustom) return;
  FUpdatingTextOptions = true;
  try {
    SetButtonLayout(value == ttoShowTextLabels ? blGlyphTop : blGlyphLeft);
    const int width = value == ttoNoTextLabels ? 25 : 60;
    const int height = value == ttoShowTextLabels ? 40 : 25;
    ApplyButtonMetrics(width, height, value != ttoNoTextLabels);
    SetRowHeight(FOrientation == orVertical ? width : height);
  } catch (...) {
    FUpdatingTextOptions = false;
    throw;
  }
  FUpdatingTextOptions = false;
}

void TRzToolbar::ChangeScale(int M, int D) {
  TRzCustomPanel::ChangeScale(M, D);
  if (D != 0) SetRowHeight(MulDiv(FRowHeight, M, D));
}

void TRzToolbar::Notification(TComponent* component, TOperation operation) {
  TRzCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FImages) FImages = nullptr;
  if (component == FRegIniFile) FRegIniFile = nullptr;
  if (component == FPopupButton) FPopupButton = nullptr;
  // Told from the control's last destructor: matched by address only.
  if (FToolbarControls.ForgetComponent(component) >= 0 && !IsDestroying()) ArrangeControls();
}

void TRzToolbar::AlignControls(TControl*, RECT&) {
  if (!ComponentState().Contains(csLoading)) {
    // Children not listed yet join at the end, in child order.
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* child = Controls(i);
      if (child != FPopupButton && !BeingDestroyed(child)) FToolbarControls.AddControl(child);
    }
    ArrangeControls();
  }
  PositionPopupButton();
}

void TRzToolbar::Loaded() {
  TRzCustomPanel::Loaded();
  FToolbarControls.ResolveNames(Owner());
  ArrangeControls();
  if (FAutoStyle) ApplyAutoStyle(Align());
}

int TRzToolbar::GetRowHeight(int) { return FRowHeight; }

void TRzToolbar::PositionControl(int index, int row, int& pos) {
  TControl* control = FToolbarControls.Items(index)->Control;
  const int w = control->Width(), h = control->Height();
  if (FOrientation == orHorizontal) {
    const int x = control->UseRightToLeftAlignment() ? Width() - w - pos : pos;
    const int y = (row - 1) * FCalculatedRowHeight + FTopMargin + FRowHeight / 2 - h / 2;
    control->SetBounds(x, y, w, h);
    pos += w;
  } else {
    const int x = (row - 1) * FCalculatedRowHeight + FMargin + FRowHeight / 2 - w / 2;
    control->SetBounds(x, pos, w, h);
    pos += h;
  }
}

void TRzToolbar::ArrangeControls() {
  if (ComponentState().Contains(csLoading) || FArranging || IsDestroying()) return;
  FArranging = true;
  try {
    if (FOrientation == orHorizontal) {
      ArrangeHorizontal();
    } else {
      ArrangeVertical();
    }
  } catch (...) {
    FArranging = false;
    throw;
  }
  FArranging = false;
  NotifyParentOfSize();
}

void TRzToolbar::ArrangeHorizontal() {
  // The overflow button follows the previous arrangement's positions.
  if (!FWrapControls && FToolbarControls.Count() > 0) {
    TControl* last = FToolbarControls.Items(FToolbarControls.Count() - 1)->Control;
    if (last) SetShowPopupButton(Width() - FMargin < last->Left() + last->Width());
  }
  const bool designing = ComponentState().Contains(csDesigning);
  int pos = FMargin, row = 1, largest = 0;
  FCalculatedRowHeight = GetRowHeight(1);
  bool first = true;
  for (int i = 0; i < FToolbarControls.Count(); ++i) {
    TControl* control = FToolbarControls.Items(i)->Control;
    if (!control || control->Parent() != this || BeingDestroyed(control)) continue;
    if (!control->Visible() && !designing) continue;
    if (!first && FWrapControls && Width() - FMargin < pos + control->Width()) {
      pos = FMargin;
      ++row;
    }
    PositionControl(i, row, pos);
    largest = std::max(largest, pos);
    first = false;
  }
  if (!FAutoResize) return;
  const TAlign align = Align();
  if ((align == alLeft || align == alRight) && largest != 0) {
    if (Width() != FMargin + largest) {
      SetWidth(FMargin + largest);
      Invalidate();
    }
  } else if (align == alNone || align == alTop || align == alBottom) {
    const int height = FRowHeight * row + 2 * FTopMargin;
    if (Height() != height) {
      SetHeight(height);
      Invalidate();
    }
  }
}

void TRzToolbar::ArrangeVertical() {
  const bool designing = ComponentState().Contains(csDesigning);
  int pos = FMargin, column = 1, largest = 0;
  FCalculatedRowHeight = GetRowHeight(1);
  bool first = true;
  for (int i = 0; i < FToolbarControls.Count(); ++i) {
    TControl* control = FToolbarControls.Items(i)->Control;
    if (!control || control->Parent() != this || BeingDestroyed(control)) continue;
    if (!control->Visible() && !designing) continue;
    if (!first && FWrapControls && Height() - FMargin < pos + control->Height()) {
      pos = FMargin;
      ++column;
    }
    PositionControl(i, column, pos);
    largest = std::max(largest, pos);
    first = false;
  }
  if (!FAutoResize) return;
  const TAlign align = Align();
  if ((align == alNone || align == alTop || align == alBottom) && largest != 0) {
    if (Height() != FMargin + largest) {
      SetHeight(FMargin + largest);
      Invalidate();
    }
  } else if (align == alLeft || align == alRight) {
    const int width = FRowHeight * column + FTopMargin + 2;
    if (Width() != width) {
      SetWidth(width);
      Invalidate();
    }
  }
}

void TRzToolbar::NotifyParentOfSize() {
  TWinControl* parent = Parent();
  if (!parent || !parent->Visible() || !parent->HandleAllocated()) return;
  const HWND wnd = parent->Handle();
  WPARAM kind = 0;
  if (IsZoomed(wnd)) kind = SIZE_MAXIMIZED;
  if (IsIconic(wnd)) kind = SIZE_MINIMIZED;
  PostMessageA(wnd, WM_SIZE, kind, MAKELPARAM(parent->Width(), parent->Height()));
}

POINT TRzToolbar::GetResizeInvalidateMargin() {
  if (FOrientation == orHorizontal && !FWrapControls && FShowPopupButton) return POINT{15, 1};
  return TRzCustomPanel::GetResizeInvalidateMargin();
}

void TRzToolbar::SetShowPopupButton(bool value) {
  if (FShowPopupButton == value) return;
  FShowPopupButton = value;
  if (!FPopupButton) {
    FPopupButton = New<TRzToolbarPopupButton>(this);
    FPopupButton->FToolbar = this;
    FPopupButton->SetFrameColor(ShadeByAmount(FFlatColor, FFlatColorAdjustment));
    FPopupButton->SetVisible(false);
    FPopupButton->SetParent(this);
  }
  FPopupButton->SetVisible(value && !ComponentState().Contains(csDesigning));
  Invalidate();
}

void TRzToolbar::PositionPopupButton() {
  const TComponentState state = ComponentState();
  if (state.Contains(csLoading) || state.Contains(csReading) || !FPopupButton) return;
  if (!FShowPopupButton || FWrapControls || FOrientation != orHorizontal) return;
  FPopupButton->SetBounds(Width() - ToolButtonArrowWidth, 0, ToolButtonArrowWidth, Height());
  FPopupButton->SetVisible(true);
}

void TRzToolbar::Paint() {
  if (FVisualStyle == vsWinXP && PanelVisualStylesEnabled()) {
    TRzInnerOuterFrame frame;
    frame.Outer = FBorderOuter;
    frame.Inner = FBorderInner;
    frame.Sides = FBorderSides;
    frame.Transparent = FTransparent;
    frame.ParentColor = Parent() ? Parent()->Color() : Color();
    frame.Color = Color();
    GetFlatFrameColors(frame.FlatColor, frame.FlatColorAdjustment);
    frame.BorderColor = FBorderColor;
    frame.BorderHighlight = FBorderHighlight;
    frame.BorderShadow = FBorderShadow;
    frame.BevelWidth = BevelWidth();
    frame.BorderWidth = BorderWidth();
    const RECT inside = PaintInnerOuterFrames(Canvas(), GetBorderRect(), frame);
    if (const HTHEME theme = AcquireThemeHandle(totRebar))
      UxDrawThemeBackground(theme, Canvas()->Handle(), RP_BACKGROUND, 0, inside, nullptr);
  } else {
    TRzCustomPanel::Paint();
    if (!FBackground.Empty() && FBackground.Width() > 0 && FBackground.Height() > 0) {
      const RECT r = ShrinkForBorders(GetBorderRect(), true);
      HDC dc = Canvas()->Handle();
      const TSavedDCGuard saved(dc);
      IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
      const int bw = FBackground.Width(), bh = FBackground.Height();
      const int columns = (r.right - r.left + bw - 1) / bw, rows = (r.bottom - r.top + bh - 1) / bh;
      for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
          Canvas()->Draw(r.left + column * bw, r.top + row * bh, &FBackground);
    }
  }
  if (FShowPopupButton && FPopupButton) FPopupButton->Invalidate();
}

void TRzToolbar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_VISIBLECHANGED:
      TRzCustomPanel::Dispatch(Message);
      DoVisibleChanged();
      return;
    case CM_BIDIMODECHANGED:
      TRzCustomPanel::Dispatch(Message);
      ArrangeControls();
      return;
    default:
      break;
  }
  TRzCustomPanel::Dispatch(Message);
}

void TRzToolbar::DefineProperties(TFiler* filer) {
  TRzCustomPanel::DefineProperties(filer);
  filer->DefineProperty(
      "ToolbarControls", TReaderProc::Lambda([this](TReader* reader) { FToolbarControls.ReadNames(reader); }),
      TWriterProc::Lambda([this](TWriter* writer) { FToolbarControls.WriteNames(writer); }),
      FToolbarControls.Count() > 0);
}

// -- TRzSpacer ------------------------------------------------------------------------------------

TRzSpacer::TRzSpacer(TComponent* AOwner) : TGraphicControl(AOwner) {
  FWidth = 8;
  FHeight = 25;
}

void TRzSpacer::SetGrooved(bool value) {
  if (FGrooved == value) return;
  FGrooved = value;
  Invalidate();
}

void TRzSpacer::SetOrientation(TOrientation value) {
  if (FOrientation == value) return;
  FOrientation = value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
}

void TRzSpacer::Paint() {
  TCanvas* canvas = Canvas();
  const RECT r{0, 0, Width(), Height()};
  if (!FGrooved) {
    if (ComponentState().Contains(csDesigning)) {
      canvas->Pen()->SetStyle(psDot);
      canvas->Pen()->SetColor(clBlack);
      canvas->Brush()->SetStyle(bsClear);
      canvas->Rectangle(r);
      canvas->Pen()->SetStyle(psSolid);
    }
    return;
  }
  const bool across = Height() < Width();
  if (PanelVisualStylesEnabled()) {
    if (const HTHEME theme = AcquireThemeHandle(totToolBar)) {
      UxDrawThemeBackground(theme, canvas->Handle(), across ? TP_SEPARATORVERT : TP_SEPARATOR, TS_NORMAL, r, nullptr);
      return;
    }
  }
  if (across) {
    const int y = r.top + Height() / 2 - 1;
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(r.left + 1, y);
    canvas->LineTo(r.right, y);
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->MoveTo(r.left + 1, y + 1);
    canvas->LineTo(r.right, y + 1);
  } else {
    const int x = r.left + Width() / 2 - 1;
    canvas->Pen()->SetColor(clBtnShadow);
    canvas->MoveTo(x, r.top + 1);
    canvas->LineTo(x, r.bottom);
    canvas->Pen()->SetColor(clBtnHighlight);
    canvas->MoveTo(x + 1, r.top + 1);
    canvas->LineTo(x + 1, r.bottom);
  }
}

// -- TRzToolbarPopupButton -------------------------------------------------------------------------

TRzToolbarPopupButton::TRzToolbarPopupButton(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csCaptureMouse, csOpaque};
  FWidth = ToolButtonArrowWidth;
  FHeight = 25;
  FPopupMenu = New<TPopupMenu>(this);
}

void TRzToolbarPopupButton::SetFrameColor(TColor value) {
  if (FFrameColor == value) return;
  FFrameColor = value;
  Invalidate();
}

void TRzToolbarPopupButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FPressed = true;
  FDown = true;
  Invalidate();
  SetCapture(Handle());
}

void TRzToolbarPopupButton::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!FPressed) return;
  const bool inside = X >= 0 && X < Width() && Y >= 0 && Y < Height();
  if (inside != FDown) {
    FDown = inside;
    Invalidate();
  }
}

void TRzToolbarPopupButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!self.Get() || !FPressed) return;
  FPressed = false;
  if (GetCapture() == Handle()) ReleaseCapture();
  if (FDown) {
    FDown = false;
    Invalidate();
    ShowOverflowMenu();
    if (!self.Get()) return;
  }
  Invalidate();
}

void TRzToolbarPopupButton::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TRzToolbarPopupButton::Paint() {
  const RECT r{0, 0, Width(), Height()};
  DrawBackground(r, FDown);
  if (!(FToolbar && FToolbar->VisualStyle() == vsWinXP && PanelVisualStylesEnabled())) DrawArrow(r);
}

void TRzToolbarPopupButton::DrawBackground(const RECT& r, bool down) {
  TCanvas* canvas = Canvas();
  const TRzVisualStyle style = FToolbar ? FToolbar->VisualStyle() : vsClassic;
  const TColor color = FToolbar ? FToolbar->Color() : clBtnFace;
  if (style != vsGradient) {
    if (PanelVisualStylesEnabled()) {
      if (const HTHEME theme = AcquireThemeHandle(totRebar)) {
        UxDrawThemeBackground(theme, canvas->Handle(), RP_BACKGROUND, 0, r, nullptr);
        UxDrawThemeBackground(theme, canvas->Handle(), RP_CHEVRON, down ? CHEVS_PRESSED : CHEVS_NORMAL, r, nullptr);
        return;
      }
    }
    const RECT inside = PaintBox(canvas, r, FFrameColor);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(down ? ShadeDarker(color, 20) : color);
    canvas->FillRect(inside);
    return;
  }
  const TRzGradientPair colors =
      FToolbar ? FToolbar->GetGradientColors() : TRzGradientPair{clWhite, clBtnFace};
  const RECT inside = PaintBox(canvas, r, FFrameColor);
  const TGradientDirection direction = FToolbar ? FToolbar->GradientDirection() : gdHorizontalEnd;
  if (down) {
    FillGradient(canvas, inside, direction, colors.Stop, colors.Start);
  } else {
    FillGradient(canvas, inside, direction, colors.Start, colors.Stop);
  }
}

void TRzToolbarPopupButton::DrawArrow(const RECT& r) {
  TCanvas* canvas = Canvas();
  const int cx = (r.left + r.right) / 2;
  const int tip = r.bottom - (FDown ? 3 : 4);
  for (int row = 0; row < 4; ++row)
    for (int dx = -row; dx <= row; ++dx) canvas->SetPixels(cx + dx, tip - row, clBlack);
  for (int dx = -3; dx <= 3; ++dx) canvas->SetPixels(cx + dx, tip - 5, clBlack);
}

void TRzToolbarPopupButton::ShowOverflowMenu() {
  TCustomForm* form = GetParentForm(this);
  TRzToolbar* source = FToolbar;
  if (!form || !source) return;
  TWeakLink<TControl> self(this);
  auto* panel = New<TRzPopupPanel>(this);
  FOverflowPanel = panel;
  auto* bar = New<TRzToolbar>(panel);
  bar->SetBorderOuter(fsFlat);
  bar->SetBorderSides(sdAllSides);
  bar->SetAlign(alNone);
  bar->SetWidth(3 * source->ButtonWidth() + 8);
  bar->SetBackground(source->Background());
  bar->SetBiDiMode(source->BiDiMode());
  bar->SetButtonHeight(source->ButtonHeight());
  bar->SetButtonLayout(source->ButtonLayout());
  bar->SetButtonWidth(source->ButtonWidth());
  bar->SetColor(source->VisualStyle() == vsGradient ? clWindow : source->Color());
  bar->SetGradientColorStart(source->GradientColorStart());
  bar->SetGradientColorStop(source->GradientColorStop());
  bar->SetGradientColorStyle(source->GradientColorStyle());
  bar->SetGradientDirection(source->GradientDirection());
  bar->SetImages(source->Images());
  bar->SetRowHeight(source->RowHeight());
  bar->SetShowButtonCaptions(source->ShowButtonCaptions());
  bar->SetShowHint(source->ShowHint());
  bar->SetTextOptions(source->TextOptions());
  bar->SetVisualStyle(source->VisualStyle());
  bar->SetVisible(false);
  bar->SetParent(panel);
  const int limit = source->Width() - source->Margin();
  for (int i = 0; i < source->ToolbarControls()->Count(); ++i) {
    auto* button = ObjectAs<TRzToolButton>(source->ToolbarControls()->Items(i)->Control);
    if (!button || !button->Visible() || button->Left() + button->Width() <= limit) continue;
    auto* copy = New<TRzPopupToolButton>(bar);
    copy->PopupToolbar = bar;
    copy->PopupButton = this;
    copy->Assign(button);
    copy->OnClick = source->OnClick;
    copy->SetParent(bar);
    bar->ToolbarControls()->AddControl(copy);
  }
  panel->SetParent(form);
  panel->Font()->SetName(Font()->Name());
  panel->Font()->SetColor(Font()->Color());
  bar->SetVisible(true);
  const RECT content = panel->ContentRect();
  bar->SetBounds(content.left, content.top, bar->Width(), bar->Height());
  bar->OnClick = TNotifyEvent::Lambda([panel](TObject*) { panel->ClosePopup(); });
  FSelectedButton = nullptr;
  try {
    panel->Popup(this);
  } catch (...) {
    if (self.Get()) {
      FOverflowPanel = nullptr;
      Free(panel);
    }
    throw;
  }
  if (!self.Get()) return;
  FOverflowPanel = nullptr;
  TWeakLink<TControl> selected(FSelectedButton);
  FSelectedButton = nullptr;
  Free(panel);
  if (auto* button = ObjectAs<TRzToolButton>(selected.Get())) button->Click();
}

// -- TRzPopupToolButton -------------------------------------------------------------------------------

void TRzPopupToolButton::Assign(TPersistent* source) {
  auto* b = ObjectAs<TRzToolButton>(source);
  if (!b) {
    TRzToolButton::Assign(source);
    return;
  }
  FMappedButton = b;
  SetAlignment(b->Alignment());
  SetAllowAllUp(b->AllowAllUp());
  SetBiDiMode(b->BiDiMode());
  SetCaption(b->Caption());
  SetColor(b->Color());
  SetDisabledIndex(b->DisabledIndex());
  SetDown(b->Down());
  SetDownIndex(b->DownIndex());
  SetDropDownMenu(b->DropDownMenu());
  SetEnabled(b->Enabled());
  SetFlat(b->Flat());
  SetFont(b->Font());
  SetGradientColorStyle(b->GradientColorStyle());
  SetGroupIndex(b->GroupIndex());
  SetHeight(b->Height());
  SetHint(b->Hint());
  SetHotIndex(b->HotIndex());
  SetImageIndex(b->ImageIndex());
  SetImages(b->Images());
  SetLayout(b->Layout());
  SetParentBiDiMode(b->ParentBiDiMode());
  SetParentFont(b->ParentFont());
  SetParentShowHint(b->ParentShowHint());
  SetSelectionColorStart(b->SelectionColorStart());
  SetSelectionColorStop(b->SelectionColorStop());
  SetSelectionFrameColor(b->SelectionFrameColor());
  SetShowCaption(b->ShowCaption());
  SetShowHint(b->ShowHint());
  SetTag(b->Tag());
  SetToolStyle(b->ToolStyle());
  SetTransparent(b->Transparent());
  SetUseToolbarButtonLayout(b->UseToolbarButtonLayout());
  SetUseToolbarButtonSize(b->UseToolbarButtonSize());
  SetUseToolbarShowCaption(b->UseToolbarShowCaption());
  SetUseToolbarVisualStyle(b->UseToolbarVisualStyle());
  SetVisible(b->Visible());
  SetVisualStyle(b->VisualStyle());
  SetWidth(b->Width());
}

void TRzPopupToolButton::Click() {
  if (PopupButton) PopupButton->SetSelectedButton(FMappedButton);
  if (PopupToolbar) PopupToolbar->Click();
}

// -- Published properties ---------------------------------------------------------------------------

namespace {

const TEnumInfo TextOptionsNames{"TRzToolbarTextOptions",
                                 {"ttoNoTextLabels", "ttoShowTextLabels", "ttoSelectiveTextOnRight", "ttoCustom"}};

using C = TRzCustomizeCaptions;
bool CaptionsStored(TObject* o) { return static_cast<C*>(o)->Stored(); }

const TPublishedRegistration customizeCaptionsRegistration(&C::ClassInfo, {
    StoredWhen(Property<&C::Title, &C::SetTitle>("Title"), CaptionsStored),
    StoredWhen(Property<&C::Hint, &C::SetHint>("Hint"), CaptionsStored),
    StoredWhen(Property<&C::Close, &C::SetClose>("Close"), CaptionsStored),
    StoredWhen(Property<&C::MoveUp, &C::SetMoveUp>("MoveUp"), CaptionsStored),
    StoredWhen(Property<&C::MoveDown, &C::SetMoveDown>("MoveDown"), CaptionsStored),
    StoredWhen(Property<&C::TextOptions, &C::SetTextOptions>("TextOptions"), CaptionsStored),
    StoredWhen(Property<&C::NoTextLabels, &C::SetNoTextLabels>("NoTextLabels"), CaptionsStored),
    StoredWhen(Property<&C::ShowTextLabels, &C::SetShowTextLabels>("ShowTextLabels"), CaptionsStored),
    StoredWhen(Property<&C::SelectiveTextOnRight, &C::SetSelectiveTextOnRight>("SelectiveTextOnRight"),
               CaptionsStored),
});

using T = TRzToolbar;
bool CustomizeCaptionsStored(TObject* o) { return static_cast<T*>(o)->CustomizeCaptions()->Stored(); }

const TPublishedRegistration toolbarRegistration(&T::ClassInfo, {
    Property<&TControl::Align, &T::SetAlign>("Align", AlignNames).Default(alTop),
    Property<&T::AutoResize, &T::SetAutoResize>("AutoResize").Default(true),
    Property<&T::AutoStyle, &T::SetAutoStyle>("AutoStyle").Default(true),
    StoredWhen(Property<&T::Background, &T::SetBackground>("Background"),
               [](TObject* o) { return !static_cast<T*>(o)->Background()->Empty(); }),
    Property<&T::BorderInner, &T::SetBorderInner>("BorderInner", FrameStyleNames).Default(fsNone),
    Property<&T::BorderOuter, &T::SetBorderOuter>("BorderOuter", FrameStyleNames).Default(fsGroove),
    Property<&T::BorderSides, &T::SetBorderSides>("BorderSides", SideNames).Default(TSides{sdTop}),
    Property<&T::ShowDockClientCaptions, &T::SetShowDockClientCaptions>("ShowDockClientCaptions").Default(false),
    Property<&TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint>("FullRepaint").Default(false),
    Property<&T::Images, &T::SetImages>("Images"),
    Property<&T::Margin, &T::SetMargin>("Margin").Default(4),
    Property<&T::TopMargin, &T::SetTopMargin>("TopMargin").Default(2),
    Property<&T::Orientation, &T::SetOrientation>("Orientation", OrientationNames).Default(orHorizontal),
    Property<&T::RowHeight, &T::SetRowHeight>("RowHeight").Default(25),
    Property<&T::ShowDivider, &T::SetShowDivider>("ShowDivider").Default(true),
    Property<&T::WrapControls, &T::SetWrapControls>("WrapControls").Default(true),
    Property<&T::RegIniFile, &T::SetRegIniFile>("RegIniFile"),
    StoredWhen(Property<&T::CustomizeCaptions, &T::SetCustomizeCaptions>("CustomizeCaptions"),
               CustomizeCaptionsStored),
    Event<&T::OnVisibleChanged>("OnVisibleChanged"),
    // Written after the button settings, so that loading applies the text
    // options last.
    Property<&T::ShowButtonCaptions, &T::SetShowButtonCaptions>("ShowButtonCaptions").Default(false),
    Property<&T::ButtonLayout, &T::SetButtonLayout>("ButtonLayout", ButtonLayoutNames).Default(blGlyphLeft),
    Property<&T::ButtonWidth, &T::SetButtonWidth>("ButtonWidth").Default(25),
    Property<&T::ButtonHeight, &T::SetButtonHeight>("ButtonHeight").Default(25),
    Property<&T::TextOptions, &T::SetTextOptions>("TextOptions", TextOptionsNames).Default(ttoNoTextLabels),
});

using S = TRzSpacer;
const TPublishedRegistration spacerRegistration(&S::ClassInfo, {
    Property<&TControl::Width, &TControl::SetWidth>("Width").Default(8),
    Property<&TControl::Height, &TControl::SetHeight>("Height").Default(25),
    Property<&S::Grooved, &S::SetGrooved>("Grooved").Default(false),
    Property<&S::Orientation, &S::SetOrientation>("Orientation", OrientationNames).Default(orHorizontal),
});

}  // namespace
