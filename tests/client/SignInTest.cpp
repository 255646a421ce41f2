// The sign-in, registration and recovery windows read from the client's own
// form resources, driven by real input against the stand-in service: the
// picture code and its cookie, the password boxes, the sign-in request and
// its results, the settings file, the three loads after a sign-in and what
// happens when one gives up, registration and password recovery. Dialogs are
// captured through the dialog service. Keys are sent to the focused window,
// so this program holds the input lock.
#include "client/HttpThread.h"
#include "client/Settings.h"
#include "client/SignIn.h"
#include "editors/framework/EditorUnits.h"
#include "foundation/FoundationUnits.h"
#include "gif/GIFImage.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"
#include "platform/Units.h"
#include "skin/SkinUnit.h"
#include "tests/client/ClientFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

constexpr TUnitEntry MaskEditUnit{"cxMaskEdit", &cxMaskEditInit, &cxMaskEditDone};
constexpr TUnitEntry GIFUnit{"GIFImage", &GIFImageInit, &GIFImageFinal};

const char* const DemoHash = "27cd5bcb0147c8b1ed590fa502ff36e3";  // "mevra"

struct Shown {
  TDialogRequest Request;
  HWND Active;
};

int TestCounter = 0;

class SignIn : public ClientFixture {
protected:
  void SetUp() override {
    ClientFixture::SetUp();
    InitializeUnits({dxGDIPlusAPIUnit, dxGDIPlusClassesUnit, cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit,
                     dxOffice11Unit, cxGeometryUnit, cxLookAndFeelsUnit, cxLookAndFeelPaintersUnit, cxControlsUnit,
                     cxGraphicsUnit, cxContainerUnit, cxStylesUnit, cxDataStorageUnit, cxEditPaintUtilsUnit,
                     cxEditUtilsUnit, cxEditUnit, cxFormatsUnit, cxTextEditUnit, cxMemoUnit, cxCheckBoxUnit,
                     cxLabelUnit, MaskEditUnit, GIFUnit, SkinUnit});
    // A fresh settings folder for every test.
    Home = "\\mevra-signin-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++TestCounter);
    SetEnvironmentVariableA("HOMEPATH", Home.c_str());
    Service->SetPictureCode("1234");
    OldDialogs = SetDialogHandler(TDialogHandler::Lambda([this](TDialogRequest& request) {
      Dialogs.push_back({request, GetActiveWindow()});
      return IDOK;
    }));
  }
  void TearDown() override {
    FreeForms();
    ClientFixture::TearDown();
    SetDialogHandler(OldDialogs);
    TFormreg::SetReadTimeout(0);
    httpthread::SetReadTimeout(0);
    FinalizeUnits();
  }

  void MakeForms() {
    New<TFormreg>(Application);
    ASSERT_NE(Formreg, nullptr);
    New<Tformrega>(Application);
    New<Tfrmbkpwd>(Application);
    ASSERT_NE(formrega, nullptr);
    ASSERT_NE(frmbkpwd, nullptr);
  }
  void FreeForms() {
    if (frmbkpwd) Free(frmbkpwd);
    if (formrega) Free(formrega);
    if (Formreg) Free(Formreg);
    RunMessagesUntilIdle();
  }
  void ShowSignIn() {
    Formreg->Show();
    SetForegroundWindow(Formreg->Handle());
    RunMessagesUntil([] { return GetForegroundWindow() == Formreg->Handle(); });
    RunMessagesUntilIdle();
  }
  // Focuses `edit` and waits until its window holds the keyboard focus.
  static bool FocusOn(TWinControl* edit) {
    edit->SetFocus();
    return RunMessagesUntil([edit] {
      const HWND focus = GetFocus();
      return focus == edit->Handle() || IsChild(edit->Handle(), focus);
    });
  }
  static AnsiString WindowText(TWinControl* control) {
    char text[512] = {};
    GetWindowTextA(control->Handle(), text, sizeof text);
    return text;
  }
  std::vector<TFakeRequest> RequestsTo(const std::string& endpoint) const {
    std::vector<TFakeRequest> found;
    for (const TFakeRequest& r : Service->Requests())
      if (r.Endpoint == endpoint) found.push_back(r);
    return found;
  }
  std::string SettingsFolderPath() const { return "c:\\" + Home + "\\qz"; }

