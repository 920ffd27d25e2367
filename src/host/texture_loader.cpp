#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstring>

#include "host/instrument_window.h"
#include "platform/bmp.h"

bool InstrumentWindow::loadTexture(const char* fileName, GLuint& textureName) {
  if (!fileName) return false;
  std::string path = fileName;
  for (char& c : path)
    if (c == '\\') c = '/';
  if (path.rfind("Data/", 0) == 0) path = dataDir_ + path.substr(4);

  platform::Bitmap24 bitmap;
  if (!platform::loadBmp24(path, bitmap)) return false;
  if (textureName != 0) return false;  // a texture name is filled only once

  glGenTextures(1, &textureName);
  glBindTexture(GL_TEXTURE_2D, textureName);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, bitmap.width, bitmap.height, GL_BGR_EXT, GL_UNSIGNED_BYTE, bitmap.rows.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  return true;
}
