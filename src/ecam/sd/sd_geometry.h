#pragma once
// Layout of the system display's pictures, shared by the pages and the
// artwork generator so that values, needles and symbols land where the
// pictures expect them. Positions are in the instrument's square (-1 to 1,
// y up). A Quad names its first corner (texture 0,0) and the opposite one
// (texture 1,1); a first corner right of or above the second mirrors the
// picture on screen.

namespace sdgeo {

struct Point {
  float x, y;
};
struct Quad {
  float x0, y0, x1, y1;
};

// Picture sizes written by the generator.
inline constexpr int kPageSize = 1024;       // page backgrounds
inline constexpr int kSparePageSize = 512;   // the background that is loaded only

// Needles turn counter-clockwise by their angle from pointing in -x, so a
// needle at angle a points in the direction a + 180 degrees.
inline constexpr float kNeedleHalfWidth = 0.00769f;

// Permanent data area at the bottom of every page: where each number starts.
inline constexpr Point kTatNumber{-0.83575f, -0.757025f};
inline constexpr Point kTatSign{-0.70675f, -0.749025f};
inline constexpr Point kSatNumber{-0.83575f, -0.912025f};
inline constexpr Point kSatSign{-0.70675f, -0.906025f};
inline constexpr float kTempSize = 1.4f;
inline constexpr Point kHours{-0.20175f, -0.914025f};
inline constexpr float kHoursSize = 1.6f;
inline constexpr Point kMinutes{0.05875f, -0.912025f};
inline constexpr float kMinutesSize = 1.4f;
inline constexpr Point kGrossWeight{0.39875f, -0.912025f};
inline constexpr float kGrossWeightSize = 1.4f;

// ENG: oil dials, one column per engine; needles are plain lines.
inline constexpr float kEngNeedleLength = 0.2125f;
inline constexpr Point kEngOilQty1{-0.75775f, 0.19525f};
inline constexpr Point kEngOilQty2{-0.05075f, 0.19525f};
inline constexpr Point kEngOilPress1{-0.75775f, -0.18625f};
inline constexpr Point kEngOilPress2{-0.05075f, -0.18625f};
inline constexpr float kOilQtyAngle0 = 43.6f;  // angle = a0 + slope * value
inline constexpr float kOilQtyAngleSlope = -3.44f;
inline constexpr float kOilPressAngle0 = 43.6f;
inline constexpr float kOilPressAngleSlope = -1.72f;
inline constexpr float kOilPressLow = 8.0f;  // psi at or below which it shows as a warning
inline constexpr float kValueLow = 15.0f;     // the two-digit value, same rule
inline constexpr float kEngValueSize = 1.1f;
inline constexpr Point kEngFuelUsed1{-0.84075f, 0.445025f};
// Engine 2 fuel used: x by the number's size, so that it reads from the same place.
inline constexpr float kEngFuelUsed2X[4] = {-0.35675f, -0.32075f, -0.26675f, -0.22375f};
inline constexpr Point kEngOilQtyValue1{-0.77075f, 0.08225f};
inline constexpr Point kEngOilQtyValue2{-0.05575f, 0.08225f};
inline constexpr Point kEngOilPressValue1{-0.74175f, -0.28775f};
inline constexpr Point kEngOilPressValue2{-0.02675f, -0.28775f};
inline constexpr Point kEngValue1{-0.74375f, -0.52475f};
inline constexpr Point kEngValue2{-0.21475f, -0.52475f};
inline constexpr Point kEngN1Vib1{0.40225f, 0.445025f};
inline constexpr Point kEngN1Vib2{0.59325f, 0.445025f};
inline constexpr Point kEngN2Vib1{0.40225f, 0.053025f};
inline constexpr Point kEngN2Vib2{0.59325f, 0.053025f};

// BLEED: valve symbols (a square of this half side about each position) and
// the pack needles.
inline constexpr float kValveHalf = 0.073077f;
inline constexpr Point kBleedValves[8] = {{0.057f, -0.104f}, {0.73f, 0.101f},    {-0.749f, 0.101f},
                                          {0.231f, 0.086f},  {-0.756f, -0.379f}, {-0.511f, -0.507f},
                                          {0.584f, -0.507f}, {0.825f, -0.371f}};
inline constexpr float kPackNeedleLength = 0.106154f;
inline constexpr Point kPack1Upper{-0.745f, 0.416f};
inline constexpr Point kPack1Lower{-0.745f, 0.166f};
inline constexpr Point kPack2Upper{0.734f, 0.416f};
inline constexpr Point kPack2Lower{0.734f, 0.166f};
// BLEED values, all at one size; a precooler temperature above 300 moves up.
inline constexpr float kBleedValueSize = 1.2f;
inline constexpr float kBleedPackX[2] = {-0.86575f, 0.59775f};
inline constexpr float kBleedPackUpperY = 0.52425f;
inline constexpr float kBleedPackLowerY = 0.28325f;
inline constexpr Point kBleedPressure[2] = {{-0.75875f, -0.10275f}, {0.56125f, -0.10275f}};
inline constexpr float kBleedTempX[2] = {-0.80375f, 0.50625f};
inline constexpr float kBleedTempY = -0.237f;
inline constexpr float kBleedTempHotY = -0.209f;

// PRESS: dial pivots and needle lengths.
inline constexpr float kPressNeedleLength = 0.238461f;
inline constexpr float kPressNeedleHalfWidth = 0.00799f;
inline constexpr Point kPressDp{-0.61f, 0.311f};
inline constexpr Point kPressVs{0.01f, 0.311f};
inline constexpr Point kPressCabAlt{0.673f, 0.311f};
inline constexpr Point kPressOutflow{0.323f, -0.321f};
inline constexpr float kPressOutflowLength = 0.167769f;
inline constexpr Point kPressInlet{-0.537f, -0.37f};   // bar to the left of the pivot
inline constexpr Point kPressExtract{-0.28f, -0.37f};  // bar to the right
inline constexpr float kPressValveLength = 0.123077f;
inline constexpr Point kPressSafety{0.861f, -0.092f};  // bar turned down
inline constexpr float kPressSafetyLength = 0.138077f;
inline constexpr float kPressOutflowTipLength = 0.164769f;  // upper edge of the outflow needle
// PRESS values in one row under the dials.
inline constexpr float kPressValueY = 0.20775f;
inline constexpr float kPressValueSize = 1.3f;
inline constexpr float kPressDpX = -0.67125f;
inline constexpr float kPressVsX = 0.00025f;       // also the minus sign
inline constexpr float kPressVsShortX = -0.05975f;  // two digits or fewer
inline constexpr float kPressCabAltX = 0.65025f;
inline constexpr Point kPressSystem{-0.42f, -0.12f};
inline constexpr float kPressSystemSize = 1.5f;

// ELEC: bus bar labels, the fixed battery and TR readouts and the three
// generator boxes (load, voltage, frequency from the top).
inline constexpr float kElecLabelSize = 1.0f;
inline constexpr float kElecValueSize = 0.9f;
inline constexpr float kElecSmallLabelSize = 0.8f;  // APU GEN and EXT
inline constexpr Point kElecDc1{-0.9f, 0.473f};
inline constexpr Point kElecDc2{0.674f, 0.473f};
inline constexpr Point kElecDcBat{-0.125f, 0.687f};
inline constexpr Point kElecDcEss{-0.121f, 0.309f};
inline constexpr Point kElecAc1{-0.91f, -0.084f};
inline constexpr Point kElecAcEss{-0.125f, -0.084f};
inline constexpr Point kElecAc2{0.675f, -0.084f};
inline constexpr Point kElecBat1{-0.57f, 0.758f};
inline constexpr Point kElecBat2{0.35f, 0.758f};
inline constexpr float kElecBatVoltsY = 0.653f, kElecBatAmpsY = 0.58f;
inline constexpr float kElecBat1ValueX = -0.48f, kElecBat2ValueX = 0.445f;
inline constexpr Point kElecEssTr{-0.386f, 0.11f};
inline constexpr Point kElecEmerGen{0.128f, 0.11f};
inline constexpr Point kElecTr1{-0.81f, 0.28f};
inline constexpr Point kElecTr2{0.623f, 0.28f};
inline constexpr float kElecTrVoltsY = 0.202f, kElecTrAmpsY = 0.108f;
inline constexpr float kElecTr1ValueX = -0.755f, kElecTr2ValueX = 0.675f;
struct GenBox {
  Point label;
  float loadX, valueX;  // load has two digits, voltage and frequency three
  float loadY, voltageY, frequencyY;
};
inline constexpr GenBox kElecGen1{{-0.9f, -0.258f}, -0.805f, -0.849f, -0.358f, -0.458f, -0.537f};
inline constexpr GenBox kElecGen2{{0.613f, -0.258f}, 0.693f, 0.656f, -0.358f, -0.458f, -0.537f};
inline constexpr GenBox kElecApuGen{{-0.44f, -0.288f}, -0.344f, -0.384f, -0.394f, -0.494f, -0.576f};
inline constexpr GenBox kElecExt{{0.14f, -0.288f}, 0.216f, 0.176f, -0.394f, -0.494f, -0.576f};

// FUEL: where each quantity starts; all at one size.
inline constexpr float kFuelSize = 0.9f;
inline constexpr Point kFuelUsed1{-0.698f, 0.533f};
inline constexpr Point kFuelUsed2{0.465f, 0.533f};
inline constexpr Point kFuelOnBoard{-0.109f, 0.399f};
inline constexpr float kFuelInnerY = -0.399f;  // inner and centre tanks
inline constexpr float kFuelOuterY = -0.369f;
inline constexpr float kFuelLeftOuterX = -0.919f, kFuelLeftInnerX = -0.609f, kFuelCentreX = -0.101f;
inline constexpr float kFuelRightInnerX = 0.388f, kFuelRightOuterX = 0.709f;

// APU: dial pivots, needle lengths and the symbol quads.
inline constexpr Point kApuNOuter{-0.563f, 0.02f};
inline constexpr Point kApuEgtOuter{-0.563f, -0.374f};
inline constexpr Point kApuNInner{-0.563f, 0.028f};
inline constexpr Point kApuEgtInner{-0.563f, -0.37f};
inline constexpr float kApuOuterLength = 0.230154f;
inline constexpr float kApuInnerLength = 0.206154f;
inline constexpr Quad kApuBleedOpen{0.423846f, 0.59131f, 0.63f, 0.97669f};
inline constexpr Quad kApuGenLink{-0.619154f, 0.80631f, -0.466f, 0.95969f};
inline constexpr Quad kApuBleedShut{0.416846f, 0.59231f, 0.603f, 0.88769f};
inline constexpr float kApuValueSize = 0.9f;
inline constexpr Point kApuLoad{-0.61f, 0.58f};
inline constexpr Point kApuVoltage{-0.647f, 0.47f};
inline constexpr Point kApuFrequency{-0.647f, 0.362f};
inline constexpr Point kApuBleedPressure{0.33f, 0.34f};
inline constexpr float kApuBleedSize = 1.1f;
inline constexpr Point kApuSpeed{-0.567f, -0.06f};
inline constexpr Point kApuEgt{-0.567f, -0.456f};
inline constexpr Point kApuAvail{-0.2f, 0.625f};
inline constexpr float kApuAvailSize = 1.6f;
inline constexpr Point kApuFlapOpen{0.12f, -0.136f};
inline constexpr float kApuFlapOpenSize = 1.4f;

// COND: hot-air valve and the three trim valve needles.
inline constexpr Quad kCondHotAir{0.45f, -0.494f, 0.59f, -0.342f};
inline constexpr float kCondNeedleLength = 0.191776f;
inline constexpr float kCondNeedleHalfWidth = 0.00569f;
inline constexpr Point kCondTrim[3] = {{-0.602f, -0.221f}, {-0.104f, -0.221f}, {0.394f, -0.221f}};
inline constexpr float kCondAngleShut = -47.0f;  // valve opening 0
inline constexpr float kCondAngleOpen = -134.0f;
inline constexpr float kCondZoneY = 0.184f;  // zone temperatures
inline constexpr float kCondZoneX[3] = {-0.469f, 0.05f, 0.522f};
inline constexpr float kCondZoneSize = 1.3f;
inline constexpr float kCondValveY = 0.02f;  // trim valve openings
inline constexpr float kCondValveX[3] = {-0.524f, -0.04f, 0.476f};
inline constexpr float kCondValveSize = 1.1f;

// CRUISE: engine block at the top, cabin block below; every value size 1.
inline constexpr float kCruiseSize = 1.0f;
inline constexpr Point kCruiseFuelUsed1{-0.73f, 0.59f};
inline constexpr Point kCruiseOil1{-0.73f, 0.355f};
inline constexpr float kCruiseFuelUsedY = 0.59f;
inline constexpr float kCruiseOilY = 0.355f;
// Engine 2 values start further left the fewer digits they have.
inline constexpr float kCruiseEngine2Small = -0.083f;   // up to 99
inline constexpr float kCruiseEngine2Medium = -0.036f;  // up to 999
inline constexpr float kCruiseEngine2Large = -0.001f;
inline constexpr Point kCruiseVib1{0.496f, 0.56f};
inline constexpr Point kCruiseVib2{0.716f, 0.56f};
inline constexpr Point kCruiseLdgElevMode{0.157f, 0.109f};
inline constexpr Point kCruiseLdgElev{0.48f, 0.1f};
inline constexpr Point kCruiseVsSign{0.439f, -0.15f};
inline constexpr Point kCruiseVs{0.481f, -0.159f};
inline constexpr Point kCruiseCabAlt{0.481f, -0.419f};
inline constexpr float kCruiseZoneY = -0.32f;
inline constexpr float kCruiseZoneX[3] = {-0.642f, -0.31f, 0.004f};

// STATUS.
inline constexpr Point kStatusText{-0.84f, 0.36f};
inline constexpr float kStatusTextSize = 0.7f;

// DOOR: door symbols (cabin doors 1 to 4, cargo doors 1 and 2).
inline constexpr Quad kCabinDoors[4] = {{-0.1898f, 0.4862f, -0.1282f, 0.5938f},
                                        {0.1398f, 0.4862f, 0.0782f, 0.5938f},
                                        {-0.1898f, -0.2652f, -0.1282f, -0.3728f},
                                        {0.1398f, -0.2652f, 0.0782f, -0.3728f}};
inline constexpr Quad kCargoDoors[2] = {{0.1398f, 0.3962f, 0.0662f, 0.2852f},
                                        {0.1398f, -0.2272f, 0.0662f, -0.1162f}};
// Door texts: a dotted leader beside each door and its label.
struct DoorText {
  Point leader;
  Point label;
  bool cabin;
};
inline constexpr DoorText kDoorTexts[6] = {
    {{-0.4f, 0.523f}, {-0.65f, 0.503f}, true},   {{-0.4f, -0.362f}, {-0.65f, -0.382f}, true},
    {{0.14f, 0.523f}, {0.343f, 0.503f}, true},   {{0.14f, -0.362f}, {0.343f, -0.382f}, true},
    {{0.14f, -0.187f}, {0.31f, -0.216f}, false}, {{0.14f, 0.343f}, {0.31f, 0.314f}, false}};
inline constexpr float kDoorLeaderSize = 1.2f;
inline constexpr float kCabinLabelSize = 1.0f;
inline constexpr float kCargoLabelSize = 0.9f;
inline constexpr Point kOxyLabel{0.36f, 0.75f};
inline constexpr Point kOxyValue{0.41f, 0.75f};
inline constexpr Point kOxyUnit{0.79f, 0.75f};
inline constexpr float kOxySize = 1.0f;

// HYD: low-pressure column overlays, the two pump symbols and the PTU.
inline constexpr Quad kHydGreenLow{-0.7946f, -0.04077f, -0.5864f, 0.62823f};
inline constexpr Quad kHydBlueLow{0.0626f, -0.12477f, -0.1456f, 0.62423f};
inline constexpr Quad kHydYellowLow{0.6626f, -0.04077f, 0.4544f, 0.62823f};
inline constexpr Quad kHydYellowElec{0.5484f, 0.13777f, 0.7776f, 0.27623f};
inline constexpr Quad kHydRat{-0.2216f, 0.07077f, -0.1034f, 0.20123f};
// PTU quad: x from offset + kPtuLeft to offset + kPtuRight.
inline constexpr float kPtuLeft = -0.3516f;
inline constexpr float kPtuRight = 0.5666f;
inline constexpr float kPtuBottom = 0.14077f;
inline constexpr float kPtuTop = 0.34823f;
inline constexpr float kPtuOffsetBalanced = -0.085f;
inline constexpr float kPtuOffsetGreenToYellow = 0.011f;
inline constexpr float kPtuOffsetYellowToGreen = -0.265f;
// Centre of the PTU symbol at the balanced offset; clear of the blue column
// at every offset.
inline constexpr float kPtuSymbolX = 0.31f;
inline constexpr float kHydPressureY = 0.349f;
inline constexpr float kHydPressureX[3] = {-0.83f, -0.18f, 0.423f};  // green, blue, yellow
inline constexpr float kHydPressureSize = 1.4f;
inline constexpr float kHydLabelSize = 0.9f;
inline constexpr Point kHydRatLabel{-0.374f, 0.1f};
inline constexpr Point kHydBlueElecLabel{0.15f, -0.02f};
inline constexpr Point kHydYellowElecLabel{0.74f, 0.27f};
inline constexpr Point kHydPump1{-0.592f, 0.021f};
inline constexpr Point kHydPump2{0.381f, 0.021f};

// WHEEL: gear symbols and door hinges.
inline constexpr Quad kGearLeft{-0.837f, 0.19f, -0.483f, 0.406f};
inline constexpr Quad kGearNose{-0.197f, 0.466f, 0.157f, 0.682f};
inline constexpr Quad kGearRight{0.52f, 0.19f, 0.874f, 0.406f};
inline constexpr float kGearDoorHalfWidth = 0.00577f;
inline constexpr Point kDoorHingeLeft{-0.47f, 0.475f};  // door runs -x from its hinge
inline constexpr Point kDoorHingeRight{0.5f, 0.475f};   // door runs +x
inline constexpr float kMainDoorLength = 0.308f;
inline constexpr Point kDoorHingeNoseLeft{-0.143f, 0.763f};   // door runs +x
inline constexpr Point kDoorHingeNoseRight{0.157f, 0.763f};   // door runs -x
inline constexpr float kNoseDoorLength = 0.146f;
inline constexpr float kBrakeY = -0.08f;
inline constexpr float kBrakeX[4] = {-0.85f, -0.49f, 0.355f, 0.745f};
inline constexpr float kBrakeSize = 1.0f;
inline constexpr float kBrakeSignY = -0.074f;
inline constexpr float kBrakeSignX[4] = {-0.891f, -0.531f, 0.313f, 0.705f};

// F/CTL: spoiler columns (the quad's y is value + low .. value + high), the
// surface markers and the rudder. A spoiler shows only above its rest line.
struct Spoiler {
  float x0, x1, low, high;
};
inline constexpr Spoiler kSpoilers[10] = {
    {-0.71246f, -0.62754f, 0.25231f, 0.56769f}, {-0.58346f, -0.49854f, 0.27231f, 0.58769f},
    {-0.45046f, -0.36554f, 0.28431f, 0.59969f}, {-0.32546f, -0.24054f, 0.30231f, 0.61769f},
    {-0.20046f, -0.11554f, 0.31631f, 0.63169f}, {0.11654f, 0.20146f, 0.31631f, 0.63169f},
    {0.24354f, 0.32846f, 0.30231f, 0.61769f},   {0.36854f, 0.45346f, 0.28431f, 0.59969f},
    {0.49854f, 0.58346f, 0.27231f, 0.58769f},   {0.62854f, 0.71346f, 0.25231f, 0.56769f}};
inline constexpr float kSpoilerTravel = 0.26f;  // highest extension the window shows
// Surface markers at rest (add the surface value to y).
inline constexpr Quad kLeftAileron{-0.61677f, 0.1456f, -0.55523f, 0.1844f};
inline constexpr Quad kRightAileron{0.62577f, 0.1456f, 0.56423f, 0.1844f};
inline constexpr Quad kLeftElevator{-0.54077f, -0.2196f, -0.47923f, -0.2584f};
inline constexpr Quad kRightElevator{0.49223f, -0.2196f, 0.55377f, -0.2584f};
inline constexpr float kAileronLimit = 0.15f;
inline constexpr float kElevatorLimit = 0.13f;
// Rudder: drawn in a frame at the pivot turned by the rudder angle.
inline constexpr Point kRudderPivot{0.0f, 0.05f};
inline constexpr Quad kRudder{-0.0577f, -0.296f, 0.0577f, 0.09615f};
inline constexpr float kRudderLimit = 30.0f;
// Scale zero marks, the pitch trim readout and the rudder trim index.
inline constexpr Point kFctlZeroMarks[4] = {{-0.65f, 0.138f}, {-0.572f, -0.266f}, {0.602f, 0.138f}, {0.526f, -0.266f}};
inline constexpr float kFctlZeroMarkSize = 0.9f;
inline constexpr Point kTrimDirection{0.02f, 0.1f};
inline constexpr Point kTrimValue{-0.159f, 0.098f};
inline constexpr float kTrimSize = 1.0f;
inline constexpr Point kRudderIndex{-0.011f, -0.26f};
inline constexpr float kRudderIndexSize = 0.7f;

}  // namespace sdgeo
