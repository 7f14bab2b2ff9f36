#pragma once

#include <string>

namespace movara::form {

// The about box's product line and addresses (its captions are the
// window's, translated there).
namespace about {
// Followed by the project's version.
inline constexpr const char* kProduct = "Movara Converter v.";
inline constexpr const char* kHomePage = "https://www.example.org/movara/";
inline constexpr const char* kSupportAddress = "support@example.org";
}  // namespace about

// What the about box's handlers need of the dialog.
class IAboutView {
 public:
  virtual ~IAboutView() = default;
  // Opens an address (a web page, a new mail) with the desktop's handler.
  virtual void OpenAddress(const std::string& url) = 0;
  virtual void CloseBox() = 0;
};

// The about box's handlers: the button and Escape close it, the link
// labels open the home page and a new mail to the support address.
class TfrmAbout {
 public:
  explicit TfrmAbout(IAboutView& view) : view_(view) {}
  void B1Click() { view_.CloseBox(); }
  void FormKeyDown(int key) {
    if (key == 27) view_.CloseBox();
  }
  void L19Click() { view_.OpenAddress(about::kHomePage); }
  void L2Click() { view_.OpenAddress(std::string("mailto:") + about::kSupportAddress); }

 private:
  IAboutView& view_;
};

}  // namespace movara::form
