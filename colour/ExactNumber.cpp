#include "colour/ExactNumber.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tp {

Wide::Wide(uint64_t v) {
    limb_[0] = static_cast<uint32_t>(v);
    limb_[1] = static_cast<uint32_t>(v >> 32);
    trim();
}

void Wide::trim() {
    size_ = Limbs;
    while (size_ > 0 && limb_[size_ - 1] == 0)
        --size_;
}

Wide operator+(const Wide& a, const Wide& b) {
    Wide r;
    uint64_t carry = 0;
    const int n = std::max(a.size_, b.size_);
    for (int i = 0; i < n || (carry && i < Wide::Limbs); ++i) {
        carry += uint64_t{a.limb_[i]} + b.limb_[i];
        r.limb_[i] = static_cast<uint32_t>(carry);
        carry >>= 32;
    }
    r.trim();
    return r;
}

Wide operator-(const Wide& a, const Wide& b) {
    Wide r;
    int64_t borrow = 0;
    for (int i = 0; i < a.size_; ++i) {
        int64_t d = int64_t{a.limb_[i]} - b.limb_[i] - borrow;
        borrow = d < 0;
        if (d < 0) d += int64_t{1} << 32;
        r.limb_[i] = static_cast<uint32_t>(d);
    }
    r.trim();
    return r;
}

Wide operator*(const Wide& a, const Wide& b) {
    Wide r;
    for (int i = 0; i < a.size_; ++i) {
        uint64_t carry = 0;
        for (int j = 0; j < b.size_ && i + j < Wide::Limbs; ++j) {
            carry += uint64_t{a.limb_[i]} * b.limb_[j] + r.limb_[i + j];
            r.limb_[i + j] = static_cast<uint32_t>(carry);
            carry >>= 32;
        }
        if (i + b.size_ < Wide::Limbs) r.limb_[i + b.size_] = static_cast<uint32_t>(carry);
    }
    r.trim();
    return r;
}

std::strong_ordering operator<=>(const Wide& a, const Wide& b) {
    if (a.size_ != b.size_) return a.size_ <=> b.size_;
    for (int i = a.size_ - 1; i >= 0; --i)
        if (a.limb_[i] != b.limb_[i]) return a.limb_[i] <=> b.limb_[i];
    return std::strong_ordering::equal;
}

double Wide::approx() const {
    double v = 0;
    for (int i = size_ - 1; i >= std::max(0, size_ - 3); --i)
        v = v * 4294967296.0 + limb_[i];
    return std::ldexp(v, 32 * std::max(0, size_ - 3));
}

std::optional<Wide> Wide::FromDigits(std::string_view digits) {
    // 512 bits hold any 154 decimal digits.
    size_t start = digits.find_first_not_of('0');
    if (start == std::string_view::npos) return Wide{};
    if (digits.size() - start > 154) return std::nullopt;
    Wide r;
    for (size_t i = start; i < digits.size(); i += 19) {
        const size_t n = std::min<size_t>(19, digits.size() - i);
        uint64_t chunk = 0;
        for (size_t k = 0; k < n; ++k)
            chunk = chunk * 10 + static_cast<uint64_t>(digits[i + k] - '0');
        r = i == start ? Wide{chunk} : r * Pow10(static_cast<int>(n)) + Wide{chunk};
    }
    return r;
}

Wide Wide::Pow10(int n) {
    // The powers the colour texts use, made once.
    static const auto table = [] {
        std::array<Wide, 2 * MaxPlaces + 8> t{};
        t[0] = 1;
        for (size_t i = 1; i < t.size(); ++i)
            t[i] = t[i - 1] * Wide{10};
        return t;
    }();
    if (n >= 0 && static_cast<size_t>(n) < table.size()) return table[static_cast<size_t>(n)];
    Wide r = table.back();
    for (auto i = static_cast<int>(table.size()) - 1; i < n; ++i)
        r = r * Wide{10};
    return r;
}

std::optional<uint64_t> Wide::toUint64() const {
    if (size_ > 2) return std::nullopt;
    return uint64_t{limb_[1]} << 32 | limb_[0];
}

