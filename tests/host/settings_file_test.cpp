#include "host/settings_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "host/instrument_window.h"
#include "host/udp_receiver.h"
#include "platform/profile_file.h"
#include "support/locale_scope.h"
#include "support/offscreen.h"
#include "support/scoped_env.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

const std::string kName = "a320-display.cfg";
const std::string kLocal = "./a320-display.cfg";
constexpr std::array<float, 6> kDefaultFlaps{0.0f, 3.0f, 15.0f, 25.0f, 30.0f, 40.0f};

struct Move {
  int x, y, width, height;
  bool operator==(const Move&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Move& m) {
  return os << "(" << m.x << "," << m.y << " " << m.width << "x" << m.height << ")";
}

struct FakeHost final : SettingsHost {
  void moveInstrumentWindow(int x, int y, int width, int height) override { moves.push_back({x, y, width, height}); }
  void disableShiftButtons() override { ++disabled; }
  std::vector<Move> moves;
  int disabled = 0;
};

std::string slurp(const fs::path& path) {
  std::string bytes;
  EXPECT_TRUE(platform::readWholeFile(path.string(), bytes)) << path;
  return bytes;
}

void spill(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

Placement scaled(int slot, int x, int y, int width, int height) {
  Placement p = InstrumentWindow::defaultPlacement(slot);
  p.x = x;
  p.y = y;
  p.width = width;
  p.height = height;
  return p;
}

// Every default record scaled as the window scales them (toward zero).
std::map<int, Placement> allScaled(float factor) {
  std::map<int, Placement> slots;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    Placement p = InstrumentWindow::defaultPlacement(slot);
    for (std::int32_t* v : {&p.x, &p.y, &p.width, &p.height})
      *v = static_cast<std::int32_t>(static_cast<float>(*v) * factor);
    slots[slot] = p;
  }
  return slots;
}

// Every test runs in a fresh working directory with its own per-user
// folder, so nothing touches the real home.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "settings-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    work_ = root_ / "work";
    config_ = root_ / "config";
    fs::create_directories(work_);
    fs::create_directories(config_);
    oldCwd_ = fs::current_path();
    fs::current_path(work_);
    xdg_.set(config_.c_str());
    home_.set((root_ / "home").c_str());
  }
  void TearDown() override {
    fs::current_path(oldCwd_);
    fs::remove_all(root_);
  }

  static void setDefaults(InstrumentWindow& w) {
    for (int slot = 0; slot < kSlotCount; ++slot) w.setPlacement(InstrumentWindow::defaultPlacement(slot), 1u << slot);
  }
  fs::path userFolder() const { return config_ / "VANT" / "ZOD-Orizidoz"; }

  fs::path root_, work_, config_, oldCwd_;
  EnvScope xdg_{"XDG_CONFIG_HOME", nullptr};
  EnvScope home_{"HOME", nullptr};
  RecordingSink sink_;
};

// ---------------------------------------------------------------- names

TEST(SettingsFileName, ExtensionBecomesCfg) {
  struct {
    const char* program;
    const char* name;
  } cases[] = {
      {"a320-display", "a320-display.cfg"}, {"display.exe", "display.cfg"},
      {"my.display.exe", "my.display.cfg"}, {"/usr/bin/a320-display", "a320-display.cfg"},
      {"/opt/v1.1/a320", "a320.cfg"},       {".hidden", ".hidden.cfg"},
      {"display.", "display.cfg"},
  };
  for (const auto& c : cases) EXPECT_EQ(settingsFileName(c.program), c.name) << c.program;
}

TEST(SettingsIntegerCheck, OptionalMinusThenDigits) {
  struct {
    const char* text;
    bool ok;
  } cases[] = {{"", true},     {"0", true},    {"4555", true}, {"-1", true}, {"-", true},  {"+1", false},
               {" 1", false},  {"1 ", false},  {"1a", false},  {"--1", false}, {"1-", false}, {"0x10", false}};
  for (const auto& c : cases) EXPECT_EQ(SettingsFile::integerCheck(c.text), c.ok) << '"' << c.text << '"';
}

// ---------------------------------------------------------------- folder

TEST_F(Settings, WorkingDirectoryWins) {
  fs::create_directories(userFolder());
  spill(userFolder() / kName, "[SYSTEM]\nVERSION=v1.1\nROTATE=-1\n");
  spill(work_ / kName, "[SYSTEM]\nVERSION=v1.1\nROTATE=1\n");
  EXPECT_EQ(SettingsFile(kName).path(), kLocal);

  OffscreenWindow ow(64, 64);
  SettingsState state;
  FakeHost host;
  readSettings(kName, state, *ow.window, host);
  EXPECT_EQ(ow.window->rotationAngle(), 90.0f);
}