  std::string Home;
  std::vector<Shown> Dialogs;
  TDialogHandler OldDialogs;
};

TEST_F(SignIn, StartShowsTheWindowFetchesACodeAndMakesTheSettingsFolder) {
  ASSERT_FALSE(DirectoryExists(SettingsFolderPath().c_str()));
  MakeForms();
  EXPECT_EQ(Formreg->Caption(), "Mevra登录/注册");
  EXPECT_FALSE(formrega->Visible());
  EXPECT_FALSE(frmbkpwd->Visible());
  EXPECT_FALSE(Formreg->Image2->Visible());
  const auto codes = RequestsTo("yz.php");
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].RequestLine, "GET /qzuser/yz.php HTTP/1.1");
  EXPECT_EQ(codes[0].Header("Accept"), "text/html, */*");
  EXPECT_EQ(codes[0].Header("User-Agent"), "Mozilla/3.0 (compatible; Mevra)");
  EXPECT_FALSE(Formreg->Image1->Picture()->Graphic() == nullptr) << "the picture code is shown";
  EXPECT_TRUE(DirectoryExists(SettingsFolderPath().c_str()));
  EXPECT_TRUE(Dialogs.empty());
}

TEST_F(SignIn, TypedSignInSendsTheHashAndRunsTheThreeLoads) {
  MakeForms();
  ShowSignIn();
  ASSERT_TRUE(FocusOn(Formreg->edem));
  SendText(L" demo@mevra.test ");
  ASSERT_TRUE(RunMessagesUntil([&] { return Formreg->edem->Text() == " demo@mevra.test "; }));
  ASSERT_TRUE(FocusOn(Formreg->edpw));
  EXPECT_EQ(Formreg->edem->Text(), "demo@mevra.test") << "trimmed when left";
  SendText(L"mevra");
  ASSERT_TRUE(RunMessagesUntil([&] { return Formreg->edpw->Text() == "mevra"; }));
  ASSERT_TRUE(FocusOn(Formreg->edyz));
  EXPECT_EQ(WindowText(Formreg->edpw), DemoHash);
  EXPECT_EQ(Formreg->edpw->Text(), DemoHash);
  SendText(L"1234");
  ASSERT_TRUE(RunMessagesUntil([&] { return Formreg->edyz->Text() == "1234"; }));
  Service->ClearRequests();
  SendKey(VK_RETURN);
  SendKey(VK_RETURN, true);
  ASSERT_TRUE(RunMessagesUntil([] { return Formreg == nullptr; }, 20000)) << "the sign-in window goes";
  EXPECT_EQ(formrega, nullptr) << "so does the registration window";
  EXPECT_TRUE(Dialogs.empty());
  const auto requests = Service->Requests();
  ASSERT_GE(requests.size(), 4u);
  EXPECT_EQ(requests[0].RequestLine, std::string("GET /qzuser/rl.php?un=demo%40mevra%2Etest&p=") + DemoHash +
                                         "&z=False&yz=1234 HTTP/1.1");
  EXPECT_NE(requests[0].Header("Cookie").find("QZYZ="), std::string::npos) << "the picture code's cookie";
  const std::string body = "uid=" + std::string(UserInfo.UserId) + "&dm=" + std::string(UserInfo.SessionToken) + "&";
  const char* loads[] = {"ils.php", "indx.php", "itls.php"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(requests[i + 1].Endpoint, loads[i]);
    EXPECT_EQ(requests[i + 1].Body, body) << loads[i];
  }
  EXPECT_EQ(UserInfo.Email, "demo@mevra.test");
  EXPECT_EQ(LoginStage, 3);
  // Not remembered: neither the hash nor the session token is stored.
  TXmlDocument stored;
  ASSERT_TRUE(stored.LoadXML(DecompressFileToString(SettingsFileName())));
  EXPECT_EQ(ReplyTextDef(stored, "con/em"), "demo@mevra.test");
  EXPECT_EQ(ReplyTextDef(stored, "con/pwd"), "");
  EXPECT_EQ(ReplyTextDef(stored, "con/dm"), "");
}

