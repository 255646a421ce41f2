#include "foundation/InnerListBox.h"

#include "foundation/Container.h"
#include "foundation/ContainerServices.h"
#include "foundation/Controls.h"
#include "foundation/Geometry.h"
#include "foundation/LookAndFeelPainter.h"
#include "platform/CodePage.h"
#include "platform/Messages.h"
#include "platform/Properties.h"
#include "platform/Seams.h"

#include <algorithm>

const TClassInfo TcxCustomInnerListBox::ClassInfo{"TcxCustomInnerListBox", &TListBox::ClassInfo,
                                                  [](TObject* owner) -> TObject* {
                                                    return new TcxCustomInnerListBox(static_cast<TComponent*>(owner));
                                                  }};

namespace {

// The system bar's state bits: not shown (invisible, off screen), unusable.
constexpr DWORD kBarHidden = STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;

}  // namespace

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* AOwner)
    : TListBox(AOwner), FOwnCanvas(std::make_unique<TcxCanvas>(Canvas())) {
  auto makeBar = [this](TScrollBarKind kind) {
    auto* bar = New<TcxScrollBar>(this);
    bar->SetKind(kind);
    bar->SetVisible(false);
    bar->SetSmallChange(1);
    return bar;
  };
  FHScrollBar = makeBar(sbHorizontal);
  FVScrollBar = makeBar(sbVertical);
  FHScrollBar->OnScroll = TScrollEvent::Lambda(
      [this](TObject* sender, TScrollCode code, int& pos) { HorizontalScroll(sender, code, pos); });
  FVScrollBar->OnScroll = TScrollEvent::Lambda(
      [this](TObject* sender, TScrollCode code, int& pos) { VerticalScroll(sender, code, pos); });
  FLookAndFeel.reset(TcxLookAndFeel::Create(this));
  FLookAndFeel->OnSettingsChanged = TcxLookAndFeelChangedEvent::Lambda(
      [this](TcxLookAndFeel* sender, TcxLookAndFeelValues changed) { HandleLookAndFeelChange(sender, changed); });
  FHScrollBar->LookAndFeel()->AttachToMaster(FLookAndFeel.get());
  FVScrollBar->LookAndFeel()->AttachToMaster(FLookAndFeel.get());
  SetBorderStyle(bsNone);
  SetParentColor(false);
  SetParentFont(true);
}

TcxCustomInnerListBox::~TcxCustomInnerListBox() {
  FDestroying = true;
  // The bars are the list box's components but live among its parent's
  // children once shown: they go with the list box.
  for (TcxScrollBar** bar : {&FHScrollBar, &FVScrollBar}) {
    TcxScrollBar* b = *bar;
    *bar = nullptr;
    if (b) Free(b);
  }
  FLookAndFeel.reset();
  FOwnCanvas.reset();
}

void TcxCustomInnerListBox::Notification(TComponent* component, TOperation operation) {
  TListBox::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FHScrollBar) FHScrollBar = nullptr;
  if (component == FVScrollBar) FVScrollBar = nullptr;
  if (component == FContainer) FContainer = nullptr;
}

void TcxCustomInnerListBox::SetContainer(TcxContainer* value) {
  if (value == FContainer) return;
  if (FContainer) FContainer->RemoveFreeNotification(this);
  FContainer = value;
  if (FContainer) FContainer->FreeNotification(this);
}

void TcxCustomInnerListBox::HandleLookAndFeelChange(TcxLookAndFeel*, TcxLookAndFeelValues) { Invalidate(); }

void TcxCustomInnerListBox::KeepCanvasColors() {
  FKeptBrushColor = FOwnCanvas->GetBrush()->Color();
  FKeptFontColor = FOwnCanvas->GetFont()->Color();
}

void TcxCustomInnerListBox::RecallCanvasColors() {
  FOwnCanvas->GetBrush()->SetColor(FKeptBrushColor);
  FOwnCanvas->GetFont()->SetColor(FKeptFontColor);
}

