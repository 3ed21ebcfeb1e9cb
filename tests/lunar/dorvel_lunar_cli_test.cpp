// The command-line tool dorvel-lunar, run from the program directory.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct ToolRun {
    int Status = -1;
    std::string Output;
};

// Runs the tool with the arguments; captures standard output, or standard error
// when errorsOnly is set.
ToolRun RunTool(const std::string& args, bool errorsOnly = false) {
    const char* dist = std::getenv("DORVEL_DIST_DIR");
    const std::string tool = std::string(dist ? dist : ".") + "/dorvel-lunar";
    const std::string command = "'" + tool + "' " + args + (errorsOnly ? " 2>&1 >/dev/null" : " 2>/dev/null");
    ToolRun run;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.Output.append(buffer, n);
    const int status = pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

struct BadInput {
    const char* Name;
    const char* Args;
};

class BadInputTest : public testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, OneLineOnStandardErrorAndStatus2) {
    const ToolRun run = RunTool(GetParam().Args, true);
    EXPECT_EQ(run.Status, 2);
    ASSERT_FALSE(run.Output.empty());
    EXPECT_EQ(run.Output.find('\n'), run.Output.size() - 1) << run.Output;
}

INSTANTIATE_TEST_SUITE_P(Cases, BadInputTest, testing::Values(
    BadInput{"malformed", "2024/02/10"},
    BadInput{"letters", "abc"},
    BadInput{"month_13", "2024-13-01"},
    BadInput{"no_feb_29", "2023-02-29"},
    BadInput{"year_2101", "2101-01-01"},
    BadInput{"year_0", "0000-06-01"},
    BadInput{"trailing_text", "2024-02-10x"},
    BadInput{"two_dates", "2024-02-10 2024-02-11"},
    BadInput{"unknown_option", "--week"},
    BadInput{"month_missing", "--month"},
    BadInput{"month_with_day", "--month 2024-02-10"},
    BadInput{"tsv_one_date", "--tsv 2024-01-01"},
    BadInput{"tsv_backwards", "--tsv 2024-02-02 2024-02-01"},
    BadInput{"tsv_beyond", "--tsv 2100-12-01 2101-01-01"}),
    [](const testing::TestParamInfo<BadInput>& info) { return std::string(info.param.Name); });

TEST(DorvelLunarCli, CardOfADay) {
    const ToolRun run = RunTool("2024-02-10");
    ASSERT_EQ(run.Status, 0);
    EXPECT_NE(run.Output.find("公历：2024年2月10日 星期六\n"), std::string::npos) << run.Output;
    EXPECT_NE(run.Output.find("农历：2024年正月初一\n"), std::string::npos);
    EXPECT_NE(run.Output.find("干支：甲辰年 丙寅月 甲辰日\n"), std::string::npos);
    EXPECT_NE(run.Output.find("生肖：龙\n"), std::string::npos);
    EXPECT_NE(run.Output.find("节日：春节\n"), std::string::npos);
    EXPECT_EQ(run.Output.find("纪年"), std::string::npos);

    const ToolRun leap = RunTool("2023-03-22");
    EXPECT_NE(leap.Output.find("农历：2023年闰二月初一\n"), std::string::npos) << leap.Output;
    const ToolRun old = RunTool("1900-01-31");
    EXPECT_NE(old.Output.find("纪年：[清]德宗 爱新觉罗载湉 光绪26年\n"), std::string::npos) << old.Output;
    const ToolRun term = RunTool("2024-02-04");
    EXPECT_NE(term.Output.find("节气：立春\n"), std::string::npos) << term.Output;
    EXPECT_EQ(RunTool("").Status, 0) << "today";
}

TEST(DorvelLunarCli, MonthGrid) {
    const ToolRun run = RunTool("--month 2024-02");
    ASSERT_EQ(run.Status, 0);
    // February 2024 begins on a Thursday: four empty cells, then 1, 2, 3.
    EXPECT_NE(run.Output.find("\n" + std::string(32, ' ') + "   1       2       3\n"), std::string::npos)
        << run.Output;
    // Precedence: the lunar festival over the lunar day, the term over the day.
    EXPECT_NE(run.Output.find("除夕    春节"), std::string::npos);
    EXPECT_NE(run.Output.find("立春"), std::string::npos);
    EXPECT_NE(run.Output.find("元宵节"), std::string::npos);
    EXPECT_NE(run.Output.find("情人节"), std::string::npos);
}

TEST(DorvelLunarCli, TabSeparatedLines) {
    const ToolRun run = RunTool("--tsv 1582-10-04 1582-10-05");
    ASSERT_EQ(run.Status, 0);
    EXPECT_EQ(run.Output,
              "date\tlyear\tlmonth\tlday\tcnmonth\tcnday\tterm\tholiday\tcnholiday\tyeargz\tmonthgz\t"
              "daygz\tanimal\tconstellation\tera\n"
              "1582-10-04\t1582\t9\t18\t九月\t十八\t\t\t\t壬午\t庚戌\t癸酉\t马\t天秤\t[明]神宗 朱翊钧 万历10年\n"
              "1582-10-05\t1582\t2\t-1\t二月\t\t\t\t\t壬午\t庚戌\t甲戌\t马\t天秤\t[明]神宗 朱翊钧 万历10年\n");
    const ToolRun leap = RunTool("--tsv 2033-12-22 2033-12-22");
    EXPECT_NE(leap.Output.find("\n2033-12-22\t2033\t-11\t1\t闰十一\t初一\t\t"), std::string::npos)
        << leap.Output;
}

} // namespace