TEST_F(SignIn, ARememberedSignInStoresTheHashAndTheNextStartFillsTheBoxes) {
  MakeForms();
  Formreg->edem->SetText("demo@mevra.test");
  Formreg->edpw->SetText(DemoHash);
  Formreg->autochkbox->SetChecked(true);
  Formreg->edyz->SetText("1234");
  Formreg->btlogin();
  ASSERT_TRUE(RunMessagesUntil([] { return Formreg == nullptr; }, 20000));
  TXmlDocument stored;
  ASSERT_TRUE(stored.LoadXML(DecompressFileToString(SettingsFileName())));
  EXPECT_EQ(ReplyTextDef(stored, "con/pwd"), DemoHash);
  EXPECT_EQ(ReplyTextDef(stored, "con/dm"), std::string(UserInfo.SessionToken));
  FreeForms();

  UserInfo = Tuserinfo();
  MakeForms();
  EXPECT_EQ(Formreg->edem->Text(), "demo@mevra.test");
  EXPECT_EQ(Formreg->edid->Text(), std::string(Service->DemoUser().Uid));
  EXPECT_EQ(Formreg->edpw->Text(), DemoHash);
  EXPECT_TRUE(Formreg->autochkbox->Checked());
  EXPECT_EQ(UserInfo.RememberFlag, 1);
  // "登录" untouched resends the stored hash.
  Formreg->edyz->SetText("1234");
  Service->ClearRequests();
  Formreg->btlogin();
  const auto signIns = RequestsTo("rl.php");
  ASSERT_EQ(signIns.size(), 1u);
  EXPECT_EQ(signIns[0].Query().at("p"), DemoHash);
  EXPECT_EQ(signIns[0].Query().at("z"), "True");
}

TEST_F(SignIn, EnteringAndLeavingThePasswordBoxEmptyClearsTheStoredHash) {
  MakeForms();
  ShowSignIn();
  Formreg->edpw->SetText(DemoHash);
  ASSERT_TRUE(FocusOn(Formreg->edpw));
  EXPECT_EQ(Formreg->edpw->Text(), "") << "entering clears";
  ASSERT_TRUE(FocusOn(Formreg->edyz));
  EXPECT_EQ(Formreg->edpw->Text(), "");
  // Only spaces: no hash either.
  ASSERT_TRUE(FocusOn(Formreg->edpw));
  SendText(L"   ");
  ASSERT_TRUE(RunMessagesUntil([&] { return Formreg->edpw->Text() == "   "; }));
  ASSERT_TRUE(FocusOn(Formreg->edyz));
  EXPECT_EQ(Formreg->edpw->Text(), "");
}

