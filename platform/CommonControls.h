// What the controls over the system's common controls share: registering
// the system's window classes once, and holding back the notifications a
// control causes itself.
#pragma once

#include "platform/Win32.h"

// Registers the common-control classes of `classes` (ICC_… flags) once.
void InitCommonControlClasses(DWORD classes);

// Counts a control's own changes of its window while they run; its
// notification handler reports nothing while the count is not zero.
class TQuietScope {
public:
  explicit TQuietScope(int& counter) : FCounter(counter) { ++FCounter; }
  ~TQuietScope() { --FCounter; }
  TQuietScope(const TQuietScope&) = delete;
  TQuietScope& operator=(const TQuietScope&) = delete;

private:
  int& FCounter;
};
