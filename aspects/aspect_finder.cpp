#include "aspects/aspect_finder.h"

#include <charconv>
#include <cmath>

#include "aspects/orb_block.h"

namespace kv {
namespace {

constexpr int kPointsWithLongitudes = kOrbPoints + 1;  // slot 0 unused

bool IsCusp(int point) { return point >= kFirstCuspPoint; }

// The orb a pair allows: the larger of the two, except between a cusp and a body,
// where the body's orb alone counts (a cusp's orb is meant for cusp pairs).
float PairOrb(const AspectRecord& rec, int a, int b) {
  if (IsCusp(a) != IsCusp(b)) return rec.Orb(IsCusp(a) ? b : a);
  float oa = rec.Orb(a), ob = rec.Orb(b);
  return oa > ob ? oa : ob;
}

void AppendFloat(std::string& out, float v) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, ec == std::errc() ? end : buf);
}

}  // namespace

double Separation(double x_deg, double y_deg) {
  double d = x_deg - y_deg;
  double whole;
  d = std::modf(d / 360.0, &whole) * 360.0;
  if (d < 0) d += 360.0;
  if (d >= 180.0) d -= 360.0;
  return std::fabs(d);
}

bool FindAspects(std::span<const double> lon_deg, const AspectTable& table,
                 AspectMatrix& matrix) {
  if (lon_deg.size() < static_cast<size_t>(kPointsWithLongitudes)) {
    for (int r = 0; r < kOrbPoints; ++r)
      for (int c = 0; c < kOrbPoints; ++c) matrix.cell[r][c] = r < c ? kNoAspect : 0.0f;
    return false;
  }
  for (int r = 0; r < kOrbPoints; ++r) {
    for (int c = 0; c < kOrbPoints; ++c) {
      float s = static_cast<float>(Separation(lon_deg[r + 1], lon_deg[c + 1]));
      matrix.cell[r][c] = s;
      if (r >= c) continue;
      float found = kNoAspect;
      for (const AspectRecord& rec : table) {
        // Single precision throughout: a block's orbs are floats and the boundary
        // case (deviation equal to the orb) must come out the same on every machine.
        float deviation = std::fabs(s - rec.angle);
        if (deviation <= PairOrb(rec, r + 1, c + 1)) {
          found = rec.angle;
          break;
        }
      }
      matrix.cell[r][c] = found;
    }
  }
  return true;
}

bool FindAspectsWithBlock(std::span<const double> lon_deg, std::string_view orb_file,
                          AspectMatrix& matrix) {
  return FindAspects(lon_deg, LoadAspectTable(orb_file, false), matrix);
}

void DropPoints(AspectMatrix& matrix, uint32_t points) {
  for (int a = 1; a <= kOrbPoints; ++a)
    for (int b = a + 1; b <= kOrbPoints; ++b)
      if (((points >> (a - 1)) | (points >> (b - 1))) & 1u) matrix.cell[a - 1][b - 1] = kNoAspect;
}

std::vector<FoundAspect> ListAspects(const AspectMatrix& matrix,
                                     const AspectListOptions& opt) {
  int last = opt.with_cusps ? kOrbPoints : kFirstCuspPoint - 1;
  auto active = [&](int n) {
    bool aspected = (opt.aspected_mask >> (n - 1)) & 1u;
    bool shown = n > kFirstCuspPoint - 1 || ((opt.planet_mask >> (n - 1)) & 1u);
    return aspected && shown;
  };
  std::vector<FoundAspect> out;
  for (int a = 1; a <= last; ++a) {
    if (!active(a)) continue;
    for (int b = a + 1; b <= last; ++b) {
      if (!active(b)) continue;
      float angle = matrix.Aspect(a, b);
      if (angle == kNoAspect || (angle == 0.0f && !opt.with_conjunctions)) continue;
      out.push_back({a, b, angle, matrix.Separation(a, b)});
    }
  }
  return out;
}

std::vector<FoundAspect> ChartAspects(std::span<const double> lon_deg,
                                      std::string_view orb_file,
                                      const AspectListOptions& opt) {
  AspectMatrix matrix;
  if (!FindAspectsWithBlock(lon_deg, orb_file, matrix)) return {};
  return ListAspects(matrix, opt);
}

std::string AspectsJson(const std::vector<FoundAspect>& aspects) {
  std::string out = "[";
  for (size_t i = 0; i < aspects.size(); ++i) {
    const FoundAspect& f = aspects[i];
    if (i) out += ", ";
    out += '[' + std::to_string(f.a) + ", " + std::to_string(f.b) + ", ";
    AppendFloat(out, f.angle);
    out += ", ";
    AppendFloat(out, f.separation);
    out += ']';
  }
  return out + "]";
}

}  // namespace kv
