// The control walk: which skinner each control of a skinned window gets.
// The application decides first (OnSkinControl), then the skin data's
// Skin3rd lines ("class=kind"), then the built-in rules by control family;
// windows that are not class library controls are chosen by window class
// and style.
#include "platform/ComCtrls.h"
#include "platform/Buttons.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ListView.h"
#include "platform/Memo.h"
#include "platform/StdCtrls.h"
#include "platform/TreeView.h"
#include "skin/SkinControls.h"
#include "skin/SkinScroll.h"
#include "skin/SkinData.h"
#include "skin/SkinManage.h"
#include "skin/WinSkinForm.h"

#include <algorithm>

void TWinSkinForm::AddSkinControl(TSkinControl* skinner) {
  if (std::find(FSkinControls.begin(), FSkinControls.end(), skinner) == FSkinControls.end())
    FSkinControls.push_back(skinner);
}

void TWinSkinForm::RemoveSkinControl(TSkinControl* skinner) {
  for (size_t i = FSkinControls.size(); i-- > 0;)
    if (FSkinControls[i] == skinner) {
      FSkinControls.erase(FSkinControls.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
}

TSkinControl* TWinSkinForm::FindSkinControlOfWindow(HWND wnd) const {
  for (TSkinControl* s : FSkinControls)
    if (s->Handle() == wnd && s->LifeState() != 6) return s;
  return nullptr;
}

TSkinControl* TWinSkinForm::FindSkinControlOf(TControl* control) const {
  for (TSkinControl* s : FSkinControls)
    if (control && (s->Control() == control || s->GraphicControl() == control)) return s;
  return nullptr;
}

void TWinSkinForm::FreeSkinControls() {
  std::vector<TSkinControl*> skinners;
  skinners.swap(FSkinControls);
  for (auto it = skinners.rbegin(); it != skinners.rend(); ++it) {
    TSkinControl* s = *it;
    s->ClearFormSkinner();
    s->Deactivate();
    delete s;
  }
}

void TWinSkinForm::FreeClosedSkinControls() {
  for (size_t i = FSkinControls.size(); i-- > 0;) {
    TSkinControl* s = FSkinControls[i];
    if (s->LifeState() != 6) continue;
    FSkinControls.erase(FSkinControls.begin() + static_cast<std::ptrdiff_t>(i));
    s->ClearFormSkinner();
    delete s;
  }
}

bool TWinSkinForm::IsSkinned(TControl* control) const {
  if (FindSkinControlOf(control)) return true;
  auto* win = ObjectAs<TWinControl>(control);
  return win && win->HandleAllocated() && SendMessageA(win->Handle(), SM_ISSKINNED, 0, 0) == 1;
}

void TWinSkinForm::SkinFormControls(TWinControl* form) {
  if (!FSkinData || !form) return;
  FreeClosedSkinControls();
  SkinChildren(form);
}

void TWinSkinForm::SkinChildren(TWinControl* control) {
  // The list may change while walking (a skinner may create controls).
  std::vector<TControl*> children;
  for (int i = 0; i < control->ControlCount(); ++i) children.push_back(control->Controls(i));
  for (TControl* child : children) SkinControl(child, control);
}

namespace {

template <class T>
T* Attached(T* skinner, TWinControl* control, TWinSkinForm* form, TSkinData* data, bool useColor) {
  skinner->Attach(control, form, data, useColor, nullptr);
  return skinner;
}

TSkinScrollbar* ScrollbarsOf(TWinControl* control, TWinSkinForm* form, TSkinData* data, int mode) {
  // A list view's header is skinned with its scroll bars.
  TSkinScrollbar* skinner =
      ObjectAs<TCustomListView>(control) ? new TSkinListView(nullptr) : new TSkinScrollbar(nullptr);
  skinner->SetMode(mode);
  skinner->AttachScrollbars(control, data, form, nullptr);
  return skinner;
}

// A windowed control with window scroll bars in its style, or a list box,
// memo or tree view.
bool HasWindowScrollBars(TControl* control) {
  auto* win = ObjectAs<TWinControl>(control);
  if (!win) return false;
  if (ObjectAs<TCustomListBox>(control) || ObjectAs<TCustomMemo>(control) || ObjectAs<TCustomTreeView>(control) ||
      ObjectAs<TCustomListView>(control))
    return true;
  return win->HandleAllocated() && (GetWindowLongA(win->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0;
}

void DisableGroupChildren(TWinControl* group, int tag) {
  for (int i = 0; i < group->ControlCount(); ++i) group->Controls(i)->SetTag(tag);
}

}  // namespace

void TWinSkinForm::SkinControl(TControl* control, TWinControl* parent) {
  if (!control || !FSkinData) return;
  const TSkinControlTypes kinds = FSkinData->SkinControls();
  auto* win = ObjectAs<TWinControl>(control);
  if (control->Tag() == FSkinData->DisableTag()) {
    const AnsiString lower = LowerCase(control->ClassName());
    if (win && win->ControlCount() > 0 &&
        (lower.find("radiogroup") != AnsiString::npos || lower.find("checkgroup") != AnsiString::npos))
      DisableGroupChildren(win, FSkinData->DisableTag());
    return;
  }
  if (!control->Parent() || IsSkinned(control)) return;
  const AnsiString upper = UpperCase(control->ClassName());
  if (win) {
    try {
      win->HandleNeeded();
    } catch (...) {
      return;
    }
    if (!win->HandleAllocated()) return;
  }
  if (FSkinData->OnSkinControl) {
    TComponent* chosen = nullptr;
    FSkinData->OnSkinControl(this, FSkinData, parent, control, upper, chosen);
    if (chosen) {
      if (auto* skinner = ObjectAs<TSkinControl>(chosen)) {
        const bool known = FindSkinControlOf(control) == skinner;
        AddSkinControl(skinner);
        if (!known && win) skinner->Attach(win, this, FSkinData, skinner->UseSkinColor(), nullptr);
        if (win && ObjectAs<TCustomPanel>(control)) SkinChildren(win);
      }
      return;
    }
  }
  if (SkinBySkin3rd(control->ClassName(), control)) return;
  if (upper == "TDBCOMBOBOXEH" || upper == "TFRDESIGNERPAGE" || upper == "TFRPBOX") return;

  if (upper == "TMVCPANEL" && win) {
    SkinChildren(win);
    return;
  }
  if (ObjectAs<TCheckBox>(control)) {
    if (kinds.Contains(xcCheckBox)) Attached(new TSkinCheckBox(nullptr), win, this, FSkinData, false);
    return;
  }
  // Radio buttons of the class library look like the skin's radio buttons
  // too, not only those of radio groups and foreign dialogs.
  if (ObjectAs<TRadioButton>(control)) {
    if (kinds.Contains(xcRadioButton)) Attached(new TSkinRadioButton(nullptr), win, this, FSkinData, false);
    return;
  }
  if (ObjectAs<TCustomGroupBox>(control)) {
    if (!kinds.Contains(xcPanel)) return;
    SkinChildren(win);
    Attached(new TSkinGroupBox(nullptr), win, this, FSkinData, false);
    return;
  }
  if (upper == "TUPDOWN" || upper == "TSPINBUTTON") {
    if (kinds.Contains(xcSpin)) Attached(new TSkinUpDown(nullptr), win, this, FSkinData, false);
    return;
  }
  if (ObjectAs<TStatusBar>(control)) {
    if (kinds.Contains(xcStatusBar)) Attached(new TSkinStatusBar(nullptr), win, this, FSkinData, false);
    return;
  }
  if (ObjectAs<TProgressBar>(control)) {
    if (kinds.Contains(xcProgress)) Attached(new TSkinProgress(nullptr), win, this, FSkinData, false);
    return;
  }
  if (upper == "TRICHEDIT" || upper == "TWWDBRICHEDIT" || upper == "TDXDBMEMO") {
    if (kinds.Contains(xcScrollbar)) ScrollbarsOf(win, this, FSkinData, 0);
    return;
  }
  if (ObjectAs<TBitBtn>(control)) {
    // A glyph button without xcBitBtn keeps its native look, even though it
    // is a push button too.
    if (kinds.Contains(xcBitBtn)) Attached(new TSkinBitButton(nullptr), win, this, FSkinData, false);
    return;
  }
  if (ObjectAs<TCustomPanel>(control)) {
    if (!kinds.Contains(xcPanel)) return;
    SkinChildren(win);
    Attached(new TSkinBox(nullptr), win, this, FSkinData, true);
    return;
  }
  if (upper == "TDXTREELIST" || upper == "TDXDBTREELIST" || upper == "TDXDBGRID" || ObjectAs<TCustomMemo>(control) ||
      HasWindowScrollBars(control)) {
    if (kinds.Contains(xcScrollbar)) {
      ScrollbarsOf(win, this, FSkinData, 0);
      return;
    }
    if (ObjectAs<TCustomMemo>(control) || upper.rfind("TDX", 0) == 0) return;
  }
  // A scroll-bar control: one panel over it.
  if (ObjectAs<TScrollBar>(control)) {
    if (kinds.Contains(xcScrollbar)) {
      auto* skinner = new TSkinScControl(nullptr);
      skinner->AttachBar(win, FSkinData, this, nullptr);
    }
    return;
  }
  if (ObjectAs<TButton>(control)) {
    if (kinds.Contains(xcButton)) Attached(new TSkinButton(nullptr), win, this, FSkinData, false);
    return;
  }
  if (win && ObjectAs<TCustomForm>(control)) {
    Attached(new TSkinBox(nullptr), win, this, FSkinData, true);
    SkinChildren(win);
    return;
  }
  if (win && win->ControlCount() > 0) SkinChildren(win);
}

bool TWinSkinForm::SkinBySkin3rd(const AnsiString& className, TControl* control) {
  const AnsiString key = LowerCase(className) + "=";
  AnsiString kind;
  bool found = false;
  TStringList* lines = FSkinData->Skin3rd();
  for (int i = 0; i < lines->Count() && !found; ++i) {
    const AnsiString line = LowerCase(lines->Strings(i));
    if (line.rfind(key, 0) == 0) {
      kind = line.substr(key.size(), 50);
      found = true;
    }
  }
  if (!found) return false;
  if (kind == "nil") return true;
  const TSkinControlTypes kinds = FSkinData->SkinControls();
  auto* win = ObjectAs<TWinControl>(control);
  if (!win) return true;
  if (kind == "button" && kinds.Contains(xcButton)) {
    Attached(new TSkinButton(nullptr), win, this, FSkinData, false);
  } else if (kind == "bitbtn" && kinds.Contains(xcButton)) {
    Attached(new TSkinBitButton(nullptr), win, this, FSkinData, false);
  } else if (kind == "radiobutton" && kinds.Contains(xcRadioButton)) {
    Attached(new TSkinRadioButton(nullptr), win, this, FSkinData, false);
  } else if (kind == "checkbox" && kinds.Contains(xcCheckBox)) {
    Attached(new TSkinCheckBox(nullptr), win, this, FSkinData, false);
  } else if (kind == "panel" && kinds.Contains(xcPanel)) {
    SetPropText(control, "Transparent", "True");
    Attached(new TSkinBox(nullptr), win, this, FSkinData, true);
  } else if (kind == "groupbox" && kinds.Contains(xcGroupBox)) {
    Attached(new TSkinGroupBox(nullptr), win, this, FSkinData, true);
  } else if (kind == "progress" && kinds.Contains(xcProgress)) {
    Attached(new TSkinProgress(nullptr), win, this, FSkinData, false);
  } else if (kind == "trackbar" && kinds.Contains(xcButton)) {
    SetPropText(control, "Transparent", "True");
    Attached(new TSkinTrackBar(nullptr), win, this, FSkinData, false);
  } else if (kind == "scrollbar" && kinds.Contains(xcScrollbar)) {
    ScrollbarsOf(win, this, FSkinData, 0);
    SkinChildren(win);
  } else if (kind == "singlescrollbar" && kinds.Contains(xcScrollbar)) {
    ScrollbarsOf(win, this, FSkinData, 1);
  } else if (kind == "embedscrollbar" && kinds.Contains(xcScrollbar)) {
    for (int i = 0; i < win->ControlCount(); ++i) {
      auto* child = ObjectAs<TWinControl>(win->Controls(i));
      if (child && !IsSkinned(child) && HasWindowScrollBars(child)) ScrollbarsOf(child, this, FSkinData, 0);
    }
  } else if (kind == "container") {
    SkinChildren(win);
  } else if (kind == "radiogroup" && kinds.Contains(xcGroupBox)) {
    if (kinds.Contains(xcRadioButton)) SkinGroupButtons(win, true);
    Attached(new TSkinGroupBox(nullptr), win, this, FSkinData, true);
  } else if (kind == "checkgroup" && kinds.Contains(xcPanel)) {
    if (kinds.Contains(xcRadioButton)) SkinGroupButtons(win, false);
    if (kinds.Contains(xcGroupBox)) Attached(new TSkinGroupBox(nullptr), win, this, FSkinData, true);
  }
  return true;
}

void TWinSkinForm::SkinGroupButtons(TWinControl* group, bool radio) {
  for (int i = 0; i < group->ControlCount(); ++i) {
    auto* child = ObjectAs<TWinControl>(group->Controls(i));
    if (!child || child->Tag() == FSkinData->DisableTag() || IsSkinned(child)) continue;
    TSkinControl* skinner = radio ? static_cast<TSkinControl*>(new TSkinRadioButton(nullptr)) : new TSkinCheckBox(nullptr);
    Attached(skinner, child, this, FSkinData, false);
  }
}

void TWinSkinForm::SkinChildWindows(HWND wnd) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetWindowLongA(child, GWL_STYLE) & WS_CHILD) children.push_back(child);
  for (HWND child : children) SkinForeignWindow(child);
}

void TWinSkinForm::SkinForeignWindow(HWND wnd) {
  if (!FSkinData || FindSkinControlOfWindow(wnd)) return;
  const AnsiString cls = LowerCase(GetClassNameStr(wnd)).substr(0, 100);
  const LONG style = GetWindowLongA(wnd, GWL_STYLE);
  const TSkinControlTypes kinds = FSkinData->SkinControls();
  TSkinControl* skinner = nullptr;
  if (cls == "button" && (style & 0xB) != 0xB) {
    if ((style & 7) == 7 || (style & 0x80)) return;
    if ((style & 3) == 3 || (style & 4) || (style & 5) == 5) {
      if (kinds.Contains(xcCheckBox)) skinner = new TSkinCheckBox(nullptr);
    } else if ((style & 9) == 9 || (style & 0x10)) {
      if (kinds.Contains(xcRadioButton)) skinner = new TSkinRadioButton(nullptr);
    } else if (kinds.Contains(xcButton)) {
      skinner = new TSkinButton(nullptr);
    }
  } else if (cls == "scrollbar" && !(style & 0x10000)) {
    // Only the size-box kind: a real foreign scroll bar painted over in the
    // skin colour would vanish.
    if (style & (SBS_SIZEBOX | SBS_SIZEGRIP)) skinner = new TSkinSizer(nullptr);
  } else if (cls == "#32770" && !(style & 0x10000)) {
    SkinChildWindows(wnd);
    skinner = new TSkinBoxH(nullptr);
  } else if (cls == "tprogressbar") {
    skinner = new TSkinProgress(nullptr);
  } else if (cls == "toolbarwindow32") {
    skinner = new TSkinBoxH(nullptr);
  }
  if (skinner) skinner->AttachHandle(wnd, FSkinData, this, nullptr);
}

void TWinSkinForm::ReskinScrollbars(HWND wnd) {
  for (size_t i = FSkinControls.size(); i-- > 0;) {
    TSkinControl* old = FSkinControls[i];
    if (old->Handle() != wnd) continue;
    auto* scroll = ObjectAs<TSkinScrollbar>(old);
    if (!scroll) return;
    TWinControl* control = scroll->Control();
    const int mode = scroll->Mode();
    FSkinControls.erase(FSkinControls.begin() + static_cast<std::ptrdiff_t>(i));
    old->ClearFormSkinner();
    old->Deactivate();
    delete old;
    if (control && control->HandleAllocated()) ScrollbarsOf(control, this, FSkinData, mode);
    return;
  }
}
