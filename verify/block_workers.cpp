#include "verify/block_workers.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

#include "verify/record_builder.h"
#include "verify/verification_session.h"

namespace bq {

char* ByteBuffer::Room(size_t bytes) {
    if (capacity_ - size_ < bytes) {
        const size_t capacity = std::max(size_ + bytes, capacity_ * 2);
        std::unique_ptr<char[]> grown(new char[capacity]);
        if (size_) std::memcpy(grown.get(), data_.get(), size_);
        data_ = std::move(grown);
        capacity_ = capacity;
    }
    return data_.get() + size_;
}

BlockJob::BlockJob() = default;
BlockJob::~BlockJob() = default;

namespace {

enum class State { Free, Queued, Working, Done };

// The blocks between reading and finishing, and the threads that help.
class Workshop {
  public:
    explicit Workshop(const std::function<void(BlockJob&)>& work) : work_(work) {}
    // Stops the helpers once their current block is done.
    ~Workshop() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            quit_ = true;
        }
        queued_.notify_all();
        for (std::thread& t : helpers_) t.join();
    }
    Workshop(const Workshop&) = delete;
    Workshop& operator=(const Workshop&) = delete;

    // Starts one more helper; false when the system has no thread to give.
    bool AddHelper() {
        try {
            helpers_.emplace_back([this] { Help(); });
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }
    size_t Helpers() const { return helpers_.size(); }

    void Queue(BlockJob* job) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            state_[job] = State::Queued;
            waiting_.push_back(job);
        }
        queued_.notify_one();
    }

    // Returns once `job` is done, working on queued blocks meanwhile rather than waiting idle.
    void AwaitDone(BlockJob* job) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (state_[job] != State::Done)
            if (!WorkOnOne(lock)) done_.wait(lock);
        state_[job] = State::Free;
    }

  private:
    void Help() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            queued_.wait(lock, [this] { return quit_ || !waiting_.empty(); });
            if (quit_) return;
            WorkOnOne(lock);
        }
    }

    // Works on the oldest queued block, without the lock meanwhile; false when none is queued.
    bool WorkOnOne(std::unique_lock<std::mutex>& lock) {
        if (waiting_.empty()) return false;
        BlockJob* job = waiting_.front();
        waiting_.pop_front();
        state_[job] = State::Working;
        lock.unlock();
        try {
            work_(*job);
        } catch (...) {
            job->error = std::current_exception();
        }
        lock.lock();
        state_[job] = State::Done;
        done_.notify_all();
        return true;
    }

    const std::function<void(BlockJob&)>& work_;
    std::mutex mutex_;
    std::condition_variable queued_, done_;
    std::deque<BlockJob*> waiting_;
    // Few jobs, so a small list beats a map; read and written under the lock.
    struct StateOf {
        std::vector<std::pair<BlockJob*, State>> states;
        State& operator[](BlockJob* job) {
            for (auto& s : states)
                if (s.first == job) return s.second;
            return states.emplace_back(job, State::Free).second;
        }
    } state_;
    bool quit_ = false;
    std::vector<std::thread> helpers_;
};

}  // namespace

void ForEachBlockInOrder(RecordBlocks& blocks, size_t threads, const std::function<void(BlockJob&)>& work,
                         const std::function<bool(BlockJob&)>& finish) {
    threads = std::max<size_t>(threads, 1);
    // Enough blocks read ahead that no thread waits for the reading.
    std::vector<std::unique_ptr<BlockJob>> jobs(threads == 1 ? 1 : 2 * threads + 1);
    std::vector<BlockJob*> free;
    for (auto& job : jobs) {
        job = std::make_unique<BlockJob>();
        free.push_back(job.get());
    }
    std::deque<BlockJob*> inOrder;
    size_t helpersWanted = threads - 1;
    size_t nextRecord = 1;
    bool more = true;
    Workshop workshop(work);
    for (;;) {
        while (more && !free.empty()) {
            BlockJob* job = free.back();
            if (!blocks.Next(job->input)) {
                more = false;
                break;
            }
            free.pop_back();
            job->firstRecord = nextRecord;
            job->error = nullptr;
            nextRecord += job->input.records;
            inOrder.push_back(job);
            workshop.Queue(job);
            // Helpers start once there is a second block: a short extract costs no thread.
            if (inOrder.size() > 1 && workshop.Helpers() < helpersWanted && !workshop.AddHelper())
                helpersWanted = workshop.Helpers();
        }
        if (inOrder.empty()) return;
        BlockJob* job = inOrder.front();
        inOrder.pop_front();
        workshop.AwaitDone(job);
        if (job->error) std::rethrow_exception(job->error);
        if (!finish(*job)) return;
        free.push_back(job);
    }
}

}  // namespace bq
