#include "foundation/Styles.h"

#include "foundation/Graphics.h"
#include "platform/Filer.h"
#include "platform/Properties.h"

#include <algorithm>

int (*cxStylesScreenPixelsPerInch)() = [] { return ScreenPixelsPerInch(); };

// ---------------------------------------------------------------------------
// TcxCustomStyle

const TClassInfo TcxCustomStyle::ClassInfo{"TcxCustomStyle", &TComponent::ClassInfo, nullptr};

TcxCustomStyle::~TcxCustomStyle() {
  // Each listener removes itself; one that does not is let go all the same.
  while (!FListeners.empty()) {
    IcxStyleChangeListener* listener = FListeners.back();
    listener->StyleRemoved(this);
    if (!FListeners.empty() && FListeners.back() == listener) FListeners.pop_back();
  }
  SetStyleRepository(nullptr);
}

void TcxCustomStyle::NotifyListeners() {
  for (size_t i = FListeners.size(); i-- > 0;) {
    if (i >= FListeners.size()) continue;
    FListeners[i]->StyleChanged(this);
  }
}

void TcxCustomStyle::AddListener(IcxStyleChangeListener* listener) {
  if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
    FListeners.push_back(listener);
}

void TcxCustomStyle::RemoveListener(IcxStyleChangeListener* listener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), listener);
  if (it != FListeners.end()) FListeners.erase(it);
}

namespace {

// Moves a style or sheet from its repository's list to `value`'s.
template <class T>
void MoveToRepository(T* member, TcxStyleRepository*& field, TcxStyleRepository* value,
                      std::vector<T*> TcxStyleRepository::*list) {
  if (field == value) return;
  if (field) {
    auto& members = field->*list;
    members.erase(std::remove(members.begin(), members.end(), member), members.end());
  }
  field = value;
  if (value) (value->*list).push_back(member);
}

}  // namespace

void TcxCustomStyle::SetStyleRepository(TcxStyleRepository* value) {
  MoveToRepository(this, FStyleRepository, value, &TcxStyleRepository::FItems);
}

TComponent* TcxCustomStyle::GetParentComponent() const { return FStyleRepository; }

void TcxCustomStyle::SetParentComponent(TComponent* parent) {
  if (!ComponentState().Contains(csLoading)) SetStyleRepository(ObjectAs<TcxStyleRepository>(parent));
}

void TcxCustomStyle::ReadState(TReader* Reader) {
  if (auto* repository = ObjectAs<TcxStyleRepository>(Reader->Parent())) SetStyleRepository(repository);
  TComponent::ReadState(Reader);
}

// ---------------------------------------------------------------------------
// TcxStyle

const TClassInfo TcxStyle::ClassInfo{"TcxStyle", &TcxCustomStyle::ClassInfo, [](TObject* owner) -> TObject* {
                                       return new TcxStyle(static_cast<TComponent*>(owner));
                                     }};

TcxStyle::TcxStyle(TComponent* AOwner) : TcxCustomStyle(AOwner), FBitmap(new TBitmap), FFont(new TFont) {
  FBitmap->OnChange = TNotifyEvent::Bind<&TcxStyle::BitmapChanged>(this);
  FFont->OnChange = TNotifyEvent::Bind<&TcxStyle::FontChanged>(this);
}

TcxStyle::~TcxStyle() {
  FBitmap->OnChange = {};
  FFont->OnChange = {};
  Free(FBitmap);
  Free(FFont);
}

void TcxStyle::SetAssignedValue(TcxStyleValue value, bool on) {
  if (on) FAssignedValues.Include(value);
  else FAssignedValues.Exclude(value);
}

void TcxStyle::SetAssignedValues(TcxStyleValues value) {
  if (FAssignedValues == value) return;
  FAssignedValues = value;
  NotifyListeners();
}

