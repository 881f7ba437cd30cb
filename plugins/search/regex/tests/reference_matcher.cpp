#include "plugins/search/regex/tests/reference_matcher.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace yk::regex_test {

namespace {

struct Item;
using Seq = std::vector<std::shared_ptr<Item>>;
using Alt = std::vector<Seq>;

struct Item {
  enum Kind { Byte, Any, Set, Group, Bol, Eol, WordEdge, NotWordEdge } kind = Byte;
  char byte = 0;
  bool set[256] = {};
  Alt alt;
  int min = 1, max = 1;
  bool lazy = false;
};

class Parser {
 public:
  explicit Parser(const std::string& p) : p_(p) {}
  Alt Parse() {
    Alt a = ParseAlt();
    if (i_ != p_.size()) throw std::invalid_argument("trailing");
    return a;
  }

 private:
  Alt ParseAlt() {
    Alt alt{ParseSeq()};
    while (i_ < p_.size() && p_[i_] == '|') {
      ++i_;
      alt.push_back(ParseSeq());
    }
    return alt;
  }
  Seq ParseSeq() {
    Seq seq;
    while (i_ < p_.size() && p_[i_] != '|' && p_[i_] != ')') {
      auto item = std::make_shared<Item>();
      const char c = p_[i_++];
      auto addRange = [&](int lo, int hi) {
        for (int v = lo; v <= hi; ++v) item->set[v] = true;
      };
      if (c == '.') {
        item->kind = Item::Any;
      } else if (c == '^') {
        item->kind = Item::Bol;
      } else if (c == '$') {
        item->kind = Item::Eol;
      } else if (c == '(') {
        item->kind = Item::Group;
        if (p_.compare(i_, 2, "?:") == 0) i_ += 2;
        item->alt = ParseAlt();
        if (i_ >= p_.size()) throw std::invalid_argument("open group");
        ++i_;
      } else if (c == '[') {
        item->kind = Item::Set;
        bool neg = false;
        if (i_ < p_.size() && p_[i_] == '^') neg = true, ++i_;
        bool first = true;
        while (i_ < p_.size() && (p_[i_] != ']' || first)) {
          first = false;
          const auto lo = static_cast<unsigned char>(p_[i_++]);
          if (i_ + 1 < p_.size() && p_[i_] == '-' && p_[i_ + 1] != ']') {
            addRange(lo, static_cast<unsigned char>(p_[i_ + 1]));
            i_ += 2;
          } else {
            addRange(lo, lo);
          }
        }
        if (i_ >= p_.size()) throw std::invalid_argument("open class");
        ++i_;
        if (neg) {
          for (bool& b : item->set) b = !b;
        }
      } else if (c == '\\') {
        if (i_ >= p_.size()) throw std::invalid_argument("trailing backslash");
        const char e = p_[i_++];
        item->kind = Item::Set;
        if (e == 'b' || e == 'B') {
          item->kind = e == 'b' ? Item::WordEdge : Item::NotWordEdge;
        } else if (e == 'd') {
          addRange('0', '9');
        } else if (e == 'w') {
          addRange('0', '9'), addRange('a', 'z'), addRange('A', 'Z'), addRange('_', '_');
        } else if (e == 's') {
          addRange(9, 13), addRange(' ', ' ');
        } else if (std::isalnum(static_cast<unsigned char>(e))) {
          throw std::invalid_argument("escape");
        } else {
          item->kind = Item::Byte;
          item->byte = e;
        }
      } else if (c == '*' || c == '+' || c == '?' || c == '{') {
        throw std::invalid_argument("quantifier");
      } else {
        item->byte = c;
      }
      if (i_ < p_.size()) {
        const char q = p_[i_];
        const std::size_t before = i_;
        if (q == '*')
          item->min = 0, item->max = -1, ++i_;
        else if (q == '+')
          item->min = 1, item->max = -1, ++i_;
        else if (q == '?')
          item->min = 0, item->max = 1, ++i_;
        else if (q == '{') {
          std::size_t j = i_ + 1;
          int lo = 0, hi = 0;
          while (j < p_.size() && std::isdigit(static_cast<unsigned char>(p_[j])))
            lo = lo * 10 + (p_[j++] - '0');
          if (j < p_.size() && p_[j] == ',') {
            ++j;
            if (j < p_.size() && p_[j] == '}')
              hi = -1;
            else
              while (j < p_.size() && std::isdigit(static_cast<unsigned char>(p_[j])))
                hi = hi * 10 + (p_[j++] - '0');
          } else {
            hi = lo;
          }
          if (j >= p_.size() || p_[j] != '}') throw std::invalid_argument("brace");
          item->min = lo, item->max = hi, i_ = j + 1;
        }
        if (i_ > before && i_ < p_.size() && p_[i_] == '?') item->lazy = true, ++i_;
      }
      seq.push_back(item);
    }
    return seq;
  }
  const std::string& p_;
  std::size_t i_ = 0;
};

using Cont = std::function<bool(std::size_t)>;

class Runner {
 public:
  explicit Runner(const std::string& t) : t_(t) {}

