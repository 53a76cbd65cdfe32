// The chunk tree of a 3D Studio file and a bounds-checked little-endian cursor over chunk data.
// Every chunk is a 16-bit identifier, a 32-bit length counting its 6-byte header, its own fields
// and then its child chunks up to its end.
#pragma once

#include "primitives/mesh/vector_file_error.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace hk {

struct T3DSChunk {
    std::uint16_t Id = 0;
    std::uint32_t Start = 0;     // offset of the header
    std::uint32_t DataStart = 0; // Start + 6
    std::uint32_t FieldsEnd = 0; // end of the chunk's own fields, where its children begin
    std::uint32_t End = 0;       // Start + length
    std::int32_t FirstChild = -1;
    std::int32_t NextSibling = -1;
};

// The whole chunk tree, read without recursion. Nodes are stored in file order; node 0 is the
// root when the tree is not empty.
class T3DSChunkTree {
public:
    // Files larger than this, or with more chunks than cMaxChunks, are refused.
    static constexpr std::size_t cMaxFileSize = std::size_t(256) << 20;
    static constexpr std::size_t cMaxChunks = std::size_t(1) << 22;

    // Reads the tree of the root chunk at offset 0. A root other than 0x4D4D, 0xC23D or 0x3DAA
    // gives an empty tree. Throws EInvalidVectorFile, naming fileName and the offending chunk,
    // when a length is below 6, runs past its parent or the file, or own fields do not fit.
    static T3DSChunkTree Read(std::span<const std::uint8_t> data, const std::string& fileName);

    bool Empty() const { return nodes_.empty(); }
    int Count() const { return static_cast<int>(nodes_.size()); }
    const T3DSChunk& operator[](int i) const { return nodes_[std::size_t(i)]; }
    // The first chunk with the identifier in depth-first order from node `from` (itself
    // included); -1 when there is none.
    int FindFirst(int from, std::uint16_t id) const;
    // The first direct child of `parent` with the identifier; -1 when there is none.
    int FindChild(int parent, std::uint16_t id) const;

private:
    std::vector<T3DSChunk> nodes_;
};

// Reads little-endian values from [pos, end) of a byte range. A read past the end throws
// EInvalidVectorFile "<file>: <what> at offset <n> ends early".
class T3DSCursor {
public:
    T3DSCursor(std::span<const std::uint8_t> data, std::size_t pos, std::size_t end,
               const std::string& fileName, std::string what);

    std::uint16_t U16();
    std::uint32_t U32();
    float F32();
    // A zero-terminated string; a string without its zero runs to the end.
    std::string String();
    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return end_ - pos_; }
    [[noreturn]] void Fail(const std::string& problem) const;

private:
    void Need(std::size_t n) const;

    std::span<const std::uint8_t> data_;
    std::size_t pos_, end_;
    std::string fileName_;
    std::string what_;
};

} // namespace hk
