#include "framework/form_resource.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <initializer_list>

namespace titles::framework {
namespace {

struct TValue {
    enum class Kind { Integer, Text, Name, Set } kind = Kind::Integer;
    long long integer = 0;
    std::string text;               // Text or Name
    std::vector<std::string> set;   // Set
};

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

TValue ParseValue(std::string_view s, int line) {
    TValue v;
    if (s.empty()) Fail(line, "missing value");
    if (s.front() == '\'') {
        v.kind = TValue::Kind::Text;
        std::size_t i = 1;
        for (;;) {
            if (i >= s.size()) Fail(line, "unterminated text");
            if (s[i] == '\'') {
                if (i + 1 < s.size() && s[i + 1] == '\'') {
                    v.text += '\'';
                    i += 2;
                    continue;
                }
                break;
            }
            v.text += s[i++];
        }
        if (i + 1 != s.size()) Fail(line, "text after the closing quote");
        return v;
    }
    if (s.front() == '[') {
        v.kind = TValue::Kind::Set;
        if (s.back() != ']') Fail(line, "unterminated set");
        std::string_view body = s.substr(1, s.size() - 2);
        while (!Trim(body).empty()) {
            const auto comma = body.find(',');
            const std::string_view item = Trim(body.substr(0, comma));
            if (!IsName(item)) Fail(line, "bad set member");
            v.set.emplace_back(item);
            if (comma == std::string_view::npos) break;
            body.remove_prefix(comma + 1);
        }
        return v;
    }
    if (s.front() == '-' || std::isdigit(static_cast<unsigned char>(s.front()))) {
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v.integer);
        if (ec != std::errc() || end != s.data() + s.size()) Fail(line, "bad number");
        if (v.integer < -1000000 || v.integer > 1000000) Fail(line, "number out of range");
        return v;
    }
    if (!IsName(s)) Fail(line, "bad value");
    v.kind = TValue::Kind::Name;
    v.text = std::string(s);
    return v;
}

int AsInt(const TValue& v, int line) {
    if (v.kind != TValue::Kind::Integer) Fail(line, "a number is expected");
    return static_cast<int>(v.integer);
}

const std::string& AsText(const TValue& v, int line) {
    if (v.kind != TValue::Kind::Text) Fail(line, "a quoted text is expected");
    return v.text;
}

const std::string& AsName(const TValue& v, int line) {
    if (v.kind != TValue::Kind::Name) Fail(line, "a name is expected");
    return v.text;
}

bool AsBool(const TValue& v, int line) {
    const std::string& n = AsName(v, line);
    if (n == "True") return true;
    if (n == "False") return false;
    Fail(line, "True or False is expected");
}

// A name standing for one of the given values.
template <typename T>
T AsChoice(const TValue& v, int line, std::initializer_list<std::pair<std::string_view, T>> choices,
           const char* what) {
    const std::string& n = AsName(v, line);
    for (const auto& [name, value] : choices) {
        if (n == name) return value;
    }
    Fail(line, std::string("unknown ") + what + " " + n);
}

// A [set] of names: the flags named are set, all others cleared.
void SetFlags(const TValue& v, int line, std::initializer_list<std::pair<std::string_view, bool*>> flags,
              const char* what) {
    if (v.kind != TValue::Kind::Set) Fail(line, "a set is expected");
    for (const auto& flag : flags) *flag.second = false;
    for (const auto& member : v.set) {
        const auto named = std::find_if(flags.begin(), flags.end(), [&](const auto& f) { return f.first == member; });
        if (named == flags.end()) Fail(line, std::string("unknown ") + what + " " + member);
        *named->second = true;
    }
}

TSystemColor AsColor(const TValue& v, int line) {
    return AsChoice<TSystemColor>(
        v, line, {{"ButtonFace", TSystemColor::ButtonFace}, {"WindowText", TSystemColor::WindowText}}, "colour");
}

// Font.* properties, shared by forms and labels. Returns false when the
// property is not a font property.
bool ApplyFontProperty(TFontSpec& font, std::string_view key, const TValue& v, int line) {
    if (key == "Font.Name") {
        font.name = AsText(v, line);
    } else if (key == "Font.Height") {
        font.height = AsInt(v, line);
        if (font.height <= 0 || font.height > 1000) Fail(line, "bad font height");
    } else if (key == "Font.Charset") {
        font.charset = AsChoice<TCharset>(
            v, line, {{"Ansi", TCharset::Ansi}, {"Default", TCharset::Default}, {"ShiftJis", TCharset::ShiftJis}},
            "character set");
    } else if (key == "Font.Color") {
        font.color = AsColor(v, line);
    } else if (key == "Font.Style") {
        SetFlags(v, line,
                 {{"Bold", &font.style.bold},
                  {"Italic", &font.style.italic},
                  {"Underline", &font.style.underline},
                  {"StrikeOut", &font.style.strikeOut}},
                 "font style");
    } else {
        return false;
    }
    return true;
}

void ApplyFormProperty(TFormDesign& form, std::string_view key, const TValue& v, int line) {
    if (ApplyFontProperty(form.font, key, v, line)) return;
    if (key == "Left") {
        form.position.x = AsInt(v, line);
    } else if (key == "Top") {
        form.position.y = AsInt(v, line);
    } else if (key == "ClientWidth") {
        form.clientSize.width = AsInt(v, line);
    } else if (key == "ClientHeight") {
        form.clientSize.height = AsInt(v, line);
    } else if (key == "Caption") {
        form.caption = AsText(v, line);
    } else if (key == "BorderStyle") {
        form.borderStyle = AsChoice<TBorderStyle>(
            v, line,
            {{"Single", TBorderStyle::Single}, {"Sizeable", TBorderStyle::Sizeable}, {"None", TBorderStyle::None}},
            "border style");
    } else if (key == "BorderIcons") {
        SetFlags(v, line,
                 {{"SystemMenu", &form.systemMenu}, {"Minimize", &form.minimizeBox}, {"Maximize", &form.maximizeBox}},
                 "border icon");
    } else if (key == "Color") {
        form.color = AsColor(v, line);
    } else if (key == "PixelsPerInch") {
        form.pixelsPerInch = AsInt(v, line);
        if (form.pixelsPerInch <= 0) Fail(line, "bad resolution");
    } else if (key == "TextHeight") {
        form.textHeight = AsInt(v, line);
        if (form.textHeight <= 0) Fail(line, "bad text height");
    } else if (key == "Scaled") {
        form.scaled = AsBool(v, line);
    } else if (key == "OnCreate") {
        form.onCreate = AsName(v, line);
    } else {
        Fail(line, "unknown form property " + std::string(key));
    }
}

void ApplyLabelProperty(TLabelDesign& label, std::string_view key, const TValue& v, int line) {
    if (ApplyFontProperty(label.font, key, v, line)) {
        label.parentFont = false;
        return;
    }
    if (key == "Left") {
        label.bounds.left = AsInt(v, line);
    } else if (key == "Top") {
        label.bounds.top = AsInt(v, line);
    } else if (key == "Width") {
        label.bounds.width = AsInt(v, line);
    } else if (key == "Height") {
        label.bounds.height = AsInt(v, line);
    } else if (key == "Caption") {
        label.caption = AsText(v, line);
    } else if (key == "ParentFont") {
        label.parentFont = AsBool(v, line);
    } else if (key == "AutoSize") {
        label.autoSize = AsBool(v, line);
    } else if (key == "OnClick") {
        label.onClick = AsName(v, line);
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

const TLabelDesign* TFormDesign::FindLabel(std::string_view labelName) const {
    for (const auto& label : labels) {
        if (label.name == labelName) return &label;
    }
    return nullptr;
}

TFormDesign ParseFormResource(std::string_view text) {
    TFormDesign form;
    enum class Where { Outside, Form, Label, Done } where = Where::Outside;
    int line = 0;
    while (!text.empty()) {
        ++line;
        const auto eol = text.find('\n');
        const std::string_view raw = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        const std::string_view s = Trim(raw);
        if (s.empty() || s.front() == '#') continue;

        if (s.rfind("object ", 0) == 0) {
            auto [name, cls] = ParseObjectHeader(s.substr(7), line);
            if (where == Where::Outside) {
                form.name = std::move(name);
                form.className = std::move(cls);
                where = Where::Form;
            } else if (where == Where::Form) {
                if (cls != "TLabel") Fail(line, "unknown component class " + cls);
                if (form.FindLabel(name) != nullptr) Fail(line, "duplicate component " + name);
                TLabelDesign label;
                label.name = std::move(name);
                label.font = form.font;  // a label starts with its window's font
                form.labels.push_back(std::move(label));
                where = Where::Label;
            } else {
                Fail(line, "unexpected object");
            }
            continue;
        }
        if (s == "end") {
            if (where == Where::Label) {
                where = Where::Form;
            } else if (where == Where::Form) {
                where = Where::Done;
            } else {
                Fail(line, "unexpected end");
            }
            continue;
        }
        const auto eq = s.find('=');
        if (eq == std::string_view::npos) Fail(line, "property without value");
        const std::string_view key = Trim(s.substr(0, eq));
        const TValue value = ParseValue(Trim(s.substr(eq + 1)), line);
        if (!IsName(key)) Fail(line, "bad property name");
        if (where == Where::Form) {
            ApplyFormProperty(form, key, value, line);
        } else if (where == Where::Label) {
            ApplyLabelProperty(form.labels.back(), key, value, line);
        } else {
            Fail(line, "property outside an object");
        }
    }
    if (where != Where::Done) Fail(line, "the form resource ends inside an object");
    // A label that shares its window's font follows the window's final font.
    for (auto& label : form.labels) {
        if (label.parentFont) label.font = form.font;
    }
    return form;
}

}  // namespace titles::framework
