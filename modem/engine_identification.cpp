// Who the modem is, how large its storages and phonebooks are, and the
// phonebook entries a caller reads with its own commands.

#include <algorithm>

#include "modem/engine_thread.h"
#include "modem/identification_answers.h"
#include "modem/text_lines.h"
#include "modem/zogsm.h"

namespace modem {
namespace {

std::string Limited(std::string text, size_t length) {
  if (text.size() > length) text.resize(length);
  return text;
}

}  // namespace

void TZoGSMThread::IdentifyModem() {
  // Answers are not checked: a missing one only leaves a value empty.
  const auto ask = [this](const char* command) {
    std::string answer = link_.ExchangeAT(command).response;
    RxLines.SetText(answer);
    return answer;
  };
  ask("ATI");  // wakes some modems up; its answer is not used
  const std::string manufacturer = AnswerLine(ask("AT+CGMI"), 2);
  Dispatch(&TZoGSM::DoAfterComRx);
  const std::string modelLine = AnswerLine(ask("ATI3"), 2);
  Dispatch(&TZoGSM::DoAfterComRx);

  const std::pair<const char*, const char*> informationQueries[] = {
      {"ATI0", "ATI0 -> "}, {"ATI1", "ATI1 -> "}, {"ATI2", "ATI2 -> "}, {"ATI4", "ATI4 -> "}, {"AT+CGMM", "CGMM -> "}};
  for (const auto& [command, label] : informationQueries) {
    const std::string line = std::string(label) + AnswerLine(ask(command), 2) + "\r\n";
    OnOwner([&](TZoGSM& component) {
      component.phone_.Information += line;
      component.DoAfterComRx();
    });
  }
  const std::string imeiAnswer = ask("AT+CGSN");
  const std::string imei = AnswerLine(imeiAnswer, 2);
  Dispatch(&TZoGSM::DoAfterComRx);
  // The subscriber identity tells a SIM moved to another modem apart.
  const std::string imsi = IdentityNumber(ask("AT+CIMI"));
  Dispatch(&TZoGSM::DoAfterComRx);
  const std::string revision = RevisionText(ask("AT+CGMR"));
  Dispatch(&TZoGSM::DoAfterComRx);

  // Messages stored and capacity of the SIM and the phone memory.
  const auto readStorage = [&](const char* command, int notNumber, int TZoGSM::*capacity,
                               TPhoneMemory TPhone::*memory) {
    const std::optional<StorageCount> count = ReadStorageCount(ask(command), notNumber);
    OnOwner([&](TZoGSM& component) {
      if (count) {
        component.*capacity = count->capacity;
        (component.phone_.*memory).MessagesStored = count->stored;
        (component.phone_.*memory).MessageCapacity = count->capacity;
      }
      component.DoAfterComRx();
    });
  };
  readStorage("AT+CPMS=\"SM\"", -88, &TZoGSM::smsSIMCapacity_, &TPhone::SIM);
  readStorage("AT+CPMS=\"ME\"", -77, &TZoGSM::smsPhoneCapacity_, &TPhone::Phone);

  OnOwner([&](TZoGSM& component) {
    component.phone_.Manufacturer = Limited(manufacturer, 50);
    component.phone_.Model = Limited(modelLine, 50);
    component.phone_.IMEI = Limited(imei, 50);
    component.phone_.Revision = Limited(revision, 100);
    component.model_ = manufacturer + "/" + modelLine;
    component.imei_ = imei;
    component.modemIdentity_ = ModemIdentityText(IdentityNumber(imeiAnswer), imsi);
    component.identified_ = true;
    component.bios_ = revision;
    component.DoGetModelGSM();
  });
}

void TZoGSMThread::QueryPhonebooks() {
  struct Phonebook {
    const char* select;
    int notNumber;  // length value for an answer that holds no number
    TPhoneMemory TPhone::*memory;
    std::string TZoGSM::*upperIndex;
  };
  const Phonebook phonebooks[] = {{"AT+CPBS=\"SM\"", -55, &TPhone::SIM, &TZoGSM::simPhoneBookIndex_},
                                  {"AT+CPBS=\"ME\"", -44, &TPhone::Phone, &TZoGSM::phonePhoneBookIndex_}};
  for (const Phonebook& book : phonebooks) {
    LogRx(SendSerialAT(book.select, true));

    const std::string rangeAnswer = SendSerialAT("AT+CPBR=?", true);
    RxLines.SetText(rangeAnswer);
    const std::optional<PhonebookRange> range = ReadPhonebookRange(rangeAnswer, book.notNumber);
    OnOwner([&](TZoGSM& component) {
      if (range) {
        TPhoneMemory& memory = component.phone_.*book.memory;
        component.*book.upperIndex = range->upperIndex;
        memory.PhoneBookSize = range->size;
        memory.LongestNumber = range->longestNumber;
        memory.LongestName = range->longestName;
      }
      component.DoAfterComRx();
    });

    const std::string usedAnswer = SendSerialAT("AT+CPBS?", true);
    RxLines.SetText(usedAnswer);
    const std::optional<int> used = ReadPhonebookUsed(usedAnswer);
    OnOwner([&](TZoGSM& component) {
      if (used) (component.phone_.*book.memory).PhoneBookUsed = *used;
      component.DoAfterComRx();
    });
  }
}

void TZoGSMThread::NotePhonebookSelection(const std::string& command) {
  const char* label = nullptr;
  if (Contains(command, "AT+CPBS=\"ME\"")) label = "PHONE";
  if (Contains(command, "AT+CPBS=\"SM\"")) label = "SIM";
  if (label == nullptr) return;
  OnOwner([label](TZoGSM& component) { component.phoneBook_.push_back(label); });
}

void TZoGSMThread::CollectPhonebookEntries(const std::string& answer) {
  tempList_ = SplitLines(answer);
  const std::vector<std::string> entries = ReadPhonebookEntries(answer);
  OnOwner([&](TZoGSM& component) {
    component.phoneBook_.insert(component.phoneBook_.end(), entries.begin(), entries.end());
    component.DoGetPhoneBook();
  });
  tempList_.reset();
}

}  // namespace modem
