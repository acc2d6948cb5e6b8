// What text windows do with the file they show: the display rule for every line, the
// measure of the file, the clipboard and export texts, the copy for an external
// editor and the page layout of printing. Texts are code page 1251.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Everything from the first "@@" on is never shown, printed, copied or exported.
std::string_view DisplayPart(std::string_view line);

// The lines of a shown file (no line feeds, no carriage returns). Nothing, after the
// file-open message, when it does not open.
std::optional<std::vector<std::string>> ReadShownFile(const std::filesystem::path& path);

struct TextExtent {
  size_t lines = 0;
  size_t columns = 20;  // the longest shown line plus 10, at least 20
};
TextExtent MeasureText(const std::vector<std::string>& lines);

// Clipboard text: each shown line followed by CR LF.
std::string ClipboardText(const std::vector<std::string>& lines);
// "Save to a file": each shown line followed by a line feed.
std::string ExportText(const std::vector<std::string>& lines);

// The word-processor form applies when the editor's file name (after the last "\"
// or "/") is "winword.exe" in any case.
bool IsWordProcessor(std::string_view editor_path);
// The name of the copy for the editor: the shown file's name with everything after
// its first "." replaced by "txt" ("kvt0001.tmp" -> "kvt0001.txt"); the folder stays.
std::filesystem::path EditorCopyPath(const std::filesystem::path& shown);
// The copy's bytes: each shown line followed by a blank and a line feed; in the
// word-processor form a paragraph runs together (no line feed after a line, one
// before a line that begins with a blank or holds only blanks).
std::string EditorCopyText(const std::vector<std::string>& lines, bool word_processor);

// Printing of a text file, in device units of the page.
struct PrintLayout {
  int font_height = 1;  // also the distance between lines
  int font_width = 0;
  int x = 0;            // left edge of every line
  int lines_per_page = 1;
};
// Font height H * 40 / 2900, width W * 18 / 2000, x three such widths; lines from
// y = 0 down as long as the whole line lies on the page (72 a page). A page too small
// for the formula still gets a line height of 1, so printing always ends.
PrintLayout ComputePrintLayout(int page_width, int page_height);
// The first line of each page for `line_count` lines (one page for an empty file).
std::vector<size_t> PageStarts(size_t line_count, const PrintLayout& layout);

}  // namespace kv
