// The collision check cycle of the viewer: one pass of CollisionManager1 with its report in the
// message area, the pass time for the timing label and the lamp colour. The window's timer
// drives it; the batch mode runs one cycle.
#pragma once

#include "app/message_log.h"
#include "collision/bounding_mode.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hk {

class TClashModel;
class TCollisionManager;
class TGLBaseSceneObject;

// "Point", "Sphere", "Ellipsoid", "Cube", "Faces" by ordinal; "" outside the five modes.
std::string_view BoundingModeName(TCollisionBoundingMode mode);

// The timing label's text: milliseconds with one decimal and " ms", e.g. "12.3 ms".
std::string FormatPassTime(double milliseconds);

struct TLampColour {
    int red = 0, green = 0, blue = 0;
    bool operator==(const TLampColour&) const = default;
};

// Green (0, 255, 0) without a collision, red (255, 0, 0) with at least one.
TLampColour LampColour(bool collided);

struct TCollisionCycleResult {
    bool collided = false;   // at least one pair was reported
    double milliseconds = 0; // time of clearing, pass and report
    std::string timeText;    // FormatPassTime(milliseconds)
    TLampColour lamp;        // LampColour(collided)
};

// Runs the pass of a manager and writes its report into a message area. Sets the manager's
// OnCollision handler for as long as it lives and clears it again on destruction. With a clash
// model, every pass also feeds it, pair by pair; the report lines stay the same.
class TCollisionCheck {
public:
    TCollisionCheck(TCollisionManager& manager, TMessageLog& log, TClashModel* clashes = nullptr);
    TCollisionCheck(const TCollisionCheck&) = delete;
    TCollisionCheck& operator=(const TCollisionCheck&) = delete;
    ~TCollisionCheck();

    // One cycle: runs the pass, then clears the message area and with its redrawing suspended
    // adds one line per colliding pair in pass order; times all of it with a steady clock.
    // When the pass repeated this check's last pass (no other pass between) and the message
    // area still holds this check's last report untouched, the area is left as it is: it would
    // be written again the same. Objects keep their names from the build.
    // The clash model takes the pass's pairs after the time is taken.
    TCollisionCycleResult RunCycle();

private:
    // Replaces the message area's lines with the report of pairs_.
    void WriteReport();

    TCollisionManager& manager_;
    TMessageLog& log_;
    TClashModel* clashes_;
    bool collided_ = false;
    // A reported pair: both objects and the modes the pass tested them with.
    struct TReportedPair {
        TGLBaseSceneObject* first;
        TGLBaseSceneObject* second;
        std::array<TCollisionBoundingMode, 2> modes;
    };
    // The pass's reported pairs, in pass order.
    std::vector<TReportedPair> pairs_;
    std::string line_;
    // The message area's revision right after this check last wrote its report, if it did.
    bool reportWritten_ = false;
    std::uint64_t reportRevision_ = 0;
    // The manager's pass count after this check's last pass.
    std::uint64_t passCount_ = 0;
};

} // namespace hk
