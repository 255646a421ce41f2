// The string tree's text exports: HTML, RTF, 8-bit and UTF-16 text and CSV
// of a set of nodes, the CF_HTML block, and their rendering for data objects.
// Cell texts are escaped for the markup they go into, so a text can neither
// break the table nor add markup of its own.
#include "platform/CodePage.h"
#include "platform/Colors.h"
#include "platform/FormatSettings.h"
#include "platform/Screen.h"
#include "vtree/StringTree.h"
#include "vtree/VirtualTreeColumns.h"

#include <cmath>
#include <cstdio>
#include <cstring>

using NS = TVirtualNodeState;

namespace {

constexpr const char* LineEnd = "\r\n";

// UTF-16 to UTF-8: pairs become one code point, a lone surrogate is dropped.
std::string ToUtf8(const std::wstring& Text) {
  std::string out;
  for (size_t i = 0; i < Text.size(); ++i) {
    uint32_t c = static_cast<uint16_t>(Text[i]);
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < Text.size() && static_cast<uint16_t>(Text[i + 1]) >= 0xDC00 && static_cast<uint16_t>(Text[i + 1]) <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(Text[++i]) - 0xDC00);
      } else {
        continue;
      }
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      continue;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | c >> 6);
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | c >> 12);
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | c >> 18);
      out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string EscapeHTML(const std::string& Text) {
  std::string out;
  for (char c : Text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string HTMLText(const std::wstring& Text) { return EscapeHTML(ToUtf8(Text)); }

std::string ColorText(TColor Color) {
  const auto rgb = static_cast<uint32_t>(ColorToRGB(Color));
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", rgb & 0xFF, rgb >> 8 & 0xFF, rgb >> 16 & 0xFF);
  return buffer;
}

// The font of a style rule, after "{font:" and up to the colour's end.
std::string FontRuleBody(TFont* Font) {
  std::string out;
  if (Font->Style().Contains(TFontStyle::fsUnderline)) out += " underline";
  if (Font->Style().Contains(TFontStyle::fsItalic)) out += " italic";
  if (Font->Style().Contains(TFontStyle::fsBold)) out += " bold";
  out += Font->Size() < 0 ? " " + std::to_string(Font->Height()) + "px" : " " + std::to_string(Font->Size()) + "pt";
  out += " \"" + EscapeHTML(AnsiToUtf8(Font->Name())) + "\";color:" + ColorText(Font->Color()) + ";}";
  return out;
}

std::string Padding(int32_t Margin) {
  return "padding-left:" + std::to_string(Margin) + "px;padding-right:" + std::to_string(Margin) + "px;";
}

const char* AlignText(TAlignment Alignment) {
  switch (Alignment) {
    case TAlignment::taRightJustify: return " align=right";
    case TAlignment::taCenter: return " align=center";
    default: return " align=left";
  }
}

TAlignment Mirrored(TAlignment Alignment, bool RightToLeft) {
  if (!RightToLeft) return Alignment;
  if (Alignment == TAlignment::taLeftJustify) return TAlignment::taRightJustify;
  if (Alignment == TAlignment::taRightJustify) return TAlignment::taLeftJustify;
  return Alignment;
}

struct TFontKey {
  AnsiString Name;
  int Size;
  TFontStyles Style;
  TColor Color;
  bool operator==(const TFontKey& o) const { return Name == o.Name && Size == o.Size && Style == o.Style && Color == o.Color; }
};
TFontKey KeyOf(TFont* Font) { return {Font->Name(), Font->Size(), Font->Style(), Font->Color()}; }

// The RTF document's font and colour tables and the state of the text.
class TRTFWriter {
public:
  std::string Body;

  void Text(const std::wstring& Text, TFont* Font) {
    if (Text.empty()) return;
    const bool underline = Font->Style().Contains(TFontStyle::fsUnderline);
    const bool italic = Font->Style().Contains(TFontStyle::fsItalic);
    const bool bold = Font->Style().Contains(TFontStyle::fsBold);
    if (underline) Body += "\\ul";
    if (italic) Body += "\\i";
    if (bold) Body += "\\b";
    int font = IndexOf(FFonts, Font->Name());
    if (font != FLastFont) Body += "\\f" + std::to_string(FLastFont = font);
    const TColor color = ColorToRGB(Font->Color());
    int colorIndex = IndexOf(FColors, color);
    if (colorIndex != FLastColor) Body += "\\cf" + std::to_string((FLastColor = colorIndex) + 1);
    if (Font->Size() != FLastSize) Body += "\\fs" + std::to_string(2 * (FLastSize = Font->Size()));
    Body += ' ';
    for (wchar_t c : Text) {
      if (c == L'\n') Body += "{\\par}";
      else if (c != L'\r') Body += "\\u" + std::to_string(static_cast<int16_t>(c)) + "\\'3f";
    }
    if (underline) Body += "\\ul0";
    if (italic) Body += "\\i0";
    if (bold) Body += "\\b0";
  }

  std::string Document() const {
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl";
    for (size_t i = 0; i < FFonts.size(); ++i) out += "{\\f" + std::to_string(i) + " " + EscapedName(FFonts[i]) + ";}";
    out += "}{\\colortbl;";
    for (TColor color : FColors) {
      const auto rgb = static_cast<uint32_t>(color);
      out += "\\red" + std::to_string(rgb & 0xFF) + "\\green" + std::to_string(rgb >> 8 & 0xFF) + "\\blue" +
             std::to_string(rgb >> 16 & 0xFF) + ";";
    }
    return out + "}" + Body + "}";
  }

private:
  template <class T>
  static int IndexOf(std::vector<T>& List, const T& Value) {
    for (size_t i = 0; i < List.size(); ++i)
      if (List[i] == Value) return static_cast<int>(i);
    List.push_back(Value);
    return static_cast<int>(List.size() - 1);
  }
  // A font name cannot end its group or start a control word.
  static std::string EscapedName(const AnsiString& Name) {
    std::string out;
    for (char c : Name) {
      if (c == '\\' || c == '{' || c == '}') out += '\\';
      out += c;
    }
    return out;
  }
  std::vector<AnsiString> FFonts;
  std::vector<TColor> FColors;
  int FLastFont = -1;
  int FLastColor = -1;
  int FLastSize = -1;
};

template <class S>
S Repeat(const S& Text, uint32_t Count) {
  S out;
  for (uint32_t i = 0; i < Count; ++i) out += Text;
  return out;
}

}  // namespace

// --- nodes and events -----------------------------------------------------------------------

TNodeArray TCustomVirtualStringTree::ExportNodes(TVSTTextSourceType Source, bool UseExportMode) {
  TNodeArray nodes;
  switch (Source) {
    case TVSTTextSourceType::tstSelected: nodes = GetSortedSelection(false); break;
    case TVSTTextSourceType::tstCutCopySet: nodes = GetSortedCutCopySet(false); break;
    case TVSTTextSourceType::tstVisible:
      for (PVirtualNode run = FirstVisibleNodeRaw(nullptr, false); run; run = NextVisibleNodeRaw(run)) nodes.push_back(run);
      break;
    default:
      for (PVirtualNode run = FirstNodeRaw(false); run; run = NextNodeRaw(run))
        if (Source == TVSTTextSourceType::tstAll || run->StateBits.Contains(NS::nsInitialized)) nodes.push_back(run);
  }
  const TVTExportMode mode = TreeOptions()->ExportMode();
  if (UseExportMode && mode != TVTExportMode::emAll) {
    const TCheckState kept = mode == TVTExportMode::emChecked ? TCheckState::csCheckedNormal : TCheckState::csUncheckedNormal;
    std::erase_if(nodes, [&](PVirtualNode n) { return n->CheckState != kept; });
  }
  return nodes;
}

bool TCustomVirtualStringTree::FireBeforeNodeExport(TVTExportType Type, PVirtualNode Node) {
  return OnBeforeNodeExport ? OnBeforeNodeExport(this, Type, Node) : true;
}

void TCustomVirtualStringTree::FireAfterNodeExport(TVTExportType Type, PVirtualNode Node) {
  FireEvent(OnAfterNodeExport, this, Type, Node);
}

void TCustomVirtualStringTree::FireColumnExport(bool Before, TVTExportType Type, TColumnIndex Column) {
  TVirtualTreeColumn* column = Header()->Columns()->IsColumnIndex(Column) ? Header()->Columns()->Items(Column) : nullptr;
  FireEvent(Before ? OnBeforeColumnExport : OnAfterColumnExport, this, Type, column);
}

void TCustomVirtualStringTree::FireHeaderExport(bool Before, TVTExportType Type) {
  FireEvent(Before ? OnBeforeHeaderExport : OnAfterHeaderExport, this, Type);
}

// --- text -----------------------------------------------------------------------------------

namespace {

uint32_t MaxLevel(TBaseVirtualTree& Tree, const TNodeArray& Nodes) {
  uint32_t level = 0;
  for (PVirtualNode node : Nodes) level = std::max(level, Tree.NodeLevel(node));
  return level;
}

}  // namespace

AnsiString TCustomVirtualStringTree::TextOfContent(TVSTTextSourceType Source, const AnsiString& Separator) {
  const TNodeArray nodes = ExportNodes(Source, true);
  const std::vector<TColumnIndex> columns = Header()->Columns()->ShownColumns();
  const TColumnIndex main = Header()->MainColumn();
  const uint32_t maxLevel = MaxLevel(*this, nodes);
  AnsiString out;
  if (!columns.empty()) {
    for (size_t i = 0; i < columns.size(); ++i) {
      out += Utf16ToAnsi(Header()->Columns()->Items(columns[i])->Text());
      if (i + 1 < columns.size()) {
        if (columns[i] == main) out += Repeat(Separator, maxLevel);
        out += Separator;
      }
    }
    out += LineEnd;
  }
  for (PVirtualNode node : nodes) {
    if (!FireBeforeNodeExport(TVTExportType::etText, node)) continue;
    const uint32_t level = NodeLevel(node);
    if (columns.empty()) {
      out += Repeat(Separator, level) + Utf16ToAnsi(TextOfCell(node, NoColumn));
    } else {
      for (size_t i = 0; i < columns.size(); ++i) {
        AnsiString text = Utf16ToAnsi(TextOfCell(node, columns[i]));
        if ((!Separator.empty() && text.find(Separator) != AnsiString::npos) || text.find('"') != AnsiString::npos) {
          AnsiString quoted = "\"";
          for (char c : text) quoted += c == '"' ? AnsiString("\"\"") : AnsiString(1, c);
          text = quoted + "\"";
        }
        if (columns[i] == main) text = Repeat(Separator, level) + text + Repeat(Separator, maxLevel - level);
        out += text;
        if (i + 1 < columns.size()) out += Separator;
      }
    }
    FireAfterNodeExport(TVTExportType::etText, node);
    out += LineEnd;
  }
  return out;
}

std::wstring TCustomVirtualStringTree::UnicodeTextOfContent(TVSTTextSourceType Source, const std::wstring& Separator) {
  const TNodeArray nodes = ExportNodes(Source, false);
  const std::vector<TColumnIndex> columns = Header()->Columns()->ShownColumns();
  const TColumnIndex main = Header()->MainColumn();
  const uint32_t maxLevel = MaxLevel(*this, nodes);
  std::wstring out;
  if (!columns.empty()) {
    for (size_t i = 0; i < columns.size(); ++i) {
      out += Header()->Columns()->Items(columns[i])->Text();
      if (i + 1 < columns.size()) {
        if (columns[i] == main) out += Repeat(Separator, maxLevel);
        out += Separator;
      }
    }
    out += L"\r\n";
  }
  for (PVirtualNode node : nodes) {
    const uint32_t level = NodeLevel(node);
    if (columns.empty()) {
      out += Repeat(Separator, level) + TextOfCell(node, NoColumn);
    } else {
      for (size_t i = 0; i < columns.size(); ++i) {
        std::wstring text = TextOfCell(node, columns[i]);
        if (!Separator.empty() && text.find(Separator) != std::wstring::npos) text = L"\"" + text + L"\"";
        if (columns[i] == main) text = Repeat(Separator, level) + text + Repeat(Separator, maxLevel - level);
        out += text;
        if (i + 1 < columns.size()) out += Separator;
      }
    }
    out += L"\r\n";
  }
  return out;
}

// --- HTML ---------------------------------------------------------------------------------------

std::string TCustomVirtualStringTree::HTMLOfContent(TVSTTextSourceType Source, const std::wstring& Caption) {
  const TNodeArray nodes = ExportNodes(Source, true);
  const std::vector<TColumnIndex> columns = Header()->Columns()->ShownColumns();
  const bool hasColumns = !columns.empty();
  const TColumnIndex main = Header()->MainColumn();
  const uint32_t maxLevel = MaxLevel(*this, nodes);
  const TVTPaintOptions paint = TreeOptions()->PaintOptions();
  const bool horzGrid = paint.Contains(TVTPaintOption::toShowHorzGridLines);
  const bool vertGrid = paint.Contains(TVTPaintOption::toShowVertGridLines);
  const std::string line = LineStyle() == TVTLineStyle::lsSolid ? "solid;" : "dotted;";
  const std::string padding = Padding(Margin());
  const bool rightToLeft = UseRightToLeftReading();

  std::string out = "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><style type=\"text/css\">";
  out += LineEnd;
  out += ".default{font:" + FontRuleBody(Font()) + LineEnd;
  out += ".header{font:" + FontRuleBody(Header()->Font()) + LineEnd;
  out += horzGrid ? ".noborder{border-style:" + line + " border-bottom:1;border-left:0;border-right:0; border-top:0;"
                  : std::string(".noborder{border-style:none;");
  out += padding + "}" + LineEnd;
  out += ".normalborder {border-top:none; border-left:none; vertical-align:top;";
  out += vertGrid ? "border-right:1 " + line : std::string("border-right:none;");
  out += horzGrid ? "border-bottom:1 " + line : std::string("border-bottom:none;");
  out += padding + "}</style>" + LineEnd;
  out += "<table class=\"default\" bgcolor=" + ColorText(Color()) + " ";
  if (!Caption.empty()) out += "caption=\"" + HTMLText(Caption) + "\"";
  if (BorderStyle() != TBorderStyle::bsNone) out += " border=\"" + std::to_string(BorderWidth() + 1) + "\" frame=box";
  out += " cellspacing=\"0\" cellpadding=" + std::to_string(Margin()) + ">" + LineEnd;

  if (hasColumns) {
    FireHeaderExport(true, TVTExportType::etHTML);
    out += "<tr class=\"header\" style=\"" + padding + "\">" + LineEnd;
    for (TColumnIndex index : columns) {
      TVirtualTreeColumn* column = Header()->Columns()->Items(index);
      FireColumnExport(true, TVTExportType::etHTML, index);
      out += "<th height=\"" + std::to_string(Header()->Height()) + "px\"";
      if (column->ReadsRightToLeft()) out += " dir=\"rtl\"";
      out += AlignText(Mirrored(column->CaptionAlignment(), column->ReadsRightToLeft()));
      if (index == main && maxLevel > 0) out += " colspan=\"" + std::to_string(maxLevel + 1) + "\"";
      out += " bgcolor=" + ColorText(clBtnFace);
      out += " width=\"" + std::to_string(column->Width()) + "px\">";
      out += HTMLText(column->Text()) + "</th>";
      FireColumnExport(false, TVTExportType::etHTML, index);
    }
    out += "</tr>";
    out += LineEnd;
    FireHeaderExport(false, TVTExportType::etHTML);
  }

  TCanvas* canvas = MeasuringCanvas(nullptr);
  const std::vector<TColumnIndex> cells = hasColumns ? columns : std::vector<TColumnIndex>{NoColumn};
  for (PVirtualNode node : nodes) {
    if (!FireBeforeNodeExport(TVTExportType::etHTML, node)) continue;
    const uint32_t level = NodeLevel(node);
    const std::string height = std::to_string(node->NodeHeight) + "px\"";
    out += " <tr class=\"default\">";
    out += LineEnd;
    for (TColumnIndex index : cells) {
      TVirtualTreeColumn* column = hasColumns ? Header()->Columns()->Items(index) : nullptr;
      const bool parentColor = column && column->Options().Contains(TVTColumnOption::coParentColor);
      canvas->Font()->Assign(Font());
      const TFontKey before = KeyOf(canvas->Font());
      FirePaintText(canvas, node, index, TVSTTextType::ttNormal);
      const bool changed = !(KeyOf(canvas->Font()) == before);
      const bool isMain = !hasColumns || index == main;
      if (isMain) {
        for (uint32_t i = 0; i < level; ++i) {
          if (!hasColumns || parentColor) out += i == 0 ? " <td height=\"" + height + ">&nbsp;</td>" : " <td>&nbsp;</td>";
          else out += "<td class=\"noborder\" width=\"" + std::to_string(Indent()) + "\" height=\"" + height +
                      " bgcolor=" + ColorText(column->Color()) + ">&nbsp;</td>";
        }
      }
      if (changed) out += " <td class=\"normalborder\"  style=\"{font:" + FontRuleBody(canvas->Font()) + "\" height=\"";
      else out += " <td class=\"normalborder\"  height=\"";
      out += height;
      const bool rtl = column ? column->ReadsRightToLeft() : rightToLeft;
      if (rtl) out += " dir=\"rtl\"";
      out += AlignText(Mirrored(column ? column->Alignment() : Alignment(), rtl));
      if (isMain && level < maxLevel) out += " colspan=\"" + std::to_string(maxLevel - level + 1) + "\"";
      if (column && !parentColor) out += " bgcolor=" + ColorText(column->Color());
      out += ">" + HTMLText(TextOfCell(node, index)) + "</td>";
    }
    FireAfterNodeExport(TVTExportType::etHTML, node);
    out += " </tr>";
    out += LineEnd;
  }
  return out + "</table>";
}

std::string TCustomVirtualStringTree::WrapTreeCFHTML(const std::string& HTML) {
  const std::string doctype = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">";
  const std::string start =
      "<html><head><META http-equiv=Content-Type content=\"text/html; charset=utf-8\"></head><body><!--StartFragment-->";
  const std::string end = "<!--EndFragment--></body></html>";
  const size_t headerSize = 97;
  const size_t fragmentStart = headerSize + doctype.size() + start.size();
  const size_t fragmentEnd = fragmentStart + HTML.size();
  auto field = [](const char* name, size_t value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%s%.8zu\r\n", name, value);
    return std::string(buffer);
  };
  std::string out = "Version:1.0\r\n" + field("StartHTML:", headerSize) + field("EndHTML:", fragmentEnd + end.size()) +
                    field("StartFragment:", fragmentStart) + field("EndFragment:", fragmentEnd);
  return out + doctype + start + HTML + end;
}

// --- RTF ----------------------------------------------------------------------------------------

std::string TCustomVirtualStringTree::RTFOfContent(TVSTTextSourceType Source) {
  const TNodeArray nodes = ExportNodes(Source, true);
  const std::vector<TColumnIndex> columns = Header()->Columns()->ShownColumns();
  const TColumnIndex main = Header()->MainColumn();
  const int ppi = Screen->PixelsPerInch() > 0 ? Screen->PixelsPerInch() : 96;
  TRTFWriter rtf;
  rtf.Body = "\\uc1\\trowd\\trgaph70";
  if (columns.empty()) {
    rtf.Body += "\\cellx" + std::to_string(std::lround(ClientWidth() * 1440.0 / ppi));
  } else {
    int64_t right = 0;
    for (TColumnIndex index : columns) {
      right += Header()->Columns()->Items(index)->Width();
      rtf.Body += "\\cellx" + std::to_string(std::llround(static_cast<double>(right) * 1440.0 / ppi));
    }
    FireHeaderExport(true, TVTExportType::etRTF);
    rtf.Body += "\\pard\\intbl";
    for (TColumnIndex index : columns) {
      TVirtualTreeColumn* column = Header()->Columns()->Items(index);
      FireColumnExport(true, TVTExportType::etRTF, index);
      const TAlignment align = Mirrored(column->CaptionAlignment(), column->ReadsRightToLeft());
      if (align == TAlignment::taRightJustify) rtf.Body += "\\qr";
      else if (align == TAlignment::taCenter) rtf.Body += "\\qc";
      rtf.Text(column->Text(), Header()->Font());
      rtf.Body += "\\cell";
      FireColumnExport(false, TVTExportType::etRTF, index);
    }
    rtf.Body += "\\row";
    FireHeaderExport(false, TVTExportType::etRTF);
  }
  TCanvas* canvas = MeasuringCanvas(nullptr);
  const std::vector<TColumnIndex> cells = columns.empty() ? std::vector<TColumnIndex>{NoColumn} : columns;
  for (PVirtualNode node : nodes) {
    if (!FireBeforeNodeExport(TVTExportType::etRTF, node)) continue;
    const uint32_t level = NodeLevel(node);
    for (TColumnIndex index : cells) {
      TVirtualTreeColumn* column = columns.empty() ? nullptr : Header()->Columns()->Items(index);
      rtf.Body += "\\pard\\intbl";
      const bool rtl = column ? column->ReadsRightToLeft() : UseRightToLeftReading();
      const TAlignment align = Mirrored(column ? column->Alignment() : Alignment(), rtl);
      if (align == TAlignment::taRightJustify) rtf.Body += "\\qr";
      else if (align == TAlignment::taCenter) rtf.Body += "\\qc";
      canvas->Font()->Assign(Font());
      FirePaintText(canvas, node, index, TVSTTextType::ttNormal);
      if ((columns.empty() || index == main) && level >= 1) rtf.Body += Repeat(std::string("\\tab"), level) + " ";
      rtf.Text(TextOfCell(node, index), canvas->Font());
      rtf.Body += "\\cell";
    }
    rtf.Body += "\\row";
    FireAfterNodeExport(TVTExportType::etRTF, node);
  }
  rtf.Body += "\\pard\\par";
  return rtf.Document();
}

// --- rendering ------------------------------------------------------------------------------------

std::string TCustomVirtualStringTree::RenderTextFormat(CLIPFORMAT Format, TVSTTextSourceType Source) {
  auto format = [](const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); };
  if (Format == CF_TEXT) return TextOfContent(Source, "\t") + '\0';
  if (Format == CF_UNICODETEXT) {
    const std::wstring text = UnicodeTextOfContent(Source, L"\t");
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
  }
  if (Format == format("CSV")) return TextOfContent(Source, AnsiString(1, FormatSettings().ListSeparator)) + '\0';
  if (Format == format("Rich Text Format") || Format == format("Rich Text Format Without Objects"))
    return RTFOfContent(Source) + '\0';
  if (Format == format("HTML Format")) return WrapTreeCFHTML(HTMLOfContent(Source)) + '\0';
  return {};
}

HRESULT TCustomVirtualStringTree::RenderOLEData(const FORMATETC& Format, STGMEDIUM& Medium, bool ForClipboard) {
  const HRESULT base = TBaseVirtualTree::RenderOLEData(Format, Medium, ForClipboard);
  if (SUCCEEDED(base) || (Format.tymed & TYMED_HGLOBAL) == 0) return base;
  try {
    const std::string text =
        RenderTextFormat(Format.cfFormat, ForClipboard ? TVSTTextSourceType::tstCutCopySet : TVSTTextSourceType::tstSelected);
    // Nothing but a terminator: nothing to render.
    const size_t terminator = Format.cfFormat == CF_UNICODETEXT ? sizeof(wchar_t) : 1;
    if (text.size() <= terminator) return base;
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, text.size());
    if (!global) return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(global), text.data(), text.size());
    GlobalUnlock(global);
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = global;
    Medium.pUnkForRelease = nullptr;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}
