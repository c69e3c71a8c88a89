#pragma once
// The activity log: a read-only rich-text control whose lines keep their own
// colours and fonts. The window reports what it does in it, one line per event.
//
// Lines are counted as the control shows them: every line ends with a line
// break, and the empty line after the last break does not count. Character
// positions count a line break as one character, so the caret at the end of
// the text is where the next appended line begins.
//
// Threads: main thread only.

#include <string>
#include <vector>

#include "app/window/view_controls.h"

namespace app {

class TLogView : public TControl {
 public:
  // Removes all lines.
  virtual void Clear() = 0;
  virtual int LineCount() const = 0;
  virtual AnsiString Line(int index) const = 0;
  // Adds the text as the last line(s) in the insertion attributes; each CR LF,
  // CR or LF inside the text starts another line.
  virtual void AppendLine(const AnsiString& text) = 0;
  // Inserts a line before the line at index (0-based), in the insertion attributes.
  virtual void InsertLine(int index, const AnsiString& text) = 0;
  // Replaces the text of a line; the new text takes the attributes of the
  // line's first character.
  virtual void ReplaceLine(int index, const AnsiString& text) = 0;
  virtual void DeleteLine(int index) = 0;

  // The attributes given to text added without explicit attributes (Name,
  // Size, Bold and Color of the font; Italic and Underline stay off).
  virtual TFont InsertionAttributes() const = 0;
  virtual void SetInsertionColor(TColor value) = 0;
  virtual void SetInsertionBold(bool value) = 0;

  // Automatic font and keyboard switching of the control (on by default in a
  // rich-text control; the window turns it off so each character keeps the
  // font it was given).
  virtual bool AutoFontSwitching() const = 0;
  virtual void SetAutoFontSwitching(bool value) = 0;

  // Repainting held back between the two calls (calls nest).
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  virtual bool Updating() const = 0;

  virtual int TextLength() const = 0;
  // The caret, as a character position; setting it clears the selection.
  virtual int CaretPosition() const = 0;
  virtual void SetCaretPosition(int value) = 0;
  virtual int SelectionLength() const = 0;
  // Selects `length` characters from `start` (clamped to the text).
  virtual void Select(int start, int length) = 0;
  // Gives the selected characters the colour, boldness, font name and size.
  virtual void SetSelectionAttributes(const TFont& value) = 0;
  // Scrolls so that the caret is visible.
  virtual void ScrollToCaret() = 0;
};

// The insertion attributes and the font switching flag, kept alike by every
// log control: a base of the log controls over their control kind
// (MemoryControl<TLogView>, QtControl<TLogView>).
template <typename Control>
class LogInsertionState : public Control {
 public:
  using Control::Control;

  TFont InsertionAttributes() const override { return insertion_; }
  void SetInsertionColor(TColor value) override { insertion_.Color = value; }
  void SetInsertionBold(bool value) override { insertion_.Bold = value; }
  bool AutoFontSwitching() const override { return autoFont_; }
  void SetAutoFontSwitching(bool value) override { autoFont_ = value; }

 protected:
  TFont insertion_;
  bool autoFont_ = true;
};

// The attributes a log character carries: name, size, boldness and colour.
inline TFont LogCharAttributes(TFont font) {
  font.Italic = false;
  font.Underline = false;
  return font;
}

// The lines of a text as the log splits it: at each CR LF, CR or LF.
std::vector<AnsiString> SplitLogLines(const AnsiString& text);

}  // namespace app
