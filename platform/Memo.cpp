#include "platform/Memo.h"

#include "platform/ControlsProperties.h"
#include "platform/Properties.h"

#include <algorithm>
#include <vector>

const TClassInfo TMemoStrings::ClassInfo{"TMemoStrings", &TStrings::ClassInfo, nullptr};
const TClassInfo TCustomMemo::ClassInfo{"TCustomMemo", &TCustomEdit::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TCustomMemo(static_cast<TComponent*>(owner));
                                        }};
const TClassInfo TMemo::ClassInfo{"TMemo", &TCustomMemo::ClassInfo, [](TObject* owner) -> TObject* {
                                    return new TMemo(static_cast<TComponent*>(owner));
                                  }};

namespace {

// Every line break as CR LF, the only break the edit shows as one.
AnsiString WithCrLf(const AnsiString& text) {
  AnsiString result;
  result.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      result += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      result += "\r\n";
    } else {
      result += c;
    }
  }
  return result;
}

// Positions and lengths below are the edit's own units, as its messages
// answer them; the text itself moves through the ANSI messages.
LRESULT Send(HWND wnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageA(wnd, msg, wp, lp); }

int LineStart(HWND wnd, int line) { return static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(line))); }
int LineLength(HWND wnd, int start) { return static_cast<int>(Send(wnd, EM_LINELENGTH, static_cast<WPARAM>(start))); }

void ReplaceRange(HWND wnd, int start, int end, const AnsiString& text) {
  Send(wnd, EM_SETSEL, static_cast<WPARAM>(start), end);
  Send(wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

// -- TMemoStrings ------------------------------------------------------------------

HWND TMemoStrings::Window() const { return FMemo->HandleAllocated() ? FMemo->Handle() : nullptr; }

template <class F>
void TMemoStrings::EditKeptText(F&& edit) {
  TStringList lines;
  lines.SetText(FMemo->Text());
  edit(lines);
  FMemo->SetText(lines.Text());
}

void TMemoStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) Error("List index out of bounds (%d)", index);
}

int TMemoStrings::Count() const {
  HWND wnd = Window();
  if (!wnd) {
    TStringList lines;
    lines.SetText(FMemo->Text());
    return lines.Count();
  }
  // The edit counts the empty line after a final break; a list does not.
  int count = static_cast<int>(Send(wnd, EM_GETLINECOUNT));
  if (count > 0 && LineLength(wnd, LineStart(wnd, count - 1)) == 0) --count;
  return count;
}

