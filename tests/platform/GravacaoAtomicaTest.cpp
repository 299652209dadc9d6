// Writing a small file whole: a new file is complete or absent, a replaced one keeps its mode,
// a failure leaves nothing behind and carries the system's error code; the descriptor owner
// closes exactly once, wherever it was moved to.
#include "platform/GravacaoAtomica.h"
#include "TempDir.h"
#include "platform/Descritor.h"

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int ErrorOf(const std::function<void()>& write) {
    try {
        write();
    } catch (const std::system_error& e) {
        return e.code().value();
    }
    return 0;
}

std::size_t EntriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

unsigned ModeOf(const fs::path& file) {
    struct stat info {};
    ::stat(file.c_str(), &info);
    return info.st_mode & 07777;
}

} // namespace

TEST(GravacaoAtomica, FailuresCarryTheSystemsCodeAndLeaveNothing) {
    TempDir dir;
    const std::string existing = dir.Write("existe", "antigo");
    const std::string dangling = (dir.Path() / "link").string();
    fs::create_symlink(dir.Path() / "nada", dangling);
    const std::string noFolder = (dir.Path() / "nao-ha" / "arquivo").string();
    struct Row {
        const char* Says;
        std::function<void()> Write;
        int Error;
    } rows[] = {
        {"new over a file", [&] { GravaArquivoNovo(existing, "novo", 0640); }, EEXIST},
        {"new over a dangling link", [&] { GravaArquivoNovo(dangling, "novo", 0640); }, EEXIST},
        {"new in no folder", [&] { GravaArquivoNovo(noFolder, "novo", 0640); }, ENOENT},
        {"replace in no folder", [&] { SubstituiArquivo(noFolder, "novo", 0640); }, ENOENT},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ErrorOf(row.Write), row.Error) << row.Says;
    EXPECT_EQ(ReadAll(existing), "antigo");
    EXPECT_FALSE(fs::exists(dir.Path() / "nada"));
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(GravacaoAtomica, ANewFileHasTheModeAndAReplacedOneKeepsItsOwn) {
    TempDir dir;
    const mode_t mask = ::umask(022);
    const fs::path fresh = dir.Path() / "novo";
    GravaArquivoNovo(fresh.string(), "um", 0640);
    EXPECT_EQ(ReadAll(fresh.string()), "um");
    EXPECT_EQ(ModeOf(fresh), 0640u);

    const std::string old = dir.Write("velho", "antigo");
    fs::permissions(old, fs::perms::owner_read | fs::perms::owner_write);
    SubstituiArquivo(old, std::string(100000, 'x'), 0644);
    EXPECT_EQ(ReadAll(old), std::string(100000, 'x'));
    EXPECT_EQ(ModeOf(old), 0600u);

    const fs::path created = dir.Path() / "criado";
    SubstituiArquivo(created.string(), "dois", 0640);
    EXPECT_EQ(ModeOf(created), 0640u);
    ::umask(mask);
    EXPECT_EQ(EntriesIn(dir.Path()), 3u); // no temporary file left beside them
}

TEST(Descritor, ClosesOnceWhereverItIsMoved) {
    int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        TDescritor first(fd);
        TDescritor second(std::move(first));
        EXPECT_FALSE(first.Aberto());
        TDescritor third;
        third = std::move(second);
        EXPECT_EQ(third.Get(), fd);
        EXPECT_NE(::fcntl(fd, F_GETFD), -1); // still open while an owner holds it
    }
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);

    TDescritor closed(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    EXPECT_EQ(closed.Fecha(), 0);
    EXPECT_FALSE(closed.Aberto());
    EXPECT_EQ(closed.Fecha(), 0); // a second close does nothing
}
