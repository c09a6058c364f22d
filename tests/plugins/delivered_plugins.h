#pragma once

// What the three delivered plug-ins must report, written out apart from their code and checked
// against the native build (tests/plugins/native) and the DLLs (tests/win32): each plug-in's
// file, description text and info tables, and its exports besides the entry functions.
#include <cstdint>
#include <string>
#include <vector>

namespace velmo::test {

struct Entry {
  const char* name;
  const char* function;
  std::int32_t intervalMs;
  std::int32_t params[3];
};

struct InfoTable {
  const char* exportName;
  std::vector<Entry> entries;
};

struct DeliveredPlugin {
  const char* file;
  const char* description;
  std::vector<InfoTable> tables;
  std::vector<std::string> otherExports; // besides the entry functions and GetPluginInfo
  bool hasAboutBox;                      // the DLL exports ConfigurationDlg
};

inline const DeliveredPlugin Delivered[] = {
    {"bandwipe.vpx",
     "bandwipe 縞とワイプのトランジション v1.20",
     {{"GetTransitionInfo",
       {{"BLIND_H", "funcBlindH", 50, {20, 1, 0}},
        {"BLIND_V", "funcBlindV", 50, {20, 1, 0}},
        {"INTERLACE_H", "funcInterlaceH", 50, {12, 0, 0}},
        {"INTERLACE_V", "funcInterlaceV", 50, {16, 0, 0}},
        {"RANDOM_STRIPE_H", "funcRandStripeH", 50, {20, 0, 0}},
        {"RANDOM_STRIPE_V", "funcRandStripeV", 50, {20, 0, 0}},
        {"CHECKER_WIPE_H", "funcCheckerWipeH", 25, {20, 20, 0}},
        {"CHECKER_WIPE_V", "funcCheckerWipeV", 25, {20, 20, 0}},
        {"GRAD_WIPE_UP", "funcGradWipeUp", 50, {20, 1, 0}},
        {"GRAD_WIPE_DOWN", "funcGradWipeDown", 50, {20, 1, 0}},
        {"GRAD_WIPE_LEFT", "funcGradWipeLeft", 50, {20, 1, 0}},
        {"GRAD_WIPE_RIGHT", "funcGradWipeRight", 50, {20, 1, 0}}}}},
     {"GetTransitionInfo"},
     false},
    {"basicfx.vpx",
     "basicfx 基本トランジション＆フィルタ v1.20",
     {{"GetTransitionInfo",
       {{"OVERLAP", "funcTransition_Overlap", 50, {0, 0, 0}},
        {"KICK", "funcTransition_Kick", 50, {5, 20, 0}},
        {"FLASH", "funcTransition_Flash", 50, {5, 0, 0}}}},
      {"GetFilterInfo",
       {{"SHADOW", "funcFilter_Shadow", 0, {0, 0, 0}}, {"MONOTONE", "funcFilter_MonoTone", 0, {0, 0, 0}}}}},
     {"GetTransitionInfo", "GetFilterInfo"},
     true},
    {"weatherfx.vpx",
     "weatherfx 季節の粒子トランジション v0.91",
     {{"GetTransitionInfo",
       {{"SEASON_SAKURA", "funcTransition_Sakura", 100, {50, 0, 0}},
        {"SEASON_KAREHA", "funcTransition_Kareha", 100, {50, 0, 0}},
        {"SEASON_HOTARU", "funcTransition_Hotaru", 150, {20, 0, 0}},
        {"SEASON_SNOW", "funcTransition_Snow", 100, {100, 0, 0}},
        {"SEASON_RAIN", "funcTransition_Rain", 50, {50, 50, 0}}}}},
     {"GetTransitionInfo"},
     false},
};

} // namespace velmo::test
