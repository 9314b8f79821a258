#include "base/Settings.h"

namespace proctorium {

namespace {

class TDefaultSettings : public TSettingsView {
 public:
  bool ShowHints() const override { return Defaults.ShowHints; }
  int FontSize() const override { return Defaults.FontSize; }
  TTimeMode TimeMode() const override { return Defaults.TimeMode; }
  bool EnableAnswers() const override { return Defaults.EnableAnswers; }
  bool EnableClearResults() const override { return Defaults.EnableClearResults; }
  bool EnableRunningScore() const override { return Defaults.EnableRunningScore; }
  bool AllowEdits() const override { return Defaults.AllowEdits; }
  bool DeletePermitted() const override { return Defaults.DeletePermitted; }
  std::uint32_t ScreenColour() const override { return Defaults.ScreenColour; }
  int CountdownMinutes() const override { return Defaults.CountdownMinutes; }
  std::string SelectedSetFile() const override { return {}; }
  QImage SelectedSetPicture() const override { return {}; }
  QPoint StartButtonAt() const override { return {}; }

 private:
  const TOptionsRecord Defaults;
};

TSettingsHolder* Holder = nullptr;

}  // namespace

const TSettingsView& Settings() {
  static const TDefaultSettings defaults;
  if (Holder) return *Holder;
  return defaults;
}

void SetSettingsHolder(TSettingsHolder* holder) { Holder = holder; }

void SaveSettings() {
  if (Holder) Holder->SaveOptions();
}

}  // namespace proctorium
