// Reading and writing forms: the test form resource, the binary and text
// forms of the same tree, defaults and stored predicates, ancestors, and
// malformed data.
#include "tests/platform/streaming/StreamingClasses.h"

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/CodePage.h"
#include "platform/Filer.h"
#include "platform/FormResource.h"
#include "platform/StringList.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TFormDeleter {
  void operator()(TTestForm* f) const { Free(f); }
};
using FormPtr = std::unique_ptr<TTestForm, TFormDeleter>;

FormPtr LoadTestForm() {
  FormPtr form(new TTestForm(nullptr));
  EXPECT_TRUE(InitComponentFromResource(form.get()));
  return form;
}

AnsiString ToBinary(TComponent* c) {
  TMemoryStream s;
  WriteComponentToStream(s, c);
  return s.DataString();
}

FormPtr FromBinary(const AnsiString& bytes) {
  FormPtr form(new TTestForm(nullptr));
  TStringStream s(bytes);
  ReadComponentFromStream(s, form.get());
  return form;
}

FormPtr FromText(const AnsiString& text) {
  FormPtr form(new TTestForm(nullptr));
  ReadComponentText(text, form.get(), "TestText");
  return form;
}

// The message of what `fn` raised (empty when nothing was raised).
template <class F>
std::string ErrorOf(F fn) {
  try {
    fn();
  } catch (const Exception& e) {
    return e.Message();
  }
  return std::string();
}

}  // namespace

TEST(FormResource, LoadsTheTreeWithParentsFieldsAndValues) {
  LoadedLog().clear();
  FormPtr form = LoadTestForm();
  EXPECT_EQ("TestForm1", form->Name());
  ASSERT_NE(nullptr, form->Panel1);
  ASSERT_NE(nullptr, form->Edit1);
  ASSERT_NE(nullptr, form->Button1);
  ASSERT_NE(nullptr, form->Image1);
  ASSERT_NE(nullptr, form->Blob1);

  // Parents follow the nesting of the text; owners are the form.
  EXPECT_EQ(nullptr, form->Panel1->Parent());
  EXPECT_EQ(form->Panel1, form->Edit1->Parent());
  EXPECT_EQ(form->Panel1, form->Button1->Parent());
  EXPECT_EQ(form.get(), form->Button1->Owner());
  ASSERT_EQ(2u, form->Panel1->Controls().size());
  EXPECT_EQ(form->Edit1, form->Panel1->Controls()[0]);

  EXPECT_EQ(TTestAlign::taTop, form->Panel1->Align());
  EXPECT_EQ(AnsiString("面板 'one'"), form->Panel1->Caption());
  EXPECT_EQ(clWindow, form->Panel1->Color());
  EXPECT_EQ((TTestOptions{TTestOption::toBold, TTestOption::toWide}), form->Panel1->Options());
  EXPECT_EQ(320, form->Panel1->Width());
  EXPECT_EQ("Tahoma", form->Panel1->Font()->Name());
  EXPECT_EQ((TFontStyles{fsBold, fsItalic}), form->Panel1->Font()->Style());
  EXPECT_EQ("hello", form->Edit1->Text);
  EXPECT_EQ(40, form->Edit1->MaxLength);
  EXPECT_EQ(L"宽字符提示", form->Edit1->Hint());
  EXPECT_DOUBLE_EQ(0.25, form->Edit1->Ratio());
  EXPECT_FALSE(form->Button1->Visible());
  EXPECT_EQ(-21, form->Button1->Cursor());
  EXPECT_EQ(12345678901LL, form->Button1->Big());
  EXPECT_EQ(form->Edit1, form->Button1->FocusControl());

  // Every component heard Loaded once, after the whole tree was read.
  EXPECT_EQ((std::vector<std::string>{"TestForm1", "Panel1", "Edit1", "Button1", "Image1", "Blob1"}), LoadedLog());
  EXPECT_FALSE(form->Button1->ComponentState().Contains(csLoading));
}

