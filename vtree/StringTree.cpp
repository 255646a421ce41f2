// The string tree: cell texts from OnGetText, measured (the main column's
// width kept per node), shortened to their cell and painted as normal and
// static text; its hint texts, search comparison and editor. The draw tree
// leaves cells to the application.
#include "vtree/StringTree.h"

#include "vtree/StringEditLink.h"
#include "vtree/TreeDrawing.h"

#include "platform/CodePage.h"
#include "platform/Filer.h"

#include <algorithm>
#include <cstring>

const TClassInfo TCustomVirtualStringTree::ClassInfo{"TCustomVirtualStringTree", &TBaseVirtualTree::ClassInfo,
                                                     [](TObject* owner) -> TObject* {
                                                       return new TCustomVirtualStringTree(static_cast<TComponent*>(owner));
                                                     }};
const TClassInfo TVirtualStringTree::ClassInfo{"TVirtualStringTree", &TCustomVirtualStringTree::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TVirtualStringTree(static_cast<TComponent*>(owner));
                                               }};
const TClassInfo TCustomVirtualDrawTree::ClassInfo{"TCustomVirtualDrawTree", &TBaseVirtualTree::ClassInfo,
                                                   [](TObject* owner) -> TObject* {
                                                     return new TCustomVirtualDrawTree(static_cast<TComponent*>(owner));
                                                   }};

namespace {
using NS = TVirtualNodeState;
using PO = TVTPaintOption;
using SO = TVTSelectionOption;
using SOpt = TVTStringOption;

UINT AlignmentFlag(TAlignment Alignment) {
  switch (Alignment) {
    case TAlignment::taRightJustify: return DT_RIGHT;
    case TAlignment::taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

// Lets the tree hear when a handler changes a canvas's font: the font's
// change notification is replaced for the guard's life and chained.
class TCanvasFontHook {
public:
  TCanvasFontHook(TCanvas* Canvas, bool& Changed) : FFont(Canvas->Font()), FSaved(FFont->OnChange) {
    TNotifyEvent saved = FSaved;
    FFont->OnChange = TNotifyEvent::Lambda([&Changed, saved](TObject* Sender) {
      Changed = true;
      if (saved) saved(Sender);
    });
  }
  ~TCanvasFontHook() { FFont->OnChange = FSaved; }
  TCanvasFontHook(const TCanvasFontHook&) = delete;
  TCanvasFontHook& operator=(const TCanvasFontHook&) = delete;

private:
  TFont* FFont;
  TNotifyEvent FSaved;
};
}  // namespace

// --- construction ---------------------------------------------------------------------------------

TCustomVirtualStringTree::TCustomVirtualStringTree(TComponent* AOwner)
    : TCustomVirtualStringTree(AOwner, &TCustomStringTreeOptions::ClassInfo) {}

TCustomVirtualStringTree::TCustomVirtualStringTree(TComponent* AOwner, TClass AOptionsClass)
    : TBaseVirtualTree(AOwner, AOptionsClass) {
  FInternalDataOffset = ReserveInternalData(sizeof(int32_t));
  FontChanged();
}

TClass TCustomVirtualStringTree::OptionsClass() const { return &TCustomStringTreeOptions::ClassInfo; }

TVirtualStringTree::TVirtualStringTree(TComponent* AOwner) : TCustomVirtualStringTree(AOwner, &TStringTreeOptions::ClassInfo) {}

TClass TVirtualStringTree::OptionsClass() const { return &TStringTreeOptions::ClassInfo; }

void TCustomVirtualStringTree::SetDefaultText(const std::wstring& Value) {
  if (FDefaultText == Value) return;
  FDefaultText = Value;
  if (!IsLoading() && HandleAllocated()) Invalidate();
}

// --- the width cache -------------------------------------------------------------------------------

int32_t& TCustomVirtualStringTree::CachedWidth(PVirtualNode Node) const {
  return *reinterpret_cast<int32_t*>(reinterpret_cast<unsigned char*>(Node) + FInternalDataOffset);
}

int32_t TCustomVirtualStringTree::CachedTextWidth(PVirtualNode Node) const {
  return Node && Node != RootNode() ? CachedWidth(Node) : 0;
}

void TCustomVirtualStringTree::ResetCachedWidths() {
  for (PVirtualNode run = FirstNodeRaw(false); run; run = NextNodeRaw(run, false)) CachedWidth(run) = 0;
}

// The font is measured on a memory device context, so a tree without a
// window knows its text height too.
void TCustomVirtualStringTree::FontChanged() {
  TMemoryDC dc;
  TSelectObjectGuard font(dc.Get(), Font()->Handle());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.Get(), &metrics);
  FTextHeight = metrics.tmHeight;
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), L"...", 3, &size);
  FEllipsisWidth = size.cx;
  ResetCachedWidths();
}

