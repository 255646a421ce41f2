#include "tests/platform/streaming/StreamingClasses.h"

#include "platform/Bitmap.h"
#include "platform/Filer.h"

#include <algorithm>

std::vector<std::string>& LoadedLog() {
  static std::vector<std::string> log;
  return log;
}

namespace {

template <class T>
TObject* MakeComponent(TObject* owner) { return new T(static_cast<TComponent*>(owner)); }

const TEnumInfo AlignNames{"TTestAlign", {"taNone", "taTop", "taBottom", "taLeft", "taRight", "taClient"}};
const TEnumInfo OptionNames{"TTestOption", {"toBold", "toWide", "toHidden"}};

}  // namespace

const TClassInfo TTestControl::ClassInfo{"TTestControl", &TComponent::ClassInfo, MakeComponent<TTestControl>};
const TClassInfo TTestPanel::ClassInfo{"TTestPanel", &TTestControl::ClassInfo, MakeComponent<TTestPanel>};
const TClassInfo TTestEdit::ClassInfo{"TTestEdit", &TTestControl::ClassInfo, MakeComponent<TTestEdit>};
const TClassInfo TTestButton::ClassInfo{"TTestButton", &TTestControl::ClassInfo, MakeComponent<TTestButton>};
const TClassInfo TTestImage::ClassInfo{"TTestImage", &TTestControl::ClassInfo, MakeComponent<TTestImage>};
const TClassInfo TTestBlob::ClassInfo{"TTestBlob", &TComponent::ClassInfo, MakeComponent<TTestBlob>};
const TClassInfo TTestForm::ClassInfo{"TTestForm", &TComponent::ClassInfo, MakeComponent<TTestForm>};
const TClassInfo TTestItem::ClassInfo{"TTestItem", &TCollectionItem::ClassInfo,
                                      [](TObject* c) -> TObject* { return new TTestItem(static_cast<TCollection*>(c)); }};

namespace {

const TPublishedRegistration controlRegistration(&TTestControl::ClassInfo, {
    Property<&TTestControl::Align, &TTestControl::SetAlign>("Align", AlignNames).Default(TTestAlign::taNone),
    Property<&TTestControl::Big, &TTestControl::SetBig>("Big").Default(0),
    Property<&TTestControl::Caption, &TTestControl::SetCaption>("Caption"),
    Property<&TTestControl::Color, &TTestControl::SetColor>("Color", pkColor)
        .Default(clBtnFace).Stored<&TTestControl::IsColorStored>(),
    Property<&TTestControl::Cursor, &TTestControl::SetCursor>("Cursor", pkCursor).Default(0),
    Property<&TTestControl::Font>("Font"),
    Property<&TTestControl::Hint, &TTestControl::SetHint>("Hint"),
    Property<&TTestControl::Left, &TTestControl::SetLeft>("Left"),
    Property<&TTestControl::Options, &TTestControl::SetOptions>("Options", OptionNames)
        .Default(TTestOptions{TTestOption::toBold}),
    Property<&TTestControl::ParentColor, &TTestControl::SetParentColor>("ParentColor").Default(false),
    Property<&TTestControl::Ratio, &TTestControl::SetRatio>("Ratio"),
    Property<&TTestControl::Visible, &TTestControl::SetVisible>("Visible").Default(true),
    Property<&TTestControl::Width, &TTestControl::SetWidth>("Width").Default(0),
    Event<&TTestControl::OnClick>("OnClick"),
    Event<&TTestControl::OnValue>("OnValue"),
});

const TPublishedRegistration editRegistration(&TTestEdit::ClassInfo, {
    Property<&TTestEdit::MaxLength, &TTestEdit::MaxLength>("MaxLength").Default(0),
    Property<&TTestEdit::Text, &TTestEdit::Text>("Text"),
});

const TPublishedRegistration buttonRegistration(&TTestButton::ClassInfo, {
    Property<&TTestButton::FocusControl, &TTestButton::SetFocusControl>("FocusControl"),
    Property<&TTestButton::Data, &TTestButton::Data>("Data"),
});

const TPublishedRegistration imageRegistration(&TTestImage::ClassInfo, {
    Property<&TTestImage::Glyph>("Glyph"),
    Property<&TTestImage::Picture>("Picture"),
});

const TPublishedRegistration itemRegistration(&TTestItem::ClassInfo, {
    Property<&TTestItem::Caption, &TTestItem::Caption>("Caption"),
    Property<&TTestItem::Value, &TTestItem::Value>("Value").Default(0),
});

const TPublishedRegistration blobRegistration(&TTestBlob::ClassInfo, {
    Property<&TTestBlob::Items>("Items"),
});

const TPublishedRegistration panelRegistration(&TTestPanel::ClassInfo, {});

const TPublishedRegistration formRegistration(&TTestForm::ClassInfo, {
    Method<&TTestForm::Button1Click>("Button1Click"),
    Method<&TTestForm::Panel1Click>("Panel1Click"),
    Method<&TTestForm::ValueChanged>("ValueChanged"),
    Field<&TTestForm::Panel1>("Panel1"),
    Field<&TTestForm::Edit1>("Edit1"),
    Field<&TTestForm::Button1>("Button1"),
    Field<&TTestForm::Image1>("Image1"),
    Field<&TTestForm::Blob1>("Blob1"),
});

}  // namespace

