#pragma once
// The role pictures built into the program: for each role the resting face,
// the eye overlays and the mouths as PNG bytes under their image-list keys.
// The data is drawn by the role generator at build time.

#include <cstddef>
#include <span>

namespace RoleImageData
{

struct Entry {
    bool female;
    const char *key; // "Full", "Closed", "Narrow", "M2" … "M13"
    const unsigned char *png;
    std::size_t size;
};

std::span<const Entry> entries();

} // namespace RoleImageData
