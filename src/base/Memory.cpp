#include "base/Memory.h"

#include <cstdlib>  // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace movara {

void LimitHeapRetention() {
#if defined(__GLIBC__)
  // A fixed threshold also stops the allocator from raising it as large
  // blocks come and go.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

}  // namespace movara
