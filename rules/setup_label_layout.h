// Where the three labels below the frame go: the maker's line on the left,
// the contact address above the home page on the right. The address and the
// home page are build settings and may be longer than their laid-out boxes,
// and the font the system finds may be wider than the one they were laid
// out for.
#pragma once

namespace dravik {

struct Box {
    int left;
    int top;
    int width;
    int height;

    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
};

struct TextSize {
    int width;
    int height;
};

struct LabelLayout {
    Box maker;
    Box contact;
    Box homePage;
    int clientWidth;
    int clientHeight;
};

// Each label keeps its laid-out box while its text fits in it and the box
// lies inside the client area. Otherwise it grows to fit its text with its
// right edge at rightEdge, and where it would then come within gap of the
// maker's text the client area grows wider. Boxes are cut back where they
// would overlap another label's, never below their own text. In pixels.
LabelLayout FitLabels(const LabelLayout& laidOut, TextSize maker, TextSize contact, TextSize homePage, int rightEdge,
                      int gap);

}  // namespace dravik
