#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/runtime_error.h"
#include "base/text.h"

// Checks that a statement fails as the LISP engine does: error 5 with this exact message.
#define EXPECT_LISP_ERROR(statement, expectedMessage)                                            \
  do {                                                                                           \
    try {                                                                                        \
      (void)(statement);                                                                         \
      ADD_FAILURE() << #statement " raised nothing";                                             \
    } catch (const ::kvm::RuntimeError& error) {                                                 \
      EXPECT_EQ(error.number(), 5) << #statement;                                                \
      EXPECT_EQ(::kvm::toUtf8(error.description()), std::string(expectedMessage)) << #statement; \
    }                                                                                            \
  } while (false)
