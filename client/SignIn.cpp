#include "client/SignIn.h"

#include "client/DropBox.h"
#include "client/HttpThread.h"
#include "client/Protocol.h"
#include "client/Settings.h"
#include "platform/Dialogs.h"
#include "platform/Md5.h"
#include "platform/Messages.h"
#include "platform/Properties.h"
#include "platform/SysUtils.h"

#include <atomic>
#include <initializer_list>

TFormreg* Formreg = nullptr;
Tformrega* formrega = nullptr;
Tfrmbkpwd* frmbkpwd = nullptr;

const char* const UnknownSignInText = "服务的回复无法识别,请重新登录";
const char* const LoadFailedText = "载入分类失败,请重新登录";

const TClassInfo TFormreg::ClassInfo{"TFormreg", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                       return new TFormreg(static_cast<TComponent*>(owner));
                                     }};
const TClassInfo Tformrega::ClassInfo{"Tformrega", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new Tformrega(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo Tfrmbkpwd::ClassInfo{"Tfrmbkpwd", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new Tfrmbkpwd(static_cast<TComponent*>(owner));
                                      }};

namespace {

const TPublishedRegistration signInRegistration(&TFormreg::ClassInfo, {
    Method<&TFormreg::FormCreate>("FormCreate"),
    Method<&TFormreg::FormClose>("FormClose"),
    Method<&TFormreg::FormDestroy>("FormDestroy"),
    Method<&TFormreg::btjpgClick>("btjpgClick"),
    Method<&TFormreg::Image1Click>("Image1Click"),
    Method<&TFormreg::btcfmClick>("btcfmClick"),
    Method<&TFormreg::edemExit>("edemExit"),
    Method<&TFormreg::edpwEnter>("edpwEnter"),
    Method<&TFormreg::edpwExit>("edpwExit"),
    Method<&TFormreg::edyzKeyPress>("edyzKeyPress"),
    Method<&TFormreg::Button1Click>("Button1Click"),
    Method<&TFormreg::cxButton2Click>("cxButton2Click"),
    Field<&TFormreg::panreg>("panreg"),
    Field<&TFormreg::edem>("edem"),
    Field<&TFormreg::edpw>("edpw"),
    Field<&TFormreg::autochkbox>("autochkbox"),
    Field<&TFormreg::edyz>("edyz"),
    Field<&TFormreg::Image1>("Image1"),
    Field<&TFormreg::btjpg>("btjpg"),
    Field<&TFormreg::btcfm>("btcfm"),
    Field<&TFormreg::Button1>("Button1"),
    Field<&TFormreg::cxButton2>("cxButton2"),
    Field<&TFormreg::Image2>("Image2"),
    Field<&TFormreg::cxMemo1>("cxMemo1"),
    Field<&TFormreg::CheckBox3>("CheckBox3"),
    Field<&TFormreg::edid>("edid"),
    Field<&TFormreg::SkinData1>("SkinData1"),
});

const TPublishedRegistration registrationRegistration(&Tformrega::ClassInfo, {
    Method<&Tformrega::cxButton1Click>("cxButton1Click"),
    Method<&Tformrega::Button1Click>("Button1Click"),
    Method<&Tformrega::FormShow>("FormShow"),
    Method<&Tformrega::Image1Click>("Image1Click"),
    Method<&Tformrega::btjpgClick>("btjpgClick"),
    Method<&Tformrega::edpwEnter>("edpwEnter"),
    Method<&Tformrega::edpwExit>("edpwExit"),
    Method<&Tformrega::edpw2Enter>("edpw2Enter"),
    Method<&Tformrega::edpw2Exit>("edpw2Exit"),
    Field<&Tformrega::enm>("enm"),
    Field<&Tformrega::edem>("edem"),
    Field<&Tformrega::edpw>("edpw"),
    Field<&Tformrega::edpw2>("edpw2"),
    Field<&Tformrega::cxComboBox1>("cxComboBox1"),
    Field<&Tformrega::cxDateEdit1>("cxDateEdit1"),
    Field<&Tformrega::Image1>("Image1"),
    Field<&Tformrega::btjpg>("btjpg"),
    Field<&Tformrega::edyz>("edyz"),
    Field<&Tformrega::autochkbox>("autochkbox"),
    Field<&Tformrega::cxButton1>("cxButton1"),
    Field<&Tformrega::Button1>("Button1"),
});

const TPublishedRegistration recoveryRegistration(&Tfrmbkpwd::ClassInfo, {
    Method<&Tfrmbkpwd::cxButton1Click>("cxButton1Click"),
    Method<&Tfrmbkpwd::Button1Click>("Button1Click"),
    Method<&Tfrmbkpwd::FormShow>("FormShow"),
    Method<&Tfrmbkpwd::FormClose>("FormClose"),
    Method<&Tfrmbkpwd::Image1Click>("Image1Click"),
    Method<&Tfrmbkpwd::btjpgClick>("btjpgClick"),
    Field<&Tfrmbkpwd::edem>("edem"),
    Field<&Tfrmbkpwd::Image1>("Image1"),
    Field<&Tfrmbkpwd::btjpg>("btjpg"),
    Field<&Tfrmbkpwd::edyz>("edyz"),
    Field<&Tfrmbkpwd::cxButton1>("cxButton1"),
    Field<&Tfrmbkpwd::Button1>("Button1"),
});

std::atomic<uint32_t> ReadTimeoutOverride{0};

// Posted by a deactivated registration or recovery window to itself.
constexpr UINT WM_TAKEFOCUSBACK = WM_USER + 20;

// Brings a shown helper window back to the front and gives it the focus.
void FocusBack(TForm* form, TMessage& Message) {
  if (Message.Msg != WM_TAKEFOCUSBACK) return;
  if (form->Visible() && form->OnDeactivate) {
    SetForegroundWindow(form->Handle());
    SetActiveWindow(form->Handle());
  }
}

// A message box of the client's windows: OK only.
void Say(const AnsiString& text, const AnsiString& caption) { Application->MessageBox(text, caption, MB_OK); }

// The error box of a failed request.
void ShowError(const std::exception& e) {
  if (const auto* ours = dynamic_cast<const Exception*>(&e)) {
    Application->ShowException(*ours);
  } else {
    Application->ShowException(Exception(e.what()));
  }
}

// A reply of the sign-in connection: bytes in the system code page.
void LoadReply(TXmlDocument& doc, const AnsiString& body) { doc.LoadXML(body); }

// The window's password box behaviour: entering clears it; leaving it
// blank clears it, otherwise its text becomes the text's hash.
void PasswordEnter(TcxCustomTextEdit* box) { box->SetText(AnsiString()); }
void PasswordExit(TcxCustomTextEdit* box) {
  const AnsiString text = box->Text();
  box->SetText(Trim(text).empty() ? AnsiString() : TFormreg::md5pw(text));
}

// Focuses `control` when it can take the focus (its window may be hidden).
void Focus(TWinControl* control) {
  if (control && control->CanFocus()) control->SetFocus();
}

// The editors keep the focus in an inner window, and the form tells a box
// it was left as soon as the focus moves on into that inner window. The
// password and e-mail boxes therefore follow the focus themselves: when it
// moves from one box (or its inner window) to anything outside it, `leave`
// runs for the box left, `enter` for the box entered.
template <class L, class E>
void FollowFocus(TWinControl*& current, TControl* focused, std::initializer_list<TWinControl*> boxes, L leave,
                 E enter) {
  TWinControl* now = nullptr;
  for (TWinControl* box : boxes)
    if (box && focused && (focused == box || box->ContainsControl(focused))) now = box;
  if (now == current) return;
  TWinControl* left = current;
  current = now;
  if (left) leave(left);
  if (now) enter(now);
}

// Shows the sign-in window's picture code in `image`.
void CopyPictureCode(TImage* image) {
  if (Formreg && Formreg->jpg && !Formreg->jpg->GetEmpty()) image->Picture()->Assign(Formreg->jpg.get());
}

// A new picture code shown in `image` and in the sign-in window.
void RefreshPictureCode(TImage* image) {
  if (!Formreg) return;
  Formreg->getyz(image);
  if (image != Formreg->Image1) CopyPictureCode(Formreg->Image1);
  if (formrega && image != formrega->Image1 && formrega->Visible()) CopyPictureCode(formrega->Image1);
  if (frmbkpwd && image != frmbkpwd->Image1 && frmbkpwd->Visible()) CopyPictureCode(frmbkpwd->Image1);
}

// Gives the focus back to `form` while it is shown.
void TakeFocusBack(TForm* form) {
  // Asked for once the deactivation has been handled: activating a window
  // from inside its own deactivation would fight the activation under way.
  if (form->Visible() && form->HandleAllocated()) PostMessageA(form->Handle(), WM_TAKEFOCUSBACK, 0, 0);
}

}  // namespace

// ---- the sign-in window ----

TFormreg::TFormreg(TComponent* AOwner) : TForm(AOwner) { Formreg = this; }

TFormreg::~TFormreg() {
  if (Formreg == this) Formreg = nullptr;
}

void TFormreg::SetReadTimeout(uint32_t ms) { ReadTimeoutOverride = ms; }

template <class F> void TFormreg::Guarded(F action) {
  try {
    action();
  } catch (const std::exception& e) {
    ShowError(e);
  }
}

void TFormreg::FormCreate(TObject*) {
  RequestParams.Clear();
  LoginStage = 0;
  jpg = std::make_unique<TJPEGImage>();
  IdHTTP1 = std::make_unique<THttpClient>();
  ConfigureSignInConnection(*IdHTTP1);
  if (const uint32_t ms = ReadTimeoutOverride) IdHTTP1->ReadTimeout = ms;
  ApplicationEvents1 = New<TApplicationEvents>(this);
  ApplicationEvents1->OnDeactivate = TNotifyEvent::Bind<&TFormreg::ApplicationEvents1Deactivate>(this);
  getyz(Image1);
  InitSettingsFolder();
  initrl();
  ReplyDoc = NewDocument();
  // Both a missing folder and a missing file: the first start.
  try {
    PrepareSettingsFolder();
  } catch (const std::exception&) {
    // A folder that cannot be made shows when the reply is stored.
  }
  ActiveRequest = nullptr;
}

void TFormreg::FormClose(TObject*, TCloseAction&) {
  // Closing the sign-in window before the sign-in ends the program.
  if (TCustomForm* box = Application->MainForm(); box && box != this) box->Close();
}

void TFormreg::FormDestroy(TObject*) {
  if (IdHTTP1) IdHTTP1->Disconnect();
  IdHTTP1.reset();
  jpg.reset();
}

void TFormreg::getyz(TImage* image) {
  if (!IdHTTP1 || !jpg || !image) return;
  try {
    TMemoryStream stream;
    IdHTTP1->Disconnect();
    IdHTTP1->Get(PictureCodeUrl(), stream);
    stream.SetPosition(0);
    auto fresh = std::make_unique<TJPEGImage>();
    fresh->LoadFromStream(stream);
    jpg = std::move(fresh);
    image->Picture()->Assign(jpg.get());
    IdHTTP1->Disconnect();
  } catch (const std::exception&) {
    // No picture code: the old one (or none) stays.
    if (IdHTTP1) IdHTTP1->Disconnect();
  }
}

void TFormreg::initrl() {
  const AnsiString path = SettingsFileName();
  if (!FileExists(path)) return;
  try {
    const AnsiString text = DecompressFileToString(path);
    TXmlDocument doc;
    doc.LoadXML(text);
    const TXmlNode con = doc.SelectSingleNode("con");
    if (!con) throw EXmlError("The settings file holds no sign-in");
    const AnsiString uid = ReplyText(doc, "con/uid");
    const AnsiString em = ReplyText(doc, "con/em");
    const AnsiString z = ReplyText(doc, "con/z");
    UserInfo.UserId = uid;
    edid->SetText(uid);
    UserInfo.Email = em;
    edem->SetText(em);
    if (z == "True") {
      UserInfo.RememberFlag = 1;
      UserInfo.PasswordHash = ReplyText(doc, "con/pwd");
      edpw->SetText(UserInfo.PasswordHash);
      autochkbox->SetChecked(true);
    } else {
      UserInfo.RememberFlag = 0;
    }
  } catch (const std::exception&) {
    UserInfo.Email.clear();
    UserInfo.PasswordHash.clear();
    UserInfo.RememberFlag = 0;
  }
}

AnsiString TFormreg::md5pw(const AnsiString& text) { return MD5String(text); }

void TFormreg::btlogin() {
  panreg->SetEnabled(false);
  AnsiString result;
  TXmlDocument reply;
  try {
    const AnsiString url = SignInUrl(edem->Text(), edpw->Text(), autochkbox->Checked(), edyz->Text());
    IdHTTP1->Disconnect();
    const AnsiString body = IdHTTP1->Get(url);
    IdHTTP1->Disconnect();
    LoadReply(reply, body);
    result = Trim(ReplyText(reply, "con/result"));
  } catch (const std::exception& e) {
    IdHTTP1->Disconnect();
    ShowError(e);
    AfterFailedSignIn();
    return;
  }
  if (result == "-1") {
    Say("验证码错误,请重新输入", "验证码错误");
    panreg->SetEnabled(true);
    edyz->SetText(AnsiString());
    Focus(edyz);
    btjpgClick(btjpg);
  } else if (result == "0") {
    Say("密码错误,请重新输入", "密码错误");
    panreg->SetEnabled(true);
    edpw->SetText(AnsiString());
    edyz->SetText(AnsiString());
    Focus(edpw);
    btjpgClick(btjpg);
  } else if (result == "-2") {
    Say("没有此用户,请重新输入", "用户错误");
    panreg->SetEnabled(true);
    edem->SetText(AnsiString());
    edid->SetText(AnsiString());
    edpw->SetText(AnsiString());
    edyz->SetText(AnsiString());
    Focus(edem);
    btjpgClick(btjpg);
  } else if (result == "1") {
    try {
      AcceptSignIn(reply);
    } catch (const std::exception& e) {
      ShowError(e);
      AfterFailedSignIn();
    }
  } else {
    // A result the client does not know: say so, and let the user try again.
    Say(UnknownSignInText, "登录错误");
    AfterFailedSignIn();
  }
}

void TFormreg::AfterFailedSignIn() {
  panreg->SetEnabled(true);
  btcfm->SetEnabled(true);
  btjpgClick(btjpg);
}

void TFormreg::AcceptSignIn(const TXmlDocument& reply) {
  // Everything is read before anything is stored: a reply that is not a
  // sign-in leaves the user and the settings file as they were.
  Tuserinfo user = UserInfo;
  user.UserId = Trim(ReplyText(reply, "con/uid"));
  user.PasswordHash = Trim(ReplyText(reply, "con/pwd"));
  user.NickName = Trim(ReplyText(reply, "con/un"));
  user.Email = Trim(ReplyText(reply, "con/em"));
  user.RegFlag = StrToInt(Trim(ReplyText(reply, "con/ifreg")));
  user.SessionToken = Trim(ReplyText(reply, "con/dm"));
  user.ClassString = Trim(ReplyText(reply, "con/clstr"));
  UserInfo = user;
  SaveSignInReply(reply, SettingsFileName());
  LoginStage = 0;
  regok();
}

void TFormreg::regok() {
  Image2->SetVisible(true);
  switch (LoginStage) {
    case 0:
      CreateDocuments();
      btcfm->SetEnabled(false);
      LoginStage = 1;
      StartRequest(PrepareKnowledgeCategories(), Handle(), KnowledgeDoc, false, true);
      break;
    case 1:
      LoginStage = 2;
      StartRequest(PrepareIndex(), Handle(), IndexDoc, false, true);
      break;
    case 2:
      LoginStage = 3;
      StartRequest(PrepareDailyCategories(), Handle(), DailyDoc, false, true);
      break;
    default: {
      // The sign-in is done: both windows go once this handler has
      // returned, without running their close handlers (closing this one
      // would end the program).
      if (formrega) {
        formrega->OnDeactivate = TNotifyEvent();
        formrega->Release();
        formrega = nullptr;
      }
      OnClose = TCloseEvent();
      Release();
      if (TCustomForm* box = Application->MainForm(); box && box != this) box->Show();
      break;
    }
  }
}

void TFormreg::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_FOCUSCHANGED:
      TForm::Dispatch(Message);
      FollowFocus(FFocusedBox, reinterpret_cast<TControl*>(Message.LParam), {edem, edpw},
                  [this](TWinControl* box) { box == edem ? edemExit(box) : edpwExit(box); },
                  [this](TWinControl* box) {
                    if (box == edpw) edpwEnter(box);
                  });
      return;
    case WM_REPLYREADY:
      ptdok(Message);
      return;
    case WM_REQUESTFAILED:
      LoadFailed(Message);
      return;
    default:
      TForm::Dispatch(Message);
  }
}

