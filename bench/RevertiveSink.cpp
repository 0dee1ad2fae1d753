#include "bench/RevertiveSink.h"

#include <cstdint>
#include <vector>

namespace {

class RevertiveTable final : public RevertiveSink {
public:
    explicit RevertiveTable(int entries) : table_(static_cast<size_t>(entries), 0) {}

    void store(const zant_revertive_record* record) override {
        const unsigned int index = static_cast<unsigned int>(record->index);
        if (index < table_.size()) table_[index] = record->value;
    }

private:
    std::vector<int32_t> table_;
};

}  // namespace

std::unique_ptr<RevertiveSink> RevertiveSink::makeTable(int entries) {
    return std::make_unique<RevertiveTable>(entries);
}
