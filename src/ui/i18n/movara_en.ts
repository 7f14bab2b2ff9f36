<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Movara</name>
    <message>
        <source>文件类型 (*.GIF)</source>
        <translation>File type (*.GIF)</translation>
    </message>
    <message>
        <source>文件类型 (*.GIF *.PNG *.WEBP)</source>
        <translation>File type (*.GIF *.PNG *.WEBP)</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source> 模式</source>
        <translation> Mode</translation>
    </message>
    <message>
        <source>单个文件转换</source>
        <translation>Single file</translation>
    </message>
    <message>
        <source>|使用这个模式转换选择文件.</source>
        <translation>|Use this mode to convert the selected file.</translation>
    </message>
    <message>
        <source>文件夹批转换</source>
        <translation>Whole folder</translation>
    </message>
    <message>
        <source>|使用这个模式转换全部文件夹, 包含一级子文件夹.</source>
        <translation>|Use this mode to convert the whole folder, with one level of subfolders.</translation>
    </message>
    <message>
        <source>|输出的 SWF 可以链接到您所选择的 URL （仅单一模式）。</source>
        <translation>|The SWF can link to the URL you choose (single-file mode only).</translation>
    </message>
    <message>
        <source> SWF 质量 / 文件大小 </source>
        <translation> SWF quality / file size </translation>
    </message>
    <message>
        <source>最佳质量</source>
        <translation>Best quality</translation>
    </message>
    <message>
        <source>质量 80 %</source>
        <translation>Quality 80 %</translation>
    </message>
    <message>
        <source>质量 60 %</source>
        <translation>Quality 60 %</translation>
    </message>
    <message>
        <source>质量 40%</source>
        <translation>Quality 40%</translation>
    </message>
    <message>
        <source>|在某些情况下它可以改变文件的大小。它可以长时间使GIF图像是非透明效果.</source>
        <translation>|In some cases it can change the size of the file. It can make the GIF picture non-transparent.</translation>
    </message>
    <message>
        <source> 影片 </source>
        <translation> Movie </translation>
    </message>
    <message>
        <source>紧凑图片</source>
        <translation>Compact pictures</translation>
    </message>
    <message>
        <source>压缩影片</source>
        <translation>Compressed movie</translation>
    </message>
    <message>
        <source>保留已有的影片</source>
        <translation>Keep existing movies</translation>
    </message>
    <message>
        <source>帧率</source>
        <translation>Frame rate</translation>
    </message>
    <message>
        <source>按 GIF 循环次数播放</source>
        <translation>Loop as in the GIF</translation>
    </message>
    <message>
        <source>立即转换</source>
        <translation>Convert now</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source> 输出文件夹</source>
        <translation> Output folder</translation>
    </message>
    <message>
        <source>选择...</source>
        <translation>Select...</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关于...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>选择包含 GIF 文件的文件夹</source>
        <translation>Choose the folder that holds the GIF files</translation>
    </message>
    <message>
        <source>所选文件夹中的 GIF 文件</source>
        <translation>The GIF files of the selected folder</translation>
    </message>
    <message>
        <source>列出并转换的文件类型</source>
        <translation>The kinds of file listed and converted</translation>
    </message>
    <message>
        <source>所选 GIF 的预览；较大的图片可以拖动</source>
        <translation>Preview of the selected GIF; drag a larger picture to move it</translation>
    </message>
    <message>
        <source>不超过 256 色的图片以 8 位图片保存：影片更小</source>
        <translation>Pictures of at most 256 colours are stored as 8-bit pictures: smaller movies</translation>
    </message>
    <message>
        <source>写入压缩的影片 (CWS)</source>
        <translation>Write a compressed movie (CWS)</translation>
    </message>
    <message>
        <source>不替换已经存在的影片</source>
        <translation>Do not replace movies that already exist</translation>
    </message>
    <message>
        <source>影片每秒的帧数 (1 到 120，默认 24)；GIF 的时间不变</source>
        <translation>Movie frames per second (1 to 120, default 24); the GIF&apos;s timing is kept</translation>
    </message>
    <message>
        <source>像浏览器一样按 GIF 的循环次数播放，然后停在最后一帧；不选时影片一直循环</source>
        <translation>Plays the GIF&apos;s loop count as browsers do, then stays on the last frame; off, the movie loops for ever</translation>
    </message>
    <message>
        <source>开始转换；转换文件夹时按此按钮或 Esc 停止</source>
        <translation>Start the conversion; during a folder run, this button or Esc stops it</translation>
    </message>
    <message>
        <source>选择保存影片和网页的文件夹</source>
        <translation>Choose the folder that receives the movies and HTML pages</translation>
    </message>
    <message>
        <source>所选文件在列表中的位置</source>
        <translation>Position of the selected file in the list</translation>
    </message>
    <message>
        <source>文件夹转换的进度</source>
        <translation>Progress of the folder run</translation>
    </message>
    <message>
        <source>主页:</source>
        <translation>Web:</translation>
    </message>
    <message>
        <source>邮件:</source>
        <translation>Mail:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>在文件管理器中打开输出文件夹</source>
        <translation>Open the output folder in the file manager</translation>
    </message>
    <message>
        <source>可以把 GIF 文件或文件夹拖放到窗口上</source>
        <translation>GIF files or a folder can be dropped on the window</translation>
    </message>
    <message>
        <source>语言 (Language)</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>复制地址</source>
        <translation>Copy address</translation>
    </message>
    <message>
        <source>在浏览器中打开</source>
        <translation>Open in browser</translation>
    </message>
    <message>
        <source>无法启动浏览器。</source>
        <translation>No browser could be started.</translation>
    </message>
    <message>
        <source>“%1” 没有写明协议（例如 https://）：影片会把它当作相对于播放页面的地址打开。是否改为 %2？</source>
        <translation>&quot;%1&quot; does not start with a scheme such as https://: the movie would open it relative to the page that plays it. Use %2 instead?</translation>
    </message>
    <message>
        <source>使用 %1</source>
        <translation>Use %1</translation>
    </message>
    <message>
        <source>按输入保留</source>
        <translation>Keep as typed</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
