#include "art.h"

void addEcamFontArt(std::vector<ArtFile>& /*files*/) {}
