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

std::string BoxTranscriptText(std::string_view sjis) {
  std::string text;
  for (std::size_t start = 0;;) {
    const std::size_t end = sjis.find('\n', start);
    std::string_view line = sjis.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    text += TranscriptText(line);
    if (end == std::string_view::npos) return text;
    text += "\\n";
    start = end + 1;
  }
}

bool ShiftJisFromUtf8(std::string_view utf8, std::string& sjis) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in(utf8);
  std::string out(in.size() * 2 + 1, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  const bool converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!converted) return false;
  sjis.assign(out.data(), static_cast<std::size_t>(outPtr - out.data()));
  return true;
}

} // namespace velmo
