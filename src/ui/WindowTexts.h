#pragma once

// The captions, items and hints of the main window. Hints are "short|long"
// pairs; the status pane shows the long part.
namespace movara::ui::text {

inline constexpr const char* kCaption = "Movara Converter - GIF to SWF";
inline constexpr const char* kFileType = "文件类型 (*.GIF)";
inline constexpr const char* kPreview = "预览";
inline constexpr const char* kMode = " 模式";
inline constexpr const char* kSingle = "单个文件转换";
inline constexpr const char* kSingleHint = "|使用这个模式转换选择文件.";
inline constexpr const char* kFolder = "文件夹批转换";
inline constexpr const char* kFolderHint = "|使用这个模式转换全部文件夹, 包含一级子文件夹.";
inline constexpr const char* kUrlGroup = " URL ";
inline constexpr const char* kUrlStart = "http://";
inline constexpr const char* kUrlHint = "|输出的 SWF 可以链接到您所选择的 URL （仅单一模式）。";
inline constexpr const char* kQualityGroup = " SWF 质量 / 文件大小 ";
inline constexpr const char* kQualities[] = {"最佳质量", "质量 80 %", "质量 60 %", "质量 40%"};
inline constexpr const char* kQualityHint = "|在某些情况下它可以改变文件的大小。它可以长时间使GIF图像是非透明效果.";
inline constexpr const char* kMovieGroup = " 影片 ";
inline constexpr const char* kCompact = "紧凑图片";
inline constexpr const char* kCompress = "压缩影片";
inline constexpr const char* kKeepExisting = "保留已有的影片";
inline constexpr const char* kStart = "立即转换";
inline constexpr const char* kStop = "停止";
inline constexpr const char* kOutputGroup = " 输出文件夹";
inline constexpr const char* kSelectFolder = "选择...";
inline constexpr const char* kHelpMenu = "帮助";
inline constexpr const char* kHelpItem = "帮助";
inline constexpr const char* kAboutItem = "关于...";
inline constexpr const char* kMessageCaption = "Movara";

}  // namespace movara::ui::text
