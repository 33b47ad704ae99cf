#include "PngDecoder.h"

#include <array>
#include <cstring>

namespace {

uint32_t BigEndian32(const uint8_t* p)
{
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint32_t Crc32(const uint8_t* p, size_t n)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const uint8_t* p, size_t n)
{
    uint32_t a = 1, b = 0;
    while (n) {
        size_t run = n < 5552 ? n : 5552;  // the most bytes before b can overflow
        n -= run;
        while (run--) {
            a += *p++;
            b += a;
        }
        a %= 65521;
        b %= 65521;
    }
    return (b << 16) | a;
}

// ---- inflate (RFC 1950/1951) ----------------------------------------------------------------

// Bits of the stream, least significant first, at least 56 of them after Refill. Past the end
// it reads zeros and counts them, so that a stream that needed them can be refused.
struct BitStream {
    const uint8_t* next;
    const uint8_t* end;
    uint64_t bits = 0;
    unsigned count = 0;
    size_t padding = 0;

    void Refill()
    {
        if (end - next >= 8) {
            uint64_t word;
            std::memcpy(&word, next, 8);  // little-endian, as every Windows machine is
            bits |= word << count;
            next += (63 - count) >> 3;
            count |= 56;
            return;
        }
        while (count <= 56) {
            uint64_t byte = 0;
            if (next < end) {
                byte = *next++;
            } else {
                ++padding;
            }
            bits |= byte << count;
            count += 8;
        }
    }
    uint32_t Take(unsigned n)
    {
        const uint32_t v = static_cast<uint32_t>(bits & ((uint64_t{1} << n) - 1));
        bits >>= n;
        count -= n;
        return v;
    }
    void ToByteBoundary() { Take(count % 8); }
    bool Overran() const { return padding * 8 > count; }
};

unsigned Reverse(unsigned code, int length)
{
    unsigned r = 0;
    for (int i = 0; i < length; ++i, code >>= 1) r = (r << 1) | (code & 1);
    return r;
}

// A canonical Huffman code: codes of up to kFastBits bits are looked up in one step, longer
// ones by comparing the next 16 bits with each length's limit.
class HuffmanCode {
public:
    bool Build(const uint8_t* lengths, int count)
    {
        int perLength[16] = {};
        for (int i = 0; i < count; ++i) ++perLength[lengths[i]];
        perLength[0] = 0;
        int left = 1;
        for (int len = 1; len < 16; ++len) {
            left = (left << 1) - perLength[len];
            if (left < 0) return false;  // more codes than the lengths allow
        }
        unsigned next[16] = {};
        unsigned code = 0, index = 0;
        for (int len = 1; len < 16; ++len) {
            firstCode[len] = next[len] = code;
            firstIndex[len] = index;
            code += perLength[len];
            index += perLength[len];
            limit[len] = code << (16 - len);
            code <<= 1;
        }
        std::memset(fast, 0, sizeof fast);
        for (int symbol = 0; symbol < count; ++symbol) {
            const int len = lengths[symbol];
            if (!len) continue;
            const unsigned c = next[len]++;
            symbols[firstIndex[len] + c - firstCode[len]] = static_cast<uint16_t>(symbol);
            if (len > kFastBits) continue;
            for (unsigned j = Reverse(c, len); j < (1u << kFastBits); j += 1u << len)
                fast[j] = static_cast<uint16_t>(symbol << 4 | len);
        }
        return true;
    }

    // The next symbol; -1 for bits that are no code. Needs 15 bits in the stream.
    int Decode(BitStream& in) const
    {
        const unsigned entry = fast[in.bits & ((1u << kFastBits) - 1)];
        if (entry) {
            in.Take(entry & 15);
            return static_cast<int>(entry >> 4);
        }
        const unsigned next16 = Reverse(static_cast<unsigned>(in.bits & 0xFFFF), 16);
        for (int len = kFastBits + 1; len < 16; ++len) {
            if (next16 < limit[len]) {
                in.Take(len);
                return symbols[firstIndex[len] + (next16 >> (16 - len)) - firstCode[len]];
            }
        }
        return -1;
    }

private:
    static constexpr int kFastBits = 10;
    uint16_t fast[1 << kFastBits];  // symbol << 4 | length; 0 for the longer codes
    unsigned firstCode[16] = {};
    unsigned firstIndex[16] = {};
    unsigned limit[16] = {};  // the first code past each length, as 16 bits
    uint16_t symbols[288] = {};
};

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                        33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Inflates one zlib stream into exactly [begin, end); the memory after end holds at least 8
// bytes that a copy may overwrite.
class Inflater {
public:
    Inflater(const uint8_t* data, size_t size, uint8_t* begin, uint8_t* end)
        : in{data, data + size}, begin(begin), out(begin), end(end)
    {
    }

