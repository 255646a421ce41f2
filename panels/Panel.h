// The windowed container the toolbar, the splitter, its panes and the popup
// panels descend from: a two-level border (outer style, border-width rings,
// inner style, each on chosen sides), classic, themed-flat or gradient
// faces, an optional grid, transparency through the parent's background, a
// caption that wraps and aligns vertically, a frame controller's settings,
// children's enabled states kept while the panel is disabled, and a dock
// manager that draws a caption grabber for each docked client.
#pragma once

#include "panels/DrawingHelpers.h"
#include "panels/FrameSettings.h"
#include "panels/Gradients.h"
#include "platform/DockTree.h"
#include "platform/ExtCtrls.h"
#include "platform/Properties.h"
#include "platform/UtilWindow.h"

#include <vector>

class TRzFrameController;
class TRzCustomPanel;

enum class TRzVerticalAlignment { vaTop, vaCenter, vaBottom };
using enum TRzVerticalAlignment;
enum class TRzGridStyle { gsDots, gsDottedLines, gsSolidLines };
using enum TRzGridStyle;

// The thickness a frame style takes from each side it is drawn on.
int FrameStyleThickness(TFrameStyle style, int bevelWidth);

// Lays docked clients out like the platform's tree, with a 14-pixel grabber
// that carries the client's caption and a close glyph.
class TRzPanelDockManager : public TDockTree {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzPanelDockManager(TRzCustomPanel* DockSite);
  ~TRzPanelDockManager() override;

  void AdjustDockRect(TControl* Control, RECT& ARect) override;
  void PaintDockFrame(TCanvas* Canvas, TControl* Control, const RECT& ARect) override;
  TFont* CaptionFont() { return &FFont; }

private:
  void SubclassedWndProc(TMessage& Message);

  TRzCustomPanel* FPanel;
  TFont FFont;
  TFont FCloseFont;
  TWndMethod FOldWndProc;
  bool FSubclassed = false;
};

class TRzCustomPanel : public TCustomPanel, public IFrameSettingsReceiver {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzCustomPanel(TComponent* AOwner);
  ~TRzCustomPanel() override;

  void ApplyFrameSettings() override { UpdateFromFrameController(); }

  TFrameStyleEx BorderInner() const { return FBorderInner; }
  virtual void SetBorderInner(TFrameStyleEx value);
  TFrameStyleEx BorderOuter() const { return FBorderOuter; }
  virtual void SetBorderOuter(TFrameStyleEx value);
  TSides BorderSides() const { return FBorderSides; }
  virtual void SetBorderSides(TSides value);
  TColor BorderColor() const { return FBorderColor; }
  virtual void SetBorderColor(TColor value);
  TColor BorderHighlight() const { return FBorderHighlight; }
  virtual void SetBorderHighlight(TColor value);
  TColor BorderShadow() const { return FBorderShadow; }
  virtual void SetBorderShadow(TColor value);
  TColor FlatColor() const { return FFlatColor; }
  virtual void SetFlatColor(TColor value);
  int FlatColorAdjustment() const { return FFlatColorAdjustment; }
  virtual void SetFlatColorAdjustment(int value);
  TRzVisualStyle VisualStyle() const { return FVisualStyle; }
  virtual void SetVisualStyle(TRzVisualStyle value);
  TRzGradientColorStyle GradientColorStyle() const { return FGradientColorStyle; }
  virtual void SetGradientColorStyle(TRzGradientColorStyle value);
  TColor GradientColorStart() const { return FGradientColorStart; }
  virtual void SetGradientColorStart(TColor value);
  TColor GradientColorStop() const { return FGradientColorStop; }
  virtual void SetGradientColorStop(TColor value);
  TGradientDirection GradientDirection() const { return FGradientDirection; }
  virtual void SetGradientDirection(TGradientDirection value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);
  bool ShowDockClientCaptions() const { return FShowDockClientCaptions; }
  void SetShowDockClientCaptions(bool value);
  TRzFrameController* FrameController() const { return FFrameController; }
  virtual void SetFrameController(TRzFrameController* value);
  TRzFrameControllerNotifications FrameControllerNotifications() const { return FFrameControllerNotifications; }
  void SetFrameControllerNotifications(TRzFrameControllerNotifications value) {
    FFrameControllerNotifications = value;
  }
  // Not published by any control of the program.
  TRzVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  virtual void SetVerticalAlignment(TRzVerticalAlignment value);
  bool PaintClientArea() const { return FPaintClientArea; }
  virtual void SetPaintClientArea(bool value);
  bool ShowGrid() const { return FShowGrid; }
  virtual void SetShowGrid(bool value);
  TColor GridColor() const { return FGridColor; }
  virtual void SetGridColor(TColor value);
  TRzGridStyle GridStyle() const { return FGridStyle; }
  virtual void SetGridStyle(TRzGridStyle value);
  uint16_t GridXSize() const { return FGridXSize; }  // pixels
  virtual void SetGridXSize(uint16_t value);
  uint16_t GridYSize() const { return FGridYSize; }  // pixels
  virtual void SetGridYSize(uint16_t value);
  int TextMargin() const { return FTextMargin; }  // pixels
  virtual void SetTextMargin(int value);
  int TextMarginVertical() const { return FTextMarginVertical; }  // pixels
  virtual void SetTextMarginVertical(int value);
  bool WordWrap() const { return FWordWrap; }
  virtual void SetWordWrap(bool value);

