// Preloaded into a320-display by bench_program: counts render passes (each
// ends in one glFinish) and keeps the count, as text, in the file named by
// A320_FRAME_COUNT_FILE, so that processor time can be shown per frame.
#include <GL/gl.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

extern "C" void glFinish() {
  using Finish = void (*)();
  static Finish real = reinterpret_cast<Finish>(dlsym(RTLD_NEXT, "glFinish"));
  static int fd = [] {
    const char* path = std::getenv("A320_FRAME_COUNT_FILE");
    return path ? open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644) : -1;
  }();
  static unsigned long frames = 0;
  if (real) real();
  ++frames;
  if (fd >= 0) {
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%-20lu\n", frames);
    if (pwrite(fd, text, std::size_t(n), 0) != n) {
      close(fd);
      fd = -1;
    }
  }
}
