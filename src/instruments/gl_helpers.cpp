#include "instruments/gl_helpers.h"

#include <cmath>
#include <cstdio>

namespace gldraw {

namespace {

// A quad's extent along one axis, cut into cells at texture tile edges
// that fall inside its texture range: cell k runs from pos[k] to
// pos[k + 1] and covers tiles tile[k] to tile[k + 1] - 1. The outer edges
// are the quad's own, so that the cells together cover exactly the pixels
// the whole quad covers.
struct Axis {
  int count = 0;
  float pos[TextureCoverage::kMaxTiles + 1];
  float tex[TextureCoverage::kMaxTiles + 1];
  int tile[TextureCoverage::kMaxTiles + 1];
};

// One cell per tile.
bool cut(double tileSize, int tiles, float p0, float p1, float c0, float c1, Axis& out) {
  if (!(c0 >= 0.0f && c1 <= 1.0f && c0 < c1)) return false;
  int a = int(std::floor(double(c0) / tileSize)), b = int(std::ceil(double(c1) / tileSize)) - 1;
  if (a < 0) a = 0;
  if (b > tiles - 1) b = tiles - 1;
  if (b < a) return false;
  out.count = b - a + 1;
  for (int k = 0; k <= out.count; ++k) {
    out.tile[k] = a + k;
    const double edge = double(a + k) * tileSize;
    out.tex[k] = float(edge);
    out.pos[k] = float(double(p0) + (edge - double(c0)) / (double(c1) - double(c0)) * (double(p1) - double(p0)));
  }
  out.pos[0] = p0;
  out.tex[0] = c0;
  out.pos[out.count] = p1;
  out.tex[out.count] = c1;
  return true;
}

// Every n-th edge of a cut kept: fewer, larger cells.
Axis coarse(const Axis& fine, int n) {
  Axis out;
  out.count = (fine.count + n - 1) / n;
  for (int k = 0; k <= out.count; ++k) {
    const int f = k == out.count ? fine.count : k * n;
    out.pos[k] = fine.pos[f];
    out.tex[k] = fine.tex[f];
    out.tile[k] = fine.tile[f];
  }
  return out;
}

// Whether every tile of a cell is black (or white).
template <class Test>
bool allTiles(const Axis& s, const Axis& t, int i, int j, Test test) {
  for (int row = t.tile[j]; row < t.tile[j + 1]; ++row)
    for (int column = s.tile[i]; column < s.tile[i + 1]; ++column)
      if (!test(column, row)) return false;
  return true;
}

// What a masked picture does to the frame in one cell.
enum class Cell { Nothing, MaskOnly, ColourOnly, Both, Opaque };

Cell maskedCell(const TextureCoverage& mask, const TextureCoverage& picture, const Axis& s, const Axis& t, int i,
                int j) {
  if (allTiles(s, t, i, j, [&](int c, int r) { return mask.black(c, r); })) return Cell::Opaque;
  const bool keeps = allTiles(s, t, i, j, [&](int c, int r) { return mask.white(c, r); });
  const bool adds = !allTiles(s, t, i, j, [&](int c, int r) { return picture.black(c, r); });
  if (keeps) return adds ? Cell::ColourOnly : Cell::Nothing;
  return adds ? Cell::Both : Cell::MaskOnly;
}

struct Grid {
  Axis s, t;
};

// Every quad costs the rasteriser set-up and ragged edges, so cells are
// made no smaller than this on the screen.
constexpr double kMinCellPixels = 8.0;
// And no more of them than this along an axis.
constexpr int kMaxCells = 64;

// Only for a quad the model-view matrix turns by a multiple of 90 degrees:
// turned any other way, cells would meet their neighbours at vertices the
// rasteriser snaps apart and leave hairlines, and a turned picture saves
// too little to pay for its cells.
bool makeGrid(const TextureCoverage& c, float x0, float y0, float x1, float y1, float s0, float t0, float s1,
              float t1, Grid& g) {
  if (!c.known() || !cut(c.tileS(), c.columns(), x0, x1, s0, s1, g.s) || !cut(c.tileT(), c.rows(), y0, y1, t0, t1, g.t))
    return false;
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  auto tiny = [](float v, float against) { return std::fabs(v) <= 1e-6f * std::fabs(against); };
  if (!((tiny(m[1], m[0]) && tiny(m[4], m[5])) || (tiny(m[0], m[1]) && tiny(m[5], m[4])))) return false;
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  // Pixels per drawing unit along the quad's x and y, whichever way they turn.
  const double half[2] = {0.5 * viewport[2], 0.5 * viewport[3]};
  const double perX = std::hypot(m[0] * half[0], m[1] * half[1]);
  const double perY = std::hypot(m[4] * half[0], m[5] * half[1]);
  auto coarsen = [](Axis& a, double pixels) {
    const double cell = pixels / a.count;
    if (cell < kMinCellPixels) a = coarse(a, int(std::ceil(kMinCellPixels / std::max(cell, 1e-3))));
  };
  coarsen(g.s, std::fabs(double(x1) - double(x0)) * perX);
  coarsen(g.t, std::fabs(double(y1) - double(y0)) * perY);
  if (g.s.count > kMaxCells) g.s = coarse(g.s, (g.s.count + kMaxCells - 1) / kMaxCells);
  if (g.t.count > kMaxCells) g.t = coarse(g.t, (g.t.count + kMaxCells - 1) / kMaxCells);
  return true;
}

// Quads over the cells that `take` accepts; texture coordinates only when
// `textured`. Each quad is grown along its row and then down the rows below
// while every cell it would take is accepted.
template <class Take>
void cells(const Grid& g, float z, bool textured, Take take) {
  std::uint64_t used[kMaxCells] = {};
  auto free = [&](int i, int j) { return !((used[j] >> i) & 1u) && take(i, j); };
  bool begun = false;
  for (int j = 0; j < g.t.count; ++j) {
    for (int i = 0; i < g.s.count;) {
      if (!free(i, j)) {
        ++i;
        continue;
      }
      int e = i + 1, k = j + 1;
      while (e < g.s.count && free(e, j)) ++e;
      for (bool whole = true; whole && k < g.t.count; k += whole) {
        for (int c = i; c < e && whole; ++c) whole = free(c, k);
      }
      const std::uint64_t row = (e - i == 64 ? ~std::uint64_t(0) : ((std::uint64_t(1) << (e - i)) - 1)) << i;
      for (int r = j; r < k; ++r) used[r] |= row;
      if (!begun) {
        glBegin(GL_QUADS);
        glNormal3f(0.0f, 0.0f, 1.0f);
        begun = true;
      }
      const float xs[4] = {g.s.pos[i], g.s.pos[e], g.s.pos[e], g.s.pos[i]};
      const float ys[4] = {g.t.pos[j], g.t.pos[j], g.t.pos[k], g.t.pos[k]};
      const float ss[4] = {g.s.tex[i], g.s.tex[e], g.s.tex[e], g.s.tex[i]};
      const float ts[4] = {g.t.tex[j], g.t.tex[j], g.t.tex[k], g.t.tex[k]};
      for (int v = 0; v < 4; ++v) {
        if (textured) glTexCoord2f(ss[v], ts[v]);
        glVertex3f(xs[v], ys[v], z);
      }
      i = e;
    }
  }
  if (begun) glEnd();
}

}  // namespace

bool beginInstrument(const Placement& p) {
  if (p.visible == 0) return false;
  glViewport(p.x, p.y, p.width < 0 ? 0 : p.width, p.height < 0 ? 0 : p.height);
  glFrontFace(GL_CCW);
  return true;
}

void beginGroup(const InstrumentContext& ctx) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glRotatef(ctx.rotationAngle(), 0.0f, 0.0f, 1.0f);
}

