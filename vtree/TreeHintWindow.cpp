#include "vtree/TreeHintWindow.h"

#include "platform/Forms.h"
#include "vtree/TreeDrawing.h"

#include <algorithm>

const TClassInfo TVirtualTreeHintWindow::ClassInfo{
    "TVirtualTreeHintWindow", &THintWindow::ClassInfo,
    [](TObject* owner) -> TObject* { return new TVirtualTreeHintWindow(static_cast<TComponent*>(owner)); }};

namespace {
using TS = TVirtualTreeState;
bool gHintWindowDestroyed = false;

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }
bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

class TFontSelection {
public:
  TFontSelection(HDC dc, HFONT font) : FDC(dc), FOld(SelectObject(dc, font)) {}
  ~TFontSelection() { SelectObject(FDC, FOld); }
  TFontSelection(const TFontSelection&) = delete;
  TFontSelection& operator=(const TFontSelection&) = delete;

private:
  HDC FDC;
  HGDIOBJ FOld;
};
}  // namespace

bool HintWindowDestroyed() { return gHintWindowDestroyed; }
void SetHintWindowDestroyed(bool Value) { gHintWindowDestroyed = Value; }

void TVirtualTreeHintWindow::TSurface::Resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (DC && width == Width && height == Height) return;
  if (!DC) DC = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(DC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return;
  HGDIOBJ previous = SelectObject(DC, bitmap);
  if (!Old) Old = previous;
  if (Bitmap) DeleteObject(Bitmap);
  Bitmap = bitmap;
  Width = width;
  Height = height;
}

TVirtualTreeHintWindow::TSurface::~TSurface() {
  if (!DC) return;
  SelectObject(DC, Old);
  if (Bitmap) DeleteObject(Bitmap);
  DeleteDC(DC);
}

TVirtualTreeHintWindow::TVirtualTreeHintWindow(TComponent* AOwner) : THintWindow(AOwner) {
  FContent.Resize(1, 1);
  FScreen.Resize(1, 1);
  FBlend.Resize(1, 1);
  gHintWindowDestroyed = false;
}

TVirtualTreeHintWindow::~TVirtualTreeHintWindow() {
  gHintWindowDestroyed = true;
  if (FHintFont) DeleteObject(FHintFont);
}

