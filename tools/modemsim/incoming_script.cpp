#include "tools/modemsim/incoming_script.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/text.h"

namespace modemsim {
namespace {

// Comma-separated fields.
std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

bool ReadNumber(const std::string& text, int& value) {
  const std::optional<int> number = platform::ParseInt(text);
  if (!number || *number < 0 || *number > 255) return false;
  value = *number;
  return true;
}

bool ReadSeconds(const std::string& text, int& milliseconds) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || seconds < 0 || seconds > 3600) return false;
  milliseconds = static_cast<int>(seconds * 1000);
  return true;
}

bool IsNotice(const std::string& command) {
  return command.size() > 8 && command.compare(0, 8, "AT+CNMI=") == 0 && command != "AT+CNMI=?";
}

}  // namespace

const char* IncomingScript::Usage() {
  return "  network events, played in the order given once the modem was told to pass\n"
         "  messages on (AT+CNMI=...):\n"
         "  --incoming PDU            a message from the network (SMS-DELIVER PDU, SMSC\n"
         "                            information first): stored with +CMTI or passed on\n"
         "                            with +CMT, as AT+CNMI says (repeatable)\n"
         "  --report REF[,STATUS[,NUMBER]]\n"
         "                            the status report (+CDS) of the message sent with\n"
         "                            reference REF, status STATUS (default 0); NUMBER is\n"
         "                            its recipient when it was not sent through this modem\n"
         "  --ring NUMBER             one ring of a call (RING, +CLIP); \"\" withholds it\n"
         "  --indicator IND,VALUE     an indicator event +CIEV: IND,VALUE (after AT+CMER)\n"
         "  --events-after SECONDS    before the first event (default 3)\n"
         "  --events-every SECONDS    between two events (default 1)\n";
}

bool IncomingScript::TakeOption(const std::vector<std::string>& args, size_t& i, std::string& error) {
  const std::string& option = args[i];
  const bool known = option == "--incoming" || option == "--report" || option == "--ring" ||
                     option == "--indicator" || option == "--events-after" || option == "--events-every";
  if (!known) return false;
  if (i + 1 >= args.size()) {
    error = "option " + option + " needs a value";
    return true;
  }
  const std::string& value = args[++i];
  const std::vector<std::string> fields = Fields(value);
  Event event{Event::Kind::Ring, value};
  if (option == "--incoming") {
    if (TpduLength(value) < 0) error = "bad PDU for --incoming";
    else events_.push_back({Event::Kind::Message, value});
  } else if (option == "--report") {
    event = {Event::Kind::Report, fields.size() > 2 ? fields[2] : ""};
    if (fields.size() > 3 || !ReadNumber(fields[0], event.first) ||
        (fields.size() > 1 && !ReadNumber(fields[1], event.second))) {
      error = "--report wants REF[,STATUS[,NUMBER]], REF and STATUS from 0 to 255";
    } else {
      events_.push_back(event);
    }
  } else if (option == "--ring") {
    events_.push_back(event);
  } else if (option == "--indicator") {
    event.kind = Event::Kind::Indicator;
    if (fields.size() != 2 || !ReadNumber(fields[0], event.first) || !ReadNumber(fields[1], event.second)) {
      error = "--indicator wants IND,VALUE";
    } else {
      events_.push_back(event);
    }
  } else if (!ReadSeconds(value, option == "--events-after" ? afterMs_ : everyMs_)) {
    error = option + " wants a number of seconds";
  }
  return true;
}

void IncomingScript::Start(ModemSimulator& modem) {
  if (events_.empty()) return;
  thread_ = std::thread([this, &modem] { Play(modem); });
}

void IncomingScript::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  stopped_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool IncomingScript::Wait(int milliseconds) {
  std::unique_lock lock(mutex_);
  return !stopped_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stop_; });
}

void IncomingScript::Play(ModemSimulator& modem) {
  for (;;) {
    const std::vector<std::string> commands = modem.Commands();
    if (std::any_of(commands.begin(), commands.end(), IsNotice)) break;
    if (!Wait(100)) return;
  }
  if (!Wait(afterMs_)) return;
  for (size_t n = 0; n < events_.size(); ++n) {
    if (n > 0 && !Wait(everyMs_)) return;
    const Event& event = events_[n];
    switch (event.kind) {
      case Event::Kind::Message:
        modem.ReceiveMessage(event.text);
        break;
      case Event::Kind::Report:
        if (!modem.SendStatusReport(event.first, event.second, event.text)) {
          std::fprintf(stderr, "modemsim: no status report for reference %d to send\n", event.first);
        }
        break;
      case Event::Kind::Ring:
        modem.Ring(event.text);
        break;
      case Event::Kind::Indicator:
        if (!modem.SendIndicator(event.first, event.second)) {
          std::fprintf(stderr, "modemsim: indicator events were not asked for (AT+CMER)\n");
        }
        break;
    }
  }
}

}  // namespace modemsim
