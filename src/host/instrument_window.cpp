#include "host/instrument_window.h"

#include <GL/gl.h>

#include <cmath>

#include "instruments/factory.h"
#include "instruments/saturate.h"
#include "platform/message_box.h"

namespace {

constexpr Placement kDefaults[kSlotCount] = {
    {650, -15, 550, 550, 1, 0}, {30, 30, 480, 480, 1, 1},   {70, 650, 200, 200, 1, 2},  {290, 650, 200, 200, 1, 3},
    {520, 650, 200, 200, 1, 4}, {750, 650, 200, 200, 1, 5}, {980, 650, 200, 200, 1, 6},
};

bool inMask(std::uint32_t mask, int slot) { return (mask >> slot) & 1u; }

// Records come from a file an operator may edit; a step at the end of the
// range stays there instead of overflowing.
void step(std::int32_t& v, int delta) {
  const std::int64_t r = std::int64_t(v) + delta;
  v = r > INT32_MAX ? INT32_MAX : r < INT32_MIN ? INT32_MIN : std::int32_t(r);
}

}  // namespace

InstrumentWindow::InstrumentWindow(float windowScale, SurfaceFactory makeSurface)
    : windowScale_(windowScale), makeSurface_(std::move(makeSurface)) {}

InstrumentWindow::~InstrumentWindow() {
  if (surface_) surface_->makeCurrent();  // instruments delete their textures
  for (int slot = 0; slot < kSlotCount; ++slot) destroySlot(slot);
  surface_.reset();
}

bool InstrumentWindow::create(int x, int y, int width, int height) {
  if (created_ || !makeSurface_) return false;
  surface_ = makeSurface_(x, y, width, height);
  if (!surface_ || !surface_->makeCurrent()) {
    surface_.reset();
    return false;
  }
  created_ = true;
  clientHeight_ = surface_->height();
  clientWidth_ = surface_->width();
  const GLubyte* version = glGetString(GL_VERSION);
  statusText_ = version ? reinterpret_cast<const char*>(version) : "";
  instruments_.fill(nullptr);
  frame_ = FlightDataBlock{};
  const FlightDataBlock zeros{};
  exchange_.publish(zeros.bytes.data());
  return true;
}

Placement InstrumentWindow::defaultPlacement(int slot) {
  return slot >= 0 && slot < kSlotCount ? kDefaults[slot] : Placement{};
}

Instrument* InstrumentWindow::instrument(int slot) const {
  return slot >= 0 && slot < kSlotCount ? instruments_[slot] : nullptr;
}

bool InstrumentWindow::instrumentFactory(int slot, std::int32_t type) {
  if (slot < 0 || slot >= kSlotCount || instruments_[slot]) return false;
  if (std::uint32_t(type) >= std::uint32_t(kInstrumentTypeCount)) return false;
  Instrument* made = instruments::construct(type, *this);
  // A type whose instrument this build does not have leaves the slot empty.
  if (!made) return false;
  instruments_[slot] = made;
  if (!instruments::initialise(*made, frame_))
    platform::showError(std::string(instrumentIdentifier(type)) + ": Error - Data File missing!");
  return true;
}

bool InstrumentWindow::destroySlot(int slot) {
  if (slot < 0 || slot >= kSlotCount) return false;
  Instrument* in = instruments_[slot];
  if (!in) return true;
  if (std::uint32_t(in->type()) >= std::uint32_t(kInstrumentTypeCount)) return false;
  delete in;
  instruments_[slot] = nullptr;
  return true;
}

bool InstrumentWindow::setType(int slot, std::int32_t type) {
  if (slot < 0 || slot >= kSlotCount) return true;
  if (placements_[slot].type == type) return true;
  destroySlot(slot);
  instrumentFactory(slot, type);
  placements_[slot].type = type;
  return true;
}

Placement InstrumentWindow::getPlacement(std::uint32_t slotMask) const {
  for (int slot = 0; slot < kSlotCount; ++slot)
    if (slotMask == (1u << slot)) return placements_[slot];
  return Placement{};
}

void InstrumentWindow::setPlacement(const Placement& record, std::uint32_t slotMask) {
  for (int slot = 0; slot < kSlotCount; ++slot)
    if (inMask(slotMask, slot)) placements_[slot] = record;
}

