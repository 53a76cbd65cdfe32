// The rings a pipe is swept from: the shared sine/cosine table, ring construction, the twist
// test with its realignment, and the bands and end disks drawn from rings.
#pragma once

#include "engine/geometry_sink.h"
#include "engine/vector_types.h"

#include <vector>

namespace hk {

// sin and cos of Count() angles from 0 growing by (360 + 0.00001) / (Count() - 1) degrees,
// so that the last entry lies at a full turn up to rounding.
struct TPipeSinCosTable {
    std::vector<float> sin, cos;
    int Count() const { return int(sin.size()); }
};

// The table of slices + 1 entries shared by every pipe, rebuilt only when a build asks for a
// different size. Not thread-safe: pipes are built on the rendering thread only.
const TPipeSinCosTable& PipeSinCosTable(int slices);
// Builds a table without touching the shared one.
TPipeSinCosTable MakePipeSinCosTable(int slices);

// slices + 1 vertices; the last repeats the first so a band closes without wrap-around.
struct TPipeRing {
    std::vector<TAffineVector> positions;
    std::vector<TAffineVector> normals;
    TColorVector color{0, 0, 0, 1};

    int Slices() const { return int(positions.size()) - 1; }
    void Resize(int slices);
};

// Fills `ring` (already sized to the table) around `centre`, perpendicular to `direction`.
// The normals are radial of length `radius`; the positions lie at radiusFactor times them.
// Seen from the tip of the direction the ring runs counter-clockwise.
void BuildPipeRing(TPipeRing& ring, const TAffineVector& centre, const TAffineVector& direction,
                   float radiusFactor, float radius, const TPipeSinCosTable& table);

// True when the rings' vertices disagree in sign often enough to be twisted against each other.
bool PipeRingsTwisted(const TPipeRing& a, const TPipeRing& b);
// The shift s of `a` that best matches `b` (smallest sum of Manhattan distances; the smaller
// shift on a tie).
int BestPipeRingShift(const TPipeRing& a, const TPipeRing& b);
// a[j] := a[(j + shift) mod slices] for j < slices, and a[slices] := a[0].
void RotatePipeRing(TPipeRing& a, int shift);

// Realigns `a` against `b` when twisted, then emits one triangle strip B0, A0, B1, A1, ...
// With `a` the earlier ring the front faces point away from the axis. Colours are sent only
// `withColors`, straight to OpenGL (a sink that records cannot keep them).
void EmitPipeBand(TGLGeometrySink& sink, TPipeRing& a, const TPipeRing& b, bool withColors);
// One triangle fan: centre, then the ring from the last vertex down (start disk) or from the
// first up (stop disk), with `normal` sent as given.
void EmitPipeDisk(TGLGeometrySink& sink, const TPipeRing& ring, const TAffineVector& centre,
                  const TAffineVector& normal, bool startDisk, bool withColors);

} // namespace hk
