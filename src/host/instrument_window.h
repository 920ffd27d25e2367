#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/flight_data_exchange.h"
#include "instruments/instrument.h"
#include "platform/gl_surface.h"

// The one window all instruments draw into: seven slots, each with a
// placement and at most one instrument, the display settings the
// instruments read, and the render pass.
class InstrumentWindow final : public InstrumentContext {
 public:
  using SurfaceFactory = std::function<std::unique_ptr<platform::GlSurface>(int x, int y, int w, int h)>;

  InstrumentWindow(float windowScale, SurfaceFactory makeSurface);
  ~InstrumentWindow();
  InstrumentWindow(const InstrumentWindow&) = delete;
  InstrumentWindow& operator=(const InstrumentWindow&) = delete;

  bool create(int x, int y, int width, int height);
  bool created() const { return created_; }
  const std::string& statusText() const { return statusText_; }
  platform::GlSurface* surface() const { return surface_.get(); }

  // Slots.
  bool instrumentFactory(int slot, std::int32_t type);
  bool destroySlot(int slot);
  bool setType(int slot, std::int32_t type);
  Placement getPlacement(std::uint32_t slotMask) const;
  void setPlacement(const Placement& record, std::uint32_t slotMask);
  void setVisible(std::uint32_t slotMask, std::int32_t value);
  void scalePlacements(float factor);
  void resetToDefaults(std::uint32_t slotMask);
  bool adjust(int command, std::uint32_t slotMask);
  Instrument* instrument(int slot) const;
  static Placement defaultPlacement(int slot);

  // From the Receive thread (or anyone): a whole new block.
  void setData(const std::uint8_t* bytes) { exchange_.publish(bytes); }
  FlightDataExchange& exchange() { return exchange_; }
  // The block the last frame was drawn from.
  const FlightDataBlock& frameBlock() const { return frame_; }

  bool renderPass();

  // Display settings.
  float rotationAngle() const override { return rotation_; }
  void setRotationAngle(float degrees) { rotation_ = degrees; }
  std::int32_t weightUnitKg() const override { return weightUnitKg_; }
  void setWeightUnitKg(std::int32_t v) { weightUnitKg_ = v; }
  float flapsSetting(int index) const override;
  void setFlapsSetting(int index, float value);
  bool foreground() const { return foreground_; }
  void setForeground(bool f) { foreground_ = f; }
  float windowScale() const { return windowScale_; }

  // Textures come from dataDir + the part after "Data/" of the file name;
  // by default the Data folder of the working directory.
  bool loadTexture(const char* fileName, GLuint& textureName) override;
  const TextureCoverage* textureCoverage(GLuint textureName) const override;
  void setDataDir(std::string dir) { dataDir_ = std::move(dir); }

 private:
  void drawOutline() const;

  std::array<float, 6> flaps_{0.0f, 3.0f, 15.0f, 25.0f, 30.0f, 40.0f};
  bool foreground_ = true;
  std::string statusText_;
  float rotation_ = 0.0f;
  std::int32_t weightUnitKg_ = 1;
  bool created_ = false;
  FlightDataExchange exchange_;
  FlightDataBlock frame_{};
  std::array<Placement, kSlotCount> placements_{};
  float windowScale_;
  int clientHeight_ = 0;
  int clientWidth_ = 0;
  std::array<Instrument*, kSlotCount> instruments_{};
  SurfaceFactory makeSurface_;
  std::unique_ptr<platform::GlSurface> surface_;
  std::string dataDir_ = "Data";
  // Indexed by texture name; filled when a texture is loaded.
  std::vector<TextureCoverage> coverage_;
};