    bool Run()
    {
        in.Refill();
        const unsigned cmf = in.Take(8), flags = in.Take(8);
        if ((cmf & 15) != 8 || (cmf >> 4) > 7 || (cmf << 8 | flags) % 31 || (flags & 32)) return false;
        for (bool last = false; !last;) {
            in.Refill();
            last = in.Take(1) != 0;
            const unsigned type = in.Take(2);
            const bool ok = type == 0 ? Stored() : type == 1 ? Fixed() : type == 2 ? Dynamic() : false;
            if (!ok || in.Overran()) return false;
        }
        in.ToByteBoundary();
        in.Refill();
        uint32_t adler = 0;
        for (int i = 0; i < 4; ++i) adler = adler << 8 | in.Take(8);
        return !in.Overran() && out == end && adler == Adler32(begin, end - begin);
    }

private:
    bool Stored()
    {
        in.ToByteBoundary();
        const unsigned length = in.Take(16), inverse = in.Take(16);
        if ((length ^ 0xFFFF) != inverse || length > static_cast<size_t>(end - out)) return false;
        for (unsigned i = 0; i < length; ++i) {
            if (in.count < 8) in.Refill();
            *out++ = static_cast<uint8_t>(in.Take(8));
        }
        return true;
    }

    bool Fixed()
    {
        uint8_t lengths[288 + 30];
        std::memset(lengths, 8, 144);
        std::memset(lengths + 144, 9, 112);
        std::memset(lengths + 256, 7, 24);
        std::memset(lengths + 280, 8, 8);
        std::memset(lengths + 288, 5, 30);
        return literals.Build(lengths, 288) && distances.Build(lengths + 288, 30) && Codes();
    }

    bool Dynamic()
    {
        const int literalCount = static_cast<int>(in.Take(5)) + 257;
        const int distanceCount = static_cast<int>(in.Take(5)) + 1;
        const int lengthCount = static_cast<int>(in.Take(4)) + 4;
        static constexpr uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        uint8_t codeLengths[19] = {};
        for (int i = 0; i < lengthCount; ++i) {
            if (in.count < 3) in.Refill();
            codeLengths[kOrder[i]] = static_cast<uint8_t>(in.Take(3));
        }
        HuffmanCode lengthCode;
        if (literalCount > 286 || distanceCount > 30 || !lengthCode.Build(codeLengths, 19)) return false;
        uint8_t lengths[286 + 30] = {};
        for (int i = 0; i < literalCount + distanceCount;) {
            in.Refill();
            const int symbol = lengthCode.Decode(in);
            if (symbol < 0) return false;
            if (symbol < 16) {
                lengths[i++] = static_cast<uint8_t>(symbol);
                continue;
            }
            uint8_t value = 0;
            int repeat = 0;
            if (symbol == 16) {
                if (i == 0) return false;
                value = lengths[i - 1];
                repeat = 3 + static_cast<int>(in.Take(2));
            } else {
                repeat = symbol == 17 ? 3 + static_cast<int>(in.Take(3)) : 11 + static_cast<int>(in.Take(7));
            }
            if (i + repeat > literalCount + distanceCount) return false;
            std::memset(lengths + i, value, repeat);
            i += repeat;
        }
        if (!lengths[256]) return false;  // a block must be able to end
        return literals.Build(lengths, literalCount) &&
               distances.Build(lengths + literalCount, distanceCount) && Codes();
    }

    bool Codes()
    {
        for (;;) {
            if (in.count < 48) in.Refill();  // one length and one distance, with their extra bits
            int symbol = literals.Decode(in);
            if (symbol < 256) {
                if (symbol < 0 || out == end) return false;
                *out++ = static_cast<uint8_t>(symbol);
                continue;
            }
            if (symbol == 256) return true;
            symbol -= 257;
            if (symbol >= 29) return false;
            const size_t length = kLengthBase[symbol] + in.Take(kLengthExtra[symbol]);
            const int code = distances.Decode(in);
            if (code < 0 || code >= 30) return false;
            const size_t distance = kDistanceBase[code] + in.Take(kDistanceExtra[code]);
            if (distance > static_cast<size_t>(out - begin) || length > static_cast<size_t>(end - out))
                return false;
            Copy(out, distance, length);
            out += length;
        }
    }

    static void Copy(uint8_t* to, size_t distance, size_t length)
    {
        const uint8_t* from = to - distance;
        if (distance >= 8) {
            // Eight bytes at a time: each read lies wholly before the write it feeds.
            for (size_t i = 0; i < length; i += 8) {
                uint64_t word;
                std::memcpy(&word, from + i, 8);
                std::memcpy(to + i, &word, 8);
            }
        } else if (distance == 1) {
            std::memset(to, *from, length);
        } else {
            for (size_t i = 0; i < length; ++i) to[i] = from[i];
        }
    }

