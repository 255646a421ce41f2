// The published-property tables: look-up through ancestors, values by name
// and as text, kinds that do not fit, read-only properties, and events bound
// through a form's published methods.
#include "tests/platform/streaming/StreamingClasses.h"

#include "platform/Bitmap.h"
#include "platform/Properties.h"

#include <gtest/gtest.h>

namespace {

struct TFreeOnExit {
  TComponent* Component;
  ~TFreeOnExit() { Free(Component); }
};

}  // namespace

TEST(PublishedProperties, ListsAncestorsFirstAndFindsByNameWithoutCase) {
  std::vector<const TPropInfo*> list = GetPropList(&TTestEdit::ClassInfo);
  ASSERT_GE(list.size(), 3u);
  EXPECT_STREQ("Tag", list.front()->Name);  // from the component class
  EXPECT_STREQ("Text", list.back()->Name);   // the edit's own, last
  const TPropInfo* info = GetPropInfo(&TTestEdit::ClassInfo, "maxlength");
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(pkInteger, info->Kind);
  EXPECT_EQ(nullptr, GetPropInfo(&TTestEdit::ClassInfo, "NoSuch"));
  // The button's reference property is a component reference; Font a sub-object.
  EXPECT_EQ(pkComponent, GetPropInfo(&TTestButton::ClassInfo, "FocusControl")->Kind);
  EXPECT_EQ(pkClass, GetPropInfo(&TTestButton::ClassInfo, "Font")->Kind);
  EXPECT_EQ(pkWString, GetPropInfo(&TTestButton::ClassInfo, "Hint")->Kind);
  EXPECT_EQ(pkInt64, GetPropInfo(&TTestButton::ClassInfo, "Big")->Kind);
  EXPECT_EQ(pkMethod, GetPropInfo(&TTestButton::ClassInfo, "OnValue")->Kind);
  EXPECT_EQ(&TTestButton::ClassInfo, FindClass("ttestbutton"));
  EXPECT_THROW(FindClass("TNoSuchThing"), EClassNotFound);
}

TEST(PublishedProperties, ValuesAsText) {
  TTestButton button(nullptr);
  struct Case {
    const char* Name;
    const char* Text;
    const char* ReadBack;
  };
  const Case cases[] = {
      {"Left", "-12", "-12"},
      {"Tag", "99", "99"},
      {"Caption", "确定", "确定"},
      {"Visible", "false", "False"},
      {"Align", "TACLIENT", "taClient"},
      {"Options", "[toHidden, toBold]", "[toBold,toHidden]"},
      {"Options", "toWide", "[toWide]"},
      {"Options", "[]", "[]"},
      {"Color", "255", "255"},
      {"Big", "$100000000", "4294967296"},
  };
  for (const Case& c : cases) {
    SetPropValue(&button, c.Name, c.Text);
    EXPECT_EQ(c.ReadBack, GetPropValue(&button, c.Name)) << c.Name;
  }
  EXPECT_EQ(TTestAlign::taClient, button.Align());
  EXPECT_EQ(99, button.Tag());
}

TEST(PublishedProperties, RefusesWhatDoesNotFit) {
  TTestButton button(nullptr);
  struct Case {
    const char* Name;
    const char* Text;
    const char* Expected;
  };
  const Case cases[] = {
      {"NoSuch", "1", "does not exist"},
      {"Left", "twelve", "Invalid number"},
      {"Left", "4294967296", "out of range"},
      {"Visible", "yes", "Invalid boolean"},
      {"Align", "taMiddle", "Invalid value"},
      {"Options", "[toBold,,toWide]", "Invalid set"},
      {"Options", "[toBold", "Invalid set"},
      {"Options", "[toTall]", "toTall"},
      {"Font", "x", "no text form"},
  };
  for (const Case& c : cases) {
    try {
      SetPropValue(&button, c.Name, c.Text);
      ADD_FAILURE() << c.Name << " accepted " << c.Text;
    } catch (const EPropertyError& e) {
      EXPECT_NE(std::string::npos, e.Message().find(c.Expected)) << e.Message();
    }
  }
  const TPropInfo* font = GetPropInfo(&TTestButton::ClassInfo, "Font");
  EXPECT_THROW(SetObjectProp(&button, font, nullptr), EPropertyError);  // read-only
  EXPECT_THROW(GetStrProp(&button, font), EPropertyError);
  EXPECT_THROW(SetOrdProp(&button, GetPropInfo(&TTestButton::ClassInfo, "Align"), 42), EPropertyError);
  EXPECT_EQ(button.Font(), GetObjectProp(&button, font));
}

