#pragma once
// A list box with its pop-up menu (the phone list window).
//
// Threads: main thread only, as the window logic that drives it.

#include <functional>
#include <vector>

#include "app/window/view_controls.h"

namespace app {

class TMenuItem {
 public:
  virtual ~TMenuItem() = default;
  virtual std::string Name() const = 0;
  virtual AnsiString Caption() const = 0;
  virtual void SetCaption(const AnsiString& value) = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool value) = 0;

  std::function<void()> OnClick;
};

class TListBox : public TControl {
 public:
  virtual int Count() const = 0;
  virtual AnsiString Item(int index) const = 0;
  virtual void SetItem(int index, const AnsiString& value) = 0;
  virtual void Add(const AnsiString& value) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // −1 when no row is selected.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int value) = 0;
  // Tab stop distance in dialog units (a quarter of the average character width).
  virtual int TabWidth() const = 0;
  virtual void SetTabWidth(int value) = 0;

  // The pop-up menu is about to open (the handler updates its entries).
  std::function<void()> OnPopup;
};

}  // namespace app
