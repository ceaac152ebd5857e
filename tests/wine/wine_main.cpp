// The Wine test runner: COM for the test thread, then every test.
#include <gtest/gtest.h>

#include "win32/com_dispatch.h"

int main(int argc, char** argv) {
  qel::win::ComApartment com;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