TEST(PublishedProperties, EventsBindByMethodNameOfTheForm) {
  auto* form = new TTestForm(nullptr);
  TFreeOnExit guard{form};
  auto* button = new TTestButton(form);
  button->SetName("Button1");
  const TPropInfo* onClick = GetPropInfo(&TTestButton::ClassInfo, "OnClick");
  const TPropInfo* onValue = GetPropInfo(&TTestButton::ClassInfo, "OnValue");
  EXPECT_FALSE(IsEventAssigned(button, onClick));
  SetMethodProp(button, onClick, form, "button1click");
  EXPECT_TRUE(IsEventAssigned(button, onClick));
  EXPECT_EQ("Button1Click", GetMethodName(button, onClick, form));
  button->Click();
  EXPECT_EQ(std::vector<std::string>{"Button1Click:Button1"}, form->Clicks);

  EXPECT_THROW(SetMethodProp(button, onClick, form, "ValueChanged"), EPropertyError);  // other signature
  EXPECT_THROW(SetMethodProp(button, onValue, form, "Missing"), EPropertyError);
  // A handler that is no published method of the form has no name to store.
  button->OnClick = TNotifyEvent::Lambda([](TObject*) {});
  EXPECT_EQ("", GetMethodName(button, onClick, form));
  SetMethodProp(button, onClick, form, "");
  EXPECT_FALSE(IsEventAssigned(button, onClick));
}

TEST(PublishedProperties, DefaultsAndStoredPredicates) {
  TTestButton button(nullptr);
  const TPropInfo* color = GetPropInfo(&TTestButton::ClassInfo, "Color");
  const TPropInfo* left = GetPropInfo(&TTestButton::ClassInfo, "Left");
  EXPECT_TRUE(IsDefaultPropertyValue(&button, color, nullptr));
  EXPECT_FALSE(IsDefaultPropertyValue(&button, left, nullptr));  // no default: always written
  button.SetColor(clRed);
  EXPECT_FALSE(IsDefaultPropertyValue(&button, color, nullptr));
  EXPECT_TRUE(IsStoredProp(&button, color));
  button.SetParentColor(true);
  EXPECT_FALSE(IsStoredProp(&button, color));
  TTestButton ancestor(nullptr);
  ancestor.SetColor(clRed);
  EXPECT_TRUE(IsDefaultPropertyValue(&button, color, &ancestor));
  EXPECT_FALSE(IsStoredProp(&button, GetPropInfo(&TFont::ClassInfo, "Size")));
}

namespace {

// An image kept in a form its own way: the graphic's "Data" must not be
// written beside it.
class TOwnFormBitmap : public TBitmap {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
const TClassInfo TOwnFormBitmap::ClassInfo{"TOwnFormBitmap", &TBitmap::ClassInfo, nullptr};

}  // namespace

TEST(PublishedProperties, CustomDataProceduresFollowTheClassChain) {
  EXPECT_EQ(1u, GetDefinePropertiesProcs(&TBitmap::ClassInfo).size());
  EXPECT_EQ(1u, GetDefinePropertiesProcs(&TOwnFormBitmap::ClassInfo).size());
  HideInheritedDefineProperties(&TOwnFormBitmap::ClassInfo);
  EXPECT_TRUE(GetDefinePropertiesProcs(&TOwnFormBitmap::ClassInfo).empty());
  EXPECT_EQ(1u, GetDefinePropertiesProcs(&TBitmap::ClassInfo).size());
}
