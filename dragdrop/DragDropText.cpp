#include "dragdrop/DragDropText.h"

#include "dragdrop/DragDropInternet.h"
#include "platform/CodePage.h"

#include <shlobj.h>

const TClassInfo TUnicodeTextClipboardFormat::ClassInfo{"TUnicodeTextClipboardFormat",
                                                        &TCustomWideTextClipboardFormat::ClassInfo,
                                                        CreateClipboardFormat<TUnicodeTextClipboardFormat>};
const TClassInfo TOEMTextClipboardFormat::ClassInfo{"TOEMTextClipboardFormat", &TCustomTextClipboardFormat::ClassInfo,
                                                    CreateClipboardFormat<TOEMTextClipboardFormat>};
const TClassInfo TRichTextClipboardFormat::ClassInfo{"TRichTextClipboardFormat",
                                                     &TCustomTextClipboardFormat::ClassInfo,
                                                     CreateClipboardFormat<TRichTextClipboardFormat>};
const TClassInfo TCSVClipboardFormat::ClassInfo{"TCSVClipboardFormat", &TCustomStringListClipboardFormat::ClassInfo,
                                                CreateClipboardFormat<TCSVClipboardFormat>};
const TClassInfo TLocaleClipboardFormat::ClassInfo{"TLocaleClipboardFormat", &TCustomDWORDClipboardFormat::ClassInfo,
                                                   CreateClipboardFormat<TLocaleClipboardFormat>};
const TClassInfo TTextDataFormat::ClassInfo{"TTextDataFormat", &TCustomDataFormat::ClassInfo,
                                            CreateDataFormat<TTextDataFormat>};
const TClassInfo TDropTextTarget::ClassInfo{"TDropTextTarget", &TCustomDropMultiTarget::ClassInfo, nullptr};

namespace {

CLIPFORMAT CFRichText = 0;
CLIPFORMAT CFCSV = 0;

AnsiString UpToNul(const AnsiString& s) { return s.substr(0, s.find('\0')); }
std::wstring UpToNul(const std::wstring& s) { return s.substr(0, s.find(L'\0')); }

// OEM <-> system code page, byte for byte in length as the system converts.
AnsiString OemToAnsi(const AnsiString& oem) {
  AnsiString text = UpToNul(oem);
  if (!text.empty()) OemToCharBuffA(text.data(), text.data(), static_cast<DWORD>(text.size()));
  return text;
}

AnsiString AnsiToOem(const AnsiString& ansi) {
  AnsiString text = UpToNul(ansi);
  if (!text.empty()) CharToOemBuffA(text.data(), text.data(), static_cast<DWORD>(text.size()));
  return text;
}

}  // namespace

CLIPFORMAT TRichTextClipboardFormat::GetClipboardFormat() { return RegisteredFormat(CFRichText, "Rich Text Format"); }
CLIPFORMAT TCSVClipboardFormat::GetClipboardFormat() { return RegisteredFormat(CFCSV, "CSV"); }

// ---------------------------------------------------------------------------
// TTextDataFormat

TTextDataFormat::TTextDataFormat(TObject* owner, TClass cls) : TCustomDataFormat(owner, cls) {}

void TTextDataFormat::ResetValue() {
  NotifyChanging();
  FText.clear();
  FUnicode.clear();
  FRTF.clear();
  FOEM.clear();
  FCSV.clear();
  FHTML.clear();
  FLocale = 0;
}

bool TTextDataFormat::HasValue() {
  return !FText.empty() || !FUnicode.empty() || !FRTF.empty() || !FOEM.empty() || !FCSV.empty() || !FHTML.empty();
}

bool TTextDataFormat::NeedsValue() {
  return FText.empty() || FUnicode.empty() || FRTF.empty() || FOEM.empty() || FCSV.empty() || FHTML.empty();
}

void TTextDataFormat::AssignText(const AnsiString& value) {
  NotifyChanging();
  FText = value;
  if (FLocale == 0) FLocale = GetThreadLocale();
}

void TTextDataFormat::AssignHTML(const AnsiString& value) {
  NotifyChanging();
  FHTML = value;
}

bool TTextDataFormat::TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (ObjectAs<TTextClipboardFormat>(clipboardFormat) || ObjectAs<TFileContentsClipboardFormat>(clipboardFormat)) {
    SetText(static_cast<TCustomTextClipboardFormat*>(clipboardFormat)->Text());
    return true;
  }
  if (auto* rtf = ObjectAs<TRichTextClipboardFormat>(clipboardFormat)) {
    SetRTF(rtf->Text());
    return true;
  }
  if (auto* unicode = ObjectAs<TUnicodeTextClipboardFormat>(clipboardFormat)) {
    SetUnicode(unicode->Text());
    return true;
  }
  if (auto* oem = ObjectAs<TOEMTextClipboardFormat>(clipboardFormat)) {
    SetOEM(oem->Text());
    return true;
  }
  if (auto* csv = ObjectAs<TCSVClipboardFormat>(clipboardFormat)) {
    SetCSV(csv->Lines().Text());
    return true;
  }
  if (auto* locale = ObjectAs<TLocaleClipboardFormat>(clipboardFormat)) {
    SetLocale(locale->Value());
    return true;
  }
  return TCustomDataFormat::TakeFromClipboardFormat(clipboardFormat);
}

