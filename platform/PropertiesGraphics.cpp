// Published properties of the platform's own classes, and the custom data
// of the graphics classes, which the filer reaches through the registry
// instead of their own DefineProperties.
#include "platform/Filer.h"
#include "platform/Graphics.h"
#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "platform/Screen.h"
#include "platform/StringList.h"

namespace {

const TEnumInfo FontStyleNames{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const TEnumInfo FontPitchNames{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};

struct TCursorName {
  TCursor Cursor;
  const char* Name;
};
const TCursorName CursorNames[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},         {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},       {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},     {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},   {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},         {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
};

void ReadPictureData(TPicture* picture, TStream& stream) {
  try {
    picture->ReadData(stream);
  } catch (const EUnknownGraphicClass&) {
    // A format this build cannot show (its library did not start) leaves
    // the picture empty instead of failing the whole form.
    picture->SetGraphic(nullptr);
  }
}

void DefinePictureData(TPersistent* instance, TFiler* filer) {
  auto* picture = static_cast<TPicture*>(instance);
  bool hasData = picture->HasData();
  if (auto* ancestor = ObjectAs<TPicture>(filer->Ancestor())) {
    TGraphic* mine = picture->Graphic();
    TGraphic* theirs = ancestor->Graphic();
    hasData = mine ? !(theirs && mine->Equals(theirs)) : theirs != nullptr;
  }
  filer->DefineBinaryProperty(
      "Data", TStreamProc::Lambda([picture](TStream& s) { ReadPictureData(picture, s); }),
      TStreamProc::Lambda([picture](TStream& s) { picture->WriteData(s); }), hasData);
}

// A graphic held directly (a glyph, an image list's cell) stores its
// form-data form as "Data".
void DefineGraphicData(TPersistent* instance, TFiler* filer) {
  auto* graphic = static_cast<TGraphic*>(instance);
  bool hasData = !graphic->Empty();
  if (auto* ancestor = ObjectAs<TGraphic>(filer->Ancestor())) hasData = !graphic->Equals(ancestor);
  filer->DefineBinaryProperty("Data", TStreamProc::Lambda([graphic](TStream& s) { graphic->ReadData(s); }),
                              TStreamProc::Lambda([graphic](TStream& s) { graphic->WriteData(s); }), hasData);
}

void DefineImageListBitmap(TPersistent* instance, TFiler* filer) {
  auto* list = static_cast<TCustomImageList*>(instance);
  bool hasData = list->Count() > 0;
  if (auto* ancestor = ObjectAs<TCustomImageList>(filer->Ancestor())) {
    TMemoryStream a, b;
    list->WriteData(a);
    ancestor->WriteData(b);
    hasData = a.DataString() != b.DataString();
  }
  filer->DefineBinaryProperty("Bitmap", TStreamProc::Lambda([list](TStream& s) { list->ReadData(s); }),
                              TStreamProc::Lambda([list](TStream& s) { list->WriteData(s); }), hasData);
}

// A list of lines stores them as "Strings", a list of strings.
void DefineStrings(TPersistent* instance, TFiler* filer) {
  auto* strings = static_cast<TStrings*>(instance);
  bool hasData = strings->Count() > 0;
  if (auto* ancestor = ObjectAs<TStrings>(filer->Ancestor())) hasData = !strings->Equals(*ancestor);
  filer->DefineProperty(
      "Strings",
      TReaderProc::Lambda([strings](TReader* reader) {
        strings->BeginUpdate();
        try {
          strings->Clear();
          reader->ReadListBegin();
          while (!reader->EndOfList()) strings->Add(reader->ReadString());
          reader->ReadListEnd();
        } catch (...) {
          strings->EndUpdate();
          throw;
        }
        strings->EndUpdate();
      }),
      TWriterProc::Lambda([strings](TWriter* writer) {
        writer->WriteListBegin();
        for (int i = 0; i < strings->Count(); ++i) writer->WriteString(strings->Strings(i));
        writer->WriteListEnd();
      }),
      hasData);
}

}  // namespace

bool CursorToIdent(int cursor, AnsiString& ident) {
  for (const TCursorName& c : CursorNames)
    if (c.Cursor == cursor) {
      ident = c.Name;
      return true;
    }
  return false;
}

bool IdentToCursor(const AnsiString& ident, int& cursor) {
  for (const TCursorName& c : CursorNames)
    if (SameText(c.Name, ident)) {
      cursor = c.Cursor;
      return true;
    }
  return false;
}

void RegisterPlatformPublished() {
  RegisterPublished(&TComponent::ClassInfo, {
      Property<&TComponent::Tag, &TComponent::SetTag>("Tag").Default(0),
  });
  RegisterPublished(&TFont::ClassInfo, {
      Property<&TFont::Charset, &TFont::SetCharset>("Charset").Default(DEFAULT_CHARSET),
      Property<&TFont::Color, &TFont::SetColor>("Color", pkColor).Default(clWindowText),
      Property<&TFont::Height, &TFont::SetHeight>("Height"),
      Property<&TFont::Name, &TFont::SetName>("Name"),
      Property<&TFont::Pitch, &TFont::SetPitch>("Pitch", FontPitchNames).Default(fpDefault),
      Property<&TFont::Size, &TFont::SetSize>("Size").Stored(false),
      Property<&TFont::Style, &TFont::SetStyle>("Style", FontStyleNames).Default(TFontStyles()),
  });
  RegisterDefineProperties(&TStrings::ClassInfo, DefineStrings);
  RegisterDefineProperties(&TPicture::ClassInfo, DefinePictureData);
  RegisterDefineProperties(&TGraphic::ClassInfo, DefineGraphicData);
  RegisterPublished(&TCustomImageList::ClassInfo, {
      Property<&TCustomImageList::AllocBy, &TCustomImageList::SetAllocBy>("AllocBy").Default(4),
      Property<&TCustomImageList::BkColor, &TCustomImageList::SetBkColor>("BkColor", pkColor).Default(clNone),
      Property<&TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor>("BlendColor", pkColor)
          .Default(clNone),
      Property<&TCustomImageList::Height, &TCustomImageList::SetHeight>("Height").Default(16),
      Property<&TCustomImageList::ShareImages, &TCustomImageList::SetShareImages>("ShareImages").Default(false),
      Property<&TCustomImageList::Width, &TCustomImageList::SetWidth>("Width").Default(16),
  });
  RegisterDefineProperties(&TCustomImageList::ClassInfo, DefineImageListBitmap);
}
