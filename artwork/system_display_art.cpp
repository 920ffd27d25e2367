#include "art.h"

void addSystemDisplayArt(std::vector<ArtFile>& /*files*/) {}
