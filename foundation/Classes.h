// The smallest building blocks of the control library: persistent and
// component bases that remember their owner, an owning object list, a
// multicast event, two class registries, weak object links, a component that
// forwards free notifications, and the shared helper routines. Nothing here
// draws or owns a window.
#pragma once

#include "platform/CodePage.h"
#include "platform/Component.h"
#include "platform/Event.h"
#include "platform/List.h"
#include "platform/ResourceString.h"
#include "platform/StringList.h"
#include "platform/Win32.h"

#include <unknwn.h>

#include <vector>

// ---------------------------------------------------------------------------
// Interface-carrying objects whose life is not governed by references.

// `Base` implementing the COM interfaces First, Rest... without reference
// counting: AddRef and Release answer -1 and never free the object, because
// its owner does. QueryInterface answers IUnknown, each interface and
// whatever QueryOther adds.
template <class Base, class First, class... Rest>
class TcxUncountedInterfaces : public Base, public First, public Rest... {
public:
  using Base::Base;
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown) *object = static_cast<IUnknown*>(static_cast<First*>(this));
    else if (riid == __uuidof(First)) *object = static_cast<First*>(this);
    else (void)((riid == __uuidof(Rest) ? (*object = static_cast<Rest*>(this), true) : false) || ...);
    if (*object) return S_OK;
    return QueryOther(riid, object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(-1); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(-1); }

protected:
  virtual HRESULT QueryOther(REFIID riid, void** object) {
    (void)riid;
    (void)object;
    return E_NOINTERFACE;
  }
};

// The marker a control of the library carries, with no operations of its
// own: the scroll bar, the container style and the editors answer it.
struct IcxMarker : public IUnknown {};

// An object handed out as interfaces (IUnknown when none is named) whose
// owner frees it.
template <class First = IUnknown, class... Rest>
using TcxIUnknownObject = TcxUncountedInterfaces<TObject, First, Rest...>;

// A persistent object with an owner (not owned) whose interfaces follow the
// owner's lifetime: releasing an interface never frees it. Descendants that
// hand out further COM interfaces answer them in QueryOther.
class TcxInterfacedPersistent : public TcxUncountedInterfaces<TPersistent, IUnknown> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxInterfacedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() override { return FOwner; }

private:
  TPersistent* FOwner;
};

// A persistent object with an owner (not owned), without interfaces.
class TcxOwnedPersistent : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxOwnedPersistent(TPersistent* AOwner) : FOwner(AOwner) {}
  TPersistent* GetOwner() override { return FOwner; }

private:
  TPersistent* FOwner;
};

// The component base of the control library: weak links to it read null from
// the moment it starts being destroyed, and while designed it remembers up
// to three linked components after loading.
class TcxComponent : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxComponent(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxComponent() override;
  void BeforeDestruction() override;
  void Loaded() override;

  TComponent* LinkedComponent(int index) const { return FLinkedComponents[index]; }

protected:
  // Fills `list` with the components to link (none here).
  virtual void CollectLinkedComponents(TList* list) { (void)list; }
  void UpdateLinkedComponents();

private:
  TComponent* FLinkedComponents[3] = {};  // not owned
};

// A list that owns its objects and frees them in index order on Clear.
class TcxObjectList : public TObjectList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  ~TcxObjectList() override;
  void Clear() override;
  TObject* ItemAt(int index) const { return Items(index); }
};

// ---------------------------------------------------------------------------
// Multicast event.

using TcxEventHandler = TEvent<void(TObject* Sender, const void* EventArgs)>;

// A multicast event: handlers are called in the order they were added.
// Adding a handler twice calls it twice; Remove takes out one occurrence.
class TcxEventHandlerCollection : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  void Add(const TcxEventHandler& handler);
  void Remove(const TcxEventHandler& handler);
  int Count() const { return static_cast<int>(FHandlers.size()); }
  // Calls every handler with the sender and the arguments. Handlers added or
  // removed by a handler take effect at the next call.
  void InvokeAll(TObject* sender, const void* eventArgs) const;

private:
  std::vector<TcxEventHandler> FHandlers;
};

// ---------------------------------------------------------------------------
// Class registries.

// One pair of a class-pair registry.
class TcxRegisteredClassListItemData : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxRegisteredClassListItemData(TClass itemClass, TClass registeredClass)
      : ItemClass(itemClass), RegisteredClass(registeredClass) {}
  TClass ItemClass;
  TClass RegisteredClass;
};

// Pairs of classes looked up by inheritance: a class finds the pair of its
// most derived registered ancestor (or its own). The list keeps a class's
// pair after those of its registered ancestors and before those of its
// registered descendants.
class TcxRegisteredClassList : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxRegisteredClassList() = default;
  ~TcxRegisteredClassList() override;

  void Clear();
  int PairCount() const { return FItems.Count(); }
  TcxRegisteredClassListItemData* PairAt(int index) const {
    return static_cast<TcxRegisteredClassListItemData*>(FItems.Items(index));
  }

  // True when a pair for `itemClass` or one of its ancestors exists; `index`
  // is then that pair's. Otherwise `index` is the lowest index of a pair for
  // a descendant of `itemClass`, or left as it was.
  virtual bool FindPairIndex(TClass itemClass, int& index) const;
  virtual void AddPair(TClass itemClass, TClass registeredClass);
  // Removes every pair equal in both members.
  virtual void RemovePair(TClass itemClass, TClass registeredClass);
  TClass LookupRegisteredClass(TClass itemClass) const;

private:
  TList FItems;  // of TcxRegisteredClassListItemData, owned
};

class TcxRegisteredClasses;

