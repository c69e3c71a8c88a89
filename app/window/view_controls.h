#pragma once
// The kinds of element the window logic talks to. Each view (Qt widgets, the
// memory view of the tests, the console) implements them; the logic never
// sees a toolkit. Text is the program's Windows-1250 text.
//
// Events are std::function members raised by the view when the user acts
// (an empty one is skipped). A setter that changes a value programmatically
// raises no event, except where a kind says otherwise (TCheckBox).
//
// Threads: main thread only, as the window logic that drives it.

#include <functional>
#include <string>
#include <vector>

#include "app/core/view_types.h"

namespace app {

// What every visible element has.
class TControl {
 public:
  virtual ~TControl() = default;

  virtual std::string Name() const = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool value) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool value) = 0;
  // Background colour.
  virtual TColor Color() const = 0;
  virtual void SetColor(TColor value) = 0;
  virtual TFont Font() const = 0;
  virtual void SetFont(const TFont& value) = 0;
  virtual void SetFocus() = 0;
  virtual bool Focused() const = 0;
  // Position inside the parent; used for an element placed by the logic
  // (the progress gauge inside a status bar panel).
  virtual TRect BoundsRect() const = 0;
  virtual void SetBoundsRect(const TRect& value) = 0;

  void SetFontColor(TColor value) {
    TFont f = Font();
    f.Color = value;
    SetFont(f);
  }
  void SetFontStyle(bool bold, bool italic) {
    TFont f = Font();
    f.Bold = bold;
    f.Italic = italic;
    SetFont(f);
  }
};

// A label, a group box or a tab page: a caption. A label may be clicked
// (the "test modemu" link).
class TLabel : public TControl {
 public:
  virtual AnsiString Caption() const = 0;
  virtual void SetCaption(const AnsiString& value) = 0;

  std::function<void()> OnClick;
};

class TButton : public TControl {
 public:
  virtual AnsiString Caption() const = 0;
  virtual void SetCaption(const AnsiString& value) = 0;

  std::function<void()> OnClick;
};

// A check box or a radio button. Changing the state with SetChecked runs
// OnClick, as a click of the user does.
class TCheckBox : public TControl {
 public:
  virtual AnsiString Caption() const = 0;
  virtual void SetCaption(const AnsiString& value) = 0;
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool value) = 0;

  std::function<void()> OnClick;
};

// A one-line or multi-line text editor (also a hidden text buffer). Offsets
// count characters of the program's text, a line break as CR LF.
class TEditor : public TControl {
 public:
  virtual AnsiString Text() const = 0;
  virtual void SetText(const AnsiString& value) = 0;
  // 0 means no limit.
  virtual int MaxLength() const = 0;
  virtual void SetMaxLength(int value) = 0;
  virtual int SelStart() const = 0;
  virtual void SetSelStart(int value) = 0;
  virtual int SelLength() const = 0;
  virtual void SelectAll() = 0;
  virtual bool ReadOnly() const = 0;
  virtual void SetReadOnly(bool value) = 0;
  // Repainting held back between the two calls (calls nest).
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;

  std::function<void()> OnChange;  // any change of the text, typed or set by SetText
  std::function<void()> OnEnter;   // the editor received the keyboard focus
};

// An editable drop-down list.
class TComboBox : public TControl {
 public:
  virtual AnsiString Text() const = 0;
  virtual void SetText(const AnsiString& value) = 0;
  virtual std::vector<AnsiString> Items() const = 0;
  virtual void SetItems(const std::vector<AnsiString>& value) = 0;

  std::function<void()> OnEnter;  // the box received the keyboard focus
};

// A bar gauge or progress bar. Color() is the background.
class TGauge : public TControl {
 public:
  virtual int MinValue() const = 0;
  virtual int MaxValue() const = 0;
  virtual void SetRange(int minValue, int maxValue) = 0;
  virtual int Progress() const = 0;
  virtual void SetProgress(int value) = 0;
  virtual TColor ForeColor() const = 0;
  virtual void SetForeColor(TColor value) = 0;
};

// A tab control with pages counted from 0.
class TPageControl : public TControl {
 public:
  virtual int PageCount() const = 0;
  virtual int ActivePageIndex() const = 0;
  virtual void SetActivePageIndex(int value) = 0;
};

}  // namespace app
