// Columns and the header: display order, limits, width sharing, the
// auto-size column, clicks, and the header stream with its damaged forms.
#include "tests/vtree/TreeChecker.h"

#include "platform/Filer.h"
#include "vtree/HeaderStream.h"

#include <functional>

namespace {
using CO = TVTColumnOption;
using HO = TVTHeaderOption;

TVirtualTreeColumns& ColumnsOf(TBaseVirtualTree& tree) { return *tree.Header()->Columns(); }

// Adds columns of the given widths.
void AddColumns(TBaseVirtualTree& tree, std::initializer_list<int32_t> widths) {
  for (int32_t width : widths) ColumnsOf(tree).Add()->SetWidth(width);
}

std::vector<int32_t> Widths(TBaseVirtualTree& tree) {
  std::vector<int32_t> widths;
  for (int i = 0; i < ColumnsOf(tree).Count(); ++i) widths.push_back(ColumnsOf(tree)[i]->Width());
  return widths;
}

TEST(TreeColumns, NewColumnsTakeTheDefaults) {
  TBaseVirtualTree tree;
  AddColumns(tree, {60, 70});
  TVirtualTreeColumn* column = ColumnsOf(tree).Add();
  EXPECT_EQ(column->Width(), 50);
  EXPECT_EQ(column->Position(), 2u);
  EXPECT_EQ(column->Options().Bits(), 0x8FFu);
  EXPECT_EQ(column->Left(), 130);
  EXPECT_EQ(ColumnsOf(tree).PositionToIndex(), (TIndexArray{0, 1, 2}));
  EXPECT_EQ(tree.Header()->MainColumn(), 0);
  EXPECT_EQ(ColumnsOf(tree).ShownWidth(), 180);
}

TEST(TreeColumns, LimitsAreKeptSane) {
  struct Case {
    const char* name;
    std::function<void(TVirtualTreeColumn&)> set;
    std::function<int32_t(TVirtualTreeColumn&)> get;
    int32_t expected;
  };
  const Case cases[] = {
      {"MinWidth -5", [](TVirtualTreeColumn& c) { c.SetMinWidth(-5); }, [](TVirtualTreeColumn& c) { return c.MinWidth(); }, 0},
      {"MaxWidth below MinWidth",
       [](TVirtualTreeColumn& c) {
         c.SetMinWidth(30);
         c.SetMaxWidth(20);
       },
       [](TVirtualTreeColumn& c) { return c.MaxWidth(); }, 30},
      {"Margin -1", [](TVirtualTreeColumn& c) { c.SetMargin(-1); }, [](TVirtualTreeColumn& c) { return c.Margin(); }, 4},
      {"Width beyond MaxWidth",
       [](TVirtualTreeColumn& c) {
         c.SetMaxWidth(80);
         c.SetWidth(500);
       },
       [](TVirtualTreeColumn& c) { return c.Width(); }, 80},
      {"Width below MinWidth", [](TVirtualTreeColumn& c) { c.SetWidth(3); }, [](TVirtualTreeColumn& c) { return c.Width(); }, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    TVirtualTreeColumn* column = ColumnsOf(tree).Add();
    c.set(*column);
    EXPECT_EQ(c.get(*column), c.expected);
  }
}

TEST(TreeColumns, DisplayNameNamesWideCaptionsByIndex) {
  TBaseVirtualTree tree;
  AddColumns(tree, {50, 50, 50, 50});
  ColumnsOf(tree)[2]->SetText(L"Title");
  ColumnsOf(tree)[3]->SetText(L"\x540d\x79f0");
  EXPECT_EQ(ColumnsOf(tree)[2]->DisplayName(), "Title");
  EXPECT_EQ(ColumnsOf(tree)[3]->DisplayName(), "Column 3");
}

TEST(TreeColumns, PositionsAndFixedness) {
  TBaseVirtualTree tree;
  AddColumns(tree, {10, 20, 30, 40});
  for (int i : {0, 1}) ColumnsOf(tree)[i]->SetOptions(ColumnsOf(tree)[i]->Options() + CO::coFixed);
  TVirtualTreeColumn* d = ColumnsOf(tree)[3];
  // Between two fixed columns a column becomes fixed.
  d->SetPosition(1);
  EXPECT_EQ(ColumnsOf(tree).PositionToIndex(), (TIndexArray{0, 3, 1, 2}));
  EXPECT_TRUE(d->IsFixed());
  EXPECT_EQ(d->Left(), 10);
  EXPECT_EQ(ColumnsOf(tree)[1]->Left(), 50);
  EXPECT_EQ(ColumnsOf(tree).FixedAreaWidth(), 70);
  // Beyond the count it goes last, after a non-fixed column: no longer fixed.
  d->SetPosition(9);
  EXPECT_EQ(d->Position(), 3u);
  EXPECT_EQ(ColumnsOf(tree).PositionToIndex(), (TIndexArray{0, 1, 2, 3}));
  EXPECT_FALSE(d->IsFixed());
  // A non-fixed column moved right behind the last fixed one stays non-fixed.
  d->SetPosition(2);
  EXPECT_EQ(ColumnsOf(tree).PositionToIndex(), (TIndexArray{0, 1, 3, 2}));
  EXPECT_FALSE(d->IsFixed());
  ColumnsOf(tree)[1]->SetOptions(ColumnsOf(tree)[1]->Options() - CO::coVisible);
  EXPECT_EQ(ColumnsOf(tree).ShownColumns(), (std::vector<TColumnIndex>{0, 3, 2}));
  EXPECT_EQ(ColumnsOf(tree)[2]->Left(), 50);
  EXPECT_EQ(ColumnsOf(tree).ShownColumnAfter(0), 3);
  EXPECT_EQ(ColumnsOf(tree).ShownColumnBefore(3), 0);
  EXPECT_EQ(ColumnsOf(tree).ColumnAfter(2), InvalidColumn);
  EXPECT_EQ(ColumnsOf(tree).ColumnAtPosition(7), NoColumn);
}

TEST(TreeColumns, FreeingColumnsMovesTheIndexes) {
  {
    TBaseVirtualTree tree;
    AddColumns(tree, {50});
    Free(ColumnsOf(tree)[0]);
    EXPECT_EQ(tree.Header()->MainColumn(), NoColumn);
  }
  TBaseVirtualTree tree;
  AddColumns(tree, {10, 20, 30, 40});
  tree.Header()->SetMainColumn(2);
  tree.Header()->SetSortColumn(3);
  tree.Header()->SetAutoSizeIndex(1);
  ColumnsOf(tree)[3]->SetPosition(0);
  Free(ColumnsOf(tree)[1]);  // the auto-size column
  EXPECT_EQ(tree.Header()->MainColumn(), 1);
  EXPECT_EQ(tree.Header()->SortColumn(), 2);
  EXPECT_EQ(tree.Header()->AutoSizeIndex(), NoColumn);
  EXPECT_EQ(ColumnsOf(tree).PositionToIndex(), (TIndexArray{2, 0, 1}));
  Free(ColumnsOf(tree)[1]);  // the main column
  EXPECT_EQ(tree.Header()->MainColumn(), 0);
  EXPECT_EQ(ColumnsOf(tree)[1]->Left(), 0);
  EXPECT_EQ(ColumnsOf(tree)[0]->Left(), 40);
}

TEST(TreeColumns, ColumnAtPoint) {
  TBaseVirtualTree tree;
  AddColumns(tree, {30, 40, 50});
  ColumnsOf(tree)[1]->SetPosition(0);  // display order 1, 0, 2
  struct Case {
    POINT p;
    TColumnIndex expected;
  };
  const Case cases[] = {
      {{-1, 5}, InvalidColumn}, {{5, -1}, InvalidColumn}, {{5, 101}, InvalidColumn}, {{0, 5}, 1},
      {{39, 5}, 1},            {{40, 5}, 0},            {{119, 5}, 2},           {{120, 5}, InvalidColumn},
  };
  for (const Case& c : cases) EXPECT_EQ(ColumnsOf(tree).ColumnAtPoint(c.p), c.expected) << c.p.x << "," << c.p.y;
  for (int i = 0; i < 3; ++i) ColumnsOf(tree)[i]->SetOptions(ColumnsOf(tree)[i]->Options() - CO::coVisible);
  EXPECT_EQ(ColumnsOf(tree).ColumnAtPoint(POINT{5, 5}), InvalidColumn);
  EXPECT_EQ(ColumnsOf(tree).FirstShownColumn(), InvalidColumn);
}

// Shrinking 100/100/100 by 7 takes two from each and the odd pixel from the
// end of the range; the next odd pixel goes to the column before it.
TEST(TreeColumns, ShareWidthChangeHandsOutOddPixelsInTurn) {
  TBaseVirtualTree tree;
  AddColumns(tree, {100, 100, 100});
  TVTHeader& header = *tree.Header();
  header.ShareWidthChange(-7, 0, 2, {});
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{98, 98, 97}));
  header.ShareWidthChange(-1, 0, 2, {});
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{98, 97, 97}));
  // Growing, the odd pixels go to the columns that did not get one last.
  header.ShareWidthChange(5, 0, 2, {});
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{99, 99, 99}));
  // Limits hold; the mask picks the columns.
  ColumnsOf(tree)[0]->SetMinWidth(95);
  ColumnsOf(tree)[2]->SetOptions(ColumnsOf(tree)[2]->Options() + CO::coAutoSpring);
  header.ShareWidthChange(-40, 0, 2, {CO::coAutoSpring});
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{99, 99, 59}));
  header.ShareWidthChange(-400, 0, 1, {});
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{95, 10, 59}));
}

