#include <gtest/gtest.h>

#include "platform/win32/windows_headers.h"

// The tests run in a single-threaded apartment, as the CAD host calls the component.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
