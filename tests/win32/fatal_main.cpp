// titles.exe on a Win32 window system that refuses to build the main
// window: the program's own start-up and the window system's own fatal box,
// so that the test sees the fatal road as the program takes it.
#include <memory>

#include "app/UMain.h"
#include "base/failure.h"
#include "framework/window_system.h"

namespace {

using namespace titles::framework;

class TRefusingWindowSystem final : public TWindowSystem {
public:
    explicit TRefusingWindowSystem(std::unique_ptr<TWindowSystem> real) : real_(std::move(real)) {}

    std::string ProgramFilePath() override { return real_->ProgramFilePath(); }
    TTitleRules TitleRules() override { return real_->TitleRules(); }
    int PixelsPerInch() override { return real_->PixelsPerInch(); }
    bool SystemCharsetIsShiftJis() override { return real_->SystemCharsetIsShiftJis(); }
    int ZeroTextHeight(const TFontSpec& font) override { return real_->ZeroTextHeight(font); }
    void BuildWindow(const TWindowDesign&, std::string_view, TWindowEvents&) override {
        throw titles::TFailure(titles::TFailureKind::CannotCreateWindow);
    }
    TSize SetLabelText(std::string_view text, const TFontSpec& font) override { return real_->SetLabelText(text, font); }
    void SetLabelBounds(const TRect& bounds) override { real_->SetLabelBounds(bounds); }
    void SetClientSize(TSize size) override { real_->SetClientSize(size); }
    void Show() override { real_->Show(); }
    void Run() override { real_->Run(); }
    void Quit() override { real_->Quit(); }
    void ErrorBox(std::string_view caption, std::string_view text) override { real_->ErrorBox(caption, text); }
    void FatalBox(std::string_view caption, std::string_view text) override { real_->FatalBox(caption, text); }

private:
    std::unique_ptr<TWindowSystem> real_;
};

}  // namespace

int main(int argc, char** argv) {
    TRefusingWindowSystem windows(CreateWindowSystem(argc, argv));
    return titles::app::RunProgram(windows);
}
