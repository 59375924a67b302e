#include "app/UMain.h"

#include "phrase/composer.h"
#include "phrase/random_source.h"

namespace titles::app {

TFormMain* FormMain = nullptr;
std::unique_ptr<TWordList> AdjectiveList;
std::unique_ptr<TWordList> NounList;

TFormMain::TFormMain(framework::TApplication& application) : TForm(application, FormMainResource()) {
    Label1 = FindLabel("Label1");
    if (Label1 == nullptr) throw framework::TResourceError("form resource: Label1 is missing");
    BindHandlers();
}

framework::TNotifyEvent TFormMain::ResolveHandler(std::string_view name) {
    if (name == "FormCreate") return [this](framework::TObject* sender) { FormCreate(sender); };
    if (name == "Label1Click") return [this](framework::TObject* sender) { Label1Click(sender); };
    return {};
}

void TFormMain::FormCreate(framework::TObject*) {
    // Both lists exist before either file is read, so a failed load leaves
    // them empty but present for later clicks.
    AdjectiveList = std::make_unique<TWordList>();
    NounList = std::make_unique<TWordList>();
    AdjectiveList->LoadWordFile(std::string(kDefaultAdjectiveFile));
    NounList->LoadWordFile(std::string(kDefaultNounFile));
    SeedFromClock();
    Label1Click(FormMain);
}

void TFormMain::Label1Click(framework::TObject*) {
    // The phrase is complete before anything is shown: a failure leaves the
    // label and the window as they were.
    ShowPhrase(ComposePhrase(*AdjectiveList, *NounList));
}

void TFormMain::ShowPhrase(std::string phrase) {
    Label1->SetCaption(std::move(phrase));
    FormMain->SetClientWidth(Label1->Width());
    FormMain->SetClientHeight(Label1->Height());
}

}  // namespace titles::app
