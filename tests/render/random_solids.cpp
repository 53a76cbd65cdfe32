#include "tests/render/random_solids.h"

#include "primitives/pipe/pipe.h"
#include "primitives/quadrics/cylinder.h"
#include "primitives/quadrics/disk.h"
#include "primitives/quadrics/torus.h"
#include "primitives/shapes/cube.h"

namespace hk::test {

TGLCustomSceneObject* AddRandomSolid(TGLBaseSceneObject& root, int kind, std::mt19937& random) {
    std::uniform_real_distribution<float> size(0.1f, 0.7f);
    switch (kind % 6) {
    case 0: {
        auto* c = root.CreateChild<TGLCylinder>();
        c->SetBottomRadius(size(random));
        c->SetTopRadius(size(random));
        c->SetHeight(3 * size(random));
        c->SetAlignment(TCylinderAlignment(random() % 3));
        return c;
    }
    case 1: {
        auto* a = root.CreateChild<TGLAnnulus>();
        a->SetBottomRadius(size(random));
        a->SetTopRadius(size(random));
        a->SetBottomInnerRadius(0.05f);
        a->SetTopInnerRadius(0.08f);
        a->SetHeight(3 * size(random));
        return a;
    }
    case 2: {
        auto* t = root.CreateChild<TGLTorus>();
        t->SetMajorRadius(size(random));
        t->SetMinorRadius(size(random) / 3);
        return t;
    }
    case 3: {
        auto* p = root.CreateChild<TGLPipe>();
        p->SetRadius(size(random) / 3);
        for (int k = 0; k < 3; ++k) {
            p->AddNode(size(random), 2 * size(random), size(random));
        }
        return p;
    }
    case 4: {
        auto* d = root.CreateChild<TGLDisk>();
        d->SetOuterRadius(size(random));
        d->SetInnerRadius(size(random) / 4);
        d->SetNormals(random() % 2 ? nsFlat : nsSmooth);
        return d;
    }
    default: {
        auto* b = root.CreateChild<TGLCube>();
        b->Scale().SetVector(size(random), 2 * size(random), size(random));
        return b;
    }
    }
}

} // namespace hk::test