TEST(FormResource, HandlersBoundByNameFire) {
  FormPtr form = LoadTestForm();
  form->Button1->Click();
  form->Panel1->Click();
  FireEvent(form->Button1->OnValue, form->Button1, 7);
  form->Edit1->Click();  // no handler
  EXPECT_EQ((std::vector<std::string>{"Button1Click:Button1", "Panel1Click:Panel1", "ValueChanged:Button1:7"}),
            form->Clicks);
}

TEST(FormResource, PictureHoldsTheBitmap) {
  FormPtr form = LoadTestForm();
  auto* bitmap = ObjectAs<TBitmap>(form->Image1->Picture()->Graphic());
  ASSERT_NE(nullptr, bitmap);
  EXPECT_EQ(2, bitmap->Width());
  EXPECT_EQ(2, bitmap->Height());
  EXPECT_EQ(clBlue, bitmap->Canvas()->Pixels(0, 0));
  EXPECT_EQ(clWhite, bitmap->Canvas()->Pixels(1, 0));
  EXPECT_EQ(clRed, bitmap->Canvas()->Pixels(0, 1));
  EXPECT_EQ(clLime, bitmap->Canvas()->Pixels(1, 1));

  // A bitmap held directly stores the same data as "Glyph.Data".
  form->Image1->Glyph()->Assign(bitmap);
  AnsiString text = WriteComponentText(form.get());
  EXPECT_NE(std::string::npos, text.find("Glyph.Data = {")) << text;
  FormPtr again = FromText(text);
  EXPECT_EQ(2, again->Image1->Glyph()->Width());
  EXPECT_EQ(clLime, again->Image1->Glyph()->Canvas()->Pixels(1, 1));
}

TEST(FormResource, CustomDataIsReadAndResolved) {
  FormPtr form = LoadTestForm();
  TTestBlob* blob = form->Blob1;
  EXPECT_EQ(std::string("\x00\xFF\x10\x20\x7F\x80", 6), blob->Payload);
  EXPECT_EQ(1, blob->PayloadReadCount);
  // Names that find no component are skipped.
  EXPECT_EQ((std::vector<TComponent*>{form->Button1, form->Edit1}), blob->Linked);
  EXPECT_EQ(258, blob->Box[0]);
  EXPECT_EQ(504, blob->Box[3]);
  ASSERT_EQ(2, blob->Items()->Count());
  auto* second = static_cast<TTestItem*>(blob->Items()->Items(1));
  EXPECT_EQ("second", second->Caption);
  EXPECT_EQ(1, static_cast<TTestItem*>(blob->Items()->Items(0))->Value);
}

TEST(FormResource, WritingBackGivesTheSameTreeAndBytes) {
  FormPtr form = LoadTestForm();
  AnsiString first = ToBinary(form.get());
  FormPtr again = FromBinary(first);
  AnsiString second = ToBinary(again.get());
  EXPECT_EQ(first, second);
  EXPECT_EQ(form->Blob1->Payload, again->Blob1->Payload);
  TMemoryStream a, b;
  form->Image1->Picture()->WriteData(a);
  again->Image1->Picture()->WriteData(b);
  EXPECT_EQ(a.DataString(), b.DataString());
  EXPECT_EQ(again->Panel1, again->Edit1->Parent());
  again->Button1->Click();
  EXPECT_EQ(std::vector<std::string>{"Button1Click:Button1"}, again->Clicks);

  // The text form of the same tree reads back to the same bytes too.
  AnsiString text = WriteComponentText(form.get());
  {
    TStringList lines;  // kept beside the screenshots for a person to read
    lines.SetText(text);
    lines.SaveToFile(testing_support::ArtefactDir() + "\\streaming-form.mvf");
  }
  EXPECT_NE(std::string::npos, text.find("OnClick = Button1Click"));
  EXPECT_NE(std::string::npos, text.find("Box = (258 0 264 504)"));
  EXPECT_NE(std::string::npos, text.find("Cursor = crHandPoint"));
  EXPECT_NE(std::string::npos, text.find("Payload = {"));
  FormPtr fromText = FromText(text);
  EXPECT_EQ(first, ToBinary(fromText.get()));
  EXPECT_EQ(text, WriteComponentText(fromText.get()));
}