// Settings files that hold no sign-in: an empty window, no message.
TEST_F(SignIn, UnreadableSettingsFilesGiveAnEmptyWindow) {
  struct Case {
    const char* Name;
    std::string Bytes;  // raw file content; "compress:" stores the rest compressed
  };
  const Case cases[] = {
      {"not a zlib stream", "this is no zlib stream"},
      {"other XML", "compress:<doc><x>1</x></doc>"},
      {"not XML", "compress:-1"},
      {"no remember flag", "compress:<con><uid>7</uid></con>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    InitSettingsFolder();
    PrepareSettingsFolder();
    if (c.Bytes.rfind("compress:", 0) == 0) {
      CompressStringToFile(AnsiString(c.Bytes.substr(9)), SettingsFileName());
    } else {
      std::ofstream(std::string(SettingsFileName()), std::ios::binary) << c.Bytes;
    }
    UserInfo = Tuserinfo();
    MakeForms();
    EXPECT_EQ(Formreg->edem->Text(), "");
    EXPECT_EQ(Formreg->edpw->Text(), "");
    EXPECT_FALSE(Formreg->autochkbox->Checked());
    EXPECT_EQ(UserInfo.Email, "");
    EXPECT_EQ(UserInfo.PasswordHash, "");
    EXPECT_TRUE(Dialogs.empty());
    FreeForms();
    Dialogs.clear();
  }
}

// Each refused sign-in: its box (OK only, over the sign-in window), the
// boxes it clears, where the focus goes, and a new picture code.
TEST_F(SignIn, RefusedSignInsTellWhyAndFetchANewCode) {
  struct Case {
    const char* Result;
    const char* Text;
    const char* Caption;
    bool EmailKept;
    bool PasswordKept;
  };
  const Case cases[] = {
      {"-1", "验证码错误,请重新输入", "验证码错误", true, true},
      {"0", "密码错误,请重新输入", "密码错误", true, false},
      {"-2", "没有此用户,请重新输入", "用户错误", false, false},
      {" 7 ", UnknownSignInText, "登录错误", true, true},
  };
  MakeForms();
  ShowSignIn();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Result);
    Formreg->edem->SetText("demo@mevra.test");
    Formreg->edid->SetText("42");
    Formreg->edpw->SetText(DemoHash);
    Formreg->edyz->SetText("1234");
    Service->Script("rl.php", {200, std::string("<con><result>") + c.Result + "</result></con>"});
    Service->ClearRequests();
    Dialogs.clear();
    Formreg->btlogin();
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Request.Text, c.Text);
    EXPECT_EQ(Dialogs[0].Request.Caption, c.Caption);
    EXPECT_EQ(Dialogs[0].Request.Flags & 0xF, static_cast<UINT>(MB_OK));
    EXPECT_EQ(Dialogs[0].Active, Formreg->Handle()) << "the sign-in window owns the box";
    EXPECT_TRUE(Formreg->panreg->Enabled());
    EXPECT_TRUE(Formreg->btcfm->Enabled());
    EXPECT_EQ(Formreg->edem->Text(), c.EmailKept ? "demo@mevra.test" : "");
    EXPECT_EQ(Formreg->edpw->Text(), c.PasswordKept ? DemoHash : "");
    if (std::string(c.Result) != " 7 ") {
      EXPECT_EQ(Formreg->edyz->Text(), "");
    }
    EXPECT_EQ(RequestsTo("yz.php").size(), 1u) << "a new picture code";
    EXPECT_FALSE(FileExists(SettingsFileName()));
  }
}

// Replies that are not sign-in replies, and a service that fails or hangs:
// one clear error box each, the window usable again, the settings file untouched.
TEST_F(SignIn, FailedSignInsShowOneErrorAndLeaveTheWindowUsable) {
  struct Case {
    const char* Name;
    TFakeService::ScriptedReply Reply;
    bool Hang;
  };
  const Case cases[] = {
      {"HTTP 500", {500, "<html>failure</html>", false, "text/html"}, false},
      {"cut short", {200, "<con><result>1</result><uid>", true}, false},
      {"not XML", {200, "this is not XML", false, "text/plain"}, false},
      {"ifreg not a number",
       {200, "<con><result>1</result><uid>7</uid><pwd>x</pwd><un>n</un><em>e</em><ifreg>x</ifreg><dm>d</dm>"
             "<clstr>0</clstr><z>False</z></con>"},
       false},
      {"no answer", {}, true},
  };
  TFormreg::SetReadTimeout(500);
  MakeForms();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Formreg->edem->SetText("demo@mevra.test");
    Formreg->edpw->SetText(DemoHash);
    Formreg->edyz->SetText("1234");
    if (c.Hang) {
      Service->SetHang(true, "rl.php");
    } else {
      Service->Script("rl.php", c.Reply);
    }
    Service->ClearRequests();
    Dialogs.clear();
    Formreg->btlogin();
    Service->SetHang(false);
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Request.Flags & MB_ICONSTOP, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_FALSE(Dialogs[0].Request.Text.empty());
    EXPECT_TRUE(Formreg->panreg->Enabled());
    EXPECT_FALSE(Formreg->Image2->Visible());
    EXPECT_EQ(RequestsTo("yz.php").size(), 1u) << "a new picture code";
    EXPECT_FALSE(FileExists(SettingsFileName()));
  }
}

