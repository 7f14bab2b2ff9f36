// The movie's link: a button that opens a URL when clicked.
#include "convert/LinkButton.h"

namespace movara::convert {

void AddLinkButton(swf::TFlashMovie& movie, const std::string& url, std::int32_t width, std::int32_t height,
                   std::uint16_t depth) {
  swf::TFlashButton& button = movie.AddButton(false, true);
  swf::TFlashShape& rect = movie.AddRectangle(0, 0, width - 1, height - 1);
  rect.SetSolidColor(0, 0, 0, 0);
  button.AddRecord(rect, swf::bsUp | swf::bsHitTest, 1);
  button.AddRecord(rect, swf::bsOver | swf::bsHitTest, 1);
  button.AddRecord(rect, swf::bsDown | swf::bsHitTest, 1);
  button.OnRelease().GetUrl(url, "_blank");
  movie.PlaceObject(button, depth);
}

}  // namespace movara::convert
