#include "gif/GIFContainer.h"

#include "gif/GIFExtension.h"
#include "gif/GIFSubImage.h"

#include <algorithm>
#include <vector>

TGIFContainer::TGIFContainer() : FHeader(this), FImages(this) {}

TGIFContainer::~TGIFContainer() { FImages.Clear(); }

void TGIFContainer::ReportIssue(TObject* sender, int severity, const AnsiString& message) {
  FireEvent(OnIssue, sender, severity, message);
}

int TGIFContainer::BitsPerPixel() {
  int bits = FHeader.ColorMap().BitsNeeded();
  for (int i = 0; i < FImages.Count(); ++i) bits = std::max(bits, FImages.Frames(i)->BitsPerPixel());
  return bits;
}

int TGIFContainer::FileVersion() {
  int version = 0;
  for (int i = 0; i < FImages.Count() && version < 2; ++i) version = std::max(version, FImages.Frames(i)->FormatVersion());
  return version;
}

void TGIFContainer::Clear() {
  FImages.Clear();
  FHeader.Clear();
  FHeader.PrepareScreenDescriptor();
}

void TGIFContainer::LoadFromStream(TStream& stream) {
  Clear();
  const int64_t start = stream.Position();
  try {
    FHeader.LoadFromStream(stream);
    FImages.ReadAll(stream, nullptr);
    TGIFTrailer trailer(this);
    trailer.LoadFromStream(stream);
  } catch (...) {
    stream.SetPosition(start);
    throw;
  }
}

void TGIFContainer::SaveToStream(TStream& stream) {
  FHeader.SaveToStream(stream);
  FImages.WriteAll(stream);
  TGIFTrailer trailer(this);
  trailer.SaveToStream(stream);
}

namespace {

int DisposalOf(TGIFSubImage* frame) { return frame->GraphicControl() ? frame->GraphicControl()->Disposal() : 0; }

bool Contains(TGIFSubImage* outer, TGIFSubImage* inner) {
  return inner->Left() >= outer->Left() && inner->Top() >= outer->Top() &&
         inner->Left() + inner->Width() <= outer->Left() + outer->Width() &&
         inner->Top() + inner->Height() <= outer->Top() + outer->Height();
}

}  // namespace

void TGIFContainer::OptimizeFrameList(int steps) {
  TGIFImageList& frames = FImages;
  if (frames.Count() == 0) return;
  // Progress counts frames visited per step out of six steps over the
  // frames the picture had at the start; a step that skips or deletes
  // frames is counted whole when it ends.
  const int total = frames.Count() * 6;
  int done = 0;
  auto visited = [&](bool changed) {
    ++done;
    if (changed) OptimizeProgress(std::min(100, done * 100 / total));
  };
  auto stepEnded = [&](int step) { done = step * total / 6; };

  if (steps & 8) {
    bool global = FHeader.ColorMap().Count() > 0 && FHeader.ColorMap().SortUsage();
    for (int i = 0; i < frames.Count(); ++i) {
      TGIFColorMap& local = frames.Frames(i)->ColorMap();
      const bool sorted = local.Count() > 0 && local.SortUsage();
      visited(sorted || global);
      global = false;
    }
  }
  stepEnded(1);
  if (steps & 4) {
    std::vector<bool> changed(static_cast<size_t>(frames.Count()), false);
    for (int i = 0; i < frames.Count(); ++i) {
      TGIFSubImage* f = frames.Frames(i);
      if (!f->IsTransparent() || !f->GraphicControl() || f->IsEmpty()) continue;
      const uint8_t t = f->GraphicControl()->TransparentColorIndex();
      if (std::find(f->Data(), f->Data() + f->DataSize(), t) == f->Data() + f->DataSize()) {
        f->GraphicControl()->SetTransparent(false);
        changed[static_cast<size_t>(i)] = true;
      }
    }
    // A frame wholly covered by an opaque successor needs no restoring. A
    // successor that covers only part of it does not make the restoring
    // moot: the rest of the frame would stay on show.
    for (int i = 0; i < frames.Count(); ++i) {
      TGIFSubImage* f = frames.Frames(i);
      if (i + 1 < frames.Count()) {
        TGIFSubImage* next = frames.Frames(i + 1);
        const int d = DisposalOf(f);
        if ((d == 2 || d == 3) && !next->IsTransparent() && Contains(next, f)) {
          f->GraphicControl()->SetDisposal(0);
          changed[static_cast<size_t>(i)] = true;
        }
      }
      visited(changed[static_cast<size_t>(i)]);
    }
  }
  stepEnded(2);
  if (steps & 2) {
    for (int b = frames.Count() - 1; b >= 1; --b) {
      int p = b - 1;
      while (p > 0 && frames.Frames(p)->GraphicControl() && DisposalOf(frames.Frames(p)) == 3) --p;
      visited(frames.Frames(b)->MergeWithPrevious(frames.Frames(p)));
    }
  }
  stepEnded(3);
  if (steps & 1) {
    for (int b = frames.Count() - 1; b >= 0; --b) {
      TGIFSubImage* f = frames.Frames(b);
      if (f->IsEmpty() || !f->IsTransparent()) {
        visited(false);
        continue;
      }
      const int delay = f->GraphicControl() ? f->GraphicControl()->Delay() : 0;
      const bool trimmed = f->TrimTransparentEdges();
      if (f->IsEmpty()) {
        if (b > 0) {
          TGIFSubImage* prev = frames.Frames(b - 1);
          if (prev->IsTransparent() && prev->GraphicControl())
            prev->GraphicControl()->SetDelay(
                static_cast<uint16_t>(std::min(0xFFFF, prev->GraphicControl()->Delay() + delay)));
        }
        frames.Delete(b);
      }
      visited(trimmed);
    }
  }
  stepEnded(4);
  if (steps & 4) {
    const bool single = frames.Count() == 1;
    for (int i = frames.Count() - 1; i >= 0; --i) {
      TGIFSubImage* f = frames.Frames(i);
      TGIFExtensionList& list = f->Extensions();
      bool changed = false;
      for (int e = list.Count() - 1; e >= 0; --e) {
        TGIFExtension* ext = list.Extensions(e);
        const bool drop = ObjectAs<TGIFCommentExtension>(ext) || ObjectAs<TGIFTextExtension>(ext) ||
                          ObjectAs<TGIFUnknownAppExtension>(ext) ||
                          (ObjectAs<TGIFAppExtNSLoop>(ext) && (i != 0 || single));
        if (drop) {
          list.Delete(e);
          changed = true;
        }
      }
      if (TGIFGraphicControlExtension* gce = f->GraphicControl()) {
        if ((gce->Delay() == 0 || single) && !gce->Transparent() && !gce->UserInput() &&
            (gce->Disposal() < 2 || single)) {
          list.Delete(list.IndexOf(gce));
          changed = true;
        }
      }
      if (f->IsEmpty() && list.Count() == 0) {
        frames.Delete(i);
        changed = true;
      }
      visited(changed);
    }
  }
  stepEnded(5);
}
