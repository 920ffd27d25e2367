#include "platform/egl_offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

namespace platform {

std::unique_ptr<EglOffscreenSurface> EglOffscreenSurface::create(int width, int height, std::string* error) {
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + " (EGL error 0x" + [] {
      char b[16];
      std::snprintf(b, sizeof b, "%x", unsigned(eglGetError()));
      return std::string(b);
    }() + "); is Mesa's EGL (libegl-mesa0, libgl1-mesa-dri) installed?";
    return std::unique_ptr<EglOffscreenSurface>();
  };
  if (width <= 0 || height <= 0) return fail("offscreen size must be positive");
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) return fail("eglGetPlatformDisplayEXT is not available");
  EGLDisplay dpy = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (dpy == EGL_NO_DISPLAY) return fail("no surfaceless EGL display");
  EGLint major = 0, minor = 0;
  if (!eglInitialize(dpy, &major, &minor)) return fail("eglInitialize failed");
  if (!eglBindAPI(EGL_OPENGL_API)) return fail("desktop OpenGL is not offered by EGL");
  const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                  EGL_RED_SIZE,     8,               EGL_GREEN_SIZE,      8,
                                  EGL_BLUE_SIZE,    8,               EGL_ALPHA_SIZE,      8,
                                  EGL_DEPTH_SIZE,   16,              EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (!eglChooseConfig(dpy, configAttribs, &config, 1, &count) || count < 1)
    return fail("no EGL config with a 16-bit depth buffer");
  const EGLint contextAttribs[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                   EGL_NONE};
  EGLContext ctx = eglCreateContext(dpy, config, EGL_NO_CONTEXT, contextAttribs);
  if (ctx == EGL_NO_CONTEXT) return fail("eglCreateContext failed");
  const EGLint pbufferAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLSurface surf = eglCreatePbufferSurface(dpy, config, pbufferAttribs);
  if (surf == EGL_NO_SURFACE) {
    eglDestroyContext(dpy, ctx);
    return fail("eglCreatePbufferSurface failed");
  }
  std::unique_ptr<EglOffscreenSurface> s(new EglOffscreenSurface());
  s->display_ = dpy;
  s->context_ = ctx;
  s->surface_ = surf;
  s->width_ = width;
  s->height_ = height;
  if (!s->makeCurrent()) return fail("eglMakeCurrent failed");
  return s;
}

EglOffscreenSurface::~EglOffscreenSurface() {
  if (!display_) return;
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroySurface(display_, surface_);
  eglDestroyContext(display_, context_);
  // The display is shared process-wide by Mesa; leave it initialised so that
  // later surfaces in the same process do not pay for a new one.
}

bool EglOffscreenSurface::makeCurrent() { return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE; }

void EglOffscreenSurface::swapBuffers() { eglSwapBuffers(display_, surface_); }

std::vector<std::uint8_t> EglOffscreenSurface::readPixelsTopDown() const {
  std::vector<std::uint8_t> bottomUp(std::size_t(width_) * height_ * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  std::vector<std::uint8_t> out(bottomUp.size());
  const std::size_t row = std::size_t(width_) * 4;
  for (int y = 0; y < height_; ++y)
    std::copy_n(&bottomUp[std::size_t(height_ - 1 - y) * row], row, &out[std::size_t(y) * row]);
  return out;
}

}  // namespace platform
