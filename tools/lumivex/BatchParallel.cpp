// The batch loop on several threads. The calling thread reads the records in order into slots
// of a few records each, workers take the slots in that order, and each draws, encodes and
// writes its records with its own component; the calling thread reports the slots in order as
// they are done. A window of slots bounds the records in memory.
//
// What one thread would do is kept exactly: a record is written only once no failure streak
// before it could have made the loop give up (records not yet done count as failures), and on a
// stop the slots already taken are finished and the rest dropped, so the records done are the
// first ones, as they would be.

#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "tools/lumivex/BatchRecords.h"

namespace lumivex::cli::detail {

namespace {

constexpr int kSlotRecords = 16;
constexpr int kSlotsPerJob = 4;

enum class SlotState : std::uint8_t { Queued, Taken, Done };

struct Slot {
    std::vector<Item> Items;
    SlotState State = SlotState::Queued;
};

class Pipeline {
public:
    Pipeline(Reader& Read, const BatchJob& Job, BatchTotals& Totals, BatchListener& Listener)
        : FRead(Read), FJob(Job), FTotals(Totals), FListener(Listener), FCount(Totals, Listener) {}

    void Run() {
        const int Jobs = std::min(FJob.Jobs, (FTotals.Total + kSlotRecords - 1) / kSlotRecords);
        std::vector<std::jthread> Workers;
        try {
            for (int i = 0; i < std::max(Jobs, 1); ++i)
                Workers.emplace_back([this] { Work(); });
            FMaxSlots = static_cast<std::size_t>(kSlotsPerJob) * Workers.size();
            Feed();
        } catch (...) {
            End(true, true);
            throw;
        }
        End(FTotals.Stopped || FTotals.GaveUp, FTotals.GaveUp);
        Workers.clear(); // joins
        // After a stop: the slots that were taken are done now, and reported.
        if (FTotals.Stopped)
            while (Report()) {
            }
    }

private:
    // Reads slots while the window has room and reports finished ones, until every record is
    // reported, a stop is asked for or the loop gives up.
    void Feed() {
        int NextRecNo = 1;
        for (;;) {
            while (Report()) {
            }
            if (FTotals.GaveUp)
                return;
            if (FListener.StopRequested()) {
                FTotals.Stopped = true;
                return;
            }
            std::unique_lock Lock(FMutex);
            if (NextRecNo > FTotals.Total && FWindow.empty())
                return;
            if (NextRecNo <= FTotals.Total && FWindow.size() < FMaxSlots) {
                Lock.unlock();
                Slot S;
                const int Last = std::min(FTotals.Total, NextRecNo + kSlotRecords - 1);
                S.Items.resize(static_cast<std::size_t>(Last - NextRecNo + 1));
                for (Item& I : S.Items)
                    FRead.Read(NextRecNo++, I);
                Lock.lock();
                FWindow.push_back(std::move(S));
                FWork.notify_one();
                continue;
            }
            // The signal handler cannot wake the wait; a short one lets a stop be seen.
            FProgress.wait_for(Lock, std::chrono::milliseconds(20), [&] {
                return !FWindow.empty() && FWindow.front().State == SlotState::Done;
            });
        }
    }

    // Reports the first slot if it is done; false when it is not (or there is none).
    bool Report() {
        std::vector<Item> Items;
        {
            const std::lock_guard Lock(FMutex);
            if (FWindow.empty() || FWindow.front().State != SlotState::Done)
                return false;
            Items = std::move(FWindow.front().Items);
            FWindow.pop_front();
            ++FFirstSeq;
            // The give-up is known here, before any worker can ask about a later record.
            for (const Item& I : Items) {
                FStreak = StreakAfter(FStreak, I);
                if (FStreak >= MaxFailuresInARow && I.RecNo < FTotals.Total)
                    FGiveUpAfter = std::min(FGiveUpAfter, I.RecNo);
            }
        }
        // The workers' answers to MayWrite changed with the streak.
        FResolved.notify_all();
        for (const Item& I : Items)
            if (!FCount.Done(I))
                return false;
        return true;
    }

    // No more slots come; Drop also leaves the queued ones untaken, Abandon the records not yet
    // written.
    void End(bool Drop, bool Abandon) {
        const std::lock_guard Lock(FMutex);
        FEnded = true;
        FDropQueued = FDropQueued || Drop;
        if (Abandon)
            FGiveUpAfter = 0;
        FWork.notify_all();
        FResolved.notify_all();
    }

