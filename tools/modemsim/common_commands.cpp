// The everyday commands of 3GPP TS 27.007 and 27.005 that any GSM modem
// answers and that independent clients ask while they identify a modem and
// prepare a message: character set, functionality, registration, service
// centre, message service and text parameters, activity, clock, subscriber
// numbers. A setting the modem accepts sticks: reading it back gives what was
// set, until ATZ or AT&F bring the factory values back.

#include <cstdio>
#include <ctime>
#include <optional>

#include "platform/text.h"
#include "tools/modemsim/at_interpreter.h"

namespace modemsim {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A command parameter: digits only, from `low` to `high` (never below 0).
bool ReadNumber(const std::string& text, int low, int high, int& value) {
  const std::optional<int> number = platform::ParseStrictInt(text);
  if (!number || *number < low || *number > high || text.front() == '-') return false;
  value = *number;
  return true;
}

// "yy/MM/dd,hh:mm:ss+zz" in universal time, as +CCLK answers.
std::string ClockText() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d,%02d:%02d:%02d+00", utc.tm_year % 100, utc.tm_mon + 1, utc.tm_mday,
                utc.tm_hour, utc.tm_min, utc.tm_sec);
  return text;
}

}  // namespace

void AtInterpreter::ResetCommonSettings() { common_ = CommonSettings{}; }

bool AtInterpreter::CommonCommands(const std::string& name, Form form, const std::vector<std::string>& args,
                                   Reply& reply) {
  CommonSettings& s = common_;
  auto line = [&](const std::string& text) { reply.lines.push_back(name + ": " + text); };
  auto fail = [&] {
    reply.final = "ERROR";
    return true;
  };
  int value = 0;
  if (name == "+CSCS") {
    if (form == Form::Test) line("(\"GSM\",\"IRA\",\"UCS2\",\"HEX\")");
    else if (form == Form::Read) line("\"" + s.charset + "\"");
    else if (form == Form::Set && args.size() == 1 &&
             (Upper(args[0]) == "GSM" || Upper(args[0]) == "IRA" || Upper(args[0]) == "UCS2" || Upper(args[0]) == "HEX"))
      s.charset = Upper(args[0]);
    else return fail();
    return true;
  }
  if (name == "+CFUN") {
    if (form == Form::Test) line("(0,1,4),(0,1)");
    else if (form == Form::Read) line(std::to_string(s.functionality));
    else if (form == Form::Set && !args.empty() && args.size() <= 2 && ReadNumber(args[0], 0, 4, value) &&
             value != 2 && value != 3 && (args.size() == 1 || args[1] == "0" || args[1] == "1"))
      s.functionality = value;
    else return fail();
    return true;
  }
  if (name == "+CHUP") return form == Form::Action || form == Form::Test ? true : fail();
  if (name == "+CREG") {
    if (form == Form::Test) line("(0-2)");
    else if (form == Form::Read) line(std::to_string(s.registrationMode) + (s.functionality == 1 ? ",1" : ",0"));
    else if (form == Form::Set && args.size() == 1 && ReadNumber(args[0], 0, 2, value)) s.registrationMode = value;
    else return fail();
    return true;
  }
  if (name == "+CSCA") {
    if (form == Form::Read) line("\"" + s.serviceCentre + "\"," + std::to_string(s.serviceCentreType));
    else if (form == Form::Set && !args.empty() && args.size() <= 2 && !args[0].empty() &&
             (args.size() == 1 || ReadNumber(args[1], 128, 255, value))) {
      s.serviceCentre = args[0];
      s.serviceCentreType = args.size() == 2 ? value : (args[0][0] == '+' ? 145 : 129);
    } else if (form != Form::Test) return fail();
    return true;
  }
  if (name == "+CSMS") {
    if (form == Form::Test) line("(0,1)");
    else if (form == Form::Read) line(std::to_string(s.messageService) + ",1,1,1");
    else if (form == Form::Set && args.size() == 1 && ReadNumber(args[0], 0, 1, value)) {
      s.messageService = value;
      line("1,1,1");
    } else return fail();
    return true;
  }
  if (name == "+CSMP") {
    if (form == Form::Read) line(s.textParameters);
    else if (form == Form::Set && !args.empty() && args.size() <= 4) {
      std::string text;
      for (size_t i = 0; i < 4; ++i) {
        const std::string field = i < args.size() && !args[i].empty() ? args[i] : "";
        if (!field.empty() && !ReadNumber(field, 0, 255, value)) return fail();
        text += (i ? "," : "") + (field.empty() ? std::string(i == 0 ? "17" : i == 1 ? "167" : "0") : field);
      }
      s.textParameters = text;
    } else if (form != Form::Test) return fail();
    return true;
  }
  if (name == "+CSDH") {
    if (form == Form::Test) line("(0,1)");
    else if (form == Form::Read) line(std::to_string(s.showTextHeader));
    else if (form == Form::Set && args.size() == 1 && ReadNumber(args[0], 0, 1, value)) s.showTextHeader = value;
    else return fail();
    return true;
  }
  if (name == "+CPAS") {
    if (form == Form::Test) line("(0-5)");
    else if (form == Form::Action) line("0");
    else return fail();
    return true;
  }
  if (name == "+CCLK") {
    if (form == Form::Read) line("\"" + ClockText() + "\"");
    else if (form != Form::Set && form != Form::Test) return fail();
    return true;
  }
  if (name == "+CIMI") {
    if (form == Form::Action) reply.lines.push_back(identity_.imsi);
    else if (form != Form::Test) return fail();
    return true;
  }
  if (name == "+CNUM") {
    if (form == Form::Action) line(",\"" + identity_.ownNumber + "\",145");
    else if (form != Form::Test) return fail();
    return true;
  }
  if (name == "+GCAP") {
    if (form == Form::Action) line("+CGSM");
    else if (form != Form::Test) return fail();
    return true;
  }
  return false;
}

}  // namespace modemsim
