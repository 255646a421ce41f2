// The format map, the data format base and the component bases.
#include "dragdrop/DragDropComponent.h"
#include "dragdrop/DragDropFile.h"
#include "dragdrop/DragDropInternet.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const TFormatDirections Both{TFormatDirection::fdWrite, TFormatDirection::fdRead};
const TFormatDirections Write{TFormatDirection::fdWrite};
const TFormatDirections Read{TFormatDirection::fdRead};

std::vector<std::string> FormatNames(TClipboardFormats& list) {
  std::vector<std::string> names;
  for (int i = 0; i < list.Count(); ++i) {
    TClipboardFormat* format = list.Items(i);
    const CLIPFORMAT id = format->ClipboardFormat();
    switch (id) {
      case CF_HDROP: names.push_back("CF_HDROP"); break;
      case CF_TEXT: names.push_back("CF_TEXT"); break;
      case CF_UNICODETEXT: names.push_back("CF_UNICODETEXT"); break;
      case CF_OEMTEXT: names.push_back("CF_OEMTEXT"); break;
      case CF_LOCALE: names.push_back("CF_LOCALE"); break;
      default: names.push_back(format->ReadFormatName());
    }
  }
  return names;
}

std::vector<std::string> Compatible(TClass dataFormat, TFormatDirection direction) {
  TClipboardFormats list(nullptr, true);
  DataFormatMap().FillCompatibleFormats(dataFormat, list, direction);
  return FormatNames(list);
}

using Names = std::vector<std::string>;

struct CompatibleCase {
  const char* Name;
  TClass DataFormat;
  Names ReadList;
  Names WriteList;
};

TEST(FormatMap, CompatibleListsOfTheStartUpRowsInBothDirections) {
  const Names feedbackRead{"Logical Performed DropEffect", "TargetCLSID", "InShellDragLoop",
                           "Paste Succeeded", "Performed DropEffect", "Preferred DropEffect"};
  const CompatibleCase cases[] = {
      {"files", &TFileDataFormat::ClassInfo, {"CF_HDROP", "Shell IDList Array", "FileNameW", "FileName"},
       {"CF_HDROP", "Shell IDList Array", "FileNameW", "FileName"}},
      {"file maps", &TFileMapDataFormat::ClassInfo, {"FileNameMapW", "FileNameMap"}, {"FileNameMapW", "FileNameMap"}},
      {"ID lists", &TPIDLDataFormat::ClassInfo, {"Shell IDList Array", "CF_HDROP"}, {"Shell IDList Array", "CF_HDROP"}},
      {"streams", &TDataStreamDataFormat::ClassInfo, {"FileContents"}, {}},
      {"feedback", &TFeedbackDataFormat::ClassInfo, feedbackRead, feedbackRead},
      {"virtual files", &TVirtualFileStreamDataFormat::ClassInfo, {}, {}},
      {"text", &TTextDataFormat::ClassInfo,
       {"CF_LOCALE", "CSV", "CF_OEMTEXT", "Rich Text Format", "CF_UNICODETEXT", "CF_TEXT",
        "Internet Message (rfc822/rfc1522)", "FileContents", "HTML Format"},
       {"CF_LOCALE", "CSV", "CF_OEMTEXT", "Rich Text Format", "CF_UNICODETEXT", "CF_TEXT",
        "Internet Message (rfc822/rfc1522)", "FileGroupDescriptorW", "FileGroupDescriptor", "FileContents",
        "HTML Format"}},
      {"URLs", &TURLDataFormat::ClassInfo,
       {"Netscape Bookmark", "Netscape Image Format", "FileGroupDescriptorW", "FileGroupDescriptor", "FileContents",
        "UniformResourceLocator", "CF_TEXT", "CF_HDROP"},
       {"Netscape Bookmark", "Netscape Image Format", "FileGroupDescriptorW", "FileGroupDescriptor", "FileContents",
        "UniformResourceLocator", "CF_TEXT"}},
      {"HTML", &THTMLDataFormat::ClassInfo, {"HTML Format"}, {"HTML Format"}},
  };
  for (const CompatibleCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Compatible(c.DataFormat, TFormatDirection::fdRead), c.ReadList);
    EXPECT_EQ(Compatible(c.DataFormat, TFormatDirection::fdWrite), c.WriteList);
  }
}

TEST(FormatMap, RowsCarryTheirFormatDirectionsIntoTheInstances) {
  TFeedbackDataFormat feedback(nullptr);
  std::vector<bool> writes;
  for (int i = 0; i < feedback.CompatibleFormats().Count(); ++i) {
    TClipboardFormat* format = feedback.CompatibleFormats().Items(i);
    EXPECT_EQ(format->DataFormat(), &feedback);
    writes.push_back(format->Directions() == Write);
  }
  // Preferred and InShellDragLoop are written by the source, the rest by the target.
  EXPECT_EQ(writes, (std::vector<bool>{false, false, true, false, false, true}));
}

