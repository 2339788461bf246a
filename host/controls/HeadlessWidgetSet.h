#pragma once
// The widgetset of tests, servers and the command line: its screen is one bitmap per form, and
// its user is a queue of answers to modal forms.

#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "host/controls/WidgetSet.h"
#include "host/graphics/Graphics.h"

namespace vcl {

class THeadlessWidgetSet : public TWidgetSet {
public:
    THeadlessWidgetSet();
    ~THeadlessWidgetSet() override;

    void InvalidateControl(TControl& AControl) override;
    void BoundsChanged(TControl& AControl) override;
    void ShowForm(TForm& AForm) override;
    void HideForm(TForm& AForm) override;
    // Paints the form into its image, as the window would appear, then answers with the next
    // queued result; with none queued, mrCancel, as a user closing the window would. It never
    // waits.
    TModalResult ShowModal(TForm& AForm) override;
    // Records the request and answers the next queued message result; with none queued, the
    // default button's result, as a user pressing Enter would.
    TModalResult MessageBox(const TMessageBoxRequest& Request) override;
    void DestroyControl(TControl& AControl) override;
    void ReleaseControls() override;

    // The answer the next modal form gets; answers are given in the order queued.
    void QueueModalResult(TModalResult Value) { FModalResults.push_back(Value); }
    // What the user does to the next modal form instead: the action gets the painted form (and
    // clicks a button, presses Esc, closes it), and the form's ModalResult is then the answer.
    // Actions come before queued results.
    void QueueModalAction(std::function<void(TForm&)> Action) {
        FModalActions.push_back(std::move(Action));
    }
    void QueueMessageResult(TModalResult Value) { FMessageResults.push_back(Value); }
    // Every message box asked for, in order.
    const std::vector<TMessageBoxRequest>& MessageBoxes() const { return FMessageBoxes; }
    static constexpr TModalResult DefaultModalResult = mrCancel;

    // What a window system does between events: every shown form that holds an invalidated
    // control, or was itself invalidated, paints into its image. The others are on no screen:
    // their requests stay with the controls (PaintPending) and are forgotten here. Answers how
    // many forms painted.
    int ProcessPaints();
    // Paints the form's client area into its image now, shown or not.
    const TBitmap& PaintForm(TForm& AForm);
    // The form's image as last painted; nullptr before its first paint.
    const TBitmap* FormImage(const TForm& AForm) const;

    // The forms shown outside a modal session, in the order they were shown.
    const std::vector<TForm*>& ShownForms() const { return FShown; }
    // The controls invalidated since the last ProcessPaints, each once, in the order first
    // asked.
    const std::vector<TControl*>& Invalidated() const { return FInvalidated; }
    int GetModalCount() const { return FModalCount; }

private:
    struct TFormImage {
        const TForm* Form;
        std::unique_ptr<TBitmap> Bitmap;
    };

    std::vector<TForm*> FShown;
    std::vector<TControl*> FInvalidated;
    std::vector<TFormImage> FImages;
    std::deque<TModalResult> FModalResults;
    std::deque<std::function<void(TForm&)>> FModalActions;
    std::deque<TModalResult> FMessageResults;
    std::vector<TMessageBoxRequest> FMessageBoxes;
    int FModalCount = 0;
    // The form of the modal session under way, and whether an action freed it.
    const TForm* FModalForm = nullptr;
    bool FModalFormGone = false;
};

} // namespace vcl
