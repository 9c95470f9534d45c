#include "base/radio_list_qt.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace tolvex {

RadioList::RadioList(const QString& title, QWidget* parent) : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
  group_->setExclusive(true);
  connect(group_, &QButtonGroup::idClicked, this, [this](int id) { emit clicked(id); });
  connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
    if (on) emit changed(id);
  });
}

void RadioList::set_items(const QStringList& items, Placement placement) {
  set_item_index(-1);
  for (QRadioButton* b : buttons_) {
    group_->removeButton(b);
    delete b;
  }
  buttons_.clear();
  placement_ = placement;
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    b->setObjectName(objectName() + QLatin1Char('_') + QString::number(i));
    group_->addButton(b, i);
    buttons_.append(b);
    b->show();
  }
  place();
}

void RadioList::set_items(const QStringList& items, int columns) {
  Placement placement;
  placement.columns = columns;
  set_items(items, placement);
}

void RadioList::place() {
  const int n = static_cast<int>(buttons_.size());
  if (n == 0) return;
  const int columns = qMax(1, placement_.columns);
  const int per_column = (n + columns - 1) / columns;
  const int inner = width() - 2 * placement_.left;
  const int column_width = placement_.column_width > 0 ? placement_.column_width : qMax(20, inner / columns);
  for (int i = 0; i < n; ++i) {
    const int column = i / per_column;
    const int row = i % per_column;
    buttons_[i]->setGeometry(placement_.left + column * column_width, placement_.top + row * placement_.row_height,
                             column_width - 2, placement_.row_height);
  }
}

void RadioList::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  place();
}

int RadioList::item_index() const { return group_->checkedId(); }

void RadioList::set_item_index(int index) {
  if (index >= 0 && index < buttons_.size()) {
    buttons_[index]->setChecked(true);
    return;
  }
  // An exclusive group keeps one button checked: let go of it to choose none.
  if (QAbstractButton* checked = group_->checkedButton()) {
    group_->setExclusive(false);
    checked->setChecked(false);
    group_->setExclusive(true);
  }
}

}  // namespace tolvex
