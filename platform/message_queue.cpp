// One message queue per thread: posted messages, messages sent from other threads, quitting, and the
// end of a thread.
#include "platform/backend_chooser.h"
#include "platform/dialog.h"
#include "platform/input.h"
#include "platform/window_internal.h"

#include <condition_variable>
#include <deque>
#include <map>

namespace platform {

namespace {

struct ThreadQueue;

struct SentMessage
{
    Message message{};
    LRESULT result = 0;
    bool done = false; // guarded by the sender's queue lock
    std::shared_ptr<ThreadQueue> sender;
};

struct ThreadQueue
{
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Message> posted;
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quit = false;
    int quitCode = 0;
    bool alive = true;
};

struct Queues
{
    std::mutex mutex;
    std::map<ThreadId, std::shared_ptr<ThreadQueue>> queues;
};

// Made once and never destroyed, so that threads ending during process exit still find it.
Queues& Q()
{
    static Queues* queues = new Queues;
    return *queues;
}

void ThreadEnded();

// Ends the thread's queue with the thread: pending senders are answered with 0 and the windows the
// thread still owns go away.
struct QueueKeeper
{
    std::shared_ptr<ThreadQueue> queue;
    ~QueueKeeper()
    {
        if (queue) ThreadEnded();
    }
};
thread_local QueueKeeper t_queue;

std::shared_ptr<ThreadQueue> CurrentQueue()
{
    if (!t_queue.queue) {
        auto queue = std::make_shared<ThreadQueue>();
        std::lock_guard lock(Q().mutex);
        Q().queues[CurrentThreadId()] = queue;
        t_queue.queue = queue;
    }
    return t_queue.queue;
}

std::shared_ptr<ThreadQueue> QueueOf(ThreadId thread)
{
    std::lock_guard lock(Q().mutex);
    auto it = Q().queues.find(thread);
    return it == Q().queues.end() ? nullptr : it->second;
}

void Complete(const std::shared_ptr<SentMessage>& sent, LRESULT result)
{
    std::lock_guard lock(sent->sender->mutex);
    sent->result = result;
    sent->done = true;
    sent->sender->changed.notify_all();
}

void ThreadEnded()
{
    std::shared_ptr<ThreadQueue> queue = t_queue.queue;
    std::deque<std::shared_ptr<SentMessage>> pending;
    {
        std::lock_guard lock(queue->mutex);
        queue->alive = false;
        pending.swap(queue->sent);
        queue->posted.clear();
    }
    for (auto& sent : pending)
        Complete(sent, 0);
    const ThreadId self = CurrentThreadId();
    ForgetWindowsOf(self);
    {
        std::lock_guard lock(Q().mutex);
        Q().queues.erase(self);
    }
    t_queue.queue.reset();
}

void ProcessSent(const std::shared_ptr<ThreadQueue>& queue)
{
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        {
            std::lock_guard lock(queue->mutex);
            if (queue->sent.empty()) return;
            sent = queue->sent.front();
            queue->sent.pop_front();
        }
        const Message& m = sent->message;
        Complete(sent, CallProcedure(m.window, m.message, m.wParam, m.lParam));
    }
}

bool PostTo(const std::shared_ptr<ThreadQueue>& queue, const Message& message)
{
    if (!queue) return false;
    std::lock_guard lock(queue->mutex);
    if (!queue->alive) return false;
    queue->posted.push_back(message);
    queue->changed.notify_all();
    return true;
}

} // namespace

void EnsureThreadQueue()
{
    CurrentQueue();
}

bool PostToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto w = FindWindowRecord(window);
    if (!w) return false;
    return PostTo(QueueOf(w->owner), Message{window, message, wParam, lParam});
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == nullptr) return PostTo(CurrentQueue(), Message{nullptr, message, wParam, lParam});
    return PostToOwner(window, message, wParam, lParam);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto w = FindWindowRecord(window);
    if (!w) return 0;
    if (w->owner == CurrentThreadId()) return CallProcedure(window, message, wParam, lParam);
    auto target = QueueOf(w->owner);
    if (!target) return 0;
    auto self = CurrentQueue();
    auto sent = std::make_shared<SentMessage>();
    sent->message = Message{window, message, wParam, lParam};
    sent->sender = self;
    {
        std::lock_guard lock(target->mutex);
        if (!target->alive) return 0;
        target->sent.push_back(sent);
        target->changed.notify_all();
    }
    // While waiting, answer what others send to this thread, so two threads sending to each other
    // cannot block each other.
    for (;;) {
        ProcessSent(self);
        std::unique_lock lock(self->mutex);
        self->changed.wait(lock, [&] { return sent->done || !self->sent.empty(); });
        if (sent->done) return sent->result;
    }
}

void PostQuitMessage(int exitCode)
{
    auto queue = CurrentQueue();
    std::lock_guard lock(queue->mutex);
    queue->quit = true;
    queue->quitCode = exitCode;
    queue->changed.notify_all();
}

bool PeekMessage(Message* message, HWND filter, UINT removeFlags)
{
    auto queue = CurrentQueue();
    GetBackend().PumpEvents();
    PostDueTimers();
    ProcessSent(queue);
    std::lock_guard lock(queue->mutex);
    for (auto it = queue->posted.begin(); it != queue->posted.end(); ++it) {
        if (filter != nullptr && it->window != filter) continue;
        if (message != nullptr) *message = *it;
        if (removeFlags & PM_REMOVE) queue->posted.erase(it);
        return true;
    }
    if (queue->quit && filter == nullptr) {
        if (message != nullptr) *message = Message{nullptr, WM_QUIT, WPARAM(queue->quitCode), 0};
        if (removeFlags & PM_REMOVE) queue->quit = false;
        return true;
    }
    return false;
}

int GetMessage(Message* message, HWND filter)
{
    if (message == nullptr) return -1;
    auto queue = CurrentQueue();
    for (;;) {
        if (PeekMessage(message, filter, PM_REMOVE)) return message->message == WM_QUIT ? 0 : 1;
        // Native events arrive only when pumped, so the wait is cut into short slices.
        std::unique_lock lock(queue->mutex);
        queue->changed.wait_for(lock, std::chrono::milliseconds(10), [&] {
            return !queue->posted.empty() || !queue->sent.empty() || queue->quit;
        });
    }
}

bool TranslateMessage(const Message& message)
{
    if (message.message != WM_KEYDOWN) return false;
    const WORD key = WORD(message.wParam);
    const bool shift = GetHeldModifiers().shift;
    char c = 0;
    if (key >= 'A' && key <= 'Z')
        c = shift ? char(key) : char(key - 'A' + 'a');
    else if (key >= '0' && key <= '9')
        c = char(key);
    else if (key == VK_SPACE || key == VK_RETURN || key == VK_BACK || key == VK_TAB || key == VK_ESCAPE)
        c = char(key);
    if (c == 0) return false;
    return PostMessage(message.window, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), message.lParam);
}

LRESULT DispatchMessage(const Message& message)
{
    if (message.window == nullptr) return 0;
    return CallProcedure(message.window, message.message, message.wParam, message.lParam);
}

} // namespace platform
