#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>

#include "platform/user_folder.h"
#include "support/scoped_env.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

using testing_support::EnvScope;

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "profile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    path_ = (dir_ / "test.cfg").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  void put(const std::string& bytes) const {
    std::ofstream out(path_, std::ios::binary);
    out << bytes;
  }
  std::string contents() const {
    std::string bytes;
    EXPECT_TRUE(platform::readWholeFile(path_, bytes));
    return bytes;
  }
  std::optional<std::string> read(const char* section, const char* key) const {
    std::string out = "untouched";
    if (!platform::readProfileString(path_, section, key, out)) {
      EXPECT_EQ(out, "untouched");
      return std::nullopt;
    }
    return out;
  }
  std::vector<std::string> folderEntries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(ProfileFile, ReadsKeysAsTheProfileFunctionsDo) {
  put(
      "KEY=outside\n"
      "; comment=not a key\n"
      "[System]\n"
      "  Version = v1.1  \n"
      "INSTR 03=1,2,3,4,5,6\n"
      "QUOTED=\"a b\"\n"
      "SINGLE='10.1.1.1'\n"
      "HALF=\"a\n"
      "LONE=\"\n"
      "MIXED=\"a'\n"
      "INNER=a \"b\"\n"
      "TWICE=\"\"x\"\"\n"
      "EQUALS=a=b=c\n"
      "EMPTY=\n"
      "NOEQUALS\n"
      "[ Gauge ]\n"
      "x=1\n"
      "[other\n"
      "y=2\n");
  struct {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"SYSTEM", "VERSION", "v1.1"},        {"system", "version", "v1.1"},
      {"SYSTEM", "instr 03", "1,2,3,4,5,6"}, {"SYSTEM", "INSTR_03", std::nullopt},
      {"SYSTEM", "QUOTED", "a b"},          {"SYSTEM", "EQUALS", "a=b=c"},
      {"SYSTEM", "SINGLE", "10.1.1.1"},     {"SYSTEM", "HALF", "\"a"},
      {"SYSTEM", "LONE", "\""},             {"SYSTEM", "MIXED", "\"a'"},
      {"SYSTEM", "INNER", "a \"b\""},       {"SYSTEM", "TWICE", "\"x\""},
      {"SYSTEM", "EMPTY", ""},              {"SYSTEM", "NOEQUALS", std::nullopt},
      {"SYSTEM", "MISSING", std::nullopt},  {"SYSTEM", "KEY", std::nullopt},
      {"SYSTEM", "x", std::nullopt},        {"GAUGE", "X", "1"},
      {"OTHER", "y", "2"},                  {"MISSING", "x", std::nullopt},
      {"", "KEY", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(read(c.section, c.key), c.value) << c.section << "/" << c.key;
}

// Reads, then writes, on a given file (nullopt: none yet), then the bytes.
TEST_F(ProfileFile, ReadAndWriteSequences) {
  using KV = std::tuple<const char*, const char*, std::optional<std::string>>;
  const struct {
    const char* name;
    std::optional<std::string> before;
    std::vector<KV> reads, writes;
    std::string after;
  } cases[] = {
      {"no file yet",
       std::nullopt,
       {{"SYSTEM", "VERSION", std::nullopt}},
       {{"SYSTEM", "VERSION", "v1.1"}, {"GAUGE", "INSTR 03", "1,2,3,4,5,6"}, {"SYSTEM", "PORT", "4555"}},
       "[SYSTEM]\nVERSION=v1.1\nPORT=4555\n[GAUGE]\nINSTR 03=1,2,3,4,5,6\n"},
      {"first section and first key win",
       "[A]\nk=1\nk=2\n[a]\nk=3\nonly=4\n",
       {{"A", "k", "1"}, {"A", "only", std::nullopt}},
       {{"a", "K", "9"}, {"A", "only", "5"}},
       "[A]\nK=9\nk=2\nonly=5\n[a]\nk=3\nonly=4\n"},
      {"CR LF lines read without the return and stay CR LF",
       "[S]\r\nA=1\r\nB = two words \r\n",
       {{"S", "A", "1"}, {"S", "B", "two words"}},
       {{"S", "A", "x"}, {"S", "C", "3"}, {"T", "D", "4"}},
       "[S]\r\nA=x\r\nB = two words \r\nC=3\r\n[T]\r\nD=4\r\n"},
      {"UTF-8 byte-order mark before the first section, kept on writing",
       "\xEF\xBB\xBF[SYSTEM]\r\nVERSION=v1.1\r\n",
       {{"SYSTEM", "VERSION", "v1.1"}},
       {{"SYSTEM", "PORT", "5000"}},
       "\xEF\xBB\xBF[SYSTEM]\r\nVERSION=v1.1\r\nPORT=5000\r\n"},
      {"byte-order mark in front of a key outside every section",
       "\xEF\xBB\xBFK=1\n[S]\nK=2\n",
       {{"S", "K", "2"}},
       {},
       "\xEF\xBB\xBFK=1\n[S]\nK=2\n"},
      {"key after a last line without newline", "[S]\nA=1", {}, {{"S", "B", "2"}}, "[S]\nA=1\nB=2\n"},
      {"section after a last line without newline", "[S]\nA=1", {}, {{"T", "B", "2"}}, "[S]\nA=1\n[T]\nB=2\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(path_);
    if (c.before) put(*c.before);
    for (const auto& [section, key, value] : c.reads) EXPECT_EQ(read(section, key), value) << section << "/" << key;
    for (const auto& [section, key, value] : c.writes) {
      std::string error;
      ASSERT_TRUE(platform::writeProfileString(path_, section, key, *value, &error)) << key << ": " << error;
    }
    EXPECT_EQ(contents(), c.after);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"test.cfg"});
  }
}

