#include "platform/XmlDocument.h"

#include "platform/CodePage.h"
#include "platform/Win32.h"

#include <msxml2.h>
#include <oleauto.h>

const TClassInfo TXmlDocument::ClassInfo{"TXmlDocument", &TObject::ClassInfo,
                                         [](TObject*) -> TObject* { return new TXmlDocument; }};

namespace {

std::wstring ToWide(const AnsiString& text) { return AnsiToUtf16(text); }

AnsiString ToAnsi(const std::wstring& text) { return Utf16ToAnsi(text); }

// A BSTR that frees itself.
class TBstr {
public:
  explicit TBstr(const std::wstring& s) : FValue(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {
    if (!FValue) throw EOutOfMemory("Out of memory");
  }
  TBstr() = default;
  ~TBstr() { SysFreeString(FValue); }
  TBstr(const TBstr&) = delete;
  TBstr& operator=(const TBstr&) = delete;
  BSTR* Out() { return &FValue; }
  operator BSTR() const { return FValue; }
  std::wstring Str() const { return FValue ? std::wstring(FValue, SysStringLen(FValue)) : std::wstring(); }

private:
  BSTR FValue = nullptr;
};

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw EXmlError(Format("%s failed (0x%08lX)", what, static_cast<unsigned long>(hr)));
}

template <class T>
void ReleaseAndNil(T*& p) {
  if (p) {
    p->Release();
    p = nullptr;
  }
}

std::vector<TXmlNode> ListNodes(IXMLDOMNodeList* list) {
  std::vector<TXmlNode> nodes;
  if (!list) return nodes;
  long count = 0;
  list->get_length(&count);
  nodes.reserve(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) {
    IXMLDOMNode* node = nullptr;
    if (SUCCEEDED(list->get_item(i, &node)) && node) nodes.emplace_back(node);
  }
  list->Release();
  return nodes;
}

// Document type declarations are refused outright: the service has no use for
// them, and they are the door to entity expansion and outside fetches. One can
// only stand in the prolog, among processing instructions, comments and white
// space, so only the prolog is searched: the same words inside the document
// (a CDATA section holding "<!DOCTYPE html>") are text.
bool HasDoctype(const std::wstring& xml) {
  size_t at = 0;
  if (at < xml.size() && xml[at] == 0xFEFF) ++at;
  for (;;) {
    while (at < xml.size() && (xml[at] == L' ' || xml[at] == L'\t' || xml[at] == L'\r' || xml[at] == L'\n')) ++at;
    if (xml.compare(at, 2, L"<?") == 0) {
      at = xml.find(L"?>", at + 2);
      if (at == std::wstring::npos) return false;  // not XML: the parser refuses it
      at += 2;
    } else if (xml.compare(at, 4, L"<!--") == 0) {
      at = xml.find(L"-->", at + 4);
      if (at == std::wstring::npos) return false;
      at += 3;
    } else {
      // Any other markup declaration before the root element is refused too.
      return xml.compare(at, 2, L"<!") == 0;
    }
  }
}

bool IsXmlSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// The text reaches the parser as UTF-16 whatever its XML declaration names,
// and Wine's parser refuses to load a string that declares an encoding it
// does not know (gb2312, GB18030), so the declaration's encoding is set
// aside; version and standalone stay.
std::wstring WithoutEncoding(const std::wstring& xml) {
  const size_t start = !xml.empty() && xml[0] == 0xFEFF ? 1 : 0;
  if (xml.compare(start, 5, L"<?xml") != 0 || xml.size() <= start + 5 || !IsXmlSpace(xml[start + 5])) return xml;
  const size_t end = xml.find(L"?>", start);
  if (end == std::wstring::npos) return xml;
  const size_t name = xml.find(L"encoding", start + 5);
  if (name == std::wstring::npos || name > end || !IsXmlSpace(xml[name - 1])) return xml;
  size_t at = name + 8;
  while (at < end && IsXmlSpace(xml[at])) ++at;
  if (at >= end || xml[at] != L'=') return xml;
  ++at;
  while (at < end && IsXmlSpace(xml[at])) ++at;
  if (at >= end || (xml[at] != L'"' && xml[at] != L'\'')) return xml;
  const size_t close = xml.find(xml[at], at + 1);
  if (close == std::wstring::npos || close >= end) return xml;
  size_t from = name;
  while (from > start + 5 && IsXmlSpace(xml[from - 1])) --from;
  return xml.substr(0, from) + xml.substr(close + 1);
}

// A pattern whose quotes do not pair up is refused before the DOM library sees
// it: such patterns come from texts pasted into a query (a key holding an
// apostrophe), and Wine's library has been seen to crash on them.
bool QuotesPair(const AnsiString& path) {
  char open = 0;
  for (char c : path) {
    if (open) {
      if (c == open) open = 0;
    } else if (c == '\'' || c == '"') {
      open = c;
    }
  }
  return open == 0;
}

}  // namespace

