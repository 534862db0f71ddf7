#pragma once

// Runs a test once per routine set, with that set installed in the table.

#include "raster/blend_testing.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

inline void PrintTo(TRoutineSetUnderTest Set, std::ostream* Out) { *Out << RoutineSetName(Set); }

class RoutineSetTest : public ::testing::TestWithParam<TRoutineSetUnderTest> {
protected:
  void SetUp() override {
    if (!InstallRoutineSetForTesting(GetParam()))
      GTEST_SKIP() << RoutineSetName(GetParam()) << " is not available in this build or processor";
  }
  bool Mmx() const { return GetParam() != TRoutineSetUnderTest::Plain; }
};

inline std::string SetNameOf(const ::testing::TestParamInfo<TRoutineSetUnderTest>& Info) {
  return RoutineSetName(Info.param);
}

// The pixel routines are the same in every vector width; only rows differ.
#define INSTANTIATE_FOR_BOTH_SETS(Suite)                                          \
  INSTANTIATE_TEST_SUITE_P(Sets, Suite,                                           \
                           ::testing::Values(TRoutineSetUnderTest::Plain,         \
                                             TRoutineSetUnderTest::Vector128),    \
                           SetNameOf)

#define INSTANTIATE_FOR_ALL_ROW_WIDTHS(Suite)                                      \
  INSTANTIATE_TEST_SUITE_P(Sets, Suite,                                            \
                           ::testing::Values(TRoutineSetUnderTest::Plain,          \
                                             TRoutineSetUnderTest::Vector128,      \
                                             TRoutineSetUnderTest::Vector256,      \
                                             TRoutineSetUnderTest::Vector512),     \
                           SetNameOf)
