#include "numbers/DecimalText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "numbers/BigUnsigned.h"

namespace arbolith {

namespace {

// A finite positive value as m * 2^e, and whether the gap to the next value below is half the
// gap above (at a power of two, where the exponent steps down).
struct Binary {
    std::uint64_t m;
    int e;
    bool unequalGaps;
};

template <typename Float> Binary BinaryOf(Float value) {
    constexpr int kFractionBits = std::numeric_limits<Float>::digits - 1;
    constexpr int kBias = std::numeric_limits<Float>::max_exponent - 1;
    using Bits = std::conditional_t<sizeof(Float) == 8, std::uint64_t, std::uint32_t>;
    // std::bit_cast, which the browser's library lacks.
    Bits bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    const std::uint64_t fraction = bits & ((Bits{1} << kFractionBits) - 1);
    const int biased = static_cast<int>((bits >> kFractionBits) &
                                        ((Bits{1} << (sizeof(Float) * 8 - 1 - kFractionBits)) - 1));
    if (biased == 0) {
        return {fraction, 1 - kBias - kFractionBits, false};
    }
    return {fraction | (std::uint64_t{1} << kFractionBits), biased - kBias - kFractionBits,
            fraction == 0 && biased > 1};
}

// Roughly the decimal exponent just above m * 2^e; the callers correct it by a step or two.
int EstimatedPowerOfTen(const Binary& b) {
    const int bits = b.e + std::bit_width(b.m) - 1;
    return static_cast<int>(std::floor(bits * 0.30102999566398120)) + 1;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Takes r below 10 * s down to r mod s and gives the quotient.
char NextDigit(BigUnsigned& r, const BigUnsigned& s) {
    char digit = '0';
    while (Compare(r, s) >= 0) {
        r.Subtract(s);
        ++digit;
    }
    return digit;
}

// Adds one to the last digit; true when a carry runs out of the front ("99" becomes "00").
bool Increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

BigUnsigned Times(BigUnsigned value, std::uint32_t factor) {
    return value.MultiplyAdd(factor);
}

BigUnsigned Sum(BigUnsigned a, const BigUnsigned& b) {
    return a.Add(b);
}

// The free-format digit generation: every digit taken exactly from r / s, ending at the first
// digit where a number of that length lies between the midpoints to the neighbouring values
// (on them too when the mantissa is even, as reading rounds to even), the nearer one if two do.
DecimalDigits ShortestOf(const Binary& b) {
    const bool inclusive = (b.m & 1) == 0;
    const auto reaches = [inclusive](const BigUnsigned& high, const BigUnsigned& limit) {
        const int order = Compare(high, limit);
        return inclusive ? order >= 0 : order > 0;
    };
    // value = r / s; the midpoints lie mMinus / s below and mPlus / s above it.
    const int gapShift = b.unequalGaps ? 2 : 1;
    BigUnsigned r(b.m);
    r.ShiftLeft(gapShift + std::max(b.e, 0));
    BigUnsigned s(1);
    s.ShiftLeft(gapShift + std::max(-b.e, 0));
    BigUnsigned mMinus(1);
    mMinus.ShiftLeft(std::max(b.e, 0));
    BigUnsigned mPlus = mMinus;
    mPlus.ShiftLeft(gapShift - 1);

    int k = EstimatedPowerOfTen(b);
    if (k >= 0) {
        s.MultiplyPow10(k);
    } else {
        r.MultiplyPow10(-k);
        mPlus.MultiplyPow10(-k);
        mMinus.MultiplyPow10(-k);
    }
    // The least k whose power of ten lies above every acceptable number.
    while (reaches(Sum(r, mPlus), s)) {
        s.MultiplyAdd(10);
        ++k;
    }
    while (!reaches(Times(Sum(r, mPlus), 10), s)) {
        r.MultiplyAdd(10);
        mPlus.MultiplyAdd(10);
        mMinus.MultiplyAdd(10);
        --k;
    }

    std::string digits;
    for (;;) {
        r.MultiplyAdd(10);
        mPlus.MultiplyAdd(10);
        mMinus.MultiplyAdd(10);
        char digit = NextDigit(r, s);
        const int toLow = Compare(r, mMinus);
        const bool low = inclusive ? toLow <= 0 : toLow < 0;
        const bool high = reaches(Sum(r, mPlus), s);
        if (!low && !high) {
            digits += digit;
            continue;
        }
        bool up = high;
        if (low && high) {
            const int half = Compare(Times(r, 2), s);
            up = half > 0 || (half == 0 && (digit - '0') % 2 == 1);
        }
        digits += digit;
        if (up && Increment(digits)) {
            digits.insert(digits.begin(), '1');
        }
        break;
    }
    int exponent = k - static_cast<int>(digits.size());
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    return {digits, exponent};
}

DecimalDigits RoundedOf(const Binary& b, int significant) {
    BigUnsigned r(b.m);
    r.ShiftLeft(std::max(b.e, 0));
    BigUnsigned s(1);
    s.ShiftLeft(std::max(-b.e, 0));
    int k = EstimatedPowerOfTen(b);
    if (k >= 0) {
        s.MultiplyPow10(k);
    } else {
        r.MultiplyPow10(-k);
    }
    // 10^(k-1) <= value < 10^k.
    while (Compare(r, s) >= 0) {
        s.MultiplyAdd(10);
        ++k;
    }
    while (Compare(Times(r, 10), s) < 0) {
        r.MultiplyAdd(10);
        --k;
    }
    std::string digits;
    for (int i = 0; i < significant; ++i) {
        r.MultiplyAdd(10);
        digits += NextDigit(r, s);
    }
    const int half = Compare(Times(r, 2), s);
    if ((half > 0 || (half == 0 && (digits.back() - '0') % 2 == 1)) && Increment(digits)) {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++k;
    }
    return {digits, k - significant};
}

// The layout std::to_chars gives the shortest digits: fixed or scientific, whichever is
// shorter, fixed on a tie, and a whole number in fixed notation exactly as it is.
std::string Laid(const DecimalDigits& shortest, const Binary& b, bool negative) {
    const std::string& digits = shortest.digits;
    const int count = static_cast<int>(digits.size());
    const int x = shortest.exponent;
    const int scientificExponent = x + count - 1;
    const int magnitude = std::abs(scientificExponent);
    const int scientificLength = count + (count > 1 ? 1 : 0) + 2 + (magnitude >= 100 ? 3 : 2);
    const int fixedLength = x >= 0 ? count + x : (count + x > 0 ? count + 1 : 2 - x);
    std::string text = negative ? "-" : "";
    if (fixedLength <= scientificLength) {
        if (x >= 0) {
            return text + RoundedOf(b, count + x).digits;
        }
        if (count + x > 0) {
            const auto point = static_cast<std::size_t>(count + x);
            return text + digits.substr(0, point) + '.' + digits.substr(point);
        }
        return text + "0." + std::string(static_cast<std::size_t>(-(count + x)), '0') + digits;
    }
    text += digits[0];
    if (count > 1) {
        text += '.';
        text += digits.substr(1);
    }
    text += scientificExponent < 0 ? "e-" : "e+";
    if (magnitude < 10) {
        text += '0';
    }
    return text + std::to_string(magnitude);
}

template <typename Float> std::string ExactShortestText(Float value) {
    const bool negative = std::signbit(value);
    if (std::isnan(value)) {
        return negative ? "-nan" : "nan";
    }
    if (std::isinf(value)) {
        return negative ? "-inf" : "inf";
    }
    if (value == 0) {
        return negative ? "-0" : "0";
    }
    const Binary b = BinaryOf(std::fabs(value));
    return Laid(ShortestOf(b), b, negative);
}

template <typename Float> std::string LibraryShortestText(Float value) {
#if defined(__cpp_lib_to_chars)
    std::array<char, 64> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
#else
    return ExactShortestText(value);
#endif
}

// The characters of plain decimal notation at the start of the text.
struct DecimalSyntax {
    std::size_t length = 0;
    bool negative = false;
    // The significant digits, leading zeros dropped, at most kKeptDigits of them; `sticky` if a
    // digit beyond those is not zero.
    std::string digits;
    bool sticky = false;
    // The power of ten of the last digit kept, saturated far beyond any double's range.
    long long exponent = 0;
};

// More digits than any double's midpoint between neighbours has: a digit beyond these can only
// tip a halfway case, which `sticky` keeps.
constexpr std::size_t kKeptDigits = 800;
constexpr long long kExponentBound = 1'000'000;

DecimalSyntax ScanDecimal(std::string_view text) {
    DecimalSyntax syntax;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') {
        syntax.negative = true;
        ++i;
    }
    std::size_t mantissaDigits = 0;
    const auto take = [&](char c, bool fraction) {
        ++mantissaDigits;
        if (syntax.digits.empty() && c == '0') {
            syntax.exponent -= fraction ? 1 : 0;
        } else if (syntax.digits.size() < kKeptDigits) {
            syntax.digits += c;
            syntax.exponent -= fraction ? 1 : 0;
        } else {
            syntax.sticky |= c != '0';
            syntax.exponent += fraction ? 0 : 1;
        }
    };
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        take(text[i], false);
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            take(text[i], true);
        }
    }
    if (mantissaDigits == 0) {
        return {};
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        const bool negativeExponent = j < text.size() && text[j] == '-';
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        long long exponent = 0;
        const std::size_t start = j;
        for (; j < text.size() && IsDigit(text[j]); ++j) {
            exponent = std::min(exponent * 10 + (text[j] - '0'), kExponentBound);
        }
        if (j > start) {
            syntax.exponent += negativeExponent ? -exponent : exponent;
            i = j;
        }
    }
    syntax.length = i;
    return syntax;
}

