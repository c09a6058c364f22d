#include "tools/velmo_run/transcript.h"

#include "engine/base/sjis.h"

#include <iconv.h>

namespace velmo {

namespace {

// The backslash form of each escape byte 0x01-0x0E.
constexpr const char* EscapeForms[] = {"\\n", "\\c", "\\w", "\\(",  "\\)",  "\\[", "\\]",
                                       "\\+", "\\-", "\\x", "\\\\", "\\\"", "\\$", "\\,"};

class Converter {
public:
  Converter() : cd(iconv_open("UTF-8", "CP932")) {}
  ~Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // One character (one or two bytes) to UTF-8, or "?" when it has none.
  std::string Convert(std::string_view character) {
    if (cd == reinterpret_cast<iconv_t>(-1)) return "?";
    char in[2];
    character.copy(in, character.size());
    char out[16];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = character.size();
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) return "?";
    return std::string(out, static_cast<std::size_t>(outPtr - out));
  }

private:
  iconv_t cd;
};

} // namespace

std::string TranscriptText(std::string_view sjis) {
  static Converter converter;
  std::string utf8;
  for (std::size_t i = 0; i < sjis.size();) {
    const auto c = static_cast<unsigned char>(sjis[i]);
    if (c >= 0x01 && c <= 0x0E) {
      utf8 += EscapeForms[c - 1];
      ++i;
    } else if (c < 0x80) {
      utf8 += static_cast<char>(c);
      ++i;
    } else {
      const std::size_t length = CharLength(sjis.substr(i));
      utf8 += converter.Convert(sjis.substr(i, length));
      i += length;
    }
  }
  return utf8;
}

} // namespace velmo
