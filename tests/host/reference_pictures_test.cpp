// Every instrument, every system page, the rotations and the tint drawn as
// a pilot would see them, compared with reviewed reference pictures: a
// change to the render pass, the drawing code or the artwork that moves a
// pixel shows here, with a difference picture to look at.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/golden.h"
#include "support/process.h"
#include "support/situations.h"

using namespace testing_support;

namespace {

class ReferencePicture : public testing::TestWithParam<std::string> {};

TEST_P(ReferencePicture, DrawsAsReviewed) {
  const Situation* s = findSituation(GetParam());
  ASSERT_NE(s, nullptr);
  const DrawnSituation drawn = drawSituation(*s, A320_TEST_DATA_DIR);
  EXPECT_EQ(drawn.messages, 0) << "artwork missing";
  if (s->page != SdPage::None) {
    EXPECT_EQ(drawn.page, s->page) << "the block does not bring up " << sdPageName(s->page);
  }
  EXPECT_TRUE(MatchesReference(s->name, drawn.rgba, s->width, s->height));
}

std::vector<std::string> names() {
  std::vector<std::string> n;
  for (const Situation& s : referenceSituations()) n.push_back(s.name);
  return n;
}

INSTANTIATE_TEST_SUITE_P(Situations, ReferencePicture, testing::ValuesIn(names()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string n = info.param;
                           for (char& c : n)
                             if (c == '-') c = '_';
                           return n;
                         });

// The comparison itself: where the tolerance ends, and what a failure
// leaves on disk for a person to look at.
TEST(ReferenceComparison, CountsPixelsBeyondTheChannelTolerance) {
  struct Case {
    const char* what;
    int channel;       // which channel of pixel (1, 0) changes
    int by;            // and by how much
    int tolerance;
    int differing;
  };
  const Case cases[] = {
      {"identical", 0, 0, 2, 0},
      {"red at the tolerance", 0, 2, 2, 0},
      {"red past it", 0, 3, 2, 1},
      {"blue downwards past it", 2, -3, 2, 1},
      {"exact comparison", 1, 1, 0, 1},
  };
  const int w = 3, h = 2;
  const std::vector<std::uint8_t> a(w * h * 4, 100);
  for (const Case& c : cases) {
    std::vector<std::uint8_t> b = a;
    b[4 * 1 + std::size_t(c.channel)] = std::uint8_t(100 + c.by);
    const PictureDifference d = comparePictures(a, b, w, h, c.tolerance);
    EXPECT_EQ(d.differing, c.differing) << c.what;
    EXPECT_EQ(d.largest, std::abs(c.by)) << c.what;
    if (c.differing) {
      EXPECT_EQ(d.firstX, 1) << c.what;
      EXPECT_EQ(d.firstY, 0) << c.what;
    }
  }
}

TEST(ReferenceComparison, FailureWritesTheDrawnAndDifferencePictures) {
  const std::string dir = testing::TempDir() + "reference-" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  const int w = 4, h = 4;
  std::vector<std::uint8_t> picture(w * h * 4, 0);
  for (std::size_t i = 3; i < picture.size(); i += 4) picture[i] = 255;
  // Refreshing the references runs this test too; it must still see a failure.
  const char* refreshing = std::getenv("A320_UPDATE_GOLDEN");
  const std::string refresh = refreshing ? refreshing : "";
  ::unsetenv("A320_UPDATE_GOLDEN");

  // No reference yet: the failure says how to make one.
  testing::AssertionResult missing = MatchesReference("square", picture, w, h, {}, dir, dir + "/out");
  EXPECT_FALSE(missing);
  EXPECT_NE(std::string(missing.message()).find("A320_UPDATE_GOLDEN=1"), std::string::npos) << missing.message();

  ::setenv("A320_UPDATE_GOLDEN", "1", 1);
  EXPECT_TRUE(MatchesReference("square", picture, w, h, {}, dir, dir + "/out"));
  ::unsetenv("A320_UPDATE_GOLDEN");
  EXPECT_TRUE(MatchesReference("square", picture, w, h, {}, dir, dir + "/out"));

  // One pixel lit in the drawn picture: one pixel over, none allowed.
  std::vector<std::uint8_t> lit = picture;
  lit[4 * (2 * w + 1) + 1] = 200;  // green at x 1, y 2
  EXPECT_TRUE(MatchesReference("square", lit, w, h, {2, 1}, dir, dir + "/out"));
  testing::AssertionResult changed = MatchesReference("square", lit, w, h, {2, 0}, dir, dir + "/out");
  EXPECT_FALSE(changed);
  EXPECT_NE(std::string(changed.message()).find("1 pixels differ"), std::string::npos) << changed.message();
  std::vector<std::uint8_t> drawn, diff;
  int dw = 0, dh = 0;
  ASSERT_TRUE(readPng(dir + "/out/square.png", drawn, dw, dh));
  EXPECT_EQ(drawn[4 * (2 * w + 1) + 1], 200);
  ASSERT_TRUE(readPng(dir + "/out/square.diff.png", diff, dw, dh));
  const std::size_t at = 4 * (2 * w + 1);
  EXPECT_GT(diff[at], 128);
  EXPECT_EQ(diff[at + 1], 0);
  EXPECT_GT(diff[at + 2], 128);
  EXPECT_EQ(diff[0], 0) << "an unchanged black pixel stays dark";

  // A picture of another size never matches.
  EXPECT_FALSE(MatchesReference("square", std::vector<std::uint8_t>(2 * 2 * 4, 0), 2, 2, {}, dir, dir + "/out"));
  std::filesystem::remove_all(dir);
  if (refreshing) ::setenv("A320_UPDATE_GOLDEN", refresh.c_str(), 1);
}

}  // namespace
