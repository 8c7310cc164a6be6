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
    // A gap ends nothing here: all twenty numbers are read, and no more.
    const IniDocument script = IniDocument::Parse("[Relate]\nName1=a\nFile1=A\nName2=b\nName3=c\nFile3=C\n"
                                                  "File4=D\nName20=t\nFile20=T\nName21=x\nFile21=X\n");
    EXPECT_EQ(ReadAssociationPairs(script), (AssociationList{{"a", "A"}, {"c", "C"}, {"t", "T"}}));
}

} // namespace
