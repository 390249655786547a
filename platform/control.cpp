#include "platform/control.h"

#include "platform/form.h"
#include "platform/program.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace platform {

Control::Control(Form& form, ControlKind kind, std::string name, float left, float top, float width,
                 float height)
    : Left(*this, Change::Geometry, left), Top(*this, Change::Geometry, top),
      Width(*this, Change::Geometry, width), Height(*this, Change::Geometry, height),
      Visible(*this, Change::Visibility, true), form_(form), kind_(kind), name_(std::move(name))
{
    form.add(*this);
}

bool Control::isWidget() const
{
    return kind_ == ControlKind::TextBox || kind_ == ControlKind::ComboBox ||
           kind_ == ControlKind::CommandButton;
}

bool Control::contains(float x, float y) const
{
    return x >= Left && x < Left + Width && y >= Top && y < Top + Height;
}

void Control::propertyChanged(Change change) { form_.controlChanged(*this, change); }

Label::Label(Form& form, std::string name, float left, float top, float width, float height,
             std::string caption)
    : Control(form, ControlKind::Label, std::move(name), left, top, width, height),
      Caption(*this, Change::Text, std::move(caption)),
      ForeColor(*this, Change::Look, colours::windowText),
      BackColor(*this, Change::Look, colours::buttonFace)
{
}

char Label::accessKey() const
{
    const std::string& text = Caption;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') { // "&&" is a literal ampersand
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

Image::Image(Form& form, std::string name, float left, float top, float width, float height,
             Picture picture)
    : Control(form, ControlKind::Image, std::move(name), left, top, width, height),
      picture(std::move(picture))
{
}

Shape::Shape(Form& form, std::string name, ShapeKind shape, float left, float top, float width,
             float height)
    : Control(form, ControlKind::Shape, std::move(name), left, top, width, height), shape(shape)
{
}

Line::Line(Form& form, std::string name, float x1, float y1, float x2, float y2)
    : Control(form, ControlKind::Line, std::move(name), std::min(x1, x2), std::min(y1, y2),
              std::abs(x2 - x1), std::abs(y2 - y1)),
      X1(x1), Y1(y1), X2(x2), Y2(y2)
{
}

TextBox::TextBox(Form& form, std::string name, float left, float top, float width, float height)
    : FocusableControl(form, ControlKind::TextBox, std::move(name), left, top, width, height),
      Text(*this, Change::Text)
{
}

void TextBox::typed(const std::string& text)
{
    if (Locked)
        return;
    Program::current().took(
        TakenEvent::of(EventKind::Type, form().className(), name()).typed(text));
    if (MaxLength <= 0 || utf16Length(text) <= static_cast<std::size_t>(MaxLength)) {
        Text = text;
        return;
    }
    // Keep whole code points up to the limit.
    std::string kept;
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t bytes = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::size_t width = bytes == 4 ? 2 : 1;
        if (units + width > static_cast<std::size_t>(MaxLength))
            break;
        kept.append(text, i, bytes);
        units += width;
        i += bytes;
    }
    Text = kept;
}

ComboBox::ComboBox(Form& form, std::string name, float left, float top, float width, float height)
    : FocusableControl(form, ControlKind::ComboBox, std::move(name), left, top, width, height)
{
}

void ComboBox::AddItem(const std::string& item)
{
    items_.push_back(item);
    propertyChanged(Change::Items);
}

void ComboBox::pick(int index)
{
    Program::current().took(
        TakenEvent::of(EventKind::Pick, form().className(), name()).with(index));
    if (index < -1 || index >= static_cast<int>(items_.size()))
        return;
    listIndex_ = index;
    text_ = index < 0 ? std::string{} : items_[static_cast<std::size_t>(index)];
    propertyChanged(Change::Text);
}

CommandButton::CommandButton(Form& form, std::string name, float left, float top, float width,
                             float height, std::string caption)
    : FocusableControl(form, ControlKind::CommandButton, std::move(name), left, top, width, height),
      Caption(std::move(caption))
{
}

void CommandButton::press()
{
    Program& program = Program::current();
    program.took(TakenEvent::of(EventKind::Press, form().className(), name()));
    if (onClick)
        program.dispatch(onClick);
}

std::size_t utf16Length(const std::string& utf8)
{
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) // a lead byte starts a code point
            units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool isValidUtf8(const std::string& text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

} // namespace platform
