// The theme manager: one open theme handle per themed object kind, opened on
// first use and kept; whether visual styles can be used at all; and, when
// the system theme changes, every handle closed (they reopen lazily with the
// new theme) and the registered notificators told.
#pragma once

#include "platform/Event.h"
#include "platform/Object.h"
#include "platform/Set.h"
#include "platform/Win32.h"

#include <uxtheme.h>

#include <string>

enum TdxThemedObjectType {
  totButton, totClock, totComboBox, totEdit, totExplorerBar, totHeader, totListBox, totListView, totMenu, totPage,
  totProgress, totRebar, totScrollBar, totSpin, totStartPanel, totStatus, totTab, totTaskBand, totTaskBar,
  totToolBar, totToolTip, totTrackBar, totTrayNotify, totTreeView, totWindow
};
constexpr int ThemedObjectTypeCount = 25;
// A set of kinds: bit i for kind i.
using TdxThemedObjectTypes = TSet<TdxThemedObjectType, 32>;

// One cache entry: the open handle (null when none) and the class list it
// was opened with.
struct TdxThemeData {
  HTHEME Theme = nullptr;
  std::wstring ClassList;
};

// IsThemeActive as last read (at start-up and at each theme change).
bool VisualStylesActive();
// The cached or newly opened handle of `kind`, null when visual styles
// cannot be used or the theme does not open. A different `classList`
// (compared without regard to case) closes the handle and opens that one,
// which then is the kind's handle for callers without a class list.
HTHEME AcquireThemeHandle(TdxThemedObjectType kind, const wchar_t* classList = nullptr);
// 1 when visual styles cannot be used, 0 when no handle was open, else the
// result of closing it.
HRESULT ReleaseThemeHandle(TdxThemedObjectType kind);
void ReleaseAllThemeHandles();
const TdxThemeData& ThemeDataOf(TdxThemedObjectType kind);
// The class list a kind opens by default ("Button", ...).
const wchar_t* DefaultThemeClassList(TdxThemedObjectType kind);
// Visual styles are on, the library is bound and the kind's theme opens.
bool CanUseVisualStyle(TdxThemedObjectType kind);
// The same for every kind of the set; an empty set needs no open handle.
bool CanUseVisualStyles(TdxThemedObjectTypes kinds = {});

// Hears of system theme changes through OnVisualStyleChange. One created
// while the theme library is not bound never hears anything.
class TdxThemeChangedNotificator : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator() override;

  TNotifyEvent OnVisualStyleChange;
};

// The hidden top-level window that receives WM_THEMECHANGED (null when the
// theme library is not bound); the test programs send to it directly.
HWND ThemeChangeReceiverWindow();
// Tells every notificator of a theme change: the receiver's last step for
// WM_THEMECHANGED, after closing the handles and reading the state again.
void HandleThemeChanged();

void dxThemeManagerInit();
void dxThemeManagerDone();
