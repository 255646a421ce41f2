// The pieces a compiled mask pattern is made of: character tests, quantifiers,
// automaton states and the parse items that own and link those states.
// Portable: no Windows headers (the engine also builds natively for the
// differential test and the benchmark).
#pragma once

#include "platform/Object.h"

#include <cstdint>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------
// Character tests

// A test of one typed character. `Check` may rewrite the character (a
// case-insensitive literal hands back the pattern's own case).
class TcxRegExprItem : public TObject {
public:
  virtual bool Check(char& ch, bool caseInsensitive) const = 0;
  virtual std::unique_ptr<TcxRegExprItem> Clone() const = 0;
  // The one character this test stands for when it is a literal (a symbol or
  // a locale separator as the locale is now); drives auto-completion.
  virtual bool ExpectedLiteral(char& /*ch*/) const { return false; }
};

class TcxRegExprSymbol : public TcxRegExprItem {
public:
  explicit TcxRegExprSymbol(char ch) : FChar(ch) {}
  bool Check(char& ch, bool caseInsensitive) const override;
  std::unique_ptr<TcxRegExprItem> Clone() const override;
  bool ExpectedLiteral(char& ch) const override { ch = FChar; return true; }

private:
  char FChar;
};

// Matches the locale's time separator as it is at the moment of the test.
class TcxRegExprTimeSeparator : public TcxRegExprItem {
public:
  bool Check(char& ch, bool caseInsensitive) const override;
  std::unique_ptr<TcxRegExprItem> Clone() const override;
  bool ExpectedLiteral(char& ch) const override;
};

// Matches the locale's date separator as it is at the moment of the test.
class TcxRegExprDateSeparator : public TcxRegExprItem {
public:
  bool Check(char& ch, bool caseInsensitive) const override;
  std::unique_ptr<TcxRegExprItem> Clone() const override;
  bool ExpectedLiteral(char& ch) const override;
};

// Codes from first to last, both included; never case-folded.
class TcxRegExprSubrange : public TcxRegExprItem {
public:
  TcxRegExprSubrange(char first, char last) : FFirst(first), FLast(last) {}
  bool Check(char& ch, bool caseInsensitive) const override;
  std::unique_ptr<TcxRegExprItem> Clone() const override;

private:
  char FFirst, FLast;
};

class TcxRegExprAll : public TcxRegExprItem {
public:
  bool Check(char&, bool) const override { return true; }
  std::unique_ptr<TcxRegExprItem> Clone() const override;
};

// Base of the classes that can be negated (\D, \W, \S, [^...]).
class TcxRegExprEnumeration : public TcxRegExprItem {
public:
  explicit TcxRegExprEnumeration(bool inverse) : FInverse(inverse) {}
  bool Inverse() const { return FInverse; }
  bool Check(char& ch, bool caseInsensitive) const override { return Contains(ch, caseInsensitive) != FInverse; }

protected:
  virtual bool Contains(char& ch, bool caseInsensitive) const = 0;
  bool FInverse;
};

class TcxRegExprDigit : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  std::unique_ptr<TcxRegExprItem> Clone() const override;

protected:
  bool Contains(char& ch, bool caseInsensitive) const override;
};

// ASCII letters, digits and the underscore.
class TcxRegExprIdLetter : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  std::unique_ptr<TcxRegExprItem> Clone() const override;

protected:
  bool Contains(char& ch, bool caseInsensitive) const override;
};

// Space, NUL, TAB, LF, FF and CR.
class TcxRegExprSpace : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  std::unique_ptr<TcxRegExprItem> Clone() const override;

protected:
  bool Contains(char& ch, bool caseInsensitive) const override;
};

// A bracket expression: its members are tried in order.
class TcxRegExprUserEnumeration : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  void Add(std::unique_ptr<TcxRegExprItem> member) { FMembers.push_back(std::move(member)); }
  int Count() const { return static_cast<int>(FMembers.size()); }
  std::unique_ptr<TcxRegExprItem> Clone() const override;

protected:
  bool Contains(char& ch, bool caseInsensitive) const override;

private:
  std::vector<std::unique_ptr<TcxRegExprItem>> FMembers;
};

// ---------------------------------------------------------------------------
// Quantifiers

class TcxRegExprQuantifier : public TObject {
public:
  virtual bool AllowsAbsence() const = 0;
  virtual bool AllowsRepetition() const = 0;
  virtual std::unique_ptr<TcxRegExprQuantifier> Clone() const = 0;
};

// No quantifier written: exactly once.
class TcxRegExprSimpleQuantifier : public TcxRegExprQuantifier {
public:
  bool AllowsAbsence() const override { return false; }
  bool AllowsRepetition() const override { return false; }
  std::unique_ptr<TcxRegExprQuantifier> Clone() const override;
};

class TcxRegExprQuestionQuantifier : public TcxRegExprQuantifier {
public:
  bool AllowsAbsence() const override { return true; }
  bool AllowsRepetition() const override { return false; }
  std::unique_ptr<TcxRegExprQuantifier> Clone() const override;
};