void TcxStyle::SetBitmap(TBitmap* value) {
  if (value) {
    FBitmap->Assign(value);
  } else {
    FBitmap->SetSize(0, 0);
    BitmapChanged(FBitmap);
  }
}

void TcxStyle::BitmapChanged(TObject*) {
  SetAssignedValue(svBitmap, !FBitmap->Empty());
  NotifyListeners();
}

void TcxStyle::SetColor(TColor value) {
  if (FColor == value) return;
  FColor = value;
  SetAssignedValue(svColor, value != clDefault);
  NotifyListeners();
}

void TcxStyle::SetTextColor(TColor value) {
  if (FTextColor == value) return;
  FTextColor = value;
  SetAssignedValue(svTextColor, value != clDefault);
  NotifyListeners();
}

void TcxStyle::SetFont(TFont* value) { FFont->Assign(value); }

void TcxStyle::FontChanged(TObject*) {
  FAssignedValues.Include(svFont);
  NotifyListeners();
}

void TcxStyle::Assign(TPersistent* source) {
  if (auto* style = ObjectAs<TcxStyle>(source)) {
    SetBitmap(style->FBitmap);
    SetColor(style->FColor);
    SetFont(style->FFont);
    SetTextColor(style->FTextColor);
    SetAssignedValues(style->FAssignedValues);
  } else {
    TcxCustomStyle::Assign(source);
  }
}

void TcxStyle::RestoreDefaults() {
  FAssignedValues = TcxStyleValues();
  FBitmap->OnChange = {};
  FBitmap->SetSize(0, 0);
  FBitmap->OnChange = TNotifyEvent::Bind<&TcxStyle::BitmapChanged>(this);
  FColor = clDefault;
  FTextColor = clDefault;
  NotifyListeners();
}

void TcxStyle::ReadState(TReader* Reader) {
  TcxCustomStyle::ReadState(Reader);
  // Only a font the form stores is scaled: scaling the default one would
  // mark it as the style's own.
  if (StyleRepository() && FAssignedValues.Contains(svFont))
    FFont->SetHeight(StyleRepository()->ScaleValue(FFont->Height()));
}

// ---------------------------------------------------------------------------
// TcxCustomStyles

const TClassInfo TcxCustomStyles::ClassInfo{"TcxCustomStyles", &TcxInterfacedPersistent::ClassInfo,
                                            [](TObject* owner) -> TObject* {
                                              return new TcxCustomStyles(ObjectAs<TPersistent>(owner));
                                            }};

TcxCustomStyles::TcxCustomStyles(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner), FOwnerSheet(ObjectAs<TcxCustomStyleSheet>(AOwner)) {}

TcxCustomStyles::~TcxCustomStyles() {
  FDestroying = true;
  Clear();
  SetStyleSheet(nullptr);
}

void TcxCustomStyles::Assign(TPersistent* source) {
  if (auto* styles = ObjectAs<TcxCustomStyles>(source)) SetStyleSheet(styles->FStyleSheet);
  else TcxInterfacedPersistent::Assign(source);
}

TcxCustomStyle* TcxCustomStyles::GetOwnStyle(int index) const {
  for (const TItem& item : FItems)
    if (item.Index == index) return item.Style;
  return nullptr;
}

TcxCustomStyle* TcxCustomStyles::GetStyle(int index) const {
  std::vector<const TcxCustomStyles*> seen;
  for (const TcxCustomStyles* styles = this; styles;) {
    if (std::find(seen.begin(), seen.end(), styles) != seen.end()) break;
    seen.push_back(styles);
    if (TcxCustomStyle* style = styles->GetOwnStyle(index)) return style;
    styles = styles->FStyleSheet ? styles->FStyleSheet->Styles() : nullptr;
  }
  return nullptr;
}