void texturedQuad(float x0, float y0, float x1, float y1, float z, float s0, float t0, float s1, float t1) {
  glBegin(GL_QUADS);
  glNormal3f(0.0f, 0.0f, 1.0f);
  glTexCoord2f(s0, t0);
  glVertex3f(x0, y0, z);
  glTexCoord2f(s1, t0);
  glVertex3f(x1, y0, z);
  glTexCoord2f(s1, t1);
  glVertex3f(x1, y1, z);
  glTexCoord2f(s0, t1);
  glVertex3f(x0, y1, z);
  glEnd();
}

void maskedQuad(GLuint mask, GLuint picture, float x0, float y0, float x1, float y1, float z, float s0, float t0,
                float s1, float t1) {
  maskedShape(mask, picture, [&] { texturedQuad(x0, y0, x1, y1, z, s0, t0, s1, t1); });
}

namespace {

// The whole quad once, untextured: its depth, and with colour writes on
// the current colour.
void plainQuad(float x0, float y0, float x1, float y1, float z) {
  glBegin(GL_QUADS);
  glNormal3f(0.0f, 0.0f, 1.0f);
  glVertex3f(x0, y0, z);
  glVertex3f(x1, y0, z);
  glVertex3f(x1, y1, z);
  glVertex3f(x0, y1, z);
  glEnd();
}

}  // namespace

