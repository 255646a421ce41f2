#include "skin/SkinData.h"

#include "platform/CodePage.h"
#include "platform/Control.h"
#include "platform/FileStream.h"
#include "platform/Filer.h"
#include "platform/Forms.h"
#include "platform/HintWindow.h"
#include "platform/ImageList.h"
#include "platform/Properties.h"
#include "platform/SysUtils.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManage.h"
#include "skin/SkinVersion.h"
#include "skin/WinSkinForm.h"

const TClassInfo TSkinData::ClassInfo{"TSkinData", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TSkinData(static_cast<TComponent*>(owner));
                                      }};

namespace {

const TEnumInfo SkinControlTypeNames{
    "TSkinControlTypes",
    {"xcMainMenu", "xcPopupMenu", "xcMenuItem", "xcToolbar", "xcControlbar", "xcCombo", "xcCheckBox",
     "xcRadioButton", "xcProgress", "xcScrollbar", "xcEdit", "xcButton", "xcBitBtn", "xcSpeedButton", "xcSpin",
     "xcPanel", "xcGroupBox", "xcStatusBar", "xcTab", "xcTrackBar", "xcSystemMenu", "xcFastReport"}};
const TEnumInfo SkinOptionNames{
    "TSkinOptions",
    {"xoMDIScrollbar", "xoMenuMerge", "xoTransparent", "xoPreview", "xoParentBackGround", "xoNoFocusRect",
     "xoToolbarBK", "xoToolbarButton", "xoMDIChildBorder", "xoMenuBG", "xoCaptionButtonHint", "xoFormScrollbar"}};
const TEnumInfo SkinFormTypeNames{"TSkinFormType", {"sfMainform", "sfOnlyThisForm", "sfDialog", "sfDLL"}};

// Every property is written: none has a stored default.
const TPublishedRegistration registration(
    &TSkinData::ClassInfo,
    {
        Property<&TSkinData::Active, &TSkinData::SetActive>("Active").NoDefault(),
        Property<&TSkinData::DisableTag, &TSkinData::SetDisableTag>("DisableTag").NoDefault(),
        Property<&TSkinData::SkinControls, &TSkinData::SetSkinControls>("SkinControls", SkinControlTypeNames)
            .NoDefault(),
        Property<&TSkinData::Options, &TSkinData::SetOptions>("Options", SkinOptionNames).NoDefault(),
        Property<&TSkinData::Skin3rd>("Skin3rd"),
        Property<&TSkinData::SkinFile, &TSkinData::SetSkinFile>("SkinFile"),
        Property<&TSkinData::SkinStore, &TSkinData::SetSkinStore>("SkinStore"),
        Property<&TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype>("SkinFormtype", SkinFormTypeNames)
            .NoDefault(),
        Property<&TSkinData::Version, &TSkinData::SetVersion>("Version"),
        Property<&TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate>("MenuUpdate").NoDefault(),
        Property<&TSkinData::MenuMerge, &TSkinData::SetMenuMerge>("MenuMerge").NoDefault(),
        Event<&TSkinData::OnFormSkin>("OnFormSkin"),
        Event<&TSkinData::OnSkinChanged>("OnSkinChanged"),
        Event<&TSkinData::OnSkinControl>("OnSkinControl"),
        Event<&TSkinData::OnBeforeSkinForm>("OnBeforeSkinForm"),
        Event<&TSkinData::OnAfterSkinForm>("OnAfterSkinForm"),
    });

// The built-in skinner kinds of classes the engine cannot tell by their
// own class, as the constructor lists them.
struct TSkin3rdGroup {
  const char* Kind;
  std::initializer_list<const char*> Classes;
};
const TSkin3rdGroup DefaultSkin3rd[] = {
    {"scrollbar",
     {"TCategoryButtons", "TVirtualStringTree", "TVirtualDrawTree", "TAdvPanelGroup", "THTMLViewer", "TDBCtrlGrid",
      "TImageEnMView", "TImageEnView", "TAdvMemo", "TDBAdvMemo"}},
    {"pngspeedbutton", {"TPngSpeedbutton"}},
    {"pngbitbtn", {"TPngBitBtn"}},
    {"Panel",
     {"TTBXDockablePanel", "TControlBar", "TTBDock", "TTBToolbar", "TRzGroup", "TLMDCalculator", "TLMDGROUPBOX",
      "TLMDSIMPLEPANEL", "TLMDDBCalendar", "TLMDButtonPanel", "TLMDLMDCalculator", "TLMDHeaderPanel",
      "TLMDTechnicalLine", "TLMDLMDClock", "TLMDTrackbar"}},
    {"combobox",
     {"TComboboxex", "TcxDBLookupComboBox", "TcxDBComboBox", "TcxDBDateEdit", "TcxDBImageComboBox", "TcxDBCalcEdit",
      "TcxDBBlobEdit", "TcxDBPopupEdit", "TcxDBFontNameComboBox", "TcxDBShellComboBox", "TRxLookupEdit",
      "TRxDBLookupCombo", "TRzDateTimeEdit", "TRzColorEdit", "TRzDateTimePicker", "TRzDBDateTimeEdit",
      "TRzDbColorEdit", "TRzDBDateTimePicker", "TLMDListCombobox", "TLMDCheckListCombobox", "TLMDHeaderListCombobox",
      "TLMDImageCombobox", "TLMDColorCombobox", "TLMDFontCombobox", "TLMDFontSizeCombobox", "TLMDFontSizeCombobox",
      "TLMDPrinterCombobox", "TLMDDriveCombobox", "TLMDCalculatorComboBox", "TLMDTrackBarComboBox",
      "TLMDCalendarComboBox", "TLMDTreeComboBox", "TDBLookupCombobox", "TWWDBCombobox", "TWWDBCombobox",
      "TWWDBLookupCombo", "TWWKeyCombo", "TWWTempKeyCombo", "TWWDBDateTimePicker"}},
    {"speedbutton", {"TRxSpeedButton", "TfrSpeedButton", "TfrTBButton"}},
    {"button", {"TRzButton"}},
    {"bitbtn", {"TRzBitbtn", "TLMDButton", "TcxButton"}},
    {"menubtn", {"TRzMenuButton"}},
    {"CheckGroup", {"TRzCheckGroup", "TLMDCheckGroup", "TLMDDBCheckGroup"}},
    {"Radiogroup",
     {"TRzRadioGroup", "TRzDBRadioGroup", "TLMDRADIOGROUP", "TLMDDBRADIOGROUP", "TWWRADIOGROUP", "TcxDBRadioGroup",
      "TcxRadioGroup"}},
    {"Edit",
     {"TRzButtonEdit", "TLMDCalculatorEdit", "TLMDEDIT", "TLMDMASKEDIT", "TLMDBROWSEEDIT", "TLMDEXTSPINEDIT",
      "TLMDCALENDAREDIT", "TLMDFILEOPENEDIT", "TLMDFILESAVEEDIT", "TLMDCOLOREDIT", "TLMDDBEDIT", "TLMDDBMASKEDIT",
      "TLMDDBEXTSPINEDIT", "TLMDDBSPINEDIT", "TLMDDBEDITDBLookup", "TLMDEDITDBLookup", "TWWDBEDIT",
      "TOVCPICTUREFIELD", "TOVCDBPICTUREFIELD", "TOVCSLIDEREDIT", "TOVCDBSLIDEREDIT", "TOVCSIMPLEFIELD",
      "TOVCDBSIMPLEFIELD", "TO32DBFLEXEDIT", "TOVCNUMERICFIELD", "TOVCDBNUMERICFIELD"}},
    {"Radiobutton", {"TRzDBRadioButton", "TLMDRadiobutton"}},
    {"Groupbox", {"TLMDGroupBox", "TcxGroupbox"}},
    {"Checkbox", {"TDBCheckboxEh", "TDBCheckboxEh", "TLMDCHECKBOX", "TLMDDBCHECKBOX"}},
};

TSkinUser32Entries User32Entries;
ATOM ControlAtom = 0;
AnsiString ControlAtomString;
UINT ControlAtomMessage = 0;

}  // namespace

