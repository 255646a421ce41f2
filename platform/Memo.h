// The memo: a multi-line edit whose Lines read and write the lines of its
// window.
#pragma once

#include "platform/StdCtrls.h"

class TCustomMemo;

// The lines of a memo (or of any multi-line edit). With a window, each operation reads or changes the
// window's own lines (as shown: a wrapped line is one line each); Text is
// the window's text as it is, so it reads back what was set. Without a
// window the memo's kept text is split and joined.
class TMemoStrings : public TStrings {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TMemoStrings(TCustomEdit* memo) : FMemo(memo) {}

  int Count() const override;
  AnsiString Get(int index) const override;
  void Put(int index, const AnsiString& s) override;
  void Insert(int index, const AnsiString& s) override;
  void Delete(int index) override;
  void Clear() override;
  AnsiString Text() const override;
  void SetText(const AnsiString& text) override;

protected:
  void SetUpdateState(bool updating) override;

private:
  HWND Window() const;
  // Edits the kept text of a memo without a window as a line list.
  template <class F>
  void EditKeptText(F&& edit);
  void CheckIndex(int index, int limit) const;

  TCustomEdit* FMemo;
};

class TCustomMemo : public TCustomEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomMemo(TComponent* AOwner);

  TStrings* Lines() { return &FLines; }
  void SetLines(TStrings* value) { FLines.Assign(value); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  // Lines wrap at the memo's width (no horizontal scrolling then).
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  // Enter types a line break; otherwise it goes to the form (the default
  // button) and Ctrl+Enter types one.
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { FWantReturns = value; }
  // Tab types a tab character; otherwise it moves the focus.
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { FWantTabs = value; }
  // The caret's line and column (0-based).
  POINT CaretPos();
  void SetCaretPos(POINT value);

protected:
  friend class TMemoStrings;
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

private:
  TMemoStrings FLines{this};
  TAlignment FAlignment = taLeftJustify;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomMemo::TCustomMemo;
};
