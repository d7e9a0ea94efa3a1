#include "numbers/BigUnsigned.h"

#include <algorithm>
#include <bit>

namespace arbolith {

BigUnsigned::BigUnsigned(std::uint64_t value) {
    while (value != 0) {
        limbs_.push_back(static_cast<std::uint32_t>(value));
        value >>= 32;
    }
}

void BigUnsigned::Trim() {
    while (!limbs_.empty() && limbs_.back() == 0) {
        limbs_.pop_back();
    }
}

BigUnsigned& BigUnsigned::MultiplyAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& limb : limbs_) {
        const std::uint64_t product = std::uint64_t{limb} * factor + carry;
        limb = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    if (carry != 0) {
        limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
    Trim();
    return *this;
}

BigUnsigned& BigUnsigned::ShiftLeft(int bits) {
    if (limbs_.empty() || bits == 0) {
        return *this;
    }
    const auto whole = static_cast<std::size_t>(bits / 32);
    const int part = bits % 32;
    if (part != 0) {
        std::uint32_t carry = 0;
        for (std::uint32_t& limb : limbs_) {
            const std::uint32_t next = limb >> (32 - part);
            limb = (limb << part) | carry;
            carry = next;
        }
        if (carry != 0) {
            limbs_.push_back(carry);
        }
    }
    limbs_.insert(limbs_.begin(), whole, 0);
    return *this;
}

BigUnsigned& BigUnsigned::MultiplyPow5(int exponent) {
    // 5^13 is the largest power of five within 32 bits.
    constexpr std::uint32_t kPow5By13 = 1220703125;
    for (; exponent >= 13; exponent -= 13) {
        MultiplyAdd(kPow5By13);
    }
    std::uint32_t rest = 1;
    for (; exponent > 0; --exponent) {
        rest *= 5;
    }
    return MultiplyAdd(rest);
}

BigUnsigned& BigUnsigned::Add(const BigUnsigned& other) {
    limbs_.resize(std::max(limbs_.size(), other.limbs_.size()), 0);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        const std::uint64_t sum =
            std::uint64_t{limbs_[i]} + (i < other.limbs_.size() ? other.limbs_[i] : 0) + carry;
        limbs_[i] = static_cast<std::uint32_t>(sum);
        carry = sum >> 32;
    }
    if (carry != 0) {
        limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
    return *this;
}

BigUnsigned& BigUnsigned::Subtract(const BigUnsigned& other) {
    std::uint64_t borrow = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
        const std::uint64_t take = (i < other.limbs_.size() ? other.limbs_[i] : 0) + borrow;
        borrow = limbs_[i] < take ? 1 : 0;
        limbs_[i] = static_cast<std::uint32_t>((std::uint64_t{limbs_[i]} + (borrow << 32)) - take);
    }
    Trim();
    return *this;
}

int BigUnsigned::BitLength() const {
    if (limbs_.empty()) {
        return 0;
    }
    return static_cast<int>(32 * (limbs_.size() - 1)) + std::bit_width(limbs_.back());
}

bool BigUnsigned::Bit(int index) const {
    const auto limb = static_cast<std::size_t>(index / 32);
    return limb < limbs_.size() && ((limbs_[limb] >> (index % 32)) & 1u) != 0;
}

bool BigUnsigned::AnyBitBelow(int index) const {
    const auto whole = static_cast<std::size_t>(index / 32);
    for (std::size_t i = 0; i < whole && i < limbs_.size(); ++i) {
        if (limbs_[i] != 0) {
            return true;
        }
    }
    const int part = index % 32;
    return part != 0 && whole < limbs_.size() && (limbs_[whole] & ((1u << part) - 1)) != 0;
}

std::uint64_t BigUnsigned::BitsFrom(int index) const {
    std::uint64_t bits = 0;
    for (int i = BitLength() - 1; i >= index; --i) {
        bits = (bits << 1) | (Bit(i) ? 1u : 0u);
    }
    return bits;
}

std::uint64_t BigUnsigned::DivideKeepRemainder(const BigUnsigned& divisor) {
    std::uint64_t quotient = 0;
    for (int shift = BitLength() - divisor.BitLength(); shift >= 0; --shift) {
        BigUnsigned shifted = divisor;
        shifted.ShiftLeft(shift);
        quotient <<= 1;
        if (Compare(*this, shifted) >= 0) {
            Subtract(shifted);
            quotient |= 1;
        }
    }
    return quotient;
}

int Compare(const BigUnsigned& a, const BigUnsigned& b) {
    if (a.limbs_.size() != b.limbs_.size()) {
        return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    }
    for (std::size_t i = a.limbs_.size(); i-- > 0;) {
        if (a.limbs_[i] != b.limbs_[i]) {
            return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
        }
    }
    return 0;
}

} // namespace arbolith