TEST(TreeColumns, AutoSizeColumnTakesWhatTheOthersLeave) {
  TBaseVirtualTree tree;
  tree.SetBounds(0, 0, 400, 100);
  AddColumns(tree, {100, 100, 100});
  tree.Header()->SetAutoSizeIndex(2);
  tree.Header()->SetOptions(tree.Header()->Options() + HO::hoAutoResize);
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{100, 100, 200}));
  ColumnsOf(tree)[2]->SetWidth(150);  // the auto-size column keeps what it has
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{100, 100, 200}));
  ColumnsOf(tree)[0]->SetWidth(130);
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{130, 100, 170}));
  ColumnsOf(tree)[0]->SetWidth(300);
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{300, 100, 10}));
  // Out of range, the last column is the one sized.
  tree.Header()->SetAutoSizeIndex(7);
  ColumnsOf(tree)[0]->SetWidth(100);
  EXPECT_EQ(Widths(tree), (std::vector<int32_t>{100, 100, 200}));
}

TEST(TreeColumns, FixedAreaConstraintsKeepMinimumBelowMaximum) {
  TBaseVirtualTree tree;
  TVTFixedAreaConstraints& c = *tree.Header()->FixedAreaConstraints();
  c.SetMinWidthPercent(30);
  c.SetMaxWidthPercent(20);
  EXPECT_EQ(c.MinWidthPercent(), 20);
  c.SetMinWidthPercent(50);
  EXPECT_EQ(c.MaxWidthPercent(), 50);
  c.SetMaxHeightPercent(140);
  EXPECT_EQ(c.MaxHeightPercent(), 100);
}

