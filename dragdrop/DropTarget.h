// Drop targets: components that make windows accept OLE drops, choose the
// drop effect from the keys held and the effects the source allows, show the
// source's drag image, scroll the window under a resting cursor, read the
// dropped data through their data formats and fire their events in a fixed
// order. Every IDropTarget method answers a result code; nothing raised
// inside one reaches OLE.
//
// The windows a target serves are controls of the class library or plain
// windows given by handle: the target hooks each one through a hidden child
// control (the proxy) that registers its parent's window with OLE whenever
// that window is created and revokes it whenever it is destroyed, so a
// control whose window is re-created stays a drop target.
#pragma once

#include "dragdrop/DragDropComponent.h"
#include "platform/Control.h"
#include "platform/Interfaced.h"
#include "platform/UtilWindow.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Kept out of this header: the common controls and shell headers.
struct _IMAGELIST;
typedef struct _IMAGELIST* HIMAGELIST;
struct IDropTargetHelper;

enum class TDragType { dtCopy, dtMove, dtLink };
using enum TDragType;
using TDragTypes = TSet<TDragType, 8>;

// Its names stay inside the enumeration: sdLeft and sdRight are also the
// panel family's frame sides, and a window may use both.
enum class TScrolDirection { sdUp, sdDown, sdLeft, sdRight };
using TScrolDirections = TSet<TScrolDirection, 8>;

using TDropTargetEvent = TEvent<void(TObject* Sender, TShiftState ShiftState, const POINT& APoint, int32_t& Effect)>;
using TDropTargetScrollEvent =
    TEvent<void(TObject* Sender, POINT& Point, TScrolDirections& Scroll, int32_t& Interval)>;
using TDataFormatConsiderEvent = TEvent<void(TObject* Sender, TCustomDataFormat* DataFormat, bool& Accept)>;

// The first automatic scroll and each further one, in milliseconds.
constexpr int32_t ScrollStartDelay = 50;
constexpr int32_t ScrollRepeatInterval = 50;

TShiftState ShiftStateFromKeys(DWORD keyState);
DWORD DragTypesToEffects(TDragTypes dragTypes);
// Shift+Ctrl asks for link, Ctrl for copy, nothing or Shift for move; when
// that is not allowed and `fallback` is set, the first allowed of copy, move
// and link.
DWORD ChooseDropEffect(TShiftState shift, DWORD allowed, bool fallback);
// A client point as the image-list drag functions want it: relative to the
// window's outer top-left corner.
POINT ClientToWindowPoint(HWND window, const POINT& clientPoint);

// The ordered list of what a drop target serves: controls of the class
// library (followed through re-creations of their window) and plain windows
// given by handle.
class TControlList : public TObject {
public:
  struct TEntry {
    TWinControl* Control = nullptr;  // null for a plain window
    HWND Window = nullptr;           // only for a plain window
  };
  int Add(TWinControl* control) { return Add(TEntry{control, nullptr}); }
  int Add(HWND window) { return Add(TEntry{nullptr, window}); }
  int Add(const TEntry& entry);
  void Insert(int index, const TEntry& entry);
  void Delete(int index);
  int IndexOf(TWinControl* control) const;
  // A plain window's entry (a control is found through IndexOf(control)).
  int IndexOf(HWND window) const;
  // The entry of a component, compared by address only: usable while the
  // component is being destroyed.
  int IndexOfComponent(const TComponent* component) const;
  // The window of an entry: a control's present one (null while it has none).
  HWND Items(int index) const;
  TWinControl* Controls(int index) const { return Entry(index).Control; }
  const TEntry& Entry(int index) const { return FList.at(static_cast<size_t>(index)); }
  int Count() const { return static_cast<int>(FList.size()); }

private:
  std::vector<TEntry> FList;
};

class TCustomDropTarget;

// The hidden child control through which a drop target hooks a control or a
// window: each time its own window is created it registers its parent's
// window with OLE (a failure raises EOleSysError), and each time its window
// is destroyed (also when the parent's destruction takes it along) it
// revokes that registration. Invisible and of no size, so it is never found
// under the cursor. Owned by the drop target.
class TWinControlProxy : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TWinControlProxy(TCustomDropTarget* AOwner);

  // Becomes a child of the control; registered once the control has a window.
  void HookControl(TWinControl* control);
  // Becomes a child of a plain window; registered at once.
  void HookWindow(HWND window);
  TWinControl* TargetControl() const { return FTargetControl; }
  HWND TargetWindow() const { return FTargetWindow; }
  // The window registered with OLE now (null while none is).
  HWND RegisteredWindow() const { return FRegistered; }

  void WndProc(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;

private:
  void Revoke();
  TCustomDropTarget* FDropTarget;
  TWinControl* FTargetControl = nullptr;
  HWND FTargetWindow = nullptr;
  HWND FRegistered = nullptr;
};

class TDropTargetTransferThread;

