#include "dragdrop/DragDropInternet.h"

#include "dragdrop/DragDropFile.h"
#include "platform/CodePage.h"
#include "platform/FileStream.h"
#include "platform/SysUtils.h"

#include <shlobj.h>

#include <cstring>
#include <memory>
#include <vector>

const TClassInfo TURLClipboardFormat::ClassInfo{"TURLClipboardFormat", &TCustomTextClipboardFormat::ClassInfo,
                                                CreateClipboardFormat<TURLClipboardFormat>};
const TClassInfo TCustomURLPairClipboardFormat::ClassInfo{"TCustomURLPairClipboardFormat",
                                                          &TCustomSimpleClipboardFormat::ClassInfo, nullptr};
const TClassInfo TNetscapeBookmarkClipboardFormat::ClassInfo{
    "TNetscapeBookmarkClipboardFormat", &TCustomURLPairClipboardFormat::ClassInfo,
    CreateClipboardFormat<TNetscapeBookmarkClipboardFormat>};
const TClassInfo TNetscapeImageClipboardFormat::ClassInfo{"TNetscapeImageClipboardFormat",
                                                          &TCustomURLPairClipboardFormat::ClassInfo,
                                                          CreateClipboardFormat<TNetscapeImageClipboardFormat>};
const TClassInfo TVCardClipboardFormat::ClassInfo{"TVCardClipboardFormat",
                                                  &TCustomStringListClipboardFormat::ClassInfo,
                                                  CreateClipboardFormat<TVCardClipboardFormat>};
const TClassInfo THTMLClipboardFormat::ClassInfo{"THTMLClipboardFormat", &TCustomStringListClipboardFormat::ClassInfo,
                                                 CreateClipboardFormat<THTMLClipboardFormat>};
const TClassInfo TRFC822ClipboardFormat::ClassInfo{"TRFC822ClipboardFormat",
                                                   &TCustomStringListClipboardFormat::ClassInfo,
                                                   CreateClipboardFormat<TRFC822ClipboardFormat>};
const TClassInfo TURLDataFormat::ClassInfo{"TURLDataFormat", &TCustomDataFormat::ClassInfo,
                                           CreateDataFormat<TURLDataFormat>};
const TClassInfo THTMLDataFormat::ClassInfo{"THTMLDataFormat", &TCustomDataFormat::ClassInfo,
                                            CreateDataFormat<THTMLDataFormat>};
const TClassInfo TDropURLTarget::ClassInfo{"TDropURLTarget", &TCustomDropMultiTarget::ClassInfo, nullptr};

namespace {

CLIPFORMAT CFURL = 0;
CLIPFORMAT CFNetscapeBookmark = 0;
CLIPFORMAT CFNetscapeImage = 0;
CLIPFORMAT CFVCard = 0;
CLIPFORMAT CFHTML = 0;
CLIPFORMAT CFRFC822 = 0;

// A block rendered whole into a zeroed block of exactly its size.
bool PutBlock(const AnsiString& data, uint8_t* block, uint64_t size) {
  if (size != data.size()) return false;
  std::memcpy(block, data.data(), data.size());
  return true;
}

bool HasUrlExtension(const AnsiString& fileName) { return SameText(ExtractFileExt(fileName), ".url"); }

AnsiString WithoutExtension(const AnsiString& fileName) {
  const AnsiString ext = ExtractFileExt(fileName);
  return fileName.substr(0, fileName.size() - ext.size());
}

}  // namespace

CLIPFORMAT TURLClipboardFormat::GetClipboardFormat() { return RegisteredFormat(CFURL, "UniformResourceLocator"); }
CLIPFORMAT TNetscapeBookmarkClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFNetscapeBookmark, "Netscape Bookmark");
}
CLIPFORMAT TNetscapeImageClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFNetscapeImage, "Netscape Image Format");
}
CLIPFORMAT TVCardClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFVCard, "+//ISBN 1-887687-00-9::versit::PDI//vCard");
}
CLIPFORMAT THTMLClipboardFormat::GetClipboardFormat() { return RegisteredFormat(CFHTML, "HTML Format"); }
CLIPFORMAT TRFC822ClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFRFC822, "Internet Message (rfc822/rfc1522)");
}

bool TNetscapeBookmarkClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  FValue = ReadNetscapeBookmarkBlock(block, size);
  return true;
}