void InstrumentWindow::setVisible(std::uint32_t slotMask, std::int32_t value) {
  for (int slot = 0; slot < kSlotCount; ++slot)
    if (inMask(slotMask, slot)) placements_[slot].visible = value;
}

void InstrumentWindow::scalePlacements(float factor) {
  for (Placement& p : placements_) {
    p.x = scaleTrunc(p.x, factor);
    p.y = scaleTrunc(p.y, factor);
    p.width = scaleTrunc(p.width, factor);
    p.height = scaleTrunc(p.height, factor);
  }
}

void InstrumentWindow::resetToDefaults(std::uint32_t slotMask) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!inMask(slotMask, slot)) continue;
    Placement d = kDefaults[slot];
    if (placements_[slot].type != d.type) {
      destroySlot(slot);
      instrumentFactory(slot, d.type);
    }
    d.x = scaleTrunc(d.x, windowScale_);
    d.y = scaleTrunc(d.y, windowScale_);
    d.width = scaleTrunc(d.width, windowScale_);
    d.height = scaleTrunc(d.height, windowScale_);
    placements_[slot] = d;
  }
}

bool InstrumentWindow::adjust(int command, std::uint32_t slotMask) {
  switch (command) {
    case 'd': case 'h': case 'l': case 'r': case 'g': case 'k': break;
    default: return false;
  }
  const double m = 24.0 * windowScale_;
  const double w = clientWidth_, h = clientHeight_;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!inMask(slotMask, slot)) continue;
    Placement& p = placements_[slot];
    // Compare in floating point: the sums may not fit 32 bits.
    const double x = p.x, y = p.y, pw = p.width, ph = p.height;
    const bool left = x > -m, right = x + pw < w + m, down = y > -m, up = y + ph < h + m;
    switch (command) {
      case 'd': if (down) step(p.y, -1); break;
      case 'h': if (up) step(p.y, 1); break;
      case 'l': if (left) step(p.x, -1); break;
      case 'r': if (right) step(p.x, 1); break;
      case 'g':
        if (left && right && down && up) {
          step(p.x, -1); step(p.y, -1); step(p.width, 2); step(p.height, 2);
        }
        break;
      case 'k':
        if (p.width > 50 && p.height > 50) {
          step(p.x, 1); step(p.y, 1); step(p.width, -2); step(p.height, -2);
        }
        break;
    }
  }
  return true;
}

float InstrumentWindow::flapsSetting(int index) const {
  return index >= 0 && index < int(flaps_.size()) ? flaps_[std::size_t(index)] : 0.0f;
}

void InstrumentWindow::setFlapsSetting(int index, float value) {
  if (index >= 0 && index < int(flaps_.size())) flaps_[std::size_t(index)] = value;
}

bool InstrumentWindow::renderPass() {
  if (!surface_) return true;
  surface_->makeCurrent();
  // One whole datagram for the whole frame.
  exchange_.take(frame_);

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDepthFunc(GL_LEQUAL);
  glDepthRange(0, 1);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_COLOR_MATERIAL);

  for (int slot = 0; slot < kSlotCount; ++slot)
    if (instruments_[slot]) instruments::draw(*instruments_[slot], frame_, placements_[slot]);

  drawOutline();
  glFlush();
  glFinish();
  surface_->swapBuffers();
  return true;
}

void InstrumentWindow::drawOutline() const {
  // A black frame 4 pixels wide centred on the lines x = 2, y = 2 (from the
  // top) and the right and bottom edges, so 4 pixels show on the left and
  // top and 2 on the right and bottom.
  const int w = surface_->width(), h = surface_->height();
  if (w <= 0 || h <= 0) return;
  glViewport(0, 0, w, h);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glColor3f(0, 0, 0);
  auto rect = [&](double x0, double y0, double x1, double y1) {  // pixels, y up
    glRectd(2 * x0 / w - 1, 2 * y0 / h - 1, 2 * x1 / w - 1, 2 * y1 / h - 1);
  };
  rect(0, 0, 4, h);
  rect(0, h - 4, w, h);
  rect(w - 2, 0, w, h);
  rect(0, 0, w, 2);
  glEnable(GL_DEPTH_TEST);
  glColor3f(1, 1, 1);
}
