// The backend's log on standard error, after SANE's convention: SANE_DEBUG_KIVOLY sets the level
// (0, the default, writes only what stops a scan; 1 adds faults; 3 each call of a front end).
#pragma once

namespace kivoly::sane {

inline constexpr int kLogError = 0;
inline constexpr int kLogFault = 1;
inline constexpr int kLogCall = 3;

// Reads SANE_DEBUG_KIVOLY again.
void InitLog();
void Log(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace kivoly::sane