bool TNetscapeBookmarkClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  return PutBlock(MakeNetscapeBookmarkBlock(FValue), block, size);
}

bool TNetscapeImageClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  FValue = ReadNetscapeImageBlock(block, size);
  return true;
}

bool TNetscapeImageClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  return PutBlock(MakeNetscapeImageBlock(FValue), block, size);
}

bool TVCardClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  if (!TCustomStringListClipboardFormat::ReadBytes(block, size)) return false;
  ReadVCardText(Lines().Text(), Lines());
  return true;
}

bool TVCardClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  return PutBlock(MakeVCardBlock(Lines()), block, size);
}

bool THTMLClipboardFormat::HasValue() { return Lines().Count() > 0 && ContainsHTMLTag(Lines().Text()); }

bool THTMLClipboardFormat::GiveToDataFormat(TCustomDataFormat* dataFormat) {
  if (auto* text = ObjectAs<TTextDataFormat>(dataFormat)) {
    text->AssignHTML(Lines().Text());
    return true;
  }
  if (auto* html = ObjectAs<THTMLDataFormat>(dataFormat)) {
    html->NotifyChanging();
    html->HTML().Assign(&Lines());
    return true;
  }
  return TCustomStringListClipboardFormat::GiveToDataFormat(dataFormat);
}

bool THTMLClipboardFormat::TakeFromDataFormat(TCustomDataFormat* dataFormat) {
  if (auto* text = ObjectAs<TTextDataFormat>(dataFormat)) {
    Lines().SetText(ContainsHTMLTag(text->HTML()) ? text->HTML() : MakeCFHTML(text->Text()));
    return true;
  }
  if (auto* html = ObjectAs<THTMLDataFormat>(dataFormat)) {
    Lines().Assign(&html->HTML());
    return true;
  }
  return TCustomStringListClipboardFormat::TakeFromDataFormat(dataFormat);
}

bool TRFC822ClipboardFormat::GiveToDataFormat(TCustomDataFormat* dataFormat) {
  if (auto* text = ObjectAs<TTextDataFormat>(dataFormat)) {
    text->AssignText(Lines().Text());
    return true;
  }
  return TCustomStringListClipboardFormat::GiveToDataFormat(dataFormat);
}

bool TRFC822ClipboardFormat::TakeFromDataFormat(TCustomDataFormat* dataFormat) {
  if (auto* text = ObjectAs<TTextDataFormat>(dataFormat)) {
    Lines().SetText(text->Text());
    return true;
  }
  return TCustomStringListClipboardFormat::TakeFromDataFormat(dataFormat);
}

// ---------------------------------------------------------------------------
// Shortcuts

AnsiString MakeUrlFileName(const AnsiString& text) {
  AnsiString name = text;
  for (const char* scheme : {"http://", "ftp://", "mailto:", "file:"})
    if (name.size() >= std::strlen(scheme) && SameText(name.substr(0, std::strlen(scheme)), scheme)) {
      name.erase(0, std::strlen(scheme));
      break;
    }
  // Which bytes end a character: the second byte of a double-byte character
  // may look like "\" or "|" and must stay.
  std::vector<bool> trail(name.size(), false);
  size_t cut = name.size();
  for (size_t i = 0; i < name.size(); ++i) {
    const bool lead = IsDBCSLeadByte(static_cast<BYTE>(name[i])) && i + 1 < name.size();
    if (cut == name.size() && (name[i] == '/' || i + (lead ? 2 : 1) > 120)) cut = i;
    if (lead) trail[++i] = true;
  }
  name.resize(cut);
  // From the end: a run of characters a file name cannot hold is dropped at
  // the end and becomes one space elsewhere.
  static const char invalid[] = "\"'*,/:<>?\\|";
  const auto bad = [&](size_t i) { return !trail[i] && name[i] != '\0' && std::strchr(invalid, name[i]) != nullptr; };
  AnsiString result;
  size_t i = name.size();
  while (i > 0) {
    if (!bad(i - 1)) {
      result.insert(result.begin(), name[--i]);
      continue;
    }
    while (i > 0 && bad(i - 1)) --i;
    if (!result.empty()) result.insert(result.begin(), ' ');
  }
  if (result.empty()) result = "untitled";
  return result + ".url";
}

bool ReadShortcutUrl(TStream& stream, AnsiString& url) {
  TStringList lines;
  lines.LoadFromStream(stream);
  return ReadShortcutLines(lines, url);
}