TEST_F(Settings, PathResolution) {
  struct {
    const char* name;
    bool vant;          // the folder above ZOD-Orizidoz exists
    bool userFile;      // a settings file is already in the user folder
    bool localFile;     // a settings file is in the working directory
    bool inUserFolder;  // expected: the path lies in the user folder
  } cases[] = {
      {"nothing anywhere, no VANT", false, false, false, false},
      {"VANT there: the last folder is made", true, false, false, true},
      {"file in the user folder", true, true, false, true},
      {"file in both", true, true, true, false},
  };
  for (const auto& c : cases) {
    fs::remove_all(config_ / "VANT");
    fs::remove(work_ / kName);
    if (c.vant) fs::create_directories(config_ / "VANT");
    if (c.userFile) {
      fs::create_directories(userFolder());
      spill(userFolder() / kName, "[SYSTEM]\n");
    }
    if (c.localFile) spill(work_ / kName, "[SYSTEM]\n");
    const std::string expected = c.inUserFolder ? (userFolder() / kName).string() : kLocal;
    EXPECT_EQ(SettingsFile(kName).path(), expected) << c.name;
    EXPECT_EQ(fs::is_directory(userFolder()), c.vant) << c.name;
    EXPECT_EQ(fs::exists(config_ / "VANT"), c.vant) << c.name;
  }
}

TEST_F(Settings, SavesIntoTheUserFolder) {
  fs::create_directories(config_ / "VANT");
  OffscreenWindow ow(64, 64);
  setDefaults(*ow.window);
  SettingsState state;
  ASSERT_TRUE(writeSettings(kName, state, *ow.window));
  EXPECT_FALSE(fs::exists(work_ / kName));
  std::string version;
  EXPECT_TRUE(platform::readProfileString((userFolder() / kName).string(), "SYSTEM", "VERSION", version));
  EXPECT_EQ(version, "v1.1");
  EXPECT_TRUE(sink_.messages.empty());
}

// ---------------------------------------------------------------- reading

TEST_F(Settings, ReadText) {
  spill(work_ / kName, "[SYSTEM]\nA=value\nEMPTY=\nLONG=" + std::string(5000, '7') + "\n");
  const SettingsFile file(kName);
  std::string out = "untouched";
  EXPECT_FALSE(file.readText("SYSTEM", "EMPTY", out));
  EXPECT_FALSE(file.readText("SYSTEM", "MISSING", out));
  EXPECT_EQ(out, "untouched");
  EXPECT_TRUE(file.readText("system", "a", out));
  EXPECT_EQ(out, "value");
  EXPECT_TRUE(file.readText("SYSTEM", "LONG", out));
  EXPECT_EQ(out, std::string(1023, '7'));  // one read's buffer
}

