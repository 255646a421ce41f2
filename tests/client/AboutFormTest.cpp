// The about box read from the client's own form resource: its window, the
// emblem carried in the form, the link that opens the web address and
// changes under the mouse, and the button that hides it.
#include "client/AboutForm.h"
#include "foundation/FoundationUnits.h"
#include "foundation/GdiPlusClasses.h"
#include "platform/Units.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace testing_support;
using namespace control_tests;

std::string ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class AboutBox : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeUnits({dxGDIPlusAPIUnit, dxGDIPlusClassesUnit});
    Application->CreateForm(Form);
    ASSERT_NE(Form, nullptr);
  }
  void TearDown() override {
    Free(Form);
    FinalizeUnits();
  }
  // Moves the mouse over the form to a client point, as the system reports it.
  void MouseAt(int x, int y) {
    SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    RunMessagesUntilIdle();
  }

  Thform* Form = nullptr;
};

TEST_F(AboutBox, IsAStayOnTopToolWindowOnTheInfoColour) {
  EXPECT_EQ(Form->Caption(), "关于我们");
  const LONG_PTR style = GetWindowLongPtrA(Form->Handle(), GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(Form->Handle(), GWL_EXSTYLE);
  EXPECT_EQ(style & WS_SYSMENU, 0) << "no border icons";
  EXPECT_EQ(exStyle & WS_EX_TOOLWINDOW, WS_EX_TOOLWINDOW);
  EXPECT_EQ(exStyle & WS_EX_TOPMOST, WS_EX_TOPMOST);
  EXPECT_EQ(Form->Color(), clInfoBk);
  EXPECT_EQ(Form->StaticText4->Caption(), "Mevra知识系统");
  EXPECT_EQ(Form->StaticText4->Font()->Name(), "幼圆");
  EXPECT_EQ(Form->StaticText4->Font()->Height(), -35);
  EXPECT_TRUE(Form->StaticText4->Font()->Style().Contains(fsBold));
  EXPECT_EQ(Form->StaticText7->Caption(), "version v0.4");
  EXPECT_EQ(Form->StaticText7->Font()->Height(), -21);
  EXPECT_EQ(Form->StaticText1->Caption(), "稳定，快速，简易");
  EXPECT_EQ(Form->StaticText5->Caption(), "致力于网络应用，信息处理及开发");
  EXPECT_EQ(Form->StaticText6->Caption(), "期待与我们联系：");
  EXPECT_EQ(Form->StaticText3->Caption(), "联系网址:");
  EXPECT_EQ(Form->Button1->Caption(), "确  认");
  EXPECT_EQ(Form->Label2->Cursor(), crHandPoint);
}

TEST_F(AboutBox, CarriesTheEmblemAsAPngPicture) {
  auto* png = ObjectAs<TdxPNGImage>(Form->Image1->Picture()->Graphic());
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->Width(), 80);
  EXPECT_EQ(png->Height(), 80);
  // The form holds the emblem the tool writes: the class name, then the
  // file's bytes.
  const std::string form = ReadFile(MEVRA_ABOUT_MVF);
  const size_t start = form.find("Picture.Data = {");
  ASSERT_NE(start, std::string::npos);
  std::string bytes;
  std::string digits;
  for (size_t i = start + 16; i < form.size() && form[i] != '}'; ++i)
    if (isxdigit(static_cast<unsigned char>(form[i]))) digits += form[i];
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
  EXPECT_EQ(bytes, std::string("\x0BTdxPNGImage") + ReadFile(MEVRA_LOGO_PNG));
}

TEST_F(AboutBox, TheLinkOpensTheAddressAndChangesUnderTheMouse) {
  std::vector<AnsiString> opened;
  const TShellOpen old = SetShellOpen([&](const AnsiString& target) { opened.push_back(target); });
  Form->Show();
  RunMessagesUntilIdle();
  const RECT link = Form->Label2->BoundsRect();
  SendMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(link.left + 5, link.top + 5));
  SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(link.left + 5, link.top + 5));
  SetShellOpen(old);
  EXPECT_EQ(opened, std::vector<AnsiString>{"http://www.mevra.example/"});

  MouseAt(link.left + 5, link.top + 5);
  EXPECT_EQ(Form->Label2->Font()->Color(), static_cast<TColor>(0x808000));
  EXPECT_EQ(Form->Label2->Font()->Size(), 16);
  SaveScreenshot(Form->Handle(), "about-box");
  MouseAt(5, 5);
  EXPECT_EQ(Form->Label2->Font()->Color(), clBlack);
  EXPECT_EQ(Form->Label2->Font()->Size(), 12);
}

TEST_F(AboutBox, TheButtonHidesTheBoxAndForgetsWhoWatchedItsDeactivation) {
  int deactivations = 0;
  Form->OnDeactivate = TNotifyEvent::Lambda([&](TObject*) { ++deactivations; });
  Form->Show();
  RunMessagesUntilIdle();
  Form->Button1->Click();
  EXPECT_FALSE(Form->Visible());
  EXPECT_FALSE(IsWindowVisible(Form->Handle()));
  EXPECT_FALSE(Form->OnDeactivate.Assigned());
  // Shown again, the same box comes back.
  Form->Show();
  EXPECT_TRUE(IsWindowVisible(Form->Handle()));
}

}  // namespace
