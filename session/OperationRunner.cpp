#include "session/OperationRunner.h"

#include "session/QtMessageSink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <bit>

namespace {
constexpr int EraseTickPauseMs = 100;
constexpr int EraseBarLength = 100;
} // namespace

OperationRunner::OperationRunner(Client client)
    : client_(std::move(client)), sink_(std::make_shared<QtMessageSink>(this))
{
}

OperationRunner::~OperationRunner()
{
    cancel();
}

bool OperationRunner::event(QEvent* event)
{
    if (event->type() == QEvent::Type(WM_OP_PROGRESS) || event->type() == QEvent::Type(WM_OP_FAULT)) {
        const OpMessage& m = static_cast<OpEvent*>(event)->message;
        if (m.message == WM_OP_PROGRESS)
            WMOpProgress(m.wParam, m.lParam);
        else
            WMOpFault(m.lParam);
        return true;
    }
    return QObject::event(event);
}

bool OperationRunner::StartOperation(WorkerBody body, std::shared_ptr<WorkerParams> params)
{
    std::shared_ptr<WorkerQueue> queue = StartWorker(std::move(body), std::move(params), sink_);
    if (!queue) return false;
    lastWorker_ = std::move(queue);
    running_ = true;
    return true;
}

void OperationRunner::cancel()
{
    if (lastWorker_) lastWorker_->post(WM_OP_CANCEL);
}

void OperationRunner::cancelAndWait()
{
    while (running_) {
        cancel();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void OperationRunner::setProgressMaximum(int maximum)
{
    maximum_ = maximum;
    client_.progressChanged(position_, maximum_);
}

void OperationRunner::setProgressPosition(int position)
{
    position_ = position;
    client_.progressChanged(position_, maximum_);
}

void OperationRunner::SetPBarPos(int code)
{
    if (code == ProgressReset) {
        setProgressPosition(0);
    } else if (code == ProgressStep) {
        setProgressPosition(position_ + 1);
    } else if (code == ProgressEraseTick) {
        setProgressPosition(position_ + 1);
        // The pause paces the erase worker's polling; events are handled meanwhile.
        QEventLoop pause;
        QTimer::singleShot(EraseTickPauseMs, &pause, &QEventLoop::quit);
        pause.exec();
        if (position_ > EraseBarLength) setProgressPosition(0);
    }
    // Lets the window draw the step; never from inside itself, or a worker that steps faster than
    // the window takes its messages would nest one call per step until the stack ran out.
    if (pumping_) return;
    pumping_ = true;
    QCoreApplication::processEvents();
    pumping_ = false;
}

void OperationRunner::WMOpProgress(uint32_t wParam, int32_t lParam)
{
    if (lParam >= 0) {
        SetPBarPos(lParam);
        return;
    }
    client_.finished(lParam, std::bit_cast<float>(wParam));
}

void OperationRunner::WMOpFault(int32_t lParam)
{
    client_.fault(lParam);
}
