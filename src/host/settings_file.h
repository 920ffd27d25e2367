#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "instruments/instrument.h"
#include "platform/profile_file.h"

class InstrumentWindow;

// The part of the status dialog's state that the settings file reads and
// writes. The dialog owns one and passes it in.
struct SettingsState {
  // Receiver settings.
  std::string address = "127.0.0.1";  // at most 19 characters
  std::uint16_t port = 4555;
  // MULTICAST-IF: the interface that joins a group address; empty for all.
  std::string multicastInterface;
  bool receiverExists = false;  // when true, the read leaves address and port alone

  // Monitors, from the screen size rules.
  int monitorCount = 1;
  int monitorWidth = 1280;
  int monitorHeight = 1024;
  int currentMonitor = 0;
  int windowX = 0;  // the instrument window's x; y is always 0

  bool manualMode = false;
  int xOffset = 0;
  int xRes = 1280;
  int yRes = 1024;
  bool placementsFromFile = false;
  int autoShow = 0;
  bool backupMade = false;
};

// What a settings read may ask of the status dialog besides its state.
class SettingsHost {
 public:
  virtual void moveInstrumentWindow(int x, int y, int width, int height) = 0;
  virtual void disableShiftButtons() = 0;

 protected:
  ~SettingsHost() = default;
};

// One read or one write of the settings file; resolves its path when made.
class SettingsFile {
 public:
  // fileName without folder, for example "a320-display.cfg".
  explicit SettingsFile(const std::string& fileName);
  const std::string& path() const { return path_; }

  // False when the key is missing or empty.
  bool readText(const char* section, const char* key, std::string& out) const;
  // False (record untouched) unless six valid fields are there.
  bool readRecord(const char* section, const char* key, Placement& out) const;
  // False, with the reason in error, when the file could not be written;
  // the file on disk is then the old one.
  bool writeText(const char* section, const char* key, const std::string& text, std::string* error = nullptr);
  bool writeRecord(const char* section, const char* key, const Placement& record, std::string* error = nullptr);
  // Copies the file as it is to path() + ".bak"; errors are ignored.
  void makeBackup();

  // Between these two, writes collect in memory, starting from an empty
  // file when fresh, else from the file on disk; commit replaces the file
  // once, so that a failing save leaves the old file whole.
  bool beginBatch(bool fresh, std::string* error = nullptr);
  bool commit(std::string* error = nullptr);

  // True when empty or an optional "-" followed only by digits.
  static bool integerCheck(const std::string& text);

 private:
  std::string path_;
  std::optional<platform::ProfileText> batch_;
};

// "a320-display" -> "a320-display.cfg"; "display.exe" -> "display.cfg".
std::string settingsFileName(const std::string& programFileName);

// Runs after the window is created and its default records are set.
void readSettings(const std::string& fileName, SettingsState& state, InstrumentWindow& window, SettingsHost& host);

// Writes every key in order (backup first, once per run). On failure shows
// one message box naming the path and the system's reason and returns false.
bool writeSettings(const std::string& fileName, SettingsState& state, const InstrumentWindow& window);

// AUTOSHOW as read at start-up: its integer value, 0 when missing.
int readAutoShow(const std::string& fileName);