HWND TcxCustomInnerListBox::ContainerWindow() {
  return FContainer && FContainer->HandleAllocated() ? FContainer->Handle() : nullptr;
}

// ---------------------------------------------------------------------------
// Incremental search

void TcxCustomInnerListBox::IncrementalSearch(char& key) {
  if (!FAutoComplete) return;
  const uint32_t now = TickCount();
  if (now - FPrevKeyTime >= static_cast<uint32_t>(std::max(0, FAutoCompleteDelay))) FAutoCompleteFilter.clear();
  FPrevKeyTime = now;
  const auto ch = static_cast<unsigned char>(key);
  if (ch == VK_BACK) {
    if (!FAutoCompleteFilter.empty()) {
      const int last = static_cast<int>(FAutoCompleteFilter.size());
      const bool wide = last >= 2 && ByteType(FAutoCompleteFilter, last) == mbTrailByte;
      FAutoCompleteFilter.resize(static_cast<size_t>(last - (wide ? 2 : 1)));
    }
  } else if (IsLeadByte(ch)) {
    // The trailing byte is the next character waiting in the queue; a lead
    // byte without one is dropped rather than searched for half.
    key = 0;
    MSG next{};
    if (!HandleAllocated() || !PeekMessageA(&next, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) return;
    FAutoCompleteFilter += static_cast<char>(ch);
    FAutoCompleteFilter += static_cast<char>(static_cast<unsigned char>(next.wParam));
  } else {
    FAutoCompleteFilter += static_cast<char>(ch);
  }
  TWeakLink<TControl> self(this);
  if (FAutoCompleteFilter.empty()) {
    if (Count() > 0) {
      if (MultiSelect()) {
        ClearSelection();
        SetSelected(0, true);
      }
      SetItemIndex(0);
      Click();
    }
  } else {
    const int found = FindItemStartingWith(FAutoCompleteFilter);
    if (found >= 0) {
      if (MultiSelect()) {
        ClearSelection();
        SetSelected(found, true);
      }
      SetItemIndex(found);
      Click();
    }
  }
  if (!self.Get()) return;
  if (ch != VK_BACK && ch != VK_RETURN && ch != VK_ESCAPE) key = 0;
}

void TcxCustomInnerListBox::KeyPress(char& Key) {
  if (Key == '\t') Key = 0;
  if (Key == 0) return;
  TWeakLink<TControl> self(this);
  if (FContainer) {
    FContainer->KeyPress(Key);
    if (!self.Get() || Key == 0) return;
  }
  if (Key == '\r') {
    Key = 0;
    return;
  }
  TListBox::KeyPress(Key);
  if (!self.Get() || Key == 0) return;
  IncrementalSearch(Key);
}

// ---------------------------------------------------------------------------
// Forwarding to the container

void TcxCustomInnerListBox::Click() {
  if (FVScrollBar && FVScrollBar->Visible()) FVScrollBar->SetPosition(TopIndex());
  TWeakLink<TControl> self(this);
  TListBox::Click();
  if (self.Get() && FContainer) FContainer->Click();
}

void TcxCustomInnerListBox::DblClick() {
  TWeakLink<TControl> self(this);
  TListBox::DblClick();
  if (self.Get() && FContainer) FContainer->DblClick();
}

void TcxCustomInnerListBox::KeyDown(WORD& Key, TShiftState Shift) {
  TWeakLink<TControl> self(this);
  if (FContainer) {
    FContainer->KeyDown(Key, Shift);
    if (!self.Get() || Key == 0) return;
  }
  TListBox::KeyDown(Key, Shift);
}

void TcxCustomInnerListBox::KeyUp(WORD& Key, TShiftState Shift) {
  if (Key == VK_TAB) Key = 0;
  TWeakLink<TControl> self(this);
  if (FContainer) {
    FContainer->KeyUp(Key, Shift);
    if (!self.Get()) return;
  }
  TListBox::KeyUp(Key, Shift);
}

void TcxCustomInnerListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TListBox::MouseDown(Button, Shift, X, Y);
  if (!self.Get() || !FContainer) return;
  TWeakLink<TControl> container(FContainer);
  FContainer->SetMouseWentDownOnInnerControl(true);
  try {
    FContainer->MouseDown(Button, Shift, X + Left(), Y + Top());
  } catch (...) {
    if (auto* c = static_cast<TcxContainer*>(container.Get())) c->SetMouseWentDownOnInnerControl(false);
    throw;
  }
  if (auto* c = static_cast<TcxContainer*>(container.Get())) c->SetMouseWentDownOnInnerControl(false);
}

void TcxCustomInnerListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TListBox::MouseMove(Shift, X, Y);
  if (self.Get() && FContainer) FContainer->MouseMove(Shift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TListBox::MouseUp(Button, Shift, X, Y);
  if (self.Get() && FContainer) FContainer->MouseUp(Button, Shift, X + Left(), Y + Top());
}

bool TcxCustomInnerListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) {
  TWeakLink<TControl> self(this);
  if (FContainer && FContainer->DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!self.Get()) return true;
  return TListBox::DoMouseWheel(Shift, WheelDelta, MousePos);
}

void TcxCustomInnerListBox::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  if (FContainer) {
    FContainer->DragOver(Source, X + Left(), Y + Top(), State, Accept);
    return;
  }
  TListBox::DragOver(Source, X, Y, State, Accept);
}

void TcxCustomInnerListBox::DragDrop(TObject* Source, int X, int Y) {
  if (FContainer) {
    FContainer->DragDrop(Source, X + Left(), Y + Top());
    return;
  }
  TListBox::DragDrop(Source, X, Y);
}

void TcxCustomInnerListBox::DoContextPopup(POINT MousePos, bool& Handled) {
  // The container's popup menu serves the list box too.
  if (FContainer && !PopupMenu() && FContainer->PopupMenu()) {
    POINT p = MousePos;
    if (p.x != -1 || p.y != -1) p = POINT{p.x + Left(), p.y + Top()};
    FContainer->DoContextPopup(p, Handled);
    return;
  }
  TListBox::DoContextPopup(MousePos, Handled);
}

// ---------------------------------------------------------------------------
// The window

void TcxCustomInnerListBox::WndProc(TMessage& Message) {
  TWeakLink<TControl> self(this);
  if (FContainer && FContainer->ForwardKeyToInner(Message)) return;
  if (!self.Get()) return;
  TListBox::WndProc(Message);
  if (!self.Get()) return;
  switch (Message.Msg) {
    case WM_SETREDRAW:
      if (Message.WParam == 0) break;
      [[fallthrough]];
    case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case WM_MOUSEWHEEL:
    case CM_SHOWINGCHANGED:
      RefreshOwnScrollBars();
      break;
    default:
      break;
  }
}

void TcxCustomInnerListBox::DefaultHandler(TMessage& Message) {
  if (FContainer && FContainer->InnerControlMessage(Message)) return;
  TListBox::DefaultHandler(Message);
}

void TcxCustomInnerListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      TListBox::Dispatch(Message);
      if (FContainer) {
        Message.Result |= DLGC_WANTCHARS;
        if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTARROWS;
      }
      return;
    case WM_LBUTTONDOWN:
      HandleLeftButtonDown(Message);
      return;
    case WM_NCCALCSIZE:
      TListBox::Dispatch(Message);
      if (!FScrollBarsCalculating) RefreshOwnScrollBars();
      return;
    case WM_NCPAINT: {
      TListBox::Dispatch(Message);
      HDC dc = GetWindowDC(Handle());
      PaintScrollCorner(dc);
      ReleaseDC(Handle(), dc);
      return;
    }
    case WM_PRINT:
      if (Message.LParam & PRF_NONCLIENT) {
        PaintScrollCorner(reinterpret_cast<HDC>(Message.WParam));
        Message.LParam &= ~static_cast<LPARAM>(PRF_NONCLIENT);
      }
      TListBox::Dispatch(Message);
      return;
    case WM_SETREDRAW:
      FRedrawLocked = Message.WParam == 0;
      TListBox::Dispatch(Message);
      return;
    case WM_WINDOWPOSCHANGED:
      TListBox::Dispatch(Message);
      if (HandleAllocated()) {
        HDC dc = GetWindowDC(Handle());
        PaintScrollCorner(dc);
        ReleaseDC(Handle(), dc);
      }
      return;
    case WM_SETFOCUS: {
      const HWND from = reinterpret_cast<HWND>(Message.WParam);
      TWeakLink<TControl> self(this);
      TListBox::Dispatch(Message);
      if (self.Get() && FContainer && (!from || from != ContainerWindow())) FContainer->FocusChanged();
      return;
    }
    case WM_KILLFOCUS: {
      TWeakLink<TControl> self(this);
      TListBox::Dispatch(Message);
      if (self.Get() && FContainer) FContainer->FocusChanged();
      return;
    }
    case CM_MOUSELEAVE:
      TListBox::Dispatch(Message);
      if (FContainer) FContainer->RefreshHotStateAtCursor();
      return;
    case CN_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
      if (!item || item->hwndItem != Handle()) break;
      DRAWITEMSTRUCT copy = *item;
      // The platform's drawing puts the focus rectangle on focused items;
      // an owner's drawing draws its own.
      if (!DrawsFocusRect()) {
        if (copy.itemAction == ODA_FOCUS) {
          Message.Result = TRUE;
          return;
        }
        copy.itemState |= ODS_NOFOCUSRECT;
      }
      TMessage forwarded = Message;
      forwarded.LParam = reinterpret_cast<LPARAM>(&copy);
      TListBox::Dispatch(forwarded);
      Message.Result = forwarded.Result;
      return;
    }
    default:
      break;
  }
  TListBox::Dispatch(Message);
}

void TcxCustomInnerListBox::HandleLeftButtonDown(TMessage& Message) {
  if (DragMode() != dmAutomatic || !FContainer || ComponentState().Contains(csDesigning)) {
    TListBox::Dispatch(Message);
    return;
  }
  TWeakLink<TControl> self(this);
  TWeakLink<TControl> container(FContainer);
  SetDragMode(dmManual);
  const TShiftState shift = KeyboardShiftState();
  const POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
  const int index = ItemAtPos(p, true);
  const bool multi = MultiSelect();
  const bool shiftOrCtrl = shift.Contains(ssShift) || shift.Contains(ssCtrl);
  try {
    if (multi && index >= 0 && Selected(index) && !(shift.Contains(ssShift) && !shift.Contains(ssCtrl))) {
      // Dragging a selection: the click would change it.
      FContainer->BeginDrag(false);
    } else {
      TListBox::Dispatch(Message);
      if (self.Get() && container.Get() && !(multi && shiftOrCtrl)) FContainer->BeginDrag(false);
    }
  } catch (...) {
    if (self.Get()) SetDragMode(dmAutomatic);
    throw;
  }
  if (self.Get()) SetDragMode(dmAutomatic);
}

// ---------------------------------------------------------------------------
// Own scroll bars

RECT TcxCustomInnerListBox::ScrollCornerRect() {
  if (!FHScrollBar || !FVScrollBar || !FHScrollBar->Visible() || !FVScrollBar->Visible() || !HandleAllocated())
    return RECT{0, 0, 0, 0};
  SCROLLBARINFO h{}, v{};
  if (!QueryScrollBarInfo(Handle(), OBJID_HSCROLL, h) || !QueryScrollBarInfo(Handle(), OBJID_VSCROLL, v))
    return RECT{0, 0, 0, 0};
  RECT window{};
  GetWindowRect(Handle(), &window);
  RECT r{v.rcScrollBar.left, h.rcScrollBar.top, v.rcScrollBar.right, h.rcScrollBar.bottom};
  OffsetRect(&r, -window.left, -window.top);
  return r;
}

