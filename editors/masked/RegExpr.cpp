#include "editors/masked/RegExpr.h"

#include "editors/framework/EditStrings.h"
#include "editors/masked/RegExprConsts.h"

#include <algorithm>

namespace {

// Limits that keep a hostile mask (masks come from form streams) from
// exhausting memory or the stack: edit masks use a few dozen states and a
// handful of nested groups.
constexpr int MaxGroupNesting = 64;    // parentheses open at once
constexpr int MaxItemDepth = 512;      // nesting of an item after counts and wrapping
constexpr int MaxStates = 20000;       // states made by counts, references and wrapping
constexpr int64_t MaxCountValue = 1000000;
constexpr int MaxWrappings = 4;        // quantifiers stacked on one item (a+?? ...)
// Literals auto-completion types in one go. Masks force a few separators or
// brackets; a run of thousands (a count over a repeated item, «a+{45}+{254}»)
// would cost time and memory in the square of its length, as each set of
// live states is kept for stepping back. The user types the rest.
constexpr int MaxAutoInsertedLiterals = 256;

bool IsBlank(char ch) { return ch == ' ' || ch == '\0' || ch == '\t' || ch == '\n' || ch == '\f' || ch == '\r'; }

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

int HexValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  return -1;
}

AnsiString ResText(const TResourceString& id, const AnsiString& argument = AnsiString()) {
  // The texts are replaceable: fill "%s" without handing them to printf.
  return cxFormatResString(id, argument);
}

