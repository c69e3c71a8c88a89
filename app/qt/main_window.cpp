#include "app/qt/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

#include "app/window/frm_main_design.h"
#include "app/qt/qt_look.h"
#include "talvane_version.h"

namespace app::qt {

namespace {

// The white header: the program's name in green over a large pale copy of
// it, the icon at the left and a small picture at the right.
class HeaderWidget final : public QWidget {
 public:
  HeaderWidget() {
    setObjectName("Header");
    setFixedHeight(design::kHeaderHeight);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    AppIcon().paint(&painter, QRect(12, 10, 60, 60));

    QFont shadow("Times New Roman", 48);
    painter.setFont(shadow);
    painter.setPen(ToQColor(design::kHeaderShadowColor));
    painter.drawText(QRect(84, 0, 600, height()), Qt::AlignVCenter | Qt::AlignLeft, "Talvane");
    QFont name("Times New Roman", 24);
    painter.setFont(name);
    painter.setPen(ToQColor(design::kHeaderNameColor));
    painter.drawText(QRect(100, 0, 600, height()), Qt::AlignVCenter | Qt::AlignLeft, "Talvane");

    // At the right: signal bars of a modem.
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(design::kHeaderNameColor));
    const int right = width() - 24;
    for (int i = 0; i < 5; ++i) {
      const int h = 10 + 9 * i;
      painter.drawRect(QRect(right - (5 - i) * 12, 66 - h, 8, h));
    }
  }
};

// Tabs of the designed size.
class FixedTabBar final : public QTabBar {
 protected:
  QSize tabSizeHint(int) const override { return {design::kTabWidth, design::kTabHeight}; }
};

class PageControl final : public QTabWidget {
 public:
  PageControl() {
    setTabBar(new FixedTabBar);
    setIconSize(QSize(20, 20));
  }
};

// A page of the tabs: where the window is smaller than the page needs (a
// small screen) the page scrolls, otherwise its content fills it.
QScrollArea* ScrollingPage(const char* name, QWidget* content) {
  auto* page = new QScrollArea;
  page->setObjectName(name);
  page->setFrameShape(QFrame::NoFrame);
  page->setWidgetResizable(true);
  page->setWidget(content);
  // The tab's own background shows through, as on a page without scrolling.
  page->viewport()->setAutoFillBackground(false);
  content->setAutoFillBackground(false);
  return page;
}

// A panel of the splitter that is never smaller than its designed minimum
// nor than its controls need: dragging the splitter cannot push one control
// onto another or out of sight.
class SplitterPanel final : public QWidget {
 public:
  SplitterPanel(const char* name, int designedMinimumHeight) : designedMinimumHeight_(designedMinimumHeight) {
    setObjectName(name);
  }
  QSize minimumSizeHint() const override {
    QSize size = QWidget::minimumSizeHint();
    size.setHeight(std::max(size.height(), designedMinimumHeight_));
    return size;
  }

 private:
  int designedMinimumHeight_;
};

QGroupBox* NewGroupBox(const char* name) {
  auto* box = new QGroupBox;
  box->setObjectName(name);
  return box;
}

QIcon StandardIcon(QStyle::StandardPixmap pixmap) { return QApplication::style()->standardIcon(pixmap); }

}  // namespace

MainWindow::MainWindow() : window_(std::make_unique<QWidget>()) {
  window_->setObjectName("frmMain");
  window_->setWindowIcon(AppIcon());
  form_ = std::make_unique<QtForm>(window_.get());
  view_.frmMain = form_.get();

  auto* layout = new QVBoxLayout(window_.get());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(BuildHeader());
  auto* body = new QVBoxLayout;
  body->setContentsMargins(4, 4, 4, 2);
  body->addWidget(BuildPages(), 1);
  body->addWidget(BuildModemState());
  layout->addLayout(body, 1);

  std::vector<int> widths(std::begin(design::kStatusPanelWidths), std::end(design::kStatusPanelWidths));
  auto* statusBar = new StatusBarWidget(widths);
  statusBar->setObjectName("StatusBar1");
  layout->addWidget(statusBar);
  view_.StatusBar1 = Keep<QtStatusBar>(statusBar);
  QWidget* progress = nullptr;
  view_.Gauge1 = Gauge("Gauge1", &progress);
  progress->setParent(statusBar);  // drawn over status panel 1
  progress->hide();

  openDialog_ = std::make_unique<QtOpenDialog>("OpenDialog1", window_.get());
  view_.OpenDialog1 = openDialog_.get();
}

