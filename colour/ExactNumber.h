#pragma once
// Numbers as CSS and source code write them (12, +1.5, .5, 1e2), held
// exactly. A pasted colour is rounded the way its exact value rounds, never
// the way a binary float of it happens to: 76.5 in hsl() is a half and goes
// up, where a float computes 76.4999... and goes down.
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tp {

// An unsigned integer of up to 512 bits. That holds every product the colour
// texts form from figures of at most MaxPlaces decimals (hsl() multiplies
// three of them); nothing larger is ever built.
class Wide {
public:
    Wide() = default;
    Wide(uint64_t v); // NOLINT: a plain number is a Wide

    friend Wide operator+(const Wide& a, const Wide& b);
    // a - b for a >= b.
    friend Wide operator-(const Wide& a, const Wide& b);
    friend Wide operator*(const Wide& a, const Wide& b);
    friend std::strong_ordering operator<=>(const Wide& a, const Wide& b);
    friend bool operator==(const Wide& a, const Wide& b) { return (a <=> b) == 0; }

    // The decimal digits "0012" as 12; nothing when they do not fit.
    static std::optional<Wide> FromDigits(std::string_view digits);
    static Wide Pow10(int n);
    // The value, when it fits 64 bits.
    std::optional<uint64_t> toUint64() const;

private:
    static constexpr int Limbs = 16;
    uint32_t limb_[Limbs]{};
    int size_ = 0; // limbs in use: the top one is not zero
    void trim();
    double approx() const;
    friend uint64_t QuotientOf(const Wide& num, const Wide& den, bool& exact);
};

// floor(num / den) for a quotient known to be small (a colour channel, a
// percentage); exact says whether nothing remains.
uint64_t QuotientOf(const Wide& num, const Wide& den, bool& exact);

struct Rounded {
    uint64_t value;
    bool onAHalf; // num / den was exactly n + 1/2 before rounding up
};
// num / den rounded to the nearest whole number, halves up (as CSS rounds).
Rounded RoundHalfUp(const Wide& num, const Wide& den);

// At most this many decimals after the point; a longer figure is no
// colour anyone copied.
constexpr int MaxPlaces = 40;

// A decimal number split at its point.
struct Decimal {
    bool negative = false;
    std::string whole;    // digits without leading zeros, "" for none
    std::string fraction; // digits without trailing zeros

    int places() const { return static_cast<int>(fraction.size()); }
    // The number times 10^places (places >= this->places()), without its
    // sign; nothing when the whole part has more than maxWholeDigits.
    std::optional<Wide> scaled(int places, size_t maxWholeDigits = 4) const;
    // The whole part modulo m.
    uint32_t wholeModulo(uint32_t m) const;
    bool isZero() const { return whole.empty() && fraction.empty(); }
};

// A CSS <number>: an optional sign, digits with an optional fraction or a
// fraction alone (".5", never "5."), an optional exponent ("1e2", "5E-1").
// Nothing for anything else, and for a figure with more than MaxPlaces
// decimals once its exponent is applied.
std::optional<Decimal> ReadDecimal(std::string_view s);

// The number in decimals: 12345 with 3 places is "12.345", trailing zeros
// dropped ("12.3", "12").
std::string DecimalText(uint64_t scaled, int places);

} // namespace tp