// The header's height keeps within the share of the tree the constraints allow.
TEST(TreeColumns, MaxHeightPercentCapsTheHeader) {
  TreeHost host;
  TBaseVirtualTree tree;
  tree.SetBorderStyle(bsNone);  // the client is the whole control
  tree.Header()->SetHeight(20);
  host.Place(tree, 200, 100);
  ASSERT_EQ(tree.ClientHeight(), 100);
  tree.Header()->FixedAreaConstraints()->SetMaxHeightPercent(50);
  EXPECT_EQ(tree.Header()->Height(), 20);
  tree.Header()->SetHeight(100);
  EXPECT_EQ(tree.Header()->Height(), 60);
  tree.Header()->SetHeight(5);
  EXPECT_EQ(tree.Header()->Height(), 10);  // MinHeight
}

TEST(TreeColumns, HeaderClicksReportTheColumnAndToggleItsCheckBox) {
  TBaseVirtualTree tree;
  AddColumns(tree, {30, 40});
  ColumnsOf(tree)[1]->SetCheckBox(true);
  std::vector<TVTHeaderHitInfo> clicks;
  tree.OnHeaderClick = TVTHeaderClickEvent::Lambda([&](TVTHeader*, TVTHeaderHitInfo& info) { clicks.push_back(info); });
  ColumnsOf(tree).HandleHeaderClick(POINT{45, 5}, TMouseButton::mbLeft, true, false);
  ColumnsOf(tree).HandleHeaderClick(POINT{5, 5}, TMouseButton::mbLeft, false, false);  // not pressed there: nowhere
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].Column, 1);
  EXPECT_TRUE(clicks[0].HitPosition.Contains(TVTHeaderHitPosition::hhiOnColumn));
  EXPECT_TRUE(clicks[0].HitPosition.Contains(TVTHeaderHitPosition::hhiOnCheckbox));
  EXPECT_EQ(ColumnsOf(tree)[1]->CheckState(), TCheckState::csCheckedNormal);
  EXPECT_EQ(ColumnsOf(tree).ClickIndex(), NoColumn);
  EXPECT_TRUE(clicks[1].HitPosition.Contains(TVTHeaderHitPosition::hhiNoWhere));
}

