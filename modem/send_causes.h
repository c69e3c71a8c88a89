#pragma once
// Why a message part was not sent, in the words the user reads (Polish,
// program text in Windows-1250): the cause a part's report carries.
//
// Threads: pure functions; safe from any thread.

#include <string_view>

#include "platform/codepage.h"

namespace modem::send_cause {

// The caller could not record the part before it went out (OnAboutToSubmit).
platform::AnsiString NotRecorded();
// A destination that is no number, or a part that cannot go to the modem.
platform::AnsiString Unsendable();
// An earlier part of the same message was not sent.
platform::AnsiString EarlierPartNotSent(int partNumber);
// No "> " after "AT+CMGS=".
platform::AnsiString NoPrompt();
// The network's answer did not come in time.
platform::AnsiString NoAnswer();
// The modem answered the submission with a bare "ERROR".
platform::AnsiString ErrorAnswer();
// The serial link failed during the submission.
platform::AnsiString LinkError(std::string_view linkErrorText);

}  // namespace modem::send_cause
