#include "engine/resources/string_table.h"

#include <algorithm>
#include <iterator>

namespace velmo {

namespace {

struct StringEntry {
  std::uint32_t id;
  const char* text;
};

// Sorted by id.
constexpr StringEntry StringTable[] = {
    {0, "[SPI] 正常終了"},
    {1, "[SPI] コールバック関数が展開を中止しました．"},
    {2, "[SPI] 未知のフォーマットです．"},
    {3, "[SPI] データが壊れています．"},
    {4, "[SPI] メモリ確保に失敗しました．"},
    {5, "[SPI] メモリ操作に失敗しました．"},
    {6, "[SPI] ファイルの読み込みに失敗しました．"},
    {7, "[SPI] (予約)"},
    {8, "[SPI] 内部エラー"},
    {100, "正常終了"},
    {101, "ファイルの入出力エラー"},
    {102, "指定されたファイルが見つかりません．"},
    {103, "予期せぬファイル終端を検出しました．"},
    {104, "ハードウェアデバイスのエラーです．"},
    {105, "Windowsあるいはプログラムの内部エラーです．"},
    {106, "構文あるいは文法が違います．"},
    {107, "必要なパラメータが足りません．"},
    {108, "パラメータの値が有効な範囲を超えています．"},
    {109, "プログラムが対応しきれません．"},
    {110, "構文あるいはマクロのネストが不正です．"},
    {111, "０による除算が発生しました．"},
    {112, "未定義のエラー"},
    {114, "無効なファイル形式です．"},
    {115, "スタック溢れが発生しました．構文が複雑すぎます．"},
    {116, "その機能は実装実現されていません．"},
    {117, "排他的オプションが同時に指定されました．"},
    {118, "未定義のマクロが指定されました．"},
    {199, "(予約)"},
    {65535, "[SPI] その機能は実装実現されていません．"},
};

} // namespace

const char* LoadStringText(std::uint32_t id) {
  auto it = std::lower_bound(std::begin(StringTable), std::end(StringTable), id,
                             [](const StringEntry& e, std::uint32_t key) { return e.id < key; });
  return it != std::end(StringTable) && it->id == id ? it->text : "";
}

} // namespace velmo
