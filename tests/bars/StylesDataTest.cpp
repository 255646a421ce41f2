// The style slots of an item: what a style change asks of the item, one
// listener per style however many slots hold it, a freed style leaving
// every slot, and changes collected under a lock.
#include "bars/views/ItemStylesData.h"
#include "platform/Bitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

struct Recorder {
  std::vector<int> Kinds;
  TdxBarStylesChangedEvent Handler() {
    return TdxBarStylesChangedEvent::Lambda([this](int kind) { Kinds.push_back(kind); });
  }
};

TEST(BarItemStylesData, WhatAStyleChangeAsksOfTheItem) {
  struct Case {
    const char* Name;
    std::function<void(TcxStyle*)> Prepare;  // before the style is set
    std::function<void(TcxStyle*)> Change;
    std::vector<int> Kinds;  // signalled by the change
  } cases[] = {
      {"font size", [](TcxStyle* s) { s->Font()->SetSize(9); }, [](TcxStyle* s) { s->Font()->SetSize(14); }, {1}},
      {"font name", [](TcxStyle* s) { s->Font()->SetName("Arial"); },
       [](TcxStyle* s) { s->Font()->SetName("Tahoma"); }, {1}},
      {"colour", [](TcxStyle* s) { s->SetColor(clRed); }, [](TcxStyle* s) { s->SetColor(clBlue); }, {0}},
      {"same colour by value", [](TcxStyle* s) { s->SetColor(clRed); },
       [](TcxStyle* s) { s->SetColor(static_cast<TColor>(0x0000FF)); }, {}},
      {"text colour", [](TcxStyle* s) { s->SetTextColor(clRed); }, [](TcxStyle* s) { s->SetTextColor(clLime); }, {0}},
      {"colour cleared", [](TcxStyle* s) { s->SetColor(clRed); }, [](TcxStyle* s) { s->SetColor(clDefault); }, {0}},
      {"bitmap only", [](TcxStyle*) {},
       [](TcxStyle* s) {
         TBitmap picture;
         picture.SetSize(2, 2);
         s->SetBitmap(&picture);
       },
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxStyle* style = New<TcxStyle>(nullptr);
    c.Prepare(style);
    Recorder recorder;
    TdxBarItemStylesData* data = new TdxBarItemStylesData(nullptr, 2);
    data->OnChanged = recorder.Handler();
    data->SetStyle(0, style);
    recorder.Kinds.clear();
    c.Change(style);
    EXPECT_EQ(recorder.Kinds, c.Kinds);
    Free(data);
    EXPECT_EQ(style->ListenerCount(), 0);
    Free(style);
  }
}

TEST(BarItemStylesData, AStyleInTwoSlotsHasOneListener) {
  TcxStyle* style = New<TcxStyle>(nullptr);
  style->SetColor(clRed);
  Recorder recorder;
  TdxBarItemStylesData* data = new TdxBarItemStylesData(nullptr, 2);
  data->OnChanged = recorder.Handler();
  data->SetStyle(0, style);
  data->SetStyle(1, style);
  EXPECT_EQ(style->ListenerCount(), 1);
  EXPECT_EQ(data->StyleUseCount(style), 2);
  // A change of a style in two slots is signalled once.
  recorder.Kinds.clear();
  style->SetColor(clBlue);
  EXPECT_EQ(recorder.Kinds, std::vector<int>{0});
  data->SetStyle(0, nullptr);
  EXPECT_EQ(style->ListenerCount(), 1);
  data->SetStyle(1, nullptr);
  EXPECT_EQ(style->ListenerCount(), 0);
  Free(data);
  Free(style);
}

TEST(BarItemStylesData, AFreedStyleLeavesEverySlotAndSignalsOnce) {
  struct Case {
    const char* Name;
    std::function<void(TcxStyle*)> Prepare;
    std::vector<int> Kinds;
  } cases[] = {
      {"font", [](TcxStyle* s) { s->Font()->SetSize(12); }, {1}},
      {"colour and font", [](TcxStyle* s) { s->Font()->SetSize(12); s->SetColor(clRed); }, {1}},
      {"colour", [](TcxStyle* s) { s->SetColor(clRed); }, {0}},
      {"bitmap only", [](TcxStyle* s) { TBitmap p; p.SetSize(2, 2); s->SetBitmap(&p); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxStyle* style = New<TcxStyle>(nullptr);
    c.Prepare(style);
    Recorder recorder;
    TdxBarItemStylesData* data = new TdxBarItemStylesData(nullptr, 2);
    data->OnChanged = recorder.Handler();
    data->SetStyle(0, style);
    data->SetStyle(1, style);
    recorder.Kinds.clear();
    Free(style);
    EXPECT_EQ(data->GetStyle(0), nullptr);
    EXPECT_EQ(data->GetStyle(1), nullptr);
    EXPECT_EQ(recorder.Kinds, c.Kinds);
    Free(data);
  }
}

TEST(BarItemStylesData, ALockSignalsTheStrongestChangeOnce) {
  TcxStyle* colours = New<TcxStyle>(nullptr);
  TcxStyle* fonts = New<TcxStyle>(nullptr);
  Recorder recorder;
  TdxBarItemStylesData* data = new TdxBarItemStylesData(nullptr, 2);
  data->OnChanged = recorder.Handler();
  data->SetStyle(0, colours);
  data->SetStyle(1, fonts);
  data->LockChanges(true);
  data->LockChanges(true);
  colours->SetColor(clRed);
  fonts->Font()->SetSize(20);
  colours->SetColor(clBlue);
  data->LockChanges(false);
  EXPECT_TRUE(data->IsChangeLocked());
  EXPECT_TRUE(recorder.Kinds.empty());
  data->LockChanges(false);
  EXPECT_EQ(recorder.Kinds, std::vector<int>{1});
  recorder.Kinds.clear();
  data->LockChanges(true);
  data->LockChanges(false);
  EXPECT_TRUE(recorder.Kinds.empty());
  Free(data);
  Free(fonts);
  Free(colours);
}

TEST(BarItemStylesData, FontDataComparesEveryField) {
  TFont font;
  font.SetName("Arial");
  font.SetSize(10);
  TdxBarFontData data;
  GetFontData(&font, data);
  EXPECT_FALSE(FontDataDiffers(data, &font));
  font.SetName("arial");
  EXPECT_TRUE(FontDataDiffers(data, &font));  // names compare case-sensitively
  font.SetName("Arial");
  font.SetStyle(TFontStyles{TFontStyle::fsBold});
  EXPECT_TRUE(FontDataDiffers(data, &font));
  font.SetStyle(TFontStyles{});
  font.SetCharset(static_cast<TFontCharset>(font.Charset() == SYMBOL_CHARSET ? ANSI_CHARSET : SYMBOL_CHARSET));
  EXPECT_TRUE(FontDataDiffers(data, &font));
}

}  // namespace
