#include "platform/FormResource.h"

#include "platform/CodePage.h"
#include "platform/Filer.h"
#include "platform/IniFiles.h"
#include "platform/Win32.h"

#include <cctype>
#include <cmath>
#include <cstring>

namespace {

const char kSignature[4] = {'M', 'V', 'F', '1'};
const uint8_t kObjectMarker = 1;

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// ---------------------------------------------------------------- text -> binary

class TTextParser {
public:
  TTextParser(const AnsiString& text, TStream& out, const AnsiString& formName)
      : FText(text), FOut(out), FWriter(&out), FFormName(formName) {}

  void Run() {
    FOut.WriteBuffer(kSignature, 4);
    SkipBlanks();
    ParseObject();
    SkipBlanks();
    if (FPos < FText.size()) Error("Text after the end of the form");
  }

private:
  [[noreturn]] void Error(const AnsiString& message) {
    AnsiString where = "Form '" + FFormName + "', line " + IntToStr(FLine);
    if (!FComponent.empty()) where += ", component '" + FComponent + "'";
    if (!FProperty.empty()) where += ", property '" + FProperty + "'";
    throw EReadError(where + ": " + message);
  }

  // Refuses text nested deeper than the reader would take, before the
  // stack runs out.
  struct TNesting {
    explicit TNesting(TTextParser& parser) : Parser(parser) {
      if (Parser.FDepth >= TReader::MaxNesting) Parser.Error("Text nested too deeply");
      ++Parser.FDepth;
    }
    ~TNesting() { --Parser.FDepth; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;
    TTextParser& Parser;
  };

  char Peek() const { return FPos < FText.size() ? FText[FPos] : '\0'; }
  bool AtEnd() const { return FPos >= FText.size(); }

  void SkipBlanks() {
    while (!AtEnd()) {
      char c = FText[FPos];
      if (c == '\n') ++FLine;
      if (static_cast<unsigned char>(c) <= ' ') {
        ++FPos;
      } else if (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
        while (!AtEnd() && FText[FPos] != '\n') ++FPos;
      } else {
        break;
      }
    }
  }

  AnsiString Ident() {
    SkipBlanks();
    if (!IsIdentStart(Peek())) Error("Identifier expected");
    size_t start = FPos;
    while (!AtEnd() && (IsIdentChar(FText[FPos]) || FText[FPos] == '.')) ++FPos;
    AnsiString s = FText.substr(start, FPos - start);
    if (s.back() == '.' || s.find("..") != AnsiString::npos) Error("Invalid identifier " + s);
    if (s.size() > 255) Error("Identifier too long");
    return s;
  }

  void Expect(char c) {
    SkipBlanks();
    if (Peek() != c) Error(Format("'%c' expected", c));
    ++FPos;
  }

  void Byte(uint8_t b) { FOut.WriteByte(b); }
  void Str(const AnsiString& s) {
    Byte(static_cast<uint8_t>(s.size()));
    FOut.WriteString(s);
  }
  void Value(TValueType t) { FWriter.WriteValue(t); }

  void ParseObject() {
    TNesting nesting(*this);
    AnsiString keyword = Ident();
    if (!SameText(keyword, "object")) Error("'object' expected");
    AnsiString first = Ident();
    AnsiString name, className = first;
    SkipBlanks();
    if (Peek() == ':') {
      ++FPos;
      name = first;
      className = Ident();
    }
    AnsiString savedComponent = FComponent;
    FComponent = name.empty() ? className : name;
    Byte(kObjectMarker);
    Str(className);
    Str(name);
    // Properties, then child objects, then "end".
    bool children = false;
    for (;;) {
      AnsiString word = Ident();
      if (SameText(word, "end")) break;
      if (SameText(word, "object")) {
        if (!children) Byte(0);
        children = true;
        FPos -= word.size();
        ParseObject();
        continue;
      }
      if (children) Error("Property " + word + " after child objects");
      FProperty = word;
      Str(word);
      Expect('=');
      ParseValue();
      FProperty.clear();
    }
    if (!children) Byte(0);
    Byte(0);
    FComponent = savedComponent;
  }