TEST(FormWriter, DefaultsAndStoredPredicatesAreNotWritten) {
  FormPtr form(new TTestForm(nullptr));
  form->SetName("F");
  auto* c = new TTestButton(form.get());
  c->SetName("B");
  AnsiString text = WriteComponentText(form.get());
  // Everything at its default: only what has no default is written.
  EXPECT_NE(std::string::npos, text.find("    Left = 0\r\n"));
  for (const char* name : {"Align", "Big", "Caption", "Color", "Cursor", "Hint", "Options", "ParentColor", "Ratio",
                           "Visible", "Width", "OnClick", "FocusControl", "Font.Style", "Font.Color"})
    EXPECT_EQ(std::string::npos, text.find(std::string("    ") + name + " = ")) << name << "\n" << text;

  c->SetColor(clRed);
  c->SetOptions({});
  c->SetVisible(false);
  text = WriteComponentText(form.get());
  EXPECT_NE(std::string::npos, text.find("Color = clRed"));
  EXPECT_NE(std::string::npos, text.find("Options = []"));
  EXPECT_NE(std::string::npos, text.find("Visible = False"));

  // The stored predicate answers false: the colour is left out.
  c->SetParentColor(true);
  text = WriteComponentText(form.get());
  EXPECT_EQ(std::string::npos, text.find("Color = clRed"));
  EXPECT_NE(std::string::npos, text.find("ParentColor = True"));

  // A colour without a name is written as a number.
  c->SetParentColor(false);
  c->SetColor(0x123456);
  EXPECT_NE(std::string::npos, WriteComponentText(form.get()).find("Color = 1193046"));
}

TEST(FormWriter, AncestorLimitsWhatIsWritten) {
  FormPtr ancestor = LoadTestForm();
  FormPtr form = LoadTestForm();
  // The text of what the form writes against its ancestor.
  auto descendentText = [&] {
    TMemoryStream stream;
    TWriter writer(&stream);
    writer.WriteDescendent(form.get(), ancestor.get());
    stream.Seek(0, TSeekOrigin::soBeginning);
    return ObjectBinaryToText(stream);
  };
  form->Button1->SetCaption("Cancel");
  form->Blob1->Payload = "changed";
  static_cast<TTestItem*>(form->Blob1->Items()->Items(1))->Value = 5;
  AnsiString text = descendentText();
  EXPECT_NE(std::string::npos, text.find("Caption = 'Cancel'"));
  EXPECT_NE(std::string::npos, text.find("Payload = {"));
  EXPECT_NE(std::string::npos, text.find("Value = 5"));
  EXPECT_EQ(std::string::npos, text.find("Text = 'hello'"));
  EXPECT_EQ(std::string::npos, text.find("Picture.Data"));
  EXPECT_EQ(std::string::npos, text.find("OnClick"));
  EXPECT_EQ(std::string::npos, text.find("Box ="));

  // Nothing changed: only the objects themselves are written.
  form->Button1->SetCaption("OK");
  form->Blob1->Payload = ancestor->Blob1->Payload;
  static_cast<TTestItem*>(form->Blob1->Items()->Items(1))->Value = 0;
  text = descendentText();
  EXPECT_EQ(std::string::npos, text.find(" = ")) << text;

  // A handler the ancestor has and the form dropped is written as nil, so
  // that reading the form does not bring the ancestor's back.
  form->Button1->OnClick = TNotifyEvent();
  text = descendentText();
  EXPECT_NE(std::string::npos, text.find("OnClick = nil")) << text;
  EXPECT_EQ(std::string::npos, WriteComponentText(form.get()).find("Button1Click"));
}

TEST(FormReader, UnknownGraphicClassLeavesThePictureEmpty) {
  // "TNoSuchPic" names no registered picture format.
  AnsiString text =
      "object F: TTestForm\n object I: TTestImage\n  Picture.Data = {0A544E6F5375636850696300000000}\n end\nend\n";
  FormPtr form = FromText(text);
  auto* image = ObjectAs<TTestImage>(form->FindComponent("I"));
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(nullptr, image->Picture()->Graphic());
}

