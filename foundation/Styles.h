// Named, shareable appearance records. A style holds a background bitmap, a
// colour, a font and a text colour, each optional; a style repository on a
// form owns styles and style sheets. A control keeps a styles object that
// maps its own style indexes to styles and listens to them; a style sheet
// bundles such a styles object under a caption so that several controls can
// share one set, and a styles object takes its unset entries from its sheet.
#pragma once

#include "foundation/Classes.h"
#include "platform/Bitmap.h"
#include "platform/Graphics.h"

#include <vector>

class TcxCustomStyle;
class TcxCustomStyles;
class TcxCustomStyleSheet;
class TcxStyleRepository;
class TReader;

enum class TcxStyleValue { svBitmap, svColor, svFont, svTextColor };
using enum TcxStyleValue;
using TcxStyleValues = TSet<TcxStyleValue, 4>;

// What a style tells the objects that use it. A plain abstract class:
// nothing asks for it through COM, and the style does not own its listeners.
class IcxStyleChangeListener {
public:
  virtual void StyleChanged(TcxCustomStyle* style) = 0;
  virtual void StyleRemoved(TcxCustomStyle* style) = 0;

protected:
  ~IcxStyleChangeListener() = default;
};

// A style: its listeners and the repository it belongs to (its parent
// component in a form).
class TcxCustomStyle : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxCustomStyle(TComponent* AOwner) : TComponent(AOwner) {}
  // Tells every listener StyleRemoved, the last first, then leaves the
  // repository.
  ~TcxCustomStyle() override;

  // Tells every listener, the last first, that the style changed.
  virtual void NotifyListeners();
  // Adds a listener not yet listed.
  virtual void AddListener(IcxStyleChangeListener* listener);
  virtual void RemoveListener(IcxStyleChangeListener* listener);
  virtual void RestoreDefaults() {}
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }

  TcxStyleRepository* StyleRepository() const { return FStyleRepository; }
  // Moves the style to `value`'s list (out of the old one's).
  void SetStyleRepository(TcxStyleRepository* value);

  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  // Outside loading, moves the style to that repository.
  void SetParentComponent(TComponent* parent) override;
  // A style read from a form joins the repository it is read into.
  void ReadState(TReader* Reader) override;

private:
  std::vector<IcxStyleChangeListener*> FListeners;  // not owned
  TcxStyleRepository* FStyleRepository = nullptr;
};

class TcxStyle : public TcxCustomStyle {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxStyle(TComponent* AOwner);
  ~TcxStyle() override;

  void Assign(TPersistent* source) override;
  void RestoreDefaults() override;
  // Scales the stored font to the screen through the repository.
  void ReadState(TReader* Reader) override;

  TcxStyleValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxStyleValues value);
  TBitmap* Bitmap() const { return FBitmap; }
  // Copies `value` (null: empties the bitmap).
  void SetBitmap(TBitmap* value);
  TColor Color() const { return FColor; }
  // clDefault clears svColor, any other colour sets it.
  void SetColor(TColor value);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* value);
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor value);

  bool IsBitmapStored() const { return FAssignedValues.Contains(svBitmap); }
  bool IsColorStored() const { return FAssignedValues.Contains(svColor); }
  bool IsFontStored() const { return FAssignedValues.Contains(svFont); }
  bool IsTextColorStored() const { return FAssignedValues.Contains(svTextColor); }

private:
  void BitmapChanged(TObject* sender);
  void FontChanged(TObject* sender);
  void SetAssignedValue(TcxStyleValue value, bool on);

  TcxStyleValues FAssignedValues;
  TBitmap* FBitmap;  // owned
  TColor FColor = clDefault;
  TFont* FFont;      // owned
  TColor FTextColor = clDefault;
};

// The styles of a control: items pairing a style index (its meaning is the
// control's) with a style, and the sheet unset entries come from.
class TcxCustomStyles : public TcxInterfacedPersistent, public IcxStyleChangeListener {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // A sheet given as owner is the styles' owner sheet.
  explicit TcxCustomStyles(TPersistent* AOwner);
  ~TcxCustomStyles() override;

  void Assign(TPersistent* source) override;

  // The style of an index: the own item's, else the sheet chain's; null.
  TcxCustomStyle* GetStyle(int index) const;
  // The own item's style only.
  TcxCustomStyle* GetOwnStyle(int index) const;
  // Sets (null: deletes) the own item of `index` and reports it changed.
  void SetStyle(int index, TcxCustomStyle* style);
  int ItemCount() const { return static_cast<int>(FItems.size()); }
  int ItemIndex(int item) const { return FItems[static_cast<size_t>(item)].Index; }
  // Deletes every item, the last first.
  void Clear();

