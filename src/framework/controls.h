// The framework's components: the base object, the label and the form.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "framework/backend.h"
#include "framework/click_tracker.h"
#include "framework/form_resource.h"

namespace titles::framework {

class TApplication;
class TForm;

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// Event handlers take the object that sent the event.
using TNotifyEvent = std::function<void(TObject* sender)>;

// A one-line text label that sizes itself to its text and raises a click
// when the left button is pressed and released on it.
class TLabel : public TObject, private TLabelInput {
public:
    TLabel(TForm& owner, const TLabelDesign& design);

    const std::string& Caption() const noexcept { return caption_; }
    // Sets the text; an equal text changes nothing, another is laid out and
    // the label takes its extent. Taken over, not copied: a phrase may be
    // many megabytes long.
    void SetCaption(std::string caption);
    const TFontSpec& Font() const noexcept { return font_; }
    void SetFont(const TFontSpec& font);
    const TRect& Bounds() const noexcept { return bounds_; }
    void SetBounds(const TRect& bounds);
    int Width() const noexcept { return bounds_.width; }
    int Height() const noexcept { return bounds_.height; }
    const std::string& Name() const noexcept { return name_; }

    TNotifyEvent OnClick;

private:
    friend class TForm;
    void MousePress(TMouseButton button, bool doubleClick) override;
    void MouseRelease(TMouseButton button, TPoint point) override;
    void Click() override {
        if (OnClick) OnClick(this);
    }
    void ShowText();

    std::string name_;
    std::string caption_;
    TFontSpec font_;
    TRect bounds_;
    bool loading_ = true;  // the extent is not taken while the design values are applied
    TClickTracker clicks_;
    std::unique_ptr<TNativeLabel> native_;
};

// A top-level window built from its form resource, holding one label.
// Subclasses bind the resource's handler names to their methods.
class TForm : public TObject, private TFormInput {
public:
    ~TForm() override;

    int ClientWidth() const { return native_->ClientSize().width; }
    int ClientHeight() const { return native_->ClientSize().height; }
    // Each keeps the window's current top-left corner; an equal value does nothing.
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    void Close();

    TLabel* FindLabel(std::string_view name) const;
    TNativeForm& Native() const noexcept { return *native_; }

protected:
    // Builds the window hidden from its resource and scales it to the
    // screen. The creation handler runs later, from TApplication::CreateForm.
    TForm(TApplication& application, std::string_view resource);

    // The method a handler name of the resource stands for; an empty
    // function when the name is unknown.
    virtual TNotifyEvent ResolveHandler(std::string_view name) = 0;

    // Binds every handler the resource names; an unknown one is a
    // resource error. Subclasses call it at the end of their constructor.
    void BindHandlers();

private:
    friend class TApplication;
    void CloseRequested() override;
    void ScaleToScreen();

    TApplication& application_;
    TFormDesign design_;
    std::unique_ptr<TNativeForm> native_;
    std::unique_ptr<TLabel> label_;
    TNotifyEvent onCreate_;
    TSize clientSize_;  // as asked for; the window system may cut the window shorter
};

}  // namespace titles::framework
