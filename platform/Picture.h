// The picture layer: TGraphic, the base of every picture format (bitmap,
// icon, metafile, JPEG, and the formats other libraries add), the registry
// of picture formats, and TPicture, which holds one graphic of any
// registered class and stores it in form data as the class name followed by
// the graphic's own data.
#pragma once

#include "platform/Canvas.h"
#include "platform/Stream.h"

#include <vector>

enum class TProgressStage { psStarting, psRunning, psEnding };
using enum TProgressStage;
// Sender, stage, percent done, redraw now, the rectangle to redraw, message.
using TProgressEvent =
    TEvent<void(TObject* Sender, TProgressStage Stage, uint8_t PercentDone, bool RedrawNow, const RECT& R,
                const AnsiString& Msg)>;

class TGraphic : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // A graphic of the same class is copied through its form-data form;
  // classes with a cheaper copy override this.
  void Assign(TPersistent* source) override;

  // Draws the whole picture into `r` of the canvas (stretched to it).
  virtual void Draw(TCanvas* canvas, const RECT& r) = 0;

  bool Empty() { return GetEmpty(); }
  int Width() { return GetWidth(); }
  int Height() { return GetHeight(); }
  bool Transparent() { return GetTransparent(); }
  HPALETTE Palette() { return GetPalette(); }

  virtual bool GetEmpty() = 0;
  virtual int GetWidth() = 0;
  virtual int GetHeight() = 0;
  virtual void SetWidth(int value) = 0;
  virtual void SetHeight(int value) = 0;
  virtual bool GetTransparent() { return FTransparent; }
  virtual void SetTransparent(bool value);
  virtual HPALETTE GetPalette() { return nullptr; }
  virtual void SetPalette(HPALETTE) {}
  // The same picture: same class and the same stored data.
  virtual bool Equals(TGraphic* other);

  bool Modified() const { return FModified; }
  void SetModified(bool value);
  bool PaletteModified() const { return FPaletteModified; }
  void SetPaletteModified(bool value) { FPaletteModified = value; }

  // The file form of the picture.
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);
  // Clipboard forms; the base class supports none and raises EInvalidGraphic.
  virtual void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
  // Whether LoadFromClipboardFormat reads `format`: by default the formats
  // the picture registry gives this class.
  virtual bool ReadsClipboardFormat(UINT format);
  virtual void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);

  // The form-data form (what follows the class name in a picture's data);
  // the file form unless a class says otherwise.
  virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
  virtual void WriteData(TStream& stream) { SaveToStream(stream); }

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;
  virtual void Changed(TObject* sender);
  virtual void Progress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow, const RECT& r,
                        const AnsiString& message);

protected:
  // A graphic that does not know the target asks this: into a TBitmap the
  // picture is drawn at its own size over white.
  void AssignTo(TPersistent* dest) override;

  bool FTransparent = false;
  bool FModified = false;
  bool FPaletteModified = false;
};

// One registered picture format.
struct TFileFormat {
  AnsiString Extension;  // without the dot, lower case ("bmp")
  AnsiString Description;
  TClass GraphicClass;
};

class TPicture : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TPicture() = default;
  ~TPicture() override;

  // The held graphic (null when the picture is empty); owned by the picture.
  TGraphic* Graphic() const { return FGraphic; }
  // Holds a copy of `graphic` (of the same class); null empties the picture.
  void SetGraphic(TGraphic* graphic);
  // The graphic as a bitmap, icon or metafile: an empty one of that class
  // replaces a graphic of another class.
  class TBitmap* Bitmap();
  class TIcon* Icon();
  class TMetafile* Metafile();

  int Width() const;
  int Height() const;

  // Loads a file through the class registered for its extension; raises
  // EInvalidGraphic "Unknown picture file extension (.xyz)" for others.
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);

  void Assign(TPersistent* source) override;

  // Form data: a length byte and the graphic's class name (empty for an
  // empty picture), then the graphic's data. A class name that no picture
  // format registered raises EUnknownGraphicClass, and the picture is left
  // as it was.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  bool HasData() const { return FGraphic != nullptr; }

  TNotifyEvent OnChange;
  TProgressEvent OnProgress;
  virtual void Changed(TObject* sender);

  // The registry of picture formats. Formats register at start and
  // unregister at shut-down; the built-in ones (bitmap, icon, metafile,
  // JPEG) are always registered.
  static void RegisterFileFormat(const AnsiString& extension, const AnsiString& description, TClass graphicClass);
  static void RegisterClipboardFormat(UINT format, TClass graphicClass);
  // Removes every file and clipboard format of the class.
  static void UnregisterGraphicClass(TClass graphicClass);
  static bool SupportsClipboardFormat(UINT format);
  static TClass FindGraphicClassByExtension(const AnsiString& extension);
  static TClass FindGraphicClassByName(const AnsiString& className);
  static std::vector<TFileFormat> FileFormats();
  // "All (*.bmp;*.jpg)|*.bmp;*.jpg|Bitmaps (*.bmp)|*.bmp|..." for the given
  // class and its descendants (every format for null).
  static AnsiString GraphicFilter(TClass graphicClass);
  // The first extension registered for the class ("bmp"), empty for none.
  static AnsiString GraphicExtension(TClass graphicClass);

private:
  template <class T>
  T* ForceType();
  void GraphicChanged(TObject* sender);
  void GraphicProgress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow, const RECT& r,
                       const AnsiString& message);
  void TakeGraphic(TGraphic* graphic);
  TGraphic* FGraphic = nullptr;
};

// A picture's form data names a class that no picture format registered
// (for example a format whose library could not start).
class EUnknownGraphicClass : public EInvalidGraphic { public: using EInvalidGraphic::EInvalidGraphic; };

// Creates a new graphic of a class reference; raises EInvalidGraphic when the
// class is not a graphic class or cannot be created.
TGraphic* CreateGraphic(TClass graphicClass);
