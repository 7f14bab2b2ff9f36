#pragma once

#include <QDialog>
#include <QLabel>

#include "form/AboutBox.h"

class QPushButton;

namespace movara::ui {

// A label that acts as a link: blue, with the hand cursor, clicked by the
// mouse.
class TLinkLabel final : public QLabel {
  Q_OBJECT
 public:
  TLinkLabel(const QString& text, bool underlined, QWidget* parent);
 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// The about box (TfrmAbout): a fixed dialog with the program's icon, name
// and version, the home page and the support address.
class TAboutDialog final : public QDialog, public form::IAboutView {
  Q_OBJECT
 public:
  explicit TAboutDialog(QWidget* parent);
  QPushButton* B1;
  TLinkLabel* L19;
  TLinkLabel* L2;

  void OpenAddress(const std::string& url) override;
  void CloseBox() override { accept(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  form::TfrmAbout form_;
};

}  // namespace movara::ui