TEST(FormReader, MalformedFormsRaiseErrorsNamingWhatIsWrong) {
  struct Case {
    const char* Text;
    const char* Expected[3];  // parts the message must hold
  };
  const Case cases[] = {
      {"object F: TTestForm\n object X: TNoSuchClass\n end\nend\n", {"Form 'TestText'", "component 'X'", "TNoSuchClass not found"}},
      {"object F: TTestForm\n object B: TTestButton\n  Colour = clRed\n end\nend\n", {"component 'B'", "property 'Colour'", "Unknown property"}},
      {"object F: TTestForm\n object B: TTestBlob\n  Payload = {00FF1", {"component 'B'", "property 'Payload'", "truncated"}},
      {"object F: TTestForm\n object B: TTestBlob\n  Payload = {00FX}\n end\nend\n", {"property 'Payload'", "Invalid character 'X'", ""}},
      {"object F: TTestForm\n object B: TTestBlob\n  Payload = {00FF1}\n end\nend\n", {"line 3", "property 'Payload'", "truncated"}},
      {"object F: TTestForm\n object B: TTestButton\n  Width = 'wide'\n end\nend\n", {"component 'B'", "property 'Width'", "Integer value expected"}},
      {"object F: TTestForm\n object B: TTestButton\n  Align = taMiddle\n end\nend\n", {"component 'B'", "property 'Align'", "taMiddle"}},
      {"object F: TTestForm\n object B: TTestButton\n  Color = 4294967296\n end\nend\n", {"property 'Color'", "out of range", ""}},
      {"object F: TTestForm\n object B: TTestButton\n  Color = clNoSuchColour\n end\nend\n", {"property 'Color'", "clNoSuchColour", ""}},
      {"object F: TTestForm\n object B: TTestButton\n  Cursor = crNoSuch\n end\nend\n", {"property 'Cursor'", "crNoSuch", ""}},
      {"object F: TTestForm\n object B: TTestButton\n  Options = [toBold, toTall]\n end\nend\n", {"property 'Options'", "toTall", ""}},
      {"object F: TTestForm\n object B: TTestButton\n  OnClick = NoSuchHandler\n end\nend\n", {"property 'OnClick'", "NoSuchHandler", ""}},
      {"object F: TTestForm\n object B: TTestButton\n  OnClick = ValueChanged\n end\nend\n", {"property 'OnClick'", "does not fit", ""}},
      {"object F: TTestForm\n object B: TTestButton\n  FocusControl = Nobody\n end\nend\n", {"FocusControl", "Nobody not found", ""}},
      {"object F: TTestForm\n object B: TTestButton\n  FocusControl = F\n end\nend\n", {"FocusControl", "cannot be assigned", ""}},
      {"object F: TTestForm\n object B: TTestButton\n  Font.Size.X = 1\n end\nend\n", {"property 'Font.Size.X'", "Unknown property", ""}},
      {"object F: TTestForm\n object B: TTestBlob\n  Box = (1 2 3)\n end\nend\n", {"property 'Box'", "Integer value expected", ""}},
      {"object F: TTestForm\n object B: TTestButton\n  Caption = 'open\n end\nend\n", {"line 3", "Unterminated string", ""}},
      {"object F: TTestForm\n object B: TTestButton\n end\n", {"Identifier expected", "", ""}},
      {"object F: TOtherForm\nend\n", {"TOtherForm", "TTestForm", ""}},
      {"object F: TTestForm\n object B: TTestButton\n end\n object B: TTestEdit\n end\nend\n", {"component 'B'", "already exists", ""}},
      {"object F: TTestForm\n object Panel1: TTestButton\n end\nend\n", {"Field Panel1", "TTestButton", ""}},
      {"object F: TTestForm\n object B: TTestBlob\n  Items = <\n   item\n    Value = 1\n   end\n   item\n    Value = 'x'\n   end>\n end\nend\n",
       {"component 'B'", "property 'Items[1].Value'", "Integer value expected"}},
      {"object F: TTestForm\n object A.B: TTestButton\n end\nend\n", {"component 'A.B'", "not a valid component name", ""}},
  };
  for (const Case& c : cases) {
    std::string message = ErrorOf([&] { FromText(c.Text); });
    SCOPED_TRACE(c.Text);
    ASSERT_FALSE(message.empty());
    for (const char* part : c.Expected) EXPECT_NE(std::string::npos, message.find(part)) << message;
  }
}