AnsiString TMemoStrings::Get(int index) const {
  HWND wnd = Window();
  if (!wnd) {
    TStringList lines;
    lines.SetText(FMemo->Text());
    CheckIndex(index, lines.Count());
    return lines.Get(index);
  }
  CheckIndex(index, Count());
  const int length = LineLength(wnd, LineStart(wnd, index));
  // The length is in the edit's characters; a character of the system code
  // page takes up to two bytes. The first WORD tells the edit the room.
  std::vector<char> buffer(std::max<size_t>(static_cast<size_t>(length) * 2 + 2, sizeof(WORD) + 1));
  const size_t room = std::min<size_t>(buffer.size() - 1, 0xFFFF);
  *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(room);
  const LRESULT got = Send(wnd, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  return AnsiString(buffer.data(), static_cast<size_t>(std::clamp<LRESULT>(got, 0, static_cast<LRESULT>(room))));
}

void TMemoStrings::Put(int index, const AnsiString& s) {
  HWND wnd = Window();
  if (!wnd) {
    EditKeptText([&](TStringList& lines) { lines.Put(index, s); });
    return;
  }
  CheckIndex(index, Count());
  const int start = LineStart(wnd, index);
  ReplaceRange(wnd, start, start + LineLength(wnd, start), WithCrLf(s));
}

void TMemoStrings::Insert(int index, const AnsiString& s) {
  HWND wnd = Window();
  if (!wnd) {
    EditKeptText([&](TStringList& lines) { lines.Insert(index, s); });
    return;
  }
  const int count = Count();
  if (index < 0 || index > count) Error("List index out of bounds (%d)", index);
  const AnsiString line = WithCrLf(s);
  if (index < count) {
    const int start = LineStart(wnd, index);
    ReplaceRange(wnd, start, start, line + "\r\n");
    return;
  }
  // After the last line: a break first unless the text is empty or ends
  // with one.
  const int lines = static_cast<int>(Send(wnd, EM_GETLINECOUNT));
  const int lastStart = LineStart(wnd, lines - 1);
  const int lastLength = LineLength(wnd, lastStart);
  const int end = lastStart + lastLength;
  ReplaceRange(wnd, end, end, lastLength == 0 ? line : "\r\n" + line);
}

void TMemoStrings::Delete(int index) {
  HWND wnd = Window();
  if (!wnd) {
    EditKeptText([&](TStringList& lines) { lines.Delete(index); });
    return;
  }
  CheckIndex(index, Count());
  const int start = LineStart(wnd, index);
  const int lines = static_cast<int>(Send(wnd, EM_GETLINECOUNT));
  // The line with its break (the next line's start); the last line alone.
  const int end = index + 1 < lines ? LineStart(wnd, index + 1) : start + LineLength(wnd, start);
  ReplaceRange(wnd, start, end, "");
}

void TMemoStrings::Clear() { FMemo->SetText(""); }

AnsiString TMemoStrings::Text() const { return FMemo->Text(); }

void TMemoStrings::SetText(const AnsiString& text) { FMemo->SetText(WithCrLf(text)); }

void TMemoStrings::SetUpdateState(bool updating) {
  HWND wnd = Window();
  if (!wnd) return;
  Send(wnd, WM_SETREDRAW, !updating);
  if (!updating) FMemo->Invalidate();
}

// -- TCustomMemo -------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  FControlStyle = {csClickEvents, csDoubleClicks};
  FWidth = 185;
  FHeight = 89;
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  // Returns are typed or not by the control (WantReturns), never by the
  // edit's own dialog rules.
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (FWordWrap) Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (FAlignment == taCenter) Params.Style |= ES_CENTER;
  if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
}

void TCustomMemo::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (FScrollBars == value) return;
  FScrollBars = value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (FWordWrap == value) return;
  FWordWrap = value;
  RecreateWnd();
}

POINT TCustomMemo::CaretPos() {
  HWND wnd = Handle();
  DWORD start = 0, end = 0;
  Send(wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  // The caret is the moving end of the selection; the edit reports the
  // selection's ends in order, and a caret alone has both equal.
  const int line = static_cast<int>(Send(wnd, EM_LINEFROMCHAR, start));
  return POINT{static_cast<LONG>(static_cast<int>(start) - LineStart(wnd, line)), line};
}

void TCustomMemo::SetCaretPos(POINT value) {
  HWND wnd = Handle();
  const int start = LineStart(wnd, value.y);
  if (start < 0) return;
  const int pos = start + std::clamp(static_cast<int>(value.x), 0, LineLength(wnd, start));
  Send(wnd, EM_SETSEL, static_cast<WPARAM>(pos), pos);
  Send(wnd, EM_SCROLLCARET);
}

void TCustomMemo::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE: {
      // Asked without the key: told of a key message, the edit takes itself
      // for a dialog's and then moves the focus on Tab and closes its
      // parent on Escape.
      TMessage plain{Message.Msg, Message.WParam, 0, 0};
      DefaultHandler(plain);
      LRESULT code = plain.Result & ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
      if (FWantTabs) code |= DLGC_WANTTAB;
      Message.Result = code;
      return;
    }
    case CM_WANTSPECIALKEY:
      if (Message.WParam == VK_RETURN && FWantReturns) {
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TCustomEdit::Dispatch(Message);
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo ScrollStyleNames{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};

const TPublishedRegistration customMemoRegistration(&TCustomMemo::ClassInfo, {
    Property<&TCustomMemo::Alignment, &TCustomMemo::SetAlignment>("Alignment", AlignmentNames)
        .Default(taLeftJustify),
    Property<&TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars>("ScrollBars", ScrollStyleNames).Default(ssNone),
    Property<&TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap>("WordWrap").Default(true),
    Property<&TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns>("WantReturns").Default(true),
    Property<&TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs>("WantTabs").Default(false),
    Property<&TCustomMemo::Lines>("Lines"),
});
const TPublishedRegistration memoRegistration(&TMemo::ClassInfo, {});

}  // namespace