  TcxCustomStyleSheet* OwnerSheet() const { return FOwnerSheet; }
  TcxCustomStyleSheet* StyleSheet() const { return FStyleSheet; }
  // Refused (nothing happens) unless `value` is null, or not the owner
  // sheet, of exactly this class, and its chain never reaches the owner
  // sheet. A change reports every index either chain defines, once each.
  void SetStyleSheet(TcxCustomStyleSheet* value);
  bool IsDestroying() const { return FDestroying; }

  void StyleChanged(TcxCustomStyle* style) override;
  void StyleRemoved(TcxCustomStyle* style) override;

  virtual void ChangedHook(int index) { (void)index; }
  virtual void DoChanged(int index);

private:
  struct TItem {
    int Index;
    TcxCustomStyle* Style;  // not owned
  };
  void DeleteItem(int item);
  // Adds the indexes the chain from `sheet` defines, each once.
  static void CollectSheetIndexes(TcxCustomStyleSheet* sheet, std::vector<int>& indexes);

  TcxCustomStyleSheet* FOwnerSheet = nullptr;
  TcxCustomStyleSheet* FStyleSheet = nullptr;
  bool FDestroying = false;
  std::vector<TItem> FItems;
};

// A shared set of styles under a caption; the styles object is of the class
// StylesClass answers.
class TcxCustomStyleSheet : public TcxComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxCustomStyleSheet(TComponent* AOwner) : TcxComponent(AOwner) {}
  void AfterConstruction() override;
  // Every styles object using the sheet lets it go (the last first); the
  // sheet leaves its repository.
  ~TcxCustomStyleSheet() override;

  virtual TClass StylesClass() const { return &TcxCustomStyles::ClassInfo; }
  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;

  bool BuiltIn() const { return FBuiltIn; }
  // The stored caption, or the Name when none is stored.
  AnsiString Caption() const { return FCaption.empty() ? Name() : FCaption; }
  // A text equal to the Name (any case) clears the stored caption.
  void SetCaption(const AnsiString& value);
  bool IsCaptionStored() const { return !FCaption.empty(); }
  TcxCustomStyles* Styles() const { return FStyles; }
  void SetStyles(TcxCustomStyles* value) { FStyles->Assign(value); }
  int UserCount() const { return static_cast<int>(FUsers.size()); }

  // Reports `index` changed to every styles object using the sheet.
  void DoStyleChanged(int index);

  TcxStyleRepository* StyleRepository() const { return FStyleRepository; }
  void SetStyleRepository(TcxStyleRepository* value);
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* parent) override;
  void ReadState(TReader* Reader) override;

protected:
  void CollectLinkedComponents(TList* list) override;

private:
  friend class TcxCustomStyles;
  bool FBuiltIn = false;
  AnsiString FCaption;
  TcxCustomStyles* FStyles = nullptr;          // owned
  std::vector<TcxCustomStyles*> FUsers;        // not owned
  TcxStyleRepository* FStyleRepository = nullptr;
};

// The styles and sheets of a form.
class TcxStyleRepository : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxStyleRepository(TComponent* AOwner) : TComponent(AOwner) {}
  // Frees every style (the last first), then every sheet.
  ~TcxStyleRepository() override;

  // A style of that class owned by the repository's owner.
  virtual TcxCustomStyle* CreateItem(TClass styleClass);
  virtual TcxCustomStyle* CreateItemEx(TClass styleClass, TComponent* owner);
  virtual TcxCustomStyleSheet* CreateStyleSheet(TClass sheetClass);
  virtual TcxCustomStyleSheet* CreateStyleSheetEx(TClass sheetClass, TComponent* owner);

  int Count() const { return static_cast<int>(FItems.size()); }
  TcxCustomStyle* Items(int index) const { return FItems[static_cast<size_t>(index)]; }
  int StyleSheetCount() const { return static_cast<int>(FStyleSheets.size()); }
  TcxCustomStyleSheet* StyleSheets(int index) const { return FStyleSheets[static_cast<size_t>(index)]; }

  bool Scalable() const { return FScalable; }
  void SetScalable(bool value) { FScalable = value; }
  // The pixels per inch the form was stored at (0: unknown).
  int StoredPixelsPerInch() const { return FPixelsPerInch; }
  // `value` unchanged unless Scalable is on and the stored pixels per inch
  // is known and differs from the screen's; then scaled to the screen.
  int ScaleValue(int value) const;

  void DefineProperties(TFiler* filer) override;
  // Its styles, then its sheets, each when the root owns it.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

private:
  friend class TcxCustomStyle;
  friend class TcxCustomStyleSheet;
  std::vector<TcxCustomStyle*> FItems;              // owned through their owners
  std::vector<TcxCustomStyleSheet*> FStyleSheets;   // owned through their owners
  bool FScalable = false;
  int FPixelsPerInch = 0;
};

// The screen's pixels per inch as the repositories see it; replaceable
// (tests give their own).
extern int (*cxStylesScreenPixelsPerInch)();

// Start-up and shut-down of the styles unit (see foundation/FoundationUnits.h).
void cxStylesInit();
void cxStylesDone();
