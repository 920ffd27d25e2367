#pragma once
#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

// One texture file: its name under Data/, its size in pixels, and how to
// paint it. Painting happens top row first (Cairo's way); the writer stores
// the bottom row first so that texture t = 0 is the picture's bottom edge.
struct ArtFile {
  std::string name;  // for example "01240000.tex"
  int width = 0;
  int height = 0;
  std::function<void(cairo_t*, int width, int height)> paint;
};

namespace art {

// Chooses the B612 cockpit font (bold or regular) at the given pixel size.
void font(cairo_t* cr, double size, bool bold = true);
// Monospaced variant for digit columns.
void monoFont(cairo_t* cr, double size, bool bold = true);
// Text whose ink box is centred on (cx, cy).
void centredText(cairo_t* cr, double cx, double cy, const std::string& text);
// Text whose baseline starts at (x, y), aligned left, centre or right (0, 0.5, 1).
void alignedText(cairo_t* cr, double x, double y, const std::string& text, double align);

void rgb(cairo_t* cr, unsigned hex);  // 0xRRGGBB

// For a masked picture: the mask is multiplied into the frame (white keeps,
// black cuts a hole) and the colour picture is added into the hole. Both are
// painted from the same shape so that they line up to the pixel.
using Shape = std::function<void(cairo_t*, int width, int height)>;
ArtFile maskOf(const std::string& name, int width, int height, Shape shape);
ArtFile colourOf(const std::string& name, int width, int height, Shape shape);

// Paints the file into a 24-bit BMP under dir; false with a message on error.
bool write(const ArtFile& file, const std::string& dir, std::string& error);

// The cockpit colours the pictures use.
inline constexpr unsigned kGreen = 0x19e619;
inline constexpr unsigned kAmber = 0xff9c00;
inline constexpr unsigned kRed = 0xff2020;
inline constexpr unsigned kWhite = 0xf2f2f2;
inline constexpr unsigned kCyan = 0x29d9f2;
inline constexpr unsigned kMagenta = 0xe040e0;
inline constexpr unsigned kGrey = 0x8c8c8c;

}  // namespace art

// Each instrument family adds its files here.
void addClockArt(std::vector<ArtFile>& files);
void addEcamFontArt(std::vector<ArtFile>& files);
void addEngineDisplayArt(std::vector<ArtFile>& files);
void addSystemDisplayArt(std::vector<ArtFile>& files);
void addAirspeedArt(std::vector<ArtFile>& files);
void addAttitudeArt(std::vector<ArtFile>& files);
void addAltitudeArt(std::vector<ArtFile>& files);
void addRmiArt(std::vector<ArtFile>& files);
