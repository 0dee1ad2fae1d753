// Memory that the forked children of a process write and the process reads:
// how a check's progress outlives a child that crashed or hung.
#ifndef PLATFORM_SHARED_MEMORY_H
#define PLATFORM_SHARED_MEMORY_H

#include <cstddef>

namespace zant::platform {

// `bytes` of zeroed memory shared with the children forked from now on; null
// where there is no fork (Windows) or the system refused.
void* memorySharedWithChildren(std::size_t bytes);

}  // namespace zant::platform

#endif  // PLATFORM_SHARED_MEMORY_H
