#include "aspects/aspect_edit.h"

#include "common/codepage.h"
#include "common/messages.h"
#include "common/numbers.h"

namespace kv {
namespace {

constexpr size_t kOrbFieldChars = 6;

bool InTable(const AspectTable& table, int index) {
  return index >= 0 && static_cast<size_t>(index) < table.size();
}

bool AngleIn(float angle, std::initializer_list<float> family) {
  for (float a : family)
    if (angle == a) return true;
  return false;
}

}  // namespace

std::string AspectLabel(const AspectRecord& rec) {
  std::string s = W("Аспект ") + FormatFixed(rec.angle, 3, 7) + "  ";
  s += rec.off != 0 ? W("Откл") : std::string();
  s += ' ';
  s += rec.line_kind > 1 ? "(t)" : "";
  return s;
}

AspectFields ShowAspect(const AspectRecord& rec, bool on_opening) {
  AspectFields f;
  f.angle = FormatFixed(rec.angle, 3, on_opening ? 6 : 7);
  for (int i = 0; i < kDialogOrbs; ++i) f.orbs[i] = FormatFixed(rec.orbs[i], 3, 6);
  f.line_kind = rec.line_kind;
  return f;
}

void StoreOrbs(AspectRecord& rec, const std::array<std::string, kDialogOrbs>& fields) {
  for (int i = 0; i < kWrittenOrbs; ++i) {
    std::string_view field = fields[i];
    rec.orbs[i] = OrbNumber(field.substr(0, kOrbFieldChars));
  }
}

int FirstBadOrbField(const std::array<std::string, kDialogOrbs>& fields) {
  for (int i = 0; i < kWrittenOrbs; ++i) {
    const std::string_view field = std::string_view(fields[i]).substr(0, kOrbFieldChars);
    size_t used = 0;
    const float orb = OrbNumber(field, &used);
    const bool rest_blank = field.find_first_not_of(' ', used) == std::string_view::npos;
    if (used == 0 || !rest_blank || orb < 0.0f || orb > kMaxOrb) return i;
  }
  return -1;
}

NewAspectStatus NewAspect(AspectTable& table, std::string_view text) {
  size_t used = 0;
  const float angle = OrbNumber(text, &used);
  if (used == 0) {
    WarningKey("AsNum");
    return NewAspectStatus::kNotANumber;
  }
  size_t paren = text.find('(');
  float orb = paren == std::string_view::npos ? kDefaultOrb : OrbNumber(text.substr(paren + 1));
  for (const AspectRecord& rec : table) {
    if (rec.angle == angle) {
      WarningKey("IsAs");
      return NewAspectStatus::kDuplicate;
    }
  }
  AspectRecord rec;  // orbs 1.0, off 0, reserved 0, colour -1, line kind 1
  rec.angle = angle;
  for (int i = 0; i < kWrittenOrbs; ++i) rec.orbs[i] = orb;
  FillOppositeCuspOrbs(rec, kWrittenOrbs);
  table.push_back(rec);
  return NewAspectStatus::kAdded;
}

int DeleteAspect(AspectTable& table, int index) {
  if (!InTable(table, index)) return -1;
  table.erase(table.begin() + index);
  if (table.empty()) return -1;
  return index > 0 ? index - 1 : 0;
}

void ToggleAspect(AspectTable& table, int index) {
  if (InTable(table, index)) table[index].off = table[index].off == 0 ? 1 : 0;
}

int32_t BuiltInAspectColour(float angle) {
  if (AngleIn(angle, {0, 30, 60, 120, 150})) return Rgb(255, 0, 0);
  if (AngleIn(angle, {45, 90, 135, 180})) return Rgb(0, 0, 255);
  if (AngleIn(angle, {36, 72, 108, 144})) return Rgb(0, 255, 0);
  return Rgb(0, 255, 255);
}

int32_t WheelColour(const AspectRecord& rec) {
  return rec.colour >= 0 ? rec.colour : BuiltInAspectColour(rec.angle);
}

void SetAspectColour(AspectTable& table, int index, int32_t rgb) {
  if (InTable(table, index)) table[index].colour = rgb & 0x00FFFFFF;
}

void SetAspectLineKind(AspectTable& table, int index, int kind) {
  if (InTable(table, index)) table[index].line_kind = static_cast<uint8_t>(kind);
}

AspectPen AspectPenFor(const AspectTable& table, float angle, int pen_width,
                       bool black_and_white) {
  AspectPen pen{BuiltInAspectColour(angle), pen_width};
  for (const AspectRecord& rec : table) {
    if (rec.angle != angle) continue;
    if (rec.colour >= 0) pen.colour = rec.colour;
    if (rec.line_kind > pen_width) pen.width = rec.line_kind;
    break;
  }
  if (black_and_white) pen.colour = Rgb(0, 0, 0);
  return pen;
}

}  // namespace kv
