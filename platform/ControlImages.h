// The image list a control shows (tree, list, header and tab controls): the
// list is followed through its change link and forgotten when it is freed.
// The control calls Notification from its own and hears every change through
// OnChange (also when the list is replaced or goes).
#pragma once

#include "platform/ImageList.h"

class TControlImages {
public:
  explicit TControlImages(TComponent* control) : FControl(control) {}
  ~TControlImages();
  TControlImages(const TControlImages&) = delete;
  TControlImages& operator=(const TControlImages&) = delete;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  // The list's system handle, null without a list.
  HIMAGELIST Handle() const { return FImages ? FImages->Handle() : nullptr; }
  // Forward of the control's Notification.
  void Notification(TComponent* component, TOperation operation);

  TNotifyEvent OnChange;

private:
  void ListChanged(TObject*);
  TComponent* FControl;
  TCustomImageList* FImages = nullptr;
  TChangeLink FLink;
};
