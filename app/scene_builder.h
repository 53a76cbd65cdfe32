// BuildScene: turns the item tables of the last load into scene objects under the model root
// GLDummyCube1, one per item (one per figure for polylines and faces), with their group
// materials and colours, and a collision behaviour registered with CollisionManager1 on every
// collidable solid.
#pragma once

#include "app/document.h"
#include "app/message_log.h"

#include <filesystem>

namespace hk {

class TGLBaseSceneObject;
class TViewerScene;

// Sets doc.sceneOffset to half the extent of doc.SceneBounds per axis, or to 0 on every axis
// when no line or polyline vertex was read (the bounds are empty), so that such drawings show
// at their place.
void SetSceneOffset(TDocument& doc);

// The data-file coordinate v on axis (0 x, 1 y, 2 z) in scene units: (v - sceneOffset) /
// loadScale, in extended precision, as a float.
float MapCoordinate(const TDocument& doc, int axis, double v);

// Frees the objects under scene.GLDummyCube1 and builds the items of doc anew, in the order
// lines, polylines and faces, arcs and circles, ranges, dimensions (each caption right after
// its line object), tori, pipes, 3DS models, points. Items whose group is switched off are
// skipped. Every object's Tag is the item's data-file line, except dimension lines, whose Tag
// is the item's index in DimensionTable.
// A collision behaviour is attached only for codes 1 to 5 (a model never with code 1, a point
// only with code 1); other codes build the object without one.
// A relative 3DS model name is looked up beside the data file (the folder of doc.dataFileName)
// first, then in programFolder (the current directory when empty). A model that cannot be read
// adds one notice to log naming the model file and the data-file line, and the build goes on
// without that object.
// A rounded ("R") polyline vertex whose neighbours are missing or belong to another figure, or
// whose segments are parallel or turn straight back, is added as a plain node; one whose
// neighbour coincides with it adds nothing.
void BuildScene(TDocument& doc, TViewerScene& scene, TMessageLog& log,
                const std::filesystem::path& programFolder = {});

// The data-file line of the items a picked object was built from: its Tag, except for a
// dimension's line object, tagged with the dimension's index, which stands for that
// dimension's line (as its caption does). 0 for an index that names no dimension.
int PickedDataLine(const TDocument& doc, const TViewerScene& scene,
                   const TGLBaseSceneObject& picked);

} // namespace hk