TEST_F(Settings, ReadRecord) {
  const Placement before{9, 9, 9, 9, 9, 9};
  struct {
    const char* text;
    std::optional<Placement> record;
  } cases[] = {
      {"10,20,300,400,1,2", Placement{10, 20, 300, 400, 1, 2}},
      {"-10,-20,300,400,0,6", Placement{-10, -20, 300, 400, 0, 6}},
      {"1,2,3,4,5,6,anything after", Placement{1, 2, 3, 4, 5, 6}},
      {"1,2,3,4,5,6,", Placement{1, 2, 3, 4, 5, 6}},
      {"1,2,3,4,5", std::nullopt},
      {"1,2,3,4,5,", std::nullopt},
      {"1,2,3,4,5,6x", std::nullopt},
      {"1, 2,3,4,5,6", std::nullopt},
      {"+1,2,3,4,5,6", std::nullopt},
      {"1,,3,4,5,6", std::nullopt},
      {"1,-,3,4,5,6", std::nullopt},
      {"1;2;3;4;5;6", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    spill(work_ / kName, "[GAUGE]\nINSTR 03=" + std::string(c.text) + "\n");
    Placement r = before;
    EXPECT_EQ(SettingsFile(kName).readRecord("GAUGE", "INSTR 03", r), c.record.has_value()) << c.text;
    EXPECT_EQ(r, c.record.value_or(before)) << c.text;
  }
  // A field holds at most 63 characters.
  Placement r = before;
  spill(work_ / kName, "[GAUGE]\nK=" + std::string(63, '0') + ",2,3,4,5,6\n");
  EXPECT_TRUE(SettingsFile(kName).readRecord("GAUGE", "K", r));
  EXPECT_EQ(r, (Placement{0, 2, 3, 4, 5, 6}));
  spill(work_ / kName, "[GAUGE]\nK=" + std::string(64, '0') + ",2,3,4,5,6\n");
  EXPECT_FALSE(SettingsFile(kName).readRecord("GAUGE", "K", r));
}

struct ReadCase {
  const char* name;
  std::optional<std::string> file;  // nullopt: no settings file at all
  int monitors = 1;
  // Expected outcome; the defaults below are the values set before the
  // read, so a field left alone means "untouched".
  float rotation = 45.0f;
  int weight = 7;
  std::array<float, 6> flaps = kDefaultFlaps;
  std::string address = "10.9.9.9";
  int port = 999;
  int currentMonitor = 0;
  int windowX = 0;
  bool manual = false;
  int xOffset = 0, xRes = 1280, yRes = 1024;
  std::vector<Move> moves = {};
  int disabled = 0;
  int autoShow = 5;
  bool fromFile = false;
  std::map<int, Placement> slots = {};  // slots whose record is not the default
  bool receiverExists = false;
  std::string multicastInterface = "";
};

class SettingsRead : public Settings {
 protected:
  void run(const ReadCase& c) {
    SCOPED_TRACE(c.name);
    fs::remove(work_ / kName);
    if (c.file) spill(work_ / kName, *c.file);
    OffscreenWindow ow(64, 64);
    InstrumentWindow& w = *ow.window;
    setDefaults(w);
    w.setRotationAngle(45.0f);
    w.setWeightUnitKg(7);
    for (int i = 0; i < 6; ++i) w.setFlapsSetting(i, 99.0f);
    SettingsState state;
    state.address = "10.9.9.9";
    state.port = 999;
    state.autoShow = 5;
    state.monitorCount = c.monitors;
    state.receiverExists = c.receiverExists;
    FakeHost host;

    readSettings(kName, state, w, host);

    EXPECT_EQ(w.rotationAngle(), c.rotation);
    EXPECT_EQ(w.weightUnitKg(), c.weight);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w.flapsSetting(i), c.flaps[std::size_t(i)]) << "FLAPS_" << i;
    EXPECT_EQ(state.address, c.address);
    EXPECT_EQ(state.port, c.port);
    EXPECT_EQ(state.multicastInterface, c.multicastInterface);
    EXPECT_EQ(state.currentMonitor, c.currentMonitor);
    EXPECT_EQ(state.windowX, c.windowX);
    EXPECT_EQ(state.manualMode, c.manual);
    EXPECT_EQ(state.xOffset, c.xOffset);
    EXPECT_EQ(state.xRes, c.xRes);
    EXPECT_EQ(state.yRes, c.yRes);
    EXPECT_EQ(host.moves, c.moves);
    EXPECT_EQ(host.disabled, c.disabled);
    EXPECT_EQ(state.autoShow, c.autoShow);
    EXPECT_EQ(state.placementsFromFile, c.fromFile);
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const auto it = c.slots.find(slot);
      EXPECT_EQ(w.getPlacement(1u << slot), it == c.slots.end() ? InstrumentWindow::defaultPlacement(slot) : it->second)
          << "slot " << slot;
    }
    EXPECT_TRUE(sink_.messages.empty());
  }
};

const std::string kV = "[SYSTEM]\nVERSION=v1.1\n";

