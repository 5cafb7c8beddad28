#include "../../tools/kivoly/batch_runner.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <signal.h>
#include <string>
#include <utility>
#include <vector>

namespace kivoly::cli {
namespace {

// The early items take longest, yet all are reported in order, each with its worker's outcome
// and notes, the pending ones as settled; a worker that dies inside an item fails that item
// alone, and its unsettled items are run again.
TEST(BatchRunner, OutcomesComeSettledInInputOrderWhateverOrderTheyFinish) {
    const std::size_t count = 40;
    const pid_t parent = getpid();
    for (int jobs : {1, 3}) {
        const std::string notes = jobs > 1 ? "from a worker\n" : "from here\n";
        std::vector<std::pair<std::size_t, BatchOutcome>> reported;  // with their item indices
        RunBatch(
            count, jobs, "Testing",
            [&](std::size_t i) {
                usleep(static_cast<useconds_t>((count - i) * 300));
                if (i == 25 && getpid() != parent) kill(getpid(), SIGKILL);
                return BatchOutcome{i % 3 != 1, "item " + std::to_string(i), notes, i % 2 == 0};
            },
            [&](std::size_t index, const BatchOutcome& outcome) {
                reported.emplace_back(index, outcome);
            },
            [](std::vector<std::pair<std::size_t, BatchOutcome>>& pending) {
                for (auto& [index, outcome] : pending) {
                    outcome.ok = index % 7 != 0;
                    outcome.text += " settled";
                }
            });
        ASSERT_EQ(reported.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(testing::Message() << "jobs " << jobs << ", item " << i);
            EXPECT_EQ(reported[i].first, i);
            if (jobs > 1 && i == 25) {
                EXPECT_FALSE(reported[i].second.ok);
                EXPECT_NE(reported[i].second.text.find("signal"), std::string::npos);
                continue;
            }
            const bool pending = i % 2 == 0;
            EXPECT_EQ(reported[i].second.ok, pending ? i % 7 != 0 : i % 3 != 1);
            EXPECT_EQ(reported[i].second.text,
                      "item " + std::to_string(i) + (pending ? " settled" : ""));
            EXPECT_EQ(reported[i].second.notes, notes);
        }
    }
}

}  // namespace
}  // namespace kivoly::cli
