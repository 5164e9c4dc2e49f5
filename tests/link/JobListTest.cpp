// The worker's job lists: hand-over, progress, stopping, and closing.
#include <array>
#include <chrono>

#include "link/LinkFixture.h"

namespace {

using Buffer = std::array<uint8_t, JOB_BUFFER_SIZE>;
using Clock = std::chrono::steady_clock;

uint32_t StatusOf(uint32_t wParam) {
    return (wParam >> 16) & 0xFF;
}
uint32_t OpOf(uint32_t wParam) {
    return (wParam >> 8) & 0xFF;
}

} // namespace

TEST(ComThreadPort, RefusesPortNumbersOutside1To255) {
    ComThread worker;
    for (int n : {0, 256, -1}) {
        EXPECT_FALSE(worker.OpenPort(n)) << n;
        EXPECT_FALSE(worker.LastOpenError().empty());
        EXPECT_FALSE(worker.IsPortOpen());
        EXPECT_EQ(worker.PortNumber(), 0);
    }
    EXPECT_FALSE(worker.StartJobs()) << "no list runs without an open port";
    EXPECT_TRUE(worker.ClosePort());
}

TEST(ComThreadPort, ExplainsWhyAPortCannotBeOpened) {
    const int n = FreeComPortNumber();
    ASSERT_TRUE(SetComPortOverride(n, "/nonexistent/ttyZ9"));
    ComThread worker;
    EXPECT_FALSE(worker.OpenPort(n));
    EXPECT_NE(worker.LastOpenError().find("does not exist"), std::string::npos)
        << worker.LastOpenError();
    ASSERT_TRUE(SetComPortOverride(n, "/dev/null"));
    EXPECT_FALSE(worker.OpenPort(n));
    EXPECT_NE(worker.LastOpenError().find("not a serial device"), std::string::npos)
        << worker.LastOpenError();
    SetComPortOverride(n, "");
}

TEST(ComThreadJobs, JobTableHoldsAtMost1024Jobs) {
    ComThread worker;
    EXPECT_EQ(worker.GetProgress(), 1) << "nothing has begun yet";
    const TransferJob job{OP_REQUEST_INFO, 0, 122, nullptr};
    for (uint32_t i = 0; i < ComThread::MAX_JOBS; ++i)
        ASSERT_TRUE(worker.AddJob(&job)) << i;
    EXPECT_FALSE(worker.AddJob(&job));
    EXPECT_EQ(worker.JobCount(), 1024u);
    EXPECT_TRUE(worker.ClearJobs());
    EXPECT_FALSE(worker.AddJob(nullptr));
    EXPECT_EQ(worker.JobCount(), 0u);
}

class JobLists : public SimulatedLink {};

TEST_F(JobLists, ProgressRisesByBytesAndReaches100OnlyAtTheEnd) {
    Buffer a, b, c;
    EXPECT_EQ(Run({{OP_READ_TABLE, 0x0000, 2012, a.data()},
                   {OP_READ_TABLE, 0x000C, 2012, b.data()},
                   {OP_READ_TABLE, 0x0004, 34, c.data()}}),
              0);
    EXPECT_EQ(worker.GetProgress(), 100);
    const auto posted = waiter.Posted();
    ASSERT_GE(posted.size(), 3u);
    EXPECT_EQ(StatusOf(posted.front()), 1u);
    EXPECT_EQ(StatusOf(posted.back()), 100u);
    uint32_t previous = 0;
    bool saw49AfterFirstJob = false;
    for (size_t i = 0; i + 1 < posted.size(); ++i) {
        const uint32_t s = StatusOf(posted[i]);
        EXPECT_GE(s, previous);
        EXPECT_LE(s, 99u);
        previous = s;
        EXPECT_EQ(posted[i] & 0xFF, static_cast<uint32_t>(port)) << "port number in bits 0-7";
        // (2012 x 98 / 4058) + 1 once the first job is done.
        if (s == 49 && OpOf(posted[i]) == OP_READ_TABLE)
            saw49AfterFirstJob = true;
    }
    EXPECT_TRUE(saw49AfterFirstJob);
}

TEST_F(JobLists, ListWhoseLengthsAddUpToNothingStillRunsToTheEnd) {
    Buffer a, b;
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 0, 0, a.data()}, {OP_REQUEST_INFO, 1, 0, b.data()}}), 0);
    EXPECT_TRUE(worker.InfoReceived(0));
    EXPECT_TRUE(worker.InfoReceived(1));
    for (uint32_t w : waiter.Posted())
        EXPECT_GE(StatusOf(w), 1u);
}

