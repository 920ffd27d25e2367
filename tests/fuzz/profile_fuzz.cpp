// The settings file: a file's text, then edits. Input: the file's bytes up
// to the first NUL, then section, key and value triples separated by NULs.
// Every edit the writer accepts must read back, once; every edit it refuses
// must change nothing; the whole settings read must keep its ranges, and a
// save of what it read must read back the same.
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "host/settings_file.h"
#include "platform/message_box.h"
#include "platform/profile_file.h"

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

struct Edit {
  std::string section, key, value;
  bool accepted = false;
};

void write(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
}

struct NoHost : SettingsHost {
  void moveInstrumentWindow(int, int, int, int) override {}
  void disableShiftButtons() override {}
};

std::unique_ptr<InstrumentWindow> bareWindow() {
  // Never created: the settings only touch placements and display settings.
  auto w = std::make_unique<InstrumentWindow>(1.0f, [](int, int, int, int) { return nullptr; });
  for (int slot = 0; slot < kSlotCount; ++slot) w->setPlacement(InstrumentWindow::defaultPlacement(slot), 1u << slot);
  return w;
}

bool sameFlaps(float written, float read) {
  if (std::isnan(written)) return std::isnan(read);
  if (std::isinf(written)) return read == written;
  // Saved with one decimal.
  return std::fabs(double(read) - double(written)) <= 0.05 + std::fabs(double(written)) * 1e-6;
}

void settingsRoundTrip(std::string_view fileText) {
  write("fuzz.cfg", fileText);
  SettingsState state;
  NoHost host;
  auto window = bareWindow();
  readSettings("fuzz.cfg", state, *window, host);
  const float angle = window->rotationAngle();
  FUZZ_CHECK(angle == 0.0f || angle == 90.0f || angle == -90.0f, "rotation %g", double(angle));
  FUZZ_CHECK(window->weightUnitKg() == 0 || window->weightUnitKg() == 1, "weight flag %d", window->weightUnitKg());
  FUZZ_CHECK(state.address.size() <= 19, "address of %zu characters", state.address.size());
  FUZZ_CHECK(state.autoShow == 0 || state.autoShow == 1, "auto-show %d", state.autoShow);
  FUZZ_CHECK(state.xRes >= 640 && state.xRes <= 1920 && state.yRes >= 480 && state.yRes <= 1200, "%d x %d",
             state.xRes, state.yRes);

  ::unlink("saved.cfg");
  ::unlink("saved.cfg.bak");
  SettingsState saved = state;
  saved.backupMade = false;
  FUZZ_CHECK(writeSettings("saved.cfg", saved, *window), "a save into a writable folder failed");
  SettingsState back;
  back.monitorCount = state.monitorCount;
  auto again = bareWindow();
  readSettings("saved.cfg", back, *again, host);
  FUZZ_CHECK(back.address == state.address && back.port == state.port &&
                 back.multicastInterface == state.multicastInterface && back.autoShow == state.autoShow,
             "receiver or auto-show read back otherwise");
  FUZZ_CHECK(again->rotationAngle() == angle && again->weightUnitKg() == window->weightUnitKg(),
             "rotation or weight read back otherwise");
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const Placement a = window->getPlacement(1u << slot), b = again->getPlacement(1u << slot);
    FUZZ_CHECK(a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.visible == b.visible &&
                   a.type == b.type,
               "slot %d saved as %d,%d,%d,%d,%d,%d, read back as %d,%d,%d,%d,%d,%d", slot, a.x, a.y, a.width,
               a.height, a.visible, a.type, b.x, b.y, b.width, b.height, b.visible, b.type);
  }
  for (int i = 0; i < 6; ++i)
    FUZZ_CHECK(sameFlaps(window->flapsSetting(i), again->flapsSetting(i)), "FLAPS_%d saved as %g, read back as %g",
               i, double(window->flapsSetting(i)), double(again->flapsSetting(i)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Relative names resolve here, and nothing reaches the real home folder.
  FUZZ_CHECK(::chdir(fuzzing::scratchFolder().c_str()) == 0, "cannot enter %s", fuzzing::scratchFolder().c_str());
  ::setenv("HOME", fuzzing::scratchFolder().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", fuzzing::scratchFolder().c_str(), 1);
  platform::setMessageSink([](platform::MessageIcon, const std::string& text) {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t end = std::min(input.find('\0'), input.size());
  const std::string_view fileText = input.substr(0, end);
  std::vector<Edit> edits;
  std::vector<std::string> fields;
  for (std::size_t at = end + 1; at <= input.size();) {
    const std::size_t next = std::min(input.find('\0', at), input.size());
    fields.emplace_back(input.substr(at, next - at));
    at = next + 1;
  }
  for (std::size_t i = 0; i + 2 < fields.size() && edits.size() < 16; i += 3)
    edits.push_back({fields[i], fields[i + 1], fields[i + 2]});

  write("edit.cfg", fileText);
  platform::ProfileText text;
  FUZZ_CHECK(text.load("edit.cfg"), "a plain file did not load");
  for (Edit& e : edits) {
    const std::string before = text.text();
    e.accepted = text.set(e.section, e.key, e.value);
    if (!e.accepted) {
      FUZZ_CHECK(text.text() == before, "a refused edit changed the text");
      continue;
    }
    std::string value;
    FUZZ_CHECK(text.get(e.section, e.key, value), "[%s] %s written, not found", e.section.c_str(), e.key.c_str());
    FUZZ_CHECK(value == trimmed(e.value), "[%s] %s written as '%s', read as '%s'", e.section.c_str(),
               e.key.c_str(), e.value.c_str(), value.c_str());
    const std::string once = text.text();
    FUZZ_CHECK(text.set(e.section, e.key, e.value) && text.text() == once,
               "writing [%s] %s twice changed the file", e.section.c_str(), e.key.c_str());
  }
  // Through the disk and back: every key holds what its last write put there.
  FUZZ_CHECK(text.save("edit.cfg"), "save failed");
  platform::ProfileText reread;
  FUZZ_CHECK(reread.load("edit.cfg") && reread.text() == text.text(), "the saved file reads back otherwise");
  for (std::size_t i = 0; i < edits.size(); ++i) {
    if (!edits[i].accepted) continue;
    const Edit* last = &edits[i];
    for (std::size_t j = i + 1; j < edits.size(); ++j)
      if (edits[j].accepted && sameName(edits[j].section, last->section) && sameName(edits[j].key, last->key))
        last = &edits[j];
    std::string value;
    FUZZ_CHECK(reread.get(edits[i].section, edits[i].key, value) && value == trimmed(last->value),
               "[%s] %s lost its last write", edits[i].section.c_str(), edits[i].key.c_str());
  }

  settingsRoundTrip(fileText);
  return 0;
}
