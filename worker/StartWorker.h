#pragma once
// Starts a chip worker on a thread of its own and lets it go: the main window learns of it only
// through its messages and reaches it only through its queue.
#include "worker/MessageSink.h"
#include "worker/WorkerContext.h"
#include "worker/WorkerParams.h"

#include <functional>
#include <memory>

using WorkerBody = std::function<void(const WorkerParams&, WorkerContext&)>;

// The worker's queue, or null when no thread could be created.
std::shared_ptr<WorkerQueue> StartWorker(WorkerBody body, std::shared_ptr<const WorkerParams> params,
                                         std::shared_ptr<MessageSink> sink);
