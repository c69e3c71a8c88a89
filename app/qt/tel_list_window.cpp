#include "app/qt/tel_list_window.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace app::qt {

namespace {

// Draws a row's tab-separated columns at the list's tab stops.
class TabStopDelegate final : public QStyledItemDelegate {
 public:
  explicit TabStopDelegate(int* tabPixels) : tabPixels_(tabPixels) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    const QStringList columns = plain.text.split('\t');
    plain.text.clear();
    QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
    painter->save();
    painter->setPen(plain.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                             : QPalette::Text));
    int x = option.rect.left() + 2;
    for (const QString& column : columns) {
      painter->drawText(QRect(x, option.rect.top(), option.rect.right() - x, option.rect.height()),
                        Qt::AlignVCenter | Qt::AlignLeft, column);
      const int width = QFontMetrics(option.font).horizontalAdvance(column) + 1;
      const int stop = std::max(*tabPixels_, 1);
      x = option.rect.left() + 2 + ((x - option.rect.left() - 2 + width) / stop + 1) * stop;
    }
    painter->restore();
  }

 private:
  int* tabPixels_;
};

}  // namespace

QtListBox::QtListBox(QListWidget* list) : QtControl(list, QPalette::Base, QPalette::Text), list_(list) {
  list_->setItemDelegate(new TabStopDelegate(&tabPixels_));
}

void QtListBox::SetTabWidth(int value) {
  tabWidth_ = value;
  // Dialog units are a quarter of the average character width.
  tabPixels_ = value * QFontMetrics(list_->font()).averageCharWidth() / 4;
  list_->viewport()->update();
}

QtMenuItem::QtMenuItem(QAction* action) : action_(action) {
  QObject::connect(action_, &QAction::triggered, action_, [this] {
    if (OnClick) OnClick();
  });
}

TelListWindow::TelListWindow(QWidget* owner) : window_(std::make_unique<QWidget>(owner, Qt::Tool)) {
  window_->setObjectName("frmTelList");
  auto* layout = new QVBoxLayout(window_.get());
  layout->setContentsMargins(0, 0, 0, 0);
  auto* list = new QListWidget;
  list->setObjectName("ListBox1");
  list->setContextMenuPolicy(Qt::CustomContextMenu);
  // Every row is one line of the same font: a list of tens of thousands of
  // numbers is laid out without measuring each row.
  list->setUniformItemSizes(true);
  layout->addWidget(list);

  menu_ = new QMenu(window_.get());
  menu_->setObjectName("PopupMenu1");
  auto* remove = menu_->addAction(QApplication::style()->standardIcon(QStyle::SP_TrashIcon), QString());
  remove->setObjectName("Usun1");

  form_ = std::make_unique<QtForm>(window_.get());
  listBox_ = std::make_unique<QtListBox>(list);
  usun1_ = std::make_unique<QtMenuItem>(remove);
  QObject::connect(list, &QListWidget::customContextMenuRequested, list, [this, list](const QPoint& at) {
    if (listBox_->OnPopup) listBox_->OnPopup();
    menu_->exec(list->viewport()->mapToGlobal(at));
  });
}

TelListWindow::~TelListWindow() {
  form_.reset();
  window_.reset();
}

}  // namespace app::qt
