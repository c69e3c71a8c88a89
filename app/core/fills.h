#pragma once
// The fill colours of column A (palette indexes of the workbook), one table
// for the marks the import leaves in the user's sheet and the marks the
// campaign leaves in the result workbook: a sheet marked by one is read by
// the other (a bright green cell is skipped by the next import).
//
// Threads: constants; safe from any thread.

namespace app {

inline constexpr int kFillCorrected = 46;  // orange: the number read was cleaned into another form
inline constexpr int kFillRejected = 3;    // red: no number the import can accept
inline constexpr int kFillRepeat = 38;     // rose: a repeat left out
inline constexpr int kFillSent = 4;        // bright green: every part of the message was sent
inline constexpr int kFillFailed = 3;      // red: the message failed
// Yellow, uncertain: it may have been sent (the modem's answer was lost).
// The import skips it as it skips a sent one, so it is never resent without
// the operator's word.
inline constexpr int kFillUncertain = 6;

}  // namespace app
