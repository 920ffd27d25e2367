#include "cli.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {

TEST(Cli, ApplySet) {
  struct {
    const char* spec;
    bool ok;
    int word;
    std::uint32_t bits;
  } cases[] = {
      {"2=12.5", true, 2, 0x41480000u},   {"17=#1", true, 17, 1},
      {"17=#0x1", true, 17, 1},           {"221=#0x2000", true, 221, 0x2000},
      {"0=-3", true, 0, 0xc0400000u},     {"255=#4294967295", true, 255, 0xffffffffu},
      {"4=inf", true, 4, 0x7f800000u},    {"4=1e39", true, 4, 0x7f800000u},
      {"256=1", false, 0, 0},             {"-1=1", false, 0, 0},
      {"x=1", false, 0, 0},               {"2=", false, 0, 0},
      {"2=abc", false, 0, 0},             {"2=1.5x", false, 0, 0},
      {"17=#", false, 0, 0},              {"17=#4294967296", false, 0, 0},
      {"17=#-1", false, 0, 0},            {"17=#0xZZ", false, 0, 0},
      {"2", false, 0, 0},                 {"=1", false, 0, 0},
  };
  for (const auto& c : cases) {
    FlightDataBlock b;
    std::string error;
    EXPECT_EQ(cli::applySet(c.spec, b, error), c.ok) << c.spec;
    if (c.ok) {
      EXPECT_EQ(b.u32(c.word), c.bits) << c.spec;
    } else {
      EXPECT_FALSE(error.empty()) << c.spec;
      EXPECT_EQ(b.bytes, FlightDataBlock{}.bytes) << c.spec << " must change nothing";
    }
  }
  FlightDataBlock b;
  std::string error;
  ASSERT_TRUE(cli::applySet("9=nan", b, error));
  EXPECT_TRUE(std::isnan(b.f32(9)));
}

TEST(Cli, SizesAndNumbers) {
  int w = 0, h = 0;
  EXPECT_TRUE(cli::parseSize("1280x1024", w, h));
  EXPECT_EQ(w, 1280);
  EXPECT_EQ(h, 1024);
  for (const char* bad : {"", "x", "10x", "x10", "0x10", "10x0", "-5x5", "10X10", "8193x10", "10x10x10", "axb"})
    EXPECT_FALSE(cli::parseSize(bad, w, h)) << bad;
  EXPECT_EQ(cli::parseInteger("42", 0, 100), 42);
  EXPECT_FALSE(cli::parseInteger("101", 0, 100));
  EXPECT_FALSE(cli::parseInteger("4 2", 0, 100));
  EXPECT_FALSE(cli::parseNumber("nan", 0, 100));
  EXPECT_EQ(cli::parseNumber("2.5", 0, 100), 2.5);
}

TEST(Cli, BlockFileMustBeExactly1024Bytes) {
  const std::string path = "/tmp/a320-cli-block.bin";
  for (std::size_t n : {0, 1023, 1024, 1025}) {
    std::string bytes(n, '\x01');
    std::ofstream(path, std::ios::binary) << bytes;
    FlightDataBlock b;
    std::string error;
    EXPECT_EQ(cli::readBlockFile(path, b, error), n == 1024) << n;
    if (n == 1024) EXPECT_EQ(b.u32(0), 0x01010101u);
    else EXPECT_NE(error.find(std::to_string(n)), std::string::npos) << error;
  }
  std::remove(path.c_str());
  FlightDataBlock b;
  std::string error;
  EXPECT_FALSE(cli::readBlockFile("/nonexistent/block", b, error));
  EXPECT_NE(error.find("/nonexistent/block"), std::string::npos);
}

}  // namespace
