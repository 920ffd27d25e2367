#include "ecam/sd/system_display.h"

#include <cmath>

#include "ecam/sd/pages.h"
#include "ecam/sd/sd_geometry.h"
#include "instruments/gl_helpers.h"
#include "instruments/saturate.h"

namespace {

// Loaded in this order; slot 17 stays empty. Several slots are loaded only
// and never drawn, and some files are loaded into more than one slot.
struct TextureFile {
  int slot;
  const char* file;
};
constexpr TextureFile kTextureFiles[] = {
    {0, "Data/03321001.tex"},  {1, "Data/03321000.tex"},  {2, "Data/03321002.tex"},  {3, "Data/03322000.tex"},
    {4, "Data/03322001.tex"},  {5, "Data/03322002.tex"},  {6, "Data/03322003.tex"},  {7, "Data/03321003.tex"},
    {8, "Data/03322004.tex"},  {9, "Data/03322009.tex"},  {10, "Data/99990020.tex"}, {11, "Data/99990021.tex"},
    {12, "Data/99990022.tex"}, {13, "Data/99990023.tex"}, {14, "Data/99990024.tex"}, {15, "Data/99990025.tex"},
    {16, "Data/99990026.tex"}, {18, "Data/99990028.tex"}, {19, "Data/99990032.tex"}, {20, "Data/99990033.tex"},
    {21, "Data/03321004.tex"}, {22, "Data/03321005.tex"}, {23, "Data/03322005.tex"}, {24, "Data/03322006.tex"},
    {25, "Data/03322007.tex"}, {26, "Data/03322008.tex"}, {27, "Data/03322010.tex"}, {28, "Data/03322011.tex"},
    {29, "Data/03322012.tex"}, {30, "Data/03322013.tex"}, {31, "Data/03322014.tex"}, {32, "Data/03321006.tex"},
    {33, "Data/03321007.tex"}, {34, "Data/03322015.tex"}, {35, "Data/03322016.tex"}, {36, "Data/03322017.tex"},
    {37, "Data/03322018.tex"}, {38, "Data/03322019.tex"}, {39, "Data/03321008.tex"}, {40, "Data/03321009.tex"},
    {41, "Data/03322020.tex"}, {42, "Data/03322020.tex"}, {43, "Data/03322020.tex"}, {44, "Data/03322020.tex"},
    {45, "Data/03322021.tex"}, {46, "Data/03322021.tex"}, {47, "Data/03321010.tex"}, {48, "Data/03322024.tex"},
    {49, "Data/03322025.tex"}, {50, "Data/03321011.tex"}, {51, "Data/03321111.tex"}, {52, "Data/03322026.tex"},
    {53, "Data/03322027.tex"}, {54, "Data/03322028.tex"}, {55, "Data/03322029.tex"}, {56, "Data/03322034.tex"},
    {57, "Data/03322030.tex"}, {58, "Data/03322031.tex"}, {59, "Data/03321012.tex"}, {60, "Data/03321013.tex"},
    {61, "Data/03322032.tex"}, {62, "Data/03322033.tex"}, {63, "Data/03322022.tex"}, {64, "Data/03322023.tex"},
};
static_assert(std::size(kTextureFiles) == kEcamTextureSlots - 1);

}  // namespace

const char* sdPageName(SdPage page) {
  static const char* const names[] = {"none", "ENG",  "BLEED", "PRESS", "ELEC",   "HYD",    "FUEL",
                                      "APU",  "COND", "DOOR",  "WHEEL", "F/CTL", "STATUS", "CRUISE"};
  const int i = static_cast<int>(page);
  if (i < 0 || i >= int(std::size(names))) return "none";
  return names[i];
}

SystemDisplay::SystemDisplay(InstrumentContext& context) : Instrument(A320_ECAM_SYSTEM), ctx(context) {}

SystemDisplay::~SystemDisplay() {
  gldraw::deleteTextures(textures.data(), int(textures.size()));
}

bool SystemDisplay::initialise(const FlightDataBlock& block) {
  textures.fill(0);
  bool all = true;
  for (const TextureFile& f : kTextureFiles) all = ctx.loadTexture(f.file, textures[std::size_t(f.slot)]) && all;
  sd::frameState().initialFuelKnown = false;
  sd::takeInitialFuel(sd::frameState(), block);
  page = 0;
  return all;
}