TEST(FormReader, TruncatedBinaryStreamsRaiseAtEveryLength) {
  FormPtr form = LoadTestForm();
  AnsiString bytes = ToBinary(form.get());
  // Every prefix of a valid stream is refused with a clear error; none reads
  // past its end or crashes.
  for (size_t n = 0; n < bytes.size(); n += (n < 64 ? 1 : 7)) {
    std::string message = ErrorOf([&] { FromBinary(bytes.substr(0, n)); });
    ASSERT_FALSE(message.empty()) << n;
    EXPECT_NE(std::string::npos, message.find("Form 'TTestForm'")) << message;
  }
  // A custom-data procedure sees only its own block.
  std::string message = ErrorOf([] {
    FromText("object F: TTestForm\n object I: TTestImage\n  Picture.Data = {0754426974}\n end\nend\n");
  });
  EXPECT_NE(std::string::npos, message.find("property 'Picture.Data'")) << message;
}

TEST(FormReader, CorruptedBinaryBytesNeverCrash) {
  FormPtr form = LoadTestForm();
  AnsiString bytes = ToBinary(form.get());
  int errors = 0;
  for (size_t i = 4; i < bytes.size(); i += 3) {
    for (uint8_t v : {0x00, 0x07, 0x7F, 0xFF}) {
      AnsiString damaged = bytes;
      damaged[i] = static_cast<char>(v);
      try {
        FromBinary(damaged);
      } catch (const Exception&) {
        ++errors;
      }
    }
  }
  EXPECT_GT(errors, 0);
}

TEST(FormReader, DamagedTextNeverCrashes) {
  FormPtr form = LoadTestForm();
  AnsiString text = WriteComponentText(form.get());
  // Each damage is one byte dropped or replaced by a character that matters
  // to the syntax; the result either loads or raises.
  const char replacements[] = {'\'', '{', '}', '(', '<', '#', '=', ' ', '9', 'x'};
  uint32_t seed = 12345;
  int errors = 0;
  for (int round = 0; round < 400; ++round) {
    seed = seed * 1103515245u + 12345u;
    size_t at = (seed >> 8) % text.size();
    AnsiString damaged = text;
    if (round % 2) damaged.erase(at, 1);
    else damaged[at] = replacements[(seed >> 4) % sizeof replacements];
    try {
      FromText(damaged);
    } catch (const Exception&) {
      ++errors;
    }
  }
  EXPECT_GT(errors, 100);
}

TEST(FormReader, DeepNestingIsRefusedBeforeTheStackRunsOut) {
  std::string deepText = "object F: TTestForm\n object B: TTestBlob\n  Box = " + std::string(100000, '(') + "\n end\nend\n";
  EXPECT_NE(std::string::npos, ErrorOf([&] { FromText(deepText); }).find("nested too deeply"));

  // The binary form: lists inside lists (which the reader only skips or
  // hands to custom data) and objects inside objects.
  std::string deepList = std::string("MVF1\x01\x09TTestForm\x01" "F\x03" "Box", 21) + std::string(100000, '\x01');
  EXPECT_FALSE(ErrorOf([&] { FromBinary(deepList); }).empty());
  TStringStream listStream(deepList);
  EXPECT_NE(std::string::npos, ErrorOf([&] { ObjectBinaryToText(listStream); }).find("nested too deeply"));
  std::string deepObjects = std::string("MVF1\x01\x09TTestForm\x01" "F\x00", 18);
  for (int i = 0; i < 100000; ++i) deepObjects += std::string("\x01\x0ATTestPanel\x00\x00", 14);
  EXPECT_NE(std::string::npos, ErrorOf([&] { FromBinary(deepObjects); }).find("nested too deeply"));
  TStringStream objectStream(deepObjects);
  EXPECT_NE(std::string::npos, ErrorOf([&] { ObjectBinaryToText(objectStream); }).find("nested too deeply"));
}

