#include <gtest/gtest.h>

#include "app/load_flow.h"

#include <tuple>

using namespace corvane;

TEST(LoadFlow, FilesFromTheCommandLineAndTheOpenDialog) {
    EXPECT_EQ((std::vector<std::string>{"a.ts", "C:\\録画 フォルダ\\b.ts", "c.dat"}),
              splitCommandLine("  a.ts \"C:\\録画 フォルダ\\b.ts\"   c.dat "));
    EXPECT_EQ((std::vector<std::string>{"x y"}), splitCommandLine("\"x y"));  // unterminated quote
    EXPECT_EQ((std::vector<std::string>{"", "z"}), splitCommandLine("\"\" z"));
    EXPECT_TRUE(splitCommandLine("").empty() && splitCommandLine("   ").empty() && splitCommandLine(nullptr).empty());

    // The open dialog's selections.
    const char single[] = "C:\\data\\guide.dat\0\0";
    EXPECT_EQ((std::vector<std::string>{"C:\\data\\guide.dat"}), selectedPaths(single, sizeof single));
    const char several[] = "C:\\rec\0a.ts\0b.dat\0\0";
    EXPECT_EQ((std::vector<std::string>{"C:\\rec\\a.ts", "C:\\rec\\b.dat"}), selectedPaths(several, sizeof several));
    // A buffer without its final empty name is not read past its end.
    const char cut[] = {'C', ':', '\0', 'a', '.', 't', 's'};
    EXPECT_EQ((std::vector<std::string>{"C:\\a.ts"}), selectedPaths(cut, sizeof cut));
    EXPECT_TRUE(selectedPaths("\0", 1).empty());
}

TEST(LoadFlow, ProgressTextsAndDataFileNames) {
    EXPECT_EQ("12,345MB/1,234,567MB", progressText(12345000, 1234567000));
    // (0, 0): a file of fewer than 1000 bytes.
    EXPECT_EQ(std::pair(50, 100), std::pair(progressPercent(1750000, 3500000), progressPercent(0, 0)));
    EXPECT_TRUE(hasDataFileExtension("C:\\a\\guide.DAT") && hasDataFileExtension("guide.dat"));
    EXPECT_FALSE(hasDataFileExtension("guide.data") || hasDataFileExtension("C:\\x.dat\\guide"));
    // 表 is 0x95 0x5C: its second byte is no folder separator.
    EXPECT_EQ(std::tuple("guide.ts", "表.ts", "表"),
              std::tuple(fileNameOf("C:\\rec\\guide.ts"), fileNameOf("C:\\表.ts"), fileNameOf("表")));
}
