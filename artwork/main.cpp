// Writes every texture file the instruments load into one folder.
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "art.h"

namespace {

// Cairo silently substitutes another font when B612 is missing; the
// artwork would then not match the cockpit, so refuse instead.
bool b612Installed() {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("B612"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  bool ok = false;
  FcChar8* family = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch)
    ok = std::strcmp(reinterpret_cast<const char*>(family), "B612") == 0;
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: a320-artwork OUTPUT_DIR\nwrites every instrument texture file into OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  if (!b612Installed()) {
    std::fprintf(stderr, "a320-artwork: the B612 font is not installed; install the Debian package fonts-b612\n");
    return 1;
  }
  if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "a320-artwork: cannot create %s: %s\n", dir.c_str(), std::strerror(errno));
    return 1;
  }
  std::vector<ArtFile> files;
  addClockArt(files);
  addEcamFontArt(files);
  addEngineDisplayArt(files);
  addSystemDisplayArt(files);
  addAirspeedArt(files);
  addAttitudeArt(files);
  addAltitudeArt(files);
  addRmiArt(files);

  std::set<std::string> seen;
  for (const ArtFile& f : files)
    if (!seen.insert(f.name).second) {
      std::fprintf(stderr, "a320-artwork: %s is painted twice\n", f.name.c_str());
      return 1;
    }
  std::size_t done = 0;
  for (const ArtFile& f : files) {
    std::string error;
    if (!art::write(f, dir, error)) {
      std::fprintf(stderr, "a320-artwork: %s\n", error.c_str());
      return 1;
    }
    ++done;
    if (done % 10 == 0 || done == files.size())
      std::printf("a320-artwork: %zu of %zu texture files written to %s\n", done, files.size(), dir.c_str());
  }
  return 0;
}
