#pragma once

#include <cstdint>
#include <vector>

namespace arbolith {

// An unsigned integer of any size, with just what exact decimal conversion needs. Slow next to
// machine arithmetic, and used only where a result must be exact to the last digit.
class BigUnsigned {
public:
    explicit BigUnsigned(std::uint64_t value = 0);

    BigUnsigned& MultiplyAdd(std::uint32_t factor, std::uint32_t addend = 0);
    BigUnsigned& ShiftLeft(int bits);
    BigUnsigned& MultiplyPow5(int exponent);
    BigUnsigned& MultiplyPow10(int exponent) { return MultiplyPow5(exponent).ShiftLeft(exponent); }
    BigUnsigned& Add(const BigUnsigned& other);
    // Requires other <= *this.
    BigUnsigned& Subtract(const BigUnsigned& other);

    bool IsZero() const { return limbs_.empty(); }
    int BitLength() const;
    bool Bit(int index) const;
    // True if any bit below `index` is set.
    bool AnyBitBelow(int index) const;
    // The bits from `index` up, which must fit in 64 bits.
    std::uint64_t BitsFrom(int index) const;

    // Divides by `divisor` (not zero) and keeps the remainder; the quotient must fit in 64 bits.
    std::uint64_t DivideKeepRemainder(const BigUnsigned& divisor);

    friend int Compare(const BigUnsigned& a, const BigUnsigned& b);

private:
    void Trim();

    std::vector<std::uint32_t> limbs_; // least significant first, no leading zero limbs
};

} // namespace arbolith
