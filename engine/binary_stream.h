// Little-endian binary writer and bounds-checked reader for the streamed forms of engine
// objects (lists, coordinates, colours, behaviour collections).
#pragma once

#include "engine/errors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hk {

// Raised when streamed data is truncated or malformed. The message names the source and the
// byte offset.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

// Appends values to a byte buffer.
class TBinaryWriter {
public:
    void WriteBytes(const void* data, std::size_t size);
    void WriteInt32(std::int32_t v);
    void WriteFloat(float v);
    // A 32-bit length followed by the bytes.
    void WriteString(std::string_view s);
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// Reads values from a byte range it does not own. Every read checks the remaining size; a
// failed read throws EReadError and leaves the position unchanged.
class TBinaryReader {
public:
    TBinaryReader(const void* data, std::size_t size, std::string sourceName);
    explicit TBinaryReader(const std::string& bytes, std::string sourceName = "stream")
        : TBinaryReader(bytes.data(), bytes.size(), std::move(sourceName)) {}
    // The reader keeps no copy of its bytes, so a temporary would leave it reading freed memory.
    TBinaryReader(std::string&& bytes, std::string sourceName = "stream") = delete;

    void ReadBytes(void* out, std::size_t size);
    std::int32_t ReadInt32();
    float ReadFloat();
    std::string ReadString();
    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return size_ - pos_; }
    const std::string& SourceName() const { return source_; }
    // Throws EReadError "<source>: <what> at offset <n>".
    [[noreturn]] void Fail(std::string_view what) const;

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    std::string source_;
};

} // namespace hk