TSkinContent::TSkinContent()
    : Buttons(std::make_unique<TDataSkinButton>()), Title(std::make_unique<TDataSkinTitle>()) {
  Buttons->Name = "Buttons";
  Title->Name = "Title";
  for (int side = 0; side < 4; ++side) {
    Borders[side] = std::make_unique<TDataSkinBorder>();
    Borders[side]->Name = SkinBorderName(static_cast<TSkinBorderSide>(side));
  }
}

TSkinContent::~TSkinContent() = default;

TSkinData::TSkinData(TComponent* AOwner)
    : TComponent(AOwner),
      FSkin(std::make_unique<TSkinContent>()),
      FAppIcon(std::make_unique<TBitmap>()),
      FWorkBitmap(std::make_unique<TBitmap>()),
      FSkin3rd(std::make_unique<TStringList>()) {
  for (int i = 0; i <= static_cast<int>(xcSystemMenu); ++i) FSkinControls.Include(static_cast<TSkinControlType>(i));
  FSkinControls.Exclude(xcMenuItem);
  FAppIcon->SetPixelFormat(pf24bit);
  FWorkBitmap->SetPixelFormat(pf24bit);
  AddDefaultSkin3rd();
  FMenuGlyphs = std::make_unique<TCustomImageList>(nullptr);
  FMenuGlyphs->SetSize(16, 16);
  {
    // Four 16x16 glyphs of the replacement system menu, white transparent;
    // a program without the resource simply has none.
    TBitmap glyphs;
    try {
      glyphs.LoadFromResourceName(GetModuleHandleA(nullptr), "SKARVOMENU");
      FMenuGlyphs->AddMasked(&glyphs, clWhite);
    } catch (const Exception&) {
    }
  }
  FHint = std::make_unique<THintWindow>(nullptr);
  FMaximizedSize = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
  const TColor face = ColorToRGB(Colors(ccButtonFace));
  FButtonFaceBrush.Reset(CheckGDI(CreateSolidBrush(face)));
}

