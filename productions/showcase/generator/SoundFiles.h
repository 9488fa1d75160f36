#pragma once
// Sound files written through libsndfile into memory. Every failure throws
// std::runtime_error.

#include <vector>

#include "Synth.h"

namespace vesta::showcase {

// Ogg Vorbis at `quality` 0 (small) .. 1 (best). The stream's serial number,
// which libsndfile draws at random, is fixed so the file is the same on every
// run.
std::vector<unsigned char> EncodeOggVorbis(const Stereo& sound, double quality);

}  // namespace vesta::showcase