MainWindow::~MainWindow() {
  // The widgets go first, taking their connections with them; the elements
  // that bound them follow.
  form_.reset();
  window_.reset();
}

TLabel* MainWindow::Label(const char* name, QWidget** widget) {
  auto* label = new ClickableLabel;
  label->setObjectName(name);
  if (widget) *widget = label;
  return Keep<QtLabel>(label);
}

TLabel* MainWindow::GroupBox(const char* name, QGroupBox** box) {
  *box = NewGroupBox(name);
  return Keep<QtGroupBox>(*box);
}

TButton* MainWindow::Button(const char* name, QPushButton** button) {
  auto* widget = new QPushButton;
  widget->setObjectName(name);
  if (button) *button = widget;
  return Keep<QtButton>(widget);
}

TCheckBox* MainWindow::CheckBox(const char* name, QAbstractButton** box, bool radio) {
  QAbstractButton* widget = radio ? static_cast<QAbstractButton*>(new QRadioButton) : new QCheckBox;
  widget->setObjectName(name);
  if (box) *box = widget;
  return Keep<QtCheckBox>(widget);
}

TGauge* MainWindow::Gauge(const char* name, QWidget** widget) {
  auto* gauge = new GaugeWidget;
  gauge->setObjectName(name);
  if (widget) *widget = gauge;
  return Keep<QtGauge>(gauge);
}

QWidget* MainWindow::BuildHeader() { return new HeaderWidget; }

QWidget* MainWindow::BuildPages() {
  auto* tabs = new PageControl;
  tabs->setObjectName("PageControl1");
  view_.PageControl1 = Keep<QtPageControl>(tabs);

  QWidget* sending = ScrollingPage("TabSheet1", BuildSendingPage());
  tabs->addTab(sending, StandardIcon(QStyle::SP_FileDialogDetailedView), QString());
  QWidget* settings = ScrollingPage("TabSheet2", BuildSettingsPage());
  tabs->addTab(settings, StandardIcon(QStyle::SP_ComputerIcon), QString());
  view_.TabSheet1 = Keep<QtTabSheet>(tabs, sending);
  view_.TabSheet2 = Keep<QtTabSheet>(tabs, settings);
  return tabs;
}

QWidget* MainWindow::BuildSendingPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  splitter_ = new QSplitter(Qt::Vertical);
  splitter_->setObjectName("Splitter1");
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(BuildUpperPanel());
  splitter_->addWidget(BuildLowerPanel());
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({250, 290});
  layout->addWidget(splitter_);
  return page;
}

