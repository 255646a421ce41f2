// The standard edit mask: a fixed-length template of literal characters and
// editable positions, each accepting one class of characters. It parses the
// mask text and fits typed or pasted texts into the template.
// Portable: no Windows headers; the date and time separators come from the
// engine's locale seam (RegExprConsts.h) as it is when the mask is parsed.
#pragma once

#include "platform/Object.h"
#include "platform/Text.h"

#include <cstdint>
#include <memory>
#include <vector>

// One position of the template.
class TcxStandardMaskCustomItem : public TObject {
public:
  // Whether `ch` may stand here; an editable position also case-converts the
  // character in place, whether it passed or not.
  virtual bool Check(char& ch) const = 0;
  virtual bool IsLiteral() const { return false; }
};

class TcxStandardMaskLiteralItem : public TcxStandardMaskCustomItem {
public:
  explicit TcxStandardMaskLiteralItem(char literal) : FLiteral(literal) {}
  bool Check(char& ch) const override { return ch == FLiteral; }
  bool IsLiteral() const override { return true; }
  char Literal() const { return FLiteral; }

private:
  char FLiteral;
};

// Case conversion of an editable position: ASCII letters only.
enum TcxStandardMaskCaseConversion : uint8_t { ccUpperCase, ccLowerCase, ccNone };

// An editable position.
class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
public:
  TcxStandardMaskManyItem(TcxStandardMaskCaseConversion caseConversion, bool optional)
      : FCaseConversion(caseConversion), FOptional(optional) {}
  bool Check(char& ch) const final;
  TcxStandardMaskCaseConversion CaseConversion() const { return FCaseConversion; }
  // May stay blank in a complete value.
  bool Optional() const { return FOptional; }

protected:
  virtual bool Passes(char ch) const = 0;

private:
  TcxStandardMaskCaseConversion FCaseConversion;
  bool FOptional;
};

// "0" (required) and "9" (optional): a digit.
class TcxStandardMaskNumericItem : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Passes(char ch) const override;
};
// "#": a digit or a sign.
class TcxStandardMaskNumericSymbolItem : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Passes(char ch) const override;
};
// "L" and "l": an ASCII letter.
class TcxStandardMaskAlphaItem : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Passes(char ch) const override;
};
// "A" and "a": an ASCII letter or a digit.
class TcxStandardMaskAlphaNumericItem : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Passes(char ch) const override;
};
// "C" and "c": any character.
class TcxStandardMaskASCIIItem : public TcxStandardMaskManyItem {
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;
  bool Passes(char) const override { return true; }
};

// A parsed standard mask. Texts are 8-bit, one byte per position.
class TcxStandardMask : public TObject {
public:
  // Parses `mask` afresh: "!" first fits texts from the right; a ";0"/";1"
  // suffix, optionally with ";" and a blank character, ends the mask.
  void Compile(const AnsiString& mask);

  // `text` fitted into the template (see StandardMask.cpp); positions it
  // leaves untouched show the blank character. `useConverted` writes the
  // case-converted characters; `textHasLiterals` says whether the text
  // holds the literal characters itself.
  AnsiString FitText(const AnsiString& text, bool useConverted, bool textHasLiterals) const;
  // The value of a shown text: blanks become spaces, literals are kept only
  // when saved.
  AnsiString TextToValue(const AnsiString& text) const;
  // One character per position, each passing its item or blank/space at an
  // optional position.
  bool IsComplete(const AnsiString& text) const;
  AnsiString EmptyValue() const;
  AnsiString EmptyShownText() const;

  int Count() const { return static_cast<int>(FItems.size()); }
  const TcxStandardMaskCustomItem& Items(int index) const { return *FItems[index]; }
  char BlankChar() const { return FBlankChar; }
  bool Leading() const { return FLeading; }
  bool SaveLiteralCharacters() const { return FSaveLiteralCharacters; }
  const AnsiString& Mask() const { return FMask; }

private:
  void parseStandardMask(const AnsiString& mask);
  void addLiteral(char ch);
  void addMany(char kind, TcxStandardMaskCaseConversion caseConversion);
  // The position that takes `ch` walking from `from` by `step`; -1 when none
  // does. `result` gets the character when it passed.
  int fitChar(char ch, int from, int step, bool useConverted, bool textHasLiterals, AnsiString& result) const;

  std::vector<std::unique_ptr<TcxStandardMaskCustomItem>> FItems;
  char FBlankChar = '_';
  bool FLeading = false;
  bool FSaveLiteralCharacters = true;
  AnsiString FMask;
};
