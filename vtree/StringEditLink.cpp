// The string tree's in-place editor: TVTEdit's keys and focus handling and
// TStringEditLink's steps from preparing the edit to handing its text back.
#include "vtree/StringEditLink.h"

#include "platform/Forms.h"

#include <algorithm>

const TClassInfo TVTEdit::ClassInfo{"TVTEdit", &TCustomEdit::ClassInfo, nullptr};
const TClassInfo TStringEditLink::ClassInfo{"TStringEditLink", &TObject::ClassInfo, nullptr};

namespace {
using TS = TVirtualTreeState;

// Asks the edit to fit its text; the edit posts it to itself where the
// system's edit answers EN_UPDATE before its text is complete.
constexpr UINT WM_AUTOADJUSTSIZE = 0xB7D5;
}  // namespace

// --- the edit ------------------------------------------------------------------------------------

TVTEdit::TVTEdit(TStringEditLink* Link) : TCustomEdit(nullptr), FRefLink(Link), FLink(Link) {
  SetVisible(false);
  SetShowHint(false);
  SetParentShowHint(false);
  SetAutoSelect(false);
}

void TVTEdit::Detach() {
  FLink = nullptr;
  FRefLink.Clear();  // may free the link, which then lets this edit go
}

bool TVTEdit::MultilineNode() const {
  return FLink && FLink->Node() && FLink->Node()->StateBits.Contains(TVirtualNodeState::nsMultiline);
}

std::wstring TVTEdit::WideText() {
  if (!HandleAllocated()) return {};
  const int length = GetWindowTextLengthW(Handle());
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(Handle(), text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

void TVTEdit::Recreate() {
  FRecreating = true;
  try {
    RecreateWnd();
    HandleNeeded();
  } catch (...) {
    FRecreating = false;
    throw;
  }
  FRecreating = false;
}

void TVTEdit::SetWideText(const std::wstring& Value) { SetWindowTextW(Handle(), Value.c_str()); }

// The formatting rectangle needs a multi-line edit; a single-line node's
// edit scrolls sideways instead of wrapping.
void TVTEdit::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE;
  if (MultilineNode()) {
    Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    // Enter breaks the line even where the edit is asked for its keys as a
    // dialog would.
    Params.Style |= ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
  }
  if (FLink) {
    switch (FLink->Alignment()) {
      case TAlignment::taRightJustify: Params.Style |= ES_RIGHT; break;
      case TAlignment::taCenter: Params.Style |= ES_CENTER; break;
      default: break;
    }
  }
  const bool themed = FLink && FLink->Tree() && FLink->Tree()->TreeStates().Contains(TS::tsUseThemes);
  if (themed) {
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  } else {
    Params.Style |= WS_BORDER;
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
  }
}

void TVTEdit::EndOnExit() {
  if (!FLink || FLink->Stopping() || !FLink->Tree()) return;
  TCustomVirtualStringTree* tree = FLink->Tree();
  if (tree->TreeOptions()->StringOptions().Contains(TVTStringOption::toAutoAcceptEditChange)) tree->FinishNodeEdit();
  else tree->CancelNodeEdit();
}

void TVTEdit::Dispatch(TMessage& Message) {
  TCustomVirtualStringTree* tree = FLink ? FLink->Tree() : nullptr;
  switch (Message.Msg) {
    case WM_KEYDOWN:
      if (!tree) break;
      switch (Message.WParam) {
        case VK_RETURN:
          if (!MultilineNode() || GetKeyState(VK_CONTROL) < 0) {
            // The tree may free this edit's link on the way: keep it for the call.
            TComPtr<IVTEditLink> keep(FLink);
            tree->InvalidateNode(FLink->Node());
            tree->FinishNodeEdit();
            if (tree->CanFocus()) tree->SetFocus();
            return;
          }
          break;
        case VK_ESCAPE: {
          TComPtr<IVTEditLink> keep(FLink);
          tree->CancelNodeEdit();
          if (tree->CanFocus()) tree->SetFocus();
          return;
        }
        case VK_UP:
        case VK_DOWN:
          if (!MultilineNode()) Message.WParam = Message.WParam == VK_UP ? VK_LEFT : VK_RIGHT;
          break;
        default:
          break;
      }
      break;
    case WM_CHAR:
      if (Message.WParam == VK_TAB || Message.WParam == VK_ESCAPE) return;
      // The Enter that ended a single-line edit leaves no line break behind.
      if (Message.WParam == VK_RETURN && (!FLink || !MultilineNode())) return;
      break;
    case WM_GETDLGCODE:
      TCustomEdit::Dispatch(Message);
      Message.Result |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
      return;
    case CM_EXIT:
      EndOnExit();
      break;
    case WM_KILLFOCUS:
      // Without a form around no CM_EXIT comes: the focus going to another
      // window of the program ends the edit the same way. A program losing
      // the activation keeps it.
      TCustomEdit::Dispatch(Message);
      if (!GetParentForm(this) && Message.WParam != 0) EndOnExit();
      return;
    case WM_DESTROY:
      // A window made anew for other styles keeps its edit going.
      if (FRecreating) break;
      if (FLink && !FLink->Stopping() && tree &&
          tree->TreeOptions()->StringOptions().Contains(TVTStringOption::toAutoAcceptEditChange) && Modified())
        tree->SetTextOfCell(FLink->Node(), FLink->Column(), WideText());
      TCustomEdit::Dispatch(Message);
      Detach();
      return;
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == EN_UPDATE && tree &&
          !tree->TreeOptions()->MiscOptions().Contains(TVTMiscOption::toGridExtensions) && !MultilineNode())
        AutoAdjustSize();
      break;
    case WM_AUTOADJUSTSIZE:
      AutoAdjustSize();
      return;
    case CM_RELEASE:
      Free(this);
      return;
    case CM_HINTSHOW:
      Message.Result = 1;
      return;
    default:
      break;
  }
  TCustomEdit::Dispatch(Message);
}

