// Hints and screen tips.
#pragma once

#include "foundation/ComponentCollection.h"
#include "platform/HintWindow.h"

// The one hint window of the framework.
class TdxBarHintWindow : public THintWindow {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using THintWindow::THintWindow;
};

// A screen tip: header, description and footer bands.
class TdxBarScreenTip : public TcxComponentCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxComponentCollectionItem::TcxComponentCollectionItem;
  // The tips' collection is their repository's; no repository here yet.
  TcxComponentCollection* CollectionOfParent(TComponent* parent) override {
    (void)parent;
    return nullptr;
  }
};

// One band of a screen tip.
class TdxBarScreenTipBand : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The screen tips of a repository.
class TdxBarScreenTipCollection : public TcxComponentCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxComponentCollection::TcxComponentCollection;
};
