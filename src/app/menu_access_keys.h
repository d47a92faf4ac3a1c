#pragma once

#include <string>
#include <vector>

namespace fablewick {

// The captions of one menu level, in menu order, with access keys marked:
// for each caption that is neither "-" nor empty, the first character that
// (in upper case) is a digit or a letter A to Z not yet taken by an earlier
// caption of the level gets an "&" before it and is taken. A literal "&" in
// a caption comes back doubled so the menu shows it as it is. A caption with
// no free character gets no access key.
std::vector<std::string> AssignAccessKeys(const std::vector<std::string>& captions);

} // namespace fablewick
