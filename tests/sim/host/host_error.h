#pragma once

#include <gtest/gtest.h>

#include <string>

#include "base/runtime_error.h"
#include "base/text.h"

// Checks a host failure's number and description.
#define EXPECT_HOST_ERROR(statement, expectedNumber, expectedDescription)             \
  do {                                                                                \
    try {                                                                             \
      (void)(statement);                                                              \
      ADD_FAILURE() << #statement " raised nothing";                                  \
    } catch (const ::kvm::RuntimeError& error) {                                      \
      EXPECT_EQ(error.number(), (expectedNumber)) << #statement;                      \
      EXPECT_EQ(::kvm::toUtf8(error.description()), std::string(expectedDescription)) \
          << #statement;                                                              \
    }                                                                                 \
  } while (false)

#define EXPECT_HOST_ERROR_NUMBER(statement, expectedNumber) \
  EXPECT_HOST_ERROR(statement, expectedNumber,              \
                    ::kvm::toUtf8(::kvm::standardDescription(expectedNumber)))
