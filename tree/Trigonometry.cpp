#include "tree/Trigonometry.h"

#include <cmath>

namespace arbolith {

namespace {

// A value held as the unevaluated sum of two doubles: about 106 bits of precision, enough that
// rounding the sum to one double is the correct rounding of the true value (checked for every
// whole-degree turn against a correctly rounding library).
struct Double2 {
    double high;
    double low;
};

Double2 TwoSum(double a, double b) {
    const double sum = a + b;
    const double bPart = sum - a;
    return {sum, (a - (sum - bPart)) + (b - bPart)};
}

Double2 Normalized(double high, double low) {
    const double sum = high + low;
    return {sum, low - (sum - high)};
}

// Splits into two halves of 26 bits, whose products are exact.
Double2 Split(double a) {
    const double scaled = 134217729.0 * a; // 2^27 + 1
    const double high = scaled - (scaled - a);
    return {high, a - high};
}

Double2 TwoProduct(double a, double b) {
    const double product = a * b;
    const Double2 x = Split(a);
    const Double2 y = Split(b);
    const double error =
        ((x.high * y.high - product) + x.high * y.low + x.low * y.high) + x.low * y.low;
    return {product, error};
}

Double2 Add(Double2 a, Double2 b) {
    const Double2 sum = TwoSum(a.high, b.high);
    return Normalized(sum.high, sum.low + a.low + b.low);
}

Double2 Multiply(Double2 a, Double2 b) {
    const Double2 product = TwoProduct(a.high, b.high);
    return Normalized(product.high, product.low + a.high * b.low + a.low * b.high);
}

Double2 Divide(Double2 a, double divisor) {
    const double quotient = a.high / divisor;
    const Double2 back = TwoProduct(quotient, divisor);
    const double correction = ((a.high - back.high) - back.low + a.low) / divisor;
    return Normalized(quotient, correction);
}

// Pi / 2 as four doubles: the first two of 33 significant bits, so that multiples of them by the
// quarter-turn count (below 2^10) are exact.
constexpr double kHalfPi1 = 0x1.921fb544p+0;
constexpr double kHalfPi2 = 0x1.0b4611a6p-34;
constexpr double kHalfPi3 = 0x1.3198a2e037073p-69;
constexpr double kHalfPi4 = 0x1.129024e088a68p-123;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// The Taylor series of sine and cosine for |r| below about 0.8, to the term below 2^-110.
void SeriesCosSin(Double2 r, Double2& cosine, Double2& sine) {
    constexpr int kLastPower = 30;
    const Double2 square = Multiply(r, r);
    Double2 term = r;           // r^n / n!, for odd n
    Double2 evenTerm{1.0, 0.0}; // r^n / n!, for even n
    sine = r;
    cosine = evenTerm;
    for (int n = 2; n <= kLastPower; n += 2) {
        evenTerm = Divide(Multiply(evenTerm, square), static_cast<double>((n - 1) * n));
        term = Divide(Multiply(term, square), static_cast<double>(n * (n + 1)));
        const bool subtract = (n / 2) % 2 == 1;
        cosine = Add(cosine, subtract ? Double2{-evenTerm.high, -evenTerm.low} : evenTerm);
        sine = Add(sine, subtract ? Double2{-term.high, -term.low} : term);
    }
}

} // namespace

CosSin CosSinRounded(double angle) {
    // angle = k * pi/2 + r with |r| <= about pi/4; the first subtraction is exact because both
    // sides lie within a factor of two of each other (or k is 0).
    const double quarters = std::nearbyint(angle * kTwoOverPi);
    Double2 r = TwoSum(angle - quarters * kHalfPi1, -quarters * kHalfPi2);
    const Double2 third = TwoProduct(quarters, kHalfPi3);
    r = Add(r, {-third.high, -third.low});
    r = Add(r, {-quarters * kHalfPi4, 0.0});

    Double2 cosine{};
    Double2 sine{};
    SeriesCosSin(r, cosine, sine);
    const double c = cosine.high + cosine.low;
    const double s = sine.high + sine.low;
    switch (static_cast<long long>(quarters) % 4) {
    case 0:
        return {c, s};
    case 1:
        return {-s, c};
    case 2:
        return {-c, -s};
    default:
        return {s, -c};
    }
}

} // namespace arbolith
