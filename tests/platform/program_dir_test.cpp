#include "platform/program_dir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

struct ResolveCase {
    const char* name;
    std::vector<const char*> dirs;  // folders to create, relative
    std::vector<const char*> files; // files to create, relative
    const char* relative;           // path as the program spells it
    const char* expected;           // path below the base it resolves to
};

class ResolveTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveTest, MatchesEachComponentIgnoringCase)
{
    const ResolveCase& c = GetParam();
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QDir base(tmp.path());
    for (const char* d : c.dirs)
        ASSERT_TRUE(base.mkpath(QString::fromUtf8(d)));
    for (const char* f : c.files)
        touch(base.filePath(QString::fromUtf8(f)));
    EXPECT_EQ(platform::ResolveIn(tmp.path(), QString::fromUtf8(c.relative)).toStdString(),
              (tmp.path() + QLatin1Char('/') + QString::fromUtf8(c.expected)).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ResolveTest,
    ::testing::Values(
        ResolveCase{"exact", {"Data"}, {"Data/UserData.mdb"}, "Data\\UserData.mdb", "Data/UserData.mdb"},
        ResolveCase{"lower_case_folder_spelling", {"Data"}, {"Data/FormSize.ini"}, "data\\FormSize.ini", "Data/FormSize.ini"},
        ResolveCase{"file_case_differs", {"source/DeskTopBG"}, {"source/DeskTopBG/Mix.bmp"}, "source\\DeskTopBG\\Mix.Bmp",
                    "source/DeskTopBG/Mix.bmp"},
        ResolveCase{"both_spellings_exist_exact_wins", {"Data", "data"}, {}, "data\\x.ini", "data/x.ini"},
        ResolveCase{"both_exist_other_spelling_first_sorted", {"Data", "data"}, {}, "DATA\\x.ini", "Data/x.ini"},
        ResolveCase{"missing_file_keeps_spelling", {"Data"}, {}, "data\\configSetBg.ini", "Data/configSetBg.ini"},
        ResolveCase{"missing_folder_keeps_rest", {}, {}, "Source\\Month\\202401.bmp", "Source/Month/202401.bmp"},
        ResolveCase{"trailing_separator_kept", {"source/DeskTopBG"}, {}, "Source\\deskTopBG\\", "source/DeskTopBG/"},
        ResolveCase{"forward_slashes_too", {"source/Navigate"}, {"source/Navigate/default.htm"},
                    "SOURCE/navigate/DEFAULT.HTM", "source/Navigate/default.htm"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgramDir, OverrideEndsWithSeparator)
{
    platform::SetProgramDirOverride(QStringLiteral("/tmp/some/dir"));
    EXPECT_EQ(platform::ProgramDir().toStdString(), "/tmp/some/dir/");
    platform::SetProgramDirOverride({});
    EXPECT_TRUE(platform::ProgramDir().endsWith(QLatin1Char('/')));
    EXPECT_NE(platform::ProgramDir(), QDir::currentPath() + QLatin1Char('/') + QStringLiteral("nowhere"));
}

} // namespace
