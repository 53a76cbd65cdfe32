// TGLBCollision: the behaviour a scene object carries to take part in a collision manager's
// passes: its bounding mode, its group and the manager it is registered with.
#pragma once

#include "collision/bounding_mode.h"
#include "engine/behaviours.h"

#include <cstdint>
#include <string>

namespace hk {

class TCollisionManager;

class TGLBCollision : public TGLBaseBehaviour {
public:
    TGLBCollision() = default;
    // Leaves its manager first, so that no manager lists a destroyed behaviour.
    ~TGLBCollision() override;

    std::string ClassName() const override { return "TGLBCollision"; }
    std::string FriendlyName() const override { return "Collision"; }
    std::string FriendlyDescription() const override { return "Collision-detection registration"; }

    // Any byte value is stored; a pass skips clients whose mode lies outside the five modes.
    // Setting the mode or the group counts as a scene edit (NoteSceneEdit).
    TCollisionBoundingMode BoundingMode() const { return boundingMode_; }
    void SetBoundingMode(TCollisionBoundingMode mode);
    // Members of one non-zero group never collide with each other; a negative group takes
    // part in no pass.
    std::int32_t GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(std::int32_t group);

    TCollisionManager* Manager() const { return manager_; }
    // Unchanged value: nothing. Otherwise detaches from the current manager, then attaches to
    // the new one (none leaves the behaviour unregistered).
    void SetManager(TCollisionManager* manager);

    // Copies the manager (through SetManager), the bounding mode and the item's name from
    // another collision behaviour; the group is not copied. Other item kinds are ignored.
    void Assign(const TXCollectionItem& source);

    // Record: the item's base fields, then version 1, the manager's name ("" without one),
    // the bounding mode and the group, as 32-bit integers and a string.
    void WriteToStream(TBinaryWriter& w) const override;
    // Reads the record; version 0 gives group 0. The manager becomes none and its name is kept
    // until Loaded(). Throws EReadError on truncated data or a bounding mode outside the five
    // modes; the behaviour is then unregistered with its mode and group unchanged (a collection
    // that is reading it discards it).
    void ReadFromStream(TBinaryReader& r) override;
    // Registers with the live TCollisionManager named in the record, if there is one.
    void Loaded() override;

    // The name read from a stream and not yet resolved; empty otherwise.
    const std::string& LoadingManagerName() const { return managerName_; }

private:
    friend class TCollisionManager;
    TCollisionManager* manager_ = nullptr;
    // Position in the manager's client list, kept by the manager.
    std::size_t clientSlot_ = 0;
    TCollisionBoundingMode boundingMode_ = cbmPoint;
    std::int32_t groupIndex_ = 0;
    std::string managerName_;
};

// Registers TGLBCollision with the behaviour class registry so that streams can create it.
// Safe to call more than once; every manager's construction calls it.
void RegisterCollisionBehaviour();

} // namespace hk
