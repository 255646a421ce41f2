// One component that dictates the frame and colour look of many controls:
// controls register through their FrameController property, and each change
// of one of the sixteen settings is pushed to every registered control,
// through IFrameSettingsReceiver or by setting the control's published
// property of the same name. Each control can leave settings out with its
// FrameControllerNotifications. Also the settings-store component the
// toolbar and the controller may name, and the readers that let forms of
// older versions load.
#pragma once

#include "panels/DrawingHelpers.h"
#include "panels/FrameSettings.h"
#include "platform/Component.h"
#include "platform/Filer.h"

#include <vector>

class TControl;
class TRzRegIniFile;

enum class TFramingPreference { fpCustomFraming, fpXPThemes };
using enum TFramingPreference;

class TRzFrameController : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // The index that means every setting.
  static constexpr int AllSettings = 16;

  explicit TRzFrameController(TComponent* AOwner);
  ~TRzFrameController() override;

  void Assign(TPersistent* source) override;
  void Loaded() override;

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  // A listed control gets the settings at once; one freed while listed
  // leaves the list by itself.
  void AddControl(TControl* control);
  void RemoveControl(TControl* control);
  int ControlCount() const { return static_cast<int>(FControls.size()); }

  virtual void UpdateControlFrame(TControl* control, int index);
  virtual void UpdateFrames(int index);

  TColor Color() const { return FColor; }
  virtual void SetColor(TColor value);
  bool ParentColor() const { return FParentColor; }
  virtual void SetParentColor(bool value);
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  virtual void SetFlatButtonColor(TColor value);
  bool FlatButtons() const { return FFlatButtons; }
  virtual void SetFlatButtons(bool value);
  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor value);
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  virtual void SetReadOnlyColor(TColor value);
  bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
  virtual void SetReadOnlyColorOnFocus(bool value);
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor value);
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor value);
  TColor FrameHotColor() const { return FFrameHotColor; }
  virtual void SetFrameHotColor(TColor value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  virtual void SetFrameHotTrack(bool value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  virtual void SetFrameHotStyle(TFrameStyle value);
  TSides FrameSides() const { return FFrameSides; }
  virtual void SetFrameSides(TSides value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle value);
  bool FrameVisible() const { return FFrameVisible; }
  virtual void SetFrameVisible(bool value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  virtual void SetFramingPreference(TFramingPreference value);
  TRzRegIniFile* RegIniFile() const { return FRegIniFile; }
  virtual void SetRegIniFile(TRzRegIniFile* value);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  int FUpdateCount = 0;
  std::vector<TControl*> FControls;
  TColor FColor = clWindow;
  TColor FFocusColor = clWindow;
  TColor FDisabledColor = clBtnFace;
  TColor FReadOnlyColor = clInfoBk;
  bool FReadOnlyColorOnFocus = false;
  bool FParentColor = false;
  TColor FFlatButtonColor = clBtnFace;
  bool FFlatButtons = true;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = sdAllSides;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TFramingPreference FFramingPreference = fpXPThemes;
  TRzRegIniFile* FRegIniFile = nullptr;
};

// Moves a control from the controller in `field` to `value`: it leaves the
// old one's list and free notifications and joins the new one's, which
// applies its settings at once.
void LinkFrameController(TControl* control, TRzFrameController*& field, TRzFrameController* value);

enum class TRzPathType { ptIniFile, ptRegistry };
using enum TRzPathType;
enum class TRzRegKey {
  hkeyClassesRoot, hkeyCurrentUser, hkeyLocalMachine, hkeyUsers, hkeyPerformanceData, hkeyCurrentConfig, hkeyDynData
};
using enum TRzRegKey;
enum class TRzRegAccessItem {
  keyQueryValue, keySetValue, keyCreateSubKey, keyEnumerateSubKeys, keyNotify, keyCreateLink, keyRead, keyWrite,
  keyExecute, keyAllAccess
};
using enum TRzRegAccessItem;
using TRzRegAccess = TSet<TRzRegAccessItem, 10>;
enum class TRzSpecialFolder { sfNone, sfUserAppDataRoaming, sfUserAppDataLocal, sfUserDocuments, sfProgramData };
using enum TRzSpecialFolder;
enum class TRzIniFileEncoding { feDefault, feUTF8, feUnicode };
using enum TRzIniFileEncoding;

// Names where settings would be kept (an INI file or a registry key). No
// operation reads or writes through it: it is a reference target.
class TRzRegIniFile : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzRegIniFile(TComponent* AOwner) : TComponent(AOwner) {}

  const AnsiString& Path() const { return FPath; }
  virtual void SetPath(const AnsiString& value);
  TRzPathType PathType() const { return FPathType; }
  virtual void SetPathType(TRzPathType value);
  TRzRegKey RegKey() const { return FRegKey; }
  virtual void SetRegKey(TRzRegKey value);
  TRzRegAccess RegAccess() const { return FRegAccess; }
  virtual void SetRegAccess(TRzRegAccess value);
  TRzSpecialFolder SpecialFolder() const { return FSpecialFolder; }
  virtual void SetSpecialFolder(TRzSpecialFolder value);
  TRzIniFileEncoding FileEncoding() const { return FFileEncoding; }
  virtual void SetFileEncoding(TRzIniFileEncoding value);
  // A property changed since the storage was last opened.
  bool RefreshStorage() const { return FRefreshStorage; }

private:
  AnsiString FPath;
  TRzPathType FPathType = ptIniFile;
  TRzRegKey FRegKey = hkeyCurrentUser;
  TRzRegAccess FRegAccess{keyAllAccess};
  TRzSpecialFolder FSpecialFolder = sfNone;
  TRzIniFileEncoding FFileEncoding = feDefault;
  bool FRefreshStorage = true;
};

// Reads and drops properties that older versions of the controls wrote.
class TRzOldPropReader : public TObject {
public:
  static void ReadOldBooleanProp(TReader* reader) { (void)reader->ReadBoolean(); }
  static void ReadOldEnumProp(TReader* reader) { (void)reader->ReadIdent(); }
  static void ReadOldIntegerProp(TReader* reader) { (void)reader->ReadInteger(); }
  static void ReadOldSetProp(TReader* reader) { (void)reader->ReadSet(); }
};

extern const TEnumInfo FrameStyleNames;
extern const TEnumInfo SideNames;
extern const TEnumInfo FrameControllerNotificationNames;
extern const TEnumInfo FramingPreferenceNames;
