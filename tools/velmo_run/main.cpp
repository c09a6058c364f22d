// velmo-run: plays a game folder without a window and prints what a player would have seen.
#include "tools/velmo_run/headless_run.h"
#include "tools/velmo_run/transcript.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* Usage =
    "usage: velmo-run [options] GAME_DIR\n"
    "  --choose N,N,...          entries to take at successive selections (counted from 0)\n"
    "  --errors continue|stop    answer to the question after a recoverable script error (default continue)\n"
    "  --max-lines N             stop after N scenario lines (default 100000000, 0 for no limit)\n"
    "  --vars                    print every variable at the end\n"
    "  --capture FILE            write the shown picture as a BMP file when the run ends\n"
    "  --frames DIR              write the shown picture after every @UpdateScreen and @Effect as DIR/0001.bmp, ...\n"
    "  --answers A,A,...         answers for boxes and dialogs in order: yes, no, ok, cancel, a bookmark number, or\n"
    "                            a text for a text-input box (default: each box's default button)\n"
    "  --actions A,A,...         the player's actions at successive waits: click, rclick, skipnext, erase, title,\n"
    "                            exit, load N, save N (the bookmark dialog with slot N chosen and 決定 pressed once,\n"
    "                            as the program's dialog does it: its boxes take the next answers)\n"
    "  --clock \"YYYY-MM-DD HH:MM:SS\"  the local time of the whole run (bookmark dates, capture names); default: the "
    "real time\n"
    "  --time                    start every line with the virtual time in milliseconds since the start\n"
    "  --no-device LIST          play as a machine without these devices: wave, midi, cd, mixer, movie\n"
    "                            (separated by commas)\n";

int BadUsage(const std::string& message) {
  std::fprintf(stderr, "velmo-run: %s\n%s", message.c_str(), Usage);
  return 2;
}

// The items of a comma-separated list ("" gives none).
std::vector<std::string> SplitList(std::string_view list) {
  std::vector<std::string> items;
  if (list.empty()) return items;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    items.emplace_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return items;
}

bool ParseUnsigned(std::string_view text, unsigned long long& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  errno = 0;
  value = std::strtoull(std::string(text).c_str(), nullptr, 10);
  return errno == 0;
}

// "YYYY-MM-DD HH:MM:SS" as a local time; false when it is not one.
bool ParseLocalTime(std::string_view text, velmo::LocalTime& time) {
  int used = 0;
  const std::string copy(text);
  if (std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &time.year, &time.month, &time.day, &time.hour,
                  &time.minute, &time.second, &used) != 6 ||
      static_cast<std::size_t>(used) != copy.size()) {
    return false;
  }
  return time.month >= 1 && time.month <= 12 && time.day >= 1 && time.day <= 31 && time.hour >= 0 && time.hour <= 23 &&
         time.minute >= 0 && time.minute <= 59 && time.second >= 0 && time.second <= 59;
}

} // namespace

int main(int argc, char** argv) {
  velmo::RunOptions options;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string_view& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string_view v;
    if (arg == "--vars") {
      options.printVariables = true;
    } else if (arg == "--errors") {
      if (!value(v) || (v != "continue" && v != "stop")) return BadUsage("--errors takes continue or stop");
      options.stopOnErrors = v == "stop";
    } else if (arg == "--max-lines") {
      unsigned long long n = 0;
      if (!value(v) || !ParseUnsigned(v, n)) return BadUsage("--max-lines takes a number");
      options.maxLines = n;
    } else if (arg == "--choose") {
      if (!value(v)) return BadUsage("--choose takes a list of entry numbers");
      for (std::size_t start = 0; start <= v.size();) {
        const std::size_t comma = std::min(v.find(',', start), v.size());
        unsigned long long n = 0;
        if (!ParseUnsigned(v.substr(start, comma - start), n) || n > 1000000)
          return BadUsage("--choose takes entry numbers separated by commas");
        options.choices.push_back(static_cast<int>(n));
        start = comma + 1;
      }
    } else if (arg == "--capture") {
      if (!value(v) || v.empty()) return BadUsage("--capture takes a file name");
      options.captureFile = v;
    } else if (arg == "--frames") {
      if (!value(v) || v.empty()) return BadUsage("--frames takes a folder");
      options.framesFolder = v;
    } else if (arg == "--answers") {
      if (!value(v)) return BadUsage("--answers takes a list of answers");
      for (const std::string& answer : SplitList(v)) {
        std::string sjis;
        if (!velmo::ShiftJisFromUtf8(answer, sjis)) return BadUsage("--answers: no Shift-JIS form for " + answer);
        options.answers.push_back(sjis);
      }
    } else if (arg == "--actions") {
      if (!value(v)) return BadUsage("--actions takes a list of actions");
      for (const std::string& action : SplitList(v)) {
        if (!velmo::IsPlayerAction(action)) return BadUsage("--actions: unknown action " + action);
        options.actions.push_back(action);
      }
    } else if (arg == "--clock") {
      velmo::LocalTime time{};
      if (!value(v) || !ParseLocalTime(v, time)) return BadUsage("--clock takes \"YYYY-MM-DD HH:MM:SS\"");
      options.localTime = time;
    } else if (arg == "--time") {
      options.printTime = true;
    } else if (arg == "--no-device") {
      if (!value(v)) return BadUsage("--no-device takes a list of devices");
      for (const std::string& device : SplitList(v)) {
        if (device != "wave" && device != "midi" && device != "cd" && device != "mixer" && device != "movie")
          return BadUsage("--no-device takes wave, midi, cd, mixer or movie, separated by commas");
        options.missingDevices.push_back(device);
      }
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(Usage, stdout);
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      return BadUsage("unknown option " + std::string(arg));
    } else if (folder.empty()) {
      folder = arg;
    } else {
      return BadUsage("only one game folder can be played");
    }
  }
  if (folder.empty()) return BadUsage("no game folder given");
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) return BadUsage("not a folder: " + folder);

  if (!options.framesFolder.empty()) {
    std::filesystem::create_directories(options.framesFolder, error);
    if (!std::filesystem::is_directory(options.framesFolder, error))
      return BadUsage("cannot make the frames folder " + options.framesFolder);
  }
  velmo::HeadlessRun run(folder, options, stdout);
  return velmo::HeadlessRun::ExitStatus(run.Run());
}
