#include "art.h"

void addAltitudeArt(std::vector<ArtFile>& /*files*/) {}