void TFormreg::ptdok(TMessage&) {
  try {
    regok();
  } catch (const std::exception& e) {
    ShowError(e);
  }
}

void TFormreg::LoadFailed(TMessage&) {
  Image2->SetVisible(false);
  LoginStage = 0;
  panreg->SetEnabled(true);
  btcfm->SetEnabled(true);
  Say(LoadFailedText, "登录错误");
}

void TFormreg::btjpgClick(TObject*) { RefreshPictureCode(Image1); }
void TFormreg::Image1Click(TObject*) { RefreshPictureCode(Image1); }
void TFormreg::btcfmClick(TObject*) { Guarded([this] { btlogin(); }); }

void TFormreg::edemExit(TObject*) {
  const AnsiString text = edem->Text();
  if (!text.empty()) edem->SetText(Trim(text));
}

void TFormreg::edpwEnter(TObject*) { PasswordEnter(edpw); }
void TFormreg::edpwExit(TObject*) { PasswordExit(edpw); }

void TFormreg::edyzKeyPress(TObject*, char& Key) {
  if (Key != 13) return;
  Key = 0;
  Guarded([this] { btlogin(); });
}

void TFormreg::Button1Click(TObject*) {
  if (!formrega) return;
  formrega->Show();
  Focus(formrega->enm);
}