TEST(FormatMap, ClassRegistryHoldsTheFormatsWithRows) {
  std::vector<std::string> names;
  for (int i = 0; i < DataFormatClasses().Count(); ++i) names.push_back(DataFormatClasses().Items(i)->Name);
  for (const char* name : {"TDataStreamDataFormat", "TVirtualFileStreamDataFormat", "TFileDataFormat",
                           "TFileMapDataFormat", "TPIDLDataFormat", "TTextDataFormat", "TURLDataFormat",
                           "THTMLDataFormat"})
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
  EXPECT_EQ(std::find(names.begin(), names.end(), "TFeedbackDataFormat"), names.end());
}

TEST(FormatMap, UnitsRegisterOnTheirFirstStartAndForgetOnTheirLastStop) {
  const Names files{"CF_HDROP", "Shell IDList Array", "FileNameW", "FileName"};
  auto registered = [] {
    for (int i = 0; i < DataFormatClasses().Count(); ++i)
      if (DataFormatClasses().Items(i) == &TFileDataFormat::ClassInfo) return true;
    return false;
  };
  // The internet unit builds on the file unit: let it go first.
  DragDropInternetUnit.Stop();
  // A second start and its stop change nothing.
  DragDropFileUnit.Start();
  DragDropFileUnit.Stop();
  EXPECT_EQ(Compatible(&TFileDataFormat::ClassInfo, TFormatDirection::fdRead), files);
  // The last stop forgets the unit's classes and rows, and only those.
  DragDropFileUnit.Stop();
  EXPECT_FALSE(DragDropFileUnit.Started());
  EXPECT_TRUE(Compatible(&TFileDataFormat::ClassInfo, TFormatDirection::fdRead).empty());
  EXPECT_TRUE(Compatible(&TPIDLDataFormat::ClassInfo, TFormatDirection::fdRead).empty());
  EXPECT_FALSE(registered());
  EXPECT_EQ(Compatible(&TDataStreamDataFormat::ClassInfo, TFormatDirection::fdRead), Names{"FileContents"});
  DragDropFileUnit.Start();
  EXPECT_EQ(Compatible(&TFileDataFormat::ClassInfo, TFormatDirection::fdRead), files);
  EXPECT_TRUE(registered());
  DragDropInternetUnit.Start();
}

// Stand-in classes: the ordering only looks at class references.
#define STAND_IN(Name, Parent) const TClassInfo Name{#Name, Parent, nullptr}
STAND_IN(DataBase, &TCustomDataFormat::ClassInfo);
STAND_IN(TextData, &DataBase);
STAND_IN(UrlData, &DataBase);
STAND_IN(FormatBase, &TClipboardFormat::ClassInfo);
STAND_IN(CfText, &FormatBase);
STAND_IN(CfUnicode, &FormatBase);
STAND_IN(CfUrl, &FormatBase);
#undef STAND_IN


TEST(FormatMap, RegisteringAgainKeepsOneRowWithTheUnionOfDirections) {
  TDataFormatMap map;
  map.Add(&TextData, &CfText, 0, Write, Write);
  map.Add(&TextData, &CfUnicode, 1, Both, Write);
  map.Add(&TextData, &CfText, 2, Read, Read);
  ASSERT_EQ(map.Rows().size(), 2u);
  // It moved behind the row of lower priority.
  EXPECT_EQ(map.Rows()[1].ClipboardFormatClass, &CfText);
  EXPECT_EQ(map.Rows()[1].Priority, 2);
  EXPECT_EQ(map.Rows()[1].Directions, Both);
  EXPECT_EQ(map.Rows()[1].FormatDirections, Both);
  // A pair given through ancestors matches the existing row too.
  map.Add(&DataBase, &FormatBase, 0, Read, Read);
  EXPECT_EQ(map.Rows().size(), 2u);
}

// Rows of one data format stay together in ascending priority, and a pair
// goes before the rows of its data format that have its priority.
TEST(FormatMap, RowsOfADataFormatStayTogetherAndTheLaterOfEqualPrioritiesComesFirst) {
  TDataFormatMap map;
  map.Add(&TextData, &CfText, 0, Both, Write);
  map.Add(&UrlData, &CfUrl, 0, Both, Write);
  map.Add(&TextData, &CfUnicode, 0, Both, Write);
  map.Add(&TextData, &CfUrl, 1, Both, Write);
  std::vector<std::pair<TClass, TClass>> rows;
  for (const TDataFormatMapRow& row : map.Rows()) rows.emplace_back(row.DataFormatClass, row.ClipboardFormatClass);
  EXPECT_EQ(rows, (std::vector<std::pair<TClass, TClass>>{
                      {&TextData, &CfUnicode}, {&TextData, &CfText}, {&TextData, &CfUrl}, {&UrlData, &CfUrl}}));
}

