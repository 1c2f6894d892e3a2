// The fuzz bytes as the targets read them: one byte at a time (0 once they run out), or a
// number that is mostly a point on and around a 500-pixel canvas and now and then no number
// at all.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    double Real() {
        const uint8_t b = Byte();
        switch (b) {
            case 0: return std::numeric_limits<double>::quiet_NaN();
            case 1: return HUGE_VAL;
            case 2: return -HUGE_VAL;
            case 3: return 1e300;
            case 4: return -1e-300;
            default: return b * 2.0 - 20.0;
        }
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};
