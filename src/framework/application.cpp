#include "framework/application.h"

#include <cstdio>
#include <new>

#include "base/texts.h"
#include "framework/box_text.h"
#include "base/failure.h"

namespace titles::framework {

void WriteFatalTextToConsole(std::string_view caption, std::string_view text) noexcept {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
}

TFailureInfo DescribeFailure(const std::exception_ptr& failure) noexcept {
    try {
        try {
            std::rethrow_exception(failure);
        } catch (const TFailure& e) {
            return {e.KindName(), e.what()};
        } catch (const std::bad_alloc&) {
            return {"EOutOfMemory", std::string(texts::kOutOfMemory)};
        } catch (const std::exception& e) {
            return {"Exception", e.what()};
        } catch (...) {
            return {"Exception", std::string(texts::kUnknownException)};
        }
    } catch (...) {
        return {"Exception", ""};
    }
}

namespace {
// The address the fatal box names: where the program's own failure handling
// caught the failure (C++ failures carry no code address of their own).
std::uintptr_t FailureHandlerAddress() noexcept {
    return reinterpret_cast<std::uintptr_t>(&ReportFatalFailureToConsole);
}
}  // namespace

void ReportFatalFailureToConsole(const std::exception_ptr& failure, std::string_view moduleName) noexcept {
    const TFailureInfo info = DescribeFailure(failure);
    WriteFatalTextToConsole(kFatalCaption, FatalBoxText(info.kind, moduleName, FailureHandlerAddress(), info.message));
}

TApplication::TApplication(TBackend& backend) : backend_(backend) { backend_.SetFailureSink(this); }

TApplication::~TApplication() { backend_.SetFailureSink(nullptr); }

void TApplication::Initialize() {
    showRequest_ = backend_.LauncherShowRequest();
    backend_.CreateProgramWindow(DeriveProgramTitle(backend_.ProgramFilePath(), backend_.TitleRules()));
}

std::string TApplication::Title() const { return backend_.ProgramWindowTitle(); }

void TApplication::RunCreationHandler(TForm& form) {
    if (!form.onCreate_) return;
    try {
        form.onCreate_(&form);
    } catch (...) {
        ReportFailure(std::current_exception());
    }
}

void TApplication::RunEventLoop() {
    if (!mainForm_) return;
    mainForm_->Native().Show(showRequest_);
    backend_.RunEventLoop();
    mainForm_.reset();  // the main window and its label go with the loop
}

void TApplication::Terminate() { backend_.Quit(); }

void TApplication::HandleEventFailure(std::exception_ptr failure) noexcept { ReportFailure(failure); }

void TApplication::DeferFailure(std::exception_ptr failure) noexcept {
    try {
        deferred_.push_back(std::move(failure));
    } catch (...) {
        // Out of memory while keeping a failure: it is lost.
    }
}

void TApplication::ShowDeferredFailures() noexcept {
    while (!deferred_.empty()) {
        const std::exception_ptr failure = std::move(deferred_.front());
        deferred_.pop_front();
        ReportFailure(failure);
    }
}

void TApplication::ReportFailure(const std::exception_ptr& failure) noexcept {
    try {
        backend_.CancelMouseCapture();
        ShowFailureBox(DescribeFailure(failure).message);
    } catch (...) {
        // Nothing is left to show a failure of the failure box with.
    }
}

void TApplication::ShowFailureBox(std::string_view message) {
    backend_.ShowErrorBox(Title(), FailureBoxText(message));
}

void TApplication::ReportFatalFailure(const std::exception_ptr& failure) noexcept {
    const TFailureInfo info = DescribeFailure(failure);
    const std::string text = FatalBoxText(info.kind, backend_.ModuleName(), FailureHandlerAddress(), info.message);
    try {
        backend_.ShowFatalBox(kFatalCaption, text);
    } catch (...) {
        WriteFatalTextToConsole(kFatalCaption, text);
    }
}

}  // namespace titles::framework
