#include "host/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/instrument_window.h"
#include "host/udp_receiver.h"
#include "platform/decimal_text.h"
#include "platform/message_box.h"
#include "platform/user_folder.h"

namespace {

constexpr std::size_t kValueLimit = 1023;  // what one read hands back at most
constexpr std::size_t kFieldLimit = 63;
constexpr float kDefaultFlaps[6] = {0.0f, 3.0f, 15.0f, 25.0f, 30.0f, 40.0f};
constexpr const char* kRecordKeys[kSlotCount] = {"INSTR_01", "INSTR_02", "INSTR 03", "INSTR 04",
                                                 "INSTR 05", "INSTR 06", "INSTR 07"};

bool openableFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode);
  ::close(fd);
  return regular;
}

// Leading blanks, a sign, digits up to the first other character; values
// out of range stop at the ends of the 32-bit range.
int toInt(const std::string& text) {
  const long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

bool recordField(const std::string& text, std::size_t begin, std::size_t end, std::int32_t& out) {
  const std::size_t length = end - begin;
  if (length == 0 || length > kFieldLimit) return false;
  std::size_t i = begin;
  if (text[i] == '-') ++i;
  if (i == end) return false;
  for (; i < end; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  out = toInt(text.substr(begin, length));
  return true;
}

std::string formatted(const char* format, auto value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string recordText(const Placement& r) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%d,%d,%d,%d,%d,%d", r.x, r.y, r.width, r.height, r.visible, r.type);
  return buffer;
}

}  // namespace

SettingsFile::SettingsFile(const std::string& fileName) : path_("./" + fileName) {
  if (openableFile(fileName)) return;
  const std::string base = platform::userConfigFolder();
  if (base.empty()) return;
  const std::string folder = base + "/VANT/ZOD-Orizidoz/";
  struct stat st {};
  if (::stat((folder + fileName).c_str(), &st) == 0 || platform::makeLastFolder(folder)) path_ = folder + fileName;
}

bool SettingsFile::readText(const char* section, const char* key, std::string& out) const {
  std::string value;
  if (!platform::readProfileString(path_, section, key, value) || value.empty()) return false;
  if (value.size() > kValueLimit) value.resize(kValueLimit);
  out = value;
  return true;
}

bool SettingsFile::readRecord(const char* section, const char* key, Placement& out) const {
  std::string text;
  if (!readText(section, key, text)) return false;
  std::int32_t* fields[6] = {&out.x, &out.y, &out.width, &out.height, &out.visible, &out.type};
  std::int32_t parsed[6];
  std::size_t begin = 0;
  for (int i = 0; i < 6; ++i) {
    std::size_t end = text.find(',', begin);
    if (end == std::string::npos) {
      if (i < 5) return false;
      end = text.size();
    }
    if (!recordField(text, begin, end, parsed[i])) return false;
    begin = end + 1;
  }
  for (int i = 0; i < 6; ++i) *fields[i] = parsed[i];
  return true;
}

bool SettingsFile::writeText(const char* section, const char* key, const std::string& text, std::string* error) {
  if (batch_) {
    if (batch_->set(section, key, text)) return true;
    if (error) *error = std::strerror(EINVAL);
    return false;
  }
  return platform::writeProfileString(path_, section, key, text, error);
}

bool SettingsFile::writeRecord(const char* section, const char* key, const Placement& record, std::string* error) {
  return writeText(section, key, recordText(record), error);
}

void SettingsFile::makeBackup() {
  std::string bytes;
  if (!platform::readWholeFile(path_, bytes)) return;
  const std::string backup = path_ + ".bak";
  ::unlink(backup.c_str());
  platform::replaceFile(backup, bytes);
}

bool SettingsFile::beginBatch(bool fresh, std::string* error) {
  batch_.emplace();
  if (fresh || batch_->load(path_, error)) return true;
  batch_.reset();
  return false;
}

bool SettingsFile::commit(std::string* error) {
  if (!batch_) return true;
  const bool ok = batch_->save(path_, error);
  batch_.reset();
  return ok;
}

bool SettingsFile::integerCheck(const std::string& text) {
  std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
  for (; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

std::string settingsFileName(const std::string& programFileName) {
  std::string name = programFileName.substr(programFileName.find_last_of('/') + 1);
  const std::size_t dot = name.find_last_of('.');
  // A leading dot marks a hidden file, not an extension.
  if (dot == std::string::npos || dot == 0) return name + ".cfg";
  return name.substr(0, dot + 1) + "cfg";
}

// An interface name (at most 15 characters on Linux) or an IPv4 address,
// which is no longer; nothing that could not be either.
static bool validInterfaceText(const std::string& text) {
  if (text.empty() || text.size() > 15) return false;
  for (const char c : text)
    if (c <= ' ' || c > '~' || c == '/') return false;
  return true;
}

void readSettings(const std::string& fileName, SettingsState& state, InstrumentWindow& window, SettingsHost& host) {
  const SettingsFile file(fileName);
  std::string text;
  if (!file.readText("SYSTEM", "VERSION", text)) {
    for (int i = 0; i < 6; ++i) window.setFlapsSetting(i, kDefaultFlaps[i]);
    window.setWeightUnitKg(1);
    window.setRotationAngle(0.0f);
    return;
  }

  if (!state.receiverExists) {
    if (file.readText("SYSTEM", "IP-ADDR", text) && text.size() <= 19 && UdpReceiver::validAddress(text.c_str()))
      state.address = text;
    // Port 0 (also as 65536 cut to 16 bits) would bind a random port.
    if (file.readText("SYSTEM", "PORT", text) && SettingsFile::integerCheck(text))
      if (const auto port = static_cast<std::uint16_t>(toInt(text)); port != 0) state.port = port;
    if (file.readText("SYSTEM", "MULTICAST-IF", text) && validInterfaceText(text)) state.multicastInterface = text;
  }

  if (file.readText("SYSTEM", "CURRENT_MONITOR", text)) {
    const int monitor = toInt(text);
    if (monitor >= 0 && monitor < state.monitorCount) {
      state.currentMonitor = monitor;
      if (file.readText("SYSTEM", "SETMONMANUAL", text)) state.manualMode = toInt(text) != 0;
      bool placeByMonitor = true;
      if (state.manualMode) {
        if (!file.readText("SYSTEM", "XOFFSET", text)) {
          // The mode stays on and the window where it is.
          placeByMonitor = false;
        } else if (const int offset = toInt(text); offset < 0 || offset > 5760) {
          state.manualMode = false;
        } else {
          placeByMonitor = false;
          host.disableShiftButtons();
          state.xOffset = offset;
          state.windowX = offset;
          int v = 0;
          state.xRes = file.readText("SYSTEM", "XRES", text) && (v = toInt(text)) >= 640 && v <= 1920 ? v : 1280;
          state.yRes = file.readText("SYSTEM", "YRES", text) && (v = toInt(text)) >= 480 && v <= 1200 ? v : 1024;
          window.scalePlacements(static_cast<float>(state.yRes) / 1024.0f);
          host.moveInstrumentWindow(offset, 0, state.xRes, state.yRes);
        }
      }
      if (placeByMonitor) {
        state.windowX = state.monitorWidth * monitor;
        host.moveInstrumentWindow(state.windowX, 0, state.monitorWidth, state.monitorHeight);
      }
    }
  }

  if (file.readText("SYSTEM", "AUTOSHOW", text)) state.autoShow = toInt(text) != 0 ? 1 : 0;
  if (file.readText("SYSTEM", "ROTATE", text)) {
    const int r = toInt(text);
    window.setRotationAngle(r == -1 ? -90.0f : r == 1 ? 90.0f : 0.0f);
  }

  for (int slot = 0; slot < kSlotCount; ++slot) {
    Placement record = window.getPlacement(1u << slot);
    if (!file.readRecord("GAUGE", kRecordKeys[slot], record)) continue;
    if (slot == kSlotCount - 1) state.placementsFromFile = true;
    if (record.width >= 50 && record.height >= 50) window.setPlacement(record, 1u << slot);
  }

  for (int i = 0; i < 6; ++i) {
    const std::string key = "FLAPS_" + std::to_string(i);
    window.setFlapsSetting(
        i, file.readText("PARAM", key.c_str(), text) ? static_cast<float>(platform::decimalFromText(text.c_str()))
                                                     : kDefaultFlaps[i]);
  }
  if (file.readText("PARAM", "WEIGHT", text)) window.setWeightUnitKg(text[0] == '0' ? 0 : 1);
}

bool writeSettings(const std::string& fileName, SettingsState& state, const InstrumentWindow& window) {
  SettingsFile file(fileName);
  // The first save of a run keeps the old file as the backup and starts a
  // new one; later saves edit that one.
  const bool fresh = !state.backupMade;
  if (fresh) {
    file.makeBackup();
    state.backupMade = true;
  }
  std::string error;
  bool ok = file.beginBatch(fresh, &error);
  const auto put = [&](const char* section, const char* key, const std::string& value) {
    if (ok) ok = file.writeText(section, key, value, &error);
  };
  put("SYSTEM", "VERSION", "v1.1");
  put("SYSTEM", "IP-ADDR", state.address);
  put("SYSTEM", "PORT", formatted("%d", int(state.port)));
  // Only set by hand; a save must not lose it.
  if (!state.multicastInterface.empty()) put("SYSTEM", "MULTICAST-IF", state.multicastInterface);
  put("SYSTEM", "CURRENT_MONITOR", std::string(1, static_cast<char>('0' + state.currentMonitor)));
  put("SYSTEM", "AUTOSHOW", state.autoShow ? "1" : "0");
  if (state.manualMode) {
    put("SYSTEM", "SETMONMANUAL", "1");
    put("SYSTEM", "XOFFSET", formatted("%d", state.xOffset));
    if (state.xRes != 1280) put("SYSTEM", "XRES", formatted("%d", state.xRes));
    if (state.yRes != 1024) put("SYSTEM", "YRES", formatted("%d", state.yRes));
  }
  const float angle = window.rotationAngle();
  if (angle == -90.0f) put("SYSTEM", "ROTATE", "-1");
  if (angle == 0.0f) put("SYSTEM", "ROTATE", "0");
  if (angle == 90.0f) put("SYSTEM", "ROTATE", "1");
  for (int slot = 0; slot < kSlotCount; ++slot)
    put("GAUGE", kRecordKeys[slot], recordText(window.getPlacement(1u << slot)));
  for (int i = 0; i < 6; ++i)
    put("PARAM", ("FLAPS_" + std::to_string(i)).c_str(), platform::decimalToText("%.1f", double(window.flapsSetting(i))));
  put("PARAM", "WEIGHT", window.weightUnitKg() ? "1" : "0");
  if (ok) ok = file.commit(&error);
  if (!ok) platform::showError("The settings could not be saved to " + file.path() + ": " + error);
  return ok;
}

int readAutoShow(const std::string& fileName) {
  std::string text;
  return SettingsFile(fileName).readText("SYSTEM", "AUTOSHOW", text) ? toInt(text) : 0;
}