  // How many children the panel remembers as enabled or not while it is
  // disabled, and what it remembers of one (false when not remembered).
  int EnabledStateCount() const { return static_cast<int>(FEnabledStates.size()); }
  bool EnabledStateOf(TControl* child, bool& enabled) const;

  // The cursor in client co-ordinates.
  virtual POINT MousePosInClient();
  // The rectangle inside the frames (and the border width when asked).
  virtual RECT ShrinkForBorders(RECT r, bool includeBorderWidth);
  virtual RECT GetBorderRect();
  virtual POINT GetResizeInvalidateMargin();
  virtual TRzGradientPair GetGradientColors();
  // The flat frame colour and its adjustment.
  virtual void GetFlatFrameColors(TColor& color, int& adjustment);
  virtual void DrawCaptionText(RECT r);
  virtual void DrawGrid(const RECT& r);
  virtual void UpdateFromFrameController();

  // Without the frames (the border width stays, as the platform's panel
  // aligns inside it) unless the panel is a dock site: then the frames
  // leave through AdjustClientRect, so they count once either way.
  RECT ClientRect() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void DefineProperties(TFiler* filer) override;

  TNotifyEvent OnPaint;

protected:
  void AdjustClientRect(RECT& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  TDockTree* CreateDockManager() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  // Re-aligns the children and repaints: the layout setters' last step.
  void BordersChanged();
  void RememberEnabledStates();
  void RestoreEnabledStates();
  void ForgetEnabledStates();

  TFrameStyleEx FBorderInner = fsNone;
  TFrameStyleEx FBorderOuter = fsRaised;
  TSides FBorderSides = sdAllSides;
  TColor FBorderColor = clBtnFace;
  TColor FBorderHighlight = clBtnHighlight;
  TColor FBorderShadow = clBtnShadow;
  TColor FFlatColor = clBtnShadow;
  int FFlatColorAdjustment = 30;
  TRzVisualStyle FVisualStyle = vsWinXP;
  TRzGradientColorStyle FGradientColorStyle = gcsSystem;
  TColor FGradientColorStart = clWhite;
  TColor FGradientColorStop = clBtnFace;
  TGradientDirection FGradientDirection = gdHorizontalEnd;
  bool FTransparent = false;
  bool FShowDockClientCaptions = true;
  TRzFrameController* FFrameController = nullptr;
  TRzFrameControllerNotifications FFrameControllerNotifications = fcpAllNotifications;
  bool FPaintClientArea = true;
  TRzVerticalAlignment FVerticalAlignment = vaCenter;
  bool FShowGrid = false;
  TColor FGridColor = clBtnShadow;
  TRzGridStyle FGridStyle = gsDots;
  uint16_t FGridXSize = 8;
  uint16_t FGridYSize = 8;
  int FTextMargin = 0;
  int FTextMarginVertical = 0;
  bool FWordWrap = true;

private:
  struct TEnabledState {
    TControl* Control;
    bool Enabled;
  };
  void HandleWindowPosChanged(TMessage& Message);
  std::vector<TEnabledState> FEnabledStates;
};

// The enumeration names the panel family streams.
extern const TEnumInfo VisualStyleNames;
extern const TEnumInfo GradientColorStyleNames;
extern const TEnumInfo GradientDirectionNames;
extern const TEnumInfo OrientationNames;

enum class TOrientation { orHorizontal, orVertical };
using enum TOrientation;