    BitStream in;
    uint8_t* begin;
    uint8_t* out;
    uint8_t* end;
    HuffmanCode literals;
    HuffmanCode distances;
};

// ---- PNG rows -------------------------------------------------------------------------------

// Four bytes added to four bytes, each byte on its own (no carry from one into the next).
uint32_t AddBytes(uint32_t a, uint32_t b)
{
    return ((a & 0x7F7F7F7Fu) + (b & 0x7F7F7F7Fu)) ^ ((a ^ b) & 0x80808080u);
}

// The floor of each byte's average with the other's.
uint32_t AverageBytes(uint32_t a, uint32_t b)
{
    return (a & b) + (((a ^ b) & 0xFEFEFEFEu) >> 1);
}

uint32_t PaethBytes(uint32_t left, uint32_t up, uint32_t corner)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = (left >> shift) & 0xFF, b = (up >> shift) & 0xFF, c = (corner >> shift) & 0xFF;
        const int p = a + b - c;
        const int pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
        out |= static_cast<uint32_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c) << shift;
    }
    return out;
}

uint32_t Load(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// Undoes one row's filter, writing its pixels as B, G, R, A to `to`, which may lie up to the row's
// start before `from`: each pixel is read before it is written. above is the row before, already
// written the same way, or null. The filters work on each byte against the same byte of the pixel
// to the left and above, so they work as well on pixels whose bytes have been reordered.
bool UnfilterRow(int filter, const uint8_t* from, uint8_t* to, const uint8_t* above, size_t bytes)
{
    if (filter > 4) return false;
    uint32_t left = 0, corner = 0;
    for (size_t i = 0; i < bytes; i += 4) {
        const uint32_t rgba = Load(from + i);
        const uint32_t raw = (rgba & 0xFF00FF00u) | (rgba & 0xFFu) << 16 | (rgba >> 16 & 0xFFu);
        const uint32_t up = above ? Load(above + i) : 0;
        uint32_t pixel = raw;
        switch (filter) {
        case 1: pixel = AddBytes(raw, left); break;
        case 2: pixel = AddBytes(raw, up); break;
        case 3: pixel = AddBytes(raw, AverageBytes(left, up)); break;
        case 4: pixel = AddBytes(raw, PaethBytes(left, up, corner)); break;
        default: break;
        }
        std::memcpy(to + i, &pixel, 4);
        left = pixel;
        corner = up;
    }
    return true;
}

}  // namespace

bool PngDecoder::Open(const void* data, size_t size)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto* p = static_cast<const uint8_t*>(data);
    width = height = 0;
    stream.clear();
    compressed = nullptr;
    compressedSize = 0;
    if (!p || size < 8 || std::memcmp(p, kSignature, 8) != 0) return false;
    bool header = false, ended = false, dataEnded = false;
    int idatCount = 0;
    for (size_t at = 8; !ended;) {
        if (size - at < 12) return false;
        const uint32_t length = BigEndian32(p + at);
        if (length > size - at - 12) return false;
        const uint8_t* type = p + at + 4;
        const uint8_t* body = type + 4;
        if (BigEndian32(body + length) != Crc32(type, length + 4)) return false;
        at += 12 + length;
        const auto is = [type](const char* name) { return std::memcmp(type, name, 4) == 0; };
        if (!header) {
            // 8-bit RGBA, deflate, adaptive filters, not interlaced; at most 16384 on a side.
            if (!is("IHDR") || length != 13 || std::memcmp(body + 8, "\x08\x06\x00\x00\x00", 5) != 0)
                return false;
            const uint32_t w = BigEndian32(body), h = BigEndian32(body + 4);
            if (w == 0 || h == 0 || w > 16384 || h > 16384) return false;
            width = static_cast<int>(w);
            height = static_cast<int>(h);
            header = true;
        } else if (is("IDAT")) {
            if (dataEnded) return false;
            if (idatCount++ == 1) stream.assign(compressed, compressed + compressedSize);
            if (idatCount == 1) {
                compressed = body;
            } else {
                stream.insert(stream.end(), body, body + length);
                compressed = stream.data();
            }
            compressedSize += length;
        } else if (is("IEND")) {
            ended = true;
        } else if (is("tEXt") || is("zTXt") || is("iTXt") || is("tIME")) {
            dataEnded = idatCount > 0;  // text says nothing about the pixels
        } else {
            return false;  // a chunk that may change how the pixels look: left to GDI+
        }
    }
    if (!compressedSize) width = height = 0;
    return compressedSize != 0;
}

size_t PngDecoder::BufferSize() const
{
    return (static_cast<size_t>(width) * 4 + 1) * height + 8;
}

bool PngDecoder::Decode(uint8_t* buffer) const
{
    if (!buffer || !compressedSize) return false;
    const size_t rowBytes = static_cast<size_t>(width) * 4, line = rowBytes + 1;
    if (!Inflater(compressed, compressedSize, buffer, buffer + line * height).Run()) return false;
    // Each row moves to its place among packed rows as its filter is undone, one byte earlier
    // for each filter byte before it; the row above is read at its new place.
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = buffer + line * y + 1;
        uint8_t* to = buffer + rowBytes * y;
        if (!UnfilterRow(from[-1], from, to, y ? to - rowBytes : nullptr, rowBytes)) return false;
    }
    return true;
}
