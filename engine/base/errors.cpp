#include "engine/base/errors.h"

#include "engine/base/sjis.h"
#include "engine/resources/string_table.h"

#include <cstring>

namespace velmo {

TBaseException::TBaseException(bool isFatal, std::int32_t errorCode, std::string_view infoText)
    : fatal(isFatal), code(errorCode), info{} {
  std::string_view kept = CutAtCharBoundary(infoText, InfoSize - 1);
  std::memcpy(info, kept.data(), kept.size());
}

void ThrowError(std::int32_t code, std::string_view info) { throw TException(code, info); }

void ThrowFatal(std::int32_t code, std::string_view info) { throw TFatalException(code, info); }

const char* ErrorDescription(std::int32_t code) {
  if (code == -1) return LoadStringText(65535);
  if (code < 0 || code > 65535) return "";
  return LoadStringText(static_cast<std::uint32_t>(code));
}

} // namespace velmo
