// Lists of text lines with an object beside each line: the abstract TStrings
// (what controls expose as Lines/Items) and the stand-alone TStringList.
// Portable: no Windows headers.
#pragma once

#include "platform/Event.h"
#include "platform/Persistent.h"
#include "platform/Text.h"

#include <vector>

class TStream;

enum class TDuplicates { dupIgnore, dupAccept, dupError };
using enum TDuplicates;

// Line lists. Names and values: a line "name=value" has the name before the
// first NameValueSeparator and the value after it (the value may hold more
// separators). Text joins lines with CRLF after each; CommaText and
// DelimitedText quote lines holding blanks, quotes or the delimiter.
class TStrings : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // What descendants store.
  virtual int Count() const = 0;
  virtual AnsiString Get(int index) const = 0;
  virtual void Put(int index, const AnsiString& s);
  virtual TObject* GetObject(int index) const;
  virtual void PutObject(int index, TObject* object);
  virtual void Insert(int index, const AnsiString& s) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  AnsiString Strings(int index) const { return Get(index); }
  AnsiString operator[](int index) const { return Get(index); }
  TObject* Objects(int index) const { return GetObject(index); }

  virtual int Add(const AnsiString& s);
  virtual int AddObject(const AnsiString& s, TObject* object);
  void InsertObject(int index, const AnsiString& s, TObject* object);
  void Append(const AnsiString& s) { Add(s); }
  void AddStrings(const TStrings& strings);
  void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);
  virtual int IndexOf(const AnsiString& s) const;
  int IndexOfName(const AnsiString& name) const;
  int IndexOfObject(const TObject* object) const;
  bool Equals(const TStrings& strings) const;
  void Assign(TPersistent* source) override;

  AnsiString Names(int index) const;
  AnsiString ValueFromIndex(int index) const;
  void SetValueFromIndex(int index, const AnsiString& value);
  // The value of the first line named `name` (names compare case-insensitively),
  // empty when none.
  AnsiString Values(const AnsiString& name) const;
  // Replaces the value of the line named `name` or adds a line; an empty
  // value deletes the line.
  void SetValues(const AnsiString& name, const AnsiString& value);

  virtual AnsiString Text() const;
  // Splits at CR, LF or CRLF; a line break at the very end adds no empty line.
  virtual void SetText(const AnsiString& text);
  AnsiString CommaText() const;
  void SetCommaText(const AnsiString& text);
  AnsiString DelimitedText() const;
  void SetDelimitedText(const AnsiString& text);

  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char c) { FDelimiter = c; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char c) { FQuoteChar = c; }
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char c) { FNameValueSeparator = c; }
  // When on, only the delimiter separates items in DelimitedText (blanks stay
  // inside items).
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool value) { FStrictDelimiter = value; }

  // Update brackets: nested, SetUpdateState runs on the outermost.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // Reads lines from the stream's position to its end (Text); writes Text.
  virtual void LoadFromStream(TStream& stream);
  virtual void SaveToStream(TStream& stream) const;
  // Files in the system code page; defined with the file streams.
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName) const;

protected:
  virtual void SetUpdateState(bool updating) { (void)updating; }
  // Equality of two lines for IndexOf and names (case-insensitive here).
  virtual int CompareStrings(const AnsiString& s1, const AnsiString& s2) const;
  [[noreturn]] void Error(const char* message, int data) const;

private:
  AnsiString GetDelimitedText(char delimiter, char quote) const;
  void SetDelimitedTextWith(const AnsiString& text, char delimiter, char quote, bool strict);

  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
  bool FStrictDelimiter = false;
  int FUpdateCount = 0;
};

class TStringList;
// Compares items index1 and index2 of a list for CustomSort.
using TStringListSortCompare = int (*)(TStringList* list, int index1, int index2);

// A stand-alone line list: optionally sorted (with a duplicates rule),
// case-insensitive unless CaseSensitive, with change events and objects that
// it frees when OwnsObjects is on.
class TStringList : public TStrings {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TStringList() = default;
  explicit TStringList(bool ownsObjects) : FOwnsObjects(ownsObjects) {}
  ~TStringList() override;

  int Count() const override { return static_cast<int>(FList.size()); }
  AnsiString Get(int index) const override;
  void Put(int index, const AnsiString& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  // In a sorted list Add finds the place (and applies Duplicates); Insert
  // raises EStringListError.
  int Add(const AnsiString& s) override;
  int AddObject(const AnsiString& s, TObject* object) override;
  void Insert(int index, const AnsiString& s) override;
  void Delete(int index) override;
  void Clear() override;
  void Move(int curIndex, int newIndex) override;
  int IndexOf(const AnsiString& s) const override;

  // Binary search of a sorted list: true when found; `index` is where `s` is
  // or would go.
  bool Find(const AnsiString& s, int& index) const;
  virtual void Sort();
  void CustomSort(TStringListSortCompare compare);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates value) { FDuplicates = value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool value) { FOwnsObjects = value; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool updating) override;
  int CompareStrings(const AnsiString& s1, const AnsiString& s2) const override;
  void InsertItem(int index, const AnsiString& s, TObject* object);

private:
  struct TStringItem {
    AnsiString FString;
    TObject* FObject;
  };
  void CheckIndex(int index) const;
  void ExchangeItems(int index1, int index2);

  std::vector<TStringItem> FList;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TDuplicates FDuplicates = dupIgnore;
};
