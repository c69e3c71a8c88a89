#pragma once
// The states of a message (one recipient of a campaign), of its parts and of
// a campaign, their names in the journal, and which changes of a message's
// state are allowed.
//
//   queued ──take──▶ sending ──every part answered──▶ sent | failed
//     │                 │ └─crash, a part submitted without answer─▶ uncertain
//     └──skip──▶ skipped └─crash, nothing in doubt─▶ queued (resumes)
//   uncertain ──the operator resends──▶ queued
//   sent ──delivery report──▶ delivered | undelivered
//
// An uncertain message may have reached its recipient: it is never queued
// again except by the operator's choice.
//
// Threads: pure functions.

#include <optional>
#include <string_view>

namespace journal {

enum class TMessageState { Queued, Sending, Sent, Failed, Uncertain, Skipped, Delivered, Undelivered };

// A part exists from the moment its submission is recorded, before its PDU
// leaves; an answer settles it; a crash before the answer leaves it uncertain.
enum class TPartState { Submitting, Sent, Failed, Uncertain };

enum class TCampaignState { Running, Finished, Stopped };

// The names the journal stores ("queued", "sending" ...).
std::string_view StateName(TMessageState state);
std::string_view StateName(TPartState state);
std::string_view StateName(TCampaignState state);

std::optional<TMessageState> MessageStateNamed(std::string_view name);
std::optional<TPartState> PartStateNamed(std::string_view name);
std::optional<TCampaignState> CampaignStateNamed(std::string_view name);

// True when a message may pass from `from` to `to`.
bool IsAllowedTransition(TMessageState from, TMessageState to);

// True for a message that may have reached its recipient, or is on its way.
bool MayHaveBeenTexted(TMessageState state);

}  // namespace journal