// ---- TXmlNode ----

TXmlNode::TXmlNode(IXMLDOMNode* node) : FNode(node) {}

TXmlNode::TXmlNode(const TXmlNode& other) : FNode(other.FNode) {
  if (FNode) FNode->AddRef();
}

TXmlNode& TXmlNode::operator=(const TXmlNode& other) {
  if (other.FNode) other.FNode->AddRef();
  if (FNode) FNode->Release();
  FNode = other.FNode;
  return *this;
}

TXmlNode::~TXmlNode() {
  if (FNode) FNode->Release();
}

IXMLDOMNode* TXmlNode::Need() const {
  if (!FNode) throw EXmlError("No XML node");
  return FNode;
}

std::wstring TXmlNode::TextW() const {
  TBstr text;
  Check(Need()->get_text(text.Out()), "Reading node text");
  return text.Str();
}

AnsiString TXmlNode::Text() const { return ToAnsi(TextW()); }

void TXmlNode::SetText(const AnsiString& text) {
  TBstr value(ToWide(text));
  Check(Need()->put_text(value), "Setting node text");
}

AnsiString TXmlNode::NodeName() const {
  TBstr name;
  Check(Need()->get_nodeName(name.Out()), "Reading node name");
  return ToAnsi(name.Str());
}

std::wstring TXmlNode::XmlW() const {
  TBstr xml;
  Check(Need()->get_xml(xml.Out()), "Reading node XML");
  return xml.Str();
}

TXmlNode TXmlNode::SelectSingleNode(const AnsiString& path) const {
  if (!QuotesPair(path)) return TXmlNode();
  TBstr query(ToWide(path));
  IXMLDOMNode* found = nullptr;
  // A pattern that does not parse finds nothing, as a missing element does.
  if (Need()->selectSingleNode(query, &found) != S_OK) return TXmlNode();
  return TXmlNode(found);
}

std::vector<TXmlNode> TXmlNode::SelectNodes(const AnsiString& path) const {
  if (!QuotesPair(path)) return {};
  TBstr query(ToWide(path));
  IXMLDOMNodeList* list = nullptr;
  if (FAILED(Need()->selectNodes(query, &list))) return {};
  return ListNodes(list);
}

std::vector<TXmlNode> TXmlNode::ChildNodes() const {
  IXMLDOMNodeList* list = nullptr;
  Check(Need()->get_childNodes(&list), "Reading child nodes");
  return ListNodes(list);
}

AnsiString TXmlNode::GetAttribute(const AnsiString& name) const {
  IXMLDOMElement* element = nullptr;
  if (FAILED(Need()->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(&element)))) return AnsiString();
  TBstr attr(ToWide(name));
  VARIANT value;
  VariantInit(&value);
  AnsiString result;
  if (element->getAttribute(attr, &value) == S_OK && value.vt == VT_BSTR && value.bstrVal)
    result = ToAnsi(std::wstring(value.bstrVal, SysStringLen(value.bstrVal)));
  VariantClear(&value);
  element->Release();
  return result;
}

