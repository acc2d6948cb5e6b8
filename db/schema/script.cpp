#include "db/schema/script.h"

#include <cstdint>
#include <cstring>
#include <optional>

#include "common/case_map.h"
#include "common/codepage.h"
#include "common/journal.h"
#include "common/messages.h"
#include "common/tokens.h"
#include "db/records/record_store.h"
#include "db/schema/schema.h"

namespace kv::db {
namespace {

constexpr size_t kMaxAssignmentTokens = 10;

struct Context {
  Database& base;
  FieldArray& record;
  FieldArray work;
};

// The slot a variable token names, or nullptr.
std::string* Variable(Context& cx, std::string_view token) {
  if (token.size() < 2 || token.size() > 4) return nullptr;
  char c = token[0];
  FieldArray* array = nullptr;
  if (c == 'k' || c == 'K') array = &cx.record;
  else if (c == 'w' || c == 'W') array = &cx.work;
  else return nullptr;
  int n = 0;
  for (char d : token.substr(1)) {
    if (d < '0' || d > '9') return nullptr;
    n = n * 10 + (d - '0');
  }
  if (n > 255) return nullptr;
  return &(*array)[n];
}

bool IsLiteralStart(char c) {
  return std::strchr("*+,-./", c) != nullptr || (c >= '0' && c <= '9');
}

std::optional<std::string> Value(Context& cx, std::string_view token) {
  if (token.empty()) return std::nullopt;
  if (token[0] == '"') {
    std::string_view v = token.substr(1);
    if (!v.empty() && v.back() == '"') v.remove_suffix(1);
    return std::string(v);
  }
  if (IsLiteralStart(token[0])) return std::string(token);
  if (const std::string* slot = Variable(cx, token)) {
    if (slot->empty() || *slot == "(null)") return std::nullopt;
    return *slot;
  }
  return std::nullopt;
}

std::string TextOf(Context& cx, std::string_view token) { return Value(cx, token).value_or(""); }

// Leading decimal integer of a text, saturated to 32 bits.
int32_t Number(std::string_view text) {
  long v = ReadInt(text);
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Arithmetic wraps as 32-bit integers do, without undefined behaviour.
int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

bool IsBlankText(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

bool Condition(Context& cx, const std::vector<std::string>& t) {
  bool result = false;
  size_t i = 1;
  std::string connector = "|";
  while (i + 3 <= t.size()) {
    std::string a = TextOf(cx, t[i]);
    const std::string& cmp = t[i + 1];
    std::string b = TextOf(cx, t[i + 2]);
    bool group = cmp == "==" ? a == b : cmp == "!==" ? a != b : false;
    if (connector[0] == '|') result = result || group;
    else if (connector[0] == '&') result = result && group;
    i += 3;
    if (i >= t.size()) break;
    connector = t[i];
    ++i;
  }
  return result;
}

void Assign(Context& cx, const std::vector<std::string>& t) {
  if (t.size() < 3) return;
  std::string* target = Variable(cx, t[0]);
  const std::string& op_token = t[1];
  char op = LowerOem(op_token[0]);
  char modifier = op_token.size() > 1 ? op_token[1] : '\0';
  std::vector<std::optional<std::string>> operands;
  for (size_t i = 2; i < t.size() && i < kMaxAssignmentTokens; ++i) operands.push_back(Value(cx, t[i]));
  auto text = [&](size_t i) { return i < operands.size() ? operands[i].value_or("") : std::string(); };
  std::optional<std::string> result;
  switch (op) {
    case '=':
      result = operands[0];
      break;
    case '!':
      for (auto& o : operands)
        if (o && !IsBlankText(*o)) {
          result = o;
          break;
        }
      break;
    case '&': {
      std::string separator = op_token.size() == 1 ? " " : modifier == '\x01' ? "" : op_token.substr(1);
      std::string joined;
      bool any = false;
      for (auto& o : operands) {
        if (!o || IsBlankText(*o)) continue;
        if (any) joined += separator;
        joined += *o;
        any = true;
      }
      if (any) result = joined;
      break;
    }
    case '+': {
      int64_t sum = modifier == '=' && target ? Number(*target) : 0;
      for (size_t i = 0; i < operands.size(); ++i) sum = Wrap(sum + Number(text(i)));
      result = std::to_string(Wrap(sum));
      break;
    }
    case '-': {
      int64_t v = Number(text(0));
      for (size_t i = 1; i < operands.size(); ++i) v = Wrap(v - Number(text(i)));
      result = std::to_string(Wrap(v));
      break;
    }
    case '*': {
      int64_t v = 1;
      for (size_t i = 0; i < operands.size(); ++i) v = Wrap(v * Number(text(i)));
      result = std::to_string(Wrap(v));
      break;
    }
    case '/': {
      int64_t a = Number(text(0));
      int64_t b = operands.size() >= 2 ? Number(text(1)) : 0;
      result = std::to_string(b == 0 ? 0 : Wrap(a / b));
      break;
    }
    case 'b': {
      std::string s = text(0);
      UpperAnsi(s);
      result = s;
      break;
    }
    case 'g': {
      std::string key;
      if (cx.base.NextFreeKey(&key, text(0)).ok()) result = key;
      break;
    }
    case 'w':
      result = modifier == '+' ? Cp1251ToCp866(text(0)) : Cp866ToCp1251(text(0));
      break;
    default:
      break;
  }
  if (!target) return;
  if (result) *target = TrimRight(*result);
  else target->clear();
}

}  // namespace

Status RunScript(Database& base, const std::vector<std::string>& lines, FieldArray& record) {
  if (lines.empty()) return Status::Ok();
  Context cx{base, record, {}};
  for (size_t li = 0; li < lines.size(); ++li) {
    std::vector<std::string> t = Tokens(lines[li]);
    if (t.empty()) continue;
    const std::string& first = t[0];
    if (first == "if") {
      if (!Condition(cx, t)) ++li;
      continue;
    }
    std::optional<std::string> a = t.size() > 1 ? Value(cx, t[1]) : std::nullopt;
    if (first == "err") {
      if (a) Warning(Cp866ToCp1251(*a));
      return Status::Cancelled("refused by the script");
    }
    if (first == "ret") return Status::Ok();
    // The commands go on whatever the store answers: a record that is not there
    // reads as empty fields, as the scripts expect.
    if (first == "wrjur") {
      JournalText(a.value_or(""));
    } else if (first == "read") {
      (void)base.Read(a.value_or(""), cx.work);
    } else if (first == "write") {
      if (a) (void)base.Write(*a, cx.work);
    } else if (first == "delete") {
      if (a) (void)base.Delete(*a);
    } else if (first == "indread") {
      if (t.size() < 4) continue;
      std::string key;
      (void)base.FindFirstByValue(a.value_or(""), Number(t[2]), TextOf(cx, t[3]), &key);
      (void)base.Read(key, cx.work);
    } else {
      Assign(cx, t);
    }
  }
  return Status::Ok();
}

Status ReadWithScript(Database& base, std::string_view key, FieldArray& record) {
  if (Status read = base.Read(key, record); !read.ok()) return read;
  const Table* table = TableOfKey(key);
  return table ? RunScript(base, table->read_script, record) : Status::Ok();
}

Status WriteWithScript(Database& base, std::string_view key, FieldArray& record) {
  const Table* table = TableOfKey(key);
  if (table) {
    if (Status go_on = RunScript(base, table->write_script, record); !go_on.ok()) return go_on;
  }
  return base.Write(key, record);
}

Status DeleteWithScript(Database& base, std::string_view key, FieldArray& record) {
  const Table* table = TableOfKey(key);
  if (table) {
    if (Status go_on = RunScript(base, table->delete_script, record); !go_on.ok()) return go_on;
  }
  return base.Delete(key);
}

}  // namespace kv::db