TTestControl::TTestControl(TComponent* AOwner) : TComponent(AOwner), FFont(new TFont) {}

TTestControl::~TTestControl() {
  SetParent(nullptr);
  for (TTestControl* c : FControls) c->FParent = nullptr;
  delete FFont;
}

void TTestControl::SetParent(TTestControl* value) {
  if (FParent == value) return;
  if (FParent) {
    auto& list = FParent->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  FParent = value;
  if (FParent) FParent->FControls.push_back(this);
}

void TTestControl::Loaded() {
  TComponent::Loaded();
  LoadedLog().push_back(Name());
}

TTestImage::TTestImage(TComponent* AOwner) : TTestControl(AOwner), FPicture(new TPicture), FGlyph(new TBitmap) {}
TTestImage::~TTestImage() {
  delete FPicture;
  delete FGlyph;
}

TTestBlob::TTestBlob(TComponent* AOwner)
    : TComponent(AOwner), FItems(new TOwnedCollection(this, &TTestItem::ClassInfo)) {}
TTestBlob::~TTestBlob() { delete FItems; }

void TTestBlob::DefineProperties(TFiler* filer) {
  auto* ancestor = ObjectAs<TTestBlob>(filer->Ancestor());
  bool payloadDiffers = ancestor ? ancestor->Payload != Payload : !Payload.empty();
  filer->DefineBinaryProperty(
      "Payload",
      TStreamProc::Lambda([this](TStream& s) {
        Payload.assign(static_cast<size_t>(s.Size()), '\0');
        if (!Payload.empty()) s.ReadBuffer(Payload.data(), static_cast<int64_t>(Payload.size()));
        ++PayloadReadCount;
      }),
      TStreamProc::Lambda([this](TStream& s) { s.WriteString(Payload); }), payloadDiffers);
  filer->DefineProperty(
      "LinkedControls",
      TReaderProc::Lambda([this](TReader* r) {
        Names.clear();
        r->ReadListBegin();
        while (!r->EndOfList()) Names.push_back(r->ReadIdent());
        r->ReadListEnd();
      }),
      TWriterProc::Lambda([this](TWriter* w) {
        w->WriteListBegin();
        for (TComponent* c : Linked) w->WriteIdent(c->Name());
        w->WriteListEnd();
      }),
      ancestor ? LinkedNames() != ancestor->LinkedNames() : !Linked.empty());
  filer->DefineProperty(
      "Box",
      TReaderProc::Lambda([this](TReader* r) {
        r->ReadListBegin();
        for (int& v : Box) v = r->ReadInteger();
        r->ReadListEnd();
        HasBox = true;
      }),
      TWriterProc::Lambda([this](TWriter* w) {
        w->WriteListBegin();
        for (int v : Box) w->WriteInteger(v);
        w->WriteListEnd();
      }),
      HasBox && !ancestor);
  // Older forms hold it; it is read and dropped, never written.
  filer->DefineProperty("PositionMin", TReaderProc::Lambda([](TReader* r) { r->ReadInteger(); }), nullptr, false);
}

std::vector<AnsiString> TTestBlob::LinkedNames() const {
  std::vector<AnsiString> names;
  for (TComponent* c : Linked) names.push_back(c->Name());
  return names;
}

void TTestBlob::Loaded() {
  TComponent::Loaded();
  Linked.clear();
  for (const AnsiString& name : Names)
    if (TComponent* c = Owner() ? Owner()->FindComponent(name) : nullptr) Linked.push_back(c);
  LoadedLog().push_back(Name());
}

TTestForm::TTestForm(TComponent* AOwner) : TComponent(AOwner) {}

void TTestForm::Loaded() {
  TComponent::Loaded();
  LoadedLog().push_back(Name());
}

void TTestForm::Button1Click(TObject* Sender) { Clicks.push_back("Button1Click:" + ObjectAs<TComponent>(Sender)->Name()); }
void TTestForm::Panel1Click(TObject* Sender) { Clicks.push_back("Panel1Click:" + ObjectAs<TComponent>(Sender)->Name()); }
void TTestForm::ValueChanged(TObject* Sender, int Value) {
  Clicks.push_back("ValueChanged:" + ObjectAs<TComponent>(Sender)->Name() + ":" + std::to_string(Value));
}