QWidget* MainWindow::BuildUpperPanel() {
  auto* panel = new SplitterPanel("Panel1", design::kUpperPanelMinHeight);
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);

  auto* left = new QVBoxLayout;
  QGroupBox* importBox = nullptr;
  view_.GroupBox1 = GroupBox("GroupBox1", &importBox);
  auto* importLayout = new QVBoxLayout(importBox);
  QPushButton* open = nullptr;
  view_.BitBtn1 = Button("BitBtn1", &open);
  open->setIcon(StandardIcon(QStyle::SP_DialogOpenButton));
  open->setMinimumHeight(32);
  QAbstractButton* duplicates = nullptr;
  QAbstractButton* radio1 = nullptr;
  QAbstractButton* radio2 = nullptr;
  view_.CheckBox3 = CheckBox("CheckBox3", &duplicates);
  view_.RadioButton1 = CheckBox("RadioButton1", &radio1, true);
  view_.RadioButton2 = CheckBox("RadioButton2", &radio2, true);
  for (QWidget* w : std::initializer_list<QWidget*>{open, duplicates, radio1, radio2}) importLayout->addWidget(w);
  importLayout->addStretch();
  left->addWidget(importBox);

  QGroupBox* manualBox = nullptr;
  view_.GroupBox7 = GroupBox("GroupBox7", &manualBox);
  auto* manual = new QGridLayout(manualBox);
  QWidget* numberLabel = nullptr;
  view_.Label33 = Label("Label33", &numberLabel);
  auto* edit = new QLineEdit;
  edit->setObjectName("Edit1");
  view_.Edit1 = Keep<QtLineEdit>(edit);
  QPushButton* add = nullptr;
  view_.BitBtn6 = Button("BitBtn6", &add);
  add->setIcon(StandardIcon(QStyle::SP_DialogApplyButton));
  add->setDefault(true);
  // The window's default button: Enter in the number field presses it.
  QObject::connect(edit, &QLineEdit::returnPressed, add, [add] {
    if (add->isEnabled()) add->click();
  });
  manual->addWidget(numberLabel, 0, 0);
  manual->addWidget(edit, 1, 0);
  manual->addWidget(add, 1, 1);
  left->addWidget(manualBox);
  left->addStretch();
  row->addLayout(left);

  QGroupBox* textBox = nullptr;
  view_.GroupBox2 = GroupBox("GroupBox2", &textBox);
  textBox->setMinimumHeight(design::kGroupBox2MinHeight);
  auto* text = new QVBoxLayout(textBox);
  auto* memo = new QPlainTextEdit;
  memo->setObjectName("Memo1");
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  view_.Memo1 = Keep<QtMemo>(memo);
  text->addWidget(memo, 1);
  auto* counters = new QHBoxLayout;
  QWidget* parts = nullptr;
  QWidget* characters = nullptr;
  view_.Label6 = Label("Label6", &parts);
  view_.Label7 = Label("Label7", &characters);
  QAbstractButton* polish = nullptr;
  QAbstractButton* flash = nullptr;
  view_.CheckBox4 = CheckBox("CheckBox4", &polish);
  view_.CheckBox5 = CheckBox("CheckBox5", &flash);
  counters->addWidget(parts);
  counters->addSpacing(16);
  counters->addWidget(characters);
  counters->addStretch();
  auto* options = new QVBoxLayout;
  options->addWidget(polish);
  options->addWidget(flash);
  counters->addLayout(options);
  text->addLayout(counters);
  auto* buffer = new QPlainTextEdit;
  buffer->setObjectName("Memo2");
  view_.Memo2 = Keep<QtMemo>(buffer);
  text->addWidget(buffer);
  row->addWidget(textBox, 1);
  return panel;
}

QWidget* MainWindow::BuildLowerPanel() {
  auto* panel = new SplitterPanel("Panel2", design::kLowerPanelMinHeight);
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);

  auto* logColumn = new QVBoxLayout;
  QWidget* logLabel = nullptr;
  view_.Label4 = Label("Label4", &logLabel);
  logColumn->addWidget(logLabel);
  auto* log = new QPlainTextEdit;
  log->setObjectName("LogMemo");
  log->setLineWrapMode(QPlainTextEdit::NoWrap);
  log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  log_ = Keep<QtLog>(log);
  view_.LogMemo = log_;
  logColumn->addWidget(log, 1);
  row->addLayout(logColumn, 1);

  auto* side = new QVBoxLayout;
  QWidget* heading = nullptr;
  view_.Label5 = Label("Label5", &heading);
  side->addWidget(heading);
  auto* grid = new QGridLayout;
  const std::pair<TLabel**, TLabel**> rows[] = {
      {&view_.lbWszystkie0, &view_.lbWszystkie},   {&view_.lbPrawidlowe0, &view_.lbPrawidlowe},
      {&view_.lbDuplikaty0, &view_.lbDuplikaty},   {&view_.lbKorekty0, &view_.lbKorekty},
      {&view_.lbBledy0, &view_.lbBledy},
  };
  const char* names[][2] = {{"lbWszystkie0", "lbWszystkie"}, {"lbPrawidlowe0", "lbPrawidlowe"},
                            {"lbDuplikaty0", "lbDuplikaty"}, {"lbKorekty0", "lbKorekty"},
                            {"lbBledy0", "lbBledy"}};
  for (int i = 0; i < 5; ++i) {
    QWidget* caption = nullptr;
    QWidget* value = nullptr;
    *rows[i].first = Label(names[i][0], &caption);
    *rows[i].second = Label(names[i][1], &value);
    grid->addWidget(caption, i, 0);
    grid->addWidget(value, i, 1, Qt::AlignRight);
  }
  side->addLayout(grid);
  side->addStretch();
  QPushButton* send = nullptr;
  QPushButton* stop = nullptr;
  view_.BitBtn3 = Button("BitBtn3", &send);
  view_.BitBtn4 = Button("BitBtn4", &stop);
  send->setIcon(StandardIcon(QStyle::SP_MediaPlay));
  send->setMinimumHeight(40);
  stop->setIcon(StandardIcon(QStyle::SP_MediaStop));
  stop->setMinimumHeight(28);
  side->addWidget(send);
  side->addWidget(stop);
  auto* sideWidget = new QWidget;
  sideWidget->setLayout(side);
  sideWidget->setFixedWidth(170);
  row->addWidget(sideWidget);
  return panel;
}

