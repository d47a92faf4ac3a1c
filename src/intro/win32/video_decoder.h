#pragma once

#include "intro/intro_choices.h"

#include <string>

namespace fablewick::win32 {

// Reads the movie's video format from the head of the file and asks the
// system's video compression manager for a decompressor of it.
DecoderCheck CheckVideoDecoder(const std::string& fileName);

} // namespace fablewick::win32