    void Work() {
        // This thread's own component: nothing that draws is shared between threads.
        std::optional<Drawer> Draw;
        std::string Failure;
        try {
            Draw.emplace(FJob, !FRead.IntoEmptyDirectory());
        } catch (const std::exception& E) {
            Failure = E.what();
        }
        std::unique_lock Lock(FMutex);
        for (;;) {
            std::size_t Index = FWindow.size();
            FWork.wait(Lock, [&] {
                Index = FirstQueued();
                return FEnded || (Index < FWindow.size() && !FDropQueued);
            });
            if (Index >= FWindow.size() || FDropQueued)
                return;
            const std::uint64_t Seq = FFirstSeq + Index;
            Slot& S = FWindow[Index]; // a deque keeps its elements in place as it grows
            S.State = SlotState::Taken;
            for (std::size_t i = 0; i < S.Items.size(); ++i) {
                Item& I = S.Items[i];
                if (!I.Draw)
                    continue;
                Lock.unlock();
                bool Finished = true;
                if (Draw) {
                    Finished = Draw->Run(I, [&] { return MayWrite(Seq, i, I.RecNo); });
                } else {
                    I.Result = RecordResult::Failed;
                    I.Error = Failure;
                }
                Lock.lock();
                // Given up before this record: the rest of the slot is not reported.
                if (!Finished)
                    break;
                I.State = I.Result == RecordResult::Failed ? Outcome::Failed : Outcome::Fine;
                FResolved.notify_all();
            }
            S.State = SlotState::Done;
            // The reader is woken when the window wants refilling, not for every slot: each
            // wake takes a core from a worker.
            if (ReaderWanted())
                FProgress.notify_all();
            FResolved.notify_all();
        }
    }

    // Whether the done slots at the front are half the window, or no slot is left to take.
    bool ReaderWanted() const {
        std::size_t Done = 0;
        while (Done < FWindow.size() && FWindow[Done].State == SlotState::Done)
            ++Done;
        return Done > 0 && (2 * Done >= FMaxSlots || FirstQueued() == FWindow.size());
    }

    std::size_t FirstQueued() const {
        for (std::size_t i = 0; i < FWindow.size(); ++i)
            if (FWindow[i].State == SlotState::Queued)
                return i;
        return FWindow.size();
    }

    // Whether item Index of slot Seq (record RecNo) may be written: true once no streak of
    // failures before it can make the loop give up; false when the loop has given up before it,
    // or surely will.
    bool MayWrite(std::uint64_t Seq, std::size_t Index, int RecNo) {
        std::unique_lock Lock(FMutex);
        for (;;) {
            if (RecNo > FGiveUpAfter)
                return false;
            int GiveUpAt = 0;
            if (!MayGiveUpBefore(Seq, Index, GiveUpAt))
                return true;
            if (GiveUpAt > 0) {
                // Every later record is refused too, including those that wait on this one; the
                // earlier ones are still written.
                FGiveUpAfter = std::min(FGiveUpAfter, GiveUpAt);
                FResolved.notify_all();
                return false;
            }
            FResolved.wait(Lock);
        }
    }

    // Whether the records not yet reported before item Index of slot Seq hold a streak that
    // could end the loop (records still pending count as failures); GiveUpAt is the record
    // where it surely does, 0 if that is not yet known.
    bool MayGiveUpBefore(std::uint64_t Seq, std::size_t Index, int& GiveUpAt) const {
        int Streak = FStreak;
        bool Pending = false, May = false;
        for (std::uint64_t s = FFirstSeq; s <= Seq; ++s) {
            const std::vector<Item>& Items = FWindow[s - FFirstSeq].Items;
            const std::size_t End = s == Seq ? Index : Items.size();
            for (std::size_t i = 0; i < End; ++i) {
                const Item& I = Items[i];
                if (I.State == Outcome::Fine) {
                    Streak = 0;
                    Pending = false;
                    continue;
                }
                Pending = Pending || I.State == Outcome::Pending;
                if (++Streak >= MaxFailuresInARow && I.RecNo < FTotals.Total) {
                    if (!Pending) {
                        GiveUpAt = I.RecNo;
                        return true;
                    }
                    May = true;
                }
            }
        }
        return May;
    }

    Reader& FRead;
    const BatchJob& FJob;
    BatchTotals& FTotals;
    BatchListener& FListener;
    Tally FCount;

    std::mutex FMutex;
    // Workers wait for a slot, the reader for a done one, MayWrite for records to be decided.
    std::condition_variable FWork, FProgress, FResolved;
    std::deque<Slot> FWindow;
    std::size_t FMaxSlots = 0; // the slots the window holds at most
    // The sequence number of the window's first slot.
    std::uint64_t FFirstSeq = 0;
    // Failures in a row at the end of the reported records.
    int FStreak = 0;
    bool FEnded = false;
    bool FDropQueued = false;
    // Records after this one are not written: the loop gave up there, or surely will.
    int FGiveUpAfter = INT_MAX;
};

} // namespace

void RunParallel(Reader& Read, const BatchJob& Job, BatchTotals& Totals, BatchListener& Listener) {
    Pipeline(Read, Job, Totals, Listener).Run();
}

} // namespace lumivex::cli::detail
