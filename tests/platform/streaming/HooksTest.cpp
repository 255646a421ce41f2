// The streaming hooks: a component chooses the children it writes
// (GetChildren) and acts around the reading of its own state (ReadState);
// a withdrawn class can no longer be created by name.
#include "tests/platform/streaming/StreamingClasses.h"

#include "platform/Filer.h"
#include "platform/FormResource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string>& ProbeLog() {
  static std::vector<std::string> log;
  return log;
}

// Writes its controls newest first and leaves out those captioned
// "transient".
class THookShelf : public TTestPanel {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TTestPanel::TTestPanel;

  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override {
    (void)Root;
    for (auto it = Controls().rbegin(); it != Controls().rend(); ++it)
      if ((*it)->Caption() != "transient") Proc(*it);
  }
};

// Notes what it sees before and after its state is read.
class THookProbe : public TTestControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TTestControl::TTestControl;

  void ReadState(TReader* Reader) override {
    TComponent* parent = Reader->Parent();
    ProbeLog().push_back("enter " + Name() + " in " + (parent ? parent->Name() : std::string("nothing")) +
                         (ComponentState().Contains(csLoading) ? ", loading" : "") + ", caption '" + Caption() + "'");
    TTestControl::ReadState(Reader);
    ProbeLog().push_back("leave " + Name() + ", caption '" + Caption() + "', " +
                         std::to_string(Controls().size()) + " children");
  }
};

template <class T>
TObject* Make(TObject* owner) { return new T(static_cast<TComponent*>(owner)); }

const TClassInfo THookShelf::ClassInfo{"THookShelf", &TTestPanel::ClassInfo, Make<THookShelf>};
const TClassInfo THookProbe::ClassInfo{"THookProbe", &TTestControl::ClassInfo, Make<THookProbe>};
const TPublishedRegistration shelfRegistration(&THookShelf::ClassInfo, {});
const TPublishedRegistration probeRegistration(&THookProbe::ClassInfo, {});

struct TFormDeleter {
  void operator()(TComponent* f) const { Free(f); }
};
using FormPtr = std::unique_ptr<TComponent, TFormDeleter>;

FormPtr Read(const AnsiString& text) {
  FormPtr form(new TTestForm(nullptr));
  ReadComponentText(text, form.get(), "Hooks");
  return form;
}

const char* const ShelfForm =
    "object F: TTestForm\n"
    "  object Shelf: THookShelf\n"
    "    object A: TTestControl\n"
    "      Caption = 'a'\n"
    "    end\n"
    "    object B: TTestControl\n"
    "      Caption = 'transient'\n"
    "    end\n"
    "    object C: TTestControl\n"
    "      Caption = 'c'\n"
    "    end\n"
    "  end\n"
    "end\n";

TEST(StreamingHooks, GetChildrenChoosesWhatIsWrittenAndInWhichOrder) {
  FormPtr form = Read(ShelfForm);
  const AnsiString text = WriteComponentText(form.get());
  const size_t a = text.find("object A:"), c = text.find("object C:");
  ASSERT_NE(a, AnsiString::npos) << text;
  ASSERT_NE(c, AnsiString::npos) << text;
  EXPECT_LT(c, a) << text;
  EXPECT_EQ(text.find("object B:"), AnsiString::npos) << text;

  FormPtr again = Read(text);
  auto* shelf = ObjectAs<THookShelf>(again->FindComponent("Shelf"));
  ASSERT_NE(shelf, nullptr);
  ASSERT_EQ(shelf->Controls().size(), 2u);
  EXPECT_EQ(shelf->Controls()[0]->Name(), "C");
  EXPECT_EQ(shelf->Controls()[1]->Name(), "A");
}

TEST(StreamingHooks, ReadStateRunsAroundTheComponentsOwnReading) {
  ProbeLog().clear();
  FormPtr form = Read(
      "object F: TTestForm\n"
      "  object Outer: THookProbe\n"
      "    Caption = 'outer'\n"
      "    object Inner: THookProbe\n"
      "      Caption = 'inner'\n"
      "    end\n"
      "  end\n"
      "end\n");
  const std::vector<std::string> expected = {
      "enter Outer in F, loading, caption ''",
      "enter Inner in Outer, loading, caption ''",
      "leave Inner, caption 'inner', 0 children",
      "leave Outer, caption 'outer', 1 children",
  };
  EXPECT_EQ(ProbeLog(), expected);
}

TEST(StreamingHooks, WithdrawnClassesAreNotCreatedByName) {
  ASSERT_EQ(GetClass("THookProbe"), &THookProbe::ClassInfo);
  UnRegisterClass(&THookProbe::ClassInfo);
  EXPECT_EQ(GetClass("THookProbe"), nullptr);
  EXPECT_THROW(FindClass("THookProbe"), EClassNotFound);
  try {
    Read("object F: TTestForm\n  object P: THookProbe\n  end\nend\n");
    ADD_FAILURE() << "read a withdrawn class";
  } catch (const EReadError& e) {
    EXPECT_NE(e.Message().find("Class THookProbe not found"), std::string::npos) << e.Message();
  }
  UnRegisterClass(&THookProbe::ClassInfo);  // twice: nothing happens
  RegisterClass(&THookProbe::ClassInfo);
  EXPECT_NO_THROW(Read("object F: TTestForm\n  object P: THookProbe\n  end\nend\n"));
  UnRegisterClasses({&THookShelf::ClassInfo});
  EXPECT_EQ(GetClass("THookShelf"), nullptr);
  RegisterClasses({&THookShelf::ClassInfo});
}

}  // namespace