TEST(FormText, ValuesConvertBothWays) {
  const char* text =
      "object F: TTestForm\r\n"
      "  object B: TTestButton\r\n"
      "    Caption = 'a'#13#10'b' + 'c'\r\n"
      "    Left = -40000\r\n"
      "    Options = [toWide, toHidden]\r\n"
      "    Ratio = 1.5e-3\r\n"
      "    Color = $00FF00\r\n"
      "  end\r\n"
      "end\r\n";
  FormPtr form = FromText(text);
  auto* b = ObjectAs<TTestButton>(form->FindComponent("B"));
  ASSERT_NE(nullptr, b);
  EXPECT_EQ("a\r\nbc", b->Caption());
  EXPECT_EQ(-40000, b->Left());
  EXPECT_DOUBLE_EQ(1.5e-3, b->Ratio());
  EXPECT_EQ(clLime, b->Color());
  AnsiString written = WriteComponentText(form.get());
  EXPECT_NE(std::string::npos, written.find("Caption = 'a'#13#10'bc'"));
  EXPECT_NE(std::string::npos, written.find("Color = clLime"));
  EXPECT_NE(std::string::npos, written.find("Options = [toWide, toHidden]"));
  EXPECT_EQ(written, WriteComponentText(FromText(written).get()));

  // A UTF-8 string of the binary form that is not UTF-8 does not become
  // text the text reader would refuse.
  std::string badUtf8("MVF1\x01\x09TTestForm\x01" "F\x07" "Caption\x0E\x01\x00\x00\x00\xFF\x00\x00", 33);
  TStringStream badStream(badUtf8);
  std::string message = ErrorOf([&] { ObjectBinaryToText(badStream, "Bad"); });
  EXPECT_NE(std::string::npos, message.find("property 'Caption'")) << message;
  EXPECT_NE(std::string::npos, message.find("not valid UTF-8")) << message;
}

TEST(FormText, VariantsKeepTheirKindOfValue) {
  struct Case {
    const char* Name;
    Variant Value;
    const char* Text;  // what the text form shows; null: nothing written
    TVarType ReadType;
  };
  const Case cases[] = {
      {"empty", Variant(), nullptr, varEmpty},
      {"null", Variant::Null(), nullptr, varEmpty},
      {"integer", Variant(int32_t(-40000)), "Data = -40000", varInteger},
      {"byte", Variant(uint8_t(200)), "Data = 200", varInteger},
      {"int64", Variant(int64_t(1) << 40), "Data = 1099511627776", varInt64},
      {"Boolean", Variant(true), "Data = True", varBoolean},
      {"double", Variant(2.5), "Data = 2.5", varDouble},
      {"date", Variant::FromDate(TDateTime(36526.5)), "Data = 36526.5d", varDate},
      {"currency", Variant(Currency::FromRaw(-123456789)), "Data = -12345.6789c", varCurrency},
      {"whole currency", Variant(Currency::FromInt(3)), "Data = 3.0c", varCurrency},
      {"string", Variant("it's"), "Data = 'it''s'", varString},
      // The text form keeps no difference between kinds of string.
      {"wide string", Variant(L"\u00e9t\u00e9"), "Data = '\xc3\xa9t\xc3\xa9'", varString},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    FormPtr form = LoadTestForm();
    auto* b = ObjectAs<TTestButton>(form->FindComponent("Button1"));
    ASSERT_NE(nullptr, b);
    b->Data = c.Value;
    const AnsiString written = WriteComponentText(form.get());
    if (c.Text) {
      EXPECT_NE(std::string::npos, written.find(c.Text)) << written;
    } else {
      EXPECT_EQ(std::string::npos, written.find(" Data =")) << written;
    }
    FormPtr back = FromText(written);
    auto* read = ObjectAs<TTestButton>(back->FindComponent("Button1"));
    ASSERT_NE(nullptr, read);
    EXPECT_EQ(read->Data.VarType(), c.ReadType);
    if (!c.Value.IsEmpty() && !c.Value.IsNull()) {
      EXPECT_EQ(VarToStr(read->Data), VarToStr(c.Value.AsType(c.ReadType)));
    }
    if (c.ReadType == varCurrency) {
      EXPECT_EQ(read->Data.AsCurrency().Raw, c.Value.AsCurrency().Raw) << "exact";
    }
  }
  // Text amounts and dates as a form file may spell them.
  const struct {
    const char* Text;
    TVarType Type;
    double Value;
  } spelled[] = {{"12.5c", varCurrency, 12.5}, {"-0.0001C", varCurrency, -0.0001}, {"7c", varCurrency, 7},
                 {"1.5e2c", varCurrency, 150}, {"36526d", varDate, 36526}, {"-1.25D", varDate, -1.25}};
  for (const auto& c : spelled) {
    SCOPED_TRACE(c.Text);
    FormPtr read = FromText(std::string("object F: TTestForm\n object B: TTestButton\n  Data = ") + c.Text +
                            "\n end\nend\n");
    const Variant& data = ObjectAs<TTestButton>(read->FindComponent("B"))->Data;
    EXPECT_EQ(data.VarType(), c.Type);
    EXPECT_DOUBLE_EQ(data.AsDouble(), c.Value);
  }
  // Against an ancestor, a value of another type or a value dropped is written.
  FormPtr ancestor = LoadTestForm();
  FormPtr form = LoadTestForm();
  ObjectAs<TTestButton>(ancestor->FindComponent("Button1"))->Data = Variant(int32_t(5));
  auto* b = ObjectAs<TTestButton>(form->FindComponent("Button1"));
  const struct {
    const char* Name;
    Variant Value;
    bool Written;
  } against[] = {{"the same", Variant(int32_t(5)), false},
                 {"another type", Variant(5.0), true},
                 {"dropped", Variant(), true},
                 {"null", Variant::Null(), true}};
  for (const auto& c : against) {
    SCOPED_TRACE(c.Name);
    b->Data = c.Value;
    TMemoryStream s;
    TWriter writer(&s);
    writer.WriteDescendent(form.get(), ancestor.get());
    EXPECT_EQ(s.DataString().find("\x04" "Data") != std::string::npos, c.Written);
  }
  // Null is read as written against an ancestor.
  FormPtr null = FromText("object F: TTestForm\n object B: TTestButton\n  Data = Null\n end\nend\n");
  EXPECT_TRUE(ObjectAs<TTestButton>(null->FindComponent("B"))->Data.IsNull());
}

