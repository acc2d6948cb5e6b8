// Names of the files the program writes on the user's request: a saved window picture
// and a chart page printed to a PDF file.
#pragma once

#include <string>
#include <string_view>

namespace kv {

enum class PictureFormat { kBmp = 0, kJpeg = 1 };

// ".bmp" or ".jpg".
const char* PictureExtension(PictureFormat format);

// The file a picture goes to: the name as typed, with the extension of the chosen
// format appended when the name holds no "." at all. A name with a "." stays as typed
// whatever format is chosen.
std::string PictureFileName(std::string_view typed, PictureFormat format);

// A file name made of a text such as a chart's name (code page 1251): the characters no
// file name may hold ("/\:*?"<>|" and control characters) become "_", blanks and dots
// at either end are dropped; `fallback` when nothing is left.
std::string FileStemOf(std::string_view text, std::string_view fallback);

}  // namespace kv
