// The trees that show something in their cells: the string tree, whose text
// the application supplies through events (measured, shortened and painted
// by the tree, edited in place), and the draw tree, whose cells the
// application paints itself.
#pragma once

#include "vtree/VirtualTree.h"

#include <memory>
#include <string>

class TFiler;
class TReader;
class TVTEdit;

enum class TVSTTextType { ttNormal, ttStatic };

class TCustomVirtualStringTree;

// Text exports: which nodes they visit (in tree order), the kind of export
// their events are told, and the events.
enum class TVSTTextSourceType { tstAll, tstInitialized, tstSelected, tstCutCopySet, tstVisible };
enum class TVTExportType { etRTF, etHTML, etText, etExcel, etWord, etCustom };
using TVTNodeExportEvent = TEvent<bool(TBaseVirtualTree* Sender, TVTExportType ExportType, PVirtualNode Node)>;
using TVTNodeExportedEvent = TEvent<void(TBaseVirtualTree* Sender, TVTExportType ExportType, PVirtualNode Node)>;
using TVTColumnExportEvent = TEvent<void(TBaseVirtualTree* Sender, TVTExportType ExportType, TVirtualTreeColumn* Column)>;
using TVTHeaderExportEvent = TEvent<void(TBaseVirtualTree* Sender, TVTExportType ExportType)>;

using TVSTGetTextEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                     TVSTTextType TextType, std::wstring& CellText)>;
using TVSTNewTextEvent =
    TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, const std::wstring& NewText)>;
using TVTPaintText = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                 TColumnIndex Column, TVSTTextType TextType)>;
using TVSTGetHintEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                     TVTTooltipLineBreakStyle& LineBreakStyle, std::wstring& HintText)>;
using TVSTShortenStringEvent =
    TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node, TColumnIndex Column,
                const std::wstring& S, int32_t TextSpace, std::wstring& Result, bool& Done)>;
using TVTMeasureTextEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                        TColumnIndex Column, const std::wstring& Text, int32_t& Width)>;
using TVTDrawTextEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                     TColumnIndex Column, const std::wstring& Text, RECT CellRect, bool& DefaultDraw)>;

// A tree whose cells show wide text from OnGetText. The width of each
// node's main-column text is measured once and kept in the node (its
// internal data) until the node, the font or the main column changes.
class TCustomVirtualStringTree : public TBaseVirtualTree {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCustomVirtualStringTree(TComponent* AOwner = nullptr);
  ~TCustomVirtualStringTree() override;

  // The text shown for a node that OnGetText leaves alone ("Node").
  const std::wstring& DefaultText() const { return FDefaultText; }
  void SetDefaultText(const std::wstring& Value);
  TCustomStringTreeOptions* TreeOptions() const { return static_cast<TCustomStringTreeOptions*>(TBaseVirtualTree::TreeOptions()); }
  void SetTreeOptions(TCustomStringTreeOptions* Value) { TBaseVirtualTree::SetTreeOptions(Value); }

  // The normal text of a cell (the node initialised first).
  std::wstring TextOfCell(PVirtualNode Node, TColumnIndex Column);
  // Hands a new text to OnNewText and repaints the node.
  void SetTextOfCell(PVirtualNode Node, TColumnIndex Column, const std::wstring& Text);
  // The main-column text's measured width with both text margins; 0 while
  // not measured.
  int32_t CachedTextWidth(PVirtualNode Node) const;
  // The cell's text, its rectangle (the text's height, centred in the row)
  // and its font, as an editor shows it.
  void GetCellTextInfo(PVirtualNode Node, TColumnIndex Column, TFont* Font, RECT& R, std::wstring& Text) override;
  // tmHeight of the tree font and the width of "..." in it.
  int32_t TextHeight() const { return FTextHeight; }
  int32_t EllipsisWidth() const { return FEllipsisWidth; }