bool TTextDataFormat::GiveToClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* text = ObjectAs<TTextClipboardFormat>(clipboardFormat)) {
    AnsiString value = FText;
    if (value.empty()) value = Utf16ToAnsi(UpToNul(FUnicode));
    if (value.empty()) value = OemToAnsi(FOEM);
    text->SetText(value);
    return true;
  }
  if (auto* rtf = ObjectAs<TRichTextClipboardFormat>(clipboardFormat)) {
    rtf->SetText(FRTF.empty() ? TextToRTF(FText) : FRTF);
    return true;
  }
  if (auto* unicode = ObjectAs<TUnicodeTextClipboardFormat>(clipboardFormat)) {
    unicode->SetText(FUnicode.empty() ? AnsiToUtf16(FText) : FUnicode);
    return true;
  }
  if (auto* oem = ObjectAs<TOEMTextClipboardFormat>(clipboardFormat)) {
    oem->SetText(FOEM.empty() ? AnsiToOem(FText) : FOEM);
    return true;
  }
  if (auto* csv = ObjectAs<TCSVClipboardFormat>(clipboardFormat)) {
    csv->Lines().SetText(FCSV.empty() ? FText : FCSV);
    return true;
  }
  if (auto* locale = ObjectAs<TLocaleClipboardFormat>(clipboardFormat)) {
    locale->SetValue(FLocale);
    return true;
  }
  if (auto* contents = ObjectAs<TFileContentsClipboardFormat>(clipboardFormat)) {
    contents->SetText(FText);
    return true;
  }
  if (auto* group = ObjectAs<TFileGroupDescritorClipboardFormat>(clipboardFormat)) {
    group->SetCount(1);
    group->SetFileName(0, LoadResString(sTextScrapName));
    return true;
  }
  if (auto* group = ObjectAs<TFileGroupDescritorWClipboardFormat>(clipboardFormat)) {
    group->SetCount(1);
    group->SetFileName(0, AnsiToUtf16(LoadResString(sTextScrapName)));
    return true;
  }
  return TCustomDataFormat::GiveToClipboardFormat(clipboardFormat);
}

// ---------------------------------------------------------------------------
// TDropTextTarget

TDropTextTarget::TDropTextTarget(TComponent* AOwner) : TCustomDropMultiTarget(AOwner) {
  // The internet unit adds the "HTML Format" and mail message rows this
  // target reads through; starting it here also keeps it linked.
  DragDropInternetUnit.Start();
  try {
    FDataFormat = new TTextDataFormat(this);
  } catch (...) {
    DragDropInternetUnit.Stop();
    throw;
  }
}

AnsiString TDropTextTarget::GetPlainText() const {
  if (!FDataFormat->Text().empty()) return FDataFormat->Text();
  return Utf16ToAnsi(UpToNul(FDataFormat->Unicode()));
}

TDropTextTarget::~TDropTextTarget() {
  LetTransferGo();
  delete FDataFormat;
  DragDropInternetUnit.Stop();
}

// ---------------------------------------------------------------------------
// Unit start-up

namespace {

void TextInitialize() {
  DragDropFormatsUnit.Start();
  AddDataFormatClass(&TTextDataFormat::ClassInfo);
  const TFormatDirections both{TFormatDirection::fdWrite, TFormatDirection::fdRead};
  const TFormatDirections write{TFormatDirection::fdWrite};
  TClass text = &TTextDataFormat::ClassInfo;
  AddFormatPair(text, &TTextClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(text, &TUnicodeTextClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(text, &TRichTextClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(text, &TOEMTextClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(text, &TCSVClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(text, &TLocaleClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(text, &TFileContentsClipboardFormat::ClassInfo, 1, both, write);
  AddFormatPair(text, &TFileGroupDescritorClipboardFormat::ClassInfo, 1, write, write);
  AddFormatPair(text, &TFileGroupDescritorWClipboardFormat::ClassInfo, 1, write, write);
}

void TextFinalize() {
  ForgetDataFormatClass(&TTextDataFormat::ClassInfo);
  for (TClass cls : {&TUnicodeTextClipboardFormat::ClassInfo, &TOEMTextClipboardFormat::ClassInfo,
                     &TRichTextClipboardFormat::ClassInfo, &TCSVClipboardFormat::ClassInfo,
                     &TLocaleClipboardFormat::ClassInfo})
    ForgetClipboardFormatClass(cls);
  DragDropFormatsUnit.Stop();
}

TDragDropUnitStarter TextStarter(DragDropTextUnit);

}  // namespace

constinit TDragDropUnit DragDropTextUnit(TextInitialize, TextFinalize);
