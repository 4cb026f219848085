#include "platform/Files.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <set>

namespace
{

std::set<std::string> Names(const std::string& folder)
{
    std::set<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str()))
    {
        while (const dirent* entry = ::readdir(dir))
        {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.insert(name);
        }
        ::closedir(dir);
    }
    return names;
}

// A folder of its own in the temporary home, so that all it holds is known.
std::string EmptyFolder(const CTempHome& home)
{
    const std::string folder = home.Path() + "/files";
    ::mkdir(folder.c_str(), 0700);
    return folder;
}

unsigned ModeOf(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Files may grow to a few bytes only while it lives, as on a full disk: a
// write past that fails (instead of the signal that would end the test).
class CFileSizeLimit
{
public:
    explicit CFileSizeLimit(rlim_t bytes)
    {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~CFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
};

struct ModeCase
{
    const char* name;
    unsigned mode;
};

class ReplaceFileAtomically : public ::testing::TestWithParam<ModeCase>
{
};

} // namespace

// Whatever the umask, the file gets the mode asked for, in place of the old
// one, and nothing is left beside it.
TEST_P(ReplaceFileAtomically, PutsTheBytesInPlaceWithTheirMode)
{
    CTempHome home;
    const std::string folder = EmptyFolder(home);
    const std::string path = folder + "/file.desktop";
    WriteWholeFile(path, "old");
    const mode_t umask = ::umask(077);
    const bool replaced = platform::ReplaceFileAtomically(path, "new content", GetParam().mode);
    ::umask(umask);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(ReadWholeFile(path), "new content");
    EXPECT_EQ(ModeOf(path), GetParam().mode);
    EXPECT_EQ(Names(folder), std::set<std::string>{"file.desktop"});
}

INSTANTIATE_TEST_SUITE_P(Modes, ReplaceFileAtomically,
                         ::testing::Values(ModeCase{"UserOnly", 0600},
                                           ModeCase{"ReadableByAll", 0644}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReplaceFileAtomicallyFailure, AFailedWriteLeavesTheOldFileAndNothingBesideIt)
{
    CTempHome home;
    const std::string folder = EmptyFolder(home);
    const std::string path = folder + "/settings.conf";
    WriteWholeFile(path, "old");
    bool replaced = true;
    {
        const CFileSizeLimit full(16);
        replaced = platform::ReplaceFileAtomically(path, std::string(4096, 'x'), 0600);
    }
    EXPECT_FALSE(replaced);
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(Names(folder), std::set<std::string>{"settings.conf"});

    // Nothing to write beside: a missing folder, or no file name at all.
    EXPECT_FALSE(platform::ReplaceFileAtomically(folder + "/missing/file", "x", 0600));
    EXPECT_FALSE(platform::ReplaceFileAtomically(folder + "/", "x", 0600));
    EXPECT_EQ(Names(folder), std::set<std::string>{"settings.conf"});
}

// A large temporary file (more than one block of the copy) is copied whole,
// and stays as it was.
TEST(ReplaceFileAtomicallyFromTemporaryFile, CopiesTheWholeFileAndKeepsIt)
{
    CTempHome home;
    const std::string folder = EmptyFolder(home);
    const std::string path = folder + "/list";
    std::string bytes;
    for (int i = 0; bytes.size() < 300 * 1024; ++i)
        bytes += std::to_string(i) + ",";
    {
        platform::CTemporaryFile source;
        EXPECT_FALSE(platform::ReplaceFileAtomically(path, source, 0600)) << "no file yet";
        ASSERT_TRUE(source.Create(folder, "WCF"));
        ASSERT_TRUE(source.Write(bytes.data(), bytes.size() / 2));
        ASSERT_TRUE(source.Write(bytes.data() + bytes.size() / 2, bytes.size() - bytes.size() / 2));
        EXPECT_EQ(ModeOf(source.Path()), 0600u);
        ASSERT_TRUE(platform::ReplaceFileAtomically(path, source, 0600));
        EXPECT_EQ(ReadWholeFile(path), bytes);
        EXPECT_EQ(ModeOf(path), 0600u);
        EXPECT_EQ(ReadWholeFile(source.Path()), bytes);
    }
    // The temporary file goes with its object.
    EXPECT_EQ(Names(folder), std::set<std::string>{"list"});
}