  RECT InvalidateNode(PVirtualNode Node) override;
  std::wstring DefaultHintText(PVirtualNode Node, TColumnIndex Column, TVTTooltipLineBreakStyle& LineBreakStyle) override;
  std::wstring DefaultTooltipText(PVirtualNode Node, TColumnIndex Column,
                                  TVTTooltipLineBreakStyle& LineBreakStyle) override;
  void MainColumnChanged() override;
  void DefineProperties(TFiler* Filer) override;

  // Exports of the nodes of a source: UTF-8 HTML (a table), an RTF document,
  // 8-bit and UTF-16 text (one line per node, fields joined by Separator),
  // each format a data object may ask for (with its terminator), and the
  // CF_HTML block around an HTML text.
  std::string HTMLOfContent(TVSTTextSourceType Source, const std::wstring& Caption = {});
  std::string RTFOfContent(TVSTTextSourceType Source);
  AnsiString TextOfContent(TVSTTextSourceType Source, const AnsiString& Separator);
  std::wstring UnicodeTextOfContent(TVSTTextSourceType Source, const std::wstring& Separator);
  std::string RenderTextFormat(CLIPFORMAT Format, TVSTTextSourceType Source);
  static std::string WrapTreeCFHTML(const std::string& HTML);
  HRESULT RenderOLEData(const FORMATETC& Format, STGMEDIUM& Medium, bool ForClipboard) override;
  TVTNodeExportEvent OnBeforeNodeExport;
  TVTNodeExportedEvent OnAfterNodeExport;
  TVTColumnExportEvent OnBeforeColumnExport;
  TVTColumnExportEvent OnAfterColumnExport;
  TVTHeaderExportEvent OnBeforeHeaderExport;
  TVTHeaderExportEvent OnAfterHeaderExport;

  TVSTGetTextEvent OnGetText;
  TVSTNewTextEvent OnNewText;
  TVTPaintText OnPaintText;
  TVSTGetHintEvent OnGetHint;
  TVSTShortenStringEvent OnShortenString;
  TVTMeasureTextEvent OnMeasureTextWidth;
  TVTDrawTextEvent OnDrawText;

protected:
  TCustomVirtualStringTree(TComponent* AOwner, TClass AOptionsClass);

  // Width of Text in the cell (2 x TextMargin for an empty text).
  virtual int32_t MeasureCellText(TCanvas* Canvas, PVirtualNode Node, const std::wstring& Text, TColumnIndex Column);
  virtual void FireGetText(PVirtualNode Node, TColumnIndex Column, TVSTTextType TextType, std::wstring& Text);
  virtual void FireNewText(PVirtualNode Node, TColumnIndex Column, const std::wstring& Text);
  virtual void FirePaintText(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column, TVSTTextType TextType);
  virtual std::wstring FireShortenString(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                         const std::wstring& S, int32_t Width);
  virtual void FireDrawText(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column, const std::wstring& Text,
                            RECT CellRect, UINT DrawFormat);
  // The text's width in the canvas font (OnMeasureTextWidth has the last word).
  virtual int32_t TextWidthOf(TCanvas* Canvas, PVirtualNode Node, const std::wstring& Text, TColumnIndex Column);
  // The height the text takes wrapped in the cell's width.
  virtual int32_t MeasureTextHeight(TCanvas* Canvas, PVirtualNode Node, const std::wstring& Text, TColumnIndex Column);