TEST_F(SignIn, ALoadThatGivesUpLetsTheUserSignInAgain) {
  MakeForms();
  ShowSignIn();
  for (int i = 0; i < httpthread::MaxAttempts; ++i) Service->Script("indx.php", {500, "failure"});
  Formreg->edem->SetText("demo@mevra.test");
  Formreg->edpw->SetText(DemoHash);
  Formreg->edyz->SetText("1234");
  Formreg->btlogin();
  ASSERT_TRUE(RunMessagesUntil([&] { return !Dialogs.empty(); }, 20000));
  EXPECT_EQ(Dialogs[0].Request.Text, LoadFailedText);
  EXPECT_FALSE(Formreg->Image2->Visible());
  EXPECT_TRUE(Formreg->panreg->Enabled());
  EXPECT_TRUE(Formreg->btcfm->Enabled());
  EXPECT_EQ(LoginStage, 0);
  // A new sign-in starts over at the first load and completes.
  Service->ClearRequests();
  Formreg->edyz->SetText("1234");
  Formreg->btlogin();
  ASSERT_TRUE(RunMessagesUntil([] { return Formreg == nullptr; }, 20000));
  const auto requests = Service->Requests();
  ASSERT_GE(requests.size(), 4u);
  EXPECT_EQ(requests[1].Endpoint, "ils.php");
}

TEST_F(SignIn, TheBusyPictureAndTheSkinComeFromTheForm) {
  MakeForms();
  TGraphic* busy = Formreg->Image2->Picture()->Graphic();
  ASSERT_NE(busy, nullptr);
  EXPECT_STREQ(busy->ClassName(), "TGIFImage");
  TMemoryStream saved;
  busy->SaveToStream(saved);
  std::ifstream file(MEVRA_BUSY_GIF_FILE, std::ios::binary);
  std::stringstream expected;
  expected << file.rdbuf();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(saved.Memory()), static_cast<size_t>(saved.Size())),
            expected.str());
  std::ifstream skinFile(MEVRA_HOUSE_SKIN_FILE, std::ios::binary);
  std::stringstream skin;
  skin << skinFile.rdbuf();
  EXPECT_TRUE(Formreg->SkinData1->Package().DataString() == skin.str()) << "the form's skin is not the house skin";
}

