#include "platform/qt/control_painter.h"

#include "platform/control.h"
#include "platform/form.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/sharp_pictures.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

void paintLabel(QPainter& painter, const Label& label)
{
    const QRect area = pixelRect(label);
    painter.save();
    painter.setClipRect(area);
    if (label.backStyle == BackStyle::Opaque)
        painter.fillRect(area, toQColor(label.BackColor));
    QRect textArea = area;
    if (label.borderStyle == BorderStyle::FixedSingle) {
        painter.setPen(toQColor(colours::windowText));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        textArea = area.adjusted(1, 1, -1, -1);
    }
    int flags = Qt::AlignTop | Qt::TextShowMnemonic;
    switch (label.alignment) {
    case Alignment::Left: flags |= Qt::AlignLeft; break;
    case Alignment::Right: flags |= Qt::AlignRight; break;
    case Alignment::Center: flags |= Qt::AlignHCenter; break;
    }
    if (label.wordWrap)
        flags |= Qt::TextWordWrap;
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(toQFont(label.font));
    painter.setPen(toQColor(label.ForeColor));
    painter.drawText(textArea, flags, QString::fromStdString(label.Caption));
    painter.restore();
}

void paintImage(QPainter& painter, const Image& image)
{
    if (image.picture.isNull())
        return;
    const QRect area = pixelRect(image);
    painter.save();
    painter.setClipRect(area);
    painter.drawImage(area.topLeft(),
                      imageFor(image.picture, painter.device()->devicePixelRatioF()));
    painter.restore();
}

QPainterPath outline(ShapeKind kind, const QRectF& area)
{
    QPainterPath path;
    if (kind == ShapeKind::Circle)
        path.addEllipse(area);
    else
        path.addRect(area);
    return path;
}

void paintShape(QPainter& painter, const Shape& shape)
{
    // The border lies inside the rectangle, as wide as asked, whatever the shape.
    const QRectF outer = pixelRect(shape);
    const int border = std::max(0, shape.BorderWidth);
    const QRectF inner = outer.adjusted(border, border, -border, -border);
    const QPainterPath innerPath = inner.isEmpty() ? QPainterPath{} : outline(shape.shape, inner);
    if (shape.backStyle == BackStyle::Opaque)
        painter.fillPath(innerPath, toQColor(shape.BackColor));
    if (border > 0)
        painter.fillPath(outline(shape.shape, outer).subtracted(innerPath),
                         toQColor(shape.BorderColor));
}

void paintLine(QPainter& painter, const Line& line)
{
    QPen pen(toQColor(line.BorderColor));
    pen.setWidth(std::max(1, line.BorderWidth));
    painter.setPen(pen);
    painter.drawLine(toPixels(line.X1), toPixels(line.Y1), toPixels(line.X2), toPixels(line.Y2));
}

} // namespace

QColor toQColor(Colour colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

int toPixels(float twips) { return static_cast<int>(std::lround(twips / twipsPerPixel)); }

QRect pixelRect(const Control& control)
{
    return {toPixels(control.Left), toPixels(control.Top), toPixels(control.Width),
            toPixels(control.Height)};
}

bool isDrawn(const Control& control) { return !control.isWidget(); }

QRect paintedRect(const Control& control)
{
    // A line's pen reaches past its end points and may lie on an empty rectangle.
    if (control.kind() == ControlKind::Line) {
        const int reach = std::max(1, static_cast<const Line&>(control).BorderWidth);
        return pixelRect(control).adjusted(-reach, -reach, reach + 1, reach + 1);
    }
    return pixelRect(control);
}

void paintControl(QPainter& painter, const Control& control)
{
    switch (control.kind()) {
    case ControlKind::Label: paintLabel(painter, static_cast<const Label&>(control)); break;
    case ControlKind::Image: paintImage(painter, static_cast<const Image&>(control)); break;
    case ControlKind::Shape: paintShape(painter, static_cast<const Shape&>(control)); break;
    case ControlKind::Line: paintLine(painter, static_cast<const Line&>(control)); break;
    default: break;
    }
}

} // namespace platform
