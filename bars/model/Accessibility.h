// The accessibility helpers of the bar objects: what accessibility clients
// and the framework's own keyboard navigation and key tips ask of a dock,
// a bar window, a caption button or an item control, and the unit's lookups
// between them.
#pragma once

#include "foundation/Accessibility.h"
#include "platform/Win32.h"

class TdxBarAccessibilityHelper;
class TdxBarManager;

// What keyboard navigation asks of a bar object's helper. The helper's
// life is its reference count: an owner keeps one reference and gives it
// back through ReleaseAccessibilityHelper.
class IdxBarAccessibilityHelper {
public:
  virtual TcxAccessibilityHelper* HelperObject() = 0;
  // The owner is going: the helper answers nothing about it any more.
  virtual void ReleaseOwner() = 0;
  virtual TdxBarAccessibilityHelper* BarHelperObject() = 0;
  virtual TdxBarManager* OwningBarManager() = 0;
  // The navigation controller's current selection.
  virtual bool IsCurrentTarget() = 0;

protected:
  ~IdxBarAccessibilityHelper() = default;
};

// The base of the bar objects' helpers.
class TdxBarAccessibilityHelper : public TcxAccessibilityHelper, public IdxBarAccessibilityHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarAccessibilityHelper(TObject* owner) : TcxAccessibilityHelper(owner) {}

  TcxAccessibilityHelper* HelperObject() override { return this; }
  void ReleaseOwner() override { MarkOwnerGone(); }
  TdxBarAccessibilityHelper* BarHelperObject() override { return this; }
  TdxBarManager* OwningBarManager() override { return nullptr; }
  bool IsCurrentTarget() override;

  // Key tips: the helper whose level shows this one's key tip (null at
  // the top), whether this helper holds a level of its own, and leaving
  // the level shown.
  virtual TdxBarAccessibilityHelper* KeyTipParent() { return nullptr; }
  virtual bool IsKeyTipContainer() { return false; }
  virtual void LeaveKeyTipLevel() {}
};

// Gives the owner's reference back (the helper forgets its owner first)
// and clears the variable.
void ReleaseAccessibilityHelper(IdxBarAccessibilityHelper*& helper);
// The object's bar helper interface, or null.
IdxBarAccessibilityHelper* QueryAccessibilityHelper(TObject* object);
// From the helper's key-tip parent up to the first container (or the last
// helper that has no parent); null when the helper has no parent at all.
IdxBarAccessibilityHelper* KeyTipContainerOf(IdxBarAccessibilityHelper* helper);
void EscapeKeyTipLevel(IdxBarAccessibilityHelper* helper);

// May supply the root navigation object of a window; never set by the
// framework itself.
using TRootAccessibleHook = void (*)(HWND wnd, IdxBarAccessibilityHelper*& helper);
extern TRootAccessibleHook RootAccessibleHook;
// The hook's answer, else the helper of the main menu bar's window of the
// window's manager; null when neither gives one.
IdxBarAccessibilityHelper* RootAccessibleOfWindow(HWND wnd);
