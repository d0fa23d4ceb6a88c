#pragma once

#include <gtest/gtest.h>

#include "base/runtime_error.h"

// Checks that a statement raises the platform's run-time error with this number.
#define EXPECT_RUNTIME_ERROR(statement, expectedNumber)                           \
  do {                                                                            \
    try {                                                                         \
      (void)(statement);                                                          \
      ADD_FAILURE() << #statement " raised nothing";                              \
    } catch (const ::kvm::RuntimeError& error) {                                  \
      EXPECT_EQ(error.number(), (expectedNumber)) << #statement;                  \
      EXPECT_EQ(error.description(), ::kvm::standardDescription(error.number())); \
    }                                                                             \
  } while (false)
