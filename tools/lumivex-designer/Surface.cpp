#include "tools/lumivex-designer/Surface.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "host/controls/Controls.h"
#include "host/graphics/Graphics.h"

namespace lumivex::designer {

using namespace vcl;

namespace {

constexpr int HandleSize = 5;
// Room below a non-visual icon for its name.
constexpr int NameHeight = 14;

} // namespace

// The rows of a pf24bit bitmap are B, G, R bytes, Qt's BGR888 but for the row padding.
QImage BitmapImage(TBitmap& Bitmap) {
    if (Bitmap.GetPixelFormat() != pf24bit)
        Bitmap.SetPixelFormat(pf24bit);
    const int w = Bitmap.GetWidth(), h = Bitmap.GetHeight();
    if (w <= 0 || h <= 0)
        return {};
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        std::memcpy(image.scanLine(y), Bitmap.ScanLine(y), static_cast<std::size_t>(w) * 3);
    return image;
}

QString Initials(const std::string& ClassName) {
    QString s;
    for (std::size_t i = ClassName.starts_with('T') ? 1 : 0; i < ClassName.size() && s.size() < 3;
         ++i)
        if (ClassName[i] >= 'A' && ClassName[i] <= 'Z')
            s += QChar(ClassName[i]);
    return s.isEmpty() ? QStringLiteral("?") : s;
}

void DrawClassIcon(QPainter& Painter, const QRect& Rect, const std::string& ClassName) {
    Painter.save();
    Painter.setPen(QColor(64, 64, 64));
    Painter.setBrush(QColor(236, 232, 216));
    Painter.drawRect(Rect.adjusted(0, 0, -1, -1));
    QFont f = Painter.font();
    f.setPixelSize(std::max(8, Rect.height() / 3));
    f.setBold(true);
    Painter.setFont(f);
    Painter.setPen(QColor(0, 0, 128));
    Painter.drawText(Rect, Qt::AlignCenter, Initials(ClassName));
    Painter.restore();
}

TSurface::TSurface(TDocument& Document, QWidget* Parent) : QWidget(Parent), FDocument(Document) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

QSize TSurface::sizeHint() const {
    return {FDocument.DesignWidth() + 16, FDocument.DesignHeight() + 16};
}

QImage TSurface::RenderForm() const {
    if (TForm* form = FDocument.Form()) {
        TBitmap bitmap;
        form->PaintClient(bitmap);
        return BitmapImage(bitmap);
    }
    // A data module is a plain white area for its icons.
    QImage image(std::max(FDocument.DesignWidth(), 1), std::max(FDocument.DesignHeight(), 1),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QRect TSurface::RectOf(const TComponent* Component) const {
    const TComponent* root = &FDocument.Root();
    if (Component == root)
        return {0, 0, FDocument.DesignWidth(), FDocument.DesignHeight()};
    if (const auto* control = dynamic_cast<const TControl*>(Component)) {
        // Bounds are the parent's coordinates; the parents up to the form add theirs.
        QRect r(control->GetLeft(), control->GetTop(), control->GetWidth(), control->GetHeight());
        for (const TWinControl* p = control->GetParent(); p && p != root; p = p->GetParent())
            r.translate(p->GetLeft(), p->GetTop());
        return r;
    }
    const TDocument::TPlace p = FDocument.PlaceOf(Component);
    return {p.X, p.Y, IconSize, IconSize};
}

TComponent* TSurface::ComponentAt(QPoint Point) const {
    const TComponent& root = FDocument.Root();
    // The last created lies on top; non-visual icons lie above every control.
    for (int pass = 0; pass < 2; ++pass)
        for (int i = root.GetComponentCount() - 1; i >= 0; --i) {
            TComponent* c = root.GetComponent(i);
            const auto* control = dynamic_cast<const TControl*>(c);
            if ((pass == 0) == (control != nullptr))
                continue;
            if (control && !control->GetVisible())
                continue;
            if (RectOf(c).contains(Point))
                return c;
        }
    return &FDocument.Root();
}

void TSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Dark));
    const TComponent& root = FDocument.Root();
    p.drawImage(0, 0, RenderForm());
    // Painting may change a control's bounds (a barcode sizes itself to its bars).
    if (OnPainted)
        OnPainted();
    for (int i = 0; i < root.GetComponentCount(); ++i) {
        const TComponent* c = root.GetComponent(i);
        if (dynamic_cast<const TControl*>(c))
            continue;
        const QRect r = RectOf(c);
        DrawClassIcon(p, r, c->ClassInfo().Name());
        QFont f = font();
        f.setPixelSize(11);
        p.setFont(f);
        p.setPen(Qt::black);
        const QString name = QString::fromStdString(c->GetName());
        const int w = p.fontMetrics().horizontalAdvance(name) + 4;
        p.drawText(QRect(r.center().x() - w / 2, r.bottom() + 1, w, NameHeight),
                   Qt::AlignHCenter | Qt::AlignTop, name);
    }
    const TComponent* selected = FDocument.Selected();
    if (!selected || selected == &root)
        return;
    const QRect r = RectOf(selected);
    const int xs[] = {r.left(), r.left() + r.width() / 2, r.right()};
    const int ys[] = {r.top(), r.top() + r.height() / 2, r.bottom()};
    p.setPen(Qt::black);
    p.setBrush(QColor(0, 0, 0));
    for (int ix = 0; ix < 3; ++ix)
        for (int iy = 0; iy < 3; ++iy)
            if (ix != 1 || iy != 1)
                p.drawRect(xs[ix] - HandleSize / 2, ys[iy] - HandleSize / 2, HandleSize - 1,
                           HandleSize - 1);
}

