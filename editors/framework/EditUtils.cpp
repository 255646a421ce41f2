#include "editors/framework/EditUtils.h"

#include "editors/framework/EditPaintUtils.h"
#include "editors/framework/EditViewInfo.h"
#include "foundation/ContainerServices.h"
#include "foundation/FlatPainter.h"
#include "foundation/Graphics.h"
#include "foundation/Office11.h"
#include "foundation/Office11Painter.h"
#include "foundation/StandardPainter.h"
#include "foundation/UltraFlatPainter.h"
#include "foundation/UxTheme.h"
#include "foundation/WinXPPainter.h"
#include "platform/Collection.h"
#include "platform/ImageList.h"

#include <algorithm>

namespace {
bool HotLightAvailable = false;
}

void FillRectWithBrush(HDC dc, const RECT& r, HBRUSH brush) { FillRect(dc, &r, brush); }

void FillRectWithColor(TcxCanvas* canvas, const RECT& r, TColor color) {
  if (color == clNone) return;
  FillRectWithBrush(canvas->GetDeviceContext(), r, SolidBrushForCxCanvas(canvas, color));
}

void FillRectAround(TcxCanvas* canvas, const RECT& outer, const RECT& inner, HBRUSH brush) {
  HDC dc = canvas->GetDeviceContext();
  const RECT strips[] = {{outer.left, outer.top, outer.right, inner.top},
                         {outer.left, inner.bottom, outer.right, outer.bottom},
                         {outer.left, inner.top, inner.left, inner.bottom},
                         {inner.right, inner.top, outer.right, inner.bottom}};
  for (const RECT& s : strips)
    if (s.right > s.left && s.bottom > s.top) FillRect(dc, &s, brush);
}

void DrawArrows(TcxCanvas* canvas, int a, const RECT& r, TColor color, bool pressed, bool twoArrows,
                TcxEditArrowDirection direction) {
  if (a <= 0) return;
  const int n = twoArrows ? 2 : 1;
  const bool vertical = direction == eadUp || direction == eadDown;
  const int w = vertical ? 2 * a - 1 : n * a;
  const int h = vertical ? n * a : 2 * a - 1;
  int x = r.left + (r.right - r.left - w) / 2;
  int y = r.top + (r.bottom - r.top - h) / 2;
  if (pressed) {
    ++x;
    ++y;
  }
  HDC dc = canvas->GetDeviceContext();
  HBRUSH brush = SolidBrushForCxCanvas(canvas, color);
  for (int k = 0; k < n; ++k) {
    for (int i = 0; i < a; ++i) {
      RECT line;
      switch (direction) {
        case eadUp: line = RECT{x + a - 1 - i, y + i, x + a + i, y + i + 1}; break;
        case eadDown: line = RECT{x + i, y + i, x + 2 * a - 1 - i, y + i + 1}; break;
        case eadLeft: line = RECT{x + i, y + a - 1 - i, x + i + 1, y + a + i}; break;
        default: line = RECT{x + i, y + i, x + i + 1, y + 2 * a - 1 - i}; break;
      }
      FillRect(dc, &line, brush);
    }
    if (vertical) y += a; else x += a;
  }
}

SIZE ArrowGlyphSize(SIZE area, TcxEditArrowDirection direction) {
  const int s = std::min(area.cx, area.cy);
  int w = (s - 1) / 2;
  if (w % 2 == 0) ++w;
  const int h = w / 2 + 1;
  return direction == eadLeft || direction == eadRight ? SIZE{h, w} : SIZE{w, h};
}

