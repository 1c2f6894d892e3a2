#include <gtest/gtest.h>
TEST(Sketch, Builds) {}
