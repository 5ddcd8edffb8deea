#include "worker/StartWorker.h"

#include <sys/resource.h>
#include <unistd.h>

#include <system_error>
#include <thread>

namespace {
// A raised priority keeps the adapter's exchanges back to back. The worker asks for a lower nice
// value rather than real-time scheduling, which would let a worker spinning on the emulated bus
// starve the window. Without the privilege the request is refused and the worker runs as it is:
// that is expected and not worth reporting.
constexpr int WorkerNice = -10;
} // namespace

std::shared_ptr<WorkerQueue> StartWorker(WorkerBody body, std::shared_ptr<const WorkerParams> params,
                                         std::shared_ptr<MessageSink> sink)
{
    auto queue = std::make_shared<WorkerQueue>();
    try {
        std::thread([body = std::move(body), params = std::move(params), sink = std::move(sink), queue] {
            setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), WorkerNice);
            WorkerContext context(*sink, *queue);
            body(*params, context);
        }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    return queue;
}
