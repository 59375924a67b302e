// The main window: one label showing a random title; a click on it shows a
// new one.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "framework/application.h"
#include "framework/controls.h"
#include "phrase/word_list.h"

namespace titles::app {

class TFormMain : public framework::TForm {
public:
    explicit TFormMain(framework::TApplication& application);

    framework::TLabel* Label1 = nullptr;

    // Creates and loads the word lists, seeds the random source and shows
    // the first title.
    void FormCreate(framework::TObject* sender);
    // Composes a new title and shows it.
    void Label1Click(framework::TObject* sender);

    // Puts the phrase on the label and fits the window's client area to it.
    void ShowPhrase(std::string phrase);

protected:
    framework::TNotifyEvent ResolveHandler(std::string_view name) override;
};

// The main window's design values.
std::string_view FormMainResource();

// The one main window, set while it exists.
extern TFormMain* FormMain;
// The two word lists, created by FormCreate and kept until the process ends.
extern std::unique_ptr<TWordList> AdjectiveList;
extern std::unique_ptr<TWordList> NounList;

}  // namespace titles::app
