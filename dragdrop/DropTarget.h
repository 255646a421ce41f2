// Drop targets: components that make windows accept OLE drops, choose the
// drop effect from the keys held and the effects the source allows, show the
// source's drag image, scroll the window under a resting cursor, read the
// dropped data through their data formats and fire their events in a fixed
// order. Every IDropTarget method answers a result code; nothing raised
// inside one reaches OLE.
//
// The windows a target serves are given by handle: the target hooks each one
// through a hidden child window (the proxy) that registers the window with
// OLE while it exists and revokes it when it goes.
#pragma once

#include "dragdrop/DragDropComponent.h"
#include "platform/Interfaced.h"
#include "platform/UtilWindow.h"

#include <cstdint>
#include <vector>

// Kept out of this header: the common controls and shell headers.
struct _IMAGELIST;
typedef struct _IMAGELIST* HIMAGELIST;
struct IDropTargetHelper;

enum class TDragType { dtCopy, dtMove, dtLink };
using enum TDragType;
using TDragTypes = TSet<TDragType, 8>;

enum class TScrolDirection { sdUp, sdDown, sdLeft, sdRight };
using enum TScrolDirection;
using TScrolDirections = TSet<TScrolDirection, 8>;

// The keys and buttons held during a drag: the class library's shift state.
#if __has_include("platform/Control.h")
#include "platform/Control.h"
#else
enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using enum TShiftStateItem;
using TShiftState = TSet<TShiftStateItem, 8>;
#endif

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

// An ordered list of windows.
class TControlList : public TObject {
public:
  int Add(HWND control);
  void Insert(int index, HWND control);
  void Delete(int index);
  int IndexOf(HWND control) const;
  HWND Items(int index) const { return FList.at(static_cast<size_t>(index)); }
  int Count() const { return static_cast<int>(FList.size()); }

private:
  std::vector<HWND> FList;
};

class TCustomDropTarget;

// The hidden child window through which a drop target hooks a window: it
// registers its parent with OLE when created and revokes it when destroyed
// (also when the parent is destroyed first). Owned by the drop target.
class TWinControlProxy : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // Raises EOleSysError when the parent cannot be registered.
  TWinControlProxy(TCustomDropTarget* AOwner, HWND parent);
  ~TWinControlProxy() override;

  HWND Handle() const { return FHandle; }
  HWND Parent() const { return FParent; }

private:
  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND FHandle = nullptr;
  HWND FParent;
  bool FRegistered = false;
};

class TDropTargetTransferThread;

class TCustomDropTarget : public TDragDropComponent, public IDropTarget {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomDropTarget(TComponent* AOwner);
  ~TCustomDropTarget() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD* effect) override;

  // Hooks a window: nothing when it is already registered; without
  // MultiTarget every other window is unhooked first; null stops there.
  void RegisterTarget(HWND control);
  // Unhooks one window, or every window for null.
  void UnregisterTarget(HWND control);
  // Reads the clipboard as if it were dropped.
  void PasteClipboard();
  // From an object that is a data object: reads it as a copy drop.
  void Assign(TPersistent* source) override;

  // The window under the drag in progress; otherwise the first registered
  // window (null when none).
  HWND Target() const;
  void SetTarget(HWND value);
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

private:
  friend class TDropTargetTransferThread;
  HRESULT DoDragEnter(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD& effect);
  HRESULT DoDragOver(DWORD keyState, POINTL pt, DWORD& effect);
  HRESULT DoDrop(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD& effect);
  void Hook(HWND control);
  void Unhook(HWND control);
  void WriteFeedback(TClipboardFormat& format);
  void ScrollTimerMessage(TMessage& message);
  void StartScrollTimer(int32_t interval);
  void StopScrollTimer();
  void ScrollTimerTick();
  void TransferTerminated(TObject* sender);
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
