#include "app/core/campaign_recorder.h"

#include <algorithm>

#include "sms/sms_decoder.h"

namespace app {
namespace {

journal::TRecipientEntry EntryOf(const modem::TRecipient& recipient) {
  return {recipient.row, recipient.numberRead, recipient.number, recipient.destination};
}

bool Contains(const std::vector<int>& numbers, int number) {
  return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

}  // namespace

void TCampaignRecorder::Use(journal::TCampaignJournal* journal, std::string sourceFile) {
  std::lock_guard lock(mutex_);  // an engine may be submitting a part of a message of no list
  journal_ = journal;
  sourceFile_ = std::move(sourceFile);
}

void TCampaignRecorder::Reset() {
  std::lock_guard lock(mutex_);
  inFlight_.clear();
  held_.clear();
  failure_.clear();
  campaign_.reset();
  ids_.clear();
  boundTo_.clear();
}

bool TCampaignRecorder::Begin(const TCampaignText& text, const std::vector<modem::TRecipient>& recipients,
                              const std::string& resultPath) {
  Reset();
  if (journal_ == nullptr) return true;
  std::vector<journal::TRecipientEntry> entries;
  for (const modem::TRecipient& recipient : recipients) entries.push_back(EntryOf(recipient));
  auto created = journal_->CreateCampaign({text.text, text.flash, text.ucs2, sourceFile_, resultPath}, entries);
  auto listed = created ? journal_->Recipients(*created) : created.Error();
  std::lock_guard lock(mutex_);
  if (!listed) {
    Fail(listed.Error());
    return false;
  }
  for (const journal::TRecipientRecord& record : *listed) ids_[record.entry.row] = record.id;
  campaign_ = *created;
  return true;
}

bool TCampaignRecorder::Resume(journal::TCampaignId id, bool resendUncertain, TResumed& resumed) {
  Reset();
  std::lock_guard lock(mutex_);
  if (journal_ == nullptr) {
    failure_ = platform::Utf8ToAnsi("brak dziennika wysyłki");
    return false;
  }
  auto recovered = journal_->Recover(id);
  if (!recovered) {
    Fail(recovered.Error());
    return false;
  }
  resumed.recovery = *recovered;
  if (resendUncertain) {
    auto resent = journal_->ResendUncertain(id);
    if (!resent) {
      Fail(resent.Error());
      return false;
    }
    resumed.resent = *resent;
  }
  auto running = journal_->SetCampaignState(id, journal::TCampaignState::Running);
  auto summary = running ? journal_->Summary(id) : running.Error();
  auto listed = summary ? journal_->Recipients(id) : summary.Error();
  if (!listed) {
    Fail(listed.Error());
    return false;
  }
  resumed.campaign = summary->campaign;
  resumed.recipients = std::move(*listed);
  for (const journal::TRecipientRecord& record : resumed.recipients) {
    ids_[record.entry.row] = record.id;
    // A recovery leaves a queued message its modem only when parts of it went out.
    if (record.state == journal::TMessageState::Queued && !record.modem.empty()) {
      boundTo_[record.entry.row] = record.modem;
    }
  }
  campaign_ = id;
  return true;
}

journal::TJournalResult<std::vector<journal::TRecipientRecord>> TCampaignRecorder::Recipients() const {
  if (!campaign_) return std::vector<journal::TRecipientRecord>{};
  return journal_->Recipients(*campaign_);
}

TCampaignRecorder::TTake TCampaignRecorder::Take(const modem::TRecipient& recipient, const std::string& modem) {
  if (!campaign_) return TTake::Taken;
  std::lock_guard lock(mutex_);
  if (const auto held = held_.find(recipient.row); held != held_.end()) {
    if (held->second.modem != modem) return TTake::NotNow;  // the journal has it sending on its own modem
    inFlight_[recipient.row] = held->second;
    held_.erase(held);
    return TTake::Taken;
  }
  auto job = journal_->TakeNext(*campaign_, modem);
  if (!job) {
    Fail(job.Error());
    return TTake::Failed;
  }
  // The journal hands out the list's order, as the campaign does: anything
  // else means the two no longer agree, and nothing more may go out.
  if (!job->has_value() || (*job)->entry.row != recipient.row) {
    Fail({journal::TJournalFault::Refused,
          platform::Utf8ToAnsi("Dziennik wysyłki nie zgadza się z listą numerów (wiersz ") +
              std::to_string(recipient.row) + ")."});
    return TTake::Failed;
  }
  inFlight_[recipient.row] = {(*job)->id, modem, {}, (*job)->concatReference, (*job)->answered};
  boundTo_.erase(recipient.row);
  return TTake::Taken;
}

bool TCampaignRecorder::MayTake(int row, const std::string& modem) const {
  const std::string bound = BoundModem(row);
  return bound.empty() || bound == modem;
}

std::string TCampaignRecorder::BoundModem(int row) const {
  std::lock_guard lock(mutex_);
  if (const auto held = held_.find(row); held != held_.end()) return held->second.modem;
  const auto bound = boundTo_.find(row);
  return bound == boundTo_.end() ? std::string() : bound->second;
}

void TCampaignRecorder::ResumeParts(const modem::TRecipient& recipient, modem::TOutgoingMessage& message) const {
  std::lock_guard lock(mutex_);
  const auto taken = inFlight_.find(recipient.row);
  if (taken == inFlight_.end() || taken->second.answered.empty()) return;
  message.concatReference = taken->second.concatReference;
  message.partsDone = taken->second.answered;
}

void TCampaignRecorder::Hold(const modem::TRecipient& recipient) {
  std::lock_guard lock(mutex_);
  if (const auto taken = inFlight_.find(recipient.row); taken != inFlight_.end()) {
    held_[recipient.row] = taken->second;
    inFlight_.erase(taken);
  }
}

void TCampaignRecorder::Skip(const modem::TRecipient& recipient, const AnsiString& reason) {
  if (!campaign_) return;
  const auto id = ids_.find(recipient.row);
  if (id == ids_.end()) return;
  if (auto skipped = journal_->MarkSkipped(id->second, reason); !skipped) {
    std::lock_guard lock(mutex_);
    Fail(skipped.Error());
  }
}

bool TCampaignRecorder::AboutToSubmit(const modem::TQueuedPart& part) {
  std::lock_guard lock(mutex_);
  // A message of no list (a single text of the window) is no campaign's.
  if (!campaign_ || part.recipient.row == 0) return true;
  const auto message = inFlight_.find(part.recipient.row);
  // A part of a stopped campaign, or of a message the journal never took.
  if (message == inFlight_.end()) return false;
  // A retry of a part already recorded: its record stands until the answer.
  if (Contains(message->second.submitted, part.partNumber)) return failure_.empty();
  if (!failure_.empty()) return false;
  if (auto recorded = RecordSubmitting(message->second, part); !recorded) {
    Fail(recorded.Error());
    return false;
  }
  message->second.submitted.push_back(part.partNumber);
  return true;
}

journal::TJournalStatus TCampaignRecorder::RecordSubmitting(const TInFlight& message, const modem::TQueuedPart& part) {
  // The reference the phone joins the parts by, as the PDU carries it: a
  // message resumed later must go out with the same one.
  std::optional<int> concatReference;
  if (part.totalParts > 1) {
    if (const int reference = sms::GetUDHValues(part.pdu).reference; reference >= 0) concatReference = reference;
  }
  return journal_->RecordSubmitting({message.id, part.partNumber, part.totalParts, concatReference, message.modem});
}

void TCampaignRecorder::Answer(const modem::TPartReport& report) {
  if (!campaign_) return;
  std::lock_guard lock(mutex_);
  const auto message = inFlight_.find(report.part.recipient.row);
  if (message == inFlight_.end()) return;
  TInFlight& inFlight = message->second;
  // A part the engine gave up without submitting it (after an earlier part
  // of its message was refused) is recorded failed, so that its message
  // completes as failed; the journal never lets it go out later.
  if (!Contains(inFlight.submitted, report.part.partNumber)) {
    if (report.sent || !failure_.empty()) return;
    if (auto recorded = RecordSubmitting(inFlight, report.part); !recorded) {
      Fail(recorded.Error());
      return;
    }
    inFlight.submitted.push_back(report.part.partNumber);
  }
  std::optional<int> reference;
  if (report.sent && report.reference >= 0) reference = report.reference;
  auto answered = journal_->RecordAnswer({inFlight.id, report.part.partNumber, report.sent, reference,
                                          report.sent ? AnsiString() : report.cause, !report.sent && report.uncertain});
  if (!answered) {
    Fail(answered.Error());
  } else if (*answered != journal::TMessageState::Sending) {
    inFlight_.erase(message);
  }
}

void TCampaignRecorder::End(journal::TCampaignState state) {
  if (!campaign_) return;
  {
    std::lock_guard lock(mutex_);
    inFlight_.clear();
    held_.clear();
  }
  auto recovered = journal_->Recover(*campaign_);
  auto ended = journal_->SetCampaignState(*campaign_, state);
  std::lock_guard lock(mutex_);
  if (!recovered) Fail(recovered.Error());
  if (!ended) Fail(ended.Error());
}

AnsiString TCampaignRecorder::Failure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

// The caller holds the lock.
void TCampaignRecorder::Fail(const journal::TJournalError& error) {
  if (failure_.empty()) failure_ = error.text.empty() ? platform::Utf8ToAnsi("błąd dziennika wysyłki") : error.text;
}

}  // namespace app
