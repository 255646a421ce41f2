// The start-up entries of the control foundation's units. The program lists
// them in its one unit order (platform/Units.h) at these relative places:
// the GDI+ binding first, then the PNG picture's registration (which starts
// GDI+ and registers "PNG" only when that succeeds); later the component
// base unit, the visual-styles binding and the theme manager; geometry after
// the Office 2003 palette unit; the base-control utilities (operating-system
// flags, cursors) and the graphics unit (alpha blending) after it; the
// desktop window manager binding after the graphics unit. Shut-down runs in reverse, so GDI+ goes last.
#pragma once

#include "foundation/Classes.h"
#include "foundation/Controls.h"
#include "foundation/GdiPlusApi.h"
#include "foundation/GdiPlusClasses.h"
#include "foundation/Geometry.h"
#include "foundation/Graphics.h"
#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "platform/Units.h"

inline constexpr TUnitEntry dxGDIPlusAPIUnit{"dxGDIPlusAPI", &dxGDIPlusAPIInit, &dxGDIPlusAPIDone};
inline constexpr TUnitEntry dxGDIPlusClassesUnit{"dxGDIPlusClasses", &dxGDIPlusClassesInit, &dxGDIPlusClassesDone};
inline constexpr TUnitEntry cxClassesUnit{"cxClasses", &cxClassesInit, &cxClassesDone};
inline constexpr TUnitEntry dxUxThemeUnit{"dxUxTheme", &dxUxThemeInit, &dxUxThemeDone};
inline constexpr TUnitEntry dxThemeManagerUnit{"dxThemeManager", &dxThemeManagerInit, &dxThemeManagerDone};
inline constexpr TUnitEntry cxGeometryUnit{"cxGeometry", &cxGeometryInit, &cxGeometryDone};
inline constexpr TUnitEntry cxControlsUnit{"cxControls", &cxControlsInit, &cxControlsDone};
inline constexpr TUnitEntry cxGraphicsUnit{"cxGraphics", &cxGraphicsInit, &cxGraphicsDone};
inline constexpr TUnitEntry cxDWMApiUnit{"cxDWMApi", &cxDWMApiInit, &cxDWMApiDone};
