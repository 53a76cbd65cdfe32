// Writes the seed corpus of the 3DS fuzz target with the tests' own 3DS writer:
// make_3ds_seeds <folder>.
#include "tests/primitives/mesh/writer_3ds.h"

#include <fstream>
#include <string>

using namespace hk::test3ds;

namespace {

void Write(const std::string& folder, const std::string& name, const std::string& bytes) {
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const std::string dir = argv[1];
    const std::vector<V3> cube = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                  {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const std::vector<Tri> cubeFaces = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7},
                                        {0, 1, 5}, {0, 5, 4}, {2, 3, 7}, {2, 7, 6},
                                        {1, 2, 6}, {1, 6, 5}, {0, 4, 7}, {0, 7, 3}};
    Write(dir, "square.3ds",
          File({Object("Square", {Vertices(SquareVertices()), Faces({{0, 1, 2}, {0, 2, 3}})})}));
    Write(dir, "cube_smoothed.3ds",
          File({Object("Cube", {Vertices(cube), TexVertices({{0, 0}, {1, 0}, {1, 1}, {0, 1}}),
                                Faces(cubeFaces)
                                    .Add(MaterialGroup("Side", {0, 1, 2, 3, 4, 5}))
                                    .Add(MaterialGroup("Top", {6, 7, 8, 9, 10, 11}))
                                    .Add(Smoothing({1, 1, 2, 2, 4, 4, 8, 8, 16, 16, 3, 0})),
                                Matrix()})}));
    Write(dir, "hidden_and_short.3ds",
          File({Object("Hidden", {Vertices(cube), Faces(cubeFaces)}, true),
                Object("Short", {Vertices({{0, 0, 0}})}),
                Object("Shown", {Vertices(SquareVertices()), Faces({{0, 1, 2}})})}));
    Chunk materials(0xAFFF);
    materials.Add(Chunk(0xA000).Str("Side"))
        .Add(Chunk(0xA010).Add(Chunk(0x0011).Raw("\x80\x40\x20")));
    Chunk extended(0x8001);
    extended.Add(Chunk(0x8002).U32(7)).Add(Chunk(0x8003).Str("note"));
    Chunk main(0x4D4D);
    main.Add(Chunk(0x0002).U32(3)).Add(materials).Add(extended);
    main.Add(Editor({Object("Cube", {Vertices(cube), Faces(cubeFaces)})}));
    Write(dir, "materials_extended.3ds", main.Bytes());
    Write(dir, "project_root.prj",
          Chunk(0xC23D).Add(Editor({Object("P", {Vertices(cube), Faces(cubeFaces)})})).Bytes());
    return 0;
}
