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
    // The data must stay until the last Decode.
    bool Open(const void* data, size_t size);
    int Width() const { return width; }
    int Height() const { return height; }
    // The bytes Decode needs: the compressed rows are inflated where their pixels end up.
    size_t BufferSize() const;
    // Decodes into buffer, of BufferSize() bytes: its first Width() * Height() * 4 bytes are then
    // the pixels, rows of B, G, R, A bytes with straight alpha (GDI+'s 32bppARGB) one after the
    // other. False, with the buffer in an undefined state, when the compressed data is damaged.
    bool Decode(uint8_t* buffer) const;

private:
    int width = 0;
    int height = 0;
    const uint8_t* compressed = nullptr;  // the zlib stream: the one IDAT chunk's data, or
    size_t compressedSize = 0;            // the data of several joined in stream
    std::vector<uint8_t> stream;
};
