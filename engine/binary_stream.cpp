// Byte-order-explicit encoding so that streamed data reads the same on every host.
#include "engine/binary_stream.h"

#include <cstring>
#include <utility>

namespace hk {

void TBinaryWriter::WriteBytes(const void* data, std::size_t size) {
    bytes_.append(static_cast<const char*>(data), size);
}

void TBinaryWriter::WriteInt32(std::int32_t v) {
    auto u = static_cast<std::uint32_t>(v);
    char b[4] = {char(u & 0xff), char((u >> 8) & 0xff), char((u >> 16) & 0xff),
                 char((u >> 24) & 0xff)};
    bytes_.append(b, 4);
}

void TBinaryWriter::WriteFloat(float v) {
    std::int32_t bits;
    std::memcpy(&bits, &v, 4);
    WriteInt32(bits);
}

void TBinaryWriter::WriteString(std::string_view s) {
    WriteInt32(static_cast<std::int32_t>(s.size()));
    bytes_.append(s.data(), s.size());
}

TBinaryReader::TBinaryReader(const void* data, std::size_t size, std::string sourceName)
    : data_(static_cast<const unsigned char*>(data)), size_(size), source_(std::move(sourceName)) {}

void TBinaryReader::Fail(std::string_view what) const {
    throw EReadError(source_ + ": " + std::string(what) + " at offset " + std::to_string(pos_));
}

void TBinaryReader::ReadBytes(void* out, std::size_t size) {
    if (size > Remaining()) {
        Fail("unexpected end of data");
    }
    if (size > 0) {
        std::memcpy(out, data_ + pos_, size);
    }
    pos_ += size;
}

std::int32_t TBinaryReader::ReadInt32() {
    unsigned char b[4];
    ReadBytes(b, 4);
    std::uint32_t u = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) |
                      (std::uint32_t(b[2]) << 16) | (std::uint32_t(b[3]) << 24);
    return static_cast<std::int32_t>(u);
}

float TBinaryReader::ReadFloat() {
    std::int32_t bits = ReadInt32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

std::string TBinaryReader::ReadString() {
    std::size_t start = pos_;
    std::int32_t len = ReadInt32();
    if (len < 0 || std::size_t(len) > Remaining()) {
        pos_ = start;
        Fail("invalid string length");
    }
    std::string s(reinterpret_cast<const char*>(data_ + pos_), std::size_t(len));
    pos_ += std::size_t(len);
    return s;
}

} // namespace hk
