#include "art.h"

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/bmp.h"

namespace art {

void font(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, "B612", CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

void monoFont(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, "B612 Mono", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

void centredText(cairo_t* cr, double cx, double cy, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_move_to(cr, cx - e.x_bearing - e.width / 2, cy - e.y_bearing - e.height / 2);
  cairo_show_text(cr, text.c_str());
}

void alignedText(cairo_t* cr, double x, double y, const std::string& text, double align) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_move_to(cr, x - e.x_advance * align, y);
  cairo_show_text(cr, text.c_str());
}

void rgb(cairo_t* cr, unsigned hex) {
  cairo_set_source_rgb(cr, ((hex >> 16) & 255) / 255.0, ((hex >> 8) & 255) / 255.0, (hex & 255) / 255.0);
}

ArtFile maskOf(const std::string& name, int width, int height, Shape shape) {
  return {name, width, height, [shape](cairo_t* cr, int w, int h) {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            // The shape's coverage (its alpha on a clear group) becomes the
            // darkness of the mask, so edges match the colour picture.
            cairo_push_group_with_content(cr, CAIRO_CONTENT_COLOR_ALPHA);
            shape(cr, w, h);
            cairo_pattern_t* coverage = cairo_pop_group(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_mask(cr, coverage);
            cairo_pattern_destroy(coverage);
          }};
}

ArtFile colourOf(const std::string& name, int width, int height, Shape shape) {
  return {name, width, height, [shape](cairo_t* cr, int w, int h) {
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_paint(cr);
            shape(cr, w, h);
          }};
}

bool write(const ArtFile& file, const std::string& dir, std::string& error) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, file.width, file.height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    error = file.name + ": cannot make a " + std::to_string(file.width) + "x" + std::to_string(file.height) + " picture";
    cairo_surface_destroy(s);
    return false;
  }
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  file.paint(cr, file.width, file.height);
  cairo_destroy(cr);
  cairo_surface_flush(s);

  const unsigned char* d = cairo_image_surface_get_data(s);
  const int cstride = cairo_image_surface_get_stride(s);
  const int stride = platform::bmpStride(file.width);
  std::vector<std::uint8_t> rows(std::size_t(stride) * file.height, 0);
  for (int y = 0; y < file.height; ++y) {
    const auto* src = reinterpret_cast<const std::uint32_t*>(d + (file.height - 1 - y) * cstride);
    std::uint8_t* dst = &rows[std::size_t(y) * stride];
    for (int x = 0; x < file.width; ++x) {
      dst[3 * x + 0] = std::uint8_t(src[x]);
      dst[3 * x + 1] = std::uint8_t(src[x] >> 8);
      dst[3 * x + 2] = std::uint8_t(src[x] >> 16);
    }
  }
  cairo_surface_destroy(s);

  const std::vector<std::uint8_t> bmp = platform::encodeBmp24(file.width, file.height, rows);
  const std::string path = dir + "/" + file.name;
  const std::string tmp = path + ".part";
  std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
  if (!out || !out.write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size())) || !out.flush()) {
    error = "cannot write " + tmp + ": " + std::strerror(errno);
    return false;
  }
  out.close();
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    error = "cannot rename " + tmp + " to " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace art
