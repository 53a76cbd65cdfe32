// Kind names and the line bounds of the item tables.
#include "app/items.h"

#include "app/sjis.h"

#include <algorithm>

namespace hk {

std::string KindName(int kind) {
    const char* name = "";
    switch (kind) {
    case ikPoint:
        name = "点";
        break;
    case ikLine:
        name = "線";
        break;
    case ikArc:
        name = "円弧";
        break;
    case ikCircle:
        name = "円";
        break;
    case ikText:
        name = "文字";
        break;
    case ikPolyline:
        name = "多角線";
        break;
    case ikFace:
        name = "面";
        break;
    case ikRange:
        name = "範囲";
        break;
    case ikTorus:
        name = "トーラス";
        break;
    case ikPipe:
        name = "パイプ";
        break;
    case ikModel:
        name = "3DS";
        break;
    default:
        if (IsDimensionKind(kind))
            name = "寸法";
        break;
    }
    return Utf8ToSjis(name);
}

void TSceneBounds::Include(double x, double y, double z) {
    minX = std::min(minX, x);
    minY = std::min(minY, y);
    minZ = std::min(minZ, z);
    maxX = std::max(maxX, x);
    maxY = std::max(maxY, y);
    maxZ = std::max(maxZ, z);
}

} // namespace hk
