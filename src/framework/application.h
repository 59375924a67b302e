// The application object: the program title, the creation of the main
// window, the event loop, and the one road by which failures reach the user.
#pragma once

#include <deque>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "framework/backend.h"
#include "framework/controls.h"

namespace titles::framework {

class TApplication : private TFailureSink {
public:
    // Takes the failures that the backend's event handling catches.
    explicit TApplication(TBackend& backend);
    ~TApplication() override;

    // Reads the launcher's show request, derives the program title from the
    // program's file name and creates the program-level window with it.
    void Initialize();

    // The program title, read back from the program-level window.
    std::string Title() const;

    // Creates the main window: builds it from its resource (a failure there
    // passes on to the caller), sets ref so that the creation handler and
    // everything it calls can reach the window, runs the creation handler
    // under the guard, and records the window as the main window.
    template <typename TFormClass>
    void CreateForm(TFormClass*& ref) {
        ref = nullptr;
        auto form = std::make_unique<TFormClass>(*this);
        ref = form.get();
        RunCreationHandler(*form);
        mainForm_ = std::move(form);
    }

    // Shows the main window as the launcher asked and handles events until
    // the main window is closed.
    void RunEventLoop();

    // Shows a caught failure in an error box.
    void ReportFailure(const std::exception_ptr& failure) noexcept;
    void ShowFailureBox(std::string_view message);
    // Shows a failure that escaped start-up in the fatal box. The caller
    // then ends the process with exit code 1.
    void ReportFatalFailure(const std::exception_ptr& failure) noexcept;

    TBackend& Backend() const noexcept { return backend_; }
    TForm* MainForm() const noexcept { return mainForm_.get(); }
    void Terminate();

private:
    void HandleEventFailure(std::exception_ptr failure) noexcept override;
    void DeferFailure(std::exception_ptr failure) noexcept override;
    void ShowDeferredFailures() noexcept override;
    void RunCreationHandler(TForm& form);

    TBackend& backend_;
    TShowRequest showRequest_ = TShowRequest::Normal;
    std::unique_ptr<TForm> mainForm_;
    std::deque<std::exception_ptr> deferred_;  // caught where no box could come up
};

// The message and the kind of a caught failure.
struct TFailureInfo {
    std::string kind;
    std::string message;
};
TFailureInfo DescribeFailure(const std::exception_ptr& failure) noexcept;

// The fatal box for a failure when no window system could be reached.
void ReportFatalFailureToConsole(const std::exception_ptr& failure, std::string_view moduleName) noexcept;

}  // namespace titles::framework