  TClass OptionsClass() const override;
  int32_t NodeContentWidth(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas) override;
  void RenderNodeContent(TVTPaintInfo& PaintInfo) override;
  bool CellIsEmpty(PVirtualNode Node, TColumnIndex Column) override;
  TComPtr<IVTEditLink> FireCreateEditor(PVirtualNode Node, TColumnIndex Column) override;
  int32_t FireIncrementalSearch(PVirtualNode Node, const std::wstring& Text) override;
  void ReinitNode(PVirtualNode Node) override;
  std::string NodeTextForQuery(PVirtualNode Node) override;
  void Dispatch(TMessage& Message) override;
  // The tree stream's caption chunk: the main column's text of initialised
  // nodes with toSaveCaptions, applied through SetTextOfCell when read.
  void WriteNode(TStream* Stream, PVirtualNode Node) override;
  bool ReadChunk(TStream* Stream, int Version, PVirtualNode Node, int32_t ChunkType, int32_t ChunkSize) override;

private:
  // The given canvas, else the tree's (a memory one without a window).
  TCanvas* MeasuringCanvas(TCanvas* Given);
  bool ShowsSelectedText(PVirtualNode Node);
  void PaintNormalText(TVTPaintInfo& PaintInfo, int32_t TextOutFlags, std::wstring Text);
  void PaintStaticText(const TVTPaintInfo& PaintInfo, int32_t TextOutFlags, const std::wstring& Text);
  // Measures the font anew and forgets every cached width.
  void FontChanged();
  void ResetCachedWidths();
  int32_t& CachedWidth(PVirtualNode Node) const;
  void ReadLegacyStringOptions(TReader* Reader);
  // The export's nodes, their largest level, and the export events.
  TNodeArray ExportNodes(TVSTTextSourceType Source, bool UseExportMode);
  bool FireBeforeNodeExport(TVTExportType Type, PVirtualNode Node);
  void FireAfterNodeExport(TVTExportType Type, PVirtualNode Node);
  void FireColumnExport(bool Before, TVTExportType Type, TColumnIndex Column);
  void FireHeaderExport(bool Before, TVTExportType Type);

  int32_t FTextHeight = 0;
  int32_t FEllipsisWidth = 0;
  int32_t FInternalDataOffset = 0;  // CachedTextWidth's place in each node
  std::wstring FDefaultText = L"Node";
  bool FFontChanged = false;  // a handler changed the canvas font while painting
  std::unique_ptr<TMemoryDC> FMeasureDC;
  TCanvas FMeasureCanvas;
};

// The string tree as forms place it.
class TVirtualStringTree : public TCustomVirtualStringTree {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TVirtualStringTree(TComponent* AOwner = nullptr);
  TStringTreeOptions* TreeOptions() const { return static_cast<TStringTreeOptions*>(TBaseVirtualTree::TreeOptions()); }
  void SetTreeOptions(TStringTreeOptions* Value) { TBaseVirtualTree::SetTreeOptions(Value); }

protected:
  TClass OptionsClass() const override;
};

using TVTDrawNodeEvent = TEvent<void(TBaseVirtualTree* Sender, const TVTPaintInfo& PaintInfo)>;
using TVTGetNodeWidthEvent =
    TEvent<void(TBaseVirtualTree* Sender, TCanvas* HintCanvas, PVirtualNode Node, TColumnIndex Column, int32_t& NodeWidth)>;
using TVTGetHintSizeEvent =
    TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, RECT& R)>;
using TVTDrawHintEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* HintCanvas, PVirtualNode Node, RECT R,
                                     TColumnIndex Column)>;

// A tree whose cells the application draws (OnDrawNode) and measures
// (OnGetNodeWidth).
class TCustomVirtualDrawTree : public TBaseVirtualTree {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCustomVirtualDrawTree(TComponent* AOwner = nullptr);

  // The hint's size for a cell (from (0, 0)) and its drawing.
  virtual RECT HintSize(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas);
  virtual void DrawHint(TCanvas* Canvas, PVirtualNode Node, RECT R, TColumnIndex Column);

  TVTDrawNodeEvent OnDrawNode;
  TVTGetNodeWidthEvent OnGetNodeWidth;
  TVTGetHintSizeEvent OnGetHintSize;
  TVTDrawHintEvent OnDrawHint;

protected:
  int32_t NodeContentWidth(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas) override;
  void RenderNodeContent(TVTPaintInfo& PaintInfo) override;
};