void TcxCustomStyles::SetStyle(int index, TcxCustomStyle* style) {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (FItems[i].Index != index) continue;
    if (FItems[i].Style == style) return;
    if (!style) {
      DeleteItem(static_cast<int>(i));
      return;
    }
    TcxCustomStyle* old = FItems[i].Style;
    FItems[i].Style = style;
    if (std::none_of(FItems.begin(), FItems.end(), [old](const TItem& it) { return it.Style == old; }))
      old->RemoveListener(this);
    style->AddListener(this);
    DoChanged(index);
    return;
  }
  if (!style) return;
  FItems.push_back({index, style});
  style->AddListener(this);
  DoChanged(index);
}

void TcxCustomStyles::DeleteItem(int item) {
  const TItem deleted = FItems[static_cast<size_t>(item)];
  FItems.erase(FItems.begin() + item);
  if (std::none_of(FItems.begin(), FItems.end(), [&](const TItem& it) { return it.Style == deleted.Style; }))
    deleted.Style->RemoveListener(this);
  DoChanged(deleted.Index);
}

void TcxCustomStyles::Clear() {
  while (!FItems.empty()) DeleteItem(static_cast<int>(FItems.size()) - 1);
}

void TcxCustomStyles::StyleChanged(TcxCustomStyle* style) {
  const std::vector<TItem> items = FItems;
  for (const TItem& item : items)
    if (item.Style == style) DoChanged(item.Index);
}

void TcxCustomStyles::StyleRemoved(TcxCustomStyle* style) {
  for (size_t i = FItems.size(); i-- > 0;)
    if (i < FItems.size() && FItems[i].Style == style) DeleteItem(static_cast<int>(i));
  style->RemoveListener(this);
}

void TcxCustomStyles::DoChanged(int index) {
  if (FDestroying) return;
  ChangedHook(index);
  if (FOwnerSheet) FOwnerSheet->DoStyleChanged(index);
}

void TcxCustomStyles::CollectSheetIndexes(TcxCustomStyleSheet* sheet, std::vector<int>& indexes) {
  std::vector<TcxCustomStyleSheet*> seen;
  for (; sheet && sheet->Styles(); sheet = sheet->Styles()->FStyleSheet) {
    if (std::find(seen.begin(), seen.end(), sheet) != seen.end()) break;
    seen.push_back(sheet);
    for (const TItem& item : sheet->Styles()->FItems)
      if (std::find(indexes.begin(), indexes.end(), item.Index) == indexes.end()) indexes.push_back(item.Index);
  }
}

void TcxCustomStyles::SetStyleSheet(TcxCustomStyleSheet* value) {
  if (FStyleSheet == value) return;
  if (value) {
    if (value == FOwnerSheet || value->StylesClass() != ClassType()) return;
    std::vector<TcxCustomStyleSheet*> seen;
    for (TcxCustomStyleSheet* sheet = value; sheet && sheet->Styles(); sheet = sheet->Styles()->FStyleSheet) {
      if (sheet == FOwnerSheet && FOwnerSheet) return;
      if (std::find(seen.begin(), seen.end(), sheet) != seen.end()) break;
      seen.push_back(sheet);
      if (sheet->Styles()->FStyleSheet == FOwnerSheet && FOwnerSheet) return;
    }
  }
  std::vector<int> indexes;
  if (FStyleSheet) {
    auto& users = FStyleSheet->FUsers;
    users.erase(std::remove(users.begin(), users.end(), this), users.end());
    if (!FDestroying) CollectSheetIndexes(FStyleSheet, indexes);
  }
  FStyleSheet = value;
  if (value) {
    value->FUsers.push_back(this);
    CollectSheetIndexes(value, indexes);
  }
  for (int index : indexes) DoChanged(index);
}

// ---------------------------------------------------------------------------
// TcxCustomStyleSheet

const TClassInfo TcxCustomStyleSheet::ClassInfo{"TcxCustomStyleSheet", &TcxComponent::ClassInfo,
                                                [](TObject* owner) -> TObject* {
                                                  return new TcxCustomStyleSheet(static_cast<TComponent*>(owner));
                                                }};