void TFormreg::cxButton2Click(TObject*) {
  if (frmbkpwd) frmbkpwd->Show();
}

void TFormreg::ApplicationEvents1Deactivate(TObject*) {
  SetWindowPos(Application->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- the registration window ----

Tformrega::Tformrega(TComponent* AOwner) : TForm(AOwner) { formrega = this; }

Tformrega::~Tformrega() {
  if (formrega == this) formrega = nullptr;
}

bool Tformrega::chkrg() {
  if (IsValidEmail(edem->Text()) == -1) {
    Say("email错误,请重新输入", "注册错误");
    edem->SetText(AnsiString());
    Focus(edem);
    return false;
  }
  if (edpw->Text().empty() || edpw2->Text().empty()) {
    Say("注册，密码不能为空！", "注册错误");
    edpw->SetText(AnsiString());
    edpw2->SetText(AnsiString());
    Focus(edpw);
    return false;
  }
  if (edpw->Text() != edpw2->Text()) {
    Say("两次密码输入不一致！", "注册错误");
    edpw->SetText(AnsiString());
    edpw2->SetText(AnsiString());
    Focus(edpw);
    return false;
  }
  return true;
}

void Tformrega::cxButton1Click(TObject*) {
  if (!chkrg()) return;
  if (Trim(enm->Text()).empty()) {
    Say("网名没有填写", "请填写网名");
    Focus(enm);
    return;
  }
  if (!Formreg) return;
  AnsiString result;
  TXmlDocument reply;
  try {
    const AnsiString url = PrepareRegistration(edem->Text(), edpw->Text(), edyz->Text(), enm->Text(),
                                               cxComboBox1->Text(), cxDateEdit1->Text(), autochkbox->Checked());
    const AnsiString body = Formreg->IdHTTP1->Post(url, RequestParams);
    Formreg->IdHTTP1->Disconnect();
    LoadReply(reply, body);
    result = Trim(ReplyText(reply, "con/result"));
  } catch (const std::exception& e) {
    Formreg->IdHTTP1->Disconnect();
    ShowError(e);
    return;
  }
  if (result == "-1") {
    Say("验证码错误!", "退出");
    Button1Click(this);
  } else if (result == "0") {
    Say("此email已经有人注册!", "退出");
    Button1Click(this);
  } else if (result == "1") {
    Button1Click(this);
    try {
      Formreg->AcceptSignIn(reply);
    } catch (const std::exception& e) {
      ShowError(e);
    }
  } else {
    Say(UnknownSignInText, "注册错误");
    Button1Click(this);
  }
}

void Tformrega::Button1Click(TObject*) {
  OnDeactivate = TNotifyEvent();
  Hide();
}

void Tformrega::FormShow(TObject*) {
  CopyPictureCode(Image1);
  OnDeactivate = TNotifyEvent::Bind<&Tformrega::FormDeactivate>(this);
}

void Tformrega::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_TAKEFOCUSBACK) return FocusBack(this, Message);
  TForm::Dispatch(Message);
  if (Message.Msg == CM_FOCUSCHANGED) {
    FollowFocus(FFocusedBox, reinterpret_cast<TControl*>(Message.LParam), {edpw, edpw2},
                [this](TWinControl* box) { box == edpw ? edpwExit(box) : edpw2Exit(box); },
                [this](TWinControl* box) { box == edpw ? edpwEnter(box) : edpw2Enter(box); });
  }
}

