// Lists and line lists; built natively and, through
// tests/platform/core/PortableTests.cpp, under Wine.
#include "platform/Exceptions.h"
#include "platform/List.h"
#include "platform/StringList.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

AnsiString Join(const TStrings& list) {
  AnsiString r;
  for (int i = 0; i < list.Count(); ++i) r += (i ? "|" : "") + list[i];
  return r;
}

// The message of what `action` raises, "no error" when it raises nothing.
AnsiString MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "no error";
}

TStringList* Sorted(TDuplicates duplicates) {
  auto* list = new TStringList;
  list->SetDuplicates(duplicates);
  list->SetSorted(true);
  return list;
}

struct TCountedObject : TObject {
  explicit TCountedObject(int& alive) : Alive(alive) { ++Alive; }
  ~TCountedObject() override { --Alive; }
  int& Alive;
};

TEST(StringList, CaseTable) {
  const struct {
    const char* Name;
    std::function<AnsiString(TStringList&)> Run;
    const char* Expected;
  } cases[] = {
      {"ValueKeepsEqualsSigns", [](TStringList& l) { l.SetText("a=b=c\r\nx=1"); return l.Values("a"); }, "b=c"},
      {"ValueNameIgnoresCase", [](TStringList& l) { l.SetText("Key=1"); return l.Values("kEY"); }, "1"},
      {"ValueOfMissingName", [](TStringList& l) { l.SetText("a=1\r\nb"); return l.Values("b") + "." + l.Names(1); }, "."},
      {"SetValueReplacesAddsAndDeletes",
       [](TStringList& l) {
         l.SetText("a=1\r\nb=2");
         l.SetValues("A", "x=y");
         l.SetValues("c", "3");
         l.SetValues("b", "");
         return Join(l);
       },
       "A=x=y|c=3"},
      {"SortedDupIgnoreKeepsFirst",
       [](TStringList&) {
         std::unique_ptr<TStringList> l(Sorted(dupIgnore));
         for (const char* s : {"b", "a", "B", "c", "a"}) l->Add(s);
         return Join(*l) + " " + std::to_string(l->Add("A"));
       },
       "a|b|c 0"},
      {"SortedDupErrorRaises",
       [](TStringList&) {
         std::unique_ptr<TStringList> l(Sorted(dupError));
         l->Add("x");
         return MessageOf([&] { l->Add("X"); });
       },
       "String list does not allow duplicates"},
      {"SortedDupAcceptKeepsBoth",
       [](TStringList&) {
         std::unique_ptr<TStringList> l(Sorted(dupAccept));
         for (const char* s : {"b", "a", "b"}) l->Add(s);
         return Join(*l);
       },
       "a|b|b"},
      {"SortedRefusesInsert",
       [](TStringList&) {
         std::unique_ptr<TStringList> l(Sorted(dupIgnore));
         return MessageOf([&] { l->Insert(0, "x"); });
       },
       "Operation not allowed on sorted list"},
      {"SortedFindsCaseInsensitively",
       [](TStringList&) {
         std::unique_ptr<TStringList> l(Sorted(dupIgnore));
         for (const char* s : {"pear", "Apple", "fig"}) l->Add(s);
         return std::to_string(l->IndexOf("APPLE")) + std::to_string(l->IndexOf("kiwi"));
       },
       "0-1"},
      {"CommaTextReadsQuotesAndBlanks",
       [](TStringList& l) {
         l.SetCommaText("  a b,\"c d\", \"e\"\"f\" ,,g");
         return Join(l);
       },
       "a|b|c d|e\"f||g"},
      {"CommaTextTrailingCommaAddsEmpty", [](TStringList& l) { l.SetCommaText("a,"); return Join(l) + "#" + std::to_string(l.Count()); }, "a|#2"},
      {"CommaTextUnclosedQuoteRunsToEnd", [](TStringList& l) { l.SetCommaText("\"a,b"); return Join(l); }, "a,b"},
      {"CommaTextWritesQuotes",
       [](TStringList& l) {
         for (const char* s : {"a b", "c", "", "d\"e", "f,g", "\xD6\xD0\xCE\xC4"}) l.Add(s);
         return l.CommaText();
       },
       "\"a b\",c,,\"d\"\"e\",\"f,g\",\xD6\xD0\xCE\xC4"},
      {"CommaTextOfOneEmptyLine", [](TStringList& l) { l.Add(""); return l.CommaText(); }, "\"\""},
      {"CommaTextRoundTrip",
       [](TStringList& l) {
         l.SetCommaText("\"x \"\"y\"\"\",,\" z\"");
         TStringList copy;
         copy.SetCommaText(l.CommaText());
         return Join(copy);
       },
       "x \"y\"|| z"},
      {"StrictDelimiterKeepsBlanks",
       [](TStringList& l) {
         l.SetDelimiter(';');
         l.SetStrictDelimiter(true);
         l.SetDelimitedText(" a b ;\"c;d\";");
         return Join(l) + "#" + l.DelimitedText();
       },
       " a b |c;d|#\" a b \";\"c;d\";"},
      {"TextEndsEveryLineWithCrLf", [](TStringList& l) { l.SetText("a\r\nb\r\n"); return std::to_string(l.Count()) + l.Text(); }, "2a\r\nb\r\n"},
      {"TextSplitsAtAnyBreak", [](TStringList& l) { l.SetText("a\nb\rc\r\n\r\nd"); return Join(l); }, "a|b|c||d"},
      {"TextStopsAtZeroByte", [](TStringList& l) { l.SetText(AnsiString("a\r\nb\0c", 6)); return Join(l); }, "a|b"},
      {"EmptyTextIsNoLines", [](TStringList& l) { l.SetText(""); return std::to_string(l.Count()) + l.Text(); }, "0"},
      {"CustomSortByLength",
       [](TStringList& l) {
         l.SetCommaText("ccc,a,bb,dddd");
         l.CustomSort([](TStringList* list, int a, int b) {
           return static_cast<int>(list->Strings(b).size()) - static_cast<int>(list->Strings(a).size());
         });
         return Join(l);
       },
       "dddd|ccc|bb|a"},
      {"ObjectsFollowTheirLinesWhenSorting",
       [](TStringList& l) {
         TObject a, b;
         l.AddObject("b", &b);
         l.AddObject("a", &a);
         l.Sort();
         return AnsiString(l.Objects(0) == &a && l.Objects(1) == &b ? "kept" : "lost");
       },
       "kept"},
      {"IndexOutOfBounds",
       [](TStringList& l) { return MessageOf([&] { l.Delete(0); }); },
       "List index out of bounds (0)"},
  };
  for (const auto& c : cases) {
    TStringList list;
    EXPECT_EQ(c.Run(list), c.Expected) << c.Name;
  }
}

