// A real OLE drag inside one program: DoDragDrop from a drop source to a
// window with a text drop target, and to a panel whose window was re-created
// since it became a target. The cursor is moved onto the window, so this
// program runs alone.
#include "dragdrop/DragDropText.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "tests/dragdrop/FakeDataObject.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using namespace testing_support;

// Lets the drag run for a few rounds, then drops where the cursor is.
class CountingDropSource : public IDropSource {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
      *object = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return ++Rounds < 3 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
  int Rounds = 0;
};

TEST(OleDrag, DoDragDropDeliversTheTextToTheTargetWindow) {
  TestWindow window(240, 160, {}, "Mevra drop box");
  SetWindowPos(window.Handle(), HWND_TOPMOST, 300, 200, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  RunMessagesUntilIdle();
  TDropTextTarget target(nullptr);
  target.SetTarget(window.Handle());
  std::string dropped;
  std::string droppedHtml;
  POINT at{-1, -1};
  int32_t droppedEffect = -1;
  target.OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT& p, int32_t& effect) {
    dropped = target.GetPlainText();
    droppedHtml = target.GetHTMLText();
    at = p;
    droppedEffect = effect;
  });

  POINT centre{120, 80};
  ClientToScreen(window.Handle(), &centre);
  SetCursorPos(centre.x, centre.y);
  RunMessagesUntilIdle();
  ASSERT_EQ(WindowFromPoint(centre), window.Handle()) << "another window covers the drop box";

  FakeDataObject data;
  data.Offer(CF_TEXT, WithNul("\xD6\xD0\xCE\xC4 dragged"));
  // The box's other half: the browser's HTML block, UTF-8 and header included.
  const std::string html = "Version:0.9\r\nStartHTML:00000097\r\n<html><body><!--StartFragment-->"
                           "\xE4\xB8\xAD\xE6\x96\x87<!--EndFragment--></body></html>";
  data.Offer(static_cast<CLIPFORMAT>(RegisterClipboardFormatA("HTML Format")), html + '\0');
  CountingDropSource source;
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT hr = DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  EXPECT_EQ(hr, DRAGDROP_S_DROP);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(dropped, "\xD6\xD0\xCE\xC4 dragged");
  EXPECT_EQ(droppedHtml, html + "\r\n");
  EXPECT_EQ(droppedEffect, DROPEFFECT_COPY);
  EXPECT_EQ(at.x, 120);
  EXPECT_EQ(at.y, 80);
  EXPECT_TRUE(target.GetPlainText().empty());
  const auto performedFormat = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Performed DropEffect"));
  const std::string performed = data.ReceivedBytes(performedFormat);
  ASSERT_EQ(performed.size(), 4u);
  EXPECT_EQ(performed[0], char(DROPEFFECT_COPY));
}


TEST(OleDrag, APanelWhoseWindowWasReCreatedStillReceivesTheDrop) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(300, 200, 280, 200);
  form->SetCaption("Mevra drop form");
  TPanel* panel = New<TPanel>(form);
  panel->SetBounds(10, 10, 200, 120);
  panel->SetParent(form);
  form->Show();
  SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  RunMessagesUntilIdle();
  {
    TDropTextTarget target(nullptr);
    target.SetTarget(panel);
    const HWND old = panel->Handle();
    panel->RecreateWnd();
    RunMessagesUntilIdle();
    ASSERT_NE(panel->Handle(), old);
    std::string dropped;
    target.OnDrop = TDropTargetEvent::Lambda(
        [&](TObject*, TShiftState, const POINT&, int32_t&) { dropped = target.GetPlainText(); });

    POINT centre{100, 60};
    ClientToScreen(panel->Handle(), &centre);
    SetCursorPos(centre.x, centre.y);
    RunMessagesUntilIdle();
    ASSERT_EQ(WindowFromPoint(centre), panel->Handle()) << "another window covers the panel";
    FakeDataObject data;
    data.Offer(CF_TEXT, WithNul("\xD6\xD0\xCE\xC4 panel"));
    CountingDropSource source;
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(DoDragDrop(&data, &source, DROPEFFECT_COPY, &effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
    EXPECT_EQ(dropped, "\xD6\xD0\xCE\xC4 panel");
  }
  Free(form);
}
}  // namespace