void TcxCustomInnerListBox::PaintScrollCorner(HDC dc) {
  if (!dc) return;
  const RECT r = ScrollCornerRect();
  if (IsRectEmpty(&r)) return;
  TColor color = clBtnFace;
  if (FContainer) color = FContainer->Style()->GetLookAndFeel()->ActivePainter()->SizeGripFillColor();
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

int TcxCustomInnerListBox::SystemScrollPos(int barKind) {
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
  if (!HandleAllocated() || !GetScrollInfo(Handle(), barKind, &si)) return 0;
  return si.nPos;
}

void TcxCustomInnerListBox::HorizontalScroll(TObject*, TScrollCode code, int& pos) {
  if (!HandleAllocated()) return;
  CallWindowProcA(FDefWndProc, Handle(), WM_HSCROLL, MAKEWPARAM(static_cast<int>(code), pos), 0);
  pos = SystemScrollPos(SB_HORZ);
}

void TcxCustomInnerListBox::VerticalScroll(TObject*, TScrollCode code, int& pos) {
  if (!HandleAllocated()) return;
  switch (code) {
    case scLineUp:
    case scLineDown:
      SetTopIndex(pos);
      return;
    case scPosition:
    case scTrack:
      SetTopIndex(pos);
      pos = SystemScrollPos(SB_VERT);
      return;
    default:
      CallWindowProcA(FDefWndProc, Handle(), WM_VSCROLL, MAKEWPARAM(static_cast<int>(code), pos), 0);
      pos = SystemScrollPos(SB_VERT);
      return;
  }
}

void TcxCustomInnerListBox::RefreshOwnScrollBar(TcxScrollBar* bar, LONG objectId, int barKind) {
  if (!bar) return;
  SCROLLBARINFO info{};
  RECT r{0, 0, 0, 0};
  bool shown = false;
  if (QueryScrollBarInfo(Handle(), objectId, info) && (info.rgstate[0] & kBarHidden) == 0) {
    bar->SetEnabled((info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0 && (!Parent() || Parent()->Enabled()));
    RECT window{};
    GetWindowRect(Handle(), &window);
    RECT inside{};
    shown = IntersectRect(&inside, &info.rcScrollBar, &window) && EqualRect(&inside, &info.rcScrollBar) &&
            Parent() && Parent()->HandleAllocated();
    if (shown) r = TranslateWindowRect(nullptr, Parent()->Handle(), info.rcScrollBar);
  }
  if (!shown) {
    bar->SetVisible(false);
    bar->SetBounds(0, 0, 0, 0);
    return;
  }
  if (bar->Parent() != Parent()) {
    ++FScrollBarLockCount;
    try {
      bar->SetParent(Parent());
    } catch (...) {
      --FScrollBarLockCount;
      throw;
    }
    --FScrollBarLockCount;
  }
  bar->SetBoundsRect(r);
  bar->SetCtl3D(false);
  bar->SetVisible(true);
  bar->BringToFront();
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  if (GetScrollInfo(Handle(), barKind, &si)) {
    const int max = std::max(si.nMin, si.nMax);
    bar->SetScrollParams(si.nMin, max, std::clamp(si.nPos, si.nMin, max), std::min<int>(static_cast<int>(si.nPage), max));
  }
}

void TcxCustomInnerListBox::RefreshOwnScrollBars() {
  if (FDestroying || ComponentState().Contains(csDestroying) || FScrollBarLockCount > 0 || !ScrollBarInfoAvailable() ||
      FRedrawLocked || !HandleAllocated())
    return;
  if (FScrollBarsCalculating) return;
  FScrollBarsCalculating = true;
  try {
    RefreshOwnScrollBar(FHScrollBar, OBJID_HSCROLL, SB_HORZ);
    RefreshOwnScrollBar(FVScrollBar, OBJID_VSCROLL, SB_VERT);
  } catch (...) {
    FScrollBarsCalculating = false;
    throw;
  }
  FScrollBarsCalculating = false;
}

namespace {

const TPublishedRegistration innerListBoxRegistration(&TcxCustomInnerListBox::ClassInfo, {
    Property<&TcxCustomInnerListBox::AutoCompleteDelay, &TcxCustomInnerListBox::SetAutoCompleteDelay>(
        "AutoCompleteDelay")
        .Default(500),
});

}  // namespace
