#pragma once
// ZoTools: the window's helpers for the settings store, message boxes, the
// activity log and the stacking order of windows.
//
// Threads: main thread (the window's helpers); the settings store and the
// boxes they reach are safe from any thread (platform/registry.h, dialogs.h).

#include <string>

#include "app/window/activity_log.h"
#include "app/window/view_form.h"
#include "platform/dialogs.h"

namespace app {

// Root of a settings key; this program keeps everything under the user's own root.
enum class TRootKey { CurrentUser };

// ---- Settings store (HKEY_CURRENT_USER). No error reaches the user: reads
// fall back to the default, writes report success as a Boolean. ----

// The stored string, or the default when the key or value is missing or is not a string.
std::string RegReadStr(const std::string& name, const std::string& defaultValue, const std::string& key,
                       TRootKey root = TRootKey::CurrentUser);
// An integer kept as a decimal string; the default when missing or not a number.
int RegReadInt(const std::string& name, int defaultValue, const std::string& key,
               TRootKey root = TRootKey::CurrentUser);
// A Boolean kept as a 32-bit integer: not zero is true; the default when
// missing or not a 32-bit integer.
bool RegReadBool(const std::string& name, bool defaultValue, const std::string& key,
                 TRootKey root = TRootKey::CurrentUser);
// Write the value, creating the key when needed; false on any error.
bool RegWriteStr(const std::string& name, const std::string& value, const std::string& key,
                 TRootKey root = TRootKey::CurrentUser);
bool RegWriteInt(const std::string& name, int value, const std::string& key, TRootKey root = TRootKey::CurrentUser);
bool RegWriteBool(const std::string& name, bool value, const std::string& key,
                  TRootKey root = TRootKey::CurrentUser);

// ---- Message boxes: modal, owned by the application; texts in the
// program's text. Each returns the button chosen. ----
platform::DialogResult ErrorBox(const AnsiString& text, const AnsiString& caption);     // error icon, OK
platform::DialogResult InfoBox(const AnsiString& text, const AnsiString& caption);      // information icon, OK
platform::DialogResult WarningBox(const AnsiString& text, const AnsiString& caption);   // warning icon, OK
platform::DialogResult QuestionBox(const AnsiString& text, const AnsiString& caption);  // question icon, Yes/No/Cancel
// As QuestionBox, with No as the button Enter presses.
platform::DialogResult CautiousQuestionBox(const AnsiString& text, const AnsiString& caption);

// ---- Activity log ----
enum class TLogFontStyle { Regular, Bold };

// Appends `text` as the last line of the log and gives its first `length`
// characters (the whole text when 0) the colour, style, font name and size,
// wherever the user left the caret or a selection in the log.
// Before appending, a log of more than 400 lines loses its 50 oldest lines.
// Afterwards the caret is at the end with nothing selected, the insertion
// style is bold, repainting is resumed and the caret is scrolled into view.
void AppendLogLine(TLogView& log, const AnsiString& text, int length, int size, const std::string& fontName,
                   TLogFontStyle style, TColor color);

// Changes only the window's place in the stacking order, never its position
// or size: always-on-top or among the ordinary windows, activated or not.
void SetWindowZOrder(TForm& window, bool topmost, bool activate);

}  // namespace app
