// The case-ignoring comparison, and the list that finds texts through an index of sort keys,
// cross-checked against a plain scan with the comparison over many random texts: the index
// must never hide a text the comparison calls the same, nor change which one comes first.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/CaseIgnoring.h"

namespace {

using platform::CaseIgnoringList;
using platform::SameTextIgnoringCase;

std::string Shown(const std::string& text) { return testing::PrintToString(text); }

TEST(SameTextIgnoringCase, IgnoresLetterCaseAsTheLocaleDefinesItAndNothingElse) {
  const struct {
    std::string a, b;
    bool same;
  } rows[] = {
      {"Song", "sONG", true},
      {"ａｂｃの歌", "ＡｂＣの歌", true},  // full-width letters
      {"ΑΒΓ", "αβγ", true},                // Greek
      {"Дом", "ДОМ", true},                // Cyrillic
      {"", "", true},
      {"abcの歌", "ａｂｃの歌", false},  // width counts
      {"ソング", "そんぐ", false},       // kana kind counts
      {"ソング", "ｿﾝｸﾞ", false},
      {"Song", "Songs", false},
      {"Song", "", false},
      // The whole of both texts counts, the part after a NUL included.
      {std::string("A\0B", 3), std::string("a\0b", 3), true},
      {std::string("A\0B", 3), std::string("A\0C", 3), false},
      {std::string("A\0B", 3), "A", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(SameTextIgnoringCase(row.a, row.b), row.same) << Shown(row.a) << " " << Shown(row.b);
    EXPECT_EQ(SameTextIgnoringCase(row.b, row.a), row.same) << Shown(row.b) << " " << Shown(row.a);
  }
}

// A plain model of the list: the texts in order and a scan with the comparison.
struct ModelList {
  std::vector<std::string> texts;
  int IndexOf(const std::string& text) const {
    for (size_t i = 0; i < texts.size(); ++i)
      if (SameTextIgnoringCase(text, texts[i])) return static_cast<int>(i);
    return -1;
  }
};

// Deterministic pseudo-random numbers.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<uint32_t>(state_ >> 16);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint64_t state_;
};

// Units of text in Shift-JIS, each with a partner that differs in case only (or itself).
struct Unit {
  std::string text;
  std::string partner;
};

std::vector<Unit> Units() {
  std::vector<Unit> units;
  auto pair = [&](std::string a, std::string b) {
    units.push_back({a, b});
    units.push_back({b, a});
  };
  auto single = [&](std::string a) { units.push_back({a, a}); };
  for (char c = 'A'; c <= 'Z'; ++c) pair(std::string(1, c), std::string(1, c + 32));
  for (char c = '0'; c <= '9'; ++c) single(std::string(1, c));
  for (char c : std::string(" !\"#$%&'()*+,-./:;<>?@[\\]^_`{|}~")) single(std::string(1, c));
  for (const char* control : {"\t", "\x01", "\x02", "\x1B", "\x1F", "\x7F", "\r", "\n"})
    single(control);
  // Full-width letters, Greek and Cyrillic (case pairs), full-width digits and signs.
  pair("Ａ", "ａ");
  pair("Ｂ", "ｂ");
  pair("Ｚ", "ｚ");
  pair("Α", "α");
  pair("Ω", "ω");
  pair("Д", "д");
  pair("Я", "я");
  pair("\x87\x54", "\xFA\x40");  // Roman numeral one (NEC) and small roman one (IBM)
  for (const char* s : {"０", "９", "　", "！", "＝", "（", "ー", "・", "①", "※", "〒"}) single(s);
  // Hiragana, katakana (with small and voiced forms), half-width katakana.
  for (const char* s : {"あ", "ぁ", "か", "が", "ぱ", "ん", "ア", "ァ", "カ", "ガ", "パ", "ヴ",
                        "ン", "ヵ", "ゝ", "ヽ", "゛", "゜"})
    single(s);
  for (const char* s : {"ｱ", "ｧ", "ｶ", "ﾞ", "ﾟ", "ﾊ", "ｰ", "ｯ", "｡"}) single(s);
  // Kanji, some with 0x5C as their second byte.
  for (const char* s : {"亜", "表", "能", "十", "ソ", "歌", "曲", "唖", "熙"}) single(s);
  // Bytes that form no valid or no mapped character, alone or with what follows.
  for (const char* s : {"\x81", "\x82", "\x80", "\xA0", "\xFD", "\xFF", "\x85\x40"}) single(s);
  return units;
}

// Any double-byte code from the rows of symbols, digits, Latin, kana, Greek and Cyrillic,
// the NEC special row, and the IBM extension rows (some of which repeat other codes'
// characters, and some of which are unassigned and convert to the default character).
std::string RandomDoubleByte(Random& random) {
  static const unsigned char leads[] = {0x81, 0x82, 0x83, 0x84, 0x87, 0x88, 0x95,
                                        0xEA, 0xED, 0xEE, 0xFA, 0xFB, 0xFC};
  unsigned char lead = leads[random.Below(sizeof leads)];
  unsigned char trail = static_cast<unsigned char>(0x40 + random.Below(0xFD - 0x40));
  return std::string{static_cast<char>(lead), static_cast<char>(trail)};
}

std::string CaseMapped(const std::string& text, DWORD flag) {
  if (text.empty()) return text;
  std::string mapped(text.size() * 2 + 8, '\0');
  int length = LCMapStringA(LOCALE_USER_DEFAULT, flag, text.data(), static_cast<int>(text.size()),
                            mapped.data(), static_cast<int>(mapped.size()));
  mapped.resize(length > 0 ? length : 0);
  return mapped;
}

std::string RandomText(Random& random, const std::vector<Unit>& units, std::string* variant) {
  int length = random.Below(7);
  std::string text;
  for (int k = 0; k < length; ++k) {
    if (random.Below(4) == 0) {
      std::string c = RandomDoubleByte(random);
      text += c;
      if (variant) *variant += c;
      continue;
    }
    const Unit& unit = units[random.Below(static_cast<int>(units.size()))];
    text += unit.text;
    if (variant) *variant += random.Below(2) ? unit.partner : unit.text;
  }
  return text;
}

// Texts in groups that differ in case only, plus unrelated ones; now and then a group of long
// texts, whose sort keys do not fit the first buffer the list tries.
std::vector<std::string> RandomTexts(uint64_t seed, int count) {
  Random random(seed);
  const std::vector<Unit> units = Units();
  std::vector<std::string> texts;
  while (static_cast<int>(texts.size()) < count) {
    std::string variant;
    std::string text = RandomText(random, units, &variant);
    if (random.Below(32) == 0) {
      std::string longText, longVariant;
      for (int k = 0; k < 150; ++k) {
        longText += text;
        longVariant += variant;
      }
      text = longText;
      variant = longVariant;
    }
    texts.push_back(text);
    texts.push_back(variant);
    switch (random.Below(4)) {  // the locale's own upper and lower case of the whole text
      case 0:
        texts.push_back(CaseMapped(variant, LCMAP_UPPERCASE));
        break;
      case 1:
        texts.push_back(CaseMapped(variant, LCMAP_LOWERCASE));
        break;
      default:
        break;
    }
    if (random.Below(8) == 0) texts.push_back(texts.back() + std::string(1, '\0') + "tail");
  }
  texts.push_back("");
  return texts;
}

// Every text finds exactly the texts it compares the same to, those of other bytes (case, a
// NUL the comparison passes over) included: the index must never hide one.
TEST(CaseIgnoringList, EachTextFindsExactlyTheTextsThatCompareTheSame) {
  const std::vector<std::string> texts = RandomTexts(1, 400);
  int distinctSamePairs = 0;
  for (const std::string& stored : texts) {
    CaseIgnoringList list;
    list.Add(stored);
    for (const std::string& query : texts) {
      bool same = SameTextIgnoringCase(query, stored);
      distinctSamePairs += same && stored != query;
      ASSERT_EQ(list.IndexOf(query), same ? 0 : -1) << Shown(stored) << " " << Shown(query);
    }
  }
  // The set must hold many texts that are the same without being the same bytes.
  EXPECT_GT(distinctSamePairs, static_cast<int>(texts.size()) / 2);
}

TEST(CaseIgnoringList, LookupsAgreeWithALinearScan) {
  for (uint64_t seed : {2, 3, 4}) {
    const std::vector<std::string> texts = RandomTexts(seed, 600);
    CaseIgnoringList list;
    ModelList model;
    for (const std::string& text : texts) {
      ASSERT_EQ(list.AddNew(text), model.IndexOf(text) < 0) << Shown(text);
      if (model.IndexOf(text) < 0) model.texts.push_back(text);
    }
    ASSERT_EQ(list.Texts(), model.texts);
    Random random(seed + 100);
    const std::vector<Unit> units = Units();
    for (const std::string& query : RandomTexts(seed + 10, 600)) {
      ASSERT_EQ(list.IndexOf(query), model.IndexOf(query)) << Shown(query);
      std::string other = RandomText(random, units, nullptr);
      ASSERT_EQ(list.IndexOf(other), model.IndexOf(other)) << Shown(other);
    }
  }
}

// Adding texts the same as earlier ones, replacing, deleting, copying and clearing: the first
// text found is always the model's.
TEST(CaseIgnoringList, RandomChangesAgreeWithALinearScan) {
  Random random(7);
  const std::vector<std::string> texts = RandomTexts(8, 300);
  CaseIgnoringList list, copy;
  ModelList model;
  for (int step = 0; step < 6000; ++step) {
    const std::string& text = texts[random.Below(static_cast<int>(texts.size()))];
    const int count = static_cast<int>(model.texts.size());
    switch (random.Below(10)) {
      case 0:
        if (count > 0) {
          int i = random.Below(count);
          list.Delete(i);
          model.texts.erase(model.texts.begin() + i);
        }
        break;
      case 1:
        if (count > 0) {
          int i = random.Below(count);
          list.Replace(i, text);
          model.texts[i] = text;
        }
        break;
      case 2:
        list.Add(text);
        model.texts.push_back(text);
        break;
      case 3:
        if (random.Below(20) == 0) {
          copy = list;
          list.Clear();
          ASSERT_EQ(list.IndexOf(text), -1);
          list = copy;
        }
        break;
      default: {  // the same text takes the new spelling in place, or is appended
        int i = model.IndexOf(text);
        if (i < 0)
          model.texts.push_back(text);
        else
          model.texts[i] = text;
        i = list.IndexOf(text);
        if (i < 0)
          list.Add(text);
        else
          list.Replace(i, text);
        break;
      }
    }
    ASSERT_EQ(list.IndexOf(text), model.IndexOf(text)) << step << " " << Shown(text);
    if (step % 500 == 0) {
      ASSERT_EQ(list.Texts(), model.texts) << step;
      for (const std::string& t : texts)
        ASSERT_EQ(list.IndexOf(t), model.IndexOf(t)) << step << " " << Shown(t);
    }
  }
  EXPECT_EQ(list.Texts(), model.texts);
}

}  // namespace
