// ELEC page: bus bars, batteries, TRs and the three AC generators.
#include "ecam/sd/elec_page.h"

#include "ecam/sd/sd_geometry.h"
#include "instruments/saturate.h"

namespace sd {

namespace {

constexpr int kBackgroundSlot = 21;
constexpr std::int32_t kLabelColour = 0;
constexpr std::int32_t kColour = 2;
constexpr std::int32_t kOffColour = 5;
constexpr float kRunningDrive = 1.0f;
constexpr float kFullOutputDrive = 20.0f;
constexpr float kApuOffAboveFt = 3000.0f;
constexpr std::int32_t kBatteryVolts = 28, kBatteryAmps = 6;

void off(elec::Generator& g) {
  g.load = g.voltage = g.frequency = 0.0f;
  g.labelColour = g.valueColour = kOffColour;
}

// A drive below full output takes from the nominal values in proportion to
// its inverse; only called for a running engine, so the drive is above 1.
void reduced(elec::Generator& g, float drive) {
  g.valueColour = kOffColour;
  g.voltage = 115.0f - 100.0f / drive;
  g.load -= 50.0f / drive;
  g.frequency = 400.0f - 50.0f / drive;
}

void value(const FontSet& f, float v, std::int32_t positions, std::int32_t colour, float x, float y) {
  DrawNumber(f, truncToInt32(v), positions, 0, 1, colour, sdgeo::kElecValueSize, x, y, kElementZ);
}

void fixedPair(const FontSet& f, float x, float voltsY, float ampsY) {
  DrawNumber(f, kBatteryVolts, 2, 0, 1, kColour, sdgeo::kElecValueSize, x, voltsY, kElementZ);
  DrawNumber(f, kBatteryAmps, 2, 0, 1, kColour, sdgeo::kElecValueSize, x, ampsY, kElementZ);
}

void generator(const FontSet& f, const char* name, float labelSize, const elec::Generator& g,
               const sdgeo::GenBox& box) {
  DrawText(f, name, g.labelColour, labelSize, box.label.x, box.label.y, kElementZ);
  value(f, g.load, 2, g.valueColour, box.loadX, box.loadY);
  value(f, g.voltage, 3, g.valueColour, box.valueX, box.voltageY);
  value(f, g.frequency, 3, g.valueColour, box.valueX, box.frequencyY);
}

}  // namespace

namespace elec {

Network network(float drive1, float drive2, float altitudeFt) {
  Network n;
  n.gen1.load = 31.0f;
  n.gen2.load = 19.0f;
  n.apuGen.load = 19.0f;
  for (Generator* g : {&n.gen1, &n.gen2, &n.apuGen}) {
    g->voltage = 115.0f;
    g->frequency = 400.0f;
  }
  const bool run1 = drive1 > kRunningDrive, run2 = drive2 > kRunningDrive;
  // A stopped engine's generator is switched off below, so the reduced
  // values never need a drive of 1 or less.
  if (drive1 < kFullOutputDrive) {
    n.gen1.valueColour = kOffColour;
    if (run1) reduced(n.gen1, drive1);
  }
  if (drive2 < kFullOutputDrive) {
    n.gen2.valueColour = kOffColour;
    if (run2) reduced(n.gen2, drive2);
  }
  if (altitudeFt > kApuOffAboveFt) {
    off(n.apuGen);
    n.apuOnLine = false;
    if (!run1 || !run2) {
      n.apuGen = Generator{19.0f, 115.0f, 400.0f, kColour, kColour};
      n.apuOnLine = true;
    }
  }
  if (!run1 && run2) {
    off(n.gen1);
    n.gen2.load += 10.0f;
  } else if (run1 && !run2) {
    off(n.gen2);
    n.gen1.load += 10.0f;
  } else if (!run1 && !run2) {
    off(n.gen1);
    off(n.gen2);
    n.apuGen.load = 39.0f;
  } else if (!n.apuOnLine) {
    n.gen2.load += 18.0f;  // takes the APU generator's share
  }
  return n;
}

}  // namespace elec

void resetElecPage() {}

bool drawElecPage(SystemDisplay& d, const FlightDataBlock& block) {
  using namespace sdgeo;
  const elec::Network n = elec::network(block.f32(148), block.f32(198), block.f32(29));

  d.drawBackground(kBackgroundSlot);
  d.beginGroup();
  const FontSet f = d.font();
  GlyphBatch text(f);  // only text from here on
  const float z = kElementZ, l = kElecLabelSize;
  DrawText(f, "DC 1", kColour, l, kElecDc1.x, kElecDc1.y, z);
  DrawText(f, "DC 2", kColour, l, kElecDc2.x, kElecDc2.y, z);
  DrawText(f, "DC BAT", kColour, l, kElecDcBat.x, kElecDcBat.y, z);
  DrawText(f, "DC ESS", kColour, l, kElecDcEss.x, kElecDcEss.y, z);
  DrawText(f, "AC 1", kColour, l, kElecAc1.x, kElecAc1.y, z);
  DrawText(f, "AC ESS", kColour, l, kElecAcEss.x, kElecAcEss.y, z);
  DrawText(f, "AC 2", kColour, l, kElecAc2.x, kElecAc2.y, z);

  DrawText(f, "BAT1", kLabelColour, l, kElecBat1.x, kElecBat1.y, z);
  fixedPair(f, kElecBat1ValueX, kElecBatVoltsY, kElecBatAmpsY);
  DrawText(f, "BAT2", kLabelColour, l, kElecBat2.x, kElecBat2.y, z);
  fixedPair(f, kElecBat2ValueX, kElecBatVoltsY, kElecBatAmpsY);

  DrawText(f, "ESS TR", kLabelColour, kElecValueSize, kElecEssTr.x, kElecEssTr.y, z);
  DrawText(f, "EMER GEN", kLabelColour, kElecValueSize, kElecEmerGen.x, kElecEmerGen.y, z);

  DrawText(f, "TR 1", kLabelColour, l, kElecTr1.x, kElecTr1.y, z);
  fixedPair(f, kElecTr1ValueX, kElecTrVoltsY, kElecTrAmpsY);
  DrawText(f, "TR 2", kLabelColour, l, kElecTr2.x, kElecTr2.y, z);
  fixedPair(f, kElecTr2ValueX, kElecTrVoltsY, kElecTrAmpsY);

  generator(f, "GEN 1", l, n.gen1, kElecGen1);
  generator(f, "GEN 2", l, n.gen2, kElecGen2);
  generator(f, "APU GEN", kElecSmallLabelSize, n.apuGen, kElecApuGen);
  // External power is never connected.
  generator(f, "EXT", kElecSmallLabelSize, elec::Generator{0.0f, 0.0f, 0.0f, kOffColour, kOffColour}, kElecExt);
  d.drawPermanentData(block);
  return true;
}

}  // namespace sd
