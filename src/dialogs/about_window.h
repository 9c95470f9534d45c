#pragma once
// The about window: product name, the program's version, the virtual airline.
#include <QDialog>
#include <QString>

#include <optional>
#include <utility>

class QLabel;

namespace tolvex {

class AboutWindow : public QDialog {
  Q_OBJECT

 public:
  // version: major and minor of the program file, if it has one; pictures_folder holds iconos/.
  AboutWindow(std::optional<std::pair<int, int>> version, const QString& pictures_folder, QWidget* parent = nullptr);

  QLabel *Image2 = nullptr, *Image1 = nullptr;
  QLabel *StaticText1 = nullptr, *StaticText6 = nullptr, *StaticText5 = nullptr;

  void FormActivate();

 protected:
  bool event(QEvent* e) override;

 private:
  std::optional<std::pair<int, int>> version_;
};

}  // namespace tolvex
