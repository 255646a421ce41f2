// Text on the clipboard: plain, Unicode, OEM, rich text, CSV and the locale
// of the text; the text data format that gathers them, and the text drop
// target through which the floating box receives dropped text and HTML.
#pragma once

#include "dragdrop/DragDropFormats.h"
#include "dragdrop/DropTarget.h"
#include "platform/ResourceString.h"

#include <string>

// The name a text offered as a file is given (a program may reword it).
inline constexpr TResourceString sTextScrapName{0xE600, "Text scrap.txt"};

// CF_UNICODETEXT: (size div 2) characters taken as stored.
class TUnicodeTextClipboardFormat : public TCustomWideTextClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TUnicodeTextClipboardFormat() = default;
  CLIPFORMAT GetClipboardFormat() override { return CF_UNICODETEXT; }
};

// CF_OEMTEXT: text in the OEM code page, kept unconverted.
class TOEMTextClipboardFormat : public TCustomTextClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override { return CF_OEMTEXT; }
};

// "Rich Text Format".
class TRichTextClipboardFormat : public TCustomTextClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
};

// "CSV": lines of comma-separated values.
class TCSVClipboardFormat : public TCustomStringListClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TCSVClipboardFormat() = default;
  CLIPFORMAT GetClipboardFormat() override;
};

// CF_LOCALE: the locale of the text; 0 is no value.
class TLocaleClipboardFormat : public TCustomDWORDClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TLocaleClipboardFormat() = default;
  CLIPFORMAT GetClipboardFormat() override { return CF_LOCALE; }
  bool HasValue() override { return Value() != 0; }
};

// Text in every form a drop may bring it. HTML is the "HTML Format" text as
// received (8-bit, header included); it is only taken when it holds an HTML
// tag.
class TTextDataFormat : public TCustomDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTextDataFormat(TObject* owner, TClass cls = &ClassInfo);

  void ResetValue() override;
  bool HasValue() override;
  bool NeedsValue() override;
  bool TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) override;
  bool GiveToClipboardFormat(TClipboardFormat* clipboardFormat) override;

  // Stores the text; a text without a locale takes the thread's.
  void AssignText(const AnsiString& value);
  void AssignHTML(const AnsiString& value);

  const AnsiString& Text() const { return FText; }
  void SetText(const AnsiString& value) { NotifyChanging(); FText = value; }
  const std::wstring& Unicode() const { return FUnicode; }
  void SetUnicode(const std::wstring& value) { NotifyChanging(); FUnicode = value; }
  const AnsiString& RTF() const { return FRTF; }
  void SetRTF(const AnsiString& value) { NotifyChanging(); FRTF = value; }
  const AnsiString& OEM() const { return FOEM; }
  void SetOEM(const AnsiString& value) { NotifyChanging(); FOEM = value; }
  const AnsiString& CSV() const { return FCSV; }
  void SetCSV(const AnsiString& value) { NotifyChanging(); FCSV = value; }
  const AnsiString& HTML() const { return FHTML; }
  LCID Locale() const { return FLocale; }
  void SetLocale(LCID value) { NotifyChanging(); FLocale = value; }

private:
  AnsiString FText;
  std::wstring FUnicode;
  AnsiString FRTF;
  AnsiString FOEM;
  AnsiString FCSV;
  AnsiString FHTML;
  LCID FLocale = 0;
};

// The drop target of dropped text: one text data format. Inside OnDrop the
// handler reads GetPlainText and GetHTMLText; both are empty again after
// the drop.
class TDropTextTarget : public TCustomDropMultiTarget {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TDropTextTarget(TComponent* AOwner);
  ~TDropTextTarget() override;

  // The plain text: CF_TEXT (or the text of a mail or file format) when one
  // was taken, else the Unicode text in the system code page, characters it
  // lacks becoming its default character (drags from programs that offer
  // only CF_UNICODETEXT).
  AnsiString GetPlainText() const;
  const AnsiString& GetHTMLText() const { return FDataFormat->HTML(); }
  TTextDataFormat& DataFormat() const { return *FDataFormat; }

private:
  TTextDataFormat* FDataFormat;
};

// The unit of the text formats.
extern TDragDropUnit DragDropTextUnit;
