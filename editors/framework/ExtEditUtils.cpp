#include "editors/framework/ExtEditUtils.h"

#include "platform/Win32.h"

unsigned TextFlagsFor(unsigned baseFlags, TAlignment horz, TcxTextVertAlignment vert, bool endEllipsis,
                      bool wordWrap, int tabSetting, bool drawTextMode, bool showAccel) {
  unsigned flags = baseFlags;
  if (drawTextMode) {
    if (horz == taRightJustify) flags |= DT_RIGHT;
    if (horz == taCenter) flags |= DT_CENTER;
    if (vert == tvaBottom) flags |= DT_BOTTOM;
    if (vert == tvaCenter) flags |= DT_VCENTER;
    if (endEllipsis) flags |= DT_END_ELLIPSIS;
    if (wordWrap) flags |= DT_WORDBREAK;
    if (!showAccel) flags |= DT_NOPREFIX;
    if (tabSetting > 0) flags |= DT_EXPANDTABS | DT_TABSTOP;
    return flags;
  }
  flags |= horz == taRightJustify ? cxAlignRight : horz == taCenter ? cxAlignHCenter : cxAlignLeft;
  flags |= vert == tvaBottom ? cxAlignBottom : vert == tvaCenter ? cxAlignVCenter : cxAlignTop;
  if (endEllipsis) flags |= cxShowEndEllipsis;
  if (wordWrap) flags |= cxWordBreak;
  if (showAccel) flags |= cxShowPrefix;
  if (tabSetting > 0) flags |= cxExpandTabs;
  return flags;
}

bool SelectRotatedFont(TCanvas* canvas, TFont* font, int angle) {
  canvas->SetFont(font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(canvas->Handle(), &metrics);
  const bool trueType = (metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
  if (trueType && angle % 360 != 0) {
    canvas->Font()->SetOrientation(((angle % 360 + 360) % 360) * 10);
  }
  return trueType;
}
