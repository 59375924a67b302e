#include "framework/form_resource.h"

#include <cctype>
#include <charconv>
#include <span>
#include <utility>

namespace titles::framework {
namespace {

using TFixedValue = std::pair<std::string_view, std::string_view>;

// What the window and its label are, whatever the resource: a property
// that says so may be given, with exactly this value.
constexpr TFixedValue kFixedFormValues[] = {{"BorderStyle", "Single"}, {"BorderIcons", "[SystemMenu, Minimize]"},
                                            {"Color", "ButtonFace"},   {"Font.Color", "WindowText"},
                                            {"Font.Style", "[]"}};
constexpr TFixedValue kFixedLabelValues[] = {{"Font.Color", "WindowText"}, {"Font.Style", "[]"}, {"ParentFont", "False"}};

constexpr int kLargestNumber = 1000000;

[[noreturn]] void Fail(int line, const std::string& what) {
    throw TResourceError("form resource, line " + std::to_string(line) + ": " + what);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool IsName(std::string_view s) {
    if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
    for (char c : s) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.')) return false;
    }
    return true;
}

int AsInt(std::string_view s, int line, int least = -kLargestNumber) {
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size()) Fail(line, "a number is expected");
    if (value < least || value > kLargestNumber) Fail(line, "number out of range");
    return value;
}

std::string AsText(std::string_view s, int line) {
    if (s.size() < 2 || s.front() != '\'' || s.back() != '\'') Fail(line, "a quoted text is expected");
    std::string text;
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i] == '\'') {
            if (i + 2 >= s.size() || s[i + 1] != '\'') Fail(line, "text after the closing quote");
            ++i;
        }
        text += s[i];
    }
    return text;
}

std::string AsName(std::string_view s, int line) {
    if (!IsName(s)) Fail(line, "a name is expected");
    return std::string(s);
}

// Whether key is one of the fixed properties; its value must be the fixed one.
bool CheckFixed(std::span<const TFixedValue> fixed, std::string_view key, std::string_view value, int line) {
    for (const auto& [name, only] : fixed) {
        if (key != name) continue;
        if (value != only) {
            Fail(line, std::string(key) + " = " + std::string(value) + " is not supported, only " + std::string(only));
        }
        return true;
    }
    return false;
}

// Font.* properties, shared by forms and labels. Returns false when the
// property is not a font property.
bool ApplyFontProperty(TFontSpec& font, std::string_view key, std::string_view value, int line) {
    if (key == "Font.Name") {
        font.name = AsText(value, line);
    } else if (key == "Font.Height") {
        font.height = AsInt(value, line, 1);
        if (font.height > 1000) Fail(line, "bad font height");
    } else if (key == "Font.Charset") {
        if (value != "Ansi" && value != "Default") Fail(line, "unknown character set " + std::string(value));
        font.charset = value == "Ansi" ? TCharset::Ansi : TCharset::Default;
    } else {
        return false;
    }
    return true;
}

void ApplyFormProperty(TFormDesign& form, std::string_view key, std::string_view value, int line) {
    if (ApplyFontProperty(form.font, key, value, line) || CheckFixed(kFixedFormValues, key, value, line)) return;
    if (key == "Left") {
        form.position.x = AsInt(value, line);
    } else if (key == "Top") {
        form.position.y = AsInt(value, line);
    } else if (key == "ClientWidth") {
        form.clientSize.width = AsInt(value, line, 0);
    } else if (key == "ClientHeight") {
        form.clientSize.height = AsInt(value, line, 0);
    } else if (key == "PixelsPerInch") {
        form.pixelsPerInch = AsInt(value, line, 1);
    } else if (key == "TextHeight") {
        form.textHeight = AsInt(value, line, 1);
    } else if (key == "OnCreate") {
        form.onCreate = AsName(value, line);
    } else {
        Fail(line, "unknown form property " + std::string(key));
    }
}

void ApplyLabelProperty(TLabelDesign& label, std::string_view key, std::string_view value, int line) {
    if (ApplyFontProperty(label.font, key, value, line) || CheckFixed(kFixedLabelValues, key, value, line)) return;
    if (key == "Left") {
        label.bounds.left = AsInt(value, line);
    } else if (key == "Top") {
        label.bounds.top = AsInt(value, line);
    } else if (key == "Width") {
        label.bounds.width = AsInt(value, line, 0);
    } else if (key == "Height") {
        label.bounds.height = AsInt(value, line, 0);
    } else if (key == "Caption") {
        label.caption = AsText(value, line);
    } else if (key == "OnClick") {
        label.onClick = AsName(value, line);
    } else {
        Fail(line, "unknown label property " + std::string(key));
    }
}

// "object Name: Class"
std::pair<std::string, std::string> ParseObjectHeader(std::string_view rest, int line) {
    const auto colon = rest.find(':');
    if (colon == std::string_view::npos) Fail(line, "object without class");
    const std::string_view name = Trim(rest.substr(0, colon));
    const std::string_view cls = Trim(rest.substr(colon + 1));
    if (!IsName(name) || !IsName(cls)) Fail(line, "bad object header");
    return {std::string(name), std::string(cls)};
}

}  // namespace

TFormDesign ParseFormResource(std::string_view text) {
    TFormDesign form;
    enum class Where { Outside, Form, Label, Done } where = Where::Outside;
    bool hasLabel = false;
    int line = 0;
    while (!text.empty()) {
        ++line;
        const auto eol = text.find('\n');
        const std::string_view s = Trim(text.substr(0, eol));
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (s.empty() || s.front() == '#') continue;

        if (s.rfind("object ", 0) == 0) {
            auto [name, cls] = ParseObjectHeader(s.substr(7), line);
            if (where == Where::Outside) {
                form.name = std::move(name);
                form.className = std::move(cls);
                where = Where::Form;
            } else if (where == Where::Form && !hasLabel) {
                if (cls != "TLabel") Fail(line, "unknown component class " + cls);
                form.label.name = std::move(name);
                form.label.font = form.font;
                hasLabel = true;
                where = Where::Label;
            } else {
                Fail(line, where == Where::Form ? "a form holds one label only" : "unexpected object");
            }
            continue;
        }
        if (s == "end") {
            if (where != Where::Label && where != Where::Form) Fail(line, "unexpected end");
            where = where == Where::Label ? Where::Form : Where::Done;
            continue;
        }
        const auto eq = s.find('=');
        if (eq == std::string_view::npos) Fail(line, "property without value");
        const std::string_view key = Trim(s.substr(0, eq));
        const std::string_view value = Trim(s.substr(eq + 1));
        if (!IsName(key)) Fail(line, "bad property name");
        if (value.empty()) Fail(line, "missing value");
        if (where == Where::Form) {
            ApplyFormProperty(form, key, value, line);
        } else if (where == Where::Label) {
            ApplyLabelProperty(form.label, key, value, line);
        } else {
            Fail(line, "property outside an object");
        }
    }
    if (where != Where::Done) Fail(line, "the form resource ends inside an object");
    if (!hasLabel) Fail(line, "the form has no label");
    return form;
}

}  // namespace titles::framework