void TCustomVirtualStringTree::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFONT:
    case CM_FONTCHANGED:
      TBaseVirtualTree::Dispatch(Message);
      FontChanged();
      return;
    default:
      break;
  }
  TBaseVirtualTree::Dispatch(Message);
}

RECT TCustomVirtualStringTree::InvalidateNode(PVirtualNode Node) {
  if (Node && Node != RootNode()) {
    CachedWidth(Node) = 0;
    Node->StateBits.Exclude(NS::nsHeightMeasured);
  }
  return TBaseVirtualTree::InvalidateNode(Node);
}

void TCustomVirtualStringTree::ReinitNode(PVirtualNode Node) {
  CachedWidth(Node) = 0;
  TBaseVirtualTree::ReinitNode(Node);
}

void TCustomVirtualStringTree::MainColumnChanged() {
  ResetCachedWidths();
  TBaseVirtualTree::MainColumnChanged();
}

// --- texts -----------------------------------------------------------------------------------------

void TCustomVirtualStringTree::FireGetText(PVirtualNode Node, TColumnIndex Column, TVSTTextType TextType,
                                           std::wstring& Text) {
  FireEvent(OnGetText, this, Node, Column, TextType, Text);
}

std::wstring TCustomVirtualStringTree::TextOfCell(PVirtualNode Node, TColumnIndex Column) {
  MevraAssert(Node != nullptr, "Node must not be nil.");
  InitNode(Node);
  std::wstring text = FDefaultText;
  FireGetText(Node, Column, TVSTTextType::ttNormal, text);
  return text;
}

void TCustomVirtualStringTree::FireNewText(PVirtualNode Node, TColumnIndex Column, const std::wstring& Text) {
  FireEvent(OnNewText, this, Node, Column, Text);
  if (UpdateCount() == 0) UpdateHorizontalScrollBar(true);
}

void TCustomVirtualStringTree::SetTextOfCell(PVirtualNode Node, TColumnIndex Column, const std::wstring& Text) {
  FireNewText(Node, Column, Text);
  InvalidateNode(Node);
}

std::string TCustomVirtualStringTree::NodeTextForQuery(PVirtualNode Node) {
  return Utf16ToAnsi(TextOfCell(Node, Header()->MainColumn()));
}

bool TCustomVirtualStringTree::CellIsEmpty(PVirtualNode Node, TColumnIndex Column) {
  if (!TextOfCell(Node, Column).empty()) return false;
  return TBaseVirtualTree::CellIsEmpty(Node, Column);
}

// --- measuring -------------------------------------------------------------------------------------

TCanvas* TCustomVirtualStringTree::MeasuringCanvas(TCanvas* Given) {
  if (Given) return Given;
  if (HandleAllocated()) return Canvas();
  if (!FMeasureDC) {
    FMeasureDC = std::make_unique<TMemoryDC>();
    FMeasureCanvas.SetHandle(FMeasureDC->Get());
  }
  return &FMeasureCanvas;
}

TCustomVirtualStringTree::~TCustomVirtualStringTree() { FMeasureCanvas.SetHandle(nullptr); }

