#pragma once
// The memory view: elements that only hold their state, for the tests of the
// window logic. User actions are methods of their own (Click, Type, Focus, ...)
// that behave as the user's action would: a disabled or hidden element ignores them.
//
// Threads: main thread only, as the window logic that drives it.

#include <string>
#include <utility>
#include <vector>

#include "app/window/view_controls.h"
#include "app/window/view_list_box.h"
#include "app/window/view_status_bar.h"

namespace app {

// The TControl part, shared by every memory element.
template <class Kind>
class MemoryControl : public Kind {
 public:
  explicit MemoryControl(std::string name) : name_(std::move(name)) {}

  std::string Name() const override { return name_; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool value) override { enabled_ = value; }
  bool Visible() const override { return visible_; }
  void SetVisible(bool value) override { visible_ = value; }
  TColor Color() const override { return color_; }
  void SetColor(TColor value) override { color_ = value; }
  TFont Font() const override { return font_; }
  void SetFont(const TFont& value) override { font_ = value; }
  void SetFocus() override { focused_ = true; }
  bool Focused() const override { return focused_; }
  TRect BoundsRect() const override { return bounds_; }
  void SetBoundsRect(const TRect& value) override { bounds_ = value; }

  // The user can reach the element.
  bool Usable() const { return enabled_ && visible_; }
  void LoseFocus() { focused_ = false; }

 private:
  std::string name_;
  bool enabled_ = true;
  bool visible_ = true;
  TColor color_ = clWhite;
  TFont font_;
  bool focused_ = false;
  TRect bounds_;
};

class MemoryLabel final : public MemoryControl<TLabel> {
 public:
  using MemoryControl::MemoryControl;
  AnsiString Caption() const override { return caption_; }
  void SetCaption(const AnsiString& value) override { caption_ = value; }
  // The user clicks the label.
  void Click();

 private:
  AnsiString caption_;
};

class MemoryButton final : public MemoryControl<TButton> {
 public:
  using MemoryControl::MemoryControl;
  AnsiString Caption() const override { return caption_; }
  void SetCaption(const AnsiString& value) override { caption_ = value; }
  // The user clicks the button; false when it could not be clicked.
  bool Click();

 private:
  AnsiString caption_;
};

class MemoryCheckBox final : public MemoryControl<TCheckBox> {
 public:
  using MemoryControl::MemoryControl;
  AnsiString Caption() const override { return caption_; }
  void SetCaption(const AnsiString& value) override { caption_ = value; }
  bool Checked() const override { return checked_; }
  void SetChecked(bool value) override;
  // The user clicks the box: it toggles and runs OnClick.
  void Click();

 private:
  AnsiString caption_;
  bool checked_ = false;
};

class MemoryEditor final : public MemoryControl<TEditor> {
 public:
  using MemoryControl::MemoryControl;
  AnsiString Text() const override { return text_; }
  void SetText(const AnsiString& value) override;
  int MaxLength() const override { return maxLength_; }
  void SetMaxLength(int value) override { maxLength_ = value; }
  int SelStart() const override { return selStart_; }
  void SetSelStart(int value) override;
  int SelLength() const override { return selLength_; }
  void SelectAll() override;
  bool ReadOnly() const override { return readOnly_; }
  void SetReadOnly(bool value) override { readOnly_ = value; }
  void BeginUpdate() override { ++updating_; }
  void EndUpdate() override { --updating_; }
  bool Updating() const { return updating_ > 0; }

  // The user types `text` at the caret (replacing the selection), within MaxLength.
  void Type(const AnsiString& text);
  // The user moves the keyboard focus to the editor.
  void Focus();

 private:
  AnsiString text_;
  int maxLength_ = 0;
  int selStart_ = 0;
  int selLength_ = 0;
  bool readOnly_ = false;
  int updating_ = 0;
};

class MemoryComboBox final : public MemoryControl<TComboBox> {
 public:
  using MemoryControl::MemoryControl;
  AnsiString Text() const override { return text_; }
  void SetText(const AnsiString& value) override { text_ = value; }
  std::vector<AnsiString> Items() const override { return items_; }
  void SetItems(const std::vector<AnsiString>& value) override { items_ = value; }
  // The user moves the keyboard focus to the box.
  void Focus();
  // The user replaces the text (typing or choosing from the list).
  void Type(const AnsiString& text);

 private:
  AnsiString text_;
  std::vector<AnsiString> items_;
};

class MemoryGauge final : public MemoryControl<TGauge> {
 public:
  using MemoryControl::MemoryControl;
  int MinValue() const override { return min_; }
  int MaxValue() const override { return max_; }
  void SetRange(int minValue, int maxValue) override;
  int Progress() const override { return progress_; }
  void SetProgress(int value) override { progress_ = value; }
  TColor ForeColor() const override { return foreColor_; }
  void SetForeColor(TColor value) override { foreColor_ = value; }

