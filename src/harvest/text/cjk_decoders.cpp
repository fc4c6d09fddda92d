#include "harvest/text/cjk_decoders.h"

#include <cstdint>

#include "harvest/text/charset_tables.h"

namespace pelmoa {
namespace {

bool InRange(std::uint8_t b, std::uint8_t from, std::uint8_t to) { return b >= from && b <= to; }

std::uint8_t At(std::string_view s, std::size_t i) { return static_cast<std::uint8_t>(s[i]); }

// Appends a table's character, and says whether there was one (0: none).
bool AppendFound(std::string& out, char32_t c) {
  if (c != 0) AppendUtf8(out, c);
  return c != 0;
}

// Copies the run of ASCII bytes from i on and returns where it ends.
std::size_t CopyAscii(std::string_view in, std::size_t i, std::string& out) {
  std::size_t end = i;
  while (end < in.size() && At(in, end) < 0x80) ++end;
  out.append(in.data() + i, end - i);
  return end;
}

// The shape Shift_JIS, EUC-KR and Big5 share: ASCII, a few single bytes, and pairs of a lead
// byte and a trail byte. single(b) is the character of a byte b ≥ 0x80 that is no lead byte
// (0: none); pair(lead, trail, out) appends the pair's characters and says whether it had any.
template <typename IsLead, typename Single, typename Pair>
std::string DecodePairs(std::string_view in, IsLead is_lead, Single single, Pair pair) {
  std::string out;
  out.reserve(in.size() + in.size() / 2);
  std::size_t i = 0;
  while ((i = CopyAscii(in, i, out)) < in.size()) {
    const std::uint8_t b = At(in, i++);
    if (!is_lead(b)) {
      const char32_t c = single(b);
      AppendUtf8(out, c != 0 ? c : kReplacementCharacter);
      continue;
    }
    if (i == in.size()) {
      AppendUtf8(out, kReplacementCharacter);
      break;
    }
    const std::uint8_t trail = At(in, i);
    if (pair(b, trail, out)) {
      ++i;
      continue;
    }
    AppendUtf8(out, kReplacementCharacter);
    if (trail >= 0x80) ++i;  // an ASCII byte is read again as itself
  }
  return out;
}

}  // namespace

std::string DecodeShiftJis(std::string_view in) {
  const std::vector<char32_t>& index = Jis0208Index();
  return DecodePairs(
      in, [](std::uint8_t b) { return InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, 0xFC); },
      [](std::uint8_t b) -> char32_t {
        if (b == 0x80) return 0x80;
        return InRange(b, 0xA1, 0xDF) ? 0xFF61 - 0xA1 + b : 0;
      },
      [&index](std::uint8_t lead, std::uint8_t trail, std::string& out) {
        if (!InRange(trail, 0x40, 0x7E) && !InRange(trail, 0x80, 0xFC)) return false;
        const std::size_t pointer =
            (lead - (lead < 0xA0 ? 0x81 : 0xC1)) * 188 + trail - (trail < 0x7F ? 0x40 : 0x41);
        // The user-defined area maps to the private-use characters.
        return AppendFound(
            out, pointer >= 8836 && pointer <= 10715 ? 0xE000 - 8836 + pointer : index[pointer]);
      });
}

std::string DecodeEucKr(std::string_view in) {
  const std::vector<char32_t>& index = EucKrIndex();
  return DecodePairs(
      in, [](std::uint8_t b) { return InRange(b, 0x81, 0xFE); },
      [](std::uint8_t) -> char32_t { return 0; },
      [&index](std::uint8_t lead, std::uint8_t trail, std::string& out) {
        if (!InRange(trail, 0x41, 0xFE)) return false;
        return AppendFound(out, index[(lead - 0x81) * 190 + trail - 0x41]);
      });
}

