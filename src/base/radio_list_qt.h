#pragma once
// A titled group of radio items with one item index (-1: none), filled column by column, as the
// windows' option lists are. Items sit at fixed places so that other controls can line up.
#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace tolvex {

class RadioList : public QGroupBox {
  Q_OBJECT

 public:
  struct Placement {
    int columns = 1;
    int left = 8;         // first column's x inside the group
    int top = 18;         // first row's y inside the group
    int row_height = 20;
    int column_width = 0; // 0: the group's inner width divided by the columns
  };

  RadioList(const QString& title, QWidget* parent = nullptr);

  void set_items(const QStringList& items, Placement placement);
  void set_items(const QStringList& items, int columns = 1);
  int count() const { return static_cast<int>(buttons_.size()); }
  QRadioButton* button(int index) const { return buttons_.value(index); }

  int item_index() const;
  // Chooses an item (or none with -1) without the clicked signal.
  void set_item_index(int index);

 signals:
  void clicked(int index);  // the pilot chose an item
  void changed(int index);  // the chosen item changed, by the pilot or in code

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void place();

  QButtonGroup* group_;
  QList<QRadioButton*> buttons_;
  Placement placement_;
};

}  // namespace tolvex
