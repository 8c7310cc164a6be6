#include <gtest/gtest.h>

#include <map>

#include "install/Completion.h"
#include "tests/native/Cp932.h"

namespace {

TEST(InstallCompletion, TextHintsAtRemovalUnlessSetupOnly)
{
    UseCodePage932();
    EXPECT_EQ(CompletionText("インストール", "アンインストール", "製品"),
              "インストールが完了しました．\r\rプログラムのアンインストールは，\r"
              "「アプリケーションの追加と削除」から行ってください．");
    EXPECT_EQ(CompletionText("導入", "削除", "Tool setup only. edition"), "導入が完了しました．");
}

TEST(InstallCompletion, ExecuteFileSplitsAtTheFirstComma)
{
    EXPECT_EQ(SplitExecuteFile("C:\\App\\APP.EXE,/first,/x"), std::make_pair(std::string("C:\\App\\APP.EXE"),
                                                                          std::string("/first,/x")));
    EXPECT_EQ(SplitExecuteFile("C:\\App\\APP.EXE"), std::make_pair(std::string("C:\\App\\APP.EXE"), std::string()));
}

TEST(InstallCompletion, AssociationPairsKeepOnlyWholePairsInOrder)
{
    const std::map<std::string, std::string> relate = {
        {"Name1", "a"}, {"File1", "A"}, {"Name2", "b"}, {"Name3", "c"}, {"File3", "C"},
        {"File4", "D"}, {"Name21", "x"}, {"File21", "X"}};
    std::vector<std::string> read;
    const auto pairs = ReadAssociationPairs([&](const std::string& key) {
        read.push_back(key);
        const auto found = relate.find(key);
        return found == relate.end() ? std::string() : found->second;
    });
    EXPECT_EQ(pairs, (AssociationList{{"a", "A"}, {"c", "C"}}));
    EXPECT_EQ(std::count(read.begin(), read.end(), "File4"), 0); // Name4 is empty
    EXPECT_EQ(std::count(read.begin(), read.end(), "Name21"), 0);
}

} // namespace
