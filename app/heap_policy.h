// The program's heap policy, set once at start-up before anything large is allocated.
#pragma once

namespace hk {

// glibc's allocator gives a large block a mapping of its own, but raises that threshold to the
// size of each such block freed, and the threshold for returning the heap's free top to the
// system with it. After the first reload a drawing's large tables then come from the heap, and
// every reload leaves free pages there that the process keeps: over a day of reloads it grows.
// With the threshold fixed, the free top of the heap goes back to the system, and 200 reloads
// leave the process no larger than the second one did (docs/PERFORMANCE.md).
void SetHeapPolicy();

// Returns the free pages inside the heap to the system. A reload frees the old drawing's
// objects and allocates the new one's among them; the pages left free between live blocks
// would otherwise stay with the process, more or fewer of them as the blocks happen to fall,
// so that its size would drift over a day of reloads. Called once a build is done.
void ReleaseFreeHeap();

} // namespace hk
