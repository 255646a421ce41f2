// Bars and the bar collection.
#pragma once

#include "foundation/ComponentCollection.h"

// A toolbar or menu bar of a manager.
class TdxBar : public TcxComponentCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxComponentCollectionItem::TcxComponentCollectionItem;
  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& value) { FCaption = value; }
  // A bar belongs to its manager's collection.
  TcxComponentCollection* CollectionOfParent(TComponent* parent) override;

private:
  AnsiString FCaption;
};

// A manager's bars, with the four docks of its edges.
class TdxBars : public TcxComponentCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxComponentCollection::TcxComponentCollection;
};
