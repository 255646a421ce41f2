// The one place that includes <windows.h>. Everything else includes this.
// The Win32 API is called with explicit A/W suffixes; the generic macros that
// would clash with method names of our classes are removed here.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>
// The input method manager (left out by WIN32_LEAN_AND_MEAN).
#include <imm.h>

#undef GetObject
#undef DrawText
#undef LoadBitmap
#undef LoadIcon
#undef LoadCursor
#undef CreateWindow
#undef SendMessage
#undef PostMessage
#undef GetMessage
#undef DispatchMessage
#undef PeekMessage
#undef CreateFont
#undef TextOut
#undef GetClassName
#undef GetWindowText
#undef SetWindowText
#undef GetCurrentTime
#undef CopyFile
#undef DeleteFile
#undef MoveFile
#undef FindText
#undef GetCharWidth
#undef RegisterClass
#undef UnregisterClass
#undef MessageBox
#undef CreateDialog
#undef GetProp
#undef SetProp
#undef RemoveProp
#undef LoadString
#undef LoadImage
#undef LoadMenu
#undef ExitWindows
#undef Yield
#undef IsMinimized
#undef IsMaximized
#undef GetFirstChild
#undef GetNextSibling
#undef GetPrevSibling
#undef GetEnvironmentVariable
