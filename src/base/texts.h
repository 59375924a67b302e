// Every text the program shows its user, in one place. The desktop program
// speaks Japanese on every system; these are its exact bytes (UTF-8, the
// system code page on Linux). Templates hold %s for a text and %d for a
// signed number (FormatText).
#pragma once

#include <string_view>

namespace titles::texts {

// Word lists and the composer.
inline constexpr std::string_view kFileOpen = "ファイル %s は開けません";
inline constexpr std::string_view kListIndex = "リストのインデックスが範囲を超えています (%d)";
inline constexpr std::string_view kNoFreeEntry = "ファイル %s には使える単語が足りません";
inline constexpr std::string_view kNoGerund = "ファイル %s には ing で終わる単語がありません";

// The framework's guards and boxes.
inline constexpr std::string_view kFatalCaption = "アプリケーション エラー";
inline constexpr std::string_view kFatalWhere = "%sがモジュール %s の %s で発生しました。";
inline constexpr std::string_view kOutOfMemory = "メモリが不足しています";
inline constexpr std::string_view kUnknownException = "不明な例外が発生しました";

// Window-system failures.
inline constexpr std::string_view kCannotCreateWindow = "ウィンドウを作成できません";
inline constexpr std::string_view kCannotCreateProgramWindow = "プログラムのウィンドウを作成できません";
inline constexpr std::string_view kNoProgramWindow = "プログラムのウィンドウがありません";
inline constexpr std::string_view kCannotRegisterClass = "ウィンドウ クラス %s を登録できません";
inline constexpr std::string_view kCannotCreateFont = "フォント %s を作成できません";
inline constexpr std::string_view kCannotCreateLabel = "ラベルを作成できません";
inline constexpr std::string_view kNoScreenContext = "画面のデバイス コンテキストを取得できません";
inline constexpr std::string_view kCannotConnectDisplay = "ディスプレイ %s に接続できません";
inline constexpr std::string_view kNoDisplay = "ディスプレイがありません (DISPLAY が設定されていません)";
inline constexpr std::string_view kNoDisplayOrWayland =
    "ディスプレイがありません (DISPLAY も WAYLAND_DISPLAY も設定されていません)";
inline constexpr std::string_view kNoWaylandPlugin =
    "ディスプレイがありません (DISPLAY が設定されておらず、Wayland のプラグインがインストールされていません)";
inline constexpr std::string_view kNoPlatformPlugin = "ウィンドウ システムのプラグイン %s が見つかりません";

}  // namespace titles::texts
