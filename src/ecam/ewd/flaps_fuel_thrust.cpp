// Flap and slat indicator, fuel on board and thrust mode of the upper ECAM.
#include <GL/gl.h>

#include <cmath>

#include "ecam/draw/primitives.h"
#include "ecam/ewd/engine_warning_display.h"
#include "ecam/ewd/ewd_geometry.h"

namespace ewd {

namespace {

constexpr float kTextSize = 0.9f;
constexpr float kTextZ = -0.8f;
constexpr float kSymbolZ = -0.52f;
constexpr float kOutlineZ = -0.51f;

using Triangle = std::array<Point, 3>;

// Triangles at each detent; neighbouring detents share a row where that
// surface does not move between them.
constexpr Triangle kFlapRow01 = {{{0.55316f, 0.05311f}, {0.62813f, 0.05311f}, {0.57314f, 0.0881f}}};
constexpr Triangle kFlapAt[kFlapDetents] = {
    kFlapRow01,
    kFlapRow01,
    {{{0.63581f, 0.05406f}, {0.7106f, 0.04858f}, {0.65834f, 0.0875f}}},
    {{{0.73259f, 0.00981f}, {0.80483f, -0.01064f}, {0.76135f, 0.038f}}},
    {{{0.78278f, -0.04596f}, {0.84108f, -0.09318f}, {0.82032f, -0.03135f}}},
    {{{0.81634f, -0.12593f}, {0.86265f, -0.18494f}, {0.85618f, -0.12008f}}},
};
constexpr Triangle kSlatRow12 = {{{0.383f, 0.0539f}, {0.36038f, 0.08731f}, {0.31814f, 0.04903f}}};
constexpr Triangle kSlatRow34 = {{{0.35044f, 0.0056f}, {0.31753f, 0.02914f}, {0.29138f, -0.02153f}}};
constexpr Triangle kSlatAt[kFlapDetents] = {
    {{{0.47188f, 0.05311f}, {0.45188f, 0.08814f}, {0.40688f, 0.05311f}}},
    kSlatRow12,
    kSlatRow12,
    kSlatRow34,
    kSlatRow34,
    {{{0.3159f, -0.0512f}, {0.27571f, -0.04815f}, {0.2793f, -0.10503f}}},
};
// Which surface runs in the segment from detent i to i + 1.
constexpr bool kSlatsMove[kFlapDetents - 1] = {true, false, true, false, true};
constexpr bool kFlapsMove[kFlapDetents - 1] = {false, true, true, true, true};

constexpr Point kFlapTrackStart = {0.55316f, 0.05311f};
constexpr Point kFlapTrackEnd = {0.69998f, 0.01896f};
constexpr Point kSlatTrackStart = {0.47188f, 0.05311f};
constexpr Point kSlatTrackEnd = {0.35044f, 0.0056f};

constexpr Triangle kSlatOutline0 = {{{0.42091f, 0.07188f}, {0.45625f, 0.0594f}, {0.45625f, 0.08435f}}};
constexpr Triangle kSlatOutline12 = {{{0.3429f, 0.03624f}, {0.30625f, 0.04375f}, {0.33949f, 0.0609f}}};
constexpr Triangle kSlatOutline34 = {{{0.31865f, -0.02821f}, {0.28125f, -0.03125f}, {0.30848f, -0.00541f}}};
constexpr Triangle kSlatOutline5 = {{{0.31033f, -0.10653f}, {0.275f, -0.11875f}, {0.29473f, -0.0871f}}};
constexpr Triangle kFlapOutline01 = {{{0.56875f, 0.0594f}, {0.6041f, 0.07188f}, {0.56875f, 0.08435f}}};
constexpr Triangle kFlapOutline2 = {{{0.68868f, 0.03629f}, {0.725f, 0.04375f}, {0.6897f, 0.06125f}}};
constexpr Triangle kFlapOutline3 = {{{0.78185f, -0.0207f}, {0.81875f, -0.01875f}, {0.78893f, 0.00323f}}};
constexpr Triangle kFlapOutline4 = {{{0.8115f, -0.0987f}, {0.85f, -0.10625f}, {0.82483f, -0.07879f}}};
constexpr Triangle kFlapOutline5 = {{{0.83115f, -0.18538f}, {0.86875f, -0.2f}, {0.84819f, -0.16858f}}};

// The positions being approached from segment i, by direction of travel.
struct Targets {
  const Triangle* first;
  const Triangle* second;
};
constexpr Targets kExtending[kFlapDetents - 1] = {
    {&kSlatOutline12, nullptr}, {&kFlapOutline2, nullptr}, {&kFlapOutline3, &kSlatOutline34},
    {&kFlapOutline4, nullptr},  {&kFlapOutline5, &kSlatOutline5},
};
constexpr Targets kRetracting[kFlapDetents - 1] = {
    {&kSlatOutline0, nullptr}, {&kFlapOutline01, nullptr}, {&kFlapOutline2, &kSlatOutline12},
    {&kFlapOutline3, nullptr}, {&kFlapOutline4, &kSlatOutline34},
};

constexpr const char* kDetentNames[kFlapDetents] = {"0", "1", "1+F", "2", "3", "FULL"};

int clampDetent(int detent) { return detent < 0 ? 0 : (detent >= kFlapDetents ? kFlapDetents - 1 : detent); }

Triangle blend(const Triangle& from, const Triangle& to, float t) {
  Triangle r;
  for (int k = 0; k < 3; ++k) {
    r[k].x = (1.0f - t) * from[k].x + t * to[k].x;
    r[k].y = (1.0f - t) * from[k].y + t * to[k].y;
  }
  return r;
}

void vertex(const Point& p) { glVertex3f(p.x, p.y, kSymbolZ); }

void lineLoop(const Triangle& t, float z) {
  glBegin(GL_LINE_LOOP);
  for (const Point& p : t) glVertex3f(p.x, p.y, z);
  glEnd();
}

void cover(const ewdgeo::Rect& r) {
  glBegin(GL_POLYGON);
  glVertex3f(r.x0, r.y0, kOutlineZ);
  glVertex3f(r.x1, r.y0, kOutlineZ);
  glVertex3f(r.x1, r.y1, kOutlineZ);
  glVertex3f(r.x0, r.y1, kOutlineZ);
  glEnd();
}

void detentLabel(const EngineWarningDisplay& d, int detent, std::int32_t colour) {
  const int i = clampDetent(detent);
  const float x = i == 2 ? 0.435f : (i == 5 ? 0.415f : 0.485f);
  DrawText(d.font(), kDetentNames[i], colour, kTextSize, x, -0.11f, kTextZ);
}

}  // namespace

const char* detentName(int detent) { return kDetentNames[clampDetent(detent)]; }

FlapSettings flapSettings(const InstrumentContext& ctx) {
  FlapSettings s{};
  for (int k = 0; k < kFlapDetents; ++k) s[std::size_t(k)] = ctx.flapsSetting(k);
  return s;
}

// A value below FLAPS_0 (or NaN) reaches no detent: it is shown as travelling
// in segment 0 with both symbols held at detent 0. Unordered settings need no
// extra handling: i is the last detent reached, so whenever the value lies
// between detents FLAPS_i <= f < FLAPS_(i+1), and t stays inside 0 to 1.
FlapFrame flapFrame(float value, const FlapSettings& settings) {
  FlapFrame fr;
  fr.value = value;
  fr.settings = settings;
  for (int k = 0; k < kFlapDetents; ++k) {
    if (value >= settings[std::size_t(k)]) {
      fr.detent = k;
      if (value == settings[std::size_t(k)]) fr.atDetent = true;
    }
  }
  return fr;
}

void updateFlapMotion(EngineWarningDisplay& d, const FlapFrame& frame) {
  if (frame.atDetent)
    d.flapMotion = 0;
  else if (frame.value > d.previousFlap)
    d.flapMotion = 1;
  else if (frame.value < d.previousFlap)
    d.flapMotion = -1;
  d.previousFlap = frame.value;
}

FlapSymbols flapSymbols(const FlapFrame& frame) {
  const int i = clampDetent(frame.detent);
  FlapSymbols s;
  s.flap = kFlapAt[i];
  s.slat = kSlatAt[i];
  if (!frame.atDetent && i < kFlapDetents - 1) {
    const float from = frame.settings[std::size_t(i)];
    const float to = frame.settings[std::size_t(i) + 1];
    float t = (frame.value - from) / (to - from);
    // Below FLAPS_0, infinite settings and NaN would leave the track.
    if (!(t >= 0.0f)) t = 0.0f;
    if (t > 1.0f) t = 1.0f;
    if (kFlapsMove[i]) s.flap = blend(kFlapAt[i], kFlapAt[i + 1], t);
    if (kSlatsMove[i]) s.slat = blend(kSlatAt[i], kSlatAt[i + 1], t);
  }
  s.flapAnchor = i <= 2 ? kFlapTrackStart : kFlapTrackEnd;
  s.slatAnchor = (i == 5 || (i == 4 && !frame.atDetent)) ? kSlatTrackEnd : kSlatTrackStart;
  return s;
}

void drawFlapIndicator(const EngineWarningDisplay& d, const FlapFrame& frame) {
  const int i = clampDetent(frame.detent);
  if (!(frame.value > 0.0f)) {
    glColor3f(0.0f, 0.0f, 0.0f);
    cover(ewdgeo::kSlatCover);
    cover(ewdgeo::kFlapCover);
  }

  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_LINE_SMOOTH);
  glLineWidth(1.5f);
  if (frame.value != 0.0f && !frame.atDetent && i < kFlapDetents - 1 && (d.flapMotion == 1 || d.flapMotion == -1)) {
    const Targets& t = d.flapMotion == 1 ? kExtending[i] : kRetracting[i];
    glColor3f(0.0f, 0.6f, 0.8f);
    lineLoop(*t.first, kOutlineZ);
    if (t.second) lineLoop(*t.second, kOutlineZ);
  }
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_BLEND);

  const FlapSymbols s = flapSymbols(frame);
  glEnable(GL_BLEND);
  glEnable(GL_LINE_SMOOTH);
  glLineWidth(2.0f);
  glColor3f(0.4f, 0.8f, 0.0f);
  glBegin(GL_LINES);
  if (i >= 3) {
    vertex(kFlapTrackStart);
    vertex(kFlapTrackEnd);
  }
  if (i >= 4 && !(i == 4 && frame.atDetent)) {
    vertex(kSlatTrackStart);
    vertex(kSlatTrackEnd);
  }
  vertex(s.flapAnchor);
  vertex(s.flap[0]);
  glEnd();
  lineLoop(s.flap, kSymbolZ);
  glBegin(GL_LINES);
  vertex(s.slatAnchor);
  vertex(s.slat[0]);
  glEnd();
  lineLoop({s.slat[0], s.slat[2], s.slat[1]}, kSymbolZ);
  glDisable(GL_LINE_SMOOTH);
  glDisable(GL_BLEND);
}

