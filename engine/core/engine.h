#pragma once

#include "engine/base/run_control.h"
#include "engine/core/settings.h"
#include "engine/platform/platform.h"

#include <memory>
#include <string>

namespace velmo {

class CommandTable;
class IMediaChannels;
class IMessageWindow;
class IScriptObserver;
class ISelection;
class ITransitionRunner;
class MediaSet;
class MessageWindow;
class SaveData;
class Screen;
class ScriptDoor;
class ScriptState;
class Selection;
struct Platform;
struct PictureSource;
struct PluginSet;

// Stand-ins a test or a tool puts in place of the engine's own subsystems, fixed when the engine
// is made. Each that is null is the engine's own.
struct EngineSeams {
  IScriptObserver* observer = nullptr;
  IMessageWindow* messageWindow = nullptr;
  ISelection* selection = nullptr;
  IMediaChannels* media = nullptr;
  ITransitionRunner* transition = nullptr;
};

// One running engine: the composition root that owns the engine's parts and hands each the
// services it needs. The program owns one; each test makes its own. Leaf code takes only the part
// it needs; the command handlers, the frame driver and start-up and shutdown see the whole engine.
// The parts are made with the engine and live as long as it does; this header names them only,
// so that what includes it does not take in every subsystem: code that uses a part includes the
// part's own header.
class Engine {
public:
  Engine(Platform& platformServices, const CommandTable& commandTable, EngineSeams seams = {});
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // The subsystems as the interpreter and the shell reach them: a stand-in fixed at construction,
  // or the engine's own.
  IMessageWindow& Messages();
  ISelection& Choices();
  ITransitionRunner& Transition();
  IMediaChannels& Media();
  IScriptObserver* Observer() { return seams.observer; }

  // Where pictures come from: the game's files, the picture plug-ins and the temp folder.
  PictureSource Pictures();

  Platform& platform;
  const CommandTable& commands;
  RunControl run;
  Settings settings;
  std::string tempFolder; // the folder for files taken out of archives, with its trailing backslash
  bool runsFromCd = false;
  MenuStates menus; // what the menus offer; the window's menus mirror it

private:
  struct Parts;
  std::unique_ptr<Parts> parts;
  EngineSeams seams;

public:
  ScriptDoor& door;
  ScriptState& script;
  Screen& screen;
  PluginSet& plugins;
  MessageWindow& messageWindow;
  Selection& selection;
  SaveData& saveData;
  MediaSet& media;
};

} // namespace velmo
