#pragma once
#include <string>

namespace platform {

// Where the render pass draws: a real window or an offscreen buffer.
class GlSurface {
 public:
  virtual ~GlSurface() = default;
  virtual bool makeCurrent() = 0;
  virtual void swapBuffers() = 0;
  virtual int width() const = 0;
  virtual int height() const = 0;
};

}  // namespace platform
