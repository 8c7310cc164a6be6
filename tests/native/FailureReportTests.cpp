// The failure report keeps its memory however many steps fail.
#include <gtest/gtest.h>

#include "support/FailureReport.h"

namespace {

TEST(FailureReport, ManyFailuresAreCountedButNotAllWritten)
{
    FailureReport report;
    report.Add("<File> ", "C:\\App\\A.TXT", "コピー元のファイルが見つかりません．\r\n");
    EXPECT_EQ(report.text, "<File> C:\\App\\A.TXT\r\nコピー元のファイルが見つかりません．\r\n\r\n");

    for (int n = 0; n < 100'000; ++n) report.Add("<File> ", "C:\\App\\F" + std::to_string(n) + ".DAT", "reason\r\n");
    EXPECT_EQ(report.count, 100'001);
    EXPECT_LE(report.text.size(), FailureReport::kLargestText + sizeof FailureReport::kOmittedLine);
    EXPECT_TRUE(report.text.ends_with(FailureReport::kOmittedLine));
    EXPECT_EQ(report.text.find(FailureReport::kOmittedLine), report.text.size() - (sizeof FailureReport::kOmittedLine - 1))
        << "said once";
    const std::size_t kept = report.text.rfind("\r\n\r\n", report.text.size() - sizeof FailureReport::kOmittedLine);
    EXPECT_EQ(report.text.substr(kept + 4), FailureReport::kOmittedLine) << "whole blocks only";

    // A path no system can open is shortened to what can be read.
    FailureReport longPath;
    longPath.Add("<File> ", "C:\\App\\" + std::string(1'000'000, 'f') + ".DAT", "reason\r\n");
    EXPECT_LE(longPath.text.size(), kLongestReadableLine + 12);
    EXPECT_TRUE(longPath.text.starts_with("<File> C:\\App\\fff"));
    EXPECT_TRUE(longPath.text.ends_with("ff.DAT\r\nreason\r\n\r\n"));

    // A stage's report joins the run's the same way.
    FailureReport run, stage;
    stage.Add("<SetupFile> ", "C:\\WINDOWS\\UNTESSR.EXE", "reason\r\n");
    run.Append(stage);
    EXPECT_EQ(run.text, stage.text);
    EXPECT_EQ(run.count, 1);
    run.Append(report);
    EXPECT_EQ(run.count, 100'002);
    EXPECT_TRUE(run.text.ends_with(FailureReport::kOmittedLine));
}

} // namespace
