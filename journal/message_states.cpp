#include "journal/message_states.h"

#include <array>
#include <utility>

namespace journal {
namespace {

constexpr std::array kMessageNames{
    std::pair{TMessageState::Queued, std::string_view("queued")},
    std::pair{TMessageState::Sending, std::string_view("sending")},
    std::pair{TMessageState::Sent, std::string_view("sent")},
    std::pair{TMessageState::Failed, std::string_view("failed")},
    std::pair{TMessageState::Uncertain, std::string_view("uncertain")},
    std::pair{TMessageState::Skipped, std::string_view("skipped")},
    std::pair{TMessageState::Delivered, std::string_view("delivered")},
    std::pair{TMessageState::Undelivered, std::string_view("undelivered")},
};

constexpr std::array kPartNames{
    std::pair{TPartState::Submitting, std::string_view("submitting")},
    std::pair{TPartState::Sent, std::string_view("sent")},
    std::pair{TPartState::Failed, std::string_view("failed")},
    std::pair{TPartState::Uncertain, std::string_view("uncertain")},
};

constexpr std::array kCampaignNames{
    std::pair{TCampaignState::Running, std::string_view("running")},
    std::pair{TCampaignState::Finished, std::string_view("finished")},
    std::pair{TCampaignState::Stopped, std::string_view("stopped")},
};

template <class Table, class State>
std::string_view NameIn(const Table& table, State state) {
  for (const auto& [value, name] : table) {
    if (value == state) return name;
  }
  return {};
}

template <class Table>
auto StateIn(const Table& table, std::string_view name) -> std::optional<typename Table::value_type::first_type> {
  for (const auto& [value, entry] : table) {
    if (entry == name) return value;
  }
  return std::nullopt;
}

constexpr std::array kTransitions{
    std::pair{TMessageState::Queued, TMessageState::Sending},
    std::pair{TMessageState::Queued, TMessageState::Skipped},
    std::pair{TMessageState::Sending, TMessageState::Sent},
    std::pair{TMessageState::Sending, TMessageState::Failed},
    std::pair{TMessageState::Sending, TMessageState::Uncertain},
    std::pair{TMessageState::Sending, TMessageState::Queued},
    std::pair{TMessageState::Uncertain, TMessageState::Queued},
    std::pair{TMessageState::Sent, TMessageState::Delivered},
    std::pair{TMessageState::Sent, TMessageState::Undelivered},
};

}  // namespace

std::string_view StateName(TMessageState state) { return NameIn(kMessageNames, state); }
std::string_view StateName(TPartState state) { return NameIn(kPartNames, state); }
std::string_view StateName(TCampaignState state) { return NameIn(kCampaignNames, state); }

std::optional<TMessageState> MessageStateNamed(std::string_view name) { return StateIn(kMessageNames, name); }
std::optional<TPartState> PartStateNamed(std::string_view name) { return StateIn(kPartNames, name); }
std::optional<TCampaignState> CampaignStateNamed(std::string_view name) { return StateIn(kCampaignNames, name); }

bool IsAllowedTransition(TMessageState from, TMessageState to) {
  for (const auto& [allowedFrom, allowedTo] : kTransitions) {
    if (allowedFrom == from && allowedTo == to) return true;
  }
  return false;
}

bool MayHaveBeenTexted(TMessageState state) {
  return state == TMessageState::Sent || state == TMessageState::Delivered || state == TMessageState::Undelivered ||
         state == TMessageState::Uncertain || state == TMessageState::Sending;
}

}  // namespace journal