  void ParseValue() {
    TNesting nesting(*this);
    SkipBlanks();
    char c = Peek();
    if (AtEnd()) Error("Value expected");
    if (c == '\'' || c == '#') return ParseString();
    if (c == '-' || c == '+' || c == '$' || IsDigit(c)) return ParseNumber();
    if (c == '[') return ParseSet();
    if (c == '(') return ParseList();
    if (c == '{') return ParseBinary();
    if (c == '<') return ParseCollection();
    if (IsIdentStart(c)) {
      AnsiString id = Ident();
      if (SameText(id, "True")) Value(TValueType::vaTrue);
      else if (SameText(id, "False")) Value(TValueType::vaFalse);
      else if (SameText(id, "nil")) Value(TValueType::vaNil);
      else {
        Value(TValueType::vaIdent);
        Str(id);
      }
      return;
    }
    Error(Format("Unexpected character '%c'", c));
  }

  void ParseNumber() {
    size_t start = FPos;
    if (Peek() == '-' || Peek() == '+') ++FPos;
    bool hex = Peek() == '$';
    if (hex) ++FPos;
    bool isFloat = false;
    while (!AtEnd()) {
      char c = FText[FPos];
      if (IsDigit(c) || (hex && std::isxdigit(static_cast<unsigned char>(c)))) {
        ++FPos;
      } else if (!hex && (c == '.' || c == 'e' || c == 'E')) {
        isFloat = true;
        ++FPos;
        if ((c == 'e' || c == 'E') && (Peek() == '-' || Peek() == '+')) ++FPos;
      } else {
        break;
      }
    }
    AnsiString token = FText.substr(start, FPos - start);
    // A currency amount ends in 'c', a date in 'd'.
    char suffix = 0;
    if (!hex && !AtEnd() && (Peek() == 'c' || Peek() == 'C' || Peek() == 'd' || Peek() == 'D') &&
        (FPos + 1 >= FText.size() || !IsIdentChar(FText[FPos + 1]))) {
      suffix = static_cast<char>(std::tolower(static_cast<unsigned char>(Peek())));
      ++FPos;
    }
    if (suffix == 'c') {
      FWriter.WriteCurrency(ParseCurrency(token));
      return;
    }
    if (isFloat || suffix == 'd') {
      char* end = nullptr;
      double v = std::strtod(token.c_str(), &end);
      if (!end || *end || token.empty() || (suffix == 'd' && !std::isfinite(v))) Error("Invalid number " + token);
      if (suffix == 'd')
        FWriter.WriteDate(v);
      else
        FWriter.WriteFloat(v);
      return;
    }
    int64_t v = 0;
    bool negative = !token.empty() && token[0] == '-';
    AnsiString digits = token.substr(token[0] == '-' || token[0] == '+' ? 1 : 0);
    try {
      v = StrToInt64(digits);
    } catch (const EConvertError&) {
      Error("Invalid number " + token);
    }
    FWriter.WriteInteger(negative ? -v : v);
  }

  // An amount in ten-thousandths: exact for up to four decimals.
  int64_t ParseCurrency(const AnsiString& token) {
    size_t i = 0;
    const bool negative = !token.empty() && token[0] == '-';
    if (!token.empty() && (token[0] == '-' || token[0] == '+')) ++i;
    int64_t units = 0;
    int digits = 0;
    int decimals = -1;
    bool exact = true;
    for (; i < token.size(); ++i) {
      const char c = token[i];
      if (c == '.' && decimals < 0) {
        decimals = 0;
        continue;
      }
      if (!IsDigit(c) || decimals == 4 || units > 92233720368547LL) {
        exact = false;
        break;
      }
      units = units * 10 + (c - '0');
      ++digits;
      if (decimals >= 0) ++decimals;
    }
    if (exact && digits > 0) {
      for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d) units *= 10;
      return negative ? -units : units;
    }
    char* end = nullptr;
    const double v = std::strtod(token.c_str(), &end);
    if (!end || *end || token.empty() || !(v >= -922337203685477.0 && v <= 922337203685477.0))
      Error("Invalid currency value " + token);
    return std::llround(v * 10000.0);
  }

