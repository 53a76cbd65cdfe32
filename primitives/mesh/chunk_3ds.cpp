// The chunk walk of 3D Studio files. The own-field sizes decide where a chunk's children begin;
// an identifier that is neither a container nor listed here holds only its own data.
#include "primitives/mesh/chunk_3ds.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace hk {
namespace {

enum class Fields { Data, None, String, Fixed, Faces, KeyHeader, KeyName };

struct FieldsRule {
    Fields kind = Fields::Data;
    std::uint32_t size = 0;
};

FieldsRule RuleFor(std::uint16_t id) {
    switch (id) {
    case 0x1200:
    case 0x2100:
    case 0x2D2D:
    case 0x2D3D:
    case 0x3000:
    case 0x3D3D:
    case 0x3DAA:
    case 0x3DFF:
    case 0x4100:
    case 0x4D4D:
    case 0x8000:
    case 0x8001:
    case 0xA010:
    case 0xA020:
    case 0xA030:
    case 0xA040:
    case 0xA041:
    case 0xA042:
    case 0xA050:
    case 0xA052:
    case 0xA053:
    case 0xA084:
    case 0xA200:
    case 0xA204:
    case 0xA210:
    case 0xA220:
    case 0xA230:
    case 0xA33C:
    case 0xA33D:
    case 0xA33E:
    case 0xA340:
    case 0xA342:
    case 0xA344:
    case 0xA346:
    case 0xA348:
    case 0xA34A:
    case 0xA34C:
    case 0xAFFF:
    case 0xB000:
    case 0xB001:
    case 0xB002:
    case 0xB003:
    case 0xB004:
    case 0xB005:
    case 0xB006:
    case 0xB007:
    case 0xC23D:
        return {Fields::None};
    case 0x1100:
    case 0x3080:
    case 0x4000:
    case 0x4181:
    case 0xA000:
    case 0xA300:
    case 0xB011:
        return {Fields::String};
    case 0x0030:
    case 0x1420:
    case 0x1430:
    case 0xB030:
        return {Fields::Fixed, 2};
    case 0x0011:
        return {Fields::Fixed, 3};
    case 0x0002:
    case 0x0031:
    case 0x0100:
    case 0x1300:
    case 0x1400:
    case 0x1410:
    case 0x3D3E:
    case 0xB009:
    case 0xB015:
    case 0xD000:
        return {Fields::Fixed, 4};
    case 0xB008:
        return {Fields::Fixed, 8};
    case 0x4641:
        return {Fields::Fixed, 10};
    case 0x0010:
    case 0x1500:
    case 0x4600:
    case 0xA310:
    case 0xB013:
        return {Fields::Fixed, 12};
    case 0x7001:
        return {Fields::Fixed, 14};
    case 0x2200:
    case 0x2300:
    case 0x2302:
    case 0x3010:
    case 0x3020:
    case 0x3030:
    case 0x3040:
    case 0x3050:
    case 0x3060:
        return {Fields::Fixed, 16};
    case 0x4610:
        return {Fields::Fixed, 20};
    case 0xB014:
        return {Fields::Fixed, 24};
    case 0x3070:
        return {Fields::Fixed, 28};
    case 0x4700:
        return {Fields::Fixed, 32};
    case 0x4160:
        return {Fields::Fixed, 48};
    case 0x4120:
        return {Fields::Faces};
    case 0xB00A:
        return {Fields::KeyHeader};
    case 0xB010:
        return {Fields::KeyName};
    default:
        return {Fields::Data};
    }
}

std::string Hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

std::string Describe(std::uint16_t id, std::uint32_t offset) {
    return "chunk " + Hex(id) + " at offset " + std::to_string(offset);
}

std::uint16_t Le16(std::span<const std::uint8_t> d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}

std::uint32_t Le32(std::span<const std::uint8_t> d, std::size_t at) {
    return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
           static_cast<std::uint32_t>(d[at + 2]) << 16 |
           static_cast<std::uint32_t>(d[at + 3]) << 24;
}

// End of a zero-terminated string starting at `at` (past its zero), or `end` without a zero.
std::size_t StringEnd(std::span<const std::uint8_t> d, std::size_t at, std::size_t end) {
    if (at >= end)
        return end;
    const auto* first = d.data() + at;
    const void* zero = std::memchr(first, 0, end - at);
    return zero ? std::size_t(static_cast<const std::uint8_t*>(zero) - d.data()) + 1 : end;
}

// Where the children of a chunk begin, never beyond its end. Only a face list whose count does
// not fit is an error: its faces are read from there.
std::uint32_t FieldsEnd(std::span<const std::uint8_t> d, const T3DSChunk& c,
                        const std::string& fileName) {
    const std::size_t start = c.DataStart, end = c.End;
    const FieldsRule rule = RuleFor(c.Id);
    std::size_t fields = end;
    switch (rule.kind) {
    case Fields::Data:
        break;
    case Fields::None:
        fields = start;
        break;
    case Fields::String:
        fields = StringEnd(d, start, end);
        break;
    case Fields::Fixed:
        fields = start + rule.size;
        break;
    case Fields::Faces: {
        if (end - start < 2)
            throw EInvalidVectorFile(fileName + ": the face list " + Describe(c.Id, c.Start) +
                                     " has no room for its face count");
        const std::size_t count = Le16(d, start);
        fields = start + 2 + 8 * count;
        if (fields > end)
            throw EInvalidVectorFile(fileName + ": the face list " + Describe(c.Id, c.Start) +
                                     " announces " + std::to_string(count) + " faces but holds " +
                                     std::to_string((end - start - 2) / 8));
        break;
    }
    case Fields::KeyHeader:
        fields = start + 2 < end ? StringEnd(d, start + 2, end) + 4 : end;
        break;
    case Fields::KeyName:
        fields = StringEnd(d, start, end) + 6;
        break;
    }
    return static_cast<std::uint32_t>(std::min(fields, end));
}

bool IsRoot(std::uint16_t id) {
    return id == 0x4D4D || id == 0xC23D || id == 0x3DAA;
}

} // namespace