void TSkinData::BeforeDestruction() {
  if (TSkinManage* manager = SkinManager()) manager->RemoveSkinData(this);
  TComponent::BeforeDestruction();
}

TSkinData::~TSkinData() {
  // A plain delete skips BeforeDestruction: unregister here at the latest.
  if (TSkinManage* manager = SkinManager()) manager->RemoveSkinData(this);
  HideCaptionHint();
}

void TSkinData::AddDefaultSkin3rd() {
  for (const TSkin3rdGroup& group : DefaultSkin3rd)
    for (const char* cls : group.Classes) FSkin3rd->Add(AnsiString(cls) + "=" + group.Kind);
}

void TSkinData::SetSkin3rd(TStrings* value) { FSkin3rd->Assign(value); }

void TSkinData::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineBinaryProperty("SkinStream", TStreamProc::Bind<&TSkinData::ReadSkinStream>(this),
                              TStreamProc::Bind<&TSkinData::WriteSkinStream>(this), true);
}

void TSkinData::ReadSkinStream(TStream& stream) {
  int32_t length = 0;
  stream.ReadBuffer(&length, 4);
  if (length <= 0) return;
  if (length > stream.Size() - stream.Position())
    throw EReadError(Format("SkinStream holds %d bytes where it announces %d", static_cast<int>(stream.Size() - stream.Position()), length));
  AnsiString bytes(static_cast<size_t>(length), '\0');
  stream.ReadBuffer(bytes.data(), length);
  // The form keeps what it stored, readable or not, and writes it back.
  SetPackage(bytes);
  if (!Designing()) LoadSkin();
}

void TSkinData::WriteSkinStream(TStream& stream) {
  const int32_t length = static_cast<int32_t>(FPackage.Size());
  stream.WriteBuffer(&length, 4);
  if (length > 0) stream.WriteBuffer(FPackage.Memory(), length);
}

void TSkinData::SetPackage(const AnsiString& bytes) {
  FPackage.Clear();
  FPackage.WriteString(bytes);
  FPackage.SetPosition(0);
}

AnsiString TSkinData::SkinStore() const { return Designing() && FPackage.Size() > 0 ? "(Good)" : "(none)"; }

bool TSkinData::LoadSkin() {
  if (Designing()) return false;
  try {
    Commit(ReadSkin(FPackage));
    FLoadError.clear();
    return true;
  } catch (const std::exception& e) {
    FLoadError = e.what();
    if (FLoadError.empty()) FLoadError = "The skin cannot be read";
    return false;
  }
}