  // 'quoted'#13#10'parts' + 'continued'
  void ParseString() {
    std::string utf8;
    bool ascii = true;
    bool hadPart = false;
    SkipBlanks();
    for (;;) {
      char c = Peek();
      if (c == '\'') {
        ++FPos;
        hadPart = true;
        for (;;) {
          if (AtEnd() || FText[FPos] == '\n') Error("Unterminated string");
          char ch = FText[FPos++];
          if (ch == '\'') {
            if (Peek() == '\'') {
              ++FPos;
            } else {
              break;
            }
          }
          if (static_cast<unsigned char>(ch) >= 0x80) ascii = false;
          utf8 += ch;
        }
      } else if (c == '#') {
        ++FPos;
        hadPart = true;
        size_t start = FPos;
        while (!AtEnd() && IsDigit(FText[FPos])) ++FPos;
        if (FPos == start || FPos - start > 7) Error("Character number expected after #");
        uint32_t cp = static_cast<uint32_t>(std::stoul(FText.substr(start, FPos - start)));
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) Error("Invalid character number");
        if (cp >= 0x80) ascii = false;
        AppendUtf8(utf8, cp);
      } else {
        // Parts join when they touch or when a + stands between them;
        // strings apart are separate values (the lines of a list).
        const size_t pos = FPos;
        const int line = FLine;
        SkipBlanks();
        if (!hadPart || Peek() != '+') {
          FPos = pos;
          FLine = line;
          break;
        }
        ++FPos;
        SkipBlanks();
        if (Peek() != '\'' && Peek() != '#') Error("String expected after +");
      }
    }
    if (!ascii) {
      try {
        Utf8ToUtf16(utf8, true);
      } catch (const EConvertError&) {
        Error("String is not valid UTF-8");
      }
    }
    Value(ascii ? TValueType::vaString : TValueType::vaUTF8String);
    FOut.WriteDWord(static_cast<uint32_t>(utf8.size()));
    FOut.WriteString(utf8);
  }

  void ParseSet() {
    Expect('[');
    Value(TValueType::vaSet);
    SkipBlanks();
    if (Peek() != ']') {
      for (;;) {
        Str(Ident());
        SkipBlanks();
        if (Peek() == ',') {
          ++FPos;
          continue;
        }
        break;
      }
    }
    Expect(']');
    Byte(0);
  }

  void ParseList() {
    Expect('(');
    Value(TValueType::vaList);
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Error("')' expected");
      if (Peek() == ')') break;
      ParseValue();
    }
    ++FPos;
    Value(TValueType::vaNull);
  }

  void ParseBinary() {
    Expect('{');
    std::string hex;
    for (;;) {
      if (AtEnd()) Error("Binary data is truncated: '}' expected");
      char c = FText[FPos++];
      if (c == '}') break;
      if (c == '\n') ++FLine;
      if (static_cast<unsigned char>(c) <= ' ') continue;
      if (!std::isxdigit(static_cast<unsigned char>(c))) Error(Format("Invalid character '%c' in binary data", c));
      hex += c;
    }
    std::string bytes;
    if (!HexToBytes(hex, bytes)) Error("Binary data is truncated: odd number of hexadecimal digits");
    FWriter.WriteBinary(bytes);
  }

  void ParseCollection() {
    Expect('<');
    Value(TValueType::vaCollection);
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Error("'>' expected");
      if (Peek() == '>') break;
      AnsiString word = Ident();
      if (!SameText(word, "item")) Error("'item' expected");
      Value(TValueType::vaList);
      AnsiString savedProperty = FProperty;
      for (;;) {
        AnsiString prop = Ident();
        if (SameText(prop, "end")) break;
        FProperty = savedProperty + "." + prop;
        Str(prop);
        Expect('=');
        ParseValue();
      }
      FProperty = savedProperty;
      Byte(0);
    }
    ++FPos;
    Value(TValueType::vaNull);
  }

  const AnsiString& FText;
  TStream& FOut;
  TWriter FWriter;  // values in their binary form
  AnsiString FFormName;
  size_t FPos = 0;
  int FLine = 1;
  int FDepth = 0;
  AnsiString FComponent;
  AnsiString FProperty;
};

AnsiString Indent(int level) { return AnsiString(static_cast<size_t>(level) * 2, ' '); }

// A string in the text form's quoting, from UTF-8.
AnsiString QuoteUtf8(const std::string& utf8) {
  if (utf8.empty()) return "''";
  AnsiString out;
  bool open = false;
  for (char c : utf8) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20) {
      if (open) out += '\'';
      open = false;
      out += "#" + IntToStr(u);
    } else {
      if (!open) out += '\'';
      open = true;
      out += c;
      if (c == '\'') out += '\'';
    }
  }
  if (open) out += '\'';
  return out;
}

}  // namespace

