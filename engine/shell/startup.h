#pragma once

#include <string_view>

namespace velmo {

class Engine;

// The engine's version texts, shown to scripts and written to the error log.
inline constexpr const char* SystemVersion = "1.07";
inline constexpr const char* BuildVersion = "916";
inline constexpr const char* ScriptVersion = "1.15.228";

// The objects made when the main window is created: the plug-ins of `systemFolder` (a plug-in
// that cannot be loaded is left out and noted for the error log), the flashback surfaces (as many
// as the settings ask for) and a check that every surface exists. Returns the class name of an
// object that could not be made ("TSurface"), or nullptr.
const char* CreateEngineObjects(Engine& engine, std::string_view systemFolder);

// UM_STARTUP: the version and folder variables, memo[1..256] from the memo file, the record of
// read text, the error log's header, system\startup.scx opened, UM_RESUME posted. Folders are given with their trailing
// separator; the temp folder is where pictures taken out of archives go.
void StartEngine(Engine& engine, std::string_view programFolder, std::string_view tempFolder);

// The engine's part of UM_SHUTDOWN: memo[1..256] saved to the memo file and the record of read
// text to system\read.dat (a failure is logged), then the error log's end line.
void ShutdownEngine(Engine& engine);

} // namespace velmo
