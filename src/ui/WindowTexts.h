#pragma once

#include <QCoreApplication>
#include <QString>

// The captions, items, hints and tooltips of the main window, its boxes and
// its about box, in the program's own language; the English translation
// (see Translation.h) replaces them on screen in the English face. Hints
// are "short|long" pairs; the status pane shows the long part.
namespace movara::ui::text {

inline constexpr const char* kContext = "Movara";

inline constexpr const char* kCaption = "Movara Converter - GIF to SWF";
inline constexpr const char* kFileType = QT_TRANSLATE_NOOP("Movara", "文件类型 (*.GIF)");
inline constexpr const char* kFileTypeAll = QT_TRANSLATE_NOOP("Movara", "文件类型 (*.GIF *.PNG *.WEBP)");
inline constexpr const char* kPreview = QT_TRANSLATE_NOOP("Movara", "预览");
inline constexpr const char* kMode = QT_TRANSLATE_NOOP("Movara", " 模式");
inline constexpr const char* kSingle = QT_TRANSLATE_NOOP("Movara", "单个文件转换");
inline constexpr const char* kSingleHint = QT_TRANSLATE_NOOP("Movara", "|使用这个模式转换选择文件.");
inline constexpr const char* kFolder = QT_TRANSLATE_NOOP("Movara", "文件夹批转换");
inline constexpr const char* kFolderHint = QT_TRANSLATE_NOOP("Movara", "|使用这个模式转换全部文件夹, 包含一级子文件夹.");
inline constexpr const char* kUrlGroup = " URL ";
inline constexpr const char* kUrlStart = "http://";
inline constexpr const char* kUrlHint = QT_TRANSLATE_NOOP("Movara", "|输出的 SWF 可以链接到您所选择的 URL （仅单一模式）。");
inline constexpr const char* kQualityGroup = QT_TRANSLATE_NOOP("Movara", " SWF 质量 / 文件大小 ");
inline constexpr const char* kQualities[] = {QT_TRANSLATE_NOOP("Movara", "最佳质量"), QT_TRANSLATE_NOOP("Movara", "质量 80 %"),
                                             QT_TRANSLATE_NOOP("Movara", "质量 60 %"), QT_TRANSLATE_NOOP("Movara", "质量 40%")};
inline constexpr const char* kQualityHint =
    QT_TRANSLATE_NOOP("Movara", "|在某些情况下它可以改变文件的大小。它可以长时间使GIF图像是非透明效果.");
inline constexpr const char* kMovieGroup = QT_TRANSLATE_NOOP("Movara", " 影片 ");
inline constexpr const char* kCompact = QT_TRANSLATE_NOOP("Movara", "紧凑图片");
inline constexpr const char* kCompress = QT_TRANSLATE_NOOP("Movara", "压缩影片");
inline constexpr const char* kKeepExisting = QT_TRANSLATE_NOOP("Movara", "保留已有的影片");
inline constexpr const char* kFrameRate = QT_TRANSLATE_NOOP("Movara", "帧率");
inline constexpr const char* kGifLoop = QT_TRANSLATE_NOOP("Movara", "按 GIF 循环次数播放");
inline constexpr const char* kStart = QT_TRANSLATE_NOOP("Movara", "立即转换");
inline constexpr const char* kStop = QT_TRANSLATE_NOOP("Movara", "停止");
inline constexpr const char* kOpenFolder = QT_TRANSLATE_NOOP("Movara", "打开文件夹");
inline constexpr const char* kOutputGroup = QT_TRANSLATE_NOOP("Movara", " 输出文件夹");
inline constexpr const char* kSelectFolder = QT_TRANSLATE_NOOP("Movara", "选择...");
inline constexpr const char* kHelpMenu = QT_TRANSLATE_NOOP("Movara", "帮助");
inline constexpr const char* kHelpItem = QT_TRANSLATE_NOOP("Movara", "帮助");
inline constexpr const char* kAboutItem = QT_TRANSLATE_NOOP("Movara", "关于...");
inline constexpr const char* kMessageCaption = "Movara";
// The Language menu; each language is named in its own.
inline constexpr const char* kLanguageMenu = QT_TRANSLATE_NOOP("Movara", "语言 (Language)");
inline constexpr const char* kEnglishName = "English";
inline constexpr const char* kChineseName = "中文";

// The box after a movie was made and served.
inline constexpr const char* kCopyAddress = QT_TRANSLATE_NOOP("Movara", "复制地址");
inline constexpr const char* kOpenPage = QT_TRANSLATE_NOOP("Movara", "在浏览器中打开");
inline constexpr const char* kNoBrowser = QT_TRANSLATE_NOOP("Movara", "无法启动浏览器。");
// The question about a URL without a scheme (%1 the URL, %2 with https://).
inline constexpr const char* kUrlQuestion = QT_TRANSLATE_NOOP(
    "Movara", "“%1” 没有写明协议（例如 https://）：影片会把它当作相对于播放页面的地址打开。是否改为 %2？");
inline constexpr const char* kUseSuggestion = QT_TRANSLATE_NOOP("Movara", "使用 %1");
inline constexpr const char* kKeepAsTyped = QT_TRANSLATE_NOOP("Movara", "按输入保留");
inline constexpr const char* kCancel = QT_TRANSLATE_NOOP("Movara", "取消");

// Tooltips of the controls without a hint.
inline constexpr const char* kTreeTip = QT_TRANSLATE_NOOP("Movara", "选择包含 GIF 文件的文件夹");
inline constexpr const char* kListTip = QT_TRANSLATE_NOOP("Movara", "所选文件夹中的 GIF 文件");
inline constexpr const char* kFileTypeTip = QT_TRANSLATE_NOOP("Movara", "列出并转换的文件类型");
inline constexpr const char* kPreviewTip = QT_TRANSLATE_NOOP("Movara", "所选 GIF 的预览；较大的图片可以拖动");
inline constexpr const char* kCompactTip = QT_TRANSLATE_NOOP("Movara", "不超过 256 色的图片以 8 位图片保存：影片更小");
inline constexpr const char* kCompressTip = QT_TRANSLATE_NOOP("Movara", "写入压缩的影片 (CWS)");
inline constexpr const char* kKeepExistingTip = QT_TRANSLATE_NOOP("Movara", "不替换已经存在的影片");
inline constexpr const char* kFrameRateTip = QT_TRANSLATE_NOOP("Movara", "影片每秒的帧数 (1 到 120，默认 24)；GIF 的时间不变");
inline constexpr const char* kGifLoopTip =
    QT_TRANSLATE_NOOP("Movara", "像浏览器一样按 GIF 的循环次数播放，然后停在最后一帧；不选时影片一直循环");
inline constexpr const char* kStartTip = QT_TRANSLATE_NOOP("Movara", "开始转换；转换文件夹时按此按钮或 Esc 停止");
inline constexpr const char* kOpenFolderTip = QT_TRANSLATE_NOOP("Movara", "在文件管理器中打开输出文件夹");
inline constexpr const char* kDropTip = QT_TRANSLATE_NOOP("Movara", "可以把 GIF 文件或文件夹拖放到窗口上");
inline constexpr const char* kSelectFolderTip = QT_TRANSLATE_NOOP("Movara", "选择保存影片和网页的文件夹");
inline constexpr const char* kPositionTip = QT_TRANSLATE_NOOP("Movara", "所选文件在列表中的位置");
inline constexpr const char* kProgressTip = QT_TRANSLATE_NOOP("Movara", "文件夹转换的进度");

// The about box.
inline constexpr const char* kAboutCaption = QT_TRANSLATE_NOOP("Movara", "关于...");
inline constexpr const char* kHomeLabel = QT_TRANSLATE_NOOP("Movara", "主页:");
inline constexpr const char* kMailLabel = QT_TRANSLATE_NOOP("Movara", "邮件:");
inline constexpr const char* kOk = QT_TRANSLATE_NOOP("Movara", "确定");

// A text in the language of the installed translation.
inline QString Tr(const char* source) { return QCoreApplication::translate(kContext, source); }

// The long part of a "short|long" hint.
inline QString LongHint(const QString& hint) { return hint.section('|', -1); }

}  // namespace movara::ui::text
