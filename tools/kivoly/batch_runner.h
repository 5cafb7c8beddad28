// Running a batch of independent items (raw files to decode) on several cores.
//
// The library is single-threaded by design and keeps process-wide state (colour tables, table
// caches, the handles it gave out, the platform's message queue and clock), so the items do not
// run on threads: each job is a worker process forked from the program once the settings are
// read. A worker asks for nothing and shares nothing; it is handed the index of its next item,
// runs it, and answers with the item's outcome. The parent hands out the items, hands the
// outcomes on in input order and draws the batch's one progress line. Whatever a worker builds
// for its first item (tables, plans, buffers) serves all its later ones.
//
// An item may leave its outcome pending (a picture written but not yet in place, so that the
// flush to the disk is paid once for several): the process that ran it settles its pending
// outcomes together, every few items and when it has no more, and only settled outcomes are
// reported.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kivoly::cli {

struct BatchOutcome {
    bool ok = false;
    std::string text;      // the line to show for the item
    std::string notes;     // lines for standard error before it (warnings), each ending in \n
    bool pending = false;  // final only once settled
};

// Makes the pending outcomes of this process final, given with their item indices in the order
// their items ran.
using BatchSettle = std::function<void(std::vector<std::pair<std::size_t, BatchOutcome>>&)>;

// Runs item(0) .. item(count - 1) in `jobs` worker processes (in this process when jobs is 1
// or there is only one item) and passes every outcome to `report` in index order, as soon as
// it and all before it are known. A worker that dies gives the item it was running a failed
// outcome naming the signal; the items it ran but had not settled are run again, and its
// remaining items go to the other workers. While the batch runs and stderr is a terminal, one line
// there shows `label` and the share of items done.
void RunBatch(std::size_t count, int jobs, const std::string& label,
              const std::function<BatchOutcome(std::size_t)>& item,
              const std::function<void(std::size_t, const BatchOutcome&)>& report,
              const BatchSettle& settle = {});

// The number of processors this program may run on (at least 1).
int ProcessorCount();

}  // namespace kivoly::cli
