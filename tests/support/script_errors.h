#pragma once

#include "engine/base/errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

namespace velmo {

// Runs `action` and returns the script error it raised; records a failure when it raised none.
template <typename Action> TBaseException RaisedError(Action action) {
  try {
    action();
  } catch (const TBaseException& e) {
    return e;
  }
  ADD_FAILURE() << "no script error was raised";
  return TBaseException(false, ErrOK, "");
}

// What an action raised, as "fatal <code> <info>" or "error <code> <info>"; "" for nothing.
inline std::string Raised(const std::function<void()>& action) {
  try {
    action();
  } catch (const TBaseException& e) {
    return (e.fatal ? "fatal " : "error ") + std::to_string(e.code) + " " + e.info;
  }
  return "";
}
inline std::string Fatal(std::int32_t code, const std::string& info) {
  return "fatal " + std::to_string(code) + " " + info;
}
inline std::string Error(std::int32_t code, const std::string& info) {
  return "error " + std::to_string(code) + " " + info;
}

} // namespace velmo