void TSkinData::Commit(std::unique_ptr<TSkinContent> content) {
  // The objects that live as long as the skin data are refilled, so that
  // whoever holds them sees the new skin; the rest are replaced.
  FSkin->Buttons->Swap(*content->Buttons);
  FSkin->Title->Swap(*content->Title);
  for (size_t side = 0; side < 4; ++side) FSkin->Borders[side]->Swap(*content->Borders[side]);
  FSkin->Objects = std::move(content->Objects);
  FSkin->CaptionButtons = std::move(content->CaptionButtons);
  FSkin->Colors = content->Colors;
  FSkin->ColorGiven = content->ColorGiven;
  FSkin->NumberedColors = std::move(content->NumberedColors);
  FSkin->CustomColors = content->CustomColors;
  FSkin->SkinName = content->SkinName;
  FButtonFaceBrush.Reset(CheckGDI(CreateSolidBrush(ColorToRGB(Colors(ccButtonFace)))));
  FNotLoaded = false;
}

void TSkinData::SetSkinFile(const AnsiString& value) {
  FSkinFile = value;
  if (Designing()) {
    if (!value.empty()) FPackage.Clear();
    return;
  }
  if (value.empty() || !FileExists(value)) return;
  TMemoryStream candidate;
  AnsiString reason;
  try {
    TFileStream file(value, fmOpenRead | fmShareDenyWrite);
    candidate.CopyFrom(file, 0);
    candidate.SetPosition(0);
    std::unique_ptr<TSkinContent> content = ReadSkin(candidate);
    FPackage.Clear();
    FPackage.CopyFrom(candidate, 0);
    FPackage.SetPosition(0);
    Commit(std::move(content));
    FLoadError.clear();
  } catch (const std::exception& e) {
    FLoadError = e.what();
    throw ESkinError(Format("The skin file %s cannot be read: %s", value.c_str(), FLoadError.c_str()));
  }
  ApplySkin();
}

void TSkinData::SetActive(bool value) {
  if (Designing() || Reading()) {
    FActive = value;
    return;
  }
  if (value == FActive) return;
  FActive = value;
  TSkinManage* manager = SkinManager();
  if (!manager) return;
  switch (FSkinFormtype) {
    case sfMainform:
      if (!value) {
        manager->Request(this, srUnskinAll, 250);
      } else if (SkinLoaded()) {
        // Before any window was activated the request only switches the
        // manager on; the first activation attaches through the hook.
        manager->Request(this, srSkinAll, 250);
        manager->SetActivationCount(1);
      }
      break;
    case sfOnlyThisForm:
      if (!value) {
        manager->Request(this, srUnskinAll, 250);
      } else if (SkinLoaded()) {
        manager->Request(this, srSkinAll, 250);
      }
      break;
    case sfDialog:
    case sfDLL: break;
  }
}

void TSkinData::Loaded() {
  TComponent::Loaded();
  if (Designing()) return;
  if (!SkinUser32().GetScrollBarInfo) FSkinControls.Exclude(xcScrollbar);
  TSkinManage* manager = CreateSkinManager();
  manager->AddSkinData(this);
  CreateCaptionFont();
  if (FSkinFormtype != sfMainform) {
    manager->SetSwitchedOn(true);
    manager->SetActivationCount(manager->ActivationCount() + 1);
    if (auto* form = ObjectAs<TCustomForm>(Owner()); form && FActive && form->HandleAllocated())
      manager->AttachWindow(form->Handle(), form);
    return;
  }
  manager->InstallHook();
  if (FActive) {
    if (!SkinLoaded()) {
      FActive = false;
    } else {
      manager->Request(this, srSkinAll, 250);
    }
  }
  if (FSkinControls.Contains(xcMainMenu)) {
    FSkinControls.Exclude(xcMenuItem);
  } else {
    FSkinControls.Exclude(xcSystemMenu);
  }
  BuildAppIcon();
}

void TSkinData::ApplySkin() {
  if (Designing() || Reading()) return;
  if (!SkinManager()) Loaded();
  TSkinManage* manager = SkinManager();
  manager->RefreshSkinners(this);
  if (manager->ActivationCount() == 1) manager->Request(this, srReskin, 250);
}

void TSkinData::CreateCaptionFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  FCaptionFont = std::make_unique<TFont>();
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    FCaptionFont->SetHandle(CheckGDI(CreateFontIndirectA(&metrics.lfCaptionFont)));
}

void TSkinData::BuildAppIcon() {
  const int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
  FAppIcon->SetPixelFormat(pf24bit);
  FAppIcon->SetSize(w, h);
  HDC dc = FAppIcon->Canvas()->Handle();
  {
    TGdiObject magenta(CheckGDI(CreateSolidBrush(RGB(255, 0, 255))));
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(magenta.Get()));
  }
  HWND app = Application ? Application->Handle() : nullptr;
  HICON icon = nullptr;
  if (app) {
    icon = reinterpret_cast<HICON>(SendMessageA(app, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(app, WM_GETICON, ICON_BIG, 0));
  }
  if (icon) DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
  FAppIcon->SetTransparentColor(SkinTransparentColor);
}