TEST(SignInHelpers, ValidEmailAddresses) {
  struct Case {
    const char* Text;
    int Expected;
  };
  const Case cases[] = {
      {"a@b.c", 1},        {"a.b@c.d", -1},     {"a@b.", -1},       {"@.a", 1},
      {"demo@mevra.test", 1}, {"demo", -1},     {"demo@mevra", -1}, {"demo.mevra", -1},
      {"", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidEmail(c.Text), c.Expected) << c.Text;
}

TEST(SignInHelpers, PasswordHashes) {
  EXPECT_EQ(TFormreg::md5pw("mevra"), DemoHash);
  EXPECT_EQ(TFormreg::md5pw(""), "d41d8cd98f00b204e9800998ecf8427e");
}

// The recovery window's four answers, in the application's simple message
// dialog; the last one hides the window.
TEST_F(SignIn, RecoveryTellsWhatBecameOfTheRequest) {
  struct Case {
    const char* Body;
    const char* Message;
    bool Hidden;
  };
  const Case cases[] = {
      {"<con><ifs>0</ifs><op>rpwd</op><emailo>1</emailo></con>", "密码找回失败,请核对您的邮箱！", false},
      {"<con><ifs>1</ifs><op>add</op><emailo>1</emailo></con>", "密码找回失败,请核对您的邮箱和验证码！", false},
      {"<con><ifs>1</ifs><op>rpwd</op><emailo>0</emailo></con>", "密码找回失败,请核对您的邮箱和验证码！", false},
      {"<con><ifs>1</ifs><op>rpwd</op><emailo>1</emailo></con>", "密码已经发送您的邮箱了！", true},
  };
  Application->SetTitle("Mevra0.46");
  MakeForms();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Message);
    Formreg->cxButton2Click(nullptr);
    ASSERT_TRUE(frmbkpwd->Visible());
    frmbkpwd->edem->SetText(" demo@mevra.test ");
    frmbkpwd->edyz->SetText(" 1234 ");
    Service->Script("rpwd.php", {200, c.Body});
    Service->ClearRequests();
    Dialogs.clear();
    frmbkpwd->cxButton1Click(nullptr);
    RunMessagesUntilIdle();
    const auto sent = RequestsTo("rpwd.php");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].Method, "POST");
    EXPECT_EQ(sent[0].Body, "email=demo%40mevra%2Etest&yz=1234&");
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Request.Text, c.Message);
    EXPECT_EQ(Dialogs[0].Request.Caption, "Mevra0.46");
    EXPECT_EQ(frmbkpwd->Visible(), !c.Hidden);
    frmbkpwd->Button1Click(nullptr);
  }
}

// The registration window's checks, in their order.
TEST_F(SignIn, RegistrationChecksTheAddressThenThePasswords) {
  struct Case {
    const char* Email;
    const char* Password;
    const char* Repeat;
    const char* Text;  // "" when the checks pass
  };
  const Case cases[] = {
      {"a.b@c", "", "", "email错误,请重新输入"},
      {"a@b.c", "", "x", "注册，密码不能为空！"},
      {"a@b.c", "x", "", "注册，密码不能为空！"},
      {"a@b.c", "x", "y", "两次密码输入不一致！"},
      {"a@b.c", "x", "x", ""},
  };
  MakeForms();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    formrega->edem->SetText(c.Email);
    formrega->edpw->SetText(c.Password);
    formrega->edpw2->SetText(c.Repeat);
    Dialogs.clear();
    const bool passed = formrega->chkrg();
    EXPECT_EQ(passed, std::string(c.Text).empty());
    if (passed) continue;
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_EQ(Dialogs[0].Request.Text, c.Text);
    EXPECT_EQ(Dialogs[0].Request.Caption, "注册错误");
  }
}

