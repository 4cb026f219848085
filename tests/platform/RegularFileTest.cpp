#include "platform/RegularFile.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using platform::FileReadResult;
using platform::ReadRegularFile;

TEST(RegularFile, OnlyRegularFilesWithinTheLimitAreRead)
{
    CTempHome home;
    const std::string path = home.Path() + "/file";
    std::string content = "left over";

    EXPECT_EQ(ReadRegularFile(path, 10, content), FileReadResult::Missing);
    EXPECT_EQ(content, "");

    WriteWholeFile(path, std::string("0123456789", 10));
    EXPECT_EQ(ReadRegularFile(path, 10, content), FileReadResult::Ok);
    EXPECT_EQ(content, "0123456789");
    EXPECT_EQ(ReadRegularFile(path, 9, content), FileReadResult::Refused);
    EXPECT_EQ(content, "");

    // A link to a file is read as the file.
    ASSERT_EQ(::symlink(path.c_str(), (home.Path() + "/link").c_str()), 0);
    EXPECT_EQ(ReadRegularFile(home.Path() + "/link", 10, content), FileReadResult::Ok);

    EXPECT_EQ(ReadRegularFile(home.Path(), 1 << 20, content), FileReadResult::Refused);
    EXPECT_EQ(ReadRegularFile("/dev/zero", 1 << 20, content), FileReadResult::Refused);
}

TEST(RegularFile, AFifoIsRefusedWithoutWaitingForAWriter)
{
    CTempHome home;
    const std::string fifo = home.Path() + "/fifo";
    ASSERT_TRUE(MakeFifo(fifo));
    FileReadResult result = FileReadResult::Ok;
    EXPECT_TRUE(ReturnsWithoutWaitingOnFifo(fifo,
                                            [&]
                                            {
                                                std::string content;
                                                result = ReadRegularFile(fifo, 1 << 20, content);
                                            }));
    EXPECT_EQ(result, FileReadResult::Refused);
    struct stat info;
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