class TCustomDropTarget : public TDragDropComponent, public IDropTarget {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomDropTarget(TComponent* AOwner);
  ~TCustomDropTarget() override;
  // Lets an asynchronous transfer go: waits until its thread no longer reads
  // the data formats, and no drop of it fires any more.
  void BeforeDestruction() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD* effect) override;

  // Hooks a control or a window: nothing when it is already registered;
  // without MultiTarget everything else is unhooked first; null stops there.
  // A window that belongs to a control of the class library hooks that
  // control, so it stays hooked when its window is re-created.
  void RegisterTarget(TWinControl* control);
  void RegisterTarget(HWND control);
  void RegisterTarget(std::nullptr_t) { RegisterTarget(static_cast<HWND>(nullptr)); }
  // Unhooks one control or window, or everything for null. A control that
  // is freed is unhooked through its free notification.
  void UnregisterTarget(TWinControl* control);
  void UnregisterTarget(HWND control);
  void UnregisterTarget(std::nullptr_t) { UnregisterTarget(static_cast<HWND>(nullptr)); }
  // Reads the clipboard as if it were dropped.
  void PasteClipboard();
  // From an object that is a data object: reads it as a copy drop.
  void Assign(TPersistent* source) override;

  // The window under the drag in progress; otherwise the first registered
  // window (null when none).
  HWND Target() const;
  // The control of the class library that Target() stands for (null for a
  // plain window or none).
  TWinControl* TargetControl() const;
  void SetTarget(TWinControl* value);
  void SetTarget(HWND value);
  void SetTarget(std::nullptr_t) { SetTarget(static_cast<HWND>(nullptr)); }
  const TControlList& Targets() const { return FTargets; }
  // The drag in progress, or null.
  IDataObject* DataObject() const { return FDataObject.Get(); }
  bool TransferRunning() const { return FTransferRunning; }

  TDragTypes DragTypes;
  bool GetDataOnEnter = false;
  bool MultiTarget = false;
  bool OptimizedMove = false;
  bool AutoScroll = true;
  bool AutoRegister = true;
  bool AllowAsyncTransfer = false;
  bool ShowImage() const { return FShowImage; }
  void SetShowImage(bool value);

  TDropTargetEvent OnEnter;
  TDropTargetEvent OnDragOver;
  TNotifyEvent OnLeave;
  TDropTargetEvent OnDrop;
  TDropTargetEvent OnGetDropEffect;
  TDropTargetScrollEvent OnScroll;
  TNotifyEvent OnStartAsyncTransfer;
  TNotifyEvent OnEndAsyncTransfer;

protected:
  bool GetInterface(REFIID riid, void** object) override;
  void Notification(TComponent* component, TOperation operation) override;

  virtual void FireEnter(TShiftState shift, const POINT& point, int32_t& effect);
  virtual void FireDragOver(TShiftState shift, const POINT& point, int32_t& effect);
  virtual void FireDrop(TShiftState shift, const POINT& point, int32_t& effect);
  virtual void FireLeave();
  virtual void FirePaste(int32_t& effect);
  virtual void FireScroll(POINT& point, TScrolDirections& scroll, int32_t& interval);
  virtual bool FetchData(int32_t effect);
  virtual bool ReadFormats() = 0;
  virtual void ResetData() = 0;
  virtual int32_t ComputeDropEffect(TShiftState shift, const POINT& point, int32_t sourceEffects);
  virtual int32_t ReadPreferredEffect();
  virtual void ReportPerformedEffect(int32_t effect);
  virtual void ReportPasteSucceeded(int32_t effect);
  virtual HWND ControlAtPoint(const POINT& screenPoint);
  virtual bool OffersAcceptedFormat(IDataObject* dataObject) = 0;
  // What BeforeDestruction does, for destructors that free data formats (a
  // target destroyed by a plain delete runs them first).
  void LetTransferGo();
  // Whether automatic scrolling waits for its next tick.
  bool ScrollTimerRunning() const { return FScrollTimerRunning; }

private:
  friend class TDropTargetTransferThread;
  HRESULT DoDragEnter(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD& effect);
  HRESULT DoDragOver(DWORD keyState, POINTL pt, DWORD& effect);
  HRESULT DoDrop(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD& effect);
  void RegisterEntry(const TControlList::TEntry& entry);
  void SetTargetEntry(const TControlList::TEntry& entry);
  // Removes an entry and unhooks it; `alive` is false while the entry's
  // control is being destroyed (it is then not touched at all).
  void UnregisterAt(int index, bool alive);
  bool Contains(const TControlList::TEntry& outer, const TControlList::TEntry& inner) const;
  void Hook(const TControlList::TEntry& entry);
  void Unhook(const TControlList::TEntry& entry, bool alive);
  void WriteFeedback(TClipboardFormat& format);
  void ScrollTimerMessage(TMessage& message);
  void StartScrollTimer(int32_t interval);
  void StopScrollTimer();
  void ScrollTimerTick();
  void TransferTerminated();
  HIMAGELIST PlaceholderImages();

  TComPtr<IDataObject> FDataObject;
  TControlList FTargets;
  HWND FTarget = nullptr;
  HIMAGELIST FPlaceholderImages = nullptr;
  HIMAGELIST FDragImageList = nullptr;
  bool FShowImage = true;
  POINT FHotspot{};
  TComPtr<IDropTargetHelper> FDragImageObject;
  POINT FLastPoint{};
  uint8_t FScrollBars = 0;  // 1: horizontal, 2: vertical
  HWND FTimerWindow = nullptr;
  bool FScrollTimerRunning = false;
  RECT FNoScrollRect{};
  bool FTransferRunning = false;
  TDropTargetTransferThread* FTransferThread = nullptr;
};

// A drop target that reads any number of data formats (its data formats
// list, filled by the data formats it owns).
class TCustomDropMultiTarget : public TCustomDropTarget {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomDropMultiTarget(TComponent* AOwner);
  ~TCustomDropMultiTarget() override;

  TDataFormatConsiderEvent OnConsiderFormat;

protected:
  virtual void FireConsiderFormat(TCustomDataFormat* dataFormat, bool& accept);
  bool ReadFormats() override;
  void ResetData() override;
  bool OffersAcceptedFormat(IDataObject* dataObject) override;
};