// The string list of a TcxRegisteredClasses: descriptions with the classes
// as objects, and a back reference for the sort comparison.
class TcxRegisteredClassesStringList : public TStringList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxRegisteredClassesStringList(TcxRegisteredClasses* registry) : FRegistry(registry) {}
  TcxRegisteredClasses* Registry() const { return FRegistry; }

private:
  TcxRegisteredClasses* FRegistry;
};

// Classes with descriptions ("Caption|further text"), optionally kept sorted
// by the caption part; classes enrolled in a registry made for streaming are
// also registered so that forms can name them.
class TcxRegisteredClasses : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxRegisteredClasses(bool registerForStreaming = false);
  ~TcxRegisteredClasses() override;

  void EnrolClass(TClass cls, const AnsiString& description);
  void WithdrawClass(TClass cls);
  void Clear();
  int Count() const { return FItems.Count(); }
  TClass ClassAt(int index) const;
  // The description up to, not including, the first "|".
  AnsiString DescriptionAt(int index) const;
  int IndexOfClass(TClass cls) const;
  bool Sorted() const { return FSorted; }
  void SetSortedFlag(bool value);

protected:
  // Locale-aware, case-insensitive comparison of the captions of i and j.
  virtual int CompareEntries(int i, int j) const;
  virtual void SortEntries();

private:
  static int SortCompare(TStringList* list, int i, int j);
  bool FRegisterForStreaming;
  bool FSorted = false;
  TcxRegisteredClassesStringList FItems{this};
};

// The classes forms may name, by class name. Form reading looks classes up
// here; the picture layer keeps its own registry of picture classes.
void RegisterStreamableClass(TClass cls);
void UnregisterStreamableClass(TClass cls);
// The registered class of that name (case-insensitive), or null.
TClass FindStreamableClass(const AnsiString& className);

// ---------------------------------------------------------------------------
// Weak object links: a caller attaches a link before an operation that may
// destroy the object (an event handler, a nested message loop), tests the
// link's Ref afterwards and detaches it. ClearObjectLinks (called by the
// destructors of the library's components and controls) sets every link to
// an object to null.

class TcxObjectLink : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxObjectLink(TObject* ref) : Ref(ref) {}
  TObject* Ref;  // null once the object is destroyed
};

// The live links; exists while at least one link is attached.
class TcxObjectLinkController : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TList Links;  // of TcxObjectLink, not owned
};

TcxObjectLink* AttachObjectLink(TObject* object);
void DetachObjectLink(TcxObjectLink* link);
void ClearObjectLinks(TObject* object);
// The number of attached links, and whether the controller exists.
int AttachedObjectLinkCount();
bool ObjectLinkControllerExists();

// ---------------------------------------------------------------------------
// Free notification forwarding.

using TcxFreeNotificationEvent = TEvent<void(TComponent* AComponent)>;

// A component (usually without owner) that hears when watched components are
// freed and passes the news on through OnFreeNotification.
class TcxFreeNotificator : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxFreeNotificator(TComponent* AOwner = nullptr) : TComponent(AOwner) {}
  // Null is ignored.
  void WatchFreeOf(TComponent* component);
  void UnwatchFreeOf(TComponent* component);

  TcxFreeNotificationEvent OnFreeNotification;

protected:
  void Notification(TComponent* component, TOperation operation) override;
};

// ---------------------------------------------------------------------------
// Shared routines.

// The text of a library message: a replacement set at run time (by the
// string's record or through the resource-string hook, which sees the
// default text too), else the program's string table, else the default.
inline AnsiString LoadOverridableResString(const TResourceString& rs) { return LoadResString(rs); }
// Locale information without its terminating zero; `defaultText` when the
// system has no value.
AnsiString ReadLocaleString(LCID locale, LCTYPE item, const AnsiString& defaultText);
// Address of the byte at the 1-based `position` of `text`.
inline const char* CharPtrAt(const AnsiString& text, int position) { return text.data() + (position - 1); }
// Multi-byte character steps (CharByteCount, NextCharPos, PrevCharPos) come
// from platform/CodePage.h.
inline void CallNotifyEvent(TObject* sender, const TNotifyEvent& event) { FireEvent(event, sender); }
template <class E>
inline bool SameMethod(const E& a, const E& b) { return a == b; }
inline TPersistent* OwnerOfPersistent(TPersistent* persistent) { return persistent->GetOwner(); }
inline SIZE BuildSize(int cx, int cy) { return SIZE{cx, cy}; }
// floor((a + b) / 2) without overflow.
int HalfSumFloor(int a, int b);
inline int SignOfFloat(double value) { return value >= 0 ? 1 : -1; }
void ZeroFill(void* block, size_t length);
// Copies `count` bytes; the blocks may overlap.
void MoveBytes(const void* source, void* destination, size_t count);

// A component name that no component of `owner` other than `component` has:
// the prefix component's Name (when given), then `baseName` stripped to
// ASCII letters, digits and "_" (or a name made from the component's class
// name when that is empty or starts with a digit), then a number from 1 when
// `baseName` is empty or taken. Names compare case-insensitively.
AnsiString GenerateUniqueName(TComponent* owner, TComponent* prefixComponent, TComponent* component,
                              const AnsiString& classNamePrefix, const AnsiString& baseName);

// Start-up and shut-down of this unit (see foundation/FoundationUnits.h).
void cxClassesInit();
void cxClassesDone();

__CRT_UUID_DECL(IcxMarker, 0xEF3FF483, 0x9B69, 0x46DF, 0x95, 0xA4, 0xD3, 0xA3, 0x81, 0x0F, 0x63, 0xA5)