TEST_F(SettingsRead, EdgeCases) {
  const Move monitor0{0, 0, 1280, 1024}, monitor1{1280, 0, 1280, 1024};
  ReadCase cases[] = {
      {.name = "no file", .file = std::nullopt, .rotation = 0.0f, .weight = 1},
      {.name = "no VERSION",
       .file = "[SYSTEM]\nIP-ADDR=10.0.0.2\nPORT=1234\nCURRENT_MONITOR=1\nAUTOSHOW=1\nROTATE=1\n"
               "[GAUGE]\nINSTR_01=1,2,300,300,1,0\nINSTR 07=1,2,300,300,1,6\n[PARAM]\nFLAPS_0=5\nWEIGHT=0\n",
       .monitors = 2,
       .rotation = 0.0f,
       .weight = 1},
      {.name = "empty VERSION", .file = "[SYSTEM]\nVERSION=\nROTATE=1\n", .rotation = 0.0f, .weight = 1},
      {.name = "VERSION in another section", .file = "[GAUGE]\nVERSION=v1.1\n[SYSTEM]\nROTATE=1\n",
       .rotation = 0.0f, .weight = 1},
      {.name = "VERSION only: flaps take their defaults", .file = kV},
      {.name = "INSTR_03 misspelled",
       .file = kV + "[GAUGE]\nINSTR_03=10,20,300,300,1,2\nINSTR 04=11,21,301,301,1,3\n",
       .slots = {{3, {11, 21, 301, 301, 1, 3}}}},
      {.name = "width 40 ignored",
       .file = kV + "[GAUGE]\nINSTR_01=10,20,40,300,1,0\nINSTR_02=10,20,300,49,1,1\nINSTR 05=1,2,50,50,0,4\n",
       .slots = {{4, {1, 2, 50, 50, 0, 4}}}},
      {.name = "INSTR 07 parses but is too small", .file = kV + "[GAUGE]\nINSTR 07=1,2,3,4,1,6\n", .fromFile = true},
      {.name = "INSTR 07 taken",
       .file = kV + "[GAUGE]\nINSTR 07=5,6,70,80,1,2\n",
       .fromFile = true,
       .slots = {{6, {5, 6, 70, 80, 1, 2}}}},
      {.name = "INSTR 07 invalid", .file = kV + "[GAUGE]\nINSTR 07=5,6,70,80,1\n"},
      {.name = "CURRENT_MONITOR 1 on one monitor", .file = kV + "CURRENT_MONITOR=1\n"},
      {.name = "CURRENT_MONITOR -1", .file = kV + "CURRENT_MONITOR=-1\n", .monitors = 2},
      {.name = "CURRENT_MONITOR 0", .file = kV + "CURRENT_MONITOR=0\n", .moves = {monitor0}},
      {.name = "CURRENT_MONITOR 1 on two monitors",
       .file = kV + "CURRENT_MONITOR=1\n",
       .monitors = 2,
       .currentMonitor = 1,
       .windowX = 1280,
       .moves = {monitor1}},
      {.name = "XOFFSET 6000",
       .file = kV + "CURRENT_MONITOR=1\nSETMONMANUAL=1\nXOFFSET=6000\nXRES=1024\nYRES=768\n",
       .monitors = 2,
       .currentMonitor = 1,
       .windowX = 1280,
       .moves = {monitor1}},
      {.name = "XOFFSET -1", .file = kV + "CURRENT_MONITOR=0\nSETMONMANUAL=1\nXOFFSET=-1\n", .moves = {monitor0}},
      {.name = "manual mode",
       .file = kV + "CURRENT_MONITOR=0\nSETMONMANUAL=1\nXOFFSET=5760\nXRES=1024\nYRES=768\n",
       .windowX = 5760,
       .manual = true,
       .xOffset = 5760,
       .xRes = 1024,
       .yRes = 768,
       .moves = {{5760, 0, 1024, 768}},
       .disabled = 1,
       .slots = allScaled(0.75f)},
      {.name = "manual mode, sizes out of range",
       .file = kV + "CURRENT_MONITOR=0\nSETMONMANUAL=1\nXOFFSET=0\nXRES=1921\nYRES=479\n",
       .manual = true,
       .moves = {{0, 0, 1280, 1024}},
       .disabled = 1},
      {.name = "manual mode, smallest sizes",
       .file = kV + "CURRENT_MONITOR=0\nSETMONMANUAL=1\nXOFFSET=10\nXRES=640\nYRES=1200\n",
       .windowX = 10,
       .manual = true,
       .xOffset = 10,
       .xRes = 640,
       .yRes = 1200,
       .moves = {{10, 0, 640, 1200}},
       .disabled = 1,
       .slots = allScaled(1200.0f / 1024.0f)},
      {.name = "manual mode without XOFFSET", .file = kV + "CURRENT_MONITOR=0\nSETMONMANUAL=1\n", .manual = true},
      {.name = "manual mode off", .file = kV + "CURRENT_MONITOR=0\nSETMONMANUAL=0\nXOFFSET=10\n", .moves = {monitor0}},
      {.name = "manual mode without a valid monitor", .file = kV + "CURRENT_MONITOR=3\nSETMONMANUAL=1\nXOFFSET=10\n"},
      {.name = "ROTATE 2", .file = kV + "ROTATE=2\n", .rotation = 0.0f},
      {.name = "ROTATE -1", .file = kV + "ROTATE=-1\n", .rotation = -90.0f},
      {.name = "ROTATE 1", .file = kV + "ROTATE=1\n", .rotation = 90.0f},
      {.name = "ROTATE yes", .file = kV + "ROTATE=yes\n", .rotation = 0.0f},
      {.name = "PORT -1", .file = kV + "PORT=-1\n", .port = 65535},
      {.name = "PORT 70000 cut to 16 bits", .file = kV + "PORT=70000\n", .port = 70000 - 65536},
      {.name = "PORT 0 would bind a random port", .file = kV + "PORT=0\n"},
      {.name = "PORT 65536 cut to 0", .file = kV + "PORT=65536\n"},
      {.name = "PORT 12a", .file = kV + "PORT=12a\n"},
      {.name = "PORT +5", .file = kV + "PORT=+5\n"},
      {.name = "PORT ignored when the receiver exists", .file = kV + "PORT=1\nIP-ADDR=10.0.0.1\n",
       .receiverExists = true},
      {.name = "IP-ADDR", .file = kV + "IP-ADDR=192.168.1.20\nPORT=4555\n", .address = "192.168.1.20", .port = 4555},
      {.name = "IP-ADDR 300.1.1.1", .file = kV + "IP-ADDR=300.1.1.1\n"},
      {.name = "IP-ADDR 19 characters", .file = kV + "IP-ADDR=0000000000010.0.0.1\n",
       .address = "0000000000010.0.0.1"},
      {.name = "IP-ADDR 20 characters", .file = kV + "IP-ADDR=00000000000010.0.0.1\n"},
      {.name = "group and its interface",
       .file = kV + "IP-ADDR=239.1.2.3\nMULTICAST-IF=enp3s0\n",
       .address = "239.1.2.3",
       .multicastInterface = "enp3s0"},
      {.name = "MULTICAST-IF as an address", .file = kV + "MULTICAST-IF=192.168.100.200\n",
       .multicastInterface = "192.168.100.200"},
      {.name = "MULTICAST-IF 16 characters", .file = kV + "MULTICAST-IF=abcdefghijklmnop\n"},
      {.name = "MULTICAST-IF with a space inside", .file = kV + "MULTICAST-IF=eth 0\n"},
      {.name = "MULTICAST-IF with a slash", .file = kV + "MULTICAST-IF=../x\n"},
      {.name = "MULTICAST-IF ignored when the receiver exists", .file = kV + "MULTICAST-IF=eth0\n",
       .receiverExists = true},
      {.name = "AUTOSHOW 2", .file = kV + "AUTOSHOW=2\n", .autoShow = 1},
      {.name = "AUTOSHOW yes", .file = kV + "AUTOSHOW=yes\n", .autoShow = 0},
      {.name = "AUTOSHOW 0", .file = kV + "AUTOSHOW=0\n", .autoShow = 0},
      {.name = "FLAPS",
       .file = kV + "[PARAM]\nFLAPS_0=1.5\nFLAPS_2=abc\nFLAPS_5=41.25x\n",
       .flaps = {1.5f, 3.0f, 0.0f, 25.0f, 30.0f, 41.25f}},
      {.name = "WEIGHT 0kg", .file = kV + "[PARAM]\nWEIGHT=0kg\n", .weight = 0},
      {.name = "WEIGHT 1", .file = kV + "[PARAM]\nWEIGHT=1\n", .weight = 1},
      {.name = "WEIGHT x", .file = kV + "[PARAM]\nWEIGHT=x\n", .weight = 1},
      {.name = "WEIGHT with spaces", .file = kV + "[PARAM]\nWEIGHT =  0\n", .weight = 0},
  };
  // YRES / 1024 = 0.75 places slot 6 as on a 1024 x 768 screen.
  ASSERT_EQ(allScaled(0.75f)[6], scaled(6, 735, 487, 150, 150));
  ASSERT_EQ(allScaled(1200.0f / 1024.0f)[6], scaled(6, 1148, 761, 234, 234));
  ASSERT_TRUE(UdpReceiver::validAddress("0000000000010.0.0.1"));
  ASSERT_TRUE(UdpReceiver::validAddress("00000000000010.0.0.1"));
  for (const auto& c : cases) run(c);
}

