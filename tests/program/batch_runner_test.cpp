#include "../../tools/kivoly/batch_runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <signal.h>
#include <string>
#include <utility>
#include <vector>

namespace kivoly::cli {
namespace {

// The outcomes as reported, with their item indices.
using Reported = std::vector<std::pair<std::size_t, BatchOutcome>>;

Reported RunItems(std::size_t count, int jobs, const std::function<BatchOutcome(std::size_t)>& item,
                  const BatchSettle& settle = {}) {
    Reported reported;
    RunBatch(
        count, jobs, "Testing", item,
        [&](std::size_t index, const BatchOutcome& outcome) {
            reported.emplace_back(index, outcome);
        },
        settle);
    return reported;
}

// The early items take longest, yet all are reported in order, each with its worker's outcome;
// a worker that dies inside an item fails that item alone.
TEST(BatchRunner, OutcomesComeInInputOrderWhateverOrderTheyFinish) {
    const std::size_t count = 7;
    const pid_t parent = getpid();
    for (int jobs : {1, 3}) {
        const Reported reported = RunItems(count, jobs, [&](std::size_t i) {
            usleep(static_cast<useconds_t>((count - i) * 3000));
            if (i == 5 && getpid() != parent) kill(getpid(), SIGKILL);
            // Notes travel with the outcome too.
            return BatchOutcome{i % 3 != 1, "item " + std::to_string(i),
                                jobs > 1 ? "from a worker\n" : "from here\n"};
        });
        ASSERT_EQ(reported.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            EXPECT_EQ(reported[i].first, i);
            if (jobs > 1 && i == 5) {
                EXPECT_FALSE(reported[i].second.ok);
                EXPECT_NE(reported[i].second.text.find("signal"), std::string::npos);
                continue;
            }
            EXPECT_EQ(reported[i].second.ok, i % 3 != 1);
            EXPECT_EQ(reported[i].second.text, "item " + std::to_string(i));
            EXPECT_EQ(reported[i].second.notes, jobs > 1 ? "from a worker\n" : "from here\n");
        }
    }
}

// Pending outcomes come as settled, in order; a dead worker's unsettled items are run again.
TEST(BatchRunner, PendingOutcomesAreReportedAsSettled) {
    const pid_t parent = getpid();
    for (int jobs : {1, 2}) {
        const Reported reported = RunItems(
            40, jobs,
            [&](std::size_t i) {
                if (i == 25 && getpid() != parent) kill(getpid(), SIGKILL);
                return BatchOutcome{true, "ran " + std::to_string(i), {}, true};
            },
            [](std::vector<std::pair<std::size_t, BatchOutcome>>& pending) {
                for (auto& [index, outcome] : pending) {
                    outcome.ok = index % 7 != 0;
                    outcome.text += " settled";
                }
            });
        ASSERT_EQ(reported.size(), 40u);
        for (std::size_t i = 0; i < 40; ++i) {
            SCOPED_TRACE(testing::Message() << "jobs " << jobs << ", item " << i);
            EXPECT_EQ(reported[i].first, i);
            if (jobs > 1 && i == 25) {
                EXPECT_FALSE(reported[i].second.ok);
                EXPECT_NE(reported[i].second.text.find("signal"), std::string::npos);
                continue;
            }
            EXPECT_EQ(reported[i].second.ok, i % 7 != 0);
            EXPECT_EQ(reported[i].second.text, "ran " + std::to_string(i) + " settled");
        }
    }
}

}  // namespace
}  // namespace kivoly::cli
