#pragma once
// The Qt view of the main window: the widgets, laid out as designed, each
// with its element's name as objectName, and the elements that bind them.
//
// Threads: main (GUI) thread only, as every Qt widget.

#include <QWidget>
#include <memory>
#include <vector>

#include "app/window/frm_main_view.h"
#include "app/qt/qt_controls.h"
#include "app/qt/qt_form.h"
#include "app/qt/qt_log.h"
#include "app/qt/qt_status_bar.h"

class QSplitter;

namespace app::qt {

class MainWindow {
 public:
  MainWindow();
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  TfrmMainView View() const { return view_; }
  QWidget* Widget() const { return window_.get(); }
  QtForm& Form() { return *form_; }
  QtLog& Log() { return *log_; }
  QSplitter* Splitter() const { return splitter_; }

 private:
  template <class Element, class... Args>
  Element* Keep(Args&&... args) {
    auto element = std::make_unique<Element>(std::forward<Args>(args)...);
    Element* raw = element.get();
    elements_.push_back(std::move(element));
    return raw;
  }

  QWidget* BuildHeader();
  QWidget* BuildPages();
  QWidget* BuildSendingPage();
  QWidget* BuildUpperPanel();
  QWidget* BuildLowerPanel();
  QWidget* BuildSettingsPage();
  QWidget* BuildModemState();

  // Named widgets bound to elements.
  TLabel* Label(const char* name, QWidget** widget = nullptr);
  TLabel* GroupBox(const char* name, QGroupBox** box);
  TButton* Button(const char* name, QPushButton** button = nullptr);
  TCheckBox* CheckBox(const char* name, QAbstractButton** box = nullptr, bool radio = false);
  TGauge* Gauge(const char* name, QWidget** widget = nullptr);

  std::unique_ptr<QWidget> window_;
  std::unique_ptr<QtForm> form_;
  std::vector<std::unique_ptr<QtElement>> elements_;
  std::unique_ptr<QtOpenDialog> openDialog_;
  QtLog* log_ = nullptr;
  QSplitter* splitter_ = nullptr;
  TfrmMainView view_;
};

}  // namespace app::qt
