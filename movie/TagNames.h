// Names of the file's tag codes, for messages and the skipped-tag summary.
#pragma once

#include <cstdint>
#include <string>

namespace movie {

// "DefineShape3" for 32; "Tag200" for codes without a name.
std::string TagName(uint16_t code);

} // namespace movie
