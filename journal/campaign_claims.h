#pragma once
// The claims of the embedded journal's campaigns: one byte-range lock per
// campaign (the byte at the campaign's id) in a file beside the journal.
// Open-file-description locks are used because they belong to the open file,
// not to the process: two claims of one process exclude each other as two
// programs do, and the kernel drops a claim when its program dies, however
// it dies. The locks live outside the database so that a claim costs the
// database nothing and never outlives its program.
//
// Threads: a claim is a plain owner of its file descriptor.

#include <filesystem>
#include <memory>

#include "journal/campaign_journal.h"

namespace journal {

// The claim of `campaign` in the claims file `file` (created when missing).
TJournalResult<std::unique_ptr<TCampaignClaim>> ClaimInFile(const std::filesystem::path& file, TCampaignId campaign);

}  // namespace journal
