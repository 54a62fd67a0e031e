#include "service/fairqueue.h"

namespace velanote {

FairQueue::FairQueue() : worker_([this] { run(); }) {}

FairQueue::~FairQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void FairQueue::submit(const std::string& client, std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        waiting_[client].push_back(std::move(job));
        ++length_;
    }
    wake_.notify_one();
}

std::size_t FairQueue::length() const {
    std::lock_guard lock(mutex_);
    return length_;
}

void FairQueue::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || length_ > 0; });
            if (stopping_) {
                return;
            }
            // The next client after the one served last, in address order, wrapping round.
            auto next = waiting_.upper_bound(lastServed_);
            if (next == waiting_.end()) {
                next = waiting_.begin();
            }
            lastServed_ = next->first;
            job = std::move(next->second.front());
            next->second.pop_front();
            if (next->second.empty()) {
                waiting_.erase(next);
            }
            --length_;
        }
        job();
    }
}

} // namespace velanote
