#include "platform/StringList.h"

#include "platform/Exceptions.h"
#include "platform/Stream.h"

#include <algorithm>
#include <string>

const TClassInfo TStrings::ClassInfo{"TStrings", &TPersistent::ClassInfo, nullptr};
const TClassInfo TStringList::ClassInfo{"TStringList", &TStrings::ClassInfo,
                                        [](TObject*) -> TObject* { return new TStringList; }};

namespace {

// Text handed in may carry a zero byte; like the system's own line lists,
// everything from it on is ignored.
AnsiString UpToZero(const AnsiString& s) {
  const size_t zero = s.find('\0');
  return zero == AnsiString::npos ? s : s.substr(0, zero);
}

bool IsBlankByte(char c) { return c != '\0' && static_cast<unsigned char>(c) <= 0x20; }

AnsiString QuotedStr(const AnsiString& s, char quote) {
  AnsiString r(1, quote);
  for (char c : s) {
    r += c;
    if (c == quote) r += quote;
  }
  r += quote;
  return r;
}

// Reads a quoted item at s[i] (which is the quote): doubled quotes stand for
// one; an unclosed quote runs to the end. Leaves i after the closing quote.
AnsiString ExtractQuoted(const AnsiString& s, size_t& i, char quote) {
  AnsiString r;
  ++i;
  while (i < s.size()) {
    if (s[i] == quote) {
      if (i + 1 < s.size() && s[i + 1] == quote) {
        r += quote;
        i += 2;
        continue;
      }
      ++i;
      return r;
    }
    r += s[i++];
  }
  return r;
}

// Keeps an update bracket balanced when the body raises.
class TUpdateScope {
public:
  explicit TUpdateScope(TStrings& s) : FStrings(s) { FStrings.BeginUpdate(); }
  ~TUpdateScope() { FStrings.EndUpdate(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
  TStrings& FStrings;
};

}  // namespace

void TStrings::Error(const char* message, int data) const {
  throw EStringListError(Format(message, data));
}

void TStrings::Put(int index, const AnsiString& s) {
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const AnsiString& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const AnsiString& s, TObject* object) {
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::InsertObject(int index, const AnsiString& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& strings) {
  TUpdateScope update(*this);
  for (int i = 0; i < strings.Count(); ++i) AddObject(strings.Get(i), strings.GetObject(i));
}

void TStrings::Exchange(int index1, int index2) {
  TUpdateScope update(*this);
  const AnsiString s = Get(index1);
  TObject* o = GetObject(index1);
  Put(index1, Get(index2));
  PutObject(index1, GetObject(index2));
  Put(index2, s);
  PutObject(index2, o);
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  TUpdateScope update(*this);
  const AnsiString s = Get(curIndex);
  TObject* o = GetObject(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, o);
}

int TStrings::CompareStrings(const AnsiString& s1, const AnsiString& s2) const { return AnsiCompareText(s1, s2); }

int TStrings::IndexOf(const AnsiString& s) const {
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const AnsiString& name) const {
  for (int i = 0; i < Count(); ++i) {
    const AnsiString s = Get(i);
    const size_t at = s.find(FNameValueSeparator);
    if (at != AnsiString::npos && CompareStrings(s.substr(0, at), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (GetObject(i) == object) return i;
  return -1;
}

bool TStrings::Equals(const TStrings& strings) const {
  if (Count() != strings.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != strings.Get(i)) return false;
  return true;
}

void TStrings::Assign(TPersistent* source) {
  if (auto* strings = ObjectAs<TStrings>(source)) {
    if (strings == this) return;
    TUpdateScope update(*this);
    Clear();
    AddStrings(*strings);
    return;
  }
  TPersistent::Assign(source);
}

AnsiString TStrings::Names(int index) const {
  const AnsiString s = Get(index);
  const size_t at = s.find(FNameValueSeparator);
  return at == AnsiString::npos ? AnsiString() : s.substr(0, at);
}

AnsiString TStrings::ValueFromIndex(int index) const {
  const AnsiString s = Get(index);
  const size_t at = s.find(FNameValueSeparator);
  return at == AnsiString::npos ? AnsiString() : s.substr(at + 1);
}

void TStrings::SetValueFromIndex(int index, const AnsiString& value) {
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  if (index < 0) index = Add(AnsiString());
  Put(index, Names(index) + FNameValueSeparator + value);
}

AnsiString TStrings::Values(const AnsiString& name) const {
  const int index = IndexOfName(name);
  return index < 0 ? AnsiString() : ValueFromIndex(index);
}

void TStrings::SetValues(const AnsiString& name, const AnsiString& value) {
  int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  if (index < 0) index = Add(AnsiString());
  Put(index, name + FNameValueSeparator + value);
}

AnsiString TStrings::Text() const {
  AnsiString r;
  for (int i = 0; i < Count(); ++i) r.append(Get(i)).append("\r\n");
  return r;
}

void TStrings::SetText(const AnsiString& value) {
  const AnsiString text = UpToZero(value);
  TUpdateScope update(*this);
  Clear();
  size_t i = 0;
  while (i < text.size()) {
    const size_t start = i;
    while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
    Add(text.substr(start, i - start));
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
  }
}

AnsiString TStrings::GetDelimitedText(char delimiter, char quote) const {
  if (Count() == 1 && Get(0).empty()) return AnsiString(2, quote);
  AnsiString r;
  for (int i = 0; i < Count(); ++i) {
    const AnsiString s = Get(i);
    // Trail bytes of the double-byte code pages in use are 0x40 and above, so
    // a byte scan cannot mistake half a character for a blank, quote or comma.
    const bool quoteIt = std::any_of(s.begin(), s.end(), [&](char c) {
      return static_cast<unsigned char>(c) <= 0x20 || c == quote || c == delimiter;
    });
    if (i > 0) r += delimiter;
    r += quoteIt ? QuotedStr(s, quote) : s;
  }
  return r;
}

void TStrings::SetDelimitedTextWith(const AnsiString& value, char delimiter, char quote, bool strict) {
  const AnsiString s = UpToZero(value);
  TUpdateScope update(*this);
  Clear();
  size_t i = 0;
  if (!strict)
    while (i < s.size() && IsBlankByte(s[i])) ++i;
  while (i < s.size()) {
    AnsiString item;
    if (s[i] == quote) {
      item = ExtractQuoted(s, i, quote);
    } else {
      const size_t start = i;
      while (i < s.size() && s[i] != delimiter && (strict || !IsBlankByte(s[i]))) ++i;
      item = s.substr(start, i - start);
    }
    Add(item);
    if (!strict)
      while (i < s.size() && IsBlankByte(s[i])) ++i;
    if (i < s.size() && s[i] == delimiter) {
      if (i + 1 == s.size()) Add(AnsiString());
      ++i;
      if (!strict)
        while (i < s.size() && IsBlankByte(s[i])) ++i;
    }
  }
}

AnsiString TStrings::CommaText() const { return GetDelimitedText(',', '"'); }

void TStrings::SetCommaText(const AnsiString& text) { SetDelimitedTextWith(text, ',', '"', false); }

AnsiString TStrings::DelimitedText() const { return GetDelimitedText(FDelimiter, FQuoteChar); }

void TStrings::SetDelimitedText(const AnsiString& text) {
  SetDelimitedTextWith(text, FDelimiter, FQuoteChar, FStrictDelimiter);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::LoadFromStream(TStream& stream) {
  const int64_t size = stream.Size() - stream.Position();
  AnsiString data;
  // A string holds at most 2 GiB - 1 bytes, as on the 32-bit program; a larger
  // size would otherwise be cut down there and the read would overrun it.
  if (size > std::min<int64_t>(static_cast<int64_t>(data.max_size()), INT32_MAX)) throw EOutOfMemory("Out of memory");
  if (size > 0) {
    data.resize(static_cast<size_t>(size));
    stream.ReadBuffer(data.data(), size);
  }
  SetText(data);
}

void TStrings::SaveToStream(TStream& stream) const { stream.WriteString(Text()); }

// TStringList

TStringList::~TStringList() {
  OnChange.Clear();
  OnChanging.Clear();
  if (FOwnsObjects)
    for (auto& item : FList) Free(item.FObject);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) Error("List index out of bounds (%d)", index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0) FireEvent(OnChange, this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) FireEvent(OnChanging, this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) FireEvent(OnChanging, this);
  else FireEvent(OnChange, this);
}

int TStringList::CompareStrings(const AnsiString& s1, const AnsiString& s2) const {
  return FCaseSensitive ? AnsiCompareStr(s1, s2) : AnsiCompareText(s1, s2);
}

AnsiString TStringList::Get(int index) const {
  CheckIndex(index);
  return FList[static_cast<size_t>(index)].FString;
}

void TStringList::Put(int index, const AnsiString& s) {
  if (FSorted) Error("Operation not allowed on sorted list", 0);
  CheckIndex(index);
  Changing();
  FList[static_cast<size_t>(index)].FString = s;
  Changed();
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return FList[static_cast<size_t>(index)].FObject;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  FList[static_cast<size_t>(index)].FObject = object;
  Changed();
}

int TStringList::Add(const AnsiString& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const AnsiString& s, TObject* object) {
  int index = Count();
  if (FSorted && Find(s, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) Error("String list does not allow duplicates", 0);
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Insert(int index, const AnsiString& s) {
  if (FSorted) Error("Operation not allowed on sorted list", 0);
  if (index < 0 || index > Count()) Error("List index out of bounds (%d)", index);
  InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const AnsiString& s, TObject* object) {
  Changing();
  FList.insert(FList.begin() + index, TStringItem{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  TObject* object = FList[static_cast<size_t>(index)].FObject;
  FList.erase(FList.begin() + index);
  if (FOwnsObjects) Free(object);
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  std::vector<TStringItem> old;
  old.swap(FList);
  if (FOwnsObjects)
    for (auto& item : old) Free(item.FObject);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  if (FSorted) Error("Operation not allowed on sorted list", 0);
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  Changing();
  TStringItem item = std::move(FList[static_cast<size_t>(curIndex)]);
  FList.erase(FList.begin() + curIndex);
  FList.insert(FList.begin() + newIndex, std::move(item));
  Changed();
}

int TStringList::IndexOf(const AnsiString& s) const {
  if (!FSorted) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const AnsiString& s, int& index) const {
  bool found = false;
  int low = 0, high = Count() - 1;
  while (low <= high) {
    const int i = (low + high) / 2;
    const int c = CompareStrings(FList[static_cast<size_t>(i)].FString, s);
    if (c < 0) {
      low = i + 1;
    } else {
      high = i - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != dupAccept) low = i;
      }
    }
  }
  index = low;
  return found;
}

void TStringList::ExchangeItems(int index1, int index2) {
  std::swap(FList[static_cast<size_t>(index1)], FList[static_cast<size_t>(index2)]);
}

void TStringList::Sort() {
  if (FSorted) return;
  CustomSort([](TStringList* list, int a, int b) {
    return list->CompareStrings(list->FList[static_cast<size_t>(a)].FString, list->FList[static_cast<size_t>(b)].FString);
  });
}

void TStringList::CustomSort(TStringListSortCompare compare) {
  // A sorted list keeps its own order.
  if (FSorted || Count() <= 1) return;
  Changing();
  // Quicksort by index: the comparison reads the items through the list, so
  // they are exchanged in place and the pivot index follows its item.
  struct Sorter {
    TStringList* List;
    TStringListSortCompare Compare;
    void Run(int l, int r) {
      int i;
      do {
        i = l;
        int j = r, p = (l + r) / 2;
        do {
          while (Compare(List, i, p) < 0) ++i;
          while (Compare(List, j, p) > 0) --j;
          if (i <= j) {
            if (i != j) List->ExchangeItems(i, j);
            if (p == i) p = j;
            else if (p == j) p = i;
            ++i;
            --j;
          }
        } while (i <= j);
        if (l < j) Run(l, j);
        l = i;
      } while (i < r);
    }
  };
  Sorter{this, compare}.Run(0, Count() - 1);
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (FSorted == value) return;
  if (value) Sort();
  FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (FCaseSensitive == value) return;
  FCaseSensitive = value;
  if (FSorted) {
    FSorted = false;
    SetSorted(true);
  }
}
