#pragma once
// The form surface: the designed form as the host paints it, the non-visual components as
// icons with their names, and the selection with its eight handles. Clicks select and drop,
// drags and arrow keys move, Delete removes; every change goes through the document, whose
// designer is told of it.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>
#include <string>

#include "tools/lumivex-designer/Document.h"

class QPainter;

namespace lumivex::designer {

// A bitmap as Qt draws it (turned into pf24bit first); a null image for an empty bitmap.
QImage BitmapImage(vcl::TBitmap& Bitmap);
// The initials of a class name without its T (TDBBarcodeBmp: DBB), at most three.
QString Initials(const std::string& ClassName);
// The drawn default icon of a class: a framed tile with the initials.
void DrawClassIcon(QPainter& Painter, const QRect& Rect, const std::string& ClassName);

class TSurface : public QWidget {
public:
    static constexpr int IconSize = 28;

    TSurface(TDocument& Document, QWidget* Parent = nullptr);

    // The class a click on the surface drops next (a palette entry was chosen); null for none.
    void SetPendingClass(const vcl::TClassInfo* Class) { FPending = Class; }
    const vcl::TClassInfo* PendingClass() const { return FPending; }
    // The component under (X, Y) of the client area, the root where there is none.
    vcl::TComponent* ComponentAt(QPoint Point) const;
    // Where a component stands on the surface: a control's bounds, a non-visual icon's tile.
    QRect RectOf(const vcl::TComponent* Component) const;
    // The form as the host painted it at the last paint.
    QImage RenderForm() const;

    std::function<void()> OnDropped;
    std::function<void(QPoint Global)> OnContextMenu;
    std::function<void()> OnEdit;
    std::function<void()> OnPainted;
    // A drop that was refused (a control on a data module).
    std::function<void(const std::string& Message)> OnError;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;

private:
    TDocument& FDocument;
    const vcl::TClassInfo* FPending = nullptr;
    bool FDragging = false;
    QPoint FDragFrom;
};

} // namespace lumivex::designer