void DrawRectEdges(TcxCanvas* canvas, RECT& r, unsigned edges, TColor color) {
  const int right = r.right - 1, bottom = r.bottom - 1;
  HDC dc = canvas->GetDeviceContext();
  HBRUSH brush = SolidBrushForCxCanvas(canvas, color);
  auto line = [&](int x1, int y1, int x2, int y2) {
    const RECT l{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
    FillRect(dc, &l, brush);
  };
  if (edges & 1) line(r.left, r.top, r.left, bottom);
  if (edges & 4) line(right, r.top, right, bottom);
  if (edges & 2) line(r.left, r.top, right, r.top);
  if (edges & 8) line(r.left, bottom, right, bottom);
  if (edges & 1) ++r.left;
  if (edges & 2) ++r.top;
  if (edges & 4) --r.right;
  if (edges & 8) --r.bottom;
}

void DrawColoredPolyline(TcxCanvas* canvas, const POINT* points, int lastIndex, bool brushMode, TColor color) {
  if (lastIndex < 0) return;
  if (!brushMode) {
    canvas->GetPen()->SetColor(color);
    canvas->DrawPolyline(points, lastIndex);
    canvas->SetPixelColor(points[lastIndex].x, points[lastIndex].y, color);
    return;
  }
  HDC dc = canvas->GetDeviceContext();
  HBRUSH brush = SolidBrushForCxCanvas(canvas, color);
  for (int i = 0; i < lastIndex; ++i) {
    const POINT a = points[i], b = points[i + 1];
    const RECT s{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
    FillRect(dc, &s, brush);
  }
  const RECT last{points[lastIndex].x, points[lastIndex].y, points[lastIndex].x + 1, points[lastIndex].y + 1};
  FillRect(dc, &last, brush);
}

bool IsGlyphUsable(TBitmap* glyph) {
  return glyph && !glyph->GetEmpty() && glyph->GetWidth() > 0 && glyph->GetHeight() > 0;
}

void DrawGlyph(TCanvas* canvas, int x, int y, TBitmap* background, TColor backgroundColor, bool enabled,
               TBitmap* glyph) {
  if (!IsGlyphUsable(glyph)) return;
  const int w = glyph->GetWidth(), h = glyph->GetHeight();
  const RECT r{0, 0, w, h};
  if (background) {
    DrawImageOverBackground(background->Canvas()->Handle(), r, r, glyph, nullptr, -1,
                            enabled ? idmNormal : idmDisabled);
    canvas->Draw(x, y, background);
    return;
  }
  const RECT at{x, y, x + w, y + h};
  HBRUSH brush = backgroundColor == clNone ? nullptr : SolidBrushFor(backgroundColor);
  DrawImageOverBackground(canvas->Handle(), at, at, glyph, nullptr, -1, enabled ? idmNormal : idmDisabled, false,
                          brush);
}

void DrawGlyphOnCanvas(TcxCanvas* canvas, int x, int y, TBitmap* background, TColor backgroundColor, bool enabled,
                       TBitmap* glyph) {
  DrawGlyph(canvas->Canvas(), x, y, background, backgroundColor, enabled, glyph);
}

void DrawImageListImage(TcxCanvas* canvas, TCustomImageList* images, int index, TBitmap* work, bool enabled,
                        TColor backgroundColor, const RECT& r) {
  if (!images || index < 0 || index >= images->Count()) return;
  TBitmap temporary;
  TBitmap* bitmap = work;
  const RECT cell{0, 0, images->Width(), images->Height()};
  if (!bitmap) {
    temporary.SetSize(cell.right, cell.bottom);
    temporary.Canvas()->Brush()->SetColor(backgroundColor);
    temporary.Canvas()->FillRect(cell);
    bitmap = &temporary;
  }
  DrawImageOverBackground(bitmap->Canvas()->Handle(), cell, cell, nullptr, images, index,
                          enabled ? idmNormal : idmDisabled);
  canvas->DrawGraphicAt(r.left, r.top, bitmap);
}

TcxLookAndFeelPainterClass PainterClassFor(bool nativeStyle, TcxLookAndFeelKind kind) {
  if (nativeStyle && CanUseVisualStyles()) return &TcxWinXPLookAndFeelPainter::Instance;
  switch (kind) {
    case lfFlat: return &TcxFlatLookAndFeelPainter::Instance;
    case lfUltraFlat: return &TcxUltraFlatLookAndFeelPainter::Instance;
    case lfOffice11: return &TcxOffice11LookAndFeelPainter::Instance;
    default: return &TcxStandardLookAndFeelPainter::Instance;
  }
}

int MeasureEditButton(TcxCanvas* canvas, TcxEditButtonViewInfo& button) {
  if (button.NativeStyle && !ThemeAvailableFor(true, button.ThemeKind())) button.NativeStyle = false;
  int margin = 4;
  if (button.NativeStyle) {
    HTHEME theme = AcquireThemeHandle(button.ThemeKind());
    const RECT r{0, 0, 100, 100};
    RECT content = r;
    HDC dc = GetDC(nullptr);
    if (theme && SUCCEEDED(UxGetThemeBackgroundContentRect(theme, dc, 1, 1, r, content)))
      margin = 100 - (content.right - content.left);
    ReleaseDC(nullptr, dc);
  }
  if (button.Width >= 1) return std::max(button.Width, margin);
  if (button.Kind == bkGlyph && IsGlyphUsable(button.Glyph)) return button.Glyph->GetWidth() + margin;
  const int arrow = GetSystemMetrics(SM_CYHSCROLL);
  if (button.Kind == bkText) {
    int textWidth = 0;
    textWidth = (canvas ? canvas : SharedScreenCanvas())->WidthOfText(button.DisplayCaption);
    return std::max(arrow, textWidth + 3 + margin);
  }
  return arrow;
}

int EditVerticalPadding(TcxCanvas*, TcxEditButtonStyle style, bool native) {
  if (native) {
    HTHEME theme = AcquireThemeHandle(totEdit);
    const RECT r{0, 0, 100, 100};
    RECT content = r;
    HDC dc = GetDC(nullptr);
    const bool ok = theme && SUCCEEDED(UxGetThemeBackgroundContentRect(theme, dc, 1, 1, r, content));
    ReleaseDC(nullptr, dc);
    if (ok) return content.top + (100 - content.bottom);
    return 0;
  }
  static constexpr int extra[] = {0, 4, 2, 2, 2, 2, 2};
  return extra[static_cast<int>(style) % 7];
}

bool EditShowsShadow(TcxCustomEditViewData* viewData) { return viewData->ShadowWanted(); }

bool HasItemsWhen(TCollection* owner, bool flag) { return flag && owner && owner->Count() > 0; }

TColor HotLightColor() { return HotLightAvailable ? static_cast<TColor>(GetSysColor(COLOR_HOTLIGHT)) : clBlue; }

TColor ButtonHighlightColor(bool office) {
  return office ? TcxOffice11LookAndFeelPainter::Instance.FrameHighlightColor() : clHighlight;
}

TColor FlatButtonColor(bool hot, bool office) {
  const TcxButtonState state = hot ? cxbsHot : cxbsPressed;
  return office ? TcxOffice11LookAndFeelPainter::Instance.ButtonFillColor(state)
                : TcxUltraFlatLookAndFeelPainter::Instance.ButtonFillColor(state);
}

void SelectLogFont(TcxCanvas* canvas, const LOGFONTA& font) { canvas->GetFont()->SetHandle(CreateFontIndirectA(&font)); }

void ReadLogFont(TcxCanvas* canvas, LOGFONTA& font) { font = canvas->GetFont()->LogFont(); }

void DetectHotLightColor() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&info);
#pragma GCC diagnostic pop
  HotLightAvailable = (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && info.dwMinorVersion != 0) ||
                      (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5);
}