// ---------------------------------------------------------------- binary -> text

// Walks the binary form with the reader's bounds-checked primitives.
class TFormResource {
public:
  TFormResource(TStream& input, const AnsiString& formName) : FReader(&input) { FReader.SetFormName(formName); }

  AnsiString Run() {
    char sig[4];
    FReader.Need(4);
    FReader.Stream()->ReadBuffer(sig, 4);
    if (std::memcmp(sig, kSignature, 4) != 0) FReader.Error("Not a form stream");
    WriteObject(0);
    return FOut;
  }

private:
  void WriteObject(int level) {
    TReader::TNesting nesting(FReader);
    FReader.Need(1);
    uint8_t marker = FReader.Stream()->ReadByte();
    if (marker != kObjectMarker) FReader.Error(Format("Object expected, found byte %u", marker));
    AnsiString className = FReader.ReadStr();
    AnsiString name = FReader.ReadStr();
    FReader.FComponentName = name.empty() ? className : name;
    FOut += Indent(level) + "object " + (name.empty() ? className : name + ": " + className) + "\r\n";
    WriteProperties(level + 1);
    for (;;) {
      FReader.Need(1);
      if (FReader.Stream()->ReadByte() == 0) break;
      FReader.Stream()->Seek(-1, TSeekOrigin::soCurrent);
      WriteObject(level + 1);
    }
    FOut += Indent(level) + "end\r\n";
  }

  void WriteProperties(int level) {
    for (;;) {
      AnsiString name = FReader.ReadStr();
      if (name.empty()) return;
      FReader.FPropName = name;
      FOut += Indent(level) + name + " = ";
      WriteValue(level);
      FOut += "\r\n";
      FReader.FPropName.clear();
    }
  }

  void WriteValue(int level) {
    TReader::TNesting nesting(FReader);
    TStream* s = FReader.Stream();
    TValueType t = FReader.NextValue();
    switch (t) {
      case TValueType::vaNull: FReader.Error("Value expected");
      case TValueType::vaList:
        FReader.ReadValue();
        FOut += "(";
        for (bool first = true; !FReader.EndOfList(); first = false) {
          if (!first) FOut += " ";
          WriteValue(level + 1);
        }
        FReader.ReadListEnd();
        FOut += ")";
        return;
      case TValueType::vaInt8:
      case TValueType::vaInt16:
      case TValueType::vaInt32:
      case TValueType::vaInt64: FOut += IntToStr(FReader.ReadInt64()); return;
      case TValueType::vaExtended: {
        double v = FReader.ReadFloat();
        if (!std::isfinite(v)) FReader.Error("Number out of range");
        AnsiString text = Format("%.17g", v);
        if (text.find_first_of(".e") == AnsiString::npos) text += ".0";
        FOut += text;
        return;
      }
      case TValueType::vaCurrency: {
        const int64_t raw = FReader.ReadCurrency();
        const uint64_t magnitude = raw < 0 ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
        AnsiString text = (raw < 0 ? "-" : "") + std::to_string(magnitude / 10000);
        AnsiString fraction = Format("%04u", static_cast<unsigned>(magnitude % 10000));
        while (fraction.size() > 1 && fraction.back() == '0') fraction.pop_back();
        FOut += text + "." + fraction + "c";
        return;
      }
      case TValueType::vaDate: {
        double v = FReader.ReadFloat();
        if (!std::isfinite(v)) FReader.Error("Number out of range");
        AnsiString text = Format("%.17g", v);
        if (text.find_first_of(".e") == AnsiString::npos) text += ".0";
        FOut += text + "d";
        return;
      }
      case TValueType::vaString: {
        FReader.ReadValue();
        uint32_t n = FReader.ReadLength();
        AnsiString bytes(n, '\0');
        if (n) s->ReadBuffer(bytes.data(), n);
        FOut += QuoteUtf8(AnsiToUtf8(bytes));
        return;
      }
      case TValueType::vaUTF8String: {
        FReader.ReadValue();
        uint32_t n = FReader.ReadLength();
        std::string bytes(n, '\0');
        if (n) s->ReadBuffer(bytes.data(), n);
        // Text the text reader would refuse is refused here already.
        try {
          Utf8ToUtf16(bytes, true);
        } catch (const EConvertError&) {
          FReader.Error("String is not valid UTF-8");
        }
        FOut += QuoteUtf8(bytes);
        return;
      }
      case TValueType::vaWString: FOut += QuoteUtf8(Utf16ToUtf8(FReader.ReadWideString())); return;
      case TValueType::vaIdent:
      case TValueType::vaFalse:
      case TValueType::vaTrue:
      case TValueType::vaNil: FOut += FReader.ReadIdent(); return;
      case TValueType::vaBinary: {
        FReader.ReadValue();
        uint32_t n = FReader.ReadLength();
        FOut += "{";
        uint8_t chunk[32];
        while (n) {
          uint32_t k = n < sizeof chunk ? n : static_cast<uint32_t>(sizeof chunk);
          s->ReadBuffer(chunk, k);
          FOut += "\r\n" + Indent(level + 1) + BytesToHex(chunk, k);
          n -= k;
        }
        FOut += "}";
        return;
      }
      case TValueType::vaSet: {
        FReader.ReadValue();
        FOut += "[";
        for (bool first = true;; first = false) {
          AnsiString id = FReader.ReadStr();
          if (id.empty()) break;
          if (!first) FOut += ", ";
          FOut += id;
        }
        FOut += "]";
        return;
      }
      case TValueType::vaCollection: {
        FReader.ReadValue();
        FOut += "<";
        while (!FReader.EndOfList()) {
          FReader.ReadListBegin();
          FOut += "\r\n" + Indent(level + 1) + "item\r\n";
          AnsiString saved = FReader.FPropName;
          for (;;) {
            AnsiString name = FReader.ReadStr();
            if (name.empty()) break;
            FReader.FPropName = saved + "." + name;
            FOut += Indent(level + 2) + name + " = ";
            WriteValue(level + 2);
            FOut += "\r\n";
          }
          FReader.FPropName = saved;
          FOut += Indent(level + 1) + "end";
        }
        FReader.ReadListEnd();
        FOut += ">";
        return;
      }
    }
  }