void TCustomVirtualStringTree::FirePaintText(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                             TVSTTextType TextType) {
  FireEvent(OnPaintText, this, Canvas, Node, Column, TextType);
}

int32_t TCustomVirtualStringTree::TextWidthOf(TCanvas* Canvas, PVirtualNode Node, const std::wstring& Text,
                                              TColumnIndex Column) {
  HDC dc = Canvas->Handle();
  SIZE size{};
  GetTextExtentPoint32W(dc, Text.c_str(), static_cast<int>(Text.size()), &size);
  int32_t width = size.cx;
  if (Node->StateBits.Contains(NS::nsMultiline)) {
    TVirtualTreeColumns* columns = Header()->Columns();
    const bool column = columns->IsColumnIndex(Column);
    const TAlignment alignment = column ? columns->Items(Column)->Alignment() : Alignment();
    const bool rightToLeft = column ? columns->Items(Column)->ReadsRightToLeft() : UseRightToLeftAlignment();
    RECT r{0, 0, width, 0};
    DrawTextW(dc, Text.c_str(), static_cast<int>(Text.size()), &r,
              DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS | AlignmentFlag(alignment) |
                  (rightToLeft ? DT_RTLREADING : 0));
    width = r.right - r.left;
  }
  FireEvent(OnMeasureTextWidth, this, Canvas, Node, Column, Text, width);
  return width;
}

int32_t TCustomVirtualStringTree::MeasureCellText(TCanvas* Canvas, PVirtualNode Node, const std::wstring& Text,
                                                  TColumnIndex Column) {
  if (Text.empty()) return 2 * TextMargin();
  Canvas = MeasuringCanvas(Canvas);
  Canvas->Font()->Assign(Font());
  FirePaintText(Canvas, Node, Column, TVSTTextType::ttNormal);
  return 2 * TextMargin() + TextWidthOf(Canvas, Node, Text, Column);
}

int32_t TCustomVirtualStringTree::NodeContentWidth(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas) {
  if (!Node || Node == RootNode()) return 0;
  TVirtualTreeColumns* columns = Header()->Columns();
  if (Node->StateBits.Contains(NS::nsMultiline) && columns->IsColumnIndex(Column)) return columns->Items(Column)->Width();
  if (Column != Header()->MainColumn()) return MeasureCellText(Canvas, Node, TextOfCell(Node, Column), Column);
  int32_t& cached = CachedWidth(Node);
  if (cached == 0) cached = MeasureCellText(Canvas, Node, TextOfCell(Node, Column), Column);
  return cached;
}

