#pragma once
// The Qt view of the phone list window: a list filling the window, with a
// pop-up menu of one entry.
//
// Threads: main (GUI) thread only, as every Qt widget.

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <memory>

#include "app/window/frm_tel_list_view.h"
#include "app/qt/qt_controls.h"
#include "app/qt/qt_form.h"

namespace app::qt {

class QtListBox final : public QtControl<TListBox> {
 public:
  explicit QtListBox(QListWidget* list);
  int Count() const override { return list_->count(); }
  AnsiString Item(int index) const override { return FromQt(list_->item(index)->text()); }
  void SetItem(int index, const AnsiString& value) override { list_->item(index)->setText(ToQt(value)); }
  void Add(const AnsiString& value) override { list_->addItem(ToQt(value)); }
  void Delete(int index) override { delete list_->takeItem(index); }
  void Clear() override { list_->clear(); }
  int ItemIndex() const override { return list_->currentRow(); }
  void SetItemIndex(int value) override { list_->setCurrentRow(value); }
  int TabWidth() const override { return tabWidth_; }
  void SetTabWidth(int value) override;

 private:
  QListWidget* list_;
  int tabWidth_ = 0;
  int tabPixels_ = 40;  // the tab stop distance on the screen
};

class QtMenuItem final : public TMenuItem {
 public:
  explicit QtMenuItem(QAction* action);
  std::string Name() const override { return action_->objectName().toStdString(); }
  AnsiString Caption() const override { return FromQt(action_->text()); }
  void SetCaption(const AnsiString& value) override { action_->setText(ToQt(value)); }
  bool Enabled() const override { return action_->isEnabled(); }
  void SetEnabled(bool value) override { action_->setEnabled(value); }

 private:
  QAction* action_;
};

// A tool window of its owner (the main window): it stays above it, leaves
// the taskbar to it and is destroyed before it.
class TelListWindow {
 public:
  explicit TelListWindow(QWidget* owner);
  ~TelListWindow();
  TelListWindow(const TelListWindow&) = delete;
  TelListWindow& operator=(const TelListWindow&) = delete;

  TfrmTelListView View() { return {form_.get(), listBox_.get(), usun1_.get()}; }
  QWidget* Widget() const { return window_.get(); }

 private:
  std::unique_ptr<QWidget> window_;
  QMenu* menu_ = nullptr;
  std::unique_ptr<QtForm> form_;
  std::unique_ptr<QtListBox> listBox_;
  std::unique_ptr<QtMenuItem> usun1_;
};

}  // namespace app::qt
