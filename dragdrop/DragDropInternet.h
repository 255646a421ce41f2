// Internet data on the clipboard: URLs, browser bookmarks and image links,
// vCards, mail messages and CF_HTML; the URL and HTML data formats, the URL
// drop target and the internet shortcut helpers.
#pragma once

#include "dragdrop/DragDropText.h"
#include "dragdrop/InternetBlocks.h"

// "UniformResourceLocator": the URL as text.
class TURLClipboardFormat : public TCustomTextClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
  const AnsiString& URL() const { return Text(); }
  void SetURL(const AnsiString& value) { SetText(value); }
};

// Formats that carry a URL and a title.
class TCustomURLPairClipboardFormat : public TCustomSimpleClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TCustomURLPairClipboardFormat() = default;
  virtual const AnsiString& URL() const = 0;
  virtual const AnsiString& Title() const = 0;
  virtual void SetURLAndTitle(const AnsiString& url, const AnsiString& title) = 0;
};

// "Netscape Bookmark": a 1024-byte (URL) or 2048-byte (URL, title) block.
class TNetscapeBookmarkClipboardFormat : public TCustomURLPairClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
  void ResetValue() override { FValue = {}; }
  bool HasValue() override { return !FValue.URL.empty() || !FValue.Title.empty(); }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override { return MakeNetscapeBookmarkBlock(FValue).size(); }
  const AnsiString& URL() const override { return FValue.URL; }
  const AnsiString& Title() const override { return FValue.Title; }
  void SetURLAndTitle(const AnsiString& url, const AnsiString& title) override { FValue = {url, title}; }

private:
  TNetscapeBookmark FValue;
};

// "Netscape Image Format": a header of offsets and five strings; C is the
// title and D the URL, the rest is carried unchanged.
class TNetscapeImageClipboardFormat : public TCustomURLPairClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
  void ResetValue() override { FValue = {}; }
  bool HasValue() override { return !FValue.D.empty() || !FValue.C.empty(); }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override { return MakeNetscapeImageBlock(FValue).size(); }
  const AnsiString& URL() const override { return FValue.D; }
  const AnsiString& Title() const override { return FValue.C; }
  void SetURLAndTitle(const AnsiString& url, const AnsiString& title) override {
    FValue.D = url;
    FValue.C = title;
  }
  TNetscapeImage& Value() { return FValue; }

private:
  TNetscapeImage FValue;
};

// A vCard as "name=value" lines.
class TVCardClipboardFormat : public TCustomStringListClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TVCardClipboardFormat() = default;
  CLIPFORMAT GetClipboardFormat() override;
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override { return MakeVCardBlock(Lines()).size(); }
};

// "HTML Format": the CF_HTML text as lines, kept whole. It has a value only
// when it holds an HTML tag.
class THTMLClipboardFormat : public TCustomStringListClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  THTMLClipboardFormat() = default;
  CLIPFORMAT GetClipboardFormat() override;
  bool HasValue() override;
  bool GiveToDataFormat(TCustomDataFormat* dataFormat) override;
  bool TakeFromDataFormat(TCustomDataFormat* dataFormat) override;
};

// "Internet Message (rfc822/rfc1522)": a mail message as lines.
class TRFC822ClipboardFormat : public TCustomStringListClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TRFC822ClipboardFormat() = default;
  CLIPFORMAT GetClipboardFormat() override;
  bool GiveToDataFormat(TCustomDataFormat* dataFormat) override;
  bool TakeFromDataFormat(TCustomDataFormat* dataFormat) override;
};

// A URL and its title, from whatever a browser or the shell offers.
class TURLDataFormat : public TCustomDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TURLDataFormat(TObject* owner, TClass cls = &ClassInfo);

  void ResetValue() override;
  bool HasValue() override { return !FURL.empty() || !FTitle.empty(); }
  bool NeedsValue() override { return FURL.empty() || FTitle.empty(); }
  bool TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) override;
  bool GiveToClipboardFormat(TClipboardFormat* clipboardFormat) override;

  const AnsiString& URL() const { return FURL; }
  void SetURL(const AnsiString& value) { NotifyChanging(); FURL = value; }
  const AnsiString& Title() const { return FTitle; }
  void SetTitle(const AnsiString& value) { NotifyChanging(); FTitle = value; }

private:
  AnsiString FURL;
  AnsiString FTitle;
};

// HTML as lines, through "HTML Format" only.
class THTMLDataFormat : public TCustomDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit THTMLDataFormat(TObject* owner, TClass cls = &ClassInfo);

  void ResetValue() override;
  bool HasValue() override { return FHTML.Count() > 0; }
  bool NeedsValue() override { return FHTML.Count() == 0; }
  TStringList& HTML() { return FHTML; }

private:
  TStringList FHTML;
};

// The drop target of dropped links: reads on entry and prefers to link.
class TDropURLTarget : public TCustomDropMultiTarget {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TDropURLTarget(TComponent* AOwner);
  ~TDropURLTarget() override;

  const AnsiString& URL() const { return FDataFormat->URL(); }
  const AnsiString& Title() const { return FDataFormat->Title(); }
  TURLDataFormat& DataFormat() const { return *FDataFormat; }

protected:
  int32_t ReadPreferredEffect() override;

private:
  TURLDataFormat* FDataFormat;
};

// The URL of an internet shortcut held in a stream, a file or memory.
bool ReadShortcutUrl(TStream& stream, AnsiString& url);
// Opens the file for reading, letting others read but not write it.
bool ReadShortcutFile(const AnsiString& fileName, AnsiString& url);
bool ReadShortcutText(const AnsiString& text, AnsiString& url);

// A file name for a shortcut to `text` (an address or a title): no scheme,
// no path, no characters a file name cannot hold, ".url" appended.
// Double-byte characters of the system code page are kept whole.
AnsiString MakeUrlFileName(const AnsiString& text);

// The unit of the internet formats (starts the text and file units first).
extern TDragDropUnit DragDropInternetUnit;
