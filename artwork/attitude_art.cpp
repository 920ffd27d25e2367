#include "art.h"

void addAttitudeArt(std::vector<ArtFile>& /*files*/) {}
