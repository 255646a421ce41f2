// The codec's side of a GIF picture: the header, the frames, the encoding and
// where warnings go. The picture class (TGIFImage) builds on it; the stream
// items only ever talk to this part.
// Portable: no Windows headers.
#pragma once

#include "gif/GIFItem.h"
#include "platform/Event.h"

// Handler of non-fatal problems: sender, severity (1 = warning), message.
using TGIFIssueEvent = TEvent<void(TObject* Sender, int Severity, const AnsiString& Message)>;

class TGIFContainer {
public:
  TGIFContainer();
  virtual ~TGIFContainer();
  TGIFContainer(const TGIFContainer&) = delete;
  TGIFContainer& operator=(const TGIFContainer&) = delete;

  TGIFHeader& Header() { return FHeader; }
  TGIFImageList& Images() { return FImages; }
  // The logical screen.
  int Width() const { return FHeader.Width(); }
  int Height() const { return FHeader.Height(); }

  // Compression used when frames are written.
  TGIFEncoding Encoding = TGIFEncoding::enLZW;
  // Non-fatal problems met while reading; silent when unassigned.
  TGIFIssueEvent OnIssue;

  virtual void ReportIssue(TObject* sender, int severity, const AnsiString& message);

  // The largest bits per pixel over the global table and every local table.
  int BitsPerPixel();
  // 0 without frames, else the highest format version of the frames.
  int FileVersion();
  // Pixel bytes held by the picture's frames (listed or being read): what
  // the size limit counts. Frames keep it up to date.
  uint64_t PixelsInUse() const { return FPixelsInUse; }
  // The pixel budget, in pixels: one frame, and all frames together. A
  // frame beyond it raises "Image exceeds maximum size". A program that
  // reads hostile data in bulk (the fuzz harness) sets a smaller one.
  uint64_t MaxFramePixels = GIFMaxFramePixels;
  uint64_t MaxPicturePixels = GIFMaxPicturePixels;
  void AddPixelsInUse(int64_t delta) { FPixelsInUse += static_cast<uint64_t>(delta); }

  // Deletes every frame and empties the header.
  virtual void Clear();
  // Reads header, frames and trailer. On an error the stream goes back to
  // where reading began and the error propagates; what was read stays.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);

  // The global table changed: whatever was built from it is stale.
  virtual void GlobalTableChanged() {}
  // A frame's local table changed.
  virtual void LocalTableChanged(TGIFSubImage* frame) { (void)frame; }
  // Called after each frame read, with the stream just past it.
  virtual void FrameRead(TStream& stream) { (void)stream; }
  // Fills `frame` from a source that is not a frame (bitmaps and other
  // pictures); answers false when the source is not supported.
  virtual bool AssignFrame(TGIFSubImage* frame, TPersistent* source) {
    (void)frame;
    (void)source;
    return false;
  }
  // Gives the frame's picture to `dest`; false when unsupported.
  virtual bool AssignFrameTo(TGIFSubImage* frame, TPersistent* dest) {
    (void)frame;
    (void)dest;
    return false;
  }

  // Reshapes the frames before writing: bits of `steps` are 1 crop
  // transparent edges, 2 merge pixels equal to the previous frame's, 4
  // simplify and remove what no picture needs, 8 sort colour tables by use.
  // The work counts as six steps over every frame (sorting, simplifying,
  // merging, cropping, cleaning up, and the picture class's colour
  // reduction); each frame a step changed is reported to OptimizeProgress
  // with the share of that work done so far.
  void OptimizeFrameList(int steps);
  virtual void OptimizeProgress(int percent) { (void)percent; }

private:
  uint64_t FPixelsInUse = 0;
  TGIFHeader FHeader;
  TGIFImageList FImages;
};