// -- An edit's border and background ------------------------------------------------------

void PaintEditBackground(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, bool fillAll, int option) {
  (void)option;
  TcxBrushCachePaintScope scope;
  const bool excludeButtons = viewInfo->ButtonCount() > 0 && !viewInfo->Button(0).ThemePartTransparent;
  canvas->PushSavedDC();
  if (excludeButtons)
    for (int i = 0; i < viewInfo->ButtonCount(); ++i) canvas->ExcludeRectFromClip(viewInfo->Button(i).VisibleRect);
  bool done = false;
  if (viewInfo->InPlace && viewInfo->DrawBackgroundEvent) viewInfo->DrawBackgroundEvent(viewInfo, canvas, done);
  if (!done) {
    if (viewInfo->NativeStyle) {
      viewInfo->DrawNativeFrame(canvas, fillAll, viewInfo->BackgroundColor, 0);
    } else {
      // Border: grown back out from the content rectangle.
      const int w = BorderWidthOfStyle(static_cast<int>(viewInfo->EditBorderStyle));
      RECT r = viewInfo->BorderRect;
      const TcxBorders edges = viewInfo->Edges;
      r.left -= edges.Contains(bLeft) ? w : 0;
      r.top -= edges.Contains(bTop) ? w : 0;
      r.right += edges.Contains(bRight) ? w : 0;
      r.bottom += edges.Contains(bBottom) ? w : 0;
      if (viewInfo->Shadow) DrawBoxShadow(canvas, r);
      if (w > 0) {
        switch (viewInfo->EditBorderStyle) {
          case ebsSingle:
          case ebsThick: canvas->DrawSideFrame(r, viewInfo->BorderColor, w, edges); break;
          case ebsFlat: {
            canvas->Draw3DEdge(r, true, true, edges);  // shadow and highlight
            RECT inner = r;
            InflateRect(&inner, -1, -1);
            canvas->DrawSideFrame(inner, clBtnFace, 1, edges);
            break;
          }
          case ebs3D: {
            canvas->Draw3DEdge(r, true, true, edges);  // shadow and highlight
            RECT inner = r;
            InflateRect(&inner, -1, -1);
            canvas->DrawTwoToneFrame(inner, cl3DDkShadow, cl3DLight, edges, 1);
            break;
          }
          default: break;
        }
      }
      if (!viewInfo->NoBackground) {
        HBRUSH brush = SolidBrushForCxCanvas(canvas, viewInfo->BackgroundColor);
        if (viewInfo->InPlace) {
          if (fillAll)
            FillRectWithBrush(canvas->GetDeviceContext(), viewInfo->Bounds, brush);
          else if (viewInfo->InnerEditPresent)
            FillRectAround(canvas, viewInfo->Bounds, viewInfo->ClientRect, brush);
        } else if (fillAll) {
          FillRectWithBrush(canvas->GetDeviceContext(), viewInfo->BorderRect, brush);
        }
      }
    }
  }
  canvas->PopSavedDC();
  viewInfo->PaintingButtons = true;
  for (int i = 0; i < viewInfo->ButtonCount(); ++i) viewInfo->DrawButtonClipped(canvas, i);
  viewInfo->PaintingButtons = false;
}

TBitmap* OwnedGlyph(std::unique_ptr<TBitmap>& glyph, const TNotifyEvent& onChange) {
  if (!glyph) {
    glyph = std::make_unique<TBitmap>();
    glyph->OnChange = onChange;
  }
  return glyph.get();
}

bool AssignOwnedGlyph(std::unique_ptr<TBitmap>& glyph, TBitmap* value, const TNotifyEvent& onChange) {
  if (value) {
    OwnedGlyph(glyph, onChange)->Assign(value);
    return false;
  }
  if (!glyph) return false;
  glyph.reset();
  return true;
}
