// What one evaluation allocates, counted by replacing the global operator new of this test
// program: template texts allocate nothing once the shared text copy has room, and deeper
// texts only grow their stacks.
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "expr/evaluator.h"

namespace {
bool counting = false;
size_t allocations = 0;

void* Allocate(size_t size) {
    if (counting) ++allocations;
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    return block;
}
}  // namespace

[[gnu::noinline]] void* operator new(size_t size) { return Allocate(size); }
[[gnu::noinline]] void* operator new[](size_t size) { return Allocate(size); }
[[gnu::noinline]] void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
[[gnu::noinline]] void* operator new[](size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete[](void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, size_t) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete[](void* block, size_t) noexcept { std::free(block); }

namespace {

using vx::ExpressionEvaluator;
using vx::String;

bool Reference(const VXCHAR* name, double* value, void*) {
    if (name[0] == 'a' && name[1] == 0) {
        *value = 0.5;
        return true;
    }
    if (name[0] == 'b' && name[1] == 0) {
        *value = 0.25;
        return true;
    }
    return false;
}

size_t AllocationsOf(const VXCHAR* text, bool expect_ok) {
    double value = 0.0;
    allocations = 0;
    counting = true;
    const bool ok = ExpressionEvaluator::Evaluate(text, &value, Reference, nullptr);
    counting = false;
    EXPECT_EQ(ok, expect_ok);
    return allocations;
}

TEST(Allocation, TemplateTextsAllocateNothingOnceTheCopyHasRoom) {
    // The first evaluation of a longer text than any before grows the shared copy once.
    const String warm_up(300, VXCHAR(' '));
    AllocationsOf(warm_up.c_str(), true);
    AllocationsOf(VXTEXT("x"), false);  // and the error text's buffer

    const VXCHAR* texts[] = {
        VXTEXT("100.000000 + (300.000000 - 100.000000)*(0.25 + a/2)"),
        VXTEXT("50.000000+(250.000000-50.000000)*(1-b)"),
        VXTEXT("20.000000 + (80.000000 - 20.000000)*(0.5 + 0.5*cos(radian(a*360)))"),
        VXTEXT("-2^2 + sqrt(a*a + b*b) + 2pi"),
        VXTEXT("((((((((((((((((((((((((((((((1))))))))))))))))))))))))))))))"),
    };
    for (const VXCHAR* text : texts) EXPECT_EQ(AllocationsOf(text, true), 0u);
    // Failures set an error text in the buffer the earlier failure left.
    EXPECT_EQ(AllocationsOf(VXTEXT("1/0"), false), 0u);
    EXPECT_EQ(AllocationsOf(VXTEXT("y"), false), 0u);
}

TEST(Allocation, DeepTextsOnlyGrowTheirStacks) {
    // 100 open brackets outgrow the operator stack's inline room of 32 twice (64, 128); the
    // value stack stays inline.
    String nested(100, VXCHAR('('));
    nested += VXTEXT("1");
    nested += String(100, VXCHAR(')'));
    AllocationsOf(nested.c_str(), true);  // room for the copy
    EXPECT_EQ(AllocationsOf(nested.c_str(), true), 2u);

    // 100 values side by side: the value stack grows twice, the operators stay inline.
    String values;
    for (int i = 0; i < 100; ++i) values += VXTEXT("1 ");
    EXPECT_EQ(AllocationsOf(values.c_str(), false), 2u);
}

}  // namespace
