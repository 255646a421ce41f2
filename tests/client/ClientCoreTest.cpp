// The XML documents the client keeps (over the system's DOM library) and the
// shared state's helpers.
#include "client/Protocol.h"
#include "client/SharedState.h"

#include <gtest/gtest.h>

namespace {

const char kCategories[] =
    "<con><g k=\"11\"><id>11</id><n>学习笔记</n><con>2</con></g>"
    "<g k=\"12\"><id>12</id><n>Tom&apos;s \"tools\"</n><con>0</con></g>"
    "<g k=\"1'3\"><id>13</id><n>读书</n><con>5</con></g></con>";

TEST(XmlDocument, IndexZeroIsTheFirstElement) {
  TXmlDocument doc;
  ASSERT_TRUE(doc.LoadXML(AnsiString(kCategories)));
  EXPECT_EQ(doc.SelectSingleNode("con/g[0]/id").Text(), "11");
  EXPECT_EQ(doc.SelectSingleNode("con/g[2]/n").Text(), "读书");
  EXPECT_FALSE(doc.SelectSingleNode("con/g[3]/id"));
  EXPECT_EQ(doc.SelectSingleNode("/con/g[@k='12']/con").Text(), "0");
  EXPECT_EQ(doc.SelectNodes("/con/g").size(), 3u);
}

TEST(XmlDocument, ApostrophesCannotBreakAKeyLookup) {
  TXmlDocument doc;
  ASSERT_TRUE(doc.LoadXML(AnsiString(kCategories)));
  EXPECT_EQ(FindCategory(doc, "12").SelectSingleNode("n").Text(), "Tom's \"tools\"");
  EXPECT_EQ(FindCategory(doc, "1'3").SelectSingleNode("n").Text(), "读书");
  EXPECT_FALSE(FindCategory(doc, "']|//g[@k='11"));
  EXPECT_FALSE(FindCategory(doc, "-1"));
  // A broken pattern finds nothing instead of raising.
  EXPECT_FALSE(doc.SelectSingleNode("/con/g[@k='1'3']/n"));
}

TEST(XmlDocument, TextThatIsNotXmlLeavesItEmpty) {
  const char* bad[] = {"this is not XML", "<con><a></con>", "", "<con>\x01</con>",
                       "<!DOCTYPE con [<!ENTITY e \"boom\">]><con>&e;</con>",
                       "<!DOCTYPE con SYSTEM \"file:///c:/windows/win.ini\"><con/>",
                       "<?xml version=\"1.0\"?>\r\n<!-- a --><!DOCTYPE con [<!ENTITY e \"boom\">]><con>&e;</con>"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    TXmlDocument doc;
    ASSERT_TRUE(doc.LoadXML(AnsiString("<con><ifs>1</ifs></con>")));
    EXPECT_FALSE(doc.LoadXML(AnsiString(text)));
    EXPECT_FALSE(doc.DocumentElement());
    EXPECT_EQ(doc.XmlW(), L"");
    EXPECT_FALSE(doc.SelectSingleNode("con/ifs"));
  }
}

TEST(XmlDocument, DeclarationWordsInsideTheDocumentAreText) {
  // A title taken from dropped HTML source may well read "<!DOCTYPE html>".
  TXmlDocument doc;
  ASSERT_TRUE(doc.LoadXML(AnsiString("<?xml version=\"1.0\"?><!-- list --><doc><cont>"
                                     "<title><![CDATA[<!DOCTYPE html> <!ENTITY x>]]></title></cont></doc>")));
  EXPECT_EQ(ReplyText(doc, "doc/cont/title"), "<!DOCTYPE html> <!ENTITY x>");
  // Behind a byte order mark a declaration is still in the prolog.
  EXPECT_FALSE(doc.LoadXML(std::wstring(L"\xFEFF<!DOCTYPE con [<!ENTITY e \"boom\">]><con>&e;</con>")));
  EXPECT_FALSE(doc.DocumentElement());
}

TEST(XmlDocument, LoadingReplacesTheWholeDocument) {
  TXmlDocument doc;
  ASSERT_TRUE(doc.LoadXML(AnsiString("<con><ifs>1</ifs></con>")));
  ASSERT_TRUE(doc.LoadXML(AnsiString("<doc><lskind>jr</lskind></doc>")));
  EXPECT_FALSE(doc.SelectSingleNode("con"));
  EXPECT_EQ(doc.SelectSingleNode("doc/lskind").Text(), "jr");
}

TEST(XmlDocument, BuildsAndEditsNodes) {
  TXmlDocument doc;
  ASSERT_TRUE(doc.LoadXML(AnsiString("<con><g k=\"1\"><n>a</n></g></con>")));
  TXmlNode con = doc.SelectSingleNode("con");
  TXmlNode g = doc.CreateElement("g");
  g.SetAttribute("k", "今日");
  TXmlNode n = doc.CreateElement("n");
  n.SetText("新分类");
  g.AppendChild(n);
  con.InsertBefore(g, con.SelectSingleNode("g"));
  EXPECT_EQ(doc.SelectSingleNode("con/g[0]").GetAttribute("k"), "今日");
  EXPECT_EQ(FindCategory(doc, "今日").SelectSingleNode("n").Text(), "新分类");
  con.RemoveChild(FindCategory(doc, "1"));
  EXPECT_EQ(doc.SelectNodes("con/g").size(), 1u);
  con.InsertBefore(doc.CreateElement("last"), TXmlNode());
  std::vector<AnsiString> names;
  for (const TXmlNode& child : con.ChildNodes()) names.push_back(child.NodeName());
  EXPECT_EQ(names, (std::vector<AnsiString>{"g", "last"}));
  TXmlDocument copy;
  ASSERT_TRUE(copy.LoadXML(doc.XmlW()));
  EXPECT_EQ(copy.SelectSingleNode("con/g[@k='今日']/n").Text(), "新分类");
}

TEST(XmlDocument, GbkTextRoundTrips) {
  // Every two-byte GBK character of the reply survives the trip through UTF-16.
  const AnsiString reply = "<con><un>演示用户·测试</un><n>知识与分享</n></con>";
  TXmlDocument doc;
  ASSERT_TRUE(doc.LoadXML(reply));
  EXPECT_EQ(doc.SelectSingleNode("con/un").Text(), "演示用户·测试");
  TXmlDocument again;
  ASSERT_TRUE(again.LoadXML(doc.Xml()));
  EXPECT_EQ(again.Xml(), doc.Xml());
}

TEST(XmlDocument, AnEncodingDeclarationIsNotConsulted) {
  // Replies are read as text in the system code page whatever they declare.
  // Wine's parser refuses to load a string declaring an encoding it does not
  // know, and a service for Chinese users may well declare gb2312 or GB18030.
  const char* declarations[] = {"", "<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"GBK\"?>",
                                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>",
                                "<?xml version=\"1.0\" encoding=\"gb2312\"?>",
                                "<?xml version=\"1.0\" encoding=\"GB18030\"?>",
                                "<?xml version='1.0' encoding='gb2312' standalone='yes'?>",
                                "<?xml version=\"1.0\"  encoding = \"x-no-such-set\" ?>\r\n"};
  for (const char* declaration : declarations) {
    SCOPED_TRACE(declaration);
    TXmlDocument doc;
    ASSERT_TRUE(doc.LoadXML(AnsiString(declaration) + "<con><n>知识与分享</n></con>"));
    EXPECT_EQ(ReplyText(doc, "con/n"), "知识与分享");
  }
}

TEST(SharedState, SettingsFolderIsAPlainConcatenation) {
  EXPECT_EQ(SettingsFolderFor("\\Users\\li"), "c:\\\\Users\\li\\qz");
  EXPECT_EQ(SettingsFolderFor("Users\\li"), "c:\\Users\\li\\qz");
  const AnsiString deep = "\\" + AnsiString(300, 'd');  // longer than a short path buffer
  const struct {
    const char* name;
    const char* home;  // null: the variable is not set
    AnsiString folder;
  } cases[] = {
      {"leading backslash", "\\home\\wang", "c:\\\\home\\wang\\qz"},
      {"long value", deep.c_str(), "c:\\" + deep + "\\qz"},
      {"not set", nullptr, "c:\\\\qz"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetEnvironmentVariableA("HOMEPATH", c.home);
    InitSettingsFolder();
    EXPECT_EQ(SettingsFolder, c.folder);
  }
}

TEST(SharedState, ItsUnitFindsTheFolderAndReleasesTheDocuments) {
  SetEnvironmentVariableA("HOMEPATH", "\\Users\\unit");
  std::weak_ptr<TXmlDocument> knowledge, reply;
  {
    TUnitScope units{SharedStateUnit};
    EXPECT_EQ(SettingsFolder, "c:\\\\Users\\unit\\qz");
    CreateDocuments();
    ReplyDoc = NewDocument();
    CurrentTreeDoc = KnowledgeDoc;
    SelectedCategory.Key = "12";
    knowledge = KnowledgeDoc;
    reply = ReplyDoc;
  }
  // Released while COM is still there: nothing is left for static destruction.
  EXPECT_TRUE(knowledge.expired());
  EXPECT_TRUE(reply.expired());
  EXPECT_TRUE(SettingsFolder.empty());
  EXPECT_TRUE(SelectedCategory.Key.empty());
  SetEnvironmentVariableA("HOMEPATH", nullptr);
}

TEST(SharedState, CreateDocumentsGivesNewEmptyDocuments) {
  CreateDocuments();
  const TXmlDocumentRef before = KnowledgeDoc;
  ASSERT_TRUE(KnowledgeDoc->LoadXML(AnsiString("<con/>")));
  CreateDocuments();
  EXPECT_NE(KnowledgeDoc, before);
  for (const TXmlDocumentRef& doc : {KnowledgeDoc, DailyDoc, IndexDoc, ListDoc}) {
    ASSERT_TRUE(doc);
    EXPECT_FALSE(doc->DocumentElement());
  }
  // Asynchronous loading is off: the text is there when the call returns.
  ASSERT_TRUE(DailyDoc->LoadXML(AnsiString(kCategories)));
  EXPECT_EQ(DailyDoc->SelectNodes("con/g").size(), 3u);
  ReleaseSharedState();
  EXPECT_FALSE(KnowledgeDoc);
}

}  // namespace
