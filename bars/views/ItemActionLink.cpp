#include "bars/views/ItemActionLink.h"

#include "bars/model/BarItem.h"
#include "bars/model/BarStrings.h"
#include "foundation/Classes.h"
#include "bars/model/ItemKinds.h"
#include "platform/Exceptions.h"

namespace {
TObject* MakeItemActionLink(TObject* client) { return new TdxBarItemActionLink(client); }
}  // namespace

const TClassInfo TdxBarItemActionLink::ClassInfo{"TdxBarItemActionLink", &TActionLink::ClassInfo,
                                                 &MakeItemActionLink};

void TdxBarItemActionLink::AssignClient(TObject* AClient) {
  FClient = dynamic_cast<TdxBarItem*>(AClient);
  if (!FClient) throw EInvalidOperation(LoadOverridableResString(dxSBAR_INVALIDCAST));
}

bool TdxBarItemActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient->GetCaption() == CustomAction()->Caption();
}

bool TdxBarItemActionLink::IsCheckedLinked() {
  auto* button = dynamic_cast<TdxBarButton*>(FClient);
  return TActionLink::IsCheckedLinked() && button && button->Down() == CustomAction()->Checked();
}

bool TdxBarItemActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}

bool TdxBarItemActionLink::IsHelpContextLinked() {
  return TActionLink::IsHelpContextLinked() && FClient->HelpContext() == CustomAction()->HelpContext();
}

bool TdxBarItemActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && (FClient->Hint() == CustomAction()->Hint() || FClient->HintEqualsCaption());
}

bool TdxBarItemActionLink::IsImageIndexLinked() {
  return TActionLink::IsImageIndexLinked() && FClient->CurrentImageIndex() == CustomAction()->ImageIndex();
}

bool TdxBarItemActionLink::IsShortCutLinked() {
  return TActionLink::IsShortCutLinked() && FClient->ShortCut() == CustomAction()->ShortCut();
}

bool TdxBarItemActionLink::IsVisibleLinked() {
  if (!TActionLink::IsVisibleLinked()) return false;
  const TdxBarItemVisible visible = FClient->IsLoading() ? FClient->LoadedVisible() : FClient->Visible();
  return visible == (CustomAction()->Visible() ? ivAlways : ivNever);
}

bool TdxBarItemActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && FClient->OnClick.SameCode(FAction->OnExecute());
}

void TdxBarItemActionLink::SetCaption(const AnsiString& value) {
  if (IsCaptionLinked()) FClient->SetCaption(value);
}

void TdxBarItemActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) static_cast<TdxBarButton*>(FClient)->SetDown(value);
}

void TdxBarItemActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) FClient->SetEnabled(value);
}

void TdxBarItemActionLink::SetHelpContext(int value) {
  if (IsHelpContextLinked()) FClient->SetHelpContext(value);
}

void TdxBarItemActionLink::SetHint(const AnsiString& value) {
  if (IsHintLinked()) FClient->SetHint(value);
}

void TdxBarItemActionLink::SetImageIndex(int value) {
  if (IsImageIndexLinked()) FClient->ApplyImageIndex(value);
}

void TdxBarItemActionLink::SetShortCut(TShortCut value) {
  if (IsShortCutLinked()) FClient->SetShortCut(value);
}

void TdxBarItemActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) FClient->SetVisible(value ? ivAlways : ivNever);
}

void TdxBarItemActionLink::SetOnExecute(const TNotifyEvent& value) {
  if (IsOnExecuteLinked()) FClient->OnClick = value;
}