std::string DecodeBig5(std::string_view in) {
  const std::vector<char32_t>& index = Big5Index();
  return DecodePairs(
      in, [](std::uint8_t b) { return InRange(b, 0x81, 0xFE); },
      [](std::uint8_t) -> char32_t { return 0; },
      [&index](std::uint8_t lead, std::uint8_t trail, std::string& out) {
        if (!InRange(trail, 0x40, 0x7E) && !InRange(trail, 0xA1, 0xFE)) return false;
        const std::size_t pointer = (lead - 0x81) * 157 + trail - (trail < 0x7F ? 0x40 : 0x62);
        // Four pointers are a letter with a combining mark.
        if (pointer == 1133 || pointer == 1135 || pointer == 1164 || pointer == 1166) {
          AppendUtf8(out, pointer < 1164 ? 0x00CA : 0x00EA);
          AppendUtf8(out, pointer == 1133 || pointer == 1164 ? 0x0304 : 0x030C);
          return true;
        }
        return AppendFound(out, index[pointer]);
      });
}

std::string DecodeGb18030(std::string_view in) {
  const std::vector<char32_t>& two = Gb18030Index();
  std::string out;
  out.reserve(in.size() + in.size() / 2);
  std::size_t i = 0;
  while ((i = CopyAscii(in, i, out)) < in.size()) {
    const std::uint8_t first = At(in, i++);
    if (!InRange(first, 0x80, 0xFE)) {
      AppendUtf8(out, kReplacementCharacter);
      continue;
    }
    if (first == 0x80) {
      AppendUtf8(out, 0x20AC);
      continue;
    }
    // An unfinished sequence at the end is one U+FFFD, whatever it holds.
    if (i == in.size()) {
      AppendUtf8(out, kReplacementCharacter);
      break;
    }
    const std::uint8_t second = At(in, i);
    if (!InRange(second, 0x30, 0x39)) {
      char32_t c = 0;
      if (InRange(second, 0x40, 0x7E) || InRange(second, 0x80, 0xFE)) {
        c = two[(first - 0x81) * 190 + second - (second < 0x7F ? 0x40 : 0x41)];
      }
      AppendUtf8(out, c != 0 ? c : kReplacementCharacter);
      if (c != 0 || second >= 0x80) ++i;  // an ASCII byte is read again as itself
      continue;
    }
    // Four bytes: first, a digit, a byte from 0x81, a digit. Where the third or the fourth
    // does not fit, the bytes after the first are read again.
    const bool third_fits = i + 1 < in.size() && InRange(At(in, i + 1), 0x81, 0xFE);
    const bool fourth_fits = third_fits && i + 2 < in.size() && InRange(At(in, i + 2), 0x30, 0x39);
    if (!fourth_fits) {
      AppendUtf8(out, kReplacementCharacter);
      if (i + (third_fits ? 2 : 1) == in.size()) break;
      continue;
    }
    const std::uint8_t third = At(in, i + 1);
    const std::uint8_t fourth = At(in, i + 2);
    i += 3;
    const std::size_t pointer =
        ((first - 0x81) * 10 + second - 0x30) * 1260 + (third - 0x81) * 10 + fourth - 0x30;
    char32_t c = 0;
    if (pointer == 7457) {
      c = 0xE7C7;
    } else if (pointer < Gb18030FourByteIndex().size()) {
      c = Gb18030FourByteIndex()[pointer];
    } else if (pointer >= 189000 && pointer <= 1237575) {
      c = 0x10000 + pointer - 189000;
    }
    AppendUtf8(out, c != 0 ? c : kReplacementCharacter);
  }
  return out;
}

