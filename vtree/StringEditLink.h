// The string tree's own editor: a single-line edit control over the cell's
// text (TVTEdit) and the edit link that drives it (TStringEditLink).
#pragma once

#include "vtree/StringTree.h"

#include "platform/StdCtrls.h"

class TStringEditLink;

// The edit shown over a cell. It holds a counted reference to its link until
// the edit ends; Enter takes the text (Ctrl+Enter in a multi-line node),
// Escape discards it, and losing the focus does either as the tree's
// toAutoAcceptEditChange says. It frees itself once its link is gone.
class TVTEdit : public TCustomEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TVTEdit(TStringEditLink* Link);
  // Lets go of the link (the edit has ended).
  void Detach();
  // Fits a single-line edit to its text (at least as wide as the link allows).
  void AutoAdjustSize();
  // The text as typed, in full (the window keeps it in the system code page).
  std::wstring WideText();
  void SetWideText(const std::wstring& Value);
  // Makes the window anew (styles follow the link's node and alignment).
  void Recreate();
  TStringEditLink* Link() const { return FLink; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

private:
  bool MultilineNode() const;
  // Ends the edit the way focus loss does.
  void EndOnExit();

  TComPtr<IVTEditLink> FRefLink;
  TStringEditLink* FLink;
  bool FRecreating = false;
};

// The edit link of the string tree: prepares a TVTEdit with the cell's text,
// font and alignment, places it over the cell and hands its text back.
class TStringEditLink : public TInterfacedObject<IVTEditLink> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TStringEditLink();
  ~TStringEditLink() override;

  bool BeginEditing() override;
  bool AbortEditing() override;
  bool FinishEditing() override;
  RECT EditorBounds() override;
  bool PrepareEditor(TBaseVirtualTree* Tree, PVirtualNode Node, TColumnIndex Column) override;
  void ForwardMessage(TMessage& Message) override;
  // A negative left becomes 0; narrower than 30 pixels grows to 30 (to the
  // left in a right-aligned cell); the right edge stays inside the client.
  void ApplyEditorBounds(RECT R) override;

  // Null once the edit has gone.
  TVTEdit* Edit() const { return FEdit.Get(); }
  TCustomVirtualStringTree* Tree() const { return FTree; }
  PVirtualNode Node() const { return FNode; }
  TColumnIndex Column() const { return FColumn; }
  TAlignment Alignment() const { return FAlignment; }
  bool Stopping() const { return FStopping; }

private:
  TWeakLink<TVTEdit> FEdit;
  TCustomVirtualStringTree* FTree = nullptr;
  PVirtualNode FNode = nullptr;
  TColumnIndex FColumn = NoColumn;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  TBiDiMode FBiDiMode = TBiDiMode::bdLeftToRight;
  RECT FTextBounds{};  // the cell's text rectangle, client co-ordinates of the tree
  bool FStopping = false;
};