  bool MatchAlt(const Alt& alt, std::size_t pos, const Cont& k) {
    for (const Seq& s : alt) {
      if (MatchSeq(s, 0, pos, k)) return true;
    }
    return false;
  }

 private:
  bool MatchSeq(const Seq& s, std::size_t i, std::size_t pos, const Cont& k) {
    if (i == s.size()) return k(pos);
    const Item& item = *s[i];
    return Repeat(item, 0, pos, static_cast<std::size_t>(-1),
                  [&](std::size_t q) { return MatchSeq(s, i + 1, q, k); });
  }

  // Rounds of an item; below min every round counts, from min on an empty round ends the
  // repetition.
  bool Repeat(const Item& item, int count, std::size_t pos, std::size_t lastPos, const Cont& k) {
    const bool more = item.max < 0 || count < item.max;
    auto round = [&]() {
      return more &&
             Once(item, pos, [&](std::size_t q) { return Repeat(item, count + 1, q, pos, k); });
    };
    if (count < item.min) return round();
    if (pos == lastPos) return k(pos);
    if (item.lazy) return k(pos) || round();
    return round() || k(pos);
  }

  bool Once(const Item& item, std::size_t pos, const Cont& k) {
    switch (item.kind) {
      case Item::Byte:
        return pos < t_.size() && t_[pos] == item.byte && k(pos + 1);
      case Item::Any:
        return pos < t_.size() && t_[pos] != '\n' && k(pos + 1);
      case Item::Set:
        return pos < t_.size() && item.set[static_cast<unsigned char>(t_[pos])] && k(pos + 1);
      case Item::Bol:
        return pos == 0 && k(pos);
      case Item::Eol:
        return (pos == t_.size() || (pos + 1 == t_.size() && t_[pos] == '\n')) && k(pos);
      case Item::Group:
        return MatchAlt(item.alt, pos, k);
      case Item::WordEdge:
      case Item::NotWordEdge: {
        const bool edge = IsWord(pos - 1) != IsWord(pos);
        return edge == (item.kind == Item::WordEdge) && k(pos);
      }
    }
    return false;
  }

  bool IsWord(std::size_t pos) const {
    if (pos >= t_.size()) return false;  // also the position before the first byte
    const char c = t_[pos];
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  }

  const std::string& t_;
};

}  // namespace

std::optional<std::pair<std::size_t, std::size_t>> ReferenceSearch(const std::string& pattern,
                                                                   const std::string& text) {
  const Alt alt = Parser(pattern).Parse();
  Runner runner(text);
  for (std::size_t start = 0; start <= text.size(); ++start) {
    std::size_t end = 0;
    if (runner.MatchAlt(alt, start, [&](std::size_t q) {
          end = q;
          return true;
        })) {
      return std::make_pair(start, end);
    }
  }
  return std::nullopt;
}

}  // namespace yk::regex_test
