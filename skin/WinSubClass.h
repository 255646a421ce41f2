// Control skinners: small objects that take over one control's messages,
// let its own procedure do the work and draw its look from the skin's
// objects instead of the system look. The form skinner (WinSkinForm.h)
// walks a window's controls, picks a skinner class per control
// (SkinWalk.cpp) and keeps the skinners it attached in its list.
//
// A class library control is taken over through its WindowProc (Attach),
// any other window through a subclass of its procedure (AttachHandle).
// Deactivate switches painting off and gives the control its colour back;
// the skinner then passes every message through until it is freed, which
// restores the previous procedure.
#pragma once

#include "platform/Component.h"
#include "platform/Graphics.h"
#include "platform/WindowSubclass.h"

#include <memory>
#include <string>

class TBitmap;
class TCanvas;
class TControl;
class TDataSkinObject;
class TSkinData;
class TWinControl;
class TWinSkinForm;

// Published-property access by name; the last argument's value, or the one
// named in each comment, when the object is null or has no such property.
// An integer-kind property (integers, colours, cursors, booleans); -1.
int64_t PropInt(TObject* object, const AnsiString& name);
// An enumeration or boolean property's name as text; a string property's
// text; empty otherwise.
AnsiString PropText(TObject* object, const AnsiString& name);
// A string property as wide text; empty.
std::wstring PropWide(TObject* object, const AnsiString& name);
// The object an object property holds when it is of `cls`; null.
TObject* PropObject(TObject* object, const AnsiString& name, TClass cls);
// Sets an integer property to the text's number, an enumeration or boolean
// by name, a string property to the text; other kinds stay untouched.
void SetPropText(TObject* object, const AnsiString& name, const AnsiString& text);
bool HasProp(TObject* object, const AnsiString& name);

// The text with only its first occurrence of `pattern` replaced.
std::wstring ReplaceFirst(const std::wstring& text, const std::wstring& pattern, const std::wstring& replacement);
// A window with WS_POPUP, or whose parent is the desktop window.
bool IsPopupWindow(HWND wnd);
// Sends CM_MOUSELEAVE to the window (nothing for 0).
void SendMouseLeave(HWND wnd);

// Mouse-state bits.
constexpr int msHot = 1, msPressed = 2;

class TSkinControl : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TSkinControl(TComponent* AOwner);
  ~TSkinControl() override;

  // Takes over `control` (a windowed control of the class library) through
  // its WindowProc; a second call does nothing.
  virtual void Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
                      TCanvas* canvas);
  // Takes over any window through a subclass of its procedure.
  virtual void AttachHandle(HWND wnd, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas);
  // Switches painting off and gives the control its colour back.
  virtual void Deactivate();
  // True lets the previous procedure run (then AfterMessage).
  virtual bool BeforeMessage(TMessage& Message);
  virtual void AfterMessage(TMessage& Message);
  // Paints the whole window into `dc` (the window's own context when 0).
  virtual void PaintWindow(HDC dc);
  virtual void Paint(HDC dc, const RECT& r);
  // The skin data loaded a new skin.
  virtual void SkinChanged();

  void WindowProc(TMessage& Message);
  void CallPrevious(TMessage& Message);
  void Refresh();
  // The control's ParentBackground switched off (true) or back on.
  void SetParentBackground(bool off);
  TColor ParentColor(TColor fallback) const;
  TColor SkinColor() const;
  void FillSkinColor(HDC dc, const RECT& r) const;
  void FillParentColor(HDC dc, const RECT& r) const;
  // Lets the control raise its mouse-down event for a swallowed button-down,
  // with the cursor's true position on controls wider or taller than 0x8000.
  void ForwardMouseDown(const TMessage& Message);
  // A focus rectangle around the Caption as drawn with `flags` in `r`.
  void DrawTextFocus(HDC dc, UINT flags, const RECT& r);
  // DT_RTLREADING added when the control reads right to left.
  UINT TextFlags(UINT flags) const;
  TWinControl* Control() const { return FControl; }
  TControl* GraphicControl() const { return FGraphicControl; }
  HWND Handle() const { return FHandle; }
  TSkinData* SkinData() const { return FSkinData; }
  TWinSkinForm* FormSkinner() const { return FForm; }
  void ClearFormSkinner() { FForm = nullptr; }
  bool Active() const { return FActive; }
  bool IsAttached() const { return FAttached; }
  int LifeState() const { return FLifeState; }
  int Mode() const { return FMode; }
  void SetMode(int value) { FMode = value; }
  int MouseState() const { return FMouseState; }
  bool UseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool value) { FUseSkinColor = value; }
  bool ParentBackgroundWasOn() const { return FParentBackgroundWasOn; }
  const std::wstring& Caption() const { return FCaption; }
  const RECT& WindowRect() const { return FWindowRect; }

protected:
  void Notification(TComponent* component, TOperation operation) override;
  void SetHot(bool on) { FMouseState = on ? FMouseState | msHot : FMouseState & ~msHot; }
  void SetPressed(bool on) { FMouseState = on ? FMouseState | msPressed : FMouseState & ~msPressed; }
  bool Hot() const { return FMouseState & msHot; }
  bool Pressed() const { return FMouseState & msPressed; }
  void ReadEnabledFocused();
  // The skinned object for property reads: the control, the graphic control
  // or nothing.
  TObject* Subject() const;
  void GiveBackProcedure();

  int FMouseState = 0;
  TCanvas* FCanvas = nullptr;
  bool FEnabled = true;
  bool FFocused = false;
  std::wstring FCaption;
  TWindowSubclass FSubclass;
  bool FActive = true;
  bool FUnicodeWindow = false;
  TSkinData* FSkinData = nullptr;
  HWND FHandle = nullptr;
  TWndMethod FOldWindowProc;
  bool FWindowProcHooked = false;
  TWinControl* FControl = nullptr;
  RECT FWindowRect{};
  TControl* FGraphicControl = nullptr;
  bool FUseSkinColor = false;
  TColor FSavedColor = 0;
  bool FAttached = false;
  int FLifeState = 0;
  TWinSkinForm* FForm = nullptr;
  int FMode = 0;
  bool FParentBackgroundWasOn = false;
};

// The drawing routines the skinners share. Frame k (from 1) of an object's
// bitmap cut into n frames, nine-part with the object's margins and tiling,
// magenta left out when the object's Trans is 1; nothing into an inverted
// rectangle.
void DrawSkinObjectFrame(HDC dc, const RECT& r, int n, int k, TDataSkinObject* object);
// Frame k of n stretched over the rectangle, magenta left out.
void DrawStripFrameMasked(HDC dc, const RECT& r, int n, int k, TBitmap* bitmap);
// Paints the skinner's control through Paint from WM_PAINT (BeginPaint when
// wParam holds no device context).
void HandlePaint(TSkinControl* skinner, TMessage& Message);
// The parent's background behind the control into wParam's device context;
// Result 1.
void HandleEraseBackground(TSkinControl* skinner, TMessage& Message);
void FillRectColor(HDC dc, const RECT& r, TColor color);