void TcxCustomStyleSheet::AfterConstruction() {
  TcxComponent::AfterConstruction();
  FBuiltIn = ComponentState().Contains(csDesigning);
  FStyles = static_cast<TcxCustomStyles*>(CreateObject(StylesClass(), this));
}

TcxCustomStyleSheet::~TcxCustomStyleSheet() {
  while (!FUsers.empty()) {
    TcxCustomStyles* user = FUsers.back();
    user->SetStyleSheet(nullptr);
    if (!FUsers.empty() && FUsers.back() == user) FUsers.pop_back();
  }
  SetStyleRepository(nullptr);
  Free(FStyles);
  FStyles = nullptr;
}

void TcxCustomStyleSheet::Assign(TPersistent* source) {
  if (auto* sheet = ObjectAs<TcxCustomStyleSheet>(source)) {
    SetCaption(sheet->Caption());
    SetStyles(sheet->Styles());
  } else {
    TcxComponent::Assign(source);
  }
}

void TcxCustomStyleSheet::SetCaption(const AnsiString& value) {
  FCaption = SameText(value, Name()) ? AnsiString() : value;
}

void TcxCustomStyleSheet::DefineProperties(TFiler* filer) {
  TcxComponent::DefineProperties(filer);
  filer->DefineProperty(
      "BuiltIn", TReaderProc::Lambda([this](TReader* reader) { FBuiltIn = reader->ReadBoolean(); }),
      TWriterProc::Lambda([this](TWriter* writer) { writer->WriteBoolean(FBuiltIn); }), true);
}

void TcxCustomStyleSheet::DoStyleChanged(int index) {
  for (TcxCustomStyles* user : std::vector<TcxCustomStyles*>(FUsers))
    if (std::find(FUsers.begin(), FUsers.end(), user) != FUsers.end()) user->DoChanged(index);
  UpdateLinkedComponents();
}

void TcxCustomStyleSheet::CollectLinkedComponents(TList* list) {
  if (!FStyles) return;
  for (int i = 0; i < FStyles->ItemCount(); ++i) {
    TComponent* owner = FStyles->GetOwnStyle(FStyles->ItemIndex(i))->Owner();
    if (owner && owner != Owner() && list->IndexOf(owner) < 0) list->Add(owner);
  }
}

void TcxCustomStyleSheet::SetStyleRepository(TcxStyleRepository* value) {
  MoveToRepository(this, FStyleRepository, value, &TcxStyleRepository::FStyleSheets);
}

TComponent* TcxCustomStyleSheet::GetParentComponent() const { return FStyleRepository; }

void TcxCustomStyleSheet::SetParentComponent(TComponent* parent) {
  if (!ComponentState().Contains(csLoading)) SetStyleRepository(ObjectAs<TcxStyleRepository>(parent));
}

void TcxCustomStyleSheet::ReadState(TReader* Reader) {
  if (auto* repository = ObjectAs<TcxStyleRepository>(Reader->Parent())) SetStyleRepository(repository);
  TcxComponent::ReadState(Reader);
}

// ---------------------------------------------------------------------------
// TcxStyleRepository

const TClassInfo TcxStyleRepository::ClassInfo{"TcxStyleRepository", &TComponent::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TcxStyleRepository(static_cast<TComponent*>(owner));
                                               }};

TcxStyleRepository::~TcxStyleRepository() {
  while (!FItems.empty()) {
    TcxCustomStyle* style = FItems.back();
    Free(style);
    if (!FItems.empty() && FItems.back() == style) FItems.pop_back();
  }
  while (!FStyleSheets.empty()) {
    TcxCustomStyleSheet* sheet = FStyleSheets.back();
    Free(sheet);
    if (!FStyleSheets.empty() && FStyleSheets.back() == sheet) FStyleSheets.pop_back();
  }
}