// Q * 2^x, with `sticky` standing for bits below Q that are not zero, rounded to the nearest
// double, halves to even.
double RoundedToDouble(const BigUnsigned& q, int x, bool sticky) {
    constexpr int kLowestBit = std::numeric_limits<double>::min_exponent - 1 -
                               (std::numeric_limits<double>::digits - 1); // -1074
    const int length = q.BitLength();
    const int kept =
        std::min({std::numeric_limits<double>::digits, length, length + x - kLowestBit});
    const int low = length - kept;
    std::uint64_t mantissa = kept > 0 ? q.BitsFrom(low) : 0;
    const bool round = low > 0 && q.Bit(low - 1);
    const bool rest = sticky || (low > 1 && q.AnyBitBelow(low - 1));
    if (round && (rest || (mantissa & 1) != 0)) {
        ++mantissa;
    }
    // Exact, or infinity beyond the largest double.
    return std::ldexp(static_cast<double>(mantissa), low + x);
}

double ExactValue(const DecimalSyntax& syntax) {
    if (syntax.digits.empty()) {
        return 0.0;
    }
    const auto count = static_cast<long long>(syntax.digits.size());
    // Far beyond the range either way: no need to multiply it out.
    if (count + syntax.exponent > std::numeric_limits<double>::max_exponent10 + 2) {
        return std::numeric_limits<double>::infinity();
    }
    if (count + syntax.exponent < std::numeric_limits<double>::min_exponent10 - 20) {
        return 0.0;
    }
    BigUnsigned d;
    for (std::size_t i = 0; i < syntax.digits.size(); i += 9) {
        const std::string_view chunk = std::string_view(syntax.digits).substr(i, 9);
        std::uint32_t value = 0;
        std::uint32_t scale = 1;
        for (const char c : chunk) {
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
            scale *= 10;
        }
        d.MultiplyAdd(scale, value);
    }
    const int exponent = static_cast<int>(syntax.exponent);
    if (exponent >= 0) {
        d.MultiplyPow10(exponent);
        return RoundedToDouble(d, 0, syntax.sticky);
    }
    BigUnsigned divisor(1);
    divisor.MultiplyPow10(-exponent);
    // A quotient of 56 or 57 bits: the 53 of a double, the rounding bit and more.
    const int shift = 56 + divisor.BitLength() - d.BitLength();
    if (shift >= 0) {
        d.ShiftLeft(shift);
    } else {
        divisor.ShiftLeft(-shift);
    }
    const BigUnsigned quotient(d.DivideKeepRemainder(divisor));
    return RoundedToDouble(quotient, -shift, syntax.sticky || !d.IsZero());
}