int32_t TCustomVirtualStringTree::MeasureTextHeight(TCanvas* Canvas, PVirtualNode Node, const std::wstring& Text,
                                                    TColumnIndex Column) {
  Canvas = MeasuringCanvas(Canvas);
  const std::wstring text = Text.empty() ? TextOfCell(Node, Column) : Text;
  TVirtualTreeColumns* columns = Header()->Columns();
  int32_t left = TextMargin() + Margin();
  if (Column == Header()->MainColumn()) {
    if (TreeOptions()->PaintOptions().Contains(PO::toFixedIndent)) left += static_cast<int32_t>(Indent());
    else left += static_cast<int32_t>(NodeLevel(Node) * Indent());
  }
  int32_t cellLeft = 0, cellRight = columns->IsColumnIndex(Column) ? columns->Items(Column)->Width() : ClientWidth();
  SpanCell(Node, Column, cellLeft, cellRight, false);
  const int32_t right = cellRight - TextMargin();
  RECT r{left, 0, right, 0};
  UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK;
  if (UseRightToLeftAlignment()) flags |= DT_RTLREADING | DT_RIGHT;
  DrawTextW(Canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
  return r.bottom - r.top;
}

// --- painting --------------------------------------------------------------------------------------

void TCustomVirtualStringTree::FireDrawText(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                            const std::wstring& Text, RECT CellRect, UINT DrawFormat) {
  bool defaultDraw = true;
  FireEvent(OnDrawText, this, Canvas, Node, Column, Text, CellRect, defaultDraw);
  if (!defaultDraw) return;
  if (IsWinNT())
    DrawTextW(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &CellRect, DrawFormat);
  else
    DrawTextWithoutDrawTextW(Canvas->Handle(), Text, CellRect, DrawFormat, (DrawFormat & DT_RTLREADING) != 0);
}

std::wstring TCustomVirtualStringTree::FireShortenString(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                                         const std::wstring& S, int32_t Width) {
  std::wstring result;
  bool done = false;
  FireEvent(OnShortenString, this, Canvas, Node, Column, S, Width, result, done);
  if (done) return result;
  return ShortenString(Canvas->Handle(), S, Width, FEllipsisWidth);
}

// Selected text is light on the selection while the tree has the focus (or
// shows as a popup); the drop target counts as selected.
bool TCustomVirtualStringTree::ShowsSelectedText(PVirtualNode Node) {
  const bool selected = Node->StateBits.Contains(NS::nsSelected) ||
                        (Node == DropTargetNode() && LastDropMode() == TVTDropMode::dmOnNode &&
                         TreeOptions()->PaintOptions().Contains(PO::toShowDropmark));
  return selected && (Focused() || TreeOptions()->PaintOptions().Contains(PO::toPopupMode));
}

void TCustomVirtualStringTree::PaintNormalText(TVTPaintInfo& PaintInfo, int32_t TextOutFlags, std::wstring Text) {
  TCanvas* canvas = PaintInfo.Canvas;
  PVirtualNode node = PaintInfo.Node;
  const TVTPaintOptions paint = TreeOptions()->PaintOptions();
  canvas->Font()->Assign(Font());
  if (paint.Contains(PO::toHotTrack) && node == HotNode()) {
    const bool explorer = paint.Contains(PO::toUseExplorerTheme) && IsWinVistaOrAbove() &&
                          TreeStates().Contains(TVirtualTreeState::tsUseThemes);
    if (!explorer) canvas->Font()->SetStyle(canvas->Font()->Style() + fsUnderline);
    canvas->Font()->SetColor(Colors()->HotColor());
  }
  const bool inColumn = PaintInfo.Column == FocusedColumn() ||
                        TreeOptions()->SelectionOptions().Contains(SO::toFullRowSelect);
  if (inColumn && ShowsSelectedText(node)) canvas->Font()->SetColor(clHighlightText);
  canvas->SetTextFlags(0);
  RECT r = PaintInfo.ContentRect;
  InflateRect(&r, -TextMargin(), 0);
  UINT format;
  FFontChanged = false;
  if (node->StateBits.Contains(NS::nsMultiline)) {
    FirePaintText(canvas, node, PaintInfo.Column, TVSTTextType::ttNormal);
    format = AlignmentFlag(PaintInfo.Alignment) | DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS;
  } else {
    FirePaintText(canvas, node, PaintInfo.Column, TVSTTextType::ttNormal);
    int32_t nodeWidth = PaintInfo.NodeWidth;
    if (FFontChanged) nodeWidth = 2 * TextMargin() + TextWidthOf(canvas, node, Text, PaintInfo.Column);
    format = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
    if (Header()->Columns()->Count() == 0) {
      format |= AlignmentFlag(PaintInfo.Alignment);
    } else if (r.right - r.left < nodeWidth - 2 * TextMargin()) {
      Text = FireShortenString(canvas, node, PaintInfo.Column, Text, r.right - r.left);
      if (PaintInfo.Alignment == TAlignment::taRightJustify) format |= DT_RIGHT;
    } else {
      format |= AlignmentFlag(PaintInfo.Alignment);
    }
  }
  if (TextOutFlags & ETO_RTLREADING) format |= DT_RTLREADING;
  SetBkMode(canvas->Handle(), (canvas->TextFlags() & ETO_OPAQUE) ? OPAQUE : TRANSPARENT);
  FireDrawText(canvas, node, PaintInfo.Column, Text, r, format);
}

void TCustomVirtualStringTree::PaintStaticText(const TVTPaintInfo& PaintInfo, int32_t TextOutFlags,
                                               const std::wstring& Text) {
  TCanvas* canvas = PaintInfo.Canvas;
  PVirtualNode node = PaintInfo.Node;
  canvas->Font()->Assign(Font());
  if (TreeOptions()->SelectionOptions().Contains(SO::toFullRowSelect) &&
      (node->StateBits.Contains(NS::nsSelected) || node == DropTargetNode()))
    canvas->Font()->SetColor(ShowsSelectedText(node) ? clHighlightText : Font()->Color());
  FirePaintText(canvas, node, PaintInfo.Column, TVSTTextType::ttStatic);
  if (node->StateBits.Contains(NS::nsDisabled) || !Enabled()) canvas->Font()->SetColor(Colors()->DisabledColor());
  RECT r = PaintInfo.ContentRect;
  if (PaintInfo.Alignment == TAlignment::taRightJustify) r.right -= PaintInfo.NodeWidth;
  else r.left += PaintInfo.NodeWidth;
  UINT format = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_LEFT;
  if (TextOutFlags & ETO_RTLREADING) format |= DT_RTLREADING;
  SetBkMode(canvas->Handle(), TRANSPARENT);
  if (IsWinNT()) DrawTextW(canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &r, format);
  else DrawTextWithoutDrawTextW(canvas->Handle(), Text, r, format, (format & DT_RTLREADING) != 0);
}

void TCustomVirtualStringTree::RenderNodeContent(TVTPaintInfo& PaintInfo) {
  TCanvasFontHook hook(PaintInfo.Canvas, FFontChanged);
  const int32_t flags = PaintInfo.BidiMode != TBiDiMode::bdLeftToRight ? ETO_RTLREADING : 0;
  const std::wstring text = TextOfCell(PaintInfo.Node, PaintInfo.Column);
  if (!text.empty()) PaintNormalText(PaintInfo, flags, text);
  if (static_cast<TCustomStringTreeOptions*>(TreeOptions())->StringOptions().Contains(SOpt::toShowStaticText) &&
      PaintInfo.Alignment != TAlignment::taCenter && !PaintInfo.Node->StateBits.Contains(NS::nsMultiline)) {
    std::wstring staticText;
    FireGetText(PaintInfo.Node, PaintInfo.Column, TVSTTextType::ttStatic, staticText);
    if (!staticText.empty()) PaintStaticText(PaintInfo, flags, staticText);
  }
}

// --- what other parts of the tree ask ---------------------------------------------------------------

void TCustomVirtualStringTree::GetCellTextInfo(PVirtualNode Node, TColumnIndex Column, TFont* Font, RECT& R,
                                               std::wstring& Text) {
  Font->Assign(this->Font());
  TCanvas* canvas = MeasuringCanvas(nullptr);
  canvas->Font()->Assign(this->Font());
  int32_t textHeight = FTextHeight;
  {
    FFontChanged = false;
    TCanvasFontHook hook(canvas, FFontChanged);
    FirePaintText(canvas, Node, Column, TVSTTextType::ttNormal);
  }
  if (FFontChanged) {
    Font->Assign(canvas->Font());
    TEXTMETRICW metrics{};
    GetTextMetricsW(canvas->Handle(), &metrics);
    textHeight = metrics.tmHeight;
  }
  Text = TextOfCell(Node, Column);
  R = NodeDisplayRect(Node, Column, true, true);
  if (TreeOptions()->PaintOptions().Contains(PO::toShowHorzGridLines)) --R.bottom;
  const int32_t change = (textHeight - (R.bottom - R.top)) / 2;
  R.top -= change;
  R.bottom = R.top + textHeight;
}

std::wstring TCustomVirtualStringTree::DefaultHintText(PVirtualNode Node, TColumnIndex Column,
                                                       TVTTooltipLineBreakStyle& LineBreakStyle) {
  std::wstring text = TBaseVirtualTree::DefaultHintText(Node, Column, LineBreakStyle);
  FireEvent(OnGetHint, this, Node, Column, LineBreakStyle, text);
  return text;
}

std::wstring TCustomVirtualStringTree::DefaultTooltipText(PVirtualNode Node, TColumnIndex Column,
                                                          TVTTooltipLineBreakStyle& LineBreakStyle) {
  std::wstring text = TBaseVirtualTree::DefaultTooltipText(Node, Column, LineBreakStyle);
  if (OnGetHint) OnGetHint(this, Node, Column, LineBreakStyle, text);
  else if (Node) text = TextOfCell(Node, Column);
  return text;
}

int32_t TCustomVirtualStringTree::FireIncrementalSearch(PVirtualNode Node, const std::wstring& Text) {
  if (OnIncrementalSearch) return TBaseVirtualTree::FireIncrementalSearch(Node, Text);
  const std::wstring cell = TextOfCell(Node, FocusedColumn());
  return cell.compare(0, Text.size(), Text) == 0 && cell.size() >= Text.size() ? 0 : 1;
}

TComPtr<IVTEditLink> TCustomVirtualStringTree::FireCreateEditor(PVirtualNode Node, TColumnIndex Column) {
  IVTEditLink* link = nullptr;
  FireEvent(OnCreateEditor, this, Node, Column, link);
  if (!link) link = new TStringEditLink();
  return TComPtr<IVTEditLink>(link);
}

// --- form data ---------------------------------------------------------------------------------------

void TCustomVirtualStringTree::ReadLegacyStringOptions(TReader* Reader) {
  TVTStringOptions options = static_cast<TCustomStringTreeOptions*>(TreeOptions())->StringOptions();
  for (const AnsiString& name : Reader->ReadSet()) {
    if (name == "soSaveCaptions") options.Include(SOpt::toSaveCaptions);
    else if (name == "soShowStaticText") options.Include(SOpt::toShowStaticText);
  }
  static_cast<TCustomStringTreeOptions*>(TreeOptions())->SetStringOptions(options);
}

// DefaultText travels as "WideDefaultText" while it differs from "Node";
// forms of earlier versions held "StringOptions" on the tree itself.
void TCustomVirtualStringTree::DefineProperties(TFiler* Filer) {
  TBaseVirtualTree::DefineProperties(Filer);
  Filer->DefineProperty(
      "WideDefaultText", TReaderProc::Lambda([this](TReader* Reader) { SetDefaultText(Reader->ReadWideString()); }),
      TWriterProc::Lambda([this](TWriter* Writer) { Writer->WriteWideString(FDefaultText); }), FDefaultText != L"Node");
  Filer->DefineProperty("StringOptions",
                        TReaderProc::Lambda([this](TReader* Reader) { ReadLegacyStringOptions(Reader); }), TWriterProc{},
                        false);
}

// --- the draw tree -----------------------------------------------------------------------------------

TCustomVirtualDrawTree::TCustomVirtualDrawTree(TComponent* AOwner) : TBaseVirtualTree(AOwner) {}

int32_t TCustomVirtualDrawTree::NodeContentWidth(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas) {
  int32_t width = 2 * TextMargin();
  if (!Canvas && HandleAllocated()) Canvas = this->Canvas();
  FireEvent(OnGetNodeWidth, this, Canvas, Node, Column, width);
  return width;
}

void TCustomVirtualDrawTree::RenderNodeContent(TVTPaintInfo& PaintInfo) { FireEvent(OnDrawNode, this, PaintInfo); }

RECT TCustomVirtualDrawTree::HintSize(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas) {
  (void)Canvas;
  RECT r{0, 0, 0, 0};
  FireEvent(OnGetHintSize, this, Node, Column, r);
  return r;
}

void TCustomVirtualDrawTree::DrawHint(TCanvas* Canvas, PVirtualNode Node, RECT R, TColumnIndex Column) {
  if (!Canvas && HandleAllocated()) Canvas = this->Canvas();
  FireEvent(OnDrawHint, this, Canvas, Node, R, Column);
}
