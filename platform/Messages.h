// Every message number the class library defines, in one place: the
// component messages controls send each other (CM_), the notifications a
// parent reflects back to the child window they came from (CN_), and the
// private messages of the program and its control families.
#pragma once

#include "platform/Win32.h"

// Component messages. The numbers are part of the controls' contract with
// code that sends them by number, so they never move.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0x00;
constexpr UINT CM_DEACTIVATE = CM_BASE + 0x01;
constexpr UINT CM_GOTFOCUS = CM_BASE + 0x02;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 0x03;
constexpr UINT CM_CANCELMODE = CM_BASE + 0x04;
constexpr UINT CM_DIALOGKEY = CM_BASE + 0x05;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 0x06;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 0x07;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x08;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 0x09;
constexpr UINT CM_HITTEST = CM_BASE + 0x0A;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 0x0B;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x0C;
constexpr UINT CM_COLORCHANGED = CM_BASE + 0x0D;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x0E;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 0x0F;
constexpr UINT CM_CTL3DCHANGED = CM_BASE + 0x10;
constexpr UINT CM_PARENTCTL3DCHANGED = CM_BASE + 0x11;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 0x16;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 0x17;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 0x19;
constexpr UINT CM_ENTER = CM_BASE + 0x1A;
constexpr UINT CM_EXIT = CM_BASE + 0x1B;
constexpr UINT CM_DESIGNHITTEST = CM_BASE + 0x1C;
constexpr UINT CM_ICONCHANGED = CM_BASE + 0x1D;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 0x1E;
constexpr UINT CM_INVOKEHELP = CM_BASE + 0x1F;
constexpr UINT CM_WINDOWHOOK = CM_BASE + 0x20;
constexpr UINT CM_RELEASE = CM_BASE + 0x21;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 0x22;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 0x23;
constexpr UINT CM_SYSCOLORCHANGE = CM_BASE + 0x24;
constexpr UINT CM_WININICHANGE = CM_BASE + 0x25;
constexpr UINT CM_FONTCHANGE = CM_BASE + 0x26;
constexpr UINT CM_TIMECHANGE = CM_BASE + 0x27;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 0x28;
constexpr UINT CM_UIACTIVATE = CM_BASE + 0x29;
constexpr UINT CM_UIDEACTIVATE = CM_BASE + 0x2A;
constexpr UINT CM_DOCWINDOWACTIVATE = CM_BASE + 0x2B;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 0x2C;
constexpr UINT CM_GETDATALINK = CM_BASE + 0x2D;
constexpr UINT CM_CHILDKEY = CM_BASE + 0x2E;
constexpr UINT CM_DRAG = CM_BASE + 0x2F;
constexpr UINT CM_HINTSHOW = CM_BASE + 0x30;
constexpr UINT CM_DIALOGHANDLE = CM_BASE + 0x31;
constexpr UINT CM_ISTOOLCONTROL = CM_BASE + 0x32;
constexpr UINT CM_RECREATEWND = CM_BASE + 0x33;
constexpr UINT CM_INVALIDATE = CM_BASE + 0x34;
constexpr UINT CM_SYSFONTCHANGED = CM_BASE + 0x35;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 0x36;
constexpr UINT CM_CHANGED = CM_BASE + 0x37;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 0x3B;
constexpr UINT CM_BIDIMODECHANGED = CM_BASE + 0x3C;
constexpr UINT CM_PARENTBIDIMODECHANGED = CM_BASE + 0x3D;
constexpr UINT CM_ACTIONUPDATE = CM_BASE + 0x3F;   // LParam: the action; answer 1 when handled
constexpr UINT CM_ACTIONEXECUTE = CM_BASE + 0x40;  // LParam: the action; answer 1 when handled
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 0x41;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 0x43;
constexpr UINT CM_PARENTENABLEDCHANGED = CM_BASE + 0x50;

// Reflected notifications: a parent sends a child's notification back to the
// child as CN_BASE + the original message, so the control handles its own.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX;
constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY;
constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSKEYUP = CN_BASE + WM_SYSKEYUP;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;

// Private messages of the program and its control families.
constexpr UINT WM_TRAYNOTIFY = 0x401;         // the floating box's tray icon
constexpr UINT WM_REQUESTDONE = 0x402;        // a request worker has finished
constexpr UINT WM_TREEVALIDATED = 0x8020;     // the tree's validation thread reports
constexpr UINT WM_SCROLLBARMETRICS = 0x8065;  // scroll-bar metrics changed
// A push button opens its drop-down menu (the number WM_SCROLLBARMETRICS has
// too: that one goes only to the settings controller's listed controls).
constexpr UINT CM_DROPDOWNPOPUPMENU = 0x8065;
constexpr UINT CM_CLOSEUPPOPUPMENU = 0x8066;  // a push button's drop-down menu has closed
constexpr UINT CM_POPUPCLOSE = 0x807D;        // a container popup closes
constexpr UINT CM_POPUPSHOW = 0x807E;         // a container popup shows for its focus control
constexpr UINT CM_REFRESHHOTSTATE = 0x807F;   // a container refreshes its hot state
constexpr UINT CM_LAYOUTSCROLLBARS = 0x8080;  // a container lays out its own scroll bars
constexpr UINT CM_OPAQUEINNERPAINT = 0x8081;  // a container on glass repaints its inner control opaque
constexpr UINT CM_DROPDOWNCHAR = 0x8096;      // a drop-down popup hands a character (WParam) to its focus
constexpr UINT CM_DROPDOWNSYNCTEXT = 0x8097;  // a drop-down edit re-selects its list item after a paste
constexpr UINT WM_POPUPCLOSE = 0x2423;         // a popup panel's window closes
constexpr UINT CM_BLINKQUERY = 0xB3E8;
constexpr UINT CM_BLINKSTATE = 0xB3E9;
constexpr UINT CM_TOOLBARSHOWCAPTION = 0xB3EA;
constexpr UINT CM_TOOLBARBUTTONLAYOUT = 0xB3EB;
constexpr UINT CM_TOOLBARBUTTONSIZE = 0xB3EC;
constexpr UINT CM_TOOLBARVISUALSTYLE = 0xB3ED;

// Parameters of CM_DRAG (WParam) with a TDragRec* in LParam.
enum class TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };
using enum TDragMessage;

// Signed co-ordinates of a mouse message.
inline POINT MessagePoint(LPARAM lp) {
  return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}
