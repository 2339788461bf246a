// The widgetset in use and its replacement.
#include "host/controls/WidgetSet.h"

#include <utility>

#include "host/controls/HeadlessWidgetSet.h"

namespace vcl {

TWidgetSet::~TWidgetSet() = default;

namespace {
std::unique_ptr<TWidgetSet>& Current() {
    // Never destroyed: a control with static storage may still go away after every other static
    // object has, and it tells the widgetset when it does.
    static auto* current = new std::unique_ptr<TWidgetSet>(std::make_unique<THeadlessWidgetSet>());
    return *current;
}
} // namespace

TWidgetSet& WidgetSet() {
    return *Current();
}

std::unique_ptr<TWidgetSet> SetWidgetSet(std::unique_ptr<TWidgetSet> AWidgetSet) {
    if (!AWidgetSet)
        AWidgetSet = std::make_unique<THeadlessWidgetSet>();
    std::unique_ptr<TWidgetSet> previous = std::exchange(Current(), std::move(AWidgetSet));
    previous->ReleaseControls();
    return previous;
}

} // namespace vcl
