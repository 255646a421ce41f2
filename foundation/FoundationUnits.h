// The start-up entries of the control foundation's units. The program lists
// them in its one unit order (platform/Units.h) at these relative places:
// the GDI+ binding first, then the PNG picture's registration (which starts
// GDI+ and registers "PNG" only when that succeeds); later the component
// base unit, the visual-styles binding and the theme manager; the Office 2003
// palette unit (GradientFill); geometry; the look-and-feel unit (the root
// look and feel, whose palette notifier makes the listener that first
// computes the Office 2003 palette) and the painters unit (painter registry,
// indicator images, scroll page bitmaps, check-box glyph size); the
// base-control utilities (operating-system flags, cursors) and the graphics
// unit (alpha blending) after them; the desktop window manager binding after
// the graphics unit, and the container unit (GetScrollBarInfo) after it;
// then the accessibility unit ("oleacc.dll"), the fading unit (the global
// fader) and last the styles unit (style classes forms can name).
// Shut-down runs in reverse, so GDI+ goes last.
#pragma once

#include "foundation/Accessibility.h"
#include "foundation/Classes.h"
#include "foundation/ContainerServices.h"
#include "foundation/Controls.h"
#include "foundation/Fading.h"
#include "foundation/GdiPlusApi.h"
#include "foundation/GdiPlusClasses.h"
#include "foundation/Geometry.h"
#include "foundation/LookAndFeel.h"
#include "foundation/Office11.h"
#include "foundation/PainterResources.h"
#include "foundation/Styles.h"
#include "foundation/Graphics.h"
#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "platform/Units.h"

inline constexpr TUnitEntry dxGDIPlusAPIUnit{"dxGDIPlusAPI", &dxGDIPlusAPIInit, &dxGDIPlusAPIDone};
inline constexpr TUnitEntry dxGDIPlusClassesUnit{"dxGDIPlusClasses", &dxGDIPlusClassesInit, &dxGDIPlusClassesDone};
inline constexpr TUnitEntry cxClassesUnit{"cxClasses", &cxClassesInit, &cxClassesDone};
inline constexpr TUnitEntry dxUxThemeUnit{"dxUxTheme", &dxUxThemeInit, &dxUxThemeDone};
inline constexpr TUnitEntry dxThemeManagerUnit{"dxThemeManager", &dxThemeManagerInit, &dxThemeManagerDone};
inline constexpr TUnitEntry dxOffice11Unit{"dxOffice11", &dxOffice11Init, &dxOffice11Done};
inline constexpr TUnitEntry cxGeometryUnit{"cxGeometry", &cxGeometryInit, &cxGeometryDone};
inline constexpr TUnitEntry cxLookAndFeelsUnit{"cxLookAndFeels", &cxLookAndFeelsInit, &cxLookAndFeelsDone};
inline constexpr TUnitEntry cxLookAndFeelPaintersUnit{"cxLookAndFeelPainters", &cxLookAndFeelPaintersInit,
                                                     &cxLookAndFeelPaintersDone};
inline constexpr TUnitEntry cxControlsUnit{"cxControls", &cxControlsInit, &cxControlsDone};
inline constexpr TUnitEntry cxGraphicsUnit{"cxGraphics", &cxGraphicsInit, &cxGraphicsDone};
inline constexpr TUnitEntry cxDWMApiUnit{"cxDWMApi", &cxDWMApiInit, &cxDWMApiDone};
inline constexpr TUnitEntry cxContainerUnit{"cxContainer", &cxContainerInit, &cxContainerDone};
inline constexpr TUnitEntry cxAccessibilityUnit{"cxAccessibility", &cxAccessibilityInit, &cxAccessibilityDone};
inline constexpr TUnitEntry dxFadingUnit{"dxFading", &dxFadingInit, &dxFadingDone};
inline constexpr TUnitEntry cxStylesUnit{"cxStyles", &cxStylesInit, &cxStylesDone};
