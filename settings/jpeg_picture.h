#pragma once

// Decoding of JPEG pictures (the About box's logo) with libjpeg. Every failure of the decoder, a truncated
// file included, becomes an exception; libjpeg's own error exit, which ends the process, never runs.

#include <cstdint>
#include <string>
#include <vector>

namespace carlume {

/// A decoded picture: rows of RGB bytes, top row first.
struct TJpegPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgb;
};

/// Decodes the JPEG file at `path`; raises `Exception` with the decoder's message (or the file error) when
/// the file is missing, corrupt, truncated or of a kind the decoder cannot turn into RGB.
TJpegPicture DecodeJpegFile(const std::string& path);
/// Decodes JPEG data held in memory; raises as `DecodeJpegFile`.
TJpegPicture DecodeJpeg(const std::string& bytes);

} // namespace carlume
