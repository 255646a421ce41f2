// Docking controls into panels: ManualDock, the sites' and clients' events,
// and the dock tree's layout and grabbers.
#include "platform/DockTree.h"
#include "platform/ExtCtrls.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace testing_support;
using namespace control_tests;

TPanel* MakePanel(TComponent* owner, const char* name) {
  auto* panel = New<TPanel>(owner);
  panel->SetName(name);
  panel->SetCaption(name);
  panel->SetBounds(0, 0, 80, 60);
  return panel;
}

std::string NameOf(TObject* object) {
  auto* component = ObjectAs<TComponent>(object);
  return component ? component->Name() : "nil";
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

TEST(Docking, ManualDockFiresTheEventsAndTheTreePlacesTheClients) {
  const THandleCounts before = HandleCounts();
  {
    ShownForm form(40, 40, 520, 340, "Docking");
    auto* site = Place<TPanel>(form.Form, 0, 0, 400, 300);
    site->SetName("Site");
    site->SetBevelOuter(bvNone);
    site->SetCaption("");
    site->SetDockSite(true);  // a panel uses a dock manager unless told not to
    ASSERT_NE(site->DockManager(), nullptr);
    EXPECT_TRUE(site->DoubleBuffered());
    auto* plain = Place<TPanel>(form.Form, 410, 0, 100, 300);
    plain->SetName("Plain");
    plain->SetUseDockManager(false);
    plain->SetDockSite(true);
    EXPECT_EQ(plain->DockManager(), nullptr);

    std::vector<std::string> log;
    bool allow = true;
    for (TPanel* s : {site, plain}) {
      s->OnDockDrop = TDockDropEvent::Lambda([&log](TObject* sender, TDragDockObject* source, int, int) {
        log.push_back(NameOf(sender) + " drop " + NameOf(source->Control()));
      });
      s->OnUnDock = TUnDockEvent::Lambda([&](TObject* sender, TControl* client, TWinControl* target, bool& a) {
        log.push_back(NameOf(sender) + " undock " + NameOf(client) + " to " + NameOf(target));
        a = allow;
      });
    }
    TPanel* a = MakePanel(form.Form, "A");
    TPanel* b = MakePanel(form.Form, "B");
    TPanel* c = MakePanel(form.Form, "C");
    for (TPanel* p : {a, b, c})
      p->OnEndDock = TEndDragEvent::Lambda([&log](TObject* sender, TObject* target, int, int) {
        log.push_back(NameOf(sender) + " end " + NameOf(target));
      });
    form.Show();

    // The first client fills the site below its grabber.
    EXPECT_TRUE(a->ManualDock(site));
    EXPECT_EQ(log, (std::vector<std::string>{"Site drop A", "A end Site"}));
    EXPECT_EQ(a->HostDockSite(), site);
    EXPECT_EQ(a->Parent(), site);
    EXPECT_EQ(site->DockClientCount(), 1);
    const int g = site->DockManager()->GrabberSize();
    EXPECT_PRED2(SameRect, a->BoundsRect(), (RECT{0, g, 400, 300}));

    // Beside A, then below B: the zones split their space.
    EXPECT_TRUE(b->ManualDock(site, a, alRight));
    EXPECT_TRUE(c->ManualDock(site, b, alBottom));
    EXPECT_EQ(site->DockClientCount(), 3);
    EXPECT_PRED2(SameRect, a->BoundsRect(), (RECT{0, g, 200, 300}));
    EXPECT_PRED2(SameRect, b->BoundsRect(), (RECT{200, g, 400, 150}));
    EXPECT_PRED2(SameRect, c->BoundsRect(), (RECT{200, 150 + g, 400, 300}));
    RECT zone;
    ASSERT_TRUE(site->DockManager()->GetControlZone(c, zone));
    EXPECT_PRED2(SameRect, zone, (RECT{200, 150, 400, 300}));

    // The site paints a grabber above each client.
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RunMessagesUntilIdle();
    const Image pixels = ReadClientPixels(site->Handle());
    const uint32_t face = pixels.At(100, g - 2);
    EXPECT_NE(pixels.At(100, 3), face);
    EXPECT_NE(pixels.At(300, 150 + 3), face);
    SaveScreenshot(form->Handle(), "platform-dock");

    // Leaving asks the old site, which may refuse.
    log.clear();
    allow = false;
    EXPECT_FALSE(a->ManualDock(plain, nullptr, alTop));
    EXPECT_EQ(a->HostDockSite(), site);
    allow = true;
    EXPECT_TRUE(a->ManualDock(plain, nullptr, alTop));
    EXPECT_EQ(log, (std::vector<std::string>{"Site undock A to Plain", "Site undock A to Plain", "Plain drop A",
                                             "A end Plain"}));
    EXPECT_EQ(a->HostDockSite(), plain);
    EXPECT_EQ(a->Align(), alTop);  // no dock manager: the drop side aligns it
    EXPECT_EQ(site->DockClientCount(), 2);
    EXPECT_EQ(plain->DockClientCount(), 1);
    EXPECT_PRED2(SameRect, b->BoundsRect(), (RECT{0, g, 400, 150}));
    EXPECT_PRED2(SameRect, c->BoundsRect(), (RECT{0, 150 + g, 400, 300}));

    // A freed client leaves the tree; its space goes to the rest.
    Free(c);
    EXPECT_EQ(site->DockClientCount(), 1);
    EXPECT_PRED2(SameRect, b->BoundsRect(), (RECT{0, g, 400, 300}));
    // Docking nowhere only leaves the site.
    log.clear();
    EXPECT_TRUE(b->ManualDock(nullptr));
    EXPECT_EQ(b->HostDockSite(), nullptr);
    EXPECT_EQ(b->Parent(), nullptr);
    EXPECT_EQ(site->DockClientCount(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"Site undock B to nil", "B end nil"}));
    EXPECT_EQ(site->DockManager()->ClientCount(), 0);

    // A control cannot dock into itself.
    EXPECT_THROW(site->ManualDock(site), EInvalidOperation);
    site->SetDockSite(false);
    EXPECT_EQ(site->DockManager(), nullptr);
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

// The tree lays its clients out where the site aligns its children: inside
// the site's bevels and border width, which it paints itself.
TEST(Docking, TheTreeLeavesTheSitesFramesOut) {
  const THandleCounts before = HandleCounts();
  {
    ShownForm form(40, 40, 300, 200, "Docking frames");
    auto* site = Place<TPanel>(form.Form, 0, 0, 200, 120);
    site->SetCaption("");
    site->SetBevelOuter(bvLowered);
    site->SetBorderWidth(3);
    site->SetDockSite(true);
    TPanel* a = MakePanel(form.Form, "A");
    form.Show();
    ASSERT_TRUE(a->ManualDock(site));
    const int g = site->DockManager()->GrabberSize();
    EXPECT_PRED2(SameRect, a->BoundsRect(), (RECT{4, 4 + g, 196, 116}));
    // The double-buffered site erases and paints its whole window, the
    // frames included.
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RunMessagesUntilIdle();
    const Image pixels = ReadClientPixels(site->Handle());
    EXPECT_EQ(pixels.At(0, 60), Rgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(pixels.At(199, 60), Rgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(pixels.At(2, 60), Rgb(GetSysColor(COLOR_BTNFACE)));
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

}  // namespace