TEST_F(JobLists, AJobThatSetsACodeIsTheLastOneRun) {
    RadioIdentity id = radio.Identity();
    id.channels2Version = 0; // table 100-199 absent: "not available"
    radio.SetIdentity(id);
    Buffer a, b, c;
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 0, 122, a.data()},
                   {OP_READ_TABLE, 0x000C, 2012, b.data()},
                   {OP_REQUEST_INFO, 1, 104, c.data()}}),
              26);
    EXPECT_EQ(worker.GetProgress(), 100);
    EXPECT_EQ(radio.Stats().infoRequests, 1u);
    EXPECT_FALSE(worker.InfoReceived(1));
    // The notification of the list's end carries the code in bits 24-31 and the op of the
    // job that set it in bits 8-15.
    const uint32_t end =
        (26u << 24) | (100u << 16) | (OP_READ_TABLE << 8) | static_cast<uint32_t>(port);
    EXPECT_TRUE(waiter.WaitPosted([&](uint32_t w) { return w == end; }, std::chrono::seconds(5)));

    // The next list begins with the code cleared.
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 1, 104, c.data()}}), 0);
    EXPECT_TRUE(worker.InfoReceived(1));
}

TEST_F(JobLists, NextListReusesTheOpenPortAndStartsPromptly) {
    Buffer a;
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 0, 122, a.data()}}), 0);
    const std::string device = worker.Device();
    EXPECT_TRUE(worker.OpenPort(port == 255 ? 254 : port + 1)) << "already open: no reopening";
    EXPECT_EQ(worker.Device(), device);
    EXPECT_EQ(worker.PortNumber(), port);

    const auto start = Clock::now();
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 1, 104, a.data()}}), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(900));
    EXPECT_EQ(radio.Stats().infoRequests, 2u);
}

// Closing in the middle of a paced write returns within about a second, and the list
// cannot be changed while it runs.
TEST_F(JobLists, ClosePortDuringATransferReturnsPromptly) {
    pty.SetPacing(Pacing::Line9600);
    SimulatedRadio::Image image = EmptyChannelImage(0x0200);
    const TransferJob job{OP_WRITE_TABLE, 0x0000, 2012, image.data()};
    ASSERT_TRUE(worker.AddJob(&job));
    ASSERT_TRUE(worker.StartJobs());
    // Wait until the first piece is through: the transfer is under way.
    ASSERT_TRUE(waiter.WaitPosted([](uint32_t w) { return StatusOf(w) > 1 && StatusOf(w) < 100; },
                                  std::chrono::seconds(5)));
    EXPECT_TRUE(worker.IsBusy());
    EXPECT_FALSE(worker.AddJob(&job));
    EXPECT_FALSE(worker.ClearJobs());
    EXPECT_FALSE(worker.StartJobs());

    const auto start = Clock::now();
    EXPECT_TRUE(worker.ClosePort());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
    EXPECT_FALSE(worker.IsPortOpen());
    EXPECT_EQ(worker.GetProgress(), 100);
    EXPECT_EQ(radio.Stats().tablesWritten, 0u);
}

// A notification handler that closes the port instead of posting must not hang or abort
// the worker: the list stops and the real close follows on the driver's thread.
TEST_F(JobLists, ClosePortFromTheWorkerThreadOnlyStopsTheList) {
    std::mutex mutex;
    std::condition_variable done;
    int calls = 0;
    bool closedFromWorker = true;
    worker.SetNotifyWindow([&](uint32_t) {
        std::lock_guard lock(mutex);
        if (calls++ == 0) {
            closedFromWorker = worker.ClosePort();
            done.notify_all();
        }
    });
    Buffer a;
    const TransferJob job{OP_REQUEST_INFO, 0, 122, a.data()};
    ASSERT_TRUE(worker.AddJob(&job));
    ASSERT_TRUE(worker.StartJobs());
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(done.wait_for(lock, std::chrono::seconds(5), [&] { return calls > 0; }));
    }
    EXPECT_FALSE(closedFromWorker);
    EXPECT_FALSE(worker.StartJobs()) << "a stopped worker would never begin the list";
    const auto start = Clock::now();
    EXPECT_TRUE(worker.ClosePort());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
    EXPECT_FALSE(worker.IsPortOpen());
    EXPECT_EQ(radio.Stats().infoRequests, 0u) << "the list stopped before its job";
}

// A job without a buffer would have the worker write through a null pointer: it ends the
// list with the buffer error before anything is sent, and the worker runs the next list.
TEST_F(JobLists, JobWithoutABufferEndsTheListBeforeAnyExchange) {
    Buffer a;
    const struct {
        const char* name;
        TransferJob job;
    } cases[] = {
        {"read", {OP_READ_TABLE, 0x0004, 48, nullptr}},
        {"write", {OP_WRITE_TABLE, 0x0004, 48, nullptr}},
        {"information", {OP_REQUEST_INFO, 0, 122, nullptr}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        radio.ResetStats();
        EXPECT_EQ(Run({c.job, {OP_REQUEST_INFO, 1, 104, a.data()}}), TRANSFER_BUFFER);
        EXPECT_EQ(radio.Stats().requests, 0u);
        EXPECT_FALSE(worker.InfoReceived(1));
    }
    EXPECT_EQ(Run({{OP_REQUEST_INFO, 1, 104, a.data()}}), 0);
    EXPECT_TRUE(worker.InfoReceived(1));
}
