#include "art.h"

void addAirspeedArt(std::vector<ArtFile>& /*files*/) {}