void TVirtualTreeHintWindow::CreateParams(TCreateParams& Params) {
  THintWindow::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

HFONT TVirtualTreeHintWindow::HintFont() {
  if (!FHintFont) {
    // The system's tooltips use the status font.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
      FHintFont = CreateFontIndirectW(&metrics.lfStatusFont);
    if (!FHintFont) FHintFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  return FHintFont;
}

bool TVirtualTreeHintWindow::TooltipMode() const {
  return FHintInfo.TargetNode && FHintInfo.OwnerTree && FHintInfo.OwnerTree->HintMode() == TVTHintMode::hmTooltip;
}

bool TVirtualTreeHintWindow::IsHintCancelMessage(const TMessage& Message) {
  if (HandleAllocated() && IsWindowVisible(FHandle) &&
      (Message.Msg == WM_NCMOUSEMOVE || (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST)))
    return false;
  return THintWindow::IsHintCancelMessage(Message);
}

RECT TVirtualTreeHintWindow::MeasureHint(int MaxWidth, const TVTHintData* HintData) {
  if (!HintData) return RECT{};
  SetBiDiMode(TBiDiMode::bdLeftToRight);
  FHintInfo = *HintData;
  TBaseVirtualTree* tree = FHintInfo.OwnerTree;
  if (!tree) return RECT{};
  TVirtualTreeColumns* columns = tree->Header()->Columns();
  const TColumnIndex column = FHintInfo.TargetColumn;
  const bool haveColumn = column >= 0 && columns->IsColumnIndex(column);
  FHintInfo.ReadingMode = haveColumn ? columns->Items(column)->BiDiMode() : tree->BiDiMode();
  FHintInfo.TextAlignment = haveColumn ? columns->Items(column)->Alignment() : tree->Alignment();
  const bool rightToLeft = FHintInfo.ReadingMode != TBiDiMode::bdLeftToRight;
  if (rightToLeft) {
    if (FHintInfo.TextAlignment == TAlignment::taLeftJustify) FHintInfo.TextAlignment = TAlignment::taRightJustify;
    else if (FHintInfo.TextAlignment == TAlignment::taRightJustify) FHintInfo.TextAlignment = TAlignment::taLeftJustify;
  }

  const bool tooltip = TooltipMode();
  const TScreenDC screen;
  HFONT font = HintFont();
  if (tooltip) {
    RECT cell{};
    std::wstring text;
    tree->GetCellTextInfo(FHintInfo.TargetNode, column, &FCellFont, cell, text);
    font = FCellFont.Handle();
  }
  const TFontSelection selection(screen.Get(), font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen.Get(), &metrics);
  FLineHeight = metrics.tmHeight;

  FHintInfo.BreakStyle = TVTTooltipLineBreakStyle::hlbDefault;
  std::wstring text = FHintInfo.PresetText;
  if (text.empty()) {
    text = tree->HintMode() == TVTHintMode::hmTooltip
               ? tree->DefaultTooltipText(FHintInfo.TargetNode, column, FHintInfo.BreakStyle)
               : tree->DefaultHintText(FHintInfo.TargetNode, column, FHintInfo.BreakStyle);
  }
  FHintInfo.ShownText = text;
  if (text.empty()) return RECT{};

  if (!tooltip) {
    RECT r{0, 0, MaxWidth, FLineHeight};
    DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT);
    r.bottom += 6;
    r.right += 2 * tree->TextMargin() + 2;
    return r;
  }

  PVirtualNode node = FHintInfo.TargetNode;
  if (FHintInfo.BreakStyle == TVTTooltipLineBreakStyle::hlbDefault)
    FHintInfo.BreakStyle = node->StateBits.Contains(TVirtualNodeState::nsMultiline)
                               ? TVTTooltipLineBreakStyle::hlbForceMultiLine
                               : TVTTooltipLineBreakStyle::hlbForceSingleLine;
  RECT r{};
  if (FHintInfo.BreakStyle == TVTTooltipLineBreakStyle::hlbForceMultiLine) {
    r = tree->NodeDisplayRect(node, column, true, false, false);
    RECT t = r;
    DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &t, DT_CALCRECT | DT_WORDBREAK);
    if (rightToLeft) r.left = t.left - tree->TextMargin() + 1;
    else r.right = t.right + tree->TextMargin();
    r.bottom = t.bottom;
    r.right += 1;
    // Without columns the cell is as wide as the client area.
    const int cellWidth = haveColumn ? columns->Items(column)->Width() : tree->ClientWidth();
    const RECT client = tree->ClientRect();
    if (static_cast<int>(node->NodeHeight) + 2 >= RectHeight(r) && cellWidth + 2 >= RectWidth(r) && r.left >= 0 &&
        client.right + 3 >= r.right && r.top >= 0 && client.bottom + 3 >= r.bottom)
      return RECT{};
  } else {
    r = tree->LastHintRect();
    if (tree->TreeOptions()->PaintOptions().Contains(TVTPaintOption::toShowHorzGridLines)) --r.bottom;
  }
  InflateRect(&r, 1, 1);
  OffsetRect(&r, -r.left - 1, -r.top - 1);
  return r;
}

