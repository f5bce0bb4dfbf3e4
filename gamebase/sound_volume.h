#pragma once
// The settings' volume scale, 0 (silent) to 255 (full), in the hundredths of a decibel that sounds take.

#include <cstdint>

// Below 1 gives -10000 (silence), 255 and above give 0; between, log10(v / 255) x 2000 cut toward zero,
// worked in single precision as the stored settings were always heard (1 gives -4813, 128 gives -598).
std::int32_t VolumeToDecibel(std::int32_t volume);
