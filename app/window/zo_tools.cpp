#include "app/window/zo_tools.h"

#include <cstdint>

#include "platform/registry.h"
#include "platform/text.h"

namespace app {

namespace {

platform::Registry& Store(TRootKey) { return platform::CurrentRegistry(); }

bool Ok(platform::RegistryStatus status) { return status == platform::RegistryStatus::Ok; }

platform::DialogResult Box(const AnsiString& text, const AnsiString& caption, platform::DialogIcon icon,
                           platform::DialogButtons buttons) {
  return platform::CurrentDialogs().ShowMessage(text, caption, icon, buttons);
}

// Characters of a text as the log counts them (a CR LF pair is one break).
int LogLength(const AnsiString& text) {
  int length = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    ++length;
  }
  return length;
}

constexpr int kLogMaxLines = 400;
constexpr int kLogLinesDropped = 50;

}  // namespace

std::string RegReadStr(const std::string& name, const std::string& defaultValue, const std::string& key,
                       TRootKey root) {
  std::string value;
  return Ok(Store(root).ReadString(key, name, value)) ? value : defaultValue;
}

int RegReadInt(const std::string& name, int defaultValue, const std::string& key, TRootKey root) {
  std::string text;
  if (!Ok(Store(root).ReadString(key, name, text))) return defaultValue;
  return platform::ParseSettingInt(text).value_or(defaultValue);
}

bool RegReadBool(const std::string& name, bool defaultValue, const std::string& key, TRootKey root) {
  std::uint32_t value = 0;
  if (!Ok(Store(root).ReadDword(key, name, value))) return defaultValue;
  return value != 0;
}

bool RegWriteStr(const std::string& name, const std::string& value, const std::string& key, TRootKey root) {
  return Ok(Store(root).WriteString(key, name, value));
}

bool RegWriteInt(const std::string& name, int value, const std::string& key, TRootKey root) {
  return RegWriteStr(name, std::to_string(value), key, root);
}

bool RegWriteBool(const std::string& name, bool value, const std::string& key, TRootKey root) {
  return Ok(Store(root).WriteDword(key, name, value ? 1 : 0));
}

platform::DialogResult ErrorBox(const AnsiString& text, const AnsiString& caption) {
  return Box(text, caption, platform::DialogIcon::Error, platform::DialogButtons::Ok);
}

platform::DialogResult InfoBox(const AnsiString& text, const AnsiString& caption) {
  return Box(text, caption, platform::DialogIcon::Information, platform::DialogButtons::Ok);
}

platform::DialogResult WarningBox(const AnsiString& text, const AnsiString& caption) {
  return Box(text, caption, platform::DialogIcon::Warning, platform::DialogButtons::Ok);
}

platform::DialogResult QuestionBox(const AnsiString& text, const AnsiString& caption) {
  return Box(text, caption, platform::DialogIcon::Question, platform::DialogButtons::YesNoCancel);
}

platform::DialogResult CautiousQuestionBox(const AnsiString& text, const AnsiString& caption) {
  return Box(text, caption, platform::DialogIcon::Question, platform::DialogButtons::YesNoCancelDefaultNo);
}

void AppendLogLine(TLogView& log, const AnsiString& text, int length, int size, const std::string& fontName,
                   TLogFontStyle style, TColor color) {
  log.BeginUpdate();
  // Whatever happens while the line is added, the log ends with its caret at
  // the end, bold insertion style and repainting resumed.
  struct Finish {
    TLogView& log;
    ~Finish() {
      log.SetCaretPosition(log.TextLength());
      log.SetInsertionBold(true);
      log.EndUpdate();
      log.ScrollToCaret();
    }
  } finish{log};

  if (log.LineCount() > kLogMaxLines) {
    for (int i = 0; i < kLogLinesDropped; ++i) log.DeleteLine(0);
  }
  // The new line begins at the end of the text, not at the caret: the user
  // may have clicked or selected inside the log since the last line.
  const int start = log.TextLength();
  log.AppendLine(text);
  log.Select(start, length == 0 ? LogLength(text) : length);
  TFont attributes{fontName, size};
  attributes.Bold = style == TLogFontStyle::Bold;
  attributes.Color = color;
  log.SetSelectionAttributes(attributes);
}

void SetWindowZOrder(TForm& window, bool topmost, bool activate) { window.SetZOrder(topmost, activate); }

}  // namespace app