bool ReadShortcutFile(const AnsiString& fileName, AnsiString& url) {
  std::unique_ptr<TFileStream> stream;
  try {
    stream = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
  } catch (const EFOpenError&) {
    // A dropped shortcut that cannot be opened simply holds no URL.
    return false;
  }
  return ReadShortcutUrl(*stream, url);
}

bool ReadShortcutText(const AnsiString& text, AnsiString& url) {
  TStringList lines;
  lines.SetText(text);
  return ReadShortcutLines(lines, url);
}

// ---------------------------------------------------------------------------
// TURLDataFormat

TURLDataFormat::TURLDataFormat(TObject* owner, TClass cls) : TCustomDataFormat(owner, cls) {}

void TURLDataFormat::ResetValue() {
  NotifyChanging();
  FURL.clear();
  FTitle.clear();
}

bool TURLDataFormat::TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* url = ObjectAs<TURLClipboardFormat>(clipboardFormat)) {
    if (FURL.empty()) SetURL(url->URL());
    return true;
  }
  if (auto* text = ObjectAs<TTextClipboardFormat>(clipboardFormat)) {
    if (!FURL.empty()) return false;
    // An address has a scheme: "://" somewhere after the first character.
    const size_t at = text->Text().find("://");
    if (at == AnsiString::npos || at == 0) return false;
    SetURL(text->Text());
    return true;
  }
  if (auto* files = ObjectAs<TFileClipboardFormat>(clipboardFormat)) {
    if (!FURL.empty() || files->Files().Count() == 0) return false;
    const AnsiString fileName = files->Files().Get(0);
    AnsiString url;
    if (!HasUrlExtension(fileName) || !ReadShortcutFile(fileName, url)) return false;
    SetURL(url);
    if (FTitle.empty()) SetTitle(WithoutExtension(ExtractFileName(fileName)));
    return true;
  }
  if (auto* contents = ObjectAs<TFileContentsClipboardFormat>(clipboardFormat)) {
    if (!FURL.empty() || FTitle.empty()) return false;
    AnsiString url;
    if (!ReadShortcutText(contents->Text(), url)) return false;
    SetURL(url);
    return true;
  }
  if (auto* group = ObjectAs<TFileGroupDescritorClipboardFormat>(clipboardFormat)) {
    if (!FTitle.empty() || group->Count() == 0 || !HasUrlExtension(group->FileName(0))) return false;
    SetTitle(WithoutExtension(group->FileName(0)));
    return true;
  }
  if (auto* group = ObjectAs<TFileGroupDescritorWClipboardFormat>(clipboardFormat)) {
    if (!FTitle.empty() || group->Count() == 0) return false;
    const AnsiString name = Utf16ToAnsi(group->FileName(0));
    if (!HasUrlExtension(name)) return false;
    SetTitle(WithoutExtension(name));
    return true;
  }
  if (auto* pair = ObjectAs<TCustomURLPairClipboardFormat>(clipboardFormat)) {
    NotifyChanging();
    FURL = pair->URL();
    FTitle = pair->Title();
    return true;
  }
  return TCustomDataFormat::TakeFromClipboardFormat(clipboardFormat);
}

bool TURLDataFormat::GiveToClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* url = ObjectAs<TURLClipboardFormat>(clipboardFormat)) {
    url->SetURL(FURL);
    return true;
  }
  if (auto* text = ObjectAs<TTextClipboardFormat>(clipboardFormat)) {
    text->SetText(FURL);
    return true;
  }
  if (auto* contents = ObjectAs<TFileContentsClipboardFormat>(clipboardFormat)) {
    contents->SetText(MakeShortcutText(FURL));
    return true;
  }
  const AnsiString fileName = MakeUrlFileName(FTitle.empty() ? FURL : FTitle);
  if (auto* group = ObjectAs<TFileGroupDescritorClipboardFormat>(clipboardFormat)) {
    group->SetCount(1);
    group->Descriptor(0)->dwFlags = FD_FILESIZE | FD_LINKUI;
    group->Descriptor(0)->nFileSizeLow = static_cast<DWORD>(MakeShortcutText(FURL).size());
    group->SetFileName(0, fileName);
    return true;
  }
  if (auto* group = ObjectAs<TFileGroupDescritorWClipboardFormat>(clipboardFormat)) {
    group->SetCount(1);
    auto* descriptor = reinterpret_cast<FILEDESCRIPTORW*>(group->Record(0));
    descriptor->dwFlags = FD_FILESIZE | FD_LINKUI;
    descriptor->nFileSizeLow = static_cast<DWORD>(MakeShortcutText(FURL).size());
    group->SetFileName(0, AnsiToUtf16(fileName));
    return true;
  }
  if (auto* pair = ObjectAs<TCustomURLPairClipboardFormat>(clipboardFormat)) {
    pair->SetURLAndTitle(FURL, FTitle);
    return true;
  }
  return TCustomDataFormat::GiveToClipboardFormat(clipboardFormat);
}