void TVTEdit::AutoAdjustSize() {
  if (!FLink || FLink->Stopping() || MultilineNode() || !HandleAllocated() || !FLink->Tree()) return;
  TCustomVirtualStringTree* tree = FLink->Tree();
  SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
  struct TRedrawOn {
    HWND Wnd;
    ~TRedrawOn() {
      SendMessageA(Wnd, WM_SETREDRAW, TRUE, 0);
      RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
    }
  } redrawOn{Handle()};
  const std::wstring text = WideText();
  SIZE size{};
  {
    TWindowDC dc(Handle());
    TSelectObjectGuard font(dc.Get(), Font()->Handle());
    GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  }
  const int32_t width = size.cx + 2 * tree->TextMargin();
  RECT r = BoundsRect();
  if (width < r.right - r.left) tree->InvalidateNode(FLink->Node());
  if (FLink->Alignment() == TAlignment::taRightJustify) r.left = r.right - width;
  else r.right = r.left + width;
  FLink->ApplyEditorBounds(r);
}

// --- the link ------------------------------------------------------------------------------------

TStringEditLink::TStringEditLink() {
  auto* edit = new TVTEdit(this);
  edit->SetBorderStyle(bsSingle);
  FEdit = edit;
}

// The edit goes once its own messages are done with: it frees itself when the
// posted release arrives.
TStringEditLink::~TStringEditLink() {
  TVTEdit* edit = FEdit.Get();
  if (!edit) return;
  if (edit->HandleAllocated()) PostMessageA(edit->Handle(), CM_RELEASE, 0, 0);
  else Free(edit);
}

bool TStringEditLink::BeginEditing() {
  TComPtr<IVTEditLink> self(this);
  TVTEdit* edit = FEdit.Get();
  if (FStopping || !edit) return false;
  edit->Show();
  edit->SelectAll();
  if (edit->CanFocus()) edit->SetFocus();
  return true;
}

