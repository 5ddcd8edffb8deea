#include "worker/StartWorker.h"

#include <bit>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {
class CollectingSink : public MessageSink {
public:
    void post(const OpMessage& m) override { add(m); }
    void send(const OpMessage& m) override { add(m); }

    std::vector<OpMessage> waitFor(std::size_t count)
    {
        std::unique_lock lock(mutex);
        arrived.wait_for(lock, std::chrono::seconds(5), [&] { return messages.size() >= count; });
        return messages;
    }

private:
    void add(const OpMessage& m)
    {
        std::lock_guard lock(mutex);
        messages.push_back(m);
        arrived.notify_all();
    }
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<OpMessage> messages;
};
} // namespace

TEST(WorkerQueue, EachCancelIsTakenOnce)
{
    WorkerQueue queue;
    EXPECT_FALSE(queue.takeCancel());
    queue.post(WM_OP_CANCEL);
    queue.post(WM_OP_PROGRESS); // not a cancel: ignored
    EXPECT_TRUE(queue.takeCancel());
    EXPECT_FALSE(queue.takeCancel());
}

TEST(StartWorker, RunsTheBodyWithItsParametersAndKeepsMessageOrder)
{
    auto sink = std::make_shared<CollectingSink>();
    auto params = std::make_shared<WorkerParams>();
    params->size = 3;
    auto queue = StartWorker(
        [](const WorkerParams& p, WorkerContext& context) {
            context.startClock();
            for (uint32_t i = 0; i < p.size; ++i) context.step();
            context.finishTimed(ReadFinished);
        },
        params, sink);
    ASSERT_TRUE(queue);
    const auto messages = sink->waitFor(4);
    ASSERT_EQ(messages.size(), 4u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(messages[i].lParam, ProgressStep);
    EXPECT_EQ(messages[3].message, WM_OP_PROGRESS);
    EXPECT_EQ(messages[3].lParam, ReadFinished);
    const float seconds = std::bit_cast<float>(messages[3].wParam);
    EXPECT_GE(seconds, 0.0f);
    EXPECT_LT(seconds, 5.0f);
}
