// Every reader of modem answers on arbitrary bytes: none may crash, hang or
// read past its input.

#include <cstddef>
#include <cstdint>
#include <string>

#include "modem/capabilities.h"
#include "modem/identification_answers.h"
#include "modem/message_parts.h"
#include "modem/part_group.h"
#include "modem/status_lines.h"
#include "modem/text_fields.h"
#include "modem/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const modem::StatusItem& item : modem::ScanStatusLines(text)) {
    modem::ReadPowerLine(item.line);
    modem::SignalPercent(item.line);
  }
  modem::OneDigitMode(text, "+CLIP:");
  modem::IndicationCapability(text, size % 2 == 0);
  modem::AnswerLine(text, 2);
  modem::RevisionText(text);
  modem::ReadStorageCount(text, -88);
  modem::ReadPhonebookRange(text, -55);
  modem::ReadPhonebookUsed(text);
  modem::ReadPhonebookEntries(text);
  modem::Ucs2HexToText(text);
  modem::CsvFields(text);
  modem::MessageReference(text);
  modem::GroupOfPdu(text);
  return 0;
}
