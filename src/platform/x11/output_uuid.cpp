#include "platform/x11/output_uuid.h"

#include <cstdio>
#include <vector>

namespace seam {

namespace {
std::uint32_t rotl(std::uint32_t v, int n) {
    return v << n | v >> (32 - n);
}

// FB60C8FA-4F4F-4E2B-A388-0831759851A5, chosen once for Seamwright's output UUIDs.
constexpr std::array<std::uint8_t, 16> kOutputNamespace = {
    0xFB, 0x60, 0xC8, 0xFA, 0x4F, 0x4F, 0x4E, 0x2B, 0xA3, 0x88, 0x08, 0x31, 0x75, 0x98, 0x51, 0xA5};
}  // namespace

std::array<std::uint8_t, 20> sha1(std::span<const std::uint8_t> data) {
    std::uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    std::vector<std::uint8_t> m(data.begin(), data.end());
    const std::uint64_t bits = std::uint64_t(data.size()) * 8;
    m.push_back(0x80);
    while (m.size() % 64 != 56) m.push_back(0);
    for (int i = 7; i >= 0; --i) m.push_back(std::uint8_t(bits >> (8 * i)));
    for (size_t block = 0; block < m.size(); block += 64) {
        std::uint32_t w[80];
        for (int t = 0; t < 16; ++t) {
            const std::uint8_t* p = &m[block + 4 * t];
            w[t] = std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 |
                   std::uint32_t(p[2]) << 8 | p[3];
        }
        for (int t = 16; t < 80; ++t) w[t] = rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
        std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
        for (int t = 0; t < 80; ++t) {
            std::uint32_t f, k;
            if (t < 20) {
                f = (b & c) | (~b & d);
                k = 0x5A827999;
            } else if (t < 40) {
                f = b ^ c ^ d;
                k = 0x6ED9EBA1;
            } else if (t < 60) {
                f = (b & c) | (b & d) | (c & d);
                k = 0x8F1BBCDC;
            } else {
                f = b ^ c ^ d;
                k = 0xCA62C1D6;
            }
            const std::uint32_t next = rotl(a, 5) + f + e + k + w[t];
            e = d;
            d = c;
            c = rotl(b, 30);
            b = a;
            a = next;
        }
        h[0] += a;
        h[1] += b;
        h[2] += c;
        h[3] += d;
        h[4] += e;
    }
    std::array<std::uint8_t, 20> out;
    for (int i = 0; i < 20; ++i) out[i] = std::uint8_t(h[i / 4] >> (24 - 8 * (i % 4)));
    return out;
}

std::string nameBasedUUID(const std::array<std::uint8_t, 16>& nameSpace,
                          std::span<const std::uint8_t> name) {
    std::vector<std::uint8_t> input(nameSpace.begin(), nameSpace.end());
    input.insert(input.end(), name.begin(), name.end());
    const auto digest = sha1(input);
    std::uint8_t u[16];
    for (int i = 0; i < 16; ++i) u[i] = digest[i];
    u[6] = (u[6] & 0x0F) | 0x50;  // version 5
    u[8] = (u[8] & 0x3F) | 0x80;  // RFC 4122 variant
    char text[37];
    std::snprintf(text, sizeof text,
                  "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", u[0],
                  u[1], u[2], u[3], u[4], u[5], u[6], u[7], u[8], u[9], u[10], u[11], u[12], u[13],
                  u[14], u[15]);
    return text;
}

std::string outputUUID(std::span<const std::uint8_t> edid, const std::string& connector) {
    std::vector<std::uint8_t> name(edid.begin(), edid.end());
    name.insert(name.end(), connector.begin(), connector.end());
    return nameBasedUUID(kOutputNamespace, name);
}

}  // namespace seam
