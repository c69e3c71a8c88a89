#include "tools/modemsim/network_log.h"

#include <cerrno>
#include <cstring>

#include "sms/concatenation.h"
#include "sms/sms_decoder.h"

namespace modemsim {
namespace {

std::string NumberOrDash(int value) { return value < 0 ? "-" : std::to_string(value); }

}  // namespace

std::string NetworkLogLine(int reference, const std::string& pdu) {
  sms::TSMS decoder;
  decoder.ParsePDU(pdu);
  const std::string destination = decoder.GetSender();
  const sms::UDHValues concatenation = sms::GetUDHValues(pdu);
  const bool single = concatenation.reference < 0;
  return "accepted\t" + destination + "\t" + std::to_string(reference) + "\t" +
         (single ? "-" : NumberOrDash(concatenation.reference)) + "\t" +
         (single ? "-" : NumberOrDash(concatenation.sequence)) + "\t" +
         (single ? "-" : NumberOrDash(concatenation.total)) + "\t" + pdu;
}

NetworkLog::~NetworkLog() {
  if (file_) std::fclose(file_);
}

bool NetworkLog::OpenFile(const std::string& path, std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (!file) {
    if (error) *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  if (file_) std::fclose(file_);
  file_ = file;
  return true;
}

void NetworkLog::Accepted(int reference, const std::string& pdu) {
  lines_.push_back(NetworkLogLine(reference, pdu));
  if (!file_) return;
  std::fputs((lines_.back() + "\n").c_str(), file_);
  std::fflush(file_);
}

}  // namespace modemsim