// Junk, long lines, duplicates and line ends are the profile reader's own
// tests; here what the settings make of what it reads.
TEST_F(SettingsRead, MalformedFiles) {
  const std::string huge(1 << 20, '9');
  ReadCase cases[] = {
      // An overlong number stops at the end of the integer range.
      {.name = "1 MB value",
       .file = kV + "PORT=" + huge + "\nIP-ADDR=" + huge + "\n[GAUGE]\nINSTR_01=" + huge + "\n",
       .port = 65535},
      {.name = "1 MB line without an end", .file = kV + "PORT=" + huge, .port = 65535},
      {.name = "saved by a Windows editor: byte-order mark, quotes, CR LF",
       .file = "\xEF\xBB\xBF[SYSTEM]\r\nVERSION=\"v1.1\"\r\nIP-ADDR=\"10.1.1.1\"\r\nPORT=\"5000\"\r\nROTATE='1'\r\n"
               "[GAUGE]\r\nINSTR_01=\"1,2,300,300,1,0\"\r\n[PARAM]\r\nFLAPS_1=\"2.5\"\r\n",
       .rotation = 90.0f,
       .flaps = {0.0f, 2.5f, 15.0f, 25.0f, 30.0f, 40.0f},
       .address = "10.1.1.1",
       .port = 5000,
       .slots = {{0, {1, 2, 300, 300, 1, 0}}}},
  };
  for (const auto& c : cases) run(c);
}

