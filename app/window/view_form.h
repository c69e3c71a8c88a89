#pragma once
// A top-level window and the file-open dialog.
//
// Threads: main thread only, as the window logic that drives it.

#include <functional>
#include <string>

#include "app/window/view_controls.h"

namespace app {

// A window. Left, Top, Width and Height are the outer frame; the client
// area is the frame less the border (TFormBorder).
class TForm {
 public:
  virtual ~TForm() = default;

  virtual std::string Name() const = 0;
  virtual AnsiString Caption() const = 0;
  virtual void SetCaption(const AnsiString& value) = 0;
  virtual TFont Font() const = 0;
  virtual void SetFont(const TFont& value) = 0;

  virtual int Left() const = 0;
  virtual int Top() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetLeft(int value) = 0;
  virtual void SetTop(int value) = 0;
  virtual void SetWidth(int value) = 0;
  virtual void SetHeight(int value) = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  virtual void SetClientSize(int width, int height) = 0;
  // Smallest outer size the user can give the window.
  virtual void SetMinimumSize(int width, int height) = 0;
  // Lets the window system choose the position; the size stays.
  virtual void UseDefaultPosition() = 0;

  // Size of the screen the window is on.
  virtual int ScreenWidth() const = 0;
  virtual int ScreenHeight() const = 0;

  virtual bool Visible() const = 0;
  // Shows the window (raising OnShow when it was hidden) or hides it.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  // Asks the window to close, as the user's close button does: OnCloseQuery,
  // then, when allowed, OnClose and hiding.
  virtual void Close() = 0;
  // The window system's window exists.
  virtual bool HandleAllocated() const = 0;
  // Changes only the stacking order: always-on-top or among the ordinary
  // windows, activating the window or not.
  virtual void SetZOrder(bool topmost, bool activate) = 0;
  virtual bool Topmost() const = 0;

  std::function<void()> OnShow;
  std::function<void(bool& canClose)> OnCloseQuery;
  std::function<void()> OnClose;
  // Raised by the window's owner when the window logic is torn down.
  std::function<void()> OnDestroy;
};

// Extra outer size of a window over its client area, the same on every
// platform so that stored window sizes mean the same everywhere.
struct TFormBorder {
  static constexpr int Width = 8;
  static constexpr int Height = 34;
};

// The file-open dialog: its settings are plain values; only showing it
// differs between views.
class TOpenDialog {
 public:
  virtual ~TOpenDialog() = default;
  virtual std::string Name() const = 0;
  // Shows the modal dialog; false when the user cancels. On success
  // FileName() and FilterIndex() hold the user's choice.
  virtual bool Execute() = 0;

  // Filter as "description|pattern|description|pattern...".
  const AnsiString& Filter() const { return filter_; }
  void SetFilter(const AnsiString& value) { filter_ = value; }
  // 1-based index of the selected filter entry.
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int value) { filterIndex_ = value; }
  const AnsiString& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const AnsiString& value) { defaultExt_ = value; }
  // The chosen file as a path of this system (UTF-8, as the file system has it).
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& value) { fileName_ = value; }
  // The folder shown first while no file has been chosen (a path of this system).
  const std::string& InitialDir() const { return initialDir_; }
  void SetInitialDir(const std::string& value) { initialDir_ = value; }

 private:
  AnsiString filter_;
  int filterIndex_ = 1;
  AnsiString defaultExt_;
  std::string fileName_;
  std::string initialDir_;
};

}  // namespace app
