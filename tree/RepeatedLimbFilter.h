#pragma once

#include <cstdint>
#include <vector>

#include "tree/BranchSink.h"

namespace arbolith {

// Passes every branch on to `next` except a limb exactly like its previous sibling (the same base
// and the same vector), and that limb's whole subtree. Within one clock second every fork reseeds
// the generator from that second, so such a limb grows a subtree exactly like its sibling's: it
// is skipped by counting, its subtree as long as the branches that came between the two. Only
// for a tree of one fixed second. Holds a record for each fork that may draw another limb, at
// most as many as the growth itself does.
class RepeatedLimbFilter final : public BranchSink {
public:
    explicit RepeatedLimbFilter(BranchSink& next) : next_(next) {}
    void Branch(const CVector& base, const CVector& vector, const BranchPlace& place) override;

private:
    // The last limb of a fork that may draw another one.
    struct Sibling {
        std::int64_t level;
        double base[3];
        double vector[3];
        std::uint64_t arrival; // branches that came before it
    };

    BranchSink& next_;
    std::vector<Sibling> siblings_; // by level, the trunk's side first
    std::uint64_t arrivals_ = 0;
    // Branches up to this arrival belong to a repeated subtree.
    std::uint64_t skipUntil_ = 0;
};

} // namespace arbolith