void SystemDisplay::beginGroup() const { gldraw::beginGroup(ctx); }

void SystemDisplay::drawBackground(int slot) const {
  if (slot < 0 || slot >= kEcamTextureSlots) return;
  beginGroup();
  glEnable(GL_TEXTURE_2D);
  gldraw::pictureQuad(ctx, textures[std::size_t(slot)], -1.0f, -1.0f, 1.0f, 1.0f, sd::kBackgroundZ);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
}

namespace {

// Magnitude on the left, sign after it: "+" a little smaller than "-".
// The sign sits on the number's third cell, so only two digits have room;
// a temperature of 100 or more would put a digit under the sign and is not
// drawn at all, nor is a NaN, which no reading of 0 would stand for.
void temperatureLine(const FontSet& f, float value, sdgeo::Point number, sdgeo::Point sign) {
  if (!(std::fabs(value) < 100.0f)) return;
  const std::int32_t magnitude = truncToInt32(std::fabs(value));
  DrawNumber(f, magnitude, 5, 0, 1, 2, sdgeo::kTempSize, number.x, number.y, sd::kElementZ);
  if (value >= 0.0f)
    DrawText(f, "+", 2, 1.3f, sign.x, sign.y, sd::kElementZ);
  else
    DrawText(f, "-", 2, 1.4f, sign.x, sign.y, sd::kElementZ);
}

}  // namespace

void SystemDisplay::drawPermanentData(const FlightDataBlock& block) const {
  using namespace sdgeo;
  beginGroup();
  const FontSet f = font();
  GlyphBatch text(f);
  const float sat = block.f32(7);
  const float tat = block.f32(25) < 50.0f ? sat : block.f32(8) * 250.0f;
  temperatureLine(f, tat, kTatNumber, kTatSign);
  temperatureLine(f, sat, kSatNumber, kSatSign);
  DrawDecimal(f, std::trunc(block.f32(2)), 2, 0, 1, 1, 2, kHoursSize, kHours.x, kHours.y, sd::kElementZ);
  DrawDecimal(f, std::trunc(block.f32(3)), 2, 0, 1, 1, 2, kMinutesSize, kMinutes.x, kMinutes.y, sd::kElementZ);
  const float grossWeight = float(sd::kZeroFuelWeightKg) + block.f32(105) * sd::kKgPerLb;
  DrawDecimal(f, grossWeight, 5, 0, 0, 1, 2, kGrossWeightSize, kGrossWeight.x, kGrossWeight.y, sd::kElementZ);
}

bool SystemDisplay::draw(const FlightDataBlock& block, const Placement& placement) {
  sd::FrameState& state = sd::frameState();
  // Also while hidden: fuel used counts from what the run has seen.
  sd::takeInitialFuel(state, block);
  if (placement.visible == 0) return true;
  state.automaticPage = sd::automaticPageRules(block, state.automaticPage);
  if (sd::stepMovementDetector(state.detector, block)) state.automaticPage = sd::kAutoFctl;

  gldraw::beginInstrument(placement);
  page = (block.u32(40) >> 24) & 15u;
  lastPage = sd::pageFor(page, state.automaticPage);
  switch (lastPage) {
    case SdPage::Eng: return sd::drawEngPage(*this, block);
    case SdPage::Bleed: return sd::drawBleedPage(*this, block);
    case SdPage::Press: return sd::drawPressPage(*this, block);
    case SdPage::Elec: return sd::drawElecPage(*this, block);
    case SdPage::Hyd: return sd::drawHydPage(*this, block);
    case SdPage::Fuel: return sd::drawFuelPage(*this, block);
    case SdPage::Apu: return sd::drawApuPage(*this, block);
    case SdPage::Cond: return sd::drawCondPage(*this, block);
    case SdPage::Door: return sd::drawDoorPage(*this, block);
    case SdPage::Wheel: return sd::drawWheelPage(*this, block);
    case SdPage::Fctl: return sd::drawFctlPage(*this, block);
    case SdPage::Status: return sd::drawStatusPage(*this, block);
    case SdPage::Cruise: return sd::drawCruisePage(*this, block);
    case SdPage::None: break;
  }
  return true;
}
