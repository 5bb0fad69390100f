<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>StringTable</name>
    <message>
        <source>Find text</source>
        <comment>53000</comment>
        <translation>查找文本</translation>
    </message>
    <message>
        <source>Text to &amp;find</source>
        <comment>53001</comment>
        <translation>查找内容(&amp;F)</translation>
    </message>
    <message>
        <source>Options</source>
        <comment>53002</comment>
        <translation>选项</translation>
    </message>
    <message>
        <source>&amp;Case sensitive</source>
        <comment>53003</comment>
        <translation>区分大小写(&amp;C)</translation>
    </message>
    <message>
        <source>Origin</source>
        <comment>53004</comment>
        <translation>起始位置</translation>
    </message>
    <message>
        <source>&amp;1st page</source>
        <comment>53005</comment>
        <translation>第一页(&amp;1)</translation>
    </message>
    <message>
        <source>Current &amp;page</source>
        <comment>53006</comment>
        <translation>当前页(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Page width</source>
        <comment>53020</comment>
        <translation>页宽(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Whole page</source>
        <comment>53021</comment>
        <translation>整页(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Two pages</source>
        <comment>53022</comment>
        <translation>双页(&amp;T)</translation>
    </message>
    <message>
        <source>Close preview</source>
        <comment>53023</comment>
        <translation>关闭预览</translation>
    </message>
    <message>
        <source>Scale</source>
        <comment>53024</comment>
        <translation>缩放</translation>
    </message>
    <message>
        <source>Open report</source>
        <comment>53025</comment>
        <translation>打开报表</translation>
    </message>
    <message>
        <source>Save report</source>
        <comment>53026</comment>
        <translation>保存报表</translation>
    </message>
    <message>
        <source>Print report</source>
        <comment>53027</comment>
        <translation>打印报表</translation>
    </message>
    <message>
        <source>Find text</source>
        <comment>53028</comment>
        <translation>查找文本</translation>
    </message>
    <message>
        <source>Show help</source>
        <comment>53032</comment>
        <translation>显示帮助</translation>
    </message>
    <message>
        <source>Print</source>
        <comment>53040</comment>
        <translation>打印</translation>
    </message>
    <message>
        <source>Printer</source>
        <comment>53041</comment>
        <translation>打印机</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <comment>53042</comment>
        <translation>名称(&amp;N)：</translation>
    </message>
    <message>
        <source>Properties</source>
        <comment>53043</comment>
        <translation>属性</translation>
    </message>
    <message>
        <source>Page range</source>
        <comment>53044</comment>
        <translation>页面范围</translation>
    </message>
    <message>
        <source>&amp;All</source>
        <comment>53045</comment>
        <translation>全部(&amp;A)</translation>
    </message>
    <message>
        <source>Current pa&amp;ge</source>
        <comment>53046</comment>
        <translation>当前页(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Pages:</source>
        <comment>53047</comment>
        <translation>页码(&amp;P)：</translation>
    </message>
    <message>
        <source>Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12</source>
        <comment>53048</comment>
        <translation>请输入页码和/或页码范围，用逗号分隔。例如：1,3,5-12</translation>
    </message>
    <message>
        <source>Copies</source>
        <comment>53049</comment>
        <translation>份数</translation>
    </message>
    <message>
        <source>Number of &amp;copies:</source>
        <comment>53050</comment>
        <translation>份数(&amp;C)：</translation>
    </message>
    <message>
        <source>Co&amp;llate</source>
        <comment>53051</comment>
        <translation>逐份打印(&amp;L)</translation>
    </message>
    <message>
        <source>P&amp;rint</source>
        <comment>53052</comment>
        <translation>打印(&amp;R)</translation>
    </message>
    <message>
        <source>All pages</source>
        <comment>53053</comment>
        <translation>所有页</translation>
    </message>
    <message>
        <source>Odd pages</source>
        <comment>53054</comment>
        <translation>奇数页</translation>
    </message>
    <message>
        <source>Even pages</source>
        <comment>53055</comment>
        <translation>偶数页</translation>
    </message>
    <message>
        <source>OK</source>
        <comment>55000</comment>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <comment>55001</comment>
        <translation>取消</translation>
    </message>
    <message>
        <source>Virtual printer</source>
        <comment>55007</comment>
        <translation>虚拟打印机</translation>
    </message>
    <message>
        <source>Report title</source>
        <comment>55077</comment>
        <translation>报表标题</translation>
    </message>
    <message>
        <source>Report summary</source>
        <comment>55078</comment>
        <translation>报表汇总</translation>
    </message>
    <message>
        <source>Page header</source>
        <comment>55079</comment>
        <translation>页眉</translation>
    </message>
    <message>
        <source>Page footer</source>
        <comment>55080</comment>
        <translation>页脚</translation>
    </message>
    <message>
        <source>Master header</source>
        <comment>55081</comment>
        <translation>主项头</translation>
    </message>
    <message>
        <source>Master data</source>
        <comment>55082</comment>
        <translation>主项数据</translation>
    </message>
    <message>
        <source>Master footer</source>
        <comment>55083</comment>
        <translation>主项脚</translation>
    </message>
    <message>
        <source>Detail header</source>
        <comment>55084</comment>
        <translation>明细头</translation>
    </message>
    <message>
        <source>Detail data</source>
        <comment>55085</comment>
        <translation>明细数据</translation>
    </message>
    <message>
        <source>Detail footer</source>
        <comment>55086</comment>
        <translation>明细脚</translation>
    </message>
    <message>
        <source>Subdetail header</source>
        <comment>55087</comment>
        <translation>子明细头</translation>
    </message>
    <message>
        <source>Subdetail data</source>
        <comment>55088</comment>
        <translation>子明细数据</translation>
    </message>
    <message>
        <source>Subdetail footer</source>
        <comment>55089</comment>
        <translation>子明细脚</translation>
    </message>
    <message>
        <source>Overlay</source>
        <comment>55090</comment>
        <translation>覆盖层</translation>
    </message>
    <message>
        <source>Column header</source>
        <comment>55091</comment>
        <translation>栏头</translation>
    </message>
    <message>
        <source>Column footer</source>
        <comment>55092</comment>
        <translation>栏脚</translation>
    </message>
    <message>
        <source>Group header</source>
        <comment>55093</comment>
        <translation>分组头</translation>
    </message>
    <message>
        <source>Group footer</source>
        <comment>55094</comment>
        <translation>分组脚</translation>
    </message>
    <message>
        <source>Cross header</source>
        <comment>55095</comment>
        <translation>交叉头</translation>
    </message>
    <message>
        <source>Cross data</source>
        <comment>55096</comment>
        <translation>交叉数据</translation>
    </message>
    <message>
        <source>Cross footer</source>
        <comment>55097</comment>
        <translation>交叉脚</translation>
    </message>
    <message>
        <source>Child</source>
        <comment>55098</comment>
        <translation>子带</translation>
    </message>
    <message>
        <source>None</source>
        <comment>55099</comment>
        <translation>无</translation>
    </message>
    <message>
        <source>Text</source>
        <comment>55130</comment>
        <translation>文本</translation>
    </message>
    <message>
        <source>Number</source>
        <comment>55131</comment>
        <translation>数字</translation>
    </message>
    <message>
        <source>Date</source>
        <comment>55132</comment>
        <translation>日期</translation>
    </message>
    <message>
        <source>Time</source>
        <comment>55133</comment>
        <translation>时间</translation>
    </message>
    <message>
        <source>Boolean</source>
        <comment>55134</comment>
        <translation>逻辑值</translation>
    </message>
    <message>
        <source>[None]</source>
        <comment>55150</comment>
        <translation>[无]</translation>
    </message>
    <message>
        <source>Custom</source>
        <comment>55159</comment>
        <translation>自定义</translation>
    </message>
    <message>
        <source>Custom</source>
        <comment>55164</comment>
        <translation>自定义</translation>
    </message>
    <message>
        <source>Custom</source>
        <comment>55169</comment>
        <translation>自定义</translation>
    </message>
    <message>
        <source>Custom</source>
        <comment>55174</comment>
        <translation>自定义</translation>
    </message>
    <message>
        <source>from</source>
        <comment>55199</comment>
        <translation>/</translation>
    </message>
    <message>
        <source>An error occured during calculating</source>
        <comment>55200</comment>
        <translation>计算时出错</translation>
    </message>
    <message>
        <source>Report:</source>
        <comment>55201</comment>
        <translation>报表：</translation>
    </message>
    <message>
        <source>Object:</source>
        <comment>55202</comment>
        <translation>对象：</translation>
    </message>
    <message>
        <source>Preparing report</source>
        <comment>55203</comment>
        <translation>正在准备报表</translation>
    </message>
    <message>
        <source>Performing 1st pass:</source>
        <comment>55204</comment>
        <translation>正在执行第一遍：</translation>
    </message>
    <message>
        <source>Processing page:</source>
        <comment>55205</comment>
        <translation>正在处理页：</translation>
    </message>
    <message>
        <source>Error</source>
        <comment>55206</comment>
        <translation>错误</translation>
    </message>
    <message>
        <source>Preview</source>
        <comment>55207</comment>
        <translation>预览</translation>
    </message>
    <message>
        <source>Printing page:</source>
        <comment>55208</comment>
        <translation>正在打印页：</translation>
    </message>
    <message>
        <source>Untitled</source>
        <comment>55209</comment>
        <translation>未命名</translation>
    </message>
    <message>
        <source>Unsupported FRF format</source>
        <comment>55345</comment>
        <translation>不支持的 FRF 格式</translation>
    </message>
    <message>
        <source>Undefined symbol</source>
        <comment>55439</comment>
        <translation>未定义的符号</translation>
    </message>
    <message>
        <source>Database</source>
        <comment>55620</comment>
        <translation>数据库</translation>
    </message>
    <message>
        <source>FIELDISNULL(&lt;FieldName&gt;)/Returns &apos;true&apos; if DB-field is null</source>
        <comment>55621</comment>
        <translation>FIELDISNULL(&lt;字段名&gt;)/数据库字段为空时返回 &apos;true&apos;</translation>
    </message>
    <message>
        <source>Report info</source>
        <comment>55622</comment>
        <translation>报表信息</translation>
    </message>
    <message>
        <source>REPORTCOMMENT/Returns the comment of the report</source>
        <comment>55623</comment>
        <translation>REPORTCOMMENT/返回报表的注释</translation>
    </message>
    <message>
        <source>REPORTNAME/Returns the name of the report</source>
        <comment>55624</comment>
        <translation>REPORTNAME/返回报表的名称</translation>
    </message>
    <message>
        <source>REPORTAUTOR/Returns the author of the report</source>
        <comment>55625</comment>
        <translation>REPORTAUTOR/返回报表的作者</translation>
    </message>
    <message>
        <source>VMAJOR/Returns the major version of the report</source>
        <comment>55626</comment>
        <translation>VMAJOR/返回报表的主版本号</translation>
    </message>
    <message>
        <source>VMINOR/Returns the minor version of the report</source>
        <comment>55627</comment>
        <translation>VMINOR/返回报表的次版本号</translation>
    </message>
    <message>
        <source>VRELEASE/Returns the release of the report</source>
        <comment>55628</comment>
        <translation>VRELEASE/返回报表的发行号</translation>
    </message>
    <message>
        <source>VBUILD/Returns the build of the report</source>
        <comment>55629</comment>
        <translation>VBUILD/返回报表的构建号</translation>
    </message>
    <message>
        <source>REPORTDATE/Returns the creation date of the report</source>
        <comment>55630</comment>
        <translation>REPORTDATE/返回报表的创建日期</translation>
    </message>
    <message>
        <source>REPORTLASTCHANGE/Returns the date of the last change of the report</source>
        <comment>55631</comment>
        <translation>REPORTLASTCHANGE/返回报表的最后修改日期</translation>
    </message>
    <message>
        <source>Password</source>
        <comment>55653</comment>
        <translation>密码</translation>
    </message>
    <message>
        <source>Enter password for opening report</source>
        <comment>55654</comment>
        <translation>请输入打开报表的密码</translation>
    </message>
    <message>
        <source>Retype password for validate</source>
        <comment>55655</comment>
        <translation>请再次输入密码以确认</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>中止</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>重试</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>忽略</translation>
    </message>
</context>
<context>
    <name>vaskel::ProgressDialog</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>vaskel</name>
    <message>
        <source>Fonts not installed, drawn with fallback fonts: </source>
        <translation>以下字体未安装，改用替代字体显示：</translation>
    </message>
    <message>
        <source>Cannot connect to the database (%1): %2</source>
        <translation>无法连接数据库（%1）：%2</translation>
    </message>
    <message>
        <source>The ODBC database driver of Qt (QODBC) is not installed</source>
        <translation>未安装 Qt 的 ODBC 数据库驱动（QODBC）</translation>
    </message>
    <message>
        <source>The SQLite ODBC driver (libsqlite3odbc.so) is not installed</source>
        <translation>未安装 SQLite ODBC 驱动（libsqlite3odbc.so）</translation>
    </message>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>Cannot create the database %1: %2</source>
        <translation>无法创建数据库 %1：%2</translation>
    </message>
    <message>
        <source>Delete record?</source>
        <translation>删除记录？</translation>
    </message>
    <message>
        <source>Page  %1</source>
        <translation>第 %1 页</translation>
    </message>
    <message>
        <source>Export to PDF</source>
        <translation>导出为 PDF</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF 文件 (*.pdf)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>导出</translation>
    </message>
    <message>
        <source>PDF...</source>
        <translation>PDF...</translation>
    </message>
    <message>
        <source>Excel...</source>
        <translation>Excel...</translation>
    </message>
    <message>
        <source>HTML...</source>
        <translation>HTML...</translation>
    </message>
    <message>
        <source>CSV...</source>
        <translation>CSV...</translation>
    </message>
    <message>
        <source>Export to Excel</source>
        <translation>导出为 Excel</translation>
    </message>
    <message>
        <source>Export to HTML</source>
        <translation>导出为 HTML</translation>
    </message>
    <message>
        <source>Export to CSV</source>
        <translation>导出为 CSV</translation>
    </message>
    <message>
        <source>Excel workbooks (*.xlsx)</source>
        <translation>Excel 工作簿 (*.xlsx)</translation>
    </message>
    <message>
        <source>HTML files (*.html *.htm)</source>
        <translation>HTML 文件 (*.html *.htm)</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>Text not found</source>
        <translation>未找到文本</translation>
    </message>
    <message>
        <source>Cannot create form. No MDI forms are currently active</source>
        <translation>无法创建窗体。当前没有活动的 MDI 窗体</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>上一页</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>下一页</translation>
    </message>
    <message>
        <source>Page %1/%2</source>
        <translation>第 %1/%2 页</translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation>第 %1 页</translation>
    </message>
    <message>
        <source>Report file (*.frp)</source>
        <translation>报表文件 (*.frp)</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 已存在。
要替换它吗？</translation>
    </message>
    <message>
        <source>Cannot lock the demo database in %1</source>
        <translation>无法锁定 %1 中的示例数据库</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Stream read error</source>
        <translation>流读取错误</translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation>流写入错误</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value</source>
        <translation>“%1”不是有效的整数值</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>“%1”不是有效的浮点数值</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date</source>
        <translation>“%1”不是有效的日期</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid time</source>
        <translation>“%1”不是有效的时间</translation>
    </message>
    <message>
        <source>Could not convert variant of type (%1) into type (%2)</source>
        <translation>无法将类型 (%1) 的变体转换为类型 (%2)</translation>
    </message>
    <message>
        <source>There is no default printer currently selected</source>
        <translation>当前没有选定默认打印机</translation>
    </message>
    <message>
        <source>Printer selected is not valid</source>
        <translation>所选打印机无效</translation>
    </message>
    <message>
        <source>Printing in progress</source>
        <translation>正在打印</translation>
    </message>
    <message>
        <source>No pages to print</source>
        <translation>没有可打印的页面</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>无法创建文件“%1”。%2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>无法打开文件“%1”。%2</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;</source>
        <translation>无法打开文件“%1”</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>Unknown code page &quot;%1&quot;</source>
        <translation>未知的代码页“%1”</translation>
    </message>
    <message>
        <source>The character %1 cannot be written in code page %2</source>
        <translation>字符 %1 无法用代码页 %2 写入</translation>
    </message>
    <message>
        <source>The text cannot be written in code page %1</source>
        <translation>该文本无法用代码页 %1 写入</translation>
    </message>
    <message>
        <source>Page %1: %2. Save the prepared report in code page UTF-8 (--code-page UTF-8, or the setting Files/CodePage), which holds every character.</source>
        <translation>第 %1 页：%2。请用可容纳所有字符的代码页 UTF-8 保存已准备的报表（--code-page UTF-8，或设置 Files/CodePage）。</translation>
    </message>
    <message>
        <source>A text of %1 bytes is too long for a report file</source>
        <translation>%1 字节的文本对报表文件来说太长</translation>
    </message>
    <message>
        <source>A component named %1 already exists</source>
        <translation>名为 %1 的组件已存在</translation>
    </message>
    <message>
        <source>Unable to open dataset %1</source>
        <translation>无法打开数据集 %1</translation>
    </message>
    <message>
        <source>Record not found</source>
        <translation>未找到记录</translation>
    </message>
    <message>
        <source>%1Field &apos;%2&apos; not found</source>
        <translation>%1未找到字段“%2”</translation>
    </message>
    <message>
        <source>%1: Field &apos;%2&apos; not found</source>
        <translation>%1：未找到字段“%2”</translation>
    </message>
    <message>
        <source>%1: Field &apos;%2&apos; holds the date %3, which lies outside the years 1 to 9999 (a database&apos;s -infinity arrives as such a date)</source>
        <translation>%1：字段“%2”的日期 %3 超出了 1 至 9999 年的范围（数据库中的 -infinity 即以这样的日期送达）</translation>
    </message>
    <message>
        <source>The print system cannot be reached at %1: printer &quot;%2&quot; cannot print</source>
        <translation>无法连接位于 %1 的打印系统：打印机“%2”无法打印</translation>
    </message>
    <message>
        <source>The print system cannot be reached at %1</source>
        <translation>无法连接位于 %1 的打印系统</translation>
    </message>
    <message>
        <source>There is no default printer currently selected: %1</source>
        <translation>当前没有选定默认打印机：%1</translation>
    </message>
    <message>
        <source>The print system stopped or cannot be reached at %1: the job for printer &quot;%2&quot; was not printed</source>
        <translation>位于 %1 的打印系统已停止或无法连接：发往打印机“%2”的作业未被打印</translation>
    </message>
    <message>
        <source>The temporary folder &quot;%1&quot; does not exist or is not a folder: the print job cannot be written (set TMPDIR to a folder that exists)</source>
        <translation>临时文件夹“%1”不存在或不是文件夹：无法写入打印作业（请将 TMPDIR 设为一个存在的文件夹）</translation>
    </message>
    <message>
        <source>The temporary folder &quot;%1&quot; cannot hold the print job: %2</source>
        <translation>临时文件夹“%1”无法容纳打印作业：%2</translation>
    </message>
    <message>
        <source>Sub-reports print each other without end: %1</source>
        <translation>子报表相互无限打印：%1</translation>
    </message>
    <message>
        <source>Page %1 has no bands to print as a sub-report</source>
        <translation>第 %1 页没有可作为子报表打印的栏</translation>
    </message>
    <message>
        <source>Invalid class typecast</source>
        <translation>无效的类类型转换</translation>
    </message>
    <message>
        <source>No room on the page for band %1</source>
        <translation>页面上没有容纳栏 %1 的空间</translation>
    </message>
    <message>
        <source>Script stopped after %1 steps</source>
        <translation>脚本在执行 %1 步后停止</translation>
    </message>
    <message>
        <source>Expression nested too deeply (more than %1 levels)</source>
        <translation>表达式嵌套过深（超过 %1 层）</translation>
    </message>
    <message>
        <source>Expression too complex: more than %1 values at once</source>
        <translation>表达式过于复杂：同时超过 %1 个值</translation>
    </message>
    <message>
        <source>Invalid expression: an operator has no operand</source>
        <translation>无效的表达式：运算符缺少操作数</translation>
    </message>
    <message>
        <source>%1 cannot be changed: its result has no key that identifies a row of a table</source>
        <translation>%1 无法修改：其结果没有可标识表中某一行的键</translation>
    </message>
    <message>
        <source>%1: no such row to %2</source>
        <translation>%1：没有可 %2 的行</translation>
    </message>
    <message>
        <source>%1: no such row to change</source>
        <translation>%1：没有可修改的行</translation>
    </message>
    <message>
        <source>The row was changed or deleted by someone else since it was read; nothing was written. Query again to see the current data</source>
        <translation>该行在读取后已被他人修改或删除；未写入任何内容。请重新查询以查看当前数据</translation>
    </message>
    <message>
        <source>The row cannot be %1: %2 rows of %3 hold the same values and the table has no key to tell them apart; nothing was written</source>
        <translation>该行无法 %1：%3 中有 %2 行的值相同，且该表没有可区分它们的键；未写入任何内容</translation>
    </message>
    <message>
        <source>The row was changed by someone else while it was written; nothing was written. Query again to see the current data</source>
        <translation>该行在写入时已被他人修改；未写入任何内容。请重新查询以查看当前数据</translation>
    </message>
    <message>
        <source>A report template can hold objects on its first 256 pages only</source>
        <translation>报表模板只能在前 256 页上放置对象</translation>
    </message>
    <message>
        <source>A text of %1 lines is too long for a report file</source>
        <translation>%1 行的文本对报表文件来说太长</translation>
    </message>
    <message>
        <source>Unknown picture file extension (.%1)</source>
        <translation>未知的图片文件扩展名（.%1）</translation>
    </message>
    <message>
        <source>The report has reached %1 pages, the most a run may prepare; it was stopped</source>
        <translation>报表已达到一次运行最多可准备的 %1 页；已停止</translation>
    </message>
    <message>
        <source>Child bands form a loop: %1</source>
        <translation>子栏形成循环：%1</translation>
    </message>
    <message>
        <source>printer index %1 outside the list</source>
        <translation>打印机索引 %1 超出列表范围</translation>
    </message>
    <message>
        <source>printer %1 cannot be read</source>
        <translation>无法读取打印机 %1</translation>
    </message>
    <message>
        <source>The number of copies must be between %1 and %2</source>
        <translation>份数必须在 %1 到 %2 之间</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a report dataset nor a query</source>
        <translation>“%1”既不是报表数据集也不是查询</translation>
    </message>
    <message>
        <source>Property %1 of %2 cannot be set: %3</source>
        <translation>无法设置 %2 的属性 %1：%3</translation>
    </message>
    <message>
        <source>Code page &quot;%1&quot; is not byte-oriented: template and prepared-report files need one whose letters and digits take one byte each</source>
        <translation>代码页“%1”不是单字节编码：模板文件和已准备的报表文件所用的代码页中，字母和数字必须各占一个字节</translation>
    </message>
    <message>
        <source>the page</source>
        <translation>页面</translation>
    </message>
    <message>
        <source>object geometry %1 outside %2 .. %3</source>
        <translation>对象位置或大小 %1 超出范围 %2 .. %3</translation>
    </message>
    <message>
        <source>frame width %1 outside %2 .. %3</source>
        <translation>边框宽度 %1 超出范围 %2 .. %3</translation>
    </message>
    <message>
        <source>font size %1 outside %2 .. %3</source>
        <translation>字号 %1 超出范围 %2 .. %3</translation>
    </message>
    <message>
        <source>line or character spacing %1 outside %2 .. %3</source>
        <translation>行距或字距 %1 超出范围 %2 .. %3</translation>
    </message>
    <message>
        <source>column count %1 outside %2 .. %3</source>
        <translation>分栏数 %1 超出范围 %2 .. %3</translation>
    </message>
    <message>
        <source>column width or gap %1 outside %2 .. %3</source>
        <translation>分栏宽度或间距 %1 超出范围 %2 .. %3</translation>
    </message>
    <message>
        <source>margin %1 outside %2 .. %3</source>
        <translation>页边距 %1 超出范围 %2 .. %3</translation>
    </message>
    <message>
        <source>%1 is not a picture</source>
        <translation>%1 不是图片</translation>
    </message>
    <message>
        <source>paper size %1 outside %2 .. %3</source>
        <translation>纸张尺寸 %1 超出范围 %2 .. %3</translation>
    </message>
    <message>
        <source>dialog geometry %1 outside %2 .. %3</source>
        <translation>对话框位置或大小 %1 超出范围 %2 .. %3</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Insert %1</source>
        <translation>插入 %1</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>移动</translation>
    </message>
    <message>
        <source>Insert field</source>
        <translation>插入字段</translation>
    </message>
    <message>
        <source>Fit band height</source>
        <translation>适应带区高度</translation>
    </message>
    <message>
        <source>Arrange bands</source>
        <translation>排列带区</translation>
    </message>
    <message>
        <source>Change dictionary</source>
        <translation>修改数据字典</translation>
    </message>
    <message>
        <source>Two passes</source>
        <translation>两遍生成</translation>
    </message>
    <message>
        <source>Ctrl+Space completes names of the data tree; Ctrl+Enter is OK.</source>
        <translation>按 Ctrl+Space 补全数据树中的名称；按 Ctrl+Enter 确定。</translation>
    </message>
    <message>
        <source>Change %1</source>
        <translation>修改 %1</translation>
    </message>
    <message>
        <source>Change page</source>
        <translation>修改页面</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>New page</source>
        <translation>新页</translation>
    </message>
</context>
<context>
    <name>vaskel::DesignDocument</name>
    <message>
        <source>The file cannot be opened.</source>
        <translation>无法打开该文件。</translation>
    </message>
    <message>
        <source>The clipboard holds no report objects.</source>
        <translation>剪贴板中没有报表对象。</translation>
    </message>
</context>
<context>
    <name>vaskel::DesignerWindow</name>
    <message>
        <source>Insert</source>
        <translation>插入</translation>
    </message>
    <message>
        <source>Memo</source>
        <translation>文本</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>图片</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>线条</translation>
    </message>
    <message>
        <source>Sub-report</source>
        <translation>子报表</translation>
    </message>
    <message>
        <source>Insert a %1: click or drag on the page</source>
        <translation>插入%1：在页面上单击或拖动</translation>
    </message>
    <message>
        <source>Band</source>
        <translation>带区</translation>
    </message>
    <message>
        <source>Insert a band of the chosen kind: click or drag on the page</source>
        <translation>插入所选类型的带区：在页面上单击或拖动</translation>
    </message>
    <message>
        <source>Click or drag on the page to place the new object; Esc cancels.</source>
        <translation>在页面上单击或拖动以放置新对象；按 Esc 取消。</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>&amp;Fit band height to its views</source>
        <translation>带区高度适应其对象(&amp;F)</translation>
    </message>
    <message>
        <source>Arrange bands in &amp;print order</source>
        <translation>按打印顺序排列带区(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Dictionary…</source>
        <translation>数据字典(&amp;D)…</translation>
    </message>
    <message>
        <source>&amp;Two passes (for the total page count)</source>
        <translation>两遍生成(总页数需要)(&amp;T)</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>打开(&amp;O)…</translation>
    </message>
    <message>
        <source>Open template</source>
        <translation>打开模板</translation>
    </message>
    <message>
        <source>Report templates (*.frf);;Templates as JSON (*.json)</source>
        <translation>报表模板 (*.frf);;JSON 格式的模板 (*.json)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;as…</source>
        <translation>另存为(&amp;A)…</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>预览(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>重做(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>全选(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>Show &amp;grid</source>
        <translation>显示网格(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Snap to grid and edges</source>
        <translation>对齐到网格和边缘(&amp;S)</translation>
    </message>
    <message>
        <source>Zoom &amp;in</source>
        <translation>放大(&amp;I)</translation>
    </message>
    <message>
        <source>Zoom &amp;out</source>
        <translation>缩小(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Arrange</source>
        <translation>排列(&amp;A)</translation>
    </message>
    <message>
        <source>Align &amp;left edges</source>
        <translation>左边缘对齐(&amp;L)</translation>
    </message>
    <message>
        <source>Align &amp;right edges</source>
        <translation>右边缘对齐(&amp;R)</translation>
    </message>
    <message>
        <source>Align &amp;top edges</source>
        <translation>上边缘对齐(&amp;T)</translation>
    </message>
    <message>
        <source>Align &amp;bottom edges</source>
        <translation>下边缘对齐(&amp;B)</translation>
    </message>
    <message>
        <source>Centre &amp;horizontally</source>
        <translation>水平居中(&amp;H)</translation>
    </message>
    <message>
        <source>Centre &amp;vertically</source>
        <translation>垂直居中(&amp;V)</translation>
    </message>
    <message>
        <source>Same &amp;width</source>
        <translation>相同宽度(&amp;W)</translation>
    </message>
    <message>
        <source>Same h&amp;eight</source>
        <translation>相同高度(&amp;E)</translation>
    </message>
    <message>
        <source>Same &amp;size</source>
        <translation>相同大小(&amp;S)</translation>
    </message>
    <message>
        <source>Designer</source>
        <translation>设计器</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>适合宽度</translation>
    </message>
    <message>
        <source>%1 mm, %2 mm</source>
        <translation>%1 毫米，%2 毫米</translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation>第 %1 页</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>未命名</translation>
    </message>
    <message>
        <source>Designer - %1</source>
        <translation>设计器 - %1</translation>
    </message>
    <message>
        <source>The template cannot be saved as %1: %2</source>
        <translation>无法将模板保存为 %1：%2</translation>
    </message>
    <message>
        <source>Save template as</source>
        <translation>模板另存为</translation>
    </message>
    <message>
        <source>The template has unsaved changes. Save them?</source>
        <translation>模板有未保存的更改。要保存吗？</translation>
    </message>
    <message>
        <source>%1 of %2 may not be edited.</source>
        <translation>%2 的 %1 不允许编辑。</translation>
    </message>
</context>
<context>
    <name>vaskel::PageCanvas</name>
    <message>
        <source>no dataset</source>
        <translation>无数据集</translation>
    </message>
    <message>
        <source>no condition</source>
        <translation>无条件</translation>
    </message>
    <message>
        <source>%1 columns</source>
        <translation>%1 栏</translation>
    </message>
    <message>
        <source>page: %1 columns</source>
        <translation>页面：%1 栏</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>移动</translation>
    </message>
    <message>
        <source>Resize</source>
        <translation>调整大小</translation>
    </message>
    <message>
        <source>Align</source>
        <translation>对齐</translation>
    </message>
    <message>
        <source>Same size</source>
        <translation>相同大小</translation>
    </message>
</context>
<context>
    <name>vaskel::PropertyInspector</name>
    <message>
        <source>A number is expected.</source>
        <translation>请输入数字。</translation>
    </message>
    <message>
        <source>The value must lie between %1 and %2.</source>
        <translation>值必须在 %1 到 %2 之间。</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>值</translation>
    </message>
    <message>
        <source>Format…</source>
        <translation>格式…</translation>
    </message>
    <message>
        <source>Do not move</source>
        <translation>禁止移动</translation>
    </message>
    <message>
        <source>Do not resize</source>
        <translation>禁止调整大小</translation>
    </message>
    <message>
        <source>Do not delete</source>
        <translation>禁止删除</translation>
    </message>
    <message>
        <source>Do not edit the text</source>
        <translation>禁止编辑文本</translation>
    </message>
    <message>
        <source>Do not edit the script</source>
        <translation>禁止编辑脚本</translation>
    </message>
    <message>
        <source>Do not edit the contents</source>
        <translation>禁止编辑内容</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>左边</translation>
    </message>
    <message>
        <source>Top</source>
        <translation>上边</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>右边</translation>
    </message>
    <message>
        <source>Bottom</source>
        <translation>下边</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>No colour</source>
        <translation>无颜色</translation>
    </message>
    <message>
        <source>A whole number is expected.</source>
        <translation>请输入整数。</translation>
    </message>
    <message>
        <source>No dataset named &quot;%1&quot; is known</source>
        <translation>没有名为“%1”的数据集</translation>
    </message>
    <message>
        <source>The restrictions of %1 do not allow this change.</source>
        <translation>%1 的限制不允许此更改。</translation>
    </message>
    <message>
        <source>Each object needs a name of its own.</source>
        <translation>每个对象都需要一个独有的名称。</translation>
    </message>
    <message>
        <source>The name %1 is taken by another object.</source>
        <translation>名称 %1 已被其他对象使用。</translation>
    </message>
    <message>
        <source>Change %1</source>
        <translation>修改 %1</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>字体</translation>
    </message>
    <message>
        <source>Change Font</source>
        <translation>修改字体</translation>
    </message>
    <message>
        <source>Change DisplayFormat</source>
        <translation>修改显示格式</translation>
    </message>
</context>
<context>
    <name>vaskel::CodeCheck</name>
    <message>
        <source>Invalid expression</source>
        <translation>无效的表达式</translation>
    </message>
</context>
<context>
    <name>vaskel::DictionaryEditor</name>
    <message>
        <source>Dictionary</source>
        <translation>数据字典</translation>
    </message>
    <message>
        <source>New &amp;category</source>
        <translation>新建类别(&amp;C)</translation>
    </message>
    <message>
        <source>New &amp;variable</source>
        <translation>新建变量(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Category name:</source>
        <translation>类别名称：</translation>
    </message>
    <message>
        <source>Variable name:</source>
        <translation>变量名称：</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名称：</translation>
    </message>
    <message>
        <source>Expression:</source>
        <translation>表达式：</translation>
    </message>
</context>
<context>
    <name>vaskel::DataTree</name>
    <message>
        <source>Datasets</source>
        <translation>数据集</translation>
    </message>
    <message>
        <source>Report datasets</source>
        <translation>报表数据集</translation>
    </message>
    <message>
        <source>Variables</source>
        <translation>变量</translation>
    </message>
    <message>
        <source>System variables</source>
        <translation>系统变量</translation>
    </message>
    <message>
        <source>Functions</source>
        <translation>函数</translation>
    </message>
    <message>
        <source>Expressions and report</source>
        <translation>表达式与报表</translation>
    </message>
    <message>
        <source>IF(condition, value if true, value if false)</source>
        <translation>IF(条件, 为真时的值, 为假时的值)</translation>
    </message>
    <message>
        <source>COPY(text, from, count): part of a text</source>
        <translation>COPY(文本, 起始, 个数)：文本的一部分</translation>
    </message>
    <message>
        <source>STRTODATE(text): the date a text names</source>
        <translation>STRTODATE(文本)：文本表示的日期</translation>
    </message>
    <message>
        <source>STRTOTIME(text): the time a text names</source>
        <translation>STRTOTIME(文本)：文本表示的时间</translation>
    </message>
    <message>
        <source>SUM(expression, data band): total over the band&apos;s records</source>
        <translation>SUM(表达式, 数据带)：该带区各记录的合计</translation>
    </message>
    <message>
        <source>AVG(expression, data band): average over the band&apos;s records</source>
        <translation>AVG(表达式, 数据带)：该带区各记录的平均值</translation>
    </message>
    <message>
        <source>COUNT(data band): number of records printed</source>
        <translation>COUNT(数据带)：已打印的记录数</translation>
    </message>
    <message>
        <source>MIN(expression, data band): smallest value</source>
        <translation>MIN(表达式, 数据带)：最小值</translation>
    </message>
    <message>
        <source>MAX(expression, data band): largest value</source>
        <translation>MAX(表达式, 数据带)：最大值</translation>
    </message>
    <message>
        <source>DAYOF(date): day of the month</source>
        <translation>DAYOF(日期)：月中的日</translation>
    </message>
    <message>
        <source>MONTHOF(date): month number</source>
        <translation>MONTHOF(日期)：月份</translation>
    </message>
    <message>
        <source>YEAROF(date): year</source>
        <translation>YEAROF(日期)：年份</translation>
    </message>
    <message>
        <source>FORMATDATETIME(pattern, date): a date as text, e.g. &apos;yyyy-mm-dd&apos;</source>
        <translation>FORMATDATETIME(格式, 日期)：日期转为文本，如 &apos;yyyy-mm-dd&apos;</translation>
    </message>
    <message>
        <source>FORMATFLOAT(pattern, number): a number as text, e.g. &apos;#,##0.00&apos;</source>
        <translation>FORMATFLOAT(格式, 数值)：数值转为文本，如 &apos;#,##0.00&apos;</translation>
    </message>
    <message>
        <source>FORMATTEXT(mask, text): a text laid into an edit mask</source>
        <translation>FORMATTEXT(掩码, 文本)：按编辑掩码排列的文本</translation>
    </message>
    <message>
        <source>INPUT(prompt, default): asks the person for a text</source>
        <translation>INPUT(提示, 默认值)：请用户输入文本</translation>
    </message>
    <message>
        <source>LENGTH(text): number of characters</source>
        <translation>LENGTH(文本)：字符数</translation>
    </message>
    <message>
        <source>LOWERCASE(text): the text in lower case</source>
        <translation>LOWERCASE(文本)：转为小写</translation>
    </message>
    <message>
        <source>UPPERCASE(text): the text in upper case</source>
        <translation>UPPERCASE(文本)：转为大写</translation>
    </message>
    <message>
        <source>NAMECASE(text): first letter upper case, the rest lower</source>
        <translation>NAMECASE(文本)：首字母大写，其余小写</translation>
    </message>
    <message>
        <source>MAXNUM(a, b): the larger number</source>
        <translation>MAXNUM(a, b)：较大的数</translation>
    </message>
    <message>
        <source>MINNUM(a, b): the smaller number</source>
        <translation>MINNUM(a, b)：较小的数</translation>
    </message>
    <message>
        <source>MESSAGEBOX(text, caption, buttons): shows a message</source>
        <translation>MESSAGEBOX(文本, 标题, 按钮)：显示消息</translation>
    </message>
    <message>
        <source>POS(part, text): where a part starts in a text, 0 if not</source>
        <translation>POS(子串, 文本)：子串在文本中的位置，没有则为 0</translation>
    </message>
    <message>
        <source>TRIM(text): the text without blanks around it</source>
        <translation>TRIM(文本)：去掉首尾空格的文本</translation>
    </message>
    <message>
        <source>NEWPAGE: starts a new page after the band</source>
        <translation>NEWPAGE：该带区之后换页</translation>
    </message>
    <message>
        <source>NEWCOLUMN: starts a new column after the band</source>
        <translation>NEWCOLUMN：该带区之后换栏</translation>
    </message>
    <message>
        <source>SHOWBAND(band name): prints that band now</source>
        <translation>SHOWBAND(带区名)：立即打印该带区</translation>
    </message>
    <message>
        <source>STOPREPORT: ends the report</source>
        <translation>STOPREPORT：结束报表</translation>
    </message>
    <message>
        <source>INC(variable): adds 1</source>
        <translation>INC(变量)：加 1</translation>
    </message>
    <message>
        <source>DEC(variable): subtracts 1</source>
        <translation>DEC(变量)：减 1</translation>
    </message>
</context>
</TS>
