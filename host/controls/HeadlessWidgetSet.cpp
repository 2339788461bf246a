// The headless widgetset: forms shown as bitmaps, modal forms answered from a queue.
#include "host/controls/HeadlessWidgetSet.h"

#include <algorithm>

#include "host/controls/Forms.h"

namespace vcl {

namespace {
template <typename T> void AddOnce(std::vector<T*>& List, T* Item) {
    if (std::find(List.begin(), List.end(), Item) == List.end())
        List.push_back(Item);
}

// The form a control is shown in, if it stands on one.
TForm* FormOf(TControl& Control) {
    TControl* root = &Control;
    while (root->GetParent())
        root = root->GetParent();
    return dynamic_cast<TForm*>(root);
}
} // namespace

THeadlessWidgetSet::THeadlessWidgetSet() = default;

THeadlessWidgetSet::~THeadlessWidgetSet() = default;

void THeadlessWidgetSet::InvalidateControl(TControl& AControl) {
    AddOnce(FInvalidated, &AControl);
}

// Nothing moves on a bitmap screen; the repaint request that follows does the work.
void THeadlessWidgetSet::BoundsChanged(TControl&) {}

void THeadlessWidgetSet::ShowForm(TForm& AForm) {
    AddOnce(FShown, &AForm);
}

void THeadlessWidgetSet::HideForm(TForm& AForm) {
    std::erase(FShown, &AForm);
}

TModalResult THeadlessWidgetSet::ShowModal(TForm& AForm) {
    ++FModalCount;
    PaintForm(AForm);
    if (!FModalActions.empty()) {
        const auto action = std::move(FModalActions.front());
        FModalActions.pop_front();
        FModalForm = &AForm;
        FModalFormGone = false;
        action(AForm);
        FModalForm = nullptr;
        if (FModalFormGone)
            return DefaultModalResult;
        const TModalResult answer = AForm.GetModalResult();
        return answer == mrNone ? DefaultModalResult : answer;
    }
    if (FModalResults.empty())
        return DefaultModalResult;
    const TModalResult answer = FModalResults.front();
    FModalResults.pop_front();
    return answer;
}

TModalResult THeadlessWidgetSet::MessageBox(const TMessageBoxRequest& Request) {
    FMessageBoxes.push_back(Request);
    if (!FMessageResults.empty()) {
        const TModalResult answer = FMessageResults.front();
        FMessageResults.pop_front();
        return answer;
    }
    const auto at = static_cast<std::size_t>(Request.DefaultButton);
    return at < Request.Buttons.size() ? Request.Buttons[at].Result : mrCancel;
}

void THeadlessWidgetSet::DestroyControl(TControl& AControl) {
    if (&AControl == FModalForm)
        FModalFormGone = true;
    std::erase(FInvalidated, &AControl);
    std::erase_if(FShown, [&](const TForm* f) { return f == &AControl; });
    std::erase_if(FImages, [&](const TFormImage& i) { return i.Form == &AControl; });
}

void THeadlessWidgetSet::ReleaseControls() {
    FInvalidated.clear();
    FShown.clear();
    FImages.clear();
}

int THeadlessWidgetSet::ProcessPaints() {
    std::vector<TForm*> due;
    for (TControl* c : FInvalidated)
        if (TForm* f = FormOf(*c); f && std::find(FShown.begin(), FShown.end(), f) != FShown.end())
            AddOnce(due, f);
    // A paint may invalidate again (a control taking the size of what it drew); what is still
    // pending afterwards waits for the next round, the rest was served.
    FInvalidated.clear();
    for (TForm* f : due)
        PaintForm(*f);
    return static_cast<int>(due.size());
}

const TBitmap& THeadlessWidgetSet::PaintForm(TForm& AForm) {
    auto it = std::find_if(FImages.begin(), FImages.end(),
                           [&](const TFormImage& i) { return i.Form == &AForm; });
    if (it == FImages.end())
        it = FImages.insert(FImages.end(), {&AForm, std::make_unique<TBitmap>()});
    // Kept by pointer: a later image may move the list's entries, never the bitmaps.
    TBitmap& image = *it->Bitmap;
    AForm.PaintClient(image);
    std::erase_if(FInvalidated, [](const TControl* c) { return !c->PaintPending(); });
    return image;
}

const TBitmap* THeadlessWidgetSet::FormImage(const TForm& AForm) const {
    for (const TFormImage& i : FImages)
        if (i.Form == &AForm)
            return i.Bitmap.get();
    return nullptr;
}

} // namespace vcl