void TSurface::mousePressEvent(QMouseEvent* Event) {
    setFocus(Qt::MouseFocusReason);
    const QPoint at = Event->position().toPoint();
    if (Event->button() != Qt::LeftButton && Event->button() != Qt::RightButton)
        return;
    if (FPending && Event->button() == Qt::LeftButton) {
        const TClassInfo* c = FPending;
        FPending = nullptr;
        try {
            FDocument.Drop(*c, at.x(), at.y());
        } catch (const std::exception& e) {
            if (OnError)
                OnError(e.what());
        }
        if (OnDropped)
            OnDropped();
        return;
    }
    TComponent* hit = ComponentAt(at);
    if (hit != FDocument.Selected())
        FDocument.Select(hit);
    update();
    if (Event->button() == Qt::LeftButton && hit != &FDocument.Root()) {
        FDragging = true;
        FDragFrom = at;
    }
}

void TSurface::mouseMoveEvent(QMouseEvent* Event) {
    if (!FDragging)
        return;
    const QPoint at = Event->position().toPoint();
    const QPoint d = at - FDragFrom;
    if (d.isNull())
        return;
    FDragFrom = at;
    FDocument.MoveBy(FDocument.Selected(), d.x(), d.y());
}

void TSurface::mouseReleaseEvent(QMouseEvent*) {
    FDragging = false;
}

void TSurface::mouseDoubleClickEvent(QMouseEvent* Event) {
    FDragging = false;
    if (ComponentAt(Event->position().toPoint()) == FDocument.Selected() && OnEdit)
        OnEdit();
}

void TSurface::keyPressEvent(QKeyEvent* Event) {
    TComponent* c = FDocument.Selected();
    switch (Event->key()) {
    case Qt::Key_Left:
        FDocument.MoveBy(c, -1, 0);
        break;
    case Qt::Key_Right:
        FDocument.MoveBy(c, 1, 0);
        break;
    case Qt::Key_Up:
        FDocument.MoveBy(c, 0, -1);
        break;
    case Qt::Key_Down:
        FDocument.MoveBy(c, 0, 1);
        break;
    case Qt::Key_Delete:
        FDocument.Delete(c);
        break;
    default:
        QWidget::keyPressEvent(Event);
        return;
    }
    Event->accept();
}

void TSurface::contextMenuEvent(QContextMenuEvent* Event) {
    if (OnContextMenu)
        OnContextMenu(Event->globalPos());
}

} // namespace lumivex::designer
