// A form whose picture control holds the busy picture, read from form data
// as the client's windows hold it: the picture plays while the form shows.
#include "gif/GIFImage.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "tests/support/TestSupport.h"
#include "tools/gif/BusyPicture.h"

#include <gtest/gtest.h>

namespace {

TEST(GIFForm, PictureControlShowsTheBusyPictureAnimating) {
  GIFImageInit();
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(40, 40, 200, 120);
  TImage* image = New<TImage>(form);
  image->SetParent(form);
  image->SetBounds(10, 10, 24, 24);
  // Form data of a picture: the class name, then the GIF file.
  const AnsiString file = BusyPictureBytes();
  TMemoryStream data;
  data.WriteBuffer("\x09TGIFImage", 10);
  data.WriteBuffer(file.data(), static_cast<int32_t>(file.size()));
  data.SetPosition(0);
  image->Picture()->ReadData(data);
  auto* gif = ObjectAs<TGIFImage>(image->Picture()->Graphic());
  ASSERT_NE(gif, nullptr);

  // One screenshot of the control per frame, taken as the painter shows it
  // (frames are 120 ms apart).
  std::vector<testing_support::Image> shots;
  gif->OnFrameShown = TNotifyEvent::Lambda([&](TObject*) {
    UpdateWindow(form->Handle());
    HDC dc = GetDC(form->Handle());
    shots.push_back(testing_support::ReadPixels(dc, RECT{10, 10, 34, 34}));
    ReleaseDC(form->Handle(), dc);
  });
  form->Show();
  const bool played = testing_support::RunMessagesUntil([&] { return shots.size() >= 17; }, 15000);
  testing_support::SaveScreenshot(form->Handle(), "gif-form-busy");
  EXPECT_EQ(gif->PainterCount(), 1);
  Free(form);
  GIFImageFinal();
  ASSERT_TRUE(played) << shots.size();
  for (int i = 0; i < 8; ++i) {
    EXPECT_NE(shots[i], shots[i + 1]) << i;
    EXPECT_EQ(shots[i], shots[i + 8]) << i;
    testing_support::SaveArtefact(shots[i], "gif-form-frame-" + std::to_string(i));
  }
}

}  // namespace
