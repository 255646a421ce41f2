// XML documents over the system's DOM library (the version-independent MSXML
// document class, reached through COM). Loading is synchronous; paths are
// XSL patterns, in which index 0 is the first element ("con/g[0]/id").
// A document and its nodes belong to the thread that created the document.
#pragma once

#include "platform/Exceptions.h"
#include "platform/Object.h"
#include "platform/Text.h"

#include <memory>
#include <string>
#include <vector>

struct IXMLDOMNode;
struct IXMLDOMDocument;

class EXmlError : public EOleError { public: using EOleError::EOleError; };

// A counted reference to one node; empty when a selection found nothing.
class TXmlNode {
public:
  TXmlNode() = default;
  explicit TXmlNode(IXMLDOMNode* node);  // takes over one reference
  TXmlNode(const TXmlNode& other);
  TXmlNode& operator=(const TXmlNode& other);
  ~TXmlNode();

  explicit operator bool() const { return FNode != nullptr; }
  IXMLDOMNode* Intf() const { return FNode; }

  // Node text (all descendant text) in the system code page / as UTF-16.
  AnsiString Text() const;
  std::wstring TextW() const;
  void SetText(const AnsiString& text);
  AnsiString NodeName() const;
  std::wstring XmlW() const;

  TXmlNode SelectSingleNode(const AnsiString& path) const;
  std::vector<TXmlNode> SelectNodes(const AnsiString& path) const;
  std::vector<TXmlNode> ChildNodes() const;

  // Attributes of an element; "" when absent.
  AnsiString GetAttribute(const AnsiString& name) const;
  void SetAttribute(const AnsiString& name, const AnsiString& value);

  TXmlNode AppendChild(const TXmlNode& child);
  // Inserts `child` before `reference`; an empty reference appends.
  TXmlNode InsertBefore(const TXmlNode& child, const TXmlNode& reference);
  TXmlNode RemoveChild(const TXmlNode& child);

private:
  IXMLDOMNode* Need() const;
  IXMLDOMNode* FNode = nullptr;
};

class TXmlDocument : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // A new, empty document with asynchronous loading off and neither external
  // entities nor document type declarations honoured. COM must be initialised.
  TXmlDocument();
  ~TXmlDocument() override;

  // Replaces the whole document by `xml`. A text that is not well-formed XML
  // (or carries a document type declaration) leaves the document empty and
  // answers false; nothing raises. The text is taken as it is: an encoding
  // its XML declaration names is set aside.
  bool LoadXML(const std::wstring& xml);
  // The same for 8-bit text in the system code page.
  bool LoadXML(const AnsiString& xml);
  void Clear();

  // The whole document as XML text; "" when empty.
  std::wstring XmlW() const;
  AnsiString Xml() const;
  // The text of the whole document (all text nodes).
  AnsiString Text() const;

  TXmlNode DocumentElement() const;
  TXmlNode AsNode() const;
  TXmlNode SelectSingleNode(const AnsiString& path) const { return AsNode().SelectSingleNode(path); }
  std::vector<TXmlNode> SelectNodes(const AnsiString& path) const { return AsNode().SelectNodes(path); }
  TXmlNode CreateElement(const AnsiString& name);
  TXmlNode CreateTextNode(const AnsiString& text);

private:
  void Create();
  IXMLDOMDocument* FDoc = nullptr;
};

// Documents are shared by their holder and the requests filling them.
using TXmlDocumentRef = std::shared_ptr<TXmlDocument>;