TEST_F(ProfileFile, JunkDoesNotDerailReading) {
  std::string junk;
  std::srand(7);
  for (int i = 0; i < 200000; ++i) junk += static_cast<char>(std::rand() & 0xff);
  const std::string hugeLine(1 << 20, 'A');
  struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"binary before", junk + "\n[S]\nK=v\n"},
      {"binary after", "[S]\nK=v\n[" + junk},
      {"nul bytes", "[S]\nN\0UL=1\nK=v\n"s},
      {"huge line", hugeLine + "\n[S]\nK=v\n" + hugeLine},
      {"huge key line", "[S]\n" + hugeLine + "=1\nK=v\n"},
      {"no final newline", "[S]\nK=v"},
  };
  for (const auto& c : cases) {
    put(c.bytes);
    EXPECT_EQ(read("S", "K"), "v") << c.name;
  }
  put("[S]\nK=" + hugeLine + "\n");
  EXPECT_EQ(read("S", "K"), hugeLine);
}

TEST_F(ProfileFile, WriteKeepsEveryLineItDoesNotTouch) {
  const std::string before =
      "; made by hand\n"
      "[SYSTEM]\n"
      "VERSION=v1.0\n"
      "# unknown=kept\n"
      "HANDMADE = yes\n"
      "\n"
      "[GAUGE]\n"
      "instr 03 = 1,2,3,4,5,6\n"
      "\n"
      "\n";
  struct {
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  } cases[] = {
      {"system", "Version", "v1.1",
       "; made by hand\n[SYSTEM]\nVersion=v1.1\n# unknown=kept\nHANDMADE = yes\n\n[GAUGE]\ninstr 03 = "
       "1,2,3,4,5,6\n\n\n"},
      {"SYSTEM", "PORT", "4555",
       "; made by hand\n[SYSTEM]\nVERSION=v1.0\n# unknown=kept\nHANDMADE = yes\nPORT=4555\n\n[GAUGE]\ninstr 03 = "
       "1,2,3,4,5,6\n\n\n"},
      {"GAUGE", "INSTR 03", "7,8,9,10,11,12",
       "; made by hand\n[SYSTEM]\nVERSION=v1.0\n# unknown=kept\nHANDMADE = yes\n\n[GAUGE]\nINSTR "
       "03=7,8,9,10,11,12\n\n\n"},
      {"GAUGE", "INSTR_01", "1,1,1,1,1,1",
       "; made by hand\n[SYSTEM]\nVERSION=v1.0\n# unknown=kept\nHANDMADE = yes\n\n[GAUGE]\ninstr 03 = "
       "1,2,3,4,5,6\nINSTR_01=1,1,1,1,1,1\n\n\n"},
      {"PARAM", "WEIGHT", "1", before + "[PARAM]\nWEIGHT=1\n"},
      {"SYSTEM", "EMPTY", "",
       "; made by hand\n[SYSTEM]\nVERSION=v1.0\n# unknown=kept\nHANDMADE = yes\nEMPTY=\n\n[GAUGE]\ninstr 03 = "
       "1,2,3,4,5,6\n\n\n"},
  };
  for (const auto& c : cases) {
    put(before);
    ASSERT_TRUE(platform::writeProfileString(path_, c.section, c.key, c.value)) << c.key;
    EXPECT_EQ(contents(), c.after) << c.section << "/" << c.key;
  }
}

