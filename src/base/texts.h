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

// titles-cli. Its messages begin with the program's name and follow the
// locale: the Japanese texts above under a Japanese locale (with a full stop,
// as the desktop program's boxes end them), these English ones otherwise.
inline constexpr std::string_view kCliPrefix = "titles-cli: ";
inline constexpr std::string_view kCliFileOpen = "cannot open %s";
inline constexpr std::string_view kCliWithReason = "%s: %s";
inline constexpr std::string_view kCliListIndex = "list index out of bounds (%d)";
inline constexpr std::string_view kCliNoFreeEntry = "%s: too few usable words";
inline constexpr std::string_view kCliNoGerund = "%s: no word ends in \"ing\"";
inline constexpr std::string_view kCliOutOfMemory = "not enough memory";
inline constexpr std::string_view kCliNotAFile = "not a file or a pipe";
inline constexpr std::string_view kCliTooLarge = "2 GiB or larger";
inline constexpr std::string_view kCliListNotFound = "cannot find %s; looked in %s";
inline constexpr std::string_view kCliListNotFoundJa = "ファイル %s が見つかりません (探した場所: %s)";
inline constexpr std::string_view kCliWriteError = "write error: %s";
inline constexpr std::string_view kCliTryHelp = "Try 'titles-cli --help'.";

// titles-cli's usage errors (English in every locale, like its help).
inline constexpr std::string_view kUsageUnknownOption = "unrecognized option '%s'";
inline constexpr std::string_view kUsageAmbiguousOption = "option '%s' is ambiguous";
inline constexpr std::string_view kUsageInvalidShort = "invalid option -- '%s'";
inline constexpr std::string_view kUsageNeedsValue = "option '%s' requires an argument";
inline constexpr std::string_view kUsageTakesNoValue = "option '%s' doesn't allow an argument";
inline constexpr std::string_view kUsageExtraArgument = "unexpected argument '%s'";
inline constexpr std::string_view kUsageBadSeed = "--seed needs a whole number from 0 to 4294967295, not '%s'";
inline constexpr std::string_view kUsageBadCount = "--count needs a whole number of 0 or more, not '%s'";
inline constexpr std::string_view kUsageBadFormat = "--format needs text or json, not '%s'";
inline constexpr std::string_view kUsageCheckAndStats = "--check and --stats cannot be combined";
inline constexpr std::string_view kUsageFormatWithTitles = "--format applies only to --check and --stats";
inline constexpr std::string_view kUsageTitlesOptionInReport = "%s cannot be used with %s";
inline constexpr std::string_view kUsageTwoStdin = "only one list can be read from standard input ('-')";

inline constexpr std::string_view kCliVersion = "titles-cli %s";

// titles-cli --help.
inline constexpr std::string_view kCliUsage =
    "Usage: titles-cli [-s N] [-n N] [-a FILE] [-N FILE]\n"
    "       titles-cli --check [--format FORMAT] [-a FILE] [-N FILE]\n"
    "       titles-cli --stats [--format FORMAT] [-a FILE] [-N FILE]\n"
    "Prints random titles composed from an adjective list and a noun list,\n"
    "one per line, exactly as the Titles desktop program composes them.\n"
    "The same seed and the same lists give the same titles in every version.\n"
    "\n"
    "  -s, --seed N           start the random stream at N (0 to 4294967295);\n"
    "                         default: the UTC time of day in milliseconds\n"
    "  -n, --count N          print N titles (default 1)\n"
    "  -a, --adjectives FILE  adjective list, one per line (default adjectives.txt)\n"
    "  -N, --nouns FILE       noun list, one per line (default nouns.txt)\n"
    "      --check            report on the word lists instead of printing titles\n"
    "      --stats            count the compositions the lists allow and give the\n"
    "                         probability of each shape of title\n"
    "      --format FORMAT    report format of --check and --stats: text (default)\n"
    "                         or json\n"
    "  -h, --help             show this help and exit\n"
    "  -V, --version          show the version and exit\n"
    "\n"
    "FILE may be a pipe or FIFO, read to its end; '-' is standard input.\n"
    "A list not named is adjectives.txt or nouns.txt in the working directory,\n"
    "or else in the first folder that holds it of $XDG_DATA_HOME/titles (default\n"
    "~/.local/share/titles) and DIR/titles for each DIR in $XDG_DATA_DIRS\n"
    "(default /usr/local/share:/usr/share); on Windows, the folder of\n"
    "titles-cli.exe.\n"
    "\n"
    "--stats counts compositions: sequences of entries, connectors and separators.\n"
    "Different compositions can read the same, and each title is fixed by the\n"
    "32-bit state of the random stream at its start, so a pair of lists gives at\n"
    "most 4294967296 distinct titles.\n"
    "\n"
    "Exit status: 0 on success; 1 when a word list fails, or, for --check and\n"
    "--stats, when the lists are too small for some composition to complete;\n"
    "2 on a usage error; 3 when --check finds the lists sound but with warnings.\n";

}  // namespace titles::texts
