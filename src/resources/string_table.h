// The library's string table: every text the system shows, by its id.
#pragma once

namespace kivoly {

// The text of `id`, or null when there is none.
const char* StringText(int id);
// Copies string `id` into `buffer` (at most `size` - 1 characters, always terminated); returns
// the characters copied, 0 when the id is unknown (the buffer then holds "").
int LoadResourceString(int id, char* buffer, int size);

}  // namespace kivoly
