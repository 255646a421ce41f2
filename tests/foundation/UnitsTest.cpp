// The foundation's units in the program's order: GDI+ starts with the PNG
// picture's registration, everything is in place once the units run, the
// PNG format goes before GDI+ at shut-down, and nothing is left afterwards.
#include "foundation/FoundationUnits.h"
#include "platform/Properties.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace {

// What a probe unit between the GDI+ binding and the PNG picture saw: at
// start-up, before the registration has asked for GDI+; at shut-down, after
// the PNG format has gone and before GDI+ has.
struct TProbe {
  bool Started = false;
  bool StartedAtStartUp = true;
  bool StartedAtShutDown = false;
  bool PngRegisteredAtShutDown = true;
};
TProbe Probe;

void ProbeInit() {
  Probe.Started = true;
  Probe.StartedAtStartUp = GdiPlusStartupToken() != 0;
}

void ProbeDone() {
  Probe.StartedAtShutDown = GdiPlusStartupToken() != 0;
  Probe.PngRegisteredAtShutDown = TPicture::FindGraphicClassByExtension("png") != nullptr ||
                                  FindStreamableClass("TdxPNGImage") != nullptr;
}

TEST(FoundationUnits, StartInOrderAndShutGdiPlusDownLast) {
  ASSERT_EQ(InitializedUnitCount(), 0u);
  InitializeUnits({
      dxGDIPlusAPIUnit,
      {"probe", &ProbeInit, &ProbeDone},
      dxGDIPlusClassesUnit,
      cxClassesUnit,
      dxUxThemeUnit,
      dxThemeManagerUnit,
      dxOffice11Unit,
      cxGeometryUnit,
      cxLookAndFeelsUnit,
      cxLookAndFeelPaintersUnit,
      cxControlsUnit,
      cxGraphicsUnit,
      cxDWMApiUnit,
      cxContainerUnit,
      cxAccessibilityUnit,
      dxFadingUnit,
      cxStylesUnit,
  });
  EXPECT_TRUE(Probe.Started);
  EXPECT_FALSE(Probe.StartedAtStartUp) << "GDI+ is started by the PNG registration, not before";
  EXPECT_NE(GdiPlusStartupToken(), 0u);
  EXPECT_EQ(GPImageClass, &TdxGPImage::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("PNG"), &TdxPNGImage::ClassInfo);
  EXPECT_EQ(FindStreamableClass("TdxPNGImage"), &TdxPNGImage::ClassInfo);
  EXPECT_EQ(FindStreamableClass("TcxRect"), &TcxRect::ClassInfo);
  EXPECT_EQ(FindStreamableClass("TcxStyle"), &TcxStyle::ClassInfo);
  EXPECT_EQ(GetClass("TcxStyle"), &TcxStyle::ClassInfo);
  EXPECT_EQ(ThemeChangeReceiverWindow() != nullptr, IsThemeLibraryBound());
  EXPECT_EQ(DwmAvailable(), Win32MajorVersion >= 6);
  EXPECT_NE(cxAlphaBlend, nullptr);
  EXPECT_NE(Screen->Cursors(crcxDragCopy), Screen->Cursors(crArrow));
  EXPECT_NE(dxGradientFill, nullptr);
  ASSERT_NE(SharedRootLookAndFeel(), nullptr);
  EXPECT_TRUE(SharedRootLookAndFeel()->IsRoot());
  ASSERT_NE(SystemPaletteChangedListener(), nullptr);
  EXPECT_EQ(Office11PaletteUserCount(), 1);
  EXPECT_NE(ExtendedStylePainterList, nullptr);
  ASSERT_NE(IndicatorImages(), nullptr);
  EXPECT_EQ(IndicatorImages()->Count(), 6);
  EXPECT_NE(ScrollPageBitmap(true), nullptr);
  EXPECT_TRUE(ScrollBarInfoAvailable()) << "GetScrollBarInfo bound from User32";
  EXPECT_NE(GlobalFader(), nullptr);
  EXPECT_NE(cxAccessibleObjectFromWindow, nullptr) << "bound from oleacc.dll";
  EXPECT_NE(cxLresultFromObject, nullptr);

  FinalizeUnits();
  EXPECT_TRUE(Probe.StartedAtShutDown) << "GDI+ went before the PNG format";
  EXPECT_FALSE(Probe.PngRegisteredAtShutDown) << "the PNG format outlived its unit";
  // Everything is gone; the GDI+ state is read without asking for GDI+
  // (a query would load it again).
  EXPECT_EQ(GdiPlusStartupToken(), 0u);
  EXPECT_EQ(GdiPlusEntries[gpeAlloc], nullptr);
  EXPECT_EQ(GPImageClass, &TdxGPNullImage::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("PNG"), nullptr);
  EXPECT_EQ(FindStreamableClass("TcxRect"), nullptr);
  EXPECT_EQ(FindStreamableClass("TcxStyle"), nullptr);
  EXPECT_EQ(ThemeChangeReceiverWindow(), nullptr);
  EXPECT_FALSE(VisualStylesActive());
  EXPECT_FALSE(IsThemeLibraryBound());
  EXPECT_FALSE(DwmAvailable());
  EXPECT_EQ(cxAlphaBlend, nullptr);
  EXPECT_EQ(dxGradientFill, nullptr);
  EXPECT_EQ(SharedRootLookAndFeel(), nullptr);
  EXPECT_EQ(SystemPaletteChangedListener(), nullptr);
  EXPECT_EQ(Office11PaletteUserCount(), 0);
  EXPECT_EQ(ExtendedStylePainterList, nullptr);
  EXPECT_EQ(IndicatorImages(), nullptr);
  EXPECT_FALSE(RadioButtonImageListExists());
  EXPECT_EQ(TimerWindowHandle(), nullptr);
  EXPECT_FALSE(DesktopCompositionActive());
  EXPECT_FALSE(ScrollBarInfoAvailable());
  EXPECT_EQ(GlobalFader(), nullptr);
  EXPECT_EQ(cxAccessibleObjectFromWindow, nullptr);
}

}  // namespace