// ---------------------------------------------------------------------------
// THTMLDataFormat, TDropURLTarget

THTMLDataFormat::THTMLDataFormat(TObject* owner, TClass cls) : TCustomDataFormat(owner, cls) {}

void THTMLDataFormat::ResetValue() {
  NotifyChanging();
  FHTML.Clear();
}

TDropURLTarget::TDropURLTarget(TComponent* AOwner) : TCustomDropMultiTarget(AOwner) {
  DragDropInternetUnit.Start();
  DragTypes = TDragTypes{dtCopy, dtLink};
  GetDataOnEnter = true;
  try {
    FDataFormat = new TURLDataFormat(this);
  } catch (...) {
    DragDropInternetUnit.Stop();
    throw;
  }
}

TDropURLTarget::~TDropURLTarget() {
  LetTransferGo();
  delete FDataFormat;
  DragDropInternetUnit.Stop();
}

int32_t TDropURLTarget::ReadPreferredEffect() {
  const int32_t effect = TCustomDropMultiTarget::ReadPreferredEffect();
  return effect != 0 ? effect : DROPEFFECT_LINK;
}

// ---------------------------------------------------------------------------
// Unit start-up

namespace {

void InternetInitialize() {
  DragDropTextUnit.Start();
  DragDropFileUnit.Start();
  AddDataFormatClass(&TURLDataFormat::ClassInfo);
  AddDataFormatClass(&THTMLDataFormat::ClassInfo);
  const TFormatDirections both{TFormatDirection::fdWrite, TFormatDirection::fdRead};
  const TFormatDirections write{TFormatDirection::fdWrite};
  const TFormatDirections read{TFormatDirection::fdRead};
  TClass url = &TURLDataFormat::ClassInfo;
  AddFormatPair(url, &TNetscapeBookmarkClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(url, &TNetscapeImageClipboardFormat::ClassInfo, 1, both, write);
  AddFormatPair(url, &TFileGroupDescritorClipboardFormat::ClassInfo, 2, both, write);
  AddFormatPair(url, &TFileGroupDescritorWClipboardFormat::ClassInfo, 2, both, write);
  AddFormatPair(url, &TFileContentsClipboardFormat::ClassInfo, 3, both, write);
  AddFormatPair(url, &TURLClipboardFormat::ClassInfo, 4, both, write);
  AddFormatPair(url, &TTextClipboardFormat::ClassInfo, 5, both, write);
  AddFormatPair(url, &TFileClipboardFormat::ClassInfo, 6, read, write);
  AddFormatPair(&THTMLDataFormat::ClassInfo, &THTMLClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(&TTextDataFormat::ClassInfo, &TRFC822ClipboardFormat::ClassInfo, 1, both, write);
  AddFormatPair(&TTextDataFormat::ClassInfo, &THTMLClipboardFormat::ClassInfo, 2, both, write);
}

void InternetFinalize() {
  ForgetDataFormatClass(&TURLDataFormat::ClassInfo);
  ForgetDataFormatClass(&THTMLDataFormat::ClassInfo);
  for (TClass cls : {&TURLClipboardFormat::ClassInfo, &TCustomURLPairClipboardFormat::ClassInfo,
                     &TVCardClipboardFormat::ClassInfo, &THTMLClipboardFormat::ClassInfo,
                     &TRFC822ClipboardFormat::ClassInfo})
    ForgetClipboardFormatClass(cls);
  DragDropFileUnit.Stop();
  DragDropTextUnit.Stop();
}

TDragDropUnitStarter InternetStarter(DragDropInternetUnit);

}  // namespace

constinit TDragDropUnit DragDropInternetUnit(InternetInitialize, InternetFinalize);