TEST(StringList, ChangeEventsFireOncePerUpdateBracket) {
  TStringList list;
  int changes = 0;
  list.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  list.BeginUpdate();
  list.SetCommaText("a,b,c");
  list.Add("d");
  list.EndUpdate();
  EXPECT_EQ(changes, 1);
  list.Add("e");
  EXPECT_EQ(changes, 2);
}

TEST(StringList, OwnedObjectsAreFreedWithTheirLines) {
  int alive = 0;
  {
    TStringList list(true);
    list.AddObject("a", new TCountedObject(alive));
    list.AddObject("b", new TCountedObject(alive));
    list.AddObject("c", new TCountedObject(alive));
    list.Delete(0);
    EXPECT_EQ(alive, 2);
  }
  EXPECT_EQ(alive, 0);
}

TEST(List, IndexesAreCheckedAndObjectListsOwn) {
  TList list;
  int a = 1, b = 2;
  list.Add(&a);
  list.Insert(0, &b);
  EXPECT_EQ(list.IndexOf(&a), 1);
  list.Move(1, 0);
  EXPECT_EQ(list.First(), &a);
  EXPECT_THROW(list.Items(2), EListError);
  EXPECT_THROW(list.Insert(4, &a), EListError);
  EXPECT_EQ(list.Extract(&b), &b);
  EXPECT_EQ(list.Count(), 1);

  int alive = 0;
  {
    TObjectList objects;
    auto* kept = new TCountedObject(alive);
    objects.Add(new TCountedObject(alive));
    objects.Add(kept);
    objects.Add(new TCountedObject(alive));
    EXPECT_EQ(objects.Extract(kept), kept);  // extracted: not freed
    objects.Delete(0);
    EXPECT_EQ(alive, 2);
    delete kept;
  }
  EXPECT_EQ(alive, 0);
}

}  // namespace
