#pragma once
// The settings as the other windows read them. They live in the controls
// that show them (the start window's menu, the administrator dialog, the
// countdown dialog), and the start window offers those controls here, so no
// window has to reach into the windows that hold them.

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <string>

#include "base/core/OptionsFile.h"

namespace proctorium {

class TSettingsView {
 public:
  virtual ~TSettingsView() = default;

  virtual bool ShowHints() const = 0;
  virtual int FontSize() const = 0;
  virtual TTimeMode TimeMode() const = 0;
  bool ElapsedMode() const { return TimeMode() == TTimeMode::Elapsed; }
  virtual bool EnableAnswers() const = 0;
  virtual bool EnableClearResults() const = 0;
  virtual bool EnableRunningScore() const = 0;
  virtual bool AllowEdits() const = 0;
  virtual bool DeletePermitted() const = 0;
  virtual std::uint32_t ScreenColour() const = 0;  // Windows layout: red in the low byte
  virtual int CountdownMinutes() const = 0;

  // The question set highlighted in the start window; empty when none.
  virtual std::string SelectedSetFile() const = 0;
  // The picture the start window shows for it.
  virtual QImage SelectedSetPicture() const = 0;
  // Screen position of the start window's Start button, which the
  // countdown dialog opens over.
  virtual QPoint StartButtonAt() const = 0;
};

// The holder of the settings' controls: it can also store them.
class TSettingsHolder : public TSettingsView {
 public:
  // Writes the settings as the controls hold them now, then reads them back
  // into every control.
  virtual void SaveOptions() = 0;
};

// Without a holder (a window made on its own), the stored defaults.
const TSettingsView& Settings();
void SetSettingsHolder(TSettingsHolder* holder);
// Does nothing without a holder.
void SaveSettings();

}  // namespace proctorium