void drawFlapText(const EngineWarningDisplay& d, const FlapFrame& frame) {
  if (frame.value == 0.0f) return;
  const int i = clampDetent(frame.detent);
  if (frame.atDetent) {
    DrawText(d.font(), "FLAP", 0, kTextSize, 0.415f, 0.11f, kTextZ);
    detentLabel(d, i, 2);
  } else {
    DrawText(d.font(), "FLAP", 1, kTextSize, 0.415f, 0.11f, kTextZ);
    if (i < kFlapDetents - 1) {
      if (d.flapMotion == 1) detentLabel(d, i + 1, 1);
      if (d.flapMotion == -1) detentLabel(d, i, 1);
    }
  }
  DrawText(d.font(), "S", 2, kTextSize, 0.25f, 0.11f, kTextZ);
  DrawText(d.font(), "F", 2, kTextSize, 0.75f, 0.11f, kTextZ);
}

void drawFuelOnBoard(const EngineWarningDisplay& d, float fuelOnBoard, bool kg) {
  DrawText(d.font(), "FOB:", 0, kTextSize, 0.25f, 0.28f, kTextZ);
  // The low 32 bits, as every rounded readout.
  DrawNumber(d.font(), static_cast<std::int32_t>(RoundNearest(fuelOnBoard)), 5, 0, 1, 2, kTextSize, 0.45f, 0.28f,
             kTextZ);
  DrawText(d.font(), kg ? "KG" : "LBS", 1, kTextSize, 0.68f, 0.28f, kTextZ);
}

ThrustMode thrustMode(float leverPercent) {
  // NaN fails every comparison and falls through to IDLE.
  if (leverPercent > 95.0f) return {"TO-GA", 101};
  if (leverPercent > 92.0f) return {"FLX", 95};
  if (leverPercent > 1.0f) return {"CL", 92};
  return {"IDLE", 0};
}

void drawThrustMode(const EngineWarningDisplay& d, const ThrustMode& mode) {
  DrawText(d.font(), mode.text, 0, kTextSize, 0.25f, 0.53f, kTextZ);
  if (mode.limit > 0) {
    DrawNumber(d.font(), mode.limit, 3, 0, 1, 2, kTextSize, 0.52f, 0.53f, kTextZ);
    DrawText(d.font(), "%", 1, kTextSize, 0.68f, 0.53f, kTextZ);
  }
}

}  // namespace ewd
