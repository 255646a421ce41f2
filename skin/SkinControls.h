// The control skinners of push buttons, glyph buttons, check boxes, radio
// buttons, group boxes, panels, foreign dialog windows and progress bars.
// Each draws from the skin's objects: the "Buttons" face strip (normal,
// pressed, disabled, hot, focused), its check-box and radio-button strips,
// the colour table and the "Progress" objects. Where the skin lacks the
// object a skinner needs, the control keeps its own painting.
#pragma once

#include "skin/WinSubClass.h"

#include <string>
#include <vector>

// Where a glyph button puts its glyph and text.
enum class TGlyphLayoutKind { glLeft, glRight, glTop, glBottom };

struct TGlyphLayoutResult {
  POINT Glyph{};
  POINT Text{};
  int Margin = 0;
  int Spacing = 0;
  UINT TextFlags = DT_WORDBREAK;
};

// The placement of a glyph (gw x gh) and a measured text (tw x th) on a
// face of `client` size. Margin and Spacing -1 mean "spread evenly";
// `centre` treats Margin as -1 (a centred glyph button), `speed` adds the
// speed button's extra pixel to a computed margin.
TGlyphLayoutResult GlyphLayout(SIZE client, SIZE glyph, SIZE text, TGlyphLayoutKind layout, int margin, int spacing,
                               bool centre, bool speed);
TGlyphLayoutKind GlyphLayoutOf(const AnsiString& layoutName);

// Push buttons: class library buttons and foreign "button" windows.
class TSkinButton : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TSkinButton(TComponent* AOwner);
  ~TSkinButton() override;

  void Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
              TCanvas* canvas) override;
  void AttachHandle(HWND wnd, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void AfterMessage(TMessage& Message) override;
  void Paint(HDC dc, const RECT& r) override;

  // Face frame: 1 normal, 2 pressed, 3 disabled, 4 hot, 5 focused or default.
  int ButtonState() const;
  // True when the skin has a face strip to paint with.
  bool HasFace() const;
  bool Transparent() const { return FTransparent; }

protected:
  // Composes the face background and frame of `state` into FFace.
  void PaintFace(HDC faceDC, const RECT& r, int state);
  COLORREF TextColour(int state) const;
  void DrawCaption(HDC dc, const RECT& r, UINT flags, const std::wstring& text);
  HFONT SelectTextFont(HDC dc);
  void ReadButton();

  std::unique_ptr<TBitmap> FFace;
  bool FTransparent = false;
  bool FDefault = false;
};

// Glyph buttons: the face of a push button with the glyph laid out beside
// its caption.
class TSkinBitButton : public TSkinButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinButton::TSkinButton;
  void Paint(HDC dc, const RECT& r) override;
  // Frame k of n of the glyph at `at`, bottom-left pixel transparent; a
  // one-frame glyph asked for its disabled frame is embossed.
  static void DrawGlyph(HDC dc, POINT at, int n, int k, TBitmap* glyph);
};

// The embossed look of a glyph for a disabled button (the caller owns it).
std::unique_ptr<TBitmap> MakeDisabledGlyph(TBitmap* glyph);

// Check boxes: the box from the skin's check-box strip, the caption beside.
class TSkinCheckBox : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  void Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
              TCanvas* canvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void AfterMessage(TMessage& Message) override;
  void Paint(HDC dc, const RECT& r) override;
  // The strip frame drawn at the last paint.
  int LastFrame() const { return FLastFrame; }
  int LastSetCheck() const { return FLastSetCheck; }

protected:
  virtual TBitmap* Strip() const;
  virtual int FrameCountOf() const;
  virtual int StateOf();
  // The strip frame of the current state in a strip of n frames.
  virtual int StripFrame(int n);
  virtual bool Radio() const { return false; }
  void PaintBoxAndText(HDC dc, const RECT& r, int frame, int boxWidth, int boxHeight, bool radio);

  int FLastSetCheck = 0;
  bool FTransparent = false;
  int FLastFrame = 0;
};

// Check-box states to strip frames: 1 unchecked, 2 checked, 3 unchecked
// disabled, 4 checked disabled or indeterminate.
int CheckFrameOf(int state, bool disabled, bool indeterminate, int frameCount);
int RadioFrameOf(int state, bool disabled, int frameCount);

class TSkinRadioButton : public TSkinCheckBox {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinCheckBox::TSkinCheckBox;
  void AfterMessage(TMessage& Message) override;

protected:
  TBitmap* Strip() const override;
  int FrameCountOf() const override;
  int StateOf() override;
  int StripFrame(int n) override;
  bool Radio() const override { return true; }
};

// Group boxes: a rounded frame on the skin colour, the caption 8 pixels in.
class TSkinGroupBox : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  void Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
              TCanvas* canvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void Paint(HDC dc, const RECT& r) override;
};

// Panels and forms: the skin colour only; the window procedure stays.
class TSkinBox : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  void Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
              TCanvas* canvas) override;
  void AfterMessage(TMessage&) override {}
  void Deactivate() override;
};

// Foreign dialog and toolbar windows: the skin colour behind them and
// behind their static children.
class TSkinBoxH : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  bool BeforeMessage(TMessage& Message) override;
};

// Progress bars: the "Progress" well and the "Progress.Chunk" bar.
class TSkinProgress : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  bool BeforeMessage(TMessage& Message) override;
  void AfterMessage(TMessage& Message) override;
  void Paint(HDC dc, const RECT& r) override;
  // The filled part of a bar of `extent` pixels.
  static int FilledExtent(int extent, int position, int minimum, int maximum);
};

// Up-down buttons: each half from the "UpDown.Vert" or "UpDown.Horz" strip
// (per button normal, pressed, disabled, hot; the second button's frames
// follow the first's four), plain rectangles and arrows without it.
class TSkinUpDown : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  bool BeforeMessage(TMessage& Message) override;
  void Paint(HDC dc, const RECT& r) override;
  // The strip frames of the first (up or left) and second button at the
  // last paint.
  int FirstFrame() const { return FFirstFrame; }
  int SecondFrame() const { return FSecondFrame; }
  // Frame of a button: `part` 0 up, 1 down, 2 left, 3 right; `state` 1
  // normal, 2 pressed, 3 disabled, 4 hot.
  static int FrameOf(int part, int state) { return part < 2 ? state + 4 * part : state + 4 * part - 8; }

private:
  int FFirstFrame = 0, FSecondFrame = 0;
};

// Status bars: panels framed from "StatusBarEdges" (1 lowered, 2 raised,
// 3 none), the last one reaching the bar's right edge.
class TSkinStatusBar : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  bool BeforeMessage(TMessage& Message) override;
  void Paint(HDC dc, const RECT& r) override;
  // The panel rectangles framed at the last paint.
  const std::vector<RECT>& PanelRects() const { return FPanels; }

private:
  void Frame(HDC dc, const RECT& r, int k);
  std::vector<RECT> FPanels;
};