TEST_F(Settings, ReadAutoShowOnItsOwn) {
  struct {
    std::optional<std::string> file;
    int value;
  } cases[] = {
      {std::nullopt, 0},
      {"[SYSTEM]\nAUTOSHOW=1\n", 1},  // no VERSION needed
      {"[SYSTEM]\nAUTOSHOW=2\n", 2},
      {"[SYSTEM]\nAUTOSHOW=yes\n", 0},
      {"[SYSTEM]\nAUTOSHOW=\n", 0},
      {"[SYSTEM]\nAUTOSHOW=-3\n", -3},
      {"[PARAM]\nAUTOSHOW=1\n", 0},
  };
  for (const auto& c : cases) {
    fs::remove(work_ / kName);
    if (c.file) spill(work_ / kName, *c.file);
    EXPECT_EQ(readAutoShow(kName), c.value) << c.file.value_or("(no file)");
  }
}

// ---------------------------------------------------------------- writing

void setRecords(InstrumentWindow& w) {
  for (int slot = 0; slot < kSlotCount; ++slot)
    w.setPlacement({10 * slot, -slot, 100 + slot, 200 + slot, slot % 2, slot}, 1u << slot);
}

const std::string kRecordsText =
    "[GAUGE]\n"
    "INSTR_01=0,0,100,200,0,0\n"
    "INSTR_02=10,-1,101,201,1,1\n"
    "INSTR 03=20,-2,102,202,0,2\n"
    "INSTR 04=30,-3,103,203,1,3\n"
    "INSTR 05=40,-4,104,204,0,4\n"
    "INSTR 06=50,-5,105,205,1,5\n"
    "INSTR 07=60,-6,106,206,0,6\n";

TEST_F(Settings, WritesEveryKeyInOrder) {
  OffscreenWindow ow(64, 64);
  InstrumentWindow& w = *ow.window;
  setRecords(w);
  w.setRotationAngle(-90.0f);
  const float flaps[6] = {0.0f, 1.25f, 15.0f, 22.5f, 30.04f, 40.06f};
  for (int i = 0; i < 6; ++i) w.setFlapsSetting(i, flaps[i]);
  w.setWeightUnitKg(0);
  SettingsState state;
  state.address = "192.168.0.5";
  state.port = 65535;
  state.currentMonitor = 2;
  state.autoShow = 1;
  state.xRes = 1024;  // not written outside manual mode
  state.multicastInterface = "eth1";

  ASSERT_TRUE(writeSettings(kName, state, w));
  EXPECT_TRUE(state.backupMade);
  EXPECT_EQ(slurp(work_ / kName),
            "[SYSTEM]\n"
            "VERSION=v1.1\n"
            "IP-ADDR=192.168.0.5\n"
            "PORT=65535\n"
            "MULTICAST-IF=eth1\n"
            "CURRENT_MONITOR=2\n"
            "AUTOSHOW=1\n"
            "ROTATE=-1\n" +
                kRecordsText +
                "[PARAM]\n"
                "FLAPS_0=0.0\n"
                "FLAPS_1=1.2\n"
                "FLAPS_2=15.0\n"
                "FLAPS_3=22.5\n"
                "FLAPS_4=30.0\n"
                "FLAPS_5=40.1\n"
                "WEIGHT=0\n");
  EXPECT_FALSE(fs::exists(work_ / (kName + ".bak")));  // there was nothing to keep
  EXPECT_TRUE(sink_.messages.empty());
}

