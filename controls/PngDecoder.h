#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Reads the kind of PNG this program carries, without the platform's codecs: 8-bit RGBA, not
// interlaced, with no chunk that changes how its pixels look or how large they are shown (gamma,
// colour profile, physical size, ...). Anything else is refused, and the caller leaves it to GDI+.
// Loading the platform's codecs is the larger part of a first decode through GDI+, and its
// decoder copies the pixels more often; this one writes them once, where the caller wants them.
class PngDecoder {
public:
    // Reads the chunks and checks their CRCs; false when the data is not a PNG this decoder reads.
    bool Open(const void* data, size_t size);
    int Width() const { return width; }
    int Height() const { return height; }
    // Writes the pixels as B, G, R, A bytes with straight alpha (GDI+'s 32bppARGB), rows stride
    // bytes apart. False, with the rows in an undefined state, when the compressed data is damaged.
    bool Decode(uint8_t* pixels, ptrdiff_t stride) const;

private:
    int width = 0;
    int height = 0;
    std::vector<uint8_t> stream;  // the IDAT chunks' data, joined: one zlib stream
};