std::string DecodeEucJp(std::string_view in) {
  const std::vector<char32_t>& jis0208 = Jis0208Index();
  std::string out;
  out.reserve(in.size() + in.size() / 2);
  std::size_t i = 0;
  while ((i = CopyAscii(in, i, out)) < in.size()) {
    std::uint8_t lead = At(in, i++);
    bool jis0212 = false;
    if (lead == 0x8F && i < in.size() && InRange(At(in, i), 0xA1, 0xFE)) {
      jis0212 = true;
      lead = At(in, i++);
    } else if (lead != 0x8E && lead != 0x8F && !InRange(lead, 0xA1, 0xFE)) {
      AppendUtf8(out, kReplacementCharacter);
      continue;
    }
    if (i == in.size()) {
      AppendUtf8(out, kReplacementCharacter);
      break;
    }
    const std::uint8_t trail = At(in, i);
    char32_t c = 0;
    if (lead == 0x8E && InRange(trail, 0xA1, 0xDF)) {
      c = 0xFF61 - 0xA1 + trail;
    } else if (InRange(lead, 0xA1, 0xFE) && InRange(trail, 0xA1, 0xFE)) {
      const std::size_t pointer = (lead - 0xA1) * 94 + trail - 0xA1;
      if (!jis0212) {
        c = jis0208[pointer];
      } else if (pointer < Jis0212Index().size()) {
        c = Jis0212Index()[pointer];
      }
    }
    AppendUtf8(out, c != 0 ? c : kReplacementCharacter);
    if (c != 0 || trail >= 0x80) ++i;  // an ASCII byte is read again as itself
  }
  return out;
}

std::string DecodeIso2022Jp(std::string_view in) {
  enum class State { kAscii, kRoman, kKatakana, kLeadByte, kTrailByte, kEscapeStart, kEscape };
  const std::vector<char32_t>& jis0208 = Jis0208Index();
  State state = State::kAscii;
  State output_state = State::kAscii;
  std::uint8_t lead = 0;
  // Set right after an escape sequence: two in a row (nothing between) are an error.
  bool output = false;
  std::string out;
  out.reserve(in.size());
  const auto error = [&out] { AppendUtf8(out, kReplacementCharacter); };
  // Past the end, one more round lets a pending state say its error; "reading again" steps
  // i back, and never past a byte that was already read twice.
  for (std::size_t i = 0; i <= in.size() + 1;) {
    const bool end = i >= in.size();
    const std::uint8_t b = end ? 0 : At(in, i);
    ++i;
    switch (state) {
      case State::kAscii:
      case State::kRoman:
      case State::kKatakana:
      case State::kLeadByte:
        if (end) return out;
        if (b == 0x1B) {
          state = State::kEscapeStart;
          break;
        }
        output = false;
        if (state == State::kLeadByte) {
          if (InRange(b, 0x21, 0x7E)) {
            lead = b;
            state = State::kTrailByte;
          } else {
            error();
          }
        } else if (state == State::kKatakana) {
          InRange(b, 0x21, 0x5F) ? AppendUtf8(out, 0xFF61 - 0x21 + b) : error();
        } else if (b >= 0x80 || b == 0x0E || b == 0x0F) {
          error();
        } else if (state == State::kRoman && (b == 0x5C || b == 0x7E)) {
          AppendUtf8(out, b == 0x5C ? 0x00A5 : 0x203E);
        } else {
          out += static_cast<char>(b);
        }
        break;
      case State::kTrailByte:
        if (b == 0x1B && !end) {
          state = State::kEscapeStart;
          error();
          break;
        }
        state = State::kLeadByte;
        if (!end && InRange(b, 0x21, 0x7E)) {
          const char32_t c = jis0208[(lead - 0x21) * 94 + b - 0x21];
          c != 0 ? AppendUtf8(out, c) : error();
        } else {
          error();
        }
        break;
      case State::kEscapeStart:
        if (!end && (b == 0x24 || b == 0x28)) {
          lead = b;
          state = State::kEscape;
          break;
        }
        --i;  // the byte is read again
        output = false;
        state = output_state;
        error();
        break;
      case State::kEscape: {
        State next = State::kEscape;
        if (lead == 0x28 && b == 0x42) next = State::kAscii;
        if (lead == 0x28 && b == 0x4A) next = State::kRoman;
        if (lead == 0x28 && b == 0x49) next = State::kKatakana;
        if (lead == 0x24 && (b == 0x40 || b == 0x42)) next = State::kLeadByte;
        lead = 0;
        if (next != State::kEscape && !end) {
          state = output_state = next;
          if (output) error();
          output = true;
          break;
        }
        i -= 2;  // the '$' or '(' and this byte are read again
        output = false;
        state = output_state;
        error();
        break;
      }
    }
  }
  return out;
}

}  // namespace pelmoa
