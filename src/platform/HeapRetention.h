#pragma once
// How much freed memory the process keeps for reuse instead of handing it
// back to the kernel.

namespace vesta {

// Keeps the memory freed at the top of the heap (up to 64 MiB) and takes
// blocks of up to 32 MiB from the heap rather than from fresh mappings, for
// the whole process. A frame that allocates and frees the same memory as the
// frame before then reuses pages already mapped, where by default each frame
// faults every page in again and the kernel zeroes it. Nothing where the C
// library offers no such setting.
void RetainFreedHeapMemory();

}  // namespace vesta
