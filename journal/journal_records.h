#pragma once
// What the campaign journal holds, as plain values: a campaign, its
// recipients (one message each) and the parts of their messages, and the
// summaries the window and talvane-cli show.
//
// Texts are the program's own 8-bit text (Windows-1250) as everywhere outside
// the codec; the stores keep them as UTF-8. Times are milliseconds since the
// Unix epoch. Ids are integers the store gives out.
//
// Threads: plain values.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "journal/message_states.h"
#include "platform/codepage.h"

namespace journal {

using TCampaignId = std::int64_t;
using TRecipientId = std::int64_t;
using TMillis = std::int64_t;

// A campaign as it is started.
struct TNewCampaign {
  platform::AnsiString text;
  bool flash = false;
  bool ucs2 = false;
  std::string sourceFile;  // the list the numbers came from (empty for typed numbers)
  std::string resultFile;  // the result workbook
};

// One recipient as the list gave it.
struct TRecipientEntry {
  int row = 0;                      // its row in the list, from 1
  platform::AnsiString numberRead;  // as the list held it
  std::string number;               // the national number
  std::string destination;          // as the PDU addresses it
};

struct TCampaignRecord {
  TCampaignId id = 0;
  TMillis created = 0;
  TNewCampaign campaign;
  TCampaignState state = TCampaignState::Running;
};

struct TPartRecord {
  int partNo = 0;  // from 1
  TPartState state = TPartState::Submitting;
  std::string modem;             // who submitted it (IMEI/IMSI)
  std::optional<int> reference;  // the message reference of a sent part
  TMillis submitted = 0;
  std::optional<TMillis> answered;
  platform::AnsiString error;  // why it failed
};

struct TRecipientRecord {
  TRecipientId id = 0;
  TRecipientEntry entry;
  TMessageState state = TMessageState::Queued;
  int parts = 0;                       // parts of its message; 0 until the first is submitted
  std::optional<int> concatReference;  // of a message in several parts
  std::string modem;                   // the modem its parts go through (empty: any)
  platform::AnsiString note;           // why it was skipped
  std::vector<TPartRecord> partLog;    // every submission, oldest first (a resent part appears again)
};

// A message handed to a modem. A fresh one has no answered parts; a resumed
// one continues on `modem` with the same `concatReference` and submits only
// the parts missing from `answered`.
struct TMessageJob {
  TRecipientId id = 0;
  TRecipientEntry entry;
  int parts = 0;                       // known once a part was submitted
  std::optional<int> concatReference;  // to reuse when resuming
  std::vector<int> answered;           // part numbers already sent or failed
};

// What a part's submission is: recorded before its PDU leaves.
struct TPartSubmission {
  TRecipientId recipient = 0;
  int partNo = 0;  // from 1
  int parts = 1;   // of the message
  std::optional<int> concatReference;
  std::string modem;
};

// What the modem answered for a part.
struct TPartAnswer {
  TRecipientId recipient = 0;
  int partNo = 0;
  bool sent = false;
  std::optional<int> reference;  // of a sent part
  platform::AnsiString error;    // of a failed part
  // The PDU went out and its answer was lost: the part may have been
  // accepted (`sent` is false). Its message completes uncertain.
  bool uncertain = false;
};

struct TCampaignSummary {
  TCampaignRecord campaign;
  int total = 0;
  int sent = 0;  // delivery reports included
  int failed = 0;
  int uncertain = 0;
  int skipped = 0;
  int left = 0;  // queued or sending
};

// What a recovery did to the messages that were in flight.
struct TRecoveryReport {
  int uncertain = 0;  // a part was submitted without an answer
  int resumed = 0;    // back in the queue, none of their parts in doubt
  int completed = 0;  // every part had its answer
};

// An earlier campaign of the same text that holds some of the given numbers.
struct TEarlierSend {
  TCampaignSummary summary;
  int listed = 0;  // of the given numbers, how many it holds
  int texted = 0;  // of those, how many may have had the text (sent, uncertain or in flight)
};

}  // namespace journal