QWidget* MainWindow::BuildSettingsPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);

  QGroupBox* wizard = nullptr;
  view_.GroupBox4 = GroupBox("GroupBox4", &wizard);
  auto* wizardLayout = new QVBoxLayout(wizard);
  QPushButton* search = nullptr;
  view_.BitBtn5 = Button("BitBtn5", &search);
  search->setIcon(StandardIcon(QStyle::SP_FileDialogContentsView));
  auto* progress = new QProgressBar;
  progress->setObjectName("ProgressBar1");
  view_.ProgressBar1 = Keep<QtProgressBar>(progress);
  wizardLayout->addWidget(search);
  wizardLayout->addWidget(progress);

  QGroupBox* portBox = nullptr;
  view_.GroupBox3 = GroupBox("GroupBox3", &portBox);
  auto* portLayout = new QHBoxLayout(portBox);
  auto* combo = new QComboBox;
  combo->setObjectName("ComboBox1");
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMinimumWidth(200);
  view_.ComboBox1 = Keep<QtComboBox>(combo);
  QPushButton* savePort = nullptr;
  view_.btnZapisz = Button("btnZapisz", &savePort);
  savePort->setIcon(StandardIcon(QStyle::SP_DialogSaveButton));
  portLayout->addWidget(combo, 1);
  portLayout->addWidget(savePort);

  QGroupBox* advanced = nullptr;
  view_.GroupBox6 = GroupBox("GroupBox6", &advanced);
  auto* advancedLayout = new QVBoxLayout(advanced);
  QAbstractButton* signal = nullptr;
  QAbstractButton* power = nullptr;
  view_.CheckBox1 = CheckBox("CheckBox1", &signal);
  view_.CheckBox2 = CheckBox("CheckBox2", &power);
  QPushButton* saveChecks = nullptr;
  view_.BitBtn2 = Button("BitBtn2", &saveChecks);
  saveChecks->setIcon(StandardIcon(QStyle::SP_DialogSaveButton));
  advancedLayout->addWidget(signal);
  advancedLayout->addWidget(power);
  advancedLayout->addWidget(saveChecks, 0, Qt::AlignLeft);

  // The caption's "ver.1.02" is the window's own; the release the operator
  // reports with a fault is the program's version.
  auto* about = new QLabel(QString::fromUtf8(
      "<b>Talvane ver.1.02</b> (" TALVANE_VERSION_TEXT ")<br><br>Wysyłka jednej wiadomości SMS do listy numerów telefonów przez modem "
      "GSM podłączony do portu szeregowego.<br><br>Numery: plik XLS (kolumna A) lub wpisywane ręcznie.<br>"
      "Wyniki: plik XLS z dopiskiem _out obok pliku źródłowego."));
  about->setObjectName("Panel3");
  about->setWordWrap(true);
  about->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  about->setFrameShape(QFrame::StyledPanel);
  about->setMargin(10);

  grid->addWidget(wizard, 0, 0);
  grid->addWidget(portBox, 1, 0);
  grid->addWidget(advanced, 2, 0);
  grid->addWidget(about, 0, 1, 3, 1);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

QWidget* MainWindow::BuildModemState() {
  QGroupBox* box = nullptr;
  view_.GroupBox5 = GroupBox("GroupBox5", &box);
  auto* row = new QHBoxLayout(box);
  QWidget* link = nullptr;
  view_.Label10 = Label("Label10", &link);
  link->setCursor(Qt::PointingHandCursor);
  QWidget* powerLabel = nullptr;
  QWidget* signalLabel = nullptr;
  QWidget* power = nullptr;
  QWidget* signal = nullptr;
  view_.Label8 = Label("Label8", &powerLabel);
  view_.Gauge2 = Gauge("Gauge2", &power);
  view_.Label9 = Label("Label9", &signalLabel);
  view_.Gauge3 = Gauge("Gauge3", &signal);
  power->setFixedSize(150, 14);
  signal->setFixedSize(150, 14);
  row->addWidget(link);
  row->addStretch();
  row->addWidget(powerLabel);
  row->addWidget(power);
  row->addSpacing(24);
  row->addWidget(signalLabel);
  row->addWidget(signal);
  return box;
}

}  // namespace app::qt
