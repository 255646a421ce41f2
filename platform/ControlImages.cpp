#include "platform/ControlImages.h"

TControlImages::~TControlImages() {
  if (FImages) {
    FImages->UnRegisterChanges(&FLink);
    FImages->RemoveFreeNotification(FControl);
  }
}

void TControlImages::SetImages(TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) {
    FImages->UnRegisterChanges(&FLink);
    FImages->RemoveFreeNotification(FControl);
  }
  FImages = value;
  if (FImages) {
    FLink.OnChange = TNotifyEvent::Bind<&TControlImages::ListChanged>(this);
    FImages->RegisterChanges(&FLink);
    FImages->FreeNotification(FControl);
  }
  FireEvent(OnChange, FControl);
}

void TControlImages::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == FImages) SetImages(nullptr);
}

void TControlImages::ListChanged(TObject*) { FireEvent(OnChange, FControl); }
