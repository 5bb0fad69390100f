#include "platform/HeapTuning.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace vaskel::HeapTuning {

void keepFreedMemoryForReuse()
{
#if defined(M_TOP_PAD)
    // The heap grows by this much more than asked and keeps as much when it shrinks. Memory
    // never touched costs nothing; what is kept was in use a moment before.
    mallopt(M_TOP_PAD, 64 << 20);
    // Setting the pad fixes the size from which blocks are mapped on their own at 128 KiB. The
    // PDF writer reads every page's content through a 10 MiB buffer; mapped afresh for each
    // page it cost a third of the run's page faults and a tenth of its time. 32 MiB is the
    // largest the library takes.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}

} // namespace vaskel::HeapTuning