TEST_F(ProfileFile, WriteRefusesWhatALineCannotHold) {
  put("[S]\nA=1\n");
  struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {{"S", "A", "1\n[X]"}, {"S", "A=B", "1"}, {"S\n", "A", "1"}, {"S]", "A", "1"},
               {"S", "", "1"},       {"S", "  ", "1"},  {"S", "[A", "1"},  {"S", "A", "1\r"},
               // Blanks around a name are trimmed by every read.
               {"S", " A", "2"},     {"S", "A\t", "2"}, {" S", "A", "2"},  {"S ", "B", "2"}};
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(platform::writeProfileString(path_, c.section, c.key, c.value, &error)) << c.key << c.value;
    EXPECT_EQ(error, std::strerror(EINVAL));
    EXPECT_EQ(contents(), "[S]\nA=1\n");
  }
}

TEST_F(ProfileFile, WriteKeepsThePermissions) {
  put("[S]\nA=1\n");
  ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
  ASSERT_TRUE(platform::writeProfileString(path_, "S", "A", "2"));
  struct stat st {};
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(ProfileFile, WriteIntoAMissingFolderFails) {
  const std::string path = (dir_ / "missing" / "test.cfg").string();
  std::string error;
  EXPECT_FALSE(platform::writeProfileString(path, "S", "A", "1", &error));
  EXPECT_EQ(error, std::strerror(ENOENT));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(ProfileFile, FailedWriteLeavesTheOldFileWhole) {
  put("[S]\nA=1\n");
  // A file size limit makes the write fail part way, even for root.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool written = platform::writeProfileString(path_, "S", "A", std::string(10000, 'x'), &error);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(error, std::strerror(EFBIG));
  EXPECT_EQ(contents(), "[S]\nA=1\n");
  EXPECT_EQ(folderEntries(), std::vector<std::string>{"test.cfg"});
}

TEST_F(ProfileFile, UnreadableTargetIsNotOverwritten) {
  fs::create_directory(path_);
  std::string error;
  EXPECT_FALSE(platform::writeProfileString(path_, "S", "A", "1", &error));
  EXPECT_EQ(error, std::strerror(EISDIR));
  EXPECT_TRUE(fs::is_directory(path_));
}

TEST(UserFolder, FromXdgConfigHomeOrHome) {
  struct {
    const char* xdg;
    const char* home;
    std::string folder;
  } cases[] = {
      {"/x/config", "/home/u", "/x/config"},
      {"/x/config/", "/home/u", "/x/config"},
      {nullptr, "/home/u", "/home/u/.config"},
      {"", "/home/u", "/home/u/.config"},
      {"relative", "/home/u", "/home/u/.config"},
      {nullptr, "/", "/.config"},
      {nullptr, nullptr, ""},
      {nullptr, "relative", ""},
  };
  for (const auto& c : cases) {
    EnvScope xdg("XDG_CONFIG_HOME", c.xdg);
    EnvScope home("HOME", c.home);
    EXPECT_EQ(platform::userConfigFolder(), c.folder) << (c.xdg ? c.xdg : "(unset)") << " "
                                                      << (c.home ? c.home : "(unset)");
  }
}

}  // namespace
