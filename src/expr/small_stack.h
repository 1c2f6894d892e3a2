// A stack for the parser's values and operators.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

namespace vx::expr {

// Keeps its first Inline entries inside the object and moves to the heap, doubling, only
// when a text chains or nests deeper than that. Template texts stay within the inline part,
// so an evaluation allocates nothing for its stacks. Growth has no fixed limit.
template <typename T, size_t Inline>
class SmallStack {
    static_assert(std::is_trivially_copyable_v<T>, "entries are moved with memcpy");
    static_assert(Inline > 0, "growth doubles the capacity");

public:
    SmallStack() = default;
    SmallStack(const SmallStack&) = delete;
    SmallStack& operator=(const SmallStack&) = delete;

    bool empty() const { return size_ == 0; }
    size_t size() const { return size_; }
    const T& top() const { return data_[size_ - 1]; }
    T& top() { return data_[size_ - 1]; }

    // By value: the argument may refer to an entry that growing moves.
    void push(T value) {
        if (size_ == capacity_) Grow();
        data_[size_++] = value;
    }
    T pop() { return data_[--size_]; }

private:
    void Grow() {
        if (capacity_ > static_cast<size_t>(-1) / (2 * sizeof(T))) throw std::bad_alloc();
        const size_t capacity = capacity_ * 2;
        std::unique_ptr<T[]> heap(new T[capacity]);
        std::memcpy(heap.get(), data_, size_ * sizeof(T));
        heap_ = std::move(heap);
        data_ = heap_.get();
        capacity_ = capacity;
    }

    T inline_[Inline];
    T* data_ = inline_;
    size_t size_ = 0;
    size_t capacity_ = Inline;
    std::unique_ptr<T[]> heap_;
};

}  // namespace vx::expr
