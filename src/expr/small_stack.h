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

    bool empty() const { return end_ == data_; }
    size_t size() const { return static_cast<size_t>(end_ - data_); }
    const T& top() const { return end_[-1]; }
    T& top() { return end_[-1]; }

    // By value: the argument may refer to an entry that growing moves.
    void push(T value) {
        if (end_ == limit_) Grow();
        *end_++ = value;
    }
    T pop() { return *--end_; }

private:
    // Out of line: pushes are on the evaluator's hottest path, growing almost never is.
    [[gnu::noinline]] void Grow() {
        const size_t size = this->size();
        if (size > static_cast<size_t>(-1) / (2 * sizeof(T))) throw std::bad_alloc();
        std::unique_ptr<T[]> heap(new T[size * 2]);
        std::memcpy(heap.get(), data_, size * sizeof(T));
        heap_ = std::move(heap);
        data_ = heap_.get();
        end_ = data_ + size;
        limit_ = data_ + size * 2;
    }

    // The pointers, not an index and a capacity: a push is then one compare and one store.
    T inline_[Inline];
    T* data_ = inline_;
    T* end_ = inline_;  // one past the top entry
    T* limit_ = inline_ + Inline;
    std::unique_ptr<T[]> heap_;
};

}  // namespace vx::expr
