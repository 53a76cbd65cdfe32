// Writes the pump model of the sample drawing as a 3DS file: three boxes (base plate, pump
// casing, motor) in millimetres around the model origin, each a named triangle mesh with one
// smoothing group per box side. Usage: make_sample_3ds OUTPUT.3ds
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A chunk under construction: identifier, own data, children. The length written counts the
// 6-byte header, the data and the children.
struct Chunk {
    std::uint16_t id;
    std::vector<std::uint8_t> data;
    std::vector<Chunk> children;

    void U16(std::uint16_t v) {
        data.push_back(static_cast<std::uint8_t>(v));
        data.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void F32(float f) {
        std::uint32_t v;
        static_assert(sizeof v == sizeof f);
        std::memcpy(&v, &f, sizeof v);
        U32(v);
    }
    void Text(const std::string& s) {
        data.insert(data.end(), s.begin(), s.end());
        data.push_back(0);
    }

    std::uint32_t Length() const {
        std::uint32_t n = 6 + static_cast<std::uint32_t>(data.size());
        for (const Chunk& c : children)
            n += c.Length();
        return n;
    }
    void Write(std::vector<std::uint8_t>& out) const {
        Chunk header{id, {}, {}};
        header.U16(id);
        header.U32(Length());
        out.insert(out.end(), header.data.begin(), header.data.end());
        out.insert(out.end(), data.begin(), data.end());
        for (const Chunk& c : children)
            c.Write(out);
    }
};

struct Box {
    const char* name;
    float min[3], max[3];
};

// A named object holding an axis-aligned box as 8 vertices and 12 triangles, wound counter-
// clockwise seen from outside.
Chunk BoxObject(const Box& b) {
    Chunk vertices{0x4110, {}, {}};
    vertices.U16(8);
    for (int i = 0; i < 8; ++i) {
        vertices.F32(i & 1 ? b.max[0] : b.min[0]);
        vertices.F32(i & 2 ? b.max[1] : b.min[1]);
        vertices.F32(i & 4 ? b.max[2] : b.min[2]);
    }
    // Corner i has x from bit 0, y from bit 1, z from bit 2. Two triangles per side.
    static const std::uint16_t sides[6][4] = {
        {0, 2, 3, 1}, // bottom, -z
        {4, 5, 7, 6}, // top, +z
        {0, 1, 5, 4}, // front, -y
        {2, 6, 7, 3}, // back, +y
        {0, 4, 6, 2}, // left, -x
        {1, 3, 7, 5}, // right, +x
    };
    Chunk faces{0x4120, {}, {}};
    Chunk smoothing{0x4150, {}, {}};
    faces.U16(12);
    for (int s = 0; s < 6; ++s) {
        const std::uint16_t* q = sides[s];
        const std::uint16_t tris[2][3] = {{q[0], q[1], q[2]}, {q[0], q[2], q[3]}};
        for (const auto& t : tris) {
            faces.U16(t[0]);
            faces.U16(t[1]);
            faces.U16(t[2]);
            faces.U16(0x0007); // edge visibility flags
            smoothing.U32(1u << s);
        }
    }
    faces.children.push_back(smoothing);
    Chunk mesh{0x4100, {}, {vertices, faces}};
    Chunk object{0x4000, {}, {mesh}};
    object.Text(b.name);
    return object;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_3ds OUTPUT.3ds\n");
        return 2;
    }
    const Box boxes[] = {
        {"BASE", {-350, -200, 0}, {350, 200, 100}},
        {"CASING", {50, -150, 100}, {330, 150, 450}},
        {"MOTOR", {-330, -120, 100}, {20, 120, 340}},
    };
    Chunk version{0x0002, {}, {}};
    version.U32(3);
    Chunk meshVersion{0x3D3E, {}, {}};
    meshVersion.U32(3);
    Chunk editor{0x3D3D, {}, {meshVersion}};
    for (const Box& b : boxes)
        editor.children.push_back(BoxObject(b));
    Chunk root{0x4D4D, {}, {version, editor}};

    std::vector<std::uint8_t> bytes;
    root.Write(bytes);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "make_sample_3ds: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