void TVirtualTreeHintWindow::PresentHint(RECT Rect) {
  if (Empty(Rect)) {
    if (Application) Application->CancelHint();
    return;
  }
  TBaseVirtualTree* tree = FHintInfo.OwnerTree;
  const bool interrupted = tree && tree->TreeStates().Contains(TS::tsInAnimation);
  if (interrupted) tree->ChangeStates({}, {TS::tsInAnimation});

  Handle();
  SetWindowPos(FHandle, nullptr, Rect.left, Rect.top, Width(), Height(),
               SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
  // The whole virtual screen is the desktop.
  const RECT desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                     GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const int width = RectWidth(Rect), height = RectHeight(Rect);
  int left = Rect.left, top = Rect.top;
  if (top + height > desktop.bottom) top = desktop.bottom - height;
  if (left + width > desktop.right) left = desktop.right - width;
  if (top < desktop.top) top = desktop.top;
  if (left < desktop.left) left = desktop.left;
  SetBounds(left, top, width, height);

  FContent.Resize(width, height);
  FScreen.Resize(width, height);
  FBlend.Resize(width, height);
  if (tree && tree->HandleAllocated()) UpdateWindow(tree->Handle());
  {
    const TScreenDC screen;
    BitBlt(FScreen.DC, 0, 0, width, height, screen.Get(), left, top, SRCCOPY);
  }
  SetWindowPos(FHandle, HWND_TOPMOST, left, top, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FVisible = true;

  const THintAnimationType animation = tree ? tree->EffectiveHintAnimation() : THintAnimationType::hatNone;
  const auto step = [this](uint32_t Step, uint32_t StepSize, void*) { return AnimationStep(Step, StepSize); };
  switch (animation) {
    case THintAnimationType::hatFade:
      ValidateRect(FHandle, nullptr);
      tree->RunAnimation(255, 2 * tree->AnimationDuration(), step, this);
      break;
    case THintAnimationType::hatSlide:
      ValidateRect(FHandle, nullptr);
      tree->RunAnimation(static_cast<uint32_t>(height), tree->AnimationDuration(), step, this);
      break;
    default:
      InvalidateRect(FHandle, nullptr, FALSE);
      break;
  }
  if (interrupted && !gHintWindowDestroyed && FHintInfo.OwnerTree)
    FHintInfo.OwnerTree->ChangeStates({TS::tsCancelHintAnimation}, {});
}

bool TVirtualTreeHintWindow::AnimationStep(uint32_t Step, uint32_t StepSize) {
  if (gHintWindowDestroyed || !HandleAllocated() || !IsWindowVisible(FHandle)) return false;
  if (FHintInfo.OwnerTree && FHintInfo.OwnerTree->TreeStates().Contains(TS::tsCancelHintAnimation)) return false;
  RenderHint(Step, StepSize);
  if (Application) Application->ProcessMessages();
  return true;
}

void TVirtualTreeHintWindow::RenderHint(uint32_t Step, uint32_t StepSize, HDC DC) {
  TBaseVirtualTree* tree = FHintInfo.OwnerTree;
  const int width = FContent.Width, height = FContent.Height;
  if (Step == 0) {
    HFONT font = HintFont();
    int textTop = 2;
    const bool tooltip = TooltipMode();
    if (tooltip) {
      RECT cell{};
      std::wstring text;
      tree->GetCellTextInfo(FHintInfo.TargetNode, FHintInfo.TargetColumn, &FCellFont, cell, text);
      font = FCellFont.Handle();
      textTop = FHintInfo.BreakStyle == TVTTooltipLineBreakStyle::hlbForceMultiLine ? 1 : (height - RectHeight(cell)) / 2;
    }
    HDC dc = FContent.DC;
    const TFontSelection selection(dc, font);
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Rectangle(dc, 0, 0, width, height);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    RECT r{1, 1, width - 1, height - 1};
    UINT format = DT_NOPREFIX;
    const int margin = tree ? tree->TextMargin() : 0;
    if (FHintInfo.ReadingMode != TBiDiMode::bdLeftToRight) {
      format |= DT_RIGHT | DT_RTLREADING;
      r.right = r.right - margin + 1;
    } else {
      r.left += margin;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    r.top = textTop;
    if (tooltip && FHintInfo.BreakStyle == TVTTooltipLineBreakStyle::hlbForceMultiLine) format |= DT_WORDBREAK;
    DrawTextW(dc, FHintInfo.ShownText.c_str(), static_cast<int>(FHintInfo.ShownText.size()), &r, format);
    GdiFlush();
  }

  if (!DC && !HandleAllocated()) return;
  HDC target = DC ? DC : GetDC(FHandle);
  const THintAnimationType animation = tree ? tree->EffectiveHintAnimation() : THintAnimationType::hatNone;
  if (StepSize < 1) {
    // A fade leaves its last blended frame standing.
    if (animation != THintAnimationType::hatFade || DC) BitBlt(target, 0, 0, width, height, FContent.DC, 0, 0, SRCCOPY);
  } else if (animation == THintAnimationType::hatFade) {
    BitBlt(FBlend.DC, 0, 0, width, height, FScreen.DC, 0, 0, SRCCOPY);
    BlendRect(FContent.DC, FBlend.DC, RECT{0, 0, width, height}, POINT{0, 0}, TBlendMode::bmConstantAlpha,
              MulDiv(static_cast<int>(Step), 256, 255), 0);
    BitBlt(target, 0, 0, width, height, FBlend.DC, 0, 0, SRCCOPY);
  } else {
    // The hint slides down from above its place over the captured screen.
    const int shown = std::min(static_cast<int>(Step), height);
    if (shown > 0) BitBlt(target, 0, 0, width, shown, FContent.DC, 0, height - shown, SRCCOPY);
    if (shown < height) BitBlt(target, 0, shown, width, height - shown, FScreen.DC, 0, shown, SRCCOPY);
  }
  if (!DC) ReleaseDC(FHandle, target);
}

void TVirtualTreeHintWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      Message.Result = 0;
      return;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(FHandle, &paint);
      RenderHint(0, 0, dc);
      EndPaint(FHandle, &paint);
      Message.Result = 0;
      return;
    }
    case WM_SHOWWINDOW:
      if (Message.WParam == 0) {
        FHintInfo = TVTHintData{};
        gHintWindowDestroyed = false;
      }
      break;
    default:
      break;
  }
  THintWindow::Dispatch(Message);
}