void TXmlNode::SetAttribute(const AnsiString& name, const AnsiString& value) {
  IXMLDOMElement* element = nullptr;
  Check(Need()->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(&element)), "Node is not an element");
  TBstr attr(ToWide(name));
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  const std::wstring wide = ToWide(value);
  v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  const HRESULT hr = element->setAttribute(attr, v);
  VariantClear(&v);
  element->Release();
  Check(hr, "Setting attribute");
}

TXmlNode TXmlNode::AppendChild(const TXmlNode& child) {
  IXMLDOMNode* added = nullptr;
  Check(Need()->appendChild(child.Need(), &added), "Appending node");
  return TXmlNode(added);
}

TXmlNode TXmlNode::InsertBefore(const TXmlNode& child, const TXmlNode& reference) {
  VARIANT ref;
  VariantInit(&ref);
  if (reference.FNode) {
    ref.vt = VT_UNKNOWN;
    ref.punkVal = reference.FNode;
  }
  IXMLDOMNode* added = nullptr;
  Check(Need()->insertBefore(child.Need(), ref, &added), "Inserting node");
  return TXmlNode(added);
}

TXmlNode TXmlNode::RemoveChild(const TXmlNode& child) {
  IXMLDOMNode* removed = nullptr;
  Check(Need()->removeChild(child.Need(), &removed), "Removing node");
  return TXmlNode(removed);
}

// ---- TXmlDocument ----

TXmlDocument::TXmlDocument() { Create(); }

TXmlDocument::~TXmlDocument() { ReleaseAndNil(FDoc); }

void TXmlDocument::Create() {
  CLSID clsid;
  Check(CLSIDFromProgID(L"Msxml2.DOMDocument", &clsid), "Finding the XML document class");
  IXMLDOMDocument* doc = nullptr;
  Check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument, reinterpret_cast<void**>(&doc)),
        "Creating an XML document");
  doc->put_async(VARIANT_FALSE);
  doc->put_resolveExternals(VARIANT_FALSE);
  doc->put_validateOnParse(VARIANT_FALSE);
  ReleaseAndNil(FDoc);
  FDoc = doc;
}

bool TXmlDocument::LoadXML(const std::wstring& xml) {
  if (HasDoctype(xml)) {
    Clear();
    return false;
  }
  TBstr text(WithoutEncoding(xml));
  VARIANT_BOOL ok = VARIANT_FALSE;
  const HRESULT hr = FDoc->loadXML(text, &ok);
  if (SUCCEEDED(hr) && ok == VARIANT_TRUE) return true;
  Clear();
  return false;
}

bool TXmlDocument::LoadXML(const AnsiString& xml) { return LoadXML(ToWide(xml)); }

void TXmlDocument::Clear() {
  // Removing the children keeps this document object (and every reference to
  // it) while leaving it as empty as a new one.
  for (TXmlNode& child : AsNode().ChildNodes()) AsNode().RemoveChild(child);
}

std::wstring TXmlDocument::XmlW() const { return AsNode().XmlW(); }

AnsiString TXmlDocument::Xml() const { return ToAnsi(XmlW()); }

AnsiString TXmlDocument::Text() const { return AsNode().Text(); }

TXmlNode TXmlDocument::AsNode() const {
  FDoc->AddRef();
  return TXmlNode(FDoc);
}

TXmlNode TXmlDocument::DocumentElement() const {
  IXMLDOMElement* root = nullptr;
  if (FDoc->get_documentElement(&root) != S_OK || !root) return TXmlNode();
  return TXmlNode(root);
}

TXmlNode TXmlDocument::CreateElement(const AnsiString& name) {
  TBstr tag(ToWide(name));
  IXMLDOMElement* element = nullptr;
  Check(FDoc->createElement(tag, &element), "Creating an element");
  return TXmlNode(element);
}

TXmlNode TXmlDocument::CreateTextNode(const AnsiString& text) {
  TBstr value(ToWide(text));
  IXMLDOMText* node = nullptr;
  Check(FDoc->createTextNode(value, &node), "Creating a text node");
  return TXmlNode(node);
}
