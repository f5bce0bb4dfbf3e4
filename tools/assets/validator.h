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

// Every problem of the sound effects and the music under a folder, one line each, beginning with the
// number it concerns ("sound 4", "music 12", "music 1 intro") or the file ("data/se/list.txt"): the
// effects the asset table, the weapon table and the scenario play must be listed and keep their format
// and limits; the pieces must decode through the Ogg stream plug-in of data/plugin to their lengths,
// levels and seamless loops. Empty when everything passes. The plug-in is `oggPlugIn` when given (the
// game's own, which a copy of its data may share), otherwise the folder's data/plugin/zelvogg.dll.
std::vector<std::string> ValidateSounds(const std::string& folder, const std::string& oggPlugIn = "");

} // namespace asset_validator