T3DSChunkTree T3DSChunkTree::Read(std::span<const std::uint8_t> data, const std::string& fileName) {
    T3DSChunkTree tree;
    if (data.size() > cMaxFileSize)
        throw EInvalidVectorFile(fileName + ": the file is larger than " +
                                 std::to_string(cMaxFileSize >> 20) + " MiB");
    if (data.size() < 2)
        throw EInvalidVectorFile(fileName + ": the file is too short to hold a chunk");
    if (!IsRoot(Le16(data, 0)))
        return tree;
    if (data.size() < 6)
        throw EInvalidVectorFile(fileName + ": the file ends inside its first chunk header");
    T3DSChunk root;
    root.Id = Le16(data, 0);
    const std::uint32_t length = Le32(data, 2);
    if (length < 6)
        throw EInvalidVectorFile(fileName + ": " + Describe(root.Id, 0) +
                                 " has an impossible length of " + std::to_string(length));
    if (length > data.size())
        throw EInvalidVectorFile(fileName + ": the file is truncated: " + Describe(root.Id, 0) +
                                 " runs to offset " + std::to_string(length) +
                                 " but the file ends at " + std::to_string(data.size()));
    root.DataStart = 6;
    root.End = length;
    root.FieldsEnd = FieldsEnd(data, root, fileName);
    tree.nodes_.push_back(root);

    struct Frame {
        int node;
        std::uint32_t cursor;
        int lastChild;
    };
    std::vector<Frame> stack{{0, root.FieldsEnd, -1}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const T3DSChunk parent = tree.nodes_[std::size_t(frame.node)];
        if (frame.cursor >= parent.End) {
            stack.pop_back();
            continue;
        }
        const bool extended = parent.Id == 0x8001;
        const std::uint32_t at = frame.cursor;
        const std::uint32_t room = parent.End - at;
        if (room < 6) {
            if (extended) {
                frame.cursor = parent.End;
                continue;
            }
            throw EInvalidVectorFile(fileName + ": " + Describe(parent.Id, parent.Start) +
                                     " ends with " + std::to_string(room) +
                                     " bytes, too few for a chunk header at offset " +
                                     std::to_string(at));
        }
        T3DSChunk child;
        child.Id = Le16(data, at);
        const std::uint32_t childLength = Le32(data, at + 2);
        if (extended &&
            (child.Id < 0x8002 || child.Id > 0x800F || childLength < 6 || childLength > room)) {
            frame.cursor = parent.End;
            continue;
        }
        if (childLength < 6)
            throw EInvalidVectorFile(fileName + ": " + Describe(child.Id, at) +
                                     " has an impossible length of " + std::to_string(childLength));
        if (childLength > room)
            throw EInvalidVectorFile(fileName + ": " + Describe(child.Id, at) + " runs " +
                                     std::to_string(childLength) + " bytes, past the end of " +
                                     Describe(parent.Id, parent.Start) + " at offset " +
                                     std::to_string(parent.End));
        if (tree.nodes_.size() >= cMaxChunks)
            throw EInvalidVectorFile(fileName + ": the file holds more than " +
                                     std::to_string(cMaxChunks) + " chunks");
        child.Start = at;
        child.DataStart = at + 6;
        child.End = at + childLength;
        child.FieldsEnd = FieldsEnd(data, child, fileName);
        const int index = static_cast<int>(tree.nodes_.size());
        tree.nodes_.push_back(child);
        if (frame.lastChild < 0)
            tree.nodes_[std::size_t(frame.node)].FirstChild = index;
        else
            tree.nodes_[std::size_t(frame.lastChild)].NextSibling = index;
        frame.lastChild = index;
        frame.cursor = child.End;
        if (child.FieldsEnd < child.End)
            stack.push_back({index, child.FieldsEnd, -1});
    }
    return tree;
}

