#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace movara::ui {

// The box after a movie was made and served: what the window's logic says,
// then the page's address in a read-only field (to select), a button that
// copies it and one that opens it in the browser again; OK closes it.
class TPlayedPageBox final : public QDialog {
  Q_OBJECT
 public:
  // `open` starts the browser on an address; false when none could be.
  TPlayedPageBox(const QString& text, const QString& url, std::function<bool(const std::string&)> open,
                 QWidget* parent);

  QLabel* Message;
  QLineEdit* Address;
  QPushButton* CopyButton;
  QPushButton* OpenButton;
  QPushButton* OkButton;

 private:
  std::function<bool(const std::string&)> open_;
};

}  // namespace movara::ui
