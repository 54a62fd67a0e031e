#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace velanote {

// Runs jobs one at a time on its own thread, taking clients in turn: after a job of one client
// comes the oldest job of the next client that has any, so a client that queues many jobs only
// delays another by the job in progress. Jobs left when it is destroyed are dropped unrun.
class FairQueue {
public:
    FairQueue();
    ~FairQueue();
    FairQueue(const FairQueue&) = delete;
    FairQueue& operator=(const FairQueue&) = delete;

    void submit(const std::string& client, std::function<void()> job);
    // Jobs waiting, the one running excluded.
    std::size_t length() const;

private:
    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::map<std::string, std::deque<std::function<void()>>> waiting_;
    std::string lastServed_;
    std::size_t length_ = 0;
    bool stopping_ = false;
    std::thread worker_; // last, so that it starts once every other member exists
};

} // namespace velanote