int T3DSChunkTree::FindFirst(int from, std::uint16_t id) const {
    if (from < 0 || from >= Count())
        return -1;
    std::vector<int> pending{from};
    while (!pending.empty()) {
        const int i = pending.back();
        pending.pop_back();
        const T3DSChunk& c = nodes_[std::size_t(i)];
        if (c.Id == id)
            return i;
        // Children go on the stack last-first so that the first child is visited next.
        const std::size_t mark = pending.size();
        for (int k = c.FirstChild; k >= 0; k = nodes_[std::size_t(k)].NextSibling)
            pending.push_back(k);
        std::reverse(pending.begin() + std::ptrdiff_t(mark), pending.end());
    }
    return -1;
}

int T3DSChunkTree::FindChild(int parent, std::uint16_t id) const {
    if (parent < 0 || parent >= Count())
        return -1;
    for (int k = nodes_[std::size_t(parent)].FirstChild; k >= 0;
         k = nodes_[std::size_t(k)].NextSibling)
        if (nodes_[std::size_t(k)].Id == id)
            return k;
    return -1;
}

T3DSCursor::T3DSCursor(std::span<const std::uint8_t> data, std::size_t pos, std::size_t end,
                       const std::string& fileName, std::string what)
    : data_(data), pos_(std::min(pos, data.size())), end_(std::clamp(end, pos_, data.size())),
      fileName_(fileName), what_(std::move(what)) {}

void T3DSCursor::Fail(const std::string& problem) const {
    throw EInvalidVectorFile(fileName_ + ": " + what_ + ": " + problem);
}

void T3DSCursor::Need(std::size_t n) const {
    if (end_ - pos_ < n)
        Fail("the data ends early at offset " + std::to_string(end_));
}

std::uint16_t T3DSCursor::U16() {
    Need(2);
    const std::uint16_t v = Le16(data_, pos_);
    pos_ += 2;
    return v;
}

std::uint32_t T3DSCursor::U32() {
    Need(4);
    const std::uint32_t v = Le32(data_, pos_);
    pos_ += 4;
    return v;
}

float T3DSCursor::F32() {
    const std::uint32_t bits = U32();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::string T3DSCursor::String() {
    const std::size_t stop = StringEnd(data_, pos_, end_);
    std::size_t length = stop - pos_;
    if (length > 0 && data_[stop - 1] == 0)
        --length;
    std::string s(reinterpret_cast<const char*>(data_.data()) + pos_, length);
    pos_ = stop;
    return s;
}

} // namespace hk
