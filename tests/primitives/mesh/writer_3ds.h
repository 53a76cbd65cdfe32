// A small 3D Studio writer for tests and seed files: chunks built in memory with their lengths
// filled in, or deliberately wrong ones, and helpers for the mesh chunks.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace hk::test3ds {

class Chunk {
public:
    explicit Chunk(std::uint16_t id) : id_(id) {}

    Chunk& U16(std::uint16_t v) {
        data_ += char(v & 0xFF);
        data_ += char(v >> 8);
        return *this;
    }
    Chunk& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data_ += char(v >> (8 * i) & 0xFF);
        return *this;
    }
    Chunk& F32(float f) {
        std::uint32_t v;
        std::memcpy(&v, &f, 4);
        return U32(v);
    }
    // The string and its terminating zero (left out with terminate = false).
    Chunk& Str(const std::string& s, bool terminate = true) {
        data_ += s;
        if (terminate)
            data_ += '\0';
        return *this;
    }
    Chunk& Raw(const std::string& bytes) {
        data_ += bytes;
        return *this;
    }
    Chunk& Add(const Chunk& child) {
        data_ += child.Bytes();
        return *this;
    }
    // Writes this length into the header instead of the true one.
    Chunk& Length(std::uint32_t length) {
        length_ = length;
        return *this;
    }

    std::string Bytes() const {
        Chunk header(0);
        header.U16(id_).U32(length_.value_or(std::uint32_t(data_.size() + 6)));
        return header.data_ + data_;
    }

private:
    std::uint16_t id_;
    std::string data_;
    std::optional<std::uint32_t> length_;
};

struct V3 {
    float x, y, z;
};
struct Tri {
    std::uint16_t a, b, c;
};

inline Chunk Vertices(const std::vector<V3>& vs) {
    Chunk c(0x4110);
    c.U16(std::uint16_t(vs.size()));
    for (const V3& v : vs)
        c.F32(v.x).F32(v.y).F32(v.z);
    return c;
}

inline Chunk TexVertices(const std::vector<std::pair<float, float>>& ts) {
    Chunk c(0x4140);
    c.U16(std::uint16_t(ts.size()));
    for (const auto& [s, t] : ts)
        c.F32(s).F32(t);
    return c;
}

// A face list; its children (material groups, smoothing list) are appended with Add.
inline Chunk Faces(const std::vector<Tri>& fs) {
    Chunk c(0x4120);
    c.U16(std::uint16_t(fs.size()));
    for (const Tri& f : fs)
        c.U16(f.a).U16(f.b).U16(f.c).U16(7);
    return c;
}

inline Chunk Smoothing(const std::vector<std::uint32_t>& masks) {
    Chunk c(0x4150);
    for (std::uint32_t m : masks)
        c.U32(m);
    return c;
}

inline Chunk MaterialGroup(const std::string& name, const std::vector<std::uint16_t>& faces) {
    Chunk c(0x4130);
    c.Str(name).U16(std::uint16_t(faces.size()));
    for (std::uint16_t f : faces)
        c.U16(f);
    return c;
}

inline Chunk Matrix() {
    Chunk c(0x4160);
    for (int i = 0; i < 12; ++i)
        c.F32(i % 4 == 0 ? 1.0f : 0.0f);
    return c;
}

// A named object holding a triangle mesh made of the given chunks.
inline Chunk Object(const std::string& name, const std::vector<Chunk>& meshChunks,
                    bool hidden = false) {
    Chunk mesh(0x4100);
    for (const Chunk& c : meshChunks)
        mesh.Add(c);
    Chunk named(0x4000);
    named.Str(name);
    if (hidden)
        named.Add(Chunk(0x4010));
    named.Add(mesh);
    return named;
}

// The editor chunk 0x3D3D with its mesh version and the given objects.
inline Chunk Editor(const std::vector<Chunk>& objects) {
    Chunk editor(0x3D3D);
    editor.Add(Chunk(0x3D3E).U32(3));
    for (const Chunk& o : objects)
        editor.Add(o);
    return editor;
}

// A whole file: the main chunk with a version, the editor chunk and a key-frame chunk.
inline std::string File(const std::vector<Chunk>& objects) {
    Chunk main(0x4D4D);
    main.Add(Chunk(0x0002).U32(3));
    main.Add(Editor(objects));
    main.Add(Chunk(0xB000).Add(Chunk(0xB00A).U16(5).Str("MAXSCENE").U32(100)));
    return main.Bytes();
}

// One face per row of a unit square (two triangles sharing vertices 0 and 2).
inline std::vector<V3> SquareVertices() {
    return {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
}

} // namespace hk::test3ds
