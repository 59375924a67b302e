#include "app/messages.h"

#include <cstdio>
#include <new>

namespace titles::app {
namespace {

std::string_view Template(TFailureKind kind) {
    switch (kind) {
    case TFailureKind::FileOpen:
    case TFailureKind::FileRead:
    case TFailureKind::NotAFile:
    case TFailureKind::FileTooLarge: return "ファイル %s は開けません";
    case TFailureKind::ListIndex: return "リストのインデックスが範囲を超えています (%d)";
    case TFailureKind::NoFreeEntry: return "ファイル %s には使える単語が足りません";
    case TFailureKind::NoGerund: return "ファイル %s には ing で終わる単語がありません";
    case TFailureKind::CannotCreateWindow: return "ウィンドウを作成できません";
    case TFailureKind::CannotCreateProgramWindow: return "プログラムのウィンドウを作成できません";
    case TFailureKind::CannotRegisterClass: return "ウィンドウ クラス %s を登録できません";
    case TFailureKind::CannotCreateFont: return "フォント %s を作成できません";
    case TFailureKind::CannotCreateLabel: return "ラベルを作成できません";
    case TFailureKind::NoScreenContext: return "画面のデバイス コンテキストを取得できません";
    case TFailureKind::DisplayUnreachable: return "ディスプレイ %s に接続できません";
    case TFailureKind::NoDisplay: return "ディスプレイがありません (DISPLAY が設定されていません)";
    case TFailureKind::NoDisplayOrWayland:
        return "ディスプレイがありません (DISPLAY も WAYLAND_DISPLAY も設定されていません)";
    case TFailureKind::NoWaylandPlugin:
        return "ディスプレイがありません (DISPLAY が設定されておらず、Wayland のプラグインがインストールされていません)";
    case TFailureKind::NoPlatformPlugin: return "ウィンドウ システムのプラグイン %s が見つかりません";
    case TFailureKind::DisplayNoAnswer: return "ディスプレイ %s が応答しません";
    case TFailureKind::DisplayBadAnswer: return "ディスプレイ %s の応答が正しくありません";
    case TFailureKind::DisplayLost: return "ディスプレイ %s との接続が切れました";
    case TFailureKind::UnsupportedPlatform:
        return "ウィンドウ システム %s には対応していません (対応しているのは xcb と wayland です)";
    case TFailureKind::NoPlatformNamed: return "QT_QPA_PLATFORM (%s) にウィンドウ システムの名前がありません";
    }
    return {};
}

}  // namespace

std::string FailureMessage(const TFailureFacts& facts) {
    if (facts.kind == TFailureKind::ListIndex) return FormatText(Template(facts.kind), {facts.index});
    return FormatText(Template(facts.kind), {std::string_view(facts.name)});
}

TFailureText DescribeFailure(const std::exception_ptr& failure) noexcept {
    try {
        try {
            std::rethrow_exception(failure);
        } catch (const TFailure& e) {
            return {e.KindName(), FailureMessage(e.Facts())};
        } catch (const std::bad_alloc&) {
            return {"EOutOfMemory", "メモリが不足しています"};
        } catch (const std::exception& e) {
            return {"Exception", e.what()};
        } catch (...) {
            return {"Exception", "不明な例外が発生しました"};
        }
    } catch (...) {
        return {"Exception", ""};
    }
}

std::string FatalBoxText(std::string_view kindName, std::string_view moduleName, std::uintptr_t address,
                         std::string_view message) {
    char hex[2 * sizeof(std::uintptr_t) + 1];
    std::snprintf(hex, sizeof hex, "%0*llX", static_cast<int>(2 * sizeof(std::uintptr_t)),
                  static_cast<unsigned long long>(address));
    std::string text = FormatText("%sがモジュール %s の %s で発生しました。", {kindName, moduleName, std::string_view(hex)});
    text += "\n";
    text += message;
    if (!message.empty() && message.back() != '.') text += '.';
    if (text.size() > kMaxFatalTextBytes) text.resize(kMaxFatalTextBytes);
    return text;
}

}  // namespace titles::app