TEST_F(Settings, WritesManualModeAndRotation) {
  struct {
    float angle;
    int xRes, yRes;
    std::string system;
  } cases[] = {
      {90.0f, 1280, 1024, "SETMONMANUAL=1\nXOFFSET=1500\nROTATE=1\n"},
      {0.0f, 1024, 1024, "SETMONMANUAL=1\nXOFFSET=1500\nXRES=1024\nROTATE=0\n"},
      {45.0f, 1280, 768, "SETMONMANUAL=1\nXOFFSET=1500\nYRES=768\n"},
      {-90.0f, 640, 480, "SETMONMANUAL=1\nXOFFSET=1500\nXRES=640\nYRES=480\nROTATE=-1\n"},
  };
  for (const auto& c : cases) {
    fs::remove(work_ / kName);
    OffscreenWindow ow(64, 64);
    InstrumentWindow& w = *ow.window;
    setRecords(w);
    w.setRotationAngle(c.angle);
    SettingsState state;
    state.manualMode = true;
    state.xOffset = 1500;
    state.xRes = c.xRes;
    state.yRes = c.yRes;
    ASSERT_TRUE(writeSettings(kName, state, w));
    EXPECT_EQ(slurp(work_ / kName),
              "[SYSTEM]\nVERSION=v1.1\nIP-ADDR=127.0.0.1\nPORT=4555\nCURRENT_MONITOR=0\nAUTOSHOW=0\n" + c.system +
                  kRecordsText +
                  "[PARAM]\nFLAPS_0=0.0\nFLAPS_1=3.0\nFLAPS_2=15.0\nFLAPS_3=25.0\nFLAPS_4=30.0\nFLAPS_5=40.0\n"
                  "WEIGHT=1\n")
        << c.angle;
  }
}

TEST_F(Settings, FirstSaveKeepsABackupAndStartsANewFile) {
  const std::string old =
      "; edited by hand\n"
      "[SYSTEM]\n"
      "VERSION=v1.0\n"
      "SETMONMANUAL=1\n"
      "XOFFSET=0\n"
      "XRES=1280\n"
      "HANDMADE=yes\n";
  spill(work_ / kName, old);
  OffscreenWindow ow(64, 64);
  setDefaults(*ow.window);
  SettingsState state;
  state.manualMode = true;
  ASSERT_TRUE(writeSettings(kName, state, *ow.window));
  EXPECT_TRUE(state.backupMade);
  EXPECT_EQ(slurp(work_ / (kName + ".bak")), old);

  const std::string path = (work_ / kName).string();
  std::string value;
  const std::string fresh = slurp(path);
  EXPECT_EQ(fresh.find("edited by hand"), std::string::npos);
  EXPECT_FALSE(platform::readProfileString(path, "SYSTEM", "XRES", value));
  EXPECT_FALSE(platform::readProfileString(path, "SYSTEM", "HANDMADE", value));
  ASSERT_TRUE(platform::readProfileString(path, "SYSTEM", "VERSION", value));
  EXPECT_EQ(value, "v1.1");
  ASSERT_TRUE(platform::readProfileString(path, "SYSTEM", "XOFFSET", value));
  EXPECT_EQ(value, "0");

  // Later saves of the run edit the new file in place and leave the backup.
  spill(path, "; kept\n" + fresh + "[EXTRA]\nUNKNOWN=1\n");
  state.manualMode = false;
  ow.window->setWeightUnitKg(0);
  ASSERT_TRUE(writeSettings(kName, state, *ow.window));
  const std::string later = slurp(path);
  EXPECT_EQ(later.rfind("; kept\n[SYSTEM]\nVERSION=v1.1\n", 0), 0u) << later;
  EXPECT_NE(later.find("\nSETMONMANUAL=1\nXOFFSET=0\n"), std::string::npos) << later;  // not written, not removed
  EXPECT_NE(later.find("\nWEIGHT=0\n[EXTRA]\nUNKNOWN=1\n"), std::string::npos) << later;
  EXPECT_EQ(slurp(work_ / (kName + ".bak")), old);
  EXPECT_TRUE(sink_.messages.empty());
}

