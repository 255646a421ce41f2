#include "platform/WindowSubclass.h"

#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

LRESULT CALLBACK SubclassProc(HWND recordAsWindow, UINT msg, WPARAM wp, LPARAM lp);

// Executable stubs: each one puts its record in place of the window handle
// (the first argument) and jumps to SubclassProc. They jump, never call, so
// no return address points into a stub and one may be freed while the
// procedure it led to still runs.
class TStubPool {
public:
  static constexpr size_t kStubSize = 32;
  static constexpr size_t kBlockSize = 64 * 1024;

  uint8_t* Allocate(void* record) {
    std::lock_guard<std::mutex> guard(FLock);
    if (FFree.empty()) Grow();
    uint8_t* stub = FFree.back();
    FFree.pop_back();
    Write(stub, record);
    return stub;
  }

  void Release(uint8_t* stub) {
    std::lock_guard<std::mutex> guard(FLock);
    std::memset(stub, 0xCC, kStubSize);  // a stray call traps instead of running on
    FFree.push_back(stub);
  }

private:
  void Grow() {
    // Blocks stay for the life of the process: a foreign procedure might
    // still hold a stub's address after the window is gone.
    auto* block = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    if (!block) throw EOutOfMemory("Cannot allocate window procedure stubs");
    for (size_t offset = kBlockSize; offset >= kStubSize; offset -= kStubSize) FFree.push_back(block + offset - kStubSize);
  }

  static void Write(uint8_t* stub, void* record) {
    std::memset(stub, 0xCC, kStubSize);
    const auto target = reinterpret_cast<uintptr_t>(&SubclassProc);
    const auto data = reinterpret_cast<uintptr_t>(record);
#if defined(_M_X64) || defined(__x86_64__)
    // mov rcx, record ; mov rax, SubclassProc ; jmp rax
    stub[0] = 0x48;
    stub[1] = 0xB9;
    std::memcpy(stub + 2, &data, 8);
    stub[10] = 0x48;
    stub[11] = 0xB8;
    std::memcpy(stub + 12, &target, 8);
    stub[20] = 0xFF;
    stub[21] = 0xE0;
#else
    // mov dword ptr [esp+4], record ; jmp SubclassProc
    stub[0] = 0xC7;
    stub[1] = 0x44;
    stub[2] = 0x24;
    stub[3] = 0x04;
    const auto record32 = static_cast<uint32_t>(data);
    std::memcpy(stub + 4, &record32, 4);
    stub[8] = 0xE9;
    const auto relative = static_cast<uint32_t>(target - (reinterpret_cast<uintptr_t>(stub) + 13));
    std::memcpy(stub + 9, &relative, 4);
#endif
    FlushInstructionCache(GetCurrentProcess(), stub, kStubSize);
  }

  std::mutex FLock;
  std::vector<uint8_t*> FFree;
};

TStubPool& Stubs() {
  static auto* pool = new TStubPool;  // stubs may be reached until the process ends
  return *pool;
}

// One message being handled by a record (messages nest when a handler
// sends another message to the same window).
struct TSubclassFrame {
  TSubclassFrame* Outer;
  bool PreviousCalled;
};

}  // namespace

struct TSubclassRecord {
  HWND Wnd = nullptr;
  bool Unicode = false;
  uint8_t* Stub = nullptr;
  WNDPROC Previous = nullptr;   // the procedure this one replaced
  TWndMethod Method;            // cleared when removed
  TWindowSubclass* Holder = nullptr;
  TSubclassFrame* Frame = nullptr;
  int Running = 0;              // messages of the window in progress here
  bool Removed = false;         // only passes messages on
  bool Destroyed = false;       // WM_NCDESTROY has passed

  LRESULT Previously(UINT msg, WPARAM wp, LPARAM lp) {
    if (Frame) Frame->PreviousCalled = true;
    if (!Previous) return Unicode ? DefWindowProcW(Wnd, msg, wp, lp) : DefWindowProcA(Wnd, msg, wp, lp);
    return Unicode ? CallWindowProcW(Previous, Wnd, msg, wp, lp) : CallWindowProcA(Previous, Wnd, msg, wp, lp);
  }

