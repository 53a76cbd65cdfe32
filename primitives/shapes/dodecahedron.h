// A solid dodecahedron of circumradius 1 centred on the origin: 12 pentagonal fans with face
// normals, counter-clockwise seen from outside.
#pragma once

namespace hk {

void DrawDodecahedron();

} // namespace hk
