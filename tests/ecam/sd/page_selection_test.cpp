// Which page the system display shows: word 40, the flight-phase rules and
// the flight-control movement detector.
#include <gtest/gtest.h>

#include "ecam/sd/pages.h"

namespace {

TEST(SystemDisplayPages, PageNumberAndAutomaticValue) {
  struct Case {
    std::uint32_t page;
    std::int32_t automatic;
    SdPage shown;
  };
  const Case cases[] = {
      {0, 0, SdPage::None},     {0, 7, SdPage::Door},     {0, 8, SdPage::Wheel},   {0, 9, SdPage::Eng},
      {0, 10, SdPage::Cruise},  {0, 11, SdPage::Fctl},    {0, 12, SdPage::None},   {0, -1, SdPage::None},
      {1, 10, SdPage::Eng},     {2, 0, SdPage::Bleed},    {3, 0, SdPage::Press},   {4, 0, SdPage::Elec},
      {5, 0, SdPage::Hyd},      {6, 0, SdPage::Fuel},     {7, 0, SdPage::Apu},     {8, 0, SdPage::Cond},
      {9, 0, SdPage::Door},     {10, 0, SdPage::Wheel},   {11, 0, SdPage::Fctl},   {12, 0, SdPage::Status},
      {13, 9, SdPage::None},    {14, 9, SdPage::None},    {15, 9, SdPage::None},   {16, 9, SdPage::None},
  };
  for (const Case& c : cases)
    EXPECT_EQ(sd::pageFor(c.page, c.automatic), c.shown) << "page " << c.page << " automatic " << c.automatic;
}

}  // namespace
