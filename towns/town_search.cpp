#include "towns/town_search.h"

#include <algorithm>

#include "common/codepage.h"
#include "common/numbers.h"
#include "common/tokens.h"
#include "db/records/record_store.h"
#include "db/schema/script.h"
#include "towns/town_record.h"

namespace kv::towns {
namespace {

constexpr unsigned char kYo = 0xB8, kYoUpper = 0xA8, kYeUpper = 0xC5;

unsigned char FoldByte(unsigned char c) {
  if (c == kYo || c == kYoUpper) return kYeUpper;
  if ((c >= 'a' && c <= 'z') || c >= 0xE0) return static_cast<unsigned char>(c - 32);
  return c;
}

// The 1251 letters that fold to c.
std::vector<unsigned char> Unfold(unsigned char c) {
  std::vector<unsigned char> v{c};
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF)) v.push_back(static_cast<unsigned char>(c + 32));
  if (c == kYeUpper) {
    v.push_back(kYoUpper);
    v.push_back(kYo);
  }
  return v;
}

// The name index orders bytes, not folded letters: a folded prefix is looked up as
// every spelling of its first letters (at most this many), and the rest is checked
// on the entries found.
constexpr size_t kSpelledLetters = 3;

void Spellings(const std::string& folded, size_t i, std::string& current,
               std::vector<std::string>& out) {
  if (i == std::min(folded.size(), kSpelledLetters)) {
    out.push_back(current);
    return;
  }
  for (unsigned char c : Unfold(static_cast<unsigned char>(folded[i]))) {
    current.push_back(static_cast<char>(c));
    Spellings(folded, i + 1, current, out);
    current.pop_back();
  }
}

struct Found {
  db::ValueEntry entry;
  bool exact = false;
};

std::vector<Found> NameEntries(db::Database& towns, std::string_view text) {
  const std::string folded = FoldForSearch(TrimRight(text));
  std::vector<Found> found;
  std::vector<std::string> spellings;
  std::string current;
  Spellings(folded, 0, current, spellings);
  std::sort(spellings.begin(), spellings.end(), [](const std::string& a, const std::string& b) {
    return Cp1251ToCp866(a) < Cp1251ToCp866(b);
  });
  for (const std::string& s : spellings) {
    std::vector<db::ValueEntry> entries;
    towns.FindValueEntries(entries, kTownPrefix, kFieldTownName, Cp1251ToCp866(s),
                           s.empty() ? db::kMatchAny : db::kMatchPrefix);
    for (auto& e : entries) {
      const std::string name = FoldForSearch(Cp866ToCp1251(e.value));
      if (name.compare(0, folded.size(), folded) != 0) continue;
      found.push_back({std::move(e), name == folded});
    }
  }
  return found;
}

}  // namespace

std::string FoldForSearch(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
  return s;
}

bool BeginsWithFolded(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (FoldByte(static_cast<unsigned char>(text[i])) != FoldByte(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

TownList TownList::All(db::Database& towns) {
  TownList list;
  list.towns_ = &towns;
  std::vector<db::ValueEntry> entries;
  towns.FindValueEntries(entries, kTownPrefix, kFieldTownName, "", db::kMatchAny);
  list.rows_.reserve(entries.size());
  for (auto& e : entries)
    list.rows_.push_back({std::move(e.key), FoldForSearch(Cp866ToCp1251(e.value))});
  list.lines_.assign(list.rows_.size(), std::string());
  list.line_read_.assign(list.rows_.size(), false);
  return list;
}

TownList TownList::OfCountry(db::Database& towns, std::string_view country_name) {
  std::vector<std::string> keys;
  towns.FindByValue(keys, kTownPrefix, kFieldCountry, Cp1251ToCp866(country_name),
                    db::kMatchEqual);
  // The country index gives the towns by key; the list shows them as the name index
  // orders them: by the stored (866) name, then by key.
  struct Sorted {
    std::string order;
    TownRow row;
    std::string line;
  };
  std::vector<Sorted> sorted;
  db::FieldArray town;
  for (const auto& key : keys) {
    if (!db::ReadWithScript(towns, key, town).ok()) continue;
    sorted.push_back({Cp1251ToCp866(TrimRight(town[kFieldTownName])) + '\0' + key,
                      {key, FoldForSearch(town[kFieldTownName])}, TownListLine(town)});
  }
  std::sort(sorted.begin(), sorted.end(),
            [](const Sorted& a, const Sorted& b) { return a.order < b.order; });
  TownList list;
  list.towns_ = &towns;
  for (auto& s : sorted) {
    list.rows_.push_back(std::move(s.row));
    list.lines_.push_back(std::move(s.line));
  }
  list.line_read_.assign(list.rows_.size(), true);
  return list;
}

const std::string& TownList::Line(size_t i) const {
  if (!line_read_[i]) {
    line_read_[i] = true;
    db::FieldArray town;
    if (towns_ && db::ReadWithScript(*towns_, rows_[i].key, town).ok())
      lines_[i] = TownListLine(town);
  }
  return lines_[i];
}

int TownList::FindPrefix(std::string_view text) const {
  const std::string folded = FoldForSearch(text);
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].folded_name.compare(0, folded.size(), folded) == 0) return static_cast<int>(i);
  return -1;
}

int TownList::FindTyped(std::string_view text) const {
  const int first = FindPrefix(text);
  const std::string folded = FoldForSearch(text);
  if (first < 0 || rows_[first].folded_name != folded) return first;
  int best = first;
  long long most = -1;
  db::FieldArray town;
  for (size_t i = static_cast<size_t>(first); i < rows_.size(); ++i) {
    if (rows_[i].folded_name != folded || !towns_ ||
        !db::ReadWithScript(*towns_, rows_[i].key, town).ok())
      continue;
    const long long people = LeadingInteger(town[kFieldPopulation]);
    if (people > most) {
      most = people;
      best = static_cast<int>(i);
    }
  }
  return best;
}

std::string TownList::Counter(int selected) const {
  return std::to_string(selected < 0 ? 0 : selected + 1) + ":" + std::to_string(rows_.size());
}

std::vector<CountryRow> Countries(db::Database& towns) {
  std::vector<CountryRow> rows;
  std::vector<std::string> keys;
  towns.FindByValue(keys, kCountryPrefix, kFieldCountryName, "", db::kMatchAny);
  db::FieldArray country;
  for (const auto& key : keys) {
    if (!db::ReadWithScript(towns, key, country).ok()) continue;
    rows.push_back({key, TrimRight(country[kFieldCountryName]), CountryListLine(country)});
  }
  return rows;
}

std::vector<db::FieldArray> FindTowns(db::Database& towns, std::string_view text, size_t limit) {
  std::vector<Found> found = NameEntries(towns, text);
  struct Ranked {
    size_t order;
    bool exact;
    long long population;
    db::FieldArray record;
  };
  std::vector<Ranked> ranked;
  ranked.reserve(found.size());
  db::FieldArray town;
  for (size_t i = 0; i < found.size(); ++i) {
    if (!db::ReadWithScript(towns, found[i].entry.key, town).ok()) continue;
    ranked.push_back({i, found[i].exact, LeadingInteger(town[kFieldPopulation]), town});
  }
  std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    if (a.exact != b.exact) return a.exact;
    if (a.population != b.population) return a.population > b.population;
    return a.order < b.order;
  });
  std::vector<db::FieldArray> out;
  for (size_t i = 0; i < ranked.size() && i < limit; ++i) out.push_back(std::move(ranked[i].record));
  return out;
}

}  // namespace kv::towns

