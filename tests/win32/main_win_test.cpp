#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <gtest/gtest.h>
int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
TEST(Smoke, Acp) { EXPECT_EQ(932u, GetACP()); }