  WNDPROC CurrentProcedure() const {
    return reinterpret_cast<WNDPROC>(Unicode ? GetWindowLongPtrW(Wnd, GWLP_WNDPROC) : GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
  }
  WNDPROC StubProcedure() const { return reinterpret_cast<WNDPROC>(Stub); }

  // Forgets the record; the caller holds the record list's lock.
  static void Free(TSubclassRecord* record);
};

namespace {

// Every record of the process; searched only when subclasses come and go.
struct TRecordList {
  std::recursive_mutex Lock;
  std::vector<TSubclassRecord*> Records;
};

TRecordList& Records() {
  static auto* list = new TRecordList;
  return *list;
}

}  // namespace

void TSubclassRecord::Free(TSubclassRecord* record) {
  std::erase(Records().Records, record);
  if (record->Holder) record->Holder->FRecord = nullptr;
  Stubs().Release(record->Stub);
  delete record;
}

namespace {

// Takes a removed record out of the window's chain when nothing runs in it
// and nothing stands in the way; answers whether it is gone.
bool TryRelease(TSubclassRecord* record) {
  if (!record->Removed || record->Running > 0) return false;
  auto& list = Records();
  std::lock_guard<std::recursive_mutex> guard(list.Lock);
  if (record->Destroyed || !IsWindow(record->Wnd)) {
    TSubclassRecord::Free(record);
    return true;
  }
  if (record->CurrentProcedure() == record->StubProcedure()) {
    const WNDPROC previous = record->Previous;
    if (record->Unicode) {
      SetWindowLongPtrW(record->Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    } else {
      SetWindowLongPtrA(record->Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    const HWND wnd = record->Wnd;
    TSubclassRecord::Free(record);
    // A pass-through of ours just below may now be current: let it go too.
    for (TSubclassRecord* other : list.Records)
      if (other->Wnd == wnd && other->StubProcedure() == previous) {
        TryRelease(other);
        break;
      }
    return true;
  }
  // A subclass of ours calls this one: it can call our predecessor directly.
  // (Only within one character set: a procedure address read in the other
  // one is a translation handle.)
  for (TSubclassRecord* above : list.Records)
    if (above != record && above->Wnd == record->Wnd && above->Previous == record->StubProcedure() &&
        above->Unicode == record->Unicode) {
      above->Previous = record->Previous;
      TSubclassRecord::Free(record);
      return true;
    }
  // A procedure we do not know sits above: stay and pass messages on.
  return false;
}

LRESULT CALLBACK SubclassProc(HWND recordAsWindow, UINT msg, WPARAM wp, LPARAM lp) {
  auto* record = reinterpret_cast<TSubclassRecord*>(recordAsWindow);
  ++record->Running;
  TSubclassFrame frame{record->Frame, false};
  record->Frame = &frame;
  LRESULT result = 0;
  if (!record->Removed && record->Method) {
    // A copy: the method may remove the subclass while it runs.
    const TWndMethod method = record->Method;
    TMessage message{msg, wp, lp, 0};
    const bool completed = GuardCallback(
        [&] {
          method(message);
          return true;
        },
        false);
    result = message.Result;
    if ((!completed || msg == WM_NCDESTROY) && !frame.PreviousCalled) result = record->Previously(msg, wp, lp);
  } else {
    result = record->Previously(msg, wp, lp);
  }
  record->Frame = frame.Outer;
  --record->Running;
  if (msg == WM_NCDESTROY) {
    record->Destroyed = true;
    record->Removed = true;
    record->Method.Clear();
  }
  if (record->Removed) TryRelease(record);
  return result;
}

}  // namespace

TWindowSubclass::~TWindowSubclass() {
  Remove();
  if (FRecord) {
    FRecord->Holder = nullptr;
    FRecord = nullptr;
  }
}

void TWindowSubclass::Attach(HWND wnd, const TWndMethod& method) {
  if (Attached()) throw EInvalidOperation("The subclass is attached already");
  if (FRecord) {  // removed, but its message still runs: let it finish alone
    FRecord->Holder = nullptr;
    FRecord = nullptr;
  }
  if (!wnd || !IsWindow(wnd)) throw EInvalidOperation("Cannot subclass a window that does not exist");
  DWORD process = 0;
  GetWindowThreadProcessId(wnd, &process);
  if (process != GetCurrentProcessId()) throw EInvalidOperation("Cannot subclass a window of another process");
  auto* record = new TSubclassRecord;
  record->Wnd = wnd;
  record->Unicode = IsWindowUnicode(wnd) != FALSE;
  record->Method = method;
  record->Holder = this;
  auto& list = Records();
  std::lock_guard<std::recursive_mutex> guard(list.Lock);
  try {
    record->Stub = Stubs().Allocate(record);
  } catch (...) {
    delete record;
    throw;
  }
  // Known before the switch: nothing can reach the stub in between, but the
  // record is complete either way.
  record->Previous = record->CurrentProcedure();
  SetLastError(0);
  const LONG_PTR stub = reinterpret_cast<LONG_PTR>(record->Stub);
  const LONG_PTR previous =
      record->Unicode ? SetWindowLongPtrW(wnd, GWLP_WNDPROC, stub) : SetWindowLongPtrA(wnd, GWLP_WNDPROC, stub);
  if (previous == 0 && GetLastError() != 0) {
    const DWORD error = GetLastError();
    Stubs().Release(record->Stub);
    delete record;
    throw EOSError(Format("Cannot subclass the window (system error %lu)", static_cast<unsigned long>(error)));
  }
  record->Previous = reinterpret_cast<WNDPROC>(previous);
  list.Records.push_back(record);
  FRecord = record;
}

void TWindowSubclass::Remove() {
  TSubclassRecord* record = FRecord;
  if (!record || record->Removed) return;
  record->Removed = true;
  record->Method.Clear();
  TryRelease(record);
}

void TWindowSubclass::CallPrevious(TMessage& Message) {
  if (!FRecord || FRecord->Destroyed) {
    Message.Result = 0;
    return;
  }
  Message.Result = FRecord->Previously(Message.Msg, Message.WParam, Message.LParam);
}

bool TWindowSubclass::Attached() const { return FRecord && !FRecord->Removed; }

HWND TWindowSubclass::Handle() const { return FRecord ? FRecord->Wnd : nullptr; }

bool TWindowSubclass::Unicode() const { return FRecord && FRecord->Unicode; }

int TWindowSubclass::RecordCount() {
  auto& list = Records();
  std::lock_guard<std::recursive_mutex> guard(list.Lock);
  return static_cast<int>(list.Records.size());
}
