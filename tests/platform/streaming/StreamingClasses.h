// Small components for the streaming tests: a form with published handlers
// and fields, controls that sit in one another, and a non-visual component
// with custom data of every shape the filer supports.
#pragma once

#include "platform/Collection.h"
#include "platform/Component.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"
#include "platform/Properties.h"

#include <string>
#include <vector>

// Every Loaded call, in order ("Button1", ...).
std::vector<std::string>& LoadedLog();

enum class TTestAlign { taNone, taTop, taBottom, taLeft, taRight, taClient };
enum class TTestOption { toBold, toWide, toHidden };
using TTestOptions = TSet<TTestOption, 8>;
using TValueEvent = TEvent<void(TObject* Sender, int Value)>;

class TTestControl : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTestControl(TComponent* AOwner);
  ~TTestControl() override;

  TTestControl* Parent() const { return FParent; }
  void SetParent(TTestControl* value);
  const std::vector<TTestControl*>& Controls() const { return FControls; }
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* parent) override { SetParent(ObjectAs<TTestControl>(parent)); }
  void Loaded() override;

  int Left() const { return FLeft; }
  void SetLeft(int v) { FLeft = v; }
  int Width() const { return FWidth; }
  void SetWidth(int v) { FWidth = v; }
  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& v) { FCaption = v; }
  TColor Color() const { return FColor; }
  void SetColor(TColor v) { FColor = v; }
  TTestAlign Align() const { return FAlign; }
  void SetAlign(TTestAlign v) { FAlign = v; }
  TTestOptions Options() const { return FOptions; }
  void SetOptions(TTestOptions v) { FOptions = v; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool v) { FVisible = v; }
  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& v) { FHint = v; }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  int Cursor() const { return FCursor; }
  void SetCursor(int v) { FCursor = v; }
  int64_t Big() const { return FBig; }
  void SetBig(int64_t v) { FBig = v; }
  TFont* Font() const { return FFont; }
  // Colour is stored only while the control does not take its parent's.
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool v) { FParentColor = v; }
  bool IsColorStored() const { return !FParentColor; }

  TNotifyEvent OnClick;
  TValueEvent OnValue;
  void Click() { FireEvent(OnClick, this); }

private:
  TTestControl* FParent = nullptr;
  std::vector<TTestControl*> FControls;
  int FLeft = 0;
  int FWidth = 0;
  AnsiString FCaption;
  TColor FColor = clBtnFace;
  TTestAlign FAlign = TTestAlign::taNone;
  TTestOptions FOptions{TTestOption::toBold};
  bool FVisible = true;
  std::wstring FHint;
  double FRatio = 0;
  int FCursor = 0;
  int64_t FBig = 0;
  bool FParentColor = false;
  TFont* FFont;
};

class TTestPanel : public TTestControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TTestControl::TTestControl;
};

class TTestEdit : public TTestControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TTestControl::TTestControl;
  AnsiString Text;
  int MaxLength = 0;
};

class TTestButton : public TTestControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TTestControl::TTestControl;
  TTestEdit* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TTestEdit* value) { FFocusControl = value; }
  // A value of any kind, as an editor's value is stored.
  Variant Data;

private:
  TTestEdit* FFocusControl = nullptr;
};

class TTestImage : public TTestControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTestImage(TComponent* AOwner);
  ~TTestImage() override;
  TPicture* Picture() const { return FPicture; }
  class TBitmap* Glyph() const { return FGlyph; }

private:
  TPicture* FPicture;
  class TBitmap* FGlyph;
};

class TTestItem : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCollectionItem::TCollectionItem;
  AnsiString Caption;
  int Value = 0;
};

// A non-visual component with custom data: a binary payload, a list of
// component names resolved in Loaded, a list of four integers, an obsolete
// integer read and dropped, and a collection.
class TTestBlob : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTestBlob(TComponent* AOwner);
  ~TTestBlob() override;

  void DefineProperties(TFiler* filer) override;
  void Loaded() override;

  std::string Payload;
  std::vector<AnsiString> Names;            // as read
  std::vector<TComponent*> Linked;          // resolved in Loaded
  std::vector<AnsiString> LinkedNames() const;
  int Box[4] = {0, 0, 0, 0};
  bool HasBox = false;
  int PayloadReadCount = 0;
  TOwnedCollection* Items() const { return FItems; }

private:
  TOwnedCollection* FItems;
};

class TTestForm : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTestForm(TComponent* AOwner);
  void Loaded() override;

  void Button1Click(TObject* Sender);
  void Panel1Click(TObject* Sender);
  void ValueChanged(TObject* Sender, int Value);

  TTestPanel* Panel1 = nullptr;
  TTestEdit* Edit1 = nullptr;
  TTestButton* Button1 = nullptr;
  TTestImage* Image1 = nullptr;
  TTestBlob* Blob1 = nullptr;
  std::vector<std::string> Clicks;
};