TEST(FormatMap, ForgettingRemovesRowsOfDescendants) {
  TDataFormatMap map;
  map.Add(&TextData, &CfText, 0, Both, Write);
  map.Add(&UrlData, &CfUrl, 0, Both, Write);
  map.Add(&UrlData, &CfText, 1, Both, Write);
  map.DeleteByClipboardFormat(&CfText);
  ASSERT_EQ(map.Rows().size(), 1u);
  map.DeleteByDataFormat(&DataBase);
  EXPECT_TRUE(map.Rows().empty());
}

// A COM owner that counts what its components forward to it.
class CountingOwner : public TComponent, public IUnknown {
public:
  CountingOwner() : TComponent(nullptr) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++Count); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--Count); }
  int Count = 10;
};

// A target that holds data formats.
class FormatHolder : public TDragDropComponent {
public:
  explicit FormatHolder(TComponent* owner) : TDragDropComponent(owner) { CreateDataFormats(); }
};

TEST(DragDropComponent, ReferenceCountsFollowTheOwner) {
  CountingOwner owner;
  auto* held = new TDragDropComponent(&owner);
  EXPECT_EQ(held->AddRef(), 11u);
  EXPECT_EQ(held->Release(), 10u);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(held->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(owner.Count, 11);
  unknown->Release();
  EXPECT_EQ(held->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(&unknown)), E_NOINTERFACE);
  EXPECT_EQ(unknown, nullptr);

  TDragDropComponent alone(nullptr);
  EXPECT_EQ(alone.AddRef(), static_cast<ULONG>(-1));
  EXPECT_EQ(alone.Release(), static_cast<ULONG>(-1));
}

TEST(DragDropComponent, DataFormatsJoinAndLeaveTheirOwner) {
  FormatHolder holder(nullptr);
  {
    TFileDataFormat files(&holder);
    TPIDLDataFormat pidls(&holder);
    ASSERT_EQ(holder.DataFormats()->Count(), 2);
    EXPECT_EQ(holder.DataFormats()->Items(1), &pidls);
    EXPECT_EQ(holder.DataFormats()->Add(&files), 0);
    EXPECT_EQ(files.Owner(), &holder);
  }
  EXPECT_EQ(holder.DataFormats()->Count(), 0);
}

TEST(DragDropComponent, AnOwnerWithoutDataFormatsIsRefused) {
  TComponent plain(nullptr);
  TDragDropComponent noFormats(nullptr);
  for (TObject* owner : {static_cast<TObject*>(&plain), static_cast<TObject*>(&noFormats)}) {
    try {
      TFileDataFormat files(owner);
      ADD_FAILURE() << "accepted " << owner->ClassName();
    } catch (const EDataFormatError& e) {
      EXPECT_EQ(e.Message(), std::string(owner->ClassName()) +
                                 " is not a valid owner for TFileDataFormat. Owner must be derived from "
                                 "TCustomDropMultiSource or TCustomDropMultiTarget");
    }
  }
}

class Unimplemented : public TClipboardFormat {
public:
  Unimplemented() : TClipboardFormat(TYMED_HGLOBAL) {}
  void ResetValue() override {}
};

TEST(ClipboardFormat, BaseOperationsRaiseTheirMessages) {
  Unimplemented format;
  try {
    format.GetClipboardFormat();
    ADD_FAILURE();
  } catch (const EDataFormatError& e) {
    EXPECT_EQ(e.Message(), "Internal error: TClipboardFormat.GetClipboardFormat needs implementation");
  }
  TFileClipboardFormat files;
  try {
    files.RenameFormat("x");
    ADD_FAILURE();
  } catch (const EDataFormatError& e) {
    EXPECT_EQ(e.Message(), "TFileClipboardFormat.ClipboardFormat is read-only");
  }
}

TEST(ClipboardFormat, MatchesOnIdAspectAndACommonMedium) {
  TFileClipboardFormat files;
  FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM | TYMED_FILE};
  EXPECT_TRUE(files.MatchesFormatEtc(fe));
  fe.tymed = TYMED_GDI;
  EXPECT_FALSE(files.MatchesFormatEtc(fe));
  fe.tymed = TYMED_HGLOBAL;
  fe.dwAspect = DVASPECT_ICON;
  EXPECT_FALSE(files.MatchesFormatEtc(fe));
  fe.dwAspect = DVASPECT_CONTENT;
  fe.cfFormat = CF_TEXT;
  EXPECT_FALSE(files.MatchesFormatEtc(fe));
  TFileDataFormat data(nullptr);
  fe.cfFormat = CF_HDROP;
  EXPECT_TRUE(data.AcceptsFormatEtc(fe));
}

}  // namespace