TEST_F(Settings, NewRunReplacesTheBackup) {
  spill(work_ / kName, "[SYSTEM]\nVERSION=first\n");
  spill(work_ / (kName + ".bak"), "older\n");
  OffscreenWindow ow(64, 64);
  setDefaults(*ow.window);
  SettingsState state;
  ASSERT_TRUE(writeSettings(kName, state, *ow.window));
  EXPECT_EQ(slurp(work_ / (kName + ".bak")), "[SYSTEM]\nVERSION=first\n");
  const std::vector<std::string> expected{kName, kName + ".bak"};
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(work_)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);  // no temporary files left
}

// Written on a German desktop, whose locale writes "2,5" through printf and
// reads "2.5" as 2: the file must not follow it. What each key says on its
// own is in the tests above; here everything written comes back.
TEST_F(Settings, RoundTripUnderACommaLocale) {
  LocaleScope locale(kCommaLocale);
  ASSERT_TRUE(locale.ok()) << kMissingCommaLocale;
  OffscreenWindow first(64, 64);
  InstrumentWindow& a = *first.window;
  for (int slot = 0; slot < kSlotCount; ++slot)
    a.setPlacement({slot * 100 - 50, 7 * slot, 50 + slot, 60 + slot, slot & 1, 6 - slot}, 1u << slot);
  a.setRotationAngle(90.0f);
  const float flaps[6] = {0.5f, 2.5f, 10.0f, 20.5f, 33.0f, 45.5f};
  for (int i = 0; i < 6; ++i) a.setFlapsSetting(i, flaps[i]);
  a.setWeightUnitKg(0);
  SettingsState saved;
  saved.address = "10.20.30.40";
  saved.port = 6001;
  saved.monitorCount = 2;
  saved.currentMonitor = 1;
  saved.autoShow = 1;
  ASSERT_TRUE(writeSettings(kName, saved, a));
  EXPECT_NE(slurp(work_ / kName).find("\nFLAPS_1=2.5\nFLAPS_2=10.0\n"), std::string::npos);

  OffscreenWindow second(64, 64);
  InstrumentWindow& b = *second.window;
  setDefaults(b);
  SettingsState loaded;
  loaded.monitorCount = 2;
  FakeHost host;
  readSettings(kName, loaded, b, host);
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(b.getPlacement(1u << slot), a.getPlacement(1u << slot)) << slot;
  EXPECT_EQ(b.rotationAngle(), 90.0f);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b.flapsSetting(i), flaps[i]) << i;
  EXPECT_EQ(b.weightUnitKg(), 0);
  EXPECT_EQ(loaded.address, saved.address);
  EXPECT_EQ(loaded.port, saved.port);
  EXPECT_EQ(loaded.currentMonitor, 1);
  EXPECT_EQ(loaded.autoShow, 1);
  EXPECT_TRUE(loaded.placementsFromFile);
  EXPECT_EQ(host.moves, (std::vector<Move>{{1280, 0, 1280, 1024}}));
}

TEST_F(Settings, SaveIntoAVanishedFolderTellsTheOperator) {
  const fs::path gone = root_ / "gone";
  fs::create_directories(gone);
  fs::current_path(gone);
  fs::remove(gone);
  OffscreenWindow ow(64, 64);
  setDefaults(*ow.window);
  SettingsState state;
  EXPECT_FALSE(writeSettings(kName, state, *ow.window));
  ASSERT_EQ(sink_.messages.size(), 1u);
  EXPECT_NE(sink_.messages[0].find(kLocal), std::string::npos) << sink_.messages[0];
  EXPECT_NE(sink_.messages[0].find(std::strerror(ENOENT)), std::string::npos) << sink_.messages[0];
}

TEST_F(Settings, FailedSaveLeavesTheOldFileWhole) {
  const std::string old = "[SYSTEM]\nVERSION=v1.0\nHANDMADE=1\n";
  spill(work_ / kName, old);
  OffscreenWindow ow(64, 64);
  setDefaults(*ow.window);
  SettingsState state;

  // A file size limit makes the new file fail part way, even for root; the
  // backup is small enough to pass.
  struct rlimit limit {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = limit;
  small.rlim_cur = 200;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool first = writeSettings(kName, state, *ow.window);
  const bool second = writeSettings(kName, state, *ow.window);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(first);
  EXPECT_FALSE(second);
  EXPECT_EQ(slurp(work_ / kName), old);
  EXPECT_EQ(slurp(work_ / (kName + ".bak")), old);
  ASSERT_EQ(sink_.messages.size(), 2u);
  for (const std::string& m : sink_.messages) {
    EXPECT_NE(m.find(kLocal), std::string::npos) << m;
    EXPECT_NE(m.find(std::strerror(EFBIG)), std::string::npos) << m;
  }
}

}  // namespace