DecimalReading ExactReading(const DecimalSyntax& syntax) {
    DecimalReading reading;
    if (syntax.length == 0) {
        return reading;
    }
    reading.length = syntax.length;
    const double magnitude = ExactValue(syntax);
    reading.value = syntax.negative ? -magnitude : magnitude;
    reading.outOfRange = std::isinf(magnitude) || (magnitude == 0 && !syntax.digits.empty());
    return reading;
}

} // namespace

std::string CountText(std::uint64_t count) {
    // Built forward: inserting into the string itself trips the Windows compiler's overlap
    // warning.
    const std::string digits = std::to_string(count);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            text += ',';
        }
        text += digits[i];
    }
    return text;
}

std::string ShortestText(double value) {
    return LibraryShortestText(value);
}

std::string ShortestText(float value) {
    return LibraryShortestText(value);
}

DecimalDigits ShortestDigits(double value) {
    return ShortestOf(BinaryOf(std::fabs(value)));
}

DecimalDigits ShortestDigits(float value) {
    return ShortestOf(BinaryOf(std::fabs(value)));
}

DecimalDigits RoundedDigits(double value, int significant) {
    return RoundedOf(BinaryOf(std::fabs(value)), significant);
}

DecimalReading ReadDecimal(std::string_view text) {
#if defined(__cpp_lib_to_chars)
    const DecimalSyntax syntax = ScanDecimal(text);
    DecimalReading reading;
    if (syntax.length == 0) {
        return reading;
    }
    // Only the plain notation goes to the library, which would take "inf", "nan" and more.
    const char* end = text.data() + syntax.length;
    const auto result = std::from_chars(text.data(), end, reading.value);
    if (result.ec == std::errc::result_out_of_range) {
        return ExactReading(syntax);
    }
    reading.length = static_cast<std::size_t>(result.ptr - text.data());
    return reading;
#else
    return exact::ReadDecimal(text);
#endif
}

namespace exact {

std::string ShortestText(double value) {
    return ExactShortestText(value);
}

std::string ShortestText(float value) {
    return ExactShortestText(value);
}

DecimalReading ReadDecimal(std::string_view text) {
    return ExactReading(ScanDecimal(text));
}

} // namespace exact

} // namespace arbolith
