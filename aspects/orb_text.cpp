#include "aspects/orb_text.h"

#include <vector>

#include "common/numbers.h"

namespace kv {
namespace {

constexpr char kTrailerMark = 'S';
constexpr char kAltSeparator = '\x01';
constexpr char kDosEndOfFile = '\x1a';
constexpr int kTrailerFields = 4;  // off, reserved, colour, line kind

bool IsBlankLine(std::string_view line) {
  for (char c : line)
    if (c != ' ' && c != '\t') return false;
  return true;
}

// strtok-style words: runs of separators between them, empty words never appear.
std::vector<std::string_view> Words(std::string_view text, std::string_view separators) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < text.size()) {
    size_t start = text.find_first_not_of(separators, i);
    if (start == std::string_view::npos) break;
    size_t end = text.find_first_of(separators, start);
    if (end == std::string_view::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    i = end;
  }
  return out;
}

void ReadTrailer(std::string_view trailer, AspectRecord& rec) {
  int32_t v[kTrailerFields] = {0, 0, 0, 0};
  int n = ReadIntegers(trailer, v, kTrailerFields);
  // The byte fields keep the low byte, as a one-byte field does in the file.
  rec.off = static_cast<uint8_t>(v[0]);
  rec.reserved = static_cast<uint8_t>(v[1]);
  rec.colour = n >= 3 ? v[2] : kBuiltInColour;
  rec.line_kind = static_cast<uint8_t>(v[3]);
}

}  // namespace

std::optional<AspectRecord> ParseOrbLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (IsBlankLine(line) || line.front() == '*' || line.front() == kAltSeparator)
    return std::nullopt;

  AspectRecord rec;
  std::string_view numbers = line;
  size_t mark = line.find(kTrailerMark);
  if (mark != std::string_view::npos) {
    numbers = line.substr(0, mark);
    ReadTrailer(line.substr(mark + 1), rec);
  } else {
    ReadTrailer({}, rec);
  }

  bool alt = numbers.find(kAltSeparator) != std::string_view::npos;
  std::vector<std::string_view> words =
      Words(numbers, alt ? std::string_view("\x01", 1) : std::string_view(" \t"));
  int given = 0;
  for (size_t i = 0; i < words.size() && given < kOrbPoints + 1; ++i) {
    const float value = OrbNumber(words[i]);
    if (i == 0) {
      rec.angle = value;
    } else {
      rec.orbs[given++] = value;
    }
  }
  FillOppositeCuspOrbs(rec, given);
  return rec;
}

std::string FormatOrbLine(const AspectRecord& rec) {
  std::string s = FormatFixed(rec.angle, 3, 7);
  for (int i = 0; i < kWrittenOrbs; ++i) {
    s += ' ';
    s += FormatFixed(rec.orbs[i], 3, 6);
  }
  s += " S " + FormatInteger(rec.off) + ' ' + FormatInteger(rec.reserved) + ' ' +
       FormatInteger(rec.colour) + ' ' + FormatInteger(rec.line_kind) + '\n';
  return s;
}

AspectTable ParseOrbText(std::string_view text) {
  // Blocks written by DOS editors end in a Ctrl-Z, which text-mode reading took as
  // the end of the file; read as a line it would add a 0-degree aspect.
  text = text.substr(0, text.find(kDosEndOfFile));
  AspectTable table;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find('\n', i);
    if (end == std::string_view::npos) end = text.size();
    if (auto rec = ParseOrbLine(text.substr(i, end - i))) table.push_back(*rec);
    i = end + 1;
  }
  return table;
}

std::string FormatOrbText(const AspectTable& table) {
  std::string out;
  for (const AspectRecord& rec : table) out += FormatOrbLine(rec);
  return out;
}

}  // namespace kv
