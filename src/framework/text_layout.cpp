#include "framework/text_layout.h"

#include <algorithm>

namespace titles::framework {

std::size_t TTextMetrics::CharLength(std::string_view, std::size_t) const { return 1; }

std::string_view TextToMeasure(std::string_view caption) {
    if (caption.empty()) return " ";
    if (caption == "&") return "& ";
    return caption;
}

std::string ShownText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (++i == text.size()) break;
        }
        shown += text[i];
    }
    return shown;
}

TTextLayout LayoutText(std::string_view text, const TTextMetrics& metrics) {
    TTextLayout layout;
    const int tabWidth = 8 * metrics.AverageCharWidth();
    int x = 0;
    std::string run;
    int runX = 0;
    std::vector<std::size_t> marks;  // offsets in run of underlined characters
    std::vector<std::size_t> markLengths;

    auto flush = [&] {
        if (run.empty()) return;
        // Each mark's offset adds the part of the run since the previous
        // mark, so a run with many marks is still measured only once over.
        int before = 0;
        std::size_t measuredTo = 0;
        for (std::size_t i = 0; i < marks.size(); ++i) {
            before += metrics.TextWidth(std::string_view(run).substr(measuredTo, marks[i] - measuredTo));
            measuredTo = marks[i];
            const int width = metrics.TextWidth(std::string_view(run).substr(marks[i], markLengths[i]));
            layout.underlines.push_back({runX + before, width});
        }
        x = runX + metrics.TextWidth(run);
        layout.runs.push_back({runX, std::move(run)});
        run.clear();
        marks.clear();
        markLengths.clear();
    };

    std::size_t i = 0;
    while (i < text.size() && i < kMaxLaidOutBytes && x <= kMaxWindowExtent) {
        char c = text[i];
        bool underline = false;
        if (c == '&') {
            if (i + 1 == text.size()) {
                i = text.size();  // a last lone "&" draws nothing
                break;
            }
            ++i;
            c = text[i];
            underline = c != '&';
        }
        if (c == '\t') {
            flush();
            if (tabWidth > 0) x = (x / tabWidth + 1) * tabWidth;
            runX = x;
            ++i;
            continue;
        }
        if (run.empty()) runX = x;
        const std::size_t len = std::min(metrics.CharLength(text, i), text.size() - i);
        if (underline) {
            marks.push_back(run.size());
            markLengths.push_back(len);
        }
        run.append(text.substr(i, len));
        i += len;
        if (run.size() >= kLongRunBytes) flush();
    }
    flush();
    // A text measured with a space added is longer: no need to compare the text itself.
    if (TextToMeasure(text).size() != text.size()) x = metrics.TextWidth(" ");
    layout.extent = {std::min(x, kMaxWindowExtent), metrics.LineHeight()};
    layout.laidOutBytes = i;
    return layout;
}

}  // namespace titles::framework
