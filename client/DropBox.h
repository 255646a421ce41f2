// The floating drop box: the program's main window, a small borderless,
// semi-transparent box that stays on top at the top of the screen. Text or
// HTML dropped on it is posted to the service as a new article of the daily
// category; its marquee scrolls a greeting and what became of each drop. It
// carries the tray icon and its menu and opens the client's other windows.
// It can hide at the top of the screen and comes back when the mouse
// touches it.
#pragma once

#include "client/AboutForm.h"
#include "client/SharedState.h"
#include "dragdrop/DragDropInternet.h"
#include "dragdrop/DragDropText.h"
#include "panels/MarqueeStatus.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ImageList.h"
#include "platform/Menus.h"
#include "platform/StringList.h"
#include "platform/ToolBar.h"
#include "skin/SkinData.h"

#include <shellapi.h>

#include <functional>

// Message the shell sends for mouse activity over the tray icon.
constexpr UINT WM_BARICON = WM_USER + 1;  // 0x401

class Tmform : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit Tmform(TComponent* AOwner);
  ~Tmform() override;

  TToolBar* ToolBar1 = nullptr;
  TToolButton* ToolButton1 = nullptr;
  TToolButton* ToolButton2 = nullptr;
  TToolButton* ToolButton3 = nullptr;
  TToolButton* ToolButton4 = nullptr;
  TToolButton* ToolButton5 = nullptr;
  TRzMarqueeStatus* ms1 = nullptr;
  TTimer* tmwh = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* N6 = nullptr;
  TMenuItem* N2 = nullptr;
  TMenuItem* N3 = nullptr;
  TMenuItem* N4 = nullptr;
  TPopupMenu* PopupMenu2 = nullptr;
  TMenuItem* N1 = nullptr;
  TMenuItem* N5 = nullptr;
  // The images of all the client's tool bars and menus (the management
  // window uses them too), filled from the program's picture strip.
  TCustomImageList* ImageList1 = nullptr;
  // Skins every window of the process (the form carries the skin).
  TSkinData* SkinData1 = nullptr;
  // Made with the box (the drop targets are not stored in the form).
  TDropTextTarget* DropTextTarget1 = nullptr;
  TDropURLTarget* DropURLTarget1 = nullptr;

  // Where a mouse button last went down on the marquee, in its coordinates;
  // both 0 while no move is going on.
  int32_t MoveOriginX = 0;
  int32_t MoveOriginY = 0;

  void FormCreate(TObject* Sender);
  void FormDestroy(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  // Trims the working set and lets pending messages through.
  void ClearMemory();
  // Adds and deletes the tray icon; answer the shell's answer.
  bool InstallIcon();
  bool UnInstallIcon();
  // Hide at the top: only a sliver stays on the screen until the mouse
  // touches the box.
  void RzToolButton3Click(TObject* Sender);
  void tmwhTimer(TObject* Sender);
  // Moving the box by its marquee.
  void ms1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ms1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void ms1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ms1ScrollComplete(TObject* Sender);
  void DropTextTarget1Drop(TObject* Sender, TShiftState ShiftState, const POINT& APoint, int32_t& Effect);
  // Counts an added article in its category, or files the category as new.
  void addtodoc();
  // The about box, made once without owner.
  void ToolButton5Click(TObject* Sender);
  void N3Click(TObject* Sender);
  // "退出Mevra": asks, and closes the box on Yes.
  void btclose(TObject* Sender);

  // Shows a text in the marquee from its beginning.
  void ShowText(const AnsiString& text);

  // The texts waiting for the marquee.
  TStringList MarqueeQueue;
  // The tray icon record as installed.
  NOTIFYICONDATAA TrayIconData{};

protected:
  void Dispatch(TMessage& Message) override;
  // 0x402: a reply is in ReplyDoc.
  void ptdok(TMessage& Message);
  // 0x401: the tray icon's mouse message in LParam.
  void WMBarIcon(TMessage& Message);
};

// The box's about box, once made.
extern Thform* hform;

// The whole byte string converted from UTF-8 (invalid sequences become the
// replacement character); empty stays empty.
std::wstring Utf8ToWide(const AnsiString& bytes);

// Tray icon calls go through here; tests replace it (empty: the shell's
// own) and get back the one replaced.
using TNotifyIconCall = std::function<BOOL(DWORD Message, NOTIFYICONDATAA* Data)>;
TNotifyIconCall SetNotifyIconCall(TNotifyIconCall call);

// The number of pictures in the client's image strip, and the one of the
// article list.
constexpr int ClientImageCount = 13;
constexpr int ArticleListImage = 12;

// Fills `list` with the client's pictures (the program's MEVRA_IMAGES
// strip, magenta transparent); raises EInvalidGraphic when the program
// carries no strip.
void LoadClientImages(TCustomImageList* list);

// The texts the box shows (system code page).
extern const char* const DropFailedText;   // "保存信息失败，请重新拖入！"
extern const char* const NothingDroppedText;
