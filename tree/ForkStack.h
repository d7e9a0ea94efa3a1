#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace arbolith {

// The forks a run has under way, in blocks that it keeps once it has them: the stack never holds
// a second copy of itself while it grows, and going up and down a level allocates nothing.
template <typename Record> class ForkStack {
public:
    bool Empty() const { return size_ == 0; }
    std::size_t Size() const { return size_; }
    Record& Top() { return *top_; }

    void Push(const Record& record) {
        if (size_ == blocks_.size() * kBlock) [[unlikely]] {
            AddBlock();
        }
        top_ = &blocks_[size_ / kBlock][size_ % kBlock];
        *top_ = record;
        ++size_;
    }
    void Pop() {
        --size_;
        top_ = size_ == 0 ? nullptr : &blocks_[(size_ - 1) / kBlock][(size_ - 1) % kBlock];
    }

private:
    static constexpr std::size_t kBlock = 1024;

    void AddBlock() { blocks_.push_back(std::unique_ptr<Record[]>(new Record[kBlock])); }

    std::vector<std::unique_ptr<Record[]>> blocks_;
    std::size_t size_ = 0;
    Record* top_ = nullptr;
};

} // namespace arbolith
