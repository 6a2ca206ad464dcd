#include "rules/setup_label_layout.h"

#include <algorithm>

namespace dravik {

LabelLayout FitLabels(const LabelLayout& laidOut, TextSize maker, TextSize contact, TextSize homePage, int rightEdge,
                      int gap)
{
    LabelLayout fit = laidOut;
    fit.maker.width = std::max(fit.maker.width, maker.width);
    fit.maker.height = std::max(fit.maker.height, maker.height);
    fit.contact.height = std::max(fit.contact.height, contact.height);
    // The home page starts below the address's text.
    fit.homePage.top = std::max(fit.homePage.top, fit.contact.top + contact.height);
    fit.homePage.height = std::max(fit.homePage.height, homePage.height);

    // The address and the home page move to the right edge when their text
    // is too wide for them or would run into the maker's text.
    const int makerTextEnd = fit.maker.left + maker.width + gap;
    Box* const column[] = {&fit.contact, &fit.homePage};
    const TextSize columnText[] = {contact, homePage};
    bool moved[] = {false, false};
    int widening = 0;
    for (int i = 0; i < 2; ++i) {
        Box& box = *column[i];
        moved[i] = columnText[i].width > box.width || box.Right() > laidOut.clientWidth || box.left < makerTextEnd;
        if (moved[i]) {
            box.width = std::max(box.width, columnText[i].width);
            box.left = rightEdge - box.width;
            widening = std::max(widening, makerTextEnd - box.left);
        }
    }
    if (widening > 0) {
        fit.clientWidth += widening;
        for (int i = 0; i < 2; ++i) {
            if (moved[i]) {
                column[i]->left += widening;
            }
        }
    }

    // A label's box painted over another's would hide that one's text.
    const int columnLeft = std::min(fit.contact.left, fit.homePage.left);
    if (fit.maker.Right() > columnLeft) {
        fit.maker.width = std::max(maker.width, columnLeft - fit.maker.left);
    }
    if (fit.contact.Bottom() > fit.homePage.top) {
        fit.contact.height = std::max(contact.height, fit.homePage.top - fit.contact.top);
    }
    for (const Box& box : {fit.maker, fit.contact, fit.homePage}) {
        fit.clientHeight = std::max(fit.clientHeight, box.Bottom());
    }
    return fit;
}

}  // namespace dravik
