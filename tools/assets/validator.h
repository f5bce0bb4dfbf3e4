#pragma once
// The asset validator: checks the built pictures under a folder (the one that holds data/) against the
// asset table's descriptors, reading them as the game does, through its image list, and drawing the
// alpha pictures through its own blits.

#include <string>
#include <vector>

namespace asset_validator {

// Every problem found, one line each, beginning with what it concerns ("image 10", "image 10 cell
// class-icon[4]", "data/image/list.txt"); empty when every picture passes.
std::vector<std::string> ValidateImages(const std::string& folder);

} // namespace asset_validator