 private:
  int min_ = 0;
  int max_ = 100;
  int progress_ = 0;
  TColor foreColor_ = clBlack;
};

class MemoryPageControl final : public MemoryControl<TPageControl> {
 public:
  MemoryPageControl(std::string name, int pageCount) : MemoryControl(std::move(name)), pageCount_(pageCount) {}
  int PageCount() const override { return pageCount_; }
  int ActivePageIndex() const override { return active_; }
  void SetActivePageIndex(int value) override;

 private:
  int pageCount_;
  int active_ = 0;
};

// A canvas that records what is drawn; text is 5 pixels per character.
class MemoryCanvas final : public TCanvas {
 public:
  struct Text {
    int x;
    int y;
    AnsiString text;
    TFont font;
  };
  struct Fill {
    TRect rect;
    TColor color;
    bool frame;  // an outline rather than a filled rectangle
  };

  void FillRect(const TRect& rect, TColor color) override { fills.push_back({rect, color, false}); }
  void FrameRect(const TRect& rect, TColor color) override { fills.push_back({rect, color, true}); }
  void SetFont(const TFont& font) override { font_ = font; }
  int TextWidth(const AnsiString& text) override { return 5 * static_cast<int>(text.size()); }
  void TextOut(int x, int y, const AnsiString& text) override { texts.push_back({x, y, text, font_}); }

  std::vector<Fill> fills;
  std::vector<Text> texts;

 private:
  TFont font_;
};

class MemoryStatusBar final : public MemoryControl<TStatusBar> {
 public:
  struct Panel {
    int width = 50;
    AnsiString text;
    TPanelStyle style = TPanelStyle::Text;
  };

  MemoryStatusBar(std::string name, std::vector<Panel> panels, int height = 19)
      : MemoryControl(std::move(name)), panels_(std::move(panels)), height_(height) {}

  int PanelCount() const override { return static_cast<int>(panels_.size()); }
  AnsiString PanelText(int index) const override { return panels_.at(index).text; }
  void SetPanelText(int index, const AnsiString& value) override { panels_.at(index).text = value; }
  TPanelStyle PanelStyle(int index) const override { return panels_.at(index).style; }
  void SetPanelStyle(int index, TPanelStyle value) override { panels_.at(index).style = value; }
  int PanelWidth(int index) const override { return panels_.at(index).width; }
  // Paints every owner-drawn panel onto a fresh canvas, kept as LastPaint().
  void Repaint() override;
  void HostControl(TControl& control) override { hosted_.push_back(&control); }

  // The panel's rectangle: panels side by side from x = 0, the last one
  // taking at least its width.
  TRect PanelRect(int index) const;
  const MemoryCanvas& LastPaint() const { return lastPaint_; }
  int RepaintCount() const { return repaints_; }
  bool Hosts(const TControl& control) const;

 private:
  std::vector<Panel> panels_;
  int height_;
  MemoryCanvas lastPaint_;
  int repaints_ = 0;
  std::vector<TControl*> hosted_;
};

class MemoryMenuItem final : public TMenuItem {
 public:
  explicit MemoryMenuItem(std::string name) : name_(std::move(name)) {}
  std::string Name() const override { return name_; }
  AnsiString Caption() const override { return caption_; }
  void SetCaption(const AnsiString& value) override { caption_ = value; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool value) override { enabled_ = value; }
  // The user chooses the entry; false when it is disabled.
  bool Click();

 private:
  std::string name_;
  AnsiString caption_;
  bool enabled_ = true;
};

class MemoryListBox final : public MemoryControl<TListBox> {
 public:
  using MemoryControl::MemoryControl;
  int Count() const override { return static_cast<int>(items_.size()); }
  AnsiString Item(int index) const override { return items_.at(index); }
  void SetItem(int index, const AnsiString& value) override { items_.at(index) = value; }
  void Add(const AnsiString& value) override { items_.push_back(value); }
  void Delete(int index) override;
  void Clear() override;
  int ItemIndex() const override { return itemIndex_; }
  void SetItemIndex(int value) override;
  int TabWidth() const override { return tabWidth_; }
  void SetTabWidth(int value) override { tabWidth_ = value; }

  // The user opens the pop-up menu (over the list).
  void OpenPopup();

 private:
  std::vector<AnsiString> items_;
  int itemIndex_ = -1;
  int tabWidth_ = 0;
};

}  // namespace app
