#pragma once

namespace movara {

// Makes the allocator hand large blocks straight back to the system when
// they are freed. By default it keeps them for reuse by the thread that
// freed them, so a conversion that frees decoded frames on one thread and
// allocates compressed pictures on others would hold both. Programs call
// this once at start.
void LimitHeapRetention();

}  // namespace movara
