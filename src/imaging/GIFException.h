#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "imaging/ImagingError.h"

namespace movara::imaging {

// Failures of the GIF library; the message is one of the texts below.
class GIFException : public ImagingError {
 public:
  using ImagingError::ImagingError;
};

// The GIF library's own message texts, for errors and warnings alike.
namespace gifmsg {
inline constexpr const char* kPrematureEnd = "数据过早结束";
inline constexpr const char* kBadSignature = "无效 GIF 签名";
inline constexpr const char* kUnknownBlock = "未知的 GIF 块型";
inline constexpr const char* kBadExtension = "无效扩展";
inline constexpr const char* kUnknownExtension = "未知扩展类型";
inline constexpr const char* kExtensionMismatch = "内部错误：扩展事例不匹配扩展表";
inline constexpr const char* kBadAppBlockSize = "无支持的应用扩展块区大小";
inline constexpr const char* kBadData = "无效 GIF 数据";
inline constexpr const char* kBadSize = "图象超出逻辑屏幕尺寸";
inline constexpr const char* kBitUnderrun = "在缓冲下译码器位运行";
inline constexpr const char* kBadTable = "译码器表项目";
inline constexpr const char* kBadTrailer = "拖图象无效";
inline constexpr const char* kBadColorIndex = "无效颜色索引";
inline constexpr const char* kEmptyColorMap = "颜色表是空的";
inline constexpr const char* kColorMapOverflow = "颜色表溢出";
inline constexpr const char* kNoColorMap = "没有被定义的全球性或地方颜色表";
inline constexpr const char* kBadPixelCoord = "无效映象点座标";
inline constexpr const char* kEmptyImage = "图像是空的";
inline constexpr const char* kOutOfMemory = "没分配 GIF DIB内存";
inline constexpr const char* kLoading = "正在载入...";
inline constexpr const char* kRendering = "渲染中...";
inline constexpr const char* kOptimizing = "优化中...";
inline constexpr const char* kBadReduction = "无效减少方法";
inline constexpr const char* kColorNotInMap = "颜色不在颜色表里";
}  // namespace gifmsg

// A short English gloss of one of the texts above, for users who do not
// read them; empty for any other text.
std::string_view GIFMessageGloss(std::string_view message);

}  // namespace movara::imaging
