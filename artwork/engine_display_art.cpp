#include "art.h"

void addEngineDisplayArt(std::vector<ArtFile>& /*files*/) {}
