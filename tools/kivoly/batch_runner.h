// Running a batch of independent items (raw files to decode) on several cores.
//
// The library is single-threaded by design and keeps process-wide state (colour tables, table
// caches, the handles it gave out, the platform's message queue and clock), so the items do not
// run on threads: each job is a worker process forked from the program once the settings are
// read. A worker asks for nothing and shares nothing; it is handed the index of its next item,
// runs it, and answers with the item's outcome. The parent hands out the items, hands the
// outcomes on in input order and draws the batch's one progress line. Whatever a worker builds
// for its first item (tables, plans, buffers) serves all its later ones.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace kivoly::cli {

struct BatchOutcome {
    bool ok = false;
    std::string text;   // the line to show for the item
    std::string notes;  // lines for standard error before it (warnings), each ending in \n
};

// Runs item(0) .. item(count - 1) in `jobs` worker processes (in this process when jobs is 1
// or there is only one item) and passes every outcome to `report` in index order, as soon as
// it and all before it are known. A worker that dies inside an item gives that item a failed
// outcome naming the signal; its remaining items go to the other workers. While the batch runs
// and stderr is a terminal, one line there shows `label` and the share of items done.
void RunBatch(std::size_t count, int jobs, const std::string& label,
              const std::function<BatchOutcome(std::size_t)>& item,
              const std::function<void(std::size_t, const BatchOutcome&)>& report);

// The number of processors this program may run on (at least 1).
int ProcessorCount();

}  // namespace kivoly::cli
