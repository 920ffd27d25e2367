#pragma once
#include "host/settings_file.h"

class InstrumentWindow;

// What the configuration dialogs work on: the status dialog in the
// program, a stand-in with the same parts in tests.
class ConfigurationHost {
 public:
  virtual InstrumentWindow* instrumentWindow() const = 0;
  // Auto-show flag and receiver settings live here.
  virtual SettingsState& settings() = 0;
  // Shows the reason itself when it fails.
  virtual bool writeSettings() = 0;
  // Joins the Receive thread before the socket closes.
  virtual void closeReceiver() = 0;
  virtual bool openReceiver() = 0;

 protected:
  ~ConfigurationHost() = default;
};