// What a registration sends, for each sex text, and what each result does.
TEST_F(SignIn, RegistrationSendsTheFormAndActsOnTheResult) {
  struct Case {
    const char* Sex;
    const char* Result;  // scripted result, "" for the service's own answer
    const char* Text;    // the box shown, "" for none
  };
  const Case cases[] = {
      {"男", "-1", "验证码错误!"},
      {"女", "0", "此email已经有人注册!"},
      {"其他", "5", UnknownSignInText},
      {"男", "", ""},
  };
  MakeForms();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Sex);
    ASSERT_NE(formrega, nullptr);
    Formreg->Button1Click(nullptr);
    ASSERT_TRUE(formrega->Visible());
    formrega->enm->SetText(" 新人 ");
    formrega->edem->SetText(" new@mevra.test ");
    formrega->edpw->SetText(DemoHash);
    formrega->edpw2->SetText(DemoHash);
    formrega->cxComboBox1->SetText(c.Sex);
    formrega->cxDateEdit1->SetText("1990-5-6");
    formrega->edyz->SetText("1234");
    if (*c.Result) Service->Script("norrg.php", {200, std::string("<con><result>") + c.Result + "</result></con>"});
    Service->ClearRequests();
    Dialogs.clear();
    formrega->cxButton1Click(nullptr);
    const auto sent = RequestsTo("norrg.php");
    ASSERT_EQ(sent.size(), 1u);
    const std::string s = std::string(c.Sex) == "男" ? "1" : "2";
    EXPECT_EQ(sent[0].Body, "email=new%40mevra%2Etest&pwd=" + std::string(DemoHash) +
                                "&yz=1234&un=%D0%C2%C8%CB&s=" + s + "&b=1990%2D5%2D6&z=False&");
    if (*c.Text) {
      ASSERT_EQ(Dialogs.size(), 1u);
      EXPECT_EQ(Dialogs[0].Request.Text, c.Text);
      EXPECT_FALSE(formrega->Visible());
      continue;
    }
    // Registered: stored, and the sign-in sequence runs to its end.
    EXPECT_TRUE(Dialogs.empty());
    ASSERT_TRUE(RunMessagesUntil([] { return Formreg == nullptr; }, 20000));
    EXPECT_EQ(formrega, nullptr);
    EXPECT_EQ(UserInfo.Email, "new@mevra.test");
    EXPECT_EQ(UserInfo.NickName, "新人");
    EXPECT_TRUE(FileExists(SettingsFileName()));
  }
}

TEST_F(SignIn, ABlankNickNameIsAskedFor) {
  MakeForms();
  formrega->enm->SetText("   ");
  formrega->edem->SetText("a@b.c");
  formrega->edpw->SetText("x");
  formrega->edpw2->SetText("x");
  Service->ClearRequests();
  formrega->cxButton1Click(nullptr);
  ASSERT_EQ(Dialogs.size(), 1u);
  EXPECT_EQ(Dialogs[0].Request.Text, "网名没有填写");
  EXPECT_EQ(Dialogs[0].Request.Caption, "请填写网名");
  EXPECT_TRUE(RequestsTo("norrg.php").empty());
}

TEST_F(SignIn, ANewPictureCodeShowsInEveryWindow) {
  MakeForms();
  Formreg->Button1Click(nullptr);
  Formreg->cxButton2Click(nullptr);
  frmbkpwd->btjpgClick(nullptr);
  auto bytes = [](TImage* image) {
    TMemoryStream s;
    if (TGraphic* g = image->Picture()->Graphic()) g->SaveToStream(s);
    return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
  };
  const std::string shown = bytes(frmbkpwd->Image1);
  EXPECT_FALSE(shown.empty());
  EXPECT_EQ(bytes(Formreg->Image1), shown);
  EXPECT_EQ(bytes(formrega->Image1), shown);
  EXPECT_EQ(RequestsTo("yz.php").size(), 2u);
  formrega->Button1Click(nullptr);
  frmbkpwd->Button1Click(nullptr);
}

TEST_F(SignIn, Screenshots) {
  MakeForms();
  ShowSignIn();
  SaveScreenshot(Formreg->Handle(), "signin-empty");
  Formreg->edem->SetText("demo@mevra.test");
  Formreg->edpw->SetText(DemoHash);
  Formreg->autochkbox->SetChecked(true);
  RunMessagesUntilIdle();
  SaveScreenshot(Formreg->Handle(), "signin-filled");
  Formreg->Image2->SetVisible(true);
  RunMessagesUntilIdle();
  SaveScreenshot(Formreg->Handle(), "signin-busy");
  Formreg->Image2->SetVisible(false);
  Formreg->Button1Click(nullptr);
  RunMessagesUntilIdle();
  SaveScreenshot(formrega->Handle(), "registration");
  formrega->Button1Click(nullptr);
  Formreg->cxButton2Click(nullptr);
  RunMessagesUntilIdle();
  SaveScreenshot(frmbkpwd->Handle(), "recovery");
  frmbkpwd->Button1Click(nullptr);
}

}  // namespace
