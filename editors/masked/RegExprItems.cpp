#include "editors/masked/RegExprItems.h"

#include "editors/masked/RegExprConsts.h"

#include <algorithm>

namespace {

// Code page 936 has no single-byte letters beyond ASCII, so ASCII upper-casing
// is the locale's upper-casing of a one-character string.
char UpperChar(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; }

bool ExpectSeparator(char separator, char& ch) {
  if (separator == 0) return false;
  ch = separator;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Character tests

bool TcxRegExprSymbol::Check(char& ch, bool caseInsensitive) const {
  if (ch == FChar) return true;
  if (!caseInsensitive || UpperChar(ch) != UpperChar(FChar)) return false;
  ch = FChar;
  return true;
}

std::unique_ptr<TcxRegExprItem> TcxRegExprSymbol::Clone() const { return std::make_unique<TcxRegExprSymbol>(FChar); }

bool TcxRegExprTimeSeparator::Check(char& ch, bool) const {
  const char separator = cxRegExprLocale().TimeSeparator;
  return separator != 0 && ch == separator;
}

std::unique_ptr<TcxRegExprItem> TcxRegExprTimeSeparator::Clone() const { return std::make_unique<TcxRegExprTimeSeparator>(); }

bool TcxRegExprTimeSeparator::ExpectedLiteral(char& ch) const { return ExpectSeparator(cxRegExprLocale().TimeSeparator, ch); }

bool TcxRegExprDateSeparator::Check(char& ch, bool) const {
  const char separator = cxRegExprLocale().DateSeparator;
  return separator != 0 && ch == separator;
}

std::unique_ptr<TcxRegExprItem> TcxRegExprDateSeparator::Clone() const { return std::make_unique<TcxRegExprDateSeparator>(); }

bool TcxRegExprDateSeparator::ExpectedLiteral(char& ch) const { return ExpectSeparator(cxRegExprLocale().DateSeparator, ch); }

bool TcxRegExprSubrange::Check(char& ch, bool) const {
  const auto code = static_cast<unsigned char>(ch);
  return code >= static_cast<unsigned char>(FFirst) && code <= static_cast<unsigned char>(FLast);
}

std::unique_ptr<TcxRegExprItem> TcxRegExprSubrange::Clone() const { return std::make_unique<TcxRegExprSubrange>(FFirst, FLast); }

std::unique_ptr<TcxRegExprItem> TcxRegExprAll::Clone() const { return std::make_unique<TcxRegExprAll>(); }

bool TcxRegExprDigit::Contains(char& ch, bool) const { return ch >= '0' && ch <= '9'; }

std::unique_ptr<TcxRegExprItem> TcxRegExprDigit::Clone() const { return std::make_unique<TcxRegExprDigit>(FInverse); }

bool TcxRegExprIdLetter::Contains(char& ch, bool) const {
  return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_';
}

std::unique_ptr<TcxRegExprItem> TcxRegExprIdLetter::Clone() const { return std::make_unique<TcxRegExprIdLetter>(FInverse); }

bool TcxRegExprSpace::Contains(char& ch, bool) const {
  return ch == ' ' || ch == '\0' || ch == '\t' || ch == '\n' || ch == '\f' || ch == '\r';
}

std::unique_ptr<TcxRegExprItem> TcxRegExprSpace::Clone() const { return std::make_unique<TcxRegExprSpace>(FInverse); }

bool TcxRegExprUserEnumeration::Contains(char& ch, bool caseInsensitive) const {
  for (const auto& member : FMembers)
    if (member->Check(ch, caseInsensitive)) return true;
  return false;
}

std::unique_ptr<TcxRegExprItem> TcxRegExprUserEnumeration::Clone() const {
  auto copy = std::make_unique<TcxRegExprUserEnumeration>(FInverse);
  for (const auto& member : FMembers) copy->Add(member->Clone());
  return copy;
}

// ---------------------------------------------------------------------------
// Quantifiers

std::unique_ptr<TcxRegExprQuantifier> TcxRegExprSimpleQuantifier::Clone() const {
  return std::make_unique<TcxRegExprSimpleQuantifier>();
}

std::unique_ptr<TcxRegExprQuantifier> TcxRegExprQuestionQuantifier::Clone() const {
  return std::make_unique<TcxRegExprQuestionQuantifier>();
}

std::unique_ptr<TcxRegExprQuantifier> TcxRegExprStarQuantifier::Clone() const {
  return std::make_unique<TcxRegExprStarQuantifier>();
}

std::unique_ptr<TcxRegExprQuantifier> TcxRegExprPlusQuantifier::Clone() const {
  return std::make_unique<TcxRegExprPlusQuantifier>();
}

// ---------------------------------------------------------------------------
// States

bool TcxRegExprStates::ContainsFinal() const {
  return std::any_of(FItems.begin(), FItems.end(), [](TcxRegExprState* state) {
    TcxRegExprSimpleState* simple = state->AsSimple();
    return simple && simple->Final();
  });
}

TcxRegExprStates TcxRegExprStates::SuccessorsAccepting(char& ch, bool caseInsensitive, TcxRegExprWalk walk) const {
  // Each state tests the character as it was typed: a case-insensitive
  // literal that accepted first must not hide the typed case from a bracket
  // expression tried after it.
  const char typed = ch;
  bool rewritten = false;
  TcxRegExprStates result;
  for (TcxRegExprState* member : FItems)
    member->CollectSuccessors(walk, result, [&](TcxRegExprSimpleState& state) {
      char probe = typed;
      if (!state.Check(probe, caseInsensitive)) return false;
      if (!rewritten) {
        ch = probe;
        rewritten = true;
      }
      return true;
    });
  return result;
}

TcxRegExprStates TcxRegExprStates::NextSimpleStates(TcxRegExprWalk walk) const {
  TcxRegExprStates result;
  for (TcxRegExprState* member : FItems) member->CollectSuccessors(walk, result, [](TcxRegExprSimpleState&) { return true; });
  return result;
}

bool TcxRegExprStates::SingleExpectedLiteral(char& ch) const {
  if (FItems.empty()) return false;
  char expected = 0;
  for (size_t i = 0; i < FItems.size(); ++i) {
    TcxRegExprSimpleState* simple = FItems[i]->AsSimple();
    char literal = 0;
    if (!simple || !simple->Test() || !simple->Test()->ExpectedLiteral(literal)) return false;
    if (i > 0 && literal != expected) return false;
    expected = literal;
  }
  ch = expected;
  return true;
}

std::unique_ptr<TcxRegExprState> TcxRegExprSimpleState::Clone() const {
  return std::make_unique<TcxRegExprSimpleState>(FTest ? FTest->Clone() : nullptr);
}

std::unique_ptr<TcxRegExprState> TcxRegExprBlockState::Clone() const { return std::make_unique<TcxRegExprBlockState>(); }

// ---------------------------------------------------------------------------
// Parse items

TcxRegExprParserItem::TcxRegExprParserItem() : FQuantifier(std::make_unique<TcxRegExprSimpleQuantifier>()) {}

TcxRegExprParserItem::~TcxRegExprParserItem() = default;

bool TcxRegExprParserItem::HasNoQuantifier() const {
  return dynamic_cast<const TcxRegExprSimpleQuantifier*>(FQuantifier.get()) != nullptr;
}

void TcxRegExprParserItem::SetQuantifier(std::unique_ptr<TcxRegExprQuantifier> quantifier) {
  if (quantifier) FQuantifier = std::move(quantifier);
}

TcxRegExprParserSimpleItem::TcxRegExprParserSimpleItem(std::unique_ptr<TcxRegExprItem> test)
    : FState(std::make_unique<TcxRegExprSimpleState>(std::move(test))) {}

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserSimpleItem::Clone() const {
  auto copy = std::make_unique<TcxRegExprParserSimpleItem>(FState->Test() ? FState->Test()->Clone() : nullptr);
  copy->SetQuantifier(Quantifier().Clone());
  return copy;
}

void TcxRegExprParserSimpleItem::Link() {
  if (AllowsRepetition()) FState->AddSuccessor(FState.get());
}

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserAlt::ReplaceLast(std::unique_ptr<TcxRegExprParserItem> item) {
  std::swap(FItems.back(), item);
  return item;
}

std::unique_ptr<TcxRegExprParserAlt> TcxRegExprParserAlt::Clone() const {
  auto copy = std::make_unique<TcxRegExprParserAlt>();
  for (const auto& item : FItems) copy->Add(item->Clone());
  return copy;
}

bool TcxRegExprParserAlt::CanBeEmpty() const {
  return std::all_of(FItems.begin(), FItems.end(), [](const auto& item) { return item->CanBeEmpty(); });
}

bool TcxRegExprParserAlt::MayBeSkipped() const {
  return std::all_of(FItems.begin(), FItems.end(), [](const auto& item) { return item->AllowsAbsence(); });
}

TcxRegExprStates TcxRegExprParserAlt::LeadingStates() const {
  TcxRegExprStates result;
  for (const auto& item : FItems) {
    result.Add(item->InState());
    if (!item->AllowsAbsence()) break;
  }
  return result;
}

void TcxRegExprParserAlt::Link() {
  // Each item is followed by the next ones up to the first that must be
  // present. A long run of optional items (a?a?a?...) would make that
  // quadratic in links, so such runs go through a chain of pass-through
  // junctions instead: junction k leads to item k and, when item k may be
  // absent, to junction k + 1. The walk meets the states in the same order.
  const size_t count = FItems.size();
  std::vector<size_t> runs(count, 0);  // items a link from item i must reach
  for (size_t i = count; i-- > 0;)
    if (i + 1 < count) runs[i] = FItems[i + 1]->AllowsAbsence() ? 1 + runs[i + 1] : 1;
  bool chained = false;
  for (size_t i = 0; i < count; ++i) {
    TcxRegExprState* out = FItems[i]->OutState();
    if (runs[i] <= ShortRun) {
      for (size_t j = i + 1; j <= i + runs[i]; ++j) out->AddSuccessor(FItems[j]->InState());
    } else {
      if (!chained) MakeJunctions();
      chained = true;
      out->AddSuccessor(FJunctions[i + 1].get());
    }
    FItems[i]->Link();
  }
}

void TcxRegExprParserAlt::MakeJunctions() {
  FJunctions.clear();
  for (size_t k = 0; k < FItems.size(); ++k) FJunctions.push_back(std::make_unique<TcxRegExprBlockState>());
  for (size_t k = 0; k < FItems.size(); ++k) {
    FJunctions[k]->AddSuccessor(FItems[k]->InState());
    if (FItems[k]->AllowsAbsence() && k + 1 < FItems.size()) FJunctions[k]->AddSuccessor(FJunctions[k + 1].get());
  }
}

void TcxRegExprParserAlt::LinkTrailingTo(TcxRegExprState* exit) {
  for (auto item = FItems.rbegin(); item != FItems.rend(); ++item) {
    (*item)->OutState()->AddSuccessor(exit);
    if (!(*item)->AllowsAbsence()) break;
  }
}

void TcxRegExprParserAlt::MarkFinal() {
  for (auto item = FItems.rbegin(); item != FItems.rend(); ++item) {
    (*item)->MarkFinal();
    if (!(*item)->AllowsAbsence()) break;
  }
}

int TcxRegExprParserAlt::StateCount() const {
  int count = 0;
  for (const auto& item : FItems) count += item->StateCount();
  return count;
}

int TcxRegExprParserAlt::Depth() const {
  int depth = 0;
  for (const auto& item : FItems) depth = std::max(depth, item->Depth());
  return depth;
}

bool TcxRegExprParserAlts::CanBeEmpty() const {
  return std::any_of(FAlts.begin(), FAlts.end(), [](const auto& alt) { return alt->CanBeEmpty(); });
}

bool TcxRegExprParserAlts::MayBeSkipped() const {
  return std::any_of(FAlts.begin(), FAlts.end(), [](const auto& alt) { return alt->MayBeSkipped(); });
}

TcxRegExprStates TcxRegExprParserAlts::LeadingStates() const {
  TcxRegExprStates result;
  for (const auto& alt : FAlts) result.AddStates(alt->LeadingStates());
  return result;
}

TcxRegExprParserBlockItem::TcxRegExprParserBlockItem()
    : FEntry(std::make_unique<TcxRegExprBlockState>()), FExit(std::make_unique<TcxRegExprBlockState>()) {}

bool TcxRegExprParserBlockItem::CanBeEmpty() const { return AllowsAbsence() || FAlts.CanBeEmpty(); }

std::unique_ptr<TcxRegExprParserItem> TcxRegExprParserBlockItem::Clone() const {
  auto copy = std::make_unique<TcxRegExprParserBlockItem>();
  copy->SetQuantifier(Quantifier().Clone());
  for (int i = 0; i < FAlts.Count(); ++i) copy->FAlts.Add(FAlts.Item(i)->Clone());
  return copy;
}

void TcxRegExprParserBlockItem::MarkFinal() {
  for (int i = 0; i < FAlts.Count(); ++i) FAlts.Item(i)->MarkFinal();
}

void TcxRegExprParserBlockItem::Link() {
  if (AllowsRepetition()) FExit->AddSuccessor(FEntry.get());
  FEntry->AddSuccessors(FAlts.LeadingStates());
  if (FAlts.MayBeSkipped()) FEntry->AddSuccessor(FExit.get());
  for (int i = 0; i < FAlts.Count(); ++i) {
    FAlts.Item(i)->Link();
    FAlts.Item(i)->LinkTrailingTo(FExit.get());
  }
}

int TcxRegExprParserBlockItem::StateCount() const {
  int count = 2;
  for (int i = 0; i < FAlts.Count(); ++i) count += FAlts.Item(i)->StateCount();
  return count;
}

int TcxRegExprParserBlockItem::Depth() const {
  int depth = 0;
  for (int i = 0; i < FAlts.Count(); ++i) depth = std::max(depth, FAlts.Item(i)->Depth());
  return depth + 1;
}
