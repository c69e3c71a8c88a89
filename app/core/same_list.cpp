#include "app/core/same_list.h"

#include <set>

namespace app {
journal::TJournalResult<std::vector<TAlreadyTexted>> FindAlreadyTexted(journal::TCampaignJournal& journal,
                                                                     const AnsiString& text,
                                                                     const std::vector<std::string>& numbers) {
  auto earlier = journal.EarlierSends(text, numbers, kSameListDays);
  if (!earlier) return earlier.Error();
  std::set<std::string> left(numbers.begin(), numbers.end());
  std::vector<TAlreadyTexted> found;
  for (const journal::TEarlierSend& send : *earlier) {
    if (send.texted == 0) continue;
    auto recipients = journal.Recipients(send.summary.campaign.id);
    if (!recipients) return recipients.Error();
    TAlreadyTexted texted{send.summary, {}};
    for (const journal::TRecipientRecord& recipient : *recipients) {
      if (journal::MayHaveBeenTexted(recipient.state) && left.erase(recipient.entry.number) > 0) {
        texted.numbers.push_back(recipient.entry.number);
      }
    }
    if (!texted.numbers.empty()) found.push_back(std::move(texted));
  }
  return found;
}

std::map<std::string, journal::TCampaignId> AlreadyTextedNumbers(const std::vector<TAlreadyTexted>& found) {
  std::map<std::string, journal::TCampaignId> numbers;
  for (const TAlreadyTexted& texted : found) {
    for (const std::string& number : texted.numbers) numbers.emplace(number, texted.earlier.campaign.id);
  }
  return numbers;
}

}  // namespace app
