#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl_surface.h"

namespace platform {

// A desktop OpenGL compatibility context on Mesa's surfaceless platform with
// a pbuffer to draw into: no display server needed.
class EglOffscreenSurface final : public GlSurface {
 public:
  // Returns null and fills error when EGL cannot give us a context.
  static std::unique_ptr<EglOffscreenSurface> create(int width, int height, std::string* error = nullptr);
  ~EglOffscreenSurface() override;

  bool makeCurrent() override;
  void swapBuffers() override;
  int width() const override { return width_; }
  int height() const override { return height_; }

  // RGBA rows, top row first, as a picture file wants them.
  std::vector<std::uint8_t> readPixelsTopDown() const;

 private:
  EglOffscreenSurface() = default;
  void* display_ = nullptr;
  void* context_ = nullptr;
  void* surface_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace platform
