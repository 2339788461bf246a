#pragma once
// The Qt window of one form: it shows what the form paints and hands the form its input. The
// widgetset makes one per form it is told to show and drops it when the form goes away.

#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include "host/controls/Forms.h"
#include "host/graphics/Graphics.h"

namespace vcl::qt::detail {

class TFormWindow final : public QWidget {
public:
    explicit TFormWindow(TForm& AForm);
    ~TFormWindow() override;

    // nullptr once the form has gone: the window then only waits to be deleted.
    TForm* Form() const { return FForm; }
    // The form is being destroyed: no event may reach it from now on.
    void DetachForm() { FForm = nullptr; }
    // Whether one of this window's event handlers is running, so that the window must not be
    // deleted under it.
    bool InHandler() const { return FDepth > 0; }

    // The flags, title and size that the form's border style, icons, caption and client size
    // ask for. Changing flags hides a window, so they are set only when they differ.
    void ApplyStyle();
    // Puts the window where the form's Position says and shows it.
    void PlaceAndShow();
    // The form moved or changed size (not through this window): the window follows.
    void FormBoundsChanged();
    // Whether the user may resize the window.
    bool Sizeable() const;

    // The client area as Qt paints it, into a pf24bit bitmap.
    void Grab(TBitmap& Target);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void moveEvent(QMoveEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    // Tab and Shift+Tab belong to the form's own tab order, not to Qt's focus chain.
    bool focusNextPrevChild(bool) override { return false; }

private:
    void Place();
    enum class TMouseAction { Down, Move, Up };
    void Mouse(QMouseEvent* Event, TMouseAction Action, TShiftState Extra);

    TForm* FForm;
    int FDepth = 0;
    // Set while the window changes the form or the form the window, so neither echoes back.
    bool FSyncing = false;
    // Where the form was last put by, or seen at by, this window.
    int FLeft;
    int FTop;
    // Kept between paints: the form paints into the same bitmap, the image keeps its buffer.
    TBitmap FBitmap;
    QImage FImage;
};

} // namespace vcl::qt::detail
