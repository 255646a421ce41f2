// The regular-expression engine behind masked input. It never searches: it
// compiles a mask pattern into a nondeterministic automaton and is fed the
// typed text one character at a time, answering whether the text can still
// grow into a match and whether it already is one; it can type forced
// literals on its own and take them back on a step back.
// Portable: no Windows headers.
#pragma once

#include "editors/framework/EditError.h"
#include "editors/masked/RegExprItems.h"
#include "platform/Event.h"
#include "platform/Stream.h"
#include "platform/Text.h"

#include <cstdint>
#include <memory>
#include <vector>

// Kinds of lexemes, in their numeric order.
enum TcxLexemKind : uint8_t {
  lkLiteral, lkOperator, lkNumber, lkAny, lkWord, lkNonWord, lkDigit, lkNonDigit,
  lkSpace, lkNonSpace, lkGroupReference, lkDateSeparator, lkTimeSeparator,
};

struct TcxLexem {
  uint32_t Column;
  uint8_t Kind;
  uint32_t Line;
  AnsiString Text;  // one character, except for numbers

  bool IsOperator(char op) const { return Kind == lkOperator && Text.size() == 1 && Text[0] == op; }
};

class TcxLexems : public TObject {
public:
  void Add(const TcxLexem& lexem) { FItems.push_back(lexem); }
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  const TcxLexem& Item(int index) const { return FItems[index]; }

private:
  std::vector<TcxLexem> FItems;
};

// One compile error; line 0 means "no position".
class TcxRegExprError : public TObject {
public:
  TcxRegExprError(int line, int column, AnsiString message) : FLine(line), FColumn(column), FMessage(std::move(message)) {}
  int Line() const { return FLine; }
  int Column() const { return FColumn; }
  const AnsiString& Message() const { return FMessage; }

private:
  int FLine, FColumn;
  AnsiString FMessage;
};

class TcxRegExprErrors : public TObject {
public:
  void Add(int line, int column, const AnsiString& message) { FItems.push_back(std::make_unique<TcxRegExprError>(line, column, message)); }
  int Count() const { return static_cast<int>(FItems.size()); }
  const TcxRegExprError& Item(int index) const { return *FItems[index]; }
  void Clear() { FItems.clear(); }

private:
  std::vector<std::unique_ptr<TcxRegExprError>> FItems;
};

// A failed compilation. The errors stay with the engine that raised it
// (which must outlive the catch); whoever shows them builds the text.
class EcxRegExprError : public EcxEditError {
public:
  explicit EcxRegExprError(const TcxRegExprErrors& errors) : EcxEditError(AnsiString()), FErrors(&errors) {}
  const TcxRegExprErrors& Errors() const { return *FErrors; }

private:
  const TcxRegExprErrors* FErrors;
};

class TcxRegExpr;

// The compiled form of a pattern: the current set of live states and the
// sets before each accepted character.
class TcxRegExprAutomat : public TObject {
public:
  TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> alts, TcxRegExpr* owner);

  // Moves on by one character; a refused character changes nothing.
  bool Advance(char& ch, bool caseInsensitive);
  // Back to the set before the last accepted character; false at the start.
  bool Retreat();
  void Rewind();
  bool AtFinalState() const { return FCurrent.ContainsFinal(); }
  bool AtStartState() const { return !FCurrent.Empty() && FCurrent.Item(0) == FStart.get(); }
  TcxRegExprStates NextSimpleStates() { return FCurrent.NextSimpleStates(NewWalk()); }
  const TcxRegExprStates& Current() const { return FCurrent; }
  int HistoryCount() const { return static_cast<int>(FHistory.size()); }

  // Auto-completion: see TcxRegExpr::setAutoComplete.
  void AutoInsertLiterals();
  void UndoInsertedLiterals();

private:
  TcxRegExprWalk NewWalk() { return {++FWalkStamp}; }

  std::vector<TcxRegExprStates> FHistory;
  std::unique_ptr<TcxRegExprParserAlts> FAlts;
  std::unique_ptr<TcxRegExprSimpleState> FStart;
  TcxRegExprStates FCurrent;
  TcxRegExpr* FOwner;
  uint64_t FWalkStamp = 0;
};

// The engine: pattern language, compiler and the running operations the mask
// modes drive keystroke by keystroke.
class TcxRegExpr : public TObject {
public:
  TcxRegExpr();
  ~TcxRegExpr() override;

  // Compiles the whole content of `stream` (null: not assigned); raises
  // EcxRegExprError with every error of the failing phase.
  void compilePatternStream(TStream* stream);
  bool isCompiled() const { return FCompiled; }
  // The source when compiled, else null.
  TStream* compiledSource() { return FCompiled ? &FSource : nullptr; }
  void clearCompilation();
  const TcxRegExprErrors& errors() const { return FErrors; }
  const TcxLexems& lexems() const { return FLexems; }
  // The full text of one error: "Line1, Char3: ..." or the message alone.
  static AnsiString regExprErrorText(const TcxRegExprError& error);

  bool CaseInsensitive = false;
  // Called with each literal the engine types on its own, and once per
  // literal it takes back.
  TEvent<void(char)> onLiteralAdded;
  TEvent<void()> onLiteralRemoved;

  // Running operations; all but setAutoComplete raise EcxEditError when no
  // compilation has succeeded.
  bool stepForward(char& ch);
  bool stepBack();
  bool atFinalState();
  bool atStartState();
  void restartAutomaton();
  AnsiString filterThrough(const AnsiString& text);
  void setAutoComplete(bool value);
  bool autoComplete() const { return FAutoComplete; }
  // The automaton while compiled (tests and the mask modes look at it).
  TcxRegExprAutomat* automat() { return FAutomat.get(); }

private:
  class TParser;
  void requireCompiled() const;
  void raiseErrors();
  void addError(int line, int column, const AnsiString& message) { FErrors.Add(line, column, message); }

  // Lexer.
  bool readSourceChar(char& ch);
  bool peekSourceChar(char& ch);
  void addLexem(TcxLexemKind kind, const AnsiString& text, uint32_t line, uint32_t column);
  void scanPattern();
  void scanQuoted();
  void scanEscape();
  void scanHexCode(uint32_t line, uint32_t column);
  void scanEnumeration();
  void scanRepeatCount();

  TMemoryStream FSource;
  TcxRegExprErrors FErrors;
  TcxLexems FLexems;
  std::unique_ptr<TcxRegExprAutomat> FAutomat;
  int32_t FReadPosition = 0;
  int32_t FLexemReadPosition = 0;
  int32_t FLine = 1;
  int32_t FColumn = 0;
  bool FCompiled = false;
  bool FAutoComplete = false;
};
