#include "platform/qt/round_end.h"

#include <QAbstractEventDispatcher>
#include <QPointer>
#include <utility>
#include <vector>

namespace platform {

namespace {

struct Job {
    QPointer<QObject> context;
    std::function<void()> run;
};

class RoundEnd {
public:
    void add(QObject& context, std::function<void()> job)
    {
        if (!connect()) { // no event loop to end a round: now is its end
            job();
            return;
        }
        jobs_.push_back({&context, std::move(job)});
    }

private:
    bool connect()
    {
        if (connected_)
            return true;
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        if (!dispatcher)
            return false;
        connected_ = true;
        // A loop that waits says aboutToBlock; one that only looks (processEvents without
        // waiting, as a test's wait does) says awake at the start of each round.
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] { runAll(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [this] { runAll(); });
        return true;
    }

    void runAll()
    {
        if (jobs_.empty())
            return;
        std::vector<Job> due;
        due.swap(jobs_);
        for (Job& job : due)
            if (job.context)
                job.run();
    }

    std::vector<Job> jobs_;
    bool connected_ = false;
};

} // namespace

void atRoundEnd(QObject& context, std::function<void()> job)
{
    static RoundEnd roundEnd;
    roundEnd.add(context, std::move(job));
}

} // namespace platform
