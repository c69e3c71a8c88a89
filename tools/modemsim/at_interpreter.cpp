#include "tools/modemsim/at_interpreter.h"
#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace modemsim {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool ToInt(const std::string& text, int& value) {
  const std::optional<int> number = platform::ParseStrictInt(text);
  if (number) value = *number;
  return number.has_value();
}

bool InRange(const std::string& text, int low, int high, int& value) {
  return ToInt(text, value) && value >= low && value <= high;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Arguments of a set command: comma-separated, blanks trimmed, quotes removed.
std::vector<std::string> SplitArguments(const std::string& text) {
  std::vector<std::string> args;
  std::string current;
  bool quoted = false;
  bool wasQuoted = false;
  auto finish = [&] {
    if (!wasQuoted) {
      const size_t first = current.find_first_not_of(' ');
      const size_t last = current.find_last_not_of(' ');
      current = first == std::string::npos ? "" : current.substr(first, last - first + 1);
    }
    args.push_back(current);
    current.clear();
    wasQuoted = false;
  };
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      wasQuoted = true;
    } else if (c == ',' && !quoted) {
      finish();
    } else if (quoted || c != ' ' || !current.empty()) {
      current += c;
    }
  }
  finish();
  return args;
}

// Set arguments as the read form shows them again: "2,0,0,2".
std::string JoinArguments(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) text += (text.empty() ? "" : ",") + arg;
  return text;
}

// The end of an extended command: the next ';' outside quotes.
size_t ExtendedCommandEnd(const std::string& body, size_t start) {
  bool quoted = false;
  for (size_t i = start; i < body.size(); ++i) {
    if (body[i] == '"') quoted = !quoted;
    else if (body[i] == ';' && !quoted) return i;
  }
  return body.size();
}

// The lines one command added become one information text: its lines are
// separated by CR LF, and the text as a whole is framed by CR LF.
void JoinLinesFrom(Reply& reply, size_t first) {
  if (reply.lines.size() <= first + 1) return;
  std::string text = reply.lines[first];
  for (size_t i = first + 1; i < reply.lines.size(); ++i) text += "\r\n" + reply.lines[i];
  reply.lines.resize(first);
  reply.lines.push_back(text);
}

Reply Failed(Reply reply, const std::string& final) {
  reply.final = final;
  return reply;
}

// For handlers: the command is theirs but fails with `final`.
bool Reject(Reply& reply, const std::string& final) {
  reply.final = final;
  return true;
}

std::string CmsError(int code) { return "+CMS ERROR: " + std::to_string(code); }

constexpr int kInvalidPduParameter = 304;
constexpr int kOperationNotAllowed = 302;
constexpr int kInvalidMemoryIndex = 321;

}  // namespace

