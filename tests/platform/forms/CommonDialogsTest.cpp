// The common dialogs go through the dialog service: a handler sees each
// request (kind, file names, filter, colours) and answers it as the user
// would.
#include "platform/CommonDialogs.h"
#include "platform/Picture.h"
#include "platform/Properties.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace control_tests;

struct FileDialogCase {
  const char* Name;
  std::function<TOpenDialog*()> Make;
  TDialogKind Kind;
  bool PictureFilter;
};

const FileDialogCase kFileDialogs[] = {
    {"open", [] { return New<TOpenDialog>(nullptr); }, dkOpenFile, false},
    {"save", [] { return static_cast<TOpenDialog*>(New<TSaveDialog>(nullptr)); }, dkSaveFile, false},
    {"open picture", [] { return static_cast<TOpenDialog*>(New<TOpenPictureDialog>(nullptr)); }, dkOpenPicture, true},
    {"save picture", [] { return static_cast<TOpenDialog*>(New<TSavePictureDialog>(nullptr)); }, dkSavePicture, true},
};

TEST(CommonDialogs, FileDialogsAskTheServiceAndTakeItsAnswer) {
  for (const FileDialogCase& c : kFileDialogs) {
    SCOPED_TRACE(c.Name);
    TOpenDialog* dialog = c.Make();
    if (c.PictureFilter) {
      EXPECT_EQ(dialog->Filter(), TPicture::GraphicFilter(&TGraphic::ClassInfo));
      EXPECT_NE(dialog->Filter().find("*.bmp"), AnsiString::npos);
    } else {
      dialog->SetFilter("Text (*.txt)|*.txt|All (*.*)|*.*");
    }
    dialog->SetFileName("C:\\old.txt");
    dialog->SetDefaultExt("txt");
    dialog->SetTitle("Choose");
    int shows = 0, closes = 0;
    dialog->OnShow = TNotifyEvent::Lambda([&](TObject*) { ++shows; });
    dialog->OnClose = TNotifyEvent::Lambda([&](TObject*) { ++closes; });
    DialogCapture capture;
    capture.Answer = [](TDialogRequest& request) {
      request.FileName = "C:\\文章\\new.txt";
      request.FilterIndex = 2;
      return IDOK;
    };
    ASSERT_TRUE(dialog->Execute());
    ASSERT_EQ(capture.Requests.size(), 1u);
    const TDialogRequest& seen = capture.Requests[0];
    EXPECT_EQ(seen.Kind, c.Kind);
    EXPECT_EQ(seen.FileName, "C:\\old.txt");
    EXPECT_EQ(seen.Filter, dialog->Filter());
    EXPECT_EQ(seen.DefaultExt, "txt");
    EXPECT_EQ(seen.Caption, "Choose");
    EXPECT_EQ(dialog->FileName(), "C:\\文章\\new.txt");
    EXPECT_EQ(dialog->FilterIndex(), 2);
    ASSERT_EQ(dialog->Files()->Count(), 1);
    EXPECT_EQ(dialog->Files()->Strings(0), "C:\\文章\\new.txt");
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(closes, 1);

    capture.Answer = [](TDialogRequest& request) {
      request.FileName = "C:\\ignored.txt";
      return IDCANCEL;
    };
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), "C:\\文章\\new.txt") << "a cancelled dialog changes nothing";
    Free(dialog);
  }
}

TEST(CommonDialogs, SeveralChosenFilesAreAllKept) {
  auto* dialog = New<TOpenDialog>(nullptr);
  dialog->SetOptions(TFileDialogOptions{ofAllowMultiSelect, ofFileMustExist});
  DialogCapture capture;
  capture.Answer = [](TDialogRequest& request) {
    EXPECT_TRUE(request.FileOptions.Contains(ofAllowMultiSelect));
    request.Files = {"C:\\a.gif", "C:\\b.gif"};
    return IDOK;
  };
  ASSERT_TRUE(dialog->Execute());
  ASSERT_EQ(dialog->Files()->Count(), 2);
  EXPECT_EQ(dialog->Files()->Strings(1), "C:\\b.gif");
  EXPECT_EQ(dialog->FileName(), "C:\\a.gif");
  Free(dialog);
}

TEST(CommonDialogs, TheColourDialogAsksWithItsColoursAndTakesTheChoice) {
  auto* dialog = New<TColorDialog>(nullptr);
  dialog->SetColor(clRed);
  dialog->CustomColors()->Add("ColorA=FF0000");
  dialog->CustomColors()->Add("ColorC=zz");  // not a colour: stays white
  dialog->SetOptions(TColorDialogOptions{cdFullOpen});
  DialogCapture capture;
  capture.Answer = [](TDialogRequest& request) {
    request.Color = 0x00336699;
    request.CustomColors[1] = 0x00010203;
    return IDOK;
  };
  ASSERT_TRUE(dialog->Execute());
  ASSERT_EQ(capture.Requests.size(), 1u);
  const TDialogRequest& seen = capture.Requests[0];
  EXPECT_EQ(seen.Kind, dkColor);
  EXPECT_EQ(seen.Color, ColorToRGB(clRed));
  EXPECT_EQ(seen.CustomColors[0], 0xFF0000u);
  EXPECT_EQ(seen.CustomColors[2], 0xFFFFFFu);
  EXPECT_TRUE(seen.ColorOptions.Contains(cdFullOpen));
  EXPECT_EQ(dialog->Color(), 0x00336699u);
  EXPECT_EQ(dialog->CustomColors()->Values("ColorB"), "010203");
  EXPECT_EQ(dialog->CustomColors()->Count(), 16);

  capture.Answer = [](TDialogRequest&) { return IDCANCEL; };
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->Color(), 0x00336699u);
  Free(dialog);
}

TEST(CommonDialogs, AFormStoresItsDialogs) {
  TObject* object = CreateObject(FindClass("TColorDialog"), nullptr);
  auto* dialog = ObjectAs<TColorDialog>(object);
  ASSERT_TRUE(dialog);
  SetPropValue(dialog, "Color", "16711680");  // clBlue
  SetPropValue(dialog, "Options", "[cdFullOpen,cdAnyColor]");
  EXPECT_EQ(dialog->Color(), clBlue);
  EXPECT_TRUE(dialog->Options().Contains(cdAnyColor));
  Free(dialog);
  for (const char* name : {"TOpenDialog", "TSaveDialog", "TOpenPictureDialog", "TSavePictureDialog"}) {
    TObject* made = CreateObject(FindClass(name), nullptr);
    EXPECT_TRUE(ObjectAs<TOpenDialog>(made)) << name;
    SetPropValue(made, "Filter", "Any|*.*");
    EXPECT_EQ(GetPropValue(made, "Filter"), "Any|*.*");
    Free(made);
  }
}

}  // namespace