void Tformrega::FormDeactivate(TObject*) { TakeFocusBack(this); }
void Tformrega::Image1Click(TObject*) { RefreshPictureCode(Image1); }
void Tformrega::btjpgClick(TObject*) { RefreshPictureCode(Image1); }
void Tformrega::edpwEnter(TObject*) { PasswordEnter(edpw); }
void Tformrega::edpwExit(TObject*) { PasswordExit(edpw); }
void Tformrega::edpw2Enter(TObject*) { PasswordEnter(edpw2); }
void Tformrega::edpw2Exit(TObject*) { PasswordExit(edpw2); }

// ---- the recovery window ----

Tfrmbkpwd::Tfrmbkpwd(TComponent* AOwner) : TForm(AOwner) { frmbkpwd = this; }

Tfrmbkpwd::~Tfrmbkpwd() {
  if (frmbkpwd == this) frmbkpwd = nullptr;
}

void Tfrmbkpwd::cxButton1Click(TObject*) {
  if (!Formreg) return;
  try {
    const AnsiString url = PrepareRecovery(edem->Text(), edyz->Text());
    Formreg->IdHTTP1->Disconnect();
    const AnsiString body = Formreg->IdHTTP1->Post(url, RequestParams);
    Formreg->IdHTTP1->Disconnect();
    ReplyDoc = NewDocument();
    LoadReply(*ReplyDoc, body);
  } catch (const std::exception& e) {
    if (Formreg && Formreg->IdHTTP1) Formreg->IdHTTP1->Disconnect();
    ShowError(e);
    return;
  }
  const TXmlDocument& doc = *ReplyDoc;
  if (ReplyTextDef(doc, "con/ifs") != "1") {
    ShowMessage("密码找回失败,请核对您的邮箱！");
  } else if (ReplyTextDef(doc, "con/op") != "rpwd" || ReplyTextDef(doc, "con/emailo") != "1") {
    ShowMessage("密码找回失败,请核对您的邮箱和验证码！");
  } else {
    ShowMessage("密码已经发送您的邮箱了！");
    Close();
  }
}

