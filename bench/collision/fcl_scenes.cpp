// FCL version of the benchmark scenes: box shapes in DynamicAABBTreeCollisionManager.
#include "fcl_scenes.h"

#include <fcl/fcl.h>

namespace hk::bench {

struct TFclScene::TImpl {
    std::vector<std::unique_ptr<fcl::CollisionObjectd>> objects;
    fcl::DynamicAABBTreeCollisionManagerd manager;
};

namespace {

struct TCount {
    int pairs = 0;
};

bool ExactPair(fcl::CollisionObjectd* a, fcl::CollisionObjectd* b, void* data) {
    fcl::CollisionRequestd request;
    fcl::CollisionResultd result;
    if (fcl::collide(a, b, request, result) > 0) {
        ++static_cast<TCount*>(data)->pairs;
    }
    return false;
}

} // namespace

TFclScene::TFclScene(const std::vector<TBenchBox>& boxes) : impl_(std::make_unique<TImpl>()) {
    std::vector<fcl::CollisionObjectd*> raw;
    for (const TBenchBox& b : boxes) {
        auto shape = std::make_shared<fcl::Boxd>(2.0 * b.half.x, 2.0 * b.half.y, 2.0 * b.half.z);
        fcl::Transform3d pose = fcl::Transform3d::Identity();
        pose.translation() = fcl::Vector3d(b.centre.x, b.centre.y, b.centre.z);
        impl_->objects.push_back(std::make_unique<fcl::CollisionObjectd>(shape, pose));
        raw.push_back(impl_->objects.back().get());
    }
    impl_->manager.registerObjects(raw);
    impl_->manager.setup();
}

TFclScene::~TFclScene() = default;

int TFclScene::CollidingPairs() {
    impl_->manager.update();
    TCount count;
    impl_->manager.collide(&count, ExactPair);
    return count.pairs;
}

} // namespace hk::bench