int TpduLength(const std::string& pdu) {
  if (pdu.size() < 2 || pdu.size() % 2 != 0) return -1;
  if (!std::all_of(pdu.begin(), pdu.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
    return -1;
  }
  const int smscLength = std::stoi(pdu.substr(0, 2), nullptr, 16);
  const int octets = static_cast<int>(pdu.size() / 2);
  return octets - 1 - smscLength >= 1 ? octets - 1 - smscLength : -1;
}

AtInterpreter::AtInterpreter() {
  memories_ = {{"SM", Memory{20, {}}}, {"ME", Memory{100, {}}}};
  phonebooks_ = {{"SM", Phonebook{250, {}}}, {"ME", Phonebook{500, {}}}};
  Reset();
}

void AtInterpreter::Reset() {
  echo_ = true;
  verbose_ = true;
  quiet_ = false;
  errorMode_ = 0;
  messageFormat_ = 0;
  indications_ = {0, 0, 0, 0, 0};
  clip_ = 0;
  cmms_ = 0;
  cmer_ = "0,0,0,0,0";
  ResetCommonSettings();
}

Reply AtInterpreter::ExecuteLine(const std::string& line) {
  Reply reply;
  if (line.size() < 2 || Upper(line.substr(0, 2)) != "AT") return Failed(reply, "ERROR");
  const std::string body = line.substr(2);
  size_t i = 0;
  while (i < body.size()) {
    const char c = body[i];
    if (c == ' ' || c == ';') {
      ++i;
    } else if (c == '+' || c == '^' || c == '$') {
      const size_t end = ExtendedCommandEnd(body, i);
      const size_t before = reply.lines.size();
      const bool ok = ExecuteExtended(body.substr(i, end - i), reply);
      JoinLinesFrom(reply, before);
      if (!ok || reply.prompt) return reply;
      i = end + 1;
    } else if (c == '&' || std::isalpha(static_cast<unsigned char>(c))) {
      const bool ampersand = c == '&';
      if (ampersand && ++i >= body.size()) return Failed(reply, "ERROR");
      const char name = static_cast<char>(std::toupper(static_cast<unsigned char>(body[i++])));
      // The argument: digits, or for S registers "n=value" / "n?".
      size_t end = i;
      while (end < body.size() && (std::isdigit(static_cast<unsigned char>(body[end])) ||
                                   (name == 'S' && !ampersand && (body[end] == '=' || body[end] == '?')))) {
        ++end;
      }
      if (name == 'D' && !ampersand) end = body.size();  // a dial string runs to the end
      const size_t before = reply.lines.size();
      const bool ok = ExecuteBasic(ampersand ? static_cast<char>(std::tolower(name)) : name, body.substr(i, end - i), reply);
      JoinLinesFrom(reply, before);
      if (!ok) return reply;
      i = end;
    } else {
      return Failed(reply, "ERROR");
    }
  }
  return reply;
}

// Basic commands; `name` is lower case for the "&" ones (&F is 'f').
bool AtInterpreter::ExecuteBasic(char name, const std::string& argument, Reply& reply) {
  auto flag = [&](bool& setting) {
    if (argument.empty() || argument == "0") setting = false;
    else if (argument == "1") setting = true;
    else return false;
    return true;
  };
  bool ok = true;
  switch (name) {
    case 'E': ok = flag(echo_); break;
    case 'V': ok = flag(verbose_); break;
    case 'Q': ok = flag(quiet_); break;
    case 'Z':
    case 'f': Reset(); break;
    case 'I':
      if (argument.empty() || argument == "0") reply.lines.push_back(identity_.manufacturer + " " + identity_.model);
      else if (argument == "1") reply.lines.push_back(identity_.revision);
      else if (argument == "2") reply.lines.push_back("IMEI: " + identity_.imei);
      else if (argument == "3") reply.lines.push_back(identity_.model);
      else if (argument == "4") reply.lines.push_back("+CGSM,+FCLASS,+DS");
      else ok = false;
      break;
    case 'D': reply.final = "NO CARRIER"; return false;
    case 'S':
      if (argument.find('?') != std::string::npos) reply.lines.push_back("000");
      break;
    case 'H': EndCall(); break;
    case 'L':
    case 'M':
    case 'X':
    case 'c':
    case 'd':
    case 'k':
    case 'w': break;
    default: ok = false;
  }
  if (!ok) reply.final = "ERROR";
  return ok;
}

bool AtInterpreter::ExecuteExtended(const std::string& command, Reply& reply) {
  const size_t nameEnd = command.find_first_of("=?");
  const std::string name = Upper(command.substr(0, nameEnd));
  const std::string rest = nameEnd == std::string::npos ? "" : command.substr(nameEnd);
  Form form = Form::Action;
  std::vector<std::string> args;
  if (rest == "?") {
    form = Form::Read;
  } else if (rest == "=?") {
    form = Form::Test;
  } else if (!rest.empty()) {
    if (rest.front() != '=') {
      reply.final = "ERROR";
      return false;
    }
    form = Form::Set;
    args = SplitArguments(rest.substr(1));
  }
  if (name == "+CHUP" && form == Form::Action) {
    EndCall();
    return true;
  }
  if (CommonCommands(name, form, args, reply) || Identification(name, form, reply) ||
      Settings(name, form, args, reply) || Status(name, form, reply) ||
      MessageStorage(name, form, args, reply) || Phonebooks(name, form, args, reply)) {
    return reply.final == "OK";
  }
  reply.final = "ERROR";  // a command this modem does not know
  return false;
}

// Each handler returns false when the command is not its own; a command it
// owns but cannot carry out sets the final result code.
bool AtInterpreter::Identification(const std::string& name, Form form, Reply& reply) {
  const std::map<std::string, const std::string*> answers = {
      {"+CGMI", &identity_.manufacturer}, {"+GMI", &identity_.manufacturer}, {"+CGMM", &identity_.model},
      {"+GMM", &identity_.model},         {"+CGMR", &identity_.revision},    {"+GMR", &identity_.revision},
      {"+CGSN", &identity_.imei},         {"+GSN", &identity_.imei},
  };
  const auto found = answers.find(name);
  if (found == answers.end()) return false;
  if (form == Form::Action) reply.lines.push_back(*found->second);
  else if (form != Form::Test) reply.final = "ERROR";
  return true;
}

bool AtInterpreter::Settings(const std::string& name, Form form, const std::vector<std::string>& args,
                             Reply& reply) {
  // A one-number setting: its range, test text and current value.
  auto number = [&](int& setting, int low, int high, const std::string& test, const std::string& readSuffix = "") {
    int value = 0;
    if (form == Form::Test) reply.lines.push_back(name + ": " + test);
    else if (form == Form::Read) reply.lines.push_back(name + ": " + std::to_string(setting) + readSuffix);
    else if (form == Form::Set && args.size() == 1 && InRange(args[0], low, high, value)) setting = value;
    else reply.final = "ERROR";
    return true;
  };
  if (name == "+CMEE") return number(errorMode_, 0, 2, "(0-2)");
  if (name == "+CMGF") return number(messageFormat_, 0, 1, "(0,1)");
  if (name == "+CLIP") return number(clip_, 0, 1, "(0-1)", ",1");
  if (name == "+CMMS") return number(cmms_, 0, 2, "(0-2)");
  if (name == "+CNMI") {
    static const int kHighest[] = {2, 3, 2, 2, 1};
    if (form == Form::Test) {
      reply.lines.push_back("+CNMI: (0-2),(0-3),(0,2),(0-2),(0,1)");
    } else if (form == Form::Read) {
      std::string text = "+CNMI: ";
      for (size_t i = 0; i < indications_.size(); ++i) text += (i ? "," : "") + std::to_string(indications_[i]);
      reply.lines.push_back(text);
    } else if (form == Form::Set && args.size() <= 5) {
      std::vector<int> values = indications_;
      for (size_t i = 0; i < args.size(); ++i) {
        if (!args[i].empty() && !InRange(args[i], 0, kHighest[i], values[i])) return Reject(reply, "ERROR");
      }
      indications_ = values;
    } else {
      reply.final = "ERROR";
    }
    return true;
  }
  if (name == "+CMER") {
    if (form == Form::Test) reply.lines.push_back("+CMER: (0-3),(0),(0),(0-2),(0,1)");
    else if (form == Form::Read) reply.lines.push_back("+CMER: " + cmer_);
    else if (form == Form::Set) cmer_ = JoinArguments(args);
    else reply.final = "ERROR";
    return true;
  }
  return false;
}

bool AtInterpreter::Status(const std::string& name, Form form, Reply& reply) {
  auto answer = [&](Form accepted, const std::string& text, const std::string& test) {
    if (form == accepted) reply.lines.push_back(name + ": " + text);
    else if (form == Form::Test) reply.lines.push_back(name + ": " + test);
    else if (form != Form::Set) reply.final = "ERROR";
    return true;
  };
  if (name == "+CSQ") {
    return answer(Form::Action, std::to_string(rssi_) + "," + std::to_string(ber_), "(0-31,99),(0-7,99)");
  }
  if (name == "+CBC") {
    return answer(Form::Action, std::to_string(batteryStatus_) + "," + std::to_string(batteryCharge_),
                  "(0-3),(0-100)");
  }
  if (name == "+CIND") {
    return answer(Form::Read, "0,0,1,0,0,0,0",
                  "(\"call\",(0,1)),(\"roam\",(0,1)),(\"service\",(0,1)),(\"sounder\",(0,1)),"
                  "(\"message\",(0,1)),(\"smsfull\",(0,1)),(\"callsetup\",(0-3))");
  }
  if (name == "+CPIN") return answer(Form::Read, "READY", "");
  if (name == "+COPS") return answer(Form::Read, "0,0,\"TALVANE NET\"", "(2,\"TALVANE NET\",\"TNET\",\"26099\"),,(0-4),(0-2)");
  return false;
}

AtInterpreter::Memory* AtInterpreter::FindMemory(const std::string& name) {
  const auto found = memories_.find(Upper(name));
  return found == memories_.end() ? nullptr : &found->second;
}

std::string AtInterpreter::StorageCounts() const {
  std::string text;
  for (const std::string* name : {&readMemory_, &writeMemory_, &receiveMemory_}) {
    const Memory& memory = memories_.at(*name);
    if (!text.empty()) text += ",";
    text += std::to_string(memory.messages.size()) + "," + std::to_string(memory.capacity);
  }
  return text;
}

bool AtInterpreter::MessageStorage(const std::string& name, Form form, const std::vector<std::string>& args,
                                   Reply& reply) {
  if (name == "+CMGS") return StartSubmission(form, args, reply);
  if (name != "+CPMS" && name != "+CMGL" && name != "+CMGR" && name != "+CMGD") return false;
  Memory& memory = memories_.at(readMemory_);
  const int capacity = memory.capacity;
  int value = 0;
  auto listEntry = [&](const std::string& header, int index, StoredMessage& message, bool withIndex) {
    reply.lines.push_back(header + ": " + (withIndex ? std::to_string(index) + "," : "") +
                          std::to_string(message.status) + ",," + std::to_string(TpduLength(message.pdu)));
    reply.lines.push_back(message.pdu);
    if (message.status == 0) message.status = 1;  // read now
  };

  if (name == "+CPMS") {
    if (form == Form::Test) {
      reply.lines.push_back("+CPMS: (\"SM\",\"ME\"),(\"SM\",\"ME\"),(\"SM\",\"ME\")");
    } else if (form == Form::Read) {
      std::string text = "+CPMS: ";
      for (const std::string* selected : {&readMemory_, &writeMemory_, &receiveMemory_}) {
        const Memory& m = memories_.at(*selected);
        text += (text.size() > 7 ? "," : "") + Quoted(*selected) + "," + std::to_string(m.messages.size()) + "," +
                std::to_string(m.capacity);
      }
      reply.lines.push_back(text);
    } else if (form == Form::Set && !args.empty() && args.size() <= 3) {
      for (const std::string& arg : args) {
        if (!FindMemory(arg)) return Reject(reply, CmsError(kOperationNotAllowed));
      }
      std::string* selections[] = {&readMemory_, &writeMemory_, &receiveMemory_};
      for (size_t i = 0; i < args.size(); ++i) *selections[i] = Upper(args[i]);
      reply.lines.push_back("+CPMS: " + StorageCounts());
    } else {
      reply.final = "ERROR";
    }
    return true;
  }
  if (form == Form::Test) {
    if (name == "+CMGL") reply.lines.push_back("+CMGL: (0-4)");
    if (name == "+CMGD") reply.lines.push_back("+CMGD: (1-" + std::to_string(capacity) + "),(0-4)");
    return true;
  }
  if (messageFormat_ != 0) return Reject(reply, CmsError(kOperationNotAllowed));  // text mode: not here

  if (name == "+CMGL") {
    int status = 0;
    if (form == Form::Set && !(args.size() == 1 && InRange(args[0], 0, 4, status))) return Reject(reply, "ERROR");
    if (form == Form::Read) return Reject(reply, "ERROR");
    for (auto& [index, message] : memory.messages) {
      if (status == 4 || message.status == status) listEntry("+CMGL", index, message, true);
    }
    return true;
  }
  if (form != Form::Set || args.empty() || !InRange(args[0], 0, 9999, value)) return Reject(reply, "ERROR");
  if (name == "+CMGR") {
    const auto found = memory.messages.find(value);
    if (found == memory.messages.end()) return Reject(reply, CmsError(kInvalidMemoryIndex));
    listEntry("+CMGR", value, found->second, false);
    return true;
  }
  // +CMGD=index[,flag]: flag 1 deletes all read, 2 also sent, 3 also unsent, 4 everything.
  int flag = 0;
  if (args.size() > 1 && !InRange(args[1], 0, 4, flag)) return Reject(reply, "ERROR");
  if (flag == 0) {
    if (value < 1 || value > capacity) return Reject(reply, CmsError(kInvalidMemoryIndex));
    memory.messages.erase(value);
    return true;
  }
  std::erase_if(memory.messages, [flag](const auto& entry) {
    const int status = entry.second.status;
    return flag == 4 || status == 1 || (flag >= 2 && status == 3) || (flag >= 3 && status == 2);
  });
  return true;
}

bool AtInterpreter::StartSubmission(Form form, const std::vector<std::string>& args, Reply& reply) {
  int length = 0;
  if (form == Form::Test) return true;
  if (form != Form::Set || args.empty()) return Reject(reply, "ERROR");
  if (messageFormat_ == 0 && !InRange(args[0], 1, 164, length)) return Reject(reply, CmsError(kInvalidPduParameter));
  pendingLength_ = messageFormat_ == 0 ? length : 0;
  reply.prompt = true;
  reply.final.clear();
  return true;
}

Reply AtInterpreter::Submit(const std::string& text) {
  Reply reply;
  const int announced = pendingLength_;
  pendingLength_ = -1;
  if (messageFormat_ == 0 && TpduLength(text) != announced) return Failed(reply, CmsError(kInvalidPduParameter));
  submitted_.push_back(text);
  NoteSent(nextReference_, text);
  reply.lines.push_back("+CMGS: " + std::to_string(nextReference_));
  nextReference_ = (nextReference_ + 1) & 0xFF;
  return reply;
}

Reply AtInterpreter::CancelSubmission() {
  pendingLength_ = -1;
  return Reply{};
}

bool AtInterpreter::Phonebooks(const std::string& name, Form form, const std::vector<std::string>& args,
                               Reply& reply) {
  if (name != "+CPBS" && name != "+CPBR") return false;
  Phonebook& book = phonebooks_.at(phonebook_);
  const std::string cmeNotAllowed = errorMode_ == 0 ? "ERROR" : "+CME ERROR: 3";
  if (name == "+CPBS") {
    if (form == Form::Test) reply.lines.push_back("+CPBS: (\"SM\",\"ME\")");
    else if (form == Form::Read)
      reply.lines.push_back("+CPBS: " + Quoted(phonebook_) + "," + std::to_string(book.entries.size()) + "," +
                            std::to_string(book.size));
    else if (form == Form::Set && args.size() == 1 && phonebooks_.count(Upper(args[0]))) phonebook_ = Upper(args[0]);
    else reply.final = cmeNotAllowed;
    return true;
  }
  if (form == Form::Test) {
    reply.lines.push_back("+CPBR: (1-" + std::to_string(book.size) + "),40,18");
    return true;
  }
  int first = 0;
  int last = 0;
  if (form != Form::Set || args.empty() || args.size() > 2 || !InRange(args[0], 1, book.size, first) ||
      (args.size() == 2 && !InRange(args[1], first, book.size, last))) {
    reply.final = errorMode_ == 0 ? "ERROR" : "+CME ERROR: 21";  // invalid index
    return true;
  }
  if (args.size() == 1) last = first;
  for (auto it = book.entries.lower_bound(first); it != book.entries.end() && it->first <= last; ++it) {
    reply.lines.push_back("+CPBR: " + std::to_string(it->first) + "," + Quoted(it->second.number) + "," +
                          std::to_string(it->second.type) + "," + Quoted(it->second.nameHex));
  }
  return true;
}

std::vector<std::string> AtInterpreter::ReceiveMessage(const std::string& pdu) {
  if (indications_[1] == 2) return {"+CMT: ," + std::to_string(TpduLength(pdu)), pdu};
  const int index = StoreMessage(receiveMemory_, StoredMessage{0, pdu});
  if (index < 0 || indications_[1] != 1) return {};
  return {"+CMTI: " + Quoted(receiveMemory_) + "," + std::to_string(index)};
}

int AtInterpreter::StoreMessage(const std::string& memoryName, const StoredMessage& message) {
  Memory* memory = FindMemory(memoryName);
  if (!memory) return -1;
  for (int index = 1; index <= memory->capacity; ++index) {
    if (memory->messages.emplace(index, message).second) return index;
  }
  return -1;
}

std::map<int, StoredMessage> AtInterpreter::Messages(const std::string& memoryName) const {
  const auto found = memories_.find(Upper(memoryName));
  return found == memories_.end() ? std::map<int, StoredMessage>{} : found->second.messages;
}

void AtInterpreter::SetMemoryCapacity(const std::string& memoryName, int capacity) {
  if (Memory* memory = FindMemory(memoryName)) memory->capacity = capacity;
}

void AtInterpreter::SetPhonebookEntry(const std::string& memory, int index, const PhonebookEntry& entry) {
  const auto found = phonebooks_.find(Upper(memory));
  if (found != phonebooks_.end()) found->second.entries[index] = entry;
}

}  // namespace modemsim