void Tfrmbkpwd::Button1Click(TObject*) {
  OnDeactivate = TNotifyEvent();
  Hide();
}

void Tfrmbkpwd::FormShow(TObject*) {
  CopyPictureCode(Image1);
  OnDeactivate = TNotifyEvent::Bind<&Tfrmbkpwd::FormDeactivate>(this);
}

void Tfrmbkpwd::FormClose(TObject*, TCloseAction& Action) {
  OnDeactivate = TNotifyEvent();
  Action = TCloseAction::caHide;
}

void Tfrmbkpwd::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_TAKEFOCUSBACK) return FocusBack(this, Message);
  TForm::Dispatch(Message);
}

void Tfrmbkpwd::FormDeactivate(TObject*) { TakeFocusBack(this); }
void Tfrmbkpwd::Image1Click(TObject*) { RefreshPictureCode(Image1); }
void Tfrmbkpwd::btjpgClick(TObject*) { RefreshPictureCode(Image1); }

// ---- shared ----

int IsValidEmail(const AnsiString& text) {
  const size_t at = text.find('@');
  const size_t dot = text.find('.');
  if (at == AnsiString::npos || dot == AnsiString::npos) return -1;
  if (dot < at) return -1;
  if (dot + 1 == text.size()) return -1;
  return 1;
}
