#include "platform/TextValue.h"

#include <gtest/gtest.h>

TEST(TextValue, ReadsLeadingNumber)
{
    const std::pair<const char *, double> cases[] = {
        {"", 0},      {"abc", 0},  {"0", 0},      {"1", 1},     {"-1", -1},     {"+3", 3},
        {"  42", 42}, {"\t7x", 7}, {"12abc", 12}, {"3.5", 3.5}, {"-0.5", -0.5}, {".5", 0.5},
        {"1 2", 1},   {"--1", 0},  {"- 1", 0},    {"٣", 0},     {"007", 7},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_DOUBLE_EQ(Val(QString::fromUtf8(text)), expected) << text;
}
