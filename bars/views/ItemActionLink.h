// The action link of a bar item: carries an action's state to the item and
// answers, property by property, whether the item still follows the action
// (an item changed away from the action's value keeps its own).
#pragma once

#include "platform/ActnList.h"

class TdxBarItem;

class TdxBarItemActionLink : public TActionLink {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarItemActionLink(TObject* AClient) : TActionLink(AClient) { AssignClient(AClient); }

  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsHelpContextLinked() override;
  // Also while the short part of the item's hint is its caption.
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  // A loading item compares the visibility it has read.
  bool IsVisibleLinked() override;
  // Compares the handlers' code, not the objects they are called on.
  bool IsOnExecuteLinked() override;
  void SetCaption(const AnsiString& value) override;
  void SetChecked(bool value) override;
  void SetEnabled(bool value) override;
  void SetHelpContext(int value) override;
  void SetHint(const AnsiString& value) override;
  void SetImageIndex(int value) override;
  void SetShortCut(TShortCut value) override;
  void SetVisible(bool value) override;
  void SetOnExecute(const TNotifyEvent& value) override;

  TdxBarItem* Client() const { return FClient; }

protected:
  // Raises for a client that is no bar item.
  void AssignClient(TObject* AClient) override;

private:
  TdxBarItem* FClient = nullptr;
};