class TcxRegExprStarQuantifier : public TcxRegExprQuantifier {
public:
  bool AllowsAbsence() const override { return true; }
  bool AllowsRepetition() const override { return true; }
  std::unique_ptr<TcxRegExprQuantifier> Clone() const override;
};

class TcxRegExprPlusQuantifier : public TcxRegExprQuantifier {
public:
  bool AllowsAbsence() const override { return false; }
  bool AllowsRepetition() const override { return true; }
  std::unique_ptr<TcxRegExprQuantifier> Clone() const override;
};

// ---------------------------------------------------------------------------
// States

class TcxRegExprState;
class TcxRegExprSimpleState;

// One walk over the states: every state is visited at most once per walk, so
// that a set of live states holds each state once and pass-through cycles
// (an open count on a group that can match nothing) end.
struct TcxRegExprWalk {
  uint64_t Stamp;
};

// A list of states, not owning them, in the order they were reached.
class TcxRegExprStates {
public:
  void Add(TcxRegExprState* state) { FItems.push_back(state); }
  void AddStates(const TcxRegExprStates& states) { FItems.insert(FItems.end(), states.FItems.begin(), states.FItems.end()); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxRegExprState* Item(int index) const { return FItems[index]; }
  bool Empty() const { return FItems.empty(); }
  const std::vector<TcxRegExprState*>& Items() const { return FItems; }
  bool operator==(const TcxRegExprStates&) const = default;

  bool ContainsFinal() const;
  // The simple states reached from the members by accepting `ch`. The
  // character is rewritten to the pattern's case by the first state that
  // accepts it; every state tests the character as typed.
  TcxRegExprStates SuccessorsAccepting(char& ch, bool caseInsensitive, TcxRegExprWalk walk) const;
  // The simple states that follow the members, whatever character comes.
  TcxRegExprStates NextSimpleStates(TcxRegExprWalk walk) const;
  // True when the list is not empty and every member expects one and the
  // same literal character, which is handed back.
  bool SingleExpectedLiteral(char& ch) const;

private:
  std::vector<TcxRegExprState*> FItems;
};

// A node of the automaton. Simple states test a character; block states are
// the pass-through entry and exit of a group.
class TcxRegExprState : public TObject {
public:
  void AddSuccessor(TcxRegExprState* state) { FSuccessors.Add(state); }
  void AddSuccessors(const TcxRegExprStates& states) { FSuccessors.AddStates(states); }
  const TcxRegExprStates& Successors() const { return FSuccessors; }
  virtual std::unique_ptr<TcxRegExprState> Clone() const = 0;
  virtual TcxRegExprSimpleState* AsSimple() { return nullptr; }

  // Walks the successors, passing through block states, and appends the simple
  // states not yet visited in `walk` that `accept` lets through.
  template <class Accept>
  void CollectSuccessors(TcxRegExprWalk walk, TcxRegExprStates& out, Accept accept);
  bool Visit(TcxRegExprWalk walk) {
    if (FStamp == walk.Stamp) return false;
    FStamp = walk.Stamp;
    return true;
  }

private:
  TcxRegExprStates FSuccessors;
  uint64_t FStamp = 0;
};

class TcxRegExprSimpleState : public TcxRegExprState {
public:
  // `test` is empty only for the automaton's start state.
  explicit TcxRegExprSimpleState(std::unique_ptr<TcxRegExprItem> test) : FTest(std::move(test)) {}
  std::unique_ptr<TcxRegExprState> Clone() const override;
  TcxRegExprSimpleState* AsSimple() override { return this; }
  const TcxRegExprItem* Test() const { return FTest.get(); }
  bool Final() const { return FFinal; }
  void SetFinal(bool value) { FFinal = value; }
  bool Check(char& ch, bool caseInsensitive) const { return FTest && FTest->Check(ch, caseInsensitive); }

private:
  std::unique_ptr<TcxRegExprItem> FTest;
  bool FFinal = false;
};

class TcxRegExprBlockState : public TcxRegExprState {
public:
  std::unique_ptr<TcxRegExprState> Clone() const override;
};

template <class Accept>
void TcxRegExprState::CollectSuccessors(TcxRegExprWalk walk, TcxRegExprStates& out, Accept accept) {
  // Depth-first in successor order, with an explicit stack: chains of block
  // states are as deep as the pattern's nesting and counted repeats.
  const std::vector<TcxRegExprState*>& first = FSuccessors.Items();
  std::vector<TcxRegExprState*> pending(first.rbegin(), first.rend());
  while (!pending.empty()) {
    TcxRegExprState* state = pending.back();
    pending.pop_back();
    if (!state->Visit(walk)) continue;
    if (TcxRegExprSimpleState* simple = state->AsSimple()) {
      if (accept(*simple)) out.Add(simple);
    } else {
      const std::vector<TcxRegExprState*>& next = state->FSuccessors.Items();
      pending.insert(pending.end(), next.rbegin(), next.rend());
    }
  }
}

// ---------------------------------------------------------------------------
// Parse items

class TcxRegExprParserAlt;

// One element of an alternative with its quantifier; it owns its states.
class TcxRegExprParserItem : public TObject {
public:
  TcxRegExprParserItem();
  ~TcxRegExprParserItem() override;

