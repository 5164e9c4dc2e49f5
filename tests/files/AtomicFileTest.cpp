#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>

#include "files/AtomicFile.h"
#include "files/FileError.h"
#include "files/TestFiles.h"

namespace fs = std::filesystem;
using testfiles::ReadAll;
using testfiles::TempDir;
using testfiles::WriteAll;

namespace {

bool IsCharDevice(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

// The process id of a child that has already exited: no process runs under it (until the
// system hands it out again, which does not happen within a test).
pid_t GoneProcess() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

} // namespace

TEST(AtomicFileTargets, DevicesAndLinksToThemAreWrittenIntoNeverReplaced) {
    TempDir dir;
    fs::create_symlink("/dev/null", dir / "sink");
    for (const fs::path& target : {fs::path("/dev/null"), dir / "sink"}) {
        SCOPED_TRACE(target.string());
        WriteFileAtomically(target, "configuration bytes");
        EXPECT_TRUE(IsCharDevice("/dev/null"));
    }
    EXPECT_TRUE(fs::is_symlink(dir / "sink"));
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"sink"}); // no temporary beside the link
    // A device that refuses the bytes is reported, not taken for a success.
    EXPECT_THROW(WriteFileAtomically("/dev/full", "bytes"), FileError);
    EXPECT_TRUE(IsCharDevice("/dev/full"));
}

TEST(AtomicFileTargets, PipeIsWrittenIntoWhenReadAndRefusedWithoutAReader) {
    TempDir dir;
    const fs::path fifo = dir / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    // Nobody reads: refused at once instead of waiting for ever.
    try {
        WriteFileAtomically(fifo, "lost");
        FAIL() << "a pipe without a reader was written";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("no program reads from this pipe"), std::string::npos)
            << e.what();
    }

    const std::string bytes(100000, 'x'); // more than a pipe holds at once
    std::string received;
    std::thread reader([&] {
        const int fd = ::open(fifo.c_str(), O_RDONLY);
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
            received.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(fd);
    });
    // The reader may not have opened yet: retry the refused open until it has.
    bool written = false;
    for (int attempt = 0; attempt < 2000 && !written; ++attempt) {
        try {
            WriteFileAtomically(fifo, bytes);
            written = true;
        } catch (const FileError&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    reader.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(received, bytes);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"pipe"});
}

TEST(AtomicFileTargets, DirectoryIsRefusedWithItsName) {
    TempDir dir;
    fs::create_directory(dir / "taken.xml");
    WriteAll(dir / "taken.xml" / "inside", "kept");
    try {
        WriteFileAtomically(dir / "taken.xml", "bytes");
        FAIL() << "a directory was written";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("taken.xml\" is a directory"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(ReadAll(dir / "taken.xml" / "inside"), "kept");
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"taken.xml"});
}

TEST(AtomicFileTemporaries, NamedAfterTheFileAndTheWritersProcess) {
    const fs::path temporary = TemporaryPathBeside(fs::path("/some/dir") / "config.xml");
    EXPECT_EQ(temporary.parent_path(), fs::path("/some/dir"));
    const std::string prefix = ".config.xml.zorvex-tmp-" + std::to_string(getpid()) + "-";
    EXPECT_EQ(temporary.filename().string().rfind(prefix, 0), 0u) << temporary;
    EXPECT_NE(TemporaryPathBeside("config.xml"), TemporaryPathBeside("config.xml"));
}

TEST(AtomicFileTemporaries, LeftoversOfAKilledWriterGoAtTheNextSaveAndNothingElseDoes) {
    TempDir dir;
    const std::string gone = std::to_string(GoneProcess());
    const std::string alive = std::to_string(getppid()); // runs as long as this test does
    const std::set<std::string> kept = {
        ".other.xml.zorvex-tmp-" + alive + "-0", // a writer that is still at work
        "notes.zorvex-tmp-" + gone + "-0",       // not one of our names (no leading dot)
        ".a.zorvex-tmp-" + gone + "-x",          // not one of our names
        "config.xml.1234-5-6.tmp",               // someone else's
        ".dir.zorvex-tmp-" + gone + "-3",        // a directory: left alone
    };
    for (const std::string& name : kept) {
        if (name.rfind(".dir", 0) == 0) {
            fs::create_directory(dir / name);
        } else {
            WriteAll(dir / name, "x");
        }
    }
    WriteAll(dir / (".config.xml.zorvex-tmp-" + gone + "-0"), "half a file");
    WriteAll(dir / (".export.xlsx.zorvex-tmp-" + gone + "-12"), "half a file");

    WriteFileAtomically(dir / "config.xml", "new");

    std::set<std::string> expected = kept;
    expected.insert("config.xml");
    EXPECT_EQ(dir.Entries(), expected);
    EXPECT_EQ(ReadAll(dir / "config.xml"), "new");
}

TEST(AtomicFileTemporaries, WriteFailingWithEfbigLeavesNoTemporary) {
    TempDir dir;
    WriteAll(dir / "config.xml", "old");
    {
        testfiles::FileSizeLimit limit(1024);
        try {
            WriteFileAtomically(dir / "config.xml", std::string(4096, 'x'));
            FAIL() << "a write past the file-size limit succeeded";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(ReadAll(dir / "config.xml"), "old");
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"config.xml"});
}