bool TStringEditLink::AbortEditing() {
  TComPtr<IVTEditLink> self(this);
  if (FStopping) return false;
  FStopping = true;
  TVTEdit* edit = FEdit.Get();
  if (edit) edit->Hide();
  if (FTree && (FTree->TreeStates().Contains(TS::tsEditing) || FTree->TreeStates().Contains(TS::tsEditPending)))
    FTree->CancelNodeEdit();
  if ((edit = FEdit.Get())) edit->Detach();
  return true;
}

bool TStringEditLink::FinishEditing() {
  TComPtr<IVTEditLink> self(this);
  if (FStopping) return false;
  FStopping = true;
  TVTEdit* edit = FEdit.Get();
  try {
    if (edit && FTree && edit->Modified()) FTree->SetTextOfCell(FNode, FColumn, edit->WideText());
  } catch (...) {
    FStopping = false;
    throw;
  }
  if ((edit = FEdit.Get())) {
    edit->Hide();
    edit->Detach();
  }
  return true;
}

RECT TStringEditLink::EditorBounds() {
  TVTEdit* edit = FEdit.Get();
  return edit ? edit->BoundsRect() : RECT{};
}

bool TStringEditLink::PrepareEditor(TBaseVirtualTree* Tree, PVirtualNode Node, TColumnIndex Column) {
  auto* tree = ObjectAs<TCustomVirtualStringTree>(Tree);
  TVTEdit* edit = FEdit.Get();
  if (!tree || !edit) return false;
  FTree = tree;
  FNode = Node;
  FColumn = Column;
  TFont font;
  std::wstring text;
  tree->GetCellTextInfo(Node, Column, &font, FTextBounds, text);
  TVirtualTreeColumns* columns = tree->Header()->Columns();
  if (columns->IsColumnIndex(Column)) {
    FBiDiMode = columns->Items(Column)->BiDiMode();
    FAlignment = columns->Items(Column)->Alignment();
  } else {
    FBiDiMode = tree->BiDiMode();
    FAlignment = tree->Alignment();
  }
  if (FBiDiMode != TBiDiMode::bdLeftToRight) {
    if (FAlignment == TAlignment::taLeftJustify) FAlignment = TAlignment::taRightJustify;
    else if (FAlignment == TAlignment::taRightJustify) FAlignment = TAlignment::taLeftJustify;
  }
  edit->Font()->Assign(&font);
  edit->Font()->SetColor(clWindowText);
  edit->SetParent(tree);
  edit->SetBiDiMode(FBiDiMode);
  edit->Recreate();
  edit->SetWideText(text);
  edit->SetModified(false);
  return true;
}

void TStringEditLink::ForwardMessage(TMessage& Message) {
  if (TVTEdit* edit = FEdit.Get()) edit->WindowProc(Message);
}

void TStringEditLink::ApplyEditorBounds(RECT R) {
  TVTEdit* edit = FEdit.Get();
  if (FStopping || !edit || !FTree) return;
  if (R.left < 0) R.left = 0;
  if (R.right - R.left < 30) {
    if (FAlignment == TAlignment::taRightJustify) R.left = R.right - 30;
    else R.right = R.left + 30;
  }
  if (R.right > FTree->ClientWidth()) R.right = FTree->ClientWidth();
  edit->SetBoundsRect(R);
  if (!edit->HandleAllocated()) return;
  // The text sits where the cell shows it: the formatting rectangle reaches
  // past the edit's client area by the frame it does not have.
  const int32_t offset = FTree->TreeStates().Contains(TS::tsUseThemes) ? 3 : 2;
  RECT format;
  GetClientRect(edit->Handle(), &format);
  InflateRect(&format, offset - FTree->TextMargin(), offset);
  if (!FNode || !FNode->StateBits.Contains(TVirtualNodeState::nsMultiline))
    OffsetRect(&format, 0, FTextBounds.top - edit->Top());
  SendMessageA(edit->Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
}