// --- streams -------------------------------------------------------------------------------

std::string Bytes(TMemoryStream& stream) {
  std::string bytes(static_cast<size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  stream.ReadBuffer(bytes.data(), stream.Size());
  return bytes;
}

void Fill(TMemoryStream& stream, const std::string& bytes) {
  stream.SetSize(0);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
}

// A column record: empty texts, widths, then the options word and what the
// version adds after it.
std::string ColumnRecord(int32_t version, uint32_t options) {
  TMemoryStream stream;
  THeaderStreamWriter out(stream);
  out.WideText(std::wstring());  // text
  out.WideText(std::wstring());  // hint
  out.Integer(60);          // Width
  out.Integer(10);          // MinWidth
  out.Integer(10000);       // MaxWidth
  out.Integer(0);           // Style
  out.Integer(-1);          // ImageIndex
  out.Integer(0);           // Layout
  out.Integer(4);           // Margin
  out.Integer(4);           // Spacing
  out.Integer(0);           // BiDiMode
  out.Integer(static_cast<int32_t>(options));
  if (version > 0) {
    out.Integer(7);         // Tag
    out.Integer(0);         // Alignment
  }
  if (version > 1) out.Integer(static_cast<int32_t>(clWindow));
  return Bytes(stream);
}

TEST(TreeHeaderStream, OldColumnOptionsAreConverted) {
  struct Case {
    int32_t version;
    uint32_t stored, loaded;
  };
  const Case cases[] = {{0, 0x1F, 0x2F}, {1, 0x1F, 0x2F}, {1, 0x7F, 0xEF}, {2, 0x1FF, 0xFF}, {3, 0x1FFF, 0x1FFF}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    TBaseVirtualTree tree;
    TVirtualTreeColumn* column = ColumnsOf(tree).Add();
    TMemoryStream stream;
    Fill(stream, ColumnRecord(c.version, c.stored));
    column->LoadFromStream(stream, c.version);
    EXPECT_EQ(column->Options().Bits(), c.loaded);
    EXPECT_EQ(column->Width(), 60);
    EXPECT_EQ(stream.Position(), stream.Size());
  }
}

// A header with something in every field the stream carries.
void Dress(TBaseVirtualTree& tree) {
  AddColumns(tree, {70, 90, 40});
  TVirtualTreeColumns& columns = ColumnsOf(tree);
  columns[0]->SetText(L"\x540d\x79f0");
  columns[0]->SetHint(L"name");
  columns[1]->SetText(L"Date");
  columns[1]->SetAlignment(TAlignment::taRightJustify);
  columns[1]->SetCaptionAlignment(TAlignment::taCenter);
  columns[1]->SetOptions(columns[1]->Options() + CO::coUseCaptionAlignment + CO::coSmartResize);
  columns[2]->SetTag(42);
  columns[2]->SetColor(clYellow);
  columns[2]->SetPosition(0);
  TVTHeader& header = *tree.Header();
  header.SetOptions(header.Options() + HO::hoVisible + HO::hoShowImages);
  header.SetBackground(clSilver);
  header.SetStyle(TVTHeaderStyle::hsPlates);
  header.SetMainColumn(1);
  header.SetSortColumn(2);
  header.SetSortDirection(TSortDirection::sdDescending);
  header.SetMinHeight(12);
  header.SetMaxHeight(40);
  header.SetDefaultHeight(22);
  header.SetHeight(22);
  header.Font()->SetName("宋体");
  header.Font()->SetHeight(-13);
  header.Font()->SetStyle(TFontStyles{TFontStyle::fsBold});
  header.Font()->SetColor(clNavy);
  header.FixedAreaConstraints()->SetMaxHeightPercent(30);
  header.FixedAreaConstraints()->SetMaxWidthPercent(60);
  header.FixedAreaConstraints()->SetMinHeightPercent(5);
  header.FixedAreaConstraints()->SetMinWidthPercent(10);
}

std::string Saved(TBaseVirtualTree& tree) {
  TMemoryStream stream;
  tree.Header()->SaveToStream(stream);
  return Bytes(stream);
}

TEST(TreeHeaderStream, RoundTripKeepsEveryField) {
  TBaseVirtualTree source;
  Dress(source);
  const std::string bytes = Saved(source);
  TBaseVirtualTree tree;
  int resized = 0;
  tree.OnColumnResize = TVTHeaderNotifyEvent::Lambda([&](TVTHeader*, TColumnIndex) { ++resized; });
  TMemoryStream stream;
  Fill(stream, bytes);
  tree.Header()->LoadFromStream(stream);
  TVTHeader& header = *tree.Header();
  EXPECT_TRUE(ColumnsOf(tree).SameAs(&ColumnsOf(source)));
  EXPECT_EQ(ColumnsOf(tree)[0]->Text(), L"\x540d\x79f0");
  EXPECT_EQ(ColumnsOf(tree)[1]->CaptionAlignment(), TAlignment::taCenter);
  EXPECT_EQ(ColumnsOf(tree).PositionToIndex(), (TIndexArray{2, 0, 1}));
  EXPECT_EQ(header.Options(), source.Header()->Options());
  EXPECT_EQ(header.Background(), clSilver);
  EXPECT_EQ(header.Style(), TVTHeaderStyle::hsPlates);
  EXPECT_EQ(header.MainColumn(), 1);
  EXPECT_EQ(header.SortColumn(), 2);
  EXPECT_EQ(header.SortDirection(), TSortDirection::sdDescending);
  EXPECT_EQ(header.Height(), 22);
  EXPECT_EQ(header.MinHeight(), 12);
  EXPECT_EQ(header.MaxHeight(), 40);
  EXPECT_EQ(header.DefaultHeight(), 22);
  EXPECT_EQ(header.Font()->Name(), "宋体");
  EXPECT_EQ(header.Font()->Height(), -13);
  EXPECT_EQ(header.Font()->Style(), TFontStyles{TFontStyle::fsBold});
  EXPECT_EQ(header.Font()->Color(), clNavy);
  EXPECT_EQ(header.FixedAreaConstraints()->MaxHeightPercent(), 30);
  EXPECT_EQ(header.FixedAreaConstraints()->MaxWidthPercent(), 60);
  EXPECT_EQ(header.FixedAreaConstraints()->MinHeightPercent(), 5);
  EXPECT_EQ(header.FixedAreaConstraints()->MinWidthPercent(), 10);
  EXPECT_FALSE(header.States().Contains(THeaderState::hdsLoading));
  EXPECT_EQ(Saved(tree), bytes);
  // The font name travels as UTF-8.
  EXPECT_NE(bytes.find("\xE5\xAE\x8B\xE4\xBD\x93"), std::string::npos);
}

// Every damage is refused with a clear error, and the header is left out of
// its loading state; no prefix of a good stream is read as whole.
TEST(TreeHeaderStream, DamagedStreamsAreRefused) {
  TBaseVirtualTree source;
  Dress(source);
  const std::string good = Saved(source);
  auto word = [](int32_t value) {
    std::string w(4, '\0');
    for (int i = 0; i < 4; ++i) w[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
    return w;
  };
  auto patched = [&](size_t offset, int32_t value) {
    std::string bytes = good;
    bytes.replace(offset, 4, word(value));
    return bytes;
  };
  // Offsets: marker 0, version 4, column count 8, first text length 12.
  struct Case {
    const char* name;
    std::string bytes;
    int code;
    const char* words;
  };
  const Case cases[] = {
      {"unknown version", patched(4, 7), ErrorHeaderVersion, "version is unknown"},
      {"negative column count", patched(8, -3), ErrorHeaderFormat, "negative count"},
      {"column count beyond the data", patched(8, 0x00FFFFFF), ErrorHeaderData, "not enough data"},
      {"text length beyond the data", patched(12, 0x7FFFFFF0), ErrorHeaderData, "not enough data"},
      {"negative text length", patched(12, -1), ErrorHeaderFormat, "negative count"},
      // text length 12, two characters, hint length 20, four, Width 32, MinWidth, MaxWidth, Style 44
      {"column style out of range", patched(44, 9), ErrorHeaderFormat, "enumeration"},
      {"empty stream", std::string(), ErrorHeaderData, "not enough data"},
  };
  auto load = [](const std::string& bytes) {
    TBaseVirtualTree tree;
    AddColumns(tree, {50});
    TMemoryStream stream;
    Fill(stream, bytes);
    try {
      tree.Header()->LoadFromStream(stream);
    } catch (const EVirtualTreeError& e) {
      EXPECT_FALSE(tree.Header()->States().Contains(THeaderState::hdsLoading));
      EXPECT_TRUE(TreeIsConsistent(tree));
      throw;
    }
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      load(c.bytes);
      ADD_FAILURE() << "accepted";
    } catch (const EVirtualTreeError& e) {
      EXPECT_EQ(e.Code(), c.code);
      EXPECT_NE(e.Message().find(c.words), std::string::npos) << e.Message();
      EXPECT_EQ(e.Message().find("Unable to load the header"), 0u) << e.Message();
    }
  }
  for (size_t length = 0; length < good.size(); ++length) {
    SCOPED_TRACE(length);
    EXPECT_THROW(load(good.substr(0, length)), EVirtualTreeError);
  }
}

// The columns travel in forms as the tree's "Columns" property.
TEST(TreeHeaderStream, ColumnsTravelInForms) {
  TBaseVirtualTree source;
  Dress(source);
  TMemoryStream stream;
  WriteComponentToStream(stream, &source);
  TBaseVirtualTree tree;
  stream.SetPosition(0);
  ReadComponentFromStream(stream, &tree);
  EXPECT_TRUE(ColumnsOf(tree).SameAs(&ColumnsOf(source)));
  EXPECT_EQ(ColumnsOf(tree)[0]->Text(), L"\x540d\x79f0");
  EXPECT_EQ(ColumnsOf(tree)[0]->Hint(), L"name");
  EXPECT_EQ(ColumnsOf(tree).PositionToIndex(), (TIndexArray{2, 0, 1}));
  EXPECT_FALSE(tree.Header()->States().Contains(THeaderState::hdsLoading));
}
}  // namespace
