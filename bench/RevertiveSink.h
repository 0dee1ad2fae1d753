// The baseline of the revertive benchmarks: the least a host callback can do
// with a revertive, one indirect call, one bounds check, one store.
//
// The implementation lives in its own source, out of the callers' sight, so
// the call stays a true indirect call through the vtable, as `notify` is.
#ifndef BENCH_REVERTIVE_SINK_H
#define BENCH_REVERTIVE_SINK_H

#include <memory>

#include "host/zant_host.h"

class RevertiveSink {
public:
    virtual ~RevertiveSink() = default;
    virtual void store(const zant_revertive_record* record) = 0;

    // A table of `entries` ints; `store` writes value at index when in range.
    static std::unique_ptr<RevertiveSink> makeTable(int entries);
};

#endif  // BENCH_REVERTIVE_SINK_H
