// Text to double, as wcstod reads it in the C locale.
//
// The conversion uses integer arithmetic only and builds the result from its bits. The
// C library and std::from_chars are avoided on purpose: wcstod follows the process locale,
// and the 32-bit x87 build of std::from_chars multiplies in extended precision, which
// rounds twice and is off by one unit in the last place for some inputs.
//
// Paths:
// - at most 19 significant digits and a decimal exponent in [-22, 27] (every number the
//   library prints with "%f" among them): exact 64/128-bit integer arithmetic;
// - at most 19 significant digits and any other exponent: a product with, or a long
//   division by, a power of 5 held in a fixed-size big number;
// - hexadecimal: the first 16 significant digits plus a sticky bit;
// - more than 19 significant digits: a decimal big number of 800 digits (plus a flag for
//   nonzero digits beyond them) shifted by powers of two until the binary mantissa is its
//   integer part. 800 digits are more than the 767 significant digits of the longest value
//   halfway between two doubles, so the flag is enough to round correctly.
// No path allocates; a text of any length is read in one linear pass (two for the last
// path).
#include "text/number.h"

#include <cstdint>
#include <cstring>

namespace vx::text {
namespace {

constexpr uint64_t kSignBit = 0x8000000000000000ull;
constexpr uint64_t kInfinityBits = 0x7FF0000000000000ull;
constexpr uint64_t kQuietNanBits = 0x7FF8000000000000ull;
constexpr int kMantissaBits = 52;
// Exponents are saturated here while reading: far beyond every finite double, far from
// overflowing an int64_t.
constexpr int64_t kExponentLimit = 100000000;

// Code units of a text; past a bound reads as a zero. For a zero-terminated text the bound
// is SIZE_MAX and the terminator stops every scan, since all scans advance one unit at a
// time and stop at the first unit they do not expect.
struct Cursor {
    const VXCHAR* text;
    size_t size;
    uint32_t At(size_t i) const { return i < size ? static_cast<uint32_t>(text[i]) : 0u; }
};

bool IsDigit(uint32_t c) { return c >= '0' && c <= '9'; }

// White space of iswspace in the C locale.
bool IsSpace(uint32_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

uint32_t LowerAscii(uint32_t c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

int HexValue(uint32_t c) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    return -1;
}

// Case-insensitive match of an ASCII lower-case word at position i.
bool MatchWord(const Cursor& c, size_t i, const char* word) {
    for (; *word; ++word, ++i) {
        if (LowerAscii(c.At(i)) != static_cast<uint32_t>(*word)) return false;
    }
    return true;
}

int BitLength(uint64_t v) { return v == 0 ? 0 : 64 - __builtin_clzll(v); }

double FromBits(uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// The bits of the double nearest to (m + s) * 2^e, where m != 0 and s is a positive
// fraction below one when sticky is set (zero otherwise); ties go to even. Handles
// overflow (infinity), subnormals and underflow to zero.
uint64_t Assemble(uint64_t m, int64_t e, bool sticky) {
    const int up = 64 - BitLength(m);
    m <<= up;
    e -= up;
    const int64_t top = e + 63;  // exponent of the leading bit
    if (top > 1023) return kInfinityBits;
    int shift = 11;
    uint64_t base = 0;
    if (top >= -1022) {
        // The leading bit of the mantissa adds one to this exponent field.
        base = static_cast<uint64_t>(top + 1022) << kMantissaBits;
    } else {
        const int64_t s = 11 + (-1022 - top);
        if (s > 64) return 0;
        shift = static_cast<int>(s);
    }
    uint64_t mant, rest, half;
    if (shift == 64) {
        mant = 0;
        rest = m;
        half = 1ull << 63;
    } else {
        mant = m >> shift;
        rest = m & ((1ull << shift) - 1);
        half = 1ull << (shift - 1);
    }
    const bool roundUp = rest > half || (rest == half && (sticky || (mant & 1) != 0));
    // A carry out of the mantissa moves into the exponent field, up to infinity.
    return base + mant + (roundUp ? 1 : 0);
}

struct Pow5Table {
    uint64_t v[28];
    constexpr Pow5Table() : v() {
        v[0] = 1;
        for (int i = 1; i < 28; ++i) v[i] = v[i - 1] * 5;
    }
};
constexpr Pow5Table kPow5;

void Multiply64(uint64_t a, uint64_t b, uint64_t* hi, uint64_t* lo) {
    const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32;
    const uint64_t b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    *lo = (mid << 32) | (p00 & 0xFFFFFFFFu);
    *hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
}

// m * 10^e10 for m != 0 and -22 <= e10 <= 27, exactly rounded: 10^e10 = 5^e10 * 2^e10 and
// 5^22 < 2^52, 5^27 < 2^63.
uint64_t SmallDecimal(uint64_t m, int e10) {
    if (e10 >= 0) {
        uint64_t hi, lo;
        Multiply64(m, kPow5.v[e10], &hi, &lo);
        if (hi == 0) return Assemble(lo, e10, false);
        const int sh = BitLength(hi);
        const uint64_t top = (hi << (64 - sh)) | (lo >> sh);
        const bool sticky = (lo & ((1ull << sh) - 1)) != 0;
        return Assemble(top, e10 + sh, sticky);
    }
    // Long division of m, moved to the top of its word, by 5^k; then more quotient bits, as
    // many per step as the remainder (below 5^k) leaves room for, until there are 55.
    const uint64_t d = kPow5.v[-e10];
    const int dBits = BitLength(d);
    const int pre = 64 - BitLength(m);
    const uint64_t a = m << pre;
    uint64_t q = a / d, r = a % d;
    int64_t e = static_cast<int64_t>(e10) - pre;
    while (q < (1ull << 54)) {
        const int qRoom = 63 - BitLength(q), rRoom = 63 - dBits;
        const int t = qRoom < rRoom ? qRoom : rRoom;
        r <<= t;
        q = (q << t) | (r / d);
        r %= d;
        e -= t;
    }
    return Assemble(q, e, r != 0);
}

// Little-endian unsigned big numbers of 32-bit words, sized for m * 5^k with m < 2^64 and
// k <= 364 (at most 909 bits) plus 64 bits of quotient.
struct BigNumber {
    static constexpr int kWords = 32;
    uint32_t w[kWords];
    int n = 0;

    void Set(uint64_t v) {
        n = 0;
        for (; v != 0; v >>= 32) w[n++] = static_cast<uint32_t>(v);
    }
    void MultiplySmall(uint32_t f) {
        uint64_t carry = 0;
        for (int i = 0; i < n; ++i) {
            const uint64_t p = static_cast<uint64_t>(w[i]) * f + carry;
            w[i] = static_cast<uint32_t>(p);
            carry = p >> 32;
        }
        if (carry != 0) w[n++] = static_cast<uint32_t>(carry);
    }
    void MultiplyPow5(int k) {
        for (; k >= 13; k -= 13) MultiplySmall(1220703125u);  // 5^13
        if (k > 0) MultiplySmall(static_cast<uint32_t>(kPow5.v[k]));
    }
    int Bits() const { return n == 0 ? 0 : (n - 1) * 32 + BitLength(w[n - 1]); }
    uint32_t Word(int i) const { return i >= 0 && i < n ? w[i] : 0u; }
    // The 64 bits starting at bit pos (pos >= 0).
    uint64_t BitsAt(int pos) const {
        const int i = pos / 32, s = pos % 32;
        const uint64_t lo = Word(i), mid = Word(i + 1), hi = Word(i + 2);
        uint64_t v = (lo >> s) | (mid << (32 - s));
        if (s != 0) v |= hi << (64 - s);
        return v;
    }
    bool AnyBitBelow(int pos) const {
        const int i = pos / 32, s = pos % 32;
        for (int k = 0; k < i && k < n; ++k) {
            if (w[k] != 0) return true;
        }
        return s != 0 && (Word(i) & ((1u << s) - 1)) != 0;
    }
};

// Long division u / v (Knuth's algorithm D with 32-bit digits); v has at least two words,
// u at least as many as v. The quotient goes to q[0 .. u.n - v.n]; returns whether the
// remainder is nonzero.
bool Divide(const BigNumber& u, const BigNumber& v, uint32_t* q) {
    const int m = u.n, n = v.n;
    uint32_t un[BigNumber::kWords + 1], vn[BigNumber::kWords];
    const int s = __builtin_clz(v.w[n - 1]);
    for (int i = n - 1; i > 0; --i) {
        vn[i] = (v.w[i] << s) | (s ? v.w[i - 1] >> (32 - s) : 0);
    }
    vn[0] = v.w[0] << s;
    un[m] = s ? u.w[m - 1] >> (32 - s) : 0;
    for (int i = m - 1; i > 0; --i) {
        un[i] = (u.w[i] << s) | (s ? u.w[i - 1] >> (32 - s) : 0);
    }
    un[0] = u.w[0] << s;
    const uint64_t base = 1ull << 32;
    for (int j = m - n; j >= 0; --j) {
        const uint64_t num = (static_cast<uint64_t>(un[j + n]) << 32) | un[j + n - 1];
        uint64_t qhat = num / vn[n - 1];
        uint64_t rhat = num - qhat * vn[n - 1];
        while (qhat >= base || qhat * vn[n - 2] > ((rhat << 32) | un[j + n - 2])) {
            --qhat;
            rhat += vn[n - 1];
            if (rhat >= base) break;
        }
        // Multiply and subtract; add back once if qhat was one too large.
        int64_t borrow = 0;
        for (int i = 0; i < n; ++i) {
            const uint64_t p = qhat * vn[i];
            const int64_t t =
                static_cast<int64_t>(un[i + j]) - borrow - static_cast<int64_t>(p & 0xFFFFFFFFu);
            un[i + j] = static_cast<uint32_t>(t);
            borrow = static_cast<int64_t>(p >> 32) - (t >> 32);
        }
        const int64_t t = static_cast<int64_t>(un[j + n]) - borrow;
        un[j + n] = static_cast<uint32_t>(t);
        if (t < 0) {
            --qhat;
            uint64_t carry = 0;
            for (int i = 0; i < n; ++i) {
                const uint64_t sum = static_cast<uint64_t>(un[i + j]) + vn[i] + carry;
                un[i + j] = static_cast<uint32_t>(sum);
                carry = sum >> 32;
            }
            un[j + n] += static_cast<uint32_t>(carry);
        }
        q[j] = static_cast<uint32_t>(qhat);
    }
    for (int i = 0; i < n; ++i) {
        if (un[i] != 0) return true;
    }
    return false;
}

// m * 10^e10 for m != 0 and any e10, exactly rounded, with big numbers: a product with 5^e10
// for positive exponents, a quotient by 5^-e10 for negative ones.
uint64_t MediumDecimal(uint64_t m, int64_t e10) {
    if (e10 > 308) return kInfinityBits;  // m >= 1
    if (e10 < -364) return 0;             // m < 10^19: below 10^-345
    const int e = static_cast<int>(e10);
    BigNumber big;
    if (e >= 0) {
        big.Set(m);
        big.MultiplyPow5(e);
        const int bits = big.Bits();
        if (bits <= 64) return Assemble(big.BitsAt(0), e, false);
        return Assemble(big.BitsAt(bits - 64), e + bits - 64, big.AnyBitBelow(bits - 64));
    }
    // q = floor(m * 2^s / 5^k) with 63 or 64 bits; the value is q * 2^(-s-k) plus a sticky
    // remainder.
    const int k = -e;
    BigNumber divisor;
    divisor.Set(1);
    divisor.MultiplyPow5(k);
    const int s = divisor.Bits() + 63 - BitLength(m);
    // The dividend m << s: zero words, then m shifted over up to three words.
    BigNumber dividend;
    const int zeroWords = s / 32, shift = s % 32;
    for (int i = 0; i < zeroWords; ++i) dividend.w[i] = 0;
    const uint64_t lo = m << shift;
    const uint64_t hi = shift ? m >> (64 - shift) : 0;
    dividend.w[zeroWords] = static_cast<uint32_t>(lo);
    dividend.w[zeroWords + 1] = static_cast<uint32_t>(lo >> 32);
    dividend.w[zeroWords + 2] = static_cast<uint32_t>(hi);
    dividend.n = zeroWords + 3;
    while (dividend.w[dividend.n - 1] == 0) --dividend.n;
    uint32_t q[BigNumber::kWords];
    const bool sticky = Divide(dividend, divisor, q);
    const int qWords = dividend.n - divisor.n + 1;
    const uint64_t quotient = (qWords > 1 ? static_cast<uint64_t>(q[1]) << 32 : 0) | q[0];
    return Assemble(quotient, -static_cast<int64_t>(s) - k, sticky);
}

// A decimal number 0.d[0]d[1]...d[nd-1] * 10^dp with digit values 0-9; trunc records
// nonzero digits dropped beyond the capacity.
struct Decimal {
    static constexpr int kCapacity = 800;
    static constexpr int kMaxShift = 60;  // 9 << 60 and 10 << 60 still fit in 64 bits
    uint8_t d[kCapacity + 24];
    int nd = 0;
    int dp = 0;
    bool trunc = false;

    void Trim() {
        while (nd > 0 && d[nd - 1] == 0) --nd;
        if (nd == 0) dp = 0;
    }

    // Divides by 2^k, k <= kMaxShift.
    void RightShift(int k) {
        int r = 0, w = 0;
        uint64_t n = 0;
        for (; (n >> k) == 0; ++r) {
            if (r >= nd) {
                if (n == 0) {
                    nd = 0;
                    return;
                }
                while ((n >> k) == 0) {
                    n *= 10;
                    ++r;
                }
                break;
            }
            n = n * 10 + d[r];
        }
        dp -= r - 1;
        const uint64_t mask = (1ull << k) - 1;
        for (; r < nd; ++r) {
            const uint64_t c = d[r];
            d[w++] = static_cast<uint8_t>(n >> k);
            n = (n & mask) * 10 + c;
        }
        while (n > 0) {
            const uint64_t digit = n >> k;
            n &= mask;
            if (w < kCapacity) {
                d[w++] = static_cast<uint8_t>(digit);
            } else if (digit > 0) {
                trunc = true;
            }
            n *= 10;
        }
        nd = w;
        Trim();
    }

    // Multiplies by 2^k, k <= kMaxShift. The product is written right-aligned with room
    // for the most digits it can gain (2^60 has 19), then moved down over the leading
    // zeros.
    void LeftShift(int k) {
        const int room = 19;
        int w = nd + room;
        uint64_t n = 0;
        for (int r = nd - 1; r >= 0; --r) {
            n += static_cast<uint64_t>(d[r]) << k;
            const uint64_t q = n / 10;
            d[--w] = static_cast<uint8_t>(n - 10 * q);
            n = q;
        }
        while (n > 0) {
            const uint64_t q = n / 10;
            d[--w] = static_cast<uint8_t>(n - 10 * q);
            n = q;
        }
        const int total = nd + room - w;
        std::memmove(d, d + w, static_cast<size_t>(total));
        dp += total - nd;
        nd = total;
        if (nd > kCapacity) {
            for (int i = kCapacity; i < nd; ++i) {
                if (d[i] != 0) trunc = true;
            }
            nd = kCapacity;
        }
        Trim();
    }

    void Shift(int k) {
        if (nd == 0) return;
        for (; k > kMaxShift; k -= kMaxShift) LeftShift(kMaxShift);
        for (; k < -kMaxShift; k += kMaxShift) RightShift(kMaxShift);
        if (k > 0) LeftShift(k);
        if (k < 0) RightShift(-k);
    }

    // The integer part, rounded half to even by the first fraction digit and the rest.
    uint64_t RoundedInteger() const {
        uint64_t n = 0;
        int i = 0;
        for (; i < dp && i < nd; ++i) n = n * 10 + d[i];
        for (; i < dp; ++i) n *= 10;
        if (dp >= 0 && dp < nd) {
            bool up;
            if (d[dp] == 5 && dp + 1 == nd) {
                up = trunc || (dp > 0 && (d[dp - 1] & 1) != 0);
            } else {
                up = d[dp] >= 5;
            }
            if (up) ++n;
        }
        return n;
    }

    // The bits of the nearest double (without sign).
    uint64_t ToBits() {
        if (nd == 0) return 0;
        if (dp > 310) return kInfinityBits;
        if (dp < -330) return 0;
        static const int kPowers[] = {1, 3, 6, 9, 13, 16, 19, 23, 26};
        const int kPowerCount = static_cast<int>(sizeof kPowers / sizeof kPowers[0]);
        // Scale into [0.5, 1) by powers of two, counting them in exp.
        int exp = 0;
        while (dp > 0) {
            const int n = dp >= kPowerCount ? 27 : kPowers[dp];
            Shift(-n);
            exp += n;
        }
        while (dp < 0 || (dp == 0 && d[0] < 5)) {
            const int n = -dp >= kPowerCount ? 27 : kPowers[-dp];
            Shift(n);
            exp -= n;
        }
        --exp;  // now a mantissa in [1, 2) times 2^exp
        if (exp < -1022) {
            const int n = -1022 - exp;
            Shift(-n);
            exp += n;
        }
        if (exp > 1023) return kInfinityBits;
        Shift(kMantissaBits + 1);
        uint64_t mant = RoundedInteger();
        if (mant == (2ull << kMantissaBits)) {
            mant >>= 1;
            ++exp;
            if (exp > 1023) return kInfinityBits;
        }
        if ((mant & (1ull << kMantissaBits)) == 0) return mant;  // subnormal or zero
        return (static_cast<uint64_t>(exp + 1023) << kMantissaBits) |
               (mant & ((1ull << kMantissaBits) - 1));
    }
};

// Digits (and at most one '.') in [begin, end) times 10^exp10, through the big decimal.
uint64_t LongDecimal(const Cursor& c, size_t begin, size_t end, int64_t exp10) {
    Decimal dec;
    int64_t dp = 0;
    bool afterPoint = false;
    for (size_t i = begin; i < end; ++i) {
        const uint32_t ch = c.At(i);
        if (ch == '.') {
            afterPoint = true;
            continue;
        }
        const uint8_t digit = static_cast<uint8_t>(ch - '0');
        if (dec.nd == 0 && digit == 0) {
            if (afterPoint) --dp;
            continue;
        }
        if (!afterPoint) ++dp;
        if (dec.nd < Decimal::kCapacity) {
            dec.d[dec.nd++] = digit;
        } else if (digit != 0) {
            dec.trunc = true;
        }
    }
    dp += exp10;
    if (dp > 100000) dp = 100000;
    if (dp < -100000) dp = -100000;
    dec.dp = static_cast<int>(dp);
    dec.Trim();
    return dec.ToBits();
}

// Reads an optional sign and decimal digits at i; returns the saturated value, or false
// (leaving i) when no digit follows.
bool ReadExponent(const Cursor& c, size_t* i, int64_t* value) {
    size_t j = *i;
    bool negative = false;
    if (c.At(j) == '+' || c.At(j) == '-') {
        negative = c.At(j) == '-';
        ++j;
    }
    if (!IsDigit(c.At(j))) return false;
    int64_t v = 0;
    for (uint32_t ch; IsDigit(ch = c.At(j)); ++j) {
        if (v < kExponentLimit) v = v * 10 + (ch - '0');
    }
    *value = negative ? -v : v;
    *i = j;
    return true;
}

// Hexadecimal digits after "0x" at i. Returns false when no hex digit follows; otherwise
// sets the bits and the end.
bool ReadHex(const Cursor& c, size_t i, uint64_t* bits, size_t* end) {
    uint64_t m = 0;
    int taken = 0;  // significant hex digits in m
    int64_t e2 = 0;
    bool sticky = false, any = false;
    int v;
    for (; (v = HexValue(c.At(i))) >= 0; ++i) {
        any = true;
        if (taken < 16) {
            if (m != 0 || v != 0) {
                m = m * 16 + static_cast<uint64_t>(v);
                ++taken;
            }
        } else {
            e2 += 4;
            sticky = sticky || v != 0;
        }
    }
    if (c.At(i) == '.') {
        size_t j = i + 1;
        for (; (v = HexValue(c.At(j))) >= 0; ++j) {
            any = true;
            if (taken < 16) {
                if (m != 0 || v != 0) {
                    m = m * 16 + static_cast<uint64_t>(v);
                    ++taken;
                }
                e2 -= 4;
            } else {
                sticky = sticky || v != 0;
            }
        }
        if (any) i = j;
    }
    if (!any) return false;
    if (LowerAscii(c.At(i)) == 'p') {
        size_t j = i + 1;
        int64_t p = 0;
        if (ReadExponent(c, &j, &p)) {
            e2 += p;
            i = j;
        }
    }
    *bits = m == 0 ? 0 : Assemble(m, e2, sticky);
    *end = i;
    return true;
}

// A decimal number from i: digits, a fraction, an exponent. False when there is no digit.
bool ReadDecimal(const Cursor& c, size_t i, uint64_t* bits, size_t* end) {
    const size_t begin = i;
    uint64_t m = 0;
    int significant = 0;
    int64_t scale = 0;  // m * 10^scale is the number without its exponent
    bool dropped = false, any = false;
    // Keeps the first 19 significant digits in m; a digit after them only moves the
    // scale (integer part) or is dropped (fraction), and is remembered when not 0.
    auto take = [&](uint32_t digit, bool fraction) {
        any = true;
        if (significant < 19) {
            if (m != 0 || digit != 0) {
                m = m * 10 + digit;
                ++significant;
            }
            if (fraction) --scale;
        } else {
            if (!fraction) ++scale;
            dropped = dropped || digit != 0;
        }
    };
    uint32_t ch;
    for (; IsDigit(ch = c.At(i)); ++i) take(ch - '0', false);
    if (c.At(i) == '.') {
        size_t j = i + 1;
        for (; IsDigit(ch = c.At(j)); ++j) take(ch - '0', true);
        if (any) i = j;
    }
    if (!any) return false;
    const size_t digitsEnd = i;
    int64_t exp10 = 0;
    if (LowerAscii(c.At(i)) == 'e') {
        size_t j = i + 1;
        if (ReadExponent(c, &j, &exp10)) i = j;
    }
    *end = i;
    const int64_t e10 = scale + exp10;
    if (m == 0) {
        *bits = 0;
    } else if (!dropped && e10 >= -22 && e10 <= 27) {
        *bits = SmallDecimal(m, static_cast<int>(e10));
    } else if (!dropped) {
        *bits = MediumDecimal(m, e10);
    } else {
        *bits = LongDecimal(c, begin, digitsEnd, exp10);
    }
    return true;
}

double Read(const Cursor& c, size_t* consumed) {
    size_t i = 0;
    while (IsSpace(c.At(i))) ++i;
    uint64_t sign = 0;
    if (c.At(i) == '+' || c.At(i) == '-') {
        if (c.At(i) == '-') sign = kSignBit;
        ++i;
    }
    size_t end = 0;
    uint64_t bits = 0;
    const uint32_t first = LowerAscii(c.At(i));

    if (first == 'i' && MatchWord(c, i, "inf")) {
        end = MatchWord(c, i + 3, "inity") ? i + 8 : i + 3;
        bits = kInfinityBits;
    } else if (first == 'n' && MatchWord(c, i, "nan")) {
        end = i + 3;
        if (c.At(end) == '(') {
            size_t j = end + 1;
            for (uint32_t ch; (ch = c.At(j)) != 0; ++j) {
                const uint32_t l = LowerAscii(ch);
                if (!(IsDigit(ch) || (l >= 'a' && l <= 'z') || ch == '_')) break;
            }
            if (c.At(j) == ')') end = j + 1;
        }
        bits = kQuietNanBits;
    } else if (first == '0' && LowerAscii(c.At(i + 1)) == 'x' && ReadHex(c, i + 2, &bits, &end)) {
        // done
    } else if (!ReadDecimal(c, i, &bits, &end)) {
        if (consumed) *consumed = 0;
        return 0.0;
    }
    if (consumed) *consumed = end;
    return FromBits(bits | sign);
}

}  // namespace

double ReadNumber(const VXCHAR* text, size_t* consumed) {
    if (text == nullptr) {
        if (consumed) *consumed = 0;
        return 0.0;
    }
    return Read(Cursor{text, SIZE_MAX}, consumed);
}

double ReadNumber(StringView text, size_t* consumed) {
    return Read(Cursor{text.data(), text.size()}, consumed);
}

}  // namespace vx::text
