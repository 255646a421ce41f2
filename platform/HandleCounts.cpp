#include "platform/HandleCounts.h"

#include <atomic>

namespace {

constexpr int KindCount = static_cast<int>(THandleKind::hkMenu) + 1;

// Plain atomics with constant initialisation: counted before any static
// constructor runs and still there after every static destructor.
std::atomic<long> Counts[KindCount];

long Read(THandleKind kind) { return Counts[static_cast<int>(kind)].load(std::memory_order_relaxed); }

}  // namespace

THandleCounts HandleCounts() {
  return THandleCounts{Read(hkGdiObject), Read(hkDeviceContext), Read(hkWindow), Read(hkMenu)};
}

std::string HandleCountsText(const THandleCounts& c) {
  return "GDI objects " + std::to_string(c.GdiObjects) + ", DCs " + std::to_string(c.DeviceContexts) +
         ", windows " + std::to_string(c.Windows) + ", menus " + std::to_string(c.Menus);
}

void HandleCreated(THandleKind kind) { Counts[static_cast<int>(kind)].fetch_add(1, std::memory_order_relaxed); }

void HandleDeleted(THandleKind kind) { Counts[static_cast<int>(kind)].fetch_sub(1, std::memory_order_relaxed); }