TEST(FormReader, VariantsRefuseWhatTheyCannotHold) {
  const struct {
    const char* Text;
    const char* Expected;
  } cases[] = {{"object F: TTestForm\n object B: TTestButton\n  Data = Nothing\n end\nend\n", "Invalid variant value Nothing"},
               {"object F: TTestForm\n object B: TTestButton\n  Data = [toBold]\n end\nend\n", "Variant value expected"},
               {"object F: TTestForm\n object B: TTestButton\n  Data = (1 2)\n end\nend\n", "Variant value expected"},
               {"object F: TTestForm\n object B: TTestButton\n  Data = 1.2.3c\n end\nend\n", "Invalid currency value 1.2.3"},
               {"object F: TTestForm\n object B: TTestButton\n  Data = 1e400d\n end\nend\n", "Invalid number 1e400"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    const std::string message = ErrorOf([&] { FromText(c.Text); });
    EXPECT_NE(std::string::npos, message.find("property 'Data'")) << message;
    EXPECT_NE(std::string::npos, message.find(c.Expected)) << message;
  }
  FormPtr form = LoadTestForm();
  ObjectAs<TTestButton>(form->FindComponent("Button1"))->Data = VarArrayOf({1, 2});
  EXPECT_NE(std::string::npos, ErrorOf([&] { ToBinary(form.get()); }).find("Variant arrays cannot be stored"));
}

TEST(FormReader, CreatesTheRootFromItsClassWhenNoneIsGiven) {
  TMemoryStream binary;
  ObjectTextToBinary("object G: TTestForm\n object P: TTestPanel\n end\nend\n", binary, "G");
  binary.Seek(0, TSeekOrigin::soBeginning);
  TReader reader(&binary);
  TComponent* root = reader.ReadRootComponent(nullptr);
  ASSERT_NE(nullptr, ObjectAs<TTestForm>(root));
  EXPECT_EQ("G", root->Name());
  EXPECT_NE(nullptr, ObjectAs<TTestPanel>(root->FindComponent("P")));
  Free(root);
}
