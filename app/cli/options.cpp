#include "app/cli/options.h"

#include <algorithm>
#include <iostream>

#include "platform/text.h"

namespace cli {

namespace {

// "a whole number from 0 to 255", "... at least 1", "... up to 255".
std::string Describe(Bounds bounds) {
  std::string text = "a whole number";
  if (bounds.min != INT_MIN && bounds.max != INT_MAX) {
    text += " from " + std::to_string(bounds.min) + " to " + std::to_string(bounds.max);
  } else if (bounds.min != INT_MIN) {
    text += ", at least " + std::to_string(bounds.min);
  } else if (bounds.max != INT_MAX) {
    text += " up to " + std::to_string(bounds.max);
  }
  return text;
}

bool IsHelp(const std::string& word) { return word == "--help" || word == "-h"; }

// The command's name: the leading words of its usage line that are names
// ("xls write-list OUT.xls NUMBER..." is "xls write-list").
std::string CommandName(std::string_view usage) {
  size_t end = 0;
  for (size_t at = 0; at < usage.size() && usage[at] >= 'a' && usage[at] <= 'z';) {
    const size_t space = std::min(usage.find(' ', at), usage.size());
    const std::string_view word = usage.substr(at, space - at);
    if (word.find_first_not_of("abcdefghijklmnopqrstuvwxyz-") != std::string_view::npos) break;
    end = space;
    at = space + 1;
  }
  return std::string(usage.substr(0, end));
}

}  // namespace

OptionParser::OptionParser(std::string_view usage, std::string_view summary)
    : usage_(usage), command_(CommandName(usage)), summary_(summary) {}

void OptionParser::Declare(std::string_view name, Target target, std::string_view help, Presence presence,
                           Bounds bounds) {
  const size_t space = name.find(' ');
  Option option{std::string(name.substr(0, space)),
                space == std::string_view::npos ? std::string() : std::string(name.substr(space + 1)),
                std::string(help), target, presence, bounds};
  options_.push_back(std::move(option));
}

void OptionParser::Flag(std::string_view name, bool& target, std::string_view help) {
  Declare(name, &target, help, Presence::Optional, {});
}

void OptionParser::Text(std::string_view name, std::string& target, std::string_view help, Presence presence) {
  Declare(name, &target, help, presence, {});
}

void OptionParser::Text(std::string_view name, std::optional<std::string>& target, std::string_view help) {
  Declare(name, &target, help, Presence::Optional, {});
}

void OptionParser::Number(std::string_view name, int& target, Bounds bounds, std::string_view help) {
  Declare(name, &target, help, Presence::Optional, bounds);
}

void OptionParser::Number(std::string_view name, std::optional<int>& target, Bounds bounds, std::string_view help) {
  Declare(name, &target, help, Presence::Optional, bounds);
}

void OptionParser::Repeated(std::string_view name, std::vector<std::string>& target, std::string_view help) {
  Declare(name, &target, help, Presence::Optional, {});
}

void OptionParser::Positional(std::string_view name, std::string& target, std::string_view help) {
  positionals_.push_back({std::string(name), std::string(help), &target});
}

void OptionParser::Rest(std::string_view name, std::vector<std::string>& target, std::string_view help) {
  restName_ = name;
  restHelp_ = help;
  rest_ = &target;
}

OptionParser::Option* OptionParser::Find(std::string_view name) {
  for (Option& option : options_) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

std::optional<std::string> OptionParser::Store(Option& option, const std::string& value) {
  option.seen = true;
  if (auto* text = std::get_if<std::string*>(&option.target)) {
    **text = value;
  } else if (auto* maybeText = std::get_if<std::optional<std::string>*>(&option.target)) {
    **maybeText = value;
  } else if (auto* list = std::get_if<std::vector<std::string>*>(&option.target)) {
    (*list)->push_back(value);
  } else {
    const std::optional<int> number = platform::ParseInt(value);
    if (!number || *number < option.bounds.min || *number > option.bounds.max) {
      return option.name + " wants " + Describe(option.bounds) + ", not '" + value + "'";
    }
    if (auto* plain = std::get_if<int*>(&option.target)) {
      **plain = *number;
    } else {
      **std::get_if<std::optional<int>*>(&option.target) = number;
    }
  }
  return std::nullopt;
}

std::optional<std::string> OptionParser::ReadWords(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (optionsEnded || (!word.starts_with("--") && !IsHelp(word))) {  // "-5" is a value, not an option
      positional.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t equals = word.find('=');
    Option* option = Find(std::string_view(word).substr(0, equals));
    if (option == nullptr) return "unknown option '" + word.substr(0, equals) + "'";
    if (std::holds_alternative<bool*>(option->target)) {
      if (equals != std::string::npos) return option->name + " takes no value";
      *std::get<bool*>(option->target) = true;
      continue;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = word.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return "option " + option->name + " needs a value";
    }
    if (std::optional<std::string> problem = Store(*option, value)) return problem;
  }
  for (const Option& option : options_) {
    if (option.presence == Presence::Required && !option.seen) return option.name + " is required";
  }
  if (positional.size() < positionals_.size()) {
    std::string missing;
    for (size_t i = positional.size(); i < positionals_.size(); ++i) {
      missing += (missing.empty() ? "" : " and ") + positionals_[i].name;
    }
    return missing + (positionals_.size() - positional.size() == 1 ? " is required" : " are required");
  }
  if (positional.size() > positionals_.size() && rest_ == nullptr) {
    return "unexpected argument '" + positional[positionals_.size()] + "'";
  }
  for (size_t i = 0; i < positionals_.size(); ++i) *positionals_[i].target = positional[i];
  if (rest_ != nullptr) rest_->assign(positional.begin() + static_cast<std::ptrdiff_t>(positionals_.size()), positional.end());
  return std::nullopt;
}

std::optional<int> OptionParser::Parse(const std::vector<std::string>& args) {
  // --help anywhere before "--" is answered, whatever else is wrong.
  const auto optionsEnd = std::find(args.begin(), args.end(), "--");
  if (std::any_of(args.begin(), optionsEnd, IsHelp)) {
    PrintHelp();
    return 0;
  }
  if (const std::optional<std::string> problem = ReadWords(args)) return UsageError(*problem);
  return std::nullopt;
}

int OptionParser::UsageError(std::string_view message) const {
  std::cerr << "talvane-cli " << command_ << ": " << message << "\nusage: talvane-cli " << usage_ << "\n";
  return 2;
}

void OptionParser::PrintHelp() const {
  std::cout << "usage: talvane-cli " << usage_ << "\n";
  if (!summary_.empty()) std::cout << summary_ << "\n";
  struct Line {
    std::string left;
    std::string help;
  };
  std::vector<Line> lines;
  for (const Argument& argument : positionals_) lines.push_back({argument.name, argument.help});
  if (rest_ != nullptr) lines.push_back({restName_ + "...", restHelp_});
  for (const Option& option : options_) {
    std::string left = option.placeholder.empty() ? option.name : option.name + " " + option.placeholder;
    std::string help = option.help;
    if (option.presence == Presence::Required) help += " (required)";
    if (std::holds_alternative<std::vector<std::string>*>(option.target)) help += " (may be repeated)";
    lines.push_back({std::move(left), std::move(help)});
  }
  lines.push_back({"--help", "this help"});
  size_t width = 0;
  for (const Line& line : lines) width = std::max(width, line.left.size());
  for (const Line& line : lines) {
    std::cout << "  " << line.left << std::string(width - line.left.size() + 2, ' ') << line.help << "\n";
  }
}

}  // namespace cli