TcxCustomStyle* TcxStyleRepository::CreateItem(TClass styleClass) { return CreateItemEx(styleClass, Owner()); }

TcxCustomStyle* TcxStyleRepository::CreateItemEx(TClass styleClass, TComponent* owner) {
  auto* style = static_cast<TcxCustomStyle*>(CreateObject(styleClass, owner));
  style->SetStyleRepository(this);
  return style;
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheet(TClass sheetClass) {
  return CreateStyleSheetEx(sheetClass, Owner());
}

TcxCustomStyleSheet* TcxStyleRepository::CreateStyleSheetEx(TClass sheetClass, TComponent* owner) {
  auto* sheet = static_cast<TcxCustomStyleSheet*>(CreateObject(sheetClass, owner));
  sheet->SetStyleRepository(this);
  return sheet;
}

int TcxStyleRepository::ScaleValue(int value) const {
  if (!FScalable || FPixelsPerInch <= 0) return value;
  const int screen = cxStylesScreenPixelsPerInch();
  if (screen == FPixelsPerInch) return value;
  return MulDiv(value, screen, FPixelsPerInch);
}

void TcxStyleRepository::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineProperty(
      "PixelsPerInch", TReaderProc::Lambda([this](TReader* reader) { FPixelsPerInch = reader->ReadInteger(); }),
      TWriterProc::Lambda([](TWriter* writer) { writer->WriteInteger(cxStylesScreenPixelsPerInch()); }),
      filer->Ancestor() == nullptr);
}

void TcxStyleRepository::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TcxCustomStyle* style : std::vector<TcxCustomStyle*>(FItems))
    if (style->Owner() == Root) Proc(style);
  for (TcxCustomStyleSheet* sheet : std::vector<TcxCustomStyleSheet*>(FStyleSheets))
    if (sheet->Owner() == Root) Proc(sheet);
}

// ---------------------------------------------------------------------------
// Published properties and the unit

namespace {

const TEnumInfo StyleValueNames{"TcxStyleValue", {"svBitmap", "svColor", "svFont", "svTextColor"}};

const TPublishedRegistration styleRegistration(&TcxStyle::ClassInfo, {
    Property<&TcxStyle::AssignedValues, &TcxStyle::SetAssignedValues>("AssignedValues", StyleValueNames)
        .Default(TcxStyleValues()),
    Property<&TcxStyle::Bitmap>("Bitmap").Stored<&TcxStyle::IsBitmapStored>(),
    Property<&TcxStyle::Color, &TcxStyle::SetColor>("Color", pkColor).Stored<&TcxStyle::IsColorStored>(),
    Property<&TcxStyle::Font>("Font").Stored<&TcxStyle::IsFontStored>(),
    Property<&TcxStyle::TextColor, &TcxStyle::SetTextColor>("TextColor", pkColor)
        .Stored<&TcxStyle::IsTextColorStored>(),
});

const TPublishedRegistration sheetRegistration(&TcxCustomStyleSheet::ClassInfo, {
    Property<&TcxCustomStyleSheet::Caption, &TcxCustomStyleSheet::SetCaption>("Caption")
        .Stored<&TcxCustomStyleSheet::IsCaptionStored>(),
});

const TPublishedRegistration repositoryRegistration(&TcxStyleRepository::ClassInfo, {
    Property<&TcxStyleRepository::Scalable, &TcxStyleRepository::SetScalable>("Scalable").Default(false),
});

}  // namespace

void cxStylesInit() {
  RegisterClasses({&TcxStyle::ClassInfo, &TcxStyleRepository::ClassInfo});
  RegisterStreamableClass(&TcxStyle::ClassInfo);
}

void cxStylesDone() {
  UnregisterStreamableClass(&TcxStyle::ClassInfo);
  UnRegisterClasses({&TcxStyle::ClassInfo, &TcxStyleRepository::ClassInfo});
}