std::unique_ptr<TcxRegExprItem> ClassTest(uint8_t kind) {
  switch (kind) {
    case lkAny: return std::make_unique<TcxRegExprAll>();
    case lkWord: return std::make_unique<TcxRegExprIdLetter>(false);
    case lkNonWord: return std::make_unique<TcxRegExprIdLetter>(true);
    case lkDigit: return std::make_unique<TcxRegExprDigit>(false);
    case lkNonDigit: return std::make_unique<TcxRegExprDigit>(true);
    case lkSpace: return std::make_unique<TcxRegExprSpace>(false);
    case lkNonSpace: return std::make_unique<TcxRegExprSpace>(true);
    case lkDateSeparator: return std::make_unique<TcxRegExprDateSeparator>();
    case lkTimeSeparator: return std::make_unique<TcxRegExprTimeSeparator>();
    default: return nullptr;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Parser: lexemes into parse items, collecting every error.

class TcxRegExpr::TParser {
public:
  explicit TParser(TcxRegExpr& owner) : FOwner(owner) {}

  std::unique_ptr<TcxRegExprParserAlts> parsePattern() {
    auto alts = std::make_unique<TcxRegExprParserAlts>();
    bool more = true;
    while (more) {
      auto alt = std::make_unique<TcxRegExprParserAlt>();
      TcxRegExprParserAlt& target = *alt;
      alts->Add(std::move(alt));
      more = parseAlternative(target, false, 0);
    }
    return alts;
  }

private:
  const TcxLexem* next() {
    const TcxLexems& lexems = FOwner.FLexems;
    return FOwner.FLexemReadPosition < lexems.Count() ? &lexems.Item(FOwner.FLexemReadPosition++) : nullptr;
  }
  const TcxLexem* peek() const {
    const TcxLexems& lexems = FOwner.FLexems;
    return FOwner.FLexemReadPosition < lexems.Count() ? &lexems.Item(FOwner.FLexemReadPosition) : nullptr;
  }
  void error(const TcxLexem& at, const TResourceString& id, const AnsiString& argument = AnsiString()) {
    FOwner.addError(static_cast<int>(at.Line), static_cast<int>(at.Column), ResText(id, argument));
  }
  // Whether `states` more states and an item `depth` deep stay within bounds.
  bool affordable(int64_t states, int64_t depth) const {
    return FStates + states <= MaxStates && depth <= MaxItemDepth;
  }
  void addSimple(TcxRegExprParserAlt& alt, std::unique_ptr<TcxRegExprItem> test) {
    alt.Add(std::make_unique<TcxRegExprParserSimpleItem>(std::move(test)));
    ++FStates;
  }

  // Reads one alternative into `alt`; answers whether another follows.
  bool parseAlternative(TcxRegExprParserAlt& alt, bool inGroup, int nesting) {
    const TcxLexem* first = peek();
    if (!first) {
      FOwner.addError(0, 0, ResText(cxSRegExprEmptyAlternative));
      return false;
    }
    if (first->IsOperator('|')) {
      error(*next(), cxSRegExprEmptyAlternative);
      return true;
    }
    if (inGroup && first->IsOperator(')')) {
      error(*next(), cxSRegExprEmptyBlock);
      return false;
    }
    int wrappings = 0;  // quantifiers stacked on the last item beyond its own
    while (const TcxLexem* lexem = next()) {
      if (lexem->Kind != lkOperator || !(lexem->IsOperator('*') || lexem->IsOperator('+') || lexem->IsOperator('?')))
        wrappings = 0;
      switch (lexem->Kind) {
        case lkLiteral:
          addSimple(alt, std::make_unique<TcxRegExprSymbol>(lexem->Text[0]));
          break;
        case lkGroupReference:
          parseReference(alt, *lexem, nesting);
          break;
        case lkNumber:
          error(*lexem, cxSRegExprIllegalIntegerValue);
          break;
        case lkOperator:
          switch (lexem->Text[0]) {
            case '(':
              if (auto group = parseGroup(*lexem, nesting)) alt.Add(std::move(group));
              break;
            case '[':
              alt.Add(parseEnumeration());
              ++FStates;
              break;
            case ')':
              if (inGroup) return false;
              error(*lexem, cxSRegExprIllegalSymbol, ")");
              break;
            case '|':
              return true;
            case '*':
            case '+':
            case '?':
              parseQuantifier(alt, *lexem, wrappings);
              break;
            case '{':
              if (!alt.Last()) {
                // The count's own lexemes are then read as ordinary ones.
                error(*lexem, cxSRegExprIncorrectParameterQuantifier);
              } else {
                int64_t lower = 0, upper = 0;
                if (parseRepeatBounds(*lexem, lower, upper)) expandRepeatCount(alt, lower, upper, *lexem);
              }
              break;
            case ']':
            case '}':
            case '-':
              error(*lexem, cxSRegExprIllegalSymbol, lexem->Text);
              break;
            default:  // ',' and '^' mean nothing here
              break;
          }
          break;
        default:
          addSimple(alt, ClassTest(lexem->Kind));
          break;
      }
    }
    return false;
  }

  void parseReference(TcxRegExprParserAlt& alt, const TcxLexem& lexem, int nesting) {
    const size_t number = static_cast<size_t>(lexem.Text[0] - '0');
    if (number > FGroups.size()) {
      error(lexem, cxSRegExprTooBigReferenceNumber);
      return;
    }
    // A reference repeats the group's pattern as parsed so far, not its text.
    const TcxRegExprParserBlockItem& group = *FGroups[number - 1];
    const int states = group.StateCount();
    if (!affordable(states, nesting + group.Depth())) {
      error(lexem, cxSRegExprTooComplex);
      return;
    }
    alt.Add(group.Clone());
    FStates += states;
  }

  std::unique_ptr<TcxRegExprParserItem> parseGroup(const TcxLexem& open, int nesting) {
    if (nesting >= MaxGroupNesting) {
      error(open, cxSRegExprTooDeepNesting, IntToStr(MaxGroupNesting));
      skipGroup();
      return nullptr;
    }
    auto group = std::make_unique<TcxRegExprParserBlockItem>();
    FGroups.push_back(group.get());
    FStates += 2;
    // Each alternative joins the group before it is read, so that a reference
    // to the open group copies the part read so far.
    bool more = true;
    while (more) {
      auto alt = std::make_unique<TcxRegExprParserAlt>();
      TcxRegExprParserAlt& target = *alt;
      group->Alts().Add(std::move(alt));
      more = parseAlternative(target, true, nesting + 1);
    }
    return group;
  }

  // Skips the rest of a group nested too deeply, up to its ")".
  void skipGroup() {
    int depth = 1;
    while (const TcxLexem* lexem = next()) {
      if (lexem->IsOperator('(')) ++depth;
      if (lexem->IsOperator(')') && --depth == 0) return;
    }
  }

  void parseQuantifier(TcxRegExprParserAlt& alt, const TcxLexem& lexem, int& wrappings) {
    TcxRegExprParserItem* last = alt.Last();
    const char op = lexem.Text[0];
    if (!last) {
      error(lexem, cxSRegExprIllegalQuantifier, lexem.Text);
      return;
    }
    if (op != '?' && last->CanBeEmpty()) {
      error(lexem, op == '*' ? cxSRegExprCantUseStarQuantifier : cxSRegExprCantUsePlusQuantifier);
      return;
    }
    std::unique_ptr<TcxRegExprQuantifier> quantifier;
    if (op == '?') quantifier = std::make_unique<TcxRegExprQuestionQuantifier>();
    else if (op == '*') quantifier = std::make_unique<TcxRegExprStarQuantifier>();
    else quantifier = std::make_unique<TcxRegExprPlusQuantifier>();
    if (last->HasNoQuantifier()) {
      last->SetQuantifier(std::move(quantifier));
      return;
    }
    // A second quantifier applies to the quantified item as a whole: a+? is (a+)?.
    if (++wrappings > MaxWrappings) {
      error(lexem, cxSRegExprTooManyQuantifiers, IntToStr(MaxWrappings + 1));
      return;
    }
    if (!affordable(2, 0)) {
      error(lexem, cxSRegExprTooComplex);
      return;
    }
    auto wrapper = std::make_unique<TcxRegExprParserBlockItem>();
    TcxRegExprParserBlockItem& block = *wrapper;
    block.SetQuantifier(std::move(quantifier));
    auto inner = std::make_unique<TcxRegExprParserAlt>();
    inner->Add(alt.ReplaceLast(std::move(wrapper)));
    block.Alts().Add(std::move(inner));
    FStates += 2;
  }

  int64_t numberValue(const TcxLexem& lexem) const {
    int64_t value = 0;
    for (char digit : lexem.Text) value = std::min<int64_t>(value * 10 + (digit - '0'), MaxCountValue + 1);
    return value;
  }

  // After "{": n}, n,} or n,m} with m >= n; `upper` is -1 when open.
  bool parseRepeatBounds(const TcxLexem& brace, int64_t& lower, int64_t& upper) {
    auto broken = [&](const TcxLexem* at) {
      error(at ? *at : brace, cxSRegExprIncorrectParameterQuantifier);
      // The lexer put only numbers and "," before the closing "}".
      for (const TcxLexem* lexem = at; lexem && !lexem->IsOperator('}'); lexem = next()) {
      }
      return false;
    };
    const TcxLexem* lexem = next();
    if (!lexem || lexem->Kind != lkNumber) return broken(lexem);
    lower = numberValue(*lexem);
    lexem = next();
    if (lexem && lexem->IsOperator('}')) {
      upper = lower;
      return true;
    }
    if (!lexem || !lexem->IsOperator(',')) return broken(lexem);
    lexem = next();
    if (lexem && lexem->IsOperator('}')) {
      upper = -1;
      return true;
    }
    if (!lexem || lexem->Kind != lkNumber) return broken(lexem);
    upper = numberValue(*lexem);
    if (upper < lower) return broken(lexem);
    lexem = next();
    if (!lexem || !lexem->IsOperator('}')) return broken(lexem);
    return true;
  }

  // x{n} is n copies of x in a group; x{n,} adds x*; x{n,m} adds the optional
  // tail (x (x ... x?)?)? of m - n copies.
  void expandRepeatCount(TcxRegExprParserAlt& alt, int64_t lower, int64_t upper, const TcxLexem& brace) {
    TcxRegExprParserItem& item = *alt.Last();
    if (item.AllowsAbsence()) {
      error(brace, cxSRegExprCantUseParameterQuantifier);
      return;
    }
    const int64_t optional = upper < 0 ? 1 : upper - lower;
    const int64_t copies = lower + optional;
    const int64_t states = copies * item.StateCount() + 2 * std::max<int64_t>(optional, 1);
    const int64_t depth = item.Depth() + std::max<int64_t>(optional, 1);
    if (copies > MaxCountValue) {
      error(brace, cxSRegExprTooBigRepeatCount, IntToStr(MaxCountValue));
      return;
    }
    if (!affordable(states, depth)) {
      error(brace, cxSRegExprTooComplex);
      return;
    }
    auto block = std::make_unique<TcxRegExprParserBlockItem>();
    // A count that allows none is optional as a whole, so that x{0,} and
    // x{0,m} leave the items before them able to end a match, as x* does.
    if (lower == 0) block->SetQuantifier(std::make_unique<TcxRegExprQuestionQuantifier>());
    auto body = std::make_unique<TcxRegExprParserAlt>();
    for (int64_t i = 0; i < lower; ++i) body->Add(item.Clone());
    if (upper < 0) {
      auto rest = item.Clone();
      rest->SetQuantifier(std::make_unique<TcxRegExprStarQuantifier>());
      body->Add(std::move(rest));
    } else if (upper > lower) {
      // Built from the innermost copy outwards: no recursion as deep as the
      // count. The last copy is optional; one that repeats (x+) stays
      // repeatable, so that x+{0,1} is (x+)? and not x?.
      std::unique_ptr<TcxRegExprParserItem> tail = item.Clone();
      if (item.AllowsRepetition()) tail->SetQuantifier(std::make_unique<TcxRegExprStarQuantifier>());
      else tail->SetQuantifier(std::make_unique<TcxRegExprQuestionQuantifier>());
      for (int64_t d = upper - 2; d >= lower; --d) {
        auto level = std::make_unique<TcxRegExprParserBlockItem>();
        level->SetQuantifier(std::make_unique<TcxRegExprQuestionQuantifier>());
        auto levelAlt = std::make_unique<TcxRegExprParserAlt>();
        levelAlt->Add(item.Clone());
        levelAlt->Add(std::move(tail));
        level->Alts().Add(std::move(levelAlt));
        tail = std::move(level);
      }
      body->Add(std::move(tail));
    }
    block->Alts().Add(std::move(body));
    // The replaced item may be a group that a later reference copies: keep it.
    FReplaced.push_back(alt.ReplaceLast(std::move(block)));
    FStates += states;
  }

  std::unique_ptr<TcxRegExprParserItem> parseEnumeration() {
    const TcxLexem* lexem = next();
    const bool inverse = lexem && lexem->IsOperator('^');
    if (inverse) lexem = next();
    auto enumeration = std::make_unique<TcxRegExprUserEnumeration>(inverse);
    if (lexem && lexem->IsOperator(']')) {
      error(*lexem, cxSRegExprCantCreateEmptyEnum);
    } else {
      const TcxLexem* current = lexem;
      while (current && !current->IsOperator(']')) {
        const TcxLexem* following = next();
        if (!following) break;
        if (!following->IsOperator('-')) {
          enumeration->Add(memberTest(*current));
          current = following;
          continue;
        }
        const TcxLexem* end = next();
        if (!end || end->IsOperator(']')) break;  // the lexer never ends a range so
        const auto first = static_cast<unsigned char>(current->Text[0]);
        const auto last = static_cast<unsigned char>(end->Text[0]);
        if (first < last) enumeration->Add(std::make_unique<TcxRegExprSubrange>(current->Text[0], end->Text[0]));
        else error(*end, cxSRegExprSubrangeOrder);
        current = next();
        while (current && current->IsOperator('-')) {
          error(*current, cxSRegExprIllegalSymbol, "-");
          current = next();
        }
      }
    }
    return std::make_unique<TcxRegExprParserSimpleItem>(std::move(enumeration));
  }

  static std::unique_ptr<TcxRegExprItem> memberTest(const TcxLexem& lexem) {
    if (auto test = ClassTest(lexem.Kind)) return test;
    return std::make_unique<TcxRegExprSymbol>(lexem.Text[0]);
  }

  TcxRegExpr& FOwner;
  // The groups in the order their "(" was read, for references.
  std::vector<TcxRegExprParserBlockItem*> FGroups;
  std::vector<std::unique_ptr<TcxRegExprParserItem>> FReplaced;
  int64_t FStates = 0;
};

// ---------------------------------------------------------------------------
// Automaton

TcxRegExprAutomat::TcxRegExprAutomat(std::unique_ptr<TcxRegExprParserAlts> alts, TcxRegExpr* owner)
    : FAlts(std::move(alts)), FStart(std::make_unique<TcxRegExprSimpleState>(nullptr)), FOwner(owner) {
  FStart->AddSuccessors(FAlts->LeadingStates());
  FStart->SetFinal(FAlts->MayBeSkipped());
  FCurrent.Add(FStart.get());
}

bool TcxRegExprAutomat::Advance(char& ch, bool caseInsensitive) {
  char accepted = ch;
  TcxRegExprStates next = FCurrent.SuccessorsAccepting(accepted, caseInsensitive, NewWalk());
  if (next.Empty()) return false;
  FHistory.push_back(std::move(FCurrent));
  FCurrent = std::move(next);
  ch = accepted;
  return true;
}

bool TcxRegExprAutomat::Retreat() {
  if (FHistory.empty()) return false;
  FCurrent = std::move(FHistory.back());
  FHistory.pop_back();
  return true;
}

void TcxRegExprAutomat::Rewind() {
  FHistory.clear();
  FCurrent = TcxRegExprStates();
  FCurrent.Add(FStart.get());
}

void TcxRegExprAutomat::AutoInsertLiterals() {
  // The sets met on the way: a loop of forced literals that never reaches a
  // final state would otherwise type forever.
  std::vector<TcxRegExprStates> passed;
  while (!FCurrent.ContainsFinal() && passed.size() < MaxAutoInsertedLiterals) {
    TcxRegExprStates next = FCurrent.NextSimpleStates(NewWalk());
    char literal = 0;
    if (!next.SingleExpectedLiteral(literal)) return;
    if (std::find(passed.begin(), passed.end(), next) != passed.end()) return;
    passed.push_back(next);
    // Told before the move: a handler that raises leaves the engine short of
    // the literal, as the text it was to receive.
    FireEvent(FOwner->onLiteralAdded, literal);
    FHistory.push_back(std::move(FCurrent));
    FCurrent = std::move(next);
  }
}

void TcxRegExprAutomat::UndoInsertedLiterals() {
  char literal = 0;
  while (FCurrent.SingleExpectedLiteral(literal) && !FHistory.empty()) {
    const TcxRegExprStates& earlier = FHistory.back();
    char expected = 0;
    // A literal after a final set or after a choice was typed, not inserted.
    if (earlier.ContainsFinal() || !earlier.NextSimpleStates(NewWalk()).SingleExpectedLiteral(expected)) return;
    // Told before the move, as an added literal is.
    FireEvent(FOwner->onLiteralRemoved);
    if (FHistory.empty()) return;  // the handler rewound the engine
    FCurrent = std::move(FHistory.back());
    FHistory.pop_back();
  }
}

// ---------------------------------------------------------------------------
// Engine

TcxRegExpr::TcxRegExpr() = default;

TcxRegExpr::~TcxRegExpr() { clearCompilation(); }

void TcxRegExpr::clearCompilation() {
  FAutomat.reset();
  FSource.Clear();
  FErrors.Clear();
  FLexems.Clear();
  FReadPosition = 0;
  FLexemReadPosition = 0;
  FLine = 1;
  FColumn = 0;
  FCompiled = false;
}

void TcxRegExpr::raiseErrors() { throw EcxRegExprError(FErrors); }

void TcxRegExpr::compilePatternStream(TStream* stream) {
  clearCompilation();
  bool copied = false;
  if (stream) {
    try {
      FSource.CopyFrom(*stream, 0);
      copied = true;
    } catch (const Exception&) {
      FSource.Clear();
    }
  }
  if (!copied) {
    addError(0, 0, ResText(cxSRegExprNotAssignedSourceStream));
    raiseErrors();
  }
  const uint8_t* bytes = FSource.Memory();
  if (std::all_of(bytes, bytes + FSource.Size(), [](uint8_t b) { return IsBlank(static_cast<char>(b)); })) {
    addError(0, 0, ResText(cxSRegExprEmptySourceStream));
    raiseErrors();
  }
  scanPattern();
  if (FErrors.Count() > 0) raiseErrors();

  TParser parser(*this);
  std::unique_ptr<TcxRegExprParserAlts> alts = parser.parsePattern();
  if (FErrors.Count() > 0) raiseErrors();
  for (int i = 0; i < alts->Count(); ++i) {
    alts->Item(i)->Link();
    alts->Item(i)->MarkFinal();
  }
  FAutomat = std::make_unique<TcxRegExprAutomat>(std::move(alts), this);
  FCompiled = true;
  if (FAutoComplete) FAutomat->AutoInsertLiterals();
}

AnsiString TcxRegExpr::regExprErrorText(const TcxRegExprError& error) {
  AnsiString text;
  if (error.Line() > 0) {
    text = LoadResString(cxSRegExprLine) + IntToStr(error.Line());
    if (error.Column() > 0) text += ", " + LoadResString(cxSRegExprChar) + IntToStr(error.Column());
    text += ": ";
  }
  return text + error.Message();
}

void TcxRegExpr::requireCompiled() const {
  if (!FCompiled) throw EcxEditError(ResText(cxSRegExprNotCompiled));
}

bool TcxRegExpr::stepForward(char& ch) {
  requireCompiled();
  const bool accepted = FAutomat->Advance(ch, CaseInsensitive);
  if (accepted && FAutoComplete && !FAutomat->AtFinalState()) FAutomat->AutoInsertLiterals();
  return accepted;
}

bool TcxRegExpr::stepBack() {
  requireCompiled();
  if (FAutoComplete) FAutomat->UndoInsertedLiterals();
  return FAutomat->Retreat();
}

bool TcxRegExpr::atFinalState() {
  requireCompiled();
  return FAutomat->AtFinalState();
}

bool TcxRegExpr::atStartState() {
  requireCompiled();
  return FAutomat->AtStartState();
}

void TcxRegExpr::restartAutomaton() {
  requireCompiled();
  FAutomat->Rewind();
}

AnsiString TcxRegExpr::filterThrough(const AnsiString& text) {
  requireCompiled();
  AnsiString result;
  for (char ch : text) {
    char copy = ch;
    if (FAutomat->Advance(copy, CaseInsensitive)) result += ch;
  }
  return result;
}

void TcxRegExpr::setAutoComplete(bool value) {
  FAutoComplete = value;
  if (value && FCompiled) FAutomat->AutoInsertLiterals();
}

// ---------------------------------------------------------------------------
// Lexer

bool TcxRegExpr::readSourceChar(char& ch) {
  if (FReadPosition >= FSource.Size()) return false;
  ch = static_cast<char>(FSource.Memory()[FReadPosition++]);
  if (ch == '\r') ++FLine;
  if (ch == '\n') FColumn = 0;
  else ++FColumn;
  return true;
}

bool TcxRegExpr::peekSourceChar(char& ch) {
  if (FReadPosition >= FSource.Size()) return false;
  ch = static_cast<char>(FSource.Memory()[FReadPosition]);
  return true;
}

void TcxRegExpr::addLexem(TcxLexemKind kind, const AnsiString& text, uint32_t line, uint32_t column) {
  FLexems.Add(TcxLexem{column, static_cast<uint8_t>(kind), line, text});
}

void TcxRegExpr::scanPattern() {
  int depth = 0;
  char ch = 0;
  while (readSourceChar(ch)) {
    if (IsBlank(ch)) continue;
    const uint32_t line = FLine, column = FColumn;
    const AnsiString text(1, ch);
    switch (ch) {
      case '\'': scanQuoted(); break;
      case '(': addLexem(lkOperator, text, line, column); ++depth; break;
      case ')': addLexem(lkOperator, text, line, column); --depth; break;
      case '*': case '+': case '?': case '|': addLexem(lkOperator, text, line, column); break;
      case '.': addLexem(lkAny, text, line, column); break;
      case '/': addLexem(lkDateSeparator, text, line, column); break;
      case ':': addLexem(lkTimeSeparator, text, line, column); break;
      case '[': addLexem(lkOperator, text, line, column); scanEnumeration(); break;
      case '\\': scanEscape(); break;
      case '{': addLexem(lkOperator, text, line, column); scanRepeatCount(); break;
      default: addLexem(lkLiteral, text, line, column); break;
    }
  }
  // Only the final balance is judged: ")(" passes here and fails in the parser.
  if (depth > 0) addError(0, 0, ResText(cxSRegExprMissing, ")"));
  if (depth < 0) addError(0, 0, ResText(cxSRegExprUnnecessary, ")"));
}

void TcxRegExpr::scanQuoted() {
  char ch = 0;
  for (;;) {
    if (!readSourceChar(ch)) {
      addError(FLine, FColumn + 1, ResText(cxSRegExprMissing, " ' "));
      return;
    }
    const uint32_t line = FLine, column = FColumn;
    if (ch == '\'') {
      char following = 0;
      if (!peekSourceChar(following) || following != '\'') return;
      readSourceChar(following);
    }
    addLexem(lkLiteral, AnsiString(1, ch), line, column);
  }
}

void TcxRegExpr::scanEscape() {
  const uint32_t line = FLine, column = FColumn;
  char ch = 0;
  if (!readSourceChar(ch)) return;  // a trailing backslash means nothing
  if (ch >= '1' && ch <= '9') {
    addLexem(lkGroupReference, AnsiString(1, ch), line, column);
    return;
  }
  if (IsBlank(ch)) {
    addError(FLine, FColumn, ResText(cxSRegExprIncorrectSpace));
    return;
  }
  static const struct { char Escape; TcxLexemKind Kind; } classes[] = {
      {'d', lkDigit}, {'D', lkNonDigit}, {'w', lkWord}, {'W', lkNonWord}, {'s', lkSpace}, {'S', lkNonSpace}};
  for (const auto& entry : classes)
    if (entry.Escape == ch) {
      addLexem(entry.Kind, AnsiString(1, ch), line, column);
      return;
    }
  static const struct { char Escape; char Literal; } controls[] = {
      {'a', '\x07'}, {'e', '\x1B'}, {'f', '\x0C'}, {'n', '\x0A'}, {'r', '\x0D'}, {'t', '\x09'}};
  for (const auto& entry : controls)
    if (entry.Escape == ch) {
      addLexem(lkLiteral, AnsiString(1, entry.Literal), line, column);
      return;
    }
  if (ch == 'p') {
    const char separator = cxRegExprLocale().DecimalSeparator;
    addLexem(lkLiteral, AnsiString(1, separator ? separator : '.'), line, column);
  } else if (ch == 'x') {
    scanHexCode(line, column);
  } else {
    addLexem(lkLiteral, AnsiString(1, ch), line, column);
  }
}

void TcxRegExpr::scanHexCode(uint32_t line, uint32_t column) {
  int code = 0;
  for (int digit = 0; digit < 2; ++digit) {
    char ch = 0;
    if (!readSourceChar(ch)) {
      addError(FLine, FColumn + 1, ResText(cxSRegExprHexNumberExpected0));
      return;
    }
    const int value = HexValue(ch);
    if (value < 0) {
      addError(FLine, FColumn, ResText(cxSRegExprHexNumberExpected, AnsiString(1, ch)));
      return;
    }
    code = code * 16 + value;
  }
  addLexem(lkLiteral, AnsiString(1, static_cast<char>(code)), line, column);
}

void TcxRegExpr::scanEnumeration() {
  bool first = true;
  char ch = 0;
  for (;;) {
    if (!readSourceChar(ch)) {
      addError(FLine, FColumn + 1, ResText(cxSRegExprMissing, "]"));
      return;
    }
    if (IsBlank(ch)) continue;
    const uint32_t line = FLine, column = FColumn;
    const AnsiString text(1, ch);
    const bool wasFirst = first;
    first = false;
    switch (ch) {
      case '\'': scanQuoted(); continue;
      case '/': addLexem(lkDateSeparator, text, line, column); continue;
      case ':': addLexem(lkTimeSeparator, text, line, column); continue;
      case '\\': scanEscape(); continue;
      case ']': addLexem(lkOperator, text, line, column); return;
      default: break;
    }
    if (wasFirst && ch == '^') {
      addLexem(lkOperator, text, line, column);
    } else if (!wasFirst && ch == '-') {
      // A "-" right before "]" is a member, not a range.
      int32_t ahead = FReadPosition;
      while (ahead < FSource.Size() && IsBlank(static_cast<char>(FSource.Memory()[ahead]))) ++ahead;
      const bool closes = ahead < FSource.Size() && FSource.Memory()[ahead] == ']';
      addLexem(closes ? lkLiteral : lkOperator, text, line, column);
    } else {
      addLexem(lkLiteral, text, line, column);
    }
  }
}

void TcxRegExpr::scanRepeatCount() {
  char ch = 0;
  for (;;) {
    if (!readSourceChar(ch)) {
      addError(FLine, FColumn + 1, ResText(cxSRegExprMissing, "}"));
      return;
    }
    if (IsBlank(ch)) continue;
    const uint32_t line = FLine, column = FColumn;
    if (IsDigit(ch)) {
      AnsiString digits(1, ch);
      char following = 0;
      while (peekSourceChar(following) && IsDigit(following)) {
        readSourceChar(following);
        digits += following;
      }
      addLexem(lkNumber, digits, line, column);
    } else if (ch == ',') {
      addLexem(lkOperator, ",", line, column);
    } else if (ch == '}') {
      addLexem(lkOperator, "}", line, column);
      return;
    } else {
      addError(line, column, ResText(cxSRegExprIllegalSymbol, ch == '\'' ? AnsiString(" ' ") : AnsiString(1, ch)));
    }
  }
}
