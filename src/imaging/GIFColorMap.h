#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "imaging/Colors.h"

namespace movara::imaging {

class TGIFImage;
class TGIFStreamReader;

// A GIF colour table of up to 256 entries, colours as 0x00BBGGRR.
class TGIFColorMap {
 public:
  static constexpr int kMaxColors = 256;

  explicit TGIFColorMap(TGIFImage* image = nullptr) : image_(image) {}

  int Count() const { return static_cast<int>(colors_.size()); }
  // Entry i; an index outside the table warns and gives entry 0, an empty
  // table raises "颜色表是空的".
  TColor ColorAt(int index) const;
  // Writes entry i; an index outside the table raises "无效颜色索引".
  void SetColorAt(int index, TColor color);
  // Appends a colour and returns its index; a full table raises "颜色表溢出".
  int Add(TColor color);
  void Clear();
  // Replaces every entry at once (the optimiser's renumbering).
  void Assign(std::vector<TColor> colors);
  const std::vector<TColor>& Colors() const { return colors_; }

  // The sort flag of the table.
  bool Optimized = false;

  // Reads count entries of red, green and blue bytes.
  void LoadFromStream(TGIFStreamReader& reader, int count);

  // Called after every change, so that owners can drop cached palettes.
  std::function<void()> OnChange;

  void SetImage(TGIFImage* image) { image_ = image; }

 private:
  void Changed() const;

  TGIFImage* image_;
  std::vector<TColor> colors_;
};

}  // namespace movara::imaging