uint64_t QuotientOf(const Wide& num, const Wide& den, bool& exact) {
    exact = false;
    if (den.size_ == 0) return 0;
    if (num.size_ <= 4) { // within 128 bits: the machine divides
        __extension__ typedef unsigned __int128 U128;
        auto narrow = [](const Wide& w) {
            U128 v = 0;
            for (int i = w.size_ - 1; i >= 0; --i)
                v = v << 32 | w.limb_[i];
            return v;
        };
        const U128 n = narrow(num), d = narrow(den);
        exact = n % d == 0;
        return static_cast<uint64_t>(n / d);
    }
    // A float estimate is off by one at most for the small quotients asked
    // for; the exact products settle it.
    double estimate = std::floor(num.approx() / den.approx());
    estimate = std::clamp(estimate, 0.0, 4503599627370496.0);
    auto q = static_cast<uint64_t>(estimate);
    while (q > 0 && den * Wide{q} > num)
        --q;
    while (den * Wide{q + 1} <= num)
        ++q;
    exact = den * Wide{q} == num;
    return q;
}

Rounded RoundHalfUp(const Wide& num, const Wide& den) {
    bool exact = false;
    const uint64_t q = QuotientOf(num * Wide{2} + den, den * Wide{2}, exact);
    return {q, exact};
}

std::optional<Wide> Decimal::scaled(int at, size_t maxWholeDigits) const {
    if (whole.size() > maxWholeDigits || at < places() || at > MaxPlaces) return std::nullopt;
    std::string digits = whole + fraction;
    digits.append(static_cast<size_t>(at - places()), '0');
    return Wide::FromDigits(digits);
}

uint32_t Decimal::wholeModulo(uint32_t m) const {
    uint64_t r = 0;
    for (char c : whole)
        r = (r * 10 + static_cast<uint64_t>(c - '0')) % m;
    return static_cast<uint32_t>(r);
}

std::optional<Decimal> ReadDecimal(std::string_view s) {
    Decimal d;
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) d.negative = s[i++] == '-';
    std::string digits;
    size_t wholeDigits = 0, fractionDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        digits += s[i++];
        ++wholeDigits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            digits += s[i++];
            ++fractionDigits;
        }
        if (fractionDigits == 0) return std::nullopt; // "5." is not CSS
    }
    if (wholeDigits + fractionDigits == 0) return std::nullopt;
    long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
        size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            // Beyond a thousand the figure is out of every range anyway.
            if (exponent > 1000) return std::nullopt;
            exponent = exponent * 10 + (s[i++] - '0');
            ++expDigits;
        }
        if (expDigits == 0) return std::nullopt;
        if (negative) exponent = -exponent;
    }
    if (i != s.size() || exponent > 1000 || exponent < -1000) return std::nullopt;
    // Move the point by the exponent.
    long point = static_cast<long>(wholeDigits) + exponent;
    if (point < 0) {
        digits.insert(0, static_cast<size_t>(-point), '0');
        point = 0;
    }
    if (static_cast<size_t>(point) > digits.size())
        digits.append(static_cast<size_t>(point) - digits.size(), '0');
    d.whole = digits.substr(0, static_cast<size_t>(point));
    d.fraction = digits.substr(static_cast<size_t>(point));
    d.whole.erase(0, std::min(d.whole.find_first_not_of('0'), d.whole.size()));
    while (!d.fraction.empty() && d.fraction.back() == '0')
        d.fraction.pop_back();
    if (d.places() > MaxPlaces) return std::nullopt;
    return d;
}

std::string DecimalText(uint64_t scaled, int places) {
    std::string digits = std::to_string(scaled);
    if (places <= 0) return digits;
    const auto p = static_cast<size_t>(places);
    if (digits.size() <= p) digits = std::string(p + 1 - digits.size(), '0') + digits;
    std::string fraction = digits.substr(digits.size() - p);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    const std::string whole = digits.substr(0, digits.size() - p);
    return fraction.empty() ? whole : whole + "." + fraction;
}

} // namespace tp