void TSkinData::DoFormSkin(HWND window, const AnsiString& className, bool& DoSkin) {
  FFormSkinWindow = window;
  if (OnFormSkin) {
    DoSkin = true;
    OnFormSkin(this, className, DoSkin);
    return;
  }
  if (className == "SysMonthCal32") DoSkin = false;
  if (FSkinControls.Contains(xcFastReport) && className.rfind("Tfr", 0) == 0) DoSkin = false;
}

void TSkinData::DoSkinChanged() { FireEvent(OnSkinChanged, this); }

void TSkinData::ShowCaptionHint(const RECT& r, const AnsiString& text) {
  if (!FOptions.Contains(xoCaptionButtonHint) || FHintShown) return;
  RECT box = FHint->CalcHintRect(500, text);
  OffsetRect(&box, r.left, r.top);
  FHint->ActivateHint(box, text);
  FHintShown = true;
}

void TSkinData::HideCaptionHint() {
  if (!FHintShown) return;
  FHintShown = false;
  FHint->ReleaseHandle();
}

TColor TSkinData::BaseColour() const {
  TDataSkinBorder* top = Border(TSkinBorderSide::bsTopBorder);
  TBitmap* image = top->Bitmap.get();
  if (image->Empty()) return Colors(ccButtonFace);
  const int x = image->Width() / 3;
  const int y = (image->Height() / std::max(top->FrameCount, 1)) / 3;
  return image->Canvas()->Pixels(x, y);
}

// -- Unit routines.

std::wstring AnsiToWide(const AnsiString& text) { return AnsiToUtf16(text); }

std::wstring WideCopy(const wchar_t* text, int count) {
  if (!text) return std::wstring();
  if (count < 0) return std::wstring(text);
  size_t n = 0;
  while (n < static_cast<size_t>(count) && text[n]) ++n;
  return std::wstring(text, n);
}

int SkinDrawText(HDC dc, const std::wstring& text, RECT& r, UINT format) {
  if (SkinIsNT()) return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  const AnsiString ansi = Utf16ToAnsi(text);
  return DrawTextA(dc, ansi.c_str(), static_cast<int>(ansi.size()), &r, format);
}

TWinControl* FindControlOfWindow(HWND wnd) { return TWinControl::FindControl(wnd); }

bool GetScrollBarInfoIfAny(HWND wnd, LONG objectId, SCROLLBARINFO& info) {
  if (!User32Entries.GetScrollBarInfo) return false;
  info.cbSize = sizeof info;
  return User32Entries.GetScrollBarInfo(wnd, objectId, &info) != FALSE;
}

void TrackMouseLeave(HWND wnd) {
  if (!User32Entries.TrackMouseEvent) return;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = wnd;
  User32Entries.TrackMouseEvent(&track);
}

TSkinUser32Entries& SkinUser32() { return User32Entries; }

namespace {
template <class F>
void Bind(HMODULE module, const char* name, F& entry) {
  entry = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

void BindSkinUser32() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return;
  Bind(user32, "GetScrollBarInfo", User32Entries.GetScrollBarInfo);
  Bind(user32, "TrackMouseEvent", User32Entries.TrackMouseEvent);
  Bind(user32, "GetComboBoxInfo", User32Entries.GetComboBoxInfo);
  Bind(user32, "DisableProcessWindowsGhosting", User32Entries.DisableProcessWindowsGhosting);
}

ATOM SkinControlAtom() { return ControlAtom; }
const AnsiString& SkinControlAtomString() { return ControlAtomString; }

void InitControlAtom() {
  if (ControlAtom) return;
  ControlAtomString = Format("ControlOfs%.8X%.8X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr))),
                             static_cast<unsigned>(GetCurrentThreadId()));
  ControlAtomMessage = RegisterWindowMessageA(ControlAtomString.c_str());
  ControlAtom = GlobalAddAtomA(ControlAtomString.c_str());
}

void DoneControlAtom() {
  if (ControlAtom) GlobalDeleteAtom(ControlAtom);
  ControlAtom = 0;
  ControlAtomString.clear();
}
