#pragma once
// Installs a widgetset for one scope and puts the previous one back afterwards, so that no test
// leaves its widgetset to the next.

#include <memory>
#include <utility>

#include "host/controls/HeadlessWidgetSet.h"
#include "host/controls/WidgetSet.h"

namespace vcl::testing {

template <typename T = THeadlessWidgetSet> class ScopedWidgetSet {
public:
    template <typename... Args> explicit ScopedWidgetSet(Args&&... A) {
        auto w = std::make_unique<T>(std::forward<Args>(A)...);
        FInstalled = w.get();
        FPrevious = SetWidgetSet(std::move(w));
    }
    ~ScopedWidgetSet() { SetWidgetSet(std::move(FPrevious)); }
    ScopedWidgetSet(const ScopedWidgetSet&) = delete;
    ScopedWidgetSet& operator=(const ScopedWidgetSet&) = delete;

    T& operator*() const { return *FInstalled; }
    T* operator->() const { return FInstalled; }

private:
    T* FInstalled;
    std::unique_ptr<TWidgetSet> FPrevious;
};

} // namespace vcl::testing
