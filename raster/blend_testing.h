#pragma once

// Test-only: puts one routine set into the table, so that one test program
// can check both. Linked only into tests.

enum class TRoutineSetUnderTest { Plain, Vector128, Vector256, Vector512 };

// Returns false, changing nothing, when this build or this processor lacks
// the set.
bool InstallRoutineSetForTesting(TRoutineSetUnderTest Set);

const char* RoutineSetName(TRoutineSetUnderTest Set);
