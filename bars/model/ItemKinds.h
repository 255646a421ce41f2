// Item kinds: buttons, window items (edits and combos), labels and separators.
#pragma once

#include "bars/model/BarItem.h"

// A command button, optionally a check button of a group or with a drop-down.
class TdxBarButton : public TdxBarItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItem::TdxBarItem;
  // Whether a check button is down (an action's Checked follows it).
  bool Down() const { return FDown; }
  virtual void SetDown(bool value) { FDown = value; }

protected:
  bool FDown = false;
};

// An item shown as an in-place window (edits and combos).
class TdxBarWindowItem : public TdxBarItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItem::TdxBarItem;
};

// An edit item.
class TdxBarEdit : public TdxBarWindowItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarWindowItem::TdxBarWindowItem;
};

// The base of combo items.
class TCustomdxBarCombo : public TdxBarEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarEdit::TdxBarEdit;
};

// A combo item with its list of texts.
class TdxBarCombo : public TCustomdxBarCombo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarCombo::TCustomdxBarCombo;
};

// A static text item.
class TdxBarLabel : public TdxBarItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItem::TdxBarItem;
};

// A separator item with an optional caption.
class TdxBarSeparator : public TdxBarItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItem::TdxBarItem;
};
