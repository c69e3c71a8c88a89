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
// The PDU went out and the network's answer never came, in all the time
// modems allow it: the part may have been sent.
platform::AnsiString NoNetworkAnswer();
// The PDU went out and the modem vanished before it answered: the part may
// have been sent.
platform::AnsiString LinkLostAfterSubmission();
// An earlier part of the same message may or may not have been sent.
platform::AnsiString EarlierPartUncertain(int partNumber);
// The modem answered the submission with a bare "ERROR".
platform::AnsiString ErrorAnswer();
// The serial link failed during the submission.
platform::AnsiString LinkError(std::string_view linkErrorText);

}  // namespace modem::send_cause