void pictureQuad(const InstrumentContext& ctx, GLuint texture, float x0, float y0, float x1, float y1, float z,
                 float s0, float t0, float s1, float t1) {
  glBindTexture(GL_TEXTURE_2D, texture);
  const TextureCoverage* c = texture ? ctx.textureCoverage(texture) : nullptr;
  Grid g;
  if (!c || !makeGrid(*c, x0, y0, x1, y1, s0, t0, s1, t1, g)) {
    texturedQuad(x0, y0, x1, y1, z, s0, t0, s1, t1);
    return;
  }
  bool black[kMaxCells][kMaxCells];
  bool anyBlack = false;
  for (int j = 0; j < g.t.count; ++j)
    for (int i = 0; i < g.s.count; ++i) {
      black[j][i] = allTiles(g.s, g.t, i, j, [&](int col, int row) { return c->black(col, row); });
      anyBlack = anyBlack || black[j][i];
    }
  if (!anyBlack) {
    texturedQuad(x0, y0, x1, y1, z, s0, t0, s1, t1);
    return;
  }
  cells(g, z, true, [&](int i, int j) { return !black[j][i]; });
  // Black texels under GL_REPLACE give black with the fragment's own alpha,
  // whatever blending does with it.
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  glDisable(GL_TEXTURE_2D);
  glColor4f(0.0f, 0.0f, 0.0f, colour[3]);
  cells(g, z, false, [&](int i, int j) { return black[j][i]; });
  glColor4fv(colour);
  glEnable(GL_TEXTURE_2D);
}

void maskedQuad(const InstrumentContext& ctx, GLuint mask, GLuint picture, float x0, float y0, float x1, float y1,
                float z, float s0, float t0, float s1, float t1) {
  const TextureCoverage* m = mask ? ctx.textureCoverage(mask) : nullptr;
  const TextureCoverage* p = picture ? ctx.textureCoverage(picture) : nullptr;
  Grid g;
  if (!m || !p || !m->sameGrid(*p) || !makeGrid(*m, x0, y0, x1, y1, s0, t0, s1, t1, g)) {
    maskedQuad(mask, picture, x0, y0, x1, y1, z, s0, t0, s1, t1);
    return;
  }
  Cell kind[kMaxCells][kMaxCells];
  bool keepsSome = false;
  for (int j = 0; j < g.t.count; ++j)
    for (int i = 0; i < g.s.count; ++i) {
      kind[j][i] = maskedCell(*m, *p, g.s, g.t, i, j);
      keepsSome = keepsSome || kind[j][i] == Cell::Nothing;
    }
  auto of = [&](unsigned kinds) {
    return [&, kinds](int i, int j) { return ((kinds >> unsigned(kind[j][i])) & 1u) != 0; };
  };
  auto bit = [](Cell c) { return 1u << unsigned(c); };

  // The depth of the whole quad first, as its first pass would leave it;
  // the passes over the cells that change the frame then meet their own
  // depth and pass exactly where the whole quad would have.
  if (keepsSome) {
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDisable(GL_TEXTURE_2D);
    plainQuad(x0, y0, x1, y1, z);
    glEnable(GL_TEXTURE_2D);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  }
  glEnable(GL_BLEND);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glBindTexture(GL_TEXTURE_2D, mask);
  cells(g, z, true, of(bit(Cell::MaskOnly) | bit(Cell::Both)));
  glBlendFunc(GL_ONE, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, picture);
  cells(g, z, true, of(bit(Cell::ColourOnly) | bit(Cell::Both)));
  // A black mask clears the frame for the picture: the picture alone.
  glDisable(GL_BLEND);
  cells(g, z, true, of(bit(Cell::Opaque)));
}

bool loadNumberedTextures(InstrumentContext& ctx, unsigned first, GLuint* textures, int count) {
  bool all = true;
  for (int i = 0; i < count; ++i) {
    textures[i] = 0;
    char name[32];
    std::snprintf(name, sizeof name, "Data/%08u.tex", first + unsigned(i));
    all = ctx.loadTexture(name, textures[i]) && all;
  }
  return all;
}

void deleteTextures(GLuint* textures, int count) {
  for (int i = 0; i < count; ++i)
    if (textures[i]) glDeleteTextures(1, &textures[i]);
}

void tintOverlay(const InstrumentContext& ctx, const FlightDataBlock& block) {
  if ((block.u32(17) & 1u) == 0) return;
  beginGroup(ctx);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_SRC_COLOR);
  glColor4f(0.87f, 0.51f, 0.51f, 0.01f);
  glBegin(GL_POLYGON);
  glVertex3f(-1.0f, -1.0f, -0.99f);
  glVertex3f(1.0f, -1.0f, -0.99f);
  glVertex3f(1.0f, 1.0f, -0.99f);
  glVertex3f(-1.0f, 1.0f, -0.99f);
  glEnd();
  glDisable(GL_BLEND);
}

}  // namespace gldraw