  TReader FReader;
  AnsiString FOut;
};

void ObjectTextToBinary(const AnsiString& text, TStream& output, const AnsiString& formName) {
  TTextParser(text, output, formName).Run();
}

AnsiString ObjectBinaryToText(TStream& input, const AnsiString& formName) {
  return TFormResource(input, formName).Run();
}

TComponent* ReadComponentText(const AnsiString& text, TComponent* instance, const AnsiString& formName,
                              TComponent* owner) {
  TMemoryStream binary;
  ObjectTextToBinary(text, binary, formName);
  binary.Seek(0, TSeekOrigin::soBeginning);
  TReader reader(&binary);
  reader.SetFormName(formName);
  return reader.ReadRootComponent(instance, owner);
}

AnsiString WriteComponentText(TComponent* component) {
  TMemoryStream binary;
  WriteComponentToStream(binary, component);
  binary.Seek(0, TSeekOrigin::soBeginning);
  return ObjectBinaryToText(binary, component->ClassName());
}

bool ReadComponentRes(const AnsiString& resName, TComponent* instance) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, resName.c_str(), reinterpret_cast<LPCSTR>(RT_RCDATA));
  if (!info) return false;
  HGLOBAL handle = LoadResource(module, info);
  const void* data = handle ? LockResource(handle) : nullptr;
  DWORD size = SizeofResource(module, info);
  if (!data) throw EResNotFound("Resource " + resName + " cannot be loaded");
  AnsiString bytes(static_cast<const char*>(data), size);
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), kSignature, 4) == 0) {
    TStringStream stream(bytes);
    TReader reader(&stream);
    reader.SetFormName(resName);
    reader.ReadRootComponent(instance);
  } else {
    // A UTF-8 byte-order mark that an editor may have left is not text.
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    ReadComponentText(bytes, instance, resName);
  }
  return true;
}

bool InitComponentFromResource(TComponent* instance) {
  if (IsRootInMaking(instance->ClassType())) return false;
  return ReadComponentRes(instance->ClassName(), instance);
}
