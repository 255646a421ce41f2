// The sign-in window, the first window the user sees, and its two helpers,
// the registration and password-recovery windows. The sign-in window fetches
// the picture code, signs the user in on its own HTTP connection (which the
// other two borrow), keeps the reply in the settings file and then drives the
// three category loads that must finish before the floating box is shown.
#pragma once

#include "editors/framework/Button.h"
#include "editors/framework/CheckBox.h"
#include "editors/framework/Memo.h"
#include "editors/framework/TextEdit.h"
#include "editors/masked/MaskEdit.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/HttpClient.h"
#include "platform/Jpeg.h"
#include "platform/StdCtrls.h"
#include "platform/XmlDocument.h"
#include "skin/SkinData.h"

#include <memory>

class TFormreg : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TFormreg(TComponent* AOwner);
  ~TFormreg() override;

  TPanel* panreg = nullptr;
  TcxTextEdit* edem = nullptr;
  TcxMaskEdit* edpw = nullptr;
  TCheckBox* autochkbox = nullptr;
  TcxTextEdit* edyz = nullptr;
  TImage* Image1 = nullptr;
  TcxButton* btjpg = nullptr;
  TButton* btcfm = nullptr;
  TButton* Button1 = nullptr;
  TcxButton* cxButton2 = nullptr;
  TImage* Image2 = nullptr;
  TcxMemo* cxMemo1 = nullptr;
  TCheckBox* CheckBox3 = nullptr;
  TcxTextEdit* edid = nullptr;
  TSkinData* SkinData1 = nullptr;
  // Made with the window (not stored in the form).
  TApplicationEvents* ApplicationEvents1 = nullptr;
  // The sign-in connection; the registration and recovery windows use it too.
  std::unique_ptr<THttpClient> IdHTTP1;
  // The current picture code, shown by all three windows.
  std::unique_ptr<TJPEGImage> jpg;

  // Fetches a new picture code and shows it in `image`; a failure leaves
  // the picture as it was, silently.
  void getyz(TImage* image);
  // Fills the boxes from the settings file; a missing or unreadable one
  // leaves them empty, silently.
  void initrl();
  // Lowercase hexadecimal MD5 of the bytes of `text`.
  static AnsiString md5pw(const AnsiString& text);
  // Signs in with the boxes' contents.
  void btlogin();
  // Advances the loads after a sign-in (or registration) by one stage.
  void regok();
  // A reply of the sign-in connection (a sign-in or registration), loaded
  // and stored: fills UserInfo, writes the settings file and starts the
  // loads. Raises, before anything is stored, when the reply is not one.
  void AcceptSignIn(const TXmlDocument& reply);

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void btjpgClick(TObject* Sender);
  void Image1Click(TObject* Sender);
  void btcfmClick(TObject* Sender);
  void edemExit(TObject* Sender);
  void edpwEnter(TObject* Sender);
  void edpwExit(TObject* Sender);
  void edyzKeyPress(TObject* Sender, char& Key);
  void Button1Click(TObject* Sender);
  void cxButton2Click(TObject* Sender);
  void ApplicationEvents1Deactivate(TObject* Sender);

  // Read time-out of the sign-in connection for windows made from now on
  // (0: the protocol's 20000 ms); tests shorten it.
  static void SetReadTimeout(uint32_t ms);

protected:
  void Dispatch(TMessage& Message) override;
  // 0x402: a load's reply is in its document.
  void ptdok(TMessage& Message);
  // A load gave up: back to waiting for a sign-in.
  void LoadFailed(TMessage& Message);

private:
  TWinControl* FFocusedBox = nullptr;
  // Runs `action`; an error it raises is shown in the error box.
  template <class F> void Guarded(F action);
  void AfterFailedSignIn();
};

class Tformrega : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit Tformrega(TComponent* AOwner);
  ~Tformrega() override;

  TcxTextEdit* enm = nullptr;
  TcxTextEdit* edem = nullptr;
  TcxMaskEdit* edpw = nullptr;
  TcxMaskEdit* edpw2 = nullptr;
  // The sex box: the combo box lands with the drop-down editors; until then
  // a text edit holding "男" stands in its place.
  TcxTextEdit* cxComboBox1 = nullptr;
  // BIRTHDAY GAP: the date edit (cxDateEdit1, no time, a date set in the
  // form) lands with the drop-down editors; until then the birthday is sent
  // as the text of this stand-in box in the system's short date format.
  TcxTextEdit* cxDateEdit1 = nullptr;
  TImage* Image1 = nullptr;
  TcxButton* btjpg = nullptr;
  TcxTextEdit* edyz = nullptr;
  TCheckBox* autochkbox = nullptr;
  TcxButton* cxButton1 = nullptr;
  TButton* Button1 = nullptr;

  // Checks the e-mail address and the two passwords; false after telling
  // the user what is wrong.
  bool chkrg();

  void cxButton1Click(TObject* Sender);
  void Button1Click(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormDeactivate(TObject* Sender);
  void Image1Click(TObject* Sender);
  void btjpgClick(TObject* Sender);
  void edpwEnter(TObject* Sender);
  void edpwExit(TObject* Sender);
  void edpw2Enter(TObject* Sender);
  void edpw2Exit(TObject* Sender);

protected:
  void Dispatch(TMessage& Message) override;

private:
  TWinControl* FFocusedBox = nullptr;
};

class Tfrmbkpwd : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit Tfrmbkpwd(TComponent* AOwner);
  ~Tfrmbkpwd() override;

  TcxTextEdit* edem = nullptr;
  TImage* Image1 = nullptr;
  TcxButton* btjpg = nullptr;
  TcxTextEdit* edyz = nullptr;
  TcxButton* cxButton1 = nullptr;
  TButton* Button1 = nullptr;

  void cxButton1Click(TObject* Sender);
  void Button1Click(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDeactivate(TObject* Sender);
  void Image1Click(TObject* Sender);
  void btjpgClick(TObject* Sender);

protected:
  void Dispatch(TMessage& Message) override;
};

extern TFormreg* Formreg;
extern Tformrega* formrega;
extern Tfrmbkpwd* frmbkpwd;

// 1 when `text` holds "@" and ".", the first "." after the first "@" and
// not the last character; otherwise -1.
int IsValidEmail(const AnsiString& text);

// The texts the windows show (system code page).
extern const char* const UnknownSignInText;  // a sign-in reply of no known result
extern const char* const LoadFailedText;     // a load after the sign-in gave up
