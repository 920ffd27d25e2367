#pragma once
// DOOR page: door state and the oxygen value.
#include <cstdint>

#include "ecam/sd/pages.h"

namespace sd::door {

// One bit closes all six doors together.
bool doorsClosed(std::uint32_t word221);
// Oxygen value at h metres above the field: the pressure at a fifth of
// that height, scaled to the oxygen share in psi.
double oxygen(double heightM);

}  // namespace sd::door