  virtual bool CanBeEmpty() const = 0;
  // Deep copy (quantifier, states and alternatives), without successors.
  virtual std::unique_ptr<TcxRegExprParserItem> Clone() const = 0;
  virtual void MarkFinal() = 0;
  virtual TcxRegExprState* InState() const = 0;
  virtual TcxRegExprState* OutState() const = 0;
  // Links the states inside the item (self loops, group entries and exits).
  virtual void Link() = 0;
  // States owned, and nesting depth (1 for a simple item): the compiler keeps
  // both bounded so that a hostile pattern cannot exhaust memory or stack.
  virtual int StateCount() const = 0;
  virtual int Depth() const = 0;

  bool AllowsAbsence() const { return FQuantifier->AllowsAbsence(); }
  bool AllowsRepetition() const { return FQuantifier->AllowsRepetition(); }
  bool HasNoQuantifier() const;
  const TcxRegExprQuantifier& Quantifier() const { return *FQuantifier; }
  // Replaces the quantifier; null changes nothing.
  void SetQuantifier(std::unique_ptr<TcxRegExprQuantifier> quantifier);

private:
  std::unique_ptr<TcxRegExprQuantifier> FQuantifier;
};

class TcxRegExprParserSimpleItem : public TcxRegExprParserItem {
public:
  explicit TcxRegExprParserSimpleItem(std::unique_ptr<TcxRegExprItem> test);
  bool CanBeEmpty() const override { return AllowsAbsence(); }
  std::unique_ptr<TcxRegExprParserItem> Clone() const override;
  void MarkFinal() override { FState->SetFinal(true); }
  TcxRegExprState* InState() const override { return FState.get(); }
  TcxRegExprState* OutState() const override { return FState.get(); }
  void Link() override;
  int StateCount() const override { return 1; }
  int Depth() const override { return 1; }

private:
  std::unique_ptr<TcxRegExprSimpleState> FState;
};

// The items of one alternative, in order.
class TcxRegExprParserAlt : public TObject {
public:
  void Add(std::unique_ptr<TcxRegExprParserItem> item) { FItems.push_back(std::move(item)); }
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxRegExprParserItem* Item(int index) const { return FItems[index].get(); }
  TcxRegExprParserItem* Last() const { return FItems.empty() ? nullptr : FItems.back().get(); }
  // Swaps the last item for `item`, answering the one taken out.
  std::unique_ptr<TcxRegExprParserItem> ReplaceLast(std::unique_ptr<TcxRegExprParserItem> item);
  std::unique_ptr<TcxRegExprParserAlt> Clone() const;

  bool CanBeEmpty() const;
  // Every item's own quantifier allows absence (true without items).
  bool MayBeSkipped() const;
  // in(J) of the items from the first up to the first that must be present.
  TcxRegExprStates LeadingStates() const;
  // Forward links between the items and their inner links.
  void Link();
  // `exit` follows each trailing item up to the last one that must be present.
  void LinkTrailingTo(TcxRegExprState* exit);
  void MarkFinal();
  int StateCount() const;
  int Depth() const;

private:
  // Runs of optional items longer than this are linked through junctions.
  static constexpr size_t ShortRun = 8;
  void MakeJunctions();

  std::vector<std::unique_ptr<TcxRegExprParserItem>> FItems;
  std::vector<std::unique_ptr<TcxRegExprBlockState>> FJunctions;
};

class TcxRegExprParserAlts : public TObject {
public:
  void Add(std::unique_ptr<TcxRegExprParserAlt> alt) { FAlts.push_back(std::move(alt)); }
  int Count() const { return static_cast<int>(FAlts.size()); }
  TcxRegExprParserAlt* Item(int index) const { return FAlts[index].get(); }
  bool CanBeEmpty() const;
  bool MayBeSkipped() const;
  TcxRegExprStates LeadingStates() const;

private:
  std::vector<std::unique_ptr<TcxRegExprParserAlt>> FAlts;
};

// A group: pass-through entry and exit states around its alternatives.
class TcxRegExprParserBlockItem : public TcxRegExprParserItem {
public:
  TcxRegExprParserBlockItem();
  bool CanBeEmpty() const override;
  std::unique_ptr<TcxRegExprParserItem> Clone() const override;
  void MarkFinal() override;
  TcxRegExprState* InState() const override { return FEntry.get(); }
  TcxRegExprState* OutState() const override { return FExit.get(); }
  void Link() override;
  int StateCount() const override;
  int Depth() const override;
  TcxRegExprParserAlts& Alts() { return FAlts; }

private:
  std::unique_ptr<TcxRegExprBlockState> FEntry, FExit;
  TcxRegExprParserAlts FAlts;
};
